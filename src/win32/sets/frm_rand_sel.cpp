#include "sets/frm_rand_sel.h"

#include <commctrl.h>

#include "platform/apply_font.h"
#include "platform/check_list.h"
#include "ui/drag_move.h"

namespace vm {

namespace {
const char kClass[] = "VellmoraRandSel";
constexpr int kWidth = 270, kHeight = 330;
}  // namespace

frmRandSel::frmRandSel(Env& env, Settings& s, Catalogue& cat, AutoRandomData& ar, HWND main,
                       std::function<void()> endProgram)
    : s_(s), ar_(ar), main_(main), endProgram_(std::move(endProgram)), logic_(env, s, cat, ar, *this),
      events_(GuardOf(env) ? *GuardOf(env) : ownGuard_, hold::kSetDialog) {
    drag_.Moved = [this](int from, int to) { MoveItem(ar_.orderedGroups, from, to); };
    // A drag of the order is a choice like the others: it begins only when
    // the table lets one start.
    events_.On(evDragBegin, EventTable::kAnyCode, Policy::Start, hold::kNothing, [] {});
    drag_.MayBegin = [this] { return events_.Fire(evDragBegin) == Fired::Ran; };
    // The choices and OK are the dialog's own (refused only while a message
    // of its own waits); OK writes cloud.ini; the close box (Cancel) waits
    // for the dialog's own handler.
    events_.On(lstSet, LBN_SELCHANGE, Policy::Start, hold::kNothing, [this] {
        // A check mark changed: the dialog's logic sees each item's state.
        for (int i = 0; i < Count(List::lstSet); ++i) logic_.lstSet_ItemCheck(i, Checked(i));
    });
    events_.On(lstSet, LBN_KILLFOCUS, Policy::Start, hold::kNothing, [this] { logic_.lstSet_LostFocus(); });
    events_.On(lstOrder, LBN_SELCHANGE, Policy::Start, hold::kNothing, [this] {
        const int i = static_cast<int>(SendMessageA(Control(lstOrder), LB_GETCURSEL, 0, 0));
        if (i >= 0) logic_.lstOrder_Click(ListLineText(Control(lstOrder), i));
    });
    events_.On(lstOrder, LBN_KILLFOCUS, Policy::Start, hold::kNothing, [this] { logic_.lstOrder_LostFocus(); });
    events_.On(optRnd, BN_CLICKED, Policy::Start, hold::kNothing, [this] { logic_.optRnd_Click(); });
    events_.On(optOrder, BN_CLICKED, Policy::Start, hold::kNothing, [this] { logic_.optOrder_Click(); });
    // As a mouse click does: the list in use loses the focus first.
    events_.On(cmdOK, BN_CLICKED, Policy::Start, hold::kIni, [this] {
        SetFocus(Control(cmdOK));
        logic_.cmdOk_Click();
    });
    events_.On(cmdCancel, BN_CLICKED, Policy::Start, hold::kNothing, [this] {
        SetFocus(Control(cmdCancel));
        logic_.cmdCancel_Click();
    });
    events_.On(mnuSelAll, 0, Policy::Start, hold::kNothing, [this] { logic_.mnuSelAll_Click(); });
    events_.On(mnuClearAll, 0, Policy::Start, hold::kNothing, [this] { logic_.mnuClearAll_Click(); });
    events_.On(lstSet, kRightDown, Policy::Start, hold::kNothing, [this] { logic_.lstSet_MouseDown(2); });
    events_.On(evClose, EventTable::kAnyCode, Policy::Close, hold::kNothing, [this] { Unload(); });
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
            events_.Fire(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wp) == Control(lstSet)) events_.Fire(lstSet, kRightDown);
            return 0;
        case WM_MEASUREITEM:
            if (CheckListMeasure(reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (CheckListDraw(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
            break;
        case WM_CLOSE:
            events_.Fire(evClose);
            return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

// ---- RandSelView ----

void frmRandSel::Clear(List list) { SendMessageA(ListOf(list), LB_RESETCONTENT, 0, 0); }

void frmRandSel::Add(List list, const std::string& text) {
    SendMessageA(ListOf(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

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
    POINT pt;
    GetCursorPos(&pt);
    const int id = TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd(), nullptr);
    DestroyMenu(m);
    if (id) PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
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
