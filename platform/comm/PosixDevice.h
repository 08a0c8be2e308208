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
        OVERLAPPED* Overlapped = nullptr;
        std::vector<BYTE> Data;
        size_t Handed = 0;
        bool Started = false;
        bool HasDeadline = false;
        Clock::time_point Deadline;
    };
    struct PendingRead {
        OVERLAPPED* Overlapped = nullptr;
        BYTE* Buffer = nullptr;
        DWORD Wanted = 0;
        DWORD Got = 0;
        bool FirstByteOnly = false;  // MAXDWORD/MAXDWORD/C: return once anything came
        bool HasTotal = false;
        Clock::time_point Total;
        Clock::duration Interval{};  // zero: none
        Clock::time_point LastByte;
    };
    struct PendingWait {
        OVERLAPPED* Overlapped = nullptr;
        DWORD* Mask = nullptr;
    };

    Device(PosixCommApi& api, int fd, int wake, bool modemLines)
        : Api(api), Fd(fd), Wake(wake), HasModemLines(modemLines) {}

    PosixCommApi& Api;
    const int Fd;
    const int Wake;
    const bool HasModemLines;
    std::thread Driver;

    std::mutex Mutex;
    bool Stop = false;
    bool Dead = false;

    DCB Dcb;
    bool DcbSet = false;           // a SetCommState since the open
    bool DtrSetByProgram = false;  // EscapeCommFunction since the open
    bool RtsSetByProgram = false;
    COMMTIMEOUTS Timeouts;
    size_t Capacity = driver::kMinQueue;
    Clock::duration Frame = std::chrono::microseconds(1041667 / 1000);  // 9600 8N1

    std::deque<BYTE> Input;
    int MarkState = 0;  // PARMRK decoding: 0 plain, 1 after \377, 2 after \377 \0
    bool Above80 = false;
    std::optional<PendingRead> Read;

    std::deque<PendingWrite> Writes;
    bool AnyHanded = false;
    Clock::time_point LastStart;  // estimated start on the wire of the last byte handed over
    bool WaitingForRoom = false;  // the terminal refused a byte (XOFF on a pty)
    bool RtsToggleOn = false;

    DWORD Mask = 0;
    DWORD History = 0;
    std::optional<PendingWait> Wait;
    DWORD Errors = 0;

    DWORD Lines = 0;  // last sampled MS_ bits
    bool VirtualDtr = false;
    bool VirtualRts = false;
    VirtualLines VirtualMode;
    std::optional<std::string> LinesFile;
    std::optional<std::string> LinesText;
    tty::Counters Counters;
    bool HaveCounters = false;
    Clock::time_point NextSample;

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
