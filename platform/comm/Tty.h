// The terminal-device calls of the POSIX comm layer, kept in one unit because
// the kernel's termios2 (any baud rate) cannot share a file with <termios.h>.
// Every function returns false with errno set on failure.
#pragma once

#include <cstdint>
#include <string>

namespace comm::tty {

struct Settings {
    std::uint32_t BaudRate = 9600;
    int DataBits = 8;  // 5..8
    int Parity = 0;    // NOPARITY .. SPACEPARITY
    int StopBits = 0;  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    bool HardwareFlow = false;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    char XonChar = 0x11;
    char XoffChar = 0x13;
};

// A new pseudo-terminal: its master side (non-blocking, never our controlling
// terminal) in *master and the path of its slave in *slavePath.
bool OpenPseudoTerminal(int* master, std::string* slavePath);

// Raw bytes, no echo, no translation, non-blocking reads; parity and framing
// errors and breaks marked in the data (\377 \0 c, \377 \0 \0, \377 \377).
bool MakeRaw(int fd);
bool Apply(int fd, const Settings& settings);
// The output speed the device took (a UART may round it).
bool OutputSpeed(int fd, std::uint32_t* baud);

bool Exclusive(int fd, bool on);
bool OutputQueue(int fd, int* bytes);
bool FlushInput(int fd);
bool FlushOutput(int fd);
bool SuspendOutput(int fd, bool suspend);
bool Break(int fd, bool on);

enum Line : int { kDtr = 1, kRts = 2, kCts = 4, kDsr = 8, kRing = 16, kCarrier = 32 };
bool GetLines(int fd, int* lines);  // fails with ENOTTY or EINVAL on a pty
bool SetLine(int fd, Line line, bool on);

struct Counters {
    int Frame = 0, Parity = 0, Overrun = 0, Break = 0, Ring = 0;
};
bool GetCounters(int fd, Counters* counters);

}  // namespace comm::tty
