#include "platform/clock/FakeClock.h"

#include <numeric>

namespace timing {

FakeClock::FakeClock(Ticks start) : now_(start) {}

Ticks FakeClock::GetTickCount64() {
    std::lock_guard lock(mutex_);
    return now_;
}

void FakeClock::Sleep(Ticks milliseconds) {
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(milliseconds);
    }
    Advance(milliseconds);
}

void FakeClock::Advance(Ticks milliseconds) {
    std::unique_lock lock(mutex_);
    const Ticks target = now_ + milliseconds;
    for (;;) {
        auto next = actions_.begin();
        if (next == actions_.end() || next->first.first > target) break;
        if (next->first.first > now_) now_ = next->first.first;
        std::function<void()> action = std::move(next->second);
        actions_.erase(next);
        lock.unlock();
        action();
        lock.lock();
    }
    if (target > now_) now_ = target;
}

FakeClock::ActionId FakeClock::At(Ticks tick, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    const ActionId id = nextId_++;
    actions_.emplace(std::make_pair(tick, id), std::move(action));
    return id;
}

void FakeClock::Cancel(ActionId id) {
    std::lock_guard lock(mutex_);
    std::erase_if(actions_, [id](const auto& entry) { return entry.first.second == id; });
}

std::vector<Ticks> FakeClock::Sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

Ticks FakeClock::TotalSlept() const {
    std::lock_guard lock(mutex_);
    return std::accumulate(sleeps_.begin(), sleeps_.end(), Ticks{0});
}

}  // namespace timing
