#include "platform/check_list.h"

namespace vm {

namespace {
const char kOldProc[] = "VmCheckListProc";

void Toggle(HWND list, int index) {
    if (index < 0 || index >= static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0))) return;
    CheckListSetChecked(list, index, !CheckListChecked(list, index));
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(h, kOldProc));
    if (msg == WM_LBUTTONDOWN) {
        const int x = static_cast<short>(LOWORD(lp));
        const LRESULT hit = SendMessageA(h, LB_ITEMFROMPOINT, 0, lp);
        const LRESULT r = CallWindowProcA(old, h, msg, wp, lp);
        if (HIWORD(hit) == 0 && x < kCheckBoxArea) Toggle(h, LOWORD(hit));
        return r;
    }
    if (msg == WM_KEYDOWN && wp == VK_SPACE) {
        Toggle(h, static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0)));
        return 0;
    }
    if (msg == WM_CHAR && wp == ' ') return 0;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(h, kOldProc);
    }
    return CallWindowProcA(old, h, msg, wp, lp);
}
}  // namespace

HWND CreateCheckList(HWND parent, int id, const RECT& at) {
    HWND h = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                             WS_CHILD | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                                 LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                             at.left, at.top, at.right - at.left, at.bottom - at.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    SetPropA(h, kOldProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(h, GWLP_WNDPROC)));
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    return h;
}

bool CheckListChecked(HWND list, int index) {
    const LRESULT d = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return d != LB_ERR && d != 0;
}

void CheckListSetChecked(HWND list, int index, bool checked) {
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    RECT r;
    if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(list, &r, FALSE);
}

bool CheckListMeasure(MEASUREITEMSTRUCT* mis) {
    if (mis->CtlType != ODT_LISTBOX) return false;
    mis->itemHeight = 16;
    return true;
}

bool CheckListDraw(const DRAWITEMSTRUCT* dis) {
    if (dis->CtlType != ODT_LISTBOX) return false;
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (static_cast<int>(dis->itemID) < 0) return true;
    RECT box{r.left + 2, r.top + 1, r.left + 16, r.top + 15};
    DrawFrameControl(dc, &box, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (dis->itemData ? DFCS_CHECKED : 0));
    char text[512];
    const LRESULT n = SendMessageA(dis->hwndItem, LB_GETTEXT, dis->itemID, reinterpret_cast<LPARAM>(text));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT t = r;
    t.left += kCheckBoxArea + 2;
    if (n > 0) DrawTextA(dc, text, static_cast<int>(n), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (dis->itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
    return true;
}

}  // namespace vm
