#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/clock/FakeClock.h"

using namespace timing;

TEST(SteadyClock, StartsNearZeroAndSleepMovesItOn) {
    SteadyClock clock;
    const Ticks start = clock.GetTickCount64();
    EXPECT_LT(start, 1000u);
    clock.Sleep(20);
    EXPECT_GE(clock.GetTickCount64(), start + 20);
}

// Each reading is bracketed by two readings of the machine's steady clock, so
// the ticks between two readings are the milliseconds between the brackets,
// however loaded the machine is. Sleep is checked against a generous ratio.
TEST(SteadyClock, ItsTicksAndSleepAreMilliseconds) {
    using std::chrono::steady_clock;
    const auto milliseconds = [](steady_clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    SteadyClock clock;
    const steady_clock::time_point before0 = steady_clock::now();
    const Ticks ticks0 = clock.GetTickCount64();
    const steady_clock::time_point after0 = steady_clock::now();
    clock.Sleep(60);
    const steady_clock::time_point before1 = steady_clock::now();
    const Ticks ticks1 = clock.GetTickCount64();
    const steady_clock::time_point after1 = steady_clock::now();

    const double ticks = static_cast<double>(ticks1 - ticks0);
    EXPECT_GE(milliseconds(before1 - after0), 60.0) << "Sleep(60) slept less than 60 ms";
    // A reading drops the part of a millisecond it has not reached.
    EXPECT_GE(ticks, milliseconds(before1 - after0) - 1.0);
    EXPECT_LE(ticks, milliseconds(after1 - before0) + 1.0);
    EXPECT_LT(milliseconds(before1 - after0), 60.0 * 100) << "Sleep(60) slept far more than 60 ms";
}

TEST(FakeClock, SleepAdvancesAtOnceAndIsRecorded) {
    FakeClock clock(500);
    EXPECT_EQ(clock.GetTickCount64(), 500u);
    clock.Sleep(10);
    clock.Sleep(0);
    clock.Advance(5);
    EXPECT_EQ(clock.GetTickCount64(), 515u);
    EXPECT_EQ(clock.Sleeps(), (std::vector<Ticks>{10, 0}));
    EXPECT_EQ(clock.TotalSlept(), 10u);
}

TEST(FakeClock, ActionsRunInTickOrderWithTheTimeAtTheirTick) {
    FakeClock clock;
    std::vector<std::string> seen;
    auto note = [&](const char* what) {
        return [&, what] { seen.push_back(std::string(what) + "@" + std::to_string(clock.GetTickCount64())); };
    };
    clock.At(300, note("c"));
    clock.At(100, note("a"));
    clock.At(100, note("b"));  // same tick: in the order scheduled
    const auto cancelled = clock.At(200, note("x"));
    clock.Cancel(cancelled);
    clock.At(1000, note("late"));

    clock.Sleep(99);
    EXPECT_TRUE(seen.empty());
    clock.Sleep(250);
    EXPECT_EQ(seen, (std::vector<std::string>{"a@100", "b@100", "c@300"}));
    EXPECT_EQ(clock.GetTickCount64(), 349u);
}

TEST(FakeClock, AnActionMayScheduleAnotherWithinTheSameAdvance) {
    FakeClock clock;
    std::vector<Ticks> ticks;
    clock.At(10, [&] {
        ticks.push_back(clock.GetTickCount64());
        clock.At(clock.GetTickCount64() + 5, [&] { ticks.push_back(clock.GetTickCount64()); });
    });
    clock.Advance(100);
    EXPECT_EQ(ticks, (std::vector<Ticks>{10, 15}));
    // An action for a tick already passed runs at the next advance.
    clock.At(50, [&] { ticks.push_back(clock.GetTickCount64()); });
    clock.Advance(0);
    EXPECT_EQ(ticks, (std::vector<Ticks>{10, 15, 100}));
}

// The wait for a listing as the editor writes it: poll, sleep a little,
// give up after 9000 ms. It must end on time and must not sleep for real.
TEST(FakeClock, ANineSecondWaitRunsWithoutSleeping) {
    FakeClock clock;
    bool listing = false;
    clock.At(4321, [&] { listing = true; });
    auto waitForListing = [&] {
        const Ticks t0 = clock.GetTickCount64();
        while (!listing && clock.GetTickCount64() <= t0 + 9000) clock.Sleep(5);
        return clock.GetTickCount64() - t0;
    };
    EXPECT_EQ(waitForListing(), 4325u);
    listing = false;
    EXPECT_EQ(waitForListing(), 9005u);
}
