// Output throughput of the POSIX comm layer over a pseudo-terminal, as a
// share of the line's rate (8N1: ten bits a byte): one overlapped write of
// about 1.5 s worth of bytes, timed until the board has them all.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/comm/PosixCommApi.h"
#include "platform/comm/PtyBoard.h"

namespace {

using namespace comm;
using Clock = std::chrono::steady_clock;

void WriteOverPty(benchmark::State& state) {
    const DWORD baud = static_cast<DWORD>(state.range(0));
    const size_t bytes = baud * 3 / 20;  // 1.5 s on the line
    PtyBoard board;
    PosixCommApi api;
    api.SetPortMap(ComPortMap{{1, board.SlavePath()}});
    const HANDLE h =
        api.CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, 0);
    if (h == INVALID_HANDLE_VALUE) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    DCB dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = baud;
    dcb.Flags = DCB::fBinary;
    dcb.ByteSize = 8;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    const COMMTIMEOUTS noWriteTimeout{MAXDWORD, 0, 0, 0, 0};
    api.SetupComm(h, 1024, 1024);
    api.SetCommState(h, &dcb);
    api.SetCommTimeouts(h, &noWriteTimeout);
    const std::string data(bytes, 'U');
    double seconds = 0;
    for (auto _ : state) {
        std::string received;
        const auto start = Clock::now();
        std::thread reader([&] { received = board.Receive(bytes, 60000); });
        OVERLAPPED ov{};
        ov.hEvent = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD n = 0;
        api.WriteFile(h, data.data(), static_cast<DWORD>(bytes), &n, &ov);
        reader.join();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        api.GetOverlappedResult(h, &ov, &n, TRUE);
        api.CloseHandle(ov.hEvent);
        if (received.size() != bytes) state.SkipWithError("bytes lost");
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    api.CloseHandle(h);
    const double lineSeconds = static_cast<double>(bytes) * 10 / baud * state.iterations();
    state.counters["line_share_%"] = 100 * lineSeconds / seconds;
    state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(WriteOverPty)
    ->Arg(1200)
    ->Arg(9600)
    ->Arg(38400)
    ->Arg(115200)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
