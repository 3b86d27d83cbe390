#include "ui/frm_logo.h"

#include <mmsystem.h>

#include "platform/win32_ports.h"

namespace vm {

namespace {
const char kClass[] = "VellmoraLogo";
constexpr int kCanvas = 258;
constexpr int kLogo = 256;
constexpr int kClient = 255;
}  // namespace

int frmLogo::GetWinVersion() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&v)) return 0;
#pragma GCC diagnostic pop
    return WinVersionOf(v.dwPlatformId);
}

frmLogo::~frmLogo() {
    Destroy();
    if (OrgDC) { SelectObject(OrgDC, oldOrg_); DeleteDC(OrgDC); }
    if (CanvasDC) { SelectObject(CanvasDC, oldCanvas_); DeleteDC(CanvasDC); }
    if (FadeDC) { SelectObject(FadeDC, oldFade_); DeleteDC(FadeDC); }
    if (org_) DeleteObject(org_);
    if (canvas_) DeleteObject(canvas_);
    if (fade_) DeleteObject(fade_);
}

// The logo picture: a sky disc with clouds and the program's name.
void frmLogo::MakeLogo() {
    RECT all{0, 0, kLogo, kLogo};
    FillRect(OrgDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int r = kLogo / 2; r > 0; r -= 2) {
        const int t = 255 * r / (kLogo / 2);
        HBRUSH b = CreateSolidBrush(RGB(40 + (255 - t) / 3, 90 + (255 - t) / 3, 200 + (255 - t) / 6));
        HGDIOBJ ob = SelectObject(OrgDC, b);
        HGDIOBJ op = SelectObject(OrgDC, GetStockObject(NULL_PEN));
        Ellipse(OrgDC, 128 - r, 128 - r, 128 + r, 128 + r);
        SelectObject(OrgDC, op);
        SelectObject(OrgDC, ob);
        DeleteObject(b);
    }
    HGDIOBJ ob = SelectObject(OrgDC, GetStockObject(WHITE_BRUSH));
    HGDIOBJ op = SelectObject(OrgDC, GetStockObject(NULL_PEN));
    const int blobs[][4] = {{50, 120, 110, 170}, {85, 95, 160, 165}, {135, 115, 200, 172}, {70, 140, 185, 176}};
    for (const auto& e : blobs) Ellipse(OrgDC, e[0], e[1], e[2], e[3]);
    SelectObject(OrgDC, op);
    SelectObject(OrgDC, ob);
    HFONT f = MakeFont("Arial", 22, true);
    HGDIOBJ of = SelectObject(OrgDC, f);
    SetBkMode(OrgDC, TRANSPARENT);
    SetTextColor(OrgDC, RGB(255, 255, 255));
    RECT text{0, 55, kLogo, 95};
    DrawTextA(OrgDC, "Vellmora", -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(OrgDC, of);
    DeleteObject(f);
}

void frmLogo::Form_Load() {
    WinVer = static_cast<int16_t>(GetWinVersion());
    RegisterClassOnce(kClass, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT r{0, 0, kClient, kClient};
    AdjustWindowRectEx(&r, WS_POPUP, FALSE, WS_EX_TOOLWINDOW);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!Create(kClass, "Vellmora", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr))
        return;
    HDC screen = GetDC(hwnd());
    OrgDC = CreateCompatibleDC(screen);
    CanvasDC = CreateCompatibleDC(screen);
    FadeDC = CreateCompatibleDC(screen);
    org_ = CreateCompatibleBitmap(screen, kLogo, kLogo);
    canvas_ = CreateCompatibleBitmap(screen, kCanvas, kCanvas);
    fade_ = CreateCompatibleBitmap(screen, kCanvas, kCanvas);
    ReleaseDC(hwnd(), screen);
    oldOrg_ = SelectObject(OrgDC, org_);
    oldCanvas_ = SelectObject(CanvasDC, canvas_);
    oldFade_ = SelectObject(FadeDC, fade_);
    MakeLogo();
    RECT c{0, 0, kCanvas, kCanvas};
    FillRect(CanvasDC, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(FadeDC, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    effect_ = LogoEffect{};
    effect_.EffectNo = EffectNo;
    if (WinVer == 2000) ApplyAlpha();  // layered and fully transparent
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd());
    RunEffect();
}

void frmLogo::RunEffect() {
    if (effect_.EffectNo != LogoEffect::kEffect) {
        EffectNo = -1;
        return;
    }
    uint32_t t0 = timeGetTime();
    while (!effect_.Finished() && hwnd()) {
        const uint32_t t = timeGetTime();
        if (LogoEffect::FrameDue(t, t0)) {
            DrawFrame(t);
            t0 = t;
        }
        Sleep(1);
        PumpPending();
    }
    EffectNo = -1;
}

void frmLogo::DrawFrame(uint32_t now) {
    if (Busy) return;
    Busy = true;
    if (effect_.Finished()) return;
    RECT c{0, 0, kCanvas, kCanvas};
    FillRect(CanvasDC, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (WinVer == 98) FillRect(FadeDC, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const LogoFrame f = effect_.NextFrame();
    SetStretchBltMode(CanvasDC, HALFTONE);
    StretchBlt(CanvasDC, f.DrawX, f.DrawY, f.size, f.size, OrgDC, 0, 0, kLogo, kLogo, SRCCOPY);
    InvalidateRect(hwnd(), nullptr, FALSE);
    ApplyAlpha();
    UpdateWindow(hwnd());
    if (onFrame) onFrame(f, now);
    Busy = false;
}

void frmLogo::ApplyAlpha() {
    if (WinVer == 2000) {
        const LONG_PTR ex = GetWindowLongPtrA(hwnd(), GWL_EXSTYLE);
        if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrA(hwnd(), GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributes(hwnd(), 0, static_cast<BYTE>(effect_.Alpha), LWA_ALPHA);
    } else {
        BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(effect_.Alpha), 0};
        AlphaBlend(FadeDC, 0, 0, kCanvas, kCanvas, CanvasDC, 0, 0, kCanvas, kCanvas, bf);
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

LRESULT frmLogo::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        BitBlt(dc, 0, 0, kClient, kClient, WinVer == 2000 ? CanvasDC : FadeDC, 0, 0, SRCCOPY);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace vm
