// The main window's set and file lists: what each event puts where.
#include <gtest/gtest.h>

#include "test_sets_view.h"

namespace vm {
namespace {

class SetListsTest : public SetsFixture {
protected:
    SetListsTest() {
        // Created out of name order: the lists keep the file system's order.
        for (const char* f : {"Alpha\\preview.gif", "Alpha\\cld1.bmp", "Alpha\\readme.txt", "Alpha\\Cld2.BMP",
                              "Alpha\\sun6.bmp", "Alpha\\preview.jpg", "Alpha\\Sun\\SUN6.BMP", "Alpha\\Sun\\a.txt",
                              "Alpha\\Moon\\moon.bmp", "Beta\\cldcn1.bmp", "Beta\\p.jpeg", "Beta\\q.gif",
                              "Gamma\\cirrus_overcast.bmp"})
            te.fs.AddFile(Data(f), "x");
        LoadSets({"Alpha", "Beta", "Gamma"});
    }
};

TEST_F(SetListsTest, FillingTheListsChoosesTheFirstSet) {
    EXPECT_EQ(view.Texts(Lst::cmbClouds), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(view.Texts(Lst::lstSky), view.Texts(Lst::cmbClouds));
    EXPECT_EQ(view.SelectedText(Lst::cmbClouds), "Alpha");
    EXPECT_EQ(view.SelectedText(Lst::lstSky), "Alpha");
    EXPECT_EQ(state.CurrentSet, "Alpha");
    EXPECT_EQ(view.Texts(Lst::lstClouds), (std::vector<std::string>{"cld1.bmp", "Cld2.BMP", "sun6.bmp"}));
    EXPECT_EQ(view.CheckedTexts(Lst::lstClouds), view.Texts(Lst::lstClouds));
    EXPECT_EQ(view.Texts(Lst::cmbOption), (std::vector<std::string>{"Sun", "Moon"}));
    EXPECT_EQ(view.SelectedText(Lst::cmbOption), "Sun");
    EXPECT_EQ(view.Texts(Lst::lstOption), std::vector<std::string>{"SUN6.BMP"});
    EXPECT_TRUE(view.CheckedTexts(Lst::lstOption).empty());
    ASSERT_FALSE(view.pictures.empty());
    EXPECT_EQ(view.pictures.back(), Data("Alpha\\preview.jpg"));  // jpg before gif
    EXPECT_EQ(view.captions[Ctl::lblMsg], "Alpha");
    EXPECT_TRUE(view.enabled[Ctl::cmdInst]);
}

TEST_F(SetListsTest, PreviewPrefersJpgThenJpegThenGif) {
    EXPECT_EQ(PickPreview(te.env, Data("Beta")), Data("Beta\\p.jpeg"));
    EXPECT_EQ(PickPreview(te.env, Data("Gamma")), "");
    view.Select(Lst::lstSky, 2);
    ctl.LstSky_Click();
    EXPECT_EQ(view.pictures.back(), "");  // a set without picture clears imgSky
}

TEST_F(SetListsTest, ChoosingInTheSkyListFollowsInTheComboAndRefills) {
    view.Select(Lst::lstSky, 1);
    ctl.LstSky_Click();
    EXPECT_EQ(view.SelectedText(Lst::cmbClouds), "Beta");
    EXPECT_EQ(view.Texts(Lst::lstClouds), std::vector<std::string>{"cldcn1.bmp"});
    EXPECT_TRUE(view.Texts(Lst::cmbOption).empty());
    EXPECT_TRUE(view.Texts(Lst::lstOption).empty());
    EXPECT_EQ(view.captions[Ctl::lblMsg], "Beta");
}

TEST_F(SetListsTest, RandomModeHidesPreviewAndName) {
    state.RandomMode = true;
    const size_t pictures = view.pictures.size();
    view.captions[Ctl::lblMsg] = "";
    ctl.ChooseSet(1);
    EXPECT_EQ(view.Texts(Lst::lstClouds), std::vector<std::string>{"cldcn1.bmp"});
    EXPECT_EQ(view.pictures.size(), pictures);
    EXPECT_EQ(view.captions[Ctl::lblMsg], "");
}

TEST_F(SetListsTest, AFileNameIsNeverCheckedInBothLists) {
    // Checking the option's SUN6.BMP unchecks the cloud list's sun6.bmp.
    view.lists[Lst::lstOption].items[0].checked = true;
    view.Select(Lst::lstOption, 0);
    ctl.lstOption_Click();
    EXPECT_EQ(view.CheckedTexts(Lst::lstClouds), (std::vector<std::string>{"cld1.bmp", "Cld2.BMP"}));
    EXPECT_EQ(view.captions[Ctl::lblMsg], "SUN6.BMP");

    // And back: checking it in the cloud list unchecks the option.
    view.lists[Lst::lstClouds].items[2].checked = true;
    view.Select(Lst::lstClouds, 2);
    ctl.lstClouds_Click();
    EXPECT_TRUE(view.CheckedTexts(Lst::lstOption).empty());
    EXPECT_EQ(view.captions[Ctl::lblMsg], "sun6.bmp");

    // Check All of the options takes the name out of the cloud list too.
    ctl.mnuCheckOptionAll_Click();
    EXPECT_EQ(view.CheckedTexts(Lst::lstOption), std::vector<std::string>{"SUN6.BMP"});
    EXPECT_EQ(view.CheckedTexts(Lst::lstClouds), (std::vector<std::string>{"cld1.bmp", "Cld2.BMP"}));
}

TEST_F(SetListsTest, CheckAllAndClearAllSetTheButtons) {
    ctl.mnuClearCloudAll_Click();
    EXPECT_TRUE(view.CheckedTexts(Lst::lstClouds).empty());
    EXPECT_FALSE(view.enabled[Ctl::cmdInst]);
    EXPECT_FALSE(view.enabled[Ctl::cmdInstAndStart]);
    EXPECT_FALSE(view.enabled[Ctl::cmdBackUp]);
    ctl.mnuCheckCloudAll_Click();
    EXPECT_EQ(view.CheckedTexts(Lst::lstClouds).size(), 3u);
    EXPECT_TRUE(view.enabled[Ctl::cmdInst]);
    EXPECT_TRUE(view.enabled[Ctl::cmdToOrg]);
    ctl.mnuCheckOptionAll_Click();
    ctl.mnuClearOptionAll_Click();
    EXPECT_TRUE(view.CheckedTexts(Lst::lstOption).empty());
}

TEST_F(SetListsTest, FilterLabels) {
    ctl.lblFilter_Click(2);
    EXPECT_EQ(view.Texts(Lst::lstSkyFil), std::vector<std::string>{"Beta"});
    EXPECT_EQ(view.SelectedText(Lst::cmbClouds), "Beta");  // the first set of the category is chosen
    EXPECT_TRUE(view.visible[Ctl::lstSkyFil]);
    EXPECT_FALSE(view.visible[Ctl::lstSky]);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(view.filterColors[i], i == 2 ? 0xC0u : 0xFF0000u) << i;

    ctl.lblFilter_Click(3);  // an empty category leaves the lists as they were
    EXPECT_TRUE(view.Texts(Lst::lstSkyFil).empty());
    EXPECT_TRUE(view.visible[Ctl::lstSkyFil]);
    EXPECT_EQ(view.filterColors[3], 0xC0u);

    ctl.lblFilter_Click(0);
    EXPECT_EQ(view.SelectedText(Lst::lstSky), "Alpha");
    EXPECT_EQ(view.SelectedText(Lst::cmbClouds), "Alpha");
    EXPECT_TRUE(view.visible[Ctl::lstSky]);
    EXPECT_FALSE(view.visible[Ctl::lstSkyFil]);

    state.RandomMode = true;
    ctl.lblFilter_Click(4);
    EXPECT_EQ(view.filterColors[4], 0xFF0000u);
    EXPECT_TRUE(view.Texts(Lst::lstSkyFil).empty());
}

TEST_F(SetListsTest, FilteredListChoosesTheSet) {
    ctl.lblFilter_Click(4);
    view.Select(Lst::lstSkyFil, 0);
    ctl.lstSkyFil_Click();
    EXPECT_EQ(view.SelectedText(Lst::cmbClouds), "Gamma");
    EXPECT_EQ(view.Texts(Lst::lstClouds), std::vector<std::string>{"cirrus_overcast.bmp"});
}

TEST_F(SetListsTest, SkyModeLayouts) {
    struct Case {
        bool files, random, backupFunc;
        bool comboVisible, skyVisible, filtersVisible, backupEnabled;
    } cases[] = {
        {true, false, true, true, false, false, true},
        {false, false, true, false, true, true, true},
        {true, true, true, false, false, false, false},
        {false, true, true, false, false, false, false},
        {true, false, false, true, false, false, false},  // backup function off: stays disabled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.files << c.random << c.backupFunc);
        view.visible.clear();
        view.enabled.clear();
        s.ShowSkyFiles = c.files;
        s.BackupEnabled = c.backupFunc;
        state.RandomMode = c.random;
        ctl.optSky_Click();
        EXPECT_EQ(view.visible.count(Ctl::cmbClouds) && view.visible[Ctl::cmbClouds], c.comboVisible);
        EXPECT_EQ(view.visible.count(Ctl::lstSky) && view.visible[Ctl::lstSky], c.skyVisible);
        EXPECT_EQ(view.visible.count(Ctl::lblFilter) && view.visible[Ctl::lblFilter], c.filtersVisible);
        EXPECT_EQ(view.enabled.count(Ctl::cmdBackUp) && view.enabled[Ctl::cmdBackUp], c.backupEnabled);
        EXPECT_FALSE(view.visible[Ctl::lstFLT]);
        EXPECT_EQ(view.captions[Ctl::lblFunc], "Sky");
    }
}

TEST_F(SetListsTest, NamesAreKeptAsTheFileSystemGivesThem) {
    te.fs.AddFile(Data("Odd\\a b.bmp"));
    te.fs.AddFile(Data("Odd\\\xC4rger Wolke.BMP"));
    te.fs.AddFile(Data("Odd\\x.bmpx"));  // no: the name must end in .bmp
    for (int i = 0; i < 500; ++i) te.fs.AddFile(Data("Odd\\n" + std::to_string(i) + ".bmp"));
    ctl.FillCloudFiles("Odd");
    ASSERT_EQ(view.Count(Lst::lstClouds), 502);
    EXPECT_EQ(view.Item(Lst::lstClouds, 0), "a b.bmp");
    EXPECT_EQ(view.Item(Lst::lstClouds, 1), "\xC4rger Wolke.BMP");
    EXPECT_EQ(view.CheckedTexts(Lst::lstClouds).size(), 502u);
}

}  // namespace
}  // namespace vm
