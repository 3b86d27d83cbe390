#include "common/operation_guard.h"

#include <algorithm>
#include <utility>

namespace vm {

void OperationGuard::DoEvents() {
    ++pumpLevel_;
    deepestPump = std::max(deepestPump, pumpLevel_);
    struct Leave {
        int& level;
        ~Leave() { --level; }
    } leave{pumpLevel_};
    if (inner_) inner_->DoEvents();
}

bool OperationGuard::OperationRunning() const {
    for (const Running& r : running_)
        if (r.op != Operation::Handler) return true;
    return false;
}

bool OperationGuard::MayEnter() const { return running_.empty() || running_.back().pumpLevel == pumpLevel_; }

void OperationGuard::AskStop(std::function<void()> then) {
    stopAsked_ = true;
    if (then) deferred_.push_back(std::move(then));
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
    while (!deferred_.empty() || stopAsked_) {
        stopAsked_ = false;
        std::vector<std::function<void()>> now;
        now.swap(deferred_);
        for (auto& action : now) {
            OperationScope scope(*this, Operation::Handler);
            action();
        }
    }
    if (operationRan_) {
        operationRan_ = false;
        if (AfterOperation) AfterOperation();
    }
}

OperationScope::OperationScope(OperationGuard* guard, Operation op) : guard_(guard) {
    if (!guard_) {
        entered_ = true;
        return;
    }
    if (!guard_->MayEnter()) {
        ++guard_->refused;
        return;
    }
    guard_->running_.push_back({op, guard_->pumpLevel_});
    if (op != Operation::Handler) guard_->operationRan_ = true;
    entered_ = true;
}

OperationScope::~OperationScope() { Leave(); }

void OperationScope::Leave() {
    if (guard_ && entered_) guard_->running_.pop_back();
    guard_ = nullptr;
}

void PumpingWait(Clock& clock, Pump& pump, unsigned ms) {
    constexpr unsigned kSliceMs = 10;
    auto* guard = dynamic_cast<OperationGuard*>(&pump);
    const uint32_t start = clock.TickMs();
    for (;;) {
        pump.DoEvents();
        if (guard && guard->StopAsked()) return;
        const uint32_t gone = clock.TickMs() - start;
        if (gone >= ms) return;
        clock.Sleep(std::min(kSliceMs, ms - gone));
    }
}

}  // namespace vm
