// The program's main window beside the stand-in simulator, for the
// benchmarks that measure it with the link: a temporary simulator
// installation (its texture folder, the IPC module's file, one cumulus set
// "Summer"), a program folder whose cloud.ini names the set, the registry
// faked to name the installation, and fakesim.exe (another process, as the
// simulator is) started with the given options. The real ports and the real
// Form1 run on it, their pump timed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/form1.h"
#include "fakes.h"
#include "pump_gaps.h"
#include "stand_in.h"
#include "win_files.h"

namespace vm {

class SimRig {
public:
    // `iniMore`: cloud.ini's lines beyond the names and the set, CR LF each.
    SimRig(const std::string& name, const std::string& fakesim, const std::string& simOptions,
           const std::string& iniMore)
        : root_(TempFolderName(name)) {
        RemoveTree(root_);
        const std::string prog = root_ + "\\Prog", fs = root_ + "\\FS", tex = fs + "\\texture";
        for (const std::string& d : {root_, prog, fs, fs + "\\Modules", tex, tex + "\\Sky", tex + "\\Sky\\Summer"})
            CreateDirectoryA(d.c_str(), nullptr);
        WriteTextFile(fs + "\\Modules\\FSUIPC.dll", "");
        WriteTextFile(tex + "\\cld1.bmp", std::string(3000, 'A'));
        WriteTextFile(tex + "\\Sky\\Summer\\cld1.bmp", std::string(4000, 'S'));
        WriteTextFile(prog + "\\cloud.ini",
                      "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n[BackUpFunc]\r\nFunc=off\r\n"
                      "[ShowLogo]\r\nShow=off\r\n[ShowSkyFiles]\r\nShowFiles=True\r\n" +
                          iniMore + "[Set1]\r\nDirName=Summer\r\n");
        registry_.Set(Registry::kLocalMachine, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0",
                      "EXE Path", fs);
        simUp_ = StartStandIn(fakesim, simOptions, sim_);
        if (!simUp_) return;
        program_ = std::make_unique<Program>(prog);
        program_->env.registry = &registry_;
        timed_ = std::make_unique<TimedPump>(program_->pump);
        program_->guard.SetInner(timed_.get());
        form_ = std::make_unique<Form1>(*program_);
        form_->Form_Load();
        PumpPending();
    }
    ~SimRig() {
        if (form_) form_->Form_Unload();
        form_.reset();
        if (sim_.hProcess) {
            TerminateProcess(sim_.hProcess, 0);
            WaitForSingleObject(sim_.hProcess, 5000);
            CloseHandle(sim_.hThread);
            CloseHandle(sim_.hProcess);
        }
        RemoveTree(root_);
    }
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    // The stand-in came up and the window was made.
    bool Up() const { return simUp_ && form_; }
    Program& P() { return *program_; }
    Form1& Form() { return *form_; }
    TimedPump& Timed() { return *timed_; }
    std::string Texture() const { return root_ + "\\FS\\texture\\cld1.bmp"; }

    // Lets the window's messages run (its timers too) until `done` or `ms`
    // have passed; whether `done` came.
    static bool PumpUntil(DWORD ms, const std::function<bool()>& done) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > ms) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpPending();
        }
        return true;
    }

private:
    std::string root_;
    FakeRegistry registry_;
    PROCESS_INFORMATION sim_{};
    bool simUp_ = false;
    std::unique_ptr<Program> program_;
    std::unique_ptr<TimedPump> timed_;
    std::unique_ptr<Form1> form_;
};

}  // namespace vm
