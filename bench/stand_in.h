// The stand-in simulator for the benchmarks: fakesim.exe beside the
// benchmark (or the given path), started with its options, and its IPC
// window waited for.
#pragma once

#include <windows.h>

#include <string>

#include "sim/protocol.h"

namespace vm {

// The stand-in's path: argv[1] when given, else fakesim.exe beside this exe.
inline std::string StandInPath(int argc, char** argv) {
    if (argc > 1) return argv[1];
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string self(path, n);
    return self.substr(0, self.find_last_of('\\') + 1) + "fakesim.exe";
}

// Starts it with `options` and waits (up to 10 s) for its IPC window; false
// when it could not be started or did not come up.
inline bool StartStandIn(const std::string& exe, const std::string& options, PROCESS_INFORMATION& pi) {
    std::string cmd = "\"" + exe + "\" " + options;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    pi = {};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    for (int i = 0; i < 200; ++i) {
        Sleep(50);
        if (FindWindowA(kIpcServerClass, nullptr)) return true;
    }
    return false;
}

}  // namespace vm
