// Situations, the splash rotation and install-and-start: the list and its
// descriptions, installing a situation's sets and start key, the next splash
// number, and what a press of the install-and-start button sets in motion.
#include <gtest/gtest.h>

#include "sim/launch.h"
#include "sim/splash.h"
#include "sim/situation.h"
#include "test_sets_view.h"

namespace vm {
namespace {

constexpr const char* kSit = "C:\\FS\\Flights";
constexpr const char* kCfg = "C:\\FS\\FS2002.CFG";

class SituationTest : public SetsFixture {
protected:
    SituationHooks sitHooks;
    SituationController sit{te.env, s, view, ctl, sitHooks};
    LaunchHooks launchHooks;
    LaunchController launch{te.env, s, view, ctl, sit, launchHooks};
    double interval = 0;
    std::vector<std::string> started;
    bool simWindow = false;

    SituationTest() {
        s.SituationEnabled = true;
        s.SituationLoc = "Flights";
        s.SituationDir = kSit;
        s.SituationCfgFile = "FS2002.CFG";
        s.SituationSection = "Startup";
        s.SituationKey = "Flight";
        s.FsExe[0] = "fs2002.exe";
        te.fs.AddDir(kSit);
        for (const char* set : {"Cumu", "Storm"}) te.fs.AddFile(Data(std::string(set) + "\\cld1.bmp"), set);
        te.fs.AddFile(Tex("cld1.bmp"), "orig");
        te.fs.AddFile(Bak("cld1.bmp"), "orig");
        LoadSets({"Cumu", "Storm"});
        sitHooks.autoRandomTime = [this] { return interval; };
        launchHooks.autoRandomTime = [this] { return interval; };
        launchHooks.simWindowExists = [this] { return simWindow; };
        launchHooks.startProcess = [this](const std::string& exe, const std::string&) {
            started.push_back(exe);
            return te.fs.Exists(exe);
        };
    }
    void Flight(const std::string& name, const std::string& vellmora, bool wx = true) {
        te.fs.AddFile(std::string(kSit) + "\\" + name + ".flt", "[Vellmora]\r\n" + vellmora);
        if (wx) te.fs.AddFile(std::string(kSit) + "\\" + name + ".wx");
    }
    void Choose(const std::string& name) {
        sit.FillSituationList();
        for (int i = 0; i < view.Count(Lst::lstFLT); ++i)
            if (view.Item(Lst::lstFLT, i) == name) view.Select(Lst::lstFLT, i);
    }
};

TEST(SituationText, LineBreaksAroundADescription) {
    const struct {
        const char* in;
        const char* lead;
        const char* both;
    } cases[] = {
        {"\r\n\r\nword\r\n", "word\r\n", "word"},
        {"  \r\n", "", ""},
        {"\r\n", "", ""},
        {"a\r\nb", "a\r\nb", "a\r\nb"},
        {"\r\n \r\n x \r\n", "\r\n x \r\n", "\r\n x"},  // a blank between stops the walk
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimLeadingBreaks(c.in), c.lead) << c.in;
        EXPECT_EQ(TrimTrailingBreaks(TrimLeadingBreaks(c.in)), c.both) << c.in;
    }
}

TEST_F(SituationTest, ListDescriptionAndPicture) {
    Flight("A", "ShownText=  Over the bay  \r\n");
    Flight("B", "", false);  // no weather file: not listed
    Flight("C", "");
    te.fs.AddFile(std::string(kSit) + "\\C.txt", "\r\n\r\nStorm front\r\n");
    te.fs.AddFile(std::string(kSit) + "\\C.jpg", "JPEG");
    Flight("D", "ShownText=Error\r\n");
    sit.FillSituationList();
    EXPECT_EQ(view.Texts(Lst::lstFLT), (std::vector<std::string>{"D", "C", "A"}));  // reverse of the search

    const struct {
        const char* name;
        const char* shown;
        bool picture;
    } cases[] = {{"A", "Over the bay", false}, {"C", "Storm front", true}, {"D", "D", false}};
    for (const auto& c : cases) {
        Choose(c.name);
        sit.lstFLT_Click();
        EXPECT_EQ(view.captions[Ctl::lblMsg], c.shown) << c.name;
        EXPECT_EQ(view.visible[Ctl::imgSky], c.picture) << c.name;
    }
    EXPECT_EQ(view.pictures.back(), std::string(kSit) + "\\C.jpg");
}

TEST_F(SituationTest, InstallTakesTheNamedSetsUpToTheFirstGapAndWritesTheStartKey) {
    Flight("A", "SkyFolder1=Storm\r\nSkyFolder3=Cumu\r\n");
    te.fs.AddFile(kCfg, "[Startup]\r\nFlight=old\r\n");
    Choose("A");
    te.msg.Answer({1});
    EXPECT_TRUE(sit.InstallSituation());
    EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), "Storm");
    EXPECT_EQ(s.LastInstalledSets, std::vector<std::string>{"Storm"});
    EXPECT_NE(te.fs.Content(kCfg).find("Flight=Flights\\A"), std::string::npos);

    sit.mnuClearSituation_Click();
    EXPECT_EQ(te.fs.Content(kCfg).find("Flight="), std::string::npos);

    // Without the configuration file: the sets still install, the file is
    // named, and clearing does nothing.
    te.fs.Remove(kCfg);
    te.msg.Answer({1});
    EXPECT_TRUE(sit.InstallSituation());
    EXPECT_EQ(te.msg.Last().title, "File Not Found");
    EXPECT_EQ(te.msg.Last().text, "Not found FS2002.CFG");
    sit.mnuClearSituation_Click();
    EXPECT_FALSE(te.fs.Exists(kCfg));

    view.Select(Lst::lstFLT, -1);
    EXPECT_FALSE(sit.InstallSituation());
    EXPECT_EQ(te.msg.Last().title, "No Slection");
    EXPECT_EQ(te.msg.Last().text, "No situation file is selected.");
}

TEST_F(SituationTest, NextSplashNumber) {
    const struct {
        const char* mode;
        int lastNo, count, expected;
    } cases[] = {
        {"order", 3, 3, 1}, {"order", 1, 3, 2}, {"order", 7, 3, 1},  // past the end: from the start
        {"order", -4, 3, 1}, {"sideways", 2, 3, 3},                   // any other mode: in order
        {"random", 1, 1, 1},                                          // one bitmap: always 1
        {"random", 2, 3, 3},                                          // never the last one again
    };
    te.random.Script({0.5, 0.5, 0.9});
    for (const auto& c : cases)
        EXPECT_EQ(NextSplashNumber(te.env, c.mode, c.lastNo, c.count), c.expected) << c.mode << c.lastNo;
    te.random.Script({0.4});  // answers 2 for ever
    EXPECT_EQ(NextSplashNumber(te.env, "random", 2, 3), 3);
}

TEST_F(SituationTest, InstallAndStartRotatesTheSplashAndStartsTheSimulatorOnce) {
    s.SplashEnabled = true;
    s.SplashDir = "C:\\Splash";
    s.SplashMode = "order";
    s.SplashLastNo = 3;
    for (int n = 1; n <= 3; ++n) te.fs.AddFile("C:\\Splash\\dlgsplash" + std::to_string(n) + ".bmp", "S" + std::to_string(n));
    te.fs.AddFile("C:\\FS\\UIRES\\dlgsplash.bmp", "own");
    te.fs.AddFile("C:\\FS\\fs2002.exe", "exe");
    launch.SplashCount = SplashSetup(te.env, s);
    EXPECT_EQ(launch.SplashCount, 3);
    EXPECT_EQ(te.fs.Content("C:\\FS\\UIRES\\dlgsplash(org).bmp"), "own");

    te.msg.Answer({1});
    launch.cmdInstAndStart_Pressed(false, false);
    EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), "Cumu");
    EXPECT_EQ(te.fs.Content("C:\\FS\\UIRES\\dlgsplash.bmp"), "S1");
    EXPECT_NE(te.fs.Content(kIni).find("LastNo=1"), std::string::npos);
    EXPECT_EQ(started, std::vector<std::string>{"C:\\FS\\fs2002.exe"});

    // Running already: no second copy. Shift: install only. Ctrl: start only,
    // once.
    simWindow = true;
    te.msg.Answer({1});
    launch.cmdInstAndStart_Pressed(false, false);
    simWindow = false;
    te.msg.Answer({1});
    launch.cmdInstAndStart_Pressed(true, false);
    EXPECT_EQ(started.size(), 1u);
    EXPECT_EQ(te.fs.Content("C:\\FS\\UIRES\\dlgsplash.bmp"), "S3");
    const size_t asked = te.msg.calls.size();
    launch.cmdInstAndStart_Pressed(false, true);
    EXPECT_EQ(te.msg.calls.size(), asked);  // nothing installed
    EXPECT_EQ(started.size(), 2u);

    // A splash copy that fails leaves the simulator's splash as it was.
    te.fs.FailNth(FsOp::Copy, 1);
    EXPECT_FALSE(RotateSplash(te.env, s, 3));
    EXPECT_EQ(te.fs.Content("C:\\FS\\UIRES\\dlgsplash.bmp"), "S1");

    // A missing executable is reported.
    te.fs.Remove("C:\\FS\\fs2002.exe");
    launch.cmdInstAndStart_Pressed(false, true);
    EXPECT_EQ(te.msg.Last().title, "FS Opening Error");
    EXPECT_EQ(te.msg.Last().text, "fs2002.exe can't be opened.");
}

}  // namespace
}  // namespace vm
