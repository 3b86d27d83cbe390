// Check lists: owner-drawn list boxes whose items carry a check box. A click
// on the box or the Space key toggles the current item; the parent then gets
// LBN_SELCHANGE, as for a change of selection.
#pragma once

#include <windows.h>

namespace vm {

// Creates the list box (child of parent, hidden until shown) at `at`, in the
// parent's client coordinates.
HWND CreateCheckList(HWND parent, int id, const RECT& at = {0, 0, 10, 10});
bool CheckListChecked(HWND list, int index);
void CheckListSetChecked(HWND list, int index, bool checked);
// The parent's WM_MEASUREITEM / WM_DRAWITEM for a check list; true when handled.
bool CheckListMeasure(MEASUREITEMSTRUCT* mis);
bool CheckListDraw(const DRAWITEMSTRUCT* dis);
// Width of the box area at the left of each item, in pixels.
constexpr int kCheckBoxArea = 18;

}  // namespace vm
