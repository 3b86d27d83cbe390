#include "config/main_shell.h"

#include "config/detect.h"
#include "config/main_window.h"
#include "sim/splash.h"
#include "sound/play_sound.h"

namespace vm {

MainShell::MainShell(Env& env, Settings& settings, FontTable& fonts, IpcTransport& transport, Clock& clock,
                     OperationGuard& guard, MainView& view)
    : env_(env), s_(settings), fonts_(fonts), guard_(guard), view_(view),
      sets(env, settings, cat, state, view, hooks),
      situations(env, settings, view, sets, situationHooks),
      autoRandom(env, settings, cat, state, arData, view, sets, hooks, *this),
      launch(env, settings, view, sets, situations, launchHooks),
      link(transport, clock, guard),
      refresh(link, weather, clock, guard, *this),
      events_(guard) {
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
    launchHooks.unloadMain = [this] {
        if (guard_.Busy()) guard_.AskStop([this] { view_.EndProgram(); });
        else view_.EndProgram();
    };
    launchHooks.startAutoRandom = [this](bool installFirst) { return autoRandom.Start(installFirst); };
    BuildTable();
}

void MainShell::BuildTable() {
    EventTable& t = events_;
    const int click = kClicked, change = kSelChange;
    const int right = kMouseDown + 2;
    t.On(cmbClouds, change, Policy::Start, [this] { sets.cmbClouds_Click(); });
    t.On(cmbOption, change, Policy::Start, [this] { sets.cmbOption_Click(); });
    t.On(lstSky, change, Policy::Start, [this] { sets.LstSky_Click(); });
    t.On(lstSkyFil, change, Policy::Start, [this] { sets.lstSkyFil_Click(); });
    t.On(lstClouds, change, Policy::Start, [this] { sets.lstClouds_Click(); });
    t.On(lstOption, change, Policy::Start, [this] { sets.lstOption_Click(); });
    t.On(lstClouds, right, Policy::Start, [this] { sets.lstClouds_MouseDown(2); });
    t.On(lstOption, right, Policy::Start, [this] { sets.lstOption_MouseDown(2); });
    t.On(cmdBackUp, right, Policy::Start, [this] { sets.cmdBackUp_MouseDown(2); });
    t.On(optFLT, right, Policy::Start, [this] { situations.optFLT_MouseDown(2); });
    // Event::b: the keys held (1 Shift, 2 Ctrl).
    t.On(cmdInstAndStart, right, Policy::Start,
         [this](const Event& e) { launch.cmdInstAndStart_MouseDown(2, e.b & 1, e.b & 2); });
    t.On(cmdInstAndStart, click, Policy::Start,
         [this](const Event& e) { launch.cmdInstAndStart_Pressed(e.b & 1, e.b & 2); });
    t.On(optSky, click, Policy::Start, [this] { sets.optSky_Click(); });
    t.On(optFLT, click, Policy::Start, [this] { situations.optFLT_Click(); });
    t.On(lstFLT, change, Policy::Start, [this] { situations.lstFLT_Click(); });
    t.On(mnuClearSituation, click, Policy::Start, [this] { situations.mnuClearSituation_Click(); });
    t.On(mnuNotStartFs, click, Policy::Start, [this] { launch.mnuNotStartFs_Click(); });
    t.On(mnuCancel, click, Policy::Start, [this] { launch.mnuCancel_Click(); });
    for (int i = 0; i < 2; ++i)
        t.On(optFs0 + i, click, Policy::Start, [this, i] {
            if (static_cast<int>(s_.FsIndex) != i) SwitchSimulator(i);
        });
    t.On(cmdInst, click, Policy::Start, [this] { sets.cmdInst_Click(); });
    t.On(cmdToOrg, click, Policy::Start, [this] { sets.cmdToOrg_Click(); });
    t.On(cmdBackUp, click, Policy::Start, [this] { sets.cmdBackUp_Click(); });
    t.On(cmdRandom, click, Policy::Start, [this] { autoRandom.cmdRandom_Click(); });
    t.On(lblAutoRandom, click, Policy::Start, [this] { autoRandom.lblAutoRandom_Click(); });
    t.On(lblOption, click, Policy::Start, [this] { sets.lblOption_Click(); });
    for (int i = 0; i < 6; ++i) t.On(lblFilter0 + i, click, Policy::Start, [this, i] { sets.lblFilter_Click(i); });
    t.On(mnuClearCloudAll, click, Policy::Start, [this] { sets.mnuClearCloudAll_Click(); });
    t.On(mnuCheckCloudAll, click, Policy::Start, [this] { sets.mnuCheckCloudAll_Click(); });
    t.On(mnuClearOptionAll, click, Policy::Start, [this] { sets.mnuClearOptionAll_Click(); });
    t.On(mnuCheckOptionAll, click, Policy::Start, [this] { sets.mnuCheckOptionAll_Click(); });
    t.On(mnuBkAll, click, Policy::Start, [this] { sets.mnuBkAll_Click(); });
    t.On(mnuLastInst, click, Policy::Start, [this] { sets.mnuLastInst_Click(); });
    t.On(mnuShowIni, click, Policy::Start, [this] { view_.ShowIni(); });
    t.On(mnuWeather, click, Policy::Start, [this] { view_.OpenWeather(); });
    t.On(mnuSound, click, Policy::Start, [this] { view_.OpenSound(); });
    t.On(mnuTexStatus, click, Policy::Start, [this] { view_.OpenTextureStatus(); });
    t.On(lblRefresh, click, Policy::Start, [this] { refresh.lblRefresh_Click(); });
    t.On(mnuStopRefresh, click, Policy::Stop, [this] { refresh.mnuStopRefresh_Click(); });
    // A left or middle press changes the period; a right one stops AutoRandom.
    for (int button : {1, 2, 4})
        t.On(lblTime, kMouseDown + button, button == 2 ? Policy::Stop : Policy::Start,
             [this, button](const Event& e) { autoRandom.lblTime_MouseDown(button, e.b); });
    t.On(Timer1, EventTable::kAnyCode, Policy::Tick, [this] { autoRandom.Timer1_Timer(); });
    t.On(tmrFScheck, EventTable::kAnyCode, Policy::Watch, [this](const Event&) { WatchTick(true); },
         [this](const Event&) { WatchWhileBusy(); });
    t.On(tmrFsCheck2, EventTable::kAnyCode, Policy::Watch, [this](const Event&) { WatchTick(false); },
         [this](const Event&) { WatchWhileBusy(); });
    // Ends: at once, or once the running operation has stopped.
    t.On(cmdClose, click, Policy::Stop, [this] { cmdClose_Click(); });
    t.On(mnuEndProg, click, Policy::Stop, [this] { view_.EndProgram(); });
    t.On(evClose, EventTable::kAnyCode, Policy::Stop, [this] { view_.EndProgram(); });
    t.On(evEndSession, EventTable::kAnyCode, Policy::Stop, [this] { view_.EndProgram(); });
    // Asked whether the session may end: yes when nothing runs (the end
    // itself comes with evEndSession); otherwise the program ends as soon as
    // the operation has stopped.
    t.On(evQueryEndSession, EventTable::kAnyCode, Policy::Stop, [](const Event&) {},
         [this](const Event&) { view_.EndProgram(); });
    // Moving, hiding and the notification icon always work.
    t.On(cmdMin, click, Policy::Free, [this] { view_.Minimise(); });
    t.On(PIC, EventTable::kAnyCode, Policy::Free, [this](const Event& e) { view_.TrayMouse(e.a); });
    guard_.AfterOperation = [this] { sets.ApplyStates(); };
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
    const SimWatchStep step = watch.Tick(found, withLink, withLink && weather.Layers.Count() > 0, link.IpcOpened);
    if (step.connect) link.IpcConnect();
    if (step.close) link.IpcClose();
    if (step.stopAutoRandom) autoRandom.Stop();  // AutoRandom ends with the simulator
    if (step.releaseLayers) weather.Layers.Clear();
}

void MainShell::WatchWhileBusy() {
    const bool found = view_.SimWindowExists();
    link.SimRunning = found;
    if (found == watch.SimWasRunning || watchDeferred_) return;
    // The simulator came or went: the watch's own work (connecting, or
    // closing the link and ending AutoRandom) follows as one tick once the
    // operation is over; its going also stops the operation.
    watchDeferred_ = true;
    auto tick = [this] {
        watchDeferred_ = false;
        WatchTick(watchWithLink_);
    };
    if (found) guard_.Defer(tick);
    else guard_.AskStop(tick);
}

void MainShell::cmdClose_Click() {
    if (s_.AutoRandomTime != 0 || timer1_) {
        s_.AutoRandomTime = 0;
        SetTimer1(false);
        view_.ShowTime(TimeCaption(0));
    }
    view_.EndProgram();
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
