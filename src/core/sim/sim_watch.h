// The watch for the simulator's main window, once a second: it opens the
// link when the simulator appears, opens it again when it went down while the
// simulator runs, and closes it when the simulator goes.
#pragma once

#include <cstdint>

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
    // `linkOpen` whether the link is open (IpcOpened); `nowMs` the tick count.
    //
    // The watch that connects asks for a connect when the simulator appears
    // and whenever the link is down while it runs; after a connect that gave
    // up, the next tries come after growing pauses (RetryPauseMs), never at
    // every tick.
    SimWatchStep Tick(bool found, bool withLink, bool layersHeld, bool linkOpen, uint32_t nowMs);
    // The connect asked for by the last tick ended, with the link open or not.
    void ConnectEnded(bool opened, uint32_t nowMs);
    // The pause after the n-th failed connect in a row: 10 s, 30 s, then 60 s.
    static uint32_t RetryPauseMs(int failures);
    int Failures() const { return failures_; }

private:
    int failures_ = 0;
    uint32_t nextTryMs_ = 0;
};

}  // namespace vm
