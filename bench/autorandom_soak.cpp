// AutoRandom soak: 10,000 timed set changes (RandomWait set, so every tick
// changes the set) by the real main window on a small tree, in one process.
// Prints the changes per second, the process's handle count, GDI and USER
// objects and private bytes at 0, 1,000 and 10,000 changes (they must stay
// flat), and the longest gap between two runs of the message pump during
// the run (goal: at most 50 ms). The tree lives under %TEMP% and is deleted.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/form1.h"
#include "fakes.h"
#include "pump_gaps.h"
#include "win_files.h"

using namespace vm;

namespace {

constexpr int kChanges = 10000;

// The counts as the platform reports them, and, since Wine answers 0 for
// some of them, the slot the next new kernel, GDI and USER handle takes: a
// leak of any of them pushes that slot up.
struct Usage {
    DWORD handles = 0, gdi = 0, user = 0;
    SIZE_T privateBytes = 0;
    uintptr_t nextKernel = 0, nextGdi = 0, nextUser = 0;
};

Usage Measure() {
    Usage u;
    HANDLE self = GetCurrentProcess();
    GetProcessHandleCount(self, &u.handles);
    u.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    u.user = GetGuiResources(self, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
        u.privateBytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    u.nextKernel = reinterpret_cast<uintptr_t>(event) / 4;
    CloseHandle(event);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    u.nextGdi = reinterpret_cast<uintptr_t>(brush) & 0xFFFF;
    DeleteObject(brush);
    HMENU menu = CreateMenu();
    u.nextUser = reinterpret_cast<uintptr_t>(menu) & 0xFFFF;
    DestroyMenu(menu);
    return u;
}

void Print(int changes, const Usage& u) {
    std::printf("  after %5d changes: handles %lu, GDI objects %lu, USER objects %lu, private bytes %.1f MiB;"
                " next handle slot: kernel %lu, GDI %lu, USER %lu\n",
                changes, static_cast<unsigned long>(u.handles), static_cast<unsigned long>(u.gdi),
                static_cast<unsigned long>(u.user), static_cast<double>(u.privateBytes) / (1024.0 * 1024.0),
                static_cast<unsigned long>(u.nextKernel), static_cast<unsigned long>(u.nextGdi),
                static_cast<unsigned long>(u.nextUser));
}

}  // namespace

int main() {
    const std::string root = TempFolderName("vmsoak");
    const std::string prog = root + "\\Prog", tex = root + "\\FS\\texture", data = tex + "\\Sets";
    RemoveTree(root);
    for (const std::string& d : {root, prog, root + "\\FS", tex, data}) CreateDirectoryA(d.c_str(), nullptr);
    std::string ini =
        "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sets\r\n[ShowLogo]\r\nShow=off\r\n"
        "[ShowSkyFiles]\r\nShowFiles=True\r\n[Test]\r\nRandomWait=1\r\n[InitRndTime]\r\nInitRndTime=1\r\n";
    for (int i = 1; i <= 4; ++i) {
        const std::string name = "Set" + std::to_string(i);
        CreateDirectoryA((data + "\\" + name).c_str(), nullptr);
        for (const char* f : {"cld1.bmp", "cld2.bmp", "cldcn1.bmp"}) WriteTextFile(data + "\\" + name + "\\" + f, name);
        ini += "[Set" + std::to_string(i) + "]\r\nDirName=" + name + "\r\n";
    }
    WriteTextFile(prog + "\\cloud.ini", ini);
    FakeRegistry registry;
    registry.Set(Registry::kLocalMachine, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0",
                 "EXE Path", root + "\\FS");

    int code = 0;
    {
        Program p(prog);
        p.env.registry = &registry;
        TimedPump pump(p.pump);
        p.guard.SetInner(&pump);
        Form1 form(p);
        form.Form_Load();
        PumpPending();
        if (!form.AutoRandom().Start()) {
            std::printf("AutoRandom did not start\n");
            return 1;
        }
        std::printf("AutoRandom soak: %d changes on a tree of 4 sets of 3 bitmaps, RandomWait 1 ms\n", kChanges);
        Print(0, Measure());
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        int changes = 0;
        std::string last = ReadTextFile(tex + "\\cld1.bmp");
        int distinct = 0;
        pump.Reset();
        while (changes < kChanges && form.Timer1On()) {
            // What the message loop does between two Timer1 ticks.
            pump.Mark();
            PumpPending();
            form.Shell().Events().Fire(MainIds::Timer1);
            ++changes;
            if (changes % 500 == 0) {
                const std::string now = ReadTextFile(tex + "\\cld1.bmp");
                distinct += now != last;
                last = now;
            }
            if (changes == 1000) {
                Print(changes, Measure());
                pump.Resume();
            }
        }
        QueryPerformanceCounter(&t1);
        const double secs = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
        Print(changes, Measure());
        std::printf("  %.1f changes per second (%.2f ms each); the texture file changed at %d of %d samples\n",
                    changes / secs, secs * 1000.0 / changes, distinct, changes / 500);
        std::printf("  longest gap between two pumped messages: %.1f ms (goal: at most 50 ms)%s; %ld of %ld gaps"
                    " over 50 ms\n",
                    pump.longestMs, Missed(pump.longestMs <= 50), pump.over50, pump.gaps);
        if (changes < kChanges) {
            std::printf("  AutoRandom stopped after %d changes\n", changes);
            code = 1;
        }
        form.Form_Unload();
    }
    RemoveTree(root);
    return code;
}
