// Making a running simulator redraw its clouds: the refresh after an
// installation (lower and raise the coverage of the installed cloud type on
// a schedule) and the manual refresh (save, clear, wait, restore).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"
#include "sim/fsuipc.h"
#include "sim/weather.h"

namespace vm {

// lblMsg after a refresh whose layer write failed, and after a manual
// refresh that could not save the weather (nothing was cleared).
inline constexpr const char* kRefreshFailedText = "Cloud refresh failed: the clouds were set back as they were.";
inline constexpr const char* kWeatherNotSavedText = "Weather could not be saved: the clouds were not refreshed.";

// The refresh values in force.
struct RefreshMode {
    bool RefreshCloud = false;
    int32_t WaitTimeAfterClear = 0;  // seconds
    int16_t IncTime = 0;             // seconds per step up
    int16_t DecTime = 0;             // seconds per step down
};

// Set 1 ([AutoRefreshByInstallButton]) when AutoRandom is off (interval 0),
// else set 0 ([AutoRefresh]).
RefreshMode SelectRefreshMode(const Settings& settings, double autoRandomTime);

struct RefreshStep {
    int layer = 0;     // 1-based
    int64_t time = 0;  // seconds from the start
    int coverage = 0;

    bool operator==(const RefreshStep&) const = default;
};

// The steps for every layer of cloud type `typeCode`, in ascending order of
// time (steps of the same time keep layer order). Each layer goes down from
// its coverage to 0 one eighth per DecTime, waits WaitTimeAfterClear, and
// goes back up one eighth per IncTime.
std::vector<RefreshStep> BuildRefreshSchedule(const LayerLists& layers, int typeCode, const RefreshMode& mode);

// What the refresh needs of the main window.
class RefreshView {
public:
    virtual ~RefreshView() = default;
    virtual void SetMessage(const std::string& text) = 0;  // lblMsg
    virtual std::string CloudsText() = 0;                  // the text of cmbClouds
    virtual bool RandomMode() = 0;                         // random-installation flag
    virtual double AutoRandomTime() = 0;                   // minutes; 0 = AutoRandom off
    virtual void SetAutoRandomTime(double minutes) = 0;
    virtual void ShowTime(const std::string& caption) = 0;  // lblTime
    virtual void EnableTime(bool enable) = 0;               // lblTime
    virtual void ButtonCtrl(bool enable) = 0;
    virtual void EnableStopRefresh(bool enable) = 0;  // mnuStopRefresh
    virtual void EnableLastInst(bool enable) = 0;     // mnuLastInst
    virtual bool ModulePresent() = 0;                 // FSUIPC.dll in the simulator's Modules
    virtual void CheckSimWindow() = 0;                // tmrFScheck_Timer once
    virtual void PlayButtonSound() = 0;
    virtual bool MusicKeepsLink() = 0;  // the sound desk is open and a channel follows the simulator
};

class CloudRefresh {
public:
    CloudRefresh(Fsuipc& link, ComIpc& weather, Clock& clock, Pump& pump, RefreshView& view);

    // How a refresh after an installation ended.
    // Failed: a layer write did not reach the simulator; the layers as read
    // before the refresh were written back.
    enum class Outcome { NotRun, Completed, Stopped, Failed };

    // The refresh of every layer of the installed cloud type.
    Outcome RefreshClouds(const std::string& dataType);
    // The installation's call: refreshes when the data type is a cloud type,
    // the link is open, accepted and ready, refreshing is on and no refresh
    // runs; guards with RefreshBusy and mnuLastInst around it.
    Outcome RefreshAfterInstall(const std::string& dataType);
    // Manual refresh (lblRefresh click): save, clear, wait, restore.
    void lblRefresh_Click();
    void mnuStopRefresh_Click() { weather_.StopRefresh = true; }

    RefreshMode Mode;  // the values in force (SelectRefreshMode)

private:
    Fsuipc& link_;
    ComIpc& weather_;
    Clock& clock_;
    Pump& pump_;
    RefreshView& view_;
    bool inClick_ = false;
};

}  // namespace vm
