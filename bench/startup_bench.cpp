// Start-up to the main window shown (logo off, backup off) with 10, 100 and
// 1000 set folders, next to the raw work any start must do: a bare Win32
// window shown plus one FindFirstFileA scan of every set folder; "shown"
// means every message but timers handled, the window painted. Prints the
// median of a few runs and the ratio for each size (goals: at most 2.0 at 10
// sets, 1.5 at 1000), and the program's time split into creating the window,
// the start-up steps, the catalogue, and showing and painting. A second floor
// shows what the platform alone asks for the same child windows: the bare
// window with every child the program's window has (class, styles, place,
// font), made with plain calls, plus the scan.
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

// One child of the main window as the program made it.
struct ChildShape {
    std::string cls, text;
    DWORD style, exStyle;
    RECT at;
    bool hasFont;
};

BOOL CALLBACK AddShape(HWND h, LPARAM lp) {
    auto& shapes = *reinterpret_cast<std::pair<HWND, std::vector<ChildShape>>*>(lp);
    if (GetParent(h) != shapes.first) return TRUE;
    char cls[64], text[256];
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, text, sizeof text);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, shapes.first, reinterpret_cast<POINT*>(&r), 2);
    shapes.second.push_back({cls, text, static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE)),
                             static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE)), r,
                             SendMessageA(h, WM_GETFONT, 0, 0) != 0});
    return TRUE;
}

std::vector<ChildShape> ShapesOf(HWND parent) {
    std::pair<HWND, std::vector<ChildShape>> shapes{parent, {}};
    EnumChildWindows(parent, AddShape, reinterpret_cast<LPARAM>(&shapes));
    return shapes.second;
}

struct Split {
    double total = 0, window = 0, configuration = 0, catalogue = 0, paint = 0;
};

Split RunProgramStart(const Tree& t, std::vector<ChildShape>* shapes = nullptr) {
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
        if (shapes) *shapes = ShapesOf(form.hwnd());
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

double RunBare(const Tree& t, int sets, const std::vector<ChildShape>& children = {}) {
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
    static HFONT font = MakeFont("Tahoma", 8, false);
    int id = 1000;
    for (const ChildShape& c : children) {
        HWND h = CreateWindowExA(c.exStyle, c.cls.c_str(), c.text.c_str(), c.style, c.at.left, c.at.top,
                                 c.at.right - c.at.left, c.at.bottom - c.at.top, w,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(++id)), GetModuleHandleA(nullptr),
                                 nullptr);
        if (c.hasFont) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
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
    std::printf("%-6s %9s %7s %7s | %9s %9s %9s %10s | %9s | %9s %7s  (ms, medians)\n", "sets", "program", "raw",
                "ratio", "window", "steps", "catalogue", "show+paint", "1st run", "+children", "ratio");
    for (int sets : {10, 100, 1000}) {
        const Tree t = MakeTree(sets);
        std::vector<Split> prog;
        std::vector<double> bare, withChildren;
        std::vector<ChildShape> shapes;
        for (int run = 0; run < 5; ++run) {
            prog.push_back(RunProgramStart(t, &shapes));
            bare.push_back(RunBare(t, sets));
            withChildren.push_back(RunBare(t, sets, shapes));
        }
        const double p = MedianOf(prog, &Split::total), b = Median(bare) * 1000, c = Median(withChildren) * 1000;
        // The first run of the process also pays what happens once per
        // process (GDI+, window classes, the first tooltip and icon).
        std::printf("%-6d %9.1f %7.1f %7.2f | %9.1f %9.1f %9.1f %10.1f | %9.1f | %9.1f %7.2f\n", sets, p, b, p / b,
                    MedianOf(prog, &Split::window), MedianOf(prog, &Split::configuration),
                    MedianOf(prog, &Split::catalogue), MedianOf(prog, &Split::paint), prog.front().total * 1000, c,
                    p / c);
        RemoveTree(t.root);
    }
    return 0;
}
