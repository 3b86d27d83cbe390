#include "platform/window.h"

#include <commctrl.h>

#include <cmath>
#include <set>

namespace vm {

Window::~Window() { Destroy(); }

void Window::Destroy() {
    if (hwnd_) {
        HWND h = hwnd_;
        DestroyWindow(h);
        hwnd_ = nullptr;
    }
}

void Window::RegisterClassOnce(const char* name, HBRUSH background, HICON icon) {
    static std::set<std::string> done;
    if (!done.insert(name).second) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

bool Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                    int y, int w, int h, HWND parent) {
    CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent, nullptr,
                    GetModuleHandleA(nullptr), this);
    return hwnd_ != nullptr;
}

RedrawOff::RedrawOff(std::initializer_list<HWND> windows) {
    for (HWND h : windows)
        if (h) {
            SendMessageA(h, WM_SETREDRAW, FALSE, 0);
            windows_.push_back(h);
        }
}

RedrawOff::~RedrawOff() {
    for (HWND h : windows_) {
        SendMessageA(h, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

HWND Window::Child(const char* cls, const char* text, DWORD style, int id, DWORD exStyle) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | style, 0, 0, 10, 10, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

bool Window::CreateCentred(const char* className, const char* title, DWORD style, int clientW, int clientH,
                           HWND owner) {
    RECT r{0, 0, clientW, clientH};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    return Create(className, title, style, 0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, owner);
}

void Window::MakeControls(const ControlDef* defs, size_t count, HFONT font) {
    for (size_t i = 0; i < count; ++i) {
        const ControlDef& d = defs[i];
        HWND h = Child(d.cls, d.text, d.style, d.id, d.ex);
        MoveWindow(h, d.x, d.y, d.w, d.h, FALSE);
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

LRESULT CALLBACK Window::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        LRESULT r = DefWindowProcA(h, msg, wp, lp);
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return r;
    }
    return self->OnMessage(msg, wp, lp);
}

WinMetrics GetWinMetrics() {
    HDC dc = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    WinMetrics m;
    m.TwipsX = static_cast<int>(std::lround(1440.0 / (dpiX > 0 ? dpiX : 96)));
    m.TwipsY = static_cast<int>(std::lround(1440.0 / (dpiY > 0 ? dpiY : 96)));
    m.CaptionH = m.TwipsY * GetSystemMetrics(SM_CYCAPTION);
    return m;
}

BarState ScrollBarState(HWND bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &si);
    return {si.nPos, si.nTrackPos, si.nMin, si.nMax};
}

std::string GetText(HWND h) {
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

std::string ListLineText(HWND list, int index) {
    const LRESULT n = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR || n < 0) return std::string();
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

void SetControlTip(HWND tips, HWND owner, HWND control, const std::string& text) {
    if (!tips) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    std::string copy = text;
    ti.lpszText = copy.data();
    SendMessageA(tips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

HFONT MakeFont(const char* face, int points, bool bold) {
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

}  // namespace vm
