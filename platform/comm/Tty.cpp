#include "platform/comm/Tty.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace comm::tty {

namespace {

// The classic speed codes, kept where one exists so that programs reading the
// speed the old way see it; any other rate goes by number (BOTHER).
tcflag_t speedCode(std::uint32_t baud) {
    static constexpr std::pair<std::uint32_t, tcflag_t> kCodes[] = {
        {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
        {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
        {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
        {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& [rate, code] : kCodes)
        if (rate == baud) return code;
    return BOTHER;
}

}  // namespace

bool OpenPseudoTerminal(int* master, std::string* slavePath) {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const char* slave = ::grantpt(fd) == 0 && ::unlockpt(fd) == 0 ? ::ptsname(fd) : nullptr;
    if (!slave) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    *master = fd;
    *slavePath = slave;
    return true;
}

bool MakeRaw(int fd) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_iflag = INPCK | PARMRK;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag = (t.c_cflag & (CBAUD | CBAUDEX)) | CS8 | CREAD | CLOCAL | HUPCL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool Apply(int fd, const Settings& s) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    const tcflag_t speed = speedCode(s.BaudRate);
    t.c_cflag = CREAD | CLOCAL | HUPCL | kSizes[s.DataBits - 5] | speed | (speed << IBSHIFT);
    switch (s.Parity) {
        case 1: t.c_cflag |= PARENB | PARODD; break;
        case 2: t.c_cflag |= PARENB; break;
        case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case 4: t.c_cflag |= PARENB | CMSPAR; break;
        default: break;
    }
    // 1.5 stop bits exist only with 5 data bits, where the UART's "two" means 1.5.
    if (s.StopBits == 2 || (s.StopBits == 1 && s.DataBits == 5)) t.c_cflag |= CSTOPB;
    if (s.HardwareFlow) t.c_cflag |= CRTSCTS;
    t.c_iflag = INPCK | PARMRK;
    if (s.XonXoffOut) t.c_iflag |= IXON;
    if (s.XonXoffIn) t.c_iflag |= IXOFF;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
    t.c_ispeed = s.BaudRate;
    t.c_ospeed = s.BaudRate;
    return ioctl(fd, TCSETS2, &t) == 0;
}

bool OutputSpeed(int fd, std::uint32_t* baud) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    *baud = t.c_ospeed;
    return true;
}

bool Exclusive(int fd, bool on) { return ioctl(fd, on ? TIOCEXCL : TIOCNXCL) == 0; }

bool OutputQueue(int fd, int* bytes) { return ioctl(fd, TIOCOUTQ, bytes) == 0; }

bool FlushInput(int fd) { return ioctl(fd, TCFLSH, TCIFLUSH) == 0; }

bool FlushOutput(int fd) { return ioctl(fd, TCFLSH, TCOFLUSH) == 0; }

bool SuspendOutput(int fd, bool suspend) { return ioctl(fd, TCXONC, suspend ? TCOOFF : TCOON) == 0; }

bool Break(int fd, bool on) { return ioctl(fd, on ? TIOCSBRK : TIOCCBRK) == 0; }

bool GetLines(int fd, int* lines) {
    int bits = 0;
    if (ioctl(fd, TIOCMGET, &bits) != 0) return false;
    *lines = ((bits & TIOCM_DTR) ? kDtr : 0) | ((bits & TIOCM_RTS) ? kRts : 0) | ((bits & TIOCM_CTS) ? kCts : 0) |
             ((bits & TIOCM_DSR) ? kDsr : 0) | ((bits & TIOCM_RNG) ? kRing : 0) | ((bits & TIOCM_CAR) ? kCarrier : 0);
    return true;
}

bool SetLine(int fd, Line line, bool on) {
    int bit = line == kDtr ? TIOCM_DTR : TIOCM_RTS;
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

bool GetCounters(int fd, Counters* counters) {
    serial_icounter_struct c{};
    if (ioctl(fd, TIOCGICOUNT, &c) != 0) return false;
    counters->Frame = c.frame;
    counters->Parity = c.parity;
    counters->Overrun = c.overrun + c.buf_overrun;
    counters->Break = c.brk;
    counters->Ring = c.rng;
    return true;
}

}  // namespace comm::tty
