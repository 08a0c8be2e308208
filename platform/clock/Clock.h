// Time as the programs read it: milliseconds since some start and a sleep,
// the Windows GetTickCount64 and Sleep. Code that waits takes a Clock, so a
// test runs a nine-second wait on a FakeClock without sleeping.
#pragma once

#include <cstdint>
#include <functional>

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

// Runs idle and sleeps pollMs at a time until done() holds (true) or
// timeoutMs have passed (false); done() is asked first, so a condition that
// already holds costs no time.
bool WaitFor(Clock& clock, const std::function<bool()>& done, Ticks timeoutMs, Ticks pollMs,
             const std::function<void()>& idle);

}  // namespace timing
