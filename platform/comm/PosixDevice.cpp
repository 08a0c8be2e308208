#include "platform/comm/PosixDevice.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace comm {

namespace driver {

BOOL fail(DWORD error) {
    CommApi::SetLastError(error);
    return FALSE;
}

DWORD errnoToWin(int err, bool atOpen) {
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO: return ERROR_FILE_NOT_FOUND;
        case EIO: return atOpen ? ERROR_FILE_NOT_FOUND : ERROR_GEN_FAILURE;
        case EACCES:
        case EPERM:
        case EBUSY:
        case EWOULDBLOCK: return ERROR_ACCESS_DENIED;
        case EBADF: return ERROR_INVALID_HANDLE;
        case ENOTTY: return ERROR_INVALID_FUNCTION;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_FROM_ERRNO | static_cast<DWORD>(err);
    }
}

}  // namespace driver

using namespace driver;

namespace {

constexpr DWORD kSignalEvents[][2] = {{MS_CTS_ON, EV_CTS}, {MS_DSR_ON, EV_DSR}, {MS_RLSD_ON, EV_RLSD}};

}  // namespace

void PosixCommApi::Device::raise(DWORD events) {
    const DWORD masked = events & Mask;
    if (masked == 0) return;
    if (Wait) {
        Api.complete(Wait->Overlapped, ERROR_SUCCESS, sizeof(DWORD), Wait->Mask, masked);
        Wait.reset();
    } else {
        History |= masked;
    }
}

void PosixCommApi::Device::addErrors(DWORD bits) {
    const DWORD fresh = bits & ~Errors;
    Errors |= bits;
    if (fresh & (CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_RXOVER)) raise(EV_ERR);
}

DWORD PosixCommApi::Device::virtualLines() const {
    if (!VirtualMode.Loop) return VirtualMode.Fixed;
    return (VirtualDtr ? (MS_DSR_ON | MS_RLSD_ON) : 0) | (VirtualRts ? MS_CTS_ON : 0);
}

// Reads the input lines now; false with errno when the device failed.
bool PosixCommApi::Device::currentLines(DWORD* status) {
    if (!HasModemLines) {
        *status = virtualLines();
        return true;
    }
    int bits = 0;
    if (!tty::GetLines(Fd, &bits)) return false;
    *status = ((bits & tty::kCts) ? MS_CTS_ON : 0) | ((bits & tty::kDsr) ? MS_DSR_ON : 0) |
              ((bits & tty::kRing) ? MS_RING_ON : 0) | ((bits & tty::kCarrier) ? MS_RLSD_ON : 0);
    return true;
}

void PosixCommApi::Device::linesChanged(DWORD now) {
    DWORD events = 0;
    for (const auto& [line, event] : kSignalEvents)
        if ((Lines ^ now) & line) events |= event;
    if ((Lines & MS_RING_ON) && !(now & MS_RING_ON)) events |= EV_RING;
    Lines = now;
    raise(events);
}

// The environment is read once, at open: the driver thread must not race a
// setenv elsewhere in the program.
void PosixCommApi::Device::readEnvironment() {
    if (const char* file = std::getenv(kVirtualLinesFileVariable)) LinesFile = file;
    if (const char* text = std::getenv(kVirtualLinesVariable)) LinesText = text;
}

void PosixCommApi::Device::refreshVirtualMode() {
    std::optional<std::string> setting = Api.virtualLinesOverride();
    if (!setting && LinesFile) setting = ReadVirtualLinesFile(*LinesFile);
    if (!setting) setting = LinesText;
    VirtualMode = setting ? ParseVirtualLines(*setting).value_or(VirtualLines{}) : VirtualLines{};
}

void PosixCommApi::Device::sample(Clock::time_point now) {
    if (now < NextSample || Dead) return;
    NextSample = now + kTick;
    if (!HasModemLines) refreshVirtualMode();
    DWORD status = 0;
    if (currentLines(&status)) {
        linesChanged(status);
    } else if (errno == EIO) {
        hangUp();
        return;
    }
    tty::Counters c;
    if (HasModemLines && tty::GetCounters(Fd, &c)) {
        if (HaveCounters && c.Overrun != Counters.Overrun) addErrors(CE_OVERRUN);
        // A ring pulse shorter than the sampling still counts.
        if (HaveCounters && c.Ring != Counters.Ring && !(Lines & MS_RING_ON)) raise(EV_RING);
        Counters = c;
        HaveCounters = true;
    }
    if (Dcb.RtsControl() == RTS_CONTROL_TOGGLE && RtsToggleOn && Writes.empty() && now >= LastStart + Frame) {
        setRts(false);
        RtsToggleOn = false;
    }
}

void PosixCommApi::Device::setRts(bool on) {
    if (HasModemLines) {
        tty::SetLine(Fd, tty::kRts, on);
        return;
    }
    // Looped lines answer at once, as a wire would.
    VirtualRts = on;
    DWORD status = 0;
    currentLines(&status);
    linesChanged(status);
}

// An error mark \377 \0 c: frame or parity, told apart by the UART's counters.
void PosixCommApi::Device::markedError(BYTE c) {
    DWORD kind = (Dcb.Flags & DCB::fParity) ? CE_RXPARITY : CE_FRAME;
    tty::Counters now;
    if (HasModemLines && tty::GetCounters(Fd, &now)) {
        if (now.Frame != Counters.Frame)
            kind = CE_FRAME;
        else if (now.Parity != Counters.Parity)
            kind = CE_RXPARITY;
        Counters.Frame = now.Frame;
        Counters.Parity = now.Parity;
    }
    if (kind == CE_RXPARITY && !(Dcb.Flags & DCB::fParity)) {
        received(c);  // parity not checked: the byte passes unmarked
        return;
    }
    addErrors(kind);
    if ((Dcb.Flags & DCB::fErrorChar) && (Dcb.Flags & DCB::fParity)) c = static_cast<BYTE>(Dcb.ErrorChar);
    received(c);
}

void PosixCommApi::Device::received(BYTE c) {
    if ((Dcb.Flags & DCB::fNull) && c == 0) return;
    if ((Dcb.Flags & DCB::fDsrSensitivity) && !(Lines & MS_DSR_ON)) return;
    if (Input.size() >= Capacity) {
        addErrors(CE_RXOVER);
        return;
    }
    Input.push_back(c);
    DWORD events = EV_RXCHAR;
    if (c == static_cast<BYTE>(Dcb.EvtChar)) events |= EV_RXFLAG;
    const bool nowAbove80 = Input.size() * 5 >= Capacity * 4;
    if (nowAbove80 && !Above80) events |= EV_RX80FULL;
    Above80 = nowAbove80;
    raise(events);
}

void PosixCommApi::Device::decode(const BYTE* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const BYTE c = bytes[i];
        switch (MarkState) {
            case 0:
                if (c == 0xFF)
                    MarkState = 1;
                else
                    received(c);
                break;
            case 1:
                if (c == 0xFF) {
                    MarkState = 0;
                    received(0xFF);
                } else if (c == 0) {
                    MarkState = 2;
                } else {  // not a mark after all
                    MarkState = 0;
                    received(0xFF);
                    received(c);
                }
                break;
            default:
                MarkState = 0;
                if (c == 0) {
                    addErrors(CE_BREAK);
                    raise(EV_BREAK);
                } else {
                    markedError(c);
                }
                break;
        }
    }
}

// Input is held in the terminal while the queue is full under input flow
// control, so the kernel sends XOFF or drops RTS instead of us losing bytes.
bool PosixCommApi::Device::inputThrottled() const {
    const bool flow = (Dcb.Flags & DCB::fInX) || Dcb.RtsControl() == RTS_CONTROL_HANDSHAKE;
    return flow && Input.size() >= Capacity;
}

void PosixCommApi::Device::readInput() {
    BYTE buffer[1024];
    while (!Dead && !inputThrottled()) {
        const size_t room = (Dcb.Flags & DCB::fInX) ? std::min(sizeof buffer, Capacity - Input.size()) : sizeof buffer;
        const ssize_t n = ::read(Fd, buffer, room);
        if (n > 0) {
            decode(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EIO) hangUp();
        break;  // EAGAIN, or nothing (VMIN 0)
    }
}

void PosixCommApi::Device::serveRead(Clock::time_point now) {
    if (!Read) return;
    PendingRead& r = *Read;
    const DWORD take = std::min<DWORD>(r.Wanted - r.Got, static_cast<DWORD>(Input.size()));
    if (take > 0) {
        std::copy_n(Input.begin(), take, r.Buffer + r.Got);
        Input.erase(Input.begin(), Input.begin() + take);
        if (Input.size() * 5 < Capacity * 4) Above80 = false;
        r.Got += take;
        r.LastByte = now;
    }
    bool done = r.Got == r.Wanted;
    if (!done && r.FirstByteOnly) done = r.Got > 0 || (r.HasTotal && now >= r.Total);
    if (!done && r.HasTotal && now >= r.Total) done = true;
    if (!done && r.Interval.count() > 0 && r.Got > 0 && now >= r.LastByte + r.Interval) done = true;
    if (done) {
        Api.complete(r.Overlapped, ERROR_SUCCESS, r.Got);
        Read.reset();
    }
}

bool PosixCommApi::Device::mayHandOver(Clock::time_point now) {
    if ((Dcb.Flags & DCB::fOutxDsrFlow) && !(Lines & MS_DSR_ON)) return false;
    int queued = 0;
    if (tty::OutputQueue(Fd, &queued) && queued > 0) return false;
    // Handed over so far ahead, the wire is booked for less than the lead.
    return !AnyHanded || now >= LastStart + 2 * Frame - lead();
}

Clock::duration PosixCommApi::Device::lead() const { return std::max<Clock::duration>(2 * Frame, kMinLead); }

void PosixCommApi::Device::writeDone(PendingWrite& w) {
    Api.complete(w.Overlapped, ERROR_SUCCESS, static_cast<DWORD>(w.Handed));
    Writes.pop_front();
    if (Writes.empty()) raise(EV_TXEMPTY);
}

void PosixCommApi::Device::serveWrites(Clock::time_point now) {
    WaitingForRoom = false;
    while (!Writes.empty() && !Dead) {
        PendingWrite& w = Writes.front();
        if (!w.Started) {
            w.Started = true;
            const std::uint64_t ms = std::uint64_t{Timeouts.WriteTotalTimeoutMultiplier} * w.Data.size() +
                                     Timeouts.WriteTotalTimeoutConstant;
            w.HasDeadline = ms > 0;
            w.Deadline = now + std::chrono::milliseconds(ms);
        }
        if (w.Handed == w.Data.size()) {
            writeDone(w);
            continue;
        }
        // A timed-out write succeeds with what was handed over; the rest is dropped.
        if (w.HasDeadline && now >= w.Deadline) {
            writeDone(w);
            continue;
        }
        if (!mayHandOver(now)) return;
        if (Dcb.RtsControl() == RTS_CONTROL_TOGGLE && !RtsToggleOn) {
            setRts(true);
            RtsToggleOn = true;
        }
        // As many bytes as the lead allows, in one write; on the wire they
        // follow each other, each starting when the one before has left.
        size_t count = 0;
        for (Clock::time_point start = LastStart; w.Handed + count < w.Data.size(); ++count) {
            if (count > 0 && now < start + 2 * Frame - lead()) break;
            start = (AnyHanded || count > 0) ? std::max(now, start + Frame) : now;
        }
        const ssize_t n = ::write(Fd, &w.Data[w.Handed], count);
        if (n > 0) {
            w.Handed += static_cast<size_t>(n);
            for (ssize_t i = 0; i < n; ++i) {
                LastStart = AnyHanded ? std::max(now, LastStart + Frame) : now;
                AnyHanded = true;
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            WaitingForRoom = true;
            return;
        }
        if (n < 0 && errno == EIO) {
            hangUp();
            return;
        }
        Api.complete(w.Overlapped, errnoToWin(errno, false), static_cast<DWORD>(w.Handed));
        Writes.pop_front();
    }
}

// The next moment the driver must look again without being woken.
Clock::time_point PosixCommApi::Device::nextDeadline(Clock::time_point now) const {
    Clock::time_point next = std::min(now + kTick, NextSample);
    if (Read) {
        if (Read->HasTotal) next = std::min(next, Read->Total);
        if (Read->Interval.count() > 0 && Read->Got > 0) next = std::min(next, Read->LastByte + Read->Interval);
    }
    if (!Writes.empty()) {
        // Half the lead before the wire runs free: a batch's worth of room then.
        const Clock::time_point refill = LastStart + Frame - lead() / 2;
        if (AnyHanded && refill > now) next = std::min(next, refill);
        if (Writes.front().HasDeadline) next = std::min(next, Writes.front().Deadline);
    }
    return next;
}

void PosixCommApi::Device::abortAll(DWORD error) {
    if (Read) {
        Api.complete(Read->Overlapped, error, Read->Got);
        Read.reset();
    }
    for (PendingWrite& w : Writes) Api.complete(w.Overlapped, error, static_cast<DWORD>(w.Handed));
    Writes.clear();
}

// The device is gone (adapter unplugged, pty master closed): pending and
// later operations fail with ERROR_GEN_FAILURE and the lines read as off.
void PosixCommApi::Device::hangUp() {
    if (Dead) return;
    Dead = true;
    abortAll(ERROR_GEN_FAILURE);
    Input.clear();  // unreadable now: reads fail
    Above80 = false;
    linesChanged(0);
}

void PosixCommApi::Device::run() {
    std::unique_lock lock(Mutex);
    while (!Stop) {
        Clock::time_point now = Clock::now();
        sample(now);
        readInput();
        serveRead(now);
        serveWrites(now);
        const Clock::time_point next = nextDeadline(now);
        pollfd fds[2] = {{Wake, POLLIN, 0}, {Fd, 0, 0}};
        nfds_t count = 1;
        if (!Dead) {
            fds[1].events = static_cast<short>((inputThrottled() ? 0 : POLLIN) | (WaitingForRoom ? POLLOUT : 0));
            count = 2;
        }
        // A dead device has nothing left to time: only a wake-up (an operation,
        // Close) ends the wait, so the thread does not spin until Close.
        timespec timeout{};
        if (!Dead) {
            const auto ns =
                std::max<long long>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(next - now).count());
            timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
            timeout.tv_nsec = static_cast<long>(ns % 1000000000);
        }
        lock.unlock();
        ::ppoll(fds, count, Dead ? nullptr : &timeout, nullptr);
        if (fds[0].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] ssize_t ignored = ::read(Wake, &value, sizeof value);
        }
        lock.lock();
        // A hung-up terminal reads as end of file; take what it still held first.
        if (count == 2 && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            readInput();
            hangUp();
        }
    }
}

void PosixCommApi::Device::wakeDriver() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t ignored = ::write(Wake, &one, sizeof one);
}

}  // namespace comm
