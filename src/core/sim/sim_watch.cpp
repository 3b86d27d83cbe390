#include "sim/sim_watch.h"

namespace vm {

SimWatchStep SimWatch::Tick(bool found, bool withLink, bool layersHeld, bool linkOpen) {
    SimWatchStep s;
    if (found) {
        if (!SimWasRunning || linkOpen) gaveUp_ = false;
        else if (asked_) gaveUp_ = true;
        s.connect = withLink && !linkOpen && !gaveUp_;
    } else {
        if (SimWasRunning) {
            s.close = withLink;
            s.stopAutoRandom = true;
        }
        s.releaseLayers = withLink && layersHeld;
    }
    asked_ = s.connect;
    SimWasRunning = found;
    return s;
}

}  // namespace vm
