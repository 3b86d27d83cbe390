// e2edriver: drives the real program from outside, as a user would, with
// window searches, WM_GETTEXT and button clicks. The steps come as
// arguments; the exit code is the number of failed steps (0 = all passed).
//
//   start <exe>                  start the program (Windows path)
//   wait <class> <ms>            wait for a visible top-level window of the class
//   title <text>                 the found window's caption must equal text
//   text <id> <text>             a child control's text must equal text
//   waittext <id> <text> <ms>    wait until a child control's text equals text
//   visible <id> <0|1>           a child control's visibility
//   click <id>                   BM_CLICK on a child button
//   close                        WM_CLOSE to the found window
//   exits <ms>                   the latest started program must end within ms
//   alive <ms>                   the started program must still run after ms
//   nowindow <class> <ms>        no window of the class may appear within ms
//   list                         print every top-level window (diagnostics)
//   shot <ms>                    pause (for a screenshot taken outside)
// In texts, \n stands for CR LF and \t for a tab.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND g_win = nullptr;
PROCESS_INFORMATION g_proc{};  // the latest started
std::vector<HANDLE> g_started;
int g_failed = 0;

std::string Unescape(const char* s) {
    std::string out;
    for (; *s; ++s) {
        if (*s == '\\' && s[1] == 'n') {
            out += "\r\n";
            ++s;
        } else if (*s == '\\' && s[1] == 't') {
            out += '\t';
            ++s;
        } else {
            out += *s;
        }
    }
    return out;
}

std::string Text(HWND h) {
    char buf[65536];
    const LRESULT n = SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return std::string(buf, static_cast<size_t>(n));
}

void Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    ++g_failed;
}

struct Search {
    const char* cls;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK EachWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    char cls[256];
    GetClassNameA(h, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (lstrcmpiA(cls, s->cls) == 0 && IsWindowVisible(h) && (!s->pid || pid == s->pid)) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisible(const char* cls) {
    Search s{cls, g_proc.dwProcessId, nullptr};
    EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitFor(const char* cls, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND h = FindVisible(cls)) return h;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(50);
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string cmd = argv[i];
        auto arg = [&](int k) -> const char* { return i + k < argc ? argv[i + k] : ""; };
        if (cmd == "start") {
            std::string line = std::string("\"") + arg(1) + "\"";
            STARTUPINFOA si{};
            si.cb = sizeof si;
            if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &g_proc))
                Fail(std::string("start ") + arg(1));
            else
                g_started.push_back(g_proc.hProcess);
            i += 1;
        } else if (cmd == "wait") {
            g_win = WaitFor(arg(1), static_cast<DWORD>(std::atoi(arg(2))));
            if (!g_win) Fail(std::string("no window of class ") + arg(1));
            else std::printf("window %s\n", arg(1));
            i += 2;
        } else if (cmd == "title") {
            const std::string want = Unescape(arg(1)), got = g_win ? Text(g_win) : "";
            if (got != want) Fail("title [" + got + "] != [" + want + "]");
            i += 1;
        } else if (cmd == "text") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const std::string want = Unescape(arg(2)), got = c ? Text(c) : "<no control>";
            if (got != want) Fail("text of " + std::string(arg(1)) + " [" + got + "] != [" + want + "]");
            i += 2;
        } else if (cmd == "waittext") {
            const std::string want = Unescape(arg(2));
            const DWORD start = GetTickCount(), ms = static_cast<DWORD>(std::atoi(arg(3)));
            std::string got;
            for (;;) {
                HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
                got = c ? Text(c) : "<no control>";
                if (got == want || GetTickCount() - start > ms) break;
                Sleep(50);
            }
            if (got != want) Fail("text of " + std::string(arg(1)) + " [" + got + "] never became [" + want + "]");
            i += 3;
        } else if (cmd == "visible") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const bool want = std::atoi(arg(2)) != 0;
            if (!c || (IsWindowVisible(c) != FALSE) != want) Fail(std::string("visibility of ") + arg(1));
            i += 2;
        } else if (cmd == "click") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            if (!c) Fail(std::string("no button ") + arg(1));
            else PostMessageA(c, BM_CLICK, 0, 0);
            i += 1;
        } else if (cmd == "close") {
            if (g_win) PostMessageA(g_win, WM_CLOSE, 0, 0);
        } else if (cmd == "exits") {
            if (!g_proc.hProcess || WaitForSingleObject(g_proc.hProcess, static_cast<DWORD>(std::atoi(arg(1)))) != WAIT_OBJECT_0)
                Fail("program did not end");
            i += 1;
        } else if (cmd == "alive") {
            if (!g_proc.hProcess || WaitForSingleObject(g_proc.hProcess, static_cast<DWORD>(std::atoi(arg(1)))) == WAIT_OBJECT_0)
                Fail("program ended");
            i += 1;
        } else if (cmd == "nowindow") {
            if (WaitFor(arg(1), static_cast<DWORD>(std::atoi(arg(2))))) Fail(std::string("unexpected window ") + arg(1));
            i += 2;
        } else if (cmd == "list") {
            EnumWindows(
                [](HWND h, LPARAM) -> BOOL {
                    char cls[256];
                    GetClassNameA(h, cls, sizeof cls);
                    RECT r;
                    GetWindowRect(h, &r);
                    std::printf("%p %s [%s] visible=%d %ld,%ld-%ld,%ld\n", static_cast<void*>(h), cls,
                                Text(h).c_str(), IsWindowVisible(h) ? 1 : 0, r.left, r.top, r.right, r.bottom);
                    return TRUE;
                },
                0);
        } else if (cmd == "shot") {
            Sleep(static_cast<DWORD>(std::atoi(arg(1))));
            i += 1;
        } else {
            Fail("unknown step " + cmd);
        }
    }
    // Whatever is still running is ended, so the next scenario starts clean.
    for (HANDLE h : g_started)
        if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) TerminateProcess(h, 1);
    std::printf("%d failed\n", g_failed);
    return g_failed;
}
