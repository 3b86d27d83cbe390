// fakesim.exe: a stand-in for the simulator and its IPC module. It opens a
// window of class "FS98MAIN" (the simulator) and, unless "fs98only" is given,
// a hidden top-level window of class "UIPCMAIN" (the IPC module). Both answer
// the registered message "FSASMLIB:IPC" by opening the mapping named by the
// atom in wParam and performing its requests with the shared server core.
//
// Options, on the command line or one per line in an ini file given with
// "ini=<path>": version=, simcode=, fs98only, notready, layers=, alt=,
// noanswer, answer=, delay=, corrupt=size|id, log=<path>, state=<path>;
// "hidden" keeps the simulator window from being shown. Every write received
// is appended to the log as "<timeGetTime ms> <offset hex> <size> <bytes hex>";
// the state file holds the five weather blocks in hex, one a line, as they
// are at the start and after every exchange that wrote (replaced in one
// step, so a reader never sees half of it).
//
// Started without options, as the simulator's executable, it reads them from
// "fakesim.ini" beside it when there is one. It shows the start situation
// that its configuration file names (cfg=<path>, section=, key=; by default
// FS2002.CFG beside it, [SITUATIONS] SITUATION) and the size of its splash
// file UIRES\dlgsplash.bmp, both as found when it started.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "sim/fsuipc.h"
#include "sim/ipc_block.h"
#include "fakesim/sim_server.h"

namespace {

using vm::SimServer;

SimServer* g_server = nullptr;
UINT g_ipcMessage = 0;
HWND g_simWindow = nullptr;
HWND g_serverWindow = nullptr;
DWORD g_startMs = 0;
FILE* g_log = nullptr;
bool g_dirty = false;  // repaint at the next short tick
bool g_wrote = false;  // the exchange being handled wrote something
std::string g_statePath;
constexpr UINT_PTR kTimerSecond = 1;
constexpr UINT_PTR kTimerDirty = 2;

std::string g_situation = "(none)";
std::string g_splash = "(none)";

std::string ExeFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    const size_t slash = p.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

// The start situation and the splash file, as the real simulator would take
// them at its start.
void ReadStartFiles(const std::string& cfg, const std::string& section, const std::string& key) {
    char value[512];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, cfg.c_str());
    if (value[0]) g_situation = value;
    WIN32_FILE_ATTRIBUTE_DATA data;
    const std::string splash = ExeFolder() + "\\UIRES\\dlgsplash.bmp";
    if (GetFileAttributesExA(splash.c_str(), GetFileExInfoStandard, &data))
        g_splash = "UIRES\\dlgsplash.bmp, " + std::to_string(data.nFileSizeLow) + " bytes";
}

struct ShownWrite {
    DWORD ms;
    uint32_t offset;
    size_t size;
};
std::deque<ShownWrite> g_lastWrites;

std::vector<std::string> SplitCommandLine(const char* line) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (const char* p = line; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any) out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += *p;
            any = true;
        }
    }
    if (any) out.push_back(cur);
    return out;
}

bool ReadFile(const std::string& path, std::string& text) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    return true;
}

// The weather as it stands, for whoever compares it from outside.
void SaveState() {
    if (g_statePath.empty()) return;
    const std::string temp = g_statePath + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return;
    const std::string text = g_server->WeatherText();
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) == 0 && ok) MoveFileExA(temp.c_str(), g_statePath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void LogWrite(const vm::SimWrite& w) {
    g_wrote = true;
    const DWORD now = timeGetTime();
    g_lastWrites.push_back({now, w.offset, w.data.size()});
    while (g_lastWrites.size() > 10) g_lastWrites.pop_front();
    if (!g_log) return;
    std::fprintf(g_log, "%lu %08X %u ", static_cast<unsigned long>(now), w.offset, unsigned(w.data.size()));
    for (uint8_t b : w.data) std::fprintf(g_log, "%02X", b);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

LRESULT HandleIpc(WPARAM atom) {
    const vm::SimOptions& o = g_server->Options();
    if (o.noAnswer) {
        Sleep(vm::kIpcTimeoutMs + 500);
        return 0;
    }
    if (o.delayMs) Sleep(o.delayMs);
    char name[MAX_PATH] = {};
    if (!GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name)) return 0;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!mapping) return 0;
    LRESULT answer = 0;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) {
        MEMORY_BASIC_INFORMATION info = {};
        size_t size = vm::kIpcMapSize;
        if (VirtualQuery(view, &info, sizeof info) && info.RegionSize < size) size = info.RegionSize;
        g_wrote = false;
        answer = g_server->Handle(static_cast<uint8_t*>(view), size, timeGetTime() - g_startMs);
        UnmapViewOfFile(view);
        if (g_wrote) SaveState();
    }
    CloseHandle(mapping);
    // Repainting from here would slow every exchange down; a timer does it.
    g_dirty = true;
    return answer;
}

const char* TypeName(int type) {
    switch (type) {
    case 1: return "Cirrus";
    case 8: return "Stratus";
    case 9: return "Cumulus";
    case 10: return "Thunder";
    default: return "Other";
    }
}

std::string OffsetName(uint32_t offset) {
    if (offset == vm::kOffClearWeather) return "clear weather";
    if (offset == vm::kIpcLibVersionOffset) return "library version";
    for (int b = 0; b < vm::kWeatherBlocks; ++b) {
        if (offset != vm::kWeatherWriteOffsets[b]) continue;
        if (b == vm::kLayerBlock) return "cloud layers";
        char name[32];
        std::snprintf(name, sizeof name, "weather block %d", b + 1);
        return name;
    }
    return "";
}

void Paint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const int line = tm.tmHeight + 4;
    int y = 8;
    auto text = [&](int x, const std::string& s) { TextOutA(dc, x, y, s.c_str(), int(s.size())); };
    const vm::SimOptions& o = g_server->Options();
    char buf[256];

    std::snprintf(buf, sizeof buf, "Stand-in simulator   version %08X   %s   IPC window: %s   weather link: %s",
                  o.version, vm::SimCodeName(o.simCode).c_str(), g_serverWindow ? "UIPCMAIN" : "FS98MAIN only",
                  o.ready ? "ready" : "not ready");
    text(8, buf);
    y += line;
    std::snprintf(buf, sizeof buf, "Altitude %.1f m   exchanges %d", g_server->AltitudeAt(timeGetTime() - g_startMs),
                  g_server->Exchanges());
    text(8, buf);
    y += line;
    text(8, "Situation: " + g_situation + "   Splash: " + g_splash);
    y += line * 3 / 2;

    const std::vector<vm::LayerRecord> layers = g_server->Layers();
    text(8, layers.empty() ? "Cloud layers: none" : "Cloud layers:");
    y += line;
    HBRUSH filled = CreateSolidBrush(RGB(90, 120, 200));
    HBRUSH empty = CreateSolidBrush(RGB(225, 225, 225));
    for (size_t i = 0; i < layers.size() && i < 12; ++i) {
        const vm::LayerRecord& l = layers[i];
        text(16, std::to_string(i + 1));
        text(40, TypeName(l.type));
        text(110, std::to_string(l.coverage) + "/8");
        text(150, "base " + std::to_string(l.base) + " m");
        text(230, "top " + std::to_string(l.top) + " m");
        for (int c = 0; c < 8; ++c) {
            RECT r = {300 + c * 18, y + 1, 300 + c * 18 + 15, y + line - 3};
            FillRect(dc, &r, c < l.coverage ? filled : empty);
        }
        // The rest of the record, so that any edit of a layer shows.
        std::snprintf(buf, sizeof buf, "dev %d m  turb %d  ice %d  prec %d/%d from %d m", l.deviation, l.turbulence,
                      l.icing, l.precType, l.precRate, l.precBase);
        text(452, buf);
        y += line;
    }
    DeleteObject(filled);
    DeleteObject(empty);
    y += line / 2;

    text(8, "Last writes:");
    y += line;
    for (auto it = g_lastWrites.rbegin(); it != g_lastWrites.rend(); ++it) {
        std::snprintf(buf, sizeof buf, "%8.3f s   %06X   %5u bytes   %s", (it->ms - g_startMs) / 1000.0, it->offset,
                      unsigned(it->size), OffsetName(it->offset).c_str());
        text(16, buf);
        y += line;
    }
    SelectObject(dc, oldFont);
    EndPaint(h, &ps);
}

LRESULT CALLBACK SimProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_ipcMessage && msg == g_ipcMessage) return HandleIpc(wp);
    switch (msg) {
    case WM_PAINT:
        if (h == g_simWindow) {
            Paint(h);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wp == kTimerSecond || g_dirty) InvalidateRect(h, nullptr, TRUE);
        g_dirty = false;
        return 0;
    case WM_DESTROY:
        if (h == g_simWindow) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

bool RegisterOne(HINSTANCE inst, const char* name) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SimProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
    vm::SimOptions options;
    // A weather to look at when nothing else is asked for.
    options.layers.resize(3);
    options.layers[0] = {9, 4, 2400, 1200, 150, 1, 0, 0, 0, 0};
    options.layers[1] = {8, 6, 900, 400, 60, 0, 1, 200, 1, 2};
    options.layers[2] = {1, 3, 8000, 7500, 100, 0, 0, 0, 0, 0};
    options.altitude = {{0, 300}, {60000, 2500}};

    bool hidden = false;
    std::string error;
    std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
    const std::string ownIni = ExeFolder() + "\\fakesim.ini";
    if (args.size() <= 1 && GetFileAttributesA(ownIni.c_str()) != INVALID_FILE_ATTRIBUTES)
        args.push_back("ini=" + ownIni);
    std::string cfg = ExeFolder() + "\\FS2002.CFG", section = "SITUATIONS", key = "SITUATION";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string lower = a;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (lower == "hidden" || lower == "/hidden" || lower == "-hidden") {
            hidden = true;
        } else if (lower.rfind("cfg=", 0) == 0) {
            cfg = a.substr(4);
        } else if (lower.rfind("section=", 0) == 0) {
            section = a.substr(8);
        } else if (lower.rfind("key=", 0) == 0) {
            key = a.substr(4);
        } else if (lower.rfind("ini=", 0) == 0) {
            std::string text;
            if (!ReadFile(a.substr(4), text)) {
                std::fprintf(stderr, "fakesim: cannot read %s\n", a.substr(4).c_str());
                return 2;
            }
            if (!vm::ParseSimIni(text, options, error)) {
                std::fprintf(stderr, "fakesim: %s\n", error.c_str());
                return 2;
            }
        } else if (!vm::ParseSimOption(a, options, error)) {
            std::fprintf(stderr, "fakesim: %s\n", error.c_str());
            return 2;
        }
    }

    ReadStartFiles(cfg, section, key);
    if (!options.logPath.empty()) g_log = std::fopen(options.logPath.c_str(), "w");
    timeBeginPeriod(1);
    g_startMs = timeGetTime();
    SimServer server(options);
    server.onWrite = LogWrite;
    g_server = &server;
    g_statePath = options.statePath;
    SaveState();
    g_ipcMessage = RegisterWindowMessageA(vm::kIpcMessageName);

    if (!RegisterOne(inst, vm::kSimWindowClass) || !RegisterOne(inst, vm::kIpcServerClass)) return 1;
    // The IPC window first: whoever sees the simulator's window finds it too.
    if (!options.fs98Only) {
        // Top-level and hidden: FindWindowExA does not see message-only windows.
        g_serverWindow = CreateWindowExA(0, vm::kIpcServerClass, "UIPCMAIN", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         inst, nullptr);
        if (!g_serverWindow) return 1;
    }
    // The title carries the start situation, for whoever checks from outside.
    const std::string title = "Stand-in simulator: " + g_situation;
    g_simWindow = CreateWindowExA(0, vm::kSimWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 720, 460, nullptr, nullptr, inst, nullptr);
    if (!g_simWindow) return 1;
    SetTimer(g_simWindow, kTimerSecond, 1000, nullptr);
    SetTimer(g_simWindow, kTimerDirty, 100, nullptr);
    if (!hidden) ShowWindow(g_simWindow, show == SW_SHOWNORMAL ? SW_SHOWNOACTIVATE : show);

    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (g_serverWindow) DestroyWindow(g_serverWindow);
    if (g_log) std::fclose(g_log);
    timeEndPeriod(1);
    return 0;
}
