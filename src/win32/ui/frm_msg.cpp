#include "ui/frm_msg.h"

#include <optional>

#include "common/operation_guard.h"

#include <vector>

#include "platform/app_icon.h"

namespace vm {

namespace {
const char kClass[] = "VellmoraMsg";
constexpr UINT WM_APP_REFOCUS = WM_APP + 1;

// Message windows currently shown, newest last: only the newest one takes
// the focus back when it loses it.
std::vector<frmMsg*>& OpenWindows() {
    static std::vector<frmMsg*> v;
    return v;
}

// The label draws itself with these flags, so what is measured is what
// shows; a word wider than the line (a long path) is broken, not cut.
UINT LabelFlags(bool wrap) {
    return DT_NOPREFIX | DT_EXPANDTABS | (wrap ? DT_WORDBREAK | DT_EDITCONTROL : 0);
}

LPCSTR IconResource(int icon) {
    switch (icon) {
        case 16: return reinterpret_cast<LPCSTR>(IDI_HAND);
        case 32: return reinterpret_cast<LPCSTR>(IDI_QUESTION);
        case 48: return reinterpret_cast<LPCSTR>(IDI_EXCLAMATION);
        case 64: return reinterpret_cast<LPCSTR>(IDI_ASTERISK);
    }
    return nullptr;
}
}  // namespace

frmMsg::~frmMsg() {
    auto& open = OpenWindows();
    for (auto it = open.begin(); it != open.end(); ++it)
        if (*it == this) {
            open.erase(it);
            break;
        }
    Destroy();
    if (lblFont_) DeleteObject(lblFont_);
    if (txtFont_) DeleteObject(txtFont_);
}

TwipSize frmMsg::MeasureLabel(int wrapTwips) {
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, lblFont_);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    RECT r{0, 0, wrapTwips ? TwipsToPx(wrapTwips, metrics_.TwipsX) : 0, 0};
    const UINT flags = DT_CALCRECT | LabelFlags(wrapTwips != 0);
    if (!MsgTxt.empty()) DrawTextA(dc, MsgTxt.c_str(), static_cast<int>(MsgTxt.size()), &r, flags);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    const int h = std::max<int>(r.bottom - r.top, tm.tmHeight);
    const int w = wrapTwips ? wrapTwips : (r.right - r.left) * metrics_.TwipsX;
    return {w, h * metrics_.TwipsY};
}

bool frmMsg::Form_Load(HWND owner, const std::string& fixFont) {
    RegisterClassOnce(kClass, nullptr, AppIcon());
    if (!Create(kClass, Title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 0, 0, 100, 100, owner))
        return false;
    const char* face = fixFont.empty() ? "Courier New" : fixFont.c_str();
    lblFont_ = MakeFont(face, 9, true);
    txtFont_ = MakeFont(face, 9, false);
    metrics_ = GetWinMetrics();

    HWND icon = Child("STATIC", "", WS_VISIBLE | SS_ICON, ID_ICON);
    HWND lbl = Child("STATIC", MsgTxt.c_str(), WS_VISIBLE | SS_OWNERDRAW, ID_LBL);
    HWND txt = Child("EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, ID_TXT,
                     WS_EX_CLIENTEDGE);
    SendMessageA(lbl, WM_SETFONT, reinterpret_cast<WPARAM>(lblFont_), FALSE);
    SendMessageA(txt, WM_SETFONT, reinterpret_cast<WPARAM>(txtFont_), FALSE);

    layout_ = LayoutMessage(MsgTxt, ButtonIcon, metrics_, [this](int wrap) { return MeasureLabel(wrap); });
    answer_.Begin(layout_);
    const int tx = metrics_.TwipsX, ty = metrics_.TwipsY;
    auto px = [&](double t) { return TwipsToPx(t, tx); };
    auto py = [&](double t) { return TwipsToPx(t, ty); };

    // The icon: the design picture unless the style names one.
    HICON pic = layout_.icon ? LoadIconA(nullptr, IconResource(layout_.icon)) : AppIcon();
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(pic), 0);
    MoveWindow(icon, px(90), py(180), px(480), py(480), FALSE);

    if (layout_.useTextBox) {
        ShowWindow(lbl, SW_HIDE);
        std::string crlf;
        for (size_t i = 0; i < MsgTxt.size(); ++i) {  // the edit control wants CR LF
            if (MsgTxt[i] == '\n' && (i == 0 || MsgTxt[i - 1] != '\r')) crlf += '\r';
            crlf += MsgTxt[i];
        }
        SetWindowTextA(txt, crlf.c_str());
        MoveWindow(txt, px(layout_.txtLeft), py(layout_.txtTop), px(layout_.txtWidth), py(layout_.txtHeight),
                   FALSE);
        ShowWindow(txt, SW_SHOWNA);
    } else {
        MoveWindow(lbl, px(layout_.labelLeft), py(layout_.labelTop), px(layout_.labelWidth),
                   py(layout_.labelHeight), FALSE);
    }
    for (const MsgButton& b : layout_.buttons) {
        HWND h = Child("BUTTON", b.caption.c_str(), WS_TABSTOP | BS_PUSHBUTTON, b.code);
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        MoveWindow(h, px(b.left), py(layout_.buttonTop), px(kMsgButtonW), py(kMsgButtonH), FALSE);
        if (b.visible) ShowWindow(h, SW_SHOWNA);
    }
    // Centred on the screen.
    const int w = px(layout_.width), h = py(layout_.height);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void frmMsg::ShowAndFocus() {
    OpenWindows().push_back(this);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    HWND first = Control(layout_.focusCode);
    SendMessageA(hwnd(), DM_SETDEFID, static_cast<WPARAM>(layout_.focusCode), 0);
    SendMessageA(first, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SetFocus(first);
}

void frmMsg::Form_Deactivate(HWND toWindow) {
    // Only when another window of this program took the activation, and only
    // for the newest message window (a nested one keeps its own focus).
    if (!toWindow || OpenWindows().empty() || OpenWindows().back() != this) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(toWindow, &pid);
    if (pid != GetCurrentProcessId()) return;
    PostMessageA(hwnd(), WM_APP_REFOCUS, 0, 0);
}

LRESULT frmMsg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            // A button answers with its code; Esc as the close box.
            if (answer_.Events().Fire(LOWORD(wp), HIWORD(wp)) != Fired::NoEntry) return 0;
            break;
        case WM_CLOSE:
            // Closing by the window's own close box answers the initial result.
            answer_.Events().Fire(evClose);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) Form_Deactivate(reinterpret_cast<HWND>(lp));
            break;
        case WM_APP_REFOCUS:
            if (!answer_.Answered()) {
                SetActiveWindow(hwnd());
                SetFocus(Control(layout_.focusCode));
            }
            return 0;
        case WM_ERASEBKGND: {
            // The background picture: a soft sky gradient.
            HDC dc = reinterpret_cast<HDC>(wp);
            RECT rc;
            GetClientRect(hwnd(), &rc);
            const int h = rc.bottom > 0 ? rc.bottom : 1;
            for (int yy = 0; yy < rc.bottom; yy += 4) {
                const int t = 255 * yy / h;
                HBRUSH b = CreateSolidBrush(RGB(200 + t * 50 / 255, 222 + t * 30 / 255, 245 + t * 10 / 255));
                RECT band{0, yy, rc.right, yy + 4};
                FillRect(dc, &band, b);
                DeleteObject(b);
            }
            return 1;
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (dis->CtlID != ID_LBL) break;
            HGDIOBJ old = SelectObject(dis->hDC, lblFont_);
            SetBkMode(dis->hDC, TRANSPARENT);
            SetTextColor(dis->hDC, RGB(0, 0, 0));
            RECT r = dis->rcItem;
            DrawTextA(dis->hDC, MsgTxt.c_str(), static_cast<int>(MsgTxt.size()), &r, LabelFlags(layout_.wordWrap));
            SelectObject(dis->hDC, old);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            if (reinterpret_cast<HWND>(lp) == Control(ID_TXT)) break;
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
    }
    return Window::OnMessage(msg, wp, lp);
}

int Win32Messages::ShowMsg(const std::string& text, uint8_t style, const std::string& title) {
    // The wait is an operation: what arrives meanwhile asks the guard.
    auto* guard = GuardOfPump(pump_);
    std::optional<OperationScope> waiting;
    if (guard) waiting.emplace(*guard, Operation::Message);
    return ShowMsgModal(*this, pump_, clock_, text, style, title);
}

bool Win32Messages::MainEnabled() { return main_ && IsWindowEnabled(main_); }

void Win32Messages::SetMainEnabled(bool enabled) {
    if (main_) EnableWindow(main_, enabled ? TRUE : FALSE);
}

bool Win32Messages::MainVisible() { return main_ && IsWindowVisible(main_); }

void Win32Messages::FocusMain() {
    if (main_) SetFocus(main_);
}

std::unique_ptr<MsgWindow> Win32Messages::Show(const std::string& text, uint8_t style,
                                               const std::string& title) {
    auto w = std::make_unique<frmMsg>(guard_);
    w->MsgTxt = text;
    w->ButtonIcon = style;
    w->Title = title;
    // No window could be made: it counts as answered, nothing to wait for.
    if (!w->Form_Load(main_, fixFont_ ? *fixFont_ : std::string())) return w;
    if (sound_) sound_(style);
    w->ShowAndFocus();
    if (onShown) onShown(*w);
    return w;
}

}  // namespace vm
