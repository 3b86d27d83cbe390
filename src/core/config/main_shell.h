// The main window's logic behind its shell: the controllers of the set
// lists, AutoRandom, situations, launch, the simulator link and the cloud
// refresh, wired to each other, and the one event table through which every
// control, menu command, timer and window event reaches them. The window
// routes its messages to Events() and implements MainView; nothing else.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/dispatch.h"
#include "config/fonts.h"
#include "config/loader.h"
#include "config/settings.h"
#include "sets/auto_random.h"
#include "sets/catalogue.h"
#include "sets/sets_controller.h"
#include "sets/sets_view.h"
#include "sim/fsuipc.h"
#include "sim/launch.h"
#include "sim/refresh.h"
#include "sim/sim_watch.h"
#include "sim/situation.h"
#include "sim/weather.h"

namespace vm {

// The main window's controls, menu commands, timers and window events: the
// keys of its event table (control ids are the window's own).
struct MainIds : ControlCodes {
    enum Id {
        lstClouds = 1001, cmbClouds, cmbOption, lstOption, lstSkyFil, lstSky, lstFLT, imgSky,
        cmdInst = 1010, cmdInstAndStart, cmdRandom, cmdBackUp, cmdToOrg, cmdMin, cmdClose,
        optSky = 1020, optFLT, Frame1, optFs0, optFs1,
        lblFilter0 = 1030,  // to lblFilter0 + 5
        lblOption = 1040, lblRefresh, lblTime, lblAutoRandom, lblMsg, Label1, lblTemp, lblFunc, PIC,
        // Menu items.
        mnuNotStartFs = 2001, mnuCancel, mnuClearCloudAll, mnuCheckCloudAll, mnuClearOptionAll,
        mnuCheckOptionAll, mnuBkAll, mnuClearSituation, mnuEndProg, mnuShowIni, mnuSound, mnuWeather,
        mnuLastInst, mnuStopRefresh, mnuTexStatus,
        // Timers and window events.
        Timer1 = 3001, tmrFScheck, tmrFsCheck2,
        evClose = 3101, evQueryEndSession, evEndSession,
    };
    // A mouse press (ControlCodes) carries the keys held in Event::b.
};

// The control whose enabled state the core sets, for a control id (none
// for labels, menu items, timers and window events).
std::optional<Ctl> CtlOfId(int id);

// What only the window can do, beyond the lists and buttons of SetsView.
class MainView : public SetsView, public ConfigView {
public:
    virtual void ShowTime(const std::string& caption) = 0;  // lblTime
    virtual void EnableTime(bool enable) = 0;               // lblTime
    virtual void EnableStopRefresh(bool enable) = 0;        // mnuStopRefresh
    virtual void SetTimer1(bool enabled) = 0;
    // Runs the watch that connects (tmrFScheck) or the plain one.
    virtual void SetWatchTimers(bool withLink) = 0;
    // Chooses optSky over optFLT without raising their events.
    virtual void ChooseSky() = 0;
    virtual void OpenSetDialog() = 0;
    virtual bool SimWindowExists() = 0;
    virtual bool StartProcess(const std::string& exePath, const std::string& folder) = 0;
    // The sound desk is open and a channel follows the simulator.
    virtual bool MusicKeepsLink() = 0;
    // Before cloud.ini is read again: what the sound desk holds only in
    // memory (its music list) is written.
    virtual void SaveSoundDesk() {}
    // Runs the fill with the lists' redrawing off.
    virtual void FillFrozen(const std::function<void()>& fill) { fill(); }
    // The window's own commands.
    virtual void Minimise() = 0;
    virtual void ShowIni() = 0;
    virtual void OpenWeather() = 0;
    virtual void OpenSound() = 0;
    // The "Texture Status" window of the simulator chosen.
    virtual void OpenTextureStatus() {}
    virtual void TrayMouse(int message) = 0;  // the notification icon's mouse message
    // The orderly end: the record, the icon, the link, the other windows.
    virtual void EndProgram() = 0;
};

class MainShell : public RefreshView, public AutoRandomView, public MainIds {
public:
    MainShell(Env& env, Settings& settings, FontTable& fonts, IpcTransport& transport, Clock& clock,
              OperationGuard& guard, MainView& view);

    EventTable& Events() { return events_; }
    OperationGuard& Guard() { return guard_; }

    // The simulator chosen on optFs0/optFs1: its configuration and catalogue
    // are loaded and the AutoRandom order and refresh values follow them.
    void SwitchSimulator(int index);
    LoadSteps Steps();
    // Runs the watch that connects (tmrFScheck) or the plain one, and (with
    // `tickNow`) the connecting one's first tick at once.
    void SetWatch(bool withLink, bool tickNow = true);
    bool WatchWithLink() const { return watchWithLink_; }
    // One tick of the watch (tmrFScheck with the link, tmrFsCheck2 without).
    void WatchTick(bool withLink);
    // While the watch's work waits: the simulator's presence only; its going
    // stops AutoRandom and (through SimRunning) the refresh.
    void WatchWhileBusy();
    // cmdClose: AutoRandom ends at once without the right click's sound,
    // then the program once what runs has stopped.
    void cmdClose_Click();
    // AutoRandom ends (the right click's work) when it is on.
    void StopAutoRandom();
    // The program ends now, or once what runs has stopped.
    void EndWhenIdle();
    bool Timer1On() const { return timer1_; }

    // AutoRandomView.
    void SetTimer1(bool enabled) override;
    void ShowTime(const std::string& caption) override { view_.ShowTime(caption); }
    void ChooseSky() override { view_.ChooseSky(); }
    void OpenSetDialog() override { view_.OpenSetDialog(); }
    void SelectRefreshMode() override;
    void RestoreSituation() override { situations.lstFLT_Click(); }

    // RefreshView.
    void SetMessage(const std::string& text) override { view_.SetCaption(Ctl::lblMsg, text); }
    std::string CloudsText() override;
    bool RandomMode() override { return state.RandomMode; }
    double AutoRandomTime() override { return s_.AutoRandomTime; }
    void SetAutoRandomTime(double minutes) override { s_.AutoRandomTime = minutes; }
    void EnableTime(bool enable) override { view_.EnableTime(enable); }
    void ButtonCtrl(bool enable) override { sets.ButtonCtrl(enable); }
    void EnableStopRefresh(bool enable) override { view_.EnableStopRefresh(enable); }
    void EnableLastInst(bool enable) override { view_.SetEnabled(Ctl::mnuLastInst, enable); }
    bool ModulePresent() override;
    void CheckSimWindow() override { WatchTick(true); }
    void PlayButtonSound() override;
    bool MusicKeepsLink() override { return view_.MusicKeepsLink(); }

private:
    Env& env_;
    Settings& s_;
    FontTable& fonts_;
    OperationGuard& guard_;
    MainView& view_;
    Clock& clock_;

public:
    Catalogue cat;
    SetsState state;
    SetsHooks hooks;
    SetsController sets;
    SituationHooks situationHooks;
    SituationController situations;
    AutoRandomData arData;
    AutoRandomController autoRandom;
    LaunchHooks launchHooks;
    LaunchController launch;
    Fsuipc link;
    ComIpc weather{link};
    CloudRefresh refresh;
    SimWatch watch;

private:
    void BuildTable();
    EventTable events_;
    bool timer1_ = false;
    bool watchWithLink_ = false;
};

}  // namespace vm
