// The watch for the simulator's main window, once a second: it opens the
// link when the simulator appears and closes it when it goes.
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
    // (tmrFsCheck2); `layersHeld` whether the layer lists hold any layer.
    SimWatchStep Tick(bool found, bool withLink, bool layersHeld);
};

}  // namespace vm
