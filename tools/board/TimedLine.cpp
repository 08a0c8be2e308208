#include "tools/board/TimedLine.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/comm/ComPortMap.h"
#include "platform/comm/PortInfo.h"

using namespace comm;

namespace board {

namespace {

constexpr int BoardBaud = 1200;
// A frame is complete at the receiver in the middle of its stop bit.
constexpr int ReceiveHalfBits = 19;
constexpr int FrameHalfBits = 20;

BOOL fail(DWORD error) {
    CommApi::SetLastError(error);
    return FALSE;
}

Nanos halfBits(int baud, int count) { return Second * count / (2 * static_cast<Nanos>(baud)); }

}  // namespace

TimedCommApi::TimedCommApi(Board& board, std::string port) : board_(board), port_(std::move(port)) {
    board_.Transmit = [this](uint8_t byte, Nanos) { boardTransmitLocked(byte); };
}

TimedCommApi::~TimedCommApi() { board_.Transmit = nullptr; }

void TimedCommApi::SetTxEmptyModel(TxEmptyModel model) {
    std::lock_guard lock(mutex_);
    model_ = model;
}

void TimedCommApi::SetServe(std::function<void()> serve) { serve_ = std::move(serve); }

Nanos TimedCommApi::Now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

std::string TimedCommApi::Wire() const {
    std::lock_guard lock(mutex_);
    return wire_;
}

std::vector<Nanos> TimedCommApi::WireTimes() const {
    std::lock_guard lock(mutex_);
    return wireTimes_;
}

std::vector<Nanos> TimedCommApi::HostReceivedTimes() const {
    std::lock_guard lock(mutex_);
    return hostReceivedTimes_;
}

std::string TimedCommApi::HostReceived() const {
    std::lock_guard lock(mutex_);
    return hostReceived_;
}

int TimedCommApi::WriteTimeouts() const {
    std::lock_guard lock(mutex_);
    return writeTimeouts_;
}

bool TimedCommApi::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void TimedCommApi::Unplug() {
    std::lock_guard lock(mutex_);
    present_ = false;
    // The adapter's UART goes with it.
    holding_.reset();
    shift_.reset();
    boardTdr_.reset();
    if (!open_) return;
    unplugged_ = true;
    modem_ = 0;
    raiseLocked(EV_DSR | EV_RLSD);
    rx_.clear();
    while (!writes_.empty()) completeWriteLocked(0, ERROR_GEN_FAILURE, 0);
}

void TimedCommApi::PlugIn() {
    std::lock_guard lock(mutex_);
    present_ = true;
}

void TimedCommApi::WhenWireReaches(size_t count, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    wireActions_[count] = std::move(action);
}

void TimedCommApi::HoldOutput(bool on) {
    std::lock_guard lock(mutex_);
    held_ = on;
    pumpHostLocked();
}

// ------------------------------------------------------------- simulation

Nanos TimedCommApi::frameLocked() const {
    const int baud = dcb_.BaudRate > 0 ? static_cast<int>(dcb_.BaudRate) : BoardBaud;
    return halfBits(baud, FrameHalfBits);
}

void TimedCommApi::scheduleLocked(Nanos at, std::function<void()> action) {
    queue_.emplace(std::make_pair(at, sequence_++), Scheduled{std::move(action)});
}

bool TimedCommApi::stepLocked(std::optional<Nanos> until) {
    if (queue_.empty()) return false;
    auto first = queue_.begin();
    if (until && first->first.first > *until) return false;
    now_ = std::max(now_, first->first.first);
    Scheduled item = std::move(first->second);
    queue_.erase(first);
    item.Action();
    return true;
}

void TimedCommApi::wakeBoardLocked() {
    const std::optional<Nanos> wake = board_.NextWake();
    if (!wake || wake == boardWake_) return;
    boardWake_ = wake;
    scheduleLocked(std::max(*wake, now_), [this, at = *wake] {
        if (boardWake_ == at) boardWake_.reset();
        board_.Advance(now_);
        wakeBoardLocked();
    });
}

// Moves bytes along the host's side: holding -> shift, queue -> holding.
void TimedCommApi::pumpHostLocked() {
    for (;;) {
        if (!shift_ && holding_) {
            shift_ = holding_;
            holding_.reset();
            const uint8_t byte = shift_->Byte;
            wire_ += static_cast<char>(byte);
            wireTimes_.push_back(now_);
            if (auto action = wireActions_.extract(wire_.size())) {
                action.mapped()();
                if (!present_) return;
            }
            const int baud = static_cast<int>(dcb_.BaudRate);
            if (present_) {
                scheduleLocked(now_ + halfBits(baud, ReceiveHalfBits), [this, byte, baud] {
                    // A receiver at another rate takes no byte we could name.
                    if (baud == BoardBaud && present_) board_.Receive(byte, now_);
                    wakeBoardLocked();
                });
            }
            scheduleLocked(now_ + frameLocked(), [this] { hostShiftDoneLocked(); });
            continue;
        }
        if (!holding_ && !xoff_ && !held_) {
            auto it =
                std::find_if(writes_.begin(), writes_.end(), [](const Write& w) { return w.Taken < w.Data.size(); });
            if (it != writes_.end()) {
                holding_ = InFlight{static_cast<uint8_t>(it->Data[it->Taken++]), it->Id};
                const bool queueEmpty = std::none_of(writes_.begin(), writes_.end(),
                                                     [](const Write& w) { return w.Taken < w.Data.size(); });
                if (model_ == TxEmptyModel::QueueEmptiedIntoUart) {
                    if (it->Taken == it->Data.size())
                        completeWriteLocked(static_cast<size_t>(it - writes_.begin()), ERROR_SUCCESS,
                                            static_cast<DWORD>(it->Data.size()));
                    if (queueEmpty) raiseLocked(EV_TXEMPTY);
                }
                continue;
            }
        }
        return;
    }
}

void TimedCommApi::hostShiftDoneLocked() {
    if (!shift_) return;  // pulled off the line meanwhile
    const InFlight done = *shift_;
    shift_.reset();
    if (model_ == TxEmptyModel::ByteFullyLeft) {
        auto it = std::find_if(writes_.begin(), writes_.end(), [&](const Write& w) { return w.Id == done.Write; });
        if (it != writes_.end() && ++it->Sent == it->Data.size())
            completeWriteLocked(static_cast<size_t>(it - writes_.begin()), ERROR_SUCCESS,
                                static_cast<DWORD>(it->Data.size()));
        const bool queueEmpty =
            std::none_of(writes_.begin(), writes_.end(), [](const Write& w) { return w.Taken < w.Data.size(); });
        if (!holding_ && queueEmpty) raiseLocked(EV_TXEMPTY);
    }
    pumpHostLocked();
}

void TimedCommApi::boardTransmitLocked(uint8_t byte) {
    if (!present_) return;
    if (boardShiftBusy_) {
        // Writing the data register while it is full replaces its byte.
        boardTdr_ = byte;
        return;
    }
    boardShiftBusy_ = true;
    scheduleLocked(now_ + halfBits(BoardBaud, ReceiveHalfBits), [this, byte] { hostReceiveLocked(byte); });
    scheduleLocked(now_ + halfBits(BoardBaud, FrameHalfBits), [this] { boardShiftDoneLocked(); });
}

void TimedCommApi::boardShiftDoneLocked() {
    boardShiftBusy_ = false;
    if (boardTdr_) {
        const uint8_t next = *boardTdr_;
        boardTdr_.reset();
        boardTransmitLocked(next);
    }
}

void TimedCommApi::hostReceiveLocked(uint8_t byte) {
    hostReceived_ += static_cast<char>(byte);
    hostReceivedTimes_.push_back(now_);
    if (!open_ || unplugged_) return;
    if (dcb_.Flags & DCB::fOutX) {
        if (byte == static_cast<uint8_t>(dcb_.XoffChar)) {
            xoff_ = true;
            return;
        }
        if (byte == static_cast<uint8_t>(dcb_.XonChar)) {
            xoff_ = false;
            pumpHostLocked();
            return;
        }
    }
    if (rx_.size() >= inQueueSize_) {
        errors_ |= CE_RXOVER;
        return;
    }
    rx_ += static_cast<char>(byte);
    DWORD events = EV_RXCHAR;
    if (dcb_.EvtChar && byte == static_cast<uint8_t>(dcb_.EvtChar)) events |= EV_RXFLAG;
    raiseLocked(events);
}

void TimedCommApi::completeLocked(OVERLAPPED* ov, DWORD error, DWORD count) {
    const HANDLE event = ov->hEvent;
    ov->InternalHigh = count;
    ov->Internal = error;
    ioEvents_.erase(event);
    if (event) events_.Set(event);
}

void TimedCommApi::completeWriteLocked(size_t index, DWORD error, DWORD count) {
    Write write = writes_[index];
    writes_.erase(writes_.begin() + static_cast<long>(index));
    completeLocked(write.Overlapped, error, count);
}

void TimedCommApi::raiseLocked(DWORD events) {
    const DWORD masked = events & mask_;
    if (masked == 0 || !open_) return;
    if (!waitOv_) {
        history_ |= masked;
        return;
    }
    *waitMask_ = masked;
    OVERLAPPED* ov = *waitOv_;
    waitOv_.reset();
    completeLocked(ov, ERROR_SUCCESS, sizeof(DWORD));
}

void TimedCommApi::updateLinesLocked() {
    const DWORD lines = (present_ && board_.Dsr(dtr_)) ? (MS_DSR_ON | MS_RLSD_ON) : 0;
    DWORD events = 0;
    if ((modem_ ^ lines) & MS_DSR_ON) events |= EV_DSR;
    if ((modem_ ^ lines) & MS_RLSD_ON) events |= EV_RLSD;
    modem_ = lines;
    raiseLocked(events);
}

// The event thread has handed over all it had and waits again (or there is
// none): the host can do nothing more at this instant.
bool TimedCommApi::hostQuiet() const {
    std::lock_guard lock(mutex_);
    return !open_ || mask_ == 0 || waitOv_.has_value();
}

void TimedCommApi::settle() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        if (serve_) serve_();
        if (hostQuiet() || std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    if (serve_) serve_();
}

bool TimedCommApi::RunUntil(const std::function<bool()>& done, Nanos limit) {
    const Nanos end = Now() + limit;
    for (;;) {
        settle();
        if (done()) return true;
        std::lock_guard lock(mutex_);
        if (!stepLocked(end)) {
            now_ = std::max(now_, end);
            break;
        }
    }
    settle();
    return done();
}

void TimedCommApi::RunFor(Nanos duration) {
    RunUntil([] { return false; }, duration);
}

// A blocking wait on a transfer: the simulation runs until it completes or
// the wait's time is up.
DWORD TimedCommApi::waitSimulating(DWORD count, const HANDLE* handles, bool waitAll, DWORD ms) {
    bool onTransfer = false;
    {
        std::lock_guard lock(mutex_);
        for (DWORD i = 0; i < count; ++i) onTransfer = onTransfer || ioEvents_.count(handles[i]) > 0;
    }
    DWORD error = 0;
    if (!onTransfer) {
        const DWORD r = events_.Wait(count, handles, waitAll, ms, &error);
        if (r == WAIT_FAILED) SetLastError(error);
        return r;
    }
    std::optional<Nanos> deadline;
    {
        std::lock_guard lock(mutex_);
        if (ms != INFINITE) deadline = now_ + static_cast<Nanos>(ms) * Millisecond;
    }
    for (;;) {
        const DWORD r = events_.Wait(count, handles, waitAll, 0, &error);
        if (r != WAIT_TIMEOUT) {
            if (r == WAIT_FAILED) SetLastError(error);
            return r;
        }
        std::lock_guard lock(mutex_);
        if (!stepLocked(deadline)) {
            if (deadline) {
                now_ = std::max(now_, *deadline);
                return WAIT_TIMEOUT;
            }
            // Nothing more will ever happen on the line.
            SetLastError(ERROR_TIMEOUT);
            return WAIT_FAILED;
        }
    }
}

// ------------------------------------------------------------- CommApi

HANDLE TimedCommApi::CreateFileA(const char* lpFileName, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
    std::lock_guard lock(mutex_);
    if (comm::DevicePortName(lpFileName ? lpFileName : "") != port_ || !present_) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (open_) {
        fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    open_ = true;
    unplugged_ = false;
    handle_ = nextId_++;
    mask_ = history_ = errors_ = 0;
    dcbSet_ = dtrSetByProgram_ = false;
    xoff_ = false;
    rx_.clear();
    SetLastError(ERROR_SUCCESS);
    return handle_;
}

BOOL TimedCommApi::CloseHandle(HANDLE hObject) {
    std::lock_guard lock(mutex_);
    if (events_.Close(hObject)) return TRUE;
    if (!portLocked(hObject)) return fail(ERROR_INVALID_HANDLE);
    if (waitOv_) {
        completeLocked(*waitOv_, ERROR_OPERATION_ABORTED, 0);
        waitOv_.reset();
    }
    while (!writes_.empty()) completeWriteLocked(0, ERROR_OPERATION_ABORTED, 0);
    // What the UART holds still goes out.
    open_ = false;
    handle_ = INVALID_HANDLE_VALUE;
    dtr_ = false;
    xoff_ = false;
    updateLinesLocked();
    return TRUE;
}

BOOL TimedCommApi::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_) return fail(ERROR_GEN_FAILURE);
    inQueueSize_ = std::max<DWORD>(dwInQueue, 1);
    return TRUE;
}

BOOL TimedCommApi::SetCommState(HANDLE hFile, const DCB* lpDCB) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_) return fail(ERROR_GEN_FAILURE);
    if (!lpDCB) return fail(ERROR_INVALID_PARAMETER);
    const DCB old = dcb_;
    const bool first = !dcbSet_;
    dcb_ = *lpDCB;
    dcbSet_ = true;
    if (first ? !dtrSetByProgram_ : lpDCB->DtrControl() != old.DtrControl()) {
        dtr_ = lpDCB->DtrControl() != DTR_CONTROL_DISABLE;
        updateLinesLocked();
    }
    if (!(dcb_.Flags & DCB::fOutX) && xoff_) {
        xoff_ = false;
        pumpHostLocked();
    }
    return TRUE;
}

BOOL TimedCommApi::SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_) return fail(ERROR_GEN_FAILURE);
    if (!lpCommTimeouts) return fail(ERROR_INVALID_PARAMETER);
    timeouts_ = *lpCommTimeouts;
    return TRUE;
}

BOOL TimedCommApi::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_ && dwEvtMask != 0) return fail(ERROR_GEN_FAILURE);
    mask_ = dwEvtMask;
    history_ = 0;
    if (waitOv_) {
        *waitMask_ = 0;
        OVERLAPPED* ov = *waitOv_;
        waitOv_.reset();
        completeLocked(ov, ERROR_SUCCESS, sizeof(DWORD));
    }
    return TRUE;
}

BOOL TimedCommApi::WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped) {
    if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (!lpEvtMask || !lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    if (unplugged_ && !(history_ & mask_)) return fail(ERROR_GEN_FAILURE);
    if (waitOv_) return fail(ERROR_INVALID_PARAMETER);
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
    if (history_ & mask_) {
        *lpEvtMask = history_ & mask_;
        history_ = 0;
        completeLocked(lpOverlapped, ERROR_SUCCESS, sizeof(DWORD));
        return TRUE;
    }
    waitOv_ = lpOverlapped;
    waitMask_ = lpEvtMask;
    return fail(ERROR_IO_PENDING);
}

BOOL TimedCommApi::GetOverlappedResult(HANDLE, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                                       BOOL bWait) {
    if (!lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    {
        std::lock_guard lock(mutex_);
        if (lpOverlapped->Internal == STATUS_PENDING && !bWait) return fail(ERROR_IO_INCOMPLETE);
    }
    if (lpOverlapped->Internal == STATUS_PENDING) {
        const HANDLE event = lpOverlapped->hEvent;
        if (waitSimulating(1, &event, false, INFINITE) == WAIT_FAILED) return FALSE;
    }
    std::lock_guard lock(mutex_);
    if (lpNumberOfBytesTransferred) *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
    if (lpOverlapped->Internal != ERROR_SUCCESS) return fail(static_cast<DWORD>(lpOverlapped->Internal));
    return TRUE;
}

BOOL TimedCommApi::ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                            OVERLAPPED* lpOverlapped) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_) return fail(ERROR_GEN_FAILURE);
    if (!lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    if (lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    // Reads return at once with what has come, as the programs' timeouts ask.
    const DWORD count = std::min<DWORD>(nNumberOfBytesToRead, static_cast<DWORD>(rx_.size()));
    std::memcpy(lpBuffer, rx_.data(), count);
    rx_.erase(0, count);
    completeLocked(lpOverlapped, ERROR_SUCCESS, count);
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = count;
    return TRUE;
}

BOOL TimedCommApi::WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                             DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_) return fail(ERROR_GEN_FAILURE);
    if (!lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
    if (lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    Write write{
        nextWrite_++, lpOverlapped, std::string(static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite), 0, 0, {}};
    const Nanos total = static_cast<Nanos>(timeouts_.WriteTotalTimeoutMultiplier) * nNumberOfBytesToWrite +
                        timeouts_.WriteTotalTimeoutConstant;
    if (total > 0) write.Deadline = now_ + total * Millisecond;
    if (lpOverlapped->hEvent) ioEvents_.insert(lpOverlapped->hEvent);
    writes_.push_back(write);
    if (write.Deadline) {
        scheduleLocked(*write.Deadline, [this, id = write.Id] {
            auto it = std::find_if(writes_.begin(), writes_.end(), [&](const Write& w) { return w.Id == id; });
            if (it == writes_.end()) return;
            ++writeTimeouts_;
            const DWORD count = static_cast<DWORD>(model_ == TxEmptyModel::ByteFullyLeft ? it->Sent : it->Taken);
            it->Data.resize(it->Taken);  // what has not reached the UART is dropped
            completeWriteLocked(static_cast<size_t>(it - writes_.begin()), ERROR_SUCCESS, count);
        });
    }
    pumpHostLocked();
    if (lpOverlapped->Internal != STATUS_PENDING) {
        if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = static_cast<DWORD>(lpOverlapped->InternalHigh);
        return TRUE;
    }
    return fail(ERROR_IO_PENDING);
}

BOOL TimedCommApi::PurgeComm(HANDLE hFile, DWORD dwFlags) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (dwFlags & (PURGE_TXABORT | PURGE_TXCLEAR))
        while (!writes_.empty()) completeWriteLocked(0, ERROR_OPERATION_ABORTED, 0);
    if (dwFlags & PURGE_RXCLEAR) rx_.clear();
    return TRUE;
}

BOOL TimedCommApi::ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (lpErrors) *lpErrors = errors_;
    errors_ = 0;
    if (lpStat) {
        *lpStat = COMSTAT{};
        lpStat->cbInQue = static_cast<DWORD>(rx_.size());
        for (const Write& w : writes_) lpStat->cbOutQue += static_cast<DWORD>(w.Data.size() - w.Taken);
    }
    return TRUE;
}

BOOL TimedCommApi::GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (!lpModemStat) return fail(ERROR_INVALID_PARAMETER);
    *lpModemStat = modem_;
    return TRUE;
}

BOOL TimedCommApi::EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    std::lock_guard lock(mutex_);
    if (!portLocked(hFile)) return fail(ERROR_INVALID_HANDLE);
    if (unplugged_) return fail(ERROR_GEN_FAILURE);
    switch (dwFunc) {
        case SETDTR:
        case CLRDTR:
            dtr_ = dwFunc == SETDTR;
            dtrSetByProgram_ = true;
            updateLinesLocked();
            return TRUE;
        case SETXOFF:
        case SETXON:
            xoff_ = dwFunc == SETXOFF;
            pumpHostLocked();
            return TRUE;
        case SETRTS:
        case CLRRTS:
        case SETBREAK:
        case CLRBREAK: return TRUE;
        default: return fail(ERROR_INVALID_PARAMETER);
    }
}

HANDLE TimedCommApi::CreateEventA(void*, BOOL bManualReset, BOOL bInitialState, const char*) {
    std::lock_guard lock(mutex_);
    const HANDLE id = nextId_++;
    events_.Create(id, bManualReset != FALSE, bInitialState != FALSE);
    return id;
}

BOOL TimedCommApi::SetEvent(HANDLE hEvent) { return events_.Set(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE); }

BOOL TimedCommApi::ResetEvent(HANDLE hEvent) { return events_.Reset(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE); }

DWORD TimedCommApi::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return waitSimulating(1, &hHandle, false, dwMilliseconds);
}

DWORD TimedCommApi::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
    return waitSimulating(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
}

BOOL TimedCommApi::EnumPortsA(const char*, DWORD Level, BYTE* pPorts, DWORD cbBuf, DWORD* pcbNeeded,
                              DWORD* pcReturned) {
    std::vector<std::string> entries;
    {
        std::lock_guard lock(mutex_);
        if (present_) entries.push_back(port_ + ":");
    }
    return WritePortInfo1(entries, Level, pPorts, cbBuf, pcbNeeded, pcReturned) ? TRUE : FALSE;
}

void TimedCommApi::Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::lock_guard lock(mutex_);
    const Nanos end = now_ + static_cast<Nanos>(dwMilliseconds) * Millisecond;
    while (stepLocked(end)) {
    }
    now_ = std::max(now_, end);
}

}  // namespace board
