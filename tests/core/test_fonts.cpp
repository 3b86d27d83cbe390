// The font table, the [Font] check report and the controls that take the font.
#include <gtest/gtest.h>

#include "config/fonts.h"
#include "fakes.h"

namespace vm {
namespace {

class FontsTest : public ::testing::Test {
protected:
    TestEnv t;
    FontTable table;

    FontsTest() {
        // name, font type (4 = TrueType), pitch and family, character set
        t.fonts.Add("Arial", 4, 0x22);
        t.fonts.Add("Courier New", 4, 0x31);
        t.fonts.Add("@MS Gothic", 4, 0x31, 128);
        t.fonts.Add("MS Gothic", 4, 0x31, 128);
        t.fonts.Add("Courier", 1, 0x31);        // fixed pitch, not TrueType
        t.fonts.Add("Courier New", 4, 0x31, 0);  // reported again for another set
        t.fonts.Add("Lucida Console", 4, 0x33);  // pitch bits 3: not fixed
    }
};

TEST_F(FontsTest, TableKeepsEachNameOnceWithItsFlags) {
    t.fonts.Add("courier new", 4, 0x31);  // another case is another name
    EnumerateFonts(t.env, table);
    EnumerateFonts(t.env, table);
    ASSERT_EQ(table.Count(), 7u);
    const auto& e = table.Entries();
    EXPECT_EQ(e[1].name, "Courier New");
    EXPECT_TRUE(e[1].trueType && e[1].fixedPitch && !e[1].vertical && !e[1].shiftJis);
    EXPECT_TRUE(e[2].vertical && e[2].shiftJis);
    EXPECT_FALSE(e[0].fixedPitch);
    EXPECT_FALSE(e[4].trueType);
    EXPECT_FALSE(e[5].fixedPitch);  // Lucida Console, pitch bits 3
}

TEST_F(FontsTest, Reports) {
    const std::string list = "=== Fix and True Tyep font list ===\r\n Courier New\r\n MS Gothic\r\n";
    struct Case {
        const char *prop, *fix;
        std::string report;
    };
    const Case cases[] = {
        {"", "", ""},
        {"ARIAL", "courier new", ""},
        {"Arial", "@ms gothic", ""},
        {"Nosuch", "Courier New", "Proportional font was not found.\r\n\r\n"},
        {"Arial", "Nosuch", "Fix font was not found.\r\n" + list},
        {"Nosuch", "Nosuch", "Proportional font was not found.\r\n\r\nFix font was not found.\r\n" + list},
        {"", "Nosuch", "Fix font was not found.\r\n" + list},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.prop) + "/" + c.fix);
        EXPECT_EQ(CheckFonts(t.env, table, c.prop, c.fix), c.report);
    }
}

TEST_F(FontsTest, NothingConfiguredEnumeratesNothing) {
    EXPECT_EQ(CheckFonts(t.env, table, "", ""), "");
    EXPECT_EQ(table.Count(), 0u);
}

TEST_F(FontsTest, WhichControlsTakeTheFont) {
    Settings s;
    EXPECT_FALSE(FontFor(s, ControlKind::Label).has_value());  // no font configured
    s.PropFont = "Arial";
    const ControlKind take[] = {ControlKind::TextBox, ControlKind::Label, ControlKind::ComboBox,
                                ControlKind::ListBox, ControlKind::CheckBox, ControlKind::CommandButton,
                                ControlKind::Frame, ControlKind::OptionButton, ControlKind::PictureBox};
    for (ControlKind k : take) EXPECT_EQ(FontFor(s, k), "Arial");
    const ControlKind keep[] = {ControlKind::Timer, ControlKind::Menu, ControlKind::Image,
                                ControlKind::MediaPlayer, ControlKind::Other};
    for (ControlKind k : keep) EXPECT_FALSE(FontFor(s, k).has_value());
}

}  // namespace
}  // namespace vm
