#include <gtest/gtest.h>

#include "common/fileproc.h"
#include "fakes.h"

namespace vm {
namespace {

using V = std::vector<std::string>;

TEST(FileProc, TrimPathEndYieldsOncePerBackslash) {
    TestEnv t;
    struct Case {
        const char* in;
        const char* out;
        int passes;
    } cases[] = {
        {"C:\\data\\\\\\", "C:\\data", 3},
        {"C:\\data\\ ", "C:\\data\\", 0},  // only backslashes at the very end
        {" C:\\data \\", "C:\\data", 1},
        {"\\", "", 1},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        t.pump.count = 0;
        std::string p = c.in;
        EXPECT_EQ(TrimPathEnd(t.env, p), c.out) << c.in;
        EXPECT_EQ(p, c.out);
        EXPECT_EQ(t.pump.count, c.passes) << c.in;
    }
}

TEST(FileProc, DirAndFileChecks) {
    TestEnv t;
    t.fs.AddFile("C:\\FS\\texture\\cloud1.bmp");
    t.fs.AddDir("C:\\FS\\empty");
    struct Case {
        const char* path;
        const char* dir;
        const char* file;
    } cases[] = {
        {"C:\\FS\\texture", "OK", "OK"},
        {"c:\\fs\\TEXTURE\\", "OK", "Error"},
        {"  C:\\FS\\texture  ", "OK", "Error"},
        {"C:\\FS\\texture\\cloud1.bmp", "Error", "OK"},
        {"C:\\FS\\texture\\*.bmp", "Error", "OK"},
        {"C:\\FS\\empty\\*.bmp", "Error", "Error"},
        {"C:\\FS\\missing", "Error", "Error"},
        {"", "Error", "Error"},
        {"   ", "Error", "Error"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirCheck(t.env, c.path), c.dir) << c.path;
        EXPECT_EQ(FileCheck(t.env, c.path), c.file) << c.path;
    }
}

TEST(FileProc, TextSplitting) {
    struct Case {
        const char* text;
        const char* sep;
        const char* left;
        const char* right;
        const char* rightLast;
    } cases[] = {
        {"a,b", ",", "a", "b", "b"},
        {",b", ",", "", "b", ""},
        {"ab", ",", "ab", "", "ab"},
        {" a , b , c ", ",", "a", "b , c", "c"},
        {"x\\y\\z.bmp", "\\", "x", "y\\z.bmp", "z.bmp"},
        {"\\z.bmp", "\\", "", "z.bmp", ""},
        {"Key AND Value and more", "and", "Key", "Value and more", "more"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeftOf(c.text, c.sep), c.left) << c.text;
        EXPECT_EQ(RightOf(c.text, c.sep), c.right) << c.text;
        EXPECT_EQ(RightOfLast(c.text, c.sep), c.rightLast) << c.text;
    }
    EXPECT_EQ(ParentPath("C:\\FS\\texture\\Sky"), "C:\\FS\\texture");
    EXPECT_EQ(ParentPath("Sky"), "Sky");
    EXPECT_EQ(ParentPath("C:\\FS\\ x\\"), "C:\\FS\\ x");
    EXPECT_EQ(TrimAtNul(std::string("name.bmp\0garbage ", 17)), "name.bmp");
    EXPECT_EQ(TrimAtNul(" plain "), "plain");
}

TEST(FileProc, ValueChecks) {
    for (char c : std::string("\\/:,;*?\"<>|")) EXPECT_EQ(NameCheck(std::string("my") + c + "set"), "Error") << c;
    EXPECT_EQ(NameCheck("Big Clouds 2"), "OK");
    EXPECT_EQ(IntCheck("40000"), "Error");
    EXPECT_EQ(LongCheck("40000"), "OK");
    EXPECT_EQ(IntCheck("12.6"), "OK");
    EXPECT_EQ(LongCheck("12.6"), "OK");
    EXPECT_EQ(IntCheck("twelve"), "Error");
    EXPECT_EQ(LongCheck("3000000000"), "Error");
    EXPECT_TRUE(IsBool("false"));
    EXPECT_TRUE(IsBool("0"));
    EXPECT_FALSE(IsBool("off"));
}

TEST(FileProc, ExpandPathAndProgramFile) {
    TestEnv t;
    t.env.programDir = "C:\\Prog\\\\";
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"vellmora\\sounds\\a.wav", "C:\\Prog\\sounds\\a.wav"},
        {"VellMora", "C:\\Prog"},
        {"FS2002\\texture", "D:\\Sim\\texture"},
        {"fs2002\\UIRES", "D:\\Sim\\UIRES"},
        {"vellmor", "vellmor"},
        {"C:\\other\\fs2002", "C:\\other\\fs2002"},
    };
    for (const Case& c : cases) {
        std::string p = c.in;
        EXPECT_EQ(ExpandPath(t.env, "D:\\Sim", p), c.out) << c.in;
        EXPECT_EQ(p, c.out);
    }
    EXPECT_EQ(ProgramFile(t.env, "cloud.ini"), "C:\\Prog\\cloud.ini");
}

TEST(FileProc, SearchesInPlatformOrder) {
    TestEnv t;
    t.fs.AddFile("C:\\D\\b.bmp");
    t.fs.AddDir("C:\\D\\Sun");
    t.fs.AddFile("C:\\D\\a.bmp");
    t.fs.AddFile("C:\\D\\Sun\\sun.bmp");
    t.fs.AddDir("C:\\D\\Moon");
    t.fs.AddFile("C:\\D\\Moon\\Full\\moon.bmp");
    t.fs.AddFile("C:\\D\\note.txt");

    V files;
    ListFiles(t.env, "C:\\D\\\\", "*.bmp", files);
    EXPECT_EQ(files, (V{"C:\\D\\b.bmp", "C:\\D\\a.bmp"}));
    ListFiles(t.env, "C:\\nowhere", "*.bmp", files);  // appends nothing
    EXPECT_EQ(files.size(), 2u);

    V dirs{"kept"};
    ListDirs(t.env, "C:\\D", dirs);
    EXPECT_EQ(dirs, (V{"kept", "Sun", "Moon"}));

    V deep;
    ListFilesDeep(t.env, "C:\\D", "*.bmp", deep);
    EXPECT_EQ(deep, (V{"C:\\D\\b.bmp", "C:\\D\\a.bmp", "C:\\D\\Sun\\sun.bmp", "C:\\D\\Moon\\Full\\moon.bmp"}));
}

TEST(FileProc, ShellFileOpSuccessRule) {
    TestEnv t;
    t.fs.AddFile("C:\\tex\\a.bmp", "a");
    EXPECT_EQ(ShellFileOpFlags(true), 0x102u);
    EXPECT_EQ(ShellFileOpFlags(false), 0x110u);
    struct Case {
        int result;
        bool aborted;
        bool ok;
    } cases[] = {{0, false, true}, {7, false, true}, {0, true, false}, {7, true, false}, {2, false, false}, {0x4C7, false, false}};
    for (const Case& c : cases) {
        t.fs.ScriptShell(c.result, c.aborted);
        EXPECT_EQ(ShellFileOp(t.env, "C:\\tex\\*.bmp", "C:\\bak", 2, true), c.ok) << c.result << " " << c.aborted;
    }
    EXPECT_TRUE(ShellFileOp(t.env, "C:\\tex\\*.bmp", "C:\\bak", 2, false));
    EXPECT_EQ(t.fs.Content("C:\\bak\\a.bmp"), "a");
    ASSERT_FALSE(t.fs.ShellCalls().empty());
    EXPECT_EQ(t.fs.ShellCalls().back().flags, 0x110u);
    EXPECT_EQ(t.fs.ShellCalls().back().op, 2u);
}

}  // namespace
}  // namespace vm
