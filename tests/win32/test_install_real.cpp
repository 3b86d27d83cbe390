// Installation, backup and restore over real files: the set logic with the
// Win32 file system and profile ports in a temporary simulator layout, the
// questions answered by script. What the platform does with read-only and
// open files, folders that cannot be made, long names and long paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "../core/test_sets_view.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "config/detect.h"
#include "config/loader.h"
#include "platform/win32_fs.h"
#include "platform/win32_ports.h"
#include "platform/win32_profile.h"
#include "sets/backup.h"
#include "sets/install.h"
#include "sets/last_installed.h"
#include "sets/restore.h"
#include "win_files.h"

namespace vm {
namespace {

const std::vector<std::string> kClouds = {"cld1.bmp", "cld2.bmp", "cld3.bmp", "cld4.bmp", "cld5.bmp", "cld6.bmp"};
const std::vector<std::string> kOptions = {"halo.bmp", "sun6.bmp"};

// Bitmap-like bytes: every byte value, different per seed.
std::string Bytes(size_t n, uint32_t seed) {
    std::string out(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        out[i] = static_cast<char>(x >> 24);
    }
    return out;
}

std::wstring Wide(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(),
                                      static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return w;
}

// Deletes a tree whatever its path length and attributes.
void Wipe(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring n = fd.cFileName, p = dir + L"\\" + n;
            if (n == L"." || n == L"..") continue;
            SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Wipe(p);
            else
                DeleteFileW(p.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

// A simulator under a temporary folder: texture folder `tex` with the
// simulator's own bitmaps, the data folder tex\Sky with the set "Cumu" (six
// cloud bitmaps and the option folder "Sun"), the backup folder tex\bk, and
// the program folder with cloud.ini.
class InstallReal : public ::testing::Test, protected RealPorts {
protected:
    void SetUp() override {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        root_ = std::string(tmp) + "vm_inst_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
        hooks_.autoRandomOn = [this] { return autoRandom_; };
        hooks_.stopAutoRandom = [this] { ++stops_; };
    }
    void TearDown() override {
        for (HANDLE h : handles_) CloseHandle(h);
        Wipe(L"\\\\?\\" + Wide(root_));
    }

    // Lays the simulator out with the texture folder at `texture` (below the
    // temporary folder when empty) and loads the set lists.
    void Layout(const std::string& texture = "") {
        tex_ = texture.empty() ? root_ + "\\FS\\texture" : texture;
        data_ = tex_ + "\\Sky";
        bak_ = tex_ + "\\bk";
        prog_ = root_ + "\\Prog";
        MakePath(data_ + "\\Cumu\\Sun");
        MakePath(prog_);
        uint32_t seed = 1;
        for (const auto& n : All()) {
            const bool option = n == "halo.bmp" || n == "sun6.bmp";
            orig_[n] = Bytes(3000 + seed * 517, seed);
            new_[n] = Bytes(2000 + seed * 733, seed + 100);
            Put(tex_ + "\\" + n, orig_[n]);
            origTime_[n] = fs_.ModTime(tex_ + "\\" + n).value_or(0);
            Put(data_ + (option ? "\\Cumu\\Sun\\" : "\\Cumu\\") + n, new_[n]);
            ++seed;
        }
        Put(tex_ + "\\other.bmp", "not in any set");
        Put(prog_ + "\\cloud.ini",
            "[AppName]\r\nName=Vellmora\r\n[LastInstalled]\r\nNumberOfDisp=3\r\n1=Old1,Sun\r\n2=Old2,Cumulus\r\n"
            "3=Old3,Thunder\r\n4=Old4,Cirrus\r\n5=Old5,Moon\r\n[ToBeBackuped]\r\nbk=all\r\n[Set1]\r\nDirName=Cumu\r\n");
        env_.programDir = prog_;
        s_.FsDir = ParentPath(tex_);
        s_.TextureDir = tex_;
        s_.DataDir = data_;
        s_.BackupDir = bak_;
        s_.BackupEnabled = true;
        s_.ShowSkyFiles = true;
        s_.LastInstCount = 3;
        s_.LastInstalledSets = {"Old1", "Old2", "Old3", "Old4", "Old5"};
        s_.LastInstalledTypes = {"Sun", "Cumulus", "Thunder", "Cirrus", "Moon"};
        ctl_ = std::make_unique<SetsController>(env_, s_, cat_, state_, view_, hooks_);
        BuildCatalogue(env_, s_, cat_);
        ctl_->FillSetLists();
        ctl_->mnuCheckOptionAll_Click();
    }

    static std::vector<std::string> All() {
        std::vector<std::string> all = kClouds;
        all.insert(all.end(), kOptions.begin(), kOptions.end());
        return all;
    }
    void MakePath(const std::string& path) {
        for (size_t i = root_.size() + 1; i <= path.size(); ++i)
            if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    void Put(const std::string& path, const std::string& data) { ASSERT_TRUE(fs_.Write(path, data)) << path; }
    std::string Read(const std::string& path) { return fs_.Read(path).value_or("<none>"); }
    std::string Tex(const std::string& n) { return Read(tex_ + "\\" + n); }
    std::string Bak(const std::string& n) { return Read(bak_ + "\\" + n); }
    // Opens the texture file without sharing, as another program may.
    HANDLE HoldOpen(const std::string& name) {
        HANDLE h = CreateFileA((tex_ + "\\" + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << name;
        handles_.push_back(h);
        held_.insert(name);
        return h;
    }
    void Release(HANDLE h, const std::string& name) {
        CloseHandle(h);
        std::erase(handles_, h);
        held_.erase(name);
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> t;
        for (const auto& c : msg_.calls) t.push_back(c.title);
        return t;
    }
    bool NoTemporaryFile() {
        return CopyTempsIn(env_, tex_).empty() && CopyTempsIn(env_, bak_).empty();
    }
    // Every texture file holds the simulator's file or the set's; every
    // backup copy that exists holds the simulator's file.
    void ExpectRecoverable() {
        for (const auto& n : All()) {
            if (held_.count(n)) continue;  // cannot be read while held
            const std::string t = Tex(n);
            EXPECT_TRUE(t == orig_[n] || t == new_[n]) << n;
            if (GetFileAttributesA((bak_ + "\\" + n).c_str()) != INVALID_FILE_ATTRIBUTES) {
                EXPECT_TRUE(Bak(n) == orig_[n]) << n;
            }
        }
        EXPECT_TRUE(NoTemporaryFile());
    }
    // Restores every file of the set (answering OK) and expects the
    // simulator's files back byte for byte.
    void RestoreAll() {
        ctl_->mnuCheckCloudAll_Click();
        ctl_->mnuCheckOptionAll_Click();
        msg_.Answer({1});
        ctl_->cmdToOrg_Click();
        for (const auto& n : All()) EXPECT_TRUE(Tex(n) == orig_[n]) << n;
        EXPECT_TRUE(NoTemporaryFile());
    }
    std::string IniValue(const std::string& key) {
        char buf[256];
        const DWORD n = GetPrivateProfileStringA("LastInstalled", key.c_str(), "<missing>", buf, sizeof buf,
                                                 (prog_ + "\\cloud.ini").c_str());
        return std::string(buf, n);
    }

    Settings s_;
    Catalogue cat_;
    SetsState state_;
    FakeSetsView view_;
    SetsHooks hooks_;
    std::unique_ptr<SetsController> ctl_;
    bool autoRandom_ = false;
    int stops_ = 0;
    std::string root_, tex_, data_, bak_, prog_;
    std::map<std::string, std::string> orig_, new_;
    std::map<std::string, double> origTime_;
    std::vector<HANDLE> handles_;
    std::set<std::string> held_;
};

TEST_F(InstallReal, InstallBackupRestoreRoundTrip) {
    Layout();
    msg_.Answer({6, 1});
    ASSERT_TRUE(ctl_->InstallSet());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"No Backup files", "Installation"}));
    for (const auto& n : All()) {
        EXPECT_TRUE(Tex(n) == new_[n]) << n;
        EXPECT_TRUE(Bak(n) == orig_[n]) << n;
        // A backup keeps the simulator file's time: a re-backup compares it.
        EXPECT_EQ(fs_.ModTime(bak_ + "\\" + n).value_or(-1), origTime_[n]) << n;
    }
    EXPECT_EQ(Tex("other.bmp"), "not in any set");
    EXPECT_TRUE(NoTemporaryFile());

    // The record: cut to the newest three, stale keys gone from cloud.ini.
    EXPECT_EQ(s_.LastInstalledSets, (std::vector<std::string>{"Old4", "Old5", "Cumu"}));
    SaveLastInstalled(env_, s_);
    EXPECT_EQ(IniValue("1"), "Old4,Cirrus");
    EXPECT_EQ(IniValue("2"), "Old5,Moon");
    EXPECT_EQ(IniValue("3"), "Cumu,Cumulus");
    EXPECT_EQ(IniValue("4"), "<missing>");
    EXPECT_EQ(IniValue("5"), "<missing>");
    EXPECT_EQ(IniValue("NumberOfDisp"), "3");

    RestoreAll();
    for (const auto& n : All()) {
        EXPECT_TRUE(Bak(n) == orig_[n]) << n;
        EXPECT_EQ(fs_.ModTime(tex_ + "\\" + n).value_or(-1), origTime_[n]) << n;
    }

    // With every backup present, the next install asks nothing about them
    // and leaves them alone.
    msg_.calls.clear();
    msg_.Answer({1});
    ASSERT_TRUE(ctl_->InstallSet());
    EXPECT_EQ(Titles(), std::vector<std::string>{"Installation"});
    for (const auto& n : All()) EXPECT_TRUE(Bak(n) == orig_[n]) << n;
}

TEST_F(InstallReal, AutoRandomAsksNothing) {
    Layout();
    autoRandom_ = true;
    ASSERT_TRUE(ctl_->InstallSet());
    EXPECT_TRUE(msg_.calls.empty());
    for (const auto& n : All()) {
        EXPECT_TRUE(Tex(n) == new_[n]) << n;
        EXPECT_TRUE(Bak(n) == orig_[n]) << n;
    }
}

TEST_F(InstallReal, ReadOnlyTextureFile) {
    Layout();
    const std::string ro = tex_ + "\\cld3.bmp";
    ASSERT_TRUE(SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY));
    msg_.Answer({6, 1});
    EXPECT_FALSE(ctl_->InstallSet());
    ASSERT_EQ(msg_.calls.size(), 3u);
    EXPECT_EQ(msg_.Last().text, "Install file Error!! FileName : cld3.bmp\r\n" + std::string(kReadOnlyTexture));
    EXPECT_EQ(msg_.Last().title, "File Copy Error");
    // Refused before the first copy: nothing of the set is installed.
    for (const auto& n : All()) EXPECT_TRUE(Tex(n) == orig_[n]) << n;
    EXPECT_EQ(stops_, 1);
    EXPECT_EQ(s_.LastInstalledSets.size(), 5u);
    ExpectRecoverable();

    // Restoring refuses the read-only file too and says so.
    msg_.Answer({1});
    ctl_->cmdToOrg_Click();
    EXPECT_EQ(msg_.Last().text, "Restore file Error!! FileName : cld3.bmp\r\n" + std::string(kReadOnlyTexture));
    EXPECT_TRUE(NoTemporaryFile());

    // Once the attribute is cleared, both ways work.
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_NORMAL);
    msg_.Answer({1});
    ASSERT_TRUE(ctl_->InstallSet());
    EXPECT_TRUE(Tex("cld3.bmp") == new_["cld3.bmp"]);
    // The backup of the read-only original is an ordinary file.
    EXPECT_FALSE(GetFileAttributesA((bak_ + "\\cld3.bmp").c_str()) & FILE_ATTRIBUTE_READONLY);
    RestoreAll();
}

TEST_F(InstallReal, TemporaryCopiesNeverTouchOtherFilesNorBlockLaterCopies) {
    Layout();
    // A user's file named like the temporary copy of old, a read-only
    // temporary copy a crash left behind, and a read-only data set.
    Put(tex_ + "\\~vellmora-copy.tmp", "user's");
    Put(tex_ + "\\~vellmora-0badf00d.tmp", "stale");
    SetFileAttributesA((tex_ + "\\~vellmora-0badf00d.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    for (const auto& n : kClouds) SetFileAttributesA((data_ + "\\Cumu\\" + n).c_str(), FILE_ATTRIBUTE_READONLY);
    for (int round = 0; round < 2; ++round) {
        msg_.Answer({6, 1});
        ASSERT_TRUE(ctl_->InstallSet()) << round;
        for (const auto& n : kClouds) {
            EXPECT_TRUE(Tex(n) == new_[n]) << n;
            EXPECT_FALSE(GetFileAttributesA((tex_ + "\\" + n).c_str()) & FILE_ATTRIBUTE_READONLY) << n;
        }
    }
    EXPECT_EQ(Read(tex_ + "\\~vellmora-copy.tmp"), "user's");
    EXPECT_TRUE(NoTemporaryFile());
    RestoreAll();
}

TEST_F(InstallReal, ReBackupOfAllKeepsTheOriginalsOfAnInstalledSet) {
    Layout();
    msg_.Answer({6, 1});
    ASSERT_TRUE(ctl_->InstallSet());
    msg_.calls.clear();
    ctl_->mnuBkAll_Click();
    for (const auto& n : All()) EXPECT_TRUE(Bak(n) == orig_[n]) << n;
    ASSERT_EQ(Titles(), std::vector<std::string>{"Backup files"});
    EXPECT_NE(msg_.Last().text.find(" cld1.bmp\r\n"), std::string::npos);
    RestoreAll();
}

// Two simulators whose data folder lies in the second one's texture folder:
// each backs up into its own folder and gets its own originals back.
TEST_F(InstallReal, TwoSimulatorsKeepTheirOwnOriginals) {
    const std::string a = root_ + "\\FSA", b = root_ + "\\FSB";
    Layout(b + "\\texture");
    MakePath(a + "\\texture");
    Put(a + "\\texture\\cld1.bmp", "A-orig");
    Put(prog_ + "\\cloud.ini",
        "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n[BackUpFunc]\r\nFunc=on\r\n"
        "[BackUpDirName]\r\nName=bk\r\n[Set1]\r\nDirName=Cumu\r\n");
    s_.FsPath[0] = a;
    s_.FsPath[1] = b;
    FontTable fonts;
    NoConfigView config;
    LoadSteps steps;
    steps.ClearCatalogue = [this] { cat_.Clear(); };
    steps.BuildCatalogue = [this](clsCfgRead& r) { BuildCatalogue(env_, s_, cat_, r); };
    steps.FillSetLists = [this] { ctl_->FillSetLists(); };
    msg_.defaultAnswer = 6;  // back up whatever is asked, install
    for (int sim : {0, 1}) {
        optFs_Click(env_, s_, sim, fonts, config, steps);
        EXPECT_EQ(s_.BackupDir, (sim ? b : a) + "\\texture\\bk");
        ASSERT_TRUE(ctl_->InstallSet());
    }
    EXPECT_EQ(Read(a + "\\texture\\bk\\cld1.bmp"), "A-orig");
    EXPECT_TRUE(Read(b + "\\texture\\bk\\cld1.bmp") == orig_["cld1.bmp"]);
    for (int sim : {0, 1}) {
        optFs_Click(env_, s_, sim, fonts, config, steps);
        ctl_->mnuCheckCloudAll_Click();
        ctl_->cmdToOrg_Click();
    }
    EXPECT_EQ(Read(a + "\\texture\\cld1.bmp"), "A-orig");
    EXPECT_TRUE(Read(b + "\\texture\\cld1.bmp") == orig_["cld1.bmp"]);
}

TEST_F(InstallReal, TextureFileHeldOpenWithoutSharing) {
    Layout();
    // While the backups are made: the backup of the open file fails, and
    // nothing is installed.
    HANDLE h = HoldOpen("cld3.bmp");
    msg_.Answer({6});
    EXPECT_FALSE(ctl_->InstallSet());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"No Backup files", "File Copy Error"}));
    EXPECT_EQ(msg_.Last().text, "Backup file Error!! FileName : cld3.bmp");
    for (const auto& n : All()) {
        if (n != "cld3.bmp") {
            EXPECT_TRUE(Tex(n) == orig_[n]) << n;
        }
    }
    EXPECT_TRUE(Bak("cld2.bmp") == orig_["cld2.bmp"]);
    EXPECT_EQ(stops_, 1);
    ExpectRecoverable();

    // With the backups made, the install stops at the open file.
    Release(h, "cld3.bmp");
    EXPECT_TRUE(Tex("cld3.bmp") == orig_["cld3.bmp"]);
    ASSERT_TRUE(ctl_->BackupAll(false, false));
    h = HoldOpen("cld3.bmp");
    msg_.calls.clear();
    msg_.Answer({1});
    EXPECT_FALSE(ctl_->InstallSet());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Installation", "File Copy Error"}));
    EXPECT_EQ(msg_.Last().text, "Install file Error!! FileName : cld3.bmp");
    EXPECT_TRUE(Tex("cld2.bmp") == new_["cld2.bmp"]);
    EXPECT_EQ(s_.LastInstalledSets.size(), 5u);
    EXPECT_EQ(stops_, 2);
    ExpectRecoverable();

    // A restore meets the same file: reported, the others come back.
    msg_.Answer({1});
    ctl_->cmdToOrg_Click();
    EXPECT_EQ(msg_.Last().text, "Restore file Error!! FileName : cld3.bmp");
    EXPECT_TRUE(Tex("cld2.bmp") == orig_["cld2.bmp"]);
    Release(h, "cld3.bmp");
    RestoreAll();
}

TEST_F(InstallReal, BackupFolderThatCannotBeCreated) {
    Layout();
    Put(bak_, "a file where the backup folder should be");
    msg_.Answer({6});
    EXPECT_FALSE(ctl_->InstallSet());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"No Backup files", "File Copy Error"}));
    EXPECT_EQ(msg_.Last().text, "Backup file Error!! FileName : cld1.bmp");
    for (const auto& n : All()) EXPECT_TRUE(Tex(n) == orig_[n]) << n;
    EXPECT_EQ(Read(bak_), "a file where the backup folder should be");

    // The restore finds no backup copies.
    msg_.Answer({1});
    ctl_->cmdToOrg_Click();
    EXPECT_EQ(msg_.Last().title, "To Original Files");
    EXPECT_TRUE(msg_.Last().text.starts_with("Following files are not found in the BackUp Folder.\r\n"));
    for (const auto& n : All()) EXPECT_TRUE(Tex(n) == orig_[n]) << n;

    // The re-backup of all fails with its message.
    ctl_->mnuBkAll_Click();
    EXPECT_EQ(msg_.Last().text, "Re-backup procedure was failed !!");
    EXPECT_EQ(msg_.Last().title, "re-backup Error");

    // At start-up the first backup is offered, fails, and ends the program.
    msg_.Answer({6});
    EXPECT_THROW(ctl_->BackupAtLoad(), ProgramEnd);
    EXPECT_EQ(msg_.calls[msg_.calls.size() - 2].title, "BackUp Original");
    EXPECT_EQ(msg_.Last().text, "Process was stopped.");
    EXPECT_EQ(msg_.Last().title, "ini read Error");
    EXPECT_EQ(Read(bak_), "a file where the backup folder should be");
}

TEST_F(InstallReal, SetDeletedBetweenListingAndInstall) {
    Layout();
    Wipe(Wide(data_ + "\\Cumu"));
    ASSERT_EQ(GetFileAttributesA((data_ + "\\Cumu").c_str()), INVALID_FILE_ATTRIBUTES);
    msg_.Answer({1});
    EXPECT_TRUE(ctl_->InstallSet());
    ASSERT_EQ(msg_.calls.size(), 1u);
    std::string list;
    for (const auto& n : All()) list += " " + n + "\r\n";
    list.resize(list.size() - 2);
    EXPECT_EQ(msg_.Last().text, "*** Cumu ***\r\n\r\nFollowing to be installed files not found.\r\n" + list);
    for (const auto& n : All()) EXPECT_TRUE(Tex(n) == orig_[n]) << n;
    EXPECT_TRUE(NoTemporaryFile());
}

TEST_F(InstallReal, FileNameOf255Characters) {
    Layout();
    // Made through the wide functions: the full path is longer than the
    // ANSI functions take.
    const std::string name = std::string(251, 'n') + ".bmp";
    const std::wstring src = L"\\\\?\\" + Wide(data_ + "\\Cumu\\" + name);
    const std::wstring dst = L"\\\\?\\" + Wide(tex_ + "\\" + name);
    for (const auto& [path, text] : {std::pair{src, "long new"}, std::pair{dst, "long orig"}}) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD wrote = 0;
        WriteFile(h, text, static_cast<DWORD>(strlen(text)), &wrote, nullptr);
        CloseHandle(h);
    }
    ctl_->FillCloudFiles("Cumu");
    ctl_->mnuCheckOptionAll_Click();
    const auto listed = view_.Texts(Lst::lstClouds);
    if (std::find(listed.begin(), listed.end(), name) == listed.end()) {
        GTEST_SKIP() << "the platform does not list the long name";
    }
    msg_.Answer({6, 1});
    EXPECT_TRUE(ctl_->InstallSet());
    // Its source cannot be reached by name: reported as not found, the
    // simulator's file of that name untouched, the others installed.
    ASSERT_EQ(msg_.calls.size(), 2u);
    EXPECT_NE(msg_.Last().text.find("not found.\r\n " + name), std::string::npos);
    HANDLE h = CreateFileW(dst.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buf[32];
    DWORD got = 0;
    ReadFile(h, buf, sizeof buf, &got, nullptr);
    CloseHandle(h);
    EXPECT_EQ(std::string(buf, got), "long orig");
    for (const auto& n : All()) EXPECT_TRUE(Tex(n) == new_[n]) << n;

    // The restore lists it as without backup and puts the others back.
    msg_.Answer({1});
    ctl_->cmdToOrg_Click();
    EXPECT_NE(msg_.Last().text.find("not found in the BackUp Folder.\r\n " + name), std::string::npos);
    for (const auto& n : All()) EXPECT_TRUE(Tex(n) == orig_[n]) << n;
}

TEST_F(InstallReal, TextureFolderOnAPathLongerThan200Characters) {
    std::string texture = root_;
    while (texture.size() <= 200) texture += "\\a_rather_long_folder_name";
    texture += "\\texture";
    ASSERT_GT(texture.size(), 200u);
    Layout(texture);
    msg_.Answer({6, 1});
    ASSERT_TRUE(ctl_->InstallSet());
    for (const auto& n : All()) {
        EXPECT_TRUE(Tex(n) == new_[n]) << n;
        EXPECT_TRUE(Bak(n) == orig_[n]) << n;
    }
    EXPECT_EQ(s_.LastInstalledSets.back(), "Cumu");
    RestoreAll();
    // The re-backup of everything finds nothing changed and keeps the copies.
    ASSERT_TRUE(ctl_->BackupAll(true, false));
    for (const auto& n : All()) EXPECT_TRUE(Bak(n) == orig_[n]) << n;
}

// Answers the shell's own confirmation by pressing one of its buttons: polls
// this process's dialogs from a second thread.
class ShellAnswer {
public:
    explicit ShellAnswer(int button) : button_(button), thread_([this] { Run(); }) {}
    ~ShellAnswer() {
        stop_ = true;
        thread_.join();
    }
    int answered() const { return answered_; }

private:
    static BOOL CALLBACK Each(HWND h, LPARAM lp) {
        auto* self = reinterpret_cast<ShellAnswer*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        char cls[64];
        GetClassNameA(h, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && IsWindowVisible(h) && strcmp(cls, "#32770") == 0 &&
            GetDlgItem(h, self->button_)) {
            PostMessageA(h, WM_COMMAND, MAKEWPARAM(self->button_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(h, self->button_)));
            ++self->answered_;
            Sleep(200);
        }
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            EnumWindows(Each, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }
    int button_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

// With the set installed and every file checked, the re-backup of checked
// files keeps the originals: only the file the user changed since is backed
// up again, through the shell to a new name that replaces the backup in one
// step; the set's files are left out and named.
TEST_F(InstallReal, ReBackupOfCheckedFilesThroughTheShell) {
    Layout();
    msg_.Answer({6, 1});
    ASSERT_TRUE(ctl_->InstallSet());
    Sleep(1100);
    Put(tex_ + "\\cld2.bmp", "changed by the user");
    ctl_->mnuCheckCloudAll_Click();
    ctl_->mnuCheckOptionAll_Click();
    msg_.calls.clear();
    {
        ShellAnswer yes(IDYES);
        ctl_->cmdBackUp_Click();
        EXPECT_EQ(yes.answered(), 0);  // a new name: the shell has nothing to ask
    }
    EXPECT_EQ(Bak("cld2.bmp"), "changed by the user");
    for (const auto& n : All()) {
        if (n != "cld2.bmp") {
            EXPECT_TRUE(Bak(n) == orig_[n]) << n;
        }
    }
    EXPECT_TRUE(NoTemporaryFile());
    ASSERT_EQ(Titles(), std::vector<std::string>{"Backup files"});
    std::string list;
    for (const auto& n : All())
        if (n != "cld2.bmp") list += " " + n + "\r\n";
    list.resize(list.size() - 2);
    EXPECT_EQ(msg_.Last().text, InstalledNotBackedUpText(list));

    // A backup copy that cannot be replaced (read-only) stays whole, and the
    // error names it.
    Sleep(1100);
    Put(tex_ + "\\cld2.bmp", "changed again");
    const std::string bak = bak_ + "\\cld2.bmp";
    ASSERT_TRUE(SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_READONLY));
    msg_.calls.clear();
    ctl_->cmdBackUp_Click();
    SetFileAttributesA(bak.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Bak("cld2.bmp"), "changed by the user");
    ASSERT_FALSE(msg_.calls.empty());
    EXPECT_EQ(msg_.calls.front().text, "Backup file Error!! FileName : cld2.bmp");
    EXPECT_EQ(msg_.calls.front().title, "File Copy Error");
    EXPECT_TRUE(NoTemporaryFile());
}

}  // namespace
}  // namespace vm
