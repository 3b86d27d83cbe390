#include "ui/drag_list.h"

#include <commctrl.h>

#include <string>

#include "platform/window.h"
#include "ui/drag_move.h"

namespace vm {

namespace {
const char kInstance[] = "VmDragList";

// Takes the insertion arrow away. The arrow is drawn on the owner and may
// reach into the list, which the owner's repaint leaves as it was: the list
// is repainted too, its frame included.
void EraseInsert(HWND owner, HWND list) {
    DrawInsert(owner, list, -1);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}
}  // namespace

void DragList::HookDragList(HWND owner) {
    if (owner_ || !owner) return;
    owner_ = owner;
    SetPropA(owner, kInstance, this);
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DragList::DragListProc)));
}

void DragList::InitDragList(HWND list) {
    list_ = list;
    MakeDragList(list);
    dragListMsg_ = RegisterWindowMessageA("commctrl_DragListMsg");
}

void DragList::UnhookDragList() {
    if (!owner_) return;
    if (IsWindow(owner_)) {
        SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
        RemovePropA(owner_, kInstance);
    }
    owner_ = nullptr;
    oldWndProc_ = nullptr;
}

LRESULT CALLBACK DragList::DragListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<DragList*>(GetPropA(h, kInstance));
    if (!self) return DefWindowProcA(h, msg, wp, lp);
    if (msg != self->dragListMsg_ || self->dragListMsg_ == 0 || !lp) {
        WNDPROC old = self->oldWndProc_;
        // The window is going away: its own procedure comes back first.
        if (msg == WM_NCDESTROY) self->UnhookDragList();
        return CallWindowProcA(old, h, msg, wp, lp);
    }
    DRAGLISTINFO info;
    CopyMemory(&info, reinterpret_cast<const void*>(lp), sizeof info);
    return self->Notify(h, info);
}

LRESULT DragList::Notify(HWND h, const DRAGLISTINFO& info) {
    HWND list = info.hWnd;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    if (list != list_ || count < 2) return 0;
    switch (info.uNotification) {
        case DL_BEGINDRAG:
            if (MayBegin && !MayBegin()) return 0;
            dragFrom_ = LBItemFromPt(list, info.ptCursor, TRUE);
            return dragFrom_ >= 0 ? 1 : 0;
        case DL_DRAGGING:
            DrawInsert(h, list, LBItemFromPt(list, info.ptCursor, TRUE));
            return DL_MOVECURSOR;
        case DL_DROPPED: {
            EraseInsert(h, list);
            const int from = dragFrom_;
            dragFrom_ = -1;
            const int to = DropIndex(count, from, LBItemFromPt(list, info.ptCursor, TRUE));
            if (to < 0) return 0;
            const std::string text = ListLineText(list, from);
            SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(from), 0);
            SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(text.c_str()));
            if (GetWindowLongPtrA(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) {
                SendMessageA(list, LB_SETSEL, FALSE, -1);
                SendMessageA(list, LB_SETSEL, TRUE, to);
            } else {
                SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(to), 0);
            }
            if (Moved) Moved(from, to);
            return 0;
        }
        case DL_CANCELDRAG:
            EraseInsert(h, list);
            dragFrom_ = -1;
            return 0;
    }
    return 0;
}

}  // namespace vm
