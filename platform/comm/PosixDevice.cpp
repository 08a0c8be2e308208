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
    const DWORD masked = events & mask;
    if (masked == 0) return;
    if (wait) {
        api.complete(wait->ov, ERROR_SUCCESS, sizeof(DWORD), wait->mask, masked);
        wait.reset();
    } else {
        history |= masked;
    }
}

void PosixCommApi::Device::addErrors(DWORD bits) {
    const DWORD fresh = bits & ~errors;
    errors |= bits;
    if (fresh & (CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_RXOVER)) raise(EV_ERR);
}

DWORD PosixCommApi::Device::virtualLines() const {
    if (!virtualMode.loop) return virtualMode.fixed;
    return (virtualDtr ? (MS_DSR_ON | MS_RLSD_ON) : 0) | (virtualRts ? MS_CTS_ON : 0);
}

// Reads the input lines now; false with errno when the device failed.
bool PosixCommApi::Device::currentLines(DWORD* status) {
    if (!hasModemLines) {
        *status = virtualLines();
        return true;
    }
    int bits = 0;
    if (!tty::GetLines(fd, &bits)) return false;
    *status = ((bits & tty::kCts) ? MS_CTS_ON : 0) | ((bits & tty::kDsr) ? MS_DSR_ON : 0) |
              ((bits & tty::kRing) ? MS_RING_ON : 0) | ((bits & tty::kCarrier) ? MS_RLSD_ON : 0);
    return true;
}

void PosixCommApi::Device::linesChanged(DWORD now) {
    DWORD events = 0;
    for (const auto& [line, event] : kSignalEvents)
        if ((lines ^ now) & line) events |= event;
    if ((lines & MS_RING_ON) && !(now & MS_RING_ON)) events |= EV_RING;
    lines = now;
    raise(events);
}

// The environment is read once, at open: the driver thread must not race a
// setenv elsewhere in the program.
void PosixCommApi::Device::readEnvironment() {
    if (const char* file = std::getenv(kVirtualLinesFileVariable)) linesFile = file;
    if (const char* text = std::getenv(kVirtualLinesVariable)) linesText = text;
}

void PosixCommApi::Device::refreshVirtualMode() {
    std::optional<std::string> setting = api.virtualLinesOverride();
    if (!setting && linesFile) setting = ReadVirtualLinesFile(*linesFile);
    if (!setting) setting = linesText;
    virtualMode = setting ? ParseVirtualLines(*setting).value_or(VirtualLines{}) : VirtualLines{};
}

void PosixCommApi::Device::sample(Clock::time_point now) {
    if (now < nextSample || dead) return;
    nextSample = now + kTick;
    if (!hasModemLines) refreshVirtualMode();
    DWORD status = 0;
    if (currentLines(&status)) {
        linesChanged(status);
    } else if (errno == EIO) {
        hangUp();
        return;
    }
    tty::Counters c;
    if (hasModemLines && tty::GetCounters(fd, &c)) {
        if (haveCounters && c.overrun != counters.overrun) addErrors(CE_OVERRUN);
        // A ring pulse shorter than the sampling still counts.
        if (haveCounters && c.ring != counters.ring && !(lines & MS_RING_ON)) raise(EV_RING);
        counters = c;
        haveCounters = true;
    }
    if (dcb.RtsControl() == RTS_CONTROL_TOGGLE && rtsToggleOn && writes.empty() && now >= lastStart + frame) {
        setRts(false);
        rtsToggleOn = false;
    }
}

void PosixCommApi::Device::setRts(bool on) {
    if (hasModemLines) {
        tty::SetLine(fd, tty::kRts, on);
        return;
    }
    // Looped lines answer at once, as a wire would.
    virtualRts = on;
    DWORD status = 0;
    currentLines(&status);
    linesChanged(status);
}

// An error mark \377 \0 c: frame or parity, told apart by the UART's counters.
void PosixCommApi::Device::markedError(BYTE c) {
    DWORD kind = (dcb.Flags & DCB::fParity) ? CE_RXPARITY : CE_FRAME;
    tty::Counters now;
    if (hasModemLines && tty::GetCounters(fd, &now)) {
        if (now.frame != counters.frame)
            kind = CE_FRAME;
        else if (now.parity != counters.parity)
            kind = CE_RXPARITY;
        counters.frame = now.frame;
        counters.parity = now.parity;
    }
    if (kind == CE_RXPARITY && !(dcb.Flags & DCB::fParity)) {
        received(c);  // parity not checked: the byte passes unmarked
        return;
    }
    addErrors(kind);
    if ((dcb.Flags & DCB::fErrorChar) && (dcb.Flags & DCB::fParity)) c = static_cast<BYTE>(dcb.ErrorChar);
    received(c);
}

void PosixCommApi::Device::received(BYTE c) {
    if ((dcb.Flags & DCB::fNull) && c == 0) return;
    if ((dcb.Flags & DCB::fDsrSensitivity) && !(lines & MS_DSR_ON)) return;
    if (in.size() >= capacity) {
        addErrors(CE_RXOVER);
        return;
    }
    in.push_back(c);
    DWORD events = EV_RXCHAR;
    if (c == static_cast<BYTE>(dcb.EvtChar)) events |= EV_RXFLAG;
    const bool nowAbove80 = in.size() * 5 >= capacity * 4;
    if (nowAbove80 && !above80) events |= EV_RX80FULL;
    above80 = nowAbove80;
    raise(events);
}

void PosixCommApi::Device::decode(const BYTE* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const BYTE c = bytes[i];
        switch (markState) {
            case 0:
                if (c == 0xFF)
                    markState = 1;
                else
                    received(c);
                break;
            case 1:
                if (c == 0xFF) {
                    markState = 0;
                    received(0xFF);
                } else if (c == 0) {
                    markState = 2;
                } else {  // not a mark after all
                    markState = 0;
                    received(0xFF);
                    received(c);
                }
                break;
            default:
                markState = 0;
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
    const bool flow = (dcb.Flags & DCB::fInX) || dcb.RtsControl() == RTS_CONTROL_HANDSHAKE;
    return flow && in.size() >= capacity;
}

void PosixCommApi::Device::readInput() {
    BYTE buffer[1024];
    while (!dead && !inputThrottled()) {
        const size_t room = (dcb.Flags & DCB::fInX) ? std::min(sizeof buffer, capacity - in.size()) : sizeof buffer;
        const ssize_t n = ::read(fd, buffer, room);
        if (n > 0) {
            decode(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EIO) hangUp();
        break;  // EAGAIN, or nothing (VMIN 0)
    }
}

void PosixCommApi::Device::serveRead(Clock::time_point now) {
    if (!read) return;
    PendingRead& r = *read;
    const DWORD take = std::min<DWORD>(r.wanted - r.got, static_cast<DWORD>(in.size()));
    if (take > 0) {
        std::copy_n(in.begin(), take, r.buffer + r.got);
        in.erase(in.begin(), in.begin() + take);
        if (in.size() * 5 < capacity * 4) above80 = false;
        r.got += take;
        r.lastByte = now;
    }
    bool done = r.got == r.wanted;
    if (!done && r.firstByteOnly) done = r.got > 0 || (r.hasTotal && now >= r.total);
    if (!done && r.hasTotal && now >= r.total) done = true;
    if (!done && r.interval.count() > 0 && r.got > 0 && now >= r.lastByte + r.interval) done = true;
    if (done) {
        api.complete(r.ov, ERROR_SUCCESS, r.got);
        read.reset();
    }
}

bool PosixCommApi::Device::mayHandOver(Clock::time_point now) {
    if ((dcb.Flags & DCB::fOutxDsrFlow) && !(lines & MS_DSR_ON)) return false;
    int queued = 0;
    if (tty::OutputQueue(fd, &queued) && queued > 0) return false;
    // Handed over so far ahead, the wire is booked for less than the lead.
    return !anyHanded || now >= lastStart + 2 * frame - lead();
}

Clock::duration PosixCommApi::Device::lead() const { return std::max<Clock::duration>(2 * frame, kMinLead); }

void PosixCommApi::Device::writeDone(PendingWrite& w) {
    api.complete(w.ov, ERROR_SUCCESS, static_cast<DWORD>(w.handed));
    writes.pop_front();
    if (writes.empty()) raise(EV_TXEMPTY);
}

void PosixCommApi::Device::serveWrites(Clock::time_point now) {
    waitingForRoom = false;
    while (!writes.empty() && !dead) {
        PendingWrite& w = writes.front();
        if (!w.started) {
            w.started = true;
            const std::uint64_t ms = std::uint64_t{timeouts.WriteTotalTimeoutMultiplier} * w.data.size() +
                                     timeouts.WriteTotalTimeoutConstant;
            w.hasDeadline = ms > 0;
            w.deadline = now + std::chrono::milliseconds(ms);
        }
        if (w.handed == w.data.size()) {
            writeDone(w);
            continue;
        }
        // A timed-out write succeeds with what was handed over; the rest is dropped.
        if (w.hasDeadline && now >= w.deadline) {
            writeDone(w);
            continue;
        }
        if (!mayHandOver(now)) return;
        if (dcb.RtsControl() == RTS_CONTROL_TOGGLE && !rtsToggleOn) {
            setRts(true);
            rtsToggleOn = true;
        }
        // As many bytes as the lead allows, in one write; on the wire they
        // follow each other, each starting when the one before has left.
        size_t count = 0;
        for (Clock::time_point start = lastStart; w.handed + count < w.data.size(); ++count) {
            if (count > 0 && now < start + 2 * frame - lead()) break;
            start = (anyHanded || count > 0) ? std::max(now, start + frame) : now;
        }
        const ssize_t n = ::write(fd, &w.data[w.handed], count);
        if (n > 0) {
            w.handed += static_cast<size_t>(n);
            for (ssize_t i = 0; i < n; ++i) {
                lastStart = anyHanded ? std::max(now, lastStart + frame) : now;
                anyHanded = true;
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            waitingForRoom = true;
            return;
        }
        if (n < 0 && errno == EIO) {
            hangUp();
            return;
        }
        api.complete(w.ov, errnoToWin(errno, false), static_cast<DWORD>(w.handed));
        writes.pop_front();
    }
}

// The next moment the driver must look again without being woken.
Clock::time_point PosixCommApi::Device::nextDeadline(Clock::time_point now) const {
    Clock::time_point next = std::min(now + kTick, nextSample);
    if (read) {
        if (read->hasTotal) next = std::min(next, read->total);
        if (read->interval.count() > 0 && read->got > 0) next = std::min(next, read->lastByte + read->interval);
    }
    if (!writes.empty()) {
        // Half the lead before the wire runs free: a batch's worth of room then.
        const Clock::time_point refill = lastStart + frame - lead() / 2;
        if (anyHanded && refill > now) next = std::min(next, refill);
        if (writes.front().hasDeadline) next = std::min(next, writes.front().deadline);
    }
    return next;
}

void PosixCommApi::Device::abortAll(DWORD error) {
    if (read) {
        api.complete(read->ov, error, read->got);
        read.reset();
    }
    for (PendingWrite& w : writes) api.complete(w.ov, error, static_cast<DWORD>(w.handed));
    writes.clear();
}

// The device is gone (adapter unplugged, pty master closed): pending and
// later operations fail with ERROR_GEN_FAILURE and the lines read as off.
void PosixCommApi::Device::hangUp() {
    if (dead) return;
    dead = true;
    abortAll(ERROR_GEN_FAILURE);
    in.clear();  // unreadable now: reads fail
    above80 = false;
    linesChanged(0);
}

void PosixCommApi::Device::run() {
    std::unique_lock lock(m);
    while (!stop) {
        Clock::time_point now = Clock::now();
        sample(now);
        readInput();
        serveRead(now);
        serveWrites(now);
        const Clock::time_point next = nextDeadline(now);
        pollfd fds[2] = {{wake, POLLIN, 0}, {fd, 0, 0}};
        nfds_t count = 1;
        if (!dead) {
            fds[1].events = static_cast<short>((inputThrottled() ? 0 : POLLIN) | (waitingForRoom ? POLLOUT : 0));
            count = 2;
        }
        // A dead device has nothing left to time: only a wake-up (an operation,
        // Close) ends the wait, so the thread does not spin until Close.
        timespec timeout{};
        if (!dead) {
            const auto ns =
                std::max<long long>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(next - now).count());
            timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
            timeout.tv_nsec = static_cast<long>(ns % 1000000000);
        }
        lock.unlock();
        ::ppoll(fds, count, dead ? nullptr : &timeout, nullptr);
        if (fds[0].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] ssize_t ignored = ::read(wake, &value, sizeof value);
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
    [[maybe_unused]] ssize_t ignored = ::write(wake, &one, sizeof one);
}

}  // namespace comm
