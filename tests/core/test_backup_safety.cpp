// What keeps the simulators' own textures safe: each simulator backs up into
// a folder of its own, temporary copies never touch another file and never
// block a later copy, and the re-backup of all never takes an installed set
// for the originals.
#include <gtest/gtest.h>

#include "config/detect.h"
#include "config/loader.h"
#include "sets/backup.h"
#include "sets/restore.h"
#include "sound/sound_desk.h"
#include "sets/last_installed.h"
#include "test_sets_view.h"

namespace vm {
namespace {

// Two simulators, A in slot 0 and B in slot 1; the data folder lives in B's
// texture folder, so A finds it in the other simulator's folder.
class TwoSimulators : public SetsFixture {
protected:
    FontTable fonts;
    NoConfigView config;
    LoadSteps steps;

    TwoSimulators() {
        s.FsPath[0] = "C:\\FSA";
        s.FsPath[1] = "C:\\FSB";
        te.fs.AddFile("C:\\FSA\\texture\\cld1.bmp", "A-orig");
        te.fs.AddFile("C:\\FSB\\texture\\cld1.bmp", "B-orig");
        te.fs.AddFile("C:\\FSB\\texture\\Sky\\Cumu\\cld1.bmp", "set");
        Ini("[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n[BackUpFunc]\r\nFunc=on\r\n"
            "[BackUpDirName]\r\nName=bk\r\n[Set1]\r\nDirName=Cumu\r\n");
        steps.ClearCatalogue = [this] { cat.Clear(); };
        steps.BuildCatalogue = [this](clsCfgRead& r) { BuildCatalogue(te.env, s, cat, r); };
        steps.BackupAtLoad = [this](clsCfgRead& r) { ctl.BackupAtLoad(r); };
        steps.FillSetLists = [this] { ctl.FillSetLists(); };
    }
    void Select(int sim) { optFs_Click(te.env, s, sim, fonts, config, steps); }
};

TEST_F(TwoSimulators, EachKeepsItsOwnOriginals) {
    te.msg.defaultAnswer = 7;  // the first backup at load is declined: installs ask instead
    for (int sim : {0, 1}) {
        Select(sim);
        EXPECT_EQ(s.DataDir, "C:\\FSB\\texture\\Sky");
        EXPECT_EQ(s.BackupDir, sim == 0 ? "C:\\FSA\\texture\\bk" : "C:\\FSB\\texture\\bk");
        te.msg.Answer({6, 1});  // back up the missing files, then install
        ASSERT_TRUE(ctl.InstallSet());
        EXPECT_EQ(te.msg.calls[te.msg.calls.size() - 2].title, "No Backup files") << sim;
    }
    EXPECT_EQ(te.fs.Content("C:\\FSA\\texture\\bk\\cld1.bmp"), "A-orig");
    EXPECT_EQ(te.fs.Content("C:\\FSB\\texture\\bk\\cld1.bmp"), "B-orig");
    for (int sim : {0, 1}) {
        Select(sim);
        te.msg.Answer({1});
        ctl.cmdToOrg_Click();
    }
    EXPECT_EQ(te.fs.Content("C:\\FSA\\texture\\cld1.bmp"), "A-orig");
    EXPECT_EQ(te.fs.Content("C:\\FSB\\texture\\cld1.bmp"), "B-orig");
}

// A switch of simulator reloads cloud.ini: what was recorded or listed since
// the start is written first (through the writer, keeping IniTime), so the
// reload gives it back instead of the file's older copy.
TEST_F(TwoSimulators, ASwitchKeepsTheRecordAndTheMusicList) {
    te.msg.defaultAnswer = 7;
    te.fs.AddFile("C:\\Music\\a.mp3");
    te.fs.AddFile("C:\\Music\\b.mp3");
    Ini("[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n[Set1]\r\nDirName=Cumu\r\n"
        "[LastInstalled]\r\nNumberOfDisp=2\r\n1=Old,Sun\r\n"
        "[Sound]\r\nMusicFile1=C:\\Music\\a.mp3\r\nMusicFile2=C:\\Music\\gone.mp3\r\nMusicFile3=C:\\Music\\a.mp3\r\n");
    bool deskOpen = false;
    steps.SaveBeforeReload = [&] {
        if (deskOpen) SaveMusicList(te.env, s);
    };
    Select(0);
    EXPECT_EQ(s.MusicList, (std::vector<std::string>{"C:\\Music\\a.mp3", "C:\\Music\\a.mp3"}));
    AddLastInstalled(s, "Cumu", "Cumulus");
    AddLastInstalled(s, "Strat", "Stratus");
    deskOpen = true;
    s.MusicList = {"C:\\Music\\b.mp3"};
    Select(1);
    EXPECT_EQ(s.LastInstalledSets, (std::vector<std::string>{"Cumu", "Strat"}));
    EXPECT_EQ(s.LastInstalledTypes, (std::vector<std::string>{"Cumulus", "Stratus"}));
    EXPECT_EQ(s.MusicList, std::vector<std::string>{"C:\\Music\\b.mp3"});
    const std::string ini = te.fs.Content(kIni);
    EXPECT_EQ(ini.find("MusicFile2"), std::string::npos) << ini;  // stale titles deleted
    EXPECT_EQ(s.IniTime, te.fs.ModTime(kIni).value_or(-1));

    // Back again: nothing new, nothing lost.
    Select(0);
    EXPECT_EQ(s.LastInstalledSets, (std::vector<std::string>{"Cumu", "Strat"}));
    EXPECT_EQ(s.MusicList, std::vector<std::string>{"C:\\Music\\b.mp3"});
}

class CopySafety : public SetsFixture {
protected:
    CopySafety() {
        for (const char* n : {"cld1.bmp", "cld2.bmp"}) {
            te.fs.AddFile(Data(std::string("Cumu\\") + n), std::string("set-") + n);
            te.fs.AddFile(Tex(n), std::string("orig-") + n);
            te.fs.AddFile(Bak(n), std::string("orig-") + n);
        }
        LoadSets({"Cumu"});
    }
};

TEST_F(CopySafety, TemporaryCopiesNeverTouchOtherFilesNorBlockLaterCopies) {
    // A user's own file named like a temporary copy of old; copies a crash
    // left behind, one of them read-only; a read-only data set.
    te.fs.AddFile(Tex("~vellmora-copy.tmp"), "user's");
    te.fs.AddFile(Tex("~vellmora-0badf00d.tmp"), "stale");
    te.fs.SetReadOnly(Tex("~vellmora-0badf00d.tmp"));
    te.fs.AddFile(Bak("~VELLMORA-12345678.TMP"), "stale");
    for (const char* n : {"cld1.bmp", "cld2.bmp"}) te.fs.SetReadOnly(Data(std::string("Cumu\\") + n));

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        te.msg.Answer({1});
        ASSERT_TRUE(ctl.InstallSet());
        for (const char* n : {"cld1.bmp", "cld2.bmp"}) {
            EXPECT_EQ(te.fs.Content(Tex(n)), std::string("set-") + n);
            EXPECT_FALSE(te.fs.IsReadOnly(Tex(n)));
        }
        te.msg.Answer({1});
        ctl.cmdToOrg_Click();
        EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), "orig-cld1.bmp");
    }
    EXPECT_EQ(te.fs.Content(Tex("~vellmora-copy.tmp")), "user's");
    EXPECT_FALSE(te.fs.Exists(Tex("~vellmora-0badf00d.tmp")));
    ctl.mnuBkAll_Click();
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
    EXPECT_TRUE(CopyTempsIn(te.env, kBak).empty());
}

TEST_F(CopySafety, ReBackupOfAllKeepsTheOriginalsOfAnInstalledSet) {
    te.fs.AddFile(Data("Cumu\\Sun\\sun6.bmp"), "set-sun6");
    te.fs.AddFile(Tex("sun6.bmp"), "orig-sun6");
    te.fs.AddFile(Bak("sun6.bmp"), "orig-sun6");
    te.msg.Answer({1});
    ASSERT_TRUE(ctl.InstallSet());  // cld1 and cld2 of the set are in the texture folder now
    te.fs.AddFile(Tex("sun6.bmp"), "patched-sun6");  // changed by the user: an original

    te.msg.calls.clear();
    ctl.mnuBkAll_Click();
    EXPECT_EQ(te.fs.Content(Bak("cld1.bmp")), "orig-cld1.bmp");
    EXPECT_EQ(te.fs.Content(Bak("cld2.bmp")), "orig-cld2.bmp");
    EXPECT_EQ(te.fs.Content(Bak("sun6.bmp")), "patched-sun6");
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().title, "Backup files");
    EXPECT_EQ(te.msg.Last().style, 48);
    EXPECT_EQ(te.msg.Last().text, InstalledNotBackedUpText(" cld1.bmp\r\n cld2.bmp"));

    // Restored, the same command backs nothing up and says nothing.
    te.msg.Answer({1});
    ctl.cmdToOrg_Click();
    te.msg.calls.clear();
    ctl.mnuBkAll_Click();
    EXPECT_TRUE(te.msg.calls.empty());
    EXPECT_EQ(te.fs.Content(Bak("cld1.bmp")), "orig-cld1.bmp");
}

}  // namespace
}  // namespace vm
