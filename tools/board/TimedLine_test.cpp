#include "tools/board/TimedLine.h"

#include <gmock/gmock.h>

#include <algorithm>

#include "common/BootstrapPrograms.h"
#include "tools/board/TestHosts.h"

namespace board {
namespace {

constexpr Nanos Frame = 8'333'333;

std::string Bytes(std::string_view hexText) {
    const std::vector<uint8_t> bytes = StoredProgramBytes(hexText);
    return std::string(bytes.begin(), bytes.end());
}

struct Line {
    explicit Line(Parameters parameters = {}) : Board(parameters), Api(Board) { Api.SetServe(ServeHandOvers); }
    board::Board Board;
    TimedCommApi Api;
};

// Downloads the talker, then streams `records` from a downloader-like host.
void ProgramEeprom(Line& line, const std::vector<StreamRecord>& records, StreamHost& stream) {
    {
        BootstrapHost programmer(line.Api);
        programmer.Port.Open();
        ASSERT_TRUE(programmer.Download(Bytes(EepromTalker), line.Board.Params().RamSize));
        programmer.Port.Close();
    }
    line.Api.RunFor(1000 * Millisecond);
    ASSERT_EQ(line.Board.CurrentMode(), Mode::Talker);
    stream.Port.Open();
    stream.Start(RecordStream(records));
}

TEST(TimedLine, RamDownloadAtTheLinesPace) {
    Line line;
    BootstrapHost host(line.Api);
    host.Port.Open();
    line.Api.RunFor(Millisecond);
    EXPECT_TRUE(host.Found);  // DSR follows the DTR the open handler raised

    const std::string program = "\x86\x55\x97\x10\x20\xFE\x01\x02\x03\x04";
    ASSERT_TRUE(host.Download(program, 256));
    line.Api.RunFor(20 * Millisecond);

    const std::string wire = line.Api.Wire();
    ASSERT_EQ(wire.size(), 257u);
    EXPECT_EQ(wire.substr(1, 10), program);
    EXPECT_EQ(std::count(wire.begin() + 11, wire.end(), '\xFF'), 246);
    std::vector<uint8_t> expected(256, 0xFF);
    std::copy(program.begin(), program.end(), expected.begin());
    EXPECT_EQ(line.Board.Ram(), expected);
    EXPECT_EQ(line.Board.CurrentMode(), Mode::UserProgram);
    EXPECT_EQ(line.Board.BootstrapLength(), 256);
    EXPECT_FALSE(line.Board.IncompleteBootstrap());
    EXPECT_EQ(line.Board.LineFlags().Overruns, 0);
    // Back to back: frame after frame, 256 frames from the first start to the last.
    const std::vector<Nanos> times = line.Api.WireTimes();
    EXPECT_NEAR(static_cast<double>(times.back() - times.front()), 256.0 * Frame, 1000.0);
    // The boot ROM's echo came back; nothing depends on reading it.
    EXPECT_EQ(line.Api.HostReceived().substr(0, 10), program);
}

TEST(TimedLine, NoBoardNoDsr) {
    Parameters parameters;
    parameters.Dsr = DsrMode::Off;
    Line line(parameters);
    BootstrapHost host(line.Api);
    host.Port.Open();
    line.Api.RunFor(10 * Millisecond);
    EXPECT_FALSE(host.Found);
}

TEST(TimedLine, EraseLoaderErasesByItsAddress) {
    struct Case {
        const char* address;
        bool erased;
    };
    for (const Case& c : {Case{"B600", true}, Case{"B7F0", true}, Case{"1000", false}}) {
        SCOPED_TRACE(c.address);
        Line line;
        std::fill(line.Board.Eeprom().begin(), line.Board.Eeprom().end(), 0x5A);
        std::string text(EepromEraseLoader);
        text.replace(EraseAddressTextIndex, 4, c.address);
        BootstrapHost host(line.Api);
        host.Port.Open();
        ASSERT_TRUE(host.Download(Bytes(text), 256));
        line.Api.RunFor(100 * Millisecond);
        EXPECT_EQ(line.Board.CurrentMode(), Mode::Erase);
        EXPECT_EQ(line.Board.EraseAddress(), std::stoi(c.address, nullptr, 16));
        EXPECT_EQ(line.Board.Eeprom()[100], c.erased ? 0xFF : 0x5A);
        EXPECT_EQ(std::count(line.Board.Eeprom().begin(), line.Board.Eeprom().end(), c.erased ? 0xFF : 0x5A), 512);
    }
}

TEST(TimedLine, TalkerProgramsRecordsPacedByXonXoff) {
    Line line;
    line.Board.Eeprom()[0x11] = 0x22;  // already holds its byte: not rewritten
    std::vector<StreamRecord> records;
    for (int r = 0; r < 8; ++r) {
        std::string data;
        for (int i = 0; i < 16; ++i) data += static_cast<char>(r * 16 + i + 0x11);
        records.push_back({static_cast<uint16_t>(0xB600 + r * 16), data});
    }
    records.push_back({0x0080, "\x42\x43"});  // a RAM address: into RAM
    StreamHost stream(line.Api);
    ProgramEeprom(line, records, stream);
    const Nanos start = line.Api.Now();
    ASSERT_TRUE(line.Api.RunUntil([&] { return stream.Done && line.Board.RecordsProgrammed() == 9; }, 10 * Second));

    for (int i = 0; i < 128; ++i) EXPECT_EQ(line.Board.Eeprom()[i], i + 0x11) << i;
    EXPECT_EQ(line.Board.Eeprom()[128], 0xFF);
    EXPECT_EQ(line.Board.Ram()[0x80], 0x42);
    EXPECT_EQ(line.Board.Ram()[0x81], 0x43);
    EXPECT_EQ(line.Board.BytesProgrammed(), 127 + 2);
    EXPECT_EQ(line.Board.LineFlags().Overruns, 0);
    EXPECT_EQ(line.Board.LineFlags().BytesBeforeXon, 0);
    EXPECT_FALSE(stream.Failed);
    // Every record began with XON and ended with XOFF; the last XON is the one
    // the end byte answers as a record of its own.
    const std::string answers = line.Api.HostReceived().substr(256);
    EXPECT_EQ(answers.size(), 19u);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), '\x11'), 10);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), '\x13'), 9);
    // The pace is the programming (21 ms a changed byte) and the line, with
    // about a frame per record for the XON's way back.
    const Nanos wireBytes = static_cast<Nanos>(line.Api.Wire().size() - 257);
    const Nanos expected = 129 * 21 * Millisecond + (wireBytes + 9) * Frame;
    EXPECT_NEAR(static_cast<double>(line.Api.Now() - start), static_cast<double>(expected), 3.0 * Frame);
}

TEST(TimedLine, TwoBytesInFlightWhenXoffArrivesAreTheFillers) {
    Line line;
    StreamHost stream(line.Api);
    ProgramEeprom(line, {{0xB600, "\x01\x02\x03\x04"}, {0xB604, "\x05"}}, stream);
    ASSERT_TRUE(line.Api.RunUntil([&] { return stream.Done && line.Board.RecordsProgrammed() == 2; }, 5 * Second));
    EXPECT_EQ(line.Board.Eeprom()[4], 0x05);
    EXPECT_EQ(line.Board.LineFlags().BytesBeforeXon, 0);

    const std::string wire = line.Api.Wire().substr(257);
    ASSERT_EQ(wire, std::string("\xFF\x04\xB6\x00\x01\x02\x03\x04\x00\x00\x01\xB6\x04\x05\x00\x00\xFF", 17));
    const std::vector<Nanos> wireTimes = line.Api.WireTimes();
    const std::vector<Nanos> sent(wireTimes.begin() + 257, wireTimes.end());
    const std::string answers = line.Api.HostReceived().substr(256);
    const std::vector<Nanos> heardTimes = line.Api.HostReceivedTimes();
    const std::vector<Nanos> heard(heardTimes.begin() + 256, heardTimes.end());
    ASSERT_EQ(answers.substr(0, 3), "\x11\x13\x11");
    // The XOFF arrives while the first filler is on the line and the second
    // waits in the holding register; the next count waits for the XON.
    EXPECT_LT(sent[8], heard[1]);
    EXPECT_GT(sent[9], heard[1]);
    EXPECT_EQ(sent[9], sent[8] + Frame);
    EXPECT_GE(sent[10], heard[2]);
    EXPECT_GT(heard[2] - heard[1], 4 * 21 * Millisecond);
}

TEST(TimedLine, HostThatWaitsForTheByteToLeaveDeadlocks) {
    Line line;
    line.Api.SetTxEmptyModel(TxEmptyModel::ByteFullyLeft);
    StreamHost stream(line.Api);
    ProgramEeprom(line, {{0xB600, "\x01\x02\x03\x04"}, {0xB604, "\x05"}}, stream);
    line.Api.RunUntil([&] { return stream.Failed || stream.Done; }, 10 * Second);
    // The second filler was held back by the XOFF: the talker still waits for
    // it, programs nothing, and the host's write runs out of time.
    EXPECT_TRUE(stream.Failed);
    EXPECT_EQ(line.Api.WriteTimeouts(), 1);
    EXPECT_EQ(line.Board.RecordsProgrammed(), 0);
    EXPECT_EQ(line.Board.Eeprom()[0], 0xFF);
    const std::string wire = line.Api.Wire().substr(257);
    EXPECT_EQ(wire, std::string("\xFF\x04\xB6\x00\x01\x02\x03\x04\x00", 9));
}

TEST(TimedLine, HostWithoutFlowControlOverrunsTheReceiver) {
    Line line;
    StreamHost stream(line.Api);
    stream.Port.FlowControl().SetXonXoffOut(false);
    ProgramEeprom(line, {{0xB600, std::string(8, '\x11')}, {0xB608, std::string(8, '\x22')}, {0xB610, "\x33"}}, stream);
    line.Api.RunUntil([&] { return stream.Done; }, 5 * Second);
    line.Api.RunFor(2 * Second);
    const Flags& flags = line.Board.LineFlags();
    EXPECT_GT(flags.BytesBeforeXon, 0);
    EXPECT_GT(flags.Overruns, 0);
    EXPECT_NE(line.Board.Eeprom()[8], 0x22);  // the second record came apart
}

TEST(TimedLine, TalkerTooBigForTheChipGoesWholeAndIsFlagged) {
    Parameters parameters;
    parameters.RamSize = 192;
    Line line(parameters);
    BootstrapHost host(line.Api);
    host.Port.Open();
    ASSERT_TRUE(host.Download(Bytes(EepromTalker), 192));
    line.Api.RunFor(100 * Millisecond);
    EXPECT_EQ(line.Api.Wire().size(), 249u);
    EXPECT_EQ(line.Board.LineFlags().BytesBeyondRamSize, 56);
    EXPECT_EQ(line.Board.CurrentMode(), Mode::UserProgram);
}

TEST(TimedLine, StuckLineTimesTheWriteOut) {
    Line line;
    BootstrapHost host(line.Api);
    host.Port.Open();
    ASSERT_TRUE(host.Send(0xFF));
    line.Api.HoldOutput(true);
    const Nanos before = line.Api.Now();
    EXPECT_FALSE(host.Send(0x01));
    // 100 ms per byte plus 1000 ms; the first byte was still in the UART.
    EXPECT_EQ(line.Api.Now() - before, 1100 * Millisecond);
    EXPECT_EQ(line.Api.WriteTimeouts(), 1);
}

TEST(TimedLine, UnpluggedBoardFailsTheWrite) {
    Line line;
    BootstrapHost host(line.Api);
    host.Port.Open();
    ASSERT_TRUE(host.Send(0xFF));
    line.Api.Unplug();
    EXPECT_THROW(host.Send(0x01), EComPort);
    host.Port.Close();
    EXPECT_THROW(host.Port.Open(), EComPort);
}

}  // namespace
}  // namespace board
