#include "platform/comm/EventTable.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/TestSupport.h"

using namespace comm;

namespace {

// The thread is asleep (in a wait of ours, the only place it can sleep).
bool ThreadSleeps(pid_t tid) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t end = line.rfind(')');
    return end != std::string::npos && end + 2 < line.size() && line[end + 2] == 'S';
}

}  // namespace

TEST(EventTable, ManualEventsStaySetAndAutoEventsAreConsumed) {
    EventTable table;
    table.Create(1, true, true);
    table.Create(2, false, true);
    DWORD error = 0;
    const HANDLE manual = 1, automatic = 2;
    EXPECT_EQ(table.Wait(1, &manual, false, 0, &error), WAIT_OBJECT_0);
    EXPECT_EQ(table.Wait(1, &manual, false, 0, &error), WAIT_OBJECT_0) << "manual stays set";
    EXPECT_EQ(table.Wait(1, &automatic, false, 0, &error), WAIT_OBJECT_0);
    EXPECT_EQ(table.Wait(1, &automatic, false, 0, &error), WAIT_TIMEOUT) << "auto was consumed";
    EXPECT_TRUE(table.IsSet(manual));
    EXPECT_FALSE(table.IsSet(automatic));

    const HANDLE both[] = {automatic, manual};
    EXPECT_EQ(table.Wait(2, both, false, 0, &error), WAIT_OBJECT_0 + 1) << "the set one";
    EXPECT_EQ(table.Wait(2, both, true, 0, &error), WAIT_TIMEOUT) << "all: one is clear";
    table.Set(automatic);
    EXPECT_EQ(table.Wait(2, both, false, 0, &error), WAIT_OBJECT_0) << "the lowest set index";
    table.Set(automatic);
    EXPECT_EQ(table.Wait(2, both, true, 0, &error), WAIT_OBJECT_0);
    EXPECT_FALSE(table.IsSet(automatic));
    EXPECT_TRUE(table.IsSet(manual));
    table.Reset(manual);
    EXPECT_EQ(table.Wait(1, &manual, false, 20, &error), WAIT_TIMEOUT);
}

TEST(EventTable, BadWaitsFailAndAClosedEventWakesItsWaiter) {
    EventTable table;
    table.Create(7, true, false);
    const HANDLE id = 7, unknown = 8;
    DWORD error = 0;
    EXPECT_EQ(table.Wait(0, &id, false, 0, &error), WAIT_FAILED);
    EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(table.Wait(MAXIMUM_WAIT_OBJECTS + 1, &id, false, 0, &error), WAIT_FAILED);
    EXPECT_EQ(table.Wait(1, nullptr, false, 0, &error), WAIT_FAILED);
    EXPECT_EQ(table.Wait(1, &unknown, false, 0, &error), WAIT_FAILED);
    EXPECT_EQ(error, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(table.Set(unknown));
    DWORD result = 0;
    std::atomic<pid_t> waiterTid{0};
    std::thread waiter([&] {
        waiterTid = ::gettid();
        result = table.Wait(1, &id, false, INFINITE, &error);
    });
    // Closed once the waiter sleeps in its Wait, so that the close is what wakes it.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return waiterTid != 0 && ThreadSleeps(waiterTid); }));
    EXPECT_TRUE(table.Close(id));
    waiter.join();
    EXPECT_EQ(result, WAIT_FAILED);
    EXPECT_FALSE(table.Close(id));
}
