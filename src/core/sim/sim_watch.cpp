#include "sim/sim_watch.h"

namespace vm {

SimWatchStep SimWatch::Tick(bool found, bool withLink, bool layersHeld, bool linkOpen) {
    SimWatchStep s;
    if (found) {
        s.connect = withLink && !linkOpen;
    } else {
        if (SimWasRunning) {
            s.close = withLink;
            s.stopAutoRandom = true;
        }
        s.releaseLayers = withLink && layersHeld;
    }
    SimWasRunning = found;
    return s;
}

}  // namespace vm
