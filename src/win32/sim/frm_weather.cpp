#include "sim/frm_weather.h"

#include <commctrl.h>

#include "platform/app_icon.h"
#include "platform/apply_font.h"

namespace vm {

namespace {

constexpr UINT_PTR kTmr1 = 1;    // arrow auto-repeat
constexpr UINT_PTR kTmrAlt = 2;  // altitude and link watch
constexpr int kClientW = 444, kClientH = 246;

constexpr int kTextIds[] = {frmWeather::txtTop, frmWeather::txtBase, frmWeather::txtDev, frmWeather::txtPrecBaseAlt};

int ListId(WxList list) {
    switch (list) {
    case WxList::cmbType: return frmWeather::cmbType;
    case WxList::cmbCover: return frmWeather::cmbCover;
    case WxList::cmbTrubulence: return frmWeather::cmbTrubulence;
    case WxList::cmbIce: return frmWeather::cmbIce;
    case WxList::cmbPrecType: return frmWeather::cmbPrecType;
    case WxList::cmbPrecRate: break;
    }
    return frmWeather::cmbPrecRate;
}

int ButtonId(WxButton b) {
    switch (b) {
    case WxButton::cmdAdd: return frmWeather::cmdAdd;
    case WxButton::cmdDel: return frmWeather::cmdDel;
    case WxButton::cmdReceive: return frmWeather::cmdReceive;
    case WxButton::cmdSend: break;
    }
    return frmWeather::cmdSend;
}

}  // namespace

frmWeather::frmWeather(Fsuipc& link, ComIpc& weather, Clock& clock, Messages& messages, const Settings& settings,
                       SimWatchSwitch& watch, OperationGuard& guard)
    : link_(link), weather_(weather), clock_(clock), messages_(messages), settings_(settings), watch_(watch),
      table_(guard, *this, *this) {}

frmWeather::~frmWeather() {
    Destroy();
    if (font_) DeleteObject(font_);
}

void frmWeather::Show(HWND owner) {
    if (!Loaded()) Form_Load(owner);
    if (!Loaded()) return;
    editor_->ShownFromMenu();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    // Already the active window: no activation follows, so it is handled here.
    if (GetActiveWindow() == hwnd()) table_.Events().Fire(evActivate);
}

void frmWeather::Form_Load(HWND owner) {
    RegisterClassOnce(kClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), AppIcon());
    if (!CreateCentred(kClass, "Weather Setting", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kClientW,
                       kClientH, owner))
        return;
    CreateControls();
    ApplyFont(hwnd(), settings_);
    editor_ = std::make_unique<WeatherEditor>(link_, weather_, clock_, messages_, settings_.WaitTime, *this, watch_);
    table_.Attach(editor_.get());
    editor_->SetEditEnabled(false);
    SetTimer(hwnd(), kTmrAlt, 1000, nullptr);
    editor_->Form_Load();
}

void frmWeather::CreateControls() {
    if (!font_) font_ = MakeFont("Tahoma", 8, false);
    const DWORD label = WS_VISIBLE | SS_NOPREFIX;
    const DWORD combo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    const DWORD edit = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT;
    const DWORD push = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    const DWORD arrow = WS_VISIBLE | BS_OWNERDRAW;
    const DWORD shown = WS_VISIBLE | SS_SUNKEN | SS_CENTERIMAGE | SS_NOPREFIX;
    int caption = lblCaption0;
    // Creation order is the tab order.
    const ControlDef defs[] = {
        {caption++, "Static", "LayerNo", label, 12, 13, 52, 14, 0},
        {lblLayerNo, "Static", "Not Received", shown | SS_CENTER, 66, 10, 84, 20, 0},
        {vsbLayer, "ScrollBar", "", WS_VISIBLE | SBS_VERT, 154, 6, 17, 28, 0},
        {caption++, "Static", "Altitude", label, 236, 13, 50, 14, 0},
        {lblAlt, "Static", "", shown | SS_CENTER, 290, 10, 142, 20, 0},
        {caption++, "Static", "Cloud Type", label, 12, 46, 72, 14, 0},
        {cmbType, "ComboBox", "", combo, 86, 43, 131, 200, 0},
        {caption++, "Static", "Coverrage", label, 12, 74, 72, 14, 0},
        {cmbCover, "ComboBox", "", combo, 86, 71, 131, 200, 0},
        {caption++, "Static", "Top", label, 12, 103, 72, 14, 0},
        {txtTop, "Edit", "", edit, 86, 100, 100, 21, WS_EX_CLIENTEDGE},
        {cmdTopUp0, "Button", "", arrow, 188, 100, 14, 21, 0},
        {cmdTopDn0, "Button", "", arrow, 203, 100, 14, 21, 0},
        {caption++, "Static", "Base", label, 12, 131, 72, 14, 0},
        {txtBase, "Edit", "", edit, 86, 128, 100, 21, WS_EX_CLIENTEDGE},
        {cmdTopUp0 + 1, "Button", "", arrow, 188, 128, 14, 21, 0},
        {cmdTopDn0 + 1, "Button", "", arrow, 203, 128, 14, 21, 0},
        {caption++, "Static", "Deviation", label, 12, 159, 72, 14, 0},
        {txtDev, "Edit", "", edit, 86, 156, 100, 21, WS_EX_CLIENTEDGE},
        {cmdTopUp0 + 2, "Button", "", arrow, 188, 156, 14, 21, 0},
        {cmdTopDn0 + 2, "Button", "", arrow, 203, 156, 14, 21, 0},
        {caption++, "Static", "Turbulence", label, 12, 187, 72, 14, 0},
        {cmbTrubulence, "ComboBox", "", combo, 86, 184, 131, 200, 0},
        {caption++, "Static", "Icing", label, 12, 215, 72, 14, 0},
        {cmbIce, "ComboBox", "", combo, 86, 212, 131, 200, 0},
        {caption++, "Button", "Precipitation", WS_VISIBLE | BS_GROUPBOX, 236, 38, 196, 110, 0},
        {caption++, "Static", "Type", label, 248, 62, 58, 14, 0},
        {cmbPrecType, "ComboBox", "", combo, 310, 59, 111, 200, 0},
        {caption++, "Static", "Base alt.", label, 248, 90, 58, 14, 0},
        {txtPrecBaseAlt, "Edit", "", edit, 310, 87, 80, 21, WS_EX_CLIENTEDGE},
        {cmdTopUp0 + 3, "Button", "", arrow, 392, 87, 14, 21, 0},
        {cmdTopDn0 + 3, "Button", "", arrow, 407, 87, 14, 21, 0},
        {caption++, "Static", "Rate", label, 248, 118, 58, 14, 0},
        {cmbPrecRate, "ComboBox", "", combo, 310, 115, 111, 200, 0},
        {cmdReceive, "Button", "Receive", push, 240, 164, 92, 25, 0},
        {cmdSend, "Button", "Send", push, 340, 164, 92, 25, 0},
        {cmdAdd, "Button", "Add Layer", push, 240, 198, 92, 25, 0},
        {cmdDel, "Button", "Del Layer", push, 340, 198, 92, 25, 0},
    };
    MakeControls(defs, sizeof defs / sizeof defs[0], font_);
    for (WxList list : {WxList::cmbType, WxList::cmbCover, WxList::cmbTrubulence, WxList::cmbIce,
                        WxList::cmbPrecType, WxList::cmbPrecRate})
        for (const std::string& item : WxListItems(list))
            SendMessageA(Control(ListId(list)), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    for (int k = 0; k < 4; ++k) {
        SetWindowSubclass(Control(cmdTopUp0 + k), ArrowProc, UINT_PTR(cmdTopUp0 + k), reinterpret_cast<DWORD_PTR>(this));
        SetWindowSubclass(Control(cmdTopDn0 + k), ArrowProc, UINT_PTR(cmdTopDn0 + k), reinterpret_cast<DWORD_PTR>(this));
    }
    ::SetScrollRange(Control(vsbLayer), SB_CTL, 0, 1, FALSE);
}

void frmWeather::Form_Unload() {
    KillTimer(hwnd(), kTmr1);
    KillTimer(hwnd(), kTmrAlt);
    if (editor_) editor_->Form_Unload();
    Destroy();
}

// The arrow buttons act while they are held: the press steps once and starts
// the repeat, the release ends it.
LRESULT CALLBACK frmWeather::ArrowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
    auto* w = reinterpret_cast<frmWeather*>(self);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT r = DefSubclassProc(h, WM_LBUTTONDOWN, wp, lp);
        if (IsWindowEnabled(h)) w->table_.Events().Fire(int(id), kArrowDown);
        return r;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
        const LRESULT r = DefSubclassProc(h, msg, wp, lp);
        w->table_.Events().Fire(int(id), kArrowUp);
        return r;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(h, ArrowProc, id);
        break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

void frmWeather::DrawArrow(const DRAWITEMSTRUCT& d) {
    RECT r = d.rcItem;
    UINT state = d.CtlID >= UINT(cmdTopDn0) ? DFCS_SCROLLDOWN : DFCS_SCROLLUP;
    if (d.itemState & ODS_SELECTED) state |= DFCS_PUSHED;
    if (d.itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
    DrawFrameControl(d.hDC, &r, DFC_SCROLL, state);
}

BarState frmWeather::Bar(int id) { return ScrollBarState(Control(id)); }

void frmWeather::SetBarPos(int id, int pos) { ::SetScrollPos(Control(id), SB_CTL, pos, TRUE); }

LRESULT frmWeather::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (table_.Events().Fire(LOWORD(wp), HIWORD(wp)) != Fired::NoEntry) return 0;
        break;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lp) == Control(vsbLayer)) table_.Events().Fire(vsbLayer, LOWORD(wp));
        return 0;
    case WM_DRAWITEM:
        DrawArrow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_TIMER:
        if (wp == kTmr1) table_.Events().Fire(tmr1);
        if (wp == kTmrAlt) table_.Events().Fire(tmrAlt);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) table_.Events().Fire(evActivate);
        break;
    case WM_CLOSE:
        table_.Events().Fire(evClose);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

std::string frmWeather::Text(WxText box) { return GetText(Control(kTextIds[int(box)])); }
void frmWeather::SetText(WxText box, const std::string& text) {
    SetWindowTextA(Control(kTextIds[int(box)]), text.c_str());
}
void frmWeather::FocusText(WxText box) { SetFocus(Control(kTextIds[int(box)])); }

int frmWeather::ListIndex(WxList list) {
    return int(SendMessageA(Control(ListId(list)), CB_GETCURSEL, 0, 0));
}
std::string frmWeather::ListText(WxList list) {
    const int i = ListIndex(list);
    if (i < 0) return "";
    char buf[256] = {};
    SendMessageA(Control(ListId(list)), CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
    return buf;
}
void frmWeather::SetListIndex(WxList list, int index) {
    SendMessageA(Control(ListId(list)), CB_SETCURSEL, WPARAM(index), 0);
}

std::string frmWeather::LayerNo() { return GetText(Control(lblLayerNo)); }
void frmWeather::SetLayerNo(const std::string& text) { SetWindowTextA(Control(lblLayerNo), text.c_str()); }
void frmWeather::SetAltitude(const std::string& text) { SetWindowTextA(Control(lblAlt), text.c_str()); }

int frmWeather::ScrollPos() { return GetScrollPos(Control(vsbLayer), SB_CTL); }
void frmWeather::SetScrollPos(int pos) { ::SetScrollPos(Control(vsbLayer), SB_CTL, pos, TRUE); }
void frmWeather::SetScrollRange(int min, int max) { ::SetScrollRange(Control(vsbLayer), SB_CTL, min, max, TRUE); }

void frmWeather::SetEditingEnabled(bool enable) {
    for (int id : {int(cmbType), int(cmbCover), int(txtTop), int(txtBase), int(txtDev), int(cmbTrubulence),
                   int(cmbIce), int(cmbPrecType), int(txtPrecBaseAlt), int(cmbPrecRate), int(vsbLayer)})
        EnableWindow(Control(id), enable);
    for (int k = 0; k < 4; ++k) {
        EnableWindow(Control(cmdTopUp0 + k), enable);
        EnableWindow(Control(cmdTopDn0 + k), enable);
    }
}

void frmWeather::SetButtonsEnabled(bool enable) {
    for (int id : {int(cmdSend), int(cmdDel), int(cmdReceive), int(cmdAdd)}) EnableWindow(Control(id), enable);
}

void frmWeather::FocusButton(WxButton button) { SetFocus(Control(ButtonId(button))); }

void frmWeather::SetRepeat(bool on) {
    if (on) SetTimer(hwnd(), kTmr1, 1, nullptr);
    else KillTimer(hwnd(), kTmr1);
}

}  // namespace vm
