#include "sound/frm_sound.h"
#include "platform/popup_menu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "platform/app_icon.h"
#include "platform/apply_font.h"
#include "sound/frm_music.h"
#include "ui/dialog.h"

namespace vm {

namespace {

constexpr UINT_PTR kTmrMp0 = 1;  // the pause of channel 1 and 2: kTmrMp0 + channel
constexpr UINT_PTR kTmrIpcVolCont = 4;
constexpr UINT_PTR kTmrCD = 5;
constexpr int kClientW = 452, kClientH = 236;
constexpr COLORREF kActive = 0x00FF00, kInactive = 0xE0FFFF;
constexpr DWORD kFileDialogFlags = 0x81224;  // explorer, file must exist, multiple, hook, hide read-only

// The interval bars show 60 at the top: their position is 60 - value, and
// one step past either end is allowed so that the value can wrap.
constexpr int kIntervalTop = 60;

}  // namespace

frmSound::frmSound(Env& env, Settings& settings, Fsuipc& link, ComIpc& weather, SoundHooks hooks,
                   OperationGuard& guard)
    : env_(env), settings_(settings), link_(link), weather_(weather), hooks_(std::move(hooks)),
      table_(guard, *this, *this) {}

frmSound::~frmSound() {
    Unload();
    closed_.clear();
    if (font_) DeleteObject(font_);
    if (indicator_) DeleteObject(indicator_);
}

void frmSound::Show(HWND owner) {
    if (!Loaded()) Form_Load(owner);
    if (!Loaded()) return;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

void frmSound::Form_Load(HWND owner) {
    ReleaseClosed();
    RegisterClassOnce(kClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), AppIcon());
    if (!CreateCentred(kClass, kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kClientW, kClientH,
                       owner))
        return;
    CreateControls();
    following_ = false;
    cdPanel_ = std::make_unique<CdPanel>(cd_, *this, *env_.pump);
    const std::array<MediaPlayer*, 3> players{mp_[0].get(), mp_[1].get(), mp_[2].get()};
    desk_ = std::make_unique<SoundDesk>(env_, settings_, players, *this, *cdPanel_, link_, weather_, hooks_);
    table_.Attach(desk_.get(), cdPanel_.get());
    for (int i = 1; i <= 3; ++i) {
        Player(i).EndOfStream = [this, i] {
            DeskCall call(calls_);
            table_.Events().Fire(evMpEnd, 0, i);
        };
        Player(i).Error = [this, i] {
            DeskCall call(calls_);
            table_.Events().Fire(evMpError, 0, i);
        };
    }
    Player(3).SetVisible(false);
    desk_->Form_Load();
}

void frmSound::CreateControls() {
    if (!font_) font_ = MakeFont("Tahoma", 8, false);
    const DWORD label = SS_NOPREFIX | WS_VISIBLE;
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE;
    const DWORD hbar = SBS_HORZ | WS_TABSTOP | WS_VISIBLE;
    const DWORD vbar = SBS_VERT | WS_VISIBLE;
    const DWORD value = SS_NOPREFIX | SS_CENTER | SS_SUNKEN | WS_VISIBLE;
    int caption = lblCaption0;
    // Creation order is the tab order. Each player's row: its switch, its
    // volume, its interval (channels) and its player strip below.
    const ControlDef defs[] = {
        {caption++, "Static", "Play ON/OFF", label, 8, 6, 80, 14, 0},
        {caption++, "Static", "Volume", label, 92, 6, 80, 14, 0},
        {caption++, "Static", "Interval(sec)", label, 300, 6, 76, 14, 0},
        {lblVolIndex, "Static", "Vol.", value | SS_CENTERIMAGE, 392, 4, 48, 18, 0},
        {chkMP1, "Button", "Ch 1", check, 8, 28, 76, 18, 0},
        {hsbVol1, "ScrollBar", "", hbar, 92, 29, 164, 17, 0},
        {lblVol1, "Static", "0", value, 262, 29, 30, 17, 0},
        {vsbIntvl1, "ScrollBar", "", vbar, 300, 22, 17, 30, 0},
        {lblIntvl1, "Static", "0", value, 322, 29, 30, 17, 0},
        {chkAlwaysOn1, "Button", "Use FSUIPC", check, 360, 28, 84, 18, 0},
        {chkMP1 + 1, "Button", "Ch 2", check, 8, 86, 76, 18, 0},
        {hsbVol1 + 1, "ScrollBar", "", hbar, 92, 87, 164, 17, 0},
        {lblVol1 + 1, "Static", "0", value, 262, 87, 30, 17, 0},
        {vsbIntvl1 + 1, "ScrollBar", "", vbar, 300, 80, 17, 30, 0},
        {lblIntvl1 + 1, "Static", "0", value, 322, 87, 30, 17, 0},
        {chkAlwaysOn1 + 1, "Button", "Use FSUIPC", check, 360, 86, 84, 18, 0},
        {chkMP1 + 2, "Button", "Music", check, 8, 144, 76, 18, 0},
        {hsbVol1 + 2, "ScrollBar", "", hbar, 92, 145, 164, 17, 0},
        {lblVol1 + 2, "Static", "0", value, 262, 145, 30, 17, 0},
        {cmdSelFile, "Button", "Files...", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 300, 140, 76, 26, 0},
        {chkCD, "Button", "CD", check, 8, 206, 76, 18, 0},
        {chkRepeatCD, "Button", "Repeat", check, 92, 206, 70, 18, 0},
        {hsvTrack, "ScrollBar", "", hbar, 168, 207, 188, 17, 0},
        {lblTrack, "Static", "Track00", value, 362, 207, 58, 17, 0},
    };
    MakeControls(defs, sizeof defs / sizeof defs[0], font_);
    // The configured font goes to the desk's own controls; the players,
    // made afterwards, keep the font their layout was measured with.
    ApplyFont(hwnd(), settings_);
    const int stripY[] = {52, 110, 170};
    for (int i = 0; i < 3; ++i) {
        mp_[size_t(i)] = std::make_unique<MediaStrip>();
        mp_[size_t(i)]->Create(hwnd(), 92, stripY[i], 348, 24, Mp1 + i);
    }
    for (int i = 0; i < 3; ++i) ::SetScrollRange(Control(hsbVol1 + i), SB_CTL, 0, 100, FALSE);
    for (int i = 0; i < 2; ++i) ::SetScrollRange(Control(vsbIntvl1 + i), SB_CTL, -1, kIntervalTop + 1, FALSE);
    ::SetScrollRange(Control(hsvTrack), SB_CTL, 1, 1, FALSE);
    DragAcceptFiles(Control(cmdSelFile), TRUE);
    SetWindowSubclass(Control(cmdSelFile), FileButtonProc, cmdSelFile, reinterpret_cast<DWORD_PTR>(this));
}

void frmSound::Unload() {
    if (!hwnd()) return;
    // A file ending while the desk writes its settings starts nothing new.
    for (auto& m : mp_)
        if (m) m->EndOfStream = m->Error = nullptr;
    if (desk_) desk_->Form_Unload();
    for (UINT_PTR t : {kTmrMp0 + 1, kTmrMp0 + 2, kTmrIpcVolCont, kTmrCD}) KillTimer(hwnd(), t);
    Destroy();
    table_.Attach(nullptr, nullptr);
    closed_.push_back(Opening{std::move(cdPanel_), std::move(mp_), std::move(desk_), std::move(music_)});
    ReleaseClosed();
}

void frmSound::ReleaseClosed() {
    if (calls_ == 0) closed_.clear();
}

// The file button takes a right click (its menu) and dropped files.
LRESULT CALLBACK frmSound::FileButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    auto* w = reinterpret_cast<frmSound*>(self);
    DeskCall call(w->calls_);
    switch (msg) {
    case WM_RBUTTONDOWN:
        w->table_.Events().Fire(evSelFileMenu);
        return 0;
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wp);
        std::vector<std::string> paths;
        const UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            const UINT len = DragQueryFileA(drop, i, nullptr, 0);
            std::string p(len + 1, '\0');
            DragQueryFileA(drop, i, p.data(), len + 1);
            p.resize(len);
            paths.push_back(p);
        }
        DragFinish(drop);
        w->table_.Drop(std::move(paths));
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, FileButtonProc, id);
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

BarState frmSound::Bar(int id) { return ScrollBarState(Control(id)); }

void frmSound::SetBarPos(int id, int pos) { ::SetScrollPos(Control(id), SB_CTL, pos, TRUE); }

LRESULT frmSound::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    {
        DeskCall call(calls_);
        r = Handle(msg, wp, lp);
    }
    // A desk closed by this message, or while it let others run, goes now.
    ReleaseClosed();
    return r;
}

LRESULT frmSound::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        table_.Events().Fire(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Event::a: the bar's id.
        if (lp) table_.Events().Fire(evScroll, LOWORD(wp), GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
        return 0;
    case WM_TIMER:
        if (wp == kTmrMp0 + 1 || wp == kTmrMp0 + 2) table_.Events().Fire(tmrMp1 + int(wp - kTmrMp0 - 1));
        else if (wp == kTmrIpcVolCont) table_.Events().Fire(tmrIpcVolCont);
        else if (wp == kTmrCD) table_.Events().Fire(tmrCD);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == Control(lblVolIndex)) {
            const COLORREF c = following_ ? kActive : kInactive;
            if (indicator_) DeleteObject(indicator_);
            indicator_ = CreateSolidBrush(c);
            SetBkColor(reinterpret_cast<HDC>(wp), c);
            return reinterpret_cast<LRESULT>(indicator_);
        }
        break;
    case WM_CLOSE:
        table_.Events().Fire(evClose);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

bool frmSound::PlayChecked(int player) {
    return SendMessageA(Control(chkMP1 + player - 1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void frmSound::SetPlayChecked(int player, bool on) {
    SendMessageA(Control(chkMP1 + player - 1), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
void frmSound::EnableChannel(int channel, bool enable) {
    for (int id : {chkMP1, hsbVol1, vsbIntvl1}) EnableWindow(Control(id + channel - 1), enable);
}
int frmSound::VolumeBar(int player) { return GetScrollPos(Control(hsbVol1 + player - 1), SB_CTL); }
void frmSound::SetVolumeBar(int player, int value) {
    ::SetScrollPos(Control(hsbVol1 + player - 1), SB_CTL, value, TRUE);
}
void frmSound::SetVolumeLabel(int player, const std::string& text) {
    SetWindowTextA(Control(lblVol1 + player - 1), text.c_str());
}
int frmSound::IntervalBar(int channel) {
    return kIntervalTop - GetScrollPos(Control(vsbIntvl1 + channel - 1), SB_CTL);
}
void frmSound::SetIntervalBar(int channel, int value) {
    ::SetScrollPos(Control(vsbIntvl1 + channel - 1), SB_CTL, kIntervalTop - value, TRUE);
}
void frmSound::SetIntervalLabel(int channel, const std::string& text) {
    SetWindowTextA(Control(lblIntvl1 + channel - 1), text.c_str());
}
void frmSound::SetPauseTimer(int channel, uint32_t ms) {
    if (ms) SetTimer(hwnd(), kTmrMp0 + UINT_PTR(channel), ms, nullptr);
    else KillTimer(hwnd(), kTmrMp0 + UINT_PTR(channel));
}
void frmSound::SetFollowTimer(bool on) {
    if (on) SetTimer(hwnd(), kTmrIpcVolCont, 1000, nullptr);
    else KillTimer(hwnd(), kTmrIpcVolCont);
}
void frmSound::SetFollowIndicator(bool active) {
    if (following_ == active) return;
    following_ = active;
    InvalidateRect(Control(lblVolIndex), nullptr, TRUE);
}
void frmSound::SetCaption(const std::string& text) { SetWindowTextA(hwnd(), text.c_str()); }

std::string frmSound::ChooseFiles(const std::string& startDir, const std::string& filter) {
    cDialog d(env_);
    d.StartDir = startDir;
    return d.ShowOpen(hwnd(), kFileDialogFlags, filter, 1, "", "");
}

void frmSound::ShowPopup() {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, mnuClearList, "Clear List (&C)");
    AppendMenuA(m, MF_STRING, mnuEditList, "Edit List (&E)");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_STRING, mnuFwd, "Fwd >>");
    AppendMenuA(m, MF_STRING, mnuRev, "<< Rev");
    AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m, MF_STRING, mnuReset, "Restart (&R)");
    PopupAtCursor(hwnd(), m, &Events().Guard());
}

void frmSound::OpenPlaylistEditor() {
    if (!desk_) return;
    if (!music_) music_ = std::make_unique<frmMusic>(*desk_, settings_, calls_, table_.Events().Guard());
    music_->Show(hwnd(), Control(cmdSelFile));
}

void frmSound::ClosePlaylistEditor() {
    if (music_) music_->Unload();
}

void frmSound::ShowNotice(const std::string& utf8Text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8Text.c_str(), -1, nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.c_str(), -1, text.data(), n);
    MessageBoxW(hwnd(), text.c_str(), L"Vellmora", MB_OK | MB_ICONEXCLAMATION);
}

std::string frmSound::FromUtf8(const std::string& utf8Text) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Text.data(), int(utf8Text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Text.data(), int(utf8Text.size()), wide.data(), n);
    BOOL lost = FALSE;
    const int m = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0, nullptr, &lost);
    if (m <= 0 || lost) return {};
    std::string ansi(size_t(m), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), n, ansi.data(), m, nullptr, nullptr);
    return ansi;
}

void frmSound::SetCdEnabled(bool enable) {
    EnableWindow(Control(chkCD), enable);
    EnableWindow(Control(hsvTrack), enable);
}
bool frmSound::CdChecked() { return SendMessageA(Control(chkCD), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void frmSound::SetCdChecked(bool checked) {
    SendMessageA(Control(chkCD), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
bool frmSound::RepeatChecked() { return SendMessageA(Control(chkRepeatCD), BM_GETCHECK, 0, 0) == BST_CHECKED; }
int frmSound::TrackValue() { return GetScrollPos(Control(hsvTrack), SB_CTL); }
void frmSound::SetTrackRange(int min, int max) { ::SetScrollRange(Control(hsvTrack), SB_CTL, min, max, TRUE); }
void frmSound::SetTrackValue(int value) { ::SetScrollPos(Control(hsvTrack), SB_CTL, value, TRUE); }
void frmSound::SetTrackLabel(const std::string& text) { SetWindowTextA(Control(lblTrack), text.c_str()); }
void frmSound::SetCdTimer(bool on) {
    if (on) SetTimer(hwnd(), kTmrCD, 1000, nullptr);
    else KillTimer(hwnd(), kTmrCD);
}

}  // namespace vm
