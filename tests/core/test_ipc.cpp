// The IPC client against the in-process server: open, queue, exchange,
// close and connect, with the server's and the platform's faults.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "common/operation_guard.h"
#include "fakes.h"
#include "sim/fsuipc.h"
#include "fakesim/ipc_loopback.h"

namespace vm {
namespace {

struct IpcRig {
    FakeClock clock;
    CountingPump pump;
    SimServer server;
    IpcLoopback transport{server, clock};
    Fsuipc link{transport, clock, pump};

    void ExpectReleased() {
        EXPECT_EQ(transport.OpenAtoms(), 0);
        EXPECT_EQ(transport.OpenMappings(), 0);
        EXPECT_EQ(transport.OpenViews(), 0);
        EXPECT_EQ(link.IpcView, nullptr);
        EXPECT_EQ(link.IpcAtom, 0);
        EXPECT_EQ(link.IpcMapping, 0u);
    }
    bool Open() {
        int r = -1;
        const bool ok = link.IpcOpen(0, r);
        EXPECT_EQ(r, 0);
        return ok;
    }
};

TEST(IpcOpen, ReadsVersionAndSimulatorAndWritesLibraryVersion) {
    IpcRig rig;
    rig.server.Options().version = 0x40001234;
    rig.server.Options().simCode = 2;
    int r = -1;
    ASSERT_TRUE(rig.link.IpcOpen(0, r));
    EXPECT_EQ(r, kIpcOk);
    EXPECT_EQ(rig.link.IpcVersion, 0x40001234u);
    EXPECT_EQ(rig.link.IpcSimCode, 2u);  // only the low half is kept
    EXPECT_EQ(rig.server.LibVersion(), 0);
    EXPECT_EQ(rig.transport.LastMappingName(), "FSASMLIB:IPC:2A5C:1");
    EXPECT_EQ(rig.transport.sends, 1);
    EXPECT_EQ(rig.clock.SleptMs(), 100u);  // one pause, messages let through every few ms
    EXPECT_FALSE(rig.link.ViaSimWindow());
    EXPECT_EQ(rig.link.Queued(), 0u);
}

TEST(IpcOpen, SecondOpenGivesOneAndLeavesTheLinkUsable) {
    IpcRig rig;
    ASSERT_TRUE(rig.Open());
    uint8_t* view = rig.link.IpcView;
    int r = -1;
    EXPECT_FALSE(rig.link.IpcOpen(0, r));
    EXPECT_EQ(r, kIpcAlreadyOpen);
    EXPECT_EQ(rig.link.IpcView, view);
    uint8_t version[4] = {};
    ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, version, r));
    ASSERT_TRUE(rig.link.IpcProcess(r));
    EXPECT_EQ(GetLe32(version), rig.server.Options().version);
}

TEST(IpcOpen, VersionAndServerWindowDecideTheRefusal) {
    struct Case {
        uint32_t version;
        bool fs98Only;
        uint32_t requested;
        int result;
    } cases[] = {
        {0x19980005, false, 0, kIpcOk},
        {0x19980005, true, 0, kIpcOk},
        {0x19980004, false, 0, kIpcWrongVersion},
        {0x19980004, true, 0, kIpcWideClient},
        {0x80000000, false, 0, kIpcWrongVersion},  // compared as signed
        {0x39990000, false, 6, kIpcOk},
        {0x39990000, false, 2, kIpcWrongSim},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.version << " fs98Only " << c.fs98Only);
        IpcRig rig;
        rig.server.Options().version = c.version;
        rig.server.Options().fs98Only = c.fs98Only;
        int r = -1;
        EXPECT_EQ(rig.link.IpcOpen(c.requested, r), c.result == kIpcOk);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(rig.link.ViaSimWindow(), c.fs98Only);
        if (c.result != kIpcOk) rig.ExpectReleased();
    }
}

TEST(IpcOpen, ZeroVersionIsAskedFiveTimesThenRefused) {
    // WideClient answers zeros while it waits for its server.
    IpcRig rig;
    rig.server.Options().version = 0;
    rig.server.Options().fs98Only = true;
    int r = -1;
    EXPECT_FALSE(rig.link.IpcOpen(0, r));
    EXPECT_EQ(r, kIpcWideClient);
    EXPECT_EQ(rig.server.Exchanges(), 5);
    EXPECT_EQ(rig.clock.SleptMs(), 500u);
    // The library version is written on the first attempt only.
    int libWrites = 0;
    for (const SimWrite& w : rig.server.Writes()) libWrites += w.offset == kIpcLibVersionOffset;
    EXPECT_EQ(libWrites, 1);
    rig.ExpectReleased();
}

TEST(IpcOpen, PlatformFailuresGiveTheirCodesAndReleaseEverything) {
    struct Case {
        const char* name;
        void (*arrange)(IpcLoopback&);
        int result;
    } cases[] = {
        {"no window", [](IpcLoopback& t) { t.simRunning = false; }, kIpcNoServer},
        {"register", [](IpcLoopback& t) { t.failRegister = true; }, kIpcRegisterFailed},
        {"atom", [](IpcLoopback& t) { t.failAtom = true; }, kIpcAtomFailed},
        {"mapping", [](IpcLoopback& t) { t.failMapping = true; }, kIpcMappingFailed},
        {"mapping exists", [](IpcLoopback& t) { t.mappingExists = true; }, kIpcMappingFailed},
        {"view", [](IpcLoopback& t) { t.failView = true; }, kIpcViewFailed},
        {"send", [](IpcLoopback& t) { t.failSends = 100, t.sendError = 5; }, kIpcSendFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IpcRig rig;
        c.arrange(rig.transport);
        int r = -1;
        EXPECT_FALSE(rig.link.IpcOpen(0, r));
        EXPECT_EQ(r, c.result);
        rig.ExpectReleased();
    }
}

TEST(IpcQueue, FiveLayerTablesFitAndTheSixthIsRefused) {
    IpcRig rig;
    std::vector<LayerRecord> layers(3);
    layers[1].type = 9;
    layers[2].top = 1234;
    rig.server.SetLayers(layers);
    ASSERT_TRUE(rig.Open());
    std::vector<std::vector<uint8_t>> buffers(6, std::vector<uint8_t>(6144, 0xAA));
    int r = -1;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(rig.link.IpcQueueRead(0x540000, 6144, buffers[i].data(), r));
    EXPECT_EQ(rig.link.Queued(), 5u * 6160u);
    EXPECT_FALSE(rig.link.IpcQueueRead(0x540000, 6144, buffers[5].data(), r));
    EXPECT_EQ(r, kIpcFull);
    EXPECT_EQ(rig.link.Queued(), 5u * 6160u);
    // A size near the top of the 32-bit range does not wrap around the test.
    EXPECT_FALSE(rig.link.IpcQueueWrite(0x100, 0xFFFFFFF0u, buffers[5].data(), r));
    EXPECT_EQ(r, kIpcFull);

    ASSERT_TRUE(rig.link.IpcProcess(r));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(DecodeLayerTable(buffers[i].data()), layers) << i;
    EXPECT_EQ(buffers[5], std::vector<uint8_t>(6144, 0xAA));
}

TEST(IpcProcess, SizeZeroAndNoDestinationCopyNothing) {
    IpcRig rig;
    ASSERT_TRUE(rig.Open());
    uint8_t untouched[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    uint8_t version[4] = {};
    int r = -1;
    ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 0, untouched, r));
    ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, nullptr, r));
    ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, version, r));
    const int before = rig.server.Exchanges();
    ASSERT_TRUE(rig.link.IpcProcess(r));
    EXPECT_EQ(rig.server.Exchanges(), before + 1);  // sent all the same
    EXPECT_EQ(GetLe32(untouched), 0xAAAAAAAAu);
    EXPECT_EQ(GetLe32(version), rig.server.Options().version);
}

TEST(IpcProcess, RefusesWhenClosedOrEmpty) {
    IpcRig rig;
    int r = -1;
    uint8_t b[4];
    EXPECT_FALSE(rig.link.IpcQueueRead(0x3304, 4, b, r));
    EXPECT_EQ(r, kIpcNotOpen);
    EXPECT_FALSE(rig.link.IpcQueueWrite(0x3304, 4, b, r));
    EXPECT_EQ(r, kIpcNotOpen);
    EXPECT_FALSE(rig.link.IpcProcess(r));
    EXPECT_EQ(r, kIpcNotOpen);

    ASSERT_TRUE(rig.Open());
    const int sends = rig.transport.sends;
    EXPECT_FALSE(rig.link.IpcProcess(r));
    EXPECT_EQ(r, kIpcNothingQueued);
    EXPECT_EQ(rig.transport.sends, sends);
}

TEST(IpcProcess, RetriesFailedSendsWithinTheBounds) {
    struct Case {
        int failures;
        uint32_t error;
        bool ok;
        int result;
        int sends;
    } cases[] = {
        {0, 0, true, kIpcOk, 1},
        {3, 0, true, kIpcOk, 4},
        {10, 0, true, kIpcOk, 11},  // the eleventh send's answer counts
        {11, 0, false, kIpcTimedOut, 11},
        {11, 1460, false, kIpcSendFailed, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failures << " failures, error " << c.error);
        IpcRig rig;
        ASSERT_TRUE(rig.Open());
        rig.transport.sends = 0;
        rig.clock.sleeps.clear();
        rig.transport.failSends = c.failures;
        rig.transport.sendError = c.error;
        uint8_t v[4] = {};
        int r = -1;
        ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, v, r));
        EXPECT_EQ(rig.link.IpcProcess(r), c.ok);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(rig.transport.sends, c.sends);
        EXPECT_EQ(rig.clock.SleptMs(), 100u * unsigned(c.sends - 1));
        EXPECT_EQ(rig.link.Queued(), 0u);
        EXPECT_NE(rig.link.IpcView, nullptr);  // a failed exchange leaves the link open
    }
}

// An exchange asked for from inside another's wait is refused and leaves an
// empty block behind (no destination of its caller outlives it); the
// program's end cuts the retries short, but never a put-back's.
TEST(IpcProcess, ARefusedNestedExchangeLeavesNothingQueued) {
    FakeClock clock;
    CountingPump inner;
    OperationGuard guard(&inner);
    SimServer server;
    IpcLoopback transport{server, clock};
    Fsuipc link{transport, clock, guard};
    int r = -1;
    ASSERT_TRUE(link.IpcOpen(0, r));
    transport.failSends = 1;  // the outer exchange waits once, letting messages run
    uint8_t outer[4] = {}, nested[4] = {};
    bool once = true;
    inner.onEvents = [&] {
        if (!std::exchange(once, false)) return;
        int rn = -1;
        ASSERT_TRUE(link.IpcQueueRead(kIpcVersionOffset, 4, nested, rn));
        EXPECT_FALSE(link.IpcProcess(rn));
        EXPECT_EQ(rn, kIpcSendFailed);
        EXPECT_EQ(link.Queued(), 0u);
    };
    ASSERT_TRUE(link.IpcQueueRead(kIpcVersionOffset, 4, outer, r));
    EXPECT_TRUE(link.IpcProcess(r));
    EXPECT_EQ(std::memcmp(nested, "\0\0\0\0", 4), 0);
    inner.onEvents = nullptr;
    uint8_t v[4] = {};
    ASSERT_TRUE(link.IpcQueueRead(kIpcVersionOffset, 4, v, r));
    ASSERT_TRUE(link.IpcProcess(r));
    EXPECT_EQ(std::memcmp(v, outer, 4), 0);

    guard.AskEnd(nullptr);
    for (bool putBack : {false, true}) {
        transport.failSends = 3;
        transport.sends = 0;
        std::optional<Fsuipc::PutBack> back;
        if (putBack) back.emplace(link);
        ASSERT_TRUE(link.IpcQueueRead(kIpcVersionOffset, 4, v, r));
        EXPECT_EQ(link.IpcProcess(r), putBack) << putBack;
        EXPECT_EQ(transport.sends, putBack ? 4 : 0) << putBack;
    }
}

TEST(IpcProcess, ServerThatNeverAnswersTimesOutEveryTry) {
    IpcRig rig;
    ASSERT_TRUE(rig.Open());
    rig.clock.sleeps.clear();
    rig.server.Options().noAnswer = true;
    rig.transport.sendError = IpcLoopback::kErrorTimeout;
    uint8_t v[4] = {};
    int r = -1;
    ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, v, r));
    EXPECT_FALSE(rig.link.IpcProcess(r));
    EXPECT_EQ(r, kIpcSendFailed);
    EXPECT_EQ(rig.clock.SleptMs(), 11u * 2000u + 10u * 100u);
}

TEST(IpcProcess, BadAnswersGiveThirteenAndNeverOverrun) {
    struct Case {
        const char* name;
        void (*arrange)(SimOptions&);
    } cases[] = {
        {"answer 0", [](SimOptions& o) { o.answer = 0; }},
        {"answer 2", [](SimOptions& o) { o.answer = 2; }},
        {"size", [](SimOptions& o) { o.corruptSize = true; }},
        {"identifier", [](SimOptions& o) { o.corruptId = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IpcRig rig;
        ASSERT_TRUE(rig.Open());
        c.arrange(rig.server.Options());
        // Exactly sized heap buffers: a copy past them is caught by ASan.
        std::vector<uint8_t> first(8), second(4);
        int r = -1;
        ASSERT_TRUE(rig.link.IpcQueueRead(kOffAltitude, 8, first.data(), r));
        ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, second.data(), r));
        EXPECT_FALSE(rig.link.IpcProcess(r));
        EXPECT_EQ(r, kIpcBadData);
        EXPECT_EQ(rig.link.Queued(), 0u);
        // The link stays open and works once the server behaves.
        rig.server.Options() = SimOptions{};
        ASSERT_TRUE(rig.link.IpcQueueRead(kIpcVersionOffset, 4, second.data(), r));
        EXPECT_TRUE(rig.link.IpcProcess(r));
    }
}

TEST(IpcClose, ReleasesEverythingAndCanReopen) {
    IpcRig rig;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(rig.Open());
        EXPECT_EQ(rig.transport.OpenAtoms(), 1);
        EXPECT_EQ(rig.transport.OpenMappings(), 1);
        EXPECT_EQ(rig.transport.OpenViews(), 1);
        rig.link.IpcLinked = rig.link.IpcOpened = true;
        rig.link.IpcClose();
        EXPECT_FALSE(rig.link.IpcLinked);
        EXPECT_FALSE(rig.link.IpcOpened);
        rig.ExpectReleased();
    }
    rig.link.IpcClose();  // closing twice is harmless
    rig.ExpectReleased();
}

TEST(IpcConnect, OpensOnlyWhileTheSimulatorRunsAndNotAlreadyOpened) {
    IpcRig rig;
    rig.link.IpcConnect();
    EXPECT_FALSE(rig.link.IpcOpened);
    EXPECT_EQ(rig.transport.sends, 0);

    rig.link.SimRunning = true;
    rig.link.IpcConnect();
    EXPECT_TRUE(rig.link.IpcOpened);
    EXPECT_TRUE(rig.link.IpcLinked);
    const int sends = rig.transport.sends;
    rig.link.IpcConnect();  // already opened: nothing happens
    EXPECT_EQ(rig.transport.sends, sends);
}

TEST(IpcConnect, GivesUpWithinTenSeconds) {
    IpcRig rig;
    rig.link.SimRunning = true;
    rig.server.Options().version = 1;
    const uint32_t start = rig.clock.tick;
    rig.link.IpcConnect();
    EXPECT_FALSE(rig.link.IpcLinked);
    EXPECT_FALSE(rig.link.IpcOpened);
    EXPECT_EQ(rig.link.LastConnectResult(), kIpcWrongVersion);
    // 200 ms a round (the open's pause and the round's): no send begins that
    // could end past ten seconds, so the 41st round is the last.
    EXPECT_EQ(rig.server.Exchanges(), 41);
    EXPECT_LE(rig.clock.tick - start, 10000u);
    for (unsigned ms : rig.clock.sleeps) EXPECT_LE(ms, 10u);
    rig.ExpectReleased();
}

TEST(IpcConnect, StopsWhenTheSimulatorGoesAway) {
    IpcRig rig;
    rig.link.SimRunning = true;
    rig.transport.simRunning = false;
    rig.pump.onEvents = [&] {
        if (rig.pump.count == 3) rig.link.SimRunning = false;
    };
    rig.link.IpcConnect();
    EXPECT_EQ(rig.pump.count, 11);  // one pause, let through every 10 ms: no second open
    EXPECT_EQ(rig.link.LastConnectResult(), kIpcNoServer);
    EXPECT_FALSE(rig.link.IpcOpened);
}

TEST(IpcAnswer, WalkNeverLeavesTheBlockNorOverfillsADestination) {
    std::vector<uint8_t> block(64, 0);
    uint8_t dest[6];
    const std::vector<IpcPending> pending = {{dest, 4}};
    auto walk = [&](uint32_t id, uint32_t size, uint32_t token, uint32_t secondId = 0) {
        std::fill(block.begin(), block.end(), 0);
        std::fill(dest, dest + 6, 0xEE);
        for (int i = 0; i < 4; ++i) block[16 + i] = uint8_t(i + 1);
        PutLe32(&block[0], id);
        PutLe32(&block[8], size);
        PutLe32(&block[12], token);
        if (secondId) PutLe32(&block[56], secondId);  // only 8 bytes left for its header
        return DeliverIpcAnswer(block.data(), block.size(), pending);
    };
    const std::vector<uint8_t> delivered = {1, 2, 3, 4, 0xEE, 0xEE};
    EXPECT_TRUE(walk(0x00010001, 4, 1));  // only the low 16 bits of the identifier count
    EXPECT_EQ(std::vector<uint8_t>(dest, dest + 6), delivered);
    EXPECT_TRUE(walk(1, 24, 1));  // larger than queued: only the queued 4 bytes arrive
    EXPECT_EQ(std::vector<uint8_t>(dest, dest + 6), delivered);

    EXPECT_FALSE(walk(1, 49, 1));     // data area past the block
    EXPECT_FALSE(walk(1, 4, 2));      // token that was never queued
    EXPECT_FALSE(walk(3, 4, 1));      // unknown identifier
    EXPECT_FALSE(walk(1, 40, 0, 2));  // header cut by the end of the block
    EXPECT_FALSE(walk(1, 48, 0));     // no terminator before the end
}

TEST(IpcNames, TextsAndMappingName) {
    EXPECT_EQ(IpcResultText(13), "IPC request contains bad data");
    EXPECT_EQ(IpcResultText(16), "");
    EXPECT_EQ(SimCodeName(6), "FS2002");
    EXPECT_EQ(IpcMappingName(0xABC, 1), "FSASMLIB:IPC:ABC:1");
    EXPECT_LT(IpcMappingName(0xFFFFFFFF, 1).size(), 24u);  // fits the fixed field with its NUL
}

TEST(IpcModule, PresentOnlyWithTheModuleFileUnderModules) {
    TestEnv t;
    t.fs.AddDir("C:\\FS");
    EXPECT_FALSE(IpcModulePresent(t.env, "C:\\FS"));  // no Modules folder
    t.fs.AddDir("C:\\FS\\Modules");
    EXPECT_FALSE(IpcModulePresent(t.env, "C:\\FS"));
    t.fs.AddFile("C:\\FS\\Modules\\fsuipc.DLL");
    EXPECT_TRUE(IpcModulePresent(t.env, "C:\\FS"));
}

}  // namespace
}  // namespace vm
