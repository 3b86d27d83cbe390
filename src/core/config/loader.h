// Loading cloud.ini into the settings: FindIni at start-up, ReadConfig at each
// simulator selection, and the [ShowLogo] switch read before both.
#pragma once

#include <functional>
#include <string>

#include "common/ports.h"
#include "config/cfg_file.h"
#include "config/fonts.h"
#include "config/settings.h"

namespace vm {

// What the loader does to the main window's controls.
class ConfigView {
public:
    virtual ~ConfigView() = default;
    // Empties cmbClouds, cmbOption, lstClouds, lstOption and lstSky.
    virtual void ClearLists() = 0;
    // The stretch property of imgSky.
    virtual void SetStretch(bool stretch) = 0;
    // The tooltip of a control; index is the element of a control array
    // (lblFilter 0 to 5) or -1 for a single control.
    virtual void SetToolTip(const std::string& control, int index, const std::string& text) = 0;
};

// The steps of a reload that other parts of the program supply. An empty
// function is skipped.
struct LoadSteps {
    // Empties the DataEntry and SetGroup lists (before anything is read).
    std::function<void()> ClearCatalogue;
    // Builds the catalogue from the [SetN] sections, reading with the
    // loader's reader (ReadValue).
    std::function<void(clsCfgRead& reader)> BuildCatalogue;
    // Rebuilds the per-entry AutoRandom eligibility list.
    std::function<void()> BuildEligibility;
    // The first backup; called only when the backup is enabled and the backup
    // folder does not exist. Reads [ToBeBackuped] with the loader's reader.
    std::function<void(clsCfgRead& reader)> BackupAtLoad;
    // Refills the set lists from the catalogue after a simulator selection.
    std::function<void()> FillSetLists;
    // Writes what is held only in memory and would be read again from the
    // file (the music list of an open sound desk), before a reload.
    std::function<void()> SaveBeforeReload;
    // Prepares the splash rotation of the simulator just selected.
    std::function<void()> PrepareSplash;
};

// Sets IniName, ends the program when cloud.ini is missing, records IniTime.
void FindIni(Env& env, Settings& s);

// One step of the loader: reads Section/Key through the reader. A failed read,
// or "Error" for a mandatory key, is fatal.
std::string ReadValue(Env& env, clsCfgRead& reader, const std::string& section,
                      const std::string& key, bool mandatory);

// Re-reads the whole of cloud.ini into the settings, re-applies what acts on
// the main window and rebuilds the catalogue through the steps. Needs FsPath,
// FsIndex, FsDir and TextureDir. Every error ends the program (ProgramEnd).
void ReadConfig(Env& env, Settings& s, FontTable& fonts, ConfigView& view, const LoadSteps& steps);

// [ShowLogo] Show: false only when cloud.ini exists and the value is "off".
bool LogoEnabled(Env& env);

}  // namespace vm
