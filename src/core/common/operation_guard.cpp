#include "common/operation_guard.h"

#include <algorithm>
#include <string>
#include <utility>

namespace vm {

Holds HoldsOf(Operation op) {
    using namespace hold;
    switch (op) {
        case Operation::Handler: return kNothing;
        // Nothing that arrives during the start-up starts other work.
        case Operation::Startup: return kTextures | kLink | kWeather | kIni | kWindows;
        case Operation::Install:
        case Operation::Restore:
        case Operation::Backup:
        case Operation::FirstBackup:
        case Operation::BackupAll:
        case Operation::Situation: return kTextures;
        // Reading the folders changes nothing: an install may run meanwhile.
        case Operation::StatusRead: return kNothing;
        case Operation::Refresh:
        case Operation::ManualRefresh: return kWeather;
        case Operation::Connect:
        case Operation::Exchange: return kLink;
        case Operation::Message: return kMainWindow;
        case Operation::Dialog: return kNothing;
    }
    return kNothing;
}

std::string RefusedText(Operation op) {
    switch (op) {
        case Operation::Install: return "Please wait: the installation is running.";
        case Operation::Restore: return "Please wait: the originals are being restored.";
        case Operation::Backup:
        case Operation::FirstBackup:
        case Operation::BackupAll: return "Please wait: the backup is running.";
        case Operation::Situation: return "Please wait: the situation's sets are being installed.";
        case Operation::Refresh:
        case Operation::ManualRefresh: return "Please wait: the clouds are being refreshed.";
        case Operation::Connect:
        case Operation::Exchange: return "Please wait: the simulator is being asked.";
        default: return "Please wait: another command is running.";
    }
}

void OperationGuard::DoEvents() {
    const OwnLoop loop(this);
    if (inner_) inner_->DoEvents();
}

void OperationGuard::EnterLoop() {
    ++pumpLevel_;
    deepestPump = std::max(deepestPump, pumpLevel_);
}

bool OperationGuard::OperationRunning() const {
    for (const Running& r : running_)
        if (r.op != Operation::Handler) return true;
    return false;
}

bool OperationGuard::Holding(Holds holds) const {
    for (const Running& r : running_)
        if (r.holds & holds) return true;
    return false;
}

std::optional<Operation> OperationGuard::Holder(Holds needs) const {
    // What runs at this pump level is the caller's own chain; what waits in a
    // pump below is what an event from here meets.
    for (const Running& r : running_)
        if (r.pumpLevel < pumpLevel_ && (r.holds & needs)) return r.op;
    return std::nullopt;
}

bool OperationGuard::InHandlerPump() const {
    return !running_.empty() && running_.back().op == Operation::Handler && running_.back().pumpLevel < pumpLevel_;
}

void OperationGuard::AskEnd(std::function<void()> then) {
    endAsked_ = true;
    if (then) deferred_.push_back(std::move(then));
}

void OperationGuard::Defer(std::function<void()> then) {
    if (then) deferred_.push_back(std::move(then));
}

void OperationGuard::EnterWindow(Holds window) {
    for (int b = 8; b < 16; ++b)
        if (window & (1u << b)) ++windowCount_[b];
}

void OperationGuard::LeaveWindow(Holds window) {
    for (int b = 8; b < 16; ++b)
        if ((window & (1u << b)) && windowCount_[b] > 0) --windowCount_[b];
}

Holds OperationGuard::ActiveWindows() const {
    Holds h = 0;
    for (int b = 8; b < 16; ++b)
        if (windowCount_[b] > 0) h |= 1u << b;
    return h;
}

void OperationGuard::Queue(const void* owner, std::function<void()> fire) {
    ++queued;
    queue_.push_back({owner, HandlerSerial(), std::move(fire)});
}

void OperationGuard::RunQueued(uint64_t serial) {
    // One at a time: what runs may queue more, or make a table go away.
    for (;;) {
        auto it = std::find_if(queue_.begin(), queue_.end(), [serial](const Queued& q) { return q.serial == serial; });
        if (it == queue_.end()) return;
        std::function<void()> fire = std::move(it->fire);
        queue_.erase(it);
        ++queueRan;
        fire();
    }
}

void OperationGuard::Forget(const void* owner) {
    queueForgot += static_cast<int>(queue_.remove_if([owner](const Queued& q) { return q.owner == owner; }));
}

void OperationGuard::Settle() {
    if (Busy() || settling_) return;
    settling_ = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{settling_};
    // Each request runs as a handler of its own: what it starts is an
    // operation like any other, and what arrives meanwhile is asked again.
    while (!deferred_.empty()) {
        std::vector<std::function<void()>> now;
        now.swap(deferred_);
        for (auto& action : now) {
            const uint64_t serial = nextSerial_;
            {
                OperationScope scope(*this, Operation::Handler);
                action();
            }
            RunQueued(serial);
        }
    }
    if (operationRan_) {
        operationRan_ = false;
        if (AfterOperation) AfterOperation();
    }
}

OperationScope::OperationScope(OperationGuard* guard, Operation op, Holds extra) : guard_(guard) {
    if (!guard_) {
        entered_ = true;
        return;
    }
    Holds holds = HoldsOf(op) | extra;
    // A message or a dialog keeps the windows whose handlers wait on it.
    if (op == Operation::Message || op == Operation::Dialog) holds |= guard_->ActiveWindows();
    else if (guard_->Holder(holds)) {
        ++guard_->refused;
        return;
    }
    guard_->running_.push_back({op, guard_->pumpLevel_, holds, guard_->nextSerial_++});
    if (op != Operation::Handler) guard_->operationRan_ = true;
    entered_ = true;
    if (op == Operation::Dialog) {
        modal_ = true;
        guard_->EnterLoop();
    }
}

OperationScope::~OperationScope() { Leave(); }

void OperationScope::Leave() {
    if (guard_ && modal_) guard_->LeaveLoop();
    if (guard_ && entered_) guard_->running_.pop_back();
    guard_ = nullptr;
}

void PumpingWait(Clock& clock, Pump& pump, unsigned ms, const std::function<bool()>& until) {
    constexpr unsigned kSliceMs = 10;
    const uint32_t start = clock.TickMs();
    for (;;) {
        pump.DoEvents();
        if (EndAsked(pump) || (until && until())) return;
        const uint32_t gone = clock.TickMs() - start;
        if (gone >= ms) return;
        clock.Sleep(std::min(kSliceMs, ms - gone));
    }
}

}  // namespace vm
