#include <gtest/gtest.h>

#include "config/cfg_file.h"
#include "config/ini_profile.h"
#include "fakes.h"
#include "memory_fs.h"

namespace vm {
namespace {

const char* const kFile = "C:\\Prog\\cloud.ini";

struct Ini {
    MemoryFileSystem fs;
    IniProfile ini{fs};
    explicit Ini(const std::string& text) { fs.AddFile(kFile, text); }
    Ini() { fs.AddDir("C:\\Prog"); }
    std::string Get(const char* section, const char* key, unsigned size = 2048, const std::string& def = "Error") {
        std::string s = section ? section : "", k = key ? key : "";
        return ini.Get(section ? &s : nullptr, key ? &k : nullptr, def, size, kFile);
    }
    bool Put(const char* section, const char* key, const char* value) {
        std::string s = section ? section : "", k = key ? key : "", v = value ? value : "";
        return ini.Put(section ? &s : nullptr, key ? &k : nullptr, value ? &v : nullptr, kFile);
    }
    std::string Text() const { return fs.Content(kFile); }
};

std::string Z(const char* s, size_t n) { return std::string(s, n); }

const char* const kTricky =
    "top=1\r\n"
    "[ Sp ]\r\n"
    "k=v\r\n"
    "[Sec]\r\n"
    "  Key  =  \"quoted\"  \r\n"
    "sq='x'\r\n"
    "mis=\"x'\r\n"
    "one=\"\r\n"
    "noeq\r\n"
    ";comment=5\r\n"
    "empty=\r\n"
    "Key=second\r\n"
    "\r\n"
    "[sec]\r\n"
    "dup=1\r\n"
    "[Other]x\r\n"
    "a=1\r\n"
    "[bad\r\n"
    "b=2\r\n";

TEST(IniProfileGet, Values) {
    Ini t(kTricky);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Sec", "key", "quoted"},      // names ignore case; quotes and blanks go
        {" SEC ", " KEY ", "quoted"},  // queried names are trimmed
        {"sec", "dup", "Error"},       // only the first section of a name counts
        {"Sp", "k", "v"},              // section names are trimmed
        {"Sec", "sq", "x"},
        {"Sec", "mis", "\"x'"},        // unmatched quotes stay
        {"Sec", "one", "\""},
        {"Sec", "noeq", "Error"},      // a line without "=" has no value
        {"Sec", ";comment", "5"},
        {"Sec", "empty", ""},
        {"", "top", "1"},              // lines before the first section
        {"Other", "b", "2"},           // "[bad" is no header
        {"Other", "[bad", "Error"},
        {"Sec", "", "Error"},          // no key with an empty name there
        {"Nope", "k", "Error"},
    };
    for (const Case& c : cases) EXPECT_EQ(t.Get(c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(t.Get("Sec", "zz", 100, "def   "), "def");
    EXPECT_EQ(t.Get("Sec", "zz", 100, "'q'"), "q");
}

TEST(IniProfileGet, TruncatedValues) {
    Ini t("[A]\r\nplain=abcdef\r\nq=\"quoted\"\r\ns='abc'\r\n");
    struct Case {
        const char* key;
        unsigned size;
        const char* expected;
    } cases[] = {
        {"plain", 7, "abcdef"}, {"plain", 6, "abcde"}, {"plain", 1, ""}, {"plain", 0, ""},
        {"q", 8, "quoted"},     {"q", 7, "quote"},     {"q", 6, "quote"}, {"q", 5, "quot"},
        {"s", 5, "abc"},        {"s", 4, "ab"},        {"s", 3, "ab"},
        {"missing", 3, "Er"},
    };
    for (const Case& c : cases) EXPECT_EQ(t.Get("A", c.key, c.size), c.expected) << c.key << " " << c.size;
}

TEST(IniProfileGet, SectionList) {
    Ini t(kTricky);
    struct Case {
        unsigned size;
        std::string expected;
    } cases[] = {
        {200, Z("Sp\0Sec\0sec\0Other\0", 17)},
        {10, Z("Sp\0Sec\0s", 8)},
        {5, Z("Sp\0", 3)},
        {4, "Sp"},
        {3, "S"},
        {2, ""},
        {1, ""},
        {0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(t.Get(nullptr, nullptr, c.size), c.expected) << c.size;
    EXPECT_EQ(t.Get(nullptr, "Key", 200), Z("Sp\0Sec\0sec\0Other\0", 17));
    Ini none;
    EXPECT_EQ(none.Get(nullptr, nullptr), "");
}

TEST(IniProfileGet, KeyList) {
    using namespace std::string_literals;
    Ini t(kTricky);
    struct Case {
        const char* section;
        unsigned size;
        std::string expected;
    } cases[] = {
        {"Sec", 200, Z("Key\0sq\0mis\0one\0empty\0Key\0", 25)},  // no comments, no lines without "="
        {"Sec", 8, Z("Key\0sq", 6)},
        {"Sec", 7, Z("Key\0s", 5)},
        {"Sec", 6, Z("Key\0", 4)},
        {"Sec", 5, "Key"},
        {"Sec", 4, "Ke"},
        {"Sec", 3, "K"},
        {"Sec", 2, "E"},            // nothing fits: the default
        {"nosec", 200, "Error"},
        {" Sec ", 200, "Error"},    // matched as given
        {"", 200, "top\0"s},          // the lines before the first section
    };
    for (const Case& c : cases) EXPECT_EQ(t.Get(c.section, nullptr, c.size), c.expected) << c.section << " " << c.size;
    Ini e("[A]\r\n=v\r\nx=1\r\n");
    EXPECT_EQ(e.Get("A", nullptr), "Error");  // the list starts with an empty name
    EXPECT_EQ(e.Get("A", ""), "v");
    EXPECT_EQ(e.Get("", nullptr), "Error");   // nothing before the first section
    Ini none;
    EXPECT_EQ(none.Get("A", nullptr), "Error");
    EXPECT_EQ(none.Get("A", "b"), "Error");
}

TEST(IniProfileGet, LineBreaksAndBlanks) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::string keys;
        const char* y;
    } cases[] = {
        {"[A]\nx=1\ny=2"s, "x\0y\0"s, "2"},                  // LF, no final newline
        {"[A]\rx=1\ry=2\r"s, "x\0y\0"s, "2"},               // CR only
        {"[A]\rx=1\ny=2\r\nz=3\n"s, "x\0y\0z\0"s, "2"},     // mixed
        {"[A]\r\n\tx\t=\t1\t\r\n\vy = 2 \x1a\r\n"s, "x\0y\0"s, "2"},
        {"[A]\r\nx=a\0b\r\ny=2\r\n"s, "x\0y\0"s, "2"},      // a NUL ends the value
        {"\xef[A]\r\ny=2\r\n"s, "Error", "Error"},          // a byte before "[" spoils the header
    };
    for (const Case& c : cases) {
        Ini t(c.text);
        EXPECT_EQ(t.Get("A", nullptr, 200), c.keys) << c.text;
        EXPECT_EQ(t.Get("A", "y"), c.y) << c.text;
    }
    Ini hi("[\xe9t\xe9]\r\nK\xe9=\xc9t\xe9\xa0\r\n");
    EXPECT_EQ(hi.Get("\xe9t\xe9", "k\xe9"), "\xc9t\xe9\xa0");  // bytes above 127 are kept as they are
    EXPECT_EQ(hi.Get("\xc9T\xc9", "K\xc9"), "Error");          // and compared as they are
}

TEST(IniProfilePut, WritesInPlaceKeepingTheRest) {
    Ini t("; head\r\n[A]\r\n  x = 1 \r\n;c\r\n\r\n[B]\r\ny=2\r\n\r\n\r\n[A]\r\nz=3\r\n");
    struct Step {
        const char* section;
        const char* key;
        const char* value;
        bool ok;
        const char* text;
    } steps[] = {
        {"A", "X", "1", true, "; head\r\n[A]\r\n  x = 1 \r\n;c\r\n\r\n[B]\r\ny=2\r\n\r\n\r\n[A]\r\nz=3\r\n"},
        {"A", "x", "2", true, "; head\r\n[A]\r\nx=2\r\n;c\r\n\r\n[B]\r\ny=2\r\n\r\n\r\n[A]\r\nz=3\r\n"},
        {"a", "new", "n", true, "; head\r\n[A]\r\nx=2\r\n;c\r\nnew=n\r\n\r\n[B]\r\ny=2\r\n\r\n\r\n[A]\r\nz=3\r\n"},
        {" B ", "nb", "  lead  ", true,
         "; head\r\n[A]\r\nx=2\r\n;c\r\nnew=n\r\n\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n"},
        {"A", "z", "Z", true,  // the first [A] gets it
         "; head\r\n[A]\r\nx=2\r\n;c\r\nnew=n\r\nz=Z\r\n\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n"},
        {"C", "c", "3", true,
         "; head\r\n[A]\r\nx=2\r\n;c\r\nnew=n\r\nz=Z\r\n\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n[C]\r\nc=3\r\n"},
        {"a", "X", nullptr, true,
         "; head\r\n[A]\r\n;c\r\nnew=n\r\nz=Z\r\n\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n[C]\r\nc=3\r\n"},
        {" a ", "new", nullptr, true,  // deletion matches names as given
         "; head\r\n[A]\r\n;c\r\nnew=n\r\nz=Z\r\n\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n[C]\r\nc=3\r\n"},
        {"A", nullptr, nullptr, true, "; head\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n[C]\r\nc=3\r\n"},
        {nullptr, "k", "v", false, "; head\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n[C]\r\nc=3\r\n"},
        {" D ", "  k  ", " v ", true,  // blanks around new names and values are not written
         "; head\r\n[B]\r\ny=2\r\nnb=lead\r\n\r\n\r\n[A]\r\nz=3\r\n[C]\r\nc=3\r\n[D]\r\nk=v\r\n"},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(t.Put(s.section, s.key, s.value), s.ok) << (s.section ? s.section : "NULL") << "/" << (s.key ? s.key : "NULL");
        EXPECT_EQ(t.Text(), s.text) << (s.section ? s.section : "NULL") << "/" << (s.key ? s.key : "NULL");
    }
    EXPECT_EQ(t.Get("D", "k"), "v");
}

TEST(IniProfilePut, FileShapes) {
    struct Case {
        const char* before;  // nullptr: no file
        const char* section;
        const char* key;
        const char* value;
        const char* after;   // nullptr: no file
    } cases[] = {
        {nullptr, "S", "k", "v", "[S]\r\nk=v\r\n"},
        {nullptr, "S", nullptr, nullptr, nullptr},
        {nullptr, "S", "k", nullptr, nullptr},
        {"", "A", "x", "1", "[A]\r\nx=1\r\n"},
        {"[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"[A]\nx=1\n\n[B]\ny=1\n", "A", "z", "5", "[A]\nx=1\nz=5\n\n[B]\ny=1\n"},
        {"[A]\nx=1\n", "A", "x", "5", "[A]\nx=5\n"},
        {"[A]\r\n", "A", "y", "2", "[A]\r\ny=2\r\n"},
        {"[A]\r\nx=1\r\n[A]\r\ny=1\r\n", "A", "y", nullptr, "[A]\r\nx=1\r\n[A]\r\n"},
        {"[A]\r\nx=1\r\n[A]\r\ny=1\r\n", "A", nullptr, nullptr, "[A]\r\ny=1\r\n"},
        {"[A]\r\nx=1\r\n[A]\r\ny=1\r\n", " A ", nullptr, nullptr, "[A]\r\nx=1\r\n[A]\r\ny=1\r\n"},
        {"[A]\r\nnoeq\r\n", "A", "noeq", "v", "[A]\r\nnoeq=v\r\n"},
        {"[A]\r\nx=1\r\n", "A", "k", "\t v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"[A]\r\nx=1\r\n", "A", "y", "", "[A]\r\nx=1\r\ny=\r\n"},
        {"[A]\r\nx=One\r\n", "A", "x", "one", "[A]\r\nx=one\r\n"},
        {"k=1\r\n[A]\r\nx=1\r\n", "", "j", "3", "k=1\r\nj=3\r\n[A]\r\nx=1\r\n"},
        {"[A]\r\nx=1\r\n", "", "j", "3", "j=3\r\n[A]\r\nx=1\r\n"},
        {"[A]\r\nx=\xe9\r\n", "A", "x", "\xc9", "[A]\r\nx=\xc9\r\n"},
    };
    for (const Case& c : cases) {
        Ini t;
        if (c.before) t.fs.AddFile(kFile, c.before);
        EXPECT_TRUE(t.Put(c.section, c.key, c.value)) << (c.before ? c.before : "none");
        EXPECT_EQ(t.fs.Exists(kFile), c.after != nullptr) << (c.before ? c.before : "none");
        if (c.after) {
            EXPECT_EQ(t.Text(), c.after) << (c.before ? c.before : "none");
        }
    }
}

TEST(IniProfilePut, UnchangedFileIsNotWrittenAndFailuresAreReported) {
    Ini t("[A]\r\nx=1\r\n");
    int writes = t.fs.Calls(FsOp::Write);
    EXPECT_TRUE(t.Put("A", "x", "1"));
    EXPECT_TRUE(t.Put("A", "gone", nullptr));
    EXPECT_TRUE(t.Put("Gone", nullptr, nullptr));
    EXPECT_EQ(t.fs.Calls(FsOp::Write), writes);

    t.fs.SetReadOnly(kFile);
    EXPECT_FALSE(t.Put("A", "x", "2"));
    t.fs.SetReadOnly(kFile, false);
    t.fs.FailNth(FsOp::Write, 1);
    EXPECT_FALSE(t.Put("A", "x", "2"));
    EXPECT_EQ(t.Text(), "[A]\r\nx=1\r\n");

    Ini noDir;
    std::string s = "A", k = "x", v = "1";
    EXPECT_FALSE(noDir.ini.Put(&s, &k, &v, "C:\\Missing\\cloud.ini"));
}

}  // namespace
}  // namespace vm

TEST(IniProfileSnapshot, ReadingSequenceReadsTheFileOnce) {
    vm::TestEnv t;
    const std::string ini = "C:\\Prog\\cloud.ini";
    t.fs.AddFile(ini, "[A]\r\nx=1\r\ny=\"two\"\r\n[B]\r\nz=3\r\n");
    vm::clsCfgRead r(t.env);
    r.FileName = ini;
    const int reads = t.fs.Calls(vm::FsOp::Read);
    r.Section = "A";
    r.Key = "x";
    EXPECT_EQ(r.Data(), "1");
    r.Key = "y";
    EXPECT_EQ(r.Data(), "two");
    r.Key = "";
    EXPECT_EQ(r.Data(), std::string("x\0y", 3));
    r.Section = "";
    EXPECT_EQ(r.Data(), std::string("A\0B", 3));
    r.Section = "B";
    r.Key = "missing";
    EXPECT_EQ(r.Data(), "Error");
    EXPECT_EQ(t.fs.Calls(vm::FsOp::Read) - reads, 1);
    // The sequence keeps the file as it was at its first read; a new one sees the change.
    t.fs.AddFile(ini, "[B]\r\nmissing=now\r\n");
    EXPECT_EQ(r.Data(), "Error");
    vm::clsCfgRead fresh(t.env);
    fresh.FileName = ini;
    fresh.Section = "B";
    fresh.Key = "missing";
    EXPECT_EQ(fresh.Data(), "now");
    // A file that is gone at the first read is still the documented failure.
    vm::clsCfgRead gone(t.env);
    gone.FileName = "C:\\Prog\\none.ini";
    gone.Section = "A";
    gone.Key = "x";
    EXPECT_EQ(gone.Data(), "");
    EXPECT_TRUE(gone.ReadFailed);
}
