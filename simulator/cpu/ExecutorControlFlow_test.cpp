// Branches, jumps, subroutines, SWI, WAI, STOP, RTI and unrecognised opcodes.
#include <gtest/gtest.h>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"

static const TCaseTable& BranchConditionsCases = RegisterCaseTable({
    {"BRA", "20 10", "", "PC=0112 cyc=3"},
    {"BRN never", "21 10", "Z=1 C=1 N=1 V=1", "cyc=3"},
    {"BHI C=0 Z=0", "22 10", "", "PC=0112"},
    {"BHI not on Z", "22 10", "Z=1", ""},
    {"BHI not on C", "22 10", "C=1", ""},
    {"BLS on Z", "23 10", "Z=1", "PC=0112"},
    {"BLS on C", "23 10", "C=1", "PC=0112"},
    {"BLS not", "23 10", "", ""},
    {"BCC", "24 10", "C=0", "PC=0112"},
    {"BCC not", "24 10", "C=1", ""},
    {"BCS", "25 10", "C=1", "PC=0112"},
    {"BCS not", "25 10", "", ""},
    {"BNE", "26 10", "", "PC=0112"},
    {"BNE not", "26 10", "Z=1", ""},
    {"BEQ", "27 10", "Z=1", "PC=0112"},
    {"BEQ not", "27 10", "", ""},
    {"BVC", "28 10", "", "PC=0112"},
    {"BVC not", "28 10", "V=1", ""},
    {"BVS", "29 10", "V=1", "PC=0112"},
    {"BVS not", "29 10", "", ""},
    {"BPL", "2A 10", "N=0", "PC=0112"},
    {"BPL not", "2A 10", "N=1", ""},
    {"BMI", "2B 10", "N=1", "PC=0112"},
    {"BMI not", "2B 10", "", ""},
    {"BGE N=V=1", "2C 10", "N=1 V=1", "PC=0112"},
    {"BGE not N<>V", "2C 10", "N=1", ""},
    {"BLT N<>V", "2D 10", "V=1", "PC=0112"},
    {"BLT not", "2D 10", "N=1 V=1", ""},
    {"BGT", "2E 10", "N=1 V=1", "PC=0112"},
    {"BGT not on Z", "2E 10", "Z=1", ""},
    {"BLE on Z", "2F 10", "Z=1", "PC=0112"},
    {"BLE on N<>V", "2F 10", "N=1", "PC=0112"},
    {"BLE not", "2F 10", "", ""},
});

TEST(ControlFlow, BranchConditions) {
    // Each condition once where it holds (lands on $0112) and once where it
    // does not (falls through to $0102).
    RunInstructionCases(BranchConditionsCases);
}

static const TCaseTable& BranchDisplacementsCases = RegisterCaseTable({
    {"BRA $FE branches to itself", "20 FE", "", "PC=0100"},
    {"BRA $80 reaches back 128", "20 80", "", "PC=0082"},
    {"BRA $7F reaches forward 127", "20 7F", "", "PC=0181"},
    {"BRA past $FFFF wraps", "20 10", "PC=FFFE", "PC=0010"},
    {"an instruction at $FFFF reads its operand at $0000", "86", "PC=FFFF @0000=42", "A=42 PC=0001"},
});

TEST(ControlFlow, BranchDisplacements) { RunInstructionCases(BranchDisplacementsCases); }

static const TCaseTable& JumpsAndSubroutinesCases = RegisterCaseTable({
    {"JMP extended", "7E 02 00", "", "PC=0200 ea=0200 cyc=3"},
    {"JMP indexed X", "6E 05", "IX=0300", "PC=0305 cyc=3"},
    {"JMP indexed Y", "18 6E FF", "IY=FF01", "PC=0000 cyc=4"},
    {"JSR extended pushes the return address", "BD 02 00", "SP=00FF", "@00FE=0103 SP=00FD PC=0200 ea=0200 cyc=6"},
    {"JSR direct is recognised", "9D 40", "SP=00FF", "@00FE=0102 SP=00FD PC=0040 cyc=5"},
    {"JSR indexed X takes 5 cycles", "AD 10", "IX=0200 SP=00FF", "@00FE=0102 SP=00FD PC=0210 cyc=5"},
    {"JSR indexed Y takes 5 cycles", "18 AD 10", "IY=0200 SP=00FF", "@00FE=0103 SP=00FD PC=0210 cyc=5"},
    {"JSR whose push overwrites its own operand still jumps to the operand", "BD 02 00", "SP=0102",
     "@0101=0103 SP=0100 PC=0200"},
    {"JSR pushes across $0000", "BD 02 00", "SP=0000", "@FFFF=01 @0000=03 SP=FFFE PC=0200"},
    {"BSR", "8D 10", "SP=00FF", "@00FE=0102 SP=00FD PC=0112 cyc=6"},
    {"BSR backwards", "8D F0", "SP=00FF", "@00FE=0102 SP=00FD PC=00F2"},
    {"RTS", "39", "SP=00FD @00FE=0103", "SP=00FF PC=0103 cyc=5"},
    {"RTS pulls across $FFFF", "39", "SP=FFFF @0000=1234", "SP=0001 PC=1234"},
});

TEST(ControlFlow, JumpsAndSubroutines) { RunInstructionCases(JumpsAndSubroutinesCases); }

static const TCaseTable& InterruptInstructionsCases = RegisterCaseTable({
    {"SWI stacks every register and enters $00F7", "3F", "A=11 B=22 IX=3344 IY=5566 SP=00FF N=1 C=1",
     "@00F7=092211334455660101 SP=00F6 PC=00F7 I=1 cyc=14"},
    {"RTI restores everything and clears I", "3B", "SP=00F6 I=1 @00F7=EF2211334455660101",
     "A=11 B=22 IX=3344 IY=5566 SP=00FF PC=0101 S=1 H=1 I=0 N=1 Z=1 V=1 C=1 cyc=12"},
    {"RTI cannot set X", "3B", "SP=00F6 @00F7=40", "SP=00FF PC=0000"},
    {"RTI can clear X", "3B", "SP=00F6 X=1 @00F7=00", "SP=00FF PC=0000 X=0"},
    {"WAI stacks past itself, then runs unmasked", "3E", "SP=00FF I=1",
     "@00F7=100000000000000101 SP=00F6 PC=0101 I=0 wait=1 cyc=2"},
    {"STOP with S=1 runs on", "CF", "S=1", "cyc=2"},
    {"STOP with S=0 stays on itself", "CF", "", "PC=0100 stop=1 cyc=2"},
});

TEST(ControlFlow, InterruptInstructions) { RunInstructionCases(InterruptInstructionsCases); }

TEST(ControlFlow, WaitThenInterruptDoesNotStackAgain) {
    SetUpMachine("SP=00FF I=1 @0100=3E");
    ExecuteInstruction(MemoryImage[0x0100], 0x0100);
    EnterInterrupt(PseudoVectors::Irq);
    EXPECT_EQ(CpuRegs.PC, 0x00F1);
    EXPECT_EQ(CpuRegs.SP, 0x00F6);
    EXPECT_EQ(WaitState, 0);
    EXPECT_EQ(CcrFlags.FlagI, 0);  // kept: the entry that wakes a WAI does not mask
    EXPECT_EQ(CpuRegs.CCR, 0x00);
}

// Busy registers and flags, so that a change anywhere shows.
static const char* const busy = "A=12 B=34 IX=5678 IY=9ABC SP=0140 H=1 N=1 C=1";
static const TCaseTable& UnrecognisedOpcodesChangeNothingCases = RegisterCaseTable({
    {"$00", "00", busy, "PC=0100 ill=1"},
    {"$41 on page 0", "41", busy, "PC=0100 ill=1"},
    {"$C7 on page 0", "C7", busy, "PC=0100 ill=1"},
    {"$18 $00", "18 00", busy, "PC=0100 ill=1"},
    {"$18 $A6 is fine but $1A $A6 is not", "1A A6 00", busy, "PC=0100 ill=1"},
    {"INY exists only on page $18", "CD 08", busy, "PC=0100 ill=1"},
    {"$18 $18 is no double prefix", "18 18 08", busy, "PC=0100 ill=1"},
    {"lower-case opcode text", "", "@0100=\"b6\"", "PC=0100 ill=1"},
    {"one-character opcode cell", "", "@0100=\"B\"", "PC=0100 ill=1"},
    {"empty opcode cell", "", "@0100=\"\"", "PC=0100 ill=1"},
    {"prefix then a short cell", "18", "@0101=\"A\"", "PC=0100 ill=1"},
    {"prefix then an empty cell", "18", "@0101=\"\"", "PC=0100 ill=1"},
    {"prefix then lower case", "18", "@0101=\"a6\"", "PC=0100 ill=1"},
    {"upper-case opcode with lower-case operand", "", "@0100=\"B6\" @0101=\"00\" @0102=\"4f\" @004F=07",
     "A=07 PC=0103"},
});

TEST(ControlFlow, UnrecognisedOpcodesChangeNothing) { RunInstructionCases(UnrecognisedOpcodesChangeNothingCases); }

TEST(ControlFlow, UnrecognisedOpcodeRepacksAStaleCcr) {
    SetUpMachine("C=1 @0100=00");
    CpuRegs.CCR = 0;
    ExecuteInstruction(MemoryImage[0x0100], 0x0100);
    EXPECT_EQ(IllegalOpcode, 1);
    EXPECT_EQ(CpuRegs.CCR, 0x01);
}

TEST(ControlFlow, EachInstructionDecodesOnceBeforeItRuns) {
    // STAA 1,X into its own second byte: the store happens, but the
    // instruction is not re-read and PC moves by its original length.
    SetUpMachine("A=01 IX=0100 @0100=A701");
    ExecuteInstruction(MemoryImage[0x0100], 0x0100);
    EXPECT_EQ(CpuRegs.PC, 0x0102);
    EXPECT_EQ(MemoryImage[0x0101].View(), "01");
    EXPECT_EQ(InstrCycles, 4);
}
