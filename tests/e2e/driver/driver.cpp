// e2edriver: drives the real program from outside, as a user would, with
// window searches, WM_GETTEXT and button clicks. The steps come as
// arguments; the exit code is the number of failed steps (0 = all passed).
//
//   start <exe>                  start the program (Windows path)
//   run <command line>           start a program with arguments (one argument)
//   lines <file> <n> <ms>        wait until the file holds at least n lines
//   wait <class> <ms>            wait for a visible top-level window of the class
//   title <text>                 the found window's caption must equal text
//   waittitle <text> <ms>        wait until the found window's caption is text
//   waitwith <class> <id> <text> <ms>
//                                wait for a visible window of the class whose
//                                child control's text equals text (the next
//                                of a series of message windows)
//   text <id> <text>             a child control's text must equal text
//   waittext <id> <text> <ms>    wait until a child control's text equals text
//   visible <id> <0|1>           a child control's visibility
//   click <id>                   BM_CLICK on a child button
//   command <id>                 WM_COMMAND with the id to the found window
//                                (a menu item)
//   select <id> <index>          selects an item of a child list or combo box
//                                and notifies the window as a user's choice
//   items <id> <a|b|...>         the items of a child list or combo box
//   checks <id> <0110...>        the check marks of a check list
//   enabled <id> <0|1> <ms>      waits until a child control is (not) enabled
//   gone <class> <ms>            waits until no visible window of the class
//   close                        WM_CLOSE to the found window
//   exits <ms>                   the latest started program must end within ms
//   alive <ms>                   the started program must still run after ms
//   nowindow <class> <ms>        no window of the class may appear within ms
//   list                         print every top-level window (diagnostics)
//   rect                         print the found window's rectangle on the
//                                screen as WxH+X+Y
//   shot <ms>                    pause (for a screenshot taken outside)
//   settext <id> <text>          WM_SETTEXT on a child control (a text box)
//   scroll <id> <n>              n scroll-bar steps of a child scroll bar
//                                (down when n > 0, up when n < 0)
//   closeclass <class>           WM_CLOSE to a visible window of the class
//                                in any process
//   pixel <id> <rrggbb> <ms>     waits until a child control's colour on the
//                                screen (inside its top-left corner) is rrggbb
//   menu <ms> <keys>             waits for a pop-up menu (of any process) and
//                                presses keys in it: u up, d down, r return
//                                (choose), e escape; after r or e the menu
//                                must close
//   larger <wildcard> <n> <ms>   waits until a file matching the wildcard
//                                holds more than n bytes (looked at every 5 ms)
//   changes <file> <n> <ms>      waits until the file's size or time has
//                                changed n times (looked at every 10 ms,
//                                without opening it: a file held open could
//                                not be replaced)
// In texts, \n stands for CR LF, \t for a tab and \\ for a backslash.
#include <windows.h>

#include <algorithm>

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
        if (*s == '\\' && s[1] == '\\') {
            out += '\\';
            ++s;
        } else if (*s == '\\' && s[1] == 'n') {
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
    // A window gone meanwhile has no class (and leaves the buffer as it was).
    if (!GetClassNameA(h, cls, sizeof cls)) return TRUE;
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

bool IsCombo(HWND h) {
    char cls[64] = "";
    GetClassNameA(h, cls, sizeof cls);
    return lstrcmpiA(cls, "ComboBox") == 0;
}

std::vector<std::string> Items(HWND h) {
    const bool combo = IsCombo(h);
    std::vector<std::string> items;
    const LRESULT n = SendMessageA(h, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        // The wide message: Wine hands another process's list text back
        // unconverted to the ANSI one.
        wchar_t wide[1024];
        const LRESULT len = SendMessageW(h, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(wide));
        char buf[2048];
        const int got = len > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(len), buf, sizeof buf,
                                                      nullptr, nullptr)
                                : 0;
        items.emplace_back(buf, got > 0 ? static_cast<size_t>(got) : 0);
    }
    return items;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) out += (i ? "|" : "") + items[i];
    return out;
}

DWORD Ms(const char* s) { return static_cast<DWORD>(std::atoi(s)); }

// Tries `ok` every `pollMs` until it holds or `ms` have passed; true when it
// held.
template <class Check>
bool Until(DWORD ms, Check ok, DWORD pollMs = 50) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ok()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(pollMs);
    }
}

// The file's size and last write time, as its folder lists them; empty
// when it is not there.
std::string FileStamp(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &d)) return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lu:%lu:%lu:%lu", d.nFileSizeHigh, d.nFileSizeLow, d.ftLastWriteTime.dwHighDateTime,
                  d.ftLastWriteTime.dwLowDateTime);
    return buf;
}

// The size of the largest file matching the wildcard.
ULONGLONG LargestMatch(const char* wildcard) {
    ULONGLONG most = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(wildcard, &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        most = std::max(most, (ULONGLONG(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return most;
}

HWND WaitFor(const char* cls, DWORD ms) {
    HWND h = nullptr;
    Until(ms, [&] { return (h = FindVisible(cls)) != nullptr; });
    return h;
}

BOOL CALLBACK PrintWindowLine(HWND h, LPARAM) {
    char cls[256] = "";
    GetClassNameA(h, cls, sizeof cls);
    RECT r;
    GetWindowRect(h, &r);
    std::printf("%p %s [%s] visible=%d %ld,%ld-%ld,%ld\n", static_cast<void*>(h), cls, Text(h).c_str(),
                IsWindowVisible(h) ? 1 : 0, r.left, r.top, r.right, r.bottom);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    // Unbuffered: what a driver that dies half way did still reaches the log.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
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
        } else if (cmd == "run") {
            std::string line = arg(1);
            STARTUPINFOA si{};
            si.cb = sizeof si;
            if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &g_proc))
                Fail(std::string("run ") + arg(1));
            else
                g_started.push_back(g_proc.hProcess);
            i += 1;
        } else if (cmd == "lines") {
            // Waits until the file holds at least n lines.
            const int want = std::atoi(arg(2));
            int got = 0;
            if (!Until(Ms(arg(3)), [&] {
                    got = 0;
                    if (FILE* f = std::fopen(arg(1), "rb")) {
                        for (int c; (c = std::fgetc(f)) != EOF;) got += c == '\n';
                        std::fclose(f);
                    }
                    return got >= want;
                })) Fail(std::string(arg(1)) + " has " + std::to_string(got) + " lines");
            i += 3;
        } else if (cmd == "wait") {
            g_win = WaitFor(arg(1), Ms(arg(2)));
            if (!g_win) Fail(std::string("no window of class ") + arg(1));
            else std::printf("window %s\n", arg(1));
            i += 2;
        } else if (cmd == "title") {
            const std::string want = Unescape(arg(1)), got = g_win ? Text(g_win) : "";
            if (got != want) Fail("title [" + got + "] != [" + want + "]");
            i += 1;
        } else if (cmd == "waittitle") {
            const std::string want = Unescape(arg(1));
            std::string got;
            if (!Until(Ms(arg(2)), [&] { return (got = g_win ? Text(g_win) : "") == want; }))
                Fail("title [" + got + "] never became [" + want + "]");
            i += 2;
        } else if (cmd == "waitwith") {
            const std::string want = Unescape(arg(3));
            const int id = std::atoi(arg(2));
            g_win = nullptr;
            if (!Until(Ms(arg(4)), [&] {
                    HWND h = FindVisible(arg(1)), c = h ? GetDlgItem(h, id) : nullptr;
                    return c && Text(c) == want && (g_win = h) != nullptr;
                }))
                Fail(std::string("no window of class ") + arg(1) + " with [" + want + "]");
            i += 4;
        } else if (cmd == "text") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const std::string want = Unescape(arg(2)), got = c ? Text(c) : "<no control>";
            if (got != want) Fail("text of " + std::string(arg(1)) + " [" + got + "] != [" + want + "]");
            i += 2;
        } else if (cmd == "waittext") {
            const std::string want = Unescape(arg(2));
            std::string got;
            if (!Until(Ms(arg(3)), [&] {
                    HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
                    return (got = c ? Text(c) : "<no control>") == want;
                }))
                Fail("text of " + std::string(arg(1)) + " [" + got + "] never became [" + want + "]");
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
        } else if (cmd == "command") {
            if (!g_win) Fail("no window for command");
            else PostMessageA(g_win, WM_COMMAND, MAKEWPARAM(std::atoi(arg(1)), 0), 0);
            i += 1;
        } else if (cmd == "select") {
            const int id = std::atoi(arg(1)), index = std::atoi(arg(2));
            HWND c = g_win ? GetDlgItem(g_win, id) : nullptr;
            if (!c) {
                Fail(std::string("no list ") + arg(1));
            } else {
                const bool combo = IsCombo(c);
                const LRESULT r = SendMessageA(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
                if (r != index) Fail(std::string("cannot select item ") + arg(2) + " of " + arg(1));
                // Posted: the handler may show a message that this driver answers.
                PostMessageA(g_win, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(c));
            }
            i += 2;
        } else if (cmd == "items") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const std::string want = Unescape(arg(2)), got = c ? Join(Items(c)) : "<no control>";
            if (got != want) Fail("items of " + std::string(arg(1)) + " [" + got + "] != [" + want + "]");
            i += 2;
        } else if (cmd == "checks") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            std::string got = c ? "" : "<no control>";
            if (c) {
                const LRESULT n = SendMessageA(c, LB_GETCOUNT, 0, 0);
                for (LRESULT k = 0; k < n; ++k)
                    got += SendMessageA(c, LB_GETITEMDATA, static_cast<WPARAM>(k), 0) ? '1' : '0';
            }
            if (got != arg(2)) Fail("checks of " + std::string(arg(1)) + " [" + got + "] != [" + arg(2) + "]");
            i += 2;
        } else if (cmd == "enabled") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const bool want = std::atoi(arg(2)) != 0;
            if (!c || !Until(Ms(arg(3)), [&] { return (IsWindowEnabled(c) != FALSE) == want; }))
                Fail(std::string("enabled state of ") + arg(1));
            i += 3;
        } else if (cmd == "gone") {
            if (!Until(Ms(arg(2)), [&] { return !FindVisible(arg(1)); })) Fail(std::string("window still there: ") + arg(1));
            i += 2;
        } else if (cmd == "settle") {
            // Everything the window had queued is handled and it is painted
            // anew, children included: what a screenshot then shows is current.
            DWORD_PTR r = 0;
            if (!g_win || !SendMessageTimeoutA(g_win, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r)) {
                Fail("window does not answer");
            } else {
                RedrawWindow(g_win, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                SendMessageTimeoutA(g_win, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
            }
        } else if (cmd == "endsession") {
            // A log-off as the system announces it: the question, then the end.
            DWORD_PTR agreed = 0;
            if (!g_win ||
                !SendMessageTimeoutA(g_win, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &agreed))
                Fail("no answer to WM_QUERYENDSESSION");
            else if (!agreed)
                Fail("WM_QUERYENDSESSION refused");
            else
                SendMessageTimeoutA(g_win, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &agreed);
        } else if (cmd == "close") {
            if (g_win) PostMessageA(g_win, WM_CLOSE, 0, 0);
        } else if (cmd == "exits") {
            if (!g_proc.hProcess || WaitForSingleObject(g_proc.hProcess, Ms(arg(1))) != WAIT_OBJECT_0)
                Fail("program did not end");
            i += 1;
        } else if (cmd == "alive") {
            if (!g_proc.hProcess || WaitForSingleObject(g_proc.hProcess, Ms(arg(1))) == WAIT_OBJECT_0)
                Fail("program ended");
            i += 1;
        } else if (cmd == "nowindow") {
            if (WaitFor(arg(1), Ms(arg(2)))) Fail(std::string("unexpected window ") + arg(1));
            i += 2;
        } else if (cmd == "list") {
            EnumWindows(PrintWindowLine, 0);
        } else if (cmd == "rect") {
            RECT r{};
            if (!g_win || !GetWindowRect(g_win, &r))
                Fail("rect: no window");
            else
                std::printf("rect %ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        } else if (cmd == "shot") {
            Sleep(Ms(arg(1)));
            i += 1;
        } else if (cmd == "settext") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const std::string text = Unescape(arg(2));
            if (!c) Fail(std::string("no control ") + arg(1));
            else SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            i += 2;
        } else if (cmd == "scroll") {
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const int n = std::atoi(arg(2));
            if (!c) Fail(std::string("no scroll bar ") + arg(1));
            for (int k = 0; c && k < (n < 0 ? -n : n); ++k)
                PostMessageA(g_win, WM_VSCROLL, n < 0 ? SB_LINEUP : SB_LINEDOWN, reinterpret_cast<LPARAM>(c));
            i += 2;
        } else if (cmd == "pixel") {
            const unsigned long want = std::strtoul(arg(2), nullptr, 16);
            unsigned long got = 0;
            if (!Until(Ms(arg(3)), [&] {
                    HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
                    if (c) {
                        // Read from the screen: another process's window DC
                        // does not show what that process painted.
                        RECT r;
                        GetWindowRect(c, &r);
                        HDC dc = GetDC(nullptr);
                        const COLORREF px = GetPixel(dc, r.left + 3, r.top + 3);
                        ReleaseDC(nullptr, dc);
                        got = (GetRValue(px) << 16) | (GetGValue(px) << 8) | GetBValue(px);
                    }
                    return got == want;
                })) {
                char buf[96];
                std::snprintf(buf, sizeof buf, "colour of %s is %06lx, not %06lx", arg(1), got, want);
                Fail(buf);
            }
            i += 3;
        } else if (cmd == "press") {
            // A mouse press on a control (1 left, 2 right), as a user's.
            HWND c = g_win ? GetDlgItem(g_win, std::atoi(arg(1))) : nullptr;
            const int button = std::atoi(arg(2));
            if (!c) {
                Fail(std::string("no control ") + arg(1));
            } else {
                PostMessageA(c, button == 2 ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, button == 2 ? MK_RBUTTON : MK_LBUTTON, 0);
                PostMessageA(c, button == 2 ? WM_RBUTTONUP : WM_LBUTTONUP, 0, 0);
            }
            i += 2;
        } else if (cmd == "responsive") {
            // responsive CLASS MS MAXMS: for MS milliseconds the visible window
            // of CLASS (of whichever process) answers every message within
            // MAXMS; prints the longest wait seen.
            Search any{arg(1), 0, nullptr};
            EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&any));
            g_win = any.found;
            if (!g_win) Fail(std::string("no window of class ") + arg(1));
            const DWORD span = Ms(arg(2)), most = Ms(arg(3));
            const DWORD start = GetTickCount();
            DWORD longest = 0;
            while (g_win && GetTickCount() - start < span) {
                const DWORD before = GetTickCount();
                DWORD_PTR r = 0;
                if (!SendMessageTimeoutA(g_win, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r)) {
                    Fail("window does not answer");
                    break;
                }
                longest = std::max(longest, GetTickCount() - before);
                Sleep(20);
            }
            std::printf("longest answer %lu ms\n", static_cast<unsigned long>(longest));
            if (longest > most) Fail("the window took " + std::to_string(longest) + " ms to answer");
            i += 3;
        } else if (cmd == "menu") {
            // The menu's own loop reads the keys of its thread's queue.
            HWND menu = nullptr;
            if (!Until(Ms(arg(1)), [&] {
                    Search s{"#32768", 0, nullptr};
                    EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&s));
                    return (menu = s.found) != nullptr;
                })) {
                Fail("no pop-up menu");
            } else {
                bool ends = false;
                for (const char* k = arg(2); *k; ++k) {
                    if (*k == 'r')
                        PostMessageA(menu, WM_CHAR, '\r', 1);
                    else if (*k == 'u' || *k == 'd' || *k == 'e')
                        PostMessageA(menu, WM_KEYDOWN, *k == 'u' ? VK_UP : *k == 'd' ? VK_DOWN : VK_ESCAPE, 1);
                    else
                        Fail(std::string("unknown menu key ") + *k);
                    ends = ends || *k == 'r' || *k == 'e';
                }
                if (ends && !Until(Ms(arg(1)), [&] { return !IsWindow(menu) || !IsWindowVisible(menu); }))
                    Fail("the pop-up menu stayed open");
            }
            i += 2;
        } else if (cmd == "larger") {
            const ULONGLONG want = std::strtoull(arg(2), nullptr, 10);
            if (!Until(Ms(arg(3)), [&] { return LargestMatch(arg(1)) > want; }, 5))
                Fail(std::string("no file ") + arg(1) + " larger than " + arg(2) + " bytes");
            i += 3;
        } else if (cmd == "changes") {
            const int want = std::atoi(arg(2));
            std::string last = FileStamp(arg(1));
            int seen = 0;
            if (!Until(Ms(arg(3)), [&] {
                    const std::string now = FileStamp(arg(1));
                    if (!now.empty() && now != last) {
                        seen += !last.empty();
                        last = now;
                    }
                    return seen >= want;
                }, 10))
                Fail(std::string(arg(1)) + " changed " + std::to_string(seen) + " times, not " + arg(2));
            else
                std::printf("%s changed %d times\n", arg(1), seen);
            i += 3;
        } else if (cmd == "closeclass") {
            Search s{arg(1), 0, nullptr};
            EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&s));
            if (!s.found) Fail(std::string("no window of class ") + arg(1) + " to close");
            else PostMessageA(s.found, WM_CLOSE, 0, 0);
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
