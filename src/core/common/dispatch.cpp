#include "common/dispatch.h"

#include <vector>

namespace vm {

void EventTable::On(int id, int code, Policy policy, Handler run, Handler whileBusy) {
    entries_[{id, code}] = Entry{policy, std::move(run), std::move(whileBusy)};
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

std::vector<std::pair<int, int>> EventTable::Keys() const {
    std::vector<std::pair<int, int>> keys;
    for (const auto& [key, entry] : entries_) keys.push_back(key);
    return keys;
}

Fired EventTable::Fire(const Event& e) {
    const Entry* entry = Find(e.id, e.code);
    if (!entry) return Fired::NoEntry;
    // The entry is copied: a handler may rebuild the table it came from.
    const Entry it = *entry;
    if (it.policy == Policy::Free) {
        it.run(e);
        return Fired::Ran;
    }
    if (guard_.Busy()) {
        switch (it.policy) {
            case Policy::Stop:
                guard_.AskStop([run = it.run, e] { run(e); });
                return Fired::Deferred;
            case Policy::Watch:
                if (it.whileBusy) it.whileBusy(e);
                return Fired::Ran;
            default:
                return Fired::Refused;
        }
    }
    {
        OperationScope scope(guard_, Operation::Handler);
        it.run(e);
    }
    guard_.Settle();
    return Fired::Ran;
}

}  // namespace vm
