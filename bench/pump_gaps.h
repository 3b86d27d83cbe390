// A pump that times the gaps between its runs: the longest time the window
// went without its messages being let through.
#pragma once

#include <windows.h>

#include "common/ports.h"

namespace vm {

// What a benchmark prints after a figure that misses its goal.
inline const char* Missed(bool met) { return met ? "" : "  [GOAL MISSED]"; }

class TimedPump : public Pump {
public:
    explicit TimedPump(Pump& inner) : inner_(inner) {}
    void DoEvents() override {
        Mark();
        inner_.DoEvents();
    }
    void Mark() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (last_.QuadPart) {
            const double ms = static_cast<double>(now.QuadPart - last_.QuadPart) * 1000.0 / Freq();
            if (ms > longestMs) longestMs = ms;
            if (ms > 50) ++over50;
            ++gaps;
        }
        last_ = now;
    }
    // The time until the next run is the benchmark's own (its measuring and
    // printing), not the window's: it is not timed.
    void Resume() { last_ = {}; }
    // Forgets what was timed; the next run starts a new series.
    void Reset() {
        longestMs = 0;
        gaps = over50 = 0;
        last_ = {};
    }
    double longestMs = 0;
    long gaps = 0, over50 = 0;

private:
    static double Freq() {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }
    Pump& inner_;
    LARGE_INTEGER last_{};
};

}  // namespace vm
