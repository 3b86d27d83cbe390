// Situations: the simulator's flight files listed with their description and
// picture; installing one installs the sky sets it names and makes it the
// simulator's start situation in its configuration file.
#pragma once

#include <functional>
#include <string>

#include "common/ports.h"
#include "config/settings.h"
#include "sets/sets_controller.h"
#include "sets/sets_view.h"

namespace vm {

// Blanks trimmed, then line breaks taken off the start (or the end) one CR LF
// at a time, then blanks trimmed again.
std::string TrimLeadingBreaks(const std::string& text);
std::string TrimTrailingBreaks(const std::string& text);

// Where the start situation is written: the simulator's configuration file
// named by [Situation] CfgFile, relative to the simulator folder.
struct CfgTarget {
    enum Place {
        Ok,       // `path` is the file inside the simulator folder
        NotGiven, // CfgFile, Section or Key is missing: `missing` names it
        Outside,  // CfgFile leaves the simulator folder, or is absolute
    } place = NotGiven;
    std::string path;
    std::string missing;
};
// Resolves CfgFile against FsDir. Both slash kinds separate; "." and ".."
// segments are followed, and any that climb above the simulator folder, a
// leading separator, a drive or another colon, or a name of only dots and
// blanks put the file outside.
CfgTarget ResolveCfgFile(const Settings& s);

// What the situation logic needs besides the set lists.
struct SituationHooks {
    std::function<void(const std::string&)> setListTip;  // tool-tip text of lstFLT
    std::function<bool()> playButtonSound;               // true when a sound was played
    std::function<double()> autoRandomTime;              // minutes; 0 = AutoRandom off
};

class SituationController {
public:
    SituationController(Env& env, Settings& settings, SetsView& view, SetsController& sets, SituationHooks& hooks)
        : env_(env), s_(settings), view_(view), sets_(sets), hooks_(hooks) {}

    // The situations of SituationDir that have their weather file, in the
    // reverse of the search order.
    void FillSituationList();
    void lstFLT_Click();
    void optFLT_Click();
    void optFLT_MouseDown(int button);
    // Installs the sky sets of the selected situation and writes it into the
    // simulator's configuration file. False when nothing is selected.
    bool InstallSituation();
    // Takes the start situation out of the simulator's configuration file.
    void ClearSituation();
    void mnuClearSituation_Click() { ClearSituation(); }

private:
    std::string Selected();
    std::string FilePath(const std::string& name, const char* ext) const;
    // The configuration file to write, after telling the user why there is
    // none; the empty text then. `quietWhenMissing`: a missing setting or
    // file says nothing.
    std::string CfgFileToWrite(bool quietWhenMissing);
    // Writes the start key (an empty value deletes it); false when the file
    // is read-only or the write is refused.
    bool WriteCfg(const std::string& cfg, const std::string& value);
    void CannotWrite();
    void Beep();

    Env& env_;
    Settings& s_;
    SetsView& view_;
    SetsController& sets_;
    SituationHooks& hooks_;
};

}  // namespace vm
