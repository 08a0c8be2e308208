// Instructions per second through ExecuteInstruction, called as the
// simulation step calls it, on a program with a realistic mix: a counted
// loop with indexed loads, stores through the write filter (plain memory and
// the register block), direct stores, a subroutine call with stack traffic,
// 16-bit arithmetic and taken and untaken branches.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "simulator/Hc11.h"

namespace {

constexpr uint16_t Origin = 0xC000;

// clang-format off
const std::vector<uint8_t> MixProgram = {
    0x8E, 0x00, 0xFF,        // C000 LDS  #$00FF
    0xCE, 0x20, 0x00,        // C003 LDX  #$2000
    0x18, 0xCE, 0x21, 0x00,  // C006 LDY  #$2100
    0xC6, 0x40,              // C00A LDAB #$40
    0xA6, 0x00,              // C00C loop: LDAA 0,X
    0xAB, 0x01,              // C00E ADDA 1,X
    0x18, 0xA7, 0x00,        // C010 STAA 0,Y     (filter, plain memory)
    0xB7, 0x10, 0x04,        // C013 STAA $1004   (filter, PORTB)
    0x97, 0x10,              // C016 STAA $10
    0xBD, 0xC0, 0x25,        // C018 JSR  sub
    0x08,                    // C01B INX
    0x18, 0x08,              // C01C INY
    0x5A,                    // C01E DECB
    0x26, 0xEB,              // C01F BNE  loop
    0x7E, 0xC0, 0x03,        // C021 JMP  $C003
    0x01,                    // C024 NOP
    0x37,                    // C025 sub: PSHB
    0x44,                    // C026 LSRA
    0x81, 0x20,              // C027 CMPA #$20
    0x24, 0x01,              // C029 BHS  skip
    0x4C,                    // C02B INCA
    0xD3, 0x12,              // C02C skip: ADDD $12
    0xDD, 0x14,              // C02E STD  $14
    0x33,                    // C030 PULB
    0x39,                    // C031 RTS
};
// clang-format on

void LoadProgram(const std::vector<uint8_t>& bytes) {
    ClearModel();
    for (size_t i = 0; i < bytes.size(); ++i) StoreByte(static_cast<uint16_t>(Origin + i), bytes[i]);
    for (int i = 0; i < 0x100; ++i) StoreByte(static_cast<uint16_t>(0x2000 + i), static_cast<uint8_t>(i * 7));
    UnpackCcr(0xD0);
    CpuRegs.PC = Origin;
}

void BM_ExecuteInstructionMix(benchmark::State& state) {
    LoadProgram(MixProgram);
    int64_t executed = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            InstrCycles = 0;
            ExecuteInstruction(MemoryImage[CpuRegs.PC], CpuRegs.PC);
        }
        executed += 1000;
    }
    if (IllegalOpcode != 0) state.SkipWithError("the program ran into an unrecognised opcode");
    state.counters["instr/s"] = benchmark::Counter(static_cast<double>(executed), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExecuteInstructionMix);

}  // namespace

BENCHMARK_MAIN();
