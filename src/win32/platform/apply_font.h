// ApplyFont for real windows: every child control whose kind takes the
// configured proportional font gets it, at the size it had.
#pragma once

#include <windows.h>

#include "config/settings.h"

namespace vm {
void ApplyFont(HWND window, const Settings& s);
}
