// The Windows serial-communication calls that the serial port component makes,
// with their Windows names, argument shapes and error codes, so the component's
// algorithms read as they would on Windows. Two implementations: PosixCommApi
// (termios, pseudo-terminals) and FakeCommApi (tests).
//
// Conventions kept from Windows:
// - calls return TRUE/FALSE (or a handle / wait result) and set the calling
//   thread's last error;
// - overlapped calls reset ov->hEvent first, then either complete at once
//   (TRUE, event set) or return FALSE with ERROR_IO_PENDING;
// - ov->Internal holds STATUS_PENDING while the operation runs and the Win32
//   error code (0 for success) once it has completed; ov->InternalHigh holds
//   the byte count;
// - handle ids are never reused: a closed handle gives ERROR_INVALID_HANDLE,
//   never another device or event.
#pragma once

#include <cstdint>

namespace comm {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using HANDLE = std::intptr_t;

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;
inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;
inline constexpr DWORD MAXDWORD = 0xFFFFFFFFu;
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;

// CreateFileA
inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000u;

// Win32 error codes
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_LEVEL = 124;
inline constexpr DWORD ERROR_OPERATION_ABORTED = 995;
inline constexpr DWORD ERROR_IO_INCOMPLETE = 996;
inline constexpr DWORD ERROR_IO_PENDING = 997;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
// Errors with no Win32 counterpart carry the errno in the low bits.
inline constexpr DWORD ERROR_FROM_ERRNO = 0x20000000u;

// ov->Internal of an operation still running.
inline constexpr std::uintptr_t STATUS_PENDING = 0x103;

// Wait results
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// Event mask bits (SetCommMask, WaitCommEvent)
inline constexpr DWORD EV_RXCHAR = 0x0001;
inline constexpr DWORD EV_RXFLAG = 0x0002;
inline constexpr DWORD EV_TXEMPTY = 0x0004;
inline constexpr DWORD EV_CTS = 0x0008;
inline constexpr DWORD EV_DSR = 0x0010;
inline constexpr DWORD EV_RLSD = 0x0020;
inline constexpr DWORD EV_BREAK = 0x0040;
inline constexpr DWORD EV_ERR = 0x0080;
inline constexpr DWORD EV_RING = 0x0100;
inline constexpr DWORD EV_RX80FULL = 0x0400;

// Line error bits (ClearCommError)
inline constexpr DWORD CE_RXOVER = 0x0001;
inline constexpr DWORD CE_OVERRUN = 0x0002;
inline constexpr DWORD CE_RXPARITY = 0x0004;
inline constexpr DWORD CE_FRAME = 0x0008;
inline constexpr DWORD CE_BREAK = 0x0010;
inline constexpr DWORD CE_TXFULL = 0x0100;
inline constexpr DWORD CE_IOE = 0x0400;
inline constexpr DWORD CE_MODE = 0x8000;

// Modem status bits (GetCommModemStatus)
inline constexpr DWORD MS_CTS_ON = 0x0010;
inline constexpr DWORD MS_DSR_ON = 0x0020;
inline constexpr DWORD MS_RING_ON = 0x0040;
inline constexpr DWORD MS_RLSD_ON = 0x0080;

// PurgeComm flags
inline constexpr DWORD PURGE_TXABORT = 0x0001;
inline constexpr DWORD PURGE_RXABORT = 0x0002;
inline constexpr DWORD PURGE_TXCLEAR = 0x0004;
inline constexpr DWORD PURGE_RXCLEAR = 0x0008;

// EscapeCommFunction functions
inline constexpr DWORD SETXOFF = 1;
inline constexpr DWORD SETXON = 2;
inline constexpr DWORD SETRTS = 3;
inline constexpr DWORD CLRRTS = 4;
inline constexpr DWORD SETDTR = 5;
inline constexpr DWORD CLRDTR = 6;
inline constexpr DWORD SETBREAK = 8;
inline constexpr DWORD CLRBREAK = 9;

// DCB values
inline constexpr BYTE NOPARITY = 0;
inline constexpr BYTE ODDPARITY = 1;
inline constexpr BYTE EVENPARITY = 2;
inline constexpr BYTE MARKPARITY = 3;
inline constexpr BYTE SPACEPARITY = 4;
inline constexpr BYTE ONESTOPBIT = 0;
inline constexpr BYTE ONE5STOPBITS = 1;
inline constexpr BYTE TWOSTOPBITS = 2;
inline constexpr DWORD DTR_CONTROL_DISABLE = 0;
inline constexpr DWORD DTR_CONTROL_ENABLE = 1;
inline constexpr DWORD DTR_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_DISABLE = 0;
inline constexpr DWORD RTS_CONTROL_ENABLE = 1;
inline constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_TOGGLE = 3;

// The device control block. The Windows bit fields are one word here, so a
// test compares the whole set at once (Flags == 0x0101).
struct DCB {
    static constexpr DWORD fBinary = 0x0001;
    static constexpr DWORD fParity = 0x0002;
    static constexpr DWORD fOutxCtsFlow = 0x0004;
    static constexpr DWORD fOutxDsrFlow = 0x0008;
    static constexpr DWORD fDtrControlMask = 0x0030;  // DTR_CONTROL_* << 4
    static constexpr int fDtrControlShift = 4;
    static constexpr DWORD fDsrSensitivity = 0x0040;
    static constexpr DWORD fTXContinueOnXoff = 0x0080;
    static constexpr DWORD fOutX = 0x0100;
    static constexpr DWORD fInX = 0x0200;
    static constexpr DWORD fErrorChar = 0x0400;
    static constexpr DWORD fNull = 0x0800;
    static constexpr DWORD fRtsControlMask = 0x3000;  // RTS_CONTROL_* << 12
    static constexpr int fRtsControlShift = 12;
    static constexpr DWORD fAbortOnError = 0x4000;

    DWORD DCBlength = 0;
    DWORD BaudRate = 0;
    DWORD Flags = 0;
    WORD wReserved = 0;
    WORD XonLim = 0;
    WORD XoffLim = 0;
    BYTE ByteSize = 0;
    BYTE Parity = 0;
    BYTE StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    WORD wReserved1 = 0;

    DWORD DtrControl() const { return (Flags & fDtrControlMask) >> fDtrControlShift; }
    DWORD RtsControl() const { return (Flags & fRtsControlMask) >> fRtsControlShift; }
    bool operator==(const DCB&) const = default;
};

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;
    bool operator==(const COMMTIMEOUTS&) const = default;
};

struct COMSTAT {
    DWORD Flags = 0;  // fCtsHold .. fTxim as bits 0..6
    DWORD cbInQue = 0;
    DWORD cbOutQue = 0;
};

// Plain, as on Windows: callers zero it (OVERLAPPED ov{} or memset).
struct OVERLAPPED {
    std::uintptr_t Internal;
    std::uintptr_t InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};

struct PORT_INFO_1 {
    char* pName;
};

class CommApi {
public:
    virtual ~CommApi() = default;

    // Devices. lpFileName is "\\.\COMn" (or plain "COMn").
    virtual HANDLE CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                               void* lpSecurityAttributes, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                               HANDLE hTemplateFile) = 0;
    virtual BOOL CloseHandle(HANDLE hObject) = 0;
    virtual BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) = 0;
    virtual BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) = 0;
    virtual BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) = 0;
    virtual BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask) = 0;
    // Overlapped: *lpEvtMask is written when the wait completes.
    virtual BOOL WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped) = 0;
    virtual BOOL GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                                     BOOL bWait) = 0;
    // Overlapped: lpBuffer must stay valid until the operation has completed.
    virtual BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                          OVERLAPPED* lpOverlapped) = 0;
    virtual BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                           DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) = 0;
    virtual BOOL PurgeComm(HANDLE hFile, DWORD dwFlags) = 0;
    virtual BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) = 0;
    virtual BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) = 0;
    virtual BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc) = 0;

    // Events and waits. Only events can be waited on.
    virtual HANDLE CreateEventA(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState, const char* lpName) = 0;
    virtual BOOL SetEvent(HANDLE hEvent) = 0;
    virtual BOOL ResetEvent(HANDLE hEvent) = 0;
    virtual DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) = 0;
    // Returns WAIT_OBJECT_0 + the lowest signalled index (bWaitAll FALSE).
    virtual DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                         DWORD dwMilliseconds) = 0;

    // Level 1 only: pPorts receives PORT_INFO_1 entries followed by their names.
    virtual BOOL EnumPortsA(const char* pName, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                            DWORD* pcReturned) = 0;

    virtual void Sleep(DWORD dwMilliseconds) = 0;

    // Per thread, shared by every CommApi of the process, as on Windows.
    static DWORD GetLastError();
    static void SetLastError(DWORD dwErrCode);
};

// The process-wide POSIX implementation (platform_comm).
CommApi& DefaultCommApi();

}  // namespace comm
