// The stand-in 68HC11 board in bootstrap mode. It plays the chip's boot ROM
// (wait for $FF, take RamSize bytes into RAM from $0000, start at $0000) and,
// by what it received, the program that then runs: the erase loader (bulk
// erase), the EEPROM talker (the record protocol with XON, XOFF, two fillers
// and a programming time per changed byte) or a user program that is only
// kept. It knows the two stored programs from the very bytes Vantrel sends.
//
// The board is driven by a transport: Receive when a byte has arrived whole,
// Advance when time has passed; what it sends goes out through Transmit. The
// timed line (TimedLine.h) drives it on a simulated clock, the pseudo-terminal
// (PtyTransport.h) on the wall clock. The program's own instructions take no
// time here: tens of microseconds against 8.33 ms frames; only the erase and
// programming delays do.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace board {

// Time since the board started, in nanoseconds.
using Nanos = int64_t;
inline constexpr Nanos Millisecond = 1'000'000;
inline constexpr Nanos Second = 1'000'000'000;

enum class DsrMode { On, Off, FollowsDtr };
enum class Mode { BootRom, Erase, Talker, UserProgram };
const char* ModeName(Mode mode);

struct Parameters {
    int RamSize = 256;
    uint16_t EepromBase = 0xB600;
    int EepromSize = 512;
    bool Echo = true;  // the boot ROM echoes each program byte, as a real one does
    DsrMode Dsr = DsrMode::FollowsDtr;
    bool ProgrammingDelay = true;  // erase 14 ms; 10.5 ms per erase and per program step
    // Bytes the receiver holds unread: 1 is the chip's receive register (a
    // further byte sets the overrun flag and is lost); 0 keeps every byte, for
    // a transport without timing.
    int ReceiverDepth = 1;
    // A byte within this gap of the last bootstrap byte still belongs to the
    // download: bytes beyond RamSize.
    Nanos TailGap = 34 * Millisecond;
    // A person resets the board before each download. The stand-in takes a $FF
    // after this much silence, once its program has got going, as that reset.
    // 0: only Reset() resets.
    Nanos ResetAfterSilence = 0;
};

struct LogEntry {
    enum EntryKind { Received, Sent, Note };
    EntryKind Kind;
    Nanos Time;
    uint8_t Byte = 0;  // Received, Sent
    std::string Text;  // Note
};

// What went wrong on the line, for tests and for the person watching.
struct Flags {
    bool FirstByteNotFF = false;  // the first byte after a reset was not $FF
    int BytesBeyondRamSize = 0;   // bytes right after the bootstrap's last one
    int Overruns = 0;             // bytes lost because the receive register was full
    int BytesBeforeXon = 0;       // talker: bytes received between the second filler and the next XON
};

class Board {
public:
    explicit Board(Parameters parameters = {});

    // A byte has arrived whole at the receiver.
    void Receive(uint8_t byte, Nanos now);
    // Runs the program up to now.
    void Advance(Nanos now);
    // When the program next needs time to have passed; nothing when it waits
    // for a byte or for ever.
    std::optional<Nanos> NextWake() const;
    // The reset button: the boot ROM again; RAM and EEPROM keep their bytes.
    void Reset(Nanos now);

    // Where the board sends a byte; the transport times it.
    std::function<void(uint8_t byte, Nanos now)> Transmit;
    // Called for every log entry as it is made.
    std::function<void(const LogEntry&)> OnLog;

    bool Dsr(bool hostDtr) const;
    const Parameters& Params() const { return params_; }
    Mode CurrentMode() const { return mode_; }
    const std::vector<uint8_t>& Ram() const { return ram_; }
    const std::vector<uint8_t>& Eeprom() const { return eeprom_; }
    std::vector<uint8_t>& Eeprom() { return eeprom_; }
    const Flags& LineFlags() const { return flags_; }
    const std::vector<LogEntry>& Log() const { return log_; }
    // $FF came but fewer than RamSize bytes followed.
    bool IncompleteBootstrap() const { return mode_ == Mode::BootRom && step_ == Step::Loading; }
    int BootstrapLength() const { return loaded_; }  // bytes taken into RAM by the last download
    int RecordsProgrammed() const { return records_; }
    int BytesProgrammed() const { return programmed_; }
    uint16_t EraseAddress() const { return eraseAddress_; }

private:
    enum class Step {
        WaitFF,
        Loading,
        Idle,          // a program that reads nothing more
        TalkerWaitFF,  // the talker before the stream's first $FF
        TalkerCount,
        TalkerHigh,
        TalkerLow,
        TalkerData,
        TalkerFiller1,
        TalkerFiller2,
        TalkerProgram,
        Erasing,
        Stopped,  // the talker's code was overwritten
    };
    struct Arrival {
        uint8_t Byte;
        Nanos Time;
    };

    void note(Nanos now, std::string text);
    void send(uint8_t byte, Nanos now);
    bool waitsForByte() const;
    void takeByte(uint8_t byte, Nanos now);
    void startProgram(Nanos now);
    void finishErase(Nanos now);
    void programNextByte(Nanos now);
    void startRecord(Nanos now);
    uint8_t readMemory(uint16_t address) const;
    bool writeMemory(uint16_t address, uint8_t value);
    bool isEeprom(uint16_t address) const;

    Parameters params_;
    Mode mode_ = Mode::BootRom;
    Step step_ = Step::WaitFF;
    std::vector<uint8_t> ram_;
    std::vector<uint8_t> eeprom_;
    std::deque<Arrival> rx_;
    Flags flags_;
    std::vector<LogEntry> log_;
    bool firstSinceReset_ = true;
    int loaded_ = 0;
    std::optional<Nanos> lastReceived_;
    bool tailOpen_ = false;
    std::optional<Nanos> busyUntil_;  // a delay runs until then
    Nanos programTime_ = 0;           // where the program's own time stands
    uint16_t eraseAddress_ = 0;
    // Talker: the record address register Y and the record's changed bytes.
    uint16_t y_ = 0;
    int changed_ = 0;
    int records_ = 0;
    int programmed_ = 0;
    bool pendingWrite_ = false;  // a changed byte is being erased and programmed
};

// Memory as S19 text: S1 records of up to 16 bytes from `base`, then S9.
// Runs of $FF are left out when skipErased.
std::string MemoryToS19(const std::vector<uint8_t>& bytes, uint16_t base, bool skipErased);
// The S1 data of an S19 text, read with the shared lexer, into `bytes` (which
// spans base...); false with *error for a broken record.
bool S19ToMemory(std::string_view text, uint16_t base, std::vector<uint8_t>& bytes, std::string* error);

}  // namespace board
