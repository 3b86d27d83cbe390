#include "platform/apply_font.h"

#include <map>
#include <string>
#include <tuple>

#include "config/fonts.h"

namespace vm {

namespace {
ControlKind KindOf(HWND h) {
    char cls[64];
    GetClassNameA(h, cls, sizeof cls);
    const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    if (!lstrcmpiA(cls, "Edit")) return ControlKind::TextBox;
    if (!lstrcmpiA(cls, "ComboBox")) return ControlKind::ComboBox;
    if (!lstrcmpiA(cls, "ListBox")) return ControlKind::ListBox;
    if (!lstrcmpiA(cls, "Static")) {
        const LONG_PTR t = style & SS_TYPEMASK;
        return (t == SS_ICON || t == SS_BITMAP) ? ControlKind::Image : ControlKind::Label;
    }
    if (!lstrcmpiA(cls, "Button")) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
                return ControlKind::CheckBox;
            case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return ControlKind::OptionButton;
            case BS_GROUPBOX: return ControlKind::Frame;
            default: return ControlKind::CommandButton;
        }
    }
    if (!lstrcmpiA(cls, "VellmoraImage")) return ControlKind::Image;
    return ControlKind::Other;
}

struct Ctx {
    const Settings* s;
};

BOOL CALLBACK Each(HWND h, LPARAM lp) {
    const Settings& s = *reinterpret_cast<Ctx*>(lp)->s;
    const auto face = FontFor(s, KindOf(h));
    if (!face) return TRUE;
    LOGFONTA lf{};
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    if (!current) current = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GetObjectA(current, sizeof lf, &lf);
    lstrcpynA(lf.lfFaceName, face->c_str(), LF_FACESIZE);
    // Fonts are made once per face, height and weight and kept for the
    // program's lifetime: every window shares them.
    static std::map<std::tuple<std::string, LONG, LONG>, HFONT> made;
    HFONT& f = made[{*face, lf.lfHeight, lf.lfWeight}];
    if (!f) f = CreateFontIndirectA(&lf);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    return TRUE;
}
}  // namespace

void ApplyFont(HWND window, const Settings& s) {
    if (s.PropFont.empty()) return;
    Ctx c{&s};
    EnumChildWindows(window, Each, reinterpret_cast<LPARAM>(&c));
}

}  // namespace vm
