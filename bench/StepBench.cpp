// Steps per second through SimulationStep with the timer system running: a
// student's OC2 square wave, once idling in BRA * and once with a busy main
// loop while the A/D converter and the gated pulse accumulator also run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "simulator/Hc11.h"

namespace {

constexpr uint16_t Origin = 0x0100;

// clang-format off
const std::vector<uint8_t> SetUp = {
    0x8E, 0x00, 0xB0,        // 0100 LDS  #$00B0
    0xCE, 0x10, 0x00,        // 0103 LDX  #$1000
    0xCC, 0x04, 0x00,        // 0106 LDD  #$0400
    0xED, 0x18,              // 0109 STD  TOC2,X
    0x86, 0x40,              // 010B LDAA #$40
    0xA7, 0x20,              // 010D STAA TCTL1,X   OC2 toggles PA6
    0xA7, 0x22,              // 010F STAA TMSK1,X   OC2I
    0x86, 0x80,              // 0111 LDAA #$80
    0xA7, 0x39,              // 0113 STAA OPTION,X  ADPU
    0x86, 0x30,              // 0115 LDAA #$30
    0xA7, 0x30,              // 0117 STAA ADCTL,X   SCAN, MULT
    0x86, 0x70,              // 0119 LDAA #$70
    0xA7, 0x26,              // 011B STAA PACTL,X   gated, counting while PA7 = 0
    0x0E,                    // 011D CLI
};
const std::vector<uint8_t> IdleLoop = {
    0x20, 0xFE,              // 011E BRA  *
};
const std::vector<uint8_t> BusyLoop = {
    0x18, 0xCE, 0x20, 0x00,  // 011E LDY  #$2000
    0xC6, 0x10,              // 0122 LDAB #$10
    0xA6, 0x31,              // 0124 loop: LDAA ADR1,X
    0x18, 0xA7, 0x00,        // 0126 STAA 0,Y
    0xA7, 0x04,              // 0129 STAA PORTB,X
    0x18, 0x08,              // 012B INY
    0x5A,                    // 012D DECB
    0x26, 0xF4,              // 012E BNE  loop
    0x20, 0xEC,              // 0130 BRA  $011E
};
const std::vector<uint8_t> Handler = {
    0xEC, 0x18,              // 0200 LDD  TOC2,X
    0xC3, 0x00, 0xC8,        // 0202 ADDD #200
    0xED, 0x18,              // 0205 STD  TOC2,X
    0x86, 0x40,              // 0207 LDAA #$40
    0xA7, 0x23,              // 0209 STAA TFLG1,X   clears OC2F
    0x3B,                    // 020B RTI
};
// clang-format on

void Load(uint16_t address, const std::vector<uint8_t>& bytes) {
    for (uint8_t byte : bytes) StoreByte(address++, byte);
}

void LoadProgram(const std::vector<uint8_t>& mainLoop) {
    ClearModel();
    Load(Origin, SetUp);
    Load(static_cast<uint16_t>(Origin + SetUp.size()), mainLoop);
    Load(PseudoVectors::OutputCompare2, {0x7E, 0x02, 0x00});  // JMP $0200
    Load(0x0200, Handler);
    AdInputValue = 0x80;
    ResetCpu(Origin);
}

void RunSteps(benchmark::State& state, const std::vector<uint8_t>& mainLoop) {
    LoadProgram(mainLoop);
    int64_t steps = 0;
    bool illegal = false;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) illegal |= SimulationStep().Illegal;
        steps += 1000;
    }
    if (illegal) state.SkipWithError("the program ran into an unrecognised opcode");
    if (ReadByte(0x1027) == 0) state.SkipWithError("the pulse accumulator never counted");
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

void BM_StepSquareWaveIdle(benchmark::State& state) { RunSteps(state, IdleLoop); }
BENCHMARK(BM_StepSquareWaveIdle);

void BM_StepSquareWaveBusy(benchmark::State& state) { RunSteps(state, BusyLoop); }
BENCHMARK(BM_StepSquareWaveBusy);

}  // namespace

BENCHMARK_MAIN();
