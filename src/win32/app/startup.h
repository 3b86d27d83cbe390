// The program's start-up and run, shared by WinMain and the in-process tests.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/operation_guard.h"
#include "common/ports.h"
#include "config/fonts.h"
#include "config/loader.h"
#include "config/settings.h"
#include "platform/win32_fs.h"
#include "platform/win32_hash.h"
#include "platform/win32_ports.h"
#include "platform/win32_profile.h"
#include "ui/frm_msg.h"

namespace vm {

// Where the start-up's time goes, in seconds: creating the main window and
// its controls, the start-up steps (catalogue excluded) and building the
// catalogue. The start-up benchmark prints them.
struct StartupTimes {
    double window = 0, configuration = 0, catalogue = 0;
};

// Adds the time from its construction to its destruction to one sum.
class StageClock {
public:
    explicit StageClock(double& sum);
    ~StageClock();
    StageClock(const StageClock&) = delete;
    StageClock& operator=(const StageClock&) = delete;

private:
    double& sum_;
    LARGE_INTEGER start_;
};

// Everything the program holds for its lifetime: the ports and the settings.
struct Program {
    Win32FileSystem fs;
    Win32Profile profile;
    Win32Registry registry;
    Win32Clock clock;
    Win32Pump pump;
    // Every long operation lets messages run through the guard, and every
    // window asks it before an event runs.
    OperationGuard guard{&pump};
    Win32Sound sound;
    Win32Fonts fonts;
    Win32Random random;
    Win32Messages messages{guard, clock};
    Win32Hasher hasher;
    Env env;
    Settings settings;
    FontTable fontTable;
    StartupTimes times;

    // programDir: the folder of cloud.ini (the exe's folder by default).
    explicit Program(const std::string& programDir);
};

// The folder the running exe lives in.
std::string ExeFolder();

// Start-up and message loop; returns the exit code.
int RunProgram();

}  // namespace vm
