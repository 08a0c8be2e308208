#include "platform/comm/FakeCommApi.h"

#include "platform/comm/ComPortMap.h"
#include "platform/comm/PortInfo.h"

#include <algorithm>
#include <cstring>

namespace comm {

namespace {

// The fake takes every port the system could name, up to COM255.
int portNumber(const std::string& name) { return ComPortNumber(name, 255); }

FakeCommApi::Call makeCall(std::string name, HANDLE handle = 0, std::vector<DWORD> args = {}) {
    FakeCommApi::Call call;
    call.name = std::move(name);
    call.handle = handle;
    call.args = std::move(args);
    return call;
}

constexpr DWORD kSignalEvents[][2] = {{MS_CTS_ON, EV_CTS}, {MS_DSR_ON, EV_DSR}, {MS_RLSD_ON, EV_RLSD}};

}  // namespace

FakeCommApi::FakeCommApi() = default;

FakeCommApi::~FakeCommApi() = default;

// ---------------------------------------------------------------- scripting

void FakeCommApi::AddPort(const std::string& port) {
    std::lock_guard lock(mutex_);
    Port& p = ports_[port];
    p.present = true;
    p.unplugged = false;
}

void FakeCommApi::Unplug(const std::string& port) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.present = false;
    if (p.handle == INVALID_HANDLE_VALUE) return;
    // The lines fall with the device; their events reach a waiting thread.
    setModemLocked(p, 0);
    p.unplugged = true;
    p.rx.clear();
    for (Pending& pending : p.pending) completeLocked(pending, ERROR_GEN_FAILURE, 0);
    p.pending.clear();
}

void FakeCommApi::SetPortList(std::vector<std::string> entries) {
    std::lock_guard lock(mutex_);
    portList_ = std::move(entries);
}

bool FakeCommApi::IsOpen(const std::string& port) const { return OpenHandle(port) != INVALID_HANDLE_VALUE; }

HANDLE FakeCommApi::OpenHandle(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it == ports_.end() ? INVALID_HANDLE_VALUE : it->second.handle;
}

void FakeCommApi::SetModemStatus(const std::string& port, DWORD status) {
    std::lock_guard lock(mutex_);
    setModemLocked(portByNameLocked(port), status);
}

void FakeCommApi::setModemLocked(Port& port, DWORD status) {
    DWORD events = 0;
    for (const auto& [line, event] : kSignalEvents)
        if ((port.modem ^ status) & line) events |= event;
    if ((port.modem & MS_RING_ON) && !(status & MS_RING_ON)) events |= EV_RING;
    port.modem = status;
    raiseLocked(port, events);
}

void FakeCommApi::SetDsrFollowsDtr(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.dsrFollowsDtr = on;
    if (on) {
        DWORD lines = p.dtr ? (MS_DSR_ON | MS_RLSD_ON) : 0;
        setModemLocked(p, (p.modem & ~(MS_DSR_ON | MS_RLSD_ON)) | lines);
    }
}

void FakeCommApi::AddLineErrors(const std::string& port, DWORD errors) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.errors |= errors;
    raiseLocked(p, EV_ERR);
}

void FakeCommApi::QueueReadData(const std::string& port, const std::string& bytes) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.rx += bytes;
}

void FakeCommApi::Receive(const std::string& port, const std::string& bytes) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.rx += bytes;
    DWORD events = bytes.empty() ? 0 : EV_RXCHAR;
    if (bytes.find(p.dcb.EvtChar) != std::string::npos) events |= EV_RXFLAG;
    raiseLocked(p, events);
}

void FakeCommApi::SetInQueueCount(const std::string& port, std::optional<DWORD> count) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).inQueueCount = count;
}

void FakeCommApi::RaiseEvents(const std::string& port, DWORD events) {
    std::lock_guard lock(mutex_);
    raiseLocked(portByNameLocked(port), events);
}

void FakeCommApi::SetTxEmptyAfterWrite(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).txEmptyAfterWrite = on;
}

void FakeCommApi::SetWriteLimit(const std::string& port, std::optional<DWORD> bytes) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).writeLimit = bytes;
}

void FakeCommApi::HoldIo(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).hold = on;
}

void FakeCommApi::ReleaseIo(const std::string& port) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.hold = false;
    std::vector<Pending> keep;
    for (Pending& pending : p.pending) {
        if (pending.kind == Pending::Read) {
            DWORD count = 0;
            serveReadLocked(p, pending, &count);
            completeLocked(pending, ERROR_SUCCESS, count);
        } else if (pending.kind == Pending::Write) {
            completeLocked(pending, ERROR_SUCCESS, serveWriteLocked(p, pending));
        } else {
            keep.push_back(pending);
        }
    }
    p.pending = std::move(keep);
}

void FakeCommApi::SetReportPending(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).reportPending = on;
}

std::string FakeCommApi::Written(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it == ports_.end() ? std::string() : it->second.written;
}

bool FakeCommApi::Dtr(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.dtr;
}

bool FakeCommApi::Rts(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.rts;
}

bool FakeCommApi::BreakOn(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.breakOn;
}

DWORD FakeCommApi::Mask(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it == ports_.end() ? 0 : it->second.mask;
}

bool FakeCommApi::WaitPending(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return false;
    return std::any_of(it->second.pending.begin(), it->second.pending.end(),
                       [](const Pending& p) { return p.kind == Pending::Wait; });
}

// ---------------------------------------------------------------- record

std::vector<FakeCommApi::Call> FakeCommApi::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<FakeCommApi::Call> FakeCommApi::Calls(const std::function<bool(const Call&)>& select) const {
    std::vector<Call> result;
    for (Call& call : Calls())
        if (select(call)) result.push_back(std::move(call));
    return result;
}

std::vector<std::string> FakeCommApi::CallNames() const {
    std::vector<std::string> names;
    for (const Call& call : Calls()) names.push_back(call.name);
    return names;
}

std::vector<std::string> FakeCommApi::CallNames(const std::vector<std::string>& only) const {
    std::vector<std::string> names;
    for (const Call& call : Calls())
        if (std::find(only.begin(), only.end(), call.name) != only.end()) names.push_back(call.name);
    return names;
}

int FakeCommApi::CallCount(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.name == name; }));
}

std::optional<FakeCommApi::Call> FakeCommApi::LastCall(const std::string& name) const {
    std::lock_guard lock(mutex_);
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
        if (it->name == name) return *it;
    return std::nullopt;
}

void FakeCommApi::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

void FakeCommApi::FailCall(const std::string& name, DWORD error, int times) {
    std::lock_guard lock(mutex_);
    failures_[name] = Failure{error, times};
}

void FakeCommApi::ClearFailures() {
    std::lock_guard lock(mutex_);
    failures_.clear();
}

void FakeCommApi::SetHook(const std::string& name, std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    if (hook)
        hooks_[name] = std::move(hook);
    else
        hooks_.erase(name);
}

DWORD FakeCommApi::Now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

// ---------------------------------------------------------------- helpers

bool FakeCommApi::enter(Call call) {
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        auto it = hooks_.find(call.name);
        if (it != hooks_.end()) hook = it->second;
    }
    if (hook) hook();
    std::lock_guard lock(mutex_);
    call.thread = std::this_thread::get_id();
    const std::string name = call.name;
    calls_.push_back(std::move(call));
    auto it = failures_.find(name);
    if (it == failures_.end()) return false;
    const DWORD error = it->second.error;
    if (it->second.times > 0 && --it->second.times == 0) failures_.erase(it);
    SetLastError(error);
    return true;
}

BOOL FakeCommApi::fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

FakeCommApi::Port* FakeCommApi::portLocked(HANDLE h) {
    auto it = open_.find(h);
    return it == open_.end() ? nullptr : &ports_[it->second];
}

FakeCommApi::Port& FakeCommApi::portByNameLocked(const std::string& port) {
    auto it = ports_.find(port);
    if (it != ports_.end()) return it->second;
    Port& p = ports_[port];
    p.present = false;  // scripted before being added: exists only as a script
    return p;
}

void FakeCommApi::completeLocked(Pending& p, DWORD error, DWORD count) {
    // Copy the event first: once Internal says "done" the owner may free the record.
    const HANDLE event = p.ov->hEvent;
    p.ov->InternalHigh = count;
    p.ov->Internal = error;
    if (event) events_.Set(event);
}

void FakeCommApi::raiseLocked(Port& port, DWORD events) {
    const DWORD masked = events & port.mask;
    if (masked == 0 || port.handle == INVALID_HANDLE_VALUE) return;
    auto wait = std::find_if(port.pending.begin(), port.pending.end(),
                             [](const Pending& p) { return p.kind == Pending::Wait; });
    if (wait == port.pending.end()) {
        port.history |= masked;
        return;
    }
    *wait->mask = masked;
    completeLocked(*wait, ERROR_SUCCESS, sizeof(DWORD));
    port.pending.erase(wait);
}

void FakeCommApi::serveReadLocked(Port& port, Pending& p, DWORD* count) {
    *count = std::min<DWORD>(p.size, static_cast<DWORD>(port.rx.size()));
    std::memcpy(p.buffer, port.rx.data(), *count);
    port.rx.erase(0, *count);
}

DWORD FakeCommApi::serveWriteLocked(Port& port, Pending& p) {
    DWORD count = p.size;
    if (port.writeLimit) count = std::min(count, *port.writeLimit);
    port.written.append(p.data, 0, count);
    if (port.txEmptyAfterWrite) raiseLocked(port, EV_TXEMPTY);
    return count;
}

BOOL FakeCommApi::startIoLocked(Port& port, Pending p, DWORD* transferred) {
    if (p.ov == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if (p.ov->hEvent) events_.Reset(p.ov->hEvent);
    p.ov->Internal = STATUS_PENDING;
    p.ov->InternalHigh = 0;
    if (transferred) *transferred = 0;
    if (port.hold) {
        port.pending.push_back(p);
        return fail(ERROR_IO_PENDING);
    }
    DWORD count = 0;
    if (p.kind == Pending::Read)
        serveReadLocked(port, p, &count);
    else
        count = serveWriteLocked(port, p);
    completeLocked(p, ERROR_SUCCESS, count);
    if (port.reportPending) return fail(ERROR_IO_PENDING);
    if (transferred) *transferred = count;
    return TRUE;
}

// ---------------------------------------------------------------- CommApi

HANDLE FakeCommApi::CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, void*,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
    Call call = makeCall("CreateFileA");
    call.text = lpFileName ? lpFileName : "";
    call.args = {dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes};
    if (enter(call)) return INVALID_HANDLE_VALUE;
    std::lock_guard lock(mutex_);
    const std::string name = DevicePortName(lpFileName ? lpFileName : "");
    auto it = ports_.find(name);
    if (portNumber(name) == 0 || it == ports_.end() || !it->second.present) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Port& p = it->second;
    if (p.handle != INVALID_HANDLE_VALUE) {
        fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    p.handle = nextId_++;
    p.mask = p.history = 0;
    p.errors = 0;
    p.unplugged = false;
    p.dcbSet = false;
    p.dtrSetByProgram = p.rtsSetByProgram = false;
    open_[p.handle] = name;
    SetLastError(ERROR_SUCCESS);
    return p.handle;
}

BOOL FakeCommApi::CloseHandle(HANDLE hObject) {
    if (enter(makeCall("CloseHandle", hObject))) return FALSE;
    std::lock_guard lock(mutex_);
    if (events_.Close(hObject)) return TRUE;
    Port* p = portLocked(hObject);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    for (Pending& pending : p->pending) completeLocked(pending, ERROR_OPERATION_ABORTED, 0);
    p->pending.clear();
    p->handle = INVALID_HANDLE_VALUE;
    p->dtr = p->rts = p->breakOn = false;
    if (p->dsrFollowsDtr) p->modem &= ~(MS_DSR_ON | MS_RLSD_ON);
    open_.erase(hObject);
    return TRUE;
}

BOOL FakeCommApi::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    if (enter(makeCall("SetupComm", hFile, {dwInQueue, dwOutQueue}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    return TRUE;
}

BOOL FakeCommApi::SetCommState(HANDLE hFile, const DCB* lpDCB) {
    Call call = makeCall("SetCommState", hFile);
    if (lpDCB) call.dcb = *lpDCB;
    if (enter(call)) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    if (!lpDCB) return fail(ERROR_INVALID_PARAMETER);
    const DCB old = p->dcb;
    const bool first = !p->dcbSet;
    p->dcb = *lpDCB;
    p->dcbSet = true;
    // The lines follow the controls as the driver sets them: at the open's own
    // settings unless the program set the line first, later on a change.
    if (first ? !p->dtrSetByProgram : lpDCB->DtrControl() != old.DtrControl()) {
        p->dtr = lpDCB->DtrControl() != DTR_CONTROL_DISABLE;
        if (p->dsrFollowsDtr)
            setModemLocked(*p, (p->modem & ~(MS_DSR_ON | MS_RLSD_ON)) | (p->dtr ? (MS_DSR_ON | MS_RLSD_ON) : 0));
    }
    if (first ? !p->rtsSetByProgram : lpDCB->RtsControl() != old.RtsControl())
        p->rts = lpDCB->RtsControl() != RTS_CONTROL_DISABLE;
    return TRUE;
}

BOOL FakeCommApi::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
    Call call = makeCall("SetCommTimeouts", hFile);
    if (lpCommTimeouts) call.timeouts = *lpCommTimeouts;
    if (enter(call)) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    if (!lpCommTimeouts) return fail(ERROR_INVALID_PARAMETER);
    return TRUE;
}

BOOL FakeCommApi::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
    if (enter(makeCall("SetCommMask", hFile, {dwEvtMask}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    p->mask = dwEvtMask;
    p->history = 0;
    // A pending wait completes with an empty mask.
    auto wait =
        std::find_if(p->pending.begin(), p->pending.end(), [](const Pending& x) { return x.kind == Pending::Wait; });
    if (wait != p->pending.end()) {
        *wait->mask = 0;
        completeLocked(*wait, ERROR_SUCCESS, sizeof(DWORD));
        p->pending.erase(wait);
    }
    return TRUE;
}

BOOL FakeCommApi::WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped) {
    if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    if (enter(makeCall("WaitCommEvent", hFile))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!lpEvtMask || !lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    // Events kept from before an unplug are still handed out.
    if (p->unplugged && !(p->history & p->mask)) return fail(ERROR_GEN_FAILURE);
    if (std::any_of(p->pending.begin(), p->pending.end(), [](const Pending& x) { return x.kind == Pending::Wait; }))
        return fail(ERROR_INVALID_PARAMETER);
    Pending wait;
    wait.kind = Pending::Wait;
    wait.ov = lpOverlapped;
    wait.mask = lpEvtMask;
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
    if (p->history & p->mask) {
        *lpEvtMask = p->history & p->mask;
        p->history = 0;
        completeLocked(wait, ERROR_SUCCESS, sizeof(DWORD));
        return TRUE;
    }
    p->pending.push_back(wait);
    return fail(ERROR_IO_PENDING);
}

BOOL FakeCommApi::GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                                      BOOL bWait) {
    if (enter(makeCall("GetOverlappedResult", hFile, {static_cast<DWORD>(bWait)}))) return FALSE;
    if (!lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    for (;;) {
        HANDLE event = 0;
        {
            std::lock_guard lock(mutex_);
            if (lpOverlapped->Internal != STATUS_PENDING) {
                if (lpNumberOfBytesTransferred)
                    *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
                if (lpOverlapped->Internal != ERROR_SUCCESS) return fail(static_cast<DWORD>(lpOverlapped->Internal));
                return TRUE;
            }
            if (!bWait) return fail(ERROR_IO_INCOMPLETE);
            event = lpOverlapped->hEvent;
        }
        DWORD error = 0;
        if (event == 0 || events_.Wait(1, &event, false, 10, &error) == WAIT_FAILED)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

BOOL FakeCommApi::ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                           OVERLAPPED* lpOverlapped) {
    if (enter(makeCall("ReadFile", hFile, {nNumberOfBytesToRead}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    Pending read;
    read.kind = Pending::Read;
    read.ov = lpOverlapped;
    read.buffer = lpBuffer;
    read.size = nNumberOfBytesToRead;
    return startIoLocked(*p, std::move(read), lpNumberOfBytesRead);
}

BOOL FakeCommApi::WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                            DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) {
    Call call = makeCall("WriteFile", hFile, {nNumberOfBytesToWrite});
    if (lpBuffer) call.data.assign(static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite);
    const std::string data = call.data;
    if (enter(std::move(call))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    Pending write;
    write.kind = Pending::Write;
    write.ov = lpOverlapped;
    write.size = nNumberOfBytesToWrite;
    write.data = data;
    return startIoLocked(*p, std::move(write), lpNumberOfBytesWritten);
}

BOOL FakeCommApi::PurgeComm(HANDLE hFile, DWORD dwFlags) {
    if (enter(makeCall("PurgeComm", hFile, {dwFlags}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    std::vector<Pending> keep;
    for (Pending& pending : p->pending) {
        const bool abort = (pending.kind == Pending::Read && (dwFlags & PURGE_RXABORT)) ||
                           (pending.kind == Pending::Write && (dwFlags & PURGE_TXABORT));
        if (abort)
            completeLocked(pending, ERROR_OPERATION_ABORTED, 0);
        else
            keep.push_back(pending);
    }
    p->pending = std::move(keep);
    if (dwFlags & PURGE_RXCLEAR) p->rx.clear();
    return TRUE;
}

BOOL FakeCommApi::ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
    if (enter(makeCall("ClearCommError", hFile))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    // An unplugged port answers with empty queues (its input went with it).
    if (lpErrors) *lpErrors = p->errors;
    p->errors = 0;
    if (lpStat) {
        *lpStat = COMSTAT{};
        lpStat->cbInQue = p->inQueueCount.value_or(static_cast<DWORD>(p->rx.size()));
        for (const Pending& pending : p->pending)
            if (pending.kind == Pending::Write) lpStat->cbOutQue += pending.size;
    }
    return TRUE;
}

BOOL FakeCommApi::GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
    if (enter(makeCall("GetCommModemStatus", hFile))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!lpModemStat) return fail(ERROR_INVALID_PARAMETER);
    *lpModemStat = p->modem;  // all off once unplugged
    return TRUE;
}

BOOL FakeCommApi::EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    if (enter(makeCall("EscapeCommFunction", hFile, {dwFunc}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->unplugged) return fail(ERROR_GEN_FAILURE);
    switch (dwFunc) {
        case SETDTR:
        case CLRDTR:
            p->dtr = dwFunc == SETDTR;
            p->dtrSetByProgram = true;
            if (p->dsrFollowsDtr)
                setModemLocked(*p, (p->modem & ~(MS_DSR_ON | MS_RLSD_ON)) | (p->dtr ? (MS_DSR_ON | MS_RLSD_ON) : 0));
            return TRUE;
        case SETRTS:
        case CLRRTS:
            p->rts = dwFunc == SETRTS;
            p->rtsSetByProgram = true;
            return TRUE;
        case SETBREAK:
        case CLRBREAK: p->breakOn = dwFunc == SETBREAK; return TRUE;
        case SETXOFF:
        case SETXON: return TRUE;
        default: return fail(ERROR_INVALID_PARAMETER);
    }
}

HANDLE FakeCommApi::CreateEventA(void*, BOOL bManualReset, BOOL bInitialState, const char*) {
    if (enter(makeCall("CreateEventA", 0, {static_cast<DWORD>(bManualReset), static_cast<DWORD>(bInitialState)})))
        return 0;
    std::lock_guard lock(mutex_);
    const HANDLE id = nextId_++;
    events_.Create(id, bManualReset != FALSE, bInitialState != FALSE);
    return id;
}

BOOL FakeCommApi::SetEvent(HANDLE hEvent) {
    if (enter(makeCall("SetEvent", hEvent))) return FALSE;
    return events_.Set(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

BOOL FakeCommApi::ResetEvent(HANDLE hEvent) {
    if (enter(makeCall("ResetEvent", hEvent))) return FALSE;
    return events_.Reset(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

DWORD FakeCommApi::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    if (enter(makeCall("WaitForSingleObject", hHandle, {dwMilliseconds}))) return WAIT_FAILED;
    DWORD error = 0;
    const DWORD r = events_.Wait(1, &hHandle, false, dwMilliseconds, &error);
    if (r == WAIT_FAILED) SetLastError(error);
    return r;
}

DWORD FakeCommApi::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
    Call call = makeCall("WaitForMultipleObjects", 0, {nCount, static_cast<DWORD>(bWaitAll), dwMilliseconds});
    if (enter(std::move(call))) return WAIT_FAILED;
    DWORD error = 0;
    const DWORD r = events_.Wait(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds, &error);
    if (r == WAIT_FAILED) SetLastError(error);
    return r;
}

BOOL FakeCommApi::EnumPortsA(const char*, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded, DWORD* pcReturned) {
    if (enter(makeCall("EnumPortsA", 0, {Level, cbBuf}))) return FALSE;
    std::vector<std::string> entries;
    {
        std::lock_guard lock(mutex_);
        if (portList_) {
            entries = *portList_;
        } else {
            std::vector<std::pair<int, std::string>> numbered;
            for (const auto& [name, port] : ports_)
                if (port.present) numbered.emplace_back(portNumber(name), name + ":");
            std::sort(numbered.begin(), numbered.end());
            for (auto& [n, name] : numbered) entries.push_back(std::move(name));
        }
    }
    return WritePortInfo1(entries, Level, pPorts, cbBuf, pcbNeeded, pcReturned) ? TRUE : FALSE;
}

void FakeCommApi::Sleep(DWORD dwMilliseconds) {
    enter(makeCall("Sleep", 0, {dwMilliseconds}));
    {
        std::lock_guard lock(mutex_);
        now_ += dwMilliseconds;
    }
    std::this_thread::yield();
}

}  // namespace comm
