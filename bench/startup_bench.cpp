// Start-up to the main window shown (logo off, backup off) with 10, 100 and
// 1000 set folders, next to the raw work any start must do: a bare Win32
// window shown plus one FindFirstFileA scan of every set folder; "shown"
// means every message but timers handled, the window painted. Prints the
// median of a few runs and the ratio for each size (goals: at most 2.0 at 10
// sets, 1.5 at 1000), and the program's time split into creating the window,
// the start-up steps, the catalogue, and showing and painting.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes.h"
#include "win_files.h"

using namespace vm;

namespace {

struct Tree {
    std::string root, prog, data;
};

Tree MakeTree(int sets) {
    Tree t{TempFolderName("vmbench_start"), "", ""};
    RemoveTree(t.root);
    t.prog = t.root + "\\Prog";
    t.data = t.root + "\\FS\\texture\\Sets";
    for (const std::string& d : {t.root, t.prog, t.root + "\\FS", t.root + "\\FS\\texture", t.data})
        CreateDirectoryA(d.c_str(), nullptr);
    std::string ini = "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sets\r\n[ShowLogo]\r\nShow=off\r\n"
                      "[ShowSkyFiles]\r\nShowFiles=True\r\n";
    for (int i = 1; i <= sets; ++i) {
        const std::string dir = t.data + "\\Set" + std::to_string(i);
        CreateDirectoryA(dir.c_str(), nullptr);
        std::ofstream(dir + "\\cld1.bmp") << "BM";
        std::ofstream(dir + "\\cld2.bmp") << "BM";
        ini += "[Set" + std::to_string(i) + "]\r\nDirName=Set" + std::to_string(i) + "\r\n";
    }
    std::ofstream(t.prog + "\\cloud.ini", std::ios::binary) << ini;
    return t;
}

void Drain() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Every message but timers: the window is shown and painted when none is left.
void DrainUntilPainted() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&m, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE))
        DispatchMessageA(&m);
}

struct Split {
    double total = 0, window = 0, configuration = 0, catalogue = 0, paint = 0;
};

Split RunProgramStart(const Tree& t) {
    FakeRegistry reg;
    reg.Set(Registry::kLocalMachine, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0", "EXE Path",
            t.root + "\\FS");
    const double t0 = Seconds();
    {
        Program p(t.prog);
        p.env.registry = &reg;
        Form1 form(p);
        form.Form_Load();
        DrainUntilPainted();
        const double shown = Seconds();
        form.Destroy();
        Drain();
        Split r{shown - t0, p.times.window, p.times.configuration, p.times.catalogue, 0};
        r.paint = r.total - r.window - r.configuration - r.catalogue;
        return r;
    }
}

double MedianOf(const std::vector<Split>& runs, double Split::*part) {
    std::vector<double> v;
    for (const Split& r : runs) v.push_back(r.*part * 1000);
    return Median(v);
}

double RunBare(const Tree& t, int sets) {
    static bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VmBenchBare";
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    const double t0 = Seconds();
    HWND w = CreateWindowExA(0, "VmBenchBare", "bare", WS_POPUP, 0, 0, 600, 428, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    int found = 0;
    for (int i = 1; i <= sets; ++i) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((t.data + "\\Set" + std::to_string(i) + "\\*.bmp").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do ++found;
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
    }
    ShowWindow(w, SW_SHOW);
    DrainUntilPainted();
    const double shown = Seconds();
    DestroyWindow(w);
    Drain();
    return found > 0 ? shown - t0 : -1;
}

}  // namespace

int main() {
    std::printf("%-6s %11s %9s %7s | %9s %9s %9s %9s | %9s  (ms, medians)\n", "sets", "program", "raw", "ratio",
                "window", "steps", "catalogue", "show+paint", "1st run");
    for (int sets : {10, 100, 1000}) {
        const Tree t = MakeTree(sets);
        std::vector<Split> prog;
        std::vector<double> bare;
        for (int run = 0; run < 5; ++run) {
            prog.push_back(RunProgramStart(t));
            bare.push_back(RunBare(t, sets));
        }
        const double p = MedianOf(prog, &Split::total), b = Median(bare) * 1000;
        // The first run of the process also pays what happens once per
        // process (GDI+, window classes, the first tooltip and icon).
        std::printf("%-6d %11.1f %9.1f %7.2f | %9.1f %9.1f %9.1f %9.1f | %9.1f\n", sets, p, b, p / b,
                    MedianOf(prog, &Split::window), MedianOf(prog, &Split::configuration),
                    MedianOf(prog, &Split::catalogue), MedianOf(prog, &Split::paint), prog.front().total * 1000);
        RemoveTree(t.root);
    }
    return 0;
}
