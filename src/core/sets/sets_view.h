// What the set logic needs from the main window: its lists, check marks,
// enabled and visible states, captions, the preview picture and the popup
// menus. The main window implements SetsView; core code decides.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vm {

// Controls whose state the set logic changes. lblFilter stands for all six
// filter labels.
enum class Ctl {
    optSky, optFLT, cmdRandom, cmdInst, cmdInstAndStart, cmdBackUp, cmdToOrg,
    lstClouds, lstFLT, lstOption, lstSky, lstSkyFil, cmbClouds, cmbOption,
    imgSky, lblFilter, lblMsg, lblFunc, mnuLastInst, optFs0, optFs1,
};

enum class Lst { cmbClouds, cmbOption, lstSky, lstSkyFil, lstClouds, lstOption, lstFLT };

enum class Menu { mnuPopUpCloud, mnuPopUpOption, mnuPopUpBkAll, mnuPopUpForm, mnuPopUpClearSituaion, mnuPopUpStartMode };

class SetsView {
public:
    virtual ~SetsView() = default;

    // Lists and combo boxes. Select sets the selection only: it raises no
    // event (core runs the handlers it needs itself). -1 = no selection.
    virtual int Count(Lst list) = 0;
    virtual std::string Item(Lst list, int index) = 0;
    virtual void Clear(Lst list) = 0;
    virtual void Add(Lst list, const std::string& text) = 0;
    virtual int Selected(Lst list) = 0;
    virtual void Select(Lst list, int index) = 0;

    // Check marks of lstClouds and lstOption.
    virtual bool Checked(Lst list, int index) = 0;
    virtual void SetChecked(Lst list, int index, bool checked) = 0;

    virtual bool Enabled(Ctl control) = 0;
    virtual void SetEnabled(Ctl control, bool enabled) = 0;
    virtual void SetVisible(Ctl control, bool visible) = 0;
    // Whether the option button (optSky or optFLT) is the chosen one.
    virtual bool OptionChosen(Ctl option) = 0;
    // Caption of a label (lblMsg, lblFunc).
    virtual void SetCaption(Ctl label, const std::string& text) = 0;
    virtual void SetFilterColor(int index, uint32_t color) = 0;

    // Shows the picture file in imgSky; the empty text clears it.
    virtual void ShowPicture(const std::string& path) = 0;
    virtual void Popup(Menu menu) = 0;
    // Makes the main window visible (before the first backup at start-up).
    virtual void ShowMainWindow() = 0;
};

// Main-window state shared by the set list, installation and AutoRandom.
struct SetsState {
    std::string CurrentSet;   // set name last taken from cmbClouds
    bool RandomMode = false;  // random-choice mode
    double InstallTime = 0;   // start of the AutoRandom period (days)
    bool FsAvailable[2] = {false, false};  // the simulators found at start-up
};

// Work of other parts of the program that the set logic calls.
struct SetsHooks {
    // AutoRandom is on (period not 0): no questions, buttons left alone.
    // Unset: Settings::AutoRandomTime != 0.
    std::function<bool()> autoRandomOn;
    // Stops AutoRandom (disables Timer1) after a failed installation.
    std::function<void()> stopAutoRandom;
    // AutoRandom's timer runs. Unset: autoRandomOn.
    std::function<bool()> autoRandomRunning;
    // Plays the button sound; true when a sound was played. Unset: none.
    std::function<bool()> playButtonSound;
    // After installing a cloud DataType: refreshes the clouds of a running
    // simulator when the link and the refresh settings allow it.
    std::function<void(const std::string& dataType)> refreshClouds;
    // The install button in situation mode.
    std::function<void()> installSituation;
};

}  // namespace vm
