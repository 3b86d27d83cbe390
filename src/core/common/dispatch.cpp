#include "common/dispatch.h"

#include <memory>
#include <vector>

namespace vm {

EventTable::~EventTable() {
    *alive_ = false;
    guard_.Forget(this);
}

void EventTable::On(int id, int code, Policy policy, Holds needs, Handler run, Handler whileBusy) {
    entries_[{id, code}] = Entry{policy, needs, std::move(run), std::move(whileBusy)};
}

const EventTable::Entry* EventTable::Find(int id, int code) const {
    auto it = entries_.find({id, code});
    if (it == entries_.end()) it = entries_.find({id, kAnyCode});
    return it == entries_.end() ? nullptr : &it->second;
}

bool EventTable::Has(int id, int code) const { return Find(id, code) != nullptr; }

Policy EventTable::PolicyOf(int id, int code) const {
    const Entry* e = Find(id, code);
    return e ? e->policy : Policy::Free;
}

Holds EventTable::NeedsOf(int id, int code) const {
    const Entry* e = Find(id, code);
    if (!e) return hold::kNothing;
    return e->needs | (e->policy == Policy::Start ? window_ : hold::kNothing);
}

std::vector<std::pair<int, int>> EventTable::Keys() const {
    std::vector<std::pair<int, int>> keys;
    for (const auto& [key, entry] : entries_) keys.push_back(key);
    return keys;
}

void EventTable::Run(const Entry& entry, const Event& e, bool asHandler) {
    const std::shared_ptr<bool> alive = alive_;
    OperationGuard& guard = guard_;
    const Holds window = window_;
    uint64_t serial = 0;
    ++depth_;
    guard.EnterWindow(window);
    {
        std::optional<OperationScope> scope;
        if (asHandler) {
            scope.emplace(guard, Operation::Handler);
            serial = guard.HandlerSerial();
        }
        entry.run(e);
    }
    guard.LeaveWindow(window);
    if (!*alive) return;  // the handler closed its own window
    --depth_;
    if (serial) guard.RunQueued(serial);
    if (!*alive) return;
    CloseIfAsked();
}

void EventTable::CloseIfAsked() {
    if (depth_ > 0 || !close_) return;
    std::function<void()> close = std::move(close_);
    close_ = nullptr;
    closing_ = false;
    close();  // may destroy this table: nothing after it
}

Fired EventTable::Fire(const Event& e) {
    const Entry* found = Find(e.id, e.code);
    if (!found) return Fired::NoEntry;
    // The entry is copied: a handler may rebuild the table it came from.
    const Entry it = *found;
    switch (it.policy) {
        case Policy::Free:
        case Policy::Stop:
            Run(it, e, false);
            return Fired::Ran;
        case Policy::Close:
            if (depth_ > 0) {
                // Once none of this window's handlers runs; nothing else stops.
                closing_ = true;
                close_ = [run = it.run, e] { run(e); };
                return Fired::Deferred;
            }
            it.run(e);  // may destroy this table
            return Fired::Ran;
        case Policy::End:
            if (!guard_.Busy()) {
                it.run(e);
                guard_.Settle();
                return Fired::Ran;
            }
            // What is carried out once everything has stopped: the entry's
            // busy handler when it has one, else the handler itself.
            guard_.AskEnd([run = it.whileBusy ? it.whileBusy : it.run, e] { run(e); });
            return Fired::Deferred;
        case Policy::Start:
        case Policy::Tick:
            break;
    }
    const Holds needs = it.needs | (it.policy == Policy::Start ? window_ : hold::kNothing);
    const std::optional<Operation> holder = guard_.Holder(needs);
    if (it.policy == Policy::Tick && (holder || guard_.InHandlerPump())) {
        if (it.whileBusy) Run(Entry{it.policy, needs, it.whileBusy, {}}, e, false);
        return Fired::Postponed;
    }
    if (holder) {
        if (onRefused) onRefused(*holder);
        return Fired::Refused;
    }
    if (guard_.InHandlerPump()) {
        // Runs when the handler that lets messages run now has ended, if
        // its control is still enabled then.
        guard_.Queue(this, [this, e] {
            if (!enabled || enabled(e.id)) Fire(e);
        });
        return Fired::Queued;
    }
    Run(it, e, true);
    guard_.Settle();
    return Fired::Ran;
}

}  // namespace vm
