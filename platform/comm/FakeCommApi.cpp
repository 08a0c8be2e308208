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
    call.Name = std::move(name);
    call.Handle = handle;
    call.Args = std::move(args);
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
    p.Present = true;
    p.Unplugged = false;
}

void FakeCommApi::Unplug(const std::string& port) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.Present = false;
    if (p.Handle == INVALID_HANDLE_VALUE) return;
    // The lines fall with the device; their events reach a waiting thread.
    setModemLocked(p, 0);
    p.Unplugged = true;
    p.Rx.clear();
    for (Pending& pending : p.Outstanding) completeLocked(pending, ERROR_GEN_FAILURE, 0);
    p.Outstanding.clear();
}

void FakeCommApi::SetPortList(std::vector<std::string> entries) {
    std::lock_guard lock(mutex_);
    portList_ = std::move(entries);
}

bool FakeCommApi::IsOpen(const std::string& port) const { return OpenHandle(port) != INVALID_HANDLE_VALUE; }

HANDLE FakeCommApi::OpenHandle(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it == ports_.end() ? INVALID_HANDLE_VALUE : it->second.Handle;
}

void FakeCommApi::SetModemStatus(const std::string& port, DWORD status) {
    std::lock_guard lock(mutex_);
    setModemLocked(portByNameLocked(port), status);
}

void FakeCommApi::setModemLocked(Port& port, DWORD status) {
    DWORD events = 0;
    for (const auto& [line, event] : kSignalEvents)
        if ((port.Modem ^ status) & line) events |= event;
    if ((port.Modem & MS_RING_ON) && !(status & MS_RING_ON)) events |= EV_RING;
    port.Modem = status;
    raiseLocked(port, events);
}

void FakeCommApi::SetDsrFollowsDtr(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.DsrFollowsDtr = on;
    if (on) {
        DWORD lines = p.Dtr ? (MS_DSR_ON | MS_RLSD_ON) : 0;
        setModemLocked(p, (p.Modem & ~(MS_DSR_ON | MS_RLSD_ON)) | lines);
    }
}

void FakeCommApi::AddLineErrors(const std::string& port, DWORD errors) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.Errors |= errors;
    raiseLocked(p, EV_ERR);
}

void FakeCommApi::QueueReadData(const std::string& port, const std::string& bytes) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.Rx += bytes;
}

void FakeCommApi::Receive(const std::string& port, const std::string& bytes) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.Rx += bytes;
    DWORD events = bytes.empty() ? 0 : EV_RXCHAR;
    if (bytes.find(p.Dcb.EvtChar) != std::string::npos) events |= EV_RXFLAG;
    raiseLocked(p, events);
}

void FakeCommApi::SetInQueueCount(const std::string& port, std::optional<DWORD> count) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).InQueueCount = count;
}

void FakeCommApi::RaiseEvents(const std::string& port, DWORD events) {
    std::lock_guard lock(mutex_);
    raiseLocked(portByNameLocked(port), events);
}

void FakeCommApi::SetTxEmptyAfterWrite(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).TxEmptyAfterWrite = on;
}

void FakeCommApi::SetWriteLimit(const std::string& port, std::optional<DWORD> bytes) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).WriteLimit = bytes;
}

void FakeCommApi::HoldIo(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).Hold = on;
}

void FakeCommApi::ReleaseIo(const std::string& port) {
    std::lock_guard lock(mutex_);
    Port& p = portByNameLocked(port);
    p.Hold = false;
    std::vector<Pending> keep;
    for (Pending& pending : p.Outstanding) {
        if (pending.Kind == Pending::Read) {
            DWORD count = 0;
            serveReadLocked(p, pending, &count);
            completeLocked(pending, ERROR_SUCCESS, count);
        } else if (pending.Kind == Pending::Write) {
            completeLocked(pending, ERROR_SUCCESS, serveWriteLocked(p, pending));
        } else {
            keep.push_back(pending);
        }
    }
    p.Outstanding = std::move(keep);
}

void FakeCommApi::SetReportPending(const std::string& port, bool on) {
    std::lock_guard lock(mutex_);
    portByNameLocked(port).ReportPending = on;
}

std::string FakeCommApi::Written(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it == ports_.end() ? std::string() : it->second.Written;
}

bool FakeCommApi::Dtr(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.Dtr;
}

bool FakeCommApi::Rts(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.Rts;
}

bool FakeCommApi::BreakOn(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it != ports_.end() && it->second.BreakOn;
}

DWORD FakeCommApi::Mask(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    return it == ports_.end() ? 0 : it->second.Mask;
}

bool FakeCommApi::WaitPending(const std::string& port) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(port);
    if (it == ports_.end()) return false;
    return std::any_of(it->second.Outstanding.begin(), it->second.Outstanding.end(),
                       [](const Pending& p) { return p.Kind == Pending::Wait; });
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
    for (const Call& call : Calls()) names.push_back(call.Name);
    return names;
}

std::vector<std::string> FakeCommApi::CallNames(const std::vector<std::string>& only) const {
    std::vector<std::string> names;
    for (const Call& call : Calls())
        if (std::find(only.begin(), only.end(), call.Name) != only.end()) names.push_back(call.Name);
    return names;
}

int FakeCommApi::CallCount(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.Name == name; }));
}

std::optional<FakeCommApi::Call> FakeCommApi::LastCall(const std::string& name) const {
    std::lock_guard lock(mutex_);
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
        if (it->Name == name) return *it;
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
        auto it = hooks_.find(call.Name);
        if (it != hooks_.end()) hook = it->second;
    }
    if (hook) hook();
    std::lock_guard lock(mutex_);
    call.Thread = std::this_thread::get_id();
    const std::string name = call.Name;
    calls_.push_back(std::move(call));
    auto it = failures_.find(name);
    if (it == failures_.end()) return false;
    const DWORD error = it->second.Error;
    if (it->second.Times > 0 && --it->second.Times == 0) failures_.erase(it);
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
    p.Present = false;  // scripted before being added: exists only as a script
    return p;
}

void FakeCommApi::completeLocked(Pending& p, DWORD error, DWORD count) {
    // Copy the event first: once Internal says "done" the owner may free the record.
    const HANDLE event = p.Overlapped->hEvent;
    p.Overlapped->InternalHigh = count;
    p.Overlapped->Internal = error;
    if (event) events_.Set(event);
}

void FakeCommApi::raiseLocked(Port& port, DWORD events) {
    const DWORD masked = events & port.Mask;
    if (masked == 0 || port.Handle == INVALID_HANDLE_VALUE) return;
    auto wait = std::find_if(port.Outstanding.begin(), port.Outstanding.end(),
                             [](const Pending& p) { return p.Kind == Pending::Wait; });
    if (wait == port.Outstanding.end()) {
        port.History |= masked;
        return;
    }
    *wait->Mask = masked;
    completeLocked(*wait, ERROR_SUCCESS, sizeof(DWORD));
    port.Outstanding.erase(wait);
}

void FakeCommApi::serveReadLocked(Port& port, Pending& p, DWORD* count) {
    *count = std::min<DWORD>(p.Size, static_cast<DWORD>(port.Rx.size()));
    std::memcpy(p.Buffer, port.Rx.data(), *count);
    port.Rx.erase(0, *count);
}

DWORD FakeCommApi::serveWriteLocked(Port& port, Pending& p) {
    DWORD count = p.Size;
    if (port.WriteLimit) count = std::min(count, *port.WriteLimit);
    port.Written.append(p.Data, 0, count);
    if (port.TxEmptyAfterWrite) raiseLocked(port, EV_TXEMPTY);
    return count;
}

BOOL FakeCommApi::startIoLocked(Port& port, Pending p, DWORD* transferred) {
    if (p.Overlapped == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if (p.Overlapped->hEvent) events_.Reset(p.Overlapped->hEvent);
    p.Overlapped->Internal = STATUS_PENDING;
    p.Overlapped->InternalHigh = 0;
    if (transferred) *transferred = 0;
    if (port.Hold) {
        port.Outstanding.push_back(p);
        return fail(ERROR_IO_PENDING);
    }
    DWORD count = 0;
    if (p.Kind == Pending::Read)
        serveReadLocked(port, p, &count);
    else
        count = serveWriteLocked(port, p);
    completeLocked(p, ERROR_SUCCESS, count);
    if (port.ReportPending) return fail(ERROR_IO_PENDING);
    if (transferred) *transferred = count;
    return TRUE;
}

// ---------------------------------------------------------------- CommApi

HANDLE FakeCommApi::CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, void*,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
    Call call = makeCall("CreateFileA");
    call.Text = lpFileName ? lpFileName : "";
    call.Args = {dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes};
    if (enter(call)) return INVALID_HANDLE_VALUE;
    std::lock_guard lock(mutex_);
    const std::string name = DevicePortName(lpFileName ? lpFileName : "");
    auto it = ports_.find(name);
    if (portNumber(name) == 0 || it == ports_.end() || !it->second.Present) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Port& p = it->second;
    if (p.Handle != INVALID_HANDLE_VALUE) {
        fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    p.Handle = nextId_++;
    p.Mask = p.History = 0;
    p.Errors = 0;
    p.Unplugged = false;
    p.DcbSet = false;
    p.DtrSetByProgram = p.RtsSetByProgram = false;
    open_[p.Handle] = name;
    SetLastError(ERROR_SUCCESS);
    return p.Handle;
}

BOOL FakeCommApi::CloseHandle(HANDLE hObject) {
    if (enter(makeCall("CloseHandle", hObject))) return FALSE;
    std::lock_guard lock(mutex_);
    if (events_.Close(hObject)) return TRUE;
    Port* p = portLocked(hObject);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    for (Pending& pending : p->Outstanding) completeLocked(pending, ERROR_OPERATION_ABORTED, 0);
    p->Outstanding.clear();
    p->Handle = INVALID_HANDLE_VALUE;
    p->Dtr = p->Rts = p->BreakOn = false;
    if (p->DsrFollowsDtr) p->Modem &= ~(MS_DSR_ON | MS_RLSD_ON);
    open_.erase(hObject);
    return TRUE;
}

BOOL FakeCommApi::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    if (enter(makeCall("SetupComm", hFile, {dwInQueue, dwOutQueue}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    return TRUE;
}

BOOL FakeCommApi::SetCommState(HANDLE hFile, const DCB* lpDCB) {
    Call call = makeCall("SetCommState", hFile);
    if (lpDCB) call.Dcb = *lpDCB;
    if (enter(call)) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    if (!lpDCB) return fail(ERROR_INVALID_PARAMETER);
    const DCB old = p->Dcb;
    const bool first = !p->DcbSet;
    p->Dcb = *lpDCB;
    p->DcbSet = true;
    // The lines follow the controls as the driver sets them: at the open's own
    // settings unless the program set the line first, later on a change.
    if (first ? !p->DtrSetByProgram : lpDCB->DtrControl() != old.DtrControl()) {
        p->Dtr = lpDCB->DtrControl() != DTR_CONTROL_DISABLE;
        if (p->DsrFollowsDtr)
            setModemLocked(*p, (p->Modem & ~(MS_DSR_ON | MS_RLSD_ON)) | (p->Dtr ? (MS_DSR_ON | MS_RLSD_ON) : 0));
    }
    if (first ? !p->RtsSetByProgram : lpDCB->RtsControl() != old.RtsControl())
        p->Rts = lpDCB->RtsControl() != RTS_CONTROL_DISABLE;
    return TRUE;
}

BOOL FakeCommApi::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
    Call call = makeCall("SetCommTimeouts", hFile);
    if (lpCommTimeouts) call.Timeouts = *lpCommTimeouts;
    if (enter(call)) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    if (!lpCommTimeouts) return fail(ERROR_INVALID_PARAMETER);
    return TRUE;
}

BOOL FakeCommApi::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
    if (enter(makeCall("SetCommMask", hFile, {dwEvtMask}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    p->Mask = dwEvtMask;
    p->History = 0;
    // A pending wait completes with an empty mask.
    auto wait = std::find_if(p->Outstanding.begin(), p->Outstanding.end(),
                             [](const Pending& x) { return x.Kind == Pending::Wait; });
    if (wait != p->Outstanding.end()) {
        *wait->Mask = 0;
        completeLocked(*wait, ERROR_SUCCESS, sizeof(DWORD));
        p->Outstanding.erase(wait);
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
    if (p->Unplugged && !(p->History & p->Mask)) return fail(ERROR_GEN_FAILURE);
    if (std::any_of(p->Outstanding.begin(), p->Outstanding.end(),
                    [](const Pending& x) { return x.Kind == Pending::Wait; }))
        return fail(ERROR_INVALID_PARAMETER);
    Pending wait;
    wait.Kind = Pending::Wait;
    wait.Overlapped = lpOverlapped;
    wait.Mask = lpEvtMask;
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
    if (p->History & p->Mask) {
        *lpEvtMask = p->History & p->Mask;
        p->History = 0;
        completeLocked(wait, ERROR_SUCCESS, sizeof(DWORD));
        return TRUE;
    }
    p->Outstanding.push_back(wait);
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
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    Pending read;
    read.Kind = Pending::Read;
    read.Overlapped = lpOverlapped;
    read.Buffer = lpBuffer;
    read.Size = nNumberOfBytesToRead;
    return startIoLocked(*p, std::move(read), lpNumberOfBytesRead);
}

BOOL FakeCommApi::WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                            DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) {
    Call call = makeCall("WriteFile", hFile, {nNumberOfBytesToWrite});
    if (lpBuffer) call.Data.assign(static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite);
    const std::string data = call.Data;
    if (enter(std::move(call))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    Pending write;
    write.Kind = Pending::Write;
    write.Overlapped = lpOverlapped;
    write.Size = nNumberOfBytesToWrite;
    write.Data = data;
    return startIoLocked(*p, std::move(write), lpNumberOfBytesWritten);
}

BOOL FakeCommApi::PurgeComm(HANDLE hFile, DWORD dwFlags) {
    if (enter(makeCall("PurgeComm", hFile, {dwFlags}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    std::vector<Pending> keep;
    for (Pending& pending : p->Outstanding) {
        const bool abort = (pending.Kind == Pending::Read && (dwFlags & PURGE_RXABORT)) ||
                           (pending.Kind == Pending::Write && (dwFlags & PURGE_TXABORT));
        if (abort)
            completeLocked(pending, ERROR_OPERATION_ABORTED, 0);
        else
            keep.push_back(pending);
    }
    p->Outstanding = std::move(keep);
    if (dwFlags & PURGE_RXCLEAR) p->Rx.clear();
    return TRUE;
}

BOOL FakeCommApi::ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
    if (enter(makeCall("ClearCommError", hFile))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    // An unplugged port answers with empty queues (its input went with it).
    if (lpErrors) *lpErrors = p->Errors;
    p->Errors = 0;
    if (lpStat) {
        *lpStat = COMSTAT{};
        lpStat->cbInQue = p->InQueueCount.value_or(static_cast<DWORD>(p->Rx.size()));
        for (const Pending& pending : p->Outstanding)
            if (pending.Kind == Pending::Write) lpStat->cbOutQue += pending.Size;
    }
    return TRUE;
}

BOOL FakeCommApi::GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
    if (enter(makeCall("GetCommModemStatus", hFile))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (!lpModemStat) return fail(ERROR_INVALID_PARAMETER);
    *lpModemStat = p->Modem;  // all off once unplugged
    return TRUE;
}

BOOL FakeCommApi::EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    if (enter(makeCall("EscapeCommFunction", hFile, {dwFunc}))) return FALSE;
    std::lock_guard lock(mutex_);
    Port* p = portLocked(hFile);
    if (!p) return fail(ERROR_INVALID_HANDLE);
    if (p->Unplugged) return fail(ERROR_GEN_FAILURE);
    switch (dwFunc) {
        case SETDTR:
        case CLRDTR:
            p->Dtr = dwFunc == SETDTR;
            p->DtrSetByProgram = true;
            if (p->DsrFollowsDtr)
                setModemLocked(*p, (p->Modem & ~(MS_DSR_ON | MS_RLSD_ON)) | (p->Dtr ? (MS_DSR_ON | MS_RLSD_ON) : 0));
            return TRUE;
        case SETRTS:
        case CLRRTS:
            p->Rts = dwFunc == SETRTS;
            p->RtsSetByProgram = true;
            return TRUE;
        case SETBREAK:
        case CLRBREAK: p->BreakOn = dwFunc == SETBREAK; return TRUE;
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
                if (port.Present) numbered.emplace_back(portNumber(name), name + ":");
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
