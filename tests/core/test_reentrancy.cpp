// Events at every pump: a seeded generator drives the main window's real
// controllers and event table over two simulators in memory, and at every
// DoEvents of every operation (copy loops, questions, the refresh, the
// connect) fires a random entry point. After each step the invariants hold:
// textures are originals or set files with their originals saved, no
// backup differs from its original, no operation began inside another, the
// control states are the computed ones after an operation, an end asked for
// ends the program.
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

namespace vm {
namespace {

const char* const kSims[2] = {"C:\\FSA", "C:\\FSB"};
const char* const kSets[2] = {"Cumu", "Strat"};
const char* const kFiles[3] = {"cld1.bmp", "cld2.bmp", "cld3.bmp"};

std::string Original(int sim, const std::string& file) { return std::string(sim ? "B-" : "A-") + file; }
std::string SetFile(const std::string& set, const std::string& file) { return "set-" + set + "-" + file; }

class Rig;

// The message window: answers at random, and lets messages run while it
// waits, as the real one does.
struct FuzzMessages : Messages {
    Rig* rig = nullptr;
    int ShowMsg(const std::string& text, uint8_t style, const std::string& title) override;
    std::vector<std::string> titles;
};

// The main window in memory: its lists and states, its timers and what the
// program's end does.
struct FuzzView : MainView {
    FakeSetsView v;
    Rig* rig = nullptr;
    bool timer1 = false, watchWithLink = false, ended = false, simRunning = false;
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
    void Popup(Menu) override {}
    void ShowMainWindow() override {}
    void ClearLists() override {}
    void SetStretch(bool) override {}
    void SetToolTip(const std::string&, int, const std::string&) override {}
    void ShowTime(const std::string&) override {}
    void EnableTime(bool) override {}
    void EnableStopRefresh(bool) override {}
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
        server.SetLayers({LayerRecord{}});
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
    bool endAsked = false;
    bool yesToAll = false;
    int pumpDepth = 0;
    bool operationSeen = false;
    int eventsInOperations = 0;
    std::vector<std::string> failures;

    SetsState& state() { return shell.state; }
    std::string Texture(int sim, const std::string& f) { return std::string(kSims[sim]) + "\\texture\\" + f; }
    std::string Backup(int sim, const std::string& f) { return std::string(kSims[sim]) + "\\texture\\bk\\" + f; }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen); }

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
    }

    // One random entry point of the table, or the simulator coming or going.
    void FireRandom() {
        static const std::vector<std::pair<int, int>> keys = [this] { return shell.Events().Keys(); }();
        const int n = static_cast<int>(keys.size());
        const int k = Pick(n + 2);
        if (k >= n) {
            view.simRunning = !view.simRunning;
            transport.simRunning = view.simRunning;
            return;
        }
        auto [id, code] = keys[static_cast<size_t>(k)];
        if (code == EventTable::kAnyCode) code = 0;
        // A timer ticks only while it runs.
        if ((id == MainIds::Timer1 && !view.timer1) || (id == MainIds::tmrFScheck && !view.watchWithLink) ||
            (id == MainIds::tmrFsCheck2 && view.watchWithLink))
            return;
        if (id == MainIds::lstClouds || id == MainIds::lstOption) {
            // A click on a check box of the list.
            const Lst l = id == MainIds::lstClouds ? Lst::lstClouds : Lst::lstOption;
            if (view.Count(l) > 0) view.v.SetChecked(l, Pick(view.Count(l)), Pick(2) == 0);
        }
        if (id == MainIds::cmbClouds && view.Count(Lst::cmbClouds) > 0)
            view.v.lists[Lst::cmbClouds].selected = Pick(view.Count(Lst::cmbClouds));
        if (id == MainIds::optSky || id == MainIds::optFLT) view.v.fltChosen = id == MainIds::optFLT;
        if (std::getenv("VM_TRACE")) std::printf("%*s%d/%d busy=%d\n", pumpDepth * 2, "", id, code, guard.Busy());
        const bool idle = !guard.Busy();
        // Asked while idle, whether the session may end is only a question.
        if (IsEnd(id) && !(idle && id == MainIds::evQueryEndSession)) endAsked = true;
        if (idle) operationSeen = false;
        shell.Events().Fire(id, code, 0, Pick(4));
        if (idle && !view.ended) Check(id);
    }

    static bool IsEnd(int id) {
        return id == MainIds::cmdClose || id == MainIds::mnuEndProg || id == MainIds::evClose ||
               id == MainIds::evEndSession || id == MainIds::evQueryEndSession;
    }

    void Check(int id) {
        auto fail = [&](const std::string& what) { failures.push_back(what + " (after event " + std::to_string(id) + ")"); };
        for (int sim = 0; sim < 2; ++sim)
            for (const char* f : kFiles) {
                const auto tex = te.fs.Read(Texture(sim, f));
                const auto bak = te.fs.Read(Backup(sim, f));
                const bool isSet = tex && (*tex == SetFile(kSets[0], f) || *tex == SetFile(kSets[1], f));
                if (!tex || (*tex != Original(sim, f) && !isSet)) fail(Texture(sim, f) + " holds a stranger");
                if (isSet && bak != Original(sim, f)) fail(Texture(sim, f) + " replaced without its original saved");
                if (bak && *bak != Original(sim, f)) fail(Backup(sim, f) + " is no original");
            }
        if (guard.refused) fail("an operation began inside another");
        if (!guard.Busy() && guard.StopAsked()) fail("a stop request left waiting");
        if (endAsked && !view.ended) fail("the end asked for did not come");
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

    void Run(int steps) {
        Start();
        for (int i = 0; i < steps && !view.ended && failures.empty(); ++i) {
            clock.Advance(static_cast<unsigned>(Pick(4000)));
            FireRandom();
        }
    }
};

int FuzzMessages::ShowMsg(const std::string&, uint8_t, const std::string& title) {
    titles.push_back(title);
    for (int i = rig->Pick(3); i > 0; --i) rig->guard.DoEvents();
    // This user always wants the originals saved; every other question gets
    // any answer.
    if (title == "No Backup files" || title == "BackUp Original" || rig->yesToAll) return 6;
    static const int answers[] = {1, 2, 6, 7};
    return answers[rig->Pick(4)];
}

void FuzzPump::DoEvents() {
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

// What each policy does with an event that arrives while its own handler
// lets messages run (a timer that starts an exchange, a click, a stop, the
// window's moving): one table, one event fired from inside each handler.
TEST(Reentrancy, EachPolicyInsideARunningHandler) {
    struct Row {
        Policy policy;
        Fired inside;   // what Fire answers from inside the handler's pump
        int runs;       // handler runs in all
        int maxDepth;   // deepest nesting of the handler
    };
    const Row rows[] = {
        {Policy::Start, Fired::Refused, 1, 1},
        {Policy::Tick, Fired::Refused, 1, 1},   // an altitude tick never nests a connect
        {Policy::Stop, Fired::Deferred, 2, 1},  // carried out once the first is over
        {Policy::Watch, Fired::Ran, 1, 1},      // only its busy part runs inside
        {Policy::Free, Fired::Ran, 2, 2},
    };
    for (const Row& r : rows) {
        CountingPump inner;
        OperationGuard guard(&inner);
        EventTable table(guard);
        int runs = 0, depth = 0, maxDepth = 0, busyParts = 0;
        Fired inside = Fired::NoEntry;
        table.On(
            1, 0, r.policy,
            [&](const Event&) {
                ++runs;
                maxDepth = std::max(maxDepth, ++depth);
                if (runs == 1) {
                    bool once = true;
                    inner.onEvents = [&] {
                        if (std::exchange(once, false)) inside = table.Fire(1);
                    };
                    guard.DoEvents();
                    inner.onEvents = nullptr;
                }
                --depth;
            },
            r.policy == Policy::Watch ? EventTable::Handler([&](const Event&) { ++busyParts; }) : nullptr);
        EXPECT_EQ(table.Fire(1), Fired::Ran);
        EXPECT_EQ(inside, r.inside) << int(r.policy);
        EXPECT_EQ(runs, r.runs) << int(r.policy);
        EXPECT_EQ(maxDepth, r.maxDepth) << int(r.policy);
        EXPECT_EQ(busyParts, r.policy == Policy::Watch ? 1 : 0) << int(r.policy);
        EXPECT_FALSE(guard.Busy());
        EXPECT_FALSE(guard.StopAsked());
    }
}

// Events that once started, switched or stopped work half way, each at the
// first pump of the operation it meets.
TEST(Reentrancy, EventsDuringAnOperation) {
    using Id = MainIds;
    auto started = [](Rig& rig) {
        rig.yesToAll = true;
        rig.pump.quiet = true;
        rig.Start();
        rig.view.v.CheckOnly(Lst::lstClouds, {"cld1.bmp", "cld2.bmp", "cld3.bmp"});
    };
    {
        // The other simulator chosen while a set copies: refused; every file
        // goes where the set was meant to go.
        Rig rig(1);
        started(rig);
        rig.pump.scripted = [&] { rig.shell.Events().Fire(Id::optFs1, Id::kClicked); };
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_EQ(rig.s.FsIndex, 0);
        for (const char* f : kFiles) {
            EXPECT_EQ(rig.te.fs.Read(rig.Texture(0, f)), SetFile("Cumu", f));
            EXPECT_EQ(rig.te.fs.Read(rig.Texture(1, f)), Original(1, f));
        }
    }
    {
        // AutoRandom stopped (right click on lblTime) during its install: the
        // copy stops between two files, AutoRandom ends and the window comes
        // back as the state makes it, not as it was before the install.
        Rig rig(2);
        started(rig);
        rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1);  // 0.1 min
        ASSERT_TRUE(rig.shell.autoRandom.Start(false));
        EXPECT_FALSE(rig.view.Enabled(Ctl::optFs1));  // no switching under AutoRandom
        rig.clock.Advance(60000);
        bool fired = false;
        rig.pump.scripted = [&] {
            fired = true;
            EXPECT_EQ(rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 2), Fired::Deferred);
        };
        rig.shell.Events().Fire(Id::Timer1);
        EXPECT_TRUE(fired);
        EXPECT_FALSE(rig.view.timer1);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
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
            rig.pump.scripted = [&rig, running] {
                rig.view.simRunning = running;
                rig.shell.Events().Fire(Id::tmrFsCheck2);
            };
            rig.shell.Events().Fire(Id::Timer1);
            EXPECT_EQ(rig.shell.watch.SimWasRunning, running);
        }
        EXPECT_FALSE(rig.view.timer1);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
    }
    {
        // A period set (left click on lblTime) during a manual install is
        // refused: no period, the install button as the checks make it.
        Rig rig(3);
        started(rig);
        rig.pump.scripted = [&] {
            EXPECT_EQ(rig.shell.Events().Fire(Id::lblTime, Id::kMouseDown + 1), Fired::Refused);
        };
        rig.shell.Events().Fire(Id::cmdInst, Id::kClicked);
        EXPECT_EQ(rig.s.AutoRandomTime, 0);
        EXPECT_TRUE(rig.view.Enabled(Ctl::cmdInst));
    }
    {
        // The program closed during the manual refresh's wait: the wait ends
        // at once, the weather is put back, the program ends.
        Rig rig(4);
        started(rig);
        rig.view.simRunning = true;
        rig.shell.Events().Fire(Id::tmrFScheck);
        ASSERT_TRUE(rig.shell.link.IpcLinked);
        rig.shell.refresh.Mode.RefreshCloud = true;
        rig.shell.refresh.Mode.WaitTimeAfterClear = 30000;
        const uint32_t before = rig.clock.tick;
        rig.pump.scripted = [&] { rig.shell.Events().Fire(Id::evClose); };
        rig.shell.Events().Fire(Id::lblRefresh, Id::kClicked);
        EXPECT_TRUE(rig.view.ended);
        EXPECT_LT(rig.clock.tick - before, 1000u);
        EXPECT_FALSE(rig.shell.weather.RefreshBusy);
    }
}

TEST(Reentrancy, RandomEventsAtEveryPumpKeepTheInvariants) {
    const unsigned seeds = Seeds();
    int ended = 0, operations = 0;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        Rig rig(seed);
        if (std::getenv("VM_TRACE")) std::printf("seed %u\n", seed);
        rig.Run(60);
        ASSERT_TRUE(rig.failures.empty()) << "seed " << seed << ": " << rig.failures.front();
        ended += rig.view.ended;
        operations += rig.eventsInOperations > 0;
    }
    // The runs reach the cases that matter: ends, and events inside operations.
    EXPECT_GT(ended, int(seeds) / 4);
    EXPECT_GT(operations, int(seeds) / 4);
}

}  // namespace
}  // namespace vm
