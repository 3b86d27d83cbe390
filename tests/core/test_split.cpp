#include <gtest/gtest.h>

#include "ui/split.h"

using namespace vm;
using V = std::vector<std::string>;

TEST(SplitTextTest, PiecesIncludingEmptyOnes) {
    const std::string nul(1, '\0');
    struct Row {
        std::string text, delim;
        V pieces;
    } rows[] = {
        {"abc", ",", {"abc"}},
        {"", ",", {""}},
        {"a" + nul + nul + "b", nul, {"a", "", "b"}},
        {"a,", ",", {"a", ""}},
        {",a", ",", {"", "a"}},
        {"a::b::c", "::", {"a", "b", "c"}},
        {"C:\\Music" + nul + "x.mp3" + nul + "y.mp3", nul, {"C:\\Music", "x.mp3", "y.mp3"}},
    };
    for (const auto& r : rows) {
        cSplit s;
        s.SplitText(r.text, r.delim);
        EXPECT_EQ(s.Items, r.pieces);
        EXPECT_EQ(s.Count(), static_cast<int>(r.pieces.size()));
    }
    cSplit s;
    s.SplitText("a,b", ",");
    s.SplitText("c", ",");  // appends
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.Item(1), "a");
    EXPECT_EQ(s.Item(3), "c");
    EXPECT_EQ(s.Item(0), "");
    EXPECT_EQ(s.Item(4), "");
}

TEST(DialogTextTest, FilterAndResult) {
    using namespace std::string_literals;
    EXPECT_EQ(ConvertFilter("MP3 (*.mp3;*.m3u)|*.mp3;*.m3u|"),
              "MP3 (*.mp3;*.m3u)\0*.mp3;*.m3u\0\0\0"s);
    // A drive letter's colon is cut too.
    EXPECT_EQ(ConvertFilter("Wave|C:*.wav"), "Wave\0C\0*.wav\0\0"s);
    EXPECT_EQ(DialogResult("C:\\a.mp3\0\0\0"s), "C:\\a.mp3");
    EXPECT_EQ(DialogResult("C:\\M\0a.mp3\0b.mp3\0\0"s), "C:\\M\0a.mp3\0b.mp3"s);
    EXPECT_EQ(DialogResult(std::string(10, '\0')), "");
    const std::string buf = DialogFileBuffer("x.mp3", 10);
    EXPECT_EQ(buf.size(), 10u);
    EXPECT_EQ(buf, "x.mp3\0\0\0\0\0"s);
    EXPECT_EQ(DialogFileBuffer("0123456789AB", 10), "012345678\0"s);
}
