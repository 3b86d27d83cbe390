#include "platform/popup_menu.h"

#include "common/operation_guard.h"

namespace vm {

void PopupAtCursor(HWND owner, HMENU menu, Pump* pump) {
    POINT pt;
    GetCursorPos(&pt);
    int id = 0;
    {
        const OwnLoop loop(pump);
        id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
    }
    DestroyMenu(menu);
    if (id) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

}  // namespace vm
