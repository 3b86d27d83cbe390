// The wire between the program and the simulator's IPC module, pinned by
// literal values: the window classes the client looks for and the offsets
// and sizes of every request it lays.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/weather.h"

namespace vm {
namespace {

// The in-process transport, noting the classes searched and every request
// of each block as it goes out.
struct TapTransport : IpcLoopback {
    using IpcLoopback::IpcLoopback;
    std::vector<std::string> classes;
    std::vector<std::string> requests;  // "R 140000 10", "W 550000 0"
    uint8_t* view = nullptr;

    Handle FindServerWindow(const std::string& c) override {
        classes.push_back(c);
        return IpcLoopback::FindServerWindow(c);
    }
    uint8_t* MapView(Handle m) override { return view = IpcLoopback::MapView(m); }
    bool Send(Handle w, uint32_t m, uint16_t a, unsigned t, uintptr_t& answer, uint32_t& e) override {
        for (IpcRequest r = ParseIpcRequest(view, 0x8000, 0); r.kind == IpcRequest::Read || r.kind == IpcRequest::Write;
             r = ParseIpcRequest(view, 0x8000, r.next)) {
            char line[32];
            std::snprintf(line, sizeof line, "%c %X %u", r.kind == IpcRequest::Read ? 'R' : 'W', r.offset, r.size);
            requests.push_back(line);
        }
        return IpcLoopback::Send(w, m, a, t, answer, e);
    }
};

TEST(Protocol, ClientUsesTheFixedClassesOffsetsAndSizes) {
    FakeClock clock;
    CountingPump pump;
    SimServer server;
    server.Options().fs98Only = true;  // the search goes on to the simulator's window
    TapTransport tap{server, clock};
    Fsuipc link{tap, clock, pump};
    ComIpc weather{link};
    link.SimRunning = true;
    link.IpcConnect();
    ASSERT_TRUE(link.IpcLinked);
    EXPECT_EQ(tap.classes, (std::vector<std::string>{"UIPCMAIN", "FS98MAIN"}));
    EXPECT_EQ(tap.LastMappingName().rfind("FSASMLIB:IPC:", 0), 0u);

    double feet = 0;
    weather.ReadAltitude(feet);
    weather.LinkReady();
    weather.SaveWeather();
    weather.ClearWeather();
    weather.RestoreWeather();
    weather.ReadLayers();
    weather.WriteLayers();
    EXPECT_EQ(tap.requests, (std::vector<std::string>{
                                "R 3304 4", "R 3308 4", "W 330A 2",  // the open
                                "R 570 8", "R 4D6 2",
                                "R 140000 10", "R 240000 8", "R 340000 12", "R 440000 16", "R 540000 6144",
                                "W 550000 0",
                                "W 160000 10", "W 260000 8", "W 360000 12", "W 460000 16", "W 560000 6144",
                                "R 540000 6144", "W 560000 6144"}));
}

}  // namespace
}  // namespace vm
