#include "sets/frm_rand_sel.h"
#include "platform/popup_menu.h"

#include <commctrl.h>

#include "platform/apply_font.h"
#include "platform/check_list.h"

namespace vm {

namespace {
const char kClass[] = "VellmoraRandSel";
constexpr int kWidth = 270, kHeight = 330;
}  // namespace

frmRandSel::frmRandSel(Env& env, Settings& s, Catalogue& cat, AutoRandomData& ar, HWND main,
                       std::function<void()> endProgram)
    : s_(s), main_(main), endProgram_(std::move(endProgram)), logic_(env, s, cat, ar, *this),
      table_(GuardOf(env) ? *GuardOf(env) : ownGuard_, logic_, *this) {
    drag_.Moved = [this](int from, int to) { logic_.lstOrder_Moved(from, to); };
    drag_.MayBegin = [this] { return table_.MayDrag(); };
}

frmRandSel::~frmRandSel() {
    drag_.UnhookDragList();
    Destroy();
    if (font_) DeleteObject(font_);
}

bool frmRandSel::Form_Load() {
    RegisterClassOnce(kClass, GetSysColorBrush(COLOR_BTNFACE));
    RECT m{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (main_) GetWindowRect(main_, &m);
    const int x = (m.left + m.right - kWidth) / 2, y = (m.top + m.bottom - kHeight) / 2;
    if (!Create(kClass, kRandSelCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, x, y, kWidth,
                kHeight, main_))
        return false;
    font_ = MakeFont("Tahoma", 8, false);
    RECT client;
    GetClientRect(hwnd(), &client);
    // The lists leave room at their left for the drag's insertion arrow.
    const int left = 28, w = client.right - left - 10;
    const ControlDef defs[] = {
        {lstOrder, "LISTBOX", "", WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, left, 10, w, 220,
         WS_EX_CLIENTEDGE},
        {optRnd, "BUTTON", "Random", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, left, 238, 90, 20, 0},
        {optOrder, "BUTTON", "Order", BS_AUTORADIOBUTTON | WS_VISIBLE, left + 100, 238, 90, 20, 0},
        {cmdOK, "BUTTON", "OK", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE | WS_GROUP, int(client.right) - 180, 266, 80,
         26, 0},
        {cmdCancel, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, int(client.right) - 92, 266, 80, 26,
         0},
    };
    MakeControls(defs, sizeof defs / sizeof defs[0], font_);
    HWND set = CreateCheckList(hwnd(), lstSet);
    MoveWindow(set, left, 10, w, 220, FALSE);
    SendMessageA(set, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd(),
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    ApplyFont(hwnd(), s_);
    drag_.HookDragList(hwnd());
    drag_.InitDragList(Control(lstOrder));
    logic_.Form_Load();
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    return true;
}

void frmRandSel::Unload() {
    if (!hwnd()) return;
    logic_.Form_Unload();
    drag_.ClearDragList();
    Destroy();
}

LRESULT frmRandSel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            table_.Events().Fire(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wp) == Control(lstSet)) table_.Events().Fire(lstSet, kRightDown);
            return 0;
        case WM_MEASUREITEM:
            if (CheckListMeasure(reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (CheckListDraw(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
            break;
        case WM_CLOSE:
            table_.Events().Fire(evClose);
            return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

// ---- RandSelView ----

void frmRandSel::Clear(List list) { SendMessageA(ListOf(list), LB_RESETCONTENT, 0, 0); }

void frmRandSel::Add(List list, const std::string& text) {
    SendMessageA(ListOf(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::optional<std::string> frmRandSel::SelectedLine(List list) {
    const int i = static_cast<int>(SendMessageA(ListOf(list), LB_GETCURSEL, 0, 0));
    if (i < 0) return std::nullopt;
    return ListLineText(ListOf(list), i);
}

void frmRandSel::Focus(Button button) { SetFocus(Control(button == Button::cmdOK ? cmdOK : cmdCancel)); }

int frmRandSel::Count(List list) { return static_cast<int>(SendMessageA(ListOf(list), LB_GETCOUNT, 0, 0)); }

void frmRandSel::Select(List list, int index) {
    SendMessageA(ListOf(list), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool frmRandSel::Checked(int index) { return CheckListChecked(Control(lstSet), index); }

void frmRandSel::SetChecked(int index, bool checked) { CheckListSetChecked(Control(lstSet), index, checked); }

void frmRandSel::ShowMode(bool orderMode) {
    SendMessageA(Control(optRnd), BM_SETCHECK, orderMode ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageA(Control(optOrder), BM_SETCHECK, orderMode ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowWindow(Control(lstSet), orderMode ? SW_HIDE : SW_SHOWNA);
    ShowWindow(Control(lstOrder), orderMode ? SW_SHOWNA : SW_HIDE);
}

void frmRandSel::EnableButtons(bool enabled) {
    EnableWindow(Control(cmdOK), enabled);
    EnableWindow(Control(cmdCancel), enabled);
}

void frmRandSel::PopupMenu() {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, mnuSelAll, "Select All(&S)");
    AppendMenuA(m, MF_STRING, mnuClearAll, "Clear All(&C)");
    PopupAtCursor(hwnd(), m, &Events().Guard());
}

void frmRandSel::SetSetToolTip(const std::string& text) { SetControlTip(tips_, hwnd(), Control(lstSet), text); }

void frmRandSel::DragHandling(bool on) {
    if (on) drag_.HookDragList(hwnd());
    else drag_.UnhookDragList();
}

void frmRandSel::EndProgram() {
    if (endProgram_) endProgram_();
}

void frmRandSel::EnableMainWindow() {
    if (!main_) return;
    EnableWindow(main_, TRUE);
    SetForegroundWindow(main_);
}

}  // namespace vm
