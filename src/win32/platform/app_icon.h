// The program's icon: a white cloud on a sky-blue disc, drawn once.
#pragma once

#include <windows.h>

namespace vm {
HICON AppIcon();
}
