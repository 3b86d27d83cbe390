// DragList: a list box whose lines are reordered by dragging, over the common
// controls' drag-list service. The window holding the list is hooked, since
// the service sends its notifications to the list's parent. Each move is done
// on the list box's lines and then reported, so a list of values bound to the
// lines can make the same move. One instance per draggable list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>

namespace vm {

class DragList {
public:
    DragList() = default;
    DragList(const DragList&) = delete;
    DragList& operator=(const DragList&) = delete;
    ~DragList() { UnhookDragList(); }

    // Called after a drop moved line `from` to line `to` (0-based, where it is
    // now); the bound list makes the same move with MoveItem(v, from, to).
    std::function<void(int from, int to)> Moved;
    // Asked when a drag would begin (null: always): false, and no drag
    // begins. The drag runs its own message loop, so a window whose list
    // changes settings asks its table first.
    std::function<bool()> MayBegin;

    // Hooks the window that contains the list (once; a second call while
    // hooked does nothing, so the first previous procedure is never lost).
    void HookDragList(HWND owner);
    // Makes the list box draggable.
    void InitDragList(HWND list);
    // Puts the window's previous procedure back.
    void UnhookDragList();
    void ClearDragList() { list_ = nullptr; }
    bool Hooked() const { return owner_ != nullptr; }

private:
    static LRESULT CALLBACK DragListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Notify(HWND h, const DRAGLISTINFO& info);

    HWND owner_ = nullptr;
    HWND list_ = nullptr;
    WNDPROC oldWndProc_ = nullptr;
    UINT dragListMsg_ = 0;
    int dragFrom_ = -1;
};

}  // namespace vm
