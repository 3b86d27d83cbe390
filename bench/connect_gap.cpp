// A connect to a simulator whose window is there but whose IPC module never
// answers (fakesim.exe noanswer, in another process): the longest gap
// between two pumped messages while the program's connect runs (goal: at
// most 50 ms), and how long the connect takes to give up (goal: within
// 10 s). For comparison, the same connect with the send made on the window
// thread, as a plain blocking call. A missed goal is marked; the exit code
// says only whether the connect ran (and failed, as it must).
// Usage: bench_connect_gap.exe [path\to\fakesim.exe]  (default: next to this exe)
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/operation_guard.h"
#include "platform/win32_ipc.h"
#include "platform/win32_ports.h"
#include "pump_gaps.h"
#include "stand_in.h"
#include "sim/fsuipc.h"

using namespace vm;

namespace {

struct Result {
    double longestGapMs = 0, totalMs = 0;
    bool linked = false;
};

Result Connect(bool sendOnWorker) {
    Win32Clock clock;
    Win32Pump win32;
    TimedPump timed(win32);
    OperationGuard guard(&timed);
    Win32IpcTransport transport(sendOnWorker ? &guard : nullptr);
    Fsuipc link(transport, clock, guard);
    link.SimRunning = true;
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    timed.Mark();
    link.IpcConnect();
    timed.Mark();
    QueryPerformanceCounter(&t1);
    Result r;
    r.longestGapMs = timed.longestMs;
    r.totalMs = static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
    r.linked = link.IpcLinked;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string fakesim = StandInPath(argc, argv);
    PROCESS_INFORMATION pi;
    const bool server = StartStandIn(fakesim, "hidden noanswer", pi);
    if (!server && !pi.hProcess) {
        std::fprintf(stderr, "connect_gap: cannot start %s\n", fakesim.c_str());
        return 1;
    }
    int status = 1;
    if (server) {
        const Result guarded = Connect(true);
        const Result blocking = Connect(false);
        std::printf("connect to a simulator that never answers:\n");
        std::printf("  send on a worker, messages let through: longest gap %.1f ms (goal <= 50 ms)%s, "
                    "gave up after %.1f s (goal <= 10 s)%s\n",
                    guarded.longestGapMs, Missed(guarded.longestGapMs <= 50), guarded.totalMs / 1000,
                    Missed(guarded.totalMs <= 10500));
        std::printf("  send on the window thread:              longest gap %.1f ms, gave up after %.1f s\n",
                    blocking.longestGapMs, blocking.totalMs / 1000);
        std::printf("  longest gap, worker / window thread: %.3f\n", guarded.longestGapMs / blocking.longestGapMs);
        status = !guarded.linked && !blocking.linked ? 0 : 1;
    } else {
        std::fprintf(stderr, "connect_gap: fakesim did not come up\n");
    }
    TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return status;
}
