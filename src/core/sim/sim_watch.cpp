#include "sim/sim_watch.h"

namespace vm {

SimWatchStep SimWatch::Tick(bool found, bool withLink, bool layersHeld, bool linkOpen, uint32_t nowMs) {
    SimWatchStep s;
    if (found) {
        if (linkOpen) failures_ = 0;
        const bool due = failures_ == 0 || static_cast<int32_t>(nowMs - nextTryMs_) >= 0;
        s.connect = withLink && !linkOpen && due;
    } else {
        if (SimWasRunning) {
            s.close = withLink;
            s.stopAutoRandom = true;
        }
        s.releaseLayers = withLink && layersHeld;
        failures_ = 0;  // a simulator that appears again is tried at once
    }
    SimWasRunning = found;
    return s;
}

void SimWatch::ConnectEnded(bool opened, uint32_t nowMs) {
    if (opened) {
        failures_ = 0;
        return;
    }
    ++failures_;
    nextTryMs_ = nowMs + RetryPauseMs(failures_);
}

uint32_t SimWatch::RetryPauseMs(int failures) {
    if (failures <= 1) return 10000;
    if (failures == 2) return 30000;
    return 60000;
}

}  // namespace vm
