#include "sets/auto_random.h"

#include <algorithm>
#include <cmath>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sets/sets_controller.h"
#include "sound/play_sound.h"

namespace vm {

bool AnyRandomGroup(const Catalogue& cat) {
    return std::any_of(cat.groups.begin(), cat.groups.end(), [](const SetGroup& g) { return g.random; });
}

void DefaultRandomFlags(Catalogue& cat) {
    if (!AnyRandomGroup(cat))
        for (SetGroup& g : cat.groups) g.random = true;
    BuildEligibility(cat);
}

void NormaliseOrder(Catalogue& cat, AutoRandomData& ar) {
    std::vector<int> taking;
    for (size_t i = 0; i < cat.groups.size(); ++i)
        if (cat.groups[i].random && cat.groups[i].hasValid) taking.push_back(static_cast<int>(i) + 1);
    std::stable_sort(taking.begin(), taking.end(),
                     [&](int a, int b) { return cat.Group(a).order < cat.Group(b).order; });
    for (SetGroup& g : cat.groups) g.order = kNoNumber;
    for (size_t i = 0; i < taking.size(); ++i) cat.Group(taking[i]).order = static_cast<int16_t>(i + 1);
    ar.orderedGroups = taking;
    BuildOrderList(cat, ar);
}

void StoreOrder(Catalogue& cat, const AutoRandomData& ar) {
    for (size_t i = 0; i < ar.orderedGroups.size(); ++i) {
        const int n = ar.orderedGroups[i];
        if (n >= 1 && static_cast<size_t>(n) <= cat.groups.size()) cat.Group(n).order = static_cast<int16_t>(i + 1);
    }
}

void BuildOrderList(const Catalogue& cat, AutoRandomData& ar) {
    ar.orderList.clear();
    for (int n : ar.orderedGroups) {
        if (n < 1 || static_cast<size_t>(n) > cat.groups.size()) continue;
        const SetGroup& g = cat.Group(n);
        for (int k = g.firstEntry; k < g.firstEntry + g.entryCount; ++k)
            if (k >= 1 && static_cast<size_t>(k) <= cat.entries.size() && cat.Entry(k).valid)
                ar.orderList.push_back(cat.Entry(k).name);
    }
}

void SaveOrder(Env& env, Settings& s, const Catalogue& cat) {
    const std::string ini = IniPath(env, s);
    // Writing to a file that is not there would create a cloud.ini holding
    // nothing but these keys.
    if (FileCheck(env, ini) != "OK") return;
    clsCfgWrite w(env, s);
    w.FileName = ini;
    w.Key = "Order";
    // Only keys that change are written: at start-up the file mostly holds
    // the order already, and each write makes the platform rewrite the file.
    clsCfgRead r(env);
    r.FileName = ini;
    r.Key = "Order";
    bool wrote = false;
    for (size_t i = 0; i < cat.groups.size(); ++i) {
        const SetGroup& g = cat.groups[i];
        w.Section = r.Section = "Set" + std::to_string(i + 1);
        w.Value = g.random && g.order != kNoNumber ? std::to_string(g.order) : std::string();
        const std::string now = r.Data();
        if (r.ReadFailed) return;
        if (w.Value.empty() ? SameText(now, "Error") : now == w.Value) continue;
        w.cWrite();
        wrote = true;
    }
    if (!wrote) return;
    if (env.clock) env.clock->Sleep(50);
    StoreIniTime(env, s);
}

int RandomIndex(Env& env, const std::vector<bool>& eligible, int low, int high, bool autoRandomOn, int& lastPick) {
    int count = 0, only = 0;
    for (size_t i = 0; i < eligible.size() && count < 2; ++i)
        if (eligible[i]) {
            ++count;
            only = static_cast<int>(i);
        }
    if (count == 0) return 0;
    if (count == 1) return only;
    const double u = env.random->Next();
    if (!autoRandomOn) return static_cast<int>(std::floor(u * (high - low + 1) + low));

    if (env.pump) env.pump->DoEvents();
    // The candidates a repeated draw could end on: eligible, in the range and
    // not the last pick. Drawing among them directly gives each the same
    // chance and cannot run forever when the range holds none.
    auto isEligible = [&](int r) { return r >= 0 && static_cast<size_t>(r) < eligible.size() && eligible[r]; };
    std::vector<int> candidates;
    for (int r = std::max(low, 0); r <= high; ++r)
        if (isEligible(r) && r != lastPick) candidates.push_back(r);
    if (candidates.empty()) return isEligible(lastPick) && lastPick >= low && lastPick <= high ? lastPick : -1;
    size_t at = static_cast<size_t>(std::floor(u * static_cast<double>(candidates.size())));
    if (at >= candidates.size()) at = candidates.size() - 1;
    lastPick = candidates[at];
    return lastPick;
}

PeriodClick NextPeriod(int t, int button, int shift, int timeRes) {
    PeriodClick c{t, false};
    if (button == 1 && shift == 0) {
        if (t >= 0 && t <= 9) t += timeRes;
        else if (t >= 10 && t <= 190) t += 10;
        else if (t > 190) t += 50;
        if (t > 600) t = 0;
        return {t, true};
    }
    if (button == 1 && shift == 1) {
        if (t <= 0) t = 600;
        // A step larger than what is left ends at 0 (Off), never below.
        else if (t <= 10) t = std::max(0, t - timeRes);
        else if (t <= 200) t -= 10;
        else t -= 50;
        return {t, true};
    }
    if (button == 1 && shift == 2) {
        t = (t / 100 + 1) * 100;
        if (t > 600) t = 0;
        return {t, true};
    }
    if (button == 2) return {0, false};
    return c;
}

int PeriodTenths(double autoRandomTime) {
    // The period is a whole number of tenths held as a double: absorb the
    // representation error before cutting the fraction.
    return static_cast<int>(std::floor(autoRandomTime * 10 + 1e-6));
}

std::string PeriodCaption(int tenths) {
    if (tenths == 0) return "Off";
    const double minutes = tenths / 10.0;
    return FormatNumber(minutes, minutes < 1 ? "0.0" : "0") + "min";
}

std::string RemainCaption(bool randomMode, const std::string& setName, bool lastResult, double remainingSeconds) {
    const std::string remain = FormatNumber(remainingSeconds, "nn:ss");
    if (randomMode) return "Time Remain " + remain;
    return setName + (lastResult ? "" : kInstallErrorMark) + "    Time Remain  " + remain;
}

// ---- controller ----

void AutoRandomController::DoEvents() {
    if (env_.pump) env_.pump->DoEvents();
}

int AutoRandomController::IndexOf(const std::string& name) {
    const int n = view_.Count(Lst::cmbClouds);
    for (int i = 0; i < n; ++i)
        if (SameText(view_.Item(Lst::cmbClouds, i), name)) return i;
    return -1;
}

void AutoRandomController::CatalogueLoaded() { NormaliseOrder(cat_, ar_); }

void AutoRandomController::StartupDefaults() { DefaultRandomFlags(cat_); }

void AutoRandomController::NormaliseAndSaveOrder() {
    NormaliseOrder(cat_, ar_);
    SaveOrder(env_, s_, cat_);
}

void AutoRandomController::cmdRandom_Click() {
    const bool played = hooks_.playButtonSound && hooks_.playButtonSound();
    if (!played && env_.sound) env_.sound->Beep();
    state_.RandomMode = true;
    if (!view_.OptionChosen(Ctl::optSky)) {
        arView_.ChooseSky();
        sets_.optSky_Click();
    }
    view_.SetEnabled(Ctl::cmdToOrg, false);
    view_.SetEnabled(Ctl::cmdBackUp, false);
    const int count = view_.Count(Lst::cmbClouds);
    if (count == 0) return;
    for (Ctl c : {Ctl::imgSky, Ctl::lstSky, Ctl::lstSkyFil, Ctl::lblFilter, Ctl::lstFLT, Ctl::lblMsg, Ctl::cmbClouds,
                  Ctl::cmbOption, Ctl::lstClouds, Ctl::lstOption})
        view_.SetVisible(c, false);
    view_.SetCaption(Ctl::lblMsg, "");
    DoEvents();
    const int r = RandomIndex(env_, cat_.eligible, 0, count - 1, On(), ar_.lastPick);
    sets_.ChooseSet(r);
    view_.ShowPicture("");
    DoEvents();
    view_.SetVisible(Ctl::imgSky, true);
    view_.SetCaption(Ctl::lblMsg, kPressInstall);
    view_.SetVisible(Ctl::lblMsg, true);
}

void AutoRandomController::lblTime_MouseDown(int button, int shift) {
    if (hooks_.playButtonSound) hooks_.playButtonSound();
    const PeriodClick c = NextPeriod(PeriodTenths(s_.AutoRandomTime), button, shift, s_.TimeRes);
    if (button == 2) ar_.orderPos = 0;
    if (c.shown && c.tenths != 0) arView_.ShowTime(PeriodCaption(c.tenths));
    s_.AutoRandomTime = c.tenths / 10.0;
    if (c.tenths == 0) {
        arView_.SetTimer1(false);
        arView_.ShowTime(PeriodCaption(0));
        sets_.ButtonCtrl(true);
        if (state_.RandomMode) {
            view_.SetCaption(Ctl::lblMsg, kPressInstall);
            view_.SetVisible(Ctl::lblMsg, true);
        } else if (view_.OptionChosen(Ctl::optSky)) {
            const int i = view_.Selected(Lst::cmbClouds);
            view_.SetCaption(Ctl::lblMsg, i >= 0 ? view_.Item(Lst::cmbClouds, i) : std::string());
        } else {
            arView_.RestoreSituation();
        }
    } else {
        view_.SetEnabled(Ctl::cmdInst, false);
    }
    arView_.SelectRefreshMode();
}

bool AutoRandomController::Start(bool checkSets) {
    if (!On()) return false;
    if (checkSets && !AnyRandomGroup(cat_)) {
        env_.msg->ShowMsg(kNoSelectedText, 64, kNoSelectedTitle);
        lblAutoRandom_Click();
        return false;
    }
    sets_.ButtonCtrl(false);
    ar_.orderPos = 0;
    arView_.SetTimer1(true);
    state_.InstallTime = env_.clock->Now() - s_.AutoRandomTime / 60 / 24;
    arView_.SelectRefreshMode();
    return true;
}

void AutoRandomController::Timer1_Timer() {
    // An installation lets messages run; a tick that arrives meanwhile is
    // dropped rather than starting a second installation inside the first.
    if (inTick_) return;
    inTick_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inTick_};
    double remaining = (state_.InstallTime + s_.AutoRandomTime / 60 / 24 - env_.clock->Now()) * 24 * 60 * 60;
    if (s_.RandomWait != 0) {
        // The test pause lets messages run rather than holding the window.
        if (env_.pump) PumpingWait(*env_.clock, *env_.pump, static_cast<unsigned>(std::max<int32_t>(s_.RandomWait, 0)));
        else env_.clock->Sleep(static_cast<unsigned>(std::max<int32_t>(s_.RandomWait, 0)));
        remaining = -1;
    }
    if (remaining <= 0) {
        int index = -1;
        if (!ar_.orderMode) {
            index = RandomIndex(env_, cat_.eligible, 0, view_.Count(Lst::cmbClouds) - 1, On(), ar_.lastPick);
        } else if (!ar_.orderList.empty()) {
            const int pos = ar_.orderPos + 1 > static_cast<int>(ar_.orderList.size()) ? 1 : ar_.orderPos + 1;
            index = IndexOf(ar_.orderList[static_cast<size_t>(pos - 1)]);
            if (index >= 0) ar_.orderPos = pos;
        }
        // Nothing to install (an empty order list, no eligible set in
        // reach): the period goes on and the next tick tries again.
        if (index >= 0) {
            sets_.ChooseSet(index);
            if (s_.AutoRandomBeep) PlayAutoRandomSound(env_, s_);
            ar_.lastResult = sets_.InstallSet();
        }
    }
    if (!On()) {
        const int i = view_.Selected(Lst::cmbClouds);
        view_.SetCaption(Ctl::lblMsg,
                         state_.RandomMode || i < 0 ? std::string() : view_.Item(Lst::cmbClouds, i));
        return;
    }
    ShowCountdown();
    DoEvents();
}

void AutoRandomController::ShowCountdown() {
    if (!On()) return;
    const int i = view_.Selected(Lst::cmbClouds);
    const std::string name = i >= 0 ? view_.Item(Lst::cmbClouds, i) : std::string();
    const double left = (state_.InstallTime + s_.AutoRandomTime / 60 / 24 - env_.clock->Now()) * 24 * 60 * 60;
    view_.SetCaption(Ctl::lblMsg, RemainCaption(state_.RandomMode, name, ar_.lastResult, left));
}

void AutoRandomController::lblAutoRandom_Click() {
    if (cat_.entries.empty()) return;
    arView_.OpenSetDialog();
}

}  // namespace vm
