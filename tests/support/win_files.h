// Real temporary folders, a clock and a median for the Windows-side tests
// and benchmarks.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/win32_fs.h"
#include "platform/win32_ports.h"
#include "platform/win32_profile.h"

namespace vm {

// The real file system and profile ports with a scripted message window
// and a recording sound, wired into one Env.
struct RealPorts {
    Win32FileSystem fs_;
    Win32Profile profile_;
    Win32Clock clock_;
    Win32Pump pump_;
    RecordingSound sound_;
    ScriptedMessages msg_;
    Env env_;

    RealPorts() {
        env_.fs = &fs_;
        env_.profile = &profile_;
        env_.clock = &clock_;
        env_.pump = &pump_;
        env_.sound = &sound_;
        env_.msg = &msg_;
    }
};

// Lets the window messages of this thread run for `ms` milliseconds.
inline void Settle(int ms = 50) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        PumpPending();
        Sleep(5);
    }
}

// A folder of this name under %TEMP%, unique to the process.
inline std::string TempFolderName(const std::string& name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    return std::string(tmp) + name + "_" + std::to_string(GetCurrentProcessId());
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The whole file as text; empty when it cannot be read.
inline std::string ReadTextFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Deletes the folder and everything below it.
inline void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string p = dir + "\\" + name;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
            else DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// Seconds from the performance counter.
inline double Seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace vm
#endif
