// A clock for tests: time stands still until Sleep or Advance moves it, and
// actions scheduled for a tick run as time passes it (a slow program of the
// fake shell writes its files so). Sleep records each call.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "platform/clock/Clock.h"

namespace timing {

class FakeClock : public Clock {
public:
    using ActionId = std::uint64_t;

    explicit FakeClock(Ticks start = 0);

    Ticks GetTickCount64() override;
    // Advances the time by `milliseconds` and returns at once.
    void Sleep(Ticks milliseconds) override;

    // Moves the time forward, running the actions due on the way in tick
    // order, each with the time set to its own tick.
    void Advance(Ticks milliseconds);
    // Runs `action` once the time reaches `tick` (at the next Sleep or Advance
    // when it already has). Actions run outside the clock's lock, so they may
    // use the clock.
    ActionId At(Ticks tick, std::function<void()> action);
    void Cancel(ActionId id);

    std::vector<Ticks> Sleeps() const;  // every Sleep's argument, in order
    Ticks TotalSlept() const;

private:
    mutable std::mutex mutex_;
    Ticks now_;
    ActionId nextId_ = 1;
    // (tick, id) orders actions of one tick by scheduling order.
    std::map<std::pair<Ticks, ActionId>, std::function<void()>> actions_;
    std::vector<Ticks> sleeps_;
};

}  // namespace timing
