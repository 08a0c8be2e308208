#include "platform/comm/FakeCommApi.h"

#include <gtest/gtest.h>

#include <thread>

using namespace comm;

namespace {

HANDLE openPort(FakeCommApi& api, const char* name) {
    return api.CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, 0);
}

struct Overlapped {
    explicit Overlapped(CommApi& api) : api(api) { ov.hEvent = api.CreateEventA(nullptr, TRUE, TRUE, nullptr); }
    ~Overlapped() { api.CloseHandle(ov.hEvent); }
    CommApi& api;
    OVERLAPPED ov{};
};

}  // namespace

TEST(FakeCommApi, OpenFailsForMissingAndBusyPorts) {
    FakeCommApi api;
    api.AddPort("COM2");
    EXPECT_EQ(openPort(api, "\\\\.\\COM3"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_FILE_NOT_FOUND);
    const HANDLE h = openPort(api, "\\\\.\\COM2");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(openPort(api, "\\\\.\\COM2"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(api.CloseHandle(h));
    const HANDLE again = openPort(api, "\\\\.\\COM2");
    EXPECT_NE(again, h) << "handle ids are never reused";
    DWORD status = 0;
    EXPECT_FALSE(api.GetCommModemStatus(h, &status));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(FakeCommApi, RecordsCallsAndFailsOnRequest) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    DCB dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 1200;
    dcb.Flags = DCB::fBinary | DCB::fOutX;
    api.FailCall("SetCommState", ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(api.SetCommState(h, &dcb));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(api.SetCommState(h, &dcb)) << "a failure asked once fails once";
    ASSERT_TRUE(api.LastCall("SetCommState"));
    EXPECT_EQ(api.LastCall("SetCommState")->Dcb.Flags, 0x0101u);
    EXPECT_EQ(api.CallNames({"CreateFileA", "SetCommState"}),
              (std::vector<std::string>{"CreateFileA", "SetCommState", "SetCommState"}));
}

TEST(FakeCommApi, WriteAndReadCompleteThroughTheOverlappedRecord) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    Overlapped w(api);
    DWORD n = 99;
    api.SetWriteLimit("COM1", 2);
    api.SetReportPending("COM1", true);
    EXPECT_FALSE(api.WriteFile(h, "abc", 3, &n, &w.ov));
    EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING);
    EXPECT_EQ(api.WaitForSingleObject(w.ov.hEvent, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(api.GetOverlappedResult(h, &w.ov, &n, FALSE));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(api.Written("COM1"), "ab");

    api.SetReportPending("COM1", false);
    api.QueueReadData("COM1", "xy");
    char buffer[8] = {};
    Overlapped r(api);
    EXPECT_TRUE(api.ReadFile(h, buffer, sizeof buffer, &n, &r.ov));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(std::string(buffer, 2), "xy");
}

TEST(FakeCommApi, HeldIoIsAbortedByPurgeAndLeftIncompleteUntilThen) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.HoldIo("COM1", true);
    Overlapped w(api);
    DWORD n = 0;
    EXPECT_FALSE(api.WriteFile(h, "a", 1, &n, &w.ov));
    EXPECT_FALSE(api.GetOverlappedResult(h, &w.ov, &n, FALSE));
    EXPECT_EQ(api.GetLastError(), ERROR_IO_INCOMPLETE);
    EXPECT_EQ(api.WaitForSingleObject(w.ov.hEvent, 0), WAIT_TIMEOUT) << "the call reset the event";
    EXPECT_TRUE(api.PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT));
    EXPECT_FALSE(api.GetOverlappedResult(h, &w.ov, &n, FALSE));
    EXPECT_EQ(api.GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_EQ(api.Written("COM1"), "");
}

TEST(FakeCommApi, EventsRaisedWithoutAWaitAreKeptForTheNext) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.SetCommMask(h, EV_TXEMPTY | EV_DSR);
    api.RaiseEvents("COM1", EV_TXEMPTY | EV_RXCHAR);
    Overlapped o(api);
    DWORD mask = 0;
    EXPECT_TRUE(api.WaitCommEvent(h, &mask, &o.ov));
    EXPECT_EQ(mask, EV_TXEMPTY) << "unarmed events are not reported";
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &o.ov));
    EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING);
    DWORD second = 0;
    Overlapped o2(api);
    EXPECT_FALSE(api.WaitCommEvent(h, &second, &o2.ov));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER) << "one wait at a time";
    api.SetCommMask(h, 0);
    DWORD n = 0;
    EXPECT_TRUE(api.GetOverlappedResult(h, &o.ov, &n, TRUE));
    EXPECT_EQ(mask, 0u) << "a new mask ends the pending wait with nothing";
}

TEST(FakeCommApi, ARaisedEventWakesAThreadBlockedInTheWait) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.SetCommMask(h, EV_DSR);
    const HANDLE stop = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD seen = 0;
    std::thread thread([&] {
        Overlapped o(api);
        DWORD mask = 0;
        api.WaitCommEvent(h, &mask, &o.ov);
        const HANDLE objects[2] = {stop, o.ov.hEvent};
        if (api.WaitForMultipleObjects(2, objects, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) seen = mask;
    });
    while (!api.WaitPending("COM1")) std::this_thread::yield();
    api.SetDsrFollowsDtr("COM1", true);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));
    thread.join();
    EXPECT_EQ(seen, EV_DSR);
    DWORD status = 0;
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status, MS_DSR_ON | MS_RLSD_ON);
}

TEST(FakeCommApi, EnumPortsUsesTheTwoCallSizeProtocol) {
    FakeCommApi api;
    DWORD needed = 0, count = 0;
    EXPECT_TRUE(api.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count)) << "no ports: success";
    EXPECT_EQ(count, 0u);
    api.SetPortList({"COM1:", "LPT1:", "COM10:"});
    EXPECT_FALSE(api.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(api.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(api.EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count));
    ASSERT_EQ(count, 3u);
    auto* info = reinterpret_cast<PORT_INFO_1*>(buffer.data());
    EXPECT_STREQ(info[0].pName, "COM1:");
    EXPECT_STREQ(info[2].pName, "COM10:");
    EXPECT_FALSE(api.EnumPortsA(nullptr, 2, buffer.data(), needed, &needed, &count));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_LEVEL);
}

TEST(FakeCommApi, AnUnpluggedPortFailsButCanBeClosed) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.HoldIo("COM1", true);
    Overlapped r(api);
    char byte = 0;
    DWORD n = 0;
    api.ReadFile(h, &byte, 1, &n, &r.ov);
    api.QueueReadData("COM1", "lost");
    api.SetModemStatus("COM1", MS_DSR_ON);
    api.SetCommMask(h, EV_DSR);  // nobody waits: the fall of DSR is kept
    api.Unplug("COM1");
    Overlapped w(api);
    DWORD mask = 0;
    EXPECT_TRUE(api.WaitCommEvent(h, &mask, &w.ov)) << "events of the unplug are still handed out";
    EXPECT_EQ(mask, EV_DSR);
    COMSTAT stat;
    DWORD errors = 0;
    EXPECT_TRUE(api.ClearCommError(h, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 0u) << "the input went with the device";
    EXPECT_FALSE(api.GetOverlappedResult(h, &r.ov, &n, TRUE));
    EXPECT_EQ(api.GetLastError(), ERROR_GEN_FAILURE);
    DWORD status = 99;
    EXPECT_TRUE(api.GetCommModemStatus(h, &status)) << "a lost device shows its lines off";
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(api.ReadFile(h, &byte, 1, &n, &r.ov));
    EXPECT_EQ(api.GetLastError(), ERROR_GEN_FAILURE);
    EXPECT_TRUE(api.PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT));
    EXPECT_TRUE(api.CloseHandle(h));
    EXPECT_EQ(openPort(api, "COM1"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FakeCommApi, LineChangesRaiseTheirEventsAndRingOnlyAsItEnds) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.SetCommMask(h, EV_CTS | EV_DSR | EV_RLSD | EV_RING);
    struct Step {
        DWORD lines;
        DWORD events;
    };
    const Step steps[] = {
        {MS_RING_ON, 0},                   // the ring starts: nothing yet
        {MS_RING_ON | MS_CTS_ON, EV_CTS},  // still ringing
        {MS_CTS_ON, EV_RING},              // the ring ends
        {MS_DSR_ON | MS_RLSD_ON, EV_CTS | EV_DSR | EV_RLSD},
    };
    for (const Step& step : steps) {
        api.SetModemStatus("COM1", step.lines);
        Overlapped o(api);
        DWORD mask = 0;
        const bool at = api.WaitCommEvent(h, &mask, &o.ov);
        EXPECT_EQ(at ? mask : 0u, step.events) << step.lines;
        if (!at) {
            api.SetCommMask(h, EV_CTS | EV_DSR | EV_RLSD | EV_RING);
            DWORD n = 0;
            api.GetOverlappedResult(h, &o.ov, &n, TRUE);
        }
    }
}

TEST(FakeCommApi, TheOutputQueueCountsPendingWritesOnly) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.HoldIo("COM1", true);
    Overlapped write(api), read(api);
    DWORD n = 0;
    char buffer[5];
    api.WriteFile(h, "abc", 3, &n, &write.ov);
    api.ReadFile(h, buffer, sizeof buffer, &n, &read.ov);
    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(api.ClearCommError(h, &errors, &stat));
    EXPECT_EQ(stat.cbOutQue, 3u);
    api.ReleaseIo("COM1");
}

TEST(FakeCommApi, PurgeClearsTheInputOnlyWhenAsked) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    api.QueueReadData("COM1", "abc");
    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(api.PurgeComm(h, PURGE_TXCLEAR | PURGE_RXABORT));
    api.ClearCommError(h, &errors, &stat);
    EXPECT_EQ(stat.cbInQue, 3u);
    ASSERT_TRUE(api.PurgeComm(h, PURGE_RXCLEAR));
    api.ClearCommError(h, &errors, &stat);
    EXPECT_EQ(stat.cbInQue, 0u);
}

TEST(FakeCommApi, ReceivedBytesRaiseTheCharacterAndTheEventCharacterEvents) {
    FakeCommApi api;
    api.AddPort("COM1");
    const HANDLE h = openPort(api, "COM1");
    DCB dcb;
    dcb.EvtChar = '\r';
    ASSERT_TRUE(api.SetCommState(h, &dcb));
    api.SetCommMask(h, EV_RXCHAR | EV_RXFLAG);
    for (const auto& [bytes, events] :
         {std::pair<std::string, DWORD>{"a\r", EV_RXCHAR | EV_RXFLAG}, {"b", EV_RXCHAR}}) {
        api.Receive("COM1", bytes);
        Overlapped o(api);
        DWORD mask = 0;
        EXPECT_TRUE(api.WaitCommEvent(h, &mask, &o.ov));
        EXPECT_EQ(mask, events) << bytes;
    }
}

TEST(FakeCommApi, ANewMaskForgetsKeptEventsAndACloseDropsTheLines) {
    FakeCommApi api;
    api.AddPort("COM1");
    HANDLE h = openPort(api, "COM1");
    api.SetCommMask(h, EV_TXEMPTY);
    api.RaiseEvents("COM1", EV_TXEMPTY);
    api.SetCommMask(h, EV_TXEMPTY);
    Overlapped o(api);
    DWORD mask = 0;
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &o.ov)) << "the kept event survived";
    api.SetCommMask(h, 0);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));
    ASSERT_TRUE(api.EscapeCommFunction(h, SETRTS));
    ASSERT_TRUE(api.EscapeCommFunction(h, SETBREAK));
    ASSERT_TRUE(api.CloseHandle(h));
    EXPECT_FALSE(api.Dtr("COM1"));
    EXPECT_FALSE(api.Rts("COM1"));
    EXPECT_FALSE(api.BreakOn("COM1"));
}
