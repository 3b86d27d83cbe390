// frmRandSel: the AutoRandom set dialog. lstSet (check list) chooses the
// groups taking part, lstOrder (drag list) their order; the logic is
// RandSelController's. The main window stays disabled while it is up.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/window.h"
#include "sets/rand_sel.h"
#include "ui/drag_list.h"

namespace vm {

class frmRandSel : public Window, public RandSelView, public RandSelIds {
public:

    // `endProgram` closes the main window.
    frmRandSel(Env& env, Settings& s, Catalogue& cat, AutoRandomData& ar, HWND main,
               std::function<void()> endProgram);
    ~frmRandSel() override;

    // Creates and shows the dialog, centred on the main window.
    bool Form_Load();
    // Closes the dialog as its close box does: without OK this is Cancel.
    void Unload();
    bool Loaded() const { return hwnd() != nullptr; }
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
    RandSelController& Logic() { return logic_; }
    EventTable& Events() { return table_.Events(); }

    // RandSelView.
    void Clear(List list) override;
    void Add(List list, const std::string& text) override;
    int Count(List list) override;
    void Select(List list, int index) override;
    std::optional<std::string> SelectedLine(List list) override;
    void Focus(Button button) override;
    bool Checked(int index) override;
    void SetChecked(int index, bool checked) override;
    void ShowMode(bool orderMode) override;
    void EnableButtons(bool enabled) override;
    void PopupMenu() override;
    void SetSetToolTip(const std::string& text) override;
    void DragHandling(bool on) override;
    void Close() override { Unload(); }
    void EndProgram() override;
    void EnableMainWindow() override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HWND ListOf(List list) const { return Control(list == List::lstSet ? lstSet : lstOrder); }

    Settings& s_;
    HWND main_;
    std::function<void()> endProgram_;
    RandSelController logic_;
    DragList drag_;
    HFONT font_ = nullptr;
    HWND tips_ = nullptr;
    // Every entry point of the dialog goes through its table, asking the
    // program's guard (a guard of its own where the program has none).
    OperationGuard ownGuard_;
    RandSelTable table_;
};

}  // namespace vm
