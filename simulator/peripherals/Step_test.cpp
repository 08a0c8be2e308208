#include <gtest/gtest.h>

#include <map>

#include "simulator/peripherals/PeripheralTestSupport.h"

namespace {

void Boot(uint16_t start) {
    ClearModel();
    ResetCpu(start);
}

void Steps(int count) {
    for (int i = 0; i < count; ++i) SimulationStep();
}

// A student's square wave: OC2 interrupts every 1000 E cycles and toggles PA6.
// Cycles per instruction address, taken from the instruction tables by hand.
const std::map<uint16_t, int> StudentProgramCycles = {
    {0x0100, 3}, {0x0103, 3}, {0x0106, 3}, {0x0109, 4}, {0x010B, 2}, {0x010D, 4},
    {0x010F, 4}, {0x0111, 2}, {0x0112, 3},                                          // main and its idle loop
    {0x00DC, 3},                                                                    // JMP at the pseudo-vector
    {0x0200, 5}, {0x0202, 4}, {0x0205, 4}, {0x0207, 2}, {0x0209, 4}, {0x020B, 12},  // handler
};

void LoadStudentProgram() {
    // clang-format off
    Load(0x0100, {0x8E, 0x00, 0xB0,   // LDS  #$00B0
                  0xCE, 0x10, 0x00,   // LDX  #$1000
                  0xCC, 0x04, 0x00,   // LDD  #$0400
                  0xED, 0x18,         // STD  TOC2,X
                  0x86, 0x40,         // LDAA #$40
                  0xA7, 0x20,         // STAA TCTL1,X  OC2 toggles PA6
                  0xA7, 0x22,         // STAA TMSK1,X  OC2I
                  0x0E,               // CLI
                  0x20, 0xFE});       // BRA  *
    // clang-format on
    Load(PseudoVectors::OutputCompare2, {0x7E, 0x02, 0x00});  // JMP $0200
    // clang-format off
    Load(0x0200, {0xEC, 0x18,         // LDD  TOC2,X
                  0xC3, 0x03, 0xE8,   // ADDD #1000
                  0xED, 0x18,         // STD  TOC2,X
                  0x86, 0x40,         // LDAA #$40
                  0xA7, 0x23,         // STAA TFLG1,X  writing 1 clears OC2F
                  0x3B});             // RTI
    // clang-format on
}

}  // namespace

TEST(StudentProgram, Oc2InterruptTogglesPa6EveryThousandCycles) {
    Boot(0x0100);
    LoadStudentProgram();
    int64_t cycles = 0;
    int entries = 0;
    for (int step = 0; step < 300000; ++step) {
        const auto known = StudentProgramCycles.find(CpuRegs.PC);
        ASSERT_NE(known, StudentProgramCycles.end())
            << "PC $" << std::hex << CpuRegs.PC << " at step " << std::dec << step;
        const int64_t before = cycles;
        cycles += known->second;
        const TStepResult result = SimulationStep();
        ASSERT_TRUE(result.Executed);
        ASSERT_FALSE(result.Illegal);
        if (CpuRegs.PC == PseudoVectors::OutputCompare2) {
            // Entry k belongs to the tick that passes the count $0400 + 1000k.
            const int64_t due = 0x0400 + 1000 * int64_t{entries};
            ASSERT_TRUE(before < due && due <= cycles)
                << "entry " << entries << " in ticks " << before << ".." << cycles;
            ASSERT_EQ(CpuRegs.SP, 0x00B0 - 9);
            ++entries;
        }
    }
    // 300000 steps: the idle loop dominates, so about 900000 cycles and 13 wraps.
    ASSERT_GT(cycles, 13 * 65536);
    EXPECT_EQ(entries, (cycles - 0x0400) / 1000 + 1);
    EXPECT_EQ(ReadWord(R::TCNTHI), cycles & 0xFFFF);
    EXPECT_EQ(TimerCount, cycles & 0xFFFF);
    EXPECT_EQ(ReadByte(R::PORTA), entries % 2 == 1 ? 0x40 : 0x00);
    EXPECT_EQ(ReadByte(R::TFLG2) & 0x80, 0x80);  // TOF flags without an enable
}

TEST(StudentProgram, BclrOnTheFlagsLeavesOc1fSetSoItFiresOnce) {
    // Clearing OC1F with BCLR TFLG1,X,$7F keeps OC1F and clears the others;
    // with nothing pending the next compares never ask again.
    Boot(0x0100);
    // clang-format off
    Load(0x0100, {0x8E, 0x00, 0xB0,           // LDS  #$00B0
                  0xCE, 0x10, 0x00,           // LDX  #$1000
                  0x86, 0x80,                 // LDAA #$80
                  0xA7, 0x22,                 // STAA TMSK1,X  OC1I
                  0x0E,                       // CLI
                  0x20, 0xFE});               // BRA  *
    // clang-format on
    Load(PseudoVectors::OutputCompare1, {0x7E, 0x02, 0x00});
    // clang-format off
    Load(0x0200, {0x1D, 0x23, 0x7F,           // BCLR TFLG1,X,$7F
                  0x3B});                     // RTI
    // clang-format on
    int entries = 0;
    for (int step = 0; step < 100000; ++step) {
        SimulationStep();
        if (CpuRegs.PC == PseudoVectors::OutputCompare1) ++entries;
    }
    // TOC1 = $0000 matches at every wrap; 100000 steps pass it four times.
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(ReadByte(R::TFLG1) & 0x80, 0x80);

    // BSET indexed hands the filter the old byte or the mask: every set flag clears.
    Load(0x0200, {0x1C, 0x23, 0x01});  // BSET TFLG1,X,$01
    StoreByte(R::TFLG1, 0xC3);
    CpuRegs.PC = 0x0200;
    Steps(1);
    EXPECT_EQ(ReadByte(R::TFLG1), 0x00);
}

TEST(AdConverterProgram, AdctlStoreRestartsTheSequence) {
    Boot(0x0100);
    AdInputValue = 0x5A;
    // clang-format off
    Load(0x0100, {0xCE, 0x10, 0x00,   // LDX  #$1000       3 cycles
                  0x86, 0x80,         // LDAA #$80         2
                  0xA7, 0x39,         // STAA OPTION,X     4  ADPU
                  0x86, 0x10,         // LDAA #$10         2
                  0xA7, 0x30,         // STAA ADCTL,X      4  MULT; restart
                  0x20, 0xFE});       // BRA  *            3
    // clang-format on
    Steps(5);
    EXPECT_EQ(AdCycleAccu, 4);  // the restart zeroed it before the store's own cycles
    // A/D ticks fall after 10, 21, 31 and 42 idle loops (the accumulator
    // reaching 34, 35, 33, 34); each conversion is served one step later.
    Steps(11);
    EXPECT_EQ(ReadByte(R::ADR1), 0x5A);
    EXPECT_EQ(ReadByte(R::ADR1 + 1), 0x00);
    Steps(42 - 11);
    EXPECT_EQ(ReadByte(R::ADR1 + 2), 0x5A);
    EXPECT_EQ(ReadByte(R::ADR1 + 3), 0x00);
    EXPECT_EQ(ReadByte(R::ADCTL), 0x10);
    Steps(1);
    EXPECT_EQ(ReadByte(R::ADR1 + 3), 0x5A);
    EXPECT_EQ(ReadByte(R::ADCTL), 0x90);
}

TEST(WaitAndStop, WaitTicksOnlyTheTimerUntilAnEntry) {
    Boot(0x0100);
    // clang-format off
    Load(0x0100, {0x8E, 0x00, 0xB0,   // LDS  #$00B0  3
                  0xCE, 0x10, 0x00,   // LDX  #$1000  3
                  0xCC, 0x01, 0x00,   // LDD  #$0100  3
                  0xED, 0x18,         // STD  TOC2,X  4
                  0x86, 0x40,         // LDAA #$40    2
                  0xA7, 0x22,         // STAA TMSK1,X 4
                  0xC6, 0x40,         // LDAB #$40    2
                  0xE7, 0x26,         // STAB PACTL,X 4  pulse accumulator on
                  0x3E});             // WAI          2
    // clang-format on
    Steps(9);  // 27 cycles
    ASSERT_EQ(WaitState, 1);
    EXPECT_EQ(ReadWord(R::TCNTHI), 27);
    const uint16_t stacked = CpuRegs.SP;
    PinEdgePA7 = 1;
    // Each waiting step advances TCNT by the WAI's 2 cycles: $0100 is reached
    // after (256 - 27 + 1) / 2 = 115 of them.
    for (int i = 0; i < 114; ++i) {
        const TStepResult result = SimulationStep();
        ASSERT_FALSE(result.Executed);
    }
    EXPECT_EQ(WaitState, 1);
    EXPECT_EQ(ReadWord(R::TCNTHI), 27 + 228);
    EXPECT_EQ(ReadByte(R::PACNT), 0);  // not served while waiting
    EXPECT_EQ(PinEdgePA7, 1);
    Steps(1);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::OutputCompare2);
    EXPECT_EQ(WaitState, 0);
    EXPECT_EQ(CpuRegs.SP, stacked);  // the WAI's frame serves the entry
    EXPECT_EQ(StackDepth, 9);
}

TEST(WaitAndStop, StopFreezesEverythingUntilIrq) {
    Boot(0x0100);
    // clang-format off
    Load(0x0100, {0x8E, 0x00, 0xB0,   // LDS #$00B0
                  0x4F,               // CLRA
                  0x06,               // TAP: S, X and I cleared
                  0xCF});             // STOP
    // clang-format on
    Steps(4);
    ASSERT_EQ(StopState, 1);
    const uint16_t count = ReadWord(R::TCNTHI);
    EXPECT_EQ(count, 3 + 2 + 2 + 2);
    for (int i = 0; i < 50; ++i) {
        const TStepResult result = SimulationStep();
        ASSERT_FALSE(result.Executed);
    }
    EXPECT_EQ(ReadWord(R::TCNTHI), count);
    EXPECT_EQ(CpuRegs.PC, 0x0105);
    IrqPending = 1;
    Steps(1);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::Irq);
    EXPECT_EQ(StopState, 0);
    EXPECT_EQ(ReadWord(CpuRegs.SP + 8), 0x0105);  // RTI would return to the STOP
    EXPECT_EQ(ReadWord(R::TCNTHI), count);
}

TEST(ExternalRequests, MaskedIrqIsDroppedAndXirqWaitsForX) {
    Boot(0x0100);                                                          // reset leaves I and X set
    Load(0x0100, {0x8E, 0x00, 0xB0, 0x01, 0x01, 0x86, 0x00, 0x06, 0x01});  // LDS, NOP, NOP, LDAA #0, TAP, NOP
    IrqPending = 1;
    XirqPending = 1;
    Steps(1);
    EXPECT_EQ(IrqPending, 0);
    EXPECT_EQ(CpuRegs.PC, 0x0103);
    Steps(3);  // NOP, NOP, LDAA: X still set, XIRQ kept
    EXPECT_EQ(XirqPending, 1);
    EXPECT_EQ(CpuRegs.PC, 0x0107);
    Steps(1);  // TAP clears X; the same step enters
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::Xirq);
    EXPECT_EQ(XirqPending, 0);
    EXPECT_EQ(StackDepth, 9);
}

TEST(IllegalOpcode, ReportedAndEnteredAtItsTrap) {
    Boot(0x0100);
    Load(0x0100, {0x8E, 0x00, 0xB0, 0x41});
    Steps(1);
    const TStepResult result = SimulationStep();
    EXPECT_TRUE(result.Executed);
    EXPECT_TRUE(result.Illegal);
    EXPECT_EQ(result.IllegalText, "41");
    EXPECT_EQ(result.IllegalAddress, 0x0103);
    EXPECT_FALSE(result.PcMovedBeforeReport);
    EXPECT_EQ(IllegalOpcodeMessage(result), "Nepravilna operacijska koda! \"41\"");
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::IllegalOpcodeTrap);
    EXPECT_EQ(ReadWord(CpuRegs.SP + 8), 0x0103);
    EXPECT_EQ(IllegalOpcode, 0);
    EXPECT_EQ(ReadWord(R::TCNTHI), 3);  // the illegal opcode took no time

    WriteCell(0x0300, "q");  // a window edit that is no opcode at all
    CpuRegs.PC = 0x0300;
    EXPECT_EQ(IllegalOpcodeMessage(SimulationStep()), "Nepravilna operacijska koda! \"q\"");
}

TEST(IllegalOpcode, ReportNamesTheOpcodeEvenAfterAnIrqEntry) {
    Boot(0x0100);
    Load(0x0100, {0x8E, 0x00, 0xB0, 0x0E, 0x41});  // LDS, CLI, illegal
    Load(PseudoVectors::Irq, {0x01});              // a legal NOP at the vector
    Steps(2);
    IrqPending = 1;
    const TStepResult result = SimulationStep();
    EXPECT_TRUE(result.Illegal);
    EXPECT_EQ(result.IllegalText, "41");
    EXPECT_EQ(result.IllegalAddress, 0x0104);
    EXPECT_TRUE(result.PcMovedBeforeReport);
    EXPECT_EQ(IllegalOpcodeMessage(result), "Nepravilna operacijska koda! \"41\" na naslovu $0104");
    // IRQ entered first, then the trap stacked the IRQ's vector.
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::IllegalOpcodeTrap);
    EXPECT_EQ(ReadWord(CpuRegs.SP + 8), PseudoVectors::Irq);
    EXPECT_EQ(ReadWord(CpuRegs.SP + 17), 0x0104);
    EXPECT_EQ(StackDepth, 18);
}

TEST(ResetCpu, SetsTheStartStateAndKeepsTheRest) {
    ClearModel();
    CpuRegs = {.A = 1, .B = 2, .D = 0x0102, .IX = 3, .IY = 4, .SP = 5, .PC = 6, .CCR = 0};
    WaitState = StopState = IrqPending = XirqPending = 1;
    StackDepth = StackTop = InstrCycles = AdConversionCount = 2;
    TimerCount = 0x1234;
    PrevTimerCount = 0x1230;
    RtiCycleAccu = 100;
    E64CycleAccu = 37;
    StoreWord(R::TCNTHI, 0x1234);
    StoreByte(R::TFLG1, 0x80);
    ResetCpu(0xB600);
    EXPECT_EQ(CpuRegs, (TCpuRegisters{.PC = 0xB600, .CCR = 0xD0}));
    EXPECT_EQ(CcrFlags, (TCcrFlags{.FlagS = 1, .FlagX = 1, .FlagI = 1}));
    EXPECT_EQ(RunState, TRunState{});
    EXPECT_EQ(AdConversionCount, 0);
    EXPECT_EQ(TimerCount, 0);
    EXPECT_EQ(PrevTimerCount, 0);
    EXPECT_EQ(ReadWord(R::TCNTHI), 0);
    EXPECT_EQ(MemoryImage[R::CONFIG].View(), "0F");
    EXPECT_EQ(MemoryImage[R::OPTION].View(), "10");
    // Kept: the other cells and the peripheral accumulators.
    EXPECT_EQ(ReadByte(R::TFLG1), 0x80);
    EXPECT_EQ(RtiCycleAccu, 100);
    EXPECT_EQ(E64CycleAccu, 37);
}
