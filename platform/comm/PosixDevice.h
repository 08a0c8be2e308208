// One open device of the POSIX comm layer and its driver thread: the thread
// moves bytes between the terminal and user-space queues, paces output like a
// UART, completes overlapped operations and records line events; devices
// without modem lines (ptys) get virtual ones (VirtualLines.h).
// Internal to PosixCommApi.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm/PosixCommApi.h"
#include "platform/comm/Tty.h"
#include "platform/comm/VirtualLines.h"

namespace comm {

namespace driver {

using Clock = std::chrono::steady_clock;
inline constexpr auto kTick = std::chrono::milliseconds(10);  // line sampling
inline constexpr DWORD kMaxQueue = 1u << 20;
inline constexpr size_t kMinQueue = 4096;
// Output runs at least this far ahead of the wire (a UART's FIFO), so that at
// high rates the driver wakes every few frames rather than every frame.
inline constexpr auto kMinLead = std::chrono::milliseconds(2);

// Sets the last error; returns FALSE.
BOOL fail(DWORD error);
// A Win32 error for an errno; at open a missing or hung-up device is "not found".
DWORD errnoToWin(int err, bool atOpen);

}  // namespace driver

struct PosixCommApi::Device {
    using Clock = driver::Clock;

    struct PendingWrite {
        OVERLAPPED* ov = nullptr;
        std::vector<BYTE> data;
        size_t handed = 0;
        bool started = false;
        bool hasDeadline = false;
        Clock::time_point deadline;
    };
    struct PendingRead {
        OVERLAPPED* ov = nullptr;
        BYTE* buffer = nullptr;
        DWORD wanted = 0;
        DWORD got = 0;
        bool firstByteOnly = false;  // MAXDWORD/MAXDWORD/C: return once anything came
        bool hasTotal = false;
        Clock::time_point total;
        Clock::duration interval{};  // zero: none
        Clock::time_point lastByte;
    };
    struct PendingWait {
        OVERLAPPED* ov = nullptr;
        DWORD* mask = nullptr;
    };

    Device(PosixCommApi& api, int fd, int wake, bool modemLines)
        : api(api), fd(fd), wake(wake), hasModemLines(modemLines) {}

    PosixCommApi& api;
    const int fd;
    const int wake;
    const bool hasModemLines;
    std::thread driver;

    std::mutex m;
    bool stop = false;
    bool dead = false;

    DCB dcb;
    bool dcbSet = false;           // a SetCommState since the open
    bool dtrSetByProgram = false;  // EscapeCommFunction since the open
    bool rtsSetByProgram = false;
    COMMTIMEOUTS timeouts;
    size_t capacity = driver::kMinQueue;
    Clock::duration frame = std::chrono::microseconds(1041667 / 1000);  // 9600 8N1

    std::deque<BYTE> in;
    int markState = 0;  // PARMRK decoding: 0 plain, 1 after \377, 2 after \377 \0
    bool above80 = false;
    std::optional<PendingRead> read;

    std::deque<PendingWrite> writes;
    bool anyHanded = false;
    Clock::time_point lastStart;  // estimated start on the wire of the last byte handed over
    bool waitingForRoom = false;  // the terminal refused a byte (XOFF on a pty)
    bool rtsToggleOn = false;

    DWORD mask = 0;
    DWORD history = 0;
    std::optional<PendingWait> wait;
    DWORD errors = 0;

    DWORD lines = 0;  // last sampled MS_ bits
    bool virtualDtr = false;
    bool virtualRts = false;
    VirtualLines virtualMode;
    std::optional<std::string> linesFile;
    std::optional<std::string> linesText;
    tty::Counters counters;
    bool haveCounters = false;
    Clock::time_point nextSample;

    // --- everything below runs with m held

    void raise(DWORD events);
    void addErrors(DWORD bits);
    DWORD virtualLines() const;
    // Reads the input lines now; false with errno when the device failed.
    bool currentLines(DWORD* status);
    void linesChanged(DWORD now);
    // The environment is read once, at open: the driver thread must not race a
    // setenv elsewhere in the program.
    void readEnvironment();
    void refreshVirtualMode();
    void sample(Clock::time_point now);
    void setRts(bool on);
    // An error mark \377 \0 c: frame or parity, told apart by the UART's counters.
    void markedError(BYTE c);
    void received(BYTE c);
    void decode(const BYTE* bytes, size_t count);
    // Input is held in the terminal while the queue is full under input flow
    // control, so the kernel sends XOFF or drops RTS instead of us losing bytes.
    bool inputThrottled() const;
    void readInput();
    void serveRead(Clock::time_point now);
    bool mayHandOver(Clock::time_point now);
    // How far ahead of the wire output may be handed over: two frames (a
    // holding and a shift register, so two bytes are in flight when an XOFF
    // comes at the programs' 1200 baud), or kMinLead at high rates.
    Clock::duration lead() const;
    void writeDone(PendingWrite& w);
    void serveWrites(Clock::time_point now);
    // The next moment the driver must look again without being woken.
    Clock::time_point nextDeadline(Clock::time_point now) const;
    void abortAll(DWORD error);
    // The device is gone (adapter unplugged, pty master closed): pending and
    // later operations fail with ERROR_GEN_FAILURE and the lines read as off.
    void hangUp();
    void run();
    void wakeDriver() const;
};

}  // namespace comm
