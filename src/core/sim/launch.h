// Install-and-start: installs the chosen sets or situation, starts AutoRandom
// when its interval is set, turns the splash picture and starts the
// simulator unless its window is already there.
#pragma once

#include <functional>
#include <string>

#include "common/ports.h"
#include "config/settings.h"
#include "sets/sets_controller.h"
#include "sim/situation.h"

namespace vm {

struct LaunchHooks {
    std::function<double()> autoRandomTime;  // minutes; 0 = AutoRandom off
    // Starts AutoRandom the way install-and-start does; false when it could
    // not (no set chosen for it) and nothing more is to happen.
    std::function<bool(bool installFirst)> startAutoRandom;
    std::function<void()> showTimeOff;        // the interval 0 again, lblTime "Off"
    std::function<bool()> simWindowExists;    // a window of class "FS98MAIN"
    // Starts the program in a normal window without focus; false when it
    // cannot be started.
    std::function<bool(const std::string& exePath, const std::string& folder)> startProcess;
    std::function<void()> unloadMain;         // ends the program
};

class LaunchController {
public:
    LaunchController(Env& env, Settings& settings, SetsView& view, SetsController& sets,
                     SituationController& situations, LaunchHooks& hooks)
        : env_(env), s_(settings), view_(view), sets_(sets), situations_(situations), hooks_(hooks) {}

    void cmdInstAndStart_MouseDown(int button, bool shift, bool ctrl);
    void cmdInstAndStart_Click();
    // A click of the left button as the window sees it: the press, then the
    // click unless the press (Ctrl) ran it already.
    void cmdInstAndStart_Pressed(bool shift, bool ctrl);
    void mnuNotStartFs_Click();
    void mnuCancel_Click();

    bool StartSim = true;
    bool InstallFirst = true;
    // After each selection of a simulator: its splash saved and its numbered
    // bitmaps counted.
    void PrepareSplash();
    int SplashCount = 0;  // numbered splash bitmaps of the selected simulator

private:
    bool AutoRandomOn() const { return hooks_.autoRandomTime && hooks_.autoRandomTime() != 0; }

    Env& env_;
    Settings& s_;
    SetsView& view_;
    SetsController& sets_;
    SituationController& situations_;
    LaunchHooks& hooks_;
};

}  // namespace vm
