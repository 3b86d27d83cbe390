// A pop-up menu at the pointer, its command posted to the owner as a
// WM_COMMAND once the menu has closed.
#pragma once

#include <windows.h>

#include "common/ports.h"

namespace vm {

// Shows `menu` (then destroys it). The menu's own loop lets timers run:
// through `pump` (the guard) they meet it as from a pump.
void PopupAtCursor(HWND owner, HMENU menu, Pump* pump);

}  // namespace vm
