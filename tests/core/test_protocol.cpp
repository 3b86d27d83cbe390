// The wire between the program and the simulator's IPC module, pinned by
// literal values: the window classes the client looks for, the offsets and
// sizes it asks for, and the stand-in answering the same literal offsets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/ipc_block.h"
#include "sim/weather.h"

namespace vm {
namespace {

struct Seen {
    IpcRequest::Kind kind;
    uint32_t offset;
    uint32_t size;
    bool operator==(const Seen&) const = default;
};

// Forwards to the loopback and notes the window classes searched and every
// request of each block as it goes out.
class TapTransport : public IpcTransport {
public:
    explicit TapTransport(IpcTransport& inner) : inner_(inner) {}
    std::vector<std::string> classes;
    std::vector<Seen> requests;

    Handle FindServerWindow(const std::string& c) override {
        classes.push_back(c);
        return inner_.FindServerWindow(c);
    }
    uint32_t RegisterMessage(const std::string& n) override { return inner_.RegisterMessage(n); }
    uint32_t ProcessId() override { return inner_.ProcessId(); }
    uint16_t AddAtom(const std::string& n) override { return inner_.AddAtom(n); }
    void DeleteAtom(uint16_t a) override { inner_.DeleteAtom(a); }
    Handle CreateMapping(const std::string& n, uint32_t s, uint32_t& e) override {
        return inner_.CreateMapping(n, s, e);
    }
    uint8_t* MapView(Handle m) override { return view_ = inner_.MapView(m); }
    void UnmapView(uint8_t* v) override { inner_.UnmapView(v); }
    void CloseMapping(Handle m) override { inner_.CloseMapping(m); }
    bool Send(Handle w, uint32_t m, uint16_t a, unsigned t, uintptr_t& answer, uint32_t& e) override {
        for (size_t pos = 0;;) {
            const IpcRequest r = ParseIpcRequest(view_, 0x8000, pos);
            if (r.kind == IpcRequest::End || r.kind == IpcRequest::Bad) break;
            requests.push_back({r.kind, r.offset, r.size});
            pos = r.next;
        }
        return inner_.Send(w, m, a, t, answer, e);
    }

private:
    IpcTransport& inner_;
    uint8_t* view_ = nullptr;
};

constexpr auto R = IpcRequest::Read;
constexpr auto W = IpcRequest::Write;

TEST(Protocol, ClientAsksForTheModuleWindowAndItsOffsetsByTheirFixedValues) {
    FakeClock clock;
    CountingPump pump;
    SimServer server;
    server.Options().fs98Only = true;  // so the search goes on to the simulator's window
    server.Options().version = 0x19980004;
    IpcLoopback loop{server, clock};
    TapTransport tap{loop};
    Fsuipc link{tap, clock, pump};
    int r = 0;
    EXPECT_FALSE(link.IpcOpen(0, r));
    EXPECT_EQ(tap.classes, (std::vector<std::string>{"UIPCMAIN", "FS98MAIN"}));
    EXPECT_EQ(loop.LastMappingName().rfind("FSASMLIB:IPC:", 0), 0u);
    ASSERT_GE(tap.requests.size(), 3u);
    EXPECT_EQ(std::vector<Seen>(tap.requests.begin(), tap.requests.begin() + 3),
              (std::vector<Seen>{{R, 0x3304, 4}, {R, 0x3308, 4}, {W, 0x330A, 2}}));
}

TEST(Protocol, WeatherOperationsUseTheFixedOffsetsAndSizes) {
    FakeClock clock;
    CountingPump pump;
    SimServer server;
    IpcLoopback loop{server, clock};
    TapTransport tap{loop};
    Fsuipc link{tap, clock, pump};
    ComIpc weather{link};
    link.SimRunning = true;
    link.IpcConnect();
    ASSERT_TRUE(link.IpcLinked);
    tap.requests.clear();

    double feet = 0;
    weather.ReadAltitude(feet);
    weather.LinkReady();
    weather.SaveWeather();
    weather.ClearWeather();
    weather.RestoreWeather();
    weather.ReadLayers();
    weather.WriteLayers();
    const std::vector<Seen> expected = {
        {R, 0x0570, 8},       {R, 0x04D6, 2},       {R, 0x140000, 10},    {R, 0x240000, 8},
        {R, 0x340000, 12},    {R, 0x440000, 16},    {R, 0x540000, 6144},  {W, 0x550000, 0},
        {W, 0x160000, 10},    {W, 0x260000, 8},     {W, 0x360000, 12},    {W, 0x460000, 16},
        {W, 0x560000, 6144},  {R, 0x540000, 6144},  {W, 0x560000, 6144},
    };
    EXPECT_EQ(tap.requests, expected);
}

TEST(Protocol, StandInAnswersTheFixedOffsets) {
    SimOptions o;
    o.version = 0x39990000;
    o.simCode = 6;
    o.altitude = {{0, 1000.5}};
    SimServer server(o);
    std::vector<uint8_t> block(0x8000, 0);
    // Reads of 0x3308 (4 bytes) and 0x04D6 (2 bytes), then the end.
    PutLe32(&block[0], 1);
    PutLe32(&block[4], 0x3308);
    PutLe32(&block[8], 4);
    PutLe32(&block[20], 1);
    PutLe32(&block[24], 0x04D6);
    PutLe32(&block[28], 2);
    EXPECT_EQ(server.Handle(block.data(), block.size(), 0), 1u);
    EXPECT_EQ(GetLe32(&block[16]), 0xFADE0006u);
    EXPECT_EQ(block[36], 0xDE);
    EXPECT_EQ(block[37], 0xFA);
    // A write of 0x560000 lands in the table read at 0x540000; 0x550000 clears it.
    SimServer s2;
    std::fill(block.begin(), block.end(), 0);
    PutLe32(&block[0], 2);
    PutLe32(&block[4], 0x560000);
    PutLe32(&block[8], 1);
    block[12] = 24;
    s2.Handle(block.data(), block.size(), 0);
    EXPECT_EQ(s2.LayerTable()[0], 24);
    PutLe32(&block[0], 2);
    PutLe32(&block[4], 0x550000);
    PutLe32(&block[8], 0);
    PutLe32(&block[12], 0);
    s2.Handle(block.data(), block.size(), 0);
    EXPECT_EQ(s2.LayerTable()[0], 0);
}

}  // namespace
}  // namespace vm
