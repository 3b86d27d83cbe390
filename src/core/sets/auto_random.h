// AutoRandom: the random button, the period set on lblTime, the timed set
// changes (at random or in a configured order) and the set-order bookkeeping
// shared with the AutoRandom set dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"
#include "sets/catalogue.h"
#include "sets/sets_view.h"

namespace vm {

class SetsController;
struct SetsHooks;

// AutoRandom state that outlives the set dialog.
struct AutoRandomData {
    bool orderMode = false;             // walk the order list instead of picking at random
    std::vector<int> orderedGroups;     // group numbers taking part, in AutoRandom order
    std::vector<std::string> orderList; // data-set names in AutoRandom order
    int orderPos = 0;                   // 1-based place of the last set installed; 0 before the first
    int lastPick = -1;                  // index in cmbClouds of the last random pick; -1 before the first
    bool lastResult = true;             // the last AutoRandom installation succeeded
};

inline constexpr const char* kNoSelectedTitle = "No selected data";
inline constexpr const char* kNoSelectedText =
    "No AutoRandom set is selected.\r\nPlease select one set at least.";
inline constexpr const char* kPressInstall = "Press Install Button.";
inline constexpr const char* kInstallErrorMark = " ( Install Error )";

// Whether some group takes part in AutoRandom.
bool AnyRandomGroup(const Catalogue& cat);
// When no group takes part, every group does (the flags a fresh cloud.ini
// starts with); the eligibility list is rebuilt either way.
void DefaultRandomFlags(Catalogue& cat);
// The groups taking part (random flag on, a valid folder) sorted by their
// order (stable; 9999 for none) get the orders 1, 2, ...; every other group
// gets 9999. Rebuilds the order list.
void NormaliseOrder(Catalogue& cat, AutoRandomData& ar);
// The groups of the ordered list, as rearranged by dragging, take the orders
// 1, 2, ... in list order.
void StoreOrder(Catalogue& cat, const AutoRandomData& ar);
// The valid entry names of the ordered groups, group after group.
void BuildOrderList(const Catalogue& cat, AutoRandomData& ar);
// Writes the Order key of every [SetN] (removed when the group does not take
// part or has no order), then records cloud.ini's new time. A missing
// cloud.ini is not created.
void SaveOrder(Env& env, Settings& s, const Catalogue& cat);

// A random index in low..high. While AutoRandom runs the pick is an eligible
// entry other than the last pick, drawn evenly among those in the range (the
// last pick again when it is the only one; -1 when the range holds none);
// otherwise any index of the range. With one eligible entry in the whole
// list, that entry; with none, 0.
int RandomIndex(Env& env, const std::vector<bool>& eligible, int low, int high, bool autoRandomOn,
                int& lastPick);

// A click on lblTime: the new period in tenths of a minute (0 to 600) from the
// current one. button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl,
// 4 Alt, added. `shown` tells whether lblTime shows the new value.
struct PeriodClick {
    int tenths = 0;
    bool shown = false;
};
PeriodClick NextPeriod(int tenths, int button, int shift, int timeRes);
// The period in whole tenths of a minute.
int PeriodTenths(double autoRandomTime);
// lblTime's caption for a period: "Off", "0.5min" below one minute, "12min".
std::string PeriodCaption(int tenths);
// lblMsg during AutoRandom.
std::string RemainCaption(bool randomMode, const std::string& setName, bool lastResult, double remainingSeconds);

// What AutoRandom needs of the main window beyond the set lists.
class AutoRandomView {
public:
    virtual ~AutoRandomView() = default;
    virtual void SetTimer1(bool enabled) = 0;
    virtual void ShowTime(const std::string& caption) = 0;  // lblTime
    // Chooses optSky over optFLT without raising their events.
    virtual void ChooseSky() = 0;
    // Disables the main window and shows the set dialog.
    virtual void OpenSetDialog() = 0;
    // Chooses the refresh values in force again for the AutoRandom state.
    virtual void SelectRefreshMode() = 0;
    // Puts the situation display back (situation view).
    virtual void RestoreSituation() = 0;
};

class AutoRandomController {
public:
    AutoRandomController(Env& env, Settings& s, Catalogue& cat, SetsState& state, AutoRandomData& data,
                         SetsView& view, SetsController& sets, SetsHooks& hooks, AutoRandomView& arView)
        : env_(env), s_(s), cat_(cat), state_(state), ar_(data), view_(view), sets_(sets), hooks_(hooks),
          arView_(arView) {}

    bool On() const { return s_.AutoRandomTime != 0; }

    // After the catalogue is rebuilt for a simulator: the order follows the
    // new groups.
    void CatalogueLoaded();
    // At start-up, once the catalogue is loaded: default flags, then the order
    // normalised and saved.
    void StartupDefaults();
    void NormaliseAndSaveOrder();

    void cmdRandom_Click();
    void lblTime_MouseDown(int button, int shift);
    // Starts the timed changes (install-and-start with a period set). With
    // `checkSets`, false after telling the user and opening the set dialog
    // when no set takes part.
    bool Start(bool checkSets = true);
    // Ends the timed changes as a right click on lblTime does (closing, the
    // simulator gone).
    void Stop() { lblTime_MouseDown(2, 0); }
    // Timer1's countdown alone: lblMsg shows the time left (the change waits
    // while something else holds the textures).
    void ShowCountdown();
    void Timer1_Timer();
    void lblAutoRandom_Click();

private:
    void DoEvents();
    int IndexOf(const std::string& name);

    Env& env_;
    Settings& s_;
    Catalogue& cat_;
    SetsState& state_;
    AutoRandomData& ar_;
    SetsView& view_;
    SetsController& sets_;
    SetsHooks& hooks_;
    AutoRandomView& arView_;
    bool inTick_ = false;
};

}  // namespace vm
