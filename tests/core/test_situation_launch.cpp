// Situations, the splash rotation and install-and-start: the list and its
// descriptions, installing a situation's sets and start key, the next splash
// number, and what a press of the install-and-start button sets in motion.
#include <gtest/gtest.h>

#include <functional>

#include "config/detect.h"
#include "sets/backup.h"
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

// CfgFile is relative to the simulator folder and never leaves it.
TEST(SituationCfgFile, ResolvedInsideTheSimulatorFolder) {
    using P = CfgTarget::Place;
    const struct {
        const char* cfg;
        const char* section;
        const char* key;
        P place;
        const char* pathOrMissing;
    } cases[] = {
        {"FS2002.CFG", "Startup", "Flight", P::Ok, "C:\\FS\\FS2002.CFG"},
        {"cfg/sub\\fs.cfg", "Startup", "Flight", P::Ok, "C:\\FS\\cfg\\sub\\fs.cfg"},
        {".\\a\\..\\b\\\\fs.cfg", "S", "K", P::Ok, "C:\\FS\\b\\fs.cfg"},  // back down inside
        {"..\\FS2002.CFG", "S", "K", P::Outside, ""},
        {"a\\..\\..\\FS\\FS2002.CFG", "S", "K", P::Outside, ""},  // climbs out and back
        {"../../Windows/win.ini", "S", "K", P::Outside, ""},
        {"\\Windows\\win.ini", "S", "K", P::Outside, ""},
        {"/etc.cfg", "S", "K", P::Outside, ""},
        {"\\\\server\\share\\fs.cfg", "S", "K", P::Outside, ""},
        {"C:\\Windows\\win.ini", "S", "K", P::Outside, ""},
        {"D:fs.cfg", "S", "K", P::Outside, ""},
        {"FS2002.CFG:stream", "S", "K", P::Outside, ""},
        {"*.cfg", "S", "K", P::Outside, ""},
        {"...\\fs.cfg", "S", "K", P::Outside, ""},
        {"a\\..", "S", "K", P::Outside, ""},  // the folder itself
        {"", "Startup", "Flight", P::NotGiven, "CfgFile"},
        {"  ", "Startup", "Flight", P::NotGiven, "CfgFile"},
        {"FS2002.CFG", "", "Flight", P::NotGiven, "Section"},
        {"FS2002.CFG", "Startup", "", P::NotGiven, "Key"},
    };
    for (const auto& c : cases) {
        Settings s;
        s.FsDir = "C:\\FS";
        s.SituationCfgFile = c.cfg;
        s.SituationSection = c.section;
        s.SituationKey = c.key;
        const CfgTarget t = ResolveCfgFile(s);
        EXPECT_EQ(t.place, c.place) << c.cfg;
        EXPECT_EQ(c.place == P::NotGiven ? t.missing : t.path, c.pathOrMissing) << c.cfg;
    }
}

// Whatever is wrong with the configuration file, the situation's sets are
// installed, a message says what, nothing is written, and the success sound
// is not played.
TEST_F(SituationTest, TheStartKeyIsWrittenOnlyInsideAndOnlyWhenItCanBe) {
    int sounds = 0;
    sitHooks.playButtonSound = [&] { return ++sounds, true; };
    Flight("A", "SkyFolder1=Storm\r\n");
    te.fs.AddFile(kCfg, "[Startup]\r\nFlight=old\r\n");
    te.fs.AddFile("C:\\FS.CFG", "[Startup]\r\nFlight=outside\r\n");
    Choose("A");
    const struct {
        const char* what;
        const char* cfg;
        const char* key;
        std::function<void()> fault;
        const char* title;
        const char* text;
    } cases[] = {
        {"escapes", "..\\FS.CFG", "Flight", [] {}, "CfgFile Error",
         "[Situation] CfgFile must name a file inside the simulator folder.\r\nCfgFile=..\\FS.CFG"},
        {"absolute", "C:\\FS.CFG", "Flight", [] {}, "CfgFile Error",
         "[Situation] CfgFile must name a file inside the simulator folder.\r\nCfgFile=C:\\FS.CFG"},
        {"no CfgFile", "", "Flight", [] {}, "File Not Found", "Not found [Situation] CfgFile in cloud.ini"},
        {"no Key", "FS2002.CFG", "", [] {}, "File Not Found", "Not found [Situation] Key in cloud.ini"},
        {"no file", "Missing.cfg", "Flight", [] {}, "File Not Found", "Not found Missing.cfg"},
        {"read-only", "FS2002.CFG", "Flight", [&] { te.fs.SetReadOnly(kCfg); }, "File Write Error",
         "Can't write to FS2002.CFG\r\nThe file may be read-only or in use by the simulator."},
        {"locked", "FS2002.CFG", "Flight", [&] { te.fs.Lock(kCfg); }, "File Write Error",
         "Can't write to FS2002.CFG\r\nThe file may be read-only or in use by the simulator."},
        {"write fails", "FS2002.CFG", "Flight", [&] { te.fs.FailNth(FsOp::Write, 1, 2); }, "File Write Error",
         "Can't write to FS2002.CFG\r\nThe file may be read-only or in use by the simulator."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.SituationCfgFile = c.cfg;
        s.SituationKey = c.key;
        te.fs.AddFile(Tex("cld1.bmp"), "orig");
        c.fault();
        const int beeps = te.sound.beeps;
        te.msg.Answer({1});
        EXPECT_TRUE(sit.InstallSituation());
        EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), "Storm");
        EXPECT_EQ(te.msg.Last().title, c.title);
        EXPECT_EQ(te.msg.Last().text, c.text);
        EXPECT_EQ(sounds, 0);
        EXPECT_EQ(te.sound.beeps, beeps + 1);
        sit.mnuClearSituation_Click();  // says only what is wrong with the setting
        te.fs.SetReadOnly(kCfg, false);
        te.fs.Lock(kCfg, false);
        EXPECT_EQ(te.fs.Content(kCfg), "[Startup]\r\nFlight=old\r\n");
        EXPECT_EQ(te.fs.Content("C:\\FS.CFG"), "[Startup]\r\nFlight=outside\r\n");
    }
    EXPECT_EQ(te.msg.calls.back().title, "File Write Error");  // the clear of the last case
    te.msg.calls.clear();
    s.SituationCfgFile = "sub\\..\\FS2002.CFG";
    te.msg.Answer({1});
    EXPECT_TRUE(sit.InstallSituation());
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(te.fs.Content(kCfg), "[Startup]\r\nFlight=Flights\\A\r\n");
}

// The current selection stands in only when no named set could be chosen: a
// Cancel at "Installation" or a failed copy asks nothing more.
TEST_F(SituationTest, ACancelledOrFailedInstallIsNotRepeated) {
    te.fs.AddFile(kCfg, "[Startup]\r\n");
    te.fs.AddFile(Data("Gone\\cld1.bmp"), "not listed");  // bitmaps, but not among the sets
    Flight("A", "SkyFolder1=Storm\r\n");
    Flight("B", "SkyFolder1=Gone\r\n");
    Flight("C", "");
    auto installations = [&] {
        int n = 0;
        for (const auto& c : te.msg.calls) n += c.title == "Installation";
        return n;
    };
    const struct {
        const char* flight;
        int answer;
        std::function<void()> fault;
        int asked;
        const char* texture;
    } cases[] = {
        {"A", 2, [] {}, 1, "orig"},                                  // cancelled
        {"A", 1, [&] { te.fs.FailNth(FsOp::Copy, 1); }, 1, "orig"},  // copy failed
        {"A", 1, [] {}, 1, "Storm"},
        {"B", 1, [] {}, 1, "Cumu"},  // the named set is not listed: the selection
        {"C", 2, [] {}, 1, "orig"},  // nothing named: the selection, once
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flight);
        te.fs.AddFile(Tex("cld1.bmp"), "orig");
        view.Select(Lst::lstSky, 0);
        ctl.LstSky_Click();
        Choose(c.flight);
        te.msg.calls.clear();
        te.msg.Answer({c.answer});
        c.fault();
        EXPECT_TRUE(sit.InstallSituation());
        EXPECT_EQ(installations(), c.asked);
        EXPECT_EQ(te.fs.Content(Tex("cld1.bmp")), c.texture);
    }
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

// Each simulator's splash is prepared when it is selected: its own original
// saved once (never the other's, never a rotated one), its own numbered
// bitmaps counted; a splash whose original could not be saved is not
// replaced.
TEST_F(SituationTest, EachSimulatorSavesItsOwnSplashOnce) {
    NoConfigView config;
    FontTable fonts;
    LoadSteps steps;
    steps.PrepareSplash = [this] { launch.PrepareSplash(); };
    s.FsPath[0] = "C:\\FSA";
    s.FsPath[1] = "C:\\FSB";
    const char* const sims[] = {"C:\\FSA", "C:\\FSB"};
    for (int sim = 0; sim < 2; ++sim) {
        const std::string uires = std::string(sims[sim]) + "\\UIRES";
        te.fs.AddFile(uires + "\\dlgsplash.bmp", std::string("own-") + "AB"[sim]);
        for (int n = 1; n <= 2 + sim; ++n)
            te.fs.AddFile(uires + "\\Vellmora\\dlgsplash" + std::to_string(n) + ".bmp",
                          std::string(1, "AB"[sim]) + std::to_string(n));
    }
    Ini("[AppName]\r\nName=Vellmora\r\n[DataPath]\r\nPath=C:\\FS\\texture\\Sky\r\n"
        "[Splash Screen]\r\nSplash=on\r\nMode=order\r\nLastNo=0\r\n");
    auto splash = [&](int sim, const char* file) { return te.fs.Content(std::string(sims[sim]) + "\\UIRES\\" + file); };
    auto select = [&](int sim) { optFs_Click(te.env, s, sim, fonts, config, steps); };

    select(0);
    EXPECT_EQ(launch.SplashCount, 2);
    EXPECT_TRUE(RotateSplash(te.env, s, launch.SplashCount));
    EXPECT_EQ(splash(0, "dlgsplash.bmp"), "A1");
    select(1);
    EXPECT_EQ(launch.SplashCount, 3);
    EXPECT_EQ(splash(1, "dlgsplash(org).bmp"), "own-B");
    EXPECT_TRUE(RotateSplash(te.env, s, launch.SplashCount));
    EXPECT_EQ(splash(1, "dlgsplash.bmp"), "B2");
    select(0);  // the rotated splash is not taken for the original
    EXPECT_EQ(launch.SplashCount, 2);
    EXPECT_EQ(splash(0, "dlgsplash(org).bmp"), "own-A");
    for (const char* sim : sims) EXPECT_TRUE(CopyTempsIn(te.env, std::string(sim) + "\\UIRES").empty());

    // A save that fails (copy or replace) leaves the simulator's splash as it
    // is until a later selection saves it.
    for (FsOp op : {FsOp::Copy, FsOp::Replace}) {
        te.fs.Remove("C:\\FSB\\UIRES\\dlgsplash(org).bmp");
        te.fs.AddFile("C:\\FSB\\UIRES\\dlgsplash.bmp", "own-B");
        te.fs.FailNth(op, 1);
        select(1);
        EXPECT_FALSE(te.fs.Exists("C:\\FSB\\UIRES\\dlgsplash(org).bmp"));
        EXPECT_FALSE(RotateSplash(te.env, s, launch.SplashCount));
        EXPECT_EQ(splash(1, "dlgsplash.bmp"), "own-B");
        EXPECT_TRUE(CopyTempsIn(te.env, "C:\\FSB\\UIRES").empty());
    }
    select(1);
    EXPECT_EQ(splash(1, "dlgsplash(org).bmp"), "own-B");
    EXPECT_TRUE(RotateSplash(te.env, s, launch.SplashCount));
    EXPECT_NE(splash(1, "dlgsplash.bmp"), "own-B");
}

}  // namespace
}  // namespace vm
