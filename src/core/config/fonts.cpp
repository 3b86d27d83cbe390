#include "config/fonts.h"

#include "common/convert.h"

namespace vm {

namespace {
constexpr uint32_t kTrueTypeFontType = 4;
constexpr uint8_t kFixedPitch = 1;
constexpr uint8_t kShiftJisCharset = 128;
}  // namespace

void FontTable::Add(const FontFace& face) {
    if (!names_.insert(face.name).second) return;
    FontEntry e;
    e.name = face.name;
    e.trueType = (face.fontType & kTrueTypeFontType) != 0;
    e.fixedPitch = (face.pitchAndFamily & 3) == kFixedPitch;
    e.shiftJis = face.charSet == kShiftJisCharset;
    e.vertical = !face.name.empty() && face.name[0] == '@';
    entries_.push_back(std::move(e));
}

void EnumerateFonts(Env& env, FontTable& table) {
    env.fonts->Enumerate([&table](const FontFace& face) { table.Add(face); });
}

std::string CheckFonts(Env& env, FontTable& table, const std::string& propFont,
                       const std::string& fixFont) {
    bool propFound = propFont.empty();
    bool fixFound = fixFont.empty();
    if (propFound && fixFound) return "";

    EnumerateFonts(env, table);
    const std::string prop = LCase(propFont);
    const std::string fix = LCase(fixFont);
    for (const FontEntry& e : table.Entries()) {
        const std::string name = LCase(e.name);
        if (name == prop) propFound = true;
        if (name == fix) fixFound = true;
        if (propFound && fixFound) return "";
    }

    std::string report;
    if (!propFound) report = "Proportional font was not found.\r\n\r\n";
    if (fixFound) return report;
    report += "Fix font was not found.\r\n=== Fix and True Tyep font list ===\r\n";
    for (const FontEntry& e : table.Entries())
        if (e.fixedPitch && e.trueType && !e.vertical) report += " " + e.name + "\r\n";
    return report;
}

bool TakesFont(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::Label:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::CheckBox:
    case ControlKind::CommandButton:
    case ControlKind::Frame:
    case ControlKind::OptionButton:
    case ControlKind::PictureBox:
        return true;
    default:
        return false;
    }
}

std::optional<std::string> FontFor(const Settings& s, ControlKind kind) {
    if (s.PropFont.empty() || !TakesFont(kind)) return std::nullopt;
    return s.PropFont;
}

}  // namespace vm
