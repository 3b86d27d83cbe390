#include "sim/launch.h"

#include "sim/splash.h"

namespace vm {

void LaunchController::cmdInstAndStart_MouseDown(int button, bool shift, bool ctrl) {
    StartSim = true;
    InstallFirst = true;
    if (button == 1 && shift) StartSim = false;  // install only
    if (button == 1 && ctrl) {
        InstallFirst = false;  // start only
        cmdInstAndStart_Click();
    }
    if (button == 2 && AutoRandomOn()) view_.Popup(Menu::mnuPopUpStartMode);
}

void LaunchController::cmdInstAndStart_Pressed(bool shift, bool ctrl) {
    cmdInstAndStart_MouseDown(1, shift, ctrl);
    // Ctrl ran the click already: a second run would start a second copy of
    // the simulator before the first one's window is there.
    if (!ctrl) cmdInstAndStart_Click();
}

void LaunchController::mnuNotStartFs_Click() {
    StartSim = false;
    cmdInstAndStart_Click();
}

void LaunchController::PrepareSplash() { SplashCount = SplashSetup(env_, s_); }

void LaunchController::mnuCancel_Click() {
    StartSim = true;
    InstallFirst = true;
}

void LaunchController::cmdInstAndStart_Click() {
    if (view_.OptionChosen(Ctl::optSky)) {
        if (!AutoRandomOn() && InstallFirst) {
            const bool ok = sets_.InstallSet();
            if (env_.sound) env_.sound->Beep();
            if (!ok) return;
        }
    } else if (!situations_.InstallSituation()) {
        return;
    }
    if (AutoRandomOn()) {
        if (!hooks_.startAutoRandom || !hooks_.startAutoRandom(InstallFirst)) return;
    } else if (hooks_.showTimeOff) {
        hooks_.showTimeOff();
    }
    RotateSplash(env_, s_, SplashCount);
    if (StartSim && hooks_.simWindowExists && !hooks_.simWindowExists()) {
        const std::string exe = s_.FsExe[s_.FsIndex];
        if (!hooks_.startProcess || !hooks_.startProcess(s_.FsDir + "\\" + exe, s_.FsDir))
            env_.msg->ShowMsg(exe + " can't be opened.", 16, "FS Opening Error");
    }
    if (!AutoRandomOn() && s_.UnloadAfterFsStart && hooks_.unloadMain) hooks_.unloadMain();
}

}  // namespace vm
