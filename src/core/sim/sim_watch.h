// The watch for the simulator's main window, once a second: it opens the
// link when the simulator appears, opens it again when it went down while the
// simulator runs, and closes it when the simulator goes.
#pragma once

namespace vm {

struct SimWatchStep {
    bool connect = false;         // IpcConnect
    bool close = false;           // IpcClose
    bool stopAutoRandom = false;  // the simulator went away: AutoRandom ends
    bool releaseLayers = false;   // drop the layer lists read from it
};

class SimWatch {
public:
    bool SimWasRunning = false;
    // One tick: `found` is whether a "FS98MAIN" window exists; `withLink` is
    // the watch that also connects (tmrFScheck), not the plain one
    // (tmrFsCheck2); `layersHeld` whether the layer lists hold any layer;
    // `linkOpen` whether the link is open (IpcOpened).
    //
    // The watch that connects asks for a connect whenever the simulator runs
    // and the link is down: when the simulator appears, when someone closed
    // the link under it, and after a connect that gave up (it gives up
    // within ten seconds, letting messages run meanwhile).
    SimWatchStep Tick(bool found, bool withLink, bool layersHeld, bool linkOpen);
};

}  // namespace vm
