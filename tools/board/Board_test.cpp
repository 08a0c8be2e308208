#include "tools/board/Board.h"

#include <gtest/gtest.h>

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
