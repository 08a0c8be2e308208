// An in-process CommApi for tests. Every call is recorded with its arguments;
// any call can be made to fail with a given error; each port is a scripted
// device: modem lines, line errors, received data, event completions. Events
// are real, so a thread blocked in WaitForMultipleObjects wakes when a test
// raises a line event. Ports keep their state across opens, like a board that
// stays on the wire.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm/CommApi.h"
#include "platform/comm/EventTable.h"

namespace comm {

class FakeCommApi : public CommApi {
public:
    struct Call {
        std::string Name;
        std::thread::id Thread;
        HANDLE Handle = 0;        // the object called on; 0 for none
        std::vector<DWORD> Args;  // scalar arguments after the handle, in order
        std::string Text;         // CreateFileA: the file name
        std::string Data;         // WriteFile: the bytes
        DCB Dcb;                  // SetCommState
        COMMTIMEOUTS Timeouts;    // SetCommTimeouts
    };

    FakeCommApi();
    ~FakeCommApi() override;

    // --- Ports. Names are "COM1".."COM16"; CreateFileA takes "\\.\COMn" or "COMn".
    void AddPort(const std::string& port);
    // The device vanishes (an unplugged adapter): its lines go off with their
    // events; then an open handle fails its transfers, waits and settings with
    // ERROR_GEN_FAILURE and its pending operations complete so, while the modem
    // status reads all off and ClearCommError empty queues; PurgeComm and
    // CloseHandle still work. A new open fails with ERROR_FILE_NOT_FOUND.
    void Unplug(const std::string& port);
    // EnumPortsA's entries, e.g. {"COM1:", "LPT1:"}. Unset: "COMn:" for every
    // added port, ascending n.
    void SetPortList(std::vector<std::string> entries);
    bool IsOpen(const std::string& port) const;
    HANDLE OpenHandle(const std::string& port) const;  // INVALID_HANDLE_VALUE when closed

    // --- Scripting a port.
    // Sets the lines; raises EV_CTS, EV_DSR, EV_RLSD for lines that changed and
    // EV_RING when RI goes off.
    void SetModemStatus(const std::string& port, DWORD status);
    // DSR and RLSD follow DTR, as a board that answers DTR with DSR.
    void SetDsrFollowsDtr(const std::string& port, bool on);
    // Accumulates line errors (CE_ bits) for ClearCommError; raises EV_ERR.
    void AddLineErrors(const std::string& port, DWORD errors);
    // Bytes ReadFile will return, without any event.
    void QueueReadData(const std::string& port, const std::string& bytes);
    // Bytes arriving on the line: queued, EV_RXCHAR raised, and EV_RXFLAG when
    // the DCB's EvtChar is among them.
    void Receive(const std::string& port, const std::string& bytes);
    // cbInQue reported by ClearCommError whatever is queued; nullopt: the queue size.
    void SetInQueueCount(const std::string& port, std::optional<DWORD> count);
    // Raises line events: a pending WaitCommEvent completes with the masked
    // bits, or they are kept for the next wait.
    void RaiseEvents(const std::string& port, DWORD events);
    // EV_TXEMPTY is raised each time a write completes.
    void SetTxEmptyAfterWrite(const std::string& port, bool on);
    // Each write takes at most this many bytes and completes successfully with
    // that count (the write timeout ran out). nullopt: no limit.
    void SetWriteLimit(const std::string& port, std::optional<DWORD> bytes);
    // Reads and writes stay pending until ReleaseIo.
    void HoldIo(const std::string& port, bool on);
    void ReleaseIo(const std::string& port);
    // Reads and writes complete at once but report ERROR_IO_PENDING, as a busy
    // driver does.
    void SetReportPending(const std::string& port, bool on);

    // --- What the port saw.
    std::string Written(const std::string& port) const;  // every byte ever written
    bool Dtr(const std::string& port) const;
    bool Rts(const std::string& port) const;
    bool BreakOn(const std::string& port) const;
    DWORD Mask(const std::string& port) const;
    bool WaitPending(const std::string& port) const;

    // --- Recorded calls.
    std::vector<Call> Calls() const;
    std::vector<Call> Calls(const std::function<bool(const Call&)>& select) const;
    std::vector<std::string> CallNames() const;
    // Only the named calls, in order: CallNames({"SetupComm", "SetCommState"}).
    std::vector<std::string> CallNames(const std::vector<std::string>& only) const;
    int CallCount(const std::string& name) const;
    std::optional<Call> LastCall(const std::string& name) const;
    void ClearCalls();

    // --- Failures and hooks.
    // The next `times` calls of `name` fail with `error` (times < 0: all of them).
    void FailCall(const std::string& name, DWORD error, int times = 1);
    void ClearFailures();
    // Runs at the start of every call of `name`, before it is recorded and
    // outside the fake's lock, so it may call the fake.
    void SetHook(const std::string& name, std::function<void()> hook);

    // --- Clock. Sleep advances it and returns at once.
    DWORD Now() const;

    // --- CommApi
    HANDLE CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, void* lpSecurityAttributes,
                       DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) override;
    BOOL CloseHandle(HANDLE hObject) override;
    BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) override;
    BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) override;
    BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) override;
    BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) override;
    BOOL WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped) override;
    BOOL GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                             BOOL bWait) override;
    BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                  OVERLAPPED* lpOverlapped) override;
    BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite, DWORD* lpNumberOfBytesWritten,
                   OVERLAPPED* lpOverlapped) override;
    BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) override;
    BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) override;
    BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) override;
    BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc) override;
    HANDLE CreateEventA(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState, const char* lpName) override;
    BOOL SetEvent(HANDLE hEvent) override;
    BOOL ResetEvent(HANDLE hEvent) override;
    DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
    DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) override;
    BOOL EnumPortsA(const char* pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                    DWORD* pcReturned) override;
    void Sleep(DWORD dwMilliseconds) override;

private:
    struct Pending {
        enum Operation { Read, Write, Wait };
        Operation Kind = Read;
        OVERLAPPED* Overlapped = nullptr;
        void* Buffer = nullptr;  // Read
        DWORD Size = 0;          // Read: wanted; Write: bytes
        std::string Data;        // Write
        DWORD* Mask = nullptr;   // Wait
    };
    struct Port {
        bool Present = true;
        bool Unplugged = false;
        HANDLE Handle = INVALID_HANDLE_VALUE;
        DWORD Modem = 0;
        DWORD Errors = 0;
        std::optional<DWORD> InQueueCount;
        std::string Rx;
        std::string Written;
        bool Dtr = false, Rts = false, BreakOn = false;
        bool DsrFollowsDtr = false, TxEmptyAfterWrite = false, Hold = false, ReportPending = false;
        std::optional<DWORD> WriteLimit;
        DWORD Mask = 0, History = 0;
        DCB Dcb;
        bool DcbSet = false;                                    // a SetCommState since the open
        bool DtrSetByProgram = false, RtsSetByProgram = false;  // EscapeCommFunction since the open
        std::vector<Pending> Outstanding;
    };
    struct Failure {
        DWORD Error;
        int Times;
    };

    // Each call starts here: runs the hook, records, and applies a scripted
    // failure (returns true when the call must fail).
    bool enter(Call call);
    Port* portLocked(HANDLE h);
    Port& portByNameLocked(const std::string& port);
    void completeLocked(Pending& p, DWORD error, DWORD count);
    void raiseLocked(Port& port, DWORD events);
    void setModemLocked(Port& port, DWORD status);
    BOOL startIoLocked(Port& port, Pending p, DWORD* transferred);
    void serveReadLocked(Port& port, Pending& p, DWORD* count);
    DWORD serveWriteLocked(Port& port, Pending& p);
    static BOOL fail(DWORD error);

    mutable std::mutex mutex_;
    EventTable events_;
    HANDLE nextId_ = 0x100;
    std::map<std::string, Port> ports_;
    std::map<HANDLE, std::string> open_;
    std::optional<std::vector<std::string>> portList_;
    std::vector<Call> calls_;
    std::map<std::string, Failure> failures_;
    std::map<std::string, std::function<void()>> hooks_;
    DWORD now_ = 0;
};

}  // namespace comm
