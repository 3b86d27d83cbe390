#include <gtest/gtest.h>

#include "fakes.h"
#include "memory_fs.h"

namespace vm {
namespace {

std::vector<std::string> Names(const std::vector<FindData>& found) {
    std::vector<std::string> r;
    for (const FindData& f : found) r.push_back(f.name);
    return r;
}

using V = std::vector<std::string>;

TEST(MemoryFsFind, WildcardsInCreationOrderWithDotEntries) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Data\\zeta.bmp", "z");
    fs.AddFile("C:\\Data\\Alpha.BMP", "a");
    fs.AddDir("C:\\Data\\Sub");
    fs.AddFile("C:\\Data\\notes.txtx", "n");
    fs.AddFile("C:\\Data\\readme", "r");

    struct Case {
        const char* pattern;
        V expected;
    } cases[] = {
        {"c:\\data\\*.bmp", {"zeta.bmp", "Alpha.BMP"}},
        {"C:\\DATA\\*.*", {".", "..", "zeta.bmp", "Alpha.BMP", "Sub", "notes.txtx", "readme"}},
        {"C:\\Data\\*", {".", "..", "zeta.bmp", "Alpha.BMP", "Sub", "notes.txtx", "readme"}},
        {"C:\\Data\\*.txt", {"notes.txtx"}},          // the short-name quirk
        {"C:\\Data\\*.txtx", {"notes.txtx"}},
        {"C:\\Data\\*.tx", {}},
        {"C:\\Data\\?eta.bmp", {"zeta.bmp"}},
        {"C:\\Data\\readme.*", {"readme"}},
        {"C:\\Data\\sub", {"Sub"}},                    // plain path: the entry itself
        {"C:/Data//ZETA.bmp", {"zeta.bmp"}},
        {"C:\\Data\\Sub\\..\\zeta.bmp", {"zeta.bmp"}},
        {"C:\\Data\\", {}},                            // trailing backslash fails
        {"C:\\Data\\Missing\\*.*", {}},
        {"C:\\Data\\zeta.bmp\\*.*", {}},
        {"C:\\*.*", {"Data"}},                         // no dot entries at a root
    };
    for (const Case& c : cases) EXPECT_EQ(Names(fs.Find(c.pattern)), c.expected) << c.pattern;

    auto sub = fs.Find("C:\\Data\\Sub");
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub[0].attributes & kAttrDirectory, kAttrDirectory);
    fs.SetReadOnly("C:\\Data\\zeta.bmp");
    auto z = fs.Find("C:\\Data\\zeta.bmp");
    ASSERT_EQ(z.size(), 1u);
    EXPECT_EQ(z[0].attributes & (kAttrDirectory | kAttrReadOnly), kAttrReadOnly);
}

TEST(MemoryFsCopy, HonoursTargetStateAndKeepsAttributes) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\a\\src.bmp", "new");
    fs.AddFile("C:\\b\\dst.bmp", "old");
    EXPECT_FALSE(fs.Copy("C:\\a\\src.bmp", "C:\\b\\dst.bmp", true));
    EXPECT_EQ(fs.Content("C:\\b\\dst.bmp"), "old");
    EXPECT_TRUE(fs.Copy("C:\\a\\src.bmp", "c:\\B\\DST.bmp", false));
    EXPECT_EQ(fs.Content("C:\\b\\dst.bmp"), "new");
    EXPECT_FALSE(fs.Copy("C:\\a\\src.bmp", "C:\\nofolder\\x.bmp", false));
    EXPECT_FALSE(fs.Copy("C:\\a\\missing.bmp", "C:\\b\\x.bmp", false));

    fs.SetReadOnly("C:\\b\\dst.bmp");
    fs.AddFile("C:\\a\\src.bmp", "newer");
    EXPECT_FALSE(fs.Copy("C:\\a\\src.bmp", "C:\\b\\dst.bmp", false));
    EXPECT_EQ(fs.Content("C:\\b\\dst.bmp"), "new");

    fs.SetReadOnly("C:\\a\\src.bmp");
    fs.SetModTime("C:\\a\\src.bmp", 40000.25);
    EXPECT_TRUE(fs.Copy("C:\\a\\src.bmp", "C:\\b\\copy.bmp", true));
    EXPECT_TRUE(fs.IsReadOnly("C:\\b\\copy.bmp"));
    EXPECT_EQ(fs.ModTime("C:\\b\\copy.bmp"), 40000.25);

    fs.Lock("C:\\a\\src.bmp");
    EXPECT_FALSE(fs.Copy("C:\\a\\src.bmp", "C:\\b\\other.bmp", false));
    EXPECT_FALSE(fs.Read("C:\\a\\src.bmp").has_value());
}

TEST(MemoryFsReplace, AtomicAndRefusedOnProtectedTargets) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\d\\new.tmp", "fresh");
    fs.AddFile("C:\\d\\cloud.ini", "stale");
    fs.Lock("C:\\d\\cloud.ini");
    EXPECT_FALSE(fs.Replace("C:\\d\\new.tmp", "C:\\d\\cloud.ini"));
    fs.Lock("C:\\d\\cloud.ini", false);
    fs.SetReadOnly("C:\\d\\cloud.ini");
    EXPECT_FALSE(fs.Replace("C:\\d\\new.tmp", "C:\\d\\cloud.ini"));
    fs.SetReadOnly("C:\\d\\cloud.ini", false);
    fs.FailNth(FsOp::Replace, 1);
    EXPECT_FALSE(fs.Replace("C:\\d\\new.tmp", "C:\\d\\cloud.ini"));
    EXPECT_EQ(fs.Content("C:\\d\\cloud.ini"), "stale");
    EXPECT_TRUE(fs.Exists("C:\\d\\new.tmp"));

    EXPECT_TRUE(fs.Replace("C:\\d\\new.tmp", "C:\\d\\cloud.ini"));
    EXPECT_EQ(fs.Content("C:\\d\\cloud.ini"), "fresh");
    EXPECT_FALSE(fs.Exists("C:\\d\\new.tmp"));

    fs.AddFile("C:\\d\\sub\\f.txt", "f");
    EXPECT_TRUE(fs.Replace("C:\\d\\sub", "C:\\d\\moved"));
    EXPECT_EQ(fs.Content("C:\\d\\moved\\f.txt"), "f");
    EXPECT_EQ(fs.ListAll("C:\\d\\moved"), V{"C:\\d\\moved\\f.txt"});
}

TEST(MemoryFsFaults, NthCallFailsAndCountsFromNow) {
    MemoryFileSystem fs;
    fs.AddDir("C:\\t");
    EXPECT_TRUE(fs.Write("C:\\t\\1", "x"));
    fs.FailNth(FsOp::Write, 2, 2);
    EXPECT_TRUE(fs.Write("C:\\t\\2", "x"));
    EXPECT_FALSE(fs.Write("C:\\t\\3", "x"));
    EXPECT_FALSE(fs.Write("C:\\t\\4", "x"));
    EXPECT_TRUE(fs.Write("C:\\t\\5", "x"));
    EXPECT_FALSE(fs.Exists("C:\\t\\3"));
    EXPECT_EQ(fs.Calls(FsOp::Write), 5);

    fs.FailNth(FsOp::Remove, 1);
    EXPECT_FALSE(fs.Remove("C:\\t\\1"));
    EXPECT_TRUE(fs.Remove("C:\\t\\1"));
    EXPECT_FALSE(fs.Remove("C:\\t\\1"));
    fs.FailNth(FsOp::MakeDir, 1);
    EXPECT_FALSE(fs.MakeDir("C:\\t\\d"));
    EXPECT_TRUE(fs.MakeDir("C:\\t\\d"));
    EXPECT_FALSE(fs.MakeDir("C:\\t\\d"));
    EXPECT_FALSE(fs.MakeDir("C:\\t\\x\\y"));
    fs.FailNth(FsOp::Copy, 1);
    EXPECT_FALSE(fs.Copy("C:\\t\\2", "C:\\t\\c", false));
    EXPECT_FALSE(fs.Exists("C:\\t\\c"));
}

TEST(MemoryFsFaults, DiskFull) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\t\\big", "0123456789");
    fs.AddFile("C:\\t\\target", "keep");
    fs.SetDiskBudget(12);
    EXPECT_TRUE(fs.Copy("C:\\t\\big", "C:\\t\\c1", false));     // 2 bytes left
    EXPECT_FALSE(fs.Copy("C:\\t\\big", "C:\\t\\target", false)); // target is lost, as with CopyFileA
    EXPECT_FALSE(fs.Exists("C:\\t\\target"));
    fs.SetDiskBudget(4);
    EXPECT_FALSE(fs.Write("C:\\t\\w", "abcdef"));
    EXPECT_EQ(fs.Content("C:\\t\\w"), "abcd");
    EXPECT_FALSE(fs.Write("C:\\t\\w", "x"));
    fs.ClearDiskBudget();
    EXPECT_TRUE(fs.Write("C:\\t\\w", "x"));
}

TEST(MemoryFsRemove, ProtectedFilesAndFoldersStay) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\t\\ro", "r");
    fs.AddFile("C:\\t\\lk", "l");
    fs.SetReadOnly("C:\\t\\ro");
    fs.Lock("C:\\t\\lk");
    EXPECT_FALSE(fs.Remove("C:\\t\\ro"));
    EXPECT_FALSE(fs.Remove("C:\\t\\lk"));
    EXPECT_FALSE(fs.Write("C:\\t\\lk", "x"));
    EXPECT_FALSE(fs.Remove("C:\\t"));
    EXPECT_TRUE(fs.Exists("C:\\t\\ro") && fs.Exists("C:\\t\\lk") && fs.IsDir("C:\\t"));
}

TEST(MemoryFsModTime, ChangesStampDistinctTimes) {
    MemoryFileSystem fs;
    fs.SetNow(44000.0);
    fs.AddFile("C:\\f.ini", "a");
    auto t1 = fs.ModTime("C:\\f.ini");
    ASSERT_TRUE(t1.has_value());
    EXPECT_DOUBLE_EQ(*t1, 44000.0);
    EXPECT_TRUE(fs.Write("C:\\f.ini", "b"));
    EXPECT_GT(*fs.ModTime("C:\\f.ini"), *t1);
    EXPECT_FALSE(fs.ModTime("C:\\none").has_value());
}

TEST(MemoryFsShell, CopiesPatternIntoNewFolderAndRecordsCalls) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\tex\\a.bmp", "a");
    fs.AddFile("C:\\tex\\b.bmp", "b");
    fs.AddFile("C:\\tex\\c.txt", "c");
    bool aborted = true;
    EXPECT_EQ(fs.ShellOperation("C:\\tex\\*.bmp", "C:\\bak\\tex", 2, 0x110, aborted), 0);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(fs.ListAll("C:\\bak"), (V{"C:\\bak\\tex", "C:\\bak\\tex\\a.bmp", "C:\\bak\\tex\\b.bmp"}));
    EXPECT_EQ(fs.ShellOperation("C:\\tex\\*.wav", "C:\\bak", 2, 0x110, aborted), 2);

    fs.ScriptShell(0, true);
    EXPECT_EQ(fs.ShellOperation("C:\\tex\\c.txt", "C:\\bak", 2, 0x102, aborted), 0);
    EXPECT_TRUE(aborted);
    EXPECT_FALSE(fs.Exists("C:\\bak\\c.txt"));
    ASSERT_EQ(fs.ShellCalls().size(), 3u);
    EXPECT_EQ(fs.ShellCalls()[2].flags, 0x102u);
}

TEST(FakeRegistry, QueryCutsLongValuesToTheBuffer) {
    FakeRegistry reg;
    reg.Set(Registry::kLocalMachine, "SOFTWARE\\Sim\\9.0", "EXE Path", "C:\\FS");
    Registry::Key k = reg.Open(Registry::kLocalMachine, "software\\SIM\\9.0", 0x20019);
    ASSERT_NE(k, 0u);
    EXPECT_EQ(reg.Query(k, "exe path", 8), std::string("C:\\FS\0\0\0\0", 8));
    EXPECT_EQ(reg.Query(k, "EXE Path", 6), std::string("C:\\FS\0", 6));
    EXPECT_EQ(reg.Query(k, "EXE Path", 5), std::string("C:\\FS", 5));  // no room for the NUL
    EXPECT_EQ(reg.Query(k, "EXE Path", 3), std::string("C:\\", 3));
    EXPECT_FALSE(reg.Query(k, "Other", 50).has_value());
    Registry::Key sub = reg.Open(Registry::kLocalMachine, "SOFTWARE", 1);
    EXPECT_NE(reg.Open(sub, "Sim\\9.0", 1), 0u);
    EXPECT_EQ(reg.Open(Registry::kLocalMachine, "SOFTWARE\\Missing", 1), 0u);
    EXPECT_EQ(reg.OpenHandles(), 3u);
    reg.Close(k);
    reg.Close(k);
    EXPECT_FALSE(reg.Query(k, "EXE Path", 50).has_value());
    EXPECT_EQ(reg.badCloses, 1);
    EXPECT_EQ(reg.accessMasks.front(), 0x20019u);
}

}  // namespace
}  // namespace vm

TEST(MemoryFsAttributes, ExactNamesOnly) {
    vm::MemoryFileSystem fs;
    fs.AddDir("C:\\T");
    fs.AddFile("C:\\T\\a.bmp", "x");
    fs.SetReadOnly("C:\\T\\a.bmp");
    EXPECT_EQ(fs.Attributes("c:\\t\\A.BMP"), std::optional<uint32_t>(vm::kAttrReadOnly));
    EXPECT_EQ(fs.Attributes("C:\\T"), std::optional<uint32_t>(vm::kAttrDirectory));
    EXPECT_FALSE(fs.Attributes("C:\\T\\*.bmp"));
    EXPECT_FALSE(fs.Attributes("C:\\T\\b.bmp"));
}
