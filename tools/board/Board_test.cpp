#include "tools/board/Board.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/BootstrapPrograms.h"
#include "common/SRecord.h"

namespace board {
namespace {

// Feeds bytes a frame apart, as the line would.
struct Feeder {
    explicit Feeder(Parameters parameters = {}) : Hc11(parameters) {
        Hc11.Transmit = [this](uint8_t byte, Nanos) { Sent += static_cast<char>(byte); };
    }
    void Feed(const std::string& bytes) {
        for (unsigned char c : bytes) {
            Now += 8'333'333;
            Hc11.Receive(c, Now);
        }
    }
    void Wait(Nanos d) {
        Now += d;
        Hc11.Advance(Now);
    }
    Board Hc11;
    Nanos Now = 0;
    std::string Sent;
};

std::string Program(std::string_view text) {
    const std::vector<uint8_t> bytes = StoredProgramBytes(text);
    return std::string(bytes.begin(), bytes.end());
}

TEST(Board, BootRomWaitsForFFAndFlagsWhatCameFirst) {
    Feeder f;
    f.Feed("\x12\x34\xFF");
    EXPECT_TRUE(f.Hc11.LineFlags().FirstByteNotFF);
    EXPECT_TRUE(f.Hc11.IncompleteBootstrap());
    f.Feed(std::string(255, '\x01'));
    EXPECT_TRUE(f.Hc11.IncompleteBootstrap());
    EXPECT_EQ(f.Sent.size(), 255u);  // the echo
    f.Feed("\x02");
    EXPECT_FALSE(f.Hc11.IncompleteBootstrap());
    EXPECT_EQ(f.Hc11.CurrentMode(), Mode::UserProgram);
    EXPECT_EQ(f.Hc11.Ram()[255], 0x02);
    // Straight after: beyond the RAM size; after a pause: a program's traffic.
    f.Feed("\x03\x04");
    EXPECT_EQ(f.Hc11.LineFlags().BytesBeyondRamSize, 2);
    f.Wait(Second);
    f.Feed("\x05");
    EXPECT_EQ(f.Hc11.LineFlags().BytesBeyondRamSize, 2);
}

TEST(Board, SilenceThenFFResetsOnlyWhenAsked) {
    Parameters parameters;
    parameters.Echo = false;
    parameters.ResetAfterSilence = Second;
    Feeder f(parameters);
    f.Feed(std::string("\xFF") + std::string(256, '\x01'));
    f.Wait(2 * Second);
    f.Feed(std::string("\xFF") + Program(EepromEraseLoader) + std::string(256 - 47, '\xFF'));
    EXPECT_EQ(f.Hc11.CurrentMode(), Mode::Erase);
    // The talker before the stream's first $FF is waiting for that very byte.
    f.Wait(2 * Second);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    EXPECT_EQ(f.Hc11.CurrentMode(), Mode::Talker);
    f.Wait(2 * Second);
    f.Feed("\xFF");
    EXPECT_EQ(f.Hc11.CurrentMode(), Mode::Talker);
    EXPECT_EQ(f.Sent, "\x11");
}

// A chip of 512 bytes chosen while the board has 256: the talker's filler
// runs on as a record that buries the talker, the downloader's stream after
// it is taken as the start of a bootstrap, and the board stays half-way
// through loading. A person's reset works there too, and while a record is
// programmed.
TEST(Board, SilenceThenFFResetsHalfWayThroughLoadingOrProgramming) {
    Parameters parameters;
    parameters.Echo = false;
    parameters.ResetAfterSilence = Second;
    Feeder f(parameters);
    const std::string talkerFor512 = std::string("\xFF") + Program(EepromTalker) + std::string(512 - 248, '\xFF');
    f.Feed(talkerFor512);
    f.Wait(2 * Second);
    f.Feed(std::string("\xFF\x01\xB6\x00\x12\x00\x00\xFF", 8));
    ASSERT_TRUE(f.Hc11.IncompleteBootstrap());
    EXPECT_EQ(f.Hc11.BootstrapLength(), 7);

    f.Wait(2 * Second);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    EXPECT_EQ(f.Hc11.CurrentMode(), Mode::Talker);
    EXPECT_EQ(f.Hc11.BootstrapLength(), 256);
    f.Wait(2 * Second);
    f.Feed(std::string("\xFF\x01\xB6\x00\x12\x00\x00", 7));
    f.Wait(Second);
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 1);
    EXPECT_EQ(f.Hc11.Eeprom()[0], 0x12);

    // And while a record of 64 bytes is programmed, 1.3 s long.
    f.Feed(std::string("\x40\xB6\x40", 3) + std::string(64, '\x5A') + std::string(2, '\0'));
    f.Wait(Second + Second / 10);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    f.Wait(2 * Second);
    EXPECT_EQ(f.Hc11.CurrentMode(), Mode::Talker);
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 0) << "a new talker, no record yet";
    EXPECT_EQ(f.Hc11.Eeprom()[0x7F], 0xFF) << "the record's last byte";
}

// The chip's receive register holds one byte while the talker programs: the
// first byte to come waits there, every later one is lost.
TEST(Board, ABusyBoardKeepsTheFirstByteAndLosesTheRest) {
    Parameters parameters;
    parameters.Echo = false;
    Feeder f(parameters);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    f.Feed(std::string("\xFF\x04\xB6\x00\x01\x02\x03\x04\x00\x00", 10));
    ASSERT_EQ(f.Sent, "\x11\x13");
    // Four changed bytes take 84 ms; these five arrive within 42 ms.
    f.Feed("\x02\xAA\xBB\xCC\xDD");
    EXPECT_EQ(f.Hc11.LineFlags().Overruns, 4);
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 0);
    f.Wait(Second);
    EXPECT_EQ(f.Sent, "\x11\x13\x11");
    // However late the board is asked, each byte took its own 21 ms.
    const std::vector<LogEntry>& log = f.Hc11.Log();
    EXPECT_EQ(log.back().Time, std::find_if(
                                   log.rbegin(), log.rend(),
                                   [](const LogEntry& entry) {
                                       return entry.Kind == LogEntry::Received && entry.Byte == 0x00;
                                   })->Time +
                                   4 * 21 * Millisecond);
    // The kept byte was the next record's count.
    f.Feed(std::string("\xB6\x10\x55\x66\x00\x00", 6));
    f.Wait(Second);
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 2);
    EXPECT_EQ(f.Hc11.Eeprom()[0x10], 0x55);
    EXPECT_EQ(f.Hc11.Eeprom()[0x11], 0x66);
    EXPECT_EQ(f.Hc11.LineFlags().Overruns, 4);
}

TEST(Board, TalkerRecordOfZeroCountTakes256Bytes) {
    Parameters parameters;
    parameters.Echo = false;
    parameters.ProgrammingDelay = false;
    Feeder f(parameters);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    f.Sent.clear();
    // A count byte of 3 (no data) reaches the talker as n = 0: its counter
    // wraps and it waits for 256 data bytes, so the next record is taken as data.
    f.Feed(std::string("\xFF\x00\xB6\x00", 4) + std::string(2, '\0'));
    EXPECT_EQ(f.Sent, "\x11");
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 0);
}

TEST(Board, LongRecordOverwritesTheTalkerAndStopsIt) {
    Parameters parameters;
    parameters.Echo = false;
    Feeder f(parameters);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    f.Feed(std::string("\xFF\x50\xB6\x00", 4) + std::string(0x50, '\x01'));
    EXPECT_EQ(f.Sent, "\x11");  // no XOFF: the talker is gone
    f.Wait(Second);
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 0);
}

// Found by fuzzing: with every byte kept (a transport without timing), a
// record that needed no programming sent its XON at the time of the call,
// and the waiting bytes of the next record were then taken earlier, so its
// XOFF went out before that XON.
TEST(Board, TalkerSendsInTimeOrderWhileCatchingUpOnWaitingBytes) {
    Parameters parameters;
    parameters.Echo = false;
    parameters.ReceiverDepth = 0;
    Feeder f(parameters);
    f.Feed(std::string("\xFF") + Program(EepromTalker) + std::string(8, '\xFF'));
    // Three records at once: one to program, one that changes nothing, one more.
    const std::string stream = std::string("\xFF\x01\xB6\x00\x12\x00\x00", 7) +
                               std::string("\x01\x80\x00\xFF\x00\x00", 6) + std::string("\x01\xB6\x01\x34\x00\x00", 6);
    for (unsigned char c : stream) f.Hc11.Receive(c, f.Now += 1000);
    f.Wait(Second);
    f.Wait(Second);
    EXPECT_EQ(f.Hc11.RecordsProgrammed(), 3);
    EXPECT_EQ(f.Hc11.Eeprom()[1], 0x34);
    Nanos last = 0;
    for (const LogEntry& entry : f.Hc11.Log()) {
        if (entry.Kind != LogEntry::Sent) continue;
        EXPECT_GE(entry.Time, last) << "byte $" << std::hex << int{entry.Byte};
        last = entry.Time;
    }
}

TEST(Board, MemoryAsS19RoundTrips) {
    std::vector<uint8_t> eeprom(512, 0xFF);
    for (int i = 0; i < 20; ++i) eeprom[0x10 + i] = static_cast<uint8_t>(i);
    eeprom[0x1FF] = 0x7E;
    const std::string text = MemoryToS19(eeprom, 0xB600, true);
    std::string_view rest = text;
    const TSRecordLine first = LexSRecordLine(TakeLine(rest));
    EXPECT_TRUE(first.Whole);
    EXPECT_EQ(first.Address, 0xB610u);
    EXPECT_EQ(first.Data.size(), 16u);
    // The checksum makes the bytes from the count on sum to $FF.
    unsigned sum = static_cast<unsigned>(first.Count) + 0xB6 + 0x10 + static_cast<unsigned>(first.Checksum);
    for (uint8_t b : first.Data) sum += b;
    EXPECT_EQ(sum & 0xFF, 0xFFu);

    std::vector<uint8_t> back(512, 0xFF);
    std::string error;
    ASSERT_TRUE(S19ToMemory(text, 0xB600, back, &error)) << error;
    EXPECT_EQ(back, eeprom);
    std::vector<uint8_t> small(16, 0xFF);
    EXPECT_FALSE(S19ToMemory(text, 0xB600, small, &error));
    EXPECT_EQ(error, "line 1: address outside the memory");
}

}  // namespace
}  // namespace board
