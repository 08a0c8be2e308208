// The programmer against the stand-in board at 1200 baud: a 256-byte RAM
// download and a 512-byte EEPROM programming, each against the line's limit
// (a frame of 10 bits, 8.33 ms, per byte). On the timed line the reported
// time is the simulated clock's; over a pseudo-terminal it is the wall
// clock's, with the comm layer pacing the line.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "comport/SerialPort.h"
#include "ide/Programmer.h"
#include "platform/clock/FakeClock.h"
#include "platform/comm/PosixCommApi.h"
#include "platform/shell/FakeShellApi.h"
#include "tools/board/PtyTransport.h"
#include "tools/board/TestHosts.h"
#include "tools/board/TimedLine.h"

namespace {

constexpr double FrameSeconds = 10.0 / 1200;

struct SilentUi : Vantrel::TProgrammerUi {
    void ShowMessage(const std::string& text, TBoxKind) override { Last = text; }
    bool Confirm(const std::string&, TBoxKind) override { return true; }
    std::optional<std::string> AskEraseAddress() override { return std::nullopt; }
    void SetGauge(int, int) override {}
    std::string Last;
};

void Serve() { HandOver::Instance().Serve(); }

// A 256-byte program as an object file, 16 bytes a record.
std::filesystem::path WriteObject() {
    const auto path = std::filesystem::temp_directory_path() / ("board_bench_" + std::to_string(::getpid()) + ".S19");
    std::vector<uint8_t> program(256);
    for (int i = 0; i < 256; ++i) program[i] = static_cast<uint8_t>(i * 7);
    std::ofstream(path) << board::MemoryToS19(program, 0, false);
    return path;
}

struct Programmer {
    explicit Programmer(comm::CommApi& api) : Shell(Clock), Port(api) {
        board::ConfigureProgrammerPort(Port, "COM2");
        Port.OnAfterOpen = [this](TObject*) { Port.SetDTR(true); };
        Port.OnDSRChange = [this](TObject*, bool on) { Vantrel::ComPort1DSRChange(Found, on); };
        Shell.AddProgram("Tolvex", shell::FakeShellApi::Program::Stays());
    }
    Vantrel::TProgrammerContext Context(const std::string& object, const std::string& kind) {
        Vantrel::TProgrammerContext c{Port, Ui, Shell, Clock, Downloader, PortOpen, Found};
        c.ObjectName = object;
        c.MemoryKind = kind;
        return c;
    }
    timing::FakeClock Clock;
    shell::FakeShellApi Shell;
    TComPort Port;
    Vantrel::TDownloaderWatch Downloader;
    SilentUi Ui;
    uint8_t PortOpen = 0;
    uint8_t Found = 0;
};

void RamDownloadTimed(benchmark::State& state) {
    const auto object = WriteObject();
    for (auto _ : state) {
        board::Board hc11;
        board::TimedCommApi line(hc11);
        line.SetServe(Serve);
        Programmer vantrel(line);
        vantrel.Port.Open();
        vantrel.PortOpen = 1;
        line.RunFor(board::Millisecond);
        const board::Nanos start = line.Now();
        Vantrel::TProgrammerContext c = vantrel.Context(object.string(), "RAM");
        Vantrel::ProgramBoard(c);
        line.RunUntil([&] { return hc11.CurrentMode() != board::Mode::BootRom; }, board::Second);
        if (hc11.Ram()[255] != static_cast<uint8_t>(255 * 7)) state.SkipWithError("RAM differs");
        state.SetIterationTime(static_cast<double>(line.Now() - start) / 1e9);
        vantrel.Port.Close();
    }
    const double limit = 257 * FrameSeconds;
    state.counters["line_limit_s"] = limit;
    std::filesystem::remove(object);
}

// The 512-byte EEPROM image both EEPROM cases program: 32 records of 16 bytes,
// every byte different from the erased $FF.
std::string EepromStream() {
    std::vector<board::StreamRecord> records;
    for (int r = 0; r < 32; ++r) {
        std::string data;
        for (int i = 0; i < 16; ++i) data += static_cast<char>(r + i);
        records.push_back({static_cast<uint16_t>(0xB600 + 16 * r), data});
    }
    return board::RecordStream(records);
}

void EepromTimed(benchmark::State& state) {
    const std::string stream = EepromStream();
    double wireFrames = 0;
    for (auto _ : state) {
        board::Board hc11;
        board::TimedCommApi line(hc11);
        line.SetServe(Serve);
        const board::Nanos start = line.Now();
        {
            Programmer vantrel(line);
            vantrel.Port.Open();
            vantrel.PortOpen = 1;
            Vantrel::TProgrammerContext c = vantrel.Context("TEMP$$.S19", "EEPROM");
            Vantrel::ProgramBoard(c);
        }
        // The downloader's own second of waiting is left out: it streams at once.
        board::StreamHost tolvex(line);
        tolvex.Port.Open();
        tolvex.Start(stream);
        line.RunUntil([&] { return tolvex.Done && hc11.RecordsProgrammed() == 32; }, 60 * board::Second);
        if (hc11.Eeprom()[511] != static_cast<uint8_t>(31 + 15) || tolvex.Failed) state.SkipWithError("EEPROM differs");
        state.SetIterationTime(static_cast<double>(line.Now() - start) / 1e9);
        wireFrames = static_cast<double>(line.Wire().size());
        tolvex.Port.Close();
    }
    const double programming = 512 * 0.021;
    state.counters["wire_frames"] = wireFrames;
    state.counters["line_limit_s"] = wireFrames * FrameSeconds;
    state.counters["programming_s"] = programming;
    state.counters["floor_s"] = wireFrames * FrameSeconds + programming;
}

void RamDownloadPty(benchmark::State& state) {
    const auto object = WriteObject();
    for (auto _ : state) {
        board::Parameters parameters;
        parameters.ReceiverDepth = 0;
        board::Board hc11(parameters);
        board::PtyTransport line(hc11);
        std::string error;
        if (!line.Open(&error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        std::atomic<bool> loaded{false}, stop{false};
        hc11.OnLog = [&](const board::LogEntry& entry) {
            if (entry.Kind == board::LogEntry::Note && entry.Text.rfind("bootstrap of", 0) == 0) loaded = true;
        };
        std::thread runner([&] { line.Run(stop); });
        comm::PosixCommApi api;
        api.SetPortMap(comm::ComPortMap{{2, line.SlavePath()}});
        api.SetVirtualLines("loop");
        Programmer vantrel(api);
        vantrel.Port.Open();
        vantrel.PortOpen = 1;
        vantrel.Found = 1;
        const auto begin = std::chrono::steady_clock::now();
        Vantrel::TProgrammerContext c = vantrel.Context(object.string(), "RAM");
        Vantrel::ProgramBoard(c);
        while (!loaded && std::chrono::steady_clock::now() - begin < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        stop = true;
        runner.join();
        vantrel.Port.Close();
        if (!loaded || hc11.Ram()[255] != static_cast<uint8_t>(255 * 7)) state.SkipWithError("RAM differs");
    }
    state.counters["line_limit_s"] = 257 * FrameSeconds;
    std::filesystem::remove(object);
}

void EepromPty(benchmark::State& state) {
    const std::string stream = EepromStream();
    for (auto _ : state) {
        board::Parameters parameters;
        parameters.ReceiverDepth = 0;
        board::Board hc11(parameters);
        board::PtyTransport line(hc11);
        std::string error;
        if (!line.Open(&error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        std::atomic<int> programmed{0};
        std::atomic<bool> stop{false};
        hc11.OnLog = [&](const board::LogEntry& entry) {
            if (entry.Kind == board::LogEntry::Note && entry.Text.rfind("record ", 0) == 0) ++programmed;
        };
        std::thread runner([&] { line.Run(stop); });
        comm::PosixCommApi api;
        api.SetPortMap(comm::ComPortMap{{2, line.SlavePath()}});
        api.SetVirtualLines("loop");
        const auto begin = std::chrono::steady_clock::now();
        {
            Programmer vantrel(api);
            vantrel.Port.Open();
            vantrel.PortOpen = 1;
            vantrel.Found = 1;
            Vantrel::TProgrammerContext c = vantrel.Context("TEMP$$.S19", "EEPROM");
            Vantrel::ProgramBoard(c);
        }
        board::StreamHost tolvex(api);
        tolvex.Port.Open();
        tolvex.Start(stream);
        while (programmed < 32 && !tolvex.Failed &&
               std::chrono::steady_clock::now() - begin < std::chrono::seconds(60)) {
            Serve();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        tolvex.Port.Close();
        stop = true;
        runner.join();
        if (programmed < 32 || hc11.Eeprom()[511] != static_cast<uint8_t>(31 + 15))
            state.SkipWithError("EEPROM differs");
    }
    const double wireFrames = 1 + 256 + stream.size();
    state.counters["wire_frames"] = wireFrames;
    state.counters["line_limit_s"] = wireFrames * FrameSeconds;
    state.counters["floor_s"] = wireFrames * FrameSeconds + 512 * 0.021;
}

}  // namespace

BENCHMARK(RamDownloadTimed)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EepromTimed)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(RamDownloadPty)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(EepromPty)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
