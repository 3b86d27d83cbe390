// One dispatch point per window: a table from control and notification,
// menu command or timer to its handler, what the handler needs and what it
// does while something else runs. A window routes every event here; the
// table asks the operation guard first.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/operation_guard.h"

namespace vm {

// What an entry point does while something else runs.
enum class Policy {
    // Starts, switches or opens something: refused while a running operation
    // holds what it needs (and the window's own modal state); queued while a
    // plain handler lets messages run; otherwise it runs, inside whatever
    // lets messages run now.
    Start,
    // A timer tick: its work runs when nothing holds what it needs and no
    // plain handler is half way; otherwise only its busy part (countdown,
    // display, presence) runs and the work waits for the next tick.
    Tick,
    // An aimed stop (AutoRandom, the refresh): runs at once, never refused.
    Stop,
    // The window's close: it runs once none of this window's handlers runs.
    Close,
    // The program's end: the only stop that ends a copy loop early; the
    // handler runs once nothing runs any more.
    End,
    // Moving, showing, painting, the players: always runs.
    Free,
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

enum class Fired { NoEntry, Ran, Refused, Queued, Postponed, Deferred };

// Notification codes, shared by every window's table: a click, a list's
// change of selection and its loss of the focus have the platform's values;
// a mouse press is kMouseDown + the button (1 left, 2 right, 4 middle) and
// its release kMouseUp + the button.
struct ControlCodes {
    static constexpr int kClicked = 0, kSelChange = 1, kKillFocus = 5;
    static constexpr int kMouseDown = 0x200, kMouseUp = 0x400;
};

class EventTable {
public:
    using Handler = std::function<void(const Event&)>;
    // Matches every notification code of a source.
    static constexpr int kAnyCode = -1;

    // `window`: the window's own modal bit (hold::kMainWindow, ...), needed
    // by each of its Start entries.
    explicit EventTable(OperationGuard& guard, Holds window = hold::kNothing) : guard_(guard), window_(window) {}
    ~EventTable();
    EventTable(const EventTable&) = delete;
    EventTable& operator=(const EventTable&) = delete;

    void On(int id, int code, Policy policy, Holds needs, Handler run, Handler whileBusy = {});
    void On(int id, int code, Policy policy, Holds needs, std::function<void()> run) {
        On(id, code, policy, needs, [run = std::move(run)](const Event&) { run(); });
    }
    bool Has(int id, int code) const;
    Policy PolicyOf(int id, int code) const;
    // What the entry's handler needs (the window's modal bit included).
    Holds NeedsOf(int id, int code) const;

    // Runs, refuses, queues or postpones the event by its entry.
    Fired Fire(const Event& e);
    Fired Fire(int id, int code = 0, int a = 0, int b = 0) { return Fire(Event{id, code, a, b}); }

    // Every source and code of the table (for the tests that fire them).
    std::vector<std::pair<int, int>> Keys() const;

    OperationGuard& Guard() { return guard_; }
    // Whether the control of a queued event is still enabled when it comes
    // to run (unset: always).
    std::function<bool(int id)> enabled;
    // The status line's answer to a refused event: the operation that holds
    // what its handler needs.
    std::function<void(Operation holder)> onRefused;
    // One of this window's handlers runs (a close waits for it).
    bool Running() const { return depth_ > 0; }
    // The close is asked and waits for the window's handlers to end: the
    // window's own long work may end early.
    bool Closing() const { return closing_; }

private:
    struct Entry {
        Policy policy;
        Holds needs;
        Handler run;
        Handler whileBusy;
    };
    const Entry* Find(int id, int code) const;
    // Runs the handler as this window's, then what was queued meanwhile.
    void Run(const Entry& entry, const Event& e, bool asHandler);
    // The close that waited for the last handler, once that one ended.
    void CloseIfAsked();

    OperationGuard& guard_;
    Holds window_;
    std::map<std::pair<int, int>, Entry> entries_;
    int depth_ = 0;
    bool closing_ = false;
    std::function<void()> close_;
    // Cleared when the table goes away while one of its handlers runs.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vm
