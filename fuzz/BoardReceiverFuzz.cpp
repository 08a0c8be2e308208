// The stand-in board's receiver on any bytes: random bytes at random moments
// on the line in each of its modes (boot ROM, erase loader, EEPROM talker,
// a user program), with random sizes and settings. It ends, keeps its
// memories at their sizes and never runs backwards in time.
#include "common/BootstrapPrograms.h"
#include "fuzz/FuzzSupport.h"
#include "tools/board/Board.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    board::Parameters parameters;
    parameters.RamSize = provider.ConsumeIntegralInRange(1, 1024);
    parameters.EepromSize = provider.ConsumeIntegralInRange(0, 2048);
    parameters.EepromBase = provider.ConsumeIntegral<uint16_t>();
    parameters.Echo = provider.ConsumeBool();
    parameters.ReceiverDepth = provider.ConsumeIntegralInRange(0, 3);
    parameters.ProgrammingDelay = provider.ConsumeBool();
    parameters.ResetAfterSilence = provider.ConsumeBool() ? 0 : 50 * board::Millisecond;
    board::Board board(parameters);
    board::Nanos lastSent = 0;
    size_t sent = 0;
    board.Transmit = [&](uint8_t, board::Nanos now) {
        fuzz::Check(now >= lastSent, "the board sends in time order",
                    std::to_string(lastSent) + " then " + std::to_string(now));
        lastSent = now;
        ++sent;
    };

    board::Nanos now = 0;
    auto receive = [&](uint8_t byte) {
        now += 8333333;  // a frame at 1200 baud
        board.Receive(byte, now);
        board.Advance(now);
    };
    // The mode: the bootstrap of a stored program or of any bytes first.
    switch (provider.ConsumeIntegralInRange(0, 3)) {
        case 1:
        case 2: {
            const std::vector<uint8_t> program =
                StoredProgramBytes(provider.ConsumeBool() ? EepromEraseLoader : EepromTalker);
            receive(0xFF);
            for (int i = 0; i < parameters.RamSize; ++i)
                receive(i < static_cast<int>(program.size()) ? program[static_cast<size_t>(i)] : 0xFF);
            break;
        }
        case 3:
            receive(0xFF);
            for (int i = 0; i < parameters.RamSize; ++i) receive(0x01);
            break;
        default: break;
    }
    while (provider.remaining_bytes() > 0) {
        const uint8_t kind = provider.ConsumeIntegral<uint8_t>();
        if (kind < 8) {
            // Time passes, up to a second, with every wake the board asks for.
            const board::Nanos until = now + provider.ConsumeIntegralInRange<board::Nanos>(0, board::Second);
            for (int wakes = 0; wakes < 10000; ++wakes) {
                const std::optional<board::Nanos> wake = board.NextWake();
                if (!wake || *wake > until) break;
                now = std::max(now, *wake);
                board.Advance(now);
            }
            now = until;
            board.Advance(now);
        } else if (kind < 10) {
            board.Reset(now);
        } else {
            receive(provider.ConsumeIntegral<uint8_t>());
        }
        fuzz::Check(static_cast<int>(board.Ram().size()) == parameters.RamSize &&
                        static_cast<int>(board.Eeprom().size()) == parameters.EepromSize,
                    "RAM and EEPROM keep their sizes");
    }
    fuzz::Check(board.BootstrapLength() >= 0 && board.BootstrapLength() <= parameters.RamSize,
                "no more bytes taken than the download holds");
    return 0;
}
