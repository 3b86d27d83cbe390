// The main window's button states: around long operations (ButtonCtrl) and
// after the check lists change (cmdCont), as plans of enabled states.
#pragma once

#include <vector>

#include "sets/sets_view.h"

namespace vm {

struct ControlState {
    Ctl control;
    bool enabled;
    bool operator==(const ControlState&) const = default;
};

// ButtonCtrl(enable): fltChosen = optFLT is the chosen option, fltCount =
// items of lstFLT. With the backup function off, cmdToOrg and cmdBackUp stay
// disabled (they are hidden too).
std::vector<ControlState> ButtonCtrlPlan(bool enable, bool fltChosen, int fltCount, bool backupEnabled);

// cmdCont: empty (nothing changes) in situation mode or while AutoRandom is
// on; anyChecked = some item of lstClouds or lstOption is checked.
std::vector<ControlState> CmdContPlan(bool fltChosen, bool autoRandomOn, bool randomMode, bool anyChecked,
                                     bool backupEnabled);

// Every control that ButtonCtrl sets.
const std::vector<Ctl>& ButtonCtrlControls();

void ApplyPlan(SetsView& view, const std::vector<ControlState>& plan);

// The main window's enabled states as the state now makes them: everything
// off while an operation or AutoRandom runs; otherwise the buttons by view,
// checks, random mode and backup function, the install button off while a
// period is set, and each simulator choice on when that simulator was found.
struct MainState {
    bool busy = false;               // an operation runs
    bool autoRandomRunning = false;  // Timer1 on
    bool periodSet = false;          // AutoRandomTime != 0
    bool randomMode = false;
    bool fltChosen = false;          // the situation view
    int fltCount = 0;                // situations in lstFLT
    bool anyChecked = false;         // some file of lstClouds or lstOption checked
    bool backupEnabled = false;
    bool fsAvailable[2] = {false, false};
};
std::vector<ControlState> ComputeMainControls(const MainState& s);

}  // namespace vm
