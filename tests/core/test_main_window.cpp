#include <gtest/gtest.h>

#include "config/main_window.h"
#include "sim/refresh.h"
#include "sim/sim_watch.h"

using namespace vm;

TEST(MainWindowRules, LayoutByShowSkyFiles) {
    const SkyLayout on = LayoutBySkyFiles(true);
    EXPECT_TRUE(on.fileView);
    EXPECT_FALSE(on.setView);
    EXPECT_FALSE(on.skyFilVisible);
    EXPECT_FALSE(on.filtersVisible);
    EXPECT_EQ(on.lstFLTHeight, 2085);
    const SkyLayout off = LayoutBySkyFiles(false);
    EXPECT_FALSE(off.fileView);
    EXPECT_TRUE(off.setView);
    EXPECT_FALSE(off.skyFilVisible);
    EXPECT_TRUE(off.filtersVisible);
    EXPECT_EQ(off.lstFLTHeight, 960);
}

TEST(MainWindowRules, TrayMessagesByHexOfX) {
    EXPECT_EQ(TrayIconAction(0x201 * 15), TrayAction::ToggleWindow);  // "1E0F"
    EXPECT_EQ(TrayIconAction(0x204 * 15), TrayAction::Popup);         // "1E3C"
    for (int msg : {0x200, 0x202, 0x203, 0x205, 0x206})
        EXPECT_EQ(TrayIconAction(msg * 15), TrayAction::None) << msg;
}

TEST(MainWindowRules, RefreshValuesInForce) {
    Settings s;
    s.RefreshCloud[0] = false;
    s.RefreshCloud[1] = true;
    s.WaitTimeAfterClear[0] = 20;
    s.WaitTimeAfterClear[1] = 7;
    s.IncTime[1] = 3;
    s.DecTime[1] = 4;
    // AutoRandom off: the install-button section.
    RefreshMode r = SelectRefreshMode(s, 0);
    EXPECT_TRUE(r.RefreshCloud);
    EXPECT_EQ(r.WaitTimeAfterClear, 7);
    EXPECT_EQ(r.IncTime, 3);
    EXPECT_EQ(r.DecTime, 4);
    r = SelectRefreshMode(s, 5);
    EXPECT_FALSE(r.RefreshCloud);
    EXPECT_EQ(r.WaitTimeAfterClear, 20);
}

TEST(MainWindowRules, SmallTexts) {
    EXPECT_TRUE(FontSizeOk(96));
    EXPECT_FALSE(FontSizeOk(120));
    EXPECT_EQ(TimeCaption(0), "Off");
    EXPECT_EQ(TimeCaption(5), "5min");
    EXPECT_EQ(TimeCaption(0.5), "0.5min");
}

// Both paths quoted: blanks neither pick another program nor split the file.
TEST(MainWindowRules, EditorCommandLines) {
    const struct {
        const char* editor;
        const char* ini;
        std::vector<std::string> lines;
    } cases[] = {
        {"", "C:\\P\\cloud.ini", {"notepad.exe \"C:\\P\\cloud.ini\""}},
        {"C:\\ed.exe", "C:\\P\\cloud.ini", {"\"C:\\ed.exe\" \"C:\\P\\cloud.ini\"", "notepad.exe \"C:\\P\\cloud.ini\""}},
        {"C:\\Program Files\\Text Edit\\ed.exe", "C:\\My Tools\\Vell mora\\cloud.ini",
         {"\"C:\\Program Files\\Text Edit\\ed.exe\" \"C:\\My Tools\\Vell mora\\cloud.ini\"",
          "notepad.exe \"C:\\My Tools\\Vell mora\\cloud.ini\""}},
    };
    for (const auto& c : cases) EXPECT_EQ(EditorCommands(c.editor, c.ini), c.lines) << c.editor;
}

// The global name first; the session's own only where the global one is
// refused; an existing mutex under either name ends the second copy.
TEST(MainWindowRules, SingleInstanceAcrossSessions) {
    using M = InstanceMutex;
    const std::string global = std::string("Global\\") + kInstanceName, local = kInstanceName;
    const struct {
        M globalAnswer, localAnswer;
        bool first;
        std::vector<std::string> tried;
    } cases[] = {
        {M::Created, M::Exists, true, {global}},
        {M::Exists, M::Created, false, {global}},
        {M::Refused, M::Created, true, {global, local}},
        {M::Refused, M::Exists, false, {global, local}},
        {M::Refused, M::Refused, true, {global, local}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> tried;
        const bool first = FirstInstance([&](const std::string& name) {
            tried.push_back(name);
            return name == global ? c.globalAnswer : c.localAnswer;
        });
        EXPECT_EQ(first, c.first) << tried.size();
        EXPECT_EQ(tried, c.tried);
    }
}

TEST(MainWindowRules, StartStates) {
    AutoRandomStart off = AutoRandomAtStart(0);
    EXPECT_FALSE(off.timer1);
    EXPECT_EQ(off.timeCaption, "Off");
    EXPECT_TRUE(off.buttonsOn);
    EXPECT_FALSE(off.disableInstall);
    AutoRandomStart on = AutoRandomAtStart(10);
    EXPECT_EQ(on.timeCaption, "10min");
    EXPECT_FALSE(on.buttonsOn);
    EXPECT_TRUE(on.disableInstall);

    Settings s;
    EXPECT_FALSE(WatchWithLink(s, true));
    s.RefreshCloud[1] = true;
    EXPECT_TRUE(WatchWithLink(s, true));
    EXPECT_FALSE(WatchWithLink(s, false));  // no module, no link
    s.RefreshCloud[1] = false;
    s.UseFsAny = true;
    EXPECT_TRUE(WatchWithLink(s, true));

    s.StartSel = "situation";
    EXPECT_TRUE(StartInSituation(s));
    s.StartSel = "sky";
    EXPECT_FALSE(StartInSituation(s));
}

TEST(MainWindowRules, StartupRunsStepsInOrderAndSkipsLogoWhenOff) {
    std::vector<std::string> seen;
    auto step = [&](const char* n) { return [&seen, n] { seen.push_back(n); }; };
    StartupSteps s;
    s.FontSizeOk = step("dpi");
    s.StartSound = step("sound");
    s.ShowLogo = [] { return false; };
    s.RunLogo = step("logo");
    s.FindIni = step("ini");
    s.DetectSimulators = step("detect");
    s.Layout = step("layout");
    s.ApplyFont = step("font");
    s.AutoRandomState = step("auto");
    s.SelectRefreshMode = step("refresh");
    s.StartSel = step("sel");
    RunStartup(s);
    EXPECT_EQ(seen, (std::vector<std::string>{"dpi", "sound", "ini", "detect", "layout", "font", "auto",
                                              "refresh", "sel"}));
    seen.clear();
    s.ShowLogo = [] { return true; };
    RunStartup(s);
    EXPECT_EQ(seen[2], "logo");
    EXPECT_EQ(seen[3], "ini");
}

TEST(SimWatchTest, ConnectsOnAppearanceAndClosesOnDeparture) {
    SimWatch w;
    SimWatchStep s = w.Tick(false, true, false, false, 0);
    EXPECT_FALSE(s.connect || s.close || s.stopAutoRandom || s.releaseLayers);
    s = w.Tick(true, true, false, false, 0);
    EXPECT_TRUE(s.connect);
    s = w.Tick(true, true, true, true, 0);  // still there: nothing new
    EXPECT_FALSE(s.connect || s.close);
    s = w.Tick(false, true, true, true, 0);
    EXPECT_TRUE(s.close);
    EXPECT_TRUE(s.stopAutoRandom);
    EXPECT_TRUE(s.releaseLayers);
    s = w.Tick(false, true, false, false, 0);
    EXPECT_FALSE(s.close || s.stopAutoRandom);

    // The plain watch does no link work but still ends AutoRandom.
    SimWatch plain;
    EXPECT_FALSE(plain.Tick(true, false, false, false, 0).connect);
    s = plain.Tick(false, false, true, false, 0);
    EXPECT_FALSE(s.close || s.releaseLayers);
    EXPECT_TRUE(s.stopAutoRandom);
}

TEST(SimWatchTest, ConnectsAgainAfterGrowingPausesNeverAtEveryTick) {
    // One tick a row: the time (s), found, the watch that connects, link
    // open; whether it connects, and whether that connect opened the link.
    const struct { unsigned at; bool found, withLink, open, connect, opened; } rows[] = {
        {0, true, true, false, true, true},      // appears: at once
        {1, true, true, true, false, false},     // linked
        {2, true, true, false, true, false},     // someone closed the link: at once; it gives up
        {3, true, true, false, false, false},    // not at the next tick
        {11, true, true, false, false, false},   // nor before 10 s
        {12, true, true, false, true, false},    // 10 s after: again, gives up
        {41, true, true, false, false, false},   // then 30 s
        {42, true, true, false, true, false},
        {101, true, true, false, false, false},  // then every 60 s
        {102, true, true, false, true, false},
        {162, true, true, false, true, false},
        {163, true, true, true, false, false},   // another part opened it: the pauses start again
        {164, true, false, false, false, false}, // closed again, under the plain watch
        {165, true, true, false, true, false},   // the watch that connects is back; gives up
        {166, false, true, false, false, false}, // gone
        {167, true, true, false, true, true},    // appears again: at once
    };
    SimWatch w;
    int tick = 0;
    for (const auto& r : rows) {
        const SimWatchStep s = w.Tick(r.found, r.withLink, false, r.open, r.at * 1000);
        EXPECT_EQ(s.connect, r.connect) << tick;
        if (s.connect) w.ConnectEnded(r.opened, r.at * 1000);
        ++tick;
    }
}
