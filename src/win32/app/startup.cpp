#include "app/startup.h"

#include "app/form1.h"
#include "config/detect.h"
#include "sound/play_sound.h"

namespace vm {

Program::Program(const std::string& programDir) {
    env.fs = &fs;
    env.profile = &profile;
    env.registry = &registry;
    env.clock = &clock;
    env.pump = &guard;
    env.sound = &sound;
    env.fonts = &fonts;
    env.random = &random;
    env.msg = &messages;
    env.hasher = &hasher;
    env.programDir = programDir;
    messages.SetFixFont(&settings.FixFont);
    messages.SetSound([this](uint8_t style) { PlaySystemSound(env, settings, style); });
}

StageClock::StageClock(double& sum) : sum_(sum) { QueryPerformanceCounter(&start_); }

StageClock::~StageClock() {
    LARGE_INTEGER end, freq;
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&freq);
    sum_ += static_cast<double>(end.QuadPart - start_.QuadPart) / static_cast<double>(freq.QuadPart);
}

std::string ExeFolder() {
    char path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    const size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? s : s.substr(0, slash);
}

int RunProgram() {
    Program p(ExeFolder());
    Form1 form(p);
    try {
        form.Form_Load();
    } catch (const ProgramEnd&) {
        return 0;
    }
    // The message loop; dialog keys (Tab, Enter, Esc) go to the active window.
    MSG m;
    while (!form.Ended() && GetMessageA(&m, nullptr, 0, 0) > 0) {
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageA(active, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}

}  // namespace vm
