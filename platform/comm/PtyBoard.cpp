#include "platform/comm/PtyBoard.h"

#include "platform/comm/Tty.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

namespace comm {

PtyBoard::PtyBoard() {
    if (!tty::OpenPseudoTerminal(&master_, &slave_)) return;
    int on = 1;
    ::ioctl(master_, TIOCPKT, &on);
}

PtyBoard::~PtyBoard() { Close(); }

void PtyBoard::Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

bool PtyBoard::Send(const std::string& bytes) {
    return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string PtyBoard::Receive(size_t count, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (unread_.size() < count && Clock::now() < end) readPacket(end);
    std::string data = unread_.substr(0, std::min(count, unread_.size()));
    unread_.erase(0, data.size());
    return data;
}

const std::string& PtyBoard::ReceivedSoFar() {
    while (readPacket(Clock::now())) {
    }
    unread_.clear();
    return received_;
}

bool PtyBoard::WaitStopped(int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!stopped_ && Clock::now() < end) readPacket(end);
    return stopped_;
}

bool PtyBoard::readPacket(Clock::time_point end) {
    if (master_ < 0) return false;
    pollfd p{master_, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (::poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count()))) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;
    if (buffer[0] == TIOCPKT_DATA) {
        unread_.append(buffer + 1, static_cast<size_t>(n - 1));
        received_.append(buffer + 1, static_cast<size_t>(n - 1));
    } else {
        if (buffer[0] & TIOCPKT_STOP) stopped_ = true;
        if (buffer[0] & TIOCPKT_START) stopped_ = false;
    }
    return true;
}

}  // namespace comm
