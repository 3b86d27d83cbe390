// Finding the two simulator installations in the registry and selecting one.
#pragma once

#include "common/ports.h"
#include "config/fonts.h"
#include "config/loader.h"
#include "config/settings.h"

namespace vm {

// The state of the two optFs option buttons after detection.
struct FsButtons {
    bool enabled[2] = {false, false};
    int selected = 0;  // the button to select; selecting it raises optFs_Click
};

// Fills FsPath and FsExe of both slots from the registry and tells which
// buttons are usable and which one to select. Ends the program when neither
// simulator is installed.
FsButtons DetectSimulators(Env& env, Settings& s);

// The selection of slot `index` (0 or 1): sets TextureDir, FsIndex and FsDir,
// saves the last-installed record and what else the reload would replace,
// reloads cloud.ini, refills the set lists and prepares the splash.
void optFs_Click(Env& env, Settings& s, int index, FontTable& fonts, ConfigView& view,
                 const LoadSteps& steps);

// True when the FSUIPC module file is installed in the selected simulator.
bool IpcModulePresent(Env& env, const Settings& s);

}  // namespace vm
