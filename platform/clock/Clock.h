// Time as the programs read it: milliseconds since some start and a sleep,
// the Windows GetTickCount64 and Sleep. Code that waits takes a Clock, so a
// test runs a nine-second wait on a FakeClock without sleeping.
#pragma once

#include <cstdint>

namespace timing {

using Ticks = std::uint64_t;  // milliseconds; never wraps

class Clock {
public:
    virtual ~Clock() = default;
    virtual Ticks GetTickCount64() = 0;
    virtual void Sleep(Ticks milliseconds) = 0;
};

// The steady clock of the machine; ticks count from the clock's creation.
class SteadyClock : public Clock {
public:
    SteadyClock();
    Ticks GetTickCount64() override;
    void Sleep(Ticks milliseconds) override;

private:
    std::int64_t start_;  // steady_clock nanoseconds at creation
};

// The process-wide real clock.
Clock& DefaultClock();

}  // namespace timing
