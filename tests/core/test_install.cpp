// Installation of a set with backup: questions, report texts, the record, and
// what a failure at any file operation leaves behind.
#include <gtest/gtest.h>

#include "sets/backup.h"
#include "sets/install.h"
#include "test_sets_view.h"

namespace vm {
namespace {

const std::vector<std::string> kClouds = {"cld1.bmp", "cld2.bmp", "cld3.bmp", "cld4.bmp",
                                          "cld5.bmp", "cld6.bmp", "cld7.bmp", "cld8.bmp"};
const std::vector<std::string> kOptions = {"sun6.bmp", "halo.bmp"};

std::string Orig(const std::string& n) { return "orig-" + n; }
std::string New(const std::string& n) { return "new-" + n; }

// A set "Cumu" of eight cloud bitmaps and an option "Sun" of two, all ten
// present in the texture folder as the simulator's own files.
class InstallTest : public SetsFixture {
protected:
    InstallTest() { Reset(); }

    void Reset() {
        te.fs = MemoryFileSystem();
        te.fs.AddDir(te.env.programDir);
        te.fs.AddDir(kData);
        te.msg.calls.clear();
        te.msg.answers.clear();
        s.LastInstalledSets.clear();
        s.LastInstalledTypes.clear();
        refreshed.clear();
        autoRandomStops = 0;
        for (const auto& n : kClouds) {
            te.fs.AddFile(Data("Cumu\\" + n), New(n));
            te.fs.AddFile(Tex(n), Orig(n));
        }
        for (const auto& n : kOptions) {
            te.fs.AddFile(Data("Cumu\\Sun\\" + n), New(n));
            te.fs.AddFile(Tex(n), Orig(n));
        }
        te.fs.AddFile(Data("Cumu\\Sun\\sun.txt"));
        LoadSets({"Cumu"});
        ctl.mnuCheckOptionAll_Click();
    }

    std::vector<std::string> All() {
        std::vector<std::string> all = kClouds;
        all.insert(all.end(), kOptions.begin(), kOptions.end());
        return all;
    }
    int CountNew() {
        int n = 0;
        for (const auto& f : All()) n += te.fs.Content(Tex(f)) == New(f);
        return n;
    }
    // Every texture file holds its old or its new content; every backup
    // copy holds the simulator's own file.
    void ExpectNothingLost() {
        for (const auto& f : All()) {
            const std::string c = te.fs.Content(Tex(f));
            EXPECT_TRUE(c == Orig(f) || c == New(f)) << f << ": " << c;
            if (te.fs.Exists(Bak(f))) {
                EXPECT_EQ(te.fs.Content(Bak(f)), Orig(f)) << f;
            }
        }
    }
};

TEST_F(InstallTest, InstallsWithBackupAndRecordsTheSet) {
    te.msg.Answer({6, 1});
    EXPECT_TRUE(ctl.InstallSet());

    ASSERT_EQ(te.msg.calls.size(), 2u);
    std::string missing;
    for (const auto& f : All()) missing += " " + f + "\r\n";
    EXPECT_EQ(te.msg.calls[0].title, "No Backup files");
    EXPECT_EQ(te.msg.calls[0].style, 52);
    EXPECT_EQ(te.msg.calls[0].text, "*** Cumu ***\r\n\r\nFollowing backup files are not found.\r\n"
                                    "Try to backup these files again?\r\n" + missing);
    EXPECT_EQ(te.msg.calls[1].title, "Installation");
    EXPECT_EQ(te.msg.calls[1].style, 49);
    EXPECT_EQ(te.msg.calls[1].text, "*** Cumu ***\r\n\r\nFollowing files will be installed.\r\n" +
                                        missing.substr(0, missing.size() - 2));

    for (const auto& f : All()) {
        EXPECT_EQ(te.fs.Content(Tex(f)), New(f));
        EXPECT_EQ(te.fs.Content(Bak(f)), Orig(f));
    }
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
    EXPECT_TRUE(CopyTempsIn(te.env, kBak).empty());
    EXPECT_EQ(s.LastInstalledSets, std::vector<std::string>{"Cumu"});
    EXPECT_EQ(s.LastInstalledTypes, std::vector<std::string>{"Cumulus"});
    EXPECT_EQ(refreshed, std::vector<std::string>{"Cumulus"});
    EXPECT_GE(te.pump.count, 20);
}

TEST_F(InstallTest, ReportPartsAndJoins) {
    struct Case {
        const char *install, *notFound;
        bool backup;
        const char *cannot, *report;
    } cases[] = {
        {"", "", true, "", ""},
        {" a", "", true, "", "Following files will be installed.\r\n a"},
        {"", " b", true, "", "Following to be installed files not found.\r\n b"},
        {" a", " b", true, "",
         "Following files will be installed.\r\n a\r\n\r\nAnd following to be installed files not found.\r\n b"},
        {"", "", true, " c", "Following files can not be backuped.(No files in Texture folder.)\r\n c"},
        {" a", "", false, " c", "Following files will be installed.\r\n a"},
        {"", " b", true, " c",
         "Following to be installed files not found.\r\n b\r\n\r\nAnd following files is not backuped.\r\n c"},
        {" a\r\n a2", " b", true, " c",
         "Following files will be installed.\r\n a\r\n a2\r\n\r\nAnd following to be installed files not found.\r\n"
         " b\r\n\r\nAnd following files is not backuped.\r\n c"},
    };
    for (const Case& c : cases) EXPECT_EQ(InstallReport(c.install, c.notFound, c.backup, c.cannot), c.report);
}

TEST_F(InstallTest, MissingSourcesAndFilesThatCannotBeBackedUp) {
    te.fs.AddFile(Data("Cumu\\extra.bmp"), "new-extra");  // not in the texture folder
    ctl.FillCloudFiles("Cumu");
    view.CheckOnly(Lst::lstClouds, {"cld1.bmp", "cld2.bmp", "extra.bmp"});
    view.CheckOnly(Lst::lstOption, {});
    te.fs.Remove(Data("Cumu\\cld2.bmp"));  // deleted after listing
    te.msg.Answer({6, 1});
    EXPECT_TRUE(ctl.InstallSet());
    ASSERT_EQ(te.msg.calls.size(), 2u);
    EXPECT_EQ(te.msg.calls[1].text,
              "*** Cumu ***\r\n\r\nFollowing files will be installed.\r\n cld1.bmp\r\n extra.bmp\r\n\r\n"
              "And following to be installed files not found.\r\n cld2.bmp\r\n\r\n"
              "And following files is not backuped.\r\n extra.bmp");
    EXPECT_EQ(te.fs.Content(Tex("extra.bmp")), "new-extra");
    EXPECT_EQ(te.fs.Content(Tex("cld2.bmp")), Orig("cld2.bmp"));
    EXPECT_FALSE(te.fs.Exists(Bak("extra.bmp")));
}

TEST_F(InstallTest, NothingCheckedStillRecordsTheSet) {
    ctl.mnuClearCloudAll_Click();
    ctl.mnuClearOptionAll_Click();
    EXPECT_TRUE(ctl.InstallSet());
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().text, "*** Cumu ***\r\n\r\n");
    EXPECT_EQ(CountNew(), 0);
    EXPECT_EQ(s.LastInstalledSets, std::vector<std::string>{"Cumu"});
}

TEST_F(InstallTest, NoBackupAndCancel) {
    te.msg.Answer({7, 2});
    EXPECT_FALSE(ctl.InstallSet());
    EXPECT_EQ(CountNew(), 0);
    EXPECT_FALSE(te.fs.Exists(kBak));
    EXPECT_TRUE(s.LastInstalledSets.empty());
    EXPECT_TRUE(refreshed.empty());

    te.msg.Answer({7, 1});  // no backup, but install
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(CountNew(), 10);
    EXPECT_FALSE(te.fs.Exists(Bak("cld1.bmp")));
}

TEST_F(InstallTest, RandomModeUsesTheFixedName) {
    state.RandomMode = true;
    view.msgHistory.clear();
    te.msg.Answer({6, 1});
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(te.msg.calls[1].text.substr(0, 23), "*** Random Clouds ***\r\n");
    EXPECT_EQ(s.LastInstalledSets, std::vector<std::string>{"Random Clouds"});
    EXPECT_EQ(view.msgHistory.front(), "");
    EXPECT_EQ(view.captions[Ctl::lblMsg], "Press Install Button.");
    EXPECT_TRUE(view.visible[Ctl::lblMsg]);
}

TEST_F(InstallTest, AutoRandomAsksNothingAndMakesTheBackups) {
    autoRandom = true;
    state.RandomMode = true;
    te.clock.now = 45123.25;
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_TRUE(te.msg.calls.empty());
    EXPECT_EQ(CountNew(), 10);
    EXPECT_EQ(te.fs.Content(Bak("halo.bmp")), Orig("halo.bmp"));
    EXPECT_EQ(state.InstallTime, 45123.25);
    EXPECT_NE(view.captions[Ctl::lblMsg], "Press Install Button.");
}

TEST_F(InstallTest, AnInstallNeverOverwritesABackupCopy) {
    te.fs.AddFile(Bak("cld1.bmp"), Orig("cld1.bmp"));
    te.fs.SetModTime(Bak("cld1.bmp"), 1000);  // differs from the texture file
    te.msg.Answer({6, 1});
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(te.msg.calls[0].text.find(" cld1.bmp\r\n"), std::string::npos);
    // A second install: the texture files now hold the set, the backups
    // keep the simulator's own files and nothing is asked about them.
    te.msg.calls.clear();
    EXPECT_TRUE(ctl.InstallSet());
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.calls[0].title, "Installation");
    for (const auto& f : All()) EXPECT_EQ(te.fs.Content(Bak(f)), Orig(f));
}

TEST_F(InstallTest, OnlyCloudTypesAskForARefresh) {
    te.fs.AddFile(Data("Suns\\sun6.bmp"), "sun");
    te.fs.AddFile(Data("Odd\\water.bmp"), "w");
    LoadSets({"Suns", "Odd"});
    autoRandom = true;
    EXPECT_TRUE(ctl.InstallSet());
    ctl.ChooseSet(1);
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_TRUE(refreshed.empty());
    EXPECT_EQ(s.LastInstalledTypes, (std::vector<std::string>{"Sun", "Unknown"}));
}

TEST_F(InstallTest, FaultAtAnyFileOperationLosesNothing) {
    for (bool backupsExist : {false, true}) {
        for (FsOp op : {FsOp::Copy, FsOp::Replace, FsOp::MakeDir}) {
            // Count the calls of a clean run, then fail each one in turn.
            Reset();
            if (backupsExist)
                for (size_t i = 0; i < All().size(); i += 2) te.fs.AddFile(Bak(All()[i]), Orig(All()[i]));
            autoRandom = true;
            const int before = te.fs.Calls(op);
            ASSERT_TRUE(ctl.InstallSet());
            const int calls = te.fs.Calls(op) - before;
            for (int n = 1; n <= calls; ++n) {
                SCOPED_TRACE(testing::Message() << "op " << int(op) << " call " << n << " backups " << backupsExist);
                Reset();
                if (backupsExist)
                    for (size_t i = 0; i < All().size(); i += 2) te.fs.AddFile(Bak(All()[i]), Orig(All()[i]));
                autoRandom = true;
                te.fs.FailNth(op, n);
                EXPECT_FALSE(ctl.InstallSet());
                ExpectNothingLost();
                EXPECT_TRUE(s.LastInstalledSets.empty());
                EXPECT_EQ(autoRandomStops, 1);
                EXPECT_TRUE(refreshed.empty());
                if (backupsExist) {
                    for (size_t i = 0; i < All().size(); i += 2) EXPECT_TRUE(te.fs.Exists(Bak(All()[i])));
                }
                // The next install goes through and the backups still hold
                // the simulator's files.
                EXPECT_TRUE(ctl.InstallSet());
                EXPECT_EQ(CountNew(), 10);
                ExpectNothingLost();
                EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
            }
        }
    }
}

TEST_F(InstallTest, FailedCopyWhoseCleanupFailsToo) {
    autoRandom = true;
    for (const auto& f : All()) te.fs.AddFile(Bak(f), Orig(f));
    te.fs.FailNth(FsOp::Replace, 3);
    te.fs.FailNth(FsOp::Remove, 1);
    EXPECT_FALSE(ctl.InstallSet());
    EXPECT_EQ(CountNew(), 2);
    ExpectNothingLost();
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(CountNew(), 10);
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
}

TEST_F(InstallTest, ReadOnlyOrLockedTextureFileStopsTheInstall) {
    for (bool locked : {false, true}) {
        Reset();
        for (const auto& f : All()) te.fs.AddFile(Bak(f), Orig(f));
        if (locked)
            te.fs.Lock(Tex("cld3.bmp"));
        else
            te.fs.SetReadOnly(Tex("cld3.bmp"));
        te.msg.Answer({1});
        EXPECT_FALSE(ctl.InstallSet());
        EXPECT_EQ(te.fs.Content(Tex("cld3.bmp")), Orig("cld3.bmp"));
        // A read-only file is seen before the first copy; an open one only
        // when its copy fails.
        EXPECT_EQ(CountNew(), locked ? 2 : 0);
        EXPECT_TRUE(s.LastInstalledSets.empty());
        EXPECT_EQ(autoRandomStops, 1);
        EXPECT_TRUE(view.enabled[Ctl::cmdInst]);  // ButtonCtrl(True) after the failure
    }
}

TEST_F(InstallTest, BackupFolderThatCannotBeCreatedStopsBeforeCopying) {
    te.fs.FailNth(FsOp::MakeDir, 1);
    te.msg.Answer({6});
    EXPECT_FALSE(ctl.InstallSet());
    ASSERT_EQ(te.msg.calls.size(), 2u);
    EXPECT_EQ(te.msg.Last().title, "File Copy Error");
    EXPECT_EQ(te.msg.Last().style, 16);
    EXPECT_EQ(te.msg.Last().text, "Backup file Error!! FileName : cld1.bmp");
    EXPECT_EQ(CountNew(), 0);
    EXPECT_EQ(autoRandomStops, 1);
}

// While copying everything is off; afterwards the states are those the
// state makes (files checked, backup on: both backup buttons), not those
// from before.
TEST_F(InstallTest, ButtonsAreDisabledWhileCopyingAndComputedAfter) {
    view.SetEnabled(Ctl::cmdInst, true);
    view.SetEnabled(Ctl::cmdBackUp, false);
    int pumpedWhileDisabled = 0, pumped = 0;
    te.pump.onEvents = [&] {
        ++pumped;
        pumpedWhileDisabled += !view.Enabled(Ctl::cmdInst) && !view.Enabled(Ctl::lstClouds);
    };
    te.msg.Answer({6, 1});
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_GE(pumpedWhileDisabled, 20);  // ten backups, ten copies
    EXPECT_TRUE(view.Enabled(Ctl::cmdInst));
    EXPECT_TRUE(view.Enabled(Ctl::cmdBackUp));
}

TEST_F(InstallTest, InstallButtonSounds) {
    int sounds = 0;
    bool soundPlays = true;
    hooks.playButtonSound = [&] {
        ++sounds;
        return soundPlays;
    };
    for (const auto& f : All()) te.fs.AddFile(Bak(f), Orig(f));

    ctl.cmdInst_Click();  // success with a sound
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(te.sound.beeps, 0);

    soundPlays = false;  // success, no sound played: beep instead
    ctl.cmdInst_Click();
    EXPECT_EQ(te.sound.beeps, 1);

    te.msg.Answer({2});  // cancelled: beep, no sound
    ctl.cmdInst_Click();
    EXPECT_EQ(sounds, 2);
    EXPECT_EQ(te.sound.beeps, 2);

    autoRandom = true;
    ctl.cmdInst_Click();
    EXPECT_EQ(sounds, 2);
    EXPECT_EQ(te.sound.beeps, 2);

    int situations = 0;
    hooks.installSituation = [&] { ++situations; };
    view.fltChosen = true;
    const size_t records = s.LastInstalledSets.size();
    ctl.cmdInst_Click();
    EXPECT_EQ(situations, 1);
    EXPECT_EQ(s.LastInstalledSets.size(), records);
}

}  // namespace
}  // namespace vm
