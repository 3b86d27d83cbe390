// The one answer to "may this run now?". Long operations (copy loops, the
// cloud refresh and its wait, the connect, an exchange with the simulator,
// the message window's wait, a file dialog) let window messages run inside
// them, so any click, menu command or timer can arrive half way through one.
// Every such operation runs inside an OperationScope and says what it holds;
// every event reaches its handler through an EventTable (dispatch.h), which
// asks the guard whether a running operation holds something the handler
// needs.
//
// The guard is also the program's pump: operations let messages run through
// it, so it knows whether an event arrives from inside an operation's pump
// or from a handler's own code.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <vector>

#include "common/ports.h"

namespace vm {

// What an operation holds and what a handler needs. A handler is refused
// only when a running operation holds something it needs.
using Holds = uint32_t;
namespace hold {
constexpr Holds kNothing = 0;
constexpr Holds kTextures = 1u << 0;  // the chosen simulator: its texture and backup folders, its catalogue
constexpr Holds kLink = 1u << 1;      // the link to the simulator: a connect, one exchange
constexpr Holds kWeather = 1u << 2;   // the simulator's weather and cloud layers
constexpr Holds kIni = 1u << 3;       // cloud.ini's writers
// A window's own modal state: held while a message or dialog of one of its
// handlers waits (the message window disables the main window too).
constexpr Holds kMainWindow = 1u << 8;
constexpr Holds kSoundWindow = 1u << 9;
constexpr Holds kWeatherWindow = 1u << 10;
constexpr Holds kSetDialog = 1u << 11;
constexpr Holds kStatusWindow = 1u << 12;
constexpr Holds kListEditor = 1u << 13;
constexpr Holds kWindows = 0xff00u;
}  // namespace hold

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
    Dialog,         // a window's file dialog waits
};

// What an operation holds by itself (a message or dialog also holds the
// windows whose handlers wait on it).
Holds HoldsOf(Operation op);
// The status line's text for an event refused because `op` holds what its
// handler needs.
std::string RefusedText(Operation op);

class OperationGuard : public Pump {
public:
    // `inner` lets the pending messages run; null: nothing to pump.
    explicit OperationGuard(Pump* inner = nullptr) : inner_(inner) {}
    void SetInner(Pump* inner) { inner_ = inner; }

    // Lets pending messages run; what arrives meanwhile comes from inside
    // whatever runs now.
    void DoEvents() override;

    // A platform loop that lets messages run begins and ends (OwnLoop).
    void EnterLoop();
    void LeaveLoop() { --pumpLevel_; }

    // Some operation (or handler) runs.
    bool Busy() const { return !running_.empty(); }
    // Some operation other than a plain handler runs.
    bool OperationRunning() const;
    // Some running operation holds one of `holds`.
    bool Holding(Holds holds) const;
    // The innermost operation; Handler when nothing runs.
    Operation Current() const { return running_.empty() ? Operation::Handler : running_.back().op; }
    // The operation suspended in a pump below this point that holds one of
    // `needs`: what an event (or an operation begun by it) conflicts with.
    std::optional<Operation> Holder(Holds needs) const;
    // A plain handler lets messages run here: a start event is queued to
    // run when that handler ends.
    bool InHandlerPump() const;

    // The program's end: copy loops stop between two files, waits end, and
    // `then` runs once nothing runs any more. Asked once; stays asked.
    void AskEnd(std::function<void()> then);
    bool EndAsked() const { return endAsked_; }
    // Runs `then` once nothing runs any more, without stopping anything.
    void Defer(std::function<void()> then);

    // A window's handler runs (its modal bit is held by a message or dialog
    // begun meanwhile).
    void EnterWindow(Holds window);
    void LeaveWindow(Holds window);
    Holds ActiveWindows() const;

    // Events that arrived while a plain handler let messages run: each runs
    // once that handler has ended. `owner` is the table they came from.
    void Queue(const void* owner, std::function<void()> fire);
    // The serial of the innermost handler (for RunQueued).
    uint64_t HandlerSerial() const { return running_.empty() ? 0 : running_.back().serial; }
    // Runs what was queued during handler `serial` (which has ended).
    void RunQueued(uint64_t serial);
    // A table goes away: what it queued is forgotten.
    void Forget(const void* owner);

    // Called once nothing runs: carries out the deferred requests, then
    // recomputes the windows' states when an operation (not only a handler)
    // ran since the last call.
    void Settle();
    // Recomputes the windows' states after an operation.
    std::function<void()> AfterOperation;

    // Counters for the tests: operations refused because what they hold was
    // held below them, events queued and run, and the deepest nesting of
    // pumps seen.
    int refused = 0;
    int queued = 0;      // events queued behind a handler
    int queueRan = 0;    // queued events that came to run (or found their control off)
    int queueForgot = 0; // queued events whose window went away first
    int deepestPump = 0;
    bool QueueEmpty() const { return queue_.empty(); }

private:
    friend class OperationScope;
    struct Running {
        Operation op;
        int pumpLevel;
        Holds holds;
        uint64_t serial;
    };
    struct Queued {
        const void* owner;
        uint64_t serial;
        std::function<void()> fire;
    };
    Pump* inner_;
    std::vector<Running> running_;
    std::vector<std::function<void()>> deferred_;
    std::list<Queued> queue_;
    int windowCount_[16] = {};
    uint64_t nextSerial_ = 1;
    int pumpLevel_ = 0;
    bool endAsked_ = false;
    bool operationRan_ = false;
    bool settling_ = false;
};

// Runs an operation: entered only when nothing suspended below it holds what
// it holds (test with `if (!scope)`); leaves it on destruction. A message or
// dialog always enters; `extra` adds holds (a dialog's window). A dialog's
// own modal loop lets messages run for as long as it is open: what arrives
// meanwhile comes from inside it, as from a pump.
class OperationScope {
public:
    OperationScope(OperationGuard* guard, Operation op, Holds extra = hold::kNothing);
    OperationScope(OperationGuard& guard, Operation op, Holds extra = hold::kNothing)
        : OperationScope(&guard, op, extra) {}
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
    explicit operator bool() const { return entered_; }
    // Leaves the operation before the scope's end.
    void Leave();

private:
    OperationGuard* guard_;
    bool entered_ = false;
    bool modal_ = false;  // a dialog: its own modal loop lets messages run
};

// A loop of the platform's own that lets messages run (a pop-up menu, a
// file dialog, the shell's copy with its progress window): what arrives
// while it runs comes from inside it, as from the guard's own pump.
class OwnLoop {
public:
    explicit OwnLoop(Pump* pump) : guard_(dynamic_cast<OperationGuard*>(pump)) {
        if (guard_) guard_->EnterLoop();
    }
    ~OwnLoop() {
        if (guard_) guard_->LeaveLoop();
    }
    OwnLoop(const OwnLoop&) = delete;
    OwnLoop& operator=(const OwnLoop&) = delete;

private:
    OperationGuard* guard_;
};

// Waits `ms` milliseconds letting messages run every few milliseconds (never
// one long sleep on the window thread); ends early when the program's end
// is asked or `until` says so.
void PumpingWait(Clock& clock, Pump& pump, unsigned ms, const std::function<bool()>& until = {});

// The guard behind a pump, or null when the pump is a plain one.
inline OperationGuard* GuardOfPump(Pump* pump) { return dynamic_cast<OperationGuard*>(pump); }
inline OperationGuard* GuardOfPump(Pump& pump) { return dynamic_cast<OperationGuard*>(&pump); }
inline const OperationGuard* GuardOfPump(const Pump& pump) { return dynamic_cast<const OperationGuard*>(&pump); }
inline OperationGuard* GuardOf(const Env& env) { return GuardOfPump(env.pump); }
// The program's end is asked (a copy loop stops between two files).
inline bool EndAsked(const Env& env) {
    const OperationGuard* g = GuardOf(env);
    return g && g->EndAsked();
}
inline bool EndAsked(const Pump& pump) {
    const OperationGuard* g = GuardOfPump(pump);
    return g && g->EndAsked();
}

}  // namespace vm
