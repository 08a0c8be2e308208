// The POSIX layer over a pseudo-terminal: the test plays the board on the
// master side. Every wait is bounded, so a fault fails rather than hangs.
#include "platform/comm/PosixCommApi.h"
#include "platform/comm/PtyBoard.h"
#include "platform/comm/VirtualLines.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <string>
#include <thread>
#include <tuple>

#include "tests/support/TestSupport.h"

using namespace comm;
using Clock = std::chrono::steady_clock;

namespace {

constexpr DWORD kBounded = 3000;  // ms: nothing here should take near this long

using Pty = PtyBoard;

class PosixCommApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.SlavePath().empty());
        api.SetPortMap(ComPortMap{{5, pty.SlavePath()}, {6, "/nonexistent/tty"}});
    }

    HANDLE Open(const char* name = "\\\\.\\COM5") {
        return api.CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, 0);
    }

    // 8N1 with the port component's default timeouts.
    HANDLE OpenConfigured(DWORD baud, DWORD flags = DCB::fBinary) {
        const HANDLE h = Open();
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        DCB dcb;
        dcb.DCBlength = 28;
        dcb.BaudRate = baud;
        dcb.Flags = flags;
        dcb.ByteSize = 8;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        EXPECT_TRUE(api.SetupComm(h, 1024, 1024));
        EXPECT_TRUE(api.SetCommState(h, &dcb));
        SetTimeouts(h, 100, 1000);
        return h;
    }

    void SetTimeouts(HANDLE h, DWORD writeMultiplier, DWORD writeConstant) {
        COMMTIMEOUTS t{MAXDWORD, 0, 0, writeMultiplier, writeConstant};
        EXPECT_TRUE(api.SetCommTimeouts(h, &t));
    }

    // Starts an overlapped write; returns the OVERLAPPED to wait on.
    void StartWrite(HANDLE h, const std::string& bytes, OVERLAPPED* ov) {
        DWORD n = 0;
        if (!api.WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, ov)) {
            EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING);
        }
    }

    // Waits for an overlapped operation; false with the error when it failed.
    bool Finish(HANDLE h, OVERLAPPED* ov, DWORD* count, DWORD* error = nullptr) {
        EXPECT_EQ(api.WaitForSingleObject(ov->hEvent, kBounded), WAIT_OBJECT_0);
        const bool ok = api.GetOverlappedResult(h, ov, count, FALSE);
        if (error) *error = ok ? 0 : api.GetLastError();
        return ok;
    }

    // Writes and waits; returns the count written.
    DWORD Write(HANDLE h, const std::string& bytes) {
        OVERLAPPED& ov = Record();
        StartWrite(h, bytes, &ov);
        DWORD count = 0;
        EXPECT_TRUE(Finish(h, &ov, &count));
        return count;
    }

    // Waits for the next line event batch.
    DWORD WaitEvent(HANDLE h) {
        OVERLAPPED& ov = Record();
        DWORD mask = 0, n = 0;
        if (!api.WaitCommEvent(h, &mask, &ov)) {
            EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING);
        }
        const DWORD r = api.WaitForSingleObject(ov.hEvent, kBounded);
        if (r != WAIT_OBJECT_0) {
            api.SetCommMask(h, 0);  // do not leave the wait behind on our stack record
            api.GetOverlappedResult(h, &ov, &n, TRUE);
            mask = 0;
        }
        return mask;
    }

    // Records outlive the api, so an operation still pending when a test
    // stops early completes into live memory.
    OVERLAPPED& Record(BOOL signalled = TRUE) {
        records.emplace_back();
        records.back().hEvent = api.CreateEventA(nullptr, TRUE, signalled, nullptr);
        return records.back();
    }

    std::deque<OVERLAPPED> records;
    Pty pty;
    PosixCommApi api;
};

}  // namespace

TEST_F(PosixCommApiTest, DataTravelsBothWays) {
    const HANDLE h = OpenConfigured(115200);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Write(h, "hello\n\r\xff"), 8u);
    EXPECT_EQ(pty.Receive(8), "hello\n\r\xff") << "no translation on the way out";

    api.SetCommMask(h, EV_RXCHAR | EV_RXFLAG);
    ASSERT_TRUE(pty.Send(std::string("ab\r\n\xff\x00z", 7)));
    std::string got;
    const auto end = Clock::now() + std::chrono::seconds(2);
    while (got.size() < 7 && Clock::now() < end) {
        const DWORD events = WaitEvent(h);
        EXPECT_TRUE(events & EV_RXCHAR);
        DWORD errors = 0;
        COMSTAT stat;
        ASSERT_TRUE(api.ClearCommError(h, &errors, &stat));
        EXPECT_EQ(errors, 0u);
        std::string chunk(stat.cbInQue, '\0');
        OVERLAPPED& ov = Record();
        DWORD n = 0;
        ASSERT_TRUE(api.ReadFile(h, chunk.data(), stat.cbInQue, &n, &ov)) << "MAXDWORD/0/0 returns at once";
        got += chunk.substr(0, n);
    }
    EXPECT_EQ(got, std::string("ab\r\n\xff\x00z", 7)) << "bytes as sent, \\377 and NUL included";
    EXPECT_TRUE(api.CloseHandle(h));
}

TEST_F(PosixCommApiTest, AReadWithNothingQueuedReturnsAtOnceWithNothing) {
    const HANDLE h = OpenConfigured(9600);
    char buffer[4];
    OVERLAPPED& ov = Record(FALSE);
    DWORD n = 99;
    EXPECT_TRUE(api.ReadFile(h, buffer, sizeof buffer, &n, &ov));
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(api.WaitForSingleObject(ov.hEvent, 0), WAIT_OBJECT_0);
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, TransmitEmptyChainsOneByteAtATimeAtTheLineRate) {
    const HANDLE h = OpenConfigured(1200);
    api.SetCommMask(h, EV_TXEMPTY);
    const std::string stream = "S1130000";
    const auto start = Clock::now();
    for (char byte : stream) {
        EXPECT_EQ(Write(h, std::string(1, byte)), 1u);
        EXPECT_EQ(WaitEvent(h), EV_TXEMPTY);
    }
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(pty.Receive(stream.size()), stream);
    // Two bytes may run ahead of the wire; the other six each wait a frame
    // (start, eight data and a stop bit: 8.33 ms at 1200 baud).
    EXPECT_GE(elapsed, std::chrono::microseconds(6 * 8250));
    EXPECT_LE(elapsed, std::chrono::milliseconds(1500)) << "a wait that never ended by itself";
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, XoffHoldsAWriteUntilItsTimeoutWhichSucceedsShort) {
    const HANDLE h = OpenConfigured(115200, DCB::fBinary | DCB::fOutX);
    // 150 ms either way: a constant, or 50 ms for each of the three bytes.
    for (const auto& [multiplier, constant] : {std::pair<DWORD, DWORD>{0, 150}, {50, 0}}) {
        SetTimeouts(h, multiplier, constant);
        ASSERT_TRUE(pty.Send("\x13"));
        ASSERT_TRUE(pty.WaitStopped());
        OVERLAPPED& ov = Record();
        const auto start = Clock::now();
        StartWrite(h, "abc", &ov);
        DWORD count = 99;
        EXPECT_TRUE(Finish(h, &ov, &count)) << "a timed-out write is a success";
        EXPECT_EQ(count, 0u);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(140)) << multiplier;
        EXPECT_LE(Clock::now() - start, std::chrono::milliseconds(1500)) << multiplier;

        ASSERT_TRUE(pty.Send("\x11"));
        EXPECT_EQ(Write(h, "d"), 1u);
        EXPECT_EQ(pty.Receive(1), "d") << "the timed-out bytes were dropped";
    }
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, XoffPausesAStreamAndXonResumesItWhole) {
    const HANDLE h = OpenConfigured(1200, DCB::fBinary | DCB::fOutX);
    SetTimeouts(h, 0, 0);
    std::string stream;
    for (int i = 0; i < 16; ++i) stream += static_cast<char>('A' + i);
    OVERLAPPED& ov = Record();
    StartWrite(h, stream, &ov);
    std::string seen = pty.Receive(3);
    EXPECT_EQ(seen.substr(0, 3), "ABC");
    ASSERT_TRUE(pty.Send("\x13"));
    EXPECT_TRUE(pty.WaitStopped());
    seen += pty.Receive(16, 20);
    EXPECT_EQ(pty.Receive(16, 100), "") << "nothing passes while stopped";
    EXPECT_LT(seen.size(), 16u);
    DWORD count = 0;
    EXPECT_FALSE(api.GetOverlappedResult(h, &ov, &count, FALSE)) << "still held";
    ASSERT_TRUE(pty.Send("\x11"));
    seen += pty.Receive(16 - seen.size());
    EXPECT_EQ(seen, stream) << "nothing lost, nothing repeated";
    EXPECT_TRUE(Finish(h, &ov, &count));
    EXPECT_EQ(count, 16u);
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, OutputRunsAtMostTwoBytesAheadOfTheWire) {
    // 110 baud: a frame of 100 ms, long enough that scheduling cannot blur it.
    const HANDLE h = OpenConfigured(110);
    SetTimeouts(h, 0, 0);
    OVERLAPPED& ov = Record();
    const auto start = Clock::now();
    StartWrite(h, "0123456789", &ov);
    ASSERT_EQ(pty.Receive(2, 500).size(), 2u) << "one byte on the wire, one behind it";
    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(api.ClearCommError(h, &errors, &stat));
    if (Clock::now() - start < std::chrono::milliseconds(60)) {  // else a loaded machine is late
        EXPECT_EQ(stat.cbOutQue, 8u) << "the output queue counts what is not yet handed over";
    }
    EXPECT_EQ(pty.Receive(1), "2");
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(85))
        << "the third byte waits for the first to leave (91 ms)";
    ASSERT_TRUE(api.PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT));
    DWORD count = 0, error = 0;
    EXPECT_FALSE(Finish(h, &ov, &count, &error));
    EXPECT_EQ(error, ERROR_OPERATION_ABORTED);
    EXPECT_LE(count, 3u);

    // A clear ends a write with what was handed over; a close aborts one so.
    for (bool close : {false, true}) {
        OVERLAPPED& next = Record();
        StartWrite(h, "abcdefghij", &next);
        std::string got = pty.Receive(2, 500);
        ASSERT_EQ(got.size(), 2u);
        if (close)
            ASSERT_TRUE(api.CloseHandle(h));
        else
            ASSERT_TRUE(api.PurgeComm(h, PURGE_TXCLEAR));
        EXPECT_EQ(Finish(h, &next, &count, &error), !close);
        EXPECT_EQ(error, close ? ERROR_OPERATION_ABORTED : 0u);
        got += pty.Receive(10, 100);  // what was handed over before (a late machine: a third)
        EXPECT_EQ(count, got.size()) << close;
        EXPECT_LT(count, 10u) << close;
    }
    EXPECT_EQ(pty.Receive(10, 150), "") << "nothing after the clear";
}

TEST_F(PosixCommApiTest, DsrFlowHoldsOutputWhileDsrIsOff) {
    // DTR disabled: the looped DSR is off until the program raises DTR.
    const HANDLE h = OpenConfigured(115200, DCB::fBinary | DCB::fOutxDsrFlow);
    SetTimeouts(h, 0, 0);
    OVERLAPPED& ov = Record();
    StartWrite(h, "held", &ov);
    EXPECT_EQ(pty.Receive(4, 100), "") << "nothing passes while DSR is off";
    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));
    EXPECT_EQ(pty.Receive(4), "held");
    DWORD count = 0;
    EXPECT_TRUE(Finish(h, &ov, &count));
    EXPECT_EQ(count, 4u);
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, TransmitEmptyComesOnceTheLastQueuedWriteIsHandedOver) {
    const HANDLE h = OpenConfigured(1200);
    SetTimeouts(h, 0, 0);
    api.SetCommMask(h, EV_TXEMPTY);
    OVERLAPPED& first = Record();
    OVERLAPPED& second = Record();
    // Over a second on the wire: a loaded machine may take a while to ask.
    const std::string rest(150, 'c');
    StartWrite(h, "ab", &first);
    StartWrite(h, rest, &second);
    DWORD count = 0;
    EXPECT_TRUE(Finish(h, &first, &count));
    OVERLAPPED& event = Record();
    DWORD mask = 0;
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &event)) << "the second write is still queued";
    EXPECT_TRUE(Finish(h, &second, &count));
    EXPECT_EQ(api.WaitForSingleObject(event.hEvent, kBounded), WAIT_OBJECT_0);
    EXPECT_EQ(mask, EV_TXEMPTY);
    EXPECT_EQ(pty.Receive(152, kBounded), "ab" + rest);
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, OneWaitAndOneReadAtATimeAndANewMaskForgetsKeptEvents) {
    const HANDLE h = OpenConfigured(9600);
    SetTimeouts(h, 100, 1000);
    COMMTIMEOUTS slow{0, 0, 2000, 0, 0};
    ASSERT_TRUE(api.SetCommTimeouts(h, &slow));
    api.SetCommMask(h, EV_RXCHAR);
    OVERLAPPED& wait = Record();
    OVERLAPPED& other = Record();
    DWORD mask = 0, second = 0, n = 0;
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &wait));
    EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING);
    EXPECT_FALSE(api.WaitCommEvent(h, &second, &other));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER) << "a second wait";
    char a[4], b[4];
    OVERLAPPED& read = Record();
    OVERLAPPED& read2 = Record();
    EXPECT_FALSE(api.ReadFile(h, a, sizeof a, &n, &read));
    EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING);
    EXPECT_FALSE(api.ReadFile(h, b, sizeof b, &n, &read2));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER) << "a second read";
    ASSERT_TRUE(api.PurgeComm(h, PURGE_RXABORT));
    api.SetCommMask(h, EV_DSR);  // ends the wait
    EXPECT_TRUE(api.GetOverlappedResult(h, &wait, &n, TRUE));
    EXPECT_EQ(mask, 0u);

    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));  // DSR on, kept: nobody waits
    api.SetCommMask(h, EV_DSR);
    OVERLAPPED& after = Record();
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &after)) << "the kept event survived a new mask";
    api.SetCommMask(h, 0);
    api.GetOverlappedResult(h, &after, &n, TRUE);
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, ReadsWithoutATimeoutWaitForTheirBytesChunkByChunk) {
    const HANDLE h = OpenConfigured(115200);
    for (const COMMTIMEOUTS& t : {COMMTIMEOUTS{0, 0, 0, 0, 0}, COMMTIMEOUTS{MAXDWORD, MAXDWORD, 0, 0, 0}}) {
        ASSERT_TRUE(api.SetCommTimeouts(h, &t));
        char buffer[4] = {};
        OVERLAPPED& ov = Record();
        DWORD n = 0;
        EXPECT_FALSE(api.ReadFile(h, buffer, sizeof buffer, &n, &ov));
        ASSERT_TRUE(pty.Send("ab"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(api.GetOverlappedResult(h, &ov, &n, FALSE)) << "ended with half its bytes";
        ASSERT_TRUE(pty.Send("cdef"));
        EXPECT_TRUE(Finish(h, &ov, &n));
        EXPECT_EQ(std::string(buffer, n), "abcd");
        COMSTAT stat;
        DWORD errors = 0;
        api.ClearCommError(h, &errors, &stat);
        EXPECT_EQ(stat.cbInQue, 2u) << "the rest waits for the next read";
        ASSERT_TRUE(api.PurgeComm(h, PURGE_RXCLEAR));
    }
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, EscapedXoffAndXonHoldAndReleaseOutput) {
    const HANDLE h = OpenConfigured(115200);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETXOFF));
    OVERLAPPED& ov = Record();
    StartWrite(h, "x", &ov);
    EXPECT_EQ(pty.Receive(1, 50), "") << "held as if an XOFF had come";
    ASSERT_TRUE(api.EscapeCommFunction(h, SETXON));
    EXPECT_EQ(pty.Receive(1), "x");
    DWORD count = 0;
    EXPECT_TRUE(Finish(h, &ov, &count));
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, RtsToggleRaisesRtsWhileOutputWaitsAndDropsItAfter) {
    // The looped CTS shows our RTS.
    const HANDLE h = OpenConfigured(115200, DCB::fBinary | DCB::fOutX | (RTS_CONTROL_TOGGLE << DCB::fRtsControlShift));
    SetTimeouts(h, 0, 0);
    DWORD status = 0;
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status & MS_CTS_ON, 0u);
    ASSERT_TRUE(pty.Send("\x13"));
    ASSERT_TRUE(pty.WaitStopped());
    OVERLAPPED& ov = Record();
    api.SetCommMask(h, EV_CTS);
    StartWrite(h, "abc", &ov);
    EXPECT_EQ(WaitEvent(h), EV_CTS) << "RTS up for the write";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // several samples
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status & MS_CTS_ON, MS_CTS_ON) << "RTS dropped while the write waits";
    OVERLAPPED& steady = Record();
    DWORD mask = 0, n = 0;
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &steady)) << "RTS moved while the write waits";
    api.SetCommMask(h, 0);
    api.GetOverlappedResult(h, &steady, &n, TRUE);
    ASSERT_TRUE(pty.Send("\x11"));
    DWORD count = 0;
    EXPECT_TRUE(Finish(h, &ov, &count));
    testsupport::WaitUntil([&] { return !api.GetCommModemStatus(h, &status) || !(status & MS_CTS_ON); });
    EXPECT_EQ(status & MS_CTS_ON, 0u) << "RTS stays up after the output";
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, ReadTimeouts) {
    const HANDLE h = OpenConfigured(115200);
    // Each read either waits out its time or ends well before a 2000 ms
    // constant; the upper bounds leave a loaded machine a second of room.
    struct Case {
        const char* what;
        COMMTIMEOUTS timeouts;
        std::string arrived;
        bool duringTheRead;  // the bytes come 50 ms after the read started
        DWORD expected;
        int atLeastMs;
        int atMostMs;
    };
    const Case cases[] = {
        {"total timeout returns what came", {0, 0, 60, 0, 0}, "x", false, 1, 50, 1050},
        {"total timeout with nothing", {0, 10, 20, 0, 0}, "", false, 0, 50, 1050},
        {"a full read ends at once", {0, 0, 2000, 0, 0}, "wxyz", false, 4, 0, 1000},
        {"a full read ends with its last byte", {0, 0, 2000, 0, 0}, "wxyz", true, 4, 40, 1000},
        {"first byte ends the wait", {MAXDWORD, MAXDWORD, 2000, 0, 0}, "q", false, 1, 0, 1000},
        {"first byte arriving ends the wait", {MAXDWORD, MAXDWORD, 2000, 0, 0}, "q", true, 1, 40, 1000},
        {"first-byte wait times out", {MAXDWORD, MAXDWORD, 60, 0, 0}, "", false, 0, 50, 1050},
        {"an interval ends a read", {30, 0, 2000, 0, 0}, "a", true, 1, 60, 1000},
        {"MAXDWORD with a constant waits it out", {MAXDWORD, 0, 60, 0, 0}, "", false, 0, 50, 1050},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(api.PurgeComm(h, PURGE_RXCLEAR));
        ASSERT_TRUE(api.SetCommTimeouts(h, &c.timeouts));
        auto sendAndWait = [&] {
            ASSERT_TRUE(pty.Send(c.arrived));
            COMSTAT stat;
            DWORD errors = 0;
            const auto end = Clock::now() + std::chrono::seconds(2);
            do api.ClearCommError(h, &errors, &stat);
            while (stat.cbInQue < c.arrived.size() && Clock::now() < end);
        };
        if (!c.arrived.empty() && !c.duringTheRead) sendAndWait();
        char buffer[4] = {};
        OVERLAPPED& ov = Record();
        const auto start = Clock::now();
        DWORD n = 0;
        if (!api.ReadFile(h, buffer, sizeof buffer, &n, &ov)) {
            EXPECT_EQ(api.GetLastError(), ERROR_IO_PENDING) << c.what;
            if (c.duringTheRead) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ASSERT_TRUE(pty.Send(c.arrived));
            }
            EXPECT_TRUE(Finish(h, &ov, &n)) << c.what;
        }
        const auto elapsed = Clock::now() - start;
        EXPECT_EQ(n, c.expected) << c.what;
        EXPECT_EQ(std::string(buffer, n), c.arrived.substr(0, n)) << c.what;
        EXPECT_GE(elapsed, std::chrono::milliseconds(c.atLeastMs)) << c.what;
        EXPECT_LE(elapsed, std::chrono::milliseconds(c.atMostMs)) << c.what;
    }
    api.CloseHandle(h);
}

// Sends `count` bytes and waits until the input queue holds `queued`.
static bool SendAndSettle(Pty& pty, CommApi& api, HANDLE h, size_t count, DWORD queued) {
    if (!pty.Send(std::string(count, 'a'))) return false;
    COMSTAT stat{};
    testsupport::WaitUntil([&] {
        DWORD errors = 0;
        api.ClearCommError(h, &errors, &stat);
        return stat.cbInQue >= queued;
    });
    // The driver has taken everything sent once nothing more arrives.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return stat.cbInQue >= queued;
}

TEST_F(PosixCommApiTest, TheInputQueueWarnsAtEightyPercentAndHoldsExactlyItsSize) {
    const HANDLE h = OpenConfigured(115200);
    ASSERT_TRUE(api.SetupComm(h, 5000, 1024));  // 80 % is 4000 bytes
    api.SetCommMask(h, EV_RX80FULL | EV_ERR);
    ASSERT_TRUE(SendAndSettle(pty, api, h, 3999, 3999));
    OVERLAPPED& quiet = Record();
    DWORD mask = 0, n = 0;
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &quiet)) << "an event below 80 %: " << mask;
    api.SetCommMask(h, EV_RX80FULL | EV_ERR);  // ends that wait
    api.GetOverlappedResult(h, &quiet, &n, TRUE);
    ASSERT_TRUE(SendAndSettle(pty, api, h, 1, 4000));
    EXPECT_EQ(WaitEvent(h), EV_RX80FULL) << "at exactly 80 %";

    ASSERT_TRUE(SendAndSettle(pty, api, h, 1000, 5000));
    DWORD errors = 0;
    COMSTAT stat;
    ASSERT_TRUE(api.ClearCommError(h, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 5000u);
    EXPECT_EQ(errors, 0u) << "a full queue is no overflow yet";
    OVERLAPPED& none = Record();
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &none)) << "an event at the full queue: " << mask;
    api.SetCommMask(h, EV_ERR);
    api.GetOverlappedResult(h, &none, &n, TRUE);

    ASSERT_TRUE(pty.Send("b"));
    EXPECT_EQ(WaitEvent(h), EV_ERR) << "one byte more overflows";
    ASSERT_TRUE(api.ClearCommError(h, &errors, &stat));
    EXPECT_EQ(errors, CE_RXOVER);
    EXPECT_EQ(stat.cbInQue, 5000u) << "the byte that did not fit is lost";
    ASSERT_TRUE(api.ClearCommError(h, &errors, &stat));
    EXPECT_EQ(errors, 0u) << "reading the errors clears them";

    // Reading below 80 % again arms the warning for the next time.
    std::string drained(1001, '\0');
    OVERLAPPED& ov = Record();
    ASSERT_TRUE(api.ReadFile(h, drained.data(), 1001, &n, &ov));
    EXPECT_EQ(n, 1001u);
    api.SetCommMask(h, EV_RX80FULL);
    ASSERT_TRUE(SendAndSettle(pty, api, h, 1, 4000));
    EXPECT_EQ(WaitEvent(h), EV_RX80FULL);
    // A read that leaves the queue above 80 % does not arm it again.
    ASSERT_TRUE(SendAndSettle(pty, api, h, 10, 4010));
    OVERLAPPED& five = Record();
    ASSERT_TRUE(api.ReadFile(h, drained.data(), 5, &n, &five));
    ASSERT_TRUE(SendAndSettle(pty, api, h, 1, 4006));
    OVERLAPPED& again = Record();
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &again)) << "warned twice above 80 %";
    api.SetCommMask(h, EV_RX80FULL);
    api.GetOverlappedResult(h, &again, &n, TRUE);
    // An emptied queue warns again.
    ASSERT_TRUE(api.PurgeComm(h, PURGE_RXCLEAR));
    ASSERT_TRUE(SendAndSettle(pty, api, h, 4000, 4000));
    EXPECT_EQ(WaitEvent(h), EV_RX80FULL) << "after a purge";
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, SettingsReachTheTerminalAndKeepARaisedDtr) {
    const HANDLE h = OpenConfigured(1200);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));
    DCB dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 1200;
    dcb.Flags = DCB::fBinary | DCB::fOutX;
    dcb.ByteSize = 8;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    ASSERT_TRUE(api.SetCommState(h, &dcb));
    DWORD status = 0;
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status & MS_DSR_ON, MS_DSR_ON) << "the DTR mode did not change, so DTR stays up";

    const int fd = ::open(pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B1200);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    DCB hardware = dcb;
    hardware.Flags = DCB::fBinary | DCB::fOutxCtsFlow;
    ASSERT_TRUE(api.SetCommState(h, &hardware));
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    EXPECT_TRUE(t.c_cflag & CRTSCTS) << "CTS flow reaches the terminal";
    for (const auto& [size, stop, twoStopBits] :
         {std::tuple<BYTE, BYTE, bool>{5, ONE5STOPBITS, true}, {8, TWOSTOPBITS, true}, {8, ONESTOPBIT, false}}) {
        DCB framing = dcb;
        framing.ByteSize = size;
        framing.StopBits = stop;
        ASSERT_TRUE(api.SetCommState(h, &framing));
        ASSERT_EQ(::tcgetattr(fd, &t), 0);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, twoStopBits) << int{size} << "/" << int{stop};
    }
    for (const auto& [parity, bits] : {std::pair<BYTE, tcflag_t>{NOPARITY, 0},
                                       {ODDPARITY, PARENB | PARODD},
                                       {EVENPARITY, PARENB},
                                       {MARKPARITY, PARENB | PARODD | CMSPAR},
                                       {SPACEPARITY, PARENB | CMSPAR}}) {
        DCB withParity = dcb;
        withParity.Parity = parity;
        ASSERT_TRUE(api.SetCommState(h, &withParity));
        ASSERT_EQ(::tcgetattr(fd, &t), 0);
        // A pty keeps no parity enable bit (it always clears PARENB).
        EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), bits & ~PARENB) << int{parity};
    }

    dcb.Flags = DCB::fBinary;  // DTR mode still "disable": no change
    ASSERT_TRUE(api.SetCommState(h, &dcb));
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status & MS_DSR_ON, MS_DSR_ON);
    dcb.Flags = DCB::fBinary | (DTR_CONTROL_ENABLE << DCB::fDtrControlShift);
    ASSERT_TRUE(api.SetCommState(h, &dcb));
    dcb.Flags = DCB::fBinary;
    ASSERT_TRUE(api.SetCommState(h, &dcb));
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status & MS_DSR_ON, 0u) << "a change back to disable drops DTR";
    // The looped lines show what each control does to DTR (DSR, RLSD) and RTS (CTS).
    for (const auto& [controls, lines] :
         {std::pair<DWORD, DWORD>{DTR_CONTROL_HANDSHAKE << DCB::fDtrControlShift, MS_DSR_ON | MS_RLSD_ON},
          {RTS_CONTROL_HANDSHAKE << DCB::fRtsControlShift, MS_CTS_ON},
          {RTS_CONTROL_ENABLE << DCB::fRtsControlShift, MS_CTS_ON},
          {0, 0}}) {
        DCB control = dcb;
        control.Flags = DCB::fBinary | controls;
        ASSERT_TRUE(api.SetCommState(h, &control));
        api.GetCommModemStatus(h, &status);
        EXPECT_EQ(status, lines) << controls;
    }
    ::close(fd);
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, LinesSetBeforeTheFirstSettingsSurviveThem) {
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));
    ASSERT_TRUE(api.EscapeCommFunction(h, SETRTS));
    DCB dcb;  // both controls "disable"
    dcb.DCBlength = 28;
    dcb.BaudRate = 1200;
    dcb.Flags = DCB::fBinary;
    dcb.ByteSize = 8;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    ASSERT_TRUE(api.SetCommState(h, &dcb));
    DWORD status = 0;
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status, MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON) << "the program's levels stay";
    api.CloseHandle(h);
    // Reopened, the open's own settings set the lines again.
    const HANDLE again = Open();
    ASSERT_TRUE(api.SetCommState(again, &dcb));
    api.GetCommModemStatus(again, &status);
    EXPECT_EQ(status, 0u);
    api.CloseHandle(again);
}

TEST_F(PosixCommApiTest, InputFiltersAndTheEventCharacter) {
    struct Case {
        const char* what;
        DWORD flags;
        bool dtr;  // the looped DSR follows it
        std::string sent;
        std::string kept;
        DWORD events;
    };
    const std::string withNul("a\0b", 3);
    const Case cases[] = {
        {"NULs kept", DCB::fBinary, true, withNul, withNul, EV_RXCHAR},
        {"NULs dropped", DCB::fBinary | DCB::fNull, true, withNul, "ab", EV_RXCHAR},
        {"DSR on: input taken", DCB::fBinary | DCB::fDsrSensitivity, true, "xy", "xy", EV_RXCHAR},
        {"DSR off: input dropped", DCB::fBinary | DCB::fDsrSensitivity, false, "xy", "", 0},
        {"event character", DCB::fBinary, true, "1\r2", "1\r2", EV_RXCHAR | EV_RXFLAG},
    };
    for (const Case& c : cases) {
        const HANDLE h = Open();
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << c.what;
        DCB dcb;
        dcb.DCBlength = 28;
        dcb.BaudRate = 115200;
        dcb.Flags = c.flags;
        dcb.ByteSize = 8;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        dcb.EvtChar = '\r';
        ASSERT_TRUE(api.SetCommState(h, &dcb)) << c.what;
        api.EscapeCommFunction(h, c.dtr ? SETDTR : CLRDTR);
        api.SetCommMask(h, EV_RXCHAR | EV_RXFLAG);
        ASSERT_TRUE(pty.Send(c.sent));
        ASSERT_TRUE(pty.Send("\x11"));  // a marker that the bytes before it have been taken
        std::string got;
        const auto end = Clock::now() + std::chrono::seconds(2);
        DWORD events = 0;
        while (Clock::now() < end) {
            COMSTAT stat;
            DWORD errors = 0;
            api.ClearCommError(h, &errors, &stat);
            std::string chunk(stat.cbInQue, '\0');
            OVERLAPPED& ov = Record();
            DWORD n = 0;
            api.ReadFile(h, chunk.data(), stat.cbInQue, &n, &ov);
            got += chunk.substr(0, n);
            if (!got.empty() && got.back() == '\x11') break;
            if (!c.dtr) {  // nothing arrives at all; give the bytes time to be dropped
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                break;
            }
        }
        if (!got.empty() && got.back() == '\x11') got.pop_back();
        EXPECT_EQ(got, c.kept) << c.what;
        OVERLAPPED& ov = Record();
        DWORD n = 0;
        if (api.WaitCommEvent(h, &events, &ov)) {
            EXPECT_EQ(events & ~EV_RXCHAR, c.events & ~EV_RXCHAR) << c.what;
        } else {
            EXPECT_EQ(c.events, 0u) << c.what;
            api.SetCommMask(h, 0);
            api.GetOverlappedResult(h, &ov, &n, TRUE);
        }
        api.CloseHandle(h);
    }
}

TEST_F(PosixCommApiTest, PurgeAbortsAHeldWriteAndClearsTheInput) {
    const HANDLE h = OpenConfigured(115200, DCB::fBinary | DCB::fOutX);
    SetTimeouts(h, 0, 0);  // no write timeout: only the purge can end it
    ASSERT_TRUE(pty.Send("\x13"));
    ASSERT_TRUE(pty.WaitStopped());
    OVERLAPPED& ov = Record();
    StartWrite(h, "lost", &ov);
    DWORD count = 0, error = 0;
    EXPECT_FALSE(api.GetOverlappedResult(h, &ov, &count, FALSE));
    EXPECT_EQ(api.GetLastError(), ERROR_IO_INCOMPLETE);
    COMSTAT stat;
    DWORD errors = 0;
    api.ClearCommError(h, &errors, &stat);
    EXPECT_EQ(stat.cbOutQue, 4u);
    ASSERT_TRUE(api.PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT));
    EXPECT_FALSE(Finish(h, &ov, &count, &error));
    EXPECT_EQ(error, ERROR_OPERATION_ABORTED);

    api.SetCommMask(h, EV_RXCHAR);
    ASSERT_TRUE(pty.Send("xyz"));
    EXPECT_EQ(WaitEvent(h), EV_RXCHAR);
    ASSERT_TRUE(api.PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR));
    api.ClearCommError(h, &errors, &stat);
    EXPECT_EQ(stat.cbInQue, 0u);
    ASSERT_TRUE(pty.Send("\x11"));
    EXPECT_EQ(pty.Receive(1, 100), "");
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, MissingBusyAndStaleDevices) {
    struct Case {
        const char* name;
        DWORD error;
    };
    for (const Case& c : {Case{"\\\\.\\COM6", ERROR_FILE_NOT_FOUND},  // mapped, no device
                          Case{"\\\\.\\COM7", ERROR_FILE_NOT_FOUND},  // not mapped
                          Case{"\\\\.\\COM17", ERROR_FILE_NOT_FOUND}, Case{"\\\\.\\LPT1", ERROR_FILE_NOT_FOUND}}) {
        EXPECT_EQ(Open(c.name), INVALID_HANDLE_VALUE) << c.name;
        EXPECT_EQ(api.GetLastError(), c.error) << c.name;
    }
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_ACCESS_DENIED) << "a second open is refused";
    api.SetPortMap(ComPortMap{{5, pty.SlavePath()}, {8, "/dev/null"}});
    EXPECT_EQ(Open("\\\\.\\COM8"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_FUNCTION) << "not a terminal";
    PosixCommApi other;  // another program
    other.SetPortMap(ComPortMap{{5, pty.SlavePath()}});
    EXPECT_EQ(
        other.CreateFileA("COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, 0),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_ACCESS_DENIED);

    ASSERT_TRUE(api.CloseHandle(h));
    const HANDLE again = Open();
    ASSERT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_NE(again, h);
    DWORD status = 0;
    EXPECT_FALSE(api.GetCommModemStatus(h, &status)) << "the closed handle reaches nothing";
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(api.CloseHandle(h));
    CommApi::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(api.WaitForSingleObject(h, 0), WAIT_FAILED) << "a device is no event";
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(api.CloseHandle(again));
}

TEST_F(PosixCommApiTest, BadSettingsAreRefused) {
    const HANDLE h = OpenConfigured(9600);
    DCB good;
    good.DCBlength = 28;
    good.BaudRate = 9600;
    good.Flags = DCB::fBinary;
    good.ByteSize = 8;
    good.XonChar = 0x11;
    good.XoffChar = 0x13;
    struct Case {
        const char* what;
        void (*change)(DCB&);
    };
    const Case cases[] = {
        {"byte size 9", [](DCB& d) { d.ByteSize = 9; }},
        {"byte size 4", [](DCB& d) { d.ByteSize = 4; }},
        {"parity 5", [](DCB& d) { d.Parity = 5; }},
        {"1.5 stop bits with 8 data bits", [](DCB& d) { d.StopBits = ONE5STOPBITS; }},
        {"2 stop bits with 5 data bits", [](DCB& d) { d.StopBits = TWOSTOPBITS, d.ByteSize = 5; }},
        {"baud 0", [](DCB& d) { d.BaudRate = 0; }},
        {"negative baud", [](DCB& d) { d.BaudRate = static_cast<DWORD>(-9600); }},
        {"XON = XOFF with XON/XOFF", [](DCB& d) { d.Flags |= DCB::fOutX, d.XoffChar = 0x11; }},
        {"XonLim above the queue", [](DCB& d) { d.XonLim = 5000; }},
    };
    for (const Case& c : cases) {
        DCB dcb = good;
        c.change(dcb);
        EXPECT_FALSE(api.SetCommState(h, &dcb)) << c.what;
        EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER) << c.what;
    }
    DCB custom = good;
    custom.BaudRate = 14400;  // no standard termios speed
    EXPECT_TRUE(api.SetCommState(h, &custom));
    DCB five = good;
    five.ByteSize = 5;
    five.StopBits = ONE5STOPBITS;
    EXPECT_TRUE(api.SetCommState(h, &five)) << "five data bits, 1.5 stop bits";
    DCB space = good;
    space.Parity = SPACEPARITY;
    EXPECT_TRUE(api.SetCommState(h, &space)) << "space parity";
    DCB limits = good;
    limits.XonLim = limits.XoffLim = 4096;  // the queue's size
    EXPECT_TRUE(api.SetCommState(h, &limits)) << "limits at the queue's size";
    EXPECT_FALSE(api.SetupComm(h, static_cast<DWORD>(-2), 1024)) << "a negative size";
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(api.SetupComm(h, (1u << 20) + 1, 1024)) << "above a megabyte";
    EXPECT_FALSE(api.SetupComm(h, 1024, (1u << 20) + 1));
    EXPECT_TRUE(api.SetupComm(h, 1u << 20, 1u << 20)) << "a megabyte is allowed";
    COMMTIMEOUTS all{MAXDWORD, MAXDWORD, MAXDWORD, 0, 0};
    EXPECT_FALSE(api.SetCommTimeouts(h, &all));
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, VirtualLinesFollowDtrAndRaiseTheirEvents) {
    const HANDLE h = OpenConfigured(9600);
    DWORD status = 99;
    ASSERT_TRUE(api.GetCommModemStatus(h, &status)) << "a pty has no modem lines; they are virtual";
    EXPECT_EQ(status, 0u) << "DTR disabled: the board shows nothing";
    api.SetCommMask(h, EV_DSR | EV_CTS);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETDTR));
    EXPECT_EQ(WaitEvent(h), EV_DSR);
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status, MS_DSR_ON | MS_RLSD_ON);
    ASSERT_TRUE(api.EscapeCommFunction(h, SETRTS));
    EXPECT_EQ(WaitEvent(h), EV_CTS);

    api.SetVirtualLines("RI,CTS");
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status, MS_RING_ON | MS_CTS_ON);
    api.SetVirtualLines("none");
    api.GetCommModemStatus(h, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(api.EscapeCommFunction(h, SETBREAK));
    EXPECT_TRUE(api.EscapeCommFunction(h, CLRBREAK));
    EXPECT_FALSE(api.EscapeCommFunction(h, 77));
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, RingComesOnceWhenTheIndicatorDropsNotWhileItIsOn) {
    // The board moves RI through the virtual-lines file, from outside.
    const testsupport::TTempFolder temp("ring-lines");
    const std::string file = temp.File("lines");
    std::string error;
    ASSERT_TRUE(WriteVirtualLinesFile(file, VirtualLines{false, 0}, &error)) << error;
    ::setenv(kVirtualLinesFileVariable, file.c_str(), 1);
    const HANDLE h = OpenConfigured(9600);
    ::unsetenv(kVirtualLinesFileVariable);
    api.SetCommMask(h, EV_RING | EV_CTS);
    auto linesBecome = [&](DWORD wanted) {
        DWORD status = 0;
        return testsupport::WaitUntil([&] { return api.GetCommModemStatus(h, &status) && status == wanted; });
    };
    auto noEventFor = [&](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));  // several samples
        OVERLAPPED& ov = Record();
        DWORD mask = 0, n = 0;
        const bool pending = !api.WaitCommEvent(h, &mask, &ov);
        api.SetCommMask(h, EV_RING | EV_CTS);  // ends the wait
        api.GetOverlappedResult(h, &ov, &n, TRUE);
        return pending;
    };
    ASSERT_TRUE(WriteVirtualLinesFile(file, VirtualLines{false, MS_RING_ON}, &error)) << error;
    ASSERT_TRUE(linesBecome(MS_RING_ON));
    EXPECT_TRUE(noEventFor(50)) << "no ring while the indicator is on";
    ASSERT_TRUE(WriteVirtualLinesFile(file, VirtualLines{false, MS_CTS_ON}, &error)) << error;
    EXPECT_EQ(WaitEvent(h), EV_RING | EV_CTS) << "the ring ends as RI drops";
    EXPECT_TRUE(noEventFor(50)) << "one ring, not repeated";
    ASSERT_TRUE(WriteVirtualLinesFile(file, VirtualLines{false, 0}, &error)) << error;
    EXPECT_EQ(WaitEvent(h), EV_CTS) << "only CTS moved";
    api.CloseHandle(h);
}

TEST_F(PosixCommApiTest, AVanishedDeviceFailsItsOperationsButStillCloses) {
    const HANDLE h = OpenConfigured(9600, DCB::fBinary | (DTR_CONTROL_ENABLE << DCB::fDtrControlShift));
    ASSERT_TRUE(pty.Send("xyz"));  // left unread in the queue
    COMSTAT queued;
    DWORD queuedErrors = 0;
    testsupport::WaitUntil([&] { return api.ClearCommError(h, &queuedErrors, &queued) && queued.cbInQue >= 3; });
    api.SetCommMask(h, EV_DSR | EV_RXCHAR);
    OVERLAPPED& ov = Record();
    DWORD mask = 0, n = 0;
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &ov));
    pty.Close();  // the adapter is pulled out
    ASSERT_EQ(api.WaitForSingleObject(ov.hEvent, kBounded), WAIT_OBJECT_0);
    EXPECT_TRUE(api.GetOverlappedResult(h, &ov, &n, FALSE));
    EXPECT_EQ(mask, EV_DSR) << "DSR went off with the device";
    DWORD status = 99;
    EXPECT_TRUE(api.GetCommModemStatus(h, &status)) << "a lost device shows its lines off";
    EXPECT_EQ(status, 0u);
    COMSTAT stat;
    DWORD errors = 0;
    EXPECT_TRUE(api.ClearCommError(h, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 0u) << "the input went with the device";
    OVERLAPPED& io = Record();
    char byte = 0;
    DWORD n2 = 0;
    EXPECT_FALSE(api.ReadFile(h, &byte, 1, &n2, &io));
    EXPECT_EQ(api.GetLastError(), ERROR_GEN_FAILURE);
    EXPECT_FALSE(api.WriteFile(h, "x", 1, &n2, &io));
    EXPECT_EQ(api.GetLastError(), ERROR_GEN_FAILURE);
    // The driver thread no longer polls the dead terminal: the process stays
    // nearly idle while this thread sleeps.
    timespec before{}, after{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    const double cpuMs = (after.tv_sec - before.tv_sec) * 1e3 + (after.tv_nsec - before.tv_nsec) / 1e6;
    EXPECT_LT(cpuMs, 100.0) << "the driver thread spins";
    EXPECT_FALSE(api.WaitCommEvent(h, &mask, &ov));
    EXPECT_EQ(api.GetLastError(), ERROR_GEN_FAILURE);
    EXPECT_EQ(api.WaitForSingleObject(ov.hEvent, 0), WAIT_TIMEOUT)
        << "a failed wait leaves its event clear, so a waiting loop does not spin";
    EXPECT_TRUE(api.PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT)) << "so the port can close";
    EXPECT_TRUE(api.CloseHandle(h));
}

TEST_F(PosixCommApiTest, EnumPortsListsMappedDevicesThatExist) {
    api.SetPortMap(ComPortMap{{12, pty.SlavePath()}, {5, pty.SlavePath()}, {6, "/nonexistent"}});
    DWORD needed = 0, count = 0;
    EXPECT_FALSE(api.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(api.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(needed, 'x');  // no zero left to end a name by chance
    ASSERT_TRUE(api.EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count));
    ASSERT_EQ(count, 2u);
    auto* info = reinterpret_cast<PORT_INFO_1*>(buffer.data());
    EXPECT_STREQ(info[0].pName, "COM5:");
    EXPECT_STREQ(info[1].pName, "COM12:");

    api.SetPortMap(ComPortMap{});
    EXPECT_TRUE(api.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count)) << "no ports: success";
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(needed, 0u);
}

TEST(PosixCommApiEnvironment, AMalformedMapIsAnInvalidParameter) {
    ::setenv("VANTREL_COMPORTS", "COM1=relative/path", 1);
    PosixCommApi api;
    DWORD needed = 0, count = 0;
    EXPECT_FALSE(api.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(api.CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, 0),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(api.GetLastError(), ERROR_INVALID_PARAMETER);
    ::unsetenv("VANTREL_COMPORTS");
}

TEST(PosixCommApiEnvironment, VirtualLinesComeFromAFileReadWhileOpen) {
    Pty pty;
    const testsupport::TTempFolder temp("pty-lines");
    const std::string file = temp.File("lines");
    testsupport::WriteFileBytes(file, "CTS\n");
    ::setenv("VANTREL_PTY_LINES_FILE", file.c_str(), 1);
    {
        PosixCommApi api;
        api.SetPortMap(ComPortMap{{1, pty.SlavePath()}});
        const HANDLE h =
            api.CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, 0);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD status = 0;
        api.GetCommModemStatus(h, &status);
        EXPECT_EQ(status, MS_CTS_ON);
        testsupport::WriteFileBytes(file, "DSR,RI\n");  // another process plays the board
        testsupport::WaitUntil(
            [&] { return api.GetCommModemStatus(h, &status) && status == (MS_DSR_ON | MS_RING_ON); });
        EXPECT_EQ(status, MS_DSR_ON | MS_RING_ON);
        api.CloseHandle(h);
    }
    ::unsetenv("VANTREL_PTY_LINES_FILE");
}
