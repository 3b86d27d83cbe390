// The weather editor against the in-process simulator: the layer checks, the
// add rule, the arrow stepper, scrolling and the code mapping, and a session
// that is refused during a cloud refresh and loses the link.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/sim_watch.h"
#include "sim/weather_editor.h"
#include "test_window_views.h"

namespace vm {
namespace {



struct EditorRig {
    FakeClock clock;
    CountingPump pump;
    ScriptedMessages messages;
    SimServer server;
    IpcLoopback transport{server, clock};
    Fsuipc link{transport, clock, pump};
    ComIpc weather{link};
    EditorWindow view;
    Watch watch;
    WeatherEditor editor{link, weather, clock, messages, 300, view, watch};
    std::vector<LayerLists> sent;  // the lists at each editor wait

    EditorRig() {
        watch.link = &link;
        link.SimRunning = true;
        link.IpcConnect();
        server.ClearWrites();
        clock.onSleep = [this](unsigned ms) {
            if (ms == 300) sent.push_back(weather.Layers);
        };
    }
    // Layers as (base, top) in feet; layer 2 of three is shown.
    EditorRig(std::vector<std::pair<int32_t, int32_t>> layers, const char* shown = "2") : EditorRig() {
        for (auto [base, top] : layers)
            for (int k = 0; k < 10; ++k) weather.Layers.list[k].push_back(std::array{9, 4, top, base, 100, 1, 2, 0, 1, 3}[k]);
        view.layerNo = shown;
    }
    void Texts(const char* top, const char* base, const char* dev, const char* pb) {
        view.text = {{WxText::txtTop, top}, {WxText::txtBase, base}, {WxText::txtDev, dev}, {WxText::txtPrecBaseAlt, pb}};
    }
};
const std::vector<std::pair<int32_t, int32_t>> kThree = {{1000, 3000}, {4000, 6000}, {8000, 9000}};

TEST(WeatherEditor, CheckLayerCollectsEveryFailedCheckAndResetsTheFields) {
    struct Row {
        int layer;
        const char *top, *base, *dev, *pb, *message;
        std::map<WxText, std::string> reset;
    };
    using enum WxText;
    const std::vector<Row> rows = {
        {1, "", "abc", "x", "y", " Top value can't be changed to number.\r\n", {}},
        {3, "100,001", "8,000", "0", "0", " Top value should be 100,000 or less.\r\n", {{txtTop, "100,000"}}},
        {2, "6,000", "abc", "x", "y", " Base value can't be changed to number.\r\n", {}},
        {1, "3,000", "0", "0", "0", " Base value should be greater than 1.\r\n", {{txtBase, "1"}}},
        {1, "900", "1,000", "0", "0", " Top value should be greater than Base Value.\r\n", {}},
        {1, "3,000", "1,000", "x", "y", " Deviation value can't be changed to number.\r\n", {}},
        {2, "6,000", "4,000", "0", "12a", " Base Alt. value can't be changed to number.\r\n", {}},
        {2, "8,500", "2,500", "-1", "4,000",
         " Top value should be less than base of upper layer.\r\n"
         " Base value should be greater than top of lower layer.\r\n"
         " Deviation value shoul be from 0 to 2,000.\r\n Base Alt. value shoul be from 0 to 3,999.\r\n",
         {{txtTop, "8,000"}, {txtBase, "3,000"}, {txtDev, "0"}, {txtPrecBaseAlt, "0"}}},
        {2, "6,000", "4,000", "2,000", "3,999", "", {}},
        {2, " 6000.9 ", "4000", "0", "0", "", {}},
    };
    for (const Row& row : rows) {
        EditorRig rig(kThree);
        rig.Texts(row.top, row.base, row.dev, row.pb);
        auto expected = rig.view.text;
        for (const auto& [box, t] : row.reset) expected[box] = t;
        EXPECT_EQ(rig.editor.CheckLayer(row.layer), row.message) << row.top << " / " << row.base;
        EXPECT_EQ(rig.view.text, expected) << row.message;
    }
}

TEST(WeatherEditor, AddInsertsBelowTheShownLayerWithinTheRoomThere) {
    struct Row {
        std::vector<std::pair<int32_t, int32_t>> layers;
        const char* shown;
        int32_t base, top;  // of the new layer, at the shown position; 0 0: nothing added
        std::string message;
    };
    const std::vector<Row> rows = {
        {{{3000, 6000}}, "1", 2501, 2999, ""},
        {{{300, 6000}}, "1", 2, 299, ""},
        {{{1000, 4000}, {4200, 6000}}, "2", 4002, 4199, ""},
        {{{1000, 4000}, {4004, 6000}}, "2", 4002, 4003, ""},  // room 4: a one-foot layer
        {{{1000, 4000}, {4003, 6000}}, "2", 0, 0, kNoRoomText},
        {{{3, 6000}}, "1", 0, 0, kNoRoomText},
        {{{1000, 4000}, {4200, 6000}}, "Not Received", 0, 0, ""},
        {{{1000, 4000}, {4200, 6000}}, "3", 0, 0, ""},
        {{{1000, 4000}, {4200, 6000}}, "1.5", 0, 0, ""},
    };
    for (const Row& row : rows) {
        EditorRig rig(row.layers, row.shown);
        rig.editor.cmdAdd_Click();
        EXPECT_EQ(rig.messages.calls.empty() ? "" : rig.messages.Last().text, row.message) << row.shown;
        if (row.top == 0) {
            EXPECT_TRUE(rig.server.Writes().empty()) << row.shown;
            continue;
        }
        ASSERT_EQ(rig.sent.size(), 1u);
        const LayerLists& l = rig.sent[0];
        const size_t k = size_t(std::stoi(row.shown) - 1);
        ASSERT_EQ(l.Count(), row.layers.size() + 1);
        EXPECT_EQ(l.list[kLayerBase][k], row.base);
        EXPECT_EQ(l.list[kLayerTop][k], row.top);
        for (int f : {kLayerType, kLayerCoverage, kLayerDeviation, kLayerTurbulence, kLayerPrecRate})
            EXPECT_EQ(l.list[f][k], l.list[f][k + 1]);  // copied from the layer above it
    }
    // On empty weather, the default cumulus; but not after a failed read.
    EditorRig empty;
    empty.weather.ReadLayers();
    empty.editor.cmdAdd_Click();
    ASSERT_EQ(empty.sent.size(), 1u);
    EXPECT_EQ((std::vector<int32_t>{empty.sent[0].At(0, 0), empty.sent[0].At(1, 0), empty.sent[0].At(2, 0),
                                    empty.sent[0].At(3, 0)}),
              (std::vector<int32_t>{9, 3, 5000, 1500}));
    EditorRig failed;
    failed.transport.failSends = 100;
    failed.weather.ReadLayers();
    failed.transport.failSends = 0;
    failed.editor.cmdAdd_Click();
    EXPECT_TRUE(failed.server.Writes().empty());
}

TEST(WeatherEditor, ArrowStepsStopAtEachFieldsBounds) {
    struct Row {
        int field, amount;
        const char* start;
        std::vector<std::string> shown;  // after the press, then after each repeat
        bool repeating;
    };
    const std::vector<Row> rows = {
        {2, +5, "1990", {"1,995", "2,000", "2,000"}, false}, {2, -5, "5", {"0"}, false},
        {0, +5, "7,990", {"7,995", "8,000"}, false},          {0, -5, "4,008", {"4,003", "4,001"}, false},
        {1, -5, "3,008", {"3,003", "3,000"}, false},          {1, +5, "5,990", {"5,995", "5,999"}, false},
        {3, +5, "3,990", {"3,995", "3,999"}, false},          {3, -5, "100", {"95", "90"}, true},
        {0, +5, "abc", {"abc"}, true},
    };
    for (const Row& row : rows) {
        EditorRig rig(kThree);
        rig.Texts("6,000", "4,000", "0", "0");
        rig.view.text[WxText(row.field)] = row.start;
        if (row.amount > 0) rig.editor.cmdTopUp_MouseDown(row.field);
        else rig.editor.cmdTopDn_MouseDown(row.field);
        std::vector<std::string> shown{rig.view.text[WxText(row.field)]};
        while (shown.size() < row.shown.size()) {
            rig.editor.tmr1_Timer();
            shown.push_back(rig.view.text[WxText(row.field)]);
        }
        EXPECT_EQ(shown, row.shown) << row.field << " " << row.start;
        EXPECT_EQ(rig.view.repeat, row.repeating) << row.field << " " << row.start;
    }
    EditorRig last({{1000, 99990}}, "1");  // the top of the last layer stops at 100,000
    last.Texts("99,998", "1,000", "0", "0");
    last.editor.cmdTopUp_MouseDown(0);
    EXPECT_EQ(last.view.text[WxText::txtTop], "100,000");
}

TEST(WeatherEditor, ScrollingWrapsAndCodesMapBothWays) {
    EditorRig rig;
    rig.server.SetLayers({{2, 5, 3000, 1000, 100, 7, 4, 0, 2, 5}, {8, 8, 4000, 3500, 0, 0, 0, 0, 0, 0},
                          {10, 1, 6000, 5000, 0, 0, 0, 0, 0, 0}});
    rig.editor.cmdReceive_Click();
    EXPECT_EQ(rig.view.max, 4);
    for (auto [pos, layer, type] : std::vector<std::tuple<int, int, int>>{{4, 1, 0}, {0, 3, 3}, {2, 2, 2}, {4, 1, 0}}) {
        rig.view.pos = pos;
        rig.editor.vsbLayer_Change();
        EXPECT_EQ(rig.view.layerNo, std::to_string(layer));
        EXPECT_EQ(rig.view.pos, layer);
        EXPECT_EQ(rig.view.index[WxList::cmbType], type) << layer;
    }
    // Layer 1: type 2 shows "Cirrus"; turbulence 7 has no item and shows nothing.
    EXPECT_EQ(rig.view.ListText(WxList::cmbType), "Cirrus");
    EXPECT_EQ(rig.view.ListText(WxList::cmbCover), "Broken    (5/8)");
    EXPECT_EQ(rig.view.index[WxList::cmbTrubulence], -1);
    EXPECT_EQ(rig.view.ListText(WxList::cmbPrecRate), "Very heavy");
    EXPECT_EQ(rig.view.text[WxText::txtTop], "9,842");
    rig.view.index[WxList::cmbType] = 3;
    rig.editor.cmdSend_Click();
    ASSERT_EQ(rig.sent.size(), 1u);
    EXPECT_EQ(rig.sent[0].At(kLayerType, 0), 10);
    EXPECT_EQ(rig.sent[0].At(kLayerTurbulence, 0), 7);  // kept, not written as -1
}

TEST(WeatherEditor, SessionIsRefusedWhileRefreshingAndGivesTheLinkBack) {
    EditorRig rig;
    rig.link.IpcClose();
    rig.server.SetLayers({{9, 4, 900, 400, 30, 0, 0, 0, 0, 0}, {8, 6, 2000, 1200, 60, 1, 1, 300, 1, 2},
                          {1, 3, 8000, 7500, 100, 0, 0, 0, 0, 0}});
    rig.server.Options().altitude = {{0, 1000}};
    rig.editor.Form_Load();  // the link was closed: the watch that connects runs
    ASSERT_TRUE(rig.link.IpcLinked);
    rig.server.ClearWrites();
    rig.editor.tmrAlt_Timer();
    EXPECT_EQ(rig.view.alt, "3,280.8");
    EXPECT_EQ(rig.view.layerNo, "1");
    EXPECT_TRUE(rig.view.editing && rig.view.buttons);

    // While a cloud refresh runs nothing changes the lists under it.
    rig.weather.RefreshBusy = true;
    const LayerLists held = rig.weather.Layers;
    rig.editor.cmdReceive_Click();
    rig.editor.cmdDel_Click();
    rig.editor.cmdAdd_Click();
    EXPECT_EQ(rig.messages.calls.size(), 3u);
    EXPECT_EQ(rig.messages.Last().text, kRefreshRunningText);
    EXPECT_EQ(rig.weather.Layers.list, held.list);
    EXPECT_TRUE(rig.server.Writes().empty());
    rig.weather.RefreshBusy = false;
    const std::vector<LayerRecord> before = rig.server.Layers();
    rig.editor.cmdDel_Click();  // layer 1
    EXPECT_EQ(rig.server.Layers(), (std::vector<LayerRecord>{before[1], before[2]}));

    // The simulator goes: no altitude, no editing; unload gives the plain
    // watch back and closes the link it opened.
    rig.link.SimRunning = false;
    rig.editor.tmrAlt_Timer();
    EXPECT_EQ(rig.view.alt, "Not received");
    EXPECT_FALSE(rig.view.editing || rig.view.buttons);
    rig.editor.Form_Unload();
    EXPECT_EQ(rig.watch.switched, (std::vector<bool>{true, false}));
    EXPECT_FALSE(rig.link.IpcOpened);
}

TEST(WeatherEditor, TheLinkOutlivesTheEditorWhileSomethingElseHoldsIt) {
    // Opened before the simulator runs; the simulator starts, the watch
    // connects, the editor closes: does the link stay?
    const struct { bool linkWatch, music, refreshing, stays; } rows[] = {
        {true, false, false, true},  // the program's watch keeps it for its refresh
        {false, true, false, true},  // the sound desk follows the simulator
        {false, false, true, true},  // a cloud refresh is under way
        {false, false, false, false},
    };
    for (const auto& row : rows) {
        EditorRig rig;
        rig.link.IpcClose();
        rig.link.SimRunning = false;
        rig.watch.linkWatch = row.linkWatch, rig.watch.music = row.music;
        rig.editor.Form_Load();
        rig.link.SimRunning = true;
        rig.watch.Tick();
        ASSERT_TRUE(rig.link.IpcLinked);
        rig.weather.RefreshBusy = row.refreshing;
        rig.editor.Form_Unload();
        EXPECT_EQ(rig.link.IpcLinked, row.stays) << row.linkWatch << row.music << row.refreshing;
        EXPECT_EQ(rig.watch.linkWatch, row.linkWatch);
    }
}

TEST(WeatherEditor, OnlyTheMenuMakesTheNextActivationReadTheLayers) {
    EditorRig rig;
    rig.server.SetLayers({{9, 4, 900, 400, 30, 0, 0, 0, 0, 0}});
    rig.editor.Form_Activate();
    EXPECT_EQ(rig.view.layerNo, "Not Received");
    rig.editor.ShownFromMenu();
    rig.editor.Form_Activate();
    EXPECT_EQ(rig.view.text[WxText::txtTop], "2,952");
    // "Data Input Error" corrects the top; the focus goes to the main window
    // and comes back: the correction stays until the menu shows the editor.
    rig.view.text[WxText::txtTop] = "200,000";
    rig.editor.cmdSend_Click();
    EXPECT_EQ(rig.messages.Last().title, "Data Input Error");
    rig.editor.Form_Activate();
    EXPECT_EQ(rig.view.text[WxText::txtTop], "100,000");
    rig.editor.ShownFromMenu();
    rig.editor.Form_Activate();
    EXPECT_EQ(rig.view.text[WxText::txtTop], "2,952");
}

// The editor's table over the rig, with the program's guard as the pump;
// three layers, the second shown.
struct EditorTableRig : EditorRig {
    OperationGuard guard{&pump};
    WeatherTable table{guard, view, view};
    EditorTableRig() : EditorRig(kThree) { table.Attach(&editor); }
};

// Every entry fired while a main window's handler, an install, a refresh
// and an exchange let messages run: what exchanges the layers waits for a
// refresh or an exchange; the fields, arrows and layer bar are the
// window's own; tmrAlt waits for the link; the close box always closes.
TEST(WeatherTable, EachEntryInsideWhatRuns) {
    using F = Fired;
    using I = WeatherIds;
    const int any = EventTable::kAnyCode;
    EditorTableRig r;
    std::vector<Expect> rows = {
        {I::cmdReceive, I::kClicked, F::Queued, F::Ran, F::Refused, F::Refused},
        {I::cmdSend, I::kClicked, F::Queued, F::Ran, F::Refused, F::Refused},
        {I::cmdAdd, I::kClicked, F::Queued, F::Ran, F::Refused, F::Refused},
        {I::cmdDel, I::kClicked, F::Queued, F::Ran, F::Refused, F::Refused},
        {I::evActivate, any, F::Queued, F::Ran, F::Refused, F::Refused},
        {I::vsbLayer, any, F::Queued, F::Ran, F::Ran, F::Ran},
        {I::tmr1, any, F::Postponed, F::Ran, F::Ran, F::Ran},
        {I::tmrAlt, any, F::Postponed, F::Ran, F::Ran, F::Postponed},
    };
    for (int k = 0; k < 4; ++k)
        for (int arrow : {I::cmdTopUp0 + k, I::cmdTopDn0 + k})
            rows.push_back({arrow, I::kArrowDown, F::Queued, F::Ran, F::Ran, F::Ran});
    ExpectEachEntryInside(r.guard, r.pump, r.table.Events(), rows);
    EXPECT_EQ(r.view.closes, 4);
}

// The close box while a message of the editor's own handler waits: the
// window closes once that handler has ended. An activation after the menu
// that meets a refresh reads the layers at the next activation instead.
TEST(WeatherTable, TheCloseWaitsForTheEditorsHandlerAndARefusedActivationReadsLater) {
    using I = WeatherIds;
    EditorTableRig r;
    r.Texts("abc", "1,000", "0", "0");
    Fired close = Fired::NoEntry;
    int closesInside = -1;
    r.messages.onShow = [&](const ScriptedMessages::Call&) {
        close = r.table.Events().Fire(I::evClose);
        closesInside = r.view.closes;
    };
    EXPECT_EQ(r.table.Events().Fire(I::cmdSend, I::kClicked), Fired::Ran);
    EXPECT_EQ(r.messages.Last().title, "Data Input Error");
    EXPECT_EQ(close, Fired::Deferred);
    EXPECT_EQ(closesInside, 0);
    EXPECT_EQ(r.view.closes, 1);

    r.server.SetLayers({{9, 4, 900, 400, 30, 0, 0, 0, 0, 0}});
    r.editor.ShownFromMenu();
    EXPECT_EQ(FireInside(r.guard, r.pump, Inside::Refresh, r.table.Events(), Event{I::evActivate}), Fired::Refused);
    EXPECT_EQ(r.view.text[WxText::txtTop], "abc");
    EXPECT_EQ(r.table.Events().Fire(I::evActivate), Fired::Ran);
    EXPECT_EQ(r.view.text[WxText::txtTop], "2,952");
    EXPECT_EQ(r.table.Events().Fire(I::evActivate), Fired::Ran);  // once only
}

// The layer bar (range 0 to the count + 1) shows another layer when an
// arrow moves it or the thumb is let go, not while the thumb is dragged;
// past either end it wraps.
TEST(WeatherTable, TheLayerBarChangesWhenTheThumbIsLetGo) {
    using C = ScrollCode;
    const struct {
        C code;
        int track;
        const char* layer;  // shown after it
    } rows[] = {
        {C::LineDown, 0, "3"}, {C::LineDown, 0, "1"},     {C::LineUp, 0, "3"},
        {C::ThumbTrack, 2, "3"}, {C::ThumbPosition, 2, "2"}, {C::ThumbPosition, 2, "2"},
    };
    EditorTableRig r;
    r.view.max = 4;
    r.view.pos = 2;
    for (const auto& row : rows) {
        r.view.track = row.track;
        r.table.Events().Fire(WeatherIds::vsbLayer, int(row.code));
        EXPECT_EQ(r.view.layerNo, row.layer) << int(row.code);
    }
}

}  // namespace
}  // namespace vm
