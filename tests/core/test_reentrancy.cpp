// Events at every pump: a seeded generator drives the main window's and the
// other windows' real controllers and event tables over two simulators in
// memory, and at every
// DoEvents of every operation (copy loops, questions, the refresh, the
// connect) fires a random entry point. After each step the invariants hold:
// textures are originals or set files with their originals saved, no
// backup differs from its original, the texture record matches the folder,
// a set named in the last-installed record is wholly in place, the
// simulator's layers and weather are as read after every refresh, no queued
// event is left behind, the control states are the computed ones after an
// operation, an end asked for ends the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>

#include "config/main_shell.h"
#include "fakesim/ipc_loopback.h"
#include "fakesim/sim_server.h"
#include "sets/buttons.h"
#include "test_sets_view.h"
#include "test_window_views.h"

namespace vm {
namespace {

const char* const kSims[2] = {"C:\\FSA", "C:\\FSB"};
const char* const kSets[2] = {"Cumu", "Strat"};
const char* const kFiles[3] = {"cld1.bmp", "cld2.bmp", "cld3.bmp"};

std::string Original(int sim, const std::string& file) { return std::string(sim ? "B-" : "A-") + file; }
std::string SetFile(const std::string& set, const std::string& file) { return "set-" + set + "-" + file; }

class Rig;

// The message window: waits as an operation (the main window is disabled
// meanwhile), lets messages run, answers at random, and gives its first
// answer at once when the program's end is asked.
struct FuzzMessages : Messages {
    Rig* rig = nullptr;
    int ShowMsg(const std::string& text, uint8_t style, const std::string& title) override;
    std::vector<std::string> titles;
    int waits = 0;  // pumps of a message's wait (0: messages answered at once)
};

// The main window in memory: its lists and states, its timers and what the
// program's end does.
struct FuzzView : MainView {
    FakeSetsView v;
    Rig* rig = nullptr;
    bool timer1 = false, watchWithLink = false, ended = false, simRunning = false, stopRefreshOn = false;
    int opened = 0;

    int Count(Lst l) override { return v.Count(l); }
    std::string Item(Lst l, int i) override { return v.Item(l, i); }
    void Clear(Lst l) override { v.Clear(l); }
    void Add(Lst l, const std::string& t) override { v.Add(l, t); }
    int Selected(Lst l) override { return v.Selected(l); }
    void Select(Lst l, int i) override { v.Select(l, i); }
    bool Checked(Lst l, int i) override { return v.Checked(l, i); }
    void SetChecked(Lst l, int i, bool c) override { v.SetChecked(l, i, c); }
    bool Enabled(Ctl c) override { return v.Enabled(c); }
    void SetEnabled(Ctl c, bool e) override { v.SetEnabled(c, e); }
    void SetVisible(Ctl c, bool vis) override { v.SetVisible(c, vis); }
    bool OptionChosen(Ctl c) override { return v.OptionChosen(c); }
    void SetCaption(Ctl c, const std::string& t) override { v.SetCaption(c, t); }
    void SetFilterColor(int i, uint32_t c) override { v.SetFilterColor(i, c); }
    void ShowPicture(const std::string& p) override { v.ShowPicture(p); }
    void Popup(Menu m) override { v.Popup(m); }
    void ShowMainWindow() override {}
    void ClearLists() override {}
    void SetStretch(bool) override {}
    void SetToolTip(const std::string&, int, const std::string&) override {}
    void ShowTime(const std::string&) override {}
    void EnableTime(bool) override {}
    void EnableStopRefresh(bool on) override { stopRefreshOn = on; }
    void SetTimer1(bool on) override { timer1 = on; }
    void SetWatchTimers(bool withLink) override { watchWithLink = withLink; }
    void ChooseSky() override { v.fltChosen = false; }
    void OpenSetDialog() override { ++opened; }
    bool SimWindowExists() override { return simRunning; }
    bool StartProcess(const std::string&, const std::string&) override { return true; }
    bool MusicKeepsLink() override { return false; }
    void Minimise() override {}
    void ShowIni() override {}
    void OpenWeather() override { ++opened; }
    void OpenSound() override { ++opened; }
    void TrayMouse(int) override {}
    void EndProgram() override { ended = true; }
};

// What the pump does: a random event, now and then.
struct FuzzPump : Pump {
    Rig* rig = nullptr;
    std::function<void()> scripted;  // instead of the random events
    bool quiet = false;              // no random events
    void DoEvents() override;
};

// The simulator's weather as the stand-in holds it: every block.
std::vector<std::vector<uint8_t>> WeatherOf(const SimServer& server) {
    std::vector<std::vector<uint8_t>> blocks;
    for (int b = 0; b < kWeatherBlocks; ++b) blocks.push_back(server.Block(b));
    return blocks;
}

// The other windows, open beside the main window on the same guard, link
// and folders: the sound desk, the weather editor, the AutoRandom set
// dialog and the texture status window, each with its real controller and
// table.
struct SideWindows {
    ScriptedPlayer mp[3];
    DeskWindow deskView;
    ScriptedMci mci;
    CD cd{mci};
    CdControls cdView;
    CdPanel cdPanel;
    SoundDesk desk;
    DeskBars bars{deskView, cdView};
    SoundDeskTable deskTable;
    EditorWindow editorView;
    Watch watch;
    WeatherEditor editor;
    WeatherTable editorTable;
    FakeRandSelView dialogView;
    RandSelController dialog;
    RandSelTable dialogTable;
    RecordingStatusView statusView;
    TextureStatus status;
    TextureStatusTable statusTable;

    SideWindows(Env& env, Settings& s, MainShell& shell, Clock& clock, Messages& msgs, OperationGuard& guard)
        : cdPanel(cd, cdView, guard),
          desk(env, s, {&mp[0], &mp[1], &mp[2]}, deskView, cdPanel, shell.link, shell.weather,
               SoundHooks{[] { return true; }, [] {}, [] {}}),
          deskTable(guard, deskView, bars),
          editor(shell.link, shell.weather, clock, msgs, 0, editorView, watch),
          editorTable(guard, editorView, editorView),
          dialog(env, s, shell.cat, shell.arData, dialogView),
          dialogTable(guard, dialog, dialogView),
          status(env, s, statusView),
          statusTable(guard, statusView) {
        watch.link = &shell.link;
        deskTable.Attach(&desk, &cdPanel);
        editorTable.Attach(&editor);
        statusTable.Attach(&status);
    }
    void Open() {
        desk.Form_Load();
        editor.Form_Load();
        dialog.Form_Load();
    }
    std::vector<EventTable*> Tables() {
        return {&deskTable.Events(), &editorTable.Events(), &dialogTable.Events(), &statusTable.Events()};
    }
};

class Rig {
public:
    explicit Rig(unsigned seed) : gen(seed) {
        view.rig = this;
        msgs.rig = this;
        pump.rig = this;
        te.env.pump = &guard;
        te.env.msg = &msgs;
        for (int sim = 0; sim < 2; ++sim) {
            s.FsPath[sim] = kSims[sim];
            s.FsExe[sim] = "fs.exe";
            state().FsAvailable[sim] = true;
            te.fs.AddFile(std::string(kSims[sim]) + "\\Modules\\FSUIPC.dll");
            for (const char* f : kFiles) te.fs.AddFile(Texture(sim, f), Original(sim, f));
        }
        for (const char* set : kSets)
            for (const char* f : kFiles) te.fs.AddFile(std::string(kSims[1]) + "\\texture\\Sky\\" + set + "\\" + f,
                                                       SetFile(set, f));
        te.fs.AddFile("C:\\Prog\\cloud.ini",
                      "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n[BackUpFunc]\r\nFunc=on\r\n"
                      "[BackUpDirName]\r\nName=bk\r\n[ShowSkyFiles]\r\nShow=on\r\n"
                      "[AutoRefreshByInstallButton]\r\nRefreshCloud=on\r\nDecTime=1\r\nIncTime=1\r\n"
                      "WaitTimeAfterClear=1\r\n[Set1]\r\nDirName=Cumu\r\n[Set2]\r\nDirName=Strat\r\n");
        s.IniName = "cloud.ini";
        // A cumulus layer: the refresh after an install has steps to make.
        LayerRecord cumulus;
        cumulus.type = 9, cumulus.coverage = 3, cumulus.top = 3000, cumulus.base = 1500;
        server.SetLayers({cumulus, LayerRecord{}});
        // Right after a cloud set is named in the last-installed record, every
        // file checked for it is in place.
        shell.hooks.refreshClouds = [this, refresh = shell.hooks.refreshClouds](const std::string& dataType) {
            CheckWhollyInstalled();
            refresh(dataType);
        };
    }

    std::mt19937 gen;
    TestEnv te;
    Settings s;
    FontTable fonts;
    FakeClock& clock = te.clock;
    FuzzPump pump;
    OperationGuard guard{&pump};
    FuzzMessages msgs;
    FuzzView view;
    SimServer server;
    IpcLoopback transport{server, te.clock};
    MainShell shell{te.env, s, fonts, transport, te.clock, guard, view};
    SideWindows side{te.env, s, shell, te.clock, msgs, guard};
    bool endAsked = false;
    bool yesToAll = false;
    int pumpDepth = 0;
    bool operationSeen = false;
    int eventsInOperations = 0;
    int refreshesChecked = 0;
    std::vector<std::string> failures;
    // The simulator's layers and weather while no refresh ran, and whether
    // the link went away (the stand-in's process ended) during the refresh.
    std::vector<LayerRecord> quietLayers;
    std::vector<std::vector<uint8_t>> quietWeather;
    bool inRefresh = false, linkLost = false;

    SetsState& state() { return shell.state; }
    std::string Texture(int sim, const std::string& f) { return std::string(kSims[sim]) + "\\texture\\" + f; }
    std::string Backup(int sim, const std::string& f) { return std::string(kSims[sim]) + "\\texture\\bk\\" + f; }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen); }
    void Fail(const std::string& what) { failures.push_back(what); }

    // The start-up as the window runs it: one operation, then what was
    // asked for meanwhile.
    void Start() {
        {
            const OperationScope startup(guard, Operation::Startup);
            view.v.fltChosen = false;
            shell.SwitchSimulator(0);
            shell.autoRandom.StartupDefaults();
            shell.autoRandom.NormaliseAndSaveOrder();
            shell.SelectRefreshMode();
            shell.SetWatch(true);
        }
        guard.Settle();
        side.Open();
        guard.Settle();
        NoteWeather();
    }

    // An entry of one of the other windows' tables.
    void FireSide() {
        const std::vector<EventTable*> tables = side.Tables();
        EventTable& t = *tables[static_cast<size_t>(Pick(static_cast<int>(tables.size())))];
        const std::vector<std::pair<int, int>> keys = t.Keys();
        auto [id, code] = keys[static_cast<size_t>(Pick(static_cast<int>(keys.size())))];
        if (std::getenv("VM_TRACE")) std::printf("%*sside %d/%d busy=%d\n", pumpDepth * 2, "", id, code, guard.Busy());
        t.Fire(id, code == EventTable::kAnyCode ? 0 : code, Pick(3), Pick(4));
    }

    // One random entry point of the table; or the simulator's window comes
    // or goes (its IPC server still answering); or its process ends or
    // starts (the link with it).
    void FireRandom() {
        static const std::vector<std::pair<int, int>> keys = [this] { return shell.Events().Keys(); }();
        const int n = static_cast<int>(keys.size());
        // One event in five goes to another window.
        if (Pick(5) == 0) {
            const bool idle = !guard.Busy();
            FireSide();
            if (idle && !view.ended) Check(-1);
            return;
        }
        const int k = Pick(n + 3);
        if (k >= n) {
            view.simRunning = !view.simRunning;
            if (k == n + 2) {
                transport.simRunning = view.simRunning;
                if (!view.simRunning && inRefresh) linkLost = true;
            }
            return;
        }
        auto [id, code] = keys[static_cast<size_t>(k)];
        if (code == EventTable::kAnyCode) code = 0;
        // Ends are rarer than clicks: runs get as far as refreshes.
        if (IsEnd(id) && Pick(4) != 0) return;
        // A timer ticks only while it runs.
        if ((id == MainIds::Timer1 && !view.timer1) || (id == MainIds::tmrFScheck && !view.watchWithLink) ||
            (id == MainIds::tmrFsCheck2 && view.watchWithLink))
            return;
        // What the click itself changes in the control, when the control
        // takes it: enabled, and not in a window a message has disabled.
        const std::optional<Ctl> control = CtlOfId(id);
        const bool takes = (!control || view.Enabled(*control)) && !guard.Holder(shell.Events().NeedsOf(id, code));
        if ((id == MainIds::lstClouds || id == MainIds::lstOption) && takes) {
            // A click on a check box of the list.
            const Lst l = id == MainIds::lstClouds ? Lst::lstClouds : Lst::lstOption;
            if (view.Count(l) > 0) view.v.SetChecked(l, Pick(view.Count(l)), Pick(2) == 0);
        }
        if (id == MainIds::cmbClouds && view.Count(Lst::cmbClouds) > 0 && takes)
            view.v.lists[Lst::cmbClouds].selected = Pick(view.Count(Lst::cmbClouds));
        if ((id == MainIds::optSky || id == MainIds::optFLT) && takes) view.v.fltChosen = id == MainIds::optFLT;
        if (std::getenv("VM_TRACE")) std::printf("%*s%d/%d busy=%d\n", pumpDepth * 2, "", id, code, guard.Busy());
        const bool idle = !guard.Busy();
        // Asked while idle, whether the session may end is only a question.
        if (IsEnd(id) && !(idle && id == MainIds::evQueryEndSession)) endAsked = true;
        if (idle) operationSeen = false;
        const int queuedRuns = guard.queueRan;
        shell.Events().Fire(id, code, 0, Pick(4));
        // Clicks queued behind a handler run after the operation's states
        // were computed, and set theirs as the handlers do.
        if (guard.queueRan != queuedRuns) operationSeen = false;
        if (idle && !view.ended) Check(id);
    }

    static bool IsEnd(int id) {
        return id == MainIds::cmdClose || id == MainIds::mnuEndProg || id == MainIds::evClose ||
               id == MainIds::evEndSession || id == MainIds::evQueryEndSession;
    }

    // The simulator's state while no refresh runs; after one, the state
    // must be what it was before it.
    void NoteWeather() {
        if (shell.weather.RefreshBusy) {
            inRefresh = true;
            return;
        }
        if (inRefresh) {
            inRefresh = false;
            if (!linkLost) {
                ++refreshesChecked;
                if (server.Layers() != quietLayers) Fail("a refresh left the simulator's layers changed");
                if (WeatherOf(server) != quietWeather) Fail("a refresh left the simulator's weather changed");
            }
            linkLost = false;
        }
        quietLayers = server.Layers();
        quietWeather = WeatherOf(server);
    }

    void CheckWhollyInstalled() {
        const int chosen = view.Selected(Lst::cmbClouds);
        if (chosen < 0) return;
        const std::string set = view.Item(Lst::cmbClouds, chosen);
        for (int i = 0; i < view.Count(Lst::lstClouds); ++i)
            if (view.Checked(Lst::lstClouds, i) &&
                te.fs.Read(SubPath(s.TextureDir, view.Item(Lst::lstClouds, i))) !=
                    SetFile(set, view.Item(Lst::lstClouds, i)))
                Fail(set + " named installed without " + view.Item(Lst::lstClouds, i));
    }

    void Check(int id) {
        auto fail = [&](const std::string& what) { Fail(what + " (after event " + std::to_string(id) + ")"); };
        for (int sim = 0; sim < 2; ++sim)
            for (const char* f : kFiles) {
                const auto tex = te.fs.Read(Texture(sim, f));
                const auto bak = te.fs.Read(Backup(sim, f));
                const bool isSet = tex && (*tex == SetFile(kSets[0], f) || *tex == SetFile(kSets[1], f));
                if (!tex || (*tex != Original(sim, f) && !isSet)) fail(Texture(sim, f) + " holds a stranger");
                if (isSet && bak != Original(sim, f)) fail(Texture(sim, f) + " replaced without its original saved");
                if (bak && *bak != Original(sim, f)) fail(Backup(sim, f) + " is no original");
            }
        // The texture record of the simulator chosen says what each file holds.
        TextureRecord record;
        if (record.Load(te.env, RecordPath(s)) == TextureRecord::Loaded::Ok)
            for (const TextureEntry* e : record.Entries()) {
                const auto tex = te.fs.Read(SubPath(s.TextureDir, e->name));
                if ((tex ? HashOf(te.env, *tex) : std::string()) != e->hash)
                    fail("the texture record is wrong about " + e->name);
            }
        if (guard.refused) fail("an operation began beside one holding the same");
        if (!guard.QueueEmpty()) fail("a queued event was left behind");
        if (guard.queued != guard.queueRan + guard.queueForgot) fail("a queued event never came to run");
        if (endAsked && !view.ended) fail("the end asked for did not come");
        NoteWeather();
        if (operationSeen) {
            MainState m;
            m.periodSet = s.AutoRandomTime != 0;
            m.autoRandomRunning = view.timer1;
            m.randomMode = state().RandomMode;
            m.fltChosen = view.v.fltChosen;
            m.fltCount = view.Count(Lst::lstFLT);
            for (Lst l : {Lst::lstClouds, Lst::lstOption})
                for (int i = 0; i < view.Count(l); ++i) m.anyChecked = m.anyChecked || view.Checked(l, i);
            m.backupEnabled = s.BackupEnabled;
            m.fsAvailable[0] = m.fsAvailable[1] = true;
            for (const ControlState& c : ComputeMainControls(m))
                if (view.Enabled(c.control) != c.enabled)
                    fail("control " + std::to_string(int(c.control)) + " not as computed");
        }
    }

    // `what` at the n-th pump of a copy loop after the "Installation" answer.
    void InCopy(std::function<void()> what, int n = 1) {
        auto count = std::make_shared<int>(0);
        inCopy_ = [this, what, n, count] {
            const bool answered = std::find(msgs.titles.begin(), msgs.titles.end(), "Installation") != msgs.titles.end();
            if (guard.Current() == Operation::Install && (answered || s.AutoRandomTime != 0) && ++*count == n) {
                what();
                return;
            }
            pump.scripted = inCopy_;
        };
        pump.scripted = inCopy_;
    }
    std::function<void()> inCopy_;

    void Run(int steps) {
        // Half the runs start beside a running simulator: refreshes follow
        // installs.
        view.simRunning = Pick(2) == 0;
        Start();
        for (int i = 0; i < steps && !view.ended && failures.empty(); ++i) {
            clock.Advance(static_cast<unsigned>(Pick(4000)));
            FireRandom();
        }
    }
};

int FuzzMessages::ShowMsg(const std::string&, uint8_t style, const std::string& title) {
    titles.push_back(title);
    const OperationScope waiting(rig->guard, Operation::Message);
    const int first = (style & 4) == 4 ? 7 : 2;
    for (int i = waits ? waits : rig->Pick(3); i > 0; --i) {
        rig->guard.DoEvents();
        if (rig->guard.EndAsked()) return first;
        rig->clock.Advance(200);
    }
    // This user always wants the originals saved; every other question gets
    // any answer.
    if (title == "No Backup files" || title == "BackUp Original" || rig->yesToAll) return 6;
    static const int answers[] = {1, 2, 6, 7};
    return answers[rig->Pick(4)];
}

void FuzzPump::DoEvents() {
    rig->NoteWeather();
    if (scripted) {
        auto once = std::move(scripted);
        scripted = nullptr;
        once();
        return;
    }
    if (quiet) return;
    if (rig->guard.OperationRunning()) rig->operationSeen = true;
    // Deep enough: events inside events inside events.
    if (rig->pumpDepth > 3 || rig->Pick(3) != 0) return;
    if (rig->guard.OperationRunning()) ++rig->eventsInOperations;
    ++rig->pumpDepth;
    rig->FireRandom();
    --rig->pumpDepth;
}

unsigned Seeds() {
    const char* env = std::getenv("VM_REENTRANCY_SEEDS");
    return env ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : 2000;
}

// What each policy does with an event from inside a plain handler's pump,
// inside an operation that holds what the event needs, and inside one that
// holds something else: one table, one event fired from inside each.
TEST(Reentrancy, EachPolicyInsideWhatRuns) {
    enum Where { InHandler, InConflicting, InOther, InOwnWindow, InShellCopy };
    struct Row {
        Policy policy;
        Where where;
        Fired inside;  // what Fire answers from inside
        int runs;      // handler runs of the inner event, in all
        int busy;      // runs of its busy part
        bool nested;   // it ran while the outer handler was still running
    };
    const Row rows[] = {
        {Policy::Start, InHandler, Fired::Queued, 1, 0, false},  // runs when the handler has ended
        {Policy::Start, InConflicting, Fired::Refused, 0, 0, false},
        {Policy::Start, InOther, Fired::Ran, 1, 0, true},  // a connect lets an install run
        {Policy::Start, InShellCopy, Fired::Refused, 0, 0, false},  // the platform's loop inside a backup
        {Policy::Tick, InHandler, Fired::Postponed, 0, 1, false},
        {Policy::Tick, InConflicting, Fired::Postponed, 0, 1, false},
        {Policy::Tick, InOther, Fired::Ran, 1, 0, true},  // timers go on during a message
        {Policy::Stop, InConflicting, Fired::Ran, 1, 0, true},
        {Policy::Close, InOther, Fired::Ran, 1, 0, true},         // another window's close: at once
        {Policy::Close, InOwnWindow, Fired::Deferred, 1, 0, false},  // its own handler ends first
        {Policy::End, InOther, Fired::Deferred, 0, 1, false},  // its busy part, once all ended
        {Policy::Free, InConflicting, Fired::Ran, 1, 0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "policy " << int(r.policy) << " where " << int(r.where));
        CountingPump inner;
        OperationGuard guard(&inner);
        EventTable outerWindow(guard, hold::kSoundWindow), innerWindow(guard, hold::kWeatherWindow);
        EventTable& innerTable = r.where == InOwnWindow ? outerWindow : innerWindow;
        int runs = 0, busy = 0;
        bool outerRunning = false, nested = false;
        innerTable.On(7, 0, r.policy, hold::kTextures, [&](const Event&) {
            ++runs;
            nested = nested || outerRunning;
        }, [&](const Event&) { ++busy; });
        Fired inside = Fired::NoEntry;
        outerWindow.On(1, 0, Policy::Start, hold::kNothing, [&](const Event&) {
            outerRunning = true;
            bool once = true;
            inner.onEvents = [&] {
                if (std::exchange(once, false)) inside = innerTable.Fire(7);
            };
            if (r.where == InShellCopy) {
                const OperationScope op(guard, Operation::Backup);
                const OwnLoop loop(&guard);
                inner.onEvents();  // the shell's progress window lets a message through
            } else if (r.where == InConflicting || r.where == InOther) {
                const OperationScope op(guard, r.where == InConflicting ? Operation::Install : Operation::Connect);
                guard.DoEvents();
            } else {
                guard.DoEvents();
            }
            inner.onEvents = nullptr;
            outerRunning = false;
        });
        EXPECT_EQ(outerWindow.Fire(1), Fired::Ran);
        EXPECT_EQ(inside, r.inside);
        EXPECT_EQ(runs, r.runs);
        EXPECT_EQ(busy, r.busy);
        EXPECT_EQ(nested, r.nested);
        EXPECT_FALSE(guard.Busy());
        EXPECT_TRUE(guard.QueueEmpty());
    }
}

// A queued event whose control went off meanwhile does not run; a table
// that goes away takes its queued events with it.
TEST(Reentrancy, QueuedEventsRunOnlyWhileTheirControlIsOn) {
    CountingPump inner;
    OperationGuard guard(&inner);
    EventTable main(guard, hold::kMainWindow);
    auto side = std::make_unique<EventTable>(guard, hold::kSoundWindow);
    int installs = 0, sideRuns = 0;
    bool installOn = true;
    main.enabled = [&](int) { return installOn; };
    main.On(2, 0, Policy::Start, hold::kTextures, [&] { ++installs; });
    side->On(3, 0, Policy::Start, hold::kNothing, [&] { ++sideRuns; });
    bool once = true;
    main.On(1, 0, Policy::Start, hold::kTextures, [&] {
        inner.onEvents = [&] {
            if (!std::exchange(once, false)) return;
            EXPECT_EQ(main.Fire(2), Fired::Queued);
            EXPECT_EQ(main.Fire(2), Fired::Queued);
            EXPECT_EQ(side->Fire(3), Fired::Queued);
        };
        guard.DoEvents();
        installOn = false;  // the handler turned the button off: one click is too late
        side.reset();       // and the side window went away
    });
    main.Fire(1);
    EXPECT_EQ(installs, 0);
    EXPECT_EQ(sideRuns, 0);
    EXPECT_EQ(guard.queued, guard.queueRan + guard.queueForgot);
    installOn = true;
    once = true;
    main.On(1, 0, Policy::Start, hold::kTextures, [&] {
        inner.onEvents = [&] {
            if (std::exchange(once, false)) main.Fire(2);
        };
        guard.DoEvents();
    });
    main.Fire(1);
    EXPECT_EQ(installs, 1);
}

// Events that once were refused, or stopped more than they named, each at
// the first pump of the operation it meets.
TEST(Reentrancy, EventsDuringAnOperation) {
    using Id = MainIds;
    auto started = [](Rig& rig) {
        rig.yesToAll = true;
        rig.pump.quiet = true;
        rig.Start();
        rig.view.v.CheckOnly(Lst::lstClouds, {"cld1.bmp", "cld2.bmp", "cld3.bmp"});
    };
    auto linked = [](Rig& rig) {
        rig.view.simRunning = true;
        rig.shell.Events().Fire(Id::tmrFScheck);
        ASSERT_TRUE(rig.shell.link.IpcLinked);
    };
    auto allSet = [](Rig& rig, int sim, const char* set) {
        for (const char* f : kFiles) EXPECT_EQ(rig.te.fs.Read(rig.Texture(sim, f)), SetFile(set, f)) << f;
    };
    {
        // The other simulator chosen while a set copies: refused, and the
        // status line says why; every file goes where it was meant to go.
        Rig rig(1);
        started(rig);
        rig.pump.scripted = [&] { EXPECT_EQ(rig.shell.Events().Fire(Id::optFs1, Id::kClicked), Fired::Refused); };
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_EQ(rig.s.FsIndex, 0);
        EXPECT_NE(std::find(rig.view.v.msgHistory.begin(), rig.view.v.msgHistory.end(),
                            RefusedText(Operation::Install)),
                  rig.view.v.msgHistory.end());
        allSet(rig, 0, "Cumu");
        for (const char* f : kFiles) EXPECT_EQ(rig.te.fs.Read(rig.Texture(1, f)), Original(1, f));
    }
    {
        // AutoRandom stopped (right click on lblTime) during its install:
        // AutoRandom ends at once, the copy finishes its set, and the window
        // comes back as the state makes it.
        Rig rig(2);
        started(rig);
        rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1);  // 0.1 min
        ASSERT_TRUE(rig.shell.autoRandom.Start(false));
        EXPECT_FALSE(rig.view.Enabled(Ctl::optFs1));  // no switching under AutoRandom
        rig.clock.Advance(60000);
        bool fired = false;
        rig.InCopy([&] {
            fired = true;
            EXPECT_EQ(rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 2), Fired::Ran);
            EXPECT_FALSE(rig.view.timer1);
            EXPECT_FALSE(rig.view.Enabled(Ctl::cmdInst));  // still copying
        });
        rig.shell.Events().Fire(Id::Timer1);
        EXPECT_TRUE(fired);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
        const int chosen = rig.view.Selected(Lst::cmbClouds);
        allSet(rig, 0, kSets[chosen]);
        ASSERT_FALSE(rig.s.LastInstalledSets.empty());
        EXPECT_EQ(rig.s.LastInstalledSets.back(), kSets[chosen]);
        for (Ctl c : {Ctl::cmdInst, Ctl::cmdInstAndStart, Ctl::cmdRandom, Ctl::optSky, Ctl::lstClouds, Ctl::optFs1})
            EXPECT_TRUE(rig.view.Enabled(c)) << int(c);
    }
    {
        // The simulator comes and goes only while AutoRandom's installs run:
        // the watch still sees both, and AutoRandom ends with the simulator.
        Rig rig(5);
        started(rig);
        rig.shell.SetWatch(false);
        rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1);
        rig.s.RandomWait = 50;
        ASSERT_TRUE(rig.shell.autoRandom.Start(false));
        for (bool running : {true, false}) {
            rig.InCopy([&rig, running] {
                rig.view.simRunning = running;
                rig.shell.Events().Fire(Id::tmrFsCheck2);
            });
            rig.shell.Events().Fire(Id::Timer1);
            EXPECT_EQ(rig.shell.watch.SimWasRunning, running);
        }
        EXPECT_FALSE(rig.view.timer1);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
    }
    {
        // The simulator appears and goes while every watch tick waits behind
        // a plain handler (AutoRandom's change letting messages run): its
        // going still ends AutoRandom.
        Rig rig(12);
        started(rig);
        rig.shell.SetWatch(false);
        rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1);
        rig.s.RandomWait = 50;
        ASSERT_TRUE(rig.shell.autoRandom.Start(false));
        int pumps = 0;
        std::function<void()> watchTicks = [&] {
            rig.view.simRunning = ++pumps == 1;
            EXPECT_EQ(rig.shell.Events().Fire(Id::tmrFsCheck2), Fired::Postponed);
            if (pumps == 1) rig.pump.scripted = watchTicks;
        };
        rig.pump.scripted = watchTicks;
        rig.shell.Events().Fire(Id::Timer1);
        EXPECT_EQ(pumps, 2);
        EXPECT_FALSE(rig.view.timer1);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
    }
    {
        // The sound desk opened while the watch connects: its following
        // starts at the follow timer's first tick after the connect.
        Rig rig(13);
        started(rig);
        rig.s.UseFsAny = true;
        rig.s.UseFsVol[0] = true;
        LayerRecord storm;
        storm.type = 10, storm.coverage = 6, storm.top = 3000, storm.base = 300;
        rig.server.SetLayers({storm});
        rig.view.simRunning = true;
        rig.transport.failSends = 2;  // the connect waits, letting messages run
        bool opened = false;
        std::function<void()> open = [&] {
            if (rig.guard.Holder(hold::kLink)) {
                opened = true;
                rig.side.desk.Form_Load();
                EXPECT_TRUE(rig.side.deskView.timer);
                EXPECT_FALSE(rig.side.desk.Following());
            } else {
                rig.pump.scripted = open;
            }
        };
        rig.pump.scripted = open;
        rig.shell.Events().Fire(Id::tmrFScheck);
        rig.pump.scripted = nullptr;
        ASSERT_TRUE(opened);
        ASSERT_TRUE(rig.shell.link.IpcLinked);
        rig.side.deskTable.Events().Fire(SoundIds::tmrIpcVolCont);
        EXPECT_TRUE(rig.side.desk.Following());
    }
    {
        // A period set (left click on lblTime) during a manual install is
        // refused with the reason on the status line.
        Rig rig(3);
        started(rig);
        rig.pump.scripted = [&] {
            EXPECT_EQ(rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1), Fired::Refused);
            EXPECT_EQ(rig.view.v.captions[Ctl::lblMsg], RefusedText(Operation::Install));
        };
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
        EXPECT_TRUE(rig.view.Enabled(Ctl::cmdInst));
    }
    {
        // The program's end during an install: the copy stops between two
        // files, the last-installed record does not name the half set, and
        // the texture record says what each file holds.
        Rig rig(6);
        started(rig);
        rig.InCopy([&] { rig.shell.Events().Fire(Id::evClose); }, 2);
        const size_t before = rig.s.LastInstalledSets.size();
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_TRUE(rig.view.ended);
        EXPECT_EQ(rig.s.LastInstalledSets.size(), before);
        int copied = 0;
        TextureRecord record;
        ASSERT_EQ(record.Load(rig.te.env, RecordPath(rig.s)), TextureRecord::Loaded::Ok);
        for (const char* f : kFiles) {
            const auto tex = rig.te.fs.Read(rig.Texture(0, f));
            copied += *tex == SetFile("Cumu", f);
            const TextureEntry* e = record.Find(f);
            ASSERT_NE(e, nullptr) << f;
            // What the end left unread is unknown (read by the next status),
            // never wrong.
            if (!e->hash.empty()) {
                EXPECT_EQ(e->hash, HashOf(rig.te.env, *tex)) << f;
            }
            EXPECT_EQ(e->set, *tex == SetFile("Cumu", f) ? "Cumu" : "") << f;
        }
        EXPECT_GT(copied, 0);
        EXPECT_LT(copied, 3);
    }
    {
        // Another window closed during an install: it closes at once, the
        // install goes on to its end and is recorded.
        Rig rig(7);
        started(rig);
        EventTable side(rig.guard, hold::kSoundWindow);
        bool closed = false;
        side.On(99, 0, Policy::Close, hold::kNothing, [&] { closed = true; });
        rig.pump.scripted = [&] { EXPECT_EQ(side.Fire(99), Fired::Ran); };
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_TRUE(closed);
        allSet(rig, 0, "Cumu");
        EXPECT_EQ(rig.s.LastInstalledSets.back(), "Cumu");
    }
    {
        // During the refresh after an install, the Option menu opens and
        // Stop Refresh ends the refresh with the layers as they were.
        Rig rig(8);
        started(rig);
        linked(rig);
        const std::vector<LayerRecord> before = rig.server.Layers();
        int pumps = 0;
        std::function<void()> script = [&] {
            if (!rig.shell.weather.RefreshBusy) {
                rig.pump.scripted = script;
                return;
            }
            if (++pumps == 1) {
                EXPECT_EQ(rig.shell.Events().Fire(Id::lblOption, Id::kClicked), Fired::Ran);
                EXPECT_EQ(rig.view.v.popups.back(), Menu::mnuPopUpForm);
                rig.pump.scripted = script;
            } else if (pumps == 150) {
                EXPECT_NE(rig.server.Layers(), before);  // half way down
                EXPECT_TRUE(rig.view.stopRefreshOn);
                EXPECT_EQ(rig.shell.Events().Fire(Id::mnuStopRefresh, Id::kClicked), Fired::Ran);
            } else {
                rig.pump.scripted = script;
            }
        };
        rig.pump.scripted = script;
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_EQ(pumps, 150);
        EXPECT_FALSE(rig.shell.weather.RefreshBusy);
        EXPECT_EQ(rig.server.Layers(), before);
        EXPECT_FALSE(rig.view.ended);
    }
    for (int stop : {Id::evClose, Id::mnuStopRefresh}) {
        // The program closed, or Stop Refresh chosen, during the manual
        // refresh's wait: the wait ends at once and the weather goes back.
        Rig rig(4);
        started(rig);
        linked(rig);
        const auto weather = WeatherOf(rig.server);
        rig.shell.refresh.Mode.RefreshCloud = true;
        rig.shell.refresh.Mode.WaitTimeAfterClear = 30000;
        const uint32_t before = rig.clock.tick;
        rig.pump.scripted = [&] { rig.shell.Events().Fire(stop, Id::kClicked); };
        rig.shell.Events().Fire(Id::lblRefresh, Id::kClicked);
        EXPECT_EQ(rig.view.ended, stop == Id::evClose);
        EXPECT_LT(rig.clock.tick - before, 1000u);
        EXPECT_FALSE(rig.shell.weather.RefreshBusy);
        EXPECT_EQ(WeatherOf(rig.server), weather);
    }
    {
        // Install clicked five times while the simulator's window is there
        // but its IPC module never accepts the link: every click brings the
        // confirmation, and the watch tries again only after a pause.
        Rig rig(9);
        started(rig);
        rig.server.Options().noAnswer = true;
        rig.view.simRunning = true;
        int clicks = 0;
        std::function<void()> click = [&] {
            const Operation now = rig.guard.Current();
            if ((now == Operation::Connect || now == Operation::Exchange) && clicks < 5) {
                ++clicks;
                rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
            }
            rig.pump.scripted = click;
        };
        rig.pump.scripted = click;
        rig.shell.Events().Fire(Id::tmrFScheck);
        rig.pump.scripted = nullptr;
        EXPECT_GE(clicks, 3);
        EXPECT_EQ(std::count(rig.msgs.titles.begin(), rig.msgs.titles.end(), "Installation"), clicks);
        EXPECT_FALSE(rig.shell.link.IpcOpened);
        const int sends = rig.transport.sends;
        rig.clock.Advance(1000);
        rig.shell.Events().Fire(Id::tmrFScheck);
        EXPECT_EQ(rig.transport.sends, sends);  // no connect at the next tick
    }
}

// AutoRandom keeps its pace while a message waits: the same ten minutes of
// Timer1 ticks change the set as often with "Last Installed Data" open for
// most of them as without it.
TEST(Reentrancy, AutoRandomChangesWhileAMessageWaits) {
    using Id = MainIds;
    auto changes = [](bool message) {
        Rig rig(11);
        rig.yesToAll = true;
        rig.pump.quiet = true;
        rig.Start();
        rig.view.v.CheckOnly(Lst::lstClouds, {"cld1.bmp"});
        rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1);  // 0.1 min: 6 s
        EXPECT_TRUE(rig.shell.autoRandom.Start(false));
        size_t changes = 0;
        int ticks = 0;
        // Timer1 every 200 ms, for ten minutes of the clock; each change
        // starts a new period.
        std::function<void()> tick = [&] {
            while (ticks < 3000) {
                ++ticks;
                rig.clock.Advance(200);
                const double period = rig.state().InstallTime;
                rig.shell.Events().Fire(Id::Timer1);
                changes += rig.state().InstallTime != period;
                if (message && ticks % 500 == 1) return;  // back to the message's wait
            }
        };
        if (message) {
            rig.msgs.waits = 1;
            while (ticks < 3000) {
                rig.pump.scripted = tick;
                rig.shell.Events().Fire(Id::mnuLastInst, Id::kClicked);
            }
        } else {
            tick();
        }
        return changes;
    };
    const size_t without = changes(false), with = changes(true);
    EXPECT_GT(without, 50u);
    EXPECT_LE(std::max(without, with) - std::min(without, with), 1u);
}

TEST(Reentrancy, RandomEventsAtEveryPumpKeepTheInvariants) {
    const unsigned seeds = Seeds();
    int ended = 0, operations = 0, refreshes = 0;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        Rig rig(seed);
        if (std::getenv("VM_TRACE")) std::printf("seed %u\n", seed);
        rig.Run(60);
        ASSERT_TRUE(rig.failures.empty()) << "seed " << seed << ": " << rig.failures.front();
        ended += rig.view.ended;
        operations += rig.eventsInOperations > 0;
        refreshes += rig.refreshesChecked;
    }
    // The runs reach the cases that matter: ends, events inside operations,
    // refreshes that ended.
    EXPECT_GT(ended, int(seeds) / 4);
    EXPECT_GT(operations, int(seeds) / 4);
    EXPECT_GT(refreshes, int(seeds) / 10);
}

}  // namespace
}  // namespace vm
