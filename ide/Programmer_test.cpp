#include "ide/Programmer.h"

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/BootstrapPrograms.h"
#include "platform/clock/FakeClock.h"
#include "platform/comm/PosixCommApi.h"
#include "platform/shell/FakeShellApi.h"
#include "tests/support/TestSupport.h"
#include "tools/board/PtyTransport.h"
#include "tools/board/TestHosts.h"
#include "tools/board/TimedLine.h"

namespace Vantrel {
namespace {

using board::Millisecond;
using ::testing::ElementsAre;

struct Box {
    std::string text;
    TBoxKind kind;
    bool operator==(const Box&) const = default;
};

struct FakeUi : TProgrammerUi {
    void ShowMessage(const std::string& text, TBoxKind kind) override { Boxes.push_back({text, kind}); }
    bool Confirm(const std::string& text, TBoxKind kind) override {
        Boxes.push_back({text, kind});
        return ConfirmAnswer;
    }
    std::optional<std::string> AskEraseAddress() override {
        ++AddressDialogs;
        return Address;
    }
    void SetGauge(int progress, int maxValue) override {
        Progress = progress;
        if (maxValue >= 0) Max = maxValue;
        if (OnGauge) OnGauge(progress);
    }
    void KeepPainting() override { ++Paints; }
    std::vector<Box> Boxes;
    bool ConfirmAnswer = true;
    std::optional<std::string> Address;
    int AddressDialogs = 0;
    int Progress = -1, Max = -1;
    int Paints = 0;
    std::function<void(int)> OnGauge;
};

const Box NotFound{ProgrammerNotFoundText, TBoxKind::Error};
const Box ResetFirst{ResetBeforeProgrammingText, TBoxKind::Warning};

// Vantrel's port on the stand-in board's timed line, with an object file in
// a folder of its own.
class ProgrammerTest : public ::testing::Test {
protected:
    explicit ProgrammerTest(board::Parameters parameters = {}, const std::string& port = "COM2")
        : Board(parameters), Line(Board, port), Shell(Clock), Port(Line), Downloader() {
        Line.SetServe(ServeHandOvers);
        board::ConfigureProgrammerPort(Port, port);
        Port.OnAfterOpen = [this](TObject*) { Port.SetDTR(true); };
        Port.OnDSRChange = [this](TObject*, bool on) { ComPort1DSRChange(ProgrammerFound, on); };
        Shell.AddProgram("Tolvex", shell::FakeShellApi::Program::Stays());
    }

    void OpenPort() {
        Port.Open();
        PortOpen = 1;
        Line.RunFor(Millisecond);
    }
    void WriteObject(const std::string& text) { testsupport::WriteFileBytes(Dir / "TEMP$$.S19", text); }
    TProgrammerContext Context() {
        TProgrammerContext c{Port, Ui, Shell, Clock, Downloader, PortOpen, ProgrammerFound};
        c.RamSize = Board.Params().RamSize;
        c.ObjectName = (Dir / "TEMP$$.S19").string();
        return c;
    }
    // The wire after the command, once the last bytes have left the UART.
    std::string Wire() {
        Line.RunFor(100 * Millisecond);
        return Line.Wire();
    }

    board::Board Board;
    board::TimedCommApi Line;
    timing::FakeClock Clock;
    shell::FakeShellApi Shell;
    TComPort Port;
    TDownloaderWatch Downloader;
    FakeUi Ui;
    uint8_t PortOpen = 0;
    uint8_t ProgrammerFound = 0;
    testsupport::TTempFolder Dir;
};

TEST_F(ProgrammerTest, RamTenBytesAtZero) {
    OpenPort();
    ASSERT_EQ(ProgrammerFound, 1);
    WriteObject("S00600004844521B\nS10D00008655971020FE01020304B5\nS9030000FC\n");
    TProgrammerContext c = Context();
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst));
    const std::string wire = Wire();
    ASSERT_EQ(wire.size(), 257u);
    EXPECT_EQ(wire.substr(0, 11), std::string("\xFF\x86\x55\x97\x10\x20\xFE\x01\x02\x03\x04", 11));
    EXPECT_EQ(wire.find_first_not_of('\xFF', 11), std::string::npos);
    EXPECT_EQ(Ui.Progress, 256);
    EXPECT_EQ(Ui.Max, 256);
    EXPECT_EQ(Ui.Paints, 257);  // the window painted after every byte
    EXPECT_EQ(Board.Ram()[5], 0xFE);
    EXPECT_EQ(Board.CurrentMode(), board::Mode::UserProgram);
    EXPECT_TRUE(Port.Connected());  // the port stays open after a RAM download
}

TEST_F(ProgrammerTest, ObjectFileFaultsSendOnlyTheLeadingFF) {
    struct Case {
        const char* what;
        const char* object;
        Box box;
    };
    const Box outside{AddressOutsideRamText, TBoxKind::Error};
    const Box fileError{FileOpenErrorText, TBoxKind::Error};
    const Case cases[] = {
        {"a record at $0100", "S1040100AA50\n", outside},
        // Its first byte lies in RAM, its last ones do not.
        {"a record across the end of RAM", "S10700FE0102030472\n", outside},
        {"a short record", "S10700FE0102\n", fileError},
        {"a count below 3", "S10100FE\n", fileError},
        {"a non-hex data byte", "S10700FE01G20304F3\n", fileError},
    };
    OpenPort();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Ui.Boxes.clear();
        const size_t before = Wire().size();
        WriteObject(k.object);
        TProgrammerContext c = Context();
        ProgramBoard(c);
        EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst, k.box));
        EXPECT_EQ(Wire().substr(before), "\xFF");
        EXPECT_EQ(Ui.Progress, 0);
    }
    Ui.Boxes.clear();
    std::filesystem::remove(Dir / "TEMP$$.S19");
    TProgrammerContext c = Context();
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst, Box{FileOpenErrorText, TBoxKind::Error}));
}

TEST(ProgrammerImage, SizedToTheRamLowerCaseAndEveryByteChecked) {
    const TRamImage big = BuildRamImage("S10501F0aabb9e\n", 512);
    ASSERT_EQ(big.Status, TImageStatus::Ok);
    ASSERT_EQ(big.Bytes.size(), 512u);
    EXPECT_EQ(big.Bytes[0x1F0], 0xAA);
    EXPECT_EQ(big.Bytes[0x1F1], 0xBB);
    const TRamImage small = BuildRamImage("S0030000FC\nS10500BDaabb00\nS9030000FC\n", 192);
    EXPECT_EQ(small.Status, TImageStatus::Ok);
    EXPECT_EQ(small.Bytes.size(), 192u);
    const TRamImage across = BuildRamImage("S10500BFaabb00\n", 192);
    EXPECT_EQ(across.Status, TImageStatus::OutsideRam);
    EXPECT_EQ(across.Line, 1);
    // A big chip gets its whole image: beyond 512 bytes as well.
    EXPECT_EQ(BuildRamImage("S10403FF01FA\n", 1024).Bytes[0x3FF], 0x01);
}

TEST_F(ProgrammerTest, EepromSendsTheTalkerAndHandsOver) {
    OpenPort();
    TProgrammerContext c = Context();
    c.MemoryKind = "EEPROM";
    c.RamSize = 512;
    c.ObjectName = "TEMP$$.S19";
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst));
    const std::string wire = Wire();
    ASSERT_EQ(wire.size(), 1u + 248 + 264);
    const std::vector<uint8_t> talker = StoredProgramBytes(EepromTalker);
    EXPECT_EQ(wire.substr(1, 248), std::string(talker.begin(), talker.end()));
    EXPECT_FALSE(Port.Connected());
    EXPECT_EQ(PortOpen, 0);
    ASSERT_EQ(Shell.Starts().size(), 1u);
    EXPECT_EQ(Shell.Starts()[0].File, "Tolvex.exe");
    EXPECT_EQ(Shell.Starts()[0].Parameters, "TEMP$$.S19 2 512");
    EXPECT_EQ(Shell.Starts()[0].Directory, "");
    // While that downloader runs, the port is not taken back.
    EXPECT_FALSE(Downloader.MayReopenPort(Shell));
    Shell.Exit(Shell.Starts()[0].Result.Process);
    EXPECT_TRUE(Downloader.MayReopenPort(Shell));
}

TEST_F(ProgrammerTest, EepromOnASmallChipSendsTheTalkerWhole) {
    OpenPort();
    TProgrammerContext c = Context();
    c.MemoryKind = "EEPROM";
    c.RamSize = 192;
    ProgramBoard(c);
    EXPECT_EQ(Wire().size(), 249u);
}

class Com5Test : public ProgrammerTest {
protected:
    Com5Test() : ProgrammerTest({}, "COM5") {}
};

TEST_F(Com5Test, EepromRefusedBeyondCom3) {
    OpenPort();
    TProgrammerContext c = Context();
    c.ProgrammerFound = 1;
    c.MemoryKind = "EEPROM";
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst, Box{DownloaderPortText, TBoxKind::Error}));
    EXPECT_EQ(Wire(), "");
    EXPECT_TRUE(Port.Connected());
    EXPECT_TRUE(Shell.Starts().empty());
    Port.Close();
}

TEST(ProgrammerHandOver, CommandLineNamesComOneToThreeOnly) {
    EXPECT_EQ(DownloaderCommandLine("TEMP$$.S19", "COM1", 512), "TEMP$$.S19 1 512");
    EXPECT_EQ(DownloaderCommandLine("TEMP$$.S19", "COM3", 2048), "TEMP$$.S19 3 2048");
    EXPECT_EQ(DownloaderCommandLine("TEMP$$.S19", "COM4", 512), std::nullopt);
    EXPECT_EQ(DownloaderCommandLine("TEMP$$.S19", "COM12", 512), std::nullopt);
    uint8_t found = 0;
    ComPort1DSRChange(found, false);
    EXPECT_EQ(found, 0);
    ComPort1DSRChange(found, true);
    ComPort1DSRChange(found, false);  // stays found after DSR drops
    EXPECT_EQ(found, 1);
}

TEST_F(ProgrammerTest, EraseAtTheConfirmedAddress) {
    std::fill(Board.Eeprom().begin(), Board.Eeprom().end(), 0x00);
    OpenPort();
    Ui.Address = "B7F0";
    TProgrammerContext c = Context();
    EraseEeprom(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(Box{EraseQuestionText, TBoxKind::Warning}));
    const std::string wire = Wire();
    ASSERT_EQ(wire.size(), 257u);
    EXPECT_EQ(static_cast<uint8_t>(wire[1 + 0x17]), 0xB7);
    EXPECT_EQ(static_cast<uint8_t>(wire[1 + 0x18]), 0xF0);
    Line.RunFor(50 * Millisecond);
    EXPECT_EQ(Board.CurrentMode(), board::Mode::Erase);
    EXPECT_EQ(Board.Eeprom()[0], 0xFF);
    EXPECT_EQ(Board.Eeprom()[511], 0xFF);
    // The text of the loader is otherwise unchanged.
    std::string expected(EepromEraseLoader);
    expected.replace(46, 4, "B7F0");
    EXPECT_EQ(EraseLoaderFor("b7f0"), expected);
}

TEST_F(ProgrammerTest, EraseCancelledAtTheQuestionSendsNothing) {
    OpenPort();
    Ui.ConfirmAnswer = false;
    TProgrammerContext c = Context();
    EraseEeprom(c);
    EXPECT_EQ(Wire(), "");
    // The dialog closed otherwise: the loader keeps B600.
    Ui.ConfirmAnswer = true;
    Ui.Address.reset();
    EraseEeprom(c);
    EXPECT_EQ(static_cast<uint8_t>(Wire()[1 + 0x17]), 0xB6);
}

class NoBoardTest : public ProgrammerTest {
protected:
    NoBoardTest() : ProgrammerTest(Parameters()) {}
    static board::Parameters Parameters() {
        board::Parameters parameters;
        parameters.Dsr = board::DsrMode::Off;
        return parameters;
    }
};

TEST_F(NoBoardTest, CommandsShowOnlyThatNoProgrammerIsThere) {
    OpenPort();
    EXPECT_EQ(ProgrammerFound, 0);
    WriteObject("S1040000AA51\n");
    TProgrammerContext c = Context();
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(NotFound));
    Ui.Boxes.clear();
    EraseEeprom(c);
    EXPECT_EQ(Ui.AddressDialogs, 1);
    EXPECT_THAT(Ui.Boxes, ElementsAre(NotFound));
    EXPECT_EQ(Wire(), "");
}

TEST_F(ProgrammerTest, ClosedPortIsOpenedAgainByTheCommand) {
    WriteObject("S1040000AA51\n");
    TProgrammerContext c = Context();
    // The board was not found before: its DSR report at the open finds it.
    ASSERT_EQ(ProgrammerFound, 0);
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst));
    EXPECT_EQ(PortOpen, 1);
    EXPECT_TRUE(Port.Connected());
    EXPECT_EQ(Wire().size(), 257u);
}

TEST(ProgrammerDsrWait, EndsAtTheFirstReportOrAfterAQuarterSecond) {
    timing::FakeClock clock;
    uint8_t found = 0;
    int looks = 0;
    EXPECT_TRUE(WaitForProgrammer(clock, found, [&] {
        if (++looks == 3) found = 1;
    }));
    EXPECT_EQ(clock.TotalSlept(), 3 * DsrPollMs);
    found = 0;
    looks = 0;
    EXPECT_FALSE(WaitForProgrammer(clock, found, [&] { ++looks; }));
    EXPECT_GT(clock.TotalSlept(), 3 * DsrPollMs + DsrWaitMs);
    EXPECT_LE(clock.TotalSlept(), 3 * DsrPollMs + DsrWaitMs + DsrPollMs);
    EXPECT_EQ(looks, static_cast<int>(DsrWaitMs / DsrPollMs) + 1);
    // Found already: no wait at all.
    found = 1;
    EXPECT_TRUE(WaitForProgrammer(clock, found, [] { FAIL() << "no look needed"; }));
}

TEST_F(ProgrammerTest, ShortWriteEndsTheCommand) {
    OpenPort();
    WriteObject("S1040000AA51\n");
    TProgrammerContext c = Context();
    // The line sticks after the leading $FF and the first 10 image bytes.
    Ui.OnGauge = [&](int progress) {
        if (progress == 10) Line.HoldOutput(true);
    };
    ProgramBoard(c);
    EXPECT_THAT(Ui.Boxes, ElementsAre(ResetFirst, Box{BoardStoppedText, TBoxKind::Error}));
    EXPECT_EQ(Line.WriteTimeouts(), 1);
    Line.HoldOutput(false);
    // Nothing after the write that ran out: $FF and ten bytes, two of them
    // still in the UART when the line stuck.
    EXPECT_EQ(Wire().size(), 11u);
    EXPECT_EQ(Ui.Progress, 10);
}

TEST_F(ProgrammerTest, BoardVanishingMidDownloadFailsThePortCleanly) {
    OpenPort();
    WriteObject("S1040000AA51\n");
    TProgrammerContext c = Context();
    Ui.OnGauge = [&](int progress) {
        if (progress == 100) Line.Unplug();
    };
    EXPECT_THROW(ProgramBoard(c), EComPort);
    Port.Close();
    Line.PlugIn();
    Ui.OnGauge = nullptr;
    OpenPort();
    ProgramBoard(c);
    EXPECT_EQ(Board.Ram()[0], 0xAA);
}

// The stand-in board on a pseudo-terminal with its transport on a thread.
struct PtyBoardLine {
    PtyBoardLine() : Line(Hc11) {
        std::string error;
        Opened = Line.Open(&error);
        Thread = std::thread([this] { Line.Run(Stop); });
    }
    ~PtyBoardLine() { Vanish(); }
    // The thread stops serving the line; the caller serves it from then on,
    // so the board's state can be read between turns.
    void TakeOver() {
        Stop = true;
        if (Thread.joinable()) Thread.join();
    }
    // The board goes away: its side of the pseudo-terminal closes.
    void Vanish() {
        TakeOver();
        Line.Close();
    }
    board::Board Hc11{[] {
        board::Parameters parameters;
        parameters.ReceiverDepth = 0;
        return parameters;
    }()};
    board::PtyTransport Line;
    std::atomic<bool> Stop{false};
    std::thread Thread;
    bool Opened = false;
};

TEST(ProgrammerOnAPty, BoardVanishingMidDownloadThenAnotherBoard) {
    testsupport::TTempFolder folder;
    const auto object = folder / "TEMP$$.S19";
    ASSERT_TRUE(testsupport::WriteFileBytes(object, "S1050000AABB95\n"));
    comm::PosixCommApi api;
    auto first = std::make_unique<PtyBoardLine>();
    ASSERT_TRUE(first->Opened);
    api.SetPortMap(comm::ComPortMap{{2, first->Line.SlavePath()}});
    api.SetVirtualLines("loop");
    TComPort port(api);
    board::ConfigureProgrammerPort(port, "COM2");
    port.SetBaudRate(br38400);  // results, not timing, on a pseudo-terminal
    timing::FakeClock clock;
    shell::FakeShellApi shell(clock);
    TDownloaderWatch downloader;
    FakeUi ui;
    uint8_t portOpen = 0;
    uint8_t found = 1;
    TProgrammerContext c{port, ui, shell, clock, downloader, portOpen, found};
    c.ObjectName = object.string();
    ui.OnGauge = [&](int progress) {
        if (progress == 50) first->Vanish();
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ProgramBoard(c), EComPort);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    port.Close();
    portOpen = 0;

    PtyBoardLine second;
    ASSERT_TRUE(second.Opened);
    api.SetPortMap(comm::ComPortMap{{2, second.Line.SlavePath()}});
    ui.OnGauge = nullptr;
    ProgramBoard(c);
    EXPECT_EQ(ui.Progress, 256);
    // The last bytes may still be on their way to the board.
    second.TakeOver();
    const std::atomic<bool> stop{false};
    testsupport::WaitUntil(
        [&] { return second.Hc11.CurrentMode() == board::Mode::UserProgram && second.Hc11.Ram()[1] == 0xBB; },
        std::chrono::seconds(10), [&] { second.Line.Run(stop, 5); });
    second.Vanish();
    EXPECT_EQ(second.Hc11.CurrentMode(), board::Mode::UserProgram);
    EXPECT_EQ(second.Hc11.Ram()[1], 0xBB);
    port.Close();
}

TEST(ProgrammerKeys, AddressDialogKeepsHexDigitsAndBackspace) {
    for (char16_t key : {u'0', u'9', u'a', u'f', u'A', u'F', char16_t{8}}) EXPECT_EQ(EditPrviNaslovKeyPress(key), key);
    for (char16_t key : {u'g', u'-', u' ', u'G', u'\r', u'č'}) EXPECT_EQ(EditPrviNaslovKeyPress(key), 0) << int(key);
    EXPECT_TRUE(IsEraseAddress("B600"));
    EXPECT_TRUE(IsEraseAddress("b7f0"));
    EXPECT_FALSE(IsEraseAddress("B60"));
    EXPECT_FALSE(IsEraseAddress(""));
    EXPECT_FALSE(IsEraseAddress("B6G0"));
    EXPECT_FALSE(IsEraseAddress("B6000"));
}

}  // namespace
}  // namespace Vantrel
