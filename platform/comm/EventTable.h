// Win32-style events for the comm implementations: manual- or auto-reset,
// waited on singly or in groups. One mutex and condition variable serve the
// whole table; comm code waits on a handful of events, so a broadcast on every
// SetEvent costs nothing that matters.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

#include "platform/comm/CommApi.h"

namespace comm {

class EventTable {
public:
    // The caller hands out the ids, so events and devices share one never-reused
    // number space.
    void Create(HANDLE id, bool manualReset, bool initialState);
    bool Close(HANDLE id);
    bool Contains(HANDLE id) const;
    bool Set(HANDLE id);
    bool Reset(HANDLE id);
    bool IsSet(HANDLE id) const;
    // WAIT_OBJECT_0 + index, WAIT_TIMEOUT, or WAIT_FAILED with *error set
    // (ERROR_INVALID_HANDLE for an id that is not a live event).
    DWORD Wait(DWORD count, const HANDLE* ids, bool waitAll, DWORD milliseconds, DWORD* error);

private:
    struct Event {
        bool ManualReset = true;
        bool Signalled = false;
    };
    bool readyLocked(DWORD count, const HANDLE* ids, bool waitAll, DWORD* index) const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::unordered_map<HANDLE, Event> events_;
};

}  // namespace comm
