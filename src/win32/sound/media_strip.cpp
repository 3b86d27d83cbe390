#include "sound/media_strip.h"

#include <objbase.h>

#include <cmath>
#include <cstdio>
#include <functional>

namespace vm {

namespace {

const char kClass[] = "VmMediaStrip";
constexpr UINT kGraphMessage = WM_APP + 1;   // the graph queued an event
constexpr UINT kLoadFailed = WM_APP + 2;     // wParam: the load it belongs to
constexpr UINT_PTR kPositionTimer = 1;
constexpr UINT kPositionMs = 250;
constexpr int kCmdBase = 100;

std::string MinSec(double seconds) {
    long total = seconds > 0 ? std::lround(std::floor(seconds)) : 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld:%02ld", total / 60, total % 60);
    return buf;
}

std::string NamePart(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Raise(const std::function<void()>& event) {
    std::function<void()> copy = event;  // the handler may replace it
    if (copy) copy();
}

}  // namespace

MediaStrip::~MediaStrip() {
    Destroy();
    Release();
}

bool MediaStrip::Create(HWND parent, int x, int y, int w, int h, int id) {
    if (!comReady_) comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    RegisterClassOnce(kClass, GetSysColorBrush(COLOR_BTNFACE));
    if (!Window::Create(kClass, "", WS_CHILD | WS_CLIPCHILDREN | (visible_ ? WS_VISIBLE : 0), 0,
                        x, y, w, h, parent))
        return false;
    SetWindowLongPtrA(hwnd(), GWLP_ID, id);
    if (!font_) font_ = MakeFont("Tahoma", 8, false);
    for (int b = 0; b < kButtons; ++b) {
        static const char* const kTips[kButtons] = {"Play", "Pause", "Stop"};
        cmd_[b] = Child("BUTTON", kTips[b], WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, kCmdBase + b);
    }
    lblName_ = Child("STATIC", "", WS_VISIBLE | SS_LEFT | SS_ENDELLIPSIS | SS_NOPREFIX, 0);
    lblPos_ = Child("STATIC", "", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0);
    SendMessageA(lblName_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageA(lblPos_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    Layout(w, h);
    ShowNow();
    return true;
}

void MediaStrip::Layout(int w, int h) {
    if (!lblPos_) return;  // sized while being created
    const int side = h - 2 > 12 ? h - 2 : 12;
    for (int b = 0; b < kButtons; ++b) MoveWindow(cmd_[b], 1 + b * side, 1, side, side, TRUE);
    // The texts are one line high, centred on the buttons' row; the position
    // gets a slot as wide as the widest it shows, at the right end (left-aligned
    // in it: Wine paints right-aligned statics past their right edge).
    HDC dc = GetDC(lblPos_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(lblPos_, WM_GETFONT, 0, 0)));
    SIZE sz{};
    GetTextExtentPoint32A(dc, "00:00 / 00:00", 13, &sz);
    SelectObject(dc, old);
    ReleaseDC(lblPos_, dc);
    const int textTop = (h - sz.cy) / 2, textLeft = 1 + kButtons * side + 6;
    const int posW = sz.cx + 4;
    const int nameW = w - textLeft - posW - 6;
    MoveWindow(lblName_, textLeft, textTop, nameW > 0 ? nameW : 0, sz.cy, TRUE);
    MoveWindow(lblPos_, w - posW - 3, textTop, posW, sz.cy, TRUE);
}

void MediaStrip::Release() {
    if (hwnd()) KillTimer(hwnd(), kPositionTimer);
    graph_.Close();
    if (font_) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    if (comReady_) {
        CoUninitialize();
        comReady_ = false;
    }
}

void MediaStrip::OnDestroyed() {
    lblName_ = lblPos_ = nullptr;
    for (HWND& c : cmd_) c = nullptr;
    state_ = PlayState::Stopped;
    Release();
}

void MediaStrip::SetFileName(const std::string& path) {
    ++loadSerial_;
    file_ = path;
    ended_ = false;
    if (hwnd() && graph_.Open(path, hwnd(), kGraphMessage)) {
        graph_.SetVolume(volume_);
        graph_.Run();
        SetState(PlayState::Playing);
    } else {
        SetState(PlayState::Stopped);
        // Reported later, from the message loop, as the caller expects.
        if (hwnd()) PostMessageA(hwnd(), kLoadFailed, static_cast<WPARAM>(loadSerial_), 0);
    }
}

void MediaStrip::Play() {
    if (!graph_.IsOpen()) return;
    if (ended_) graph_.SetPosition(0);
    ended_ = false;
    graph_.Run();
    SetState(PlayState::Playing);
}

void MediaStrip::Pause() {
    if (!graph_.IsOpen()) return;
    graph_.Pause();
    SetState(PlayState::Paused);
}

void MediaStrip::Stop() {
    if (!graph_.IsOpen()) return;
    // The graph keeps its position through a stop.
    graph_.Stop();
    SetState(PlayState::Stopped);
}

double MediaStrip::CurrentPosition() { return graph_.Position(); }

void MediaStrip::SetCurrentPosition(double seconds) {
    ended_ = false;
    graph_.SetPosition(seconds);
    ShowNow();
}

void MediaStrip::SetVolume(long volume) {
    volume_ = volume > 0 ? 0 : (volume < -10000 ? -10000 : volume);
    graph_.SetVolume(volume_);
}

long MediaStrip::Volume() {
    long v = 0;
    return graph_.GetVolume(v) ? v : volume_;
}

void MediaStrip::SetVisible(bool visible) {
    visible_ = visible;
    if (hwnd()) ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

std::string MediaStrip::PositionText() const {
    if (!graph_.IsOpen()) return "";
    return MinSec(graph_.Position()) + " / " + MinSec(graph_.Duration());
}

void MediaStrip::SetState(PlayState s) {
    state_ = s;
    if (!hwnd()) return;
    if (s == PlayState::Playing)
        SetTimer(hwnd(), kPositionTimer, kPositionMs, nullptr);
    else
        KillTimer(hwnd(), kPositionTimer);
    ShowNow();
}

void MediaStrip::ShowNow() {
    if (!hwnd()) return;
    // A font given to the texts since the last layout (a window applying its
    // configured font to every control) needs its own room.
    if (RECT r; GetClientRect(hwnd(), &r)) Layout(r.right, r.bottom);
    SetWindowTextA(lblName_, NamePart(file_).c_str());
    SetWindowTextA(lblPos_, PositionText().c_str());
    for (HWND c : cmd_) {
        EnableWindow(c, graph_.IsOpen());
        InvalidateRect(c, nullptr, TRUE);
    }
}

void MediaStrip::OnGraphEvent() {
    switch (graph_.DrainEvents()) {
        case DirectShowGraph::Outcome::Complete:
            graph_.Stop();
            ended_ = true;
            SetState(PlayState::Stopped);
            Raise(EndOfStream);
            break;
        case DirectShowGraph::Outcome::Failed:
            graph_.Stop();
            SetState(PlayState::Stopped);
            Raise(Error);
            break;
        case DirectShowGraph::Outcome::None:
            break;
    }
}

void MediaStrip::DrawButton(const DRAWITEMSTRUCT& d) const {
    const int b = static_cast<int>(d.CtlID) - kCmdBase;
    const bool current = (b == kPlay && state_ == PlayState::Playing) ||
                         (b == kPause && state_ == PlayState::Paused);
    RECT r = d.rcItem;
    const bool down = (d.itemState & ODS_SELECTED) || current;
    DrawFrameControl(d.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    const bool enabled = !(d.itemState & ODS_DISABLED);
    HBRUSH ink = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    const int cx = (r.left + r.right) / 2 + (down ? 1 : 0), cy = (r.top + r.bottom) / 2 + (down ? 1 : 0);
    const int s = (r.bottom - r.top) / 4;  // half the glyph's height
    if (b == kPlay) {
        POINT tri[3] = {{cx - s + 1, cy - s}, {cx - s + 1, cy + s}, {cx + s, cy}};
        HGDIOBJ oldBrush = SelectObject(d.hDC, ink);
        HGDIOBJ oldPen = SelectObject(d.hDC, GetStockObject(NULL_PEN));
        Polygon(d.hDC, tri, 3);
        SelectObject(d.hDC, oldPen);
        SelectObject(d.hDC, oldBrush);
    } else if (b == kPause) {
        RECT left{cx - s, cy - s, cx - s / 3, cy + s + 1};
        RECT right{cx + s / 3 + 1, cy - s, cx + s + 1, cy + s + 1};
        FillRect(d.hDC, &left, ink);
        FillRect(d.hDC, &right, ink);
    } else {
        RECT square{cx - s, cy - s, cx + s, cy + s};
        FillRect(d.hDC, &square, ink);
    }
    if (d.itemState & ODS_FOCUS) {
        RECT f = r;
        InflateRect(&f, -3, -3);
        DrawFocusRect(d.hDC, &f);
    }
}

LRESULT MediaStrip::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kGraphMessage:
            OnGraphEvent();
            return 0;
        case kLoadFailed:
            if (wp == static_cast<WPARAM>(loadSerial_)) Raise(Error);
            return 0;
        case WM_TIMER:
            if (wp == kPositionTimer) SetWindowTextA(lblPos_, PositionText().c_str());
            return 0;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                switch (static_cast<int>(LOWORD(wp)) - kCmdBase) {
                    case kPlay: Play(); break;
                    case kPause: Pause(); break;
                    case kStop: Stop(); break;
                    default: break;
                }
            }
            return 0;
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_SETFONT:
            // The window's own font applies to the texts; the strip keeps
            // its row height.
            SendMessageA(lblName_, WM_SETFONT, wp, lp);
            SendMessageA(lblPos_, WM_SETFONT, wp, lp);
            if (RECT r; GetClientRect(hwnd(), &r)) Layout(r.right, r.bottom);
            return 0;
        case WM_SIZE:
            Layout(LOWORD(lp), HIWORD(lp));
            return 0;
        default:
            return Window::OnMessage(msg, wp, lp);
    }
}

}  // namespace vm
