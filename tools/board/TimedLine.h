// The stand-in board on a simulated serial line, in process: a CommApi that
// the serial port component (and so Vantrel and Tolvex) runs on, beside the
// scripted fake, with every byte timed on a simulated clock.
//
// Host side, as a Windows serial driver and a 16450-style UART have it:
//   driver queue (the bytes of pending writes) -> holding register -> shift
//   register -> the line (10 bits a frame: 8.33 ms at 1200 baud).
// A received XOFF (with output XON/XOFF on) stops bytes between the queue and
// the holding register; what is in the UART still goes out. A write completes,
// and EV_TXEMPTY is raised, when the queue has emptied into the UART; so a
// host that writes a byte per transmit-empty keeps two bytes in flight, and
// when the board's XOFF arrives those are the talker's two fillers.
// The other model, ByteFullyLeft, completes writes and raises EV_TXEMPTY only
// when the byte has left the shift register: a host so built holds the second
// filler back and the talker waits for it for ever (the tests show it).
// Write timeouts are the port's COMMTIMEOUTS; a write that runs out completes
// with the count that reached the UART.
//
// Board side: the chip's one-byte receive register (a byte completes in the
// middle of its stop bit, 9.5 bits after its start) and its transmit data
// and shift registers.
//
// Time moves only when the host waits: a blocking wait on a read or write
// completes by running the simulation forward (nothing else of the host runs
// meanwhile, as with a GUI thread blocked in a write); an idle host is moved
// on by RunUntil, which lets the port's event thread hand every event over
// and settle before each step, so what happens at a simulated instant does
// not depend on how the threads were scheduled.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/comm/CommApi.h"
#include "platform/comm/EventTable.h"
#include "tools/board/Board.h"

namespace board {

enum class TxEmptyModel { QueueEmptiedIntoUart, ByteFullyLeft };

class TimedCommApi : public comm::CommApi {
public:
    // The board on `port` ("COM2"). The board must outlive this object.
    explicit TimedCommApi(Board& board, std::string port = "COM2");
    ~TimedCommApi() override;

    void SetTxEmptyModel(TxEmptyModel model);
    // What the host's GUI thread does between steps of RunUntil: serve the
    // port's hand-overs (and Qt's events, where there is an application).
    void SetServe(std::function<void()> serve);

    Nanos Now() const;
    // Runs the simulation, letting the host settle before each step, until
    // done() holds or `limit` of simulated time has passed; returns done().
    bool RunUntil(const std::function<bool()>& done, Nanos limit);
    void RunFor(Nanos duration);

    // The board is pulled off the line: its lines drop, transfers and waits of
    // an open port fail, a new open fails.
    void Unplug();
    // The board is back on the line (for the next open).
    void PlugIn();
    // Runs `action` (which may Unplug) when the wire has carried `count` bytes.
    void WhenWireReaches(size_t count, std::function<void()> action);
    // The driver's output stops (a stuck line): writes run into their timeout.
    void HoldOutput(bool on);

    // Every byte the host put on the line (into its shift register), in order.
    std::string Wire() const;
    // Every byte the host's receiver got, XON and XOFF included, and when.
    std::string HostReceived() const;
    std::vector<Nanos> HostReceivedTimes() const;
    // Simulated time at which each wire byte started.
    std::vector<Nanos> WireTimes() const;
    int WriteTimeouts() const;
    bool IsOpen() const;

    // --- CommApi
    comm::HANDLE CreateFileA(const char* lpFileName, comm::DWORD dwDesiredAccess, comm::DWORD dwShareMode,
                             void* lpSecurityAttributes, comm::DWORD dwCreationDisposition,
                             comm::DWORD dwFlagsAndAttributes, comm::HANDLE hTemplateFile) override;
    comm::BOOL CloseHandle(comm::HANDLE hObject) override;
    comm::BOOL SetupComm(comm::HANDLE hFile, comm::DWORD dwInQueue, comm::DWORD dwOutQueue) override;
    comm::BOOL SetCommState(comm::HANDLE hFile, const comm::DCB* lpDCB) override;
    comm::BOOL SetCommTimeouts(comm::HANDLE hFile, const comm::COMMTIMEOUTS* lpCommTimeouts) override;
    comm::BOOL SetCommMask(comm::HANDLE hFile, comm::DWORD dwEvtMask) override;
    comm::BOOL WaitCommEvent(comm::HANDLE hFile, comm::DWORD* lpEvtMask, comm::OVERLAPPED* lpOverlapped) override;
    comm::BOOL GetOverlappedResult(comm::HANDLE hFile, comm::OVERLAPPED* lpOverlapped,
                                   comm::DWORD* lpNumberOfBytesTransferred, comm::BOOL bWait) override;
    comm::BOOL ReadFile(comm::HANDLE hFile, void* lpBuffer, comm::DWORD nNumberOfBytesToRead,
                        comm::DWORD* lpNumberOfBytesRead, comm::OVERLAPPED* lpOverlapped) override;
    comm::BOOL WriteFile(comm::HANDLE hFile, const void* lpBuffer, comm::DWORD nNumberOfBytesToWrite,
                         comm::DWORD* lpNumberOfBytesWritten, comm::OVERLAPPED* lpOverlapped) override;
    comm::BOOL PurgeComm(comm::HANDLE hFile, comm::DWORD dwFlags) override;
    comm::BOOL ClearCommError(comm::HANDLE hFile, comm::DWORD* lpErrors, comm::COMSTAT* lpStat) override;
    comm::BOOL GetCommModemStatus(comm::HANDLE hFile, comm::DWORD* lpModemStat) override;
    comm::BOOL EscapeCommFunction(comm::HANDLE hFile, comm::DWORD dwFunc) override;
    comm::HANDLE CreateEventA(void* lpEventAttributes, comm::BOOL bManualReset, comm::BOOL bInitialState,
                              const char* lpName) override;
    comm::BOOL SetEvent(comm::HANDLE hEvent) override;
    comm::BOOL ResetEvent(comm::HANDLE hEvent) override;
    comm::DWORD WaitForSingleObject(comm::HANDLE hHandle, comm::DWORD dwMilliseconds) override;
    comm::DWORD WaitForMultipleObjects(comm::DWORD nCount, const comm::HANDLE* lpHandles, comm::BOOL bWaitAll,
                                       comm::DWORD dwMilliseconds) override;
    comm::BOOL EnumPortsA(const char* pName, comm::DWORD Level, comm::BYTE* pPorts, comm::DWORD cbBuf,
                          comm::DWORD* pcbNeeded, comm::DWORD* pcReturned) override;
    void Sleep(comm::DWORD dwMilliseconds) override;

private:
    struct Write {
        int Id;
        comm::OVERLAPPED* Overlapped;
        std::string Data;
        size_t Taken = 0;  // bytes moved into the UART
        size_t Sent = 0;   // bytes that have fully left
        std::optional<Nanos> Deadline;
    };
    struct InFlight {
        uint8_t Byte;
        int Write;
    };
    struct Scheduled {
        std::function<void()> Action;
    };

    bool portLocked(comm::HANDLE h) const { return open_ && h == handle_; }
    Nanos frameLocked() const;
    void scheduleLocked(Nanos at, std::function<void()> action);
    bool stepLocked(std::optional<Nanos> until);
    void pumpHostLocked();
    void hostShiftDoneLocked();
    void boardTransmitLocked(uint8_t byte);
    void boardShiftDoneLocked();
    void hostReceiveLocked(uint8_t byte);
    void wakeBoardLocked();
    void completeWriteLocked(size_t index, comm::DWORD error, comm::DWORD count);
    void completeLocked(comm::OVERLAPPED* ov, comm::DWORD error, comm::DWORD count);
    void raiseLocked(comm::DWORD events);
    void updateLinesLocked();
    bool hostQuiet() const;
    void settle();
    comm::DWORD waitSimulating(comm::DWORD count, const comm::HANDLE* handles, bool waitAll, comm::DWORD ms);

    Board& board_;
    const std::string port_;
    mutable std::recursive_mutex mutex_;
    comm::EventTable events_;
    std::function<void()> serve_;
    TxEmptyModel model_ = TxEmptyModel::QueueEmptiedIntoUart;
    Nanos now_ = 0;
    uint64_t sequence_ = 0;
    std::map<std::pair<Nanos, uint64_t>, Scheduled> queue_;
    std::optional<Nanos> boardWake_;
    comm::HANDLE nextId_ = 0x100;

    // The device
    bool present_ = true;
    bool unplugged_ = false;  // pulled while open
    bool open_ = false;
    comm::HANDLE handle_ = comm::INVALID_HANDLE_VALUE;
    comm::DCB dcb_;
    bool dcbSet_ = false;
    bool dtrSetByProgram_ = false;
    comm::COMMTIMEOUTS timeouts_;
    comm::DWORD inQueueSize_ = 4096;
    bool dtr_ = false;
    comm::DWORD modem_ = 0;
    comm::DWORD mask_ = 0, history_ = 0;
    comm::DWORD errors_ = 0;
    std::optional<comm::OVERLAPPED*> waitOv_;
    comm::DWORD* waitMask_ = nullptr;
    std::vector<Write> writes_;
    int nextWrite_ = 1;
    std::set<comm::HANDLE> ioEvents_;
    std::string rx_;

    // The host's UART
    std::optional<InFlight> holding_, shift_;
    bool xoff_ = false;
    bool held_ = false;
    // The board's UART
    std::optional<uint8_t> boardTdr_;
    bool boardShiftBusy_ = false;

    std::string wire_;
    std::map<size_t, std::function<void()>> wireActions_;
    std::vector<Nanos> wireTimes_;
    std::string hostReceived_;
    std::vector<Nanos> hostReceivedTimes_;
    int writeTimeouts_ = 0;
};

}  // namespace board
