#include "config/main_shell.h"

#include <optional>

#include "config/detect.h"
#include "config/main_window.h"
#include "sim/splash.h"
#include "sound/play_sound.h"

namespace vm {

MainShell::MainShell(Env& env, Settings& settings, FontTable& fonts, IpcTransport& transport, Clock& clock,
                     OperationGuard& guard, MainView& view)
    : env_(env), s_(settings), fonts_(fonts), guard_(guard), view_(view), clock_(clock),
      sets(env, settings, cat, state, view, hooks),
      situations(env, settings, view, sets, situationHooks),
      autoRandom(env, settings, cat, state, arData, view, sets, hooks, *this),
      launch(env, settings, view, sets, situations, launchHooks),
      link(transport, clock, guard),
      refresh(link, weather, clock, guard, *this),
      events_(guard, hold::kMainWindow) {
    hooks.autoRandomOn = [this] { return s_.AutoRandomTime != 0; };
    hooks.autoRandomRunning = [this] { return timer1_; };
    hooks.stopAutoRandom = [this] { SetTimer1(false); };
    hooks.playButtonSound = [this] { return vm::PlayButtonSound(env_, s_); };
    hooks.refreshClouds = [this](const std::string& dataType) { refresh.RefreshAfterInstall(dataType); };
    hooks.installSituation = [this] { situations.InstallSituation(); };
    situationHooks.setListTip = [this](const std::string& text) { view_.SetToolTip("lstFLT", 0, text); };
    situationHooks.playButtonSound = [this] { return vm::PlayButtonSound(env_, s_); };
    situationHooks.autoRandomTime = [this] { return s_.AutoRandomTime; };
    launchHooks.autoRandomTime = [this] { return s_.AutoRandomTime; };
    launchHooks.showTimeOff = [this] {
        s_.AutoRandomTime = 0;
        view_.ShowTime("Off");
    };
    launchHooks.simWindowExists = [this] { return view_.SimWindowExists(); };
    launchHooks.startProcess = [this](const std::string& exe, const std::string& folder) {
        return view_.StartProcess(exe, folder);
    };
    // Ends the program once the command that asked for it is over.
    launchHooks.unloadMain = [this] { EndWhenIdle(); };
    launchHooks.startAutoRandom = [this](bool installFirst) { return autoRandom.Start(installFirst); };
    BuildTable();
}

void MainShell::BuildTable() {
    EventTable& t = events_;
    const int click = kClicked, change = kSelChange;
    const int right = kMouseDown + 2;
    // What the main window's commands need: the chosen simulator's folders
    // and catalogue (the set lists and the buttons that copy), the weather
    // and the link (the manual refresh). The main window's own modal state
    // (a message waiting) is added by the table to every Start entry.
    using namespace hold;
    const Holds sets = kTextures;
    t.On(cmbClouds, change, Policy::Start, sets, [this] { this->sets.cmbClouds_Click(); });
    t.On(cmbOption, change, Policy::Start, sets, [this] { this->sets.cmbOption_Click(); });
    t.On(lstSky, change, Policy::Start, sets, [this] { this->sets.LstSky_Click(); });
    t.On(lstSkyFil, change, Policy::Start, sets, [this] { this->sets.lstSkyFil_Click(); });
    t.On(lstClouds, change, Policy::Start, sets, [this] { this->sets.lstClouds_Click(); });
    t.On(lstOption, change, Policy::Start, sets, [this] { this->sets.lstOption_Click(); });
    t.On(lstClouds, right, Policy::Start, sets, [this] { this->sets.lstClouds_MouseDown(2); });
    t.On(lstOption, right, Policy::Start, sets, [this] { this->sets.lstOption_MouseDown(2); });
    t.On(cmdBackUp, right, Policy::Start, sets, [this] { this->sets.cmdBackUp_MouseDown(2); });
    t.On(optFLT, right, Policy::Start, sets, [this] { situations.optFLT_MouseDown(2); });
    // Event::b: the keys held (1 Shift, 2 Ctrl).
    t.On(cmdInstAndStart, right, Policy::Start, sets,
         [this](const Event& e) { launch.cmdInstAndStart_MouseDown(2, e.b & 1, e.b & 2); });
    t.On(cmdInstAndStart, click, Policy::Start, sets,
         [this](const Event& e) { launch.cmdInstAndStart_Pressed(e.b & 1, e.b & 2); });
    t.On(optSky, click, Policy::Start, sets, [this] { this->sets.optSky_Click(); });
    t.On(optFLT, click, Policy::Start, sets, [this] { situations.optFLT_Click(); });
    t.On(lstFLT, change, Policy::Start, sets, [this] { situations.lstFLT_Click(); });
    t.On(mnuClearSituation, click, Policy::Start, sets, [this] { situations.mnuClearSituation_Click(); });
    t.On(mnuNotStartFs, click, Policy::Start, sets, [this] { launch.mnuNotStartFs_Click(); });
    t.On(mnuCancel, click, Policy::Start, sets, [this] { launch.mnuCancel_Click(); });
    for (int i = 0; i < 2; ++i)
        t.On(optFs0 + i, click, Policy::Start, sets | kIni, [this, i] {
            if (static_cast<int>(s_.FsIndex) != i) SwitchSimulator(i);
        });
    t.On(cmdInst, click, Policy::Start, sets, [this] { this->sets.cmdInst_Click(); });
    t.On(cmdToOrg, click, Policy::Start, sets, [this] { this->sets.cmdToOrg_Click(); });
    t.On(cmdBackUp, click, Policy::Start, sets, [this] { this->sets.cmdBackUp_Click(); });
    t.On(cmdRandom, click, Policy::Start, sets, [this] { autoRandom.cmdRandom_Click(); });
    t.On(mnuClearCloudAll, click, Policy::Start, sets, [this] { this->sets.mnuClearCloudAll_Click(); });
    t.On(mnuCheckCloudAll, click, Policy::Start, sets, [this] { this->sets.mnuCheckCloudAll_Click(); });
    t.On(mnuClearOptionAll, click, Policy::Start, sets, [this] { this->sets.mnuClearOptionAll_Click(); });
    t.On(mnuCheckOptionAll, click, Policy::Start, sets, [this] { this->sets.mnuCheckOptionAll_Click(); });
    t.On(mnuBkAll, click, Policy::Start, sets, [this] { this->sets.mnuBkAll_Click(); });
    for (int i = 0; i < 6; ++i)
        t.On(lblFilter0 + i, click, Policy::Start, sets, [this, i] { this->sets.lblFilter_Click(i); });
    // A new period changes what the running copy does without asking.
    t.On(lblTime, kMouseDown + 1, Policy::Start, sets,
         [this](const Event& e) { autoRandom.lblTime_MouseDown(1, e.b); });
    t.On(lblTime, kMouseDown + 4, Policy::Start, sets,
         [this](const Event& e) { autoRandom.lblTime_MouseDown(4, e.b); });
    // Menus, reports and the other windows need nothing an install or a
    // refresh holds.
    t.On(lblAutoRandom, click, Policy::Start, kNothing, [this] { autoRandom.lblAutoRandom_Click(); });
    t.On(lblOption, click, Policy::Start, kNothing, [this] { this->sets.lblOption_Click(); });
    t.On(mnuLastInst, click, Policy::Start, kNothing, [this] { this->sets.mnuLastInst_Click(); });
    t.On(mnuShowIni, click, Policy::Start, kNothing, [this] { view_.ShowIni(); });
    t.On(mnuWeather, click, Policy::Start, kNothing, [this] { view_.OpenWeather(); });
    t.On(mnuSound, click, Policy::Start, kNothing, [this] { view_.OpenSound(); });
    t.On(mnuTexStatus, click, Policy::Start, kNothing, [this] { view_.OpenTextureStatus(); });
    t.On(lblRefresh, click, Policy::Start, kWeather | kLink, [this] { refresh.lblRefresh_Click(); });
    // Aimed stops: the refresh ends at its next step with the layers put
    // back; AutoRandom ends (a copy in progress finishes its set).
    t.On(mnuStopRefresh, click, Policy::Stop, kNothing, [this] { refresh.mnuStopRefresh_Click(); });
    t.On(lblTime, kMouseDown + 2, Policy::Stop, kNothing,
         [this](const Event& e) { autoRandom.lblTime_MouseDown(2, e.b); });
    // AutoRandom's change installs; meanwhile its countdown goes on.
    t.On(Timer1, EventTable::kAnyCode, Policy::Tick, sets, [this](const Event&) { autoRandom.Timer1_Timer(); },
         [this](const Event&) { autoRandom.ShowCountdown(); });
    // The watch connects and closes the link, and lets go of the layers: it
    // waits for a refresh to put them back. Meanwhile it notes the
    // simulator's presence, and its going stops AutoRandom and the refresh.
    t.On(tmrFScheck, EventTable::kAnyCode, Policy::Tick, kLink | kWeather, [this](const Event&) { WatchTick(true); },
         [this](const Event&) { WatchWhileBusy(); });
    t.On(tmrFsCheck2, EventTable::kAnyCode, Policy::Tick, kLink | kWeather,
         [this](const Event&) { WatchTick(false); }, [this](const Event&) { WatchWhileBusy(); });
    // The program's end: at once, or once what runs has stopped.
    t.On(cmdClose, click, Policy::Stop, kNothing, [this] { cmdClose_Click(); });
    t.On(mnuEndProg, click, Policy::End, kNothing, [this] { view_.EndProgram(); });
    t.On(evClose, EventTable::kAnyCode, Policy::End, kNothing, [this] { view_.EndProgram(); });
    t.On(evEndSession, EventTable::kAnyCode, Policy::End, kNothing, [this] { view_.EndProgram(); });
    // Asked whether the session may end: yes when nothing runs (the end
    // itself comes with evEndSession); otherwise the program ends as soon as
    // what runs has stopped.
    t.On(evQueryEndSession, EventTable::kAnyCode, Policy::End, kNothing, [](const Event&) {},
         [this](const Event&) { view_.EndProgram(); });
    // Moving, hiding and the notification icon always work.
    t.On(cmdMin, click, Policy::Free, kNothing, [this] { view_.Minimise(); });
    t.On(PIC, EventTable::kAnyCode, Policy::Free, kNothing, [this](const Event& e) { view_.TrayMouse(e.a); });
    t.enabled = [this](int id) {
        const std::optional<Ctl> c = CtlOfId(id);
        return !c || view_.Enabled(*c);
    };
    t.onRefused = [this](Operation holder) { view_.SetCaption(Ctl::lblMsg, RefusedText(holder)); };
    guard_.AfterOperation = [this] { this->sets.ApplyStates(); };
}

std::optional<Ctl> CtlOfId(int id) {
    switch (id) {
        case MainIds::optSky: return Ctl::optSky;
        case MainIds::optFLT: return Ctl::optFLT;
        case MainIds::cmdRandom: return Ctl::cmdRandom;
        case MainIds::cmdInst: return Ctl::cmdInst;
        case MainIds::cmdInstAndStart: return Ctl::cmdInstAndStart;
        case MainIds::cmdBackUp: return Ctl::cmdBackUp;
        case MainIds::cmdToOrg: return Ctl::cmdToOrg;
        case MainIds::lstClouds: return Ctl::lstClouds;
        case MainIds::lstFLT: return Ctl::lstFLT;
        case MainIds::lstOption: return Ctl::lstOption;
        case MainIds::lstSky: return Ctl::lstSky;
        case MainIds::lstSkyFil: return Ctl::lstSkyFil;
        case MainIds::cmbClouds: return Ctl::cmbClouds;
        case MainIds::cmbOption: return Ctl::cmbOption;
        case MainIds::optFs0: return Ctl::optFs0;
        case MainIds::optFs1: return Ctl::optFs1;
        case MainIds::mnuLastInst: return Ctl::mnuLastInst;
        default: return std::nullopt;
    }
}

LoadSteps MainShell::Steps() {
    LoadSteps st;
    st.ClearCatalogue = [this] { cat.Clear(); };
    st.BuildCatalogue = [this](clsCfgRead& reader) { BuildCatalogue(env_, s_, cat, reader); };
    st.BuildEligibility = [this] { BuildEligibility(cat); };
    st.BackupAtLoad = [this](clsCfgRead& reader) { sets.BackupAtLoad(reader); };
    st.FillSetLists = [this] {
        view_.FillFrozen([this] {
            sets.FillSetLists();
            situations.FillSituationList();
        });
    };
    st.SaveBeforeReload = [this] { view_.SaveSoundDesk(); };
    st.PrepareSplash = [this] { launch.PrepareSplash(); };
    return st;
}

void MainShell::SwitchSimulator(int index) {
    vm::optFs_Click(env_, s_, index, fonts_, view_, Steps());
    // The new simulator's catalogue and settings: the AutoRandom order and
    // the refresh values follow them.
    autoRandom.CatalogueLoaded();
    SelectRefreshMode();
}

void MainShell::SetWatch(bool withLink, bool tickNow) {
    watchWithLink_ = withLink;
    view_.SetWatchTimers(withLink);
    if (withLink && tickNow) WatchTick(true);
}

void MainShell::WatchTick(bool withLink) {
    const bool found = view_.SimWindowExists();
    link.SimRunning = found;
    const SimWatchStep step =
        watch.Tick(found, withLink, withLink && weather.Layers.Count() > 0, link.IpcOpened, clock_.TickMs());
    if (step.connect) {
        link.IpcConnect();
        watch.ConnectEnded(link.IpcOpened, clock_.TickMs());
    }
    if (step.close) link.IpcClose();
    if (step.stopAutoRandom) StopAutoRandom();  // AutoRandom ends with the simulator
    if (step.releaseLayers) weather.Layers.Clear();
}

void MainShell::WatchWhileBusy() {
    const bool found = view_.SimWindowExists();
    // A refresh sees the simulator gone and ends at its next step, putting
    // the layers back while the link is still up; AutoRandom ends now. The
    // link is closed by the next tick that may.
    link.SimRunning = found;
    if (!found && watch.SimWasRunning) StopAutoRandom();
    // Seen now, so that its going is seen too though every tick meanwhile
    // waits (the connect comes with the next tick that may).
    if (found) watch.SimWasRunning = true;
}

void MainShell::StopAutoRandom() {
    if (s_.AutoRandomTime != 0 || timer1_) autoRandom.Stop();
}

void MainShell::EndWhenIdle() {
    if (guard_.Busy()) guard_.AskEnd([this] { view_.EndProgram(); });
    else view_.EndProgram();
}

void MainShell::cmdClose_Click() {
    // AutoRandom ends at once, without the right click's sound or work; the
    // program once what runs has stopped.
    if (s_.AutoRandomTime != 0 || timer1_) {
        s_.AutoRandomTime = 0;
        SetTimer1(false);
        view_.ShowTime(TimeCaption(0));
    }
    EndWhenIdle();
}

void MainShell::SetTimer1(bool enabled) {
    timer1_ = enabled;
    view_.SetTimer1(enabled);
}

void MainShell::SelectRefreshMode() { refresh.Mode = vm::SelectRefreshMode(s_, s_.AutoRandomTime); }

std::string MainShell::CloudsText() {
    const int i = view_.Selected(Lst::cmbClouds);
    return i >= 0 ? view_.Item(Lst::cmbClouds, i) : std::string();
}

bool MainShell::ModulePresent() { return IpcModulePresent(env_, s_); }

void MainShell::PlayButtonSound() { vm::PlayButtonSound(env_, s_); }

}  // namespace vm
