// The asm.bat line of each option set, and the wait for the listing on the
// fake clock: its limits, its order of test and time, and that it never
// spins without letting the window paint.
#include "ide/AsmDriver.h"

#include "platform/clock/FakeClock.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace Vantrel {
namespace {

TEST(AsmBatLine, EachOptionSet) {
    EXPECT_EQ(std::string(DefaultAsmBatLine), "AS11M %1 -l");
    EXPECT_EQ(AsmBatLine(false, false), "AS11M %1 -l noc");
    EXPECT_EQ(AsmBatLine(false, true), "AS11M %1 -l c");
    EXPECT_EQ(AsmBatLine(true, false), "AS11M %1 -l s noc");
    EXPECT_EQ(AsmBatLine(true, true), "AS11M %1 -l s c");
}

TEST(AsmBatLine, WrittenWithoutALineEnd) {
    testsupport::TTempFolder folder;
    const std::string path = folder.File("asm.bat");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "an older and longer line\r\n"));
    ASSERT_TRUE(WriteAsmBat(path, "AS11M %1 -l s c"));
    EXPECT_EQ(testsupport::FileBytes(path), "AS11M %1 -l s c");
    EXPECT_FALSE(WriteAsmBat("/nonexistent-folder/asm.bat", "AS11M %1 -l"));
}

struct WaitCase {
    const char* Name;
    timing::Ticks AppearsAt;  // the listing exists from this tick on
    bool Appeared;
    timing::Ticks AtLeast;
    timing::Ticks AtMost;
};

TEST(WaitForListing, KeepsThePartsTimes) {
    const timing::Ticks Never = ~timing::Ticks{0};
    const WaitCase cases[] = {
        {"there at the first test", 0, true, 1000, 1010},
        {"after three seconds", 3000, true, 4000, 4010},
        {"just in time", 9000, true, 10000, 10010},
        {"never", Never, false, 10000, 10015},
    };
    for (const WaitCase& c : cases) {
        timing::FakeClock clock(500);
        int idles = 0;
        const bool appeared = WaitForListing(
            clock, [&] { return c.AppearsAt != Never && clock.GetTickCount64() >= 500 + c.AppearsAt; },
            [&] { ++idles; });
        const timing::Ticks took = clock.GetTickCount64() - 500;
        EXPECT_EQ(appeared, c.Appeared) << c.Name;
        EXPECT_GE(took, c.AtLeast) << c.Name;
        EXPECT_LE(took, c.AtMost) << c.Name;
        // The window painted between every pair of sleeps, and no sleep was long.
        EXPECT_EQ(static_cast<size_t>(idles), clock.Sleeps().size()) << c.Name;
        for (const timing::Ticks sleep : clock.Sleeps()) EXPECT_LE(sleep, 10u) << c.Name;
    }
}

TEST(WaitForListing, TheFileIsTestedBeforeTheTime) {
    // Time runs out in the same round as the file appears: the file wins.
    timing::FakeClock clock;
    int tests = 0;
    const bool appeared = WaitForListing(
        clock,
        [&] {
            ++tests;
            if (clock.GetTickCount64() > 9000) return true;
            return false;
        },
        [] {});
    EXPECT_TRUE(appeared);
    EXPECT_GT(tests, 1);
}

}  // namespace
}  // namespace Vantrel
