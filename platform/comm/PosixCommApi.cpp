#include "platform/comm/PosixCommApi.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/comm/PortInfo.h"
#include "platform/comm/Tty.h"

namespace comm {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(10);
constexpr DWORD kMaxQueue = 1u << 20;
constexpr size_t kMinQueue = 4096;
constexpr DWORD kSignalEvents[][2] = {
    {MS_CTS_ON, EV_CTS}, {MS_DSR_ON, EV_DSR}, {MS_RLSD_ON, EV_RLSD}};

BOOL fail(DWORD error) {
  CommApi::SetLastError(error);
  return FALSE;
}

DWORD errnoToWin(int err, bool atOpen) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return ERROR_FILE_NOT_FOUND;
    case EIO:
      return atOpen ? ERROR_FILE_NOT_FOUND : ERROR_GEN_FAILURE;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
      return ERROR_ACCESS_DENIED;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOTTY:
      return ERROR_INVALID_FUNCTION;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_FROM_ERRNO | static_cast<DWORD>(err);
  }
}

// Virtual input lines of a device without modem lines.
struct VirtualLinesMode {
  bool loop = true;
  DWORD fixed = 0;  // MS_ bits that are on when not looping
};

std::optional<VirtualLinesMode> parseVirtualLines(std::string text) {
  auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
  text.erase(std::remove_if(text.begin(), text.end(), isSpace), text.end());
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (text == "LOOP" || text.empty()) return VirtualLinesMode{};
  if (text == "NONE") return VirtualLinesMode{false, 0};
  VirtualLinesMode mode{false, 0};
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line == "CTS") mode.fixed |= MS_CTS_ON;
    else if (line == "DSR") mode.fixed |= MS_DSR_ON;
    else if (line == "RLSD" || line == "DCD") mode.fixed |= MS_RLSD_ON;
    else if (line == "RI" || line == "RING") mode.fixed |= MS_RING_ON;
    else if (!line.empty()) return std::nullopt;
  }
  return mode;
}

bool pathExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

// ---------------------------------------------------------------- device

struct PosixCommApi::Device {
  struct Write {
    OVERLAPPED* ov = nullptr;
    std::vector<BYTE> data;
    size_t handed = 0;
    bool started = false;
    bool hasDeadline = false;
    Clock::time_point deadline;
  };
  struct Read {
    OVERLAPPED* ov = nullptr;
    BYTE* buffer = nullptr;
    DWORD wanted = 0;
    DWORD got = 0;
    bool firstByteOnly = false;  // MAXDWORD/MAXDWORD/C: return once anything came
    bool hasTotal = false;
    Clock::time_point total;
    Clock::duration interval{};  // zero: none
    Clock::time_point lastByte;
  };
  struct Wait {
    OVERLAPPED* ov = nullptr;
    DWORD* mask = nullptr;
  };

  Device(PosixCommApi& api, int fd, int wake, bool modemLines)
      : api(api), fd(fd), wake(wake), hasModemLines(modemLines) {}

  PosixCommApi& api;
  const int fd;
  const int wake;
  const bool hasModemLines;
  std::thread driver;

  std::mutex m;
  bool stop = false;
  bool dead = false;

  DCB dcb;
  bool dcbSet = false;
  COMMTIMEOUTS timeouts;
  size_t capacity = kMinQueue;
  Clock::duration frame = std::chrono::microseconds(1041667 / 1000);  // 9600 8N1

  std::deque<BYTE> in;
  int markState = 0;  // PARMRK decoding: 0 plain, 1 after \377, 2 after \377 \0
  bool above80 = false;
  std::optional<Read> read;

  std::deque<Write> writes;
  bool anyHanded = false;
  Clock::time_point lastStart;  // estimated start on the wire of the last byte handed over
  bool waitingForRoom = false;  // the terminal refused a byte (XOFF on a pty)
  bool rtsToggleOn = false;

  DWORD mask = 0;
  DWORD history = 0;
  std::optional<Wait> wait;
  DWORD errors = 0;

  DWORD lines = 0;  // last sampled MS_ bits
  bool virtualDtr = false;
  bool virtualRts = false;
  VirtualLinesMode virtualMode;
  std::optional<std::string> linesFile;
  std::optional<std::string> linesText;
  tty::Counters counters;
  bool haveCounters = false;
  Clock::time_point nextSample;

  // --- everything below runs with m held

  void raise(DWORD events) {
    const DWORD masked = events & mask;
    if (masked == 0) return;
    if (wait) {
      api.complete(wait->ov, ERROR_SUCCESS, sizeof(DWORD), wait->mask, masked);
      wait.reset();
    } else {
      history |= masked;
    }
  }

  void addErrors(DWORD bits) {
    const DWORD fresh = bits & ~errors;
    errors |= bits;
    if (fresh & (CE_FRAME | CE_RXPARITY | CE_OVERRUN | CE_RXOVER)) raise(EV_ERR);
  }

  DWORD virtualLines() const {
    if (!virtualMode.loop) return virtualMode.fixed;
    return (virtualDtr ? (MS_DSR_ON | MS_RLSD_ON) : 0) | (virtualRts ? MS_CTS_ON : 0);
  }

  // Reads the input lines now; false with errno when the device failed.
  bool currentLines(DWORD* status) {
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

  void linesChanged(DWORD now) {
    DWORD events = 0;
    for (const auto& [line, event] : kSignalEvents)
      if ((lines ^ now) & line) events |= event;
    if ((lines & MS_RING_ON) && !(now & MS_RING_ON)) events |= EV_RING;
    lines = now;
    raise(events);
  }

  // The environment is read once, at open: the driver thread must not race a
  // setenv elsewhere in the program.
  void readEnvironment() {
    if (const char* file = std::getenv("VANTREL_PTY_LINES_FILE")) linesFile = file;
    if (const char* text = std::getenv("VANTREL_PTY_LINES")) linesText = text;
  }

  void refreshVirtualMode() {
    std::optional<std::string> setting = api.virtualLinesOverride();
    if (!setting && linesFile) {
      std::ifstream in(*linesFile);
      std::string text;
      if (in && std::getline(in, text)) setting = text;
    }
    if (!setting) setting = linesText;
    virtualMode = setting ? parseVirtualLines(*setting).value_or(VirtualLinesMode{}) : VirtualLinesMode{};
  }

  void sample(Clock::time_point now) {
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
    if (dcb.RtsControl() == RTS_CONTROL_TOGGLE && rtsToggleOn && writes.empty() &&
        now >= lastStart + frame) {
      setRts(false);
      rtsToggleOn = false;
    }
  }

  void setRts(bool on) {
    if (hasModemLines)
      tty::SetLine(fd, tty::kRts, on);
    else
      virtualRts = on;
  }

  // An error mark \377 \0 c: frame or parity, told apart by the UART's counters.
  void markedError(BYTE c) {
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
    if ((dcb.Flags & DCB::fErrorChar) && (dcb.Flags & DCB::fParity))
      c = static_cast<BYTE>(dcb.ErrorChar);
    received(c);
  }

  void received(BYTE c) {
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

  void decode(const BYTE* bytes, size_t count) {
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
  bool inputThrottled() const {
    const bool flow = (dcb.Flags & DCB::fInX) || dcb.RtsControl() == RTS_CONTROL_HANDSHAKE;
    return flow && in.size() >= capacity;
  }

  void readInput() {
    BYTE buffer[1024];
    while (!dead && !inputThrottled()) {
      const size_t room = (dcb.Flags & DCB::fInX) ? std::min(sizeof buffer, capacity - in.size())
                                                   : sizeof buffer;
      const ssize_t n = ::read(fd, buffer, room);
      if (n > 0) {
        decode(buffer, static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EIO) hangUp();
      break;  // EAGAIN, or nothing (VMIN 0)
    }
  }

  void serveRead(Clock::time_point now) {
    if (!read) return;
    Read& r = *read;
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
    if (!done && r.interval.count() > 0 && r.got > 0 && now >= r.lastByte + r.interval)
      done = true;
    if (done) {
      api.complete(r.ov, ERROR_SUCCESS, r.got);
      read.reset();
    }
  }

  bool mayHandOver(Clock::time_point now) {
    if ((dcb.Flags & DCB::fOutxDsrFlow) && !(lines & MS_DSR_ON)) return false;
    int queued = 0;
    if (tty::OutputQueue(fd, &queued) && queued > 0) return false;
    return !anyHanded || now >= lastStart;
  }

  void writeDone(Write& w) {
    api.complete(w.ov, ERROR_SUCCESS, static_cast<DWORD>(w.handed));
    writes.pop_front();
    if (writes.empty()) raise(EV_TXEMPTY);
  }

  void serveWrites(Clock::time_point now) {
    waitingForRoom = false;
    while (!writes.empty() && !dead) {
      Write& w = writes.front();
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
      const ssize_t n = ::write(fd, &w.data[w.handed], 1);
      if (n == 1) {
        ++w.handed;
        lastStart = anyHanded ? std::max(now, lastStart + frame) : now;
        anyHanded = true;
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
  Clock::time_point nextDeadline(Clock::time_point now) const {
    Clock::time_point next = std::min(now + kTick, nextSample);
    if (read) {
      if (read->hasTotal) next = std::min(next, read->total);
      if (read->interval.count() > 0 && read->got > 0)
        next = std::min(next, read->lastByte + read->interval);
    }
    if (!writes.empty()) {
      if (anyHanded && lastStart > now) next = std::min(next, lastStart);
      if (writes.front().hasDeadline) next = std::min(next, writes.front().deadline);
    }
    return next;
  }

  void abortAll(DWORD error) {
    if (read) {
      api.complete(read->ov, error, read->got);
      read.reset();
    }
    for (Write& w : writes) api.complete(w.ov, error, static_cast<DWORD>(w.handed));
    writes.clear();
  }

  // The device is gone (adapter unplugged, pty master closed): pending and
  // later operations fail with ERROR_GEN_FAILURE and the lines read as off.
  void hangUp() {
    if (dead) return;
    dead = true;
    abortAll(ERROR_GEN_FAILURE);
    linesChanged(0);
  }

  void run() {
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
        fds[1].events = static_cast<short>((inputThrottled() ? 0 : POLLIN) |
                                           (waitingForRoom ? POLLOUT : 0));
        count = 2;
      }
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
      lock.unlock();
      ::poll(fds, count, static_cast<int>(std::max<long long>(0, wait)));
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

  void wakeDriver() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t ignored = ::write(wake, &one, sizeof one);
  }
};

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
    std::lock_guard lock(d->m);
    d->nextSample = Clock::time_point{};
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

void PosixCommApi::complete(OVERLAPPED* ov, DWORD error, DWORD count, DWORD* mask,
                            DWORD maskValue) {
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

HANDLE PosixCommApi::CreateFileA(const char* lpFileName, DWORD, DWORD, void*, DWORD, DWORD,
                                 HANDLE) {
  const int n = ComPortNumber(lpFileName ? lpFileName : "");
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
    std::lock_guard lock(d->m);
    d->readEnvironment();
    d->refreshVirtualMode();
    DWORD status = 0;
    if (d->currentLines(&status)) d->lines = status;
    if (modemLines) d->haveCounters = tty::GetCounters(fd, &d->counters);
    d->nextSample = Clock::now() + kTick;
  }
  const HANDLE h = nextId_++;
  {
    std::lock_guard lock(mutex_);
    devices_[h] = d;
  }
  d->driver = std::thread([d] { d->run(); });
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
    std::lock_guard lock(d->m);
    d->stop = true;
  }
  d->wakeDriver();
  if (d->driver.joinable()) d->driver.join();
  std::lock_guard lock(d->m);
  d->abortAll(ERROR_OPERATION_ABORTED);
  if (d->wait) {
    complete(d->wait->ov, ERROR_OPERATION_ABORTED, 0, d->wait->mask, 0);
    d->wait.reset();
  }
  tty::Exclusive(d->fd, false);
  // HUPCL drops DTR and RTS; closing releases the lock.
  ::close(d->fd);
  ::close(d->wake);
  return TRUE;
}

BOOL PosixCommApi::SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  // Negative sizes arrive here as about 4 GB.
  if (dwInQueue > kMaxQueue || dwOutQueue > kMaxQueue) return fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  // The driver's input buffer never shrinks.
  d->capacity = std::max(d->capacity, static_cast<size_t>(dwInQueue));
  return TRUE;
}

BOOL PosixCommApi::SetCommState(HANDLE hFile, const DCB* lpDCB) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  if (!lpDCB) return fail(ERROR_INVALID_PARAMETER);
  const DCB& dcb = *lpDCB;
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  const bool xonXoff = (dcb.Flags & (DCB::fOutX | DCB::fInX)) != 0;
  const bool valid = dcb.ByteSize >= 5 && dcb.ByteSize <= 8 && dcb.Parity <= SPACEPARITY &&
                     dcb.StopBits <= TWOSTOPBITS &&
                     !(dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) &&
                     !(dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) && dcb.BaudRate > 0 &&
                     dcb.BaudRate <= 0x7FFFFFFF && !(xonXoff && dcb.XonChar == dcb.XoffChar) &&
                     dcb.XonLim <= d->capacity && dcb.XoffLim <= d->capacity;
  if (!valid) return fail(ERROR_INVALID_PARAMETER);

  tty::Settings s;
  s.baudRate = dcb.BaudRate;
  s.dataBits = dcb.ByteSize;
  s.parity = dcb.Parity;
  s.stopBits = dcb.StopBits;
  // Linux couples both directions of hardware flow control.
  s.hardwareFlow = (dcb.Flags & DCB::fOutxCtsFlow) || dcb.RtsControl() == RTS_CONTROL_HANDSHAKE;
  s.xonXoffOut = dcb.Flags & DCB::fOutX;
  s.xonXoffIn = dcb.Flags & DCB::fInX;
  s.xonChar = dcb.XonChar;
  s.xoffChar = dcb.XoffChar;
  if (!tty::Apply(d->fd, s)) return fail(errnoToWin(errno, false));
  if (d->hasModemLines) {
    std::uint32_t actual = 0;
    if (tty::OutputSpeed(d->fd, &actual) &&
        std::abs(static_cast<double>(actual) - dcb.BaudRate) > 0.03 * dcb.BaudRate)
      return fail(ERROR_INVALID_PARAMETER);
  }

  // DTR and RTS move only with a change of their control mode, so a level set
  // by EscapeCommFunction survives settings applied later.
  const bool first = !d->dcbSet;
  if (first || dcb.DtrControl() != d->dcb.DtrControl()) {
    const bool on = dcb.DtrControl() != DTR_CONTROL_DISABLE;
    if (d->hasModemLines)
      tty::SetLine(d->fd, tty::kDtr, on);
    else
      d->virtualDtr = on;
  }
  if (first || dcb.RtsControl() != d->dcb.RtsControl()) {
    const DWORD mode = dcb.RtsControl();
    d->setRts(mode == RTS_CONTROL_ENABLE || mode == RTS_CONTROL_HANDSHAKE);
    d->rtsToggleOn = false;
  }
  d->dcb = dcb;
  d->dcbSet = true;
  const double stopBits = dcb.StopBits == ONESTOPBIT ? 1 : dcb.StopBits == ONE5STOPBITS ? 1.5 : 2;
  const double bits = 1 + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1 : 0) + stopBits;
  d->frame = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(bits / dcb.BaudRate));
  if (!d->hasModemLines) {
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
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  d->timeouts = t;
  return TRUE;
}

BOOL PosixCommApi::SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(d->m);
  d->mask = dwEvtMask;
  d->history = 0;
  // A pending wait ends with an empty mask; this also works on a dead device,
  // so an event thread can always be stopped.
  if (d->wait) {
    complete(d->wait->ov, ERROR_SUCCESS, sizeof(DWORD), d->wait->mask, 0);
    d->wait.reset();
  }
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  return TRUE;
}

BOOL PosixCommApi::WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped) {
  if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  if (!lpEvtMask || !lpOverlapped) return fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(d->m);
  if (d->wait) return fail(ERROR_INVALID_PARAMETER);
  if (d->history & d->mask) {
    const DWORD events = d->history & d->mask;
    d->history = 0;
    complete(lpOverlapped, ERROR_SUCCESS, sizeof(DWORD), lpEvtMask, events);
    return TRUE;
  }
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  {
    std::lock_guard ovLock(overlappedMutex_);
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
  }
  d->wait = Device::Wait{lpOverlapped, lpEvtMask};
  return fail(ERROR_IO_PENDING);
}

BOOL PosixCommApi::GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped,
                                       DWORD* lpNumberOfBytesTransferred, BOOL bWait) {
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
  if (lpNumberOfBytesTransferred)
    *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
  if (lpOverlapped->Internal != ERROR_SUCCESS)
    return fail(static_cast<DWORD>(lpOverlapped->Internal));
  return TRUE;
}

BOOL PosixCommApi::ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead,
                            DWORD* lpNumberOfBytesRead, OVERLAPPED* lpOverlapped) {
  if (lpOverlapped && lpOverlapped->hEvent) events_.Reset(lpOverlapped->hEvent);
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  if (!lpOverlapped || (!lpBuffer && nNumberOfBytesToRead > 0))
    return fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  if (d->read) return fail(ERROR_INVALID_PARAMETER);
  const COMMTIMEOUTS& t = d->timeouts;
  const auto now = Clock::now();
  Device::Read r;
  r.ov = lpOverlapped;
  r.buffer = static_cast<BYTE*>(lpBuffer);
  r.wanted = nNumberOfBytesToRead;
  const bool immediate = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                         t.ReadTotalTimeoutConstant == 0;
  r.firstByteOnly = t.ReadIntervalTimeout == MAXDWORD &&
                    t.ReadTotalTimeoutMultiplier == MAXDWORD && t.ReadTotalTimeoutConstant > 0;
  if (r.firstByteOnly) {
    r.hasTotal = true;
    r.total = now + std::chrono::milliseconds(t.ReadTotalTimeoutConstant);
  } else if (!immediate) {
    const std::uint64_t ms =
        std::uint64_t{t.ReadTotalTimeoutMultiplier} * nNumberOfBytesToRead + t.ReadTotalTimeoutConstant;
    r.hasTotal = ms > 0;
    r.total = now + std::chrono::milliseconds(ms);
    if (t.ReadIntervalTimeout != MAXDWORD && t.ReadIntervalTimeout > 0)
      r.interval = std::chrono::milliseconds(t.ReadIntervalTimeout);
  }
  {
    std::lock_guard ovLock(overlappedMutex_);
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
  }
  if (immediate) {  // MAXDWORD/0/0: whatever has arrived, at once
    r.hasTotal = true;
    r.total = now;
  }
  d->read = r;
  d->serveRead(now);
  if (!d->read) {
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
  if (!lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite > 0))
    return fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  Device::Write w;
  w.ov = lpOverlapped;
  const BYTE* bytes = static_cast<const BYTE*>(lpBuffer);
  w.data.assign(bytes, bytes + nNumberOfBytesToWrite);
  {
    std::lock_guard ovLock(overlappedMutex_);
    lpOverlapped->Internal = STATUS_PENDING;
    lpOverlapped->InternalHigh = 0;
  }
  d->writes.push_back(std::move(w));
  d->wakeDriver();
  return fail(ERROR_IO_PENDING);
}

BOOL PosixCommApi::PurgeComm(HANDLE hFile, DWORD dwFlags) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  std::unique_lock lock(d->m);
  if (dwFlags & PURGE_RXABORT && d->read) {
    complete(d->read->ov, ERROR_OPERATION_ABORTED, d->read->got);
    d->read.reset();
  }
  if (dwFlags & PURGE_TXABORT) {
    for (auto& w : d->writes) complete(w.ov, ERROR_OPERATION_ABORTED, static_cast<DWORD>(w.handed));
    d->writes.clear();
  }
  if (dwFlags & PURGE_TXCLEAR) {
    for (auto& w : d->writes) w.data.resize(w.handed);
  }
  if (dwFlags & PURGE_RXCLEAR) {
    d->in.clear();
    d->above80 = false;
    d->markState = 0;
    if (!d->dead) tty::FlushInput(d->fd);
  }
  // A lost device has nothing left to purge; Close must still work.
  if (d->dead) return TRUE;
  if ((dwFlags & (PURGE_TXABORT | PURGE_TXCLEAR)) && d->anyHanded) {
    // Bytes already in the UART still go out: wait for their estimated end
    // (at most two frames and a little), then drop what the kernel holds.
    const auto limit = Clock::now() + 2 * d->frame + std::chrono::milliseconds(50);
    for (;;) {
      int queued = 0;
      tty::OutputQueue(d->fd, &queued);
      const auto now = Clock::now();
      if ((queued == 0 && now >= d->lastStart + d->frame) || now >= limit) break;
      lock.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      lock.lock();
    }
    // On a pty the kernel's buffer is the far end's receive buffer: leave it.
    if (d->hasModemLines) tty::FlushOutput(d->fd);
  }
  d->wakeDriver();
  return TRUE;
}

BOOL PosixCommApi::ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  if (lpErrors) *lpErrors = d->errors;
  d->errors = 0;
  if (lpStat) {
    *lpStat = COMSTAT{};
    lpStat->cbInQue = static_cast<DWORD>(d->in.size());
    for (const auto& w : d->writes) lpStat->cbOutQue += static_cast<DWORD>(w.data.size() - w.handed);
  }
  return TRUE;
}

BOOL PosixCommApi::GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  if (!lpModemStat) return fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  if (!d->currentLines(lpModemStat)) return fail(errnoToWin(errno, false));
  return TRUE;
}

BOOL PosixCommApi::EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
  auto d = device(hFile);
  if (!d) return fail(ERROR_INVALID_HANDLE);
  std::lock_guard lock(d->m);
  if (d->dead) return fail(ERROR_GEN_FAILURE);
  bool ok = true;
  switch (dwFunc) {
    case SETDTR:
    case CLRDTR:
      if (d->hasModemLines)
        ok = tty::SetLine(d->fd, tty::kDtr, dwFunc == SETDTR);
      else
        d->virtualDtr = dwFunc == SETDTR;
      break;
    case SETRTS:
    case CLRRTS:
      if (d->hasModemLines)
        ok = tty::SetLine(d->fd, tty::kRts, dwFunc == SETRTS);
      else
        d->virtualRts = dwFunc == SETRTS;
      break;
    case SETBREAK:
    case CLRBREAK:
      ok = tty::Break(d->fd, dwFunc == SETBREAK);
      break;
    case SETXOFF:
    case SETXON:
      ok = tty::SuspendOutput(d->fd, dwFunc == SETXOFF);
      break;
    default:
      return fail(ERROR_INVALID_PARAMETER);
  }
  if (!ok) return fail(errnoToWin(errno, false));
  if (!d->hasModemLines) {
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

BOOL PosixCommApi::SetEvent(HANDLE hEvent) {
  return events_.Set(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

BOOL PosixCommApi::ResetEvent(HANDLE hEvent) {
  return events_.Reset(hEvent) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

DWORD PosixCommApi::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD PosixCommApi::WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                           DWORD dwMilliseconds) {
  DWORD error = 0;
  const DWORD r = events_.Wait(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds, &error);
  if (r == WAIT_FAILED) SetLastError(error);
  return r;
}

BOOL PosixCommApi::EnumPortsA(const char*, DWORD Level, BYTE* pPorts, DWORD cbBuf,
                              DWORD* pcbNeeded, DWORD* pcReturned) {
  ComPortMap map;
  std::string error;
  if (!resolveMap(&map, &error)) return fail(ERROR_INVALID_PARAMETER);
  std::vector<std::string> names;
  for (const auto& [n, path] : map)
    if (pathExists(path)) names.push_back("COM" + std::to_string(n) + ":");
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
