// The last-installed record: its limit, its report and its keys in cloud.ini.
#include <gtest/gtest.h>

#include "sets/last_installed.h"
#include "test_sets_view.h"

namespace vm {
namespace {

class LastInstalledTest : public SetsFixture {
protected:
    void Record(std::initializer_list<std::pair<const char*, const char*>> pairs) {
        s.LastInstalledSets.clear();
        s.LastInstalledTypes.clear();
        for (const auto& [name, type] : pairs) {
            s.LastInstalledSets.push_back(name);
            s.LastInstalledTypes.push_back(type);
        }
    }
    std::string Key(const std::string& key) {
        const std::string section = "LastInstalled";
        return te.profile.Get(&section, &key, "Error", 2048, kIni);
    }
};

TEST_F(LastInstalledTest, TheLimitCutsTheOldestPairsAtTheNextInstallation) {
    Record({{"A", "Cumulus"}, {"B", "Sun"}, {"C", "Moon"}, {"D", "Thunder"}, {"E", "Smoke"}});
    s.LastInstCount = 3;
    AddLastInstalled(s, "F", "Stratus");
    EXPECT_EQ(s.LastInstalledSets, (std::vector<std::string>{"D", "E", "F"}));
    EXPECT_EQ(s.LastInstalledTypes, (std::vector<std::string>{"Thunder", "Smoke", "Stratus"}));
    s.LastInstCount = 1;
    AddLastInstalled(s, "G", "Cirrus");
    EXPECT_EQ(s.LastInstalledSets, std::vector<std::string>{"G"});
    EXPECT_EQ(s.LastInstalledTypes, std::vector<std::string>{"Cirrus"});
}

TEST_F(LastInstalledTest, ReportLayout) {
    const std::string head =
        "============ Last set installed ============\r\n"
        "Lower number on the screen,\r\n"
        "                are the latest set installed.\r\n"
        "--------------------------------------------\r\n"
        "No.   DataType     SetName\r\n"
        "--------------------------------------------\r\n";
    Record({});
    EXPECT_EQ(LastInstalledReport(s), head + "No Data was not installed.");

    s.LastInstCount = 20;
    Record({{"Old", "Sun"}});
    for (int i = 2; i <= 12; ++i) AddLastInstalled(s, "Set " + std::to_string(i), i == 12 ? "Cumulus" : "Raindrop");
    const std::string text = LastInstalledReport(s);
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(head.size(), 24), "1" + std::string(5, ' ') + "Sun" + std::string(10, ' ') + "Old\r\n");
    const std::string last = "12" + std::string(4, ' ') + "Cumulus" + std::string(6, ' ') + "Set 12\r\n";
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    ctl.mnuLastInst_Click();
    EXPECT_EQ(te.msg.Last().title, "Last Installed Data");
    EXPECT_EQ(te.msg.Last().style, 0);
    EXPECT_EQ(te.msg.Last().text, text);
}

TEST_F(LastInstalledTest, LongFieldsAreNotCut) {
    Record({{"N", "AVeryLongDataType"}});
    const std::string text = LastInstalledReport(s);
    EXPECT_EQ(text.substr(text.size() - 26), "1     AVeryLongDataTypeN\r\n");
}

TEST_F(LastInstalledTest, SavingWritesThePairsAndDeletesStaleKeys) {
    Ini("[AppName]\r\nName=V\r\n[LastInstalled]\r\nNumberOfDisp=2\r\n1=a,Sun\r\n2=b,Sun\r\n3=c,Sun\r\n4=d,Sun\r\n"
        "6=f,Sun\r\n[Other]\r\n5=keep\r\n");
    te.fs.SetModTime(kIni, 10);
    s.IniTime = 10;
    Record({{"Cumulus 3", "Cumulus"}, {"Random Clouds", "Thunder"}});
    SaveLastInstalled(te.env, s);
    EXPECT_EQ(Key("1"), "Cumulus 3,Cumulus");
    EXPECT_EQ(Key("2"), "Random Clouds,Thunder");
    EXPECT_EQ(Key("3"), "Error");
    EXPECT_EQ(Key("4"), "Error");
    EXPECT_EQ(Key("6"), "f,Sun");  // after the first missing key nothing is read
    EXPECT_EQ(Key("NumberOfDisp"), "2");
    const std::string other = "Other", five = "5";
    EXPECT_EQ(te.profile.Get(&other, &five, "Error", 2048, kIni), "keep");
    EXPECT_NE(s.IniTime, 10);
    EXPECT_EQ(s.IniTime, *te.fs.ModTime(kIni));
}

TEST_F(LastInstalledTest, NothingIsSavedWithoutARecordOrWithoutCloudIni) {
    const std::string before = "[LastInstalled]\r\n1=a,Sun\r\n";
    Ini(before);
    Record({});
    SaveLastInstalled(te.env, s);
    EXPECT_EQ(te.fs.Content(kIni), before);

    te.fs.Remove(kIni);
    Record({{"A", "Sun"}});
    SaveLastInstalled(te.env, s);
    EXPECT_FALSE(te.fs.Exists(kIni));
    EXPECT_TRUE(te.msg.calls.empty());
}

}  // namespace
}  // namespace vm
