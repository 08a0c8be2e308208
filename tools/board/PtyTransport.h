// The stand-in board on a pseudo-terminal: the board owns the master side,
// the host program opens the slave as a COM port (VANTREL_COMPORTS) and sees
// the board's DSR through the comm layer's virtual-lines file
// (VANTREL_PTY_LINES_FILE). A pseudo-terminal has no line timing, so the
// board keeps every byte until its program reads it; results, not timing,
// are what this transport shows.
//
// The host's comm layer hands a byte over as it enters the UART, a frame
// before it goes on the wire; a real board's XOFF after the last data byte
// reaches the host some three frames after that byte was handed over, when
// both fillers have been. Here what the board sends goes out a few frames
// late, and an XOFF not before two more bytes have come (or a second has
// passed), so no scheduling of a busy machine makes it overtake the fillers:
// one that came too early would hold the second filler back for good.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <string>

#include "tools/board/Board.h"

namespace board {

class PtyTransport {
public:
    explicit PtyTransport(Board& board);
    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    // Makes the pseudo-terminal; false with *error.
    bool Open(std::string* error);
    const std::string& SlavePath() const { return slave_; }
    // Writes the board's DSR as the comm layer's virtual lines: "loop" when DSR
    // follows DTR, else "DSR,RLSD" or "none".
    bool WriteLinesFile(const std::string& path, std::string* error) const;
    // Serves the line until stop is set (or for ms milliseconds when ms >= 0).
    void Run(const std::atomic<bool>& stop, int ms = -1);
    // The board goes away: the master closes, the host's line hangs up.
    void Close();
    Nanos Now() const;

    // How long after the board sends a byte it reaches the host.
    static constexpr Nanos AnswerDelay = 4 * 8'333'333;
    // The longest an XOFF waits for the two bytes after it.
    static constexpr Nanos XoffWait = Second;

private:
    void flushAnswers(Nanos now);

    Board& board_;
    struct Answer {
        uint8_t Byte;
        Nanos Due;
        int64_t AfterReceived;  // goes out once this many bytes have come
    };
    int64_t received_ = 0;
    std::deque<Answer> answers_;
    int master_ = -1;
    std::string slave_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace board
