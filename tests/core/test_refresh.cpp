// The cloud refresh: the schedule, the refresh after an installation with
// its interruptions, and the manual refresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/refresh.h"

namespace vm {
namespace {

struct RecordingView : RefreshView {
    std::vector<std::string> messages, times, calls;
    double autoRandom = 0;
    bool randomMode = false;
    bool modulePresent = true;
    bool musicKeeps = false;
    int sounds = 0, simChecks = 0;
    std::function<void()> onSimCheck;

    void SetMessage(const std::string& t) override { messages.push_back(t); }
    std::string CloudsText() override { return "Set A"; }
    bool RandomMode() override { return randomMode; }
    double AutoRandomTime() override { return autoRandom; }
    void SetAutoRandomTime(double m) override { autoRandom = m; }
    void ShowTime(const std::string& c) override { times.push_back(c); }
    void EnableTime(bool e) override { calls.push_back(e ? "time on" : "time off"); }
    void ButtonCtrl(bool e) override { calls.push_back(e ? "buttons on" : "buttons off"); }
    void EnableStopRefresh(bool e) override { calls.push_back(e ? "stop on" : "stop off"); }
    void EnableLastInst(bool e) override { calls.push_back(e ? "last on" : "last off"); }
    bool ModulePresent() override { return modulePresent; }
    void CheckSimWindow() override {
        ++simChecks;
        if (onSimCheck) onSimCheck();
    }
    std::function<void()> onSound;
    void PlayButtonSound() override {
        ++sounds;
        if (onSound) onSound();
    }
    bool MusicKeepsLink() override { return musicKeeps; }
};

struct RefreshRig {
    FakeClock clock;
    CountingPump pump;
    SimServer server;
    IpcLoopback transport{server, clock};
    Fsuipc link{transport, clock, pump};
    ComIpc weather{link};
    RecordingView view;
    CloudRefresh refresh{link, weather, clock, pump, view};

    explicit RefreshRig(bool connect = true) {
        refresh.Mode = {true, 1, 1, 1};
        link.SimRunning = true;
        if (connect) link.IpcConnect();
        server.ClearWrites();
    }
    // Milliseconds since `startTick` and the coverages of every write of the table.
    struct Write {
        uint32_t ms;
        std::vector<int> coverage;
    };
    std::vector<Write> TableWrites(uint32_t startTick) const {
        std::vector<Write> out;
        for (const SimWrite& w : server.Writes()) {
            if (w.offset != 0x560000) continue;
            Write x{w.ms - startTick, {}};
            for (const LayerRecord& r : DecodeLayerTable(w.data.data())) x.coverage.push_back(r.coverage);
            out.push_back(x);
        }
        return out;
    }
};

LayerRecord Layer(uint8_t type, uint8_t coverage) {
    LayerRecord r;
    r.type = type;
    r.coverage = coverage;
    r.base = 1000;
    r.top = 2000;
    return r;
}

LayerLists ListsOf(std::initializer_list<std::pair<int, int>> typeAndCoverage) {
    LayerLists l;
    for (auto [type, coverage] : typeAndCoverage) {
        l.list[kLayerType].push_back(type);
        l.list[kLayerCoverage].push_back(coverage);
    }
    return l;
}

TEST(RefreshSchedule, WorkedExamples) {
    RefreshMode m{true, 10, 5, 5};
    EXPECT_EQ(BuildRefreshSchedule(ListsOf({{9, 1}}), 9, m), (std::vector<RefreshStep>{{1, 0, 0}, {1, 10, 1}}));
    m = {true, 2, 2, 2};
    EXPECT_EQ(BuildRefreshSchedule(ListsOf({{9, 3}}), 9, m),
              (std::vector<RefreshStep>{{1, 0, 2}, {1, 2, 1}, {1, 4, 0}, {1, 6, 1}, {1, 8, 2}, {1, 10, 3}}));
}

TEST(RefreshSchedule, OnlyTheTypeTakesPartAndLayersRunSideBySide) {
    RefreshMode m{true, 3, 1, 2};
    const auto steps = BuildRefreshSchedule(ListsOf({{8, 2}, {9, 5}, {8, 3}}), 8, m);
    EXPECT_EQ(steps, (std::vector<RefreshStep>{{1, 0, 1}, {3, 0, 2}, {1, 2, 0}, {3, 2, 1}, {3, 4, 0}, {1, 5, 1},
                                               {1, 6, 2}, {3, 7, 1}, {3, 8, 2}, {3, 9, 3}}));
    EXPECT_TRUE(BuildRefreshSchedule(ListsOf({{9, 5}}), 8, m).empty());
}

TEST(RefreshSchedule, ZeroStepTimesSkipTheIntermediateCoverages) {
    RefreshMode m{true, 4, 0, 0};
    EXPECT_EQ(BuildRefreshSchedule(ListsOf({{1, 6}}), 1, m), (std::vector<RefreshStep>{{1, 0, 0}, {1, 4, 6}}));
}

TEST(RefreshMode, InstallButtonSetWhenAutoRandomIsOff) {
    Settings s;
    s.WaitTimeAfterClear[0] = 7;
    s.WaitTimeAfterClear[1] = 3;
    EXPECT_EQ(SelectRefreshMode(s, 0).WaitTimeAfterClear, 3);
    EXPECT_EQ(SelectRefreshMode(s, 0.1).WaitTimeAfterClear, 7);
}

TEST(RefreshClouds, StratusInstallChangesOnlyStratusOnSchedule) {
    RefreshRig rig;
    rig.server.SetLayers({Layer(8, 2), Layer(9, 3), Layer(8, 1)});
    const uint32_t start = rig.clock.tick;
    EXPECT_EQ(rig.refresh.RefreshClouds("Stratus"), CloudRefresh::Outcome::Completed);

    // Steps: layer 1 (0 s, 1), layer 3 (0 s, 0), layer 1 (1 s, 0), layer 3 (1 s, 1),
    // layer 1 (2 s, 1), layer 1 (3 s, 2); one step per 10 ms pass.
    const auto writes = rig.TableWrites(start);
    const std::vector<std::pair<uint32_t, std::vector<int>>> expected = {
        {0, {1, 3, 1}}, {10, {1, 3, 0}}, {1000, {0, 3, 0}}, {1010, {0, 3, 1}}, {2000, {1, 3, 1}}, {3000, {2, 3, 1}},
    };
    ASSERT_EQ(writes.size(), expected.size());
    for (size_t i = 0; i < writes.size(); ++i) {
        EXPECT_NEAR(double(writes[i].ms), double(expected[i].first), 10.0) << i;
        EXPECT_EQ(writes[i].coverage, expected[i].second) << i;
    }
    EXPECT_EQ(rig.server.Layers(), (std::vector<LayerRecord>{Layer(8, 2), Layer(9, 3), Layer(8, 1)}));
    // The waiting text is shown once per elapsed second, after that pass's step.
    std::vector<std::string> waiting;
    for (const std::string& m : rig.view.messages)
        if (m.find("Waiting") != std::string::npos) waiting.push_back(m);
    EXPECT_EQ(waiting, (std::vector<std::string>{"Set Layer1 coverage to 1/8. Waiting 0/0(sec).",
                                                 "Set Layer1 coverage to 0/8. Waiting 1/1(sec).",
                                                 "Set Layer1 coverage to 1/8. Waiting 2/3(sec)."}));
    EXPECT_EQ(rig.view.messages.back(), "Set A");
    EXPECT_EQ(rig.view.calls, (std::vector<std::string>{"stop on", "stop off"}));
    EXPECT_TRUE(rig.view.times.empty());
}

TEST(RefreshClouds, NothingHappensWithoutLayersOfTheTypeOrWithoutTimes) {
    RefreshRig rig;
    rig.view.autoRandom = 1;
    rig.server.SetLayers({Layer(9, 3)});
    EXPECT_EQ(rig.refresh.RefreshClouds("Stratus"), CloudRefresh::Outcome::NotRun);
    EXPECT_EQ(rig.refresh.RefreshClouds("Smoke"), CloudRefresh::Outcome::NotRun);
    rig.refresh.Mode = {true, 0, 0, 0};
    EXPECT_EQ(rig.refresh.RefreshClouds("Cumulus"), CloudRefresh::Outcome::NotRun);
    rig.server.SetLayers({});
    rig.refresh.Mode = {true, 1, 1, 1};
    EXPECT_EQ(rig.refresh.RefreshClouds("Cumulus"), CloudRefresh::Outcome::NotRun);
    EXPECT_TRUE(rig.server.Writes().empty());
    EXPECT_EQ(rig.view.autoRandom, 1);
    EXPECT_TRUE(rig.view.calls.empty());
}

TEST(RefreshClouds, AutoRandomIntervalIsStretchedPastTheRefresh) {
    RefreshRig rig;
    rig.refresh.Mode = {true, 60, 1, 1};
    rig.server.SetLayers({Layer(10, 8)});  // last step at 7 + 60 + 7 = 74 s: 79 s -> 2 min
    rig.view.autoRandom = 1.5;
    rig.view.randomMode = true;
    EXPECT_EQ(rig.refresh.RefreshClouds("Thunder"), CloudRefresh::Outcome::Completed);
    EXPECT_EQ(rig.view.autoRandom, 2);
    EXPECT_EQ(rig.view.times, std::vector<std::string>{"2min"});
    EXPECT_EQ(rig.view.calls,
              (std::vector<std::string>{"buttons off", "time off", "stop on", "stop off", "buttons on", "time on"}));
    EXPECT_EQ(rig.view.messages.back(), "");

    // A longer interval is left alone.
    RefreshRig rig2;
    rig2.refresh.Mode = {true, 60, 1, 1};
    rig2.server.SetLayers({Layer(10, 8)});
    rig2.view.autoRandom = 2;
    rig2.refresh.RefreshClouds("Thunder");
    EXPECT_EQ(rig2.view.autoRandom, 2);
    EXPECT_TRUE(rig2.view.times.empty());
}

TEST(RefreshClouds, EndingEarlyWritesTheLayersAsRead) {
    struct Case {
        const char* name;
        void (*interrupt)(RefreshRig&);
        bool autoRandom;
    } cases[] = {
        {"stop menu", [](RefreshRig& r) { r.refresh.mnuStopRefresh_Click(); }, false},
        {"simulator gone", [](RefreshRig& r) { r.link.SimRunning = false; }, false},
        {"AutoRandom ended", [](RefreshRig& r) { r.view.autoRandom = 0; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefreshRig rig;
        rig.view.autoRandom = c.autoRandom ? 5 : 0;
        const std::vector<LayerRecord> layers = {Layer(1, 4), Layer(1, 2)};
        rig.server.SetLayers(layers);
        const uint32_t start = rig.clock.tick;
        rig.pump.onEvents = [&] {
            if (rig.clock.tick - start >= 1500) c.interrupt(rig);
        };
        EXPECT_EQ(rig.refresh.RefreshClouds("Cirrus"), CloudRefresh::Outcome::Stopped);
        const auto writes = rig.TableWrites(start);
        ASSERT_GE(writes.size(), 2u);
        EXPECT_EQ(writes[writes.size() - 2].coverage, (std::vector<int>{2, 0}));
        EXPECT_EQ(writes.back().coverage, (std::vector<int>{4, 2}));
        EXPECT_EQ(rig.server.Layers(), layers);
        EXPECT_FALSE(rig.weather.StopRefresh);
        EXPECT_EQ(rig.view.calls.back(), c.autoRandom ? "time on" : "stop off");
    }
}

TEST(RefreshClouds, AFailedLayerWriteWritesTheLayersAsRead) {
    RefreshRig rig;
    const std::vector<LayerRecord> layers = {Layer(9, 3), Layer(1, 2)};
    rig.server.SetLayers(layers);
    // The second step's write fails with every retry; the link then recovers.
    int tableWrites = 0;
    rig.server.onWrite = [&](const SimWrite& w) {
        if (w.offset == 0x560000 && ++tableWrites == 1) rig.transport.failSends = 11;
    };
    EXPECT_EQ(rig.refresh.RefreshClouds("Cumulus"), CloudRefresh::Outcome::Failed);
    const auto writes = rig.TableWrites(0);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].coverage, (std::vector<int>{2, 2}));
    EXPECT_EQ(writes[1].coverage, (std::vector<int>{3, 2}));
    EXPECT_EQ(rig.server.Layers(), layers);
    EXPECT_EQ(rig.view.messages.back(), kRefreshFailedText);
}

TEST(RefreshClouds, ListsReleasedMeanwhileDoNotBreakTheLoop) {
    RefreshRig rig;
    rig.server.SetLayers({Layer(9, 3)});
    rig.pump.onEvents = [&] { rig.weather.Layers.Clear(); };
    EXPECT_EQ(rig.refresh.RefreshClouds("Cumulus"), CloudRefresh::Outcome::Completed);
}

TEST(RefreshAfterInstall, RunsOnlyWhenEverythingIsReady) {
    RefreshRig rig;
    rig.server.SetLayers({Layer(9, 1)});
    struct Case {
        const char* name;
        void (*arrange)(RefreshRig&);
    } blocked[] = {
        {"not a cloud type", nullptr},
        {"refresh off", [](RefreshRig& r) { r.refresh.Mode.RefreshCloud = false; }},
        {"busy", [](RefreshRig& r) { r.weather.RefreshBusy = true; }},
        {"not ready", [](RefreshRig& r) { r.server.Options().ready = false; }},
        {"not linked", [](RefreshRig& r) { r.link.IpcLinked = false; }},
    };
    for (const Case& c : blocked) {
        SCOPED_TRACE(c.name);
        RefreshRig r;
        r.server.SetLayers({Layer(9, 1)});
        if (c.arrange) c.arrange(r);
        EXPECT_EQ(r.refresh.RefreshAfterInstall(c.arrange ? "Cumulus" : "Sun"), CloudRefresh::Outcome::NotRun);
        EXPECT_TRUE(r.server.Writes().empty());
        EXPECT_TRUE(r.view.calls.empty());
    }

    bool busyInside = false;
    rig.pump.onEvents = [&] { busyInside = rig.weather.RefreshBusy; };
    EXPECT_EQ(rig.refresh.RefreshAfterInstall("Cumulus"), CloudRefresh::Outcome::Completed);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(rig.weather.RefreshBusy);
    EXPECT_EQ(rig.view.calls.front(), "last off");
    EXPECT_EQ(rig.view.calls.back(), "last on");
}

TEST(ManualRefresh, SavesClearsWaitsRestoresAndClosesALinkItOpened) {
    RefreshRig rig(false);
    rig.link.SimRunning = false;
    rig.view.onSimCheck = [&] { rig.link.SimRunning = true; };
    rig.refresh.Mode.WaitTimeAfterClear = 2;
    const std::vector<LayerRecord> layers = {Layer(9, 3)};
    rig.server.SetLayers(layers);
    std::vector<size_t> layersDuringWait;
    rig.pump.onEvents = [&] {
        if (rig.weather.RefreshBusy) layersDuringWait.push_back(rig.server.Layers().size());
    };

    const uint32_t start = rig.clock.tick;
    rig.refresh.lblRefresh_Click();
    EXPECT_EQ(rig.view.simChecks, 1);
    EXPECT_EQ(rig.view.sounds, 2);
    ASSERT_FALSE(layersDuringWait.empty());
    EXPECT_TRUE(std::all_of(layersDuringWait.begin(), layersDuringWait.end(), [](size_t n) { return n == 0; }));
    EXPECT_EQ(rig.server.Layers(), layers);
    ASSERT_FALSE(rig.server.Writes().empty());
    const uint32_t restoredAt = rig.server.Writes().back().ms;
    EXPECT_GT(restoredAt - start, 2000u);
    EXPECT_LT(restoredAt - start, 2000u + 150u);  // the connect's pause plus one poll
    EXPECT_FALSE(rig.link.IpcOpened);  // opened by the click, closed again
    EXPECT_FALSE(rig.weather.RefreshBusy);
    EXPECT_TRUE(rig.refresh.Mode.RefreshCloud);
}

TEST(ManualRefresh, AWeatherBlockThatCannotBeSavedLeavesTheWeatherAlone) {
    RefreshRig rig;
    const std::vector<LayerRecord> layers = {Layer(9, 3)};
    rig.server.SetLayers(layers);
    // The first sound comes just before the weather is saved: its first
    // block's read fails with every retry.
    rig.view.onSound = [&] {
        if (rig.view.sounds == 1) rig.transport.failSends = 11;
    };
    rig.refresh.lblRefresh_Click();
    EXPECT_TRUE(rig.server.Writes().empty());  // neither cleared nor "restored"
    EXPECT_EQ(rig.server.Layers(), layers);
    EXPECT_EQ(rig.view.messages.back(), kWeatherNotSavedText);
    EXPECT_FALSE(rig.weather.RefreshBusy);
}

TEST(ManualRefresh, KeepsTheLinkForTheMusicWindowOrWhenItWasOpen) {
    for (bool openBefore : {true, false}) {
        RefreshRig rig(openBefore);
        rig.view.musicKeeps = !openBefore;
        rig.refresh.Mode.WaitTimeAfterClear = 0;
        rig.refresh.lblRefresh_Click();
        EXPECT_TRUE(rig.link.IpcOpened) << openBefore;
        EXPECT_EQ(rig.view.sounds, 2);
    }
}

TEST(ManualRefresh, DoesNothingWhenOffWithoutModuleOrWhileBusy) {
    RefreshRig off;
    off.refresh.Mode.RefreshCloud = false;
    off.refresh.lblRefresh_Click();
    RefreshRig noModule;
    noModule.view.modulePresent = false;
    noModule.refresh.lblRefresh_Click();
    for (RefreshRig* r : {&off, &noModule}) {
        EXPECT_TRUE(r->server.Writes().empty());
        EXPECT_EQ(r->view.sounds, 0);
    }

    RefreshRig busy;
    busy.weather.RefreshBusy = true;
    busy.refresh.lblRefresh_Click();
    EXPECT_TRUE(busy.server.Writes().empty());
    EXPECT_EQ(busy.view.sounds, 2);

    // A click that arrives while the handler waits is ignored.
    RefreshRig again;
    again.refresh.Mode.WaitTimeAfterClear = 1;
    int inner = 0;
    again.pump.onEvents = [&] {
        if (inner++ == 0) again.refresh.lblRefresh_Click();
    };
    again.refresh.lblRefresh_Click();
    int clears = 0;
    for (const SimWrite& w : again.server.Writes()) clears += w.offset == kOffClearWeather;
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(again.view.sounds, 2);
}

}  // namespace
}  // namespace vm
