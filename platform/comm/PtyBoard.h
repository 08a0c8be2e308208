// Test support: a pseudo-terminal whose master side plays the board. The comm
// layer opens the slave (SlavePath); the test sends and receives on the
// master. Packet mode tells when the slave's output is stopped by XOFF.
// Every wait is bounded, so a fault fails a test rather than hangs it.
#pragma once

#include <chrono>
#include <string>

namespace comm {

class PtyBoard {
public:
    PtyBoard();
    ~PtyBoard();
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // Empty when no pseudo-terminal could be made.
    const std::string& SlavePath() const { return slave_; }
    // The board goes away: the slave side hangs up.
    void Close();

    bool Send(const std::string& bytes);
    // Reads until `count` more data bytes came or the time ran out; returns them.
    std::string Receive(size_t count, int ms = 2000);
    // Takes what has arrived without waiting; returns everything received so far.
    const std::string& ReceivedSoFar();
    // Waits until the slave's output has been stopped by XOFF.
    bool WaitStopped(int ms = 2000);

private:
    using Clock = std::chrono::steady_clock;
    // One read of the master; false when nothing came before `end`.
    bool readPacket(Clock::time_point end);

    int master_ = -1;
    std::string slave_;
    std::string unread_;    // data read but not yet returned by Receive
    std::string received_;  // every data byte ever read
    bool stopped_ = false;
};

}  // namespace comm
