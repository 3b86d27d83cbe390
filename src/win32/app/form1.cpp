#include "app/form1.h"
#include "platform/popup_menu.h"

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
    : p_(p), transport_(&p.guard),
      shell_(p.env, p.settings, p.fontTable, transport_, p.clock, p.guard, *this) {}

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
        shell_.state.FsAvailable[0] = b.enabled[0];
        shell_.state.FsAvailable[1] = b.enabled[1];
        EnableWindow(Control(optFs0), b.enabled[0]);
        EnableWindow(Control(optFs1), b.enabled[1]);
        SendMessageA(Control(b.selected == 0 ? optFs0 : optFs1), BM_SETCHECK, BST_CHECKED, 0);
        shell_.SwitchSimulator(b.selected);
    };
    st.DefaultRandomFlags = [&] { shell_.autoRandom.StartupDefaults(); };
    st.NormaliseAndSaveOrder = [&] { shell_.autoRandom.NormaliseAndSaveOrder(); };
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
        shell_.SetTimer1(a.timer1);
        SetWindowTextA(Control(lblTime), a.timeCaption.c_str());
        if (a.buttonsOn) {
            shell_.sets.ButtonCtrl(true);
            if (OptionChosen(Ctl::optSky)) {
                SetWindowTextA(Control(lblMsg), GetText(Control(cmbClouds)).c_str());
                p_.pump.DoEvents();
            }
        }
        if (a.disableInstall) EnableWindow(Control(cmdInst), FALSE);
    };
    st.SelectRefreshMode = [&] { shell_.SelectRefreshMode(); };
    // The connecting watch looks at once: a set installed with the first
    // click can refresh the clouds. A simulator that does not answer holds
    // this for 10 s at most, letting messages run.
    st.SimulatorWatch = [&] { shell_.SetWatch(WatchWithLink(s, IpcModulePresent(env, s))); };
    st.StartSel = [&] {
        // The situation view needs situations to show.
        if (StartInSituation(s) && IsWindowEnabled(Control(optFLT))) {
            SendMessageA(Control(optSky), BM_SETCHECK, BST_UNCHECKED, 0);
            SendMessageA(Control(optFLT), BM_SETCHECK, BST_CHECKED, 0);
            shell_.situations.optFLT_Click();
        } else if (!vm::PlayButtonSound(env, s)) {
            p_.sound.Beep();
        }
    };
    {
        // The catalogue's time is counted on its own.
        const double catalogueBefore = p_.times.catalogue;
        {
            const StageClock timed(p_.times.configuration);
            // Nothing that arrives during the start-up starts other work.
            const OperationScope startup(p_.guard, Operation::Startup);
            RunStartup(st);
        }
        p_.times.configuration -= p_.times.catalogue - catalogueBefore;
    }
    p_.guard.Settle();
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

void Form1::SetWatchTimers(bool withLink) {
    tmrFScheck_ = withLink;
    tmrFsCheck2_ = !withLink;
    KillTimer(hwnd(), tmrFScheck);
    KillTimer(hwnd(), tmrFsCheck2);
    SetTimer(hwnd(), withLink ? tmrFScheck : tmrFsCheck2, 1000, nullptr);
}

void Form1::UseLinkWatch(bool withLink) {
    shell_.SetWatch(withLink);
    if (!withLink) shell_.Events().Fire(tmrFsCheck2);
}

bool Form1::SimWindowExists() { return FindWindowA("FS98MAIN", nullptr) != nullptr; }

bool Form1::StartProcess(const std::string& exe, const std::string& folder) {
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
}

void Form1::OpenWeather() {
    if (!IpcModulePresent(p_.env, p_.settings)) return;
    if (!frmWeather_)
        frmWeather_ = std::make_unique<frmWeather>(shell_.link, shell_.weather, p_.clock, p_.messages, p_.settings,
                                                   *this, p_.guard);
    frmWeather_->Show(hwnd());
}

void Form1::OpenTextureStatus() {
    if (!frmTexStatus_) frmTexStatus_ = std::make_unique<frmTexStatus>(p_.env, p_.settings, p_.guard);
    frmTexStatus_->Show(hwnd(), GetText(Control(p_.settings.FsIndex == 0 ? optFs0 : optFs1)));
}

void Form1::OpenSound() {
    if (!frmSound_)
        frmSound_ = std::make_unique<frmSound>(
            p_.env, p_.settings, shell_.link, shell_.weather,
            SoundHooks{[this] { return shell_.ModulePresent(); }, [this] { shell_.WatchTick(true); },
                       [this] { shell_.PlayButtonSound(); }},
            p_.guard);
    frmSound_->Show(hwnd());
}

void Form1::Minimise() { ShowWindow(hwnd(), SW_HIDE); }

// The orderly end; an end asked for while an operation ran comes here once
// the operation has stopped.
void Form1::EndProgram() {
    Form_Unload();
    Quit();
}

void Form1::BeginDrag(int button) {
    if (!DragAnchors(button)) return;
    GetCursorPos(&dragPt_);
    GetWindowRect(hwnd(), &dragRect_);
    dragging_ = true;
    SetCapture(hwnd());
}

void Form1::Quit() {
    ended_ = true;
    PostQuitMessage(0);
}

void Form1::ShowIni() {
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

void Form1::PIC_MouseMove(double xTwips) { shell_.Events().Fire(PIC, 0, static_cast<int>(xTwips / 15)); }

void Form1::TrayMouse(int message) {
    switch (TrayIconAction(message * 15.0)) {
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
    KillTimer(hwnd(), tmrFScheck);
    KillTimer(hwnd(), tmrFsCheck2);
    KillTimer(hwnd(), Timer1);
    shell_.link.IpcClose();
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
            AppendMenuA(m, MF_STRING | (shell_.ModulePresent() ? 0 : MF_GRAYED), mnuWeather, "Weather Setting");
            AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(m, MF_STRING | (lastInstEnabled_ ? 0 : MF_GRAYED), mnuLastInst, "Last Installed Data");
            AppendMenuA(m, MF_STRING, mnuTexStatus, "Texture Status");
            AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(m, MF_STRING | (stopRefreshEnabled_ ? 0 : MF_GRAYED), mnuStopRefresh, "Stop Refresh");
            break;
        }
    }
    return m;
}

void Form1::PopupMenu(HMENU menu) { PopupAtCursor(hwnd(), menu, &p_.guard); }

void Form1::Popup(Menu menu) { PopupMenu(BuildMenu(menu)); }

int Form1::Keys() { return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0); }

LRESULT Form1::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    try {
        switch (msg) {
            case WM_COMMAND:
                shell_.Events().Fire(LOWORD(wp), HIWORD(wp), 0, Keys());
                return 0;
            case WM_CONTEXTMENU: {
                const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wp));
                shell_.Events().Fire(id, kMouseDown + 2, 0, Keys());
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
                if (shell_.Events().Fire(static_cast<int>(wp)) != Fired::NoEntry) return 0;
                if (wp == kTmrAfterShow) {
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
                shell_.Events().Fire(evClose);
                return 0;
            case WM_QUERYENDSESSION:
                // A log-off waits for the running operation to stop at its
                // next safe point; the program then ends by itself.
                return shell_.Events().Fire(evQueryEndSession) == Fired::Deferred ? FALSE : TRUE;
            case WM_ENDSESSION:
                // The session ends: the orderly end saves the record first.
                if (wp) shell_.Events().Fire(evEndSession);
                return 0;
        }
    } catch (const ProgramEnd&) {
        // A fatal message was shown: the program ends.
        Quit();
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
        case Ctl::optFs0: return Control(optFs0);
        case Ctl::optFs1: return Control(optFs1);
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
    // The menu item has no window: its state is the one the pop-up is made with.
    if (control == Ctl::mnuLastInst) return lastInstEnabled_;
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

// ---- MainView ----

void Form1::SetTimer1(bool enabled) {
    Timer1_ = enabled;
    if (!hwnd()) return;
    if (enabled) SetTimer(hwnd(), Timer1, 200, nullptr);
    else KillTimer(hwnd(), Timer1);
}

void Form1::ChooseSky() {
    SendMessageA(Control(optFLT), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(Control(optSky), BM_SETCHECK, BST_CHECKED, 0);
}

void Form1::OpenSetDialog() {
    randSel_.reset();
    EnableWindow(hwnd(), FALSE);
    randSel_ = std::make_unique<frmRandSel>(p_.env, p_.settings, shell_.cat, shell_.arData, hwnd(),
                                            [this] { SendMessageA(hwnd(), WM_CLOSE, 0, 0); });
    if (!randSel_->Form_Load()) EnableWindow(hwnd(), TRUE);
}

void Form1::ShowTime(const std::string& caption) { SetWindowTextA(Control(lblTime), caption.c_str()); }

void Form1::EnableTime(bool enable) { EnableWindow(Control(lblTime), enable); }

bool Form1::MusicKeepsLink() { return frmSound_ && frmSound_->Desk() && frmSound_->Desk()->KeepsLink(); }

void Form1::SaveSoundDesk() {
    if (frmSound_ && frmSound_->Desk()) frmSound_->Desk()->SaveBeforeReload();
}

void Form1::FillFrozen(const std::function<void()>& fill) {
    // One repaint of each list when it is full, not one per line.
    const RedrawOff frozen({Control(cmbClouds), Control(lstSky), Control(lstClouds), Control(cmbOption),
                              Control(lstOption), Control(lstFLT)});
    fill();
}

// ---- ConfigView ----

void Form1::ClearLists() { shell_.sets.ClearLists(); }

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
