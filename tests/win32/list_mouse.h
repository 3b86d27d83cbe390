// List boxes driven as a user would: their lines, and a drag with the
// mouse from one line to another.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win_files.h"

namespace vm {

inline std::vector<std::string> Lines(HWND list) {
    std::vector<std::string> v;
    const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[256] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        v.push_back(buf);
    }
    return v;
}

// The centre of a list line in screen coordinates.
inline POINT LineCentre(HWND list, int line) {
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&r));
    POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &pt);
    return pt;
}

// A drag with the mouse: press on one line, move onto another, release there.
inline void Drag(HWND list, int fromLine, int toLine) {
    auto send = [&](UINT msg, WPARAM keys, POINT screen) {
        SetCursorPos(screen.x, screen.y);
        POINT client = screen;
        ScreenToClient(list, &client);
        SendMessageA(list, msg, keys, MAKELPARAM(client.x, client.y));
        Settle(20);
    };
    const POINT from = LineCentre(list, fromLine), to = LineCentre(list, toLine);
    send(WM_LBUTTONDOWN, MK_LBUTTON, from);
    send(WM_MOUSEMOVE, MK_LBUTTON, POINT{from.x, (from.y + to.y) / 2});
    send(WM_MOUSEMOVE, MK_LBUTTON, to);
    send(WM_LBUTTONUP, 0, to);
}

}  // namespace vm
