// Form1: the main window. It holds every list and button of the program,
// runs the start-up sequence, lives in the notification area and ends the
// program when it is unloaded. Its handlers read controls, call core and
// write the results back.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "config/main_window.h"
#include "sets/auto_random.h"
#include "sets/catalogue.h"
#include "sets/frm_rand_sel.h"
#include "sets/sets_controller.h"
#include "sets/sets_view.h"
#include "platform/win32_ipc.h"
#include "sim/fsuipc.h"
#include "sim/launch.h"
#include "sim/situation.h"
#include "sim/refresh.h"
#include "sim/sim_watch.h"
#include "sim/weather.h"
#include "sim/frm_weather.h"
#include "sound/frm_sound.h"

namespace vm {

class Form1 : public Window, public SetsView, public ConfigView, public RefreshView, public AutoRandomView,
              public SimWatchSwitch {
public:
    enum Id {
        lstClouds = 1001, cmbClouds, cmbOption, lstOption, lstSkyFil, lstSky, lstFLT, imgSky,
        cmdInst = 1010, cmdInstAndStart, cmdRandom, cmdBackUp, cmdToOrg, cmdMin, cmdClose,
        optSky = 1020, optFLT, Frame1, optFs0, optFs1,
        lblFilter0 = 1030,  // to lblFilter0 + 5
        lblOption = 1040, lblRefresh, lblTime, lblAutoRandom, lblMsg, Label1, lblTemp, lblFunc, PIC,
        // Menu items.
        mnuNotStartFs = 2001, mnuCancel, mnuClearCloudAll, mnuCheckCloudAll, mnuClearOptionAll,
        mnuCheckOptionAll, mnuBkAll, mnuClearSituation, mnuEndProg, mnuShowIni, mnuSound, mnuWeather,
        mnuLastInst, mnuStopRefresh,
    };

    explicit Form1(Program& p);
    ~Form1() override;

    // Creates the window (hidden) and runs the start-up sequence; throws
    // ProgramEnd after a fatal message. Shows the window at the end.
    void Form_Load();
    HWND Control(int id) const;
    bool Ended() const { return ended_; }
    SetsController& Sets() { return *sets_; }
    SituationController& Situations() { return *situations_; }
    LaunchController& Launch() { return *launch_; }
    Catalogue& Cat() { return cat_; }
    CloudRefresh& Refresh() { return refresh_; }
    Fsuipc& Link() { return link_; }
    ComIpc& Weather() { return weather_; }
    // Whether the simulator-watch timers are switched on.
    bool FsCheckOn() const { return tmrFScheck_; }
    bool FsCheck2On() const { return tmrFsCheck2_; }

    // AutoRandom: the random button, lblTime, Timer1 and the set dialog.
    AutoRandomController& AutoRandom() { return *autoRandom_; }
    AutoRandomData& AutoRandomState() { return arData_; }
    bool Timer1On() const { return Timer1_; }
    // The set dialog while it is loaded, else null.
    frmRandSel* RandSel() { return randSel_ && randSel_->Loaded() ? randSel_.get() : nullptr; }
    void lblTime_MouseDown(int button, int shift) { autoRandom_->lblTime_MouseDown(button, shift); }

    // AutoRandomView (ShowTime is RefreshView's).
    void SetTimer1(bool enabled) override;
    void ChooseSky() override;
    void OpenSetDialog() override;
    void SelectRefreshMode() override;
    void RestoreSituation() override { situations_->lstFLT_Click(); }

    // Shell handlers.
    void cmdMin_Click();
    void cmdClose_Click();
    void mnuEndProg_Click();
    // Ends the program in order; while a copy loop or a cloud refresh runs,
    // as soon as it has finished (its record is then saved too).
    void RequestEnd();
    bool EndPending() const { return endPending_; }
    void mnuShowIni_Click();
    void optFs_Click(int index);
    void PIC_MouseMove(double xTwips);
    void Form_Activate();
    void Form_Unload();
    void tmrFScheck_Timer();
    void tmrFsCheck2_Timer();

    // SetsView.
    int Count(Lst list) override;
    std::string Item(Lst list, int index) override;
    void Clear(Lst list) override;
    void Add(Lst list, const std::string& text) override;
    int Selected(Lst list) override;
    void Select(Lst list, int index) override;
    bool Checked(Lst list, int index) override;
    void SetChecked(Lst list, int index, bool checked) override;
    bool Enabled(Ctl control) override;
    void SetEnabled(Ctl control, bool enabled) override;
    void SetVisible(Ctl control, bool visible) override;
    bool OptionChosen(Ctl option) override;
    void SetCaption(Ctl label, const std::string& text) override;
    void SetFilterColor(int index, uint32_t color) override;
    void ShowPicture(const std::string& path) override;
    void Popup(Menu menu) override;
    void ShowMainWindow() override;

    // RefreshView.
    void SetMessage(const std::string& text) override;
    std::string CloudsText() override;
    bool RandomMode() override;
    double AutoRandomTime() override;
    void SetAutoRandomTime(double minutes) override;
    void ShowTime(const std::string& caption) override;
    void EnableTime(bool enable) override;
    void ButtonCtrl(bool enable) override;
    void EnableStopRefresh(bool enable) override;
    void EnableLastInst(bool enable) override;
    bool ModulePresent() override;
    void CheckSimWindow() override;
    void PlayButtonSound() override;
    bool MusicKeepsLink() override;

    // The weather editor, opened from the menu when the IPC module is
    // installed; it switches the watch timers through SimWatchSwitch.
    void mnuWeather_Click();
    frmWeather* WeatherWindow() { return frmWeather_.get(); }
    bool LinkWatchOn() override { return tmrFScheck_; }
    // The sound desk, opened from the menu.
    void mnuSound_Click();
    frmSound* SoundWindow() { return frmSound_.get(); }
    void UseLinkWatch(bool withLink) override;

    // ConfigView.
    void ClearLists() override;
    void SetStretch(bool stretch) override;
    void SetToolTip(const std::string& control, int index, const std::string& text) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void Command(int id, int code);
    void ApplyLayout(const SkyLayout& l);
    void SysTrayIcon(DWORD command, const char* tip);
    void PopupMenu(HMENU menu);
    HMENU BuildMenu(Menu which);
    LoadSteps Steps();
    void EndProgram();
    HWND ListOf(Lst list) const;
    HWND CtlOf(Ctl control) const;
    bool IsComboList(Lst list) const { return list == Lst::cmbClouds || list == Lst::cmbOption; }

    Program& p_;
    Catalogue cat_;
    SetsState state_;
    SetsHooks hooks_;
    std::unique_ptr<SetsController> sets_;
    SituationHooks situationHooks_;
    std::unique_ptr<SituationController> situations_;
    LaunchHooks launchHooks_;
    std::unique_ptr<LaunchController> launch_;
    void WireLaunch();
    Win32IpcTransport transport_;
    Fsuipc link_;
    ComIpc weather_{link_};
    CloudRefresh refresh_;
    SimWatch watch_;
    bool stopRefreshEnabled_ = false, lastInstEnabled_ = true;
    // The controls by id, kept as they are made: GetDlgItem asks the window
    // system for the list of children at every call.
    static constexpr int kFirstControl = 1000;
    std::array<HWND, 64> controls_{};
    HWND Keep(HWND control);
    HWND tips_ = nullptr;
    std::vector<std::pair<int, std::string>> pendingTips_;  // control id, text: given before tips_ exists
    void CreateToolTips();
    HFONT font_ = nullptr, bold_ = nullptr;
    HBITMAP band_ = nullptr;  // the header's colour band
    std::map<int, COLORREF> colors_;  // label id -> text colour
    AutoRandomData arData_;
    std::unique_ptr<AutoRandomController> autoRandom_;
    std::unique_ptr<frmRandSel> randSel_;
    bool trayAdded_ = false;
    bool ended_ = false;
    bool unloaded_ = false;
    bool tmrFScheck_ = false, tmrFsCheck2_ = false, Timer1_ = false;
    void SetWatch(bool withLink);
    POINT dragPt_{};
    RECT dragRect_{};
    bool dragging_ = false;
    bool endPending_ = false;
    void BeginDrag(int button);
    std::unique_ptr<frmWeather> frmWeather_;  // after the link it uses
    std::unique_ptr<frmSound> frmSound_;
};

}  // namespace vm
