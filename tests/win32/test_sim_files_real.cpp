// The simulator's own files on real folders: the splash of each of two
// simulators and the start key in a simulator's configuration file, written
// with the Win32 file system and profile ports.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../core/test_sets_view.h"
#include "config/detect.h"
#include "config/loader.h"
#include "platform/win32_fs.h"
#include "platform/win32_ports.h"
#include "platform/win32_profile.h"
#include "sets/backup.h"
#include "sim/situation.h"
#include "sim/splash.h"
#include "win_files.h"

namespace vm {
namespace {

// Two simulators FSA and FSB below a temporary folder, each with its splash,
// its numbered bitmaps (two and three), a data folder, and cloud.ini in the
// program folder.
class SimFilesReal : public ::testing::Test, protected RealPorts {
protected:
    void SetUp() override {
        root_ = TempFolderName("vm_simfiles") + "_" + std::to_string(GetTickCount());
        env_.programDir = root_ + "\\Prog";
        for (int sim = 0; sim < 2; ++sim) {
            const std::string fs = Sim(sim);
            s_.FsPath[sim] = fs;
            Make(fs + "\\UIRES\\Vellmora");
            Make(fs + "\\texture\\Sky\\Cumu");
            WriteTextFile(fs + "\\UIRES\\dlgsplash.bmp", std::string("own-") + "AB"[sim]);
            for (int n = 1; n <= 2 + sim; ++n)
                WriteTextFile(fs + "\\UIRES\\Vellmora\\dlgsplash" + std::to_string(n) + ".bmp",
                              std::string(1, "AB"[sim]) + std::to_string(n));
        }
        Make(env_.programDir);
        WriteTextFile(env_.programDir + "\\cloud.ini",
                      "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n[Set1]\r\nDirName=Cumu\r\n"
                      "[Splash Screen]\r\nSplash=on\r\nMode=order\r\nLastNo=0\r\n");
        s_.IniName = "cloud.ini";
        steps_.PrepareSplash = [this] { count_ = SplashSetup(env_, s_); };
    }
    void TearDown() override {
        for (HANDLE h : held_) CloseHandle(h);
        RemoveTree(root_);
    }
    std::string Sim(int sim) const { return root_ + (sim ? "\\FSB" : "\\FSA"); }
    void Make(const std::string& path) {
        for (size_t i = 3; i <= path.size(); ++i)
            if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    void Select(int sim) { optFs_Click(env_, s_, sim, fonts_, config_, steps_); }
    std::string Splash(int sim, const char* file) { return ReadTextFile(Sim(sim) + "\\UIRES\\" + file); }
    bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // Opened without sharing, as a running simulator may hold its files.
    HANDLE Hold(const std::string& path, DWORD access = GENERIC_READ) {
        HANDLE h = CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
        held_.push_back(h);
        return h;
    }
    void Release(HANDLE h) {
        CloseHandle(h);
        std::erase(held_, h);
    }

    Settings s_;
    FontTable fonts_;
    NoConfigView config_;
    LoadSteps steps_;
    int count_ = 0;
    std::string root_;
    std::vector<HANDLE> held_;
};

TEST_F(SimFilesReal, EachSimulatorSavesItsOwnSplashOnce) {
    Select(0);
    EXPECT_EQ(count_, 2);
    EXPECT_EQ(Splash(0, "dlgsplash(org).bmp"), "own-A");
    ASSERT_TRUE(RotateSplash(env_, s_, count_));
    EXPECT_EQ(Splash(0, "dlgsplash.bmp"), "A1");

    // The second simulator: its own splash saved before its first rotation,
    // its own bitmaps counted.
    Select(1);
    EXPECT_EQ(count_, 3);
    EXPECT_EQ(Splash(1, "dlgsplash(org).bmp"), "own-B");
    ASSERT_TRUE(RotateSplash(env_, s_, count_));
    EXPECT_EQ(Splash(1, "dlgsplash.bmp"), "B2");
    Select(0);
    EXPECT_EQ(Splash(0, "dlgsplash(org).bmp"), "own-A");
    for (int sim : {0, 1}) EXPECT_TRUE(CopyTempsIn(env_, Sim(sim) + "\\UIRES").empty());

    // A splash the simulator holds open cannot be saved: it is not replaced
    // either, and the next selection saves it.
    const std::string b = Sim(1) + "\\UIRES\\";
    ASSERT_TRUE(DeleteFileA((b + "dlgsplash(org).bmp").c_str()));
    WriteTextFile(b + "dlgsplash.bmp", "own-B");
    HANDLE h = Hold(b + "dlgsplash.bmp");
    Select(1);
    EXPECT_FALSE(Exists(b + "dlgsplash(org).bmp"));
    EXPECT_FALSE(RotateSplash(env_, s_, count_));
    Release(h);
    EXPECT_EQ(Splash(1, "dlgsplash.bmp"), "own-B");
    EXPECT_TRUE(CopyTempsIn(env_, Sim(1) + "\\UIRES").empty());
    Select(1);
    EXPECT_EQ(Splash(1, "dlgsplash(org).bmp"), "own-B");
    ASSERT_TRUE(RotateSplash(env_, s_, count_));
    EXPECT_NE(Splash(1, "dlgsplash.bmp"), "own-B");
}

// The start key: written into the simulator's own file, never outside the
// simulator folder, and a file that refuses the write is reported.
TEST_F(SimFilesReal, StartSituationInTheSimulatorsConfigurationFile) {
    Catalogue cat;
    SetsState state;
    FakeSetsView view;
    SetsHooks hooks;
    SetsController sets(env_, s_, cat, state, view, hooks);
    SituationHooks sitHooks;
    int sounds = 0;
    sitHooks.playButtonSound = [&] { return ++sounds, true; };
    SituationController sit(env_, s_, view, sets, sitHooks);
    Select(0);
    const std::string fs = Sim(0), cfg = fs + "\\FS2002.CFG", outside = root_ + "\\FS2002.CFG";
    Make(fs + "\\Flights");
    WriteTextFile(fs + "\\Flights\\A.flt", "[Vellmora]\r\nShownText=A\r\n");
    WriteTextFile(fs + "\\Flights\\A.wx", "");
    WriteTextFile(cfg, "[Startup]\r\nFlight=old\r\n");
    WriteTextFile(outside, "[Startup]\r\nFlight=outside\r\n");
    s_.SituationEnabled = true;
    s_.SituationLoc = "Flights";
    s_.SituationDir = fs + "\\Flights";
    s_.SituationSection = "Startup";
    s_.SituationKey = "Flight";
    sit.FillSituationList();
    view.Select(Lst::lstFLT, 0);
    auto value = [](const std::string& file) {
        char buf[256];
        const DWORD n = GetPrivateProfileStringA("Startup", "Flight", "<missing>", buf, sizeof buf, file.c_str());
        return std::string(buf, n);
    };

    for (const char* escaping : {"..\\FS2002.CFG", "Flights\\..\\..\\FS2002.CFG"}) {
        s_.SituationCfgFile = escaping;
        EXPECT_TRUE(sit.InstallSituation());
        EXPECT_EQ(msg_.Last().title, "CfgFile Error") << escaping;
        sit.mnuClearSituation_Click();
        EXPECT_EQ(value(outside), "outside") << escaping;
    }
    s_.SituationCfgFile = outside;  // absolute
    EXPECT_TRUE(sit.InstallSituation());
    EXPECT_EQ(msg_.Last().title, "CfgFile Error");
    EXPECT_EQ(value(outside), "outside");

    s_.SituationCfgFile = "FS2002.CFG";
    ASSERT_TRUE(SetFileAttributesA(cfg.c_str(), FILE_ATTRIBUTE_READONLY));
    msg_.calls.clear();
    EXPECT_TRUE(sit.InstallSituation());
    ASSERT_EQ(msg_.calls.size(), 1u);
    EXPECT_EQ(msg_.Last().title, "File Write Error");
    EXPECT_EQ(sounds, 0);
    SetFileAttributesA(cfg.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(value(cfg), "old");

    HANDLE h = Hold(cfg, GENERIC_READ | GENERIC_WRITE);
    msg_.calls.clear();
    EXPECT_TRUE(sit.InstallSituation());
    ASSERT_EQ(msg_.calls.size(), 1u);
    EXPECT_EQ(msg_.Last().title, "File Write Error");
    EXPECT_EQ(sounds, 0);
    Release(h);
    EXPECT_EQ(value(cfg), "old");

    msg_.calls.clear();
    EXPECT_TRUE(sit.InstallSituation());
    EXPECT_TRUE(msg_.calls.empty());
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(value(cfg), "Flights\\A");
    sit.mnuClearSituation_Click();
    EXPECT_EQ(value(cfg), "<missing>");
    EXPECT_EQ(value(outside), "outside");
}

}  // namespace
}  // namespace vm
