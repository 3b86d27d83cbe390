#include "sets/buttons.h"

namespace vm {

const std::vector<Ctl>& ButtonCtrlControls() {
    static const std::vector<Ctl> kControls = {
        Ctl::optFLT,    Ctl::optSky,  Ctl::cmdRandom, Ctl::cmdInst,   Ctl::cmdInstAndStart,
        Ctl::lstClouds, Ctl::lstFLT,  Ctl::lstOption, Ctl::lstSky,    Ctl::cmbClouds,
        Ctl::cmbOption, Ctl::cmdToOrg, Ctl::cmdBackUp,
    };
    return kControls;
}

std::vector<ControlState> ButtonCtrlPlan(bool enable, bool fltChosen, int fltCount, bool backupEnabled) {
    std::vector<ControlState> plan;
    plan.push_back({Ctl::optFLT, enable && fltCount > 0});
    for (Ctl c : {Ctl::optSky, Ctl::cmdRandom, Ctl::cmdInst, Ctl::cmdInstAndStart, Ctl::lstClouds, Ctl::lstFLT,
                  Ctl::lstOption, Ctl::lstSky, Ctl::cmbClouds, Ctl::cmbOption})
        plan.push_back({c, enable});
    const bool backup = enable && !fltChosen && backupEnabled;
    plan.push_back({Ctl::cmdToOrg, backup});
    plan.push_back({Ctl::cmdBackUp, backup});
    return plan;
}

std::vector<ControlState> CmdContPlan(bool fltChosen, bool autoRandomOn, bool randomMode, bool anyChecked,
                                     bool backupEnabled) {
    if (fltChosen || autoRandomOn) return {};
    const bool backup = backupEnabled && !randomMode && anyChecked;
    return {{Ctl::cmdBackUp, backup},
            {Ctl::cmdToOrg, backup},
            {Ctl::cmdInst, anyChecked},
            {Ctl::cmdInstAndStart, anyChecked}};
}

std::vector<ControlState> ComputeMainControls(const MainState& s) {
    const bool idle = !s.busy && !s.autoRandomRunning;
    std::vector<ControlState> plan = ButtonCtrlPlan(idle, s.fltChosen, s.fltCount, s.backupEnabled);
    auto set = [&plan](Ctl c, bool enabled) {
        for (ControlState& st : plan)
            if (st.control == c) {
                st.enabled = enabled;
                return;
            }
        plan.push_back({c, enabled});
    };
    if (idle) {
        for (const ControlState& st :
             CmdContPlan(s.fltChosen, s.periodSet, s.randomMode, s.anyChecked, s.backupEnabled))
            set(st.control, st.enabled);
        if (s.randomMode) {
            set(Ctl::cmdToOrg, false);
            set(Ctl::cmdBackUp, false);
        }
        if (s.periodSet) set(Ctl::cmdInst, false);
    }
    set(Ctl::optFs0, idle && s.fsAvailable[0]);
    set(Ctl::optFs1, idle && s.fsAvailable[1]);
    return plan;
}

void ApplyPlan(SetsView& view, const std::vector<ControlState>& plan) {
    for (const ControlState& s : plan) view.SetEnabled(s.control, s.enabled);
}

}  // namespace vm
