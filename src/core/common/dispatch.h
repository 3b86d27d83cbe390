// One dispatch point per window: a table from control and notification,
// menu command or timer to its handler and to what it may do while an
// operation runs. A window routes every event here; the table asks the
// operation guard first.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "common/operation_guard.h"

namespace vm {

// What an entry point may do while an operation runs.
enum class Policy {
    Start,  // starts, switches or opens something: refused
    Stop,   // a stop or end request: recorded, carried out at the operation's next safe point
    Tick,   // a timer tick: dropped
    Watch,  // a watch timer: only its busy part runs (the rest waits for the next tick)
    Free,   // moving, showing, painting, the players: always runs
};

// One event: its source (control, menu command or timer id), its
// notification code and up to two arguments (mouse button and keys, an
// index, a position).
struct Event {
    int id = 0;
    int code = 0;
    int a = 0;
    int b = 0;
};

enum class Fired { NoEntry, Ran, Refused, Deferred };

class EventTable {
public:
    using Handler = std::function<void(const Event&)>;
    // Matches every notification code of a source.
    static constexpr int kAnyCode = -1;

    explicit EventTable(OperationGuard& guard) : guard_(guard) {}

    void On(int id, int code, Policy policy, Handler run, Handler whileBusy = {});
    void On(int id, int code, Policy policy, std::function<void()> run) {
        On(id, code, policy, [run = std::move(run)](const Event&) { run(); });
    }
    bool Has(int id, int code) const;
    Policy PolicyOf(int id, int code) const;

    // Runs, refuses or records the event by its entry's policy; a handler
    // that ran with nothing else running is followed by the guard's Settle.
    Fired Fire(const Event& e);
    Fired Fire(int id, int code = 0, int a = 0, int b = 0) { return Fire(Event{id, code, a, b}); }

    // Every source and code of the table (for the tests that fire them).
    std::vector<std::pair<int, int>> Keys() const;

    OperationGuard& Guard() { return guard_; }

private:
    struct Entry {
        Policy policy;
        Handler run;
        Handler whileBusy;
    };
    const Entry* Find(int id, int code) const;

    OperationGuard& guard_;
    std::map<std::pair<int, int>, Entry> entries_;
};

}  // namespace vm
