// The main window's shell decisions: the start-up order, the layout by
// ShowSkyFiles, the notification icon's mouse messages, the refresh values
// in force, the cloud.ini editor command and the AutoRandom caption.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/settings.h"

namespace vm {

// Only a 96 dpi screen is supported; start-up warns otherwise.
bool FontSizeOk(int logPixelsX);
extern const char* const kFontSizeTitle;  // "Screen Font Size Error"
extern const char* const kFontSizeText;

// The layout by ShowSkyFiles: which controls it shows, and lstFLT's height (twips).
struct SkyLayout {
    bool fileView;    // cmbClouds, cmbOption, lstClouds, lstOption visible
    bool setView;     // lstSky visible
    bool skyFilVisible;
    bool filtersVisible;
    int lstFLTHeight;
};
SkyLayout LayoutBySkyFiles(bool showSkyFiles);

// The notification icon's callback arrives as a mouse move of PIC whose X
// (twips) carries the mouse message number times 15.
enum class TrayAction { None, ToggleWindow, Popup };
TrayAction TrayIconAction(double xTwips);

// The AutoRandom state at start.
struct AutoRandomStart {
    bool timer1 = false;       // Timer1 enabled
    std::string timeCaption;   // lblTime
    bool buttonsOn = false;    // ButtonCtrl(true), then lblMsg = text of cmbClouds in the sky view
    bool disableInstall = false;
};
AutoRandomStart AutoRandomAtStart(double autoRandomTime);

// The simulator watch that also keeps the link (tmrFScheck) runs
// when the IPC module is installed and something uses it; otherwise the
// plain watch (tmrFsCheck2).
bool WatchWithLink(const Settings& s, bool modulePresent);

// Start in the situation view (else play the button sound).
bool StartInSituation(const Settings& s);

// Window dragging: a press of any mouse button but the right one (2)
// anchors the drag; the window follows while the left button is held.
bool DragAnchors(int button);

// mnuShowIni: the command lines to try in order (the configured editor, then
// notepad).
std::vector<std::string> EditorCommands(const std::string& editorPath, const std::string& iniPath);

// One copy of the program for all sessions of the machine: a named mutex in
// the global namespace, or in the session's own where the global one is
// refused. `create` makes the mutex of that name and tells what happened;
// an existing mutex that this user may not open counts as existing. True
// when this is the first copy (also when no mutex could be made at all).
enum class InstanceMutex { Created, Exists, Refused };
extern const char* const kInstanceName;  // the local name; the global one has "Global\" before it
bool FirstInstance(const std::function<InstanceMutex(const std::string& name)>& create);

// lblTime: "Off" or the minutes followed by "min".
std::string TimeCaption(double autoRandomTime);

// The start-up sequence after the single-instance test, in order. Each step
// is supplied by the main window; steps of features that are not there are
// left empty and skipped.
struct StartupSteps {
    std::function<void()> FontSizeOk;        // 2
    std::function<void()> PrepareLogo;       // 3
    std::function<void()> StartSound;        // 4
    std::function<bool()> ShowLogo;          // 5: LogoEnabled
    std::function<void()> RunLogo;           // 6: show, 1000 ms, unload
    std::function<void()> FindIni;           // 7.1
    std::function<void()> DetectSimulators;  // 7.2 (loads cloud.ini)
    std::function<void()> DefaultRandomFlags;     // every set takes part when none does
    std::function<void()> NormaliseAndSaveOrder;  // the AutoRandom order, numbered and saved
    std::function<void()> PrepareSplash;     // 7.5
    std::function<void()> Situations;        // 7.6
    std::function<void()> BackupButtons;     // 7.7
    std::function<void()> Layout;            // 7.8
    std::function<void()> ApplyFont;         // 8
    std::function<void()> AutoRandomState;   // 9
    std::function<void()> SelectRefreshMode; // 10
    std::function<void()> SimulatorWatch;    // 11
    std::function<void()> WeatherMenu;       // 12
    std::function<void()> StartSel;          // 13
};
void RunStartup(const StartupSteps& steps);

}  // namespace vm
