#include "platform/comm/PosixCommApi.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/comm/PortInfo.h"
#include "platform/comm/PosixDevice.h"
#include "platform/comm/Tty.h"

namespace comm {

using namespace driver;

namespace {

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

// ---------------------------------------------------------------- api

PosixCommApi::PosixCommApi() = default;

PosixCommApi::~PosixCommApi() {
    std::vector<HANDLE> open;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [h, device] : devices_) open.push_back(h);
    }
    for (HANDLE h : open) CloseHandle(h);
}

void PosixCommApi::SetPortMap(std::optional<ComPortMap> map) {
    std::lock_guard lock(mutex_);
    portMap_ = std::move(map);
}

void PosixCommApi::SetVirtualLines(std::optional<std::string> setting) {
    std::vector<std::shared_ptr<Device>> devices;
    {
        std::lock_guard lock(mutex_);
        virtualLines_ = std::move(setting);
        for (const auto& [h, device] : devices_) devices.push_back(device);
    }
    // Take effect now rather than at the next tick.
    for (const auto& d : devices) {
        std::lock_guard lock(d->Mutex);
        d->NextSample = Clock::time_point{};
        d->sample(Clock::now());
    }
}

std::optional<std::string> PosixCommApi::virtualLinesOverride() {
    std::lock_guard lock(mutex_);
    return virtualLines_;
}

std::shared_ptr<PosixCommApi::Device> PosixCommApi::device(HANDLE h) {
    std::lock_guard lock(mutex_);
    auto it = devices_.find(h);
    return it == devices_.end() ? nullptr : it->second;
}

bool PosixCommApi::resolveMap(ComPortMap* map, std::string* error) {
    {
        std::lock_guard lock(mutex_);
        if (portMap_) {
            *map = *portMap_;
            return true;
        }
    }
    return ResolveComPortMap(map, error);
}

void PosixCommApi::complete(OVERLAPPED* ov, DWORD error, DWORD count, DWORD* mask, DWORD maskValue) {
    HANDLE event = 0;
    {
        std::lock_guard lock(overlappedMutex_);
        // Copy the event first: once Internal says "done" the owner may free the record.
        event = ov->hEvent;
        if (mask) *mask = maskValue;
        ov->InternalHigh = count;
        ov->Internal = error;
    }
    overlappedDone_.notify_all();
    if (event) events_.Set(event);
}

HANDLE PosixCommApi::CreateFileA(const char* lpFileName, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
    const int n = DevicePortNumber(lpFileName ? lpFileName : "");
    if (n == 0) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    ComPortMap map;
    std::string error;
    if (!resolveMap(&map, &error)) {
        fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto it = map.find(n);
    if (it == map.end()) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(it->second.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(errnoToWin(errno, true));
        return INVALID_HANDLE_VALUE;
    }
    auto refuse = [fd](DWORD error) {
        ::close(fd);
        fail(error);
        return INVALID_HANDLE_VALUE;
    };
    if (!::isatty(fd)) return refuse(ERROR_INVALID_FUNCTION);
    // flock stops a second open even by root, which TIOCEXCL does not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return refuse(errnoToWin(errno, true));
    tty::Exclusive(fd, true);
    // Raw at once: settings may come only at the end of an update, and a cooked
    // terminal would echo and translate line ends meanwhile.
    if (!tty::MakeRaw(fd)) return refuse(errnoToWin(errno, true));
    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) return refuse(errnoToWin(errno, true));
    int bits = 0;
    const bool modemLines = tty::GetLines(fd, &bits);

    auto d = std::make_shared<Device>(*this, fd, wake, modemLines);
    {
        std::lock_guard lock(d->Mutex);
        d->readEnvironment();
        d->refreshVirtualMode();
        DWORD status = 0;
        if (d->currentLines(&status)) d->Lines = status;
        if (modemLines) d->HaveCounters = tty::GetCounters(fd, &d->Counters);
        d->NextSample = Clock::now() + kTick;
    }
    const HANDLE h = nextId_++;
    {
        std::lock_guard lock(mutex_);
        devices_[h] = d;
    }
    d->Driver = std::thread([d] { d->run(); });
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL PosixCommApi::CloseHandle(HANDLE hObject) {
    if (events_.Close(hObject)) return TRUE;
    std::shared_ptr<Device> d;
    {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(hObject);
        if (it == devices_.end()) return fail(ERROR_INVALID_HANDLE);
        d = it->second;
        devices_.erase(it);
    }
    {
        std::lock_guard lock(d->Mutex);
        d->Stop = true;
    }
    d->wakeDriver();
    if (d->Driver.joinable()) d->Driver.join();
    std::lock_guard lock(d->Mutex);
    d->abortAll(ERROR_OPERATION_ABORTED);
    if (d->Wait) {
        complete(d->Wait->Overlapped, ERROR_OPERATION_ABORTED, 0, d->Wait->Mask, 0);
        d->Wait.reset();
    }
    tty::Exclusive(d->Fd, false);
    // HUPCL drops DTR and RTS; closing releases the lock.
    ::close(d->Fd);
    ::close(d->Wake);
    return TRUE;
}

BOOL PosixCommApi::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    // Negative sizes arrive here as about 4 GB.
    if (dwInQueue > kMaxQueue || dwOutQueue > kMaxQueue) return fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(d->Mutex);
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    // The driver's input buffer never shrinks.
    d->Capacity = std::max(d->Capacity, static_cast<size_t>(dwInQueue));
    return TRUE;
}

BOOL PosixCommApi::SetCommState(HANDLE hFile, const DCB* lpDCB) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    if (!lpDCB) return fail(ERROR_INVALID_PARAMETER);
    const DCB& dcb = *lpDCB;
    std::lock_guard lock(d->Mutex);
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    const bool xonXoff = (dcb.Flags & (DCB::fOutX | DCB::fInX)) != 0;
    const bool valid = dcb.ByteSize >= 5 && dcb.ByteSize <= 8 && dcb.Parity <= SPACEPARITY &&
                       dcb.StopBits <= TWOSTOPBITS && !(dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) &&
                       !(dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) && dcb.BaudRate > 0 &&
                       dcb.BaudRate <= 0x7FFFFFFF && !(xonXoff && dcb.XonChar == dcb.XoffChar) &&
                       dcb.XonLim <= d->Capacity && dcb.XoffLim <= d->Capacity;
    if (!valid) return fail(ERROR_INVALID_PARAMETER);

    tty::Settings s;
    s.BaudRate = dcb.BaudRate;
    s.DataBits = dcb.ByteSize;
    s.Parity = dcb.Parity;
    s.StopBits = dcb.StopBits;
    // Linux couples both directions of hardware flow control.
    s.HardwareFlow = (dcb.Flags & DCB::fOutxCtsFlow) || dcb.RtsControl() == RTS_CONTROL_HANDSHAKE;
    s.XonXoffOut = dcb.Flags & DCB::fOutX;
    s.XonXoffIn = dcb.Flags & DCB::fInX;
    s.XonChar = dcb.XonChar;
    s.XoffChar = dcb.XoffChar;
    if (!tty::Apply(d->Fd, s)) return fail(errnoToWin(errno, false));
    if (d->HasModemLines) {
        std::uint32_t actual = 0;
        if (tty::OutputSpeed(d->Fd, &actual) &&
            std::abs(static_cast<double>(actual) - dcb.BaudRate) > 0.03 * dcb.BaudRate)
            return fail(ERROR_INVALID_PARAMETER);
    }

    // The controls move DTR and RTS where the Windows driver would: at the
    // open's own settings (the first after the open, unless the program has
    // set the line itself by then), and later only when the control changes.
    // So a level set by EscapeCommFunction survives settings applied later.
    const bool first = !d->DcbSet;
    if (first ? !d->DtrSetByProgram : dcb.DtrControl() != d->Dcb.DtrControl()) {
        const bool on = dcb.DtrControl() != DTR_CONTROL_DISABLE;
        if (d->HasModemLines)
            tty::SetLine(d->Fd, tty::kDtr, on);
        else
            d->VirtualDtr = on;
    }
    if (first ? !d->RtsSetByProgram : dcb.RtsControl() != d->Dcb.RtsControl()) {
        const DWORD mode = dcb.RtsControl();
        d->setRts(mode == RTS_CONTROL_ENABLE || mode == RTS_CONTROL_HANDSHAKE);
        d->RtsToggleOn = false;
    }
    d->Dcb = dcb;
    d->DcbSet = true;
    const double stopBits = dcb.StopBits == ONESTOPBIT ? 1 : dcb.StopBits == ONE5STOPBITS ? 1.5 : 2;
    const double bits = 1 + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1 : 0) + stopBits;
    d->Frame = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(bits / dcb.BaudRate));
    if (!d->HasModemLines) {
        DWORD status = 0;
        d->currentLines(&status);
        d->linesChanged(status);
    }
    d->wakeDriver();
    return TRUE;
}

BOOL PosixCommApi::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    if (!lpCommTimeouts) return fail(ERROR_INVALID_PARAMETER);
    const COMMTIMEOUTS& t = *lpCommTimeouts;
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
        t.ReadTotalTimeoutConstant == MAXDWORD)
        return fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(d->Mutex);
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    d->Timeouts = t;
    return TRUE;
}

BOOL PosixCommApi::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    std::lock_guard lock(d->Mutex);
    d->Mask = dwEvtMask;
    d->History = 0;
    // A pending wait ends with an empty mask; this also works on a dead device,
    // so an event thread can always be stopped.
    if (d->Wait) {
        complete(d->Wait->Overlapped, ERROR_SUCCESS, sizeof(DWORD), d->Wait->Mask, 0);
        d->Wait.reset();
    }
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    return TRUE;
}

BOOL PosixCommApi::WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped) {
    if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    if (!lpEvtMask || !lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(d->Mutex);
    if (d->Wait) return fail(ERROR_INVALID_PARAMETER);
    if (d->History & d->Mask) {
        const DWORD events = d->History & d->Mask;
        d->History = 0;
        complete(lpOverlapped, ERROR_SUCCESS, sizeof(DWORD), lpEvtMask, events);
        return TRUE;
    }
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    {
        std::lock_guard ovLock(overlappedMutex_);
        lpOverlapped->Internal = STATUS_PENDING;
        lpOverlapped->InternalHigh = 0;
    }
    d->Wait = Device::PendingWait{lpOverlapped, lpEvtMask};
    return fail(ERROR_IO_PENDING);
}

BOOL PosixCommApi::GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                                       BOOL bWait) {
    if (!lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    std::unique_lock lock(overlappedMutex_);
    while (lpOverlapped->Internal == STATUS_PENDING) {
        if (!bWait) return fail(ERROR_IO_INCOMPLETE);
        // A closed device has completed all its operations; anything still
        // pending under a stale handle would never end.
        lock.unlock();
        const bool live = device(hFile) != nullptr;
        lock.lock();
        if (!live && lpOverlapped->Internal == STATUS_PENDING) return fail(ERROR_INVALID_HANDLE);
        overlappedDone_.wait_for(lock, std::chrono::milliseconds(50));
    }
    if (lpNumberOfBytesTransferred) *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
    if (lpOverlapped->Internal != ERROR_SUCCESS) return fail(static_cast<DWORD>(lpOverlapped->Internal));
    return TRUE;
}

BOOL PosixCommApi::ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                            OVERLAPPED* lpOverlapped) {
    if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    if (!lpOverlapped || (!lpBuffer && nNumberOfBytesToRead > 0)) return fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(d->Mutex);
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    if (d->Read) return fail(ERROR_INVALID_PARAMETER);
    const COMMTIMEOUTS& t = d->Timeouts;
    const auto now = Clock::now();
    Device::PendingRead r;
    r.Overlapped = lpOverlapped;
    r.Buffer = static_cast<BYTE*>(lpBuffer);
    r.Wanted = nNumberOfBytesToRead;
    const bool immediate =
        t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    r.FirstByteOnly =
        t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD && t.ReadTotalTimeoutConstant > 0;
    if (r.FirstByteOnly) {
        r.HasTotal = true;
        r.Total = now + std::chrono::milliseconds(t.ReadTotalTimeoutConstant);
    } else if (!immediate) {
        const std::uint64_t ms =
            std::uint64_t{t.ReadTotalTimeoutMultiplier} * nNumberOfBytesToRead + t.ReadTotalTimeoutConstant;
        r.HasTotal = ms > 0;
        r.Total = now + std::chrono::milliseconds(ms);
        if (t.ReadIntervalTimeout != MAXDWORD && t.ReadIntervalTimeout > 0)
            r.Interval = std::chrono::milliseconds(t.ReadIntervalTimeout);
    }
    {
        std::lock_guard ovLock(overlappedMutex_);
        lpOverlapped->Internal = STATUS_PENDING;
        lpOverlapped->InternalHigh = 0;
    }
    if (immediate) {  // MAXDWORD/0/0: whatever has arrived, at once
        r.HasTotal = true;
        r.Total = now;
    }
    d->Read = r;
    d->serveRead(now);
    if (!d->Read) {
        if (lpNumberOfBytesRead) *lpNumberOfBytesRead = static_cast<DWORD>(lpOverlapped->InternalHigh);
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    d->wakeDriver();
    return fail(ERROR_IO_PENDING);
}

BOOL PosixCommApi::WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                             DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) {
    if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    if (!lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite > 0)) return fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(d->Mutex);
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    Device::PendingWrite w;
    w.Overlapped = lpOverlapped;
    const BYTE* bytes = static_cast<const BYTE*>(lpBuffer);
    w.Data.assign(bytes, bytes + nNumberOfBytesToWrite);
    {
        std::lock_guard ovLock(overlappedMutex_);
        lpOverlapped->Internal = STATUS_PENDING;
        lpOverlapped->InternalHigh = 0;
    }
    d->Writes.push_back(std::move(w));
    d->wakeDriver();
    return fail(ERROR_IO_PENDING);
}

BOOL PosixCommApi::PurgeComm(HANDLE hFile, DWORD dwFlags) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    std::unique_lock lock(d->Mutex);
    if (dwFlags & PURGE_RXABORT && d->Read) {
        complete(d->Read->Overlapped, ERROR_OPERATION_ABORTED, d->Read->Got);
        d->Read.reset();
    }
    if (dwFlags & PURGE_TXABORT) {
        for (auto& w : d->Writes) complete(w.Overlapped, ERROR_OPERATION_ABORTED, static_cast<DWORD>(w.Handed));
        d->Writes.clear();
    }
    if (dwFlags & PURGE_TXCLEAR) {
        for (auto& w : d->Writes) w.Data.resize(w.Handed);
    }
    if (dwFlags & PURGE_RXCLEAR) {
        d->Input.clear();
        d->Above80 = false;
        d->MarkState = 0;
        if (!d->Dead) tty::FlushInput(d->Fd);
    }
    // A lost device has nothing left to purge; Close must still work.
    if (d->Dead) return TRUE;
    if ((dwFlags & (PURGE_TXABORT | PURGE_TXCLEAR)) && d->AnyHanded) {
        // Bytes already in the UART still go out: wait for their estimated end
        // (at most two frames and a little), then drop what the kernel holds.
        const auto limit = Clock::now() + 2 * d->Frame + std::chrono::milliseconds(50);
        for (;;) {
            int queued = 0;
            tty::OutputQueue(d->Fd, &queued);
            const auto now = Clock::now();
            if ((queued == 0 && now >= d->LastStart + d->Frame) || now >= limit) break;
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            lock.lock();
        }
        // On a pty the kernel's buffer is the far end's receive buffer: leave it.
        if (d->HasModemLines) tty::FlushOutput(d->Fd);
    }
    d->wakeDriver();
    return TRUE;
}

BOOL PosixCommApi::ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    std::lock_guard lock(d->Mutex);
    // A lost device answers with empty queues, so a handler that looks at the
    // input between the line events of the hang-up does not end the event
    // thread before those events are delivered.
    if (lpErrors) *lpErrors = d->Errors;
    d->Errors = 0;
    if (lpStat) {
        *lpStat = COMSTAT{};
        lpStat->cbInQue = static_cast<DWORD>(d->Input.size());
        for (const auto& w : d->Writes) lpStat->cbOutQue += static_cast<DWORD>(w.Data.size() - w.Handed);
    }
    return TRUE;
}

BOOL PosixCommApi::GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    if (!lpModemStat) return fail(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(d->Mutex);
    // A lost device shows every line off, as its last line events said.
    if (d->Dead) {
        *lpModemStat = 0;
        return TRUE;
    }
    if (!d->currentLines(lpModemStat)) return fail(errnoToWin(errno, false));
    return TRUE;
}

BOOL PosixCommApi::EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    auto d = device(hFile);
    if (!d) return fail(ERROR_INVALID_HANDLE);
    std::lock_guard lock(d->Mutex);
    if (d->Dead) return fail(ERROR_GEN_FAILURE);
    bool ok = true;
    switch (dwFunc) {
        case SETDTR:
        case CLRDTR:
            d->DtrSetByProgram = true;
            if (d->HasModemLines)
                ok = tty::SetLine(d->Fd, tty::kDtr, dwFunc == SETDTR);
            else
                d->VirtualDtr = dwFunc == SETDTR;
            break;
        case SETRTS:
        case CLRRTS:
            d->RtsSetByProgram = true;
            if (d->HasModemLines)
                ok = tty::SetLine(d->Fd, tty::kRts, dwFunc == SETRTS);
            else
                d->VirtualRts = dwFunc == SETRTS;
            break;
        case SETBREAK:
        case CLRBREAK: ok = tty::Break(d->Fd, dwFunc == SETBREAK); break;
        case SETXOFF:
        case SETXON: ok = tty::SuspendOutput(d->Fd, dwFunc == SETXOFF); break;
        default: return fail(ERROR_INVALID_PARAMETER);
    }
    if (!ok) return fail(errnoToWin(errno, false));
    if (!d->HasModemLines) {
        // Looped lines answer at once, as a wire would.
        DWORD status = 0;
        d->currentLines(&status);
        d->linesChanged(status);
    }
    return TRUE;
}

HANDLE PosixCommApi::CreateEventA(void*, BOOL bManualReset, BOOL bInitialState, const char*) {
    const HANDLE h = nextId_++;
    events_.Create(h, bManualReset != FALSE, bInitialState != FALSE);
    return h;
}

BOOL PosixCommApi::SetEvent(HANDLE hEvent) { return events_.Set(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE); }

BOOL PosixCommApi::ResetEvent(HANDLE hEvent) { return events_.Reset(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE); }

DWORD PosixCommApi::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD PosixCommApi::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
    DWORD error = 0;
    const DWORD r = events_.Wait(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds, &error);
    if (r == WAIT_FAILED) SetLastError(error);
    return r;
}

BOOL PosixCommApi::EnumPortsA(const char*, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                              DWORD* pcReturned) {
    ComPortMap map;
    std::string error;
    if (!resolveMap(&map, &error)) return fail(ERROR_INVALID_PARAMETER);
    std::vector<std::string> names;
    for (const auto& [n, path] : map)
        if (pathExists(path)) names.push_back(ComPortName(n) + ":");
    return WritePortInfo1(names, Level, pPorts, cbBuf, pcbNeeded, pcReturned) ? TRUE : FALSE;
}

void PosixCommApi::Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

CommApi& DefaultCommApi() {
    // Never destroyed: ports may still be closing while the program exits.
    static PosixCommApi* api = new PosixCommApi;
    return *api;
}

}  // namespace comm
