// The file-system adapter against real folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/win32_fs.h"
#include "platform/win32_ports.h"

namespace vm {
namespace {

class Win32FsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir_ = std::string(tmp) + "vm_fs_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    }
    void TearDown() override {
        for (HANDLE h : locks_) CloseHandle(h);
        Wipe(dir_);
    }
    static void Wipe(const std::string& d) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((d + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = fd.cFileName, p = d + "\\" + n;
                if (n == "." || n == "..") continue;
                SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Wipe(p);
                else DeleteFileA(p.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(d.c_str());
    }
    std::string P(const std::string& name) const { return dir_ + "\\" + name; }
    void Put(const std::string& name, const std::string& data) { ASSERT_TRUE(fs_.Write(P(name), data)); }
    void Lock(const std::string& name) {
        HANDLE h = CreateFileA(P(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        locks_.push_back(h);
    }
    void ReadOnly(const std::string& name) { SetFileAttributesA(P(name).c_str(), FILE_ATTRIBUTE_READONLY); }
    // Wine keeps the read-only attribute in the Unix mode bits, which do not
    // stop root: there the platform itself lets writes through.
    bool ReadOnlyEnforced() {
        std::string probe = P("ro_probe");
        HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        bool enforced = h == INVALID_HANDLE_VALUE;
        if (!enforced) CloseHandle(h);
        SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(probe.c_str());
        if (!enforced) std::printf("note: read-only files are writable here (root under Wine); those checks are left out\n");
        return enforced;
    }
    std::string Content(const std::string& name) { return fs_.Read(P(name)).value_or("<none>"); }

    Win32FileSystem fs_;
    std::string dir_;
    std::vector<HANDLE> locks_;
};

std::set<std::string> Names(const std::vector<FindData>& found) {
    std::set<std::string> r;
    for (const FindData& f : found) r.insert(f.name);
    return r;
}

TEST_F(Win32FsTest, Find) {
    Put("a.bmp", "a");
    Put("B.BMP", "b");
    Put("c.txtx", "c");
    ASSERT_TRUE(fs_.MakeDir(P("Sub")));
    using S = std::set<std::string>;
    EXPECT_EQ(Names(fs_.Find(P("*.bmp"))), (S{"a.bmp", "B.BMP"}));
    EXPECT_EQ(Names(fs_.Find(P("*.txt"))), (S{"c.txtx"}));
    EXPECT_EQ(Names(fs_.Find(P("*.*"))), (S{".", "..", "a.bmp", "B.BMP", "c.txtx", "Sub"}));
    auto sub = fs_.Find(P("sub"));
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub[0].name, "Sub");
    EXPECT_TRUE(sub[0].attributes & kAttrDirectory);
    EXPECT_TRUE(fs_.Find(P("Sub\\")).empty());
    EXPECT_TRUE(fs_.Find(P("missing\\*.*")).empty());
    EXPECT_TRUE(fs_.Find(P("*.wav")).empty());
    ReadOnly("a.bmp");
    auto a = fs_.Find(P("A.BMP"));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].attributes & (kAttrReadOnly | kAttrDirectory), kAttrReadOnly);
}

TEST_F(Win32FsTest, ReadWriteRoundTrip) {
    std::string data = std::string("bin\0ary\r\n\xff", 11) + std::string(1500000, 'x');
    Put("data.bin", data);
    EXPECT_EQ(fs_.Read(P("data.bin")), data);
    Put("data.bin", "short");
    EXPECT_EQ(Content("data.bin"), "short");
    EXPECT_FALSE(fs_.Read(P("missing")).has_value());
    EXPECT_FALSE(fs_.Read(dir_).has_value());
    EXPECT_FALSE(fs_.Write(P("nofolder\\x"), "x"));
    if (ReadOnlyEnforced()) {
        ReadOnly("data.bin");
        EXPECT_FALSE(fs_.Write(P("data.bin"), "y"));
        EXPECT_EQ(Content("data.bin"), "short");
    }
}

TEST_F(Win32FsTest, LockedFileRefusesEverything) {
    Put("locked.ini", "keep");
    Put("other", "new");
    Lock("locked.ini");
    EXPECT_FALSE(fs_.Read(P("locked.ini")).has_value());
    EXPECT_FALSE(fs_.Write(P("locked.ini"), "x"));
    EXPECT_FALSE(fs_.Copy(P("locked.ini"), P("copy"), false));
    EXPECT_FALSE(fs_.Copy(P("other"), P("locked.ini"), false));
    EXPECT_FALSE(fs_.Replace(P("other"), P("locked.ini")));
    EXPECT_FALSE(fs_.Remove(P("locked.ini")));
    CloseHandle(locks_.back());
    locks_.pop_back();
    EXPECT_EQ(Content("locked.ini"), "keep");
    EXPECT_EQ(Content("other"), "new");
}

TEST_F(Win32FsTest, CopyReplaceRemoveMakeDir) {
    Put("src", "new");
    Put("dst", "old");
    EXPECT_FALSE(fs_.Copy(P("src"), P("dst"), true));
    EXPECT_EQ(Content("dst"), "old");
    EXPECT_TRUE(fs_.Copy(P("src"), P("dst"), false));
    EXPECT_EQ(Content("dst"), "new");
    EXPECT_FALSE(fs_.Copy(P("missing"), P("x"), false));
    Put("src", "newer");
    if (ReadOnlyEnforced()) {
        ReadOnly("dst");
        EXPECT_FALSE(fs_.Copy(P("src"), P("dst"), false));
        EXPECT_FALSE(fs_.Remove(P("dst")));
        EXPECT_EQ(Content("dst"), "new");
        SetFileAttributesA(P("dst").c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    EXPECT_TRUE(fs_.Replace(P("src"), P("dst")));
    EXPECT_EQ(Content("dst"), "newer");
    EXPECT_FALSE(fs_.Read(P("src")).has_value());
    EXPECT_FALSE(fs_.Replace(P("src"), P("dst")));
    EXPECT_EQ(Content("dst"), "newer");

    EXPECT_TRUE(fs_.Remove(P("dst")));
    EXPECT_FALSE(fs_.Remove(P("dst")));
    EXPECT_TRUE(fs_.MakeDir(P("d")));
    EXPECT_FALSE(fs_.MakeDir(P("d")));
    EXPECT_FALSE(fs_.MakeDir(P("x\\y")));
    EXPECT_FALSE(fs_.Remove(P("d")));
}

TEST_F(Win32FsTest, ModTimeIsLocalOleDate) {
    Put("f", "x");
    SYSTEMTIME st{};
    st.wYear = 2003;
    st.wMonth = 7;
    st.wDay = 14;
    st.wHour = 12;
    FILETIME utc;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &utc));
    HANDLE h = CreateFileA(P("f").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
    auto t = fs_.ModTime(P("f"));
    ASSERT_TRUE(t.has_value());
    EXPECT_DOUBLE_EQ(*t, FileTimeToDate(utc));
    // 2003-07-14 is day 37816; local time is within a day of noon UTC.
    EXPECT_NEAR(*t, 37816.5, 1.0);
    Put("g", "y");
    Win32Clock clock;
    EXPECT_NEAR(*fs_.ModTime(P("g")), clock.Now(), 60.0 / 86400);
    EXPECT_FALSE(fs_.ModTime(P("missing")).has_value());
}

TEST_F(Win32FsTest, ShellCopy) {
    Put("a.bmp", "a");
    Put("b.bmp", "b");
    Put("c.txt", "c");
    bool aborted = true;
    int r = fs_.ShellOperation(P("*.bmp"), P("backup"), 2, 0x110, aborted);
    EXPECT_EQ(r, 0);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(Content("backup\\a.bmp"), "a");
    EXPECT_EQ(Content("backup\\b.bmp"), "b");
    EXPECT_FALSE(fs_.Read(P("backup\\c.txt")).has_value());
    // A second copy over the same files, then one into a folder path that
    // cannot be made (a file stands in the way).
    EXPECT_EQ(fs_.ShellOperation(P("a.bmp"), P("backup"), 2, 0x110, aborted), 0);
    EXPECT_EQ(Content("backup\\a.bmp"), "a");
    r = fs_.ShellOperation(P("a.bmp"), P("c.txt\\deeper"), 2, 0x110, aborted);
    EXPECT_TRUE(r != 0 || aborted);
}

}  // namespace
}  // namespace vm
