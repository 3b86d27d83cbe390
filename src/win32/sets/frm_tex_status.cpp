#include "sets/frm_tex_status.h"

#include <commctrl.h>

#include "platform/app_icon.h"
#include "platform/apply_font.h"

namespace vm {

namespace {

constexpr int kClientW = 560, kClientH = 360;
const char* const kColumns[] = {"File", "Now", "Since", "Backup"};
constexpr int kWidths[] = {130, 190, 110, 110};

}  // namespace

frmTexStatus::frmTexStatus(Env& env, const Settings& settings, OperationGuard& guard)
    : env_(env), settings_(settings), table_(guard, *this) {}

frmTexStatus::~frmTexStatus() {
    Destroy();
    if (font_) DeleteObject(font_);
}

void frmTexStatus::Show(HWND owner, const std::string& simName) {
    if (!Loaded()) Form_Load(owner);
    if (!Loaded()) return;
    status_->simName = simName;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    // The window's own reading: its close waits for it and ends it early.
    table_.Events().Fire(cmdRefresh, kClicked);
}

void frmTexStatus::Form_Load(HWND owner) {
    RegisterClassOnce(kClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), AppIcon());
    if (!CreateCentred(kClass, "Texture Status", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kClientW,
                       kClientH, owner))
        return;
    if (!font_) font_ = MakeFont("Tahoma", 8, false);
    const DWORD push = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    const ControlDef defs[] = {
        {lblNote, "Static", "", WS_VISIBLE | SS_NOPREFIX, 8, 6, kClientW - 16, 16, 0},
        {lvwFiles, WC_LISTVIEWA, "", WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 8, 24,
         kClientW - 16, 260, WS_EX_CLIENTEDGE},
        {lblTotals, "Static", "", WS_VISIBLE | SS_NOPREFIX, 8, 290, kClientW - 16, 30, 0},
        {cmdRestoreAll, "Button", "Restore All Originals", push, 8, 326, 150, 26, 0},
        {cmdRefresh, "Button", "Refresh", push, kClientW - 208, 326, 96, 26, 0},
        {cmdClose, "Button", "Close", push, kClientW - 104, 326, 96, 26, 0},
    };
    MakeControls(defs, sizeof defs / sizeof defs[0], font_);
    HWND list = Control(lvwFiles);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(kColumns[c]);
        col.cx = kWidths[c];
        col.iSubItem = c;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
    ApplyFont(hwnd(), settings_);
    status_ = std::make_unique<TextureStatus>(env_, settings_, *this);
    table_.Attach(status_.get());
}

void frmTexStatus::SetTitle(const std::string& title) { SetWindowTextA(hwnd(), title.c_str()); }

void frmTexStatus::ShowLines(const std::vector<StatusLine>& lines) {
    HWND list = Control(lvwFiles);
    const RedrawOff off({list});
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t r = 0; r < lines.size(); ++r) {
        const std::string* cells[] = {&lines[r].file, &lines[r].now, &lines[r].since, &lines[r].backup};
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(r);
        item.pszText = const_cast<char*>(cells[0]->c_str());
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 4; ++c) {
            LVITEMA sub{};
            sub.iSubItem = c;
            sub.pszText = const_cast<char*>(cells[c]->c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&sub));
        }
    }
}

void frmTexStatus::ShowTotals(const std::string& totals) { SetWindowTextA(Control(lblTotals), totals.c_str()); }
void frmTexStatus::ShowNote(const std::string& note) { SetWindowTextA(Control(lblNote), note.c_str()); }

void frmTexStatus::EnableButtons(bool enable) {
    EnableWindow(Control(cmdRestoreAll), enable);
    EnableWindow(Control(cmdRefresh), enable);
}

int frmTexStatus::Rows() const {
    return static_cast<int>(SendMessageA(GetDlgItem(hwnd(), lvwFiles), LVM_GETITEMCOUNT, 0, 0));
}

std::string frmTexStatus::Cell(int row, int column) const {
    char buf[512] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(GetDlgItem(hwnd(), lvwFiles), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buf;
}

LRESULT frmTexStatus::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (table_.Events().Fire(LOWORD(wp), HIWORD(wp)) != Fired::NoEntry) return 0;
        break;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr && hdr->idFrom == static_cast<UINT_PTR>(lvwFiles) && hdr->code == LVN_COLUMNCLICK) {
            table_.Events().Fire(lvwFiles, kColumnClick, reinterpret_cast<const NMLISTVIEW*>(lp)->iSubItem);
            return 0;
        }
        break;
    }
    case WM_CLOSE:
        table_.Events().Fire(evClose);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace vm
