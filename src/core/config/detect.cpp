#include "config/detect.h"

#include "common/fileproc.h"
#include "sets/last_installed.h"
#include "sim/fsuipc.h"
#include "sound/reg_read.h"

namespace vm {

namespace {
const char* const kFlightSimKey = "Software\\Microsoft\\Microsoft Games\\Flight Simulator";
const char* const kCombatKey = "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator";

std::string ReadInstall(clsRegRead& reg, const char* subKey, const char* version, const char* value) {
    reg.SubKey = subKey;
    reg.SubKey2 = version;
    reg.ValueName = value;
    return reg.RegData();
}
}  // namespace

FsButtons DetectSimulators(Env& env, Settings& s) {
    clsRegRead reg(env);
    reg.RootName = Registry::kLocalMachine;

    s.FsPath[0] = ReadInstall(reg, kFlightSimKey, "8.0", "EXE Path");
    s.FsExe[0] = "fs2002.exe";
    if (s.FsPath[0].empty()) {
        s.FsPath[0] = ReadInstall(reg, kFlightSimKey, "7.0", "Path");
        s.FsExe[0] = "fs2000.exe";
    }
    s.FsPath[1] = ReadInstall(reg, kCombatKey, "3.0", "EXE Path");
    s.FsExe[1] = "cfs3.exe";

    if (s.FsPath[0].empty() && s.FsPath[1].empty()) Fatal(env, "No FS", "No FS2002 is installed.");

    FsButtons b;
    b.enabled[0] = !s.FsPath[0].empty();
    b.enabled[1] = !s.FsPath[1].empty();
    b.selected = s.FsPath[0].empty() ? 1 : 0;
    return b;
}

void optFs_Click(Env& env, Settings& s, int index, FontTable& fonts, ConfigView& view,
                 const LoadSteps& steps) {
    if (index != 0 && index != 1) return;
    s.TextureDir = s.FsPath[index] + "\\texture";
    s.FsIndex = static_cast<uint8_t>(index);
    s.FsDir = s.FsPath[index];
    // The reload reads the record and the music list from the file again:
    // what was added since must be there first, as at the program's end.
    SaveLastInstalled(env, s);
    if (steps.SaveBeforeReload) steps.SaveBeforeReload();
    ReadConfig(env, s, fonts, view, steps);
    if (steps.FillSetLists) steps.FillSetLists();
    if (steps.PrepareSplash) steps.PrepareSplash();
}

bool IpcModulePresent(Env& env, const Settings& s) {
    return IpcModulePresent(env, s.FsDir);
}

}  // namespace vm
