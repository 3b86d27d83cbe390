// Putting the simulator's own files back, and re-backing up the checked files.
#include <gtest/gtest.h>

#include <functional>

#include "sets/backup.h"
#include "sets/restore.h"
#include "test_sets_view.h"

namespace vm {
namespace {

// Set "Cumu": cld1..cld4 and option "Sun" with sun6.bmp; the texture folder
// holds the installed set, the backup folder the originals of all but cld4
// and sun6.
class RestoreTest : public SetsFixture {
protected:
    const std::vector<std::string> names = {"cld1.bmp", "cld2.bmp", "cld3.bmp", "cld4.bmp"};

    RestoreTest() {
        for (const auto& n : names) {
            te.fs.AddFile(Data("Cumu\\" + n), "new-" + n);
            te.fs.AddFile(Tex(n), "new-" + n);
            if (n != "cld4.bmp") te.fs.AddFile(Bak(n), "orig-" + n);
        }
        te.fs.AddFile(Data("Cumu\\Sun\\sun6.bmp"), "new-sun");
        te.fs.AddFile(Tex("sun6.bmp"), "new-sun");
        LoadSets({"Cumu"});
    }
};

TEST_F(RestoreTest, ReportParts) {
    EXPECT_EQ(RestoreReport("", ""), "");
    EXPECT_EQ(RestoreReport(" a\r\n b", ""), "Following files will be back to original.\r\n a\r\n b");
    EXPECT_EQ(RestoreReport("", " c"), "Following files are not found in the BackUp Folder.\r\n c");
    EXPECT_EQ(RestoreReport(" a", " c"),
              "Following files will be back to original.\r\n a\r\n\r\n"
              "And following files are not found in the BackUp Folder.\r\n c");
}

TEST_F(RestoreTest, RestoresTheCheckedFilesThatHaveABackup) {
    ctl.mnuCheckOptionAll_Click();
    ctl.cmdToOrg_Click();
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().title, "To Original Files");
    EXPECT_EQ(te.msg.Last().style, 49);
    // The option file is judged by its own name.
    EXPECT_EQ(te.msg.Last().text,
              "Following files will be back to original.\r\n cld1.bmp\r\n cld2.bmp\r\n cld3.bmp\r\n\r\n"
              "And following files are not found in the BackUp Folder.\r\n cld4.bmp\r\n sun6.bmp");
    for (const char* n : {"cld1.bmp", "cld2.bmp", "cld3.bmp"}) {
        EXPECT_EQ(te.fs.Content(Tex(n)), std::string("orig-") + n);
        EXPECT_EQ(te.fs.Content(Bak(n)), std::string("orig-") + n);  // the backup stays
    }
    EXPECT_EQ(te.fs.Content(Tex("cld4.bmp")), "new-cld4.bmp");
    EXPECT_EQ(te.fs.Content(Tex("sun6.bmp")), "new-sun");
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
    EXPECT_EQ(te.sound.beeps, 1);
}

TEST_F(RestoreTest, CancelAndNothingChecked) {
    te.msg.Answer({2});
    ctl.cmdToOrg_Click();
    EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), "new-cld1.bmp");

    ctl.mnuClearCloudAll_Click();
    ctl.cmdToOrg_Click();
    EXPECT_EQ(te.msg.Last().text, "");
    EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), "new-cld1.bmp");
    EXPECT_EQ(te.sound.beeps, 2);
}

TEST_F(RestoreTest, ABackupRestoresAFileThatWasNeverInstalled) {
    te.fs.Remove(Tex("cld2.bmp"));
    view.CheckOnly(Lst::lstClouds, {"cld2.bmp"});
    ctl.cmdToOrg_Click();
    EXPECT_EQ(te.fs.Content(Tex("cld2.bmp")), "orig-cld2.bmp");
}

TEST_F(RestoreTest, AFailedCopyIsReportedAndLosesNothing) {
    for (FsOp op : {FsOp::Copy, FsOp::Replace}) {
        for (int n = 1; n <= 3; ++n) {
            SCOPED_TRACE(testing::Message() << int(op) << " " << n);
            for (const auto& f : names) te.fs.AddFile(Tex(f), "new-" + f);
            te.msg.calls.clear();
            te.fs.FailNth(op, n);
            EXPECT_FALSE(ctl.RestoreFiles({"cld1.bmp", "cld2.bmp", "cld3.bmp"}));
            ASSERT_EQ(te.msg.calls.size(), 1u);
            EXPECT_EQ(te.msg.Last().title, "File Copy Error");
            EXPECT_EQ(te.msg.Last().style, 16);
            EXPECT_EQ(te.msg.Last().text, "Restore file Error!! FileName : " + names[static_cast<size_t>(n - 1)]);
            for (int i = 0; i < 3; ++i) {
                const std::string& f = names[static_cast<size_t>(i)];
                EXPECT_EQ(te.fs.Content(Tex(f)), (i < n - 1 ? "orig-" : "new-") + f);
                EXPECT_EQ(te.fs.Content(Bak(f)), "orig-" + f);
            }
        }
    }
}

// The texture folder holds the installed set: its files are no originals.
// Only cld1, changed by the user since its backup, is backed up again (the
// shell copies it to a new name that replaces the backup); cld4 and sun6 are
// the set's own files and are left out, whether a backup exists or not.
TEST_F(RestoreTest, ReBackupOfTheCheckedFiles) {
    int sounds = 0;
    hooks.playButtonSound = [&] { return ++sounds, true; };
    ctl.mnuCheckOptionAll_Click();
    te.fs.Remove(Tex("cld3.bmp"));
    te.fs.AddFile(Tex("cld1.bmp"), "user-cld1");
    te.fs.SetModTime(Tex("cld1.bmp"), 300);
    te.fs.SetModTime(Bak("cld1.bmp"), 100);
    te.fs.SetModTime(Tex("cld2.bmp"), 100);
    te.fs.SetModTime(Bak("cld2.bmp"), 100);
    ctl.cmdBackUp_Click();
    EXPECT_EQ(sounds, 1);
    ASSERT_EQ(te.fs.ShellCalls().size(), 1u);
    EXPECT_EQ(te.fs.ShellCalls()[0].from, Tex("cld1.bmp"));
    EXPECT_EQ(te.fs.Content(Bak("cld1.bmp")), "user-cld1");
    EXPECT_EQ(te.fs.Content(Bak("cld2.bmp")), "orig-cld2.bmp");  // same time: left alone
    EXPECT_FALSE(te.fs.Exists(Bak("cld4.bmp")));
    EXPECT_FALSE(te.fs.Exists(Bak("sun6.bmp")));
    EXPECT_TRUE(CopyTempsIn(te.env, kBak).empty());
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().text,
              "Following files are not found in the Texture Folder.\r\n cld3.bmp\r\n\r\n" +
                  InstalledNotBackedUpText(" cld4.bmp\r\n sun6.bmp"));
    EXPECT_EQ(te.msg.Last().title, "Backup files");
    EXPECT_EQ(te.msg.Last().style, 48);
    EXPECT_EQ(te.sound.beeps, 1);

    // A set's file with a backup whose time differs: the backup keeps the
    // original. A file of the same name in another set counts too.
    te.fs.AddFile(Tex("cld2.bmp"), "other-set");
    te.fs.AddFile(Data("Strat\\cld2.bmp"), "other-set");
    te.msg.calls.clear();
    ctl.cmdBackUp_Click();
    EXPECT_EQ(te.fs.Content(Bak("cld2.bmp")), "orig-cld2.bmp");
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_NE(te.msg.Last().text.find(" cld2.bmp\r\n cld4.bmp\r\n sun6.bmp"), std::string::npos);
    EXPECT_EQ(te.fs.ShellCalls().size(), 1u);
}

// The shell copy of a re-backup never overwrites the backup in place: a
// cancelled, failed or refused copy leaves it whole and no temporary file.
TEST_F(RestoreTest, ReBackupThroughTheShellReplacesInOneStep) {
    te.fs.AddFile(Tex("cld1.bmp"), "user-cld1");
    te.fs.SetModTime(Tex("cld1.bmp"), 300);
    view.CheckOnly(Lst::lstClouds, {"cld1.bmp"});
    view.CheckOnly(Lst::lstOption, {});
    const struct {
        const char* what;
        std::function<void()> fault;
    } cases[] = {
        {"cancelled", [&] { te.fs.ScriptShell(0, true); }},
        {"cancelled after copying", [&] { te.fs.ScriptShell(0, true, true); }},
        {"copy fails", [&] { te.fs.ScriptShell(0x4C7, false, true); }},
        {"replace fails", [&] { te.fs.FailNth(FsOp::Replace, 1); }},
        {"backup read-only", [&] { te.fs.SetReadOnly(Bak("cld1.bmp")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        te.msg.calls.clear();
        c.fault();
        ctl.cmdBackUp_Click();
        EXPECT_EQ(te.fs.Content(Bak("cld1.bmp")), "orig-cld1.bmp");
        EXPECT_TRUE(CopyTempsIn(te.env, kBak).empty());
        ASSERT_EQ(te.msg.calls.size(), 1u);
        EXPECT_EQ(te.msg.Last().text, "Backup file Error!! FileName : cld1.bmp");
        te.fs.SetReadOnly(Bak("cld1.bmp"), false);
    }
    ctl.cmdBackUp_Click();
    EXPECT_EQ(te.fs.Content(Bak("cld1.bmp")), "user-cld1");
}

}  // namespace
}  // namespace vm
