// Install clicked every half second for 18 s while the simulator's window is
// there but its IPC module never answers (fakesim.exe noanswer, another
// process), by the real main window: the watch connects when the simulator
// appears, gives up within 10 s and waits 10 s before it tries again. Prints
// the share of clicks answered with the install's question (answered
// Cancel), for the clicks that came while a connect ran and for those
// between two connects (goal: 100 % of each). A click is made as a user's:
// only while the button is enabled and no message window is up; a click on
// a button the program has disabled counts as unanswered.
// Usage: bench_install_clicks.exe [path\to\fakesim.exe]  (default: next to this exe)
#include <windows.h>

#include <cstdio>
#include <string>

#include "sim_rig.h"

using namespace vm;

namespace {

constexpr DWORD kRunMs = 18000, kClickMs = 500;

struct Tally {
    int clicks = 0, answered = 0;
    double Share() const { return clicks ? 100.0 * answered / clicks : 0; }
};

SimRig* g_rig = nullptr;
Tally g_inConnect, g_between;
int g_questions = 0;
bool g_clicking = false;

// A click on Install, from whatever pump runs now (a connect's among them).
void CALLBACK Click(HWND, UINT, UINT_PTR, DWORD) {
    if (g_clicking || FindWindowA("VellmoraMsg", nullptr)) return;
    g_clicking = true;
    Form1& form = g_rig->Form();
    Tally& t = g_rig->P().guard.Holding(hold::kLink) ? g_inConnect : g_between;
    const int asked = g_questions;
    ++t.clicks;
    HWND button = form.Control(Form1::cmdInst);
    if (IsWindowEnabled(button))
        SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::cmdInst, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    t.answered += g_questions > asked;
    g_clicking = false;
}

}  // namespace

int main(int argc, char** argv) {
    // The refresh after an install wants the link: the watch connects.
    SimRig rig("vmbench_clicks", StandInPath(argc, argv), "hidden noanswer",
               "[AutoRefreshByInstallButton]\r\nRefreshCloud=on\r\n");
    if (!rig.Up()) {
        std::fprintf(stderr, "install_clicks: the stand-in or the window did not come up\n");
        return 1;
    }
    g_rig = &rig;
    rig.P().messages.onShown = [](frmMsg& w) {
        char title[64] = "";
        GetWindowTextA(w.hwnd(), title, sizeof title);
        g_questions += std::string(title) == "Installation";
        PostMessageA(w.Control(22), BM_CLICK, 0, 0);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, kClickMs, Click);
    const DWORD start = GetTickCount();
    SimRig::PumpUntil(kRunMs + 1000, [&] { return GetTickCount() - start >= kRunMs; });
    KillTimer(nullptr, timer);
    // A connect still running ends before the window goes.
    SimRig::PumpUntil(15000, [&] { return !rig.P().guard.Busy(); });
    const int connects = rig.Form().Shell().watch.Failures();
    std::printf("Install clicked every %lu ms for %lu s beside a simulator that never accepts the link "
                "(%d failed connects in a row):\n",
                static_cast<unsigned long>(kClickMs), static_cast<unsigned long>(kRunMs / 1000), connects);
    std::printf("  while a connect ran: %d of %d clicks answered with the question, %.0f %% (goal: 100 %%)\n",
                g_inConnect.answered, g_inConnect.clicks, g_inConnect.Share());
    std::printf("  between connects:   %d of %d clicks answered with the question, %.0f %% (goal: 100 %%)\n",
                g_between.answered, g_between.clicks, g_between.Share());
    const Tally all{g_inConnect.clicks + g_between.clicks, g_inConnect.answered + g_between.answered};
    std::printf("  all clicks: %.0f %% answered (goal: 100 %%)%s\n", all.Share(), Missed(all.answered == all.clicks));
    // The run counts only when clicks met a connect.
    return g_inConnect.clicks > 0 ? 0 : 1;
}
