#include "platform/comm/EventTable.h"

namespace comm {

void EventTable::Create(HANDLE id, bool manualReset, bool initialState) {
    std::lock_guard lock(mutex_);
    events_[id] = Event{manualReset, initialState};
}

bool EventTable::Close(HANDLE id) {
    {
        std::lock_guard lock(mutex_);
        if (events_.erase(id) == 0) return false;
    }
    // A waiter on a closed event must notice and fail rather than sleep for ever.
    changed_.notify_all();
    return true;
}

bool EventTable::Contains(HANDLE id) const {
    std::lock_guard lock(mutex_);
    return events_.count(id) != 0;
}

bool EventTable::Set(HANDLE id) {
    {
        std::lock_guard lock(mutex_);
        auto it = events_.find(id);
        if (it == events_.end()) return false;
        it->second.Signalled = true;
    }
    changed_.notify_all();
    return true;
}

bool EventTable::Reset(HANDLE id) {
    std::lock_guard lock(mutex_);
    auto it = events_.find(id);
    if (it == events_.end()) return false;
    it->second.Signalled = false;
    return true;
}

bool EventTable::IsSet(HANDLE id) const {
    std::lock_guard lock(mutex_);
    auto it = events_.find(id);
    return it != events_.end() && it->second.Signalled;
}

bool EventTable::readyLocked(DWORD count, const HANDLE* ids, bool waitAll, DWORD* index) const {
    if (waitAll) {
        for (DWORD i = 0; i < count; ++i)
            if (!events_.at(ids[i]).Signalled) return false;
        *index = 0;
        return true;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (events_.at(ids[i]).Signalled) {
            *index = i;
            return true;
        }
    }
    return false;
}

DWORD EventTable::Wait(DWORD count, const HANDLE* ids, bool waitAll, DWORD milliseconds, DWORD* error) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || ids == nullptr) {
        *error = ERROR_INVALID_PARAMETER;
        return WAIT_FAILED;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(mutex_);
    for (;;) {
        for (DWORD i = 0; i < count; ++i) {
            if (events_.count(ids[i]) == 0) {
                *error = ERROR_INVALID_HANDLE;
                return WAIT_FAILED;
            }
        }
        DWORD index = 0;
        if (readyLocked(count, ids, waitAll, &index)) {
            // Auto-reset events are consumed by the waiter that sees them.
            if (waitAll) {
                for (DWORD i = 0; i < count; ++i)
                    if (!events_.at(ids[i]).ManualReset) events_.at(ids[i]).Signalled = false;
            } else if (!events_.at(ids[index]).ManualReset) {
                events_.at(ids[index]).Signalled = false;
            }
            return WAIT_OBJECT_0 + index;
        }
        if (milliseconds == 0) return WAIT_TIMEOUT;
        if (milliseconds == INFINITE) {
            changed_.wait(lock);
        } else if (std::chrono::steady_clock::now() >= deadline) {
            return WAIT_TIMEOUT;
        } else {
            changed_.wait_until(lock, deadline);
        }
    }
}

}  // namespace comm
