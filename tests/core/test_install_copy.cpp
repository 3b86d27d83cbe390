// The copy step of installs and restores: a read-only texture file is refused
// with a message, leaving nothing behind that would block later copies; a
// source that disappears after the report is skipped.
#include <gtest/gtest.h>

#include "sets/backup.h"
#include "test_sets_view.h"

namespace vm {
namespace {

class InstallCopyTest : public SetsFixture {
protected:
    InstallCopyTest() {
        for (const char* n : {"cld1.bmp", "cld2.bmp", "cld3.bmp"}) {
            te.fs.AddFile(Data(std::string("Cumu\\") + n), std::string("new-") + n);
            te.fs.AddFile(Tex(n), std::string("orig-") + n);
        }
        te.fs.SetReadOnly(Tex("cld2.bmp"));
        LoadSets({"Cumu"});
    }
    std::string At(const char* n) { return te.fs.Content(Tex(n)); }
};

TEST_F(InstallCopyTest, ReadOnlyTextureRefusedWithAMessageAndNoTemporaryFileLeft) {
    te.msg.Answer({6, 1});
    EXPECT_FALSE(ctl.InstallSet());
    ASSERT_EQ(te.msg.calls.size(), 3u);
    EXPECT_EQ(te.msg.Last().text,
              "Install file Error!! FileName : cld2.bmp\r\nThe file in the Texture folder is read-only.");
    EXPECT_EQ(te.msg.Last().title, "File Copy Error");
    EXPECT_EQ(te.msg.Last().style, 16);
    // Refused before the first copy: the set is not half installed.
    EXPECT_EQ(At("cld1.bmp"), "orig-cld1.bmp");
    EXPECT_EQ(At("cld2.bmp"), "orig-cld2.bmp");
    EXPECT_EQ(At("cld3.bmp"), "orig-cld3.bmp");
    EXPECT_TRUE(s.LastInstalledSets.empty());
    // The backup of a read-only file is an ordinary file: it can be restored
    // and backed up again.
    EXPECT_EQ(te.fs.Content(Bak("cld2.bmp")), "orig-cld2.bmp");
    EXPECT_FALSE(te.fs.IsReadOnly(Bak("cld2.bmp")));

    // Restoring copies a read-only backup: it must not stay behind as the
    // temporary file when the texture file refuses it.
    te.msg.Answer({1});
    ctl.cmdToOrg_Click();
    EXPECT_EQ(te.msg.Last().text,
              "Restore file Error!! FileName : cld2.bmp\r\nThe file in the Texture folder is read-only.");
    EXPECT_EQ(te.msg.Last().title, "File Copy Error");
    EXPECT_EQ(At("cld1.bmp"), "orig-cld1.bmp");
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());

    // The other files still install, silently under AutoRandom...
    view.CheckOnly(Lst::lstClouds, {"cld1.bmp", "cld3.bmp"});
    te.msg.Answer({1});
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(At("cld3.bmp"), "new-cld3.bmp");
    autoRandom = true;
    view.CheckOnly(Lst::lstClouds, {"cld2.bmp"});
    const size_t shown = te.msg.calls.size();
    EXPECT_FALSE(ctl.InstallSet());
    EXPECT_EQ(te.msg.calls.size(), shown);
    autoRandom = false;

    // ...and once the user clears the attribute, the file goes both ways.
    te.fs.SetReadOnly(Tex("cld2.bmp"), false);
    te.msg.Answer({1});
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(At("cld2.bmp"), "new-cld2.bmp");
    te.msg.Answer({1});
    ctl.cmdToOrg_Click();
    EXPECT_EQ(At("cld2.bmp"), "orig-cld2.bmp");
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
}

TEST_F(InstallCopyTest, ASourceDeletedWhileTheReportIsShownIsSkipped) {
    te.fs.SetReadOnly(Tex("cld2.bmp"), false);
    te.msg.onShow = [&](const ScriptedMessages::Call& c) {
        if (c.title == "Installation") te.fs.Remove(Data("Cumu\\cld2.bmp"));
    };
    te.msg.Answer({6, 1});
    EXPECT_TRUE(ctl.InstallSet());
    EXPECT_EQ(te.msg.calls.size(), 2u);
    EXPECT_EQ(At("cld1.bmp"), "new-cld1.bmp");
    EXPECT_EQ(At("cld2.bmp"), "orig-cld2.bmp");
    EXPECT_EQ(At("cld3.bmp"), "new-cld3.bmp");
    EXPECT_EQ(s.LastInstalledSets, std::vector<std::string>{"Cumu"});
    EXPECT_TRUE(CopyTempsIn(te.env, kTex).empty());
}

}  // namespace
}  // namespace vm
