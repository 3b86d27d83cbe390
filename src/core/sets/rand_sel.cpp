#include "sets/rand_sel.h"

#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sound/play_sound.h"
#include "ui/drag_move.h"

namespace vm {

void RandSelController::Form_Load() {
    savedRandom_.clear();
    savedOrder_.clear();
    for (const SetGroup& g : cat_.groups) {
        savedRandom_.push_back(g.random);
        savedOrder_.push_back(g.order);
    }
    savedOrderMode_ = ar_.orderMode;
    groups_.clear();
    view_.Clear(RandSelView::List::lstSet);
    for (size_t i = 0; i < cat_.groups.size(); ++i) {
        const SetGroup& g = cat_.groups[i];
        if (!g.hasValid) continue;
        view_.Add(RandSelView::List::lstSet, g.baseName);
        groups_.push_back(static_cast<int>(i) + 1);
        view_.SetChecked(static_cast<int>(groups_.size()) - 1, g.random);
    }
    if (!groups_.empty()) view_.Select(RandSelView::List::lstSet, 0);
    PlayAutoRandomSound(env_, s_);
    if (ar_.orderMode) FillOrder();
    view_.ShowMode(ar_.orderMode);
    view_.DragHandling(true);
}

void RandSelController::FillOrder() {
    view_.Clear(RandSelView::List::lstOrder);
    for (int n : ar_.orderedGroups) view_.Add(RandSelView::List::lstOrder, cat_.Group(n).baseName);
}

void RandSelController::optRnd_Click() {
    view_.ShowMode(false);
    ar_.orderMode = false;
}

void RandSelController::optOrder_Click() {
    // The list shows the order as it is now, also after check changes made
    // in random mode.
    FillOrder();
    view_.ShowMode(true);
    ar_.orderMode = true;
}

void RandSelController::lstSet_ItemCheck(int item, bool checked) {
    if (item < 0 || static_cast<size_t>(item) >= groups_.size()) return;
    SetGroup& g = cat_.Group(groups_[static_cast<size_t>(item)]);
    if (g.random == checked) return;
    g.random = checked;
    // A group switched on joins the order at its end. The order list follows
    // every change, whatever made it (a click, the keyboard, the pop-up
    // menu): the list may never have had the focus it would lose.
    g.order = kNoNumber;
    NormaliseOrder(cat_, ar_);
}

void RandSelController::lstSet_Click() {
    const int n = view_.Count(RandSelView::List::lstSet);
    for (int i = 0; i < n; ++i) lstSet_ItemCheck(i, view_.Checked(i));
}

void RandSelController::lstSet_LostFocus() { NormaliseOrder(cat_, ar_); }

void RandSelController::lstSet_MouseDown(int button) {
    if (button == 2) view_.PopupMenu();
}

void RandSelController::CheckAll(bool checked) {
    const int n = view_.Count(RandSelView::List::lstSet);
    for (int i = 0; i < n; ++i) {
        view_.SetChecked(i, checked);
        lstSet_ItemCheck(i, checked);
    }
}

void RandSelController::lstOrder_LostFocus() {
    StoreOrder(cat_, ar_);
    BuildOrderList(cat_, ar_);
}

void RandSelController::lstOrder_Click(const std::string& text) { view_.SetSetToolTip(text); }

void RandSelController::lstOrder_Moved(int from, int to) { MoveItem(ar_.orderedGroups, from, to); }

void RandSelController::cmdOk_Click() {
    view_.EnableButtons(false);
    const int n = view_.Count(RandSelView::List::lstSet);
    bool any = false;
    for (int i = 0; i < n && !any; ++i) any = view_.Checked(i);
    if (!any) {
        optRnd_Click();
        view_.DragHandling(false);
        env_.msg->ShowMsg(kNoSelectedText, 64, kNoSelectedTitle);
        view_.DragHandling(true);
        view_.EnableButtons(true);
        return;
    }
    const std::string ini = IniPath(env_, s_);
    const bool haveIni = FileCheck(env_, ini) == "OK";
    if (haveIni) {
        const std::optional<double> t = env_.fs->ModTime(ini);
        if (!t || *t != s_.IniTime) {
            // The user edited cloud.ini by hand: writing now would mix the
            // program's old view into it. Stop without writing anything.
            iniChanged_ = true;
            view_.DragHandling(false);
            env_.msg->ShowMsg(kIniChangedText, 16, kIniChangedTitle);
            view_.EndProgram();
            return;
        }
    }
    // The marks as the dialog shows them are the choice: the groups take
    // them first (a mark whose event never came counts too), then both
    // cloud.ini and the eligibility follow the groups.
    lstSet_Click();
    if (haveIni) {
        clsCfgWrite w(env_, s_);
        w.FileName = ini;
        w.Key = "Random";
        for (int g : groups_) {
            w.Section = "Set" + std::to_string(g);
            w.Value = cat_.Group(g).random ? "on" : "off";
            w.cWrite();
        }
        env_.clock->Sleep(50);
        StoreIniTime(env_, s_);
    }
    BuildEligibility(cat_);
    answered_ = true;
    view_.Close();
}

void RandSelController::PutSavedBack() {
    for (size_t i = 0; i < cat_.groups.size() && i < savedRandom_.size(); ++i) {
        cat_.groups[i].random = savedRandom_[i];
        cat_.groups[i].order = savedOrder_[i];
    }
    NormaliseOrder(cat_, ar_);
    ar_.orderMode = savedOrderMode_;
}

void RandSelController::cmdCancel_Click() {
    view_.EnableButtons(false);
    PutSavedBack();
    answered_ = true;
    view_.Close();
}

void RandSelController::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // Closed without OK or Cancel (the close box, Alt+F4, the program
    // ending): that is Cancel. The choices were only made in memory, and the
    // Order keys written below must not drop groups that were unchecked for
    // a moment.
    if (!answered_) PutSavedBack();
    view_.DragHandling(false);
    ar_.orderPos = 0;
    if (!iniChanged_) SaveOrder(env_, s_, cat_);
    PlayAutoRandomSound(env_, s_);
    view_.EnableMainWindow();
}

RandSelTable::RandSelTable(OperationGuard& guard, RandSelController& logic, RandSelView& view)
    : events_(guard, hold::kSetDialog) {
    using namespace hold;
    using List = RandSelView::List;
    using Button = RandSelView::Button;
    EventTable& t = events_;
    t.On(evDragBegin, EventTable::kAnyCode, Policy::Start, kNothing, [] {});
    t.On(lstSet, kSelChange, Policy::Start, kNothing, [&logic] { logic.lstSet_Click(); });
    t.On(lstSet, kKillFocus, Policy::Start, kNothing, [&logic] { logic.lstSet_LostFocus(); });
    t.On(lstSet, kRightDown, Policy::Start, kNothing, [&logic] { logic.lstSet_MouseDown(2); });
    t.On(lstOrder, kSelChange, Policy::Start, kNothing, [&logic, &view] {
        if (const std::optional<std::string> line = view.SelectedLine(List::lstOrder)) logic.lstOrder_Click(*line);
    });
    t.On(lstOrder, kKillFocus, Policy::Start, kNothing, [&logic] { logic.lstOrder_LostFocus(); });
    t.On(optRnd, kClicked, Policy::Start, kNothing, [&logic] { logic.optRnd_Click(); });
    t.On(optOrder, kClicked, Policy::Start, kNothing, [&logic] { logic.optOrder_Click(); });
    t.On(mnuSelAll, kClicked, Policy::Start, kNothing, [&logic] { logic.mnuSelAll_Click(); });
    t.On(mnuClearAll, kClicked, Policy::Start, kNothing, [&logic] { logic.mnuClearAll_Click(); });
    t.On(cmdOK, kClicked, Policy::Start, kIni, [&logic, &view] {
        view.Focus(Button::cmdOK);
        logic.cmdOk_Click();
    });
    t.On(cmdCancel, kClicked, Policy::Start, kNothing, [&logic, &view] {
        view.Focus(Button::cmdCancel);
        logic.cmdCancel_Click();
    });
    t.On(evClose, EventTable::kAnyCode, Policy::Close, kNothing, [&view] { view.Close(); });
}

}  // namespace vm
