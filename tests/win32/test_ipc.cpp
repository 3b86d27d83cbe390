// The IPC client over the Win32 transport against fakesim.exe running in
// its own process. Tests that start fakesim hold a named mutex, so that two
// test processes never talk to each other's stand-in simulator.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32_ipc.h"
#include "platform/win32_ports.h"
#include "sim/fsuipc.h"
#include "fakes.h"
#include "sim/refresh.h"
#include "sim/weather.h"
#include "win_files.h"

using namespace vm;

namespace {

std::string ExeDir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

struct LogLine {
    DWORD ms;
    uint32_t offset;
    std::vector<uint8_t> data;
};

// fakesim.exe started with options; stopped (or killed) at the end.
class FakeSim {
public:
    ~FakeSim() { Stop(); }

    bool Start(const std::string& options) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        logPath_ = std::string(temp) + "vm_fakesim_" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(logPath_.c_str());
        std::string cmd = "\"";
        cmd += ExeDir();
        cmd += "\\fakesim.exe\" hidden \"log=";
        cmd += logPath_;
        cmd += "\" ";
        cmd += options;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
            return false;
        for (int i = 0; i < 200; ++i) {
            if (FindWindowA(kSimWindowClass, nullptr)) return true;
            if (WaitForSingleObject(pi_.hProcess, 50) == WAIT_OBJECT_0) return false;
        }
        return false;
    }

    void Stop() {
        if (!pi_.hProcess) return;
        if (HWND w = FindWindowA(kSimWindowClass, nullptr)) PostMessageA(w, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi_.hProcess, 3000) != WAIT_OBJECT_0) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
        pi_ = {};
    }

    std::vector<LogLine> Log() const {
        std::vector<LogLine> out;
        std::istringstream in(ReadTextFile(logPath_));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream l(line);
            unsigned long ms = 0;
            std::string offset, hex;
            unsigned size = 0;
            l >> ms >> offset >> size >> hex;
            LogLine x{DWORD(ms), uint32_t(std::stoul(offset, nullptr, 16)), {}};
            for (size_t i = 0; i + 1 < hex.size(); i += 2) x.data.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
            out.push_back(x);
        }
        return out;
    }

private:
    PROCESS_INFORMATION pi_ = {};
    std::string logPath_;
};

// Real time, but the client's pauses cost nothing: for the long loops.
class NoSleepClock : public Win32Clock {
public:
    void Sleep(unsigned) override {}
};

struct FakeSimTest : ::testing::Test {
    HANDLE lock = CreateMutexA(nullptr, FALSE, "vellmora-fakesim-tests");
    Win32IpcTransport transport;
    Win32Clock clock;
    Win32Pump pump;
    FakeSim sim;

    void SetUp() override {
        ASSERT_EQ(WaitForSingleObject(lock, 120000), WAIT_OBJECT_0);
        ASSERT_EQ(FindWindowA(kSimWindowClass, nullptr), nullptr) << "another stand-in simulator is running";
    }
    void TearDown() override {
        sim.Stop();
        ReleaseMutex(lock);
        CloseHandle(lock);
    }
};

}  // namespace

TEST_F(FakeSimTest, OpensAndReadsVersionAltitudeAndReadiness) {
    ASSERT_TRUE(sim.Start("version=0x19990010 simcode=6 alt=1000.5"));
    Fsuipc link(transport, clock, pump);
    int r = -1;
    ASSERT_TRUE(link.IpcOpen(0, r)) << IpcResultText(r);
    EXPECT_EQ(link.IpcVersion, 0x19990010u);
    EXPECT_EQ(link.IpcSimCode, 6u);
    EXPECT_FALSE(link.ViaSimWindow());
    link.SimRunning = link.IpcLinked = true;
    ComIpc weather(link);
    double feet = 0;
    ASSERT_TRUE(weather.ReadAltitude(feet));
    EXPECT_DOUBLE_EQ(feet, 3282.5);
    EXPECT_TRUE(weather.LinkReady());
    // The library version write arrived.
    const auto log = sim.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].offset, 0x330Au);
}

TEST_F(FakeSimTest, SimulatorWindowOnlyWithAnOldModuleGivesFourteen) {
    ASSERT_TRUE(sim.Start("fs98only version=0x19980004"));
    Fsuipc link(transport, clock, pump);
    int r = -1;
    EXPECT_FALSE(link.IpcOpen(0, r));
    EXPECT_EQ(r, kIpcWideClient);
    EXPECT_TRUE(link.ViaSimWindow());
}

TEST_F(FakeSimTest, ServerFaultsGiveBadData) {
    for (const char* fault : {"answer=0", "corrupt=size", "corrupt=id"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(sim.Start(fault));
        Fsuipc link(transport, clock, pump);
        int r = -1;
        EXPECT_FALSE(link.IpcOpen(0, r));
        EXPECT_EQ(r, kIpcBadData);
        sim.Stop();
    }
}

TEST_F(FakeSimTest, RefreshWritesFollowTheSchedule) {
    ASSERT_TRUE(sim.Start("layers=8:2:300:600,9:3:1000:2000"));
    Fsuipc link(transport, clock, pump);
    link.SimRunning = true;
    link.IpcConnect();
    ASSERT_TRUE(link.IpcLinked);
    ComIpc weather(link);
    QuietRefreshView view;
    CloudRefresh refresh(link, weather, clock, pump, view);
    refresh.Mode = {true, 1, 1, 1};
    ASSERT_EQ(refresh.RefreshClouds("Stratus"), CloudRefresh::Outcome::Completed);

    std::vector<LogLine> tables;
    for (const LogLine& l : sim.Log())
        if (l.offset == 0x560000) tables.push_back(l);
    // Layer 1 (stratus, 2/8): 1 at 0 s, 0 at 1 s, 1 at 2 s, 2 at 3 s; the cumulus layer stays.
    const DWORD times[] = {0, 1000, 2000, 3000};
    const int coverage[] = {1, 0, 1, 2};
    ASSERT_EQ(tables.size(), 4u);
    for (size_t i = 0; i < tables.size(); ++i) {
        const std::vector<LayerRecord> layers = DecodeLayerTable(tables[i].data.data());
        ASSERT_EQ(layers.size(), 2u);
        EXPECT_EQ(layers[0].coverage, coverage[i]) << i;
        EXPECT_EQ(layers[1].coverage, 3) << i;
        const long late = long(tables[i].ms - tables[0].ms) - long(times[i]);
        EXPECT_LE(std::abs(late), 50) << "step " << i << " off by " << late << " ms";
    }
}

TEST_F(FakeSimTest, ServerThatNeverAnswersTimesOutWithinTheRetryBounds) {
    ASSERT_TRUE(sim.Start("noanswer"));
    Fsuipc link(transport, clock, pump);
    const DWORD start = GetTickCount();
    int r = -1;
    EXPECT_FALSE(link.IpcOpen(0, r));
    const DWORD took = GetTickCount() - start;
    EXPECT_TRUE(r == kIpcTimedOut || r == kIpcSendFailed) << r;
    // Eleven sends of at most 2 s each with ten pauses of 100 ms between them.
    EXPECT_GE(took, 11u * 2000u + 10u * 100u - 500u);
    EXPECT_LE(took, 11u * 2000u + 10u * 100u + 3000u);
    EXPECT_EQ(link.IpcView, nullptr);
}

TEST_F(FakeSimTest, CloseReleasesAtomViewAndMappingEveryTime) {
    ASSERT_TRUE(sim.Start("layers="));
    NoSleepClock fast;
    Fsuipc link(transport, fast, pump);
    const std::string name = IpcMappingName(GetCurrentProcessId(), 1);
    int r = -1;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(link.IpcOpen(0, r)) << IpcResultText(r);
        link.IpcClose();
    }
    DWORD before = 0, after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(link.IpcOpen(0, r)) << i << ": " << IpcResultText(r);
        ASSERT_NE(GlobalFindAtomA(name.c_str()), 0);
        link.IpcClose();
    }
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(GlobalFindAtomA(name.c_str()), 0);
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    EXPECT_EQ(h, nullptr);
    if (h) CloseHandle(h);
}
