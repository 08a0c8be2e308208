// The CommApi on Linux: real serial devices and pseudo-terminals through
// termios. Each open device has a driver thread that moves bytes between the
// terminal and user-space queues, paces output like a UART with a holding and
// a shift register (about two bytes ahead of the wire), completes overlapped
// operations and records line events. Devices without modem lines (ptys) get
// virtual ones: by default DSR and RLSD follow our DTR and CTS follows our
// RTS, so a program that raises DTR sees a board (VirtualLines.h). The
// driver is in PosixDevice.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/comm/ComPortMap.h"
#include "platform/comm/CommApi.h"
#include "platform/comm/EventTable.h"

namespace comm {

class PosixCommApi : public CommApi {
public:
    PosixCommApi();
    ~PosixCommApi() override;  // closes the devices still open
    PosixCommApi(const PosixCommApi&) = delete;
    PosixCommApi& operator=(const PosixCommApi&) = delete;

    // Replaces VANTREL_COMPORTS and the automatic map; nullopt goes back to them.
    void SetPortMap(std::optional<ComPortMap> map);
    // Replaces VANTREL_PTY_LINES(_FILE) for every device without modem lines;
    // nullopt goes back to them.
    void SetVirtualLines(std::optional<std::string> setting);

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

    struct Device;  // one open serial device and its driver thread

private:
    friend struct Device;
    std::shared_ptr<Device> device(HANDLE h);
    bool resolveMap(ComPortMap* map, std::string* error);
    std::optional<std::string> virtualLinesOverride();
    // Finishes an overlapped operation: mask (for a wait), count and status,
    // then the event. The record is not touched after that.
    void complete(OVERLAPPED* ov, DWORD error, DWORD count, DWORD* mask = nullptr, DWORD maskValue = 0);

    std::mutex mutex_;  // the maps and overrides
    std::map<HANDLE, std::shared_ptr<Device>> devices_;
    std::optional<ComPortMap> portMap_;
    std::optional<std::string> virtualLines_;
    std::atomic<HANDLE> nextId_{0x100};
    EventTable events_;
    std::mutex overlappedMutex_;  // every write and read of a record's status
    std::condition_variable overlappedDone_;
};

}  // namespace comm
