#include "sound/frm_music.h"

#include "platform/app_icon.h"
#include "platform/apply_font.h"
#include "sound/frm_sound.h"

namespace vm {

namespace {
constexpr int kClientW = 260, kClientH = 280;
constexpr double kGapTwips = 100;  // between the file button and the editor
}  // namespace

frmMusic::frmMusic(SoundDesk& desk, Settings& settings, int& deskCalls, OperationGuard& guard)
    : settings_(settings), deskCalls_(deskCalls), order_(desk, settings.MusicList, *this),
      table_(guard, order_, *this) {
    drag_.Moved = [this](int from, int to) { order_.Moved(from, to); };
}

frmMusic::~frmMusic() {
    Unload();
    if (font_) DeleteObject(font_);
}

void frmMusic::Show(HWND desk, HWND fileButton) {
    if (Loaded()) {
        SetForegroundWindow(hwnd());
        return;
    }
    RegisterClassOnce(kClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), AppIcon());
    // Beside the file button: the desk's left plus the button's right edge
    // in the desk, and a small gap; level with the button's top.
    RECT deskRect, button;
    GetWindowRect(desk, &deskRect);
    GetWindowRect(fileButton, &button);
    MapWindowPoints(nullptr, desk, reinterpret_cast<POINT*>(&button), 2);
    const int gap = TwipsToPx(kGapTwips, GetWinMetrics().TwipsX);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT r{0, 0, kClientW, kClientH};
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    if (!Create(kClass, kCaption, style, WS_EX_DLGMODALFRAME, deskRect.left + button.right + gap,
                deskRect.top + button.top, r.right - r.left, r.bottom - r.top, desk))
        return;
    desk_ = desk;
    if (!font_) font_ = MakeFont("Tahoma", 8, false);
    // The list leaves room at its left for the drag's insertion arrow.
    const ControlDef defs[] = {
        {lstOrder, "ListBox", "",
         WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT, 28, 10, 222,
         220, WS_EX_CLIENTEDGE},
        {cmdDel, "Button", "Delete", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 244, 72, 26, 0},
        {cmdOK, "Button", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 96, 244, 72, 26, 0},
        {cmdCancel, "Button", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 178, 244, 72, 26, 0},
    };
    MakeControls(defs, sizeof defs / sizeof defs[0], font_);
    ApplyFont(hwnd(), settings_);
    EnableWindow(desk_, FALSE);
    order_.Form_Load();
    if (!Loaded()) return;  // the desk closed while a notice let messages run
    drag_.HookDragList(hwnd());
    drag_.InitDragList(Control(lstOrder));
    ShowWindow(hwnd(), SW_SHOW);
}

void frmMusic::Unload() {
    if (!hwnd()) return;
    drag_.ClearDragList();
    drag_.UnhookDragList();
    // The desk comes back before the editor goes, so that it takes the focus;
    // the editor is gone before a changed list loads its first title.
    EnableWindow(desk_, TRUE);
    Destroy();
    order_.Form_Unload();
}

LRESULT frmMusic::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    DeskCall call(deskCalls_);
    switch (msg) {
    case WM_COMMAND:
        if (table_.Events().Fire(LOWORD(wp), HIWORD(wp)) != Fired::NoEntry) return 0;
        break;
    case WM_CLOSE:
        table_.Events().Fire(evClose);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

void frmMusic::AddLine(const std::string& text) {
    SendMessageA(Control(lstOrder), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
int frmMusic::LineCount() { return int(SendMessageA(Control(lstOrder), LB_GETCOUNT, 0, 0)); }
bool frmMusic::LineSelected(int line) { return SendMessageA(Control(lstOrder), LB_GETSEL, WPARAM(line), 0) > 0; }
void frmMusic::RemoveLine(int line) { SendMessageA(Control(lstOrder), LB_DELETESTRING, WPARAM(line), 0); }
void frmMusic::Redraw() { InvalidateRect(Control(lstOrder), nullptr, TRUE); }

}  // namespace vm
