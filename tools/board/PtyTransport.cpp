#include "tools/board/PtyTransport.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/comm/Tty.h"
#include "platform/comm/VirtualLines.h"

namespace board {

PtyTransport::PtyTransport(Board& board) : Board_(board), Start_(std::chrono::steady_clock::now()) {
    Board_.Transmit = [this](uint8_t byte, Nanos now) {
        constexpr Nanos frame = 8'333'333;
        const Nanos due =
            Answers_.empty() ? now + AnswerDelay : std::max(now + AnswerDelay, Answers_.back().due + frame);
        Answers_.push_back({byte, due, byte == 0x13 ? Received_ + 2 : 0});
    };
}

PtyTransport::~PtyTransport() {
    Board_.Transmit = nullptr;
    Close();
}

bool PtyTransport::Open(std::string* error) {
    if (comm::tty::OpenPseudoTerminal(&Master_, &Slave_)) return true;
    if (error) *error = std::string("cannot make a pseudo-terminal: ") + std::strerror(errno);
    return false;
}

bool PtyTransport::WriteLinesFile(const std::string& path, std::string* error) const {
    comm::VirtualLines lines;
    switch (Board_.Params().Dsr) {
        case DsrMode::FollowsDtr: lines.loop = true; break;
        case DsrMode::On:
            lines.loop = false;
            lines.fixed = comm::MS_DSR_ON | comm::MS_RLSD_ON;
            break;
        case DsrMode::Off:
            lines.loop = false;
            lines.fixed = 0;
            break;
    }
    return comm::WriteVirtualLinesFile(path, lines, error);
}

Nanos PtyTransport::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - Start_).count();
}

void PtyTransport::Run(const std::atomic<bool>& stop, int ms) {
    const Nanos end = ms >= 0 ? Now() + ms * Millisecond : INT64_MAX;
    while (!stop && Master_ >= 0 && Now() < end) {
        Nanos wait = std::min<Nanos>(end - Now(), 20 * Millisecond);
        if (const auto wake = Board_.NextWake()) wait = std::min(wait, std::max<Nanos>(*wake - Now(), 0));
        if (!Answers_.empty()) {
            // An XOFF waiting for its two bytes waits on the input as well.
            const Answer& next = Answers_.front();
            const Nanos at = Received_ < next.afterReceived ? next.due + XoffWait : next.due;
            wait = std::min(wait, std::max<Nanos>(at - Now(), 0));
        }
        pollfd p{Master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>((wait + Millisecond - 1) / Millisecond));
        if (ready > 0 && (p.revents & POLLIN)) {
            unsigned char buffer[512];
            const ssize_t n = ::read(Master_, buffer, sizeof buffer);
            const Nanos now = Now();
            for (ssize_t i = 0; i < n; ++i) {
                ++Received_;
                Board_.Receive(buffer[i], now);
            }
        } else if (ready > 0) {
            // No host has the slave open (POLLHUP): look again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Board_.Advance(Now());
        flushAnswers(Now());
    }
}

void PtyTransport::flushAnswers(Nanos now) {
    while (!Answers_.empty() && Answers_.front().due <= now) {
        const Answer& next = Answers_.front();
        if (Received_ < next.afterReceived && now < next.due + XoffWait) return;
        const uint8_t byte = next.byte;
        Answers_.pop_front();
        if (Master_ >= 0 && ::write(Master_, &byte, 1) != 1) {
            // Nobody has the line open, or the host has gone: the byte is
            // lost, as on a wire with nobody listening.
        }
    }
}

void PtyTransport::Close() {
    if (Master_ >= 0) ::close(Master_);
    Master_ = -1;
}

}  // namespace board
