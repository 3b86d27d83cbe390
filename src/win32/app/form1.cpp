#include "app/form1.h"

#include <commctrl.h>
#include <shellapi.h>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/detect.h"
#include "platform/app_icon.h"
#include "platform/apply_font.h"
#include "platform/check_list.h"
#include "platform/image_view.h"
#include "sets/last_installed.h"
#include "sound/play_sound.h"
#include "ui/frm_logo.h"

namespace vm {

namespace {
const char kClass[] = "VellmoraMain";
constexpr int kWidth = 600, kHeight = 428, kHeader = 28;
constexpr UINT kTrayCallback = 512;  // arrives as a mouse move of PIC
const char* const kFilterCaptions[6] = {"All ", "Cumulus", "Cb/T-Storm", "High Mid Level", "V-Sky", "Misc"};

// PIC: a hidden picture box that receives the notification icon's messages.
LRESULT CALLBACK PicProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kTrayCallback) {
        auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrA(GetParent(h), GWLP_USERDATA));
        // The mouse message number, times 15 twips per pixel, as X.
        if (form) form->PIC_MouseMove(static_cast<double>(lp) * 15);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}
}  // namespace

namespace {
constexpr UINT_PTR kTmrFScheck = 1, kTmrFsCheck2 = 2;
constexpr UINT_PTR kTmrEnd = 3;  // looks again whether a waiting end can be carried out
// Form_Activate runs on this timer's first tick after an activation: timer
// messages come after the paints, so the notification icon (a round trip to
// the shell) no longer holds up the window's first appearance.
constexpr UINT_PTR kTmrActivate = 4;
constexpr UINT_PTR kTmrAfterShow = 5;  // the first tick after the window was shown and painted

// The header's colour band, drawn once into a memory bitmap: one copy to
// the screen instead of a fill per strip at every paint.
HBITMAP HeaderBand() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeader;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) return nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    for (int x = 0; x < kWidth; x += 4) {
        RECT strip{x, 0, x + 4, kHeader};
        HBRUSH b = CreateSolidBrush(RGB(40 + x * 60 / kWidth, 90 + x * 80 / kWidth, 170 + x * 60 / kWidth));
        FillRect(mem, &strip, b);
        DeleteObject(b);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}
}  // namespace

namespace {
constexpr UINT_PTR kTimer1 = 11;  // apart from the shell's own timers
const char kTimeOldProc[] = "VmTimeOldProc";

// lblTime reports its mouse-down with the button (1 left, 2 right, 4 middle)
// and the Shift/Ctrl/Alt keys held (1, 2, 4, added).
LRESULT CALLBACK TimeLabelProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(h, kTimeOldProc));
    // A quick second click arrives as a double click: it counts as a press too.
    const int button = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK   ? 1
                       : msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK ? 2
                       : msg == WM_MBUTTONDOWN || msg == WM_MBUTTONDBLCLK ? 4
                                                                          : 0;
    if (button) {
        const int shift = ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        if (auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrA(GetParent(h), GWLP_USERDATA)))
            form->lblTime_MouseDown(button, shift);
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(h, kTimeOldProc);
    }
    return CallWindowProcA(old, h, msg, wp, lp);
}
}  // namespace

Form1::Form1(Program& p)
    : p_(p), link_(transport_, p.clock, p.pump), refresh_(link_, weather_, p.clock, p.pump, *this) {
    hooks_.autoRandomOn = [this] { return p_.settings.AutoRandomTime != 0; };
    hooks_.stopAutoRandom = [this] { SetTimer1(false); };
    hooks_.playButtonSound = [this] { return vm::PlayButtonSound(p_.env, p_.settings); };
    hooks_.refreshClouds = [this](const std::string& dataType) { refresh_.RefreshAfterInstall(dataType); };
    sets_ = std::make_unique<SetsController>(p_.env, p_.settings, cat_, state_, *this, hooks_);
    hooks_.installSituation = [this] { situations_->InstallSituation(); };
    situationHooks_.setListTip = [this](const std::string& text) { SetToolTip("lstFLT", 0, text); };
    situationHooks_.playButtonSound = [this] { return vm::PlayButtonSound(p_.env, p_.settings); };
    situationHooks_.autoRandomTime = [this] { return p_.settings.AutoRandomTime; };
    situations_ = std::make_unique<SituationController>(p_.env, p_.settings, *this, *sets_, situationHooks_);
    autoRandom_ = std::make_unique<AutoRandomController>(p_.env, p_.settings, cat_, state_, arData_, *this, *sets_,
                                                         hooks_, *this);
    WireLaunch();
}

void Form1::WireLaunch() {
    launchHooks_.autoRandomTime = [this] { return p_.settings.AutoRandomTime; };
    launchHooks_.showTimeOff = [this] {
        p_.settings.AutoRandomTime = 0;
        SetWindowTextA(Control(lblTime), "Off");
    };
    launchHooks_.simWindowExists = [] { return FindWindowA("FS98MAIN", nullptr) != nullptr; };
    launchHooks_.startProcess = [](const std::string& exe, const std::string& folder) {
        std::string line = "\"" + exe + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNOACTIVATE;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    };
    launchHooks_.unloadMain = [this] { RequestEnd(); };
    launchHooks_.startAutoRandom = [this](bool installFirst) { return autoRandom_->Start(installFirst); };
    launch_ = std::make_unique<LaunchController>(p_.env, p_.settings, *this, *sets_, *situations_, launchHooks_);
}

Form1::~Form1() {
    randSel_.reset();
    if (trayAdded_) SysTrayIcon(NIM_DELETE, "");
    Destroy();
    if (font_) DeleteObject(font_);
    if (bold_) DeleteObject(bold_);
    if (band_) DeleteObject(band_);
}

HWND Form1::Control(int id) const {
    if (!hwnd()) return nullptr;
    const size_t slot = static_cast<size_t>(id - kFirstControl);
    if (id >= kFirstControl && slot < controls_.size() && controls_[slot]) return controls_[slot];
    return GetDlgItem(hwnd(), id);
}

HWND Form1::Keep(HWND control) {
    const int id = GetDlgCtrlID(control);
    const size_t slot = static_cast<size_t>(id - kFirstControl);
    if (control && id >= kFirstControl && slot < controls_.size()) controls_[slot] = control;
    return control;
}

void Form1::CreateControls() {
    font_ = MakeFont("Tahoma", 8, false);
    bold_ = MakeFont("Tahoma", 9, true);
    struct Def {
        int id;
        const char* cls;
        const char* text;
        DWORD style;
        int x, y, w, h;
    };
    const DWORD list = WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    const DWORD combo = WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
    const DWORD push = WS_TABSTOP | BS_PUSHBUTTON;
    const DWORD link = SS_NOTIFY | SS_NOPREFIX;
    const Def defs[] = {
        {Frame1, "BUTTON", "Simulator", BS_GROUPBOX | WS_VISIBLE, 8, 32, 160, 46},
        {optFs0, "BUTTON", "FS2K", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 18, 50, 60, 20},
        {optFs1, "BUTTON", "CFS2", BS_AUTORADIOBUTTON | WS_VISIBLE, 90, 50, 60, 20},
        {optSky, "BUTTON", "Sky", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 180, 50, 50, 20},
        {optFLT, "BUTTON", "Situation", BS_AUTORADIOBUTTON | WS_VISIBLE, 236, 50, 80, 20},
        {lblOption, "STATIC", "Option", link | WS_VISIBLE | SS_CENTER, 520, 52, 70, 18},
        {lblFunc, "STATIC", "Sky", SS_NOPREFIX | WS_VISIBLE, 8, 84, 200, 16},
        {lblTemp, "STATIC", "lblTemp", SS_NOPREFIX, 220, 84, 60, 16},
        {cmbClouds, "COMBOBOX", "", combo, 8, 104, 282, 240},
        {Label1, "STATIC", "Option", SS_NOPREFIX, 8, 262, 50, 18},
        {cmbOption, "COMBOBOX", "", combo, 60, 258, 230, 200},
        {lstSky, "LISTBOX", "", list, 8, 104, 282, 252},
        {lstSkyFil, "LISTBOX", "", list, 8, 104, 282, 252},
        {lstFLT, "LISTBOX", "", list, 8, 104, 282, 139},
        {cmdInst, "BUTTON", "Install", push | WS_VISIBLE, 300, 304, 94, 28},
        {cmdInstAndStart, "BUTTON", "Install + Start", push | WS_VISIBLE, 399, 304, 94, 28},
        {cmdRandom, "BUTTON", "Random", push | WS_VISIBLE, 498, 304, 94, 28},
        {cmdBackUp, "BUTTON", "Backup", push | WS_VISIBLE, 300, 338, 94, 28},
        {cmdToOrg, "BUTTON", "Original", push | WS_VISIBLE, 399, 338, 94, 28},
        {lblAutoRandom, "STATIC", "Auto Install", link | WS_VISIBLE, 300, 376, 80, 18},
        {lblTime, "STATIC", "Off", link | WS_VISIBLE, 384, 376, 60, 18},
        {lblRefresh, "STATIC", "Refresh", link | WS_VISIBLE, 452, 376, 60, 18},
        {lblMsg, "STATIC", "", SS_NOPREFIX | SS_LEFTNOWORDWRAP | SS_SUNKEN | WS_VISIBLE, 8, 402, 584, 20},
        {cmdMin, "BUTTON", "_", BS_PUSHBUTTON | WS_VISIBLE, 548, 5, 20, 18},
        {cmdClose, "BUTTON", "x", BS_PUSHBUTTON | WS_VISIBLE, 571, 5, 20, 18},
    };
    for (const Def& d : defs) {
        // Created where they belong: a move afterwards costs a second round trip each.
        HWND h = Keep(CreateWindowExA(0, d.cls, d.text, WS_CHILD | d.style, d.x, d.y, d.w, d.h, hwnd(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)),
                                      GetModuleHandleA(nullptr), nullptr));
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    SendMessageA(Control(lblFunc), WM_SETFONT, reinterpret_cast<WPARAM>(bold_), FALSE);
    HWND clouds = Keep(CreateCheckList(hwnd(), lstClouds, RECT{8, 130, 290, 252}));
    HWND options = Keep(CreateCheckList(hwnd(), lstOption, RECT{8, 284, 290, 392}));
    for (HWND h : {clouds, options}) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ShowWindow(Keep(CreateImageView(hwnd(), imgSky, RECT{300, 104, 592, 294})), SW_SHOWNA);
    for (int i = 0; i < 6; ++i) {
        HWND h = Keep(CreateWindowExA(0, "STATIC", kFilterCaptions[i], WS_CHILD | link, 8 + (i % 3) * 96,
                                      360 + (i / 3) * 18, 94, 18, hwnd(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(lblFilter0 + i)),
                                      GetModuleHandleA(nullptr), nullptr));
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        colors_[lblFilter0 + i] = i == 0 ? kFilterChosenColor : kFilterColor;
    }
    for (int id : {lblOption, lblAutoRandom, lblTime, lblRefresh}) colors_[id] = RGB(0, 0, 160);

    static bool picClass = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PicProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VellmoraPic";
        return RegisterClassA(&wc) != 0;
    }();
    (void)picClass;
    Keep(Child("VellmoraPic", "", 0, PIC));
    HWND time = Control(lblTime);
    SetPropA(time, kTimeOldProc,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(time, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimeLabelProc))));

    SendMessageA(Control(optSky), BM_SETCHECK, BST_CHECKED, 0);  // the design's choice
}

// Tool-tips only show after the pointer has rested on a control, so their
// window (a pop-up of its own) is made once the main window has been
// painted; the texts given before then are kept and handed over here.
void Form1::CreateToolTips() {
    if (tips_ || !hwnd()) return;
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                            hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (const auto& [id, text] : pendingTips_) SetControlTip(tips_, hwnd(), Control(id), text);
    pendingTips_.clear();
}

LoadSteps Form1::Steps() {
    LoadSteps s;
    s.ClearCatalogue = [this] { cat_.Clear(); };
    s.BuildCatalogue = [this](clsCfgRead& reader) {
        const StageClock timed(p_.times.catalogue);
        BuildCatalogue(p_.env, p_.settings, cat_, reader);
    };
    s.BuildEligibility = [this] { BuildEligibility(cat_); };
    s.BackupAtLoad = [this](clsCfgRead& reader) { sets_->BackupAtLoad(reader); };
    s.FillSetLists = [this] {
        // One repaint of each list when it is full, not one per line.
        const RedrawOff frozen({Control(cmbClouds), Control(lstSky), Control(lstClouds), Control(cmbOption),
                                  Control(lstOption), Control(lstFLT)});
        sets_->FillSetLists();
        situations_->FillSituationList();
    };
    s.SaveBeforeReload = [this] {
        if (frmSound_ && frmSound_->Desk()) frmSound_->Desk()->SaveBeforeReload();
    };
    s.PrepareSplash = [this] { launch_->PrepareSplash(); };
    return s;
}

void Form1::Form_Load() {
    RegisterClassOnce(kClass, GetSysColorBrush(COLOR_BTNFACE), AppIcon());
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    {
        const StageClock timed(p_.times.window);
        if (!Create(kClass, "Vellmora", WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU,
                    WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, x, y, kWidth, kHeight, nullptr))
            throw ProgramEnd{};
        CreateControls();
    }
    p_.messages.SetMainWindow(hwnd());
    p_.fs.SetOwner(hwnd());  // the shell copy's progress and questions belong to this window
    EnableWindow(hwnd(), TRUE);

    frmLogo logo;
    Env& env = p_.env;
    Settings& s = p_.settings;
    StartupSteps st;
    st.FontSizeOk = [] {
        HWND desk = GetDesktopWindow();
        HDC dc = GetDC(desk);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(desk, dc);
        if (!vm::FontSizeOk(dpi)) MessageBoxA(nullptr, kFontSizeText, kFontSizeTitle, MB_ICONINFORMATION);
    };
    st.PrepareLogo = [&] { logo.EffectNo = LogoEffect::kEffect; };
    st.StartSound = [&] {
        clsPlaySound snd(env);
        snd.FilePath = ProgramFile(env, "start.wav");
        snd.Play();
    };
    st.ShowLogo = [&] { return LogoEnabled(env); };
    st.RunLogo = [&] {
        logo.Form_Load();
        Sleep(1000);
        logo.Unload();
    };
    st.FindIni = [&] { FindIni(env, s); };
    st.DetectSimulators = [&] {
        const FsButtons b = DetectSimulators(env, s);
        EnableWindow(Control(optFs0), b.enabled[0]);
        EnableWindow(Control(optFs1), b.enabled[1]);
        SendMessageA(Control(b.selected == 0 ? optFs0 : optFs1), BM_SETCHECK, BST_CHECKED, 0);
        optFs_Click(b.selected);
    };
    st.DefaultRandomFlags = [&] { autoRandom_->StartupDefaults(); };
    st.NormaliseAndSaveOrder = [&] { autoRandom_->NormaliseAndSaveOrder(); };
    st.Situations = [&] {
        // The splash was prepared with the simulator's selection, and the
        // situation list filled with the set lists; a first backup at load
        // may have set the button before it was.
        EnableWindow(Control(optFLT), s.SituationEnabled && Count(Lst::lstFLT) > 0);
    };
    st.BackupButtons = [&] {
        for (int id : {cmdToOrg, cmdBackUp}) {
            EnableWindow(Control(id), s.BackupEnabled);
            ShowWindow(Control(id), s.BackupEnabled ? SW_SHOWNA : SW_HIDE);
        }
    };
    st.Layout = [&] { ApplyLayout(LayoutBySkyFiles(s.ShowSkyFiles)); };
    st.ApplyFont = [&] { ApplyFont(hwnd(), s); };
    st.AutoRandomState = [&] {
        const AutoRandomStart a = AutoRandomAtStart(s.AutoRandomTime);
        SetTimer1(a.timer1);
        SetWindowTextA(Control(lblTime), a.timeCaption.c_str());
        if (a.buttonsOn) {
            sets_->ButtonCtrl(true);
            if (OptionChosen(Ctl::optSky)) {
                SetWindowTextA(Control(lblMsg), GetText(Control(cmbClouds)).c_str());
                p_.pump.DoEvents();
            }
        }
        if (a.disableInstall) EnableWindow(Control(cmdInst), FALSE);
    };
    st.SelectRefreshMode = [&] { SelectRefreshMode(); };
    st.SimulatorWatch = [&] {
        SetWatch(WatchWithLink(s, IpcModulePresent(env, s)));
    };
    st.StartSel = [&] {
        // The situation view needs situations to show.
        if (StartInSituation(s) && IsWindowEnabled(Control(optFLT))) {
            SendMessageA(Control(optSky), BM_SETCHECK, BST_UNCHECKED, 0);
            SendMessageA(Control(optFLT), BM_SETCHECK, BST_CHECKED, 0);
            situations_->optFLT_Click();
        } else if (!vm::PlayButtonSound(env, s)) {
            p_.sound.Beep();
        }
    };
    {
        // The catalogue's time is counted on its own.
        const double catalogueBefore = p_.times.catalogue;
        {
            const StageClock timed(p_.times.configuration);
            RunStartup(st);
        }
        p_.times.configuration -= p_.times.catalogue - catalogueBefore;
    }
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    // Timer messages come after the paints: what waits for the window to be
    // on the screen runs on the first tick.
    SetTimer(hwnd(), kTmrAfterShow, USER_TIMER_MINIMUM, nullptr);
}

void Form1::ApplyLayout(const SkyLayout& l) {
    for (int id : {cmbClouds, cmbOption, lstClouds, lstOption, Label1})
        ShowWindow(Control(id), l.fileView ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Control(lstSky), l.setView ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Control(lstSkyFil), l.skyFilVisible ? SW_SHOWNA : SW_HIDE);
    for (int i = 0; i < 6; ++i) ShowWindow(Control(lblFilter0 + i), l.filtersVisible ? SW_SHOWNA : SW_HIDE);
    const WinMetrics m = GetWinMetrics();
    RECT r;
    GetWindowRect(Control(lstFLT), &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(Control(lstFLT), r.left, r.top, r.right - r.left, TwipsToPx(l.lstFLTHeight, m.TwipsY), FALSE);
}

void Form1::optFs_Click(int index) {
    vm::optFs_Click(p_.env, p_.settings, index, p_.fontTable, *this, Steps());
    // The new simulator's catalogue and settings: the AutoRandom order and
    // the refresh values follow them.
    autoRandom_->CatalogueLoaded();
    SelectRefreshMode();
}

void Form1::SetWatch(bool withLink) {
    tmrFScheck_ = withLink;
    tmrFsCheck2_ = !withLink;
    KillTimer(hwnd(), kTmrFScheck);
    KillTimer(hwnd(), kTmrFsCheck2);
    SetTimer(hwnd(), withLink ? kTmrFScheck : kTmrFsCheck2, 1000, nullptr);
    if (withLink) tmrFScheck_Timer();
}

void Form1::tmrFScheck_Timer() {
    const bool found = FindWindowA("FS98MAIN", nullptr) != nullptr;
    link_.SimRunning = found;
    const SimWatchStep step = watch_.Tick(found, true, weather_.Layers.Count() > 0);
    if (step.connect) link_.IpcConnect();
    if (step.close) link_.IpcClose();
    if (step.stopAutoRandom) autoRandom_->Stop();  // AutoRandom ends with the simulator
    if (step.releaseLayers) weather_.Layers.Clear();
}

void Form1::UseLinkWatch(bool withLink) {
    SetWatch(withLink);
    if (!withLink) tmrFsCheck2_Timer();
}

void Form1::mnuWeather_Click() {
    if (!IpcModulePresent(p_.env, p_.settings)) return;
    if (!frmWeather_)
        frmWeather_ = std::make_unique<frmWeather>(link_, weather_, p_.clock, p_.messages, p_.settings, *this);
    frmWeather_->Show(hwnd());
}

void Form1::mnuSound_Click() {
    if (!frmSound_)
        frmSound_ = std::make_unique<frmSound>(
            p_.env, p_.settings, link_, weather_,
            SoundHooks{[this] { return ModulePresent(); }, [this] { tmrFScheck_Timer(); },
                       [this] { PlayButtonSound(); }});
    frmSound_->Show(hwnd());
}

void Form1::tmrFsCheck2_Timer() {
    const bool found = FindWindowA("FS98MAIN", nullptr) != nullptr;
    link_.SimRunning = found;
    if (watch_.Tick(found, false, false).stopAutoRandom) autoRandom_->Stop();
}

void Form1::cmdMin_Click() { ShowWindow(hwnd(), SW_HIDE); }

void Form1::cmdClose_Click() {
    autoRandom_->Stop();
    RequestEnd();
}

void Form1::mnuEndProg_Click() { RequestEnd(); }

void Form1::RequestEnd() {
    if (sets_->Busy() || weather_.RefreshBusy) {
        // Messages run inside the loop: end when it is over, not half way.
        if (!endPending_) SetTimer(hwnd(), kTmrEnd, 100, nullptr);
        endPending_ = true;
        return;
    }
    if (endPending_) KillTimer(hwnd(), kTmrEnd);
    endPending_ = false;
    Form_Unload();
    EndProgram();
}

void Form1::BeginDrag(int button) {
    if (!DragAnchors(button)) return;
    GetCursorPos(&dragPt_);
    GetWindowRect(hwnd(), &dragRect_);
    dragging_ = true;
    SetCapture(hwnd());
}

void Form1::EndProgram() {
    ended_ = true;
    PostQuitMessage(0);
}

void Form1::mnuShowIni_Click() {
    const std::string ini = ProgramFile(p_.env, p_.settings.IniName);
    if (!SameText(FileCheck(p_.env, ini), "OK")) {
        p_.messages.ShowMsg("", 64, "No cloud.ini");
        return;
    }
    for (const std::string& cmd : EditorCommands(p_.settings.EditorPath, ini)) {
        std::string line = cmd;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            return;
        }
    }
}

void Form1::SysTrayIcon(DWORD command, const char* tip) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = Control(PIC);
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayCallback;
    nid.hIcon = AppIcon();
    lstrcpynA(nid.szTip, tip, 64);
    Shell_NotifyIconA(command, &nid);
    trayAdded_ = command != NIM_DELETE;
}

void Form1::Form_Activate() { SysTrayIcon(NIM_ADD, "Show/Hide Window"); }

void Form1::PIC_MouseMove(double xTwips) {
    switch (TrayIconAction(xTwips)) {
        case TrayAction::ToggleWindow:
            if (IsWindowVisible(hwnd())) {
                ShowWindow(hwnd(), SW_HIDE);
            } else {
                ShowWindow(hwnd(), SW_SHOW);
                SetForegroundWindow(hwnd());
            }
            break;
        case TrayAction::Popup: {
            SetForegroundWindow(hwnd());
            HMENU m = CreatePopupMenu();
            // "End", a full-width blank, then the name.
            AppendMenuW(m, MF_STRING, mnuEndProg, L"End\u3000VELLMORA(&E)");
            PopupMenu(m);
            break;
        }
        case TrayAction::None:
            break;
    }
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (randSel_) randSel_->Unload();
    if (frmSound_) frmSound_->Unload();
    SaveLastInstalled(p_.env, p_.settings);
    if (trayAdded_) SysTrayIcon(NIM_DELETE, "");
    KillTimer(hwnd(), kTmrFScheck);
    KillTimer(hwnd(), kTmrFsCheck2);
    link_.IpcClose();
}

HMENU Form1::BuildMenu(Menu which) {
    HMENU m = CreatePopupMenu();
    switch (which) {
        case Menu::mnuPopUpCloud:
            AppendMenuA(m, MF_STRING, mnuClearCloudAll, "Clear Check All");
            AppendMenuA(m, MF_STRING, mnuCheckCloudAll, "Check All");
            break;
        case Menu::mnuPopUpOption:
            AppendMenuA(m, MF_STRING, mnuClearOptionAll, "Clear Check All");
            AppendMenuA(m, MF_STRING, mnuCheckOptionAll, "Check All");
            break;
        case Menu::mnuPopUpBkAll:
            AppendMenuA(m, MF_STRING, mnuBkAll, "Re-backup all set again");
            break;
        case Menu::mnuPopUpClearSituaion:
            AppendMenuA(m, MF_STRING, mnuClearSituation, "Clear Situation in FS2002.cfg");
            break;
        case Menu::mnuPopUpStartMode:
            AppendMenuA(m, MF_STRING, mnuNotStartFs, "Activate Auto Install Without Starting Fs");
            AppendMenuA(m, MF_STRING, mnuCancel, "Cancel");
            break;
        case Menu::mnuPopUpForm: {
            AppendMenuA(m, MF_STRING, mnuShowIni, "Show cloud.ini");
            AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(m, MF_STRING, mnuSound, "Sound");
            AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(m, MF_STRING, mnuWeather, "Weather Setting");
            AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(m, MF_STRING | (lastInstEnabled_ ? 0 : MF_GRAYED), mnuLastInst, "Last Installed Data");
            AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(m, MF_STRING | (stopRefreshEnabled_ ? 0 : MF_GRAYED), mnuStopRefresh, "Stop Refresh");
            break;
        }
    }
    return m;
}

void Form1::PopupMenu(HMENU menu) {
    POINT pt;
    GetCursorPos(&pt);
    const int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
    if (id) PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void Form1::Popup(Menu menu) { PopupMenu(BuildMenu(menu)); }

void Form1::Command(int id, int code) {
    SetsController& c = *sets_;
    if (id >= lblFilter0 && id < lblFilter0 + 6) {
        if (code == STN_CLICKED) c.lblFilter_Click(id - lblFilter0);
        return;
    }
    switch (id) {
        case cmbClouds: if (code == CBN_SELCHANGE) c.cmbClouds_Click(); break;
        case cmbOption: if (code == CBN_SELCHANGE) c.cmbOption_Click(); break;
        case lstSky: if (code == LBN_SELCHANGE) c.LstSky_Click(); break;
        case lstSkyFil: if (code == LBN_SELCHANGE) c.lstSkyFil_Click(); break;
        case lstClouds: if (code == LBN_SELCHANGE) c.lstClouds_Click(); break;
        case lstOption: if (code == LBN_SELCHANGE) c.lstOption_Click(); break;
        case optSky: if (code == BN_CLICKED) c.optSky_Click(); break;
        case optFLT: if (code == BN_CLICKED) situations_->optFLT_Click(); break;
        case lstFLT: if (code == LBN_SELCHANGE) situations_->lstFLT_Click(); break;
        case mnuClearSituation: situations_->mnuClearSituation_Click(); break;
        case cmdInstAndStart:
            launch_->cmdInstAndStart_Pressed(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
            break;
        case mnuNotStartFs: launch_->mnuNotStartFs_Click(); break;
        case mnuCancel: launch_->mnuCancel_Click(); break;
        case optFs0:
        case optFs1:
            if (code == BN_CLICKED && static_cast<int>(p_.settings.FsIndex) != id - optFs0) optFs_Click(id - optFs0);
            break;
        case cmdInst: c.cmdInst_Click(); break;
        case cmdToOrg: c.cmdToOrg_Click(); break;
        case cmdBackUp: c.cmdBackUp_Click(); break;
        case cmdMin: cmdMin_Click(); break;
        case cmdClose: cmdClose_Click(); break;
        case cmdRandom: autoRandom_->cmdRandom_Click(); break;
        case lblAutoRandom: if (code == STN_CLICKED) autoRandom_->lblAutoRandom_Click(); break;
        case lblOption: if (code == STN_CLICKED) c.lblOption_Click(); break;
        case mnuClearCloudAll: c.mnuClearCloudAll_Click(); break;
        case mnuCheckCloudAll: c.mnuCheckCloudAll_Click(); break;
        case mnuClearOptionAll: c.mnuClearOptionAll_Click(); break;
        case mnuCheckOptionAll: c.mnuCheckOptionAll_Click(); break;
        case mnuBkAll: c.mnuBkAll_Click(); break;
        case mnuLastInst: c.mnuLastInst_Click(); break;
        case mnuShowIni: mnuShowIni_Click(); break;
        case lblRefresh: if (code == STN_CLICKED) refresh_.lblRefresh_Click(); break;
        case mnuStopRefresh: refresh_.mnuStopRefresh_Click(); break;
        case mnuWeather: mnuWeather_Click(); break;
        case mnuSound: mnuSound_Click(); break;
        case mnuEndProg: mnuEndProg_Click(); break;
    }
}

LRESULT Form1::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    try {
        switch (msg) {
            case WM_COMMAND:
                Command(LOWORD(wp), HIWORD(wp));
                return 0;
            case WM_CONTEXTMENU: {
                HWND from = reinterpret_cast<HWND>(wp);
                if (from == Control(lstClouds)) sets_->lstClouds_MouseDown(2);
                else if (from == Control(lstOption)) sets_->lstOption_MouseDown(2);
                else if (from == Control(cmdBackUp)) sets_->cmdBackUp_MouseDown(2);
                else if (from == Control(optFLT)) situations_->optFLT_MouseDown(2);
                else if (from == Control(cmdInstAndStart))
                    launch_->cmdInstAndStart_MouseDown(2, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
                return 0;
            }
            case WM_MEASUREITEM:
                if (CheckListMeasure(reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
                break;
            case WM_DRAWITEM:
                if (CheckListDraw(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
                break;
            case WM_CTLCOLORSTATIC: {
                HDC dc = reinterpret_cast<HDC>(wp);
                const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
                auto it = colors_.find(id);
                if (it != colors_.end()) SetTextColor(dc, it->second);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd(), &ps);
                RECT band{0, 0, kWidth, kHeader};
                if (!band_) band_ = HeaderBand();
                HDC mem = CreateCompatibleDC(dc);
                HGDIOBJ oldBand = SelectObject(mem, band_);
                BitBlt(dc, 0, 0, kWidth, kHeader, mem, 0, 0, SRCCOPY);
                SelectObject(mem, oldBand);
                DeleteDC(mem);
                DrawIconEx(dc, 6, 4, AppIcon(), 20, 20, 0, nullptr, DI_NORMAL);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, RGB(255, 255, 255));
                HGDIOBJ old = SelectObject(dc, bold_);
                RECT t = band;
                t.left = 32;
                DrawTextA(dc, "Vellmora", -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                SelectObject(dc, old);
                RECT all;
                GetClientRect(hwnd(), &all);
                FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
                EndPaint(hwnd(), &ps);
                return 0;
            }
            case WM_TIMER:
                if (wp == kTimer1) autoRandom_->Timer1_Timer();
                else if (wp == kTmrFScheck) tmrFScheck_Timer();
                else if (wp == kTmrFsCheck2) tmrFsCheck2_Timer();
                else if (wp == kTmrEnd) RequestEnd();
                else if (wp == kTmrAfterShow) {
                    KillTimer(hwnd(), kTmrAfterShow);
                    CreateToolTips();
                }
                else if (wp == kTmrActivate) {
                    KillTimer(hwnd(), kTmrActivate);
                    if (!unloaded_) Form_Activate();  // no icon again once it was removed at the end
                }
                return 0;
            case WM_ACTIVATE:
                if (LOWORD(wp) != WA_INACTIVE) SetTimer(hwnd(), kTmrActivate, USER_TIMER_MINIMUM, nullptr);
                break;
            // Window dragging: the window follows the pointer.
            case WM_LBUTTONDOWN:
                BeginDrag(1);
                return 0;
            case WM_MBUTTONDOWN:
                BeginDrag(4);
                return 0;
            case WM_XBUTTONDOWN:
                BeginDrag(HIWORD(wp) == XBUTTON1 ? 8 : 16);
                return TRUE;
            case WM_MOUSEMOVE:
                if (dragging_ && (wp & MK_LBUTTON)) {
                    POINT pt;
                    GetCursorPos(&pt);
                    SetWindowPos(hwnd(), nullptr, dragRect_.left + pt.x - dragPt_.x, dragRect_.top + pt.y - dragPt_.y,
                                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
                return 0;
            case WM_LBUTTONUP:
            case WM_MBUTTONUP:
            case WM_XBUTTONUP:
                if (dragging_ && !(wp & (MK_LBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2))) {
                    dragging_ = false;
                    ReleaseCapture();
                }
                return msg == WM_XBUTTONUP ? TRUE : 0;
            case WM_CLOSE:
                RequestEnd();
                return 0;
            case WM_QUERYENDSESSION:
                // A log-off waits for a running copy loop; the program then
                // ends by itself.
                if (sets_->Busy() || weather_.RefreshBusy) {
                    RequestEnd();
                    return FALSE;
                }
                return TRUE;
            case WM_ENDSESSION:
                // The session ends: the orderly end saves the record first.
                if (wp) {
                    Form_Unload();
                    EndProgram();
                }
                return 0;
        }
    } catch (const ProgramEnd&) {
        // A fatal message was shown: the program ends.
        EndProgram();
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

// ---- SetsView ----

HWND Form1::ListOf(Lst list) const {
    switch (list) {
        case Lst::cmbClouds: return Control(cmbClouds);
        case Lst::cmbOption: return Control(cmbOption);
        case Lst::lstSky: return Control(lstSky);
        case Lst::lstSkyFil: return Control(lstSkyFil);
        case Lst::lstClouds: return Control(lstClouds);
        case Lst::lstOption: return Control(lstOption);
        case Lst::lstFLT: return Control(lstFLT);
    }
    return nullptr;
}

HWND Form1::CtlOf(Ctl control) const {
    switch (control) {
        case Ctl::optSky: return Control(optSky);
        case Ctl::optFLT: return Control(optFLT);
        case Ctl::cmdRandom: return Control(cmdRandom);
        case Ctl::cmdInst: return Control(cmdInst);
        case Ctl::cmdInstAndStart: return Control(cmdInstAndStart);
        case Ctl::cmdBackUp: return Control(cmdBackUp);
        case Ctl::cmdToOrg: return Control(cmdToOrg);
        case Ctl::lstClouds: return Control(lstClouds);
        case Ctl::lstFLT: return Control(lstFLT);
        case Ctl::lstOption: return Control(lstOption);
        case Ctl::lstSky: return Control(lstSky);
        case Ctl::lstSkyFil: return Control(lstSkyFil);
        case Ctl::cmbClouds: return Control(cmbClouds);
        case Ctl::cmbOption: return Control(cmbOption);
        case Ctl::imgSky: return Control(imgSky);
        case Ctl::lblMsg: return Control(lblMsg);
        case Ctl::lblFunc: return Control(lblFunc);
        case Ctl::lblFilter: return Control(lblFilter0);
        case Ctl::mnuLastInst: return nullptr;
    }
    return nullptr;
}

int Form1::Count(Lst list) {
    return static_cast<int>(SendMessageA(ListOf(list), IsComboList(list) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
}

std::string Form1::Item(Lst list, int index) {
    HWND h = ListOf(list);
    const bool combo = IsComboList(list);
    const LRESULT n = SendMessageA(h, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR || n < 0) return std::string();
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(h, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(s.data()));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

void Form1::Clear(Lst list) {
    SendMessageA(ListOf(list), IsComboList(list) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

void Form1::Add(Lst list, const std::string& text) {
    SendMessageA(ListOf(list), IsComboList(list) ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
}

int Form1::Selected(Lst list) {
    const LRESULT r = SendMessageA(ListOf(list), IsComboList(list) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return r < 0 ? -1 : static_cast<int>(r);
}

void Form1::Select(Lst list, int index) {
    SendMessageA(ListOf(list), IsComboList(list) ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool Form1::Checked(Lst list, int index) { return CheckListChecked(ListOf(list), index); }

void Form1::SetChecked(Lst list, int index, bool checked) { CheckListSetChecked(ListOf(list), index, checked); }

bool Form1::Enabled(Ctl control) {
    if (control == Ctl::lblFilter) return IsWindowEnabled(Control(lblFilter0)) != FALSE;
    HWND h = CtlOf(control);
    return h && IsWindowEnabled(h);
}

void Form1::SetEnabled(Ctl control, bool enabled) {
    if (control == Ctl::mnuLastInst) {
        lastInstEnabled_ = enabled;
        return;
    }
    if (control == Ctl::lblFilter) {
        for (int i = 0; i < 6; ++i) EnableWindow(Control(lblFilter0 + i), enabled);
        return;
    }
    if (HWND h = CtlOf(control)) EnableWindow(h, enabled);
}

void Form1::SetVisible(Ctl control, bool visible) {
    if (control == Ctl::lblFilter) {
        for (int i = 0; i < 6; ++i) ShowWindow(Control(lblFilter0 + i), visible ? SW_SHOWNA : SW_HIDE);
        return;
    }
    if (HWND h = CtlOf(control)) ShowWindow(h, visible ? SW_SHOWNA : SW_HIDE);
    // The option list's caption goes with it.
    if (control == Ctl::cmbOption) ShowWindow(Control(Label1), visible ? SW_SHOWNA : SW_HIDE);
}

bool Form1::OptionChosen(Ctl option) {
    HWND h = CtlOf(option);
    return h && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1::SetCaption(Ctl label, const std::string& text) {
    if (HWND h = CtlOf(label)) SetWindowTextA(h, text.c_str());
}

void Form1::SetFilterColor(int index, uint32_t color) {
    colors_[lblFilter0 + index] = static_cast<COLORREF>(color);
    InvalidateRect(Control(lblFilter0 + index), nullptr, TRUE);
}

void Form1::ShowPicture(const std::string& path) { ImageViewShow(Control(imgSky), path); }

void Form1::ShowMainWindow() {
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

// ---- AutoRandomView ----

void Form1::SetTimer1(bool enabled) {
    Timer1_ = enabled;
    if (!hwnd()) return;
    if (enabled) SetTimer(hwnd(), kTimer1, 200, nullptr);
    else KillTimer(hwnd(), kTimer1);
}

void Form1::ChooseSky() {
    SendMessageA(Control(optFLT), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(Control(optSky), BM_SETCHECK, BST_CHECKED, 0);
}

void Form1::OpenSetDialog() {
    randSel_.reset();
    EnableWindow(hwnd(), FALSE);
    randSel_ = std::make_unique<frmRandSel>(p_.env, p_.settings, cat_, arData_, hwnd(),
                                            [this] { SendMessageA(hwnd(), WM_CLOSE, 0, 0); });
    if (!randSel_->Form_Load()) EnableWindow(hwnd(), TRUE);
}

void Form1::SelectRefreshMode() { refresh_.Mode = vm::SelectRefreshMode(p_.settings, p_.settings.AutoRandomTime); }

// ---- RefreshView ----

void Form1::SetMessage(const std::string& text) { SetWindowTextA(Control(lblMsg), text.c_str()); }

std::string Form1::CloudsText() { return GetText(Control(cmbClouds)); }

bool Form1::RandomMode() { return state_.RandomMode; }

double Form1::AutoRandomTime() { return p_.settings.AutoRandomTime; }

void Form1::SetAutoRandomTime(double minutes) { p_.settings.AutoRandomTime = minutes; }

void Form1::ShowTime(const std::string& caption) { SetWindowTextA(Control(lblTime), caption.c_str()); }

void Form1::EnableTime(bool enable) { EnableWindow(Control(lblTime), enable); }

void Form1::ButtonCtrl(bool enable) { sets_->ButtonCtrl(enable); }

void Form1::EnableStopRefresh(bool enable) { stopRefreshEnabled_ = enable; }

void Form1::EnableLastInst(bool enable) { lastInstEnabled_ = enable; }

bool Form1::ModulePresent() { return IpcModulePresent(p_.env, p_.settings); }

void Form1::CheckSimWindow() { tmrFScheck_Timer(); }

void Form1::PlayButtonSound() { vm::PlayButtonSound(p_.env, p_.settings); }

// The music window is not part of the program yet: nothing else keeps the link.
bool Form1::MusicKeepsLink() { return frmSound_ && frmSound_->Desk() && frmSound_->Desk()->KeepsLink(); }

// ---- ConfigView ----

void Form1::ClearLists() { sets_->ClearLists(); }

void Form1::SetStretch(bool stretch) { ImageViewSetStretch(Control(imgSky), stretch); }

void Form1::SetToolTip(const std::string& control, int index, const std::string& text) {
    static const std::map<std::string, int> ids = {
        {"optSky", optSky}, {"optFLT", optFLT}, {"cmdRandom", cmdRandom}, {"cmdInstAndStart", cmdInstAndStart},
        {"cmdInst", cmdInst}, {"lblAutoRandom", lblAutoRandom}, {"lblTime", lblTime}, {"lblOption", lblOption},
        {"lblFilter", lblFilter0}, {"lstSky", lstSky}, {"lstFLT", lstFLT}};
    auto it = ids.find(control);
    if (it == ids.end()) return;
    const int id = it->second + (index > 0 ? index : 0);
    if (tips_) SetControlTip(tips_, hwnd(), Control(id), text);
    else pendingTips_.emplace_back(id, text);
}

}  // namespace vm
