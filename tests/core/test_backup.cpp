// Backup copies: one file, a list, everything a data set could replace, and
// the first backup while cloud.ini is loaded.
#include <gtest/gtest.h>

#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sets/backup.h"
#include "test_sets_view.h"

namespace vm {
namespace {

class BackupTest : public SetsFixture {
protected:
    BackupTest() { te.fs.AddFile(Tex("a.bmp"), "tex-a"); }
};

TEST_F(BackupTest, BackupCopyCases) {
    struct Case {
        const char* name;
        bool backupExists, sameTime, overwrite, shell;
        bool result;
        const char* backup;  // content afterwards, "" = none
        size_t shellCalls;
    } cases[] = {
        {"dest missing", false, false, true, false, true, "tex-a", 0},
        {"same time", true, true, true, false, true, "old", 0},
        {"no overwrite", true, false, false, true, true, "old", 0},
        {"changed", true, false, true, false, true, "tex-a", 0},
        {"changed, shell", true, false, true, true, true, "tex-a", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        te.fs.AddDir(kBak);
        if (te.fs.Exists(Bak("a.bmp"))) te.fs.Remove(Bak("a.bmp"));
        te.fs.SetModTime(Tex("a.bmp"), 100);
        if (c.backupExists) {
            te.fs.AddFile(Bak("a.bmp"), "old");
            te.fs.SetModTime(Bak("a.bmp"), c.sameTime ? 100 : 50);
        }
        const size_t shellBefore = te.fs.ShellCalls().size();
        EXPECT_EQ(ctl.BackupCopy(Tex("a.bmp"), Bak("a.bmp"), c.overwrite, c.shell), c.result);
        EXPECT_EQ(te.fs.Content(Bak("a.bmp")), c.backup);
        EXPECT_EQ(te.fs.ShellCalls().size() - shellBefore, c.shellCalls);
        EXPECT_TRUE(CopyTempsIn(te.env, kBak).empty());
    }
    ASSERT_FALSE(te.fs.ShellCalls().empty());
    const auto& call = te.fs.ShellCalls().back();
    EXPECT_EQ(call.op, 2u);
    // Simple progress, to a file name: a new temporary copy beside the
    // backup, which then replaces it in one step.
    EXPECT_EQ(call.flags, 0x103u);
    EXPECT_EQ(ParentPath(call.to), kBak);
    EXPECT_TRUE(IsCopyTempName(call.to.substr(call.to.rfind('\\') + 1))) << call.to;
    EXPECT_TRUE(te.msg.calls.empty());

    EXPECT_FALSE(ctl.BackupCopy(Tex("none.bmp"), Bak("none.bmp"), true, false));
    EXPECT_FALSE(te.fs.Exists(Bak("none.bmp")));
}

TEST_F(BackupTest, FailedShellCopyIsReported) {
    te.fs.AddFile(Bak("a.bmp"), "old");
    te.fs.SetModTime(Bak("a.bmp"), 1);
    te.fs.ScriptShell(0, true);  // the user cancelled
    EXPECT_FALSE(ctl.BackupCopy(Tex("a.bmp"), Bak("a.bmp"), true, true));
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().text, "Backup file Error!! FileName : a.bmp");
    EXPECT_EQ(te.msg.Last().title, "File Copy Error");
    EXPECT_EQ(te.msg.Last().style, 16);
    EXPECT_EQ(te.fs.Content(Bak("a.bmp")), "old");
}

TEST_F(BackupTest, BackupListCreatesTheFolderAndStopsAtTheFirstFailure) {
    EXPECT_TRUE(ctl.BackupList({}, false, false));
    EXPECT_FALSE(te.fs.Exists(kBak));

    te.fs.AddFile(Tex("c.bmp"), "tex-c");
    view.msgHistory.clear();
    EXPECT_FALSE(ctl.BackupList({"a.bmp", "b.bmp", "c.bmp"}, false, false));  // b.bmp is not in the texture folder
    EXPECT_EQ(te.fs.Content(Bak("a.bmp")), "tex-a");
    EXPECT_FALSE(te.fs.Exists(Bak("c.bmp")));
    EXPECT_EQ(view.msgHistory, (std::vector<std::string>{"Copying a.bmp", "Copying b.bmp"}));

    view.msgHistory.clear();
    EXPECT_TRUE(ctl.BackupList({"a.bmp", "c.bmp"}, false, false));
    EXPECT_EQ(view.msgHistory, (std::vector<std::string>{"Copying a.bmp", "Copying c.bmp", ""}));
}

TEST_F(BackupTest, BackupAllCoversEveryNameADataSetHolds) {
    te.fs.AddFile(Tex("b.bmp"), "tex-b");
    te.fs.AddFile(Tex("other.bmp"), "tex-o");
    te.fs.AddFile(Data("One\\a.bmp"));
    te.fs.AddFile(Data("One\\p.jpg"));
    te.fs.AddFile(Data("One\\Sun\\b.bmp"));
    te.fs.AddFile(Data("Two\\A.BMP"));
    te.fs.AddFile(Data("Two\\c.bmp"));  // not a simulator file
    view.msgHistory.clear();
    EXPECT_TRUE(ctl.BackupAll(false, false));
    EXPECT_EQ(te.fs.Content(Bak("a.bmp")), "tex-a");
    EXPECT_EQ(te.fs.Content(Bak("b.bmp")), "tex-b");
    EXPECT_FALSE(te.fs.Exists(Bak("other.bmp")));
    EXPECT_FALSE(te.fs.Exists(Bak("c.bmp")));
    EXPECT_EQ(view.msgHistory, (std::vector<std::string>{"Copying a.bmp", "Copying b.bmp", ""}));
}

TEST_F(BackupTest, ReBackupOfAllWithAFaultKeepsEveryBackup) {
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) names.push_back("f" + std::to_string(i) + ".bmp");
    auto setUp = [&] {
        for (const auto& n : names) {
            te.fs.AddFile(Data("Set\\" + n));
            te.fs.AddFile(Tex(n), "now-" + n);
            te.fs.SetModTime(Tex(n), 200);
            te.fs.AddFile(Bak(n), "was-" + n);
            te.fs.SetModTime(Bak(n), 100);
        }
    };
    for (FsOp op : {FsOp::Copy, FsOp::Replace}) {
        for (int n = 1; n <= 6; ++n) {
            SCOPED_TRACE(testing::Message() << int(op) << " " << n);
            setUp();
            te.msg.calls.clear();
            te.fs.FailNth(op, n);
            ctl.mnuBkAll_Click();
            ASSERT_EQ(te.msg.calls.size(), 1u);
            EXPECT_EQ(te.msg.Last().text, "Re-backup procedure was failed !!");
            EXPECT_EQ(te.msg.Last().title, "re-backup Error");
            EXPECT_EQ(te.msg.Last().style, 16);
            int renewed = 0;
            for (const auto& f : names) {
                const std::string c = te.fs.Content(Bak(f));
                EXPECT_TRUE(c == "was-" + f || c == "now-" + f) << f << ": " << c;
                renewed += c == "now-" + f;
            }
            EXPECT_EQ(renewed, n - 1);
        }
    }
    const int beeps = te.sound.beeps;
    te.msg.calls.clear();
    setUp();
    ctl.mnuBkAll_Click();
    EXPECT_TRUE(te.msg.calls.empty());
    EXPECT_EQ(te.fs.Content(Bak("f5.bmp")), "now-f5.bmp");
    EXPECT_EQ(te.sound.beeps, beeps + 1);
}

class BackupAtLoadTest : public BackupTest {
protected:
    BackupAtLoadTest() {
        te.fs.AddFile(Tex("b.bmp"), "tex-b");
        te.fs.AddFile(Data("One\\a.bmp"));
    }
};

TEST_F(BackupAtLoadTest, AsksOnlyWhenTheBackupFolderIsMissing) {
    s.BackupDir = kData;  // exists
    ctl.BackupAtLoad();
    s.BackupDir = kBak;
    s.BackupEnabled = false;
    ctl.BackupAtLoad();
    EXPECT_TRUE(te.msg.calls.empty());

    s.BackupEnabled = true;
    te.msg.Answer({7});
    ctl.BackupAtLoad();
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().text, "Original texture files will be backup to\r\nC:\\FS\\texture\\bk");
    EXPECT_EQ(te.msg.Last().title, "BackUp Original");
    EXPECT_EQ(te.msg.Last().style, 68);
    EXPECT_FALSE(te.fs.Exists(kBak));
    EXPECT_EQ(view.mainShown, 0);
}

TEST_F(BackupAtLoadTest, AllOrTheListedFiles) {
    Ini("[AppName]\r\nName=V\r\n[ToBeBackuped]\r\nbk=ALL\r\n");
    te.msg.Answer({6});
    ctl.BackupAtLoad();
    EXPECT_EQ(te.fs.Content(Bak("a.bmp")), "tex-a");
    EXPECT_FALSE(te.fs.Exists(Bak("b.bmp")));
    EXPECT_EQ(view.mainShown, 1);
    EXPECT_TRUE(view.enabled[Ctl::cmdInst]);

    s.BackupDir = "C:\\FS\\texture\\bk2";
    Ini("[AppName]\r\nName=V\r\n[ToBeBackuped]\r\nbk1=b.bmp\r\nbk2=a.bmp\r\nbk4=zz.bmp\r\n");
    te.msg.Answer({6});
    clsCfgRead reader(te.env);  // the loader's reader
    reader.FileName = kIni;
    ctl.BackupAtLoad(reader);
    EXPECT_EQ(te.fs.Content(s.BackupDir + "\\a.bmp"), "tex-a");
    EXPECT_EQ(te.fs.Content(s.BackupDir + "\\b.bmp"), "tex-b");
    EXPECT_FALSE(te.fs.Exists(s.BackupDir + "\\zz.bmp"));
}

TEST_F(BackupAtLoadTest, AFailedBackupEndsTheProgram) {
    Ini("[AppName]\r\nName=V\r\n[ToBeBackuped]\r\nbk1=a.bmp\r\nbk2=missing.bmp\r\n");
    te.msg.Answer({6});
    EXPECT_THROW(ctl.BackupAtLoad(), ProgramEnd);
    EXPECT_EQ(te.msg.Last().text, "Process was stopped.");
    EXPECT_EQ(te.msg.Last().title, "ini read Error");
    EXPECT_EQ(te.msg.Last().style, 16);
    EXPECT_EQ(te.fs.Content(Bak("a.bmp")), "tex-a");
}

// [ToBeBackuped] values that are no file names of the texture folder (a
// path, a drive, a wildcard, nothing) are left out of the first backup and
// named once in its question; the others are backed up.
TEST_F(BackupAtLoadTest, NamesThatAreNoTextureFileNamesAreLeftOut) {
    te.fs.AddFile("C:\\FS\\fs2002.cfg", "simulator's");
    te.fs.AddFile("C:\\secret.txt", "elsewhere");
    Ini("[AppName]\r\nName=V\r\n[ToBeBackuped]\r\nbk1=a.bmp\r\nbk2=..\\fs2002.cfg\r\nbk3=C:\\secret.txt\r\n"
        "bk4=C:secret.txt\r\nbk5=sub/b.bmp\r\nbk6=*.bmp\r\nbk7=\r\nbk8=..\r\nbk9=b.bmp\r\n");
    te.msg.Answer({6});
    ctl.BackupAtLoad();
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().text,
              "Original texture files will be backup to\r\nC:\\FS\\texture\\bk\r\n\r\n"
              "Following [ToBeBackuped] names are not file names of the Texture Folder.\r\nThey are left out.\r\n"
              " ..\\fs2002.cfg\r\n C:\\secret.txt\r\n C:secret.txt\r\n sub/b.bmp\r\n *.bmp\r\n \r\n ..");
    EXPECT_EQ(te.msg.Last().title, "BackUp Original");
    EXPECT_EQ(te.fs.Content(Bak("a.bmp")), "tex-a");
    EXPECT_EQ(te.fs.Content(Bak("b.bmp")), "tex-b");
    EXPECT_FALSE(te.fs.Exists(Bak("fs2002.cfg")));
    EXPECT_FALSE(te.fs.Exists(Bak("secret.txt")));

    // Declined: nothing is backed up, whatever the list.
    s.BackupDir = "C:\\FS\\texture\\bk2";
    te.msg.Answer({7});
    ctl.BackupAtLoad();
    EXPECT_FALSE(te.fs.Exists(s.BackupDir));
}

}  // namespace
}  // namespace vm
