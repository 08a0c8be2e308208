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

PtyTransport::PtyTransport(Board& board) : board_(board), start_(std::chrono::steady_clock::now()) {
    board_.Transmit = [this](uint8_t byte, Nanos now) {
        constexpr Nanos frame = 8'333'333;
        const Nanos due =
            answers_.empty() ? now + AnswerDelay : std::max(now + AnswerDelay, answers_.back().Due + frame);
        answers_.push_back({byte, due, byte == 0x13 ? received_ + 2 : 0});
    };
}

PtyTransport::~PtyTransport() {
    board_.Transmit = nullptr;
    Close();
}

bool PtyTransport::Open(std::string* error) {
    if (comm::tty::OpenPseudoTerminal(&master_, &slave_)) return true;
    if (error) *error = std::string("cannot make a pseudo-terminal: ") + std::strerror(errno);
    return false;
}

bool PtyTransport::WriteLinesFile(const std::string& path, std::string* error) const {
    comm::VirtualLines lines;
    switch (board_.Params().Dsr) {
        case DsrMode::FollowsDtr: lines.Loop = true; break;
        case DsrMode::On:
            lines.Loop = false;
            lines.Fixed = comm::MS_DSR_ON | comm::MS_RLSD_ON;
            break;
        case DsrMode::Off:
            lines.Loop = false;
            lines.Fixed = 0;
            break;
    }
    return comm::WriteVirtualLinesFile(path, lines, error);
}

Nanos PtyTransport::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_).count();
}

void PtyTransport::Run(const std::atomic<bool>& stop, int ms) {
    const Nanos end = ms >= 0 ? Now() + ms * Millisecond : INT64_MAX;
    while (!stop && master_ >= 0 && Now() < end) {
        Nanos wait = std::min<Nanos>(end - Now(), 20 * Millisecond);
        if (const auto wake = board_.NextWake()) wait = std::min(wait, std::max<Nanos>(*wake - Now(), 0));
        if (!answers_.empty()) {
            // An XOFF waiting for its two bytes waits on the input as well.
            const Answer& next = answers_.front();
            const Nanos at = received_ < next.AfterReceived ? next.Due + XoffWait : next.Due;
            wait = std::min(wait, std::max<Nanos>(at - Now(), 0));
        }
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>((wait + Millisecond - 1) / Millisecond));
        if (ready > 0 && (p.revents & POLLIN)) {
            unsigned char buffer[512];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            const Nanos now = Now();
            for (ssize_t i = 0; i < n; ++i) {
                ++received_;
                board_.Receive(buffer[i], now);
            }
        } else if (ready > 0) {
            // No host has the slave open (POLLHUP): look again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        board_.Advance(Now());
        flushAnswers(Now());
    }
}

void PtyTransport::flushAnswers(Nanos now) {
    while (!answers_.empty() && answers_.front().Due <= now) {
        const Answer& next = answers_.front();
        if (received_ < next.AfterReceived && now < next.Due + XoffWait) return;
        const uint8_t byte = next.Byte;
        answers_.pop_front();
        if (master_ >= 0 && ::write(master_, &byte, 1) != 1) {
            // Nobody has the line open, or the host has gone: the byte is
            // lost, as on a wire with nobody listening.
        }
    }
}

void PtyTransport::Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

}  // namespace board
