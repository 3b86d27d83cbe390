// AutoRandom: the period clicks, the random and ordered picks, the timed
// changes with a fake clock, and the set dialog's choices in cloud.ini.
#include <gtest/gtest.h>

#include "sets/auto_random.h"
#include "sets/rand_sel.h"
#include "test_sets_view.h"
#include "test_window_views.h"
#include "ui/drag_move.h"

namespace vm {
namespace {

TEST(AutoRandomPeriod, ClicksOnTheTimeLabel) {
    struct Row {
        int t, button, shift, timeRes, expected;
        bool shown;
    };
    const Row rows[] = {
        {0, 1, 0, 1, 1, true},      {9, 1, 0, 1, 10, true},     {5, 1, 0, 10, 15, true},
        {10, 1, 0, 1, 20, true},    {190, 1, 0, 1, 200, true},  {200, 1, 0, 1, 250, true},
        {580, 1, 0, 1, 0, true},    {600, 1, 0, 1, 0, true},    {0, 1, 1, 1, 600, true},
        {10, 1, 1, 1, 9, true},     {3, 1, 1, 5, 0, true},      {1, 1, 1, 10, 0, true},
        {200, 1, 1, 1, 190, true},  {250, 1, 1, 1, 200, true},  {125, 1, 2, 1, 200, true},
        {100, 1, 2, 1, 200, true},  {0, 1, 2, 1, 100, true},    {600, 1, 2, 1, 0, true},
        {250, 2, 0, 1, 0, false},   {250, 2, 1, 1, 0, false},   {250, 1, 3, 1, 250, false},
        {250, 4, 0, 1, 250, false},
    };
    for (const Row& r : rows) {
        const PeriodClick c = NextPeriod(r.t, r.button, r.shift, r.timeRes);
        EXPECT_EQ(c.tenths, r.expected) << "t=" << r.t << " button=" << r.button << " shift=" << r.shift;
        EXPECT_EQ(c.shown, r.shown) << "t=" << r.t << " button=" << r.button << " shift=" << r.shift;
        EXPECT_GE(c.tenths, 0);
        EXPECT_LE(c.tenths, 600);
    }
    struct Cap {
        int tenths;
        const char* text;
    };
    for (const Cap& c : {Cap{0, "Off"}, Cap{1, "0.1min"}, Cap{9, "0.9min"}, Cap{10, "1min"}, Cap{125, "13min"},
                         Cap{600, "60min"}})
        EXPECT_EQ(PeriodCaption(c.tenths), c.text) << c.tenths;
    for (int t = 0; t <= 600; ++t) EXPECT_EQ(PeriodTenths(t / 10.0), t);
}

TEST(DragMove, DropRule) {
    struct Row {
        int count, from, to;
        std::vector<int> expected;  // the lines afterwards, by original index
    };
    const Row rows[] = {
        {5, 0, 3, {1, 2, 0, 3, 4}},  // lands before the line under the cursor
        {5, 4, 0, {4, 0, 1, 2, 3}},  // last line to the top
        {5, 3, 1, {0, 3, 1, 2, 4}},
        {5, 2, 2, {0, 1, 2, 3, 4}},  // onto itself
        {5, 1, -1, {0, 1, 2, 3, 4}}, // outside the lines
        {1, 0, 0, {0}},              // one line never drags
        {3, -1, 1, {0, 1, 2}},       // the drag began outside the lines
    };
    for (const Row& r : rows) {
        std::vector<int> lines, bound;
        for (int i = 0; i < r.count; ++i) lines.push_back(i);
        bound = lines;
        const int landing = DropIndex(r.count, r.from, r.to);
        if (landing >= 0) {
            EXPECT_TRUE(MoveItem(lines, r.from, landing));
            EXPECT_TRUE(MoveItem(bound, r.from, landing));
        }
        EXPECT_EQ(lines, r.expected) << r.from << " onto " << r.to;
        EXPECT_EQ(bound, r.expected) << r.from << " onto " << r.to;
    }
}

TEST(AutoRandomPick, RandomIndexRules) {
    TestEnv te;
    int last = -1;
    // AutoRandom off: one draw over the range, whatever the flags say.
    te.random.Script({0.5});
    EXPECT_EQ(RandomIndex(te.env, {true, false, true, false}, 0, 3, false, last), 2);
    // One eligible entry: always that one, without a draw.
    const int calls = te.random.calls;
    EXPECT_EQ(RandomIndex(te.env, {false, false, true}, 0, 2, true, last), 2);
    EXPECT_EQ(RandomIndex(te.env, {false, false, true}, 0, 2, false, last), 2);
    EXPECT_EQ(te.random.calls, calls);
    EXPECT_EQ(RandomIndex(te.env, {false, false}, 0, 1, true, last), 0);
    // Two eligible entries alternate, whatever the draws are.
    last = -1;
    std::vector<int> picks;
    te.random.Script({0.0, 0.0, 0.9, 0.9, 0.0});
    for (int i = 0; i < 5; ++i) picks.push_back(RandomIndex(te.env, {true, false, true}, 0, 2, true, last));
    EXPECT_EQ(picks, (std::vector<int>{0, 2, 0, 2, 0}));
    // Every eligible entry outside the range: no pick, and no endless loop.
    last = -1;
    EXPECT_EQ(RandomIndex(te.env, {false, false, true, true}, 0, 1, true, last), -1);
    // Only the last pick in reach: it comes again.
    last = 1;
    EXPECT_EQ(RandomIndex(te.env, {false, true, true, true}, 0, 1, true, last), 1);
}

// A main window with Timer1, lblTime and the dialog as records.
struct FakeArView : AutoRandomView {
    bool timer1 = false;
    std::string time;
    int dialogs = 0, refreshModes = 0, skyChosen = 0;
    void SetTimer1(bool on) override { timer1 = on; }
    void ShowTime(const std::string& c) override { time = c; }
    void ChooseSky() override { ++skyChosen; }
    void OpenSetDialog() override { ++dialogs; }
    void SelectRefreshMode() override { ++refreshModes; }
    void RestoreSituation() override {}
};

class AutoRandomTest : public SetsFixture {
protected:
    AutoRandomData data;
    FakeArView arView;
    AutoRandomController ar{te.env, s, cat, state, data, view, ctl, hooks, arView};

    AutoRandomTest() {
        s.BackupEnabled = false;
        s.TimeRes = 1;
        hooks.autoRandomOn = [this] { return s.AutoRandomTime != 0; };
        hooks.stopAutoRandom = [this] { arView.timer1 = false; };
    }
    // Single-folder sets, each with one bitmap named after it; the ini text
    // adds keys to every [SetN] by number.
    void Load(const std::vector<std::string>& names, const std::map<int, std::string>& extra = {}) {
        std::string ini = "[AppName]\r\nName=Vellmora\r\n";
        for (size_t i = 0; i < names.size(); ++i) {
            te.fs.AddFile(Data(names[i] + "\\cld1.bmp"), names[i]);
            ini += "[Set" + std::to_string(i + 1) + "]\r\nDirName=" + names[i] + "\r\n";
            auto it = extra.find(static_cast<int>(i) + 1);
            if (it != extra.end()) ini += it->second;
        }
        Ini(ini);
        BuildCatalogue(te.env, s, cat);
        ctl.FillSetLists();
        ar.StartupDefaults();
        ar.NormaliseAndSaveOrder();
    }
    std::string Installed() { return te.fs.Content(Tex("cld1.bmp")); }
    // One tick after the period has run out.
    std::string Expire() {
        te.clock.now += s.AutoRandomTime / 60 / 24 + 1e-7;
        ar.Timer1_Timer();
        return Installed();
    }
};

TEST_F(AutoRandomTest, RandomChangesWithAFakeClock) {
    Load({"A", "B", "C"}, {{2, "Random=off\r\n"}});
    s.LastInstCount = 10;
    s.AutoRandomTime = 2;
    ASSERT_TRUE(ar.Start());
    EXPECT_TRUE(arView.timer1);
    EXPECT_FALSE(view.enabled[Ctl::cmdInst]);
    // The first tick changes the set at once.
    te.random.Script({0.9});
    ar.Timer1_Timer();
    EXPECT_EQ(Installed(), "C");
    EXPECT_EQ(view.captions[Ctl::lblMsg], "C    Time Remain  02:00");
    // Before the period runs out nothing changes; the caption counts down.
    te.clock.now += 45.0 / 86400;
    ar.Timer1_Timer();
    EXPECT_EQ(view.captions[Ctl::lblMsg], "C    Time Remain  01:15");
    // A and C alternate; B is left out.
    te.random.Script({0.9, 0.9, 0.0});
    EXPECT_EQ(Expire(), "A");
    EXPECT_EQ(Expire(), "C");
    EXPECT_EQ(Expire(), "A");
    EXPECT_EQ(s.LastInstalledSets.size(), 4u);
    // RandomWait: every tick changes the set and sleeps that long.
    s.RandomWait = 7;
    te.clock.sleeps.clear();
    ar.Timer1_Timer();
    EXPECT_EQ(Installed(), "C");
    EXPECT_EQ(te.clock.sleeps, std::vector<unsigned>{7});
}

TEST_F(AutoRandomTest, OneEligibleSetIsInstalledEachTime) {
    Load({"A", "B"}, {{1, "Random=off\r\n"}});
    s.AutoRandomTime = 1;
    ASSERT_TRUE(ar.Start());
    for (int i = 0; i < 3; ++i) {
        te.fs.AddFile(Tex("cld1.bmp"), "old");
        EXPECT_EQ(Expire(), "B");
    }
}

TEST_F(AutoRandomTest, OrderModeWalksTheOrderAndRestartsAfterARightClick) {
    Load({"A", "B", "C"}, {{1, "Order=3\r\n"}, {2, "Order=1\r\n"}, {3, "Order=2\r\n"}});
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"B", "C", "A"}));
    data.orderMode = true;
    s.AutoRandomTime = 1;
    ASSERT_TRUE(ar.Start());
    EXPECT_EQ(Expire(), "B");
    EXPECT_EQ(Expire(), "C");
    EXPECT_EQ(Expire(), "A");
    EXPECT_EQ(Expire(), "B");
    ar.lblTime_MouseDown(2, 0);
    EXPECT_EQ(s.AutoRandomTime, 0);
    EXPECT_FALSE(arView.timer1);
    EXPECT_EQ(arView.time, "Off");
    EXPECT_EQ(view.captions[Ctl::lblMsg], "B");
    EXPECT_TRUE(view.enabled[Ctl::cmdInst]);
    // Period set again and started: the walk begins at the first set.
    ar.lblTime_MouseDown(1, 2);
    EXPECT_EQ(arView.time, "10min");
    EXPECT_FALSE(view.enabled[Ctl::cmdInst]);
    ASSERT_TRUE(ar.Start());
    EXPECT_EQ(Expire(), "B");
    // The refresh values were chosen again at each state change.
    EXPECT_EQ(arView.refreshModes, 4);
}

TEST_F(AutoRandomTest, EmptyOrderListInstallsNothingAndKeepsRunning) {
    Load({"A", "B"});
    data.orderMode = true;
    data.orderList.clear();
    s.AutoRandomTime = 1;
    ASSERT_TRUE(ar.Start());
    te.fs.AddFile(Tex("cld1.bmp"), "old");
    EXPECT_EQ(Expire(), "old");
    EXPECT_TRUE(arView.timer1);
    EXPECT_EQ(data.orderPos, 0);
    EXPECT_TRUE(s.LastInstalledSets.empty());
}

TEST_F(AutoRandomTest, FailedInstallStopsTheTimerWithTheErrorMark) {
    Load({"A"});
    s.AutoRandomTime = 1;
    ASSERT_TRUE(ar.Start());
    te.fs.FailNth(FsOp::Copy, 1, 100);
    Expire();
    EXPECT_FALSE(arView.timer1);
    EXPECT_EQ(view.captions[Ctl::lblMsg].rfind("A ( Install Error )    Time Remain  ", 0), 0u)
        << view.captions[Ctl::lblMsg];
    EXPECT_TRUE(te.msg.calls.empty());
}

TEST_F(AutoRandomTest, StartWithoutSetsAsksForOneAndOpensTheDialog) {
    Load({"A", "B"});
    for (SetGroup& g : cat.groups) g.random = false;
    s.AutoRandomTime = 1;
    EXPECT_FALSE(ar.Start());
    EXPECT_FALSE(arView.timer1);
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().title, kNoSelectedTitle);
    EXPECT_EQ(te.msg.Last().style, 64);
    EXPECT_EQ(arView.dialogs, 1);
    // Start only (no installation first): no check of the sets.
    EXPECT_TRUE(ar.Start(false));
    EXPECT_TRUE(arView.timer1);
}

TEST_F(AutoRandomTest, RandomButtonHidesTheListsAndPicksASurprise) {
    Load({"A", "B", "C"});
    te.random.Script({0.4});
    ar.cmdRandom_Click();
    EXPECT_TRUE(state.RandomMode);
    EXPECT_EQ(view.SelectedText(Lst::cmbClouds), "B");
    for (Ctl c : {Ctl::lstSky, Ctl::cmbClouds, Ctl::lstClouds, Ctl::lstOption}) EXPECT_FALSE(view.visible[c]);
    EXPECT_TRUE(view.visible[Ctl::imgSky]);
    EXPECT_EQ(view.captions[Ctl::lblMsg], kPressInstall);
    EXPECT_FALSE(view.enabled[Ctl::cmdToOrg]);
    ctl.cmdInst_Click();
    EXPECT_EQ(Installed(), "B");
    EXPECT_EQ(s.LastInstalledSets.back(), "Random Clouds");
}

TEST_F(AutoRandomTest, StartUpDefaultsTakeEverySetAndSaveTheOrder) {
    Load({"A", "B", "C"}, {{1, "Random=off\r\nOrder=4\r\n"}, {2, "Random=off\r\n"}, {3, "Random=off\r\nOrder=2\r\n"}});
    for (const SetGroup& g : cat.groups) EXPECT_TRUE(g.random);
    EXPECT_EQ(cat.eligible, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"C", "A", "B"}));
    IniProfile ini(te.fs);
    const std::string key = "Order";
    std::vector<std::string> written;
    for (int n = 1; n <= 3; ++n) {
        const std::string section = "Set" + std::to_string(n);
        written.push_back(ini.Get(&section, &key, "-", 64, kIni));
    }
    EXPECT_EQ(written, (std::vector<std::string>{"2", "3", "1"}));
    EXPECT_EQ(s.IniTime, *te.fs.ModTime(kIni));
}


class RandSelTest : public AutoRandomTest {
protected:
    FakeRandSelView dv;
    RandSelController dlg{te.env, s, cat, data, dv};

    RandSelTest() { Load({"A", "B", "C", "D"}, {{4, "Random=off\r\n"}}); }
    std::string Key(int n, const std::string& key) {
        IniProfile ini(te.fs);
        const std::string section = "Set" + std::to_string(n);
        return ini.Get(&section, &key, "-", 64, kIni);
    }
    void Toggle(int item, bool on) {
        dv.checks[static_cast<size_t>(item)] = on;
        dlg.lstSet_ItemCheck(item, on);
    }
    void Close() {
        if (dv.closed) dlg.Form_Unload();
    }
};

TEST_F(RandSelTest, CancelPutsFlagsOrderAndModeBack) {
    dlg.Form_Load();
    EXPECT_EQ(dv.items[RandSelView::List::lstSet], (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(dv.checks, (std::vector<bool>{true, true, true, false}));
    EXPECT_TRUE(dv.dragHooked);
    dlg.optOrder_Click();
    EXPECT_EQ(dv.items[RandSelView::List::lstOrder], (std::vector<std::string>{"A", "B", "C"}));
    Toggle(0, false);
    Toggle(3, true);
    dlg.lstSet_LostFocus();
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"B", "C", "D"}));
    dlg.cmdCancel_Click();
    Close();
    EXPECT_TRUE(cat.Group(1).random);
    EXPECT_FALSE(cat.Group(4).random);
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(data.orderMode);
    EXPECT_TRUE(dv.mainEnabled);
    EXPECT_FALSE(dv.dragHooked);
    EXPECT_EQ(Key(1, "Order"), "1");
    EXPECT_EQ(Key(1, "Random"), "-");
}

TEST_F(RandSelTest, OkWritesTheChoicesAndASetSwitchedOnJoinsTheEnd) {
    dlg.Form_Load();
    dlg.optOrder_Click();
    // The order list dragged: C to the top, the bound groups follow.
    ASSERT_TRUE(MoveItem(data.orderedGroups, 2, DropIndex(3, 2, 0)));
    dlg.lstOrder_LostFocus();
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"C", "A", "B"}));
    Toggle(1, false);
    Toggle(3, true);
    dlg.lstSet_LostFocus();
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"C", "A", "D"}));
    dlg.cmdOk_Click();
    Close();
    EXPECT_TRUE(dv.closed);
    EXPECT_EQ(cat.eligible, (std::vector<bool>{true, false, true, true}));
    const std::vector<std::string> random = {Key(1, "Random"), Key(2, "Random"), Key(3, "Random"), Key(4, "Random")};
    EXPECT_EQ(random, (std::vector<std::string>{"on", "off", "on", "on"}));
    const std::vector<std::string> order = {Key(1, "Order"), Key(2, "Order"), Key(3, "Order"), Key(4, "Order")};
    EXPECT_EQ(order, (std::vector<std::string>{"2", "-", "1", "3"}));
    EXPECT_TRUE(data.orderMode);
    EXPECT_EQ(s.IniTime, *te.fs.ModTime(kIni));
}

TEST_F(RandSelTest, NothingCheckedKeepsTheDialogOpen) {
    dlg.Form_Load();
    dlg.optOrder_Click();
    dlg.mnuClearAll_Click();
    dlg.cmdOk_Click();
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().title, kNoSelectedTitle);
    EXPECT_FALSE(dv.closed);
    EXPECT_TRUE(dv.buttons);
    EXPECT_TRUE(dv.dragHooked);
    EXPECT_FALSE(dv.orderMode);
    dlg.mnuSelAll_Click();
    EXPECT_EQ(dv.checks, (std::vector<bool>{true, true, true, true}));
}

TEST_F(RandSelTest, TheCloseBoxIsCancel) {
    dlg.Form_Load();
    dlg.optOrder_Click();
    Toggle(0, false);
    Toggle(3, true);
    dlg.Form_Unload();  // the close box, Alt+F4, the program ending: no OK, no Cancel
    EXPECT_TRUE(cat.Group(1).random && !cat.Group(4).random && !data.orderMode);
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"A", "B", "C"}));
    const std::vector<std::string> keys = {Key(1, "Order"), Key(4, "Order"), Key(1, "Random")};
    EXPECT_EQ(keys, (std::vector<std::string>{"1", "-", "-"}));
}

TEST_F(RandSelTest, EveryChangeOfChecksJoinsTheOrderAtOnce) {
    // No list loses the focus here: clicks and the pop-up menu alone.
    dlg.Form_Load();
    dlg.mnuClearAll_Click();
    Toggle(2, true);
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"C"}));
    dlg.mnuSelAll_Click();
    EXPECT_EQ(data.orderList, (std::vector<std::string>{"C", "A", "B", "D"}));
    dlg.cmdOk_Click();
    Close();
    const std::vector<std::string> order = {Key(1, "Order"), Key(2, "Order"), Key(3, "Order"), Key(4, "Order")};
    EXPECT_EQ(order, (std::vector<std::string>{"2", "3", "1", "4"}));
}

TEST_F(RandSelTest, AnEditedIniEndsTheProgramAndWritesNothing) {
    dlg.Form_Load();
    Toggle(0, false);
    dlg.lstSet_LostFocus();
    const std::string edited = te.fs.Content(kIni) + "[Mine]\r\nKey=1\r\n";
    te.fs.AddFile(kIni, edited);
    te.fs.SetModTime(kIni, s.IniTime + 1);
    dlg.cmdOk_Click();
    dv.closed = true;
    Close();
    EXPECT_TRUE(dv.ended);
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.Last().title, kIniChangedTitle);
    EXPECT_EQ(te.msg.Last().style, 16);
    EXPECT_EQ(te.fs.Content(kIni), edited);
}

// Marks changed in the list whose events never reached the dialog (a check
// list may change without one): OK takes the marks as the list shows them,
// for cloud.ini, the eligibility and the order alike.
TEST_F(RandSelTest, OkTakesTheMarksAsShownWhenTheirEventsWereLost) {
    dlg.Form_Load();
    dv.checks = {false, true, true, true};
    dlg.cmdOk_Click();
    Close();
    const std::vector<std::string> random = {Key(1, "Random"), Key(2, "Random"), Key(3, "Random"), Key(4, "Random")};
    EXPECT_EQ(random, (std::vector<std::string>{"off", "on", "on", "on"}));
    EXPECT_EQ(cat.eligible, (std::vector<bool>{false, true, true, true}));
    const std::vector<std::string> order = {Key(1, "Order"), Key(2, "Order"), Key(3, "Order"), Key(4, "Order")};
    EXPECT_EQ(order, (std::vector<std::string>{"-", "1", "2", "3"}));
}

// Every entry of the dialog fired while a main window's handler, an
// install, a refresh and an exchange let messages run: its choices and OK
// are its own (none of these holds cloud.ini's writers), so each waits
// only for a handler to end; the close box always closes.
TEST_F(RandSelTest, EachEntryInsideWhatRuns) {
    OperationGuard guard(&te.pump);
    te.env.pump = &guard;
    RandSelTable table(guard, dlg, dv);
    dlg.Form_Load();
    std::vector<Expect> rows;
    for (auto [id, code] : table.Events().Keys())
        if (id != RandSelIds::evClose) rows.push_back({id, code, Fired::Queued, Fired::Ran, Fired::Ran, Fired::Ran});
    // Each time with the marks and the buttons as the dialog opened.
    ExpectEachEntryInside(guard, te.pump, table.Events(), rows, [&] {
        dv.checks.assign(4, true);
        dv.buttons = true;
        dv.closed = false;
    });
    EXPECT_EQ(Key(1, "Random"), "on");
    EXPECT_EQ(dv.focused.size(), 8u);  // OK and Cancel take the focus first, as a click does
    EXPECT_TRUE(table.MayDrag());
}

}  // namespace
}  // namespace vm
