#include "platform/app_icon.h"

namespace vm {

HICON AppIcon() {
    static HICON icon = [] {
        const int n = 32;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP color = CreateCompatibleBitmap(screen, n, n);
        HBITMAP mask = CreateBitmap(n, n, 1, 1, nullptr);
        HGDIOBJ old = SelectObject(dc, color);
        RECT all{0, 0, n, n};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        HBRUSH sky = CreateSolidBrush(RGB(70, 140, 220));
        HGDIOBJ oldBrush = SelectObject(dc, sky);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, 0, 0, n, n);
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        Ellipse(dc, 5, 13, 17, 25);
        Ellipse(dc, 10, 7, 24, 21);
        Ellipse(dc, 17, 12, 28, 25);
        Rectangle(dc, 10, 17, 23, 25);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(sky);
        // Mask: transparent outside the disc.
        SelectObject(dc, mask);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
        SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, 0, 0, n, n);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        ICONINFO ii{};
        ii.fIcon = TRUE;
        ii.hbmColor = color;
        ii.hbmMask = mask;
        HICON h = CreateIconIndirect(&ii);
        DeleteObject(color);
        DeleteObject(mask);
        return h;
    }();
    return icon;
}

}  // namespace vm
