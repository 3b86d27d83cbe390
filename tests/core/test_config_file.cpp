// clsCfgRead, clsCfgWrite and the write-back rule.
#include <gtest/gtest.h>

#include "config/cfg_file.h"
#include "fakes.h"

namespace vm {
namespace {

const char* const kIni = "C:\\Prog\\cloud.ini";

class CfgFileTest : public ::testing::Test {
protected:
    TestEnv t;

    std::string Read(const std::string& section, const std::string& key, const std::string& file = kIni) {
        clsCfgRead rd(t.env);
        rd.FileName = file;
        rd.Section = section;
        rd.Key = key;
        std::string v = rd.Data();
        failed = rd.ReadFailed;
        return v;
    }
    bool failed = false;
};

TEST_F(CfgFileTest, MissingFileIsReportedAndReadsEmpty) {
    EXPECT_EQ(Read("AppName", "Name", "C:\\Prog\\none.ini"), "");
    EXPECT_TRUE(failed);
    ASSERT_EQ(t.msg.calls.size(), 1u);
    EXPECT_EQ(t.msg.Last().title, "Class cfgRead");
    EXPECT_EQ(t.msg.Last().text, "Filename is not correctly. this is bug!!");
    EXPECT_EQ(t.msg.Last().style, 64);
}

TEST_F(CfgFileTest, ValuesListsAndTheErrorDefault) {
    t.fs.AddFile(kIni, "");
    EXPECT_EQ(Read("AppName", "Name"), "Error");  // empty file
    EXPECT_FALSE(failed);

    t.fs.AddFile(kIni, "[AppName]\r\nName=Vellmora\r\nOther=1\r\n[sound]\r\nCh1Vol=40\r\n");
    EXPECT_EQ(Read("appname", "NAME"), "Vellmora");
    EXPECT_EQ(Read("AppName", "Missing"), "Error");
    EXPECT_EQ(Read("NoSection", "Name"), "Error");
    // Lists lose their terminating NULs; names stay NUL-separated.
    EXPECT_EQ(Read("", ""), std::string("AppName\0sound", 13));
    EXPECT_EQ(Read("AppName", ""), std::string("Name\0Other", 10));
    EXPECT_TRUE(t.msg.calls.empty());
}

TEST_F(CfgFileTest, LongValueIsCutByTheBuffer) {
    t.fs.AddFile(kIni, "[A]\r\nK=" + std::string(5000, 'v') + "\r\n");
    EXPECT_EQ(Read("A", "K"), std::string(clsCfgRead::kBufferSize - 1, 'v'));
}

TEST_F(CfgFileTest, WriteAndDeleteThenStoreModificationTime) {
    t.fs.AddFile(kIni, "[Sound]\r\nCh1Vol=40\r\nMusicFile1=a.mp3\r\n");
    Settings s;
    s.IniTime = 1;
    t.fs.SetNow(45100.0);
    WriteBack(t.env, s, "Sound", "Ch1Vol", "75");
    EXPECT_EQ(Read("Sound", "Ch1Vol"), "75");
    EXPECT_EQ(s.IniTime, *t.fs.ModTime(kIni));
    EXPECT_GE(s.IniTime, 45100.0);

    const double before = s.IniTime;
    WriteBack(t.env, s, "Sound", "MusicFile1", "");  // empty value deletes the key
    EXPECT_EQ(Read("Sound", "MusicFile1"), "Error");
    EXPECT_EQ(Read("Sound", "Ch1Vol"), "75");
    EXPECT_GT(s.IniTime, before);

    WriteBack(t.env, s, "Set3", "Random", "off");  // a new section
    EXPECT_EQ(Read("Set3", "Random"), "off");
    EXPECT_TRUE(t.msg.calls.empty());
}

}  // namespace
}  // namespace vm
