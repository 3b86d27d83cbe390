// The weather editor against the in-process simulator: the layer checks, the
// add rule, the arrow stepper, scrolling, the code mapping, and a session
// that receives, sends, adds, deletes and loses the link.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/weather_editor.h"

namespace vm {
namespace {

struct EditorWindow : WeatherView {
    std::map<WxText, std::string> text;
    std::map<WxList, int> index;
    std::string layerNo = "Not Received", alt;
    int pos = 0, min = 0, max = 0;
    bool editing = false, buttons = false, repeat = false;
    std::string focus;

    std::string Text(WxText b) override { return text[b]; }
    void SetText(WxText b, const std::string& t) override { text[b] = t; }
    void FocusText(WxText b) override { focus = "text" + std::to_string(int(b)); }
    int ListIndex(WxList l) override { return index.count(l) ? index[l] : -1; }
    std::string ListText(WxList l) override {
        const int i = ListIndex(l);
        return i < 0 ? "" : WxListItems(l)[size_t(i)];
    }
    void SetListIndex(WxList l, int i) override { index[l] = i; }
    std::string LayerNo() override { return layerNo; }
    void SetLayerNo(const std::string& t) override { layerNo = t; }
    void SetAltitude(const std::string& t) override { alt = t; }
    int ScrollPos() override { return pos; }
    void SetScrollPos(int p) override { pos = p; }
    void SetScrollRange(int a, int b) override { min = a, max = b; }
    void SetEditingEnabled(bool e) override { editing = e; }
    void SetButtonsEnabled(bool e) override { buttons = e; }
    void FocusButton(WxButton b) override { focus = "button" + std::to_string(int(b)); }
    void SetRepeat(bool on) override { repeat = on; }
};

struct Watch : SimWatchSwitch {
    Fsuipc* link = nullptr;
    bool linkWatch = false;
    std::vector<bool> switched;
    bool LinkWatchOn() override { return linkWatch; }
    void UseLinkWatch(bool withLink) override {
        linkWatch = withLink;
        switched.push_back(withLink);
        link->SimRunning = true;
        if (withLink && !link->IpcOpened) link->IpcConnect();
    }
};

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
    // Layers as (base, top) in feet, with deviation 100 and type cumulus.
    void Layers(const std::vector<std::pair<int32_t, int32_t>>& layers) {
        weather.Layers.Clear();
        for (auto [base, top] : layers) {
            const int32_t v[10] = {9, 4, top, base, 100, 1, 2, 0, 1, 3};
            for (int k = 0; k < 10; ++k) weather.Layers.list[k].push_back(v[k]);
        }
    }
    void Texts(const std::string& top, const std::string& base, const std::string& dev, const std::string& pb) {
        view.text[WxText::txtTop] = top;
        view.text[WxText::txtBase] = base;
        view.text[WxText::txtDev] = dev;
        view.text[WxText::txtPrecBaseAlt] = pb;
    }
};

TEST(WeatherEditor, CheckLayerCollectsEveryFailedCheckAndResetsTheFields) {
    struct Row {
        int layer;
        const char *top, *base, *dev, *pb;
        std::string message;
        std::map<WxText, std::string> reset;
    };
    const std::string nl = "\r\n";
    const std::vector<Row> rows = {
        {1, "", "abc", "x", "y", " Top value can't be changed to number." + nl, {}},
        {3, "100,001", "8,000", "0", "0", " Top value should be 100,000 or less." + nl, {{WxText::txtTop, "100,000"}}},
        {2, "8,500", "4,000", "0", "0", " Top value should be less than base of upper layer." + nl,
         {{WxText::txtTop, "8,000"}}},
        {2, "6,000", "abc", "x", "y", " Base value can't be changed to number." + nl, {}},
        {2, "6,000", "2,500", "0", "0", " Base value should be greater than top of lower layer." + nl,
         {{WxText::txtBase, "3,000"}}},
        {1, "3,000", "0", "0", "0", " Base value should be greater than 1." + nl, {{WxText::txtBase, "1"}}},
        {1, "900", "1,000", "0", "0", " Top value should be greater than Base Value." + nl, {}},
        {1, "3,000", "1,000", "x", "y", " Deviation value can't be changed to number." + nl, {}},
        {1, "3,000", "1,000", "2,001", "0", " Deviation value shoul be from 0 to 2,000." + nl, {{WxText::txtDev, "0"}}},
        {2, "6,000", "4,000", "0", "4,000", " Base Alt. value shoul be from 0 to 3,999." + nl,
         {{WxText::txtPrecBaseAlt, "0"}}},
        {2, "6,000", "4,000", "0", "12a", " Base Alt. value can't be changed to number." + nl, {}},
        {2, "8,500", "2,500", "-1", "-5",
         " Top value should be less than base of upper layer." + nl +
             " Base value should be greater than top of lower layer." + nl +
             " Deviation value shoul be from 0 to 2,000." + nl + " Base Alt. value shoul be from 0 to 3,999." + nl,
         {{WxText::txtTop, "8,000"}, {WxText::txtBase, "3,000"}, {WxText::txtDev, "0"}, {WxText::txtPrecBaseAlt, "0"}}},
        {2, "6,000", "4,000", "2,000", "3,999", "", {}},
        {2, " 6000.9 ", "4000", "2000", "0", "", {}},
    };
    for (const Row& row : rows) {
        EditorRig rig;
        rig.Layers({{1000, 3000}, {4000, 6000}, {8000, 9000}});
        rig.Texts(row.top, row.base, row.dev, row.pb);
        const auto before = rig.view.text;
        EXPECT_EQ(rig.editor.CheckLayer(row.layer), row.message) << row.top << " / " << row.base;
        auto expected = before;
        for (const auto& [box, t] : row.reset) expected[box] = t;
        EXPECT_EQ(rig.view.text, expected) << row.message;
    }
}

TEST(WeatherEditor, AddInsertsBelowTheShownLayerWithinTheRoomThere) {
    struct Row {
        std::vector<std::pair<int32_t, int32_t>> layers;
        const char* shown;
        int at;  // 1-based position of the new layer; 0: nothing added
        int32_t base, top;
    };
    const std::vector<Row> rows = {
        {{{3000, 6000}}, "1", 1, 2501, 2999},
        {{{300, 6000}}, "1", 1, 2, 299},
        {{{1000, 4000}, {4200, 6000}}, "2", 2, 4002, 4199},
        {{{1000, 4000}, {4004, 6000}}, "2", 2, 4002, 4003},  // room 4: a one-foot layer
        {{{1000, 4000}, {4003, 6000}}, "2", 0, 0, 0},        // room 3: nothing
        {{{3, 6000}}, "1", 0, 0, 0},
        {{{1000, 4000}, {4200, 6000}}, "Not Received", 0, 0, 0},
        {{{1000, 4000}, {4200, 6000}}, "3", 0, 0, 0},
        {{{1000, 4000}, {4200, 6000}}, "1.5", 0, 0, 0},
    };
    for (const Row& row : rows) {
        EditorRig rig;
        rig.Layers(row.layers);
        rig.view.layerNo = row.shown;
        rig.editor.cmdAdd_Click();
        if (row.at == 0) {
            EXPECT_TRUE(rig.sent.empty()) << row.shown;
            EXPECT_TRUE(rig.server.Writes().empty());
            continue;
        }
        ASSERT_EQ(rig.sent.size(), 1u);
        const LayerLists& l = rig.sent[0];
        ASSERT_EQ(l.Count(), row.layers.size() + 1);
        const size_t k = size_t(row.at - 1);
        EXPECT_EQ(l.list[kLayerBase][k], row.base);
        EXPECT_EQ(l.list[kLayerTop][k], row.top);
        for (int f : {kLayerType, kLayerCoverage, kLayerDeviation, kLayerTurbulence, kLayerIcing, kLayerPrecRate})
            EXPECT_EQ(l.list[f][k], l.list[f][k + 1]);  // copied from the layer above it
        EXPECT_EQ(rig.view.focus, "button0");
    }
    // Room 3 says why nothing happened.
    EditorRig rig;
    rig.Layers({{1000, 4000}, {4003, 6000}});
    rig.view.layerNo = "2";
    rig.editor.cmdAdd_Click();
    ASSERT_EQ(rig.messages.calls.size(), 1u);
    EXPECT_EQ(rig.messages.Last().title, "Data Input Error");
    EXPECT_EQ(rig.messages.Last().text, kNoRoomText);
}

TEST(WeatherEditor, AddToEmptyWeatherMakesTheDefaultCumulusOnlyWhenTheTableWasRead) {
    EditorRig rig;
    rig.weather.ReadLayers();
    rig.editor.cmdAdd_Click();
    ASSERT_EQ(rig.sent.size(), 1u);
    const LayerLists& l = rig.sent[0];
    ASSERT_EQ(l.Count(), 1u);
    EXPECT_EQ((std::vector<int32_t>{l.At(0, 0), l.At(1, 0), l.At(2, 0), l.At(3, 0), l.At(4, 0)}),
              (std::vector<int32_t>{9, 3, 5000, 1500, 0}));
    // After a failed read the simulator may well have layers: nothing is sent.
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
    // Layer 2 of three: base 4000 top 6000; layer 1 top 3000, layer 3 base 8000.
    const std::vector<Row> rows = {
        {2, +5, "1990", {"1,995", "2,000", "2,000"}, false},
        {2, -5, "5", {"0"}, false},
        {0, +5, "7,990", {"7,995", "8,000"}, false},
        {0, -5, "4,008", {"4,003", "4,001"}, false},
        {1, -5, "3,008", {"3,003", "3,000"}, false},
        {1, +5, "5,990", {"5,995", "5,999"}, false},
        {3, +5, "3,990", {"3,995", "3,999"}, false},
        {3, -5, "100", {"95", "90"}, true},
        {0, +5, "abc", {"abc"}, true},
    };
    for (const Row& row : rows) {
        EditorRig rig;
        rig.Layers({{1000, 3000}, {4000, 6000}, {8000, 9000}});
        rig.view.layerNo = "2";
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
    // The top of the last layer stops at 100,000.
    EditorRig rig;
    rig.Layers({{1000, 99990}});
    rig.view.layerNo = "1";
    rig.Texts("99,998", "1,000", "0", "0");
    rig.editor.cmdTopUp_MouseDown(0);
    EXPECT_EQ(rig.view.text[WxText::txtTop], "100,000");
    rig.editor.cmdTop_MouseUp();
    EXPECT_FALSE(rig.view.repeat);
}

TEST(WeatherEditor, ScrollingWrapsAndCodesMapBothWays) {
    EditorRig rig;
    rig.server.SetLayers({{2, 5, 3000, 1000, 100, 7, 4, 0, 2, 5}, {8, 8, 4000, 3500, 0, 0, 0, 0, 0, 0},
                          {10, 1, 6000, 5000, 0, 0, 0, 0, 0, 0}});
    rig.editor.cmdReceive_Click();
    EXPECT_EQ(rig.view.max, 4);
    struct Row {
        int pos;
        std::string layer;
        int type;
    };
    for (const Row& row : std::vector<Row>{{4, "1", 0}, {0, "3", 3}, {2, "2", 2}, {3, "3", 3}, {4, "1", 0}}) {
        rig.view.pos = row.pos;
        rig.editor.vsbLayer_Change();
        EXPECT_EQ(rig.view.layerNo, row.layer);
        EXPECT_EQ(rig.view.pos, std::stoi(row.layer));
        EXPECT_EQ(rig.view.index[WxList::cmbType], row.type) << row.layer;
    }
    // Layer 1: type 2 shows "Cirrus"; turbulence 7 has no item and shows nothing.
    EXPECT_EQ(rig.view.ListText(WxList::cmbType), "Cirrus");
    EXPECT_EQ(rig.view.ListText(WxList::cmbCover), "Broken    (5/8)");
    EXPECT_EQ(rig.view.index[WxList::cmbTrubulence], -1);
    EXPECT_EQ(rig.view.ListText(WxList::cmbIce), "Severe");
    EXPECT_EQ(rig.view.ListText(WxList::cmbPrecRate), "Very heavy");
    EXPECT_EQ(rig.view.text[WxText::txtTop], "9,842");
    rig.view.index[WxList::cmbType] = 3;
    rig.editor.cmdSend_Click();
    ASSERT_EQ(rig.sent.size(), 1u);
    EXPECT_EQ(rig.sent[0].At(kLayerType, 0), 10);
    EXPECT_EQ(rig.sent[0].At(kLayerTurbulence, 0), 7);  // kept, not written as -1
    EXPECT_EQ(rig.sent[0].At(kLayerCoverage, 0), 5);
}

TEST(WeatherEditor, SessionReceivesSendsRefusesWhileRefreshingAndGivesTheLinkBack) {
    EditorRig rig;
    rig.link.IpcClose();
    rig.link.SimRunning = false;
    rig.server.SetLayers({{9, 4, 900, 400, 30, 0, 0, 0, 0, 0}, {8, 6, 2000, 1200, 60, 1, 1, 300, 1, 2},
                          {1, 3, 8000, 7500, 100, 0, 0, 0, 0, 0}});
    rig.server.Options().altitude = {{0, 1000}};
    rig.editor.Form_Load();  // the link was closed: the watch that connects runs
    EXPECT_EQ(rig.watch.switched, std::vector<bool>{true});
    ASSERT_TRUE(rig.link.IpcLinked);
    rig.server.ClearWrites();
    rig.editor.tmrAlt_Timer();
    EXPECT_EQ(rig.view.alt, "3,280.8");
    EXPECT_EQ(rig.view.layerNo, "1");
    EXPECT_TRUE(rig.view.editing && rig.view.buttons);
    EXPECT_EQ(rig.view.text[WxText::txtBase], "1,312");

    // Coverage of layer 2 to 2/8: only that byte of the table changes.
    const std::vector<LayerRecord> before = rig.server.Layers();
    rig.view.pos = 2;
    rig.editor.vsbLayer_Change();
    rig.view.index[WxList::cmbCover] = 1;
    rig.editor.cmdSend_Click();
    std::vector<LayerRecord> expected = before;
    expected[1].coverage = 2;
    EXPECT_EQ(rig.server.Layers(), expected);
    EXPECT_EQ(rig.server.Writes().size(), 1u);
    EXPECT_EQ(rig.view.layerNo, "2");  // same count: the same layer stays shown

    // A bad top: the message, and nothing sent.
    rig.view.text[WxText::txtTop] = "";
    rig.editor.cmdSend_Click();
    ASSERT_EQ(rig.messages.calls.size(), 1u);
    EXPECT_EQ(rig.messages.Last().title, "Data Input Error");
    EXPECT_EQ(rig.messages.Last().style, 64);
    EXPECT_EQ(rig.server.Writes().size(), 1u);

    // While a cloud refresh runs nothing changes the lists under it.
    rig.weather.RefreshBusy = true;
    const LayerLists held = rig.weather.Layers;
    rig.editor.cmdReceive_Click();
    rig.editor.cmdDel_Click();
    rig.editor.cmdAdd_Click();
    EXPECT_EQ(rig.messages.calls.size(), 4u);
    EXPECT_EQ(rig.messages.Last().text, kRefreshRunningText);
    EXPECT_EQ(rig.weather.Layers.list, held.list);
    EXPECT_EQ(rig.server.Writes().size(), 1u);
    rig.weather.RefreshBusy = false;

    // Delete layer 2.
    rig.editor.cmdDel_Click();
    EXPECT_EQ(rig.server.Layers(), (std::vector<LayerRecord>{expected[0], expected[2]}));
    EXPECT_EQ(rig.view.layerNo, "2");  // the layer that followed it
    EXPECT_EQ(rig.view.text[WxText::txtTop], "26,246");

    // The simulator goes: no altitude, no editing.
    rig.link.SimRunning = false;
    rig.transport.simRunning = false;
    rig.editor.tmrAlt_Timer();
    EXPECT_EQ(rig.view.alt, "Not received");
    EXPECT_FALSE(rig.view.editing || rig.view.buttons);
    EXPECT_FALSE(rig.editor.WasLinked);

    // Unload gives back the plain watch and closes the link it opened.
    rig.editor.Form_Unload();
    EXPECT_EQ(rig.watch.switched, (std::vector<bool>{true, false}));
    EXPECT_FALSE(rig.link.IpcOpened);
}

}  // namespace
}  // namespace vm
