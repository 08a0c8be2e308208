// The board on a pseudo-terminal with the POSIX comm layer: in process (the
// transport on a thread of its own) and as the hc11board program. Results,
// not timing: the pseudo-terminal has no line time of its own.
#include "tools/board/PtyTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <filesystem>
#include <thread>

#include "common/BootstrapPrograms.h"
#include "platform/comm/PosixCommApi.h"
#include "tests/support/TestSupport.h"
#include "tools/board/BoardProcess.h"
#include "tools/board/TestHosts.h"

namespace board {
namespace {

using namespace std::chrono_literals;

std::string Bytes(std::string_view hexText) {
    const std::vector<uint8_t> bytes = StoredProgramBytes(hexText);
    return std::string(bytes.begin(), bytes.end());
}

// What a bootstrap download puts on the line: $FF and RamSize bytes.
constexpr int DownloadBytes = 257;

// The transport on its own thread; the board is read once it has stopped.
struct PtyLine {
    explicit PtyLine(Parameters parameters) : Hc11(parameters), Line(Hc11) {
        Hc11.OnLog = [this](const LogEntry& entry) {
            if (entry.Kind == LogEntry::Received) ++Received;
            if (entry.Kind == LogEntry::Note && entry.Text.rfind("record ", 0) == 0) ++Records;
        };
        std::string error;
        Opened = Line.Open(&error);
        Api.SetPortMap(comm::ComPortMap{{2, Line.SlavePath()}});
        Api.SetVirtualLines(parameters.Dsr == DsrMode::Off ? "none" : "loop");
        Thread = std::thread([this] { Line.Run(Stop); });
    }
    ~PtyLine() { Halt(); }
    void Halt() {
        Stop = true;
        if (Thread.joinable()) Thread.join();
    }
    Board Hc11;
    PtyTransport Line;
    comm::PosixCommApi Api;
    std::atomic<bool> Stop{false};
    std::thread Thread;
    bool Opened = false;
    std::atomic<int> Records{0};
    std::atomic<int> Received{0};
};

Parameters PtyParameters() {
    Parameters parameters;
    parameters.ReceiverDepth = 0;
    parameters.TailGap = 200 * Millisecond;
    return parameters;
}

TEST(PtyBoard, WithoutAResetTheNextDownloadGoesToTheRunningProgram) {
    PtyLine pty(PtyParameters());
    ASSERT_TRUE(pty.Opened);
    std::string program;
    for (int i = 0; i < 40; ++i) program += static_cast<char>(i * 3);
    {
        BootstrapHost host(pty.Api);
        host.Port.SetBaudRate(br38400);
        host.Port.Open();
        ASSERT_TRUE(PumpUntil([&] { return host.Found; }));
        ASSERT_TRUE(host.Download(program, 256));
        ASSERT_TRUE(host.Download(Bytes(EepromTalker), 256));
        ASSERT_TRUE(PumpUntil([&] { return pty.Received >= 2 * DownloadBytes; }));
        host.Port.Close();
    }
    StreamHost stream(pty.Api);
    stream.Port.SetBaudRate(br38400);
    stream.Port.Open();
    std::vector<StreamRecord> records;
    for (int r = 0; r < 6; ++r)
        records.push_back({static_cast<uint16_t>(0xB600 + 16 * r), std::string(16, char(0x40 + r))});
    const std::string bytes = RecordStream(records);
    stream.Start(bytes);
    ASSERT_TRUE(PumpUntil([&] { return stream.Done || stream.Failed; }, 20s));
    EXPECT_FALSE(stream.Failed);
    // The running program takes the whole stream before the board is read.
    EXPECT_TRUE(PumpUntil([&] { return pty.Received >= 2 * DownloadBytes + static_cast<int>(bytes.size()); }));
    stream.Port.Close();
    pty.Halt();

    // Nobody reset the board between the downloads, and the stand-in takes
    // silence as a reset only when asked to.
    EXPECT_EQ(pty.Hc11.CurrentMode(), Mode::UserProgram);
    EXPECT_EQ(std::string(pty.Hc11.Ram().begin(), pty.Hc11.Ram().begin() + 40), program);
}

TEST(PtyBoard, EepromEndToEndWithResetBySilence) {
    Parameters parameters = PtyParameters();
    parameters.ResetAfterSilence = 500 * Millisecond;
    PtyLine pty(parameters);
    ASSERT_TRUE(pty.Opened);
    auto download = [&](const std::string& bytes) {
        BootstrapHost host(pty.Api);
        host.Port.SetBaudRate(br38400);
        host.Port.Open();
        const int before = pty.Received;
        ASSERT_TRUE(host.Download(bytes, 256));
        // The silence counts from the last byte the board took, which a
        // loaded machine may hand it well after the write returned.
        ASSERT_TRUE(PumpUntil([&] { return pty.Received >= before + DownloadBytes; }));
        // The silence itself: after it the next $FF is taken as the reset button.
        std::this_thread::sleep_for(700ms);
        host.Port.Close();
    };
    download("\x01\x02\x03");
    download(Bytes(EepromEraseLoader));
    download(Bytes(EepromTalker));
    StreamHost stream(pty.Api);
    stream.Port.SetBaudRate(br38400);
    stream.Port.Open();
    std::vector<StreamRecord> records;
    for (int r = 0; r < 6; ++r)
        records.push_back({static_cast<uint16_t>(0xB600 + 16 * r), std::string(16, char(0x40 + r))});
    stream.Start(RecordStream(records));
    ASSERT_TRUE(PumpUntil([&] { return stream.Done || stream.Failed; }, 20s));
    EXPECT_FALSE(stream.Failed);
    // The board's answers on the pseudo-terminal are late: the stream may run
    // ahead into its receiver, which keeps every byte.
    EXPECT_TRUE(PumpUntil([&] { return pty.Records >= 6; }));
    stream.Port.Close();
    pty.Halt();

    EXPECT_EQ(pty.Hc11.CurrentMode(), Mode::Talker);
    EXPECT_EQ(pty.Hc11.RecordsProgrammed(), 6);
    for (int i = 0; i < 96; ++i) EXPECT_EQ(pty.Hc11.Eeprom()[i], 0x40 + i / 16) << i;
    EXPECT_EQ(pty.Hc11.Eeprom()[96], 0xFF);
    EXPECT_EQ(pty.Hc11.Ram()[0x26], 0x8E);  // the talker's start-up code, not overwritten
    EXPECT_FALSE(pty.Hc11.LineFlags().FirstByteNotFF);
    EXPECT_EQ(pty.Hc11.LineFlags().BytesBeyondRamSize, 0);
}

TEST(PtyBoard, StreamAtTheProgramsRateIsNotHeldUpByTheXoff) {
    PtyLine pty(PtyParameters());
    ASSERT_TRUE(pty.Opened);
    {
        BootstrapHost host(pty.Api);
        host.Port.SetBaudRate(br38400);
        host.Port.Open();
        ASSERT_TRUE(host.Download(Bytes(EepromTalker), 256));
        ASSERT_TRUE(PumpUntil([&] { return pty.Received >= DownloadBytes; }));
        host.Port.Close();
    }
    StreamHost stream(pty.Api);  // 1200 baud, as the downloader
    stream.Port.Open();
    stream.Start(RecordStream(
        {{0xB600, std::string(16, '\x21')}, {0xB610, std::string(16, '\x22')}, {0xB620, std::string(3, '\x23')}}));
    ASSERT_TRUE(PumpUntil([&] { return stream.Done || stream.Failed; }));
    EXPECT_FALSE(stream.Failed);
    EXPECT_TRUE(PumpUntil([&] { return pty.Records >= 3; }, 15s));
    stream.Port.Close();
    pty.Halt();
    EXPECT_EQ(pty.Hc11.Eeprom()[0x0F], 0x21);
    EXPECT_EQ(pty.Hc11.Eeprom()[0x10], 0x22);
    EXPECT_EQ(pty.Hc11.Eeprom()[0x22], 0x23);
    EXPECT_EQ(pty.Hc11.Eeprom()[0x23], 0xFF);
}

TEST(PtyBoard, NoBoardShowsNoDsr) {
    Parameters parameters = PtyParameters();
    parameters.Dsr = DsrMode::Off;
    PtyLine pty(parameters);
    BootstrapHost host(pty.Api);
    host.Port.Open();
    PumpUntil([] { return false; }, 100ms);  // no DSR event in that time
    EXPECT_FALSE(host.Found);
}

// The program as a person runs it: the mapping on its first lines, the
// report as it goes, the memory as S19 files.
class Hc11BoardProgram : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args) { ASSERT_TRUE(Process.Start(HC11BOARD_PATH, args)); }
    bool ReadUntil(const std::string& text) { return Process.ReadUntil(text, 5000, ServeHandOvers); }
    // "VANTREL_COMPORTS=COM2=/dev/pts/N" -> /dev/pts/N
    std::string SlavePath() const {
        const std::string map = Process.Value("VANTREL_COMPORTS");
        return map.rfind("COM2=", 0) == 0 ? map.substr(5) : std::string();
    }
    testsupport::TTempFolder Dir{"hc11board-test"};
    BoardProcess Process;
    std::string& Output = Process.Output;
};

TEST_F(Hc11BoardProgram, ReportsAndKeepsTheMemoryAsS19) {
    const std::string lines = Dir.File("lines");
    const std::string ram = Dir.File("ram.s19");
    Start({"--lines-file", lines, "--ram-s19", ram, "--eeprom-s19", Dir.File("eeprom.s19"), "--quiet"});
    ASSERT_TRUE(ReadUntil("waiting for $FF"));
    ASSERT_FALSE(SlavePath().empty()) << Output;

    comm::PosixCommApi api;
    api.SetPortMap(comm::ComPortMap{{2, SlavePath()}});
    ::setenv("VANTREL_PTY_LINES_FILE", lines.c_str(), 1);
    {
        BootstrapHost host(api);
        host.Port.SetBaudRate(br38400);
        host.Port.Open();
        ASSERT_TRUE(PumpUntil([&] { return host.Found; }));
        ASSERT_TRUE(host.Download("\x86\x01\x20\xFE", 256));
        ASSERT_TRUE(ReadUntil("bootstrap of 256 bytes: user program")) << Output;
        host.Port.Close();
    }
    ::unsetenv("VANTREL_PTY_LINES_FILE");

    std::vector<uint8_t> memory(256, 0);
    std::string error;
    ASSERT_TRUE(S19ToMemory(testsupport::FileBytes(ram), 0, memory, &error)) << error;
    EXPECT_EQ(std::string(memory.begin(), memory.begin() + 5), "\x86\x01\x20\xFE\xFF");
    EXPECT_TRUE(std::filesystem::exists(Dir / "eeprom.s19"));

    EXPECT_EQ(Process.Stop(ServeHandOvers), 0);
    EXPECT_NE(Output.find("board: mode user program"), std::string::npos) << Output;
}

TEST_F(Hc11BoardProgram, DsrOffIsNoBoard) {
    const std::string lines = Dir.File("lines");
    Start({"--lines-file", lines, "--dsr", "off", "--quiet"});
    ASSERT_TRUE(ReadUntil("waiting for $FF"));
    comm::PosixCommApi api;
    api.SetPortMap(comm::ComPortMap{{2, SlavePath()}});
    ::setenv("VANTREL_PTY_LINES_FILE", lines.c_str(), 1);
    BootstrapHost host(api);
    host.Port.Open();
    PumpUntil([] { return false; }, 100ms);  // no DSR event in that time
    EXPECT_FALSE(host.Found);
    host.Port.Close();
    ::unsetenv("VANTREL_PTY_LINES_FILE");
}

TEST(Hc11BoardArguments, BadArgumentIsRefused) {
    pid_t pid = -1;
    std::string program = HC11BOARD_PATH, arg = "--ram", value = "lots";
    char* argv[] = {program.data(), arg.data(), value.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ASSERT_EQ(posix_spawn(&pid, HC11BOARD_PATH, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace board
