// The installed-font table, the check of the configured [Font] names, and the
// rule for which controls take the proportional font.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"

namespace vm {

struct FontEntry {
    std::string name;
    bool trueType = false;
    bool fixedPitch = false;
    bool shiftJis = false;
    bool vertical = false;  // the face name begins with "@"
};

// Kept for the program's lifetime; later enumerations only add faces that
// are not in it yet (exact, case-sensitive names).
class FontTable {
public:
    const std::vector<FontEntry>& Entries() const { return entries_; }
    size_t Count() const { return entries_.size(); }
    // Adds the face unless its name is already present.
    void Add(const FontFace& face);

private:
    std::vector<FontEntry> entries_;
    std::unordered_set<std::string> names_;
};

// Enumerates every face of every character set into the table.
void EnumerateFonts(Env& env, FontTable& table);

// The empty text when both configured fonts are installed (an empty name
// counts as installed), otherwise the report that the loader shows.
std::string CheckFonts(Env& env, FontTable& table, const std::string& propFont,
                       const std::string& fixFont);

enum class ControlKind {
    TextBox, Label, ComboBox, ListBox, CheckBox, CommandButton, Frame, OptionButton, PictureBox,
    Timer, Menu, Image, MediaPlayer, Other
};

bool TakesFont(ControlKind kind);

// The font name a control of this kind gets when a window loads, or nothing
// when it keeps its design font (no proportional font configured, or a kind
// that takes no font).
std::optional<std::string> FontFor(const Settings& s, ControlKind kind);

}  // namespace vm
