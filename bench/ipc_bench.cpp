// IPC benchmark against fakesim.exe in another process:
//  1. one exchange with a 6144-byte read (the cloud-layer table) next to the
//     protocol's own floor (the request written straight into the shared
//     block, one SendMessageTimeoutA with the atom, the table copied out: the
//     fewest calls an exchange can make, the server's work included) and to a
//     bare SendMessageTimeoutA round trip to the same server window, in the
//     same run, with the client's ratio to each (goal: at most 1.05 over the
//     floor);
//  2. a cloud refresh on a one-second schedule, and its worst step lateness
//     as the stand-in simulator saw the writes arrive.
// Usage: ipc_bench.exe [path\to\fakesim.exe]  (default: next to this exe)
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32_ipc.h"
#include "platform/win32_ports.h"
#include "sim/fsuipc.h"
#include "sim/refresh.h"
#include "sim/weather.h"
#include "fakes.h"
#include "win_files.h"

#include "stand_in.h"

using namespace vm;

namespace {

constexpr int kRounds = 30;
constexpr int kPerRound = 100;

// Times (timeGetTime) of the cloud-table writes in fakesim's log.
std::vector<DWORD> TableWriteTimes(const std::string& logPath) {
    std::vector<DWORD> out;
    std::istringstream in(ReadTextFile(logPath));
    std::string line;
    while (std::getline(in, line)) {
        unsigned long ms = 0;
        char offset[16] = {};
        if (std::sscanf(line.c_str(), "%lu %15s", &ms, offset) == 2 && std::string(offset) == "00560000")
            out.push_back(DWORD(ms));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string fakesim = StandInPath(argc, argv);
    if (FindWindowA(kSimWindowClass, nullptr)) {
        std::fprintf(stderr, "ipc_bench: a simulator window is already open\n");
        return 1;
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string logPath = temp;
    logPath += "vm_ipc_bench.log";
    DeleteFileA(logPath.c_str());

    PROCESS_INFORMATION pi;
    const bool up = StartStandIn(fakesim, "hidden layers=9:4:1000:2000,8:3:300:600 \"log=" + logPath + "\"", pi);
    if (!up && !pi.hProcess) {
        std::fprintf(stderr, "ipc_bench: cannot start %s\n", fakesim.c_str());
        return 1;
    }
    HWND server = up ? FindWindowA(kIpcServerClass, nullptr) : nullptr;
    int status = 0;
    if (!server) {
        std::fprintf(stderr, "ipc_bench: fakesim did not come up\n");
        status = 1;
    } else {
        timeBeginPeriod(1);
        Win32IpcTransport transport;
        Win32Clock clock;
        Win32Pump pump;
        Fsuipc link(transport, clock, pump);
        link.SimRunning = true;
        link.IpcConnect();
        if (!link.IpcLinked) {
            std::fprintf(stderr, "ipc_bench: no link (%s)\n", IpcResultText(link.LastConnectResult()).c_str());
            status = 1;
        } else {
            std::vector<uint8_t> table(kLayerTableSize);
            int r = 0;
            auto exchange = [&] {
                link.IpcQueueRead(0x540000, kLayerTableSize, table.data(), r);
                return link.IpcProcess(r);
            };
            // The protocol's floor, written directly: one read request and the
            // terminator in the block the link already maps, one message.
            const HWND ipcWindow = reinterpret_cast<HWND>(link.IpcServerWindow);
            auto floor = [&] {
                uint8_t* block = link.IpcView;
                PutLe32(block, kIpcReadId);
                PutLe32(block + 4, 0x540000);
                PutLe32(block + 8, kLayerTableSize);
                PutLe32(block + 12, 1);
                PutLe32(block + kIpcReadHeader + kLayerTableSize, 0);
                DWORD_PTR answer = 0;
                const bool sent = SendMessageTimeoutA(ipcWindow, link.IpcMessage, link.IpcAtom, 0, SMTO_BLOCK,
                                                      kIpcTimeoutMs, &answer) != 0;
                std::memcpy(table.data(), block + kIpcReadHeader, kLayerTableSize);
                return sent && answer == 1;
            };
            auto bare = [&] {
                DWORD_PTR answer = 0;
                return SendMessageTimeoutA(server, WM_NULL, 0, 0, SMTO_BLOCK, kIpcTimeoutMs, &answer) != 0;
            };
            for (int i = 0; i < 200; ++i) {
                exchange();
                floor();
                bare();
            }
            std::vector<double> ipcUs, floorUs, bareUs, floorRatios;
            bool ok = true;
            for (int round = 0; round < kRounds && ok; ++round) {
                double t0 = (Seconds() * 1e6);
                for (int i = 0; i < kPerRound; ++i) ok = exchange() && ok;
                double t1 = (Seconds() * 1e6);
                for (int i = 0; i < kPerRound; ++i) ok = floor() && ok;
                double t2 = (Seconds() * 1e6);
                for (int i = 0; i < kPerRound; ++i) ok = bare() && ok;
                double t3 = (Seconds() * 1e6);
                ipcUs.push_back((t1 - t0) / kPerRound);
                floorUs.push_back((t2 - t1) / kPerRound);
                bareUs.push_back((t3 - t2) / kPerRound);
                floorRatios.push_back(ipcUs.back() / floorUs.back());
            }
            if (!ok) {
                std::fprintf(stderr, "ipc_bench: an exchange failed (%s)\n", IpcResultText(r).c_str());
                status = 1;
            } else {
                // What the server does for every message besides the requests:
                // find the name, open and map the block, then let it go.
                std::vector<double> mapUs;
                for (int round = 0; round < kRounds; ++round) {
                    double t0 = (Seconds() * 1e6);
                    for (int i = 0; i < kPerRound; ++i) {
                        char name[64];
                        GlobalGetAtomNameA(link.IpcAtom, name, sizeof name);
                        HANDLE h = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
                        void* v = h ? MapViewOfFile(h, FILE_MAP_WRITE, 0, 0, 0) : nullptr;
                        if (v) UnmapViewOfFile(v);
                        if (h) CloseHandle(h);
                    }
                    mapUs.push_back(((Seconds() * 1e6) - t0) / kPerRound);
                }
                const double ipc = Median(ipcUs), raw = Median(bareUs);
                std::printf("ipc exchange, 6144-byte read: %8.1f us (median of %d rounds of %d)\n", ipc, kRounds,
                            kPerRound);
                std::printf("protocol floor (direct calls): %7.1f us\n", Median(floorUs));
                std::printf("bare SendMessageTimeoutA:     %8.1f us\n", raw);
                std::printf("client / protocol floor: %.3f (goal <= 1.05; median of the rounds' ratios %.3f)\n",
                            ipc / Median(floorUs), Median(floorRatios));
                std::printf("client / bare send: %.2f; floor / bare send: %.2f; fastest rounds: %.1f / %.1f us = %.2f\n",
                            ipc / raw, Median(floorUs) / raw,
                            *std::min_element(ipcUs.begin(), ipcUs.end()), *std::min_element(bareUs.begin(), bareUs.end()),
                            *std::min_element(ipcUs.begin(), ipcUs.end()) / *std::min_element(bareUs.begin(), bareUs.end()));
                std::printf("server's atom + mapping work per message, alone: %.1f us\n", Median(mapUs));
            }

            // The refresh: cumulus 4/8 with one second per step: steps at 0..7 s.
            ComIpc weather(link);
            QuietRefreshView view;
            CloudRefresh refresh(link, weather, clock, pump, view);
            refresh.Mode = {true, 1, 1, 1};
            weather.ReadLayers();
            const std::vector<RefreshStep> steps = BuildRefreshSchedule(weather.Layers, 9, refresh.Mode);
            const size_t before = TableWriteTimes(logPath).size();
            const DWORD start = timeGetTime();
            refresh.RefreshClouds("Cumulus");
            std::vector<DWORD> writes = TableWriteTimes(logPath);
            writes.erase(writes.begin(), writes.begin() + long(std::min(before, writes.size())));
            if (writes.size() != steps.size()) {
                std::fprintf(stderr, "ipc_bench: %u refresh writes for %u steps\n", unsigned(writes.size()),
                             unsigned(steps.size()));
                status = 1;
            } else {
                long worst = 0;
                for (size_t i = 0; i < steps.size(); ++i)
                    worst = std::max(worst, long(writes[i] - start) - long(steps[i].time * 1000));
                std::printf("refresh: %u steps over %lld s, worst step lateness %ld ms\n", unsigned(steps.size()),
                            static_cast<long long>(steps.back().time), worst);
            }
            link.IpcClose();
        }
        timeEndPeriod(1);
        PostMessageA(FindWindowA(kSimWindowClass, nullptr), WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 3000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    DeleteFileA(logPath.c_str());
    return status;
}
