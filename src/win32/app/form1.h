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
#include "config/main_shell.h"
#include "config/main_window.h"
#include "sets/auto_random.h"
#include "sets/catalogue.h"
#include "sets/frm_rand_sel.h"
#include "sets/frm_tex_status.h"
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

class Form1 : public Window, public MainView, public SimWatchSwitch, public MainIds {
public:
    explicit Form1(Program& p);
    ~Form1() override;

    // Creates the window (hidden) and runs the start-up sequence; throws
    // ProgramEnd after a fatal message. Shows the window at the end.
    void Form_Load();
    HWND Control(int id) const;
    bool Ended() const { return ended_; }
    MainShell& Shell() { return shell_; }
    SetsController& Sets() { return shell_.sets; }
    SituationController& Situations() { return shell_.situations; }
    LaunchController& Launch() { return shell_.launch; }
    Catalogue& Cat() { return shell_.cat; }
    CloudRefresh& Refresh() { return shell_.refresh; }
    Fsuipc& Link() { return shell_.link; }
    ComIpc& Weather() { return shell_.weather; }
    // Whether the simulator-watch timers are switched on.
    bool FsCheckOn() const { return tmrFScheck_; }
    bool FsCheck2On() const { return tmrFsCheck2_; }

    // AutoRandom: the random button, lblTime, Timer1 and the set dialog.
    AutoRandomController& AutoRandom() { return shell_.autoRandom; }
    AutoRandomData& AutoRandomState() { return shell_.arData; }
    bool Timer1On() const { return Timer1_; }
    // The set dialog while it is loaded, else null.
    frmRandSel* RandSel() { return randSel_ && randSel_->Loaded() ? randSel_.get() : nullptr; }
    // A press on lblTime, as the label reports it.
    void lblTime_MouseDown(int button, int shift) { shell_.Events().Fire(lblTime, kMouseDown + button, 0, shift); }
    // An end waits for the running operation to stop.
    bool EndPending() const { return p_.guard.EndAsked(); }

    void mnuShowIni_Click() { ShowIni(); }
    void cmdMin_Click() { Minimise(); }
    void PIC_MouseMove(double xTwips);
    void Form_Activate();
    void Form_Unload();
    frmWeather* WeatherWindow() { return frmWeather_.get(); }
    frmSound* SoundWindow() { return frmSound_.get(); }

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

    // ConfigView.
    void ClearLists() override;
    void SetStretch(bool stretch) override;
    void SetToolTip(const std::string& control, int index, const std::string& text) override;

    // MainView.
    void ShowTime(const std::string& caption) override;
    void EnableTime(bool enable) override;
    void EnableStopRefresh(bool enable) override { stopRefreshEnabled_ = enable; }
    void SetTimer1(bool enabled) override;
    void SetWatchTimers(bool withLink) override;
    void ChooseSky() override;
    void OpenSetDialog() override;
    bool SimWindowExists() override;
    bool StartProcess(const std::string& exePath, const std::string& folder) override;
    bool MusicKeepsLink() override;
    void SaveSoundDesk() override;
    void FillFrozen(const std::function<void()>& fill) override;
    void Minimise() override;
    void ShowIni() override;
    void OpenWeather() override;
    void OpenSound() override;
    void OpenTextureStatus() override;
    frmTexStatus* TextureStatusWindow() { return frmTexStatus_.get(); }
    void TrayMouse(int message) override;
    void EndProgram() override;

    // SimWatchSwitch: the weather editor switches the watch timers.
    bool LinkWatchOn() override { return tmrFScheck_; }
    void UseLinkWatch(bool withLink) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void ApplyLayout(const SkyLayout& l);
    void SysTrayIcon(DWORD command, const char* tip);
    void PopupMenu(HMENU menu);
    HMENU BuildMenu(Menu which);
    void Quit();
    HWND ListOf(Lst list) const;
    HWND CtlOf(Ctl control) const;
    bool IsComboList(Lst list) const { return list == Lst::cmbClouds || list == Lst::cmbOption; }
    static int Keys();  // Shift 1, Ctrl 2

    Program& p_;
    Win32IpcTransport transport_;
    MainShell shell_;
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
    std::unique_ptr<frmRandSel> randSel_;
    bool trayAdded_ = false;
    bool ended_ = false;
    bool unloaded_ = false;
    bool tmrFScheck_ = false, tmrFsCheck2_ = false, Timer1_ = false;
    POINT dragPt_{};
    RECT dragRect_{};
    bool dragging_ = false;
    void BeginDrag(int button);
    std::unique_ptr<frmTexStatus> frmTexStatus_;
    std::unique_ptr<frmWeather> frmWeather_;  // after the link it uses
    std::unique_ptr<frmSound> frmSound_;
};

}  // namespace vm
