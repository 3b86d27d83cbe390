// The one answer to "may this run now?". Long operations (copy loops, the
// cloud refresh and its wait, the connect, an exchange with the simulator,
// the message window's wait) let window messages run inside them, so any
// click, menu command or timer can arrive half way through one. Every such
// operation runs inside an OperationScope; every event reaches its handler
// through an EventTable (dispatch.h), which asks the guard first.
//
// The guard is also the program's pump: operations let messages run through
// it, so it knows whether an event arrives from inside an operation's pump
// (and must not start work) or from the operation's own code.
#pragma once

#include <functional>
#include <vector>

#include "common/ports.h"

namespace vm {

enum class Operation {
    Handler,        // an event handler that may pump
    Startup,        // the start-up sequence
    Install,        // a set's backup and copy loop
    Restore,        // originals back
    StatusRead,     // the texture status reads the texture and backup folders
    Backup,         // backup of the checked files
    FirstBackup,    // the backup made when the backup folder is new
    BackupAll,      // re-backup of every set file
    Refresh,        // the cloud refresh after an installation
    ManualRefresh,  // save, clear, wait, restore
    Situation,      // the sets of a situation
    Connect,        // opening the link to the simulator
    Exchange,       // one request block to the simulator and its answer
    Message,        // the message window waits for an answer
};

class OperationGuard : public Pump {
public:
    // `inner` lets the pending messages run; null: nothing to pump.
    explicit OperationGuard(Pump* inner = nullptr) : inner_(inner) {}
    void SetInner(Pump* inner) { inner_ = inner; }

    // Lets pending messages run; what arrives meanwhile comes from inside
    // the running operation.
    void DoEvents() override;

    // Some operation (or handler) runs.
    bool Busy() const { return !running_.empty(); }
    // Some operation other than a plain handler runs.
    bool OperationRunning() const;
    // The innermost operation; Handler when nothing runs.
    Operation Current() const { return running_.empty() ? Operation::Handler : running_.back().op; }
    // An operation may begin here: nothing runs, or this is the running
    // operation's own code rather than an event from inside its pump.
    bool MayEnter() const;

    // A stop or end request that arrived while an operation ran: the
    // operation stops at its next safe point and `then` runs once nothing
    // runs any more.
    void AskStop(std::function<void()> then);
    // Runs `then` once nothing runs any more, without stopping anything.
    void Defer(std::function<void()> then);
    // An operation should stop at its next safe point.
    bool StopAsked() const { return stopAsked_; }

    // Called once nothing runs: carries out the recorded requests, then
    // recomputes the windows' states when an operation (not only a handler)
    // ran since the last call.
    void Settle();
    // Recomputes the windows' states after an operation.
    std::function<void()> AfterOperation;

    // Counters for the tests: operations that were asked to begin from
    // inside another's pump (and so did not), and the deepest nesting of
    // pumps seen.
    int refused = 0;
    int deepestPump = 0;

private:
    friend class OperationScope;
    struct Running {
        Operation op;
        int pumpLevel;
    };
    Pump* inner_;
    std::vector<Running> running_;
    std::vector<std::function<void()>> deferred_;
    int pumpLevel_ = 0;
    bool stopAsked_ = false;
    bool operationRan_ = false;
    bool settling_ = false;
};

// Runs an operation: entered only when the guard allows it (test with
// `if (!scope)`); leaves it on destruction.
class OperationScope {
public:
    OperationScope(OperationGuard* guard, Operation op);
    OperationScope(OperationGuard& guard, Operation op) : OperationScope(&guard, op) {}
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
    explicit operator bool() const { return entered_; }
    // Leaves the operation before the scope's end.
    void Leave();

private:
    OperationGuard* guard_;
    bool entered_ = false;
};

// Waits `ms` milliseconds letting messages run every few milliseconds (never
// one long sleep on the window thread); ends early when a stop is asked.
void PumpingWait(Clock& clock, Pump& pump, unsigned ms);

// The guard behind an Env's pump, or null when the pump is a plain one.
inline OperationGuard* GuardOf(const Env& env) { return dynamic_cast<OperationGuard*>(env.pump); }

}  // namespace vm
