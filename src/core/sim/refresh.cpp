#include "sim/refresh.h"

#include <algorithm>
#include <cmath>

#include "common/convert.h"
#include "common/operation_guard.h"

namespace vm {

namespace {
constexpr double kSecondsPerDay = 24.0 * 60 * 60;
constexpr unsigned kPollMs = 10;
constexpr int64_t kAutoRandomMargin = 5;  // seconds kept free after the last step
}  // namespace

RefreshMode SelectRefreshMode(const Settings& settings, double autoRandomTime) {
    const int mode = autoRandomTime == 0 ? 1 : 0;
    RefreshMode m;
    m.RefreshCloud = settings.RefreshCloud[mode];
    m.WaitTimeAfterClear = settings.WaitTimeAfterClear[mode];
    m.IncTime = settings.IncTime[mode];
    m.DecTime = settings.DecTime[mode];
    return m;
}

std::vector<RefreshStep> BuildRefreshSchedule(const LayerLists& layers, int typeCode, const RefreshMode& mode) {
    std::vector<RefreshStep> steps;
    for (size_t i = 0; i < layers.Count(); ++i) {
        if (layers.At(kLayerType, i) != typeCode) continue;
        const int layer = int(i) + 1;
        const int c0 = layers.At(kLayerCoverage, i);
        int64_t t = 0;
        if (mode.DecTime != 0) {
            for (int c = c0 - 1; c >= 1; --c) {
                steps.push_back({layer, t, c});
                t += mode.DecTime;
            }
        }
        steps.push_back({layer, t, 0});
        t += mode.WaitTimeAfterClear;
        if (mode.IncTime != 0) {
            for (int c = 1; c <= c0 - 1; ++c) {
                steps.push_back({layer, t, c});
                t += mode.IncTime;
            }
        }
        steps.push_back({layer, t, c0});
    }
    std::stable_sort(steps.begin(), steps.end(),
                     [](const RefreshStep& a, const RefreshStep& b) { return a.time < b.time; });
    return steps;
}

CloudRefresh::CloudRefresh(Fsuipc& link, ComIpc& weather, Clock& clock, Pump& pump, RefreshView& view)
    : link_(link), weather_(weather), clock_(clock), pump_(pump), view_(view) {}

CloudRefresh::Outcome CloudRefresh::RefreshClouds(const std::string& dataType) {
    const int code = CloudTypeCode(dataType);
    if ((Mode.DecTime == 0 && Mode.IncTime == 0 && Mode.WaitTimeAfterClear == 0) || code == 0)
        return Outcome::NotRun;
    if (weather_.ReadLayers() == 0) return Outcome::NotRun;
    const LayerLists asRead = weather_.Layers;

    const std::vector<RefreshStep> steps = BuildRefreshSchedule(asRead, code, Mode);
    if (steps.empty()) return Outcome::NotRun;

    // Keep the next automatic change out of this refresh.
    if (view_.AutoRandomTime() != 0) {
        const double minutes = std::ceil(double(steps.back().time + kAutoRandomMargin) / 60);
        if (view_.AutoRandomTime() < minutes) {
            view_.SetAutoRandomTime(minutes);
            view_.ShowTime(FormatNumber(minutes, "0") + "min");
        }
    }

    const double start = clock_.Now();
    const bool autoAtStart = view_.AutoRandomTime() != 0;
    if (autoAtStart) {
        view_.ButtonCtrl(false);
        view_.EnableTime(false);
    }
    view_.EnableStopRefresh(true);

    size_t next = 0;
    bool failed = false;  // a step's layer write did not reach the simulator
    int64_t shownSecond = -1;
    std::string text;
    // Stop Refresh, AutoRandom's end, the simulator's going or the program's
    // end ends it between two steps, with the layers put back.
    while (link_.SimRunning && !weather_.StopRefresh && !EndAsked(pump_) &&
           (view_.AutoRandomTime() != 0 || !autoAtStart)) {
        const double elapsed = (clock_.Now() - start) * kSecondsPerDay;
        if (elapsed >= double(steps[next].time)) {
            const RefreshStep& s = steps[next];
            auto& coverage = weather_.Layers.list[kLayerCoverage];
            if (size_t(s.layer) <= coverage.size()) coverage[s.layer - 1] = s.coverage;
            if (!weather_.WriteLayers()) {
                failed = true;
                break;
            }
            text = "Set Layer" + std::to_string(s.layer) + " coverage to " + std::to_string(s.coverage) + "/8. ";
            view_.SetMessage(text);
            if (++next == steps.size()) break;
        }
        const int64_t second = int64_t(std::floor(elapsed));
        if (second != shownSecond) {
            shownSecond = second;
            view_.SetMessage(text + "Waiting " + std::to_string(second) + "/" + std::to_string(steps[next].time) +
                             "(sec).");
        }
        clock_.Sleep(kPollMs);
        pump_.DoEvents();
    }
    const bool early = failed || next < steps.size();

    weather_.StopRefresh = false;
    view_.EnableStopRefresh(false);
    if (view_.AutoRandomTime() != 0) view_.ButtonCtrl(true);
    // lblTime goes back on whenever it was switched off here, also when
    // AutoRandom ended during the refresh.
    if (autoAtStart || view_.AutoRandomTime() != 0) view_.EnableTime(true);

    if (early) {
        // Put back the layers as they were before the refresh touched them,
        // whatever stop is pending.
        const Fsuipc::PutBack back(link_);
        weather_.Layers = asRead;
        weather_.WriteLayers();
    }
    if (failed) {
        view_.SetMessage(kRefreshFailedText);
        return Outcome::Failed;
    }
    view_.SetMessage(view_.RandomMode() ? std::string() : view_.CloudsText());
    return early ? Outcome::Stopped : Outcome::Completed;
}

CloudRefresh::Outcome CloudRefresh::RefreshAfterInstall(const std::string& dataType) {
    // An install that ran inside another refresh's wait, or inside an
    // exchange, leaves the clouds to that one (asking whether the link is
    // ready would be a second exchange).
    OperationGuard* guard = GuardOfPump(pump_);
    if (guard && guard->Holder(hold::kWeather | hold::kLink)) return Outcome::NotRun;
    if (CloudTypeCode(dataType) == 0 || !link_.SimRunning || !link_.IpcLinked || !link_.IpcOpened ||
        !Mode.RefreshCloud || weather_.RefreshBusy || !weather_.LinkReady())
        return Outcome::NotRun;
    const OperationScope operation(guard, Operation::Refresh);
    if (!operation) return Outcome::NotRun;
    weather_.StopRefresh = false;
    weather_.RefreshBusy = true;
    view_.EnableLastInst(false);
    const Outcome outcome = RefreshClouds(dataType);
    view_.EnableLastInst(true);
    weather_.RefreshBusy = false;
    return outcome;
}

void CloudRefresh::lblRefresh_Click() {
    if (!Mode.RefreshCloud || inClick_) return;
    const OperationScope operation(dynamic_cast<OperationGuard*>(&pump_), Operation::ManualRefresh);
    if (!operation) return;
    inClick_ = true;
    if (view_.ModulePresent()) {
        const bool refreshWas = Mode.RefreshCloud;
        const bool openedBefore = link_.IpcOpened;
        Mode.RefreshCloud = true;

        if (!link_.SimRunning) view_.CheckSimWindow();
        if (!link_.IpcOpened) link_.IpcConnect();

        if (link_.SimRunning && link_.IpcLinked && link_.IpcOpened && Mode.RefreshCloud && weather_.LinkReady()) {
            view_.PlayButtonSound();
            const double noted = clock_.Now();
            if (!weather_.RefreshBusy) {
                weather_.RefreshBusy = true;
                // Cleared weather can only be put back from a complete copy.
                if (weather_.SaveWeather()) {
                    weather_.ClearWeather();
                    weather_.StopRefresh = false;
                    view_.EnableStopRefresh(true);
                    // Stop Refresh, the simulator's going or the program's end
                    // ends the wait at once; the weather goes back all the same.
                    while ((clock_.Now() - noted) * kSecondsPerDay <= double(Mode.WaitTimeAfterClear) &&
                           !weather_.StopRefresh && link_.SimRunning && !EndAsked(pump_)) {
                        clock_.Sleep(kPollMs);
                        pump_.DoEvents();
                    }
                    weather_.StopRefresh = false;
                    view_.EnableStopRefresh(false);
                    weather_.RestoreWeather();
                } else {
                    view_.SetMessage(kWeatherNotSavedText);
                }
                weather_.RefreshBusy = false;
            }
            view_.PlayButtonSound();
        }

        if (!openedBefore && link_.IpcOpened && !view_.MusicKeepsLink()) link_.IpcClose();
        Mode.RefreshCloud = refreshWas;
    }
    inClick_ = false;
}

}  // namespace vm
