#include "platform/clock/Clock.h"

#include <chrono>
#include <thread>

namespace timing {

namespace {

std::int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SteadyClock::SteadyClock() : start_(steadyNanoseconds()) {}

Ticks SteadyClock::GetTickCount64() { return static_cast<Ticks>((steadyNanoseconds() - start_) / 1'000'000); }

void SteadyClock::Sleep(Ticks milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

Clock& DefaultClock() {
    static SteadyClock clock;
    return clock;
}

bool WaitFor(Clock& clock, const std::function<bool()>& done, Ticks timeoutMs, Ticks pollMs,
             const std::function<void()>& idle) {
    const Ticks t0 = clock.GetTickCount64();
    while (!done()) {
        if (clock.GetTickCount64() > t0 + timeoutMs) return false;
        idle();
        clock.Sleep(pollMs);
    }
    return true;
}

}  // namespace timing
