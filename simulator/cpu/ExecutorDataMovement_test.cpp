// Loads, stores, clears, transfers, exchanges, pushes and pulls.
#include <gtest/gtest.h>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"

static const TCaseTable& LoadsSetNZAndClearVCases = RegisterCaseTable({
    {"LDAA #$80 keeps C, sets N", "86 80", "B=34 C=1 V=1", "A=80 N=1 Z=0 V=0 cyc=2"},
    {"LDAA #$00 sets Z", "86 00", "A=55 N=1", "A=00 N=0 Z=1"},
    {"LDAB direct", "D6 40", "@0040=7F", "B=7F cyc=3"},
    {"LDAA extended leaves its address", "B6 12 34", "@1234=01", "A=01 ea=1234 cyc=4"},
    {"LDAA indexed X wraps past $FFFF", "A6 20", "IX=FFF0 @0010=99", "A=99 N=1 cyc=4"},
    {"LDAA indexed Y reads the offset after the prefix", "18 A6 05", "IY=0200 @0205=42", "A=42 cyc=5"},
    {"LDAA: operand cells accept lower case", "86 00", "@0101=\"3f\"", "A=3F"},
    {"LDAA: a one-character operand cell reads its digit as the high nibble", "86 00", "@0101=\"7\"", "A=70"},
    {"LDAA: an empty operand cell reads 0", "86 00", "A=55 @0101=\"\"", "A=00 Z=1"},
    {"LDD extended from $FFFF takes its low byte at $0000", "FC FF FF", "@FFFF=12 @0000=34", "D=1234 ea=FFFF cyc=5"},
    {"LDD #$8000 is negative as 16 bits", "CC 80 00", "", "D=8000 N=1 cyc=3"},
    {"LDS immediate sets the stack top", "8E 00 FF", "", "SP=00FF top=00FF cyc=3"},
    {"LDS extended sets the stack top too", "BE 00 40", "@0040=0123", "SP=0123 top=0123"},
    {"LDS indexed Y", "18 AE 00", "IY=0040 @0040=0000", "SP=0000 top=0000 Z=1 cyc=6"},
    {"LDX indexed Y lives on page $CD", "CD EE 02", "IY=0040 @0042=BEEF", "IX=BEEF N=1 cyc=6"},
    {"LDY immediate on page $18", "18 CE 00 00", "IY=1234", "IY=0000 Z=1 cyc=4"},
    {"LDY indexed X lives on page $1A", "1A EE 01", "IX=0040 @0041=0102", "IY=0102 cyc=6"},
});

TEST(DataMovement, LoadsSetNZAndClearV) { RunInstructionCases(LoadsSetNZAndClearVCases); }

static const TCaseTable& StoresTakeFlagsFromTheRegisterCases = RegisterCaseTable({
    {"STAA direct to the register page stores plainly", "97 23", "A=FF", "@0023=FF N=1 cyc=3"},
    {"STAB direct", "D7 00", "B=00 N=1 V=1", "Z=1 N=0 V=0"},
    {"STD indexed X: 4 cycles, high byte first", "ED 00", "D=8001 IX=0040", "@0040=8001 N=1 cyc=4"},
    {"STD indexed Y: 5 cycles", "18 ED 00", "D=0000 IY=0040", "Z=1 cyc=5"},
    {"STD extended into $1023 stores plainly", "FD 10 23", "D=FF01 @1023=FF", "@1023=FF01 N=1 ea=1023 cyc=5"},
    {"STD at $FFFF wraps its low byte to $0000", "FD FF FF", "D=ABCD", "@FFFF=AB @0000=CD N=1"},
    {"STS takes its flags from SP", "9F 40", "SP=0000", "@0040=0000 Z=1 cyc=4"},
    {"STX indexed Y on page $CD", "CD EF 00", "IX=7FFF IY=0040", "@0040=7FFF cyc=6"},
    {"STY indexed X on page $1A", "1A EF 00", "IY=8000 IX=0040", "@0040=8000 N=1 cyc=6"},
    {"STY extended", "18 FF 00 40", "IY=0102", "@0040=0102 ea=0040 cyc=6"},
});

TEST(DataMovement, StoresTakeFlagsFromTheRegister) { RunInstructionCases(StoresTakeFlagsFromTheRegisterCases); }

static const TCaseTable& FilteredStoresReachTheWriteFilterCases = RegisterCaseTable({
    {"STAA extended", "B7 20 00", "A=80", "@2000=80 N=1 ea=2000 cyc=4"},
    {"STAB extended", "F7 20 01", "B=00", "@2001=00 Z=1 ea=2001 cyc=4"},
    {"STAA indexed X", "A7 10", "A=01 IX=2000", "@2010=01 ea=2010 cyc=4"},
    {"STAB indexed X", "E7 FF", "B=02 IX=2000", "@20FF=02 ea=20FF cyc=4"},
    {"STAA indexed Y", "18 A7 01", "A=03 IY=2000", "@2001=03 ea=2001 cyc=5"},
    {"STAB indexed Y", "18 E7 02", "B=04 IY=2000", "@2002=04 ea=2002 cyc=5"},
});

TEST(DataMovement, FilteredStoresReachTheWriteFilter) {
    // Outside the register block the filter stores plainly, so the byte and
    // the address it was given show up in memory.
    RunInstructionCases(FilteredStoresReachTheWriteFilterCases);
}

TEST(DataMovement, WriteFilterRulesApplyOnlyToTheEightFilteredStores) {
    // TFLG1 ($1023) clears the bits written as 1 when written through the filter.
    SetUpMachine("A=80 @1023=C0");
    StoreByte(0x0100, 0xB7);
    StoreByte(0x0101, 0x10);
    StoreByte(0x0102, 0x23);
    ExecuteInstruction(MemoryImage[0x0100], 0x0100);
    EXPECT_EQ(MemoryImage[0x1023].View(), "40");

    SetUpMachine("A=80 IX=1000 @1023=C0");
    StoreByte(0x0100, 0x6F);  // CLR 23,X stores "00" plainly
    StoreByte(0x0101, 0x23);
    ExecuteInstruction(MemoryImage[0x0100], 0x0100);
    EXPECT_EQ(MemoryImage[0x1023].View(), "00");
}

static const TCaseTable& ClearsTransfersExchangesCases = RegisterCaseTable({
    {"CLRA", "4F", "A=FF B=12 N=1 V=1 C=1", "A=00 Z=1 N=0 V=0 C=0 cyc=2"},
    {"CLRB keeps A in D", "5F", "D=1234", "B=00 Z=1"},
    {"CLR extended stores 00", "7F 20 00", "@2000=5A C=1", "@2000=00 Z=1 C=0 ea=2000 cyc=6"},
    {"CLR indexed Y", "18 6F 00", "IY=2000 @2000=FF", "@2000=00 Z=1 cyc=7"},
    {"TAB copies A, both halves of D equal", "16", "A=80 B=00 V=1", "B=80 N=1 V=0"},
    {"TBA", "17", "A=11 B=00", "A=00 Z=1"},
    {"TSX points IX at the last byte pushed", "30", "SP=01F0", "IX=01F1 cyc=3"},
    {"TSX wraps at $FFFF", "30", "SP=FFFF", "IX=0000"},
    {"TXS is the inverse", "35", "IX=01F1", "SP=01F0 cyc=3"},
    {"TSY", "18 30", "SP=0040", "IY=0041 cyc=4"},
    {"TYS", "18 35", "IY=0000", "SP=FFFF cyc=4"},
    {"XGDX swaps and rewrites A and B", "8F", "D=1234 IX=1000", "D=1000 IX=1234 cyc=3"},
    {"XGDY", "18 8F", "D=00FF IY=ABCD", "D=ABCD IY=00FF cyc=4"},
    {"NOP changes nothing", "01", "A=12 C=1", "cyc=2"},
});

TEST(DataMovement, ClearsTransfersExchanges) { RunInstructionCases(ClearsTransfersExchangesCases); }

static const TCaseTable& PushesAndPullsCases = RegisterCaseTable({
    {"PSHA stores at SP then decrements", "36", "A=AA SP=00FF", "@00FF=AA SP=00FE cyc=3"},
    {"PSHB from $0000 wraps to $FFFF", "37", "B=BB SP=0000", "@0000=BB SP=FFFF"},
    {"PSHX low byte first", "3C", "IX=1234 SP=0100", "@00FF=1234 SP=00FE cyc=4"},
    {"PSHY", "18 3C", "IY=5678 SP=0100", "@00FF=5678 SP=00FE cyc=5"},
    {"PULA increments then reads, D follows", "32", "B=01 SP=00FE @00FF=80", "A=80 SP=00FF cyc=4"},
    {"PULB", "33", "A=01 SP=00FE @00FF=02", "B=02 SP=00FF"},
    {"PULX high byte first", "38", "SP=00FD @00FE=BEEF", "IX=BEEF SP=00FF cyc=5"},
    {"PULY from $FFFF wraps to $0000", "18 38", "SP=FFFF @0000=0102", "IY=0102 SP=0001 cyc=6"},
    {"pushes and pulls change no flag", "32", "SP=00FE @00FF=00 N=1 Z=0", "A=00 SP=00FF"},
});

TEST(DataMovement, PushesAndPulls) { RunInstructionCases(PushesAndPullsCases); }

// One plain case for each form that the tables above leave out, so that every
// row of the opcode table runs in some family's table.
static const TCaseTable& EveryOtherFormRunsCases = RegisterCaseTable({
    {"CLR indexed X", "6F 02", "IX=003E @0040=55", "@0040=00 Z=1"},
    {"LDAA direct", "96 40", "@0040=01", "A=01"},
    {"LDS direct", "9E 40", "@0040=0102", "SP=0102 top=0102"},
    {"LDS indexed X", "AE 02", "IX=003E @0040=0102", "SP=0102 top=0102"},
    {"STS indexed X", "AF 02", "IX=003E SP=0102", "@0040=0102"},
    {"STS extended", "BF 00 40", "SP=0102", "@0040=0102 ea=0040"},
    {"LDAB immediate", "C6 01", "", "B=01"},
    {"LDX immediate", "CE 01 02", "", "IX=0102"},
    {"LDD direct", "DC 40", "@0040=0102", "D=0102"},
    {"STD direct", "DD 40", "D=0102", "@0040=0102"},
    {"LDX direct", "DE 40", "@0040=0102", "IX=0102"},
    {"STX direct", "DF 40", "IX=0102", "@0040=0102"},
    {"LDAB indexed X", "E6 02", "IX=003E @0040=01", "B=01"},
    {"LDD indexed X", "EC 02", "IX=003E @0040=0102", "D=0102"},
    {"LDX indexed X", "EE 02", "IX=003E @0040=0102", "IX=0102"},
    {"STX indexed X", "EF 02", "IX=003E", "@0040=003E"},
    {"LDAB extended", "F6 00 40", "@0040=01", "B=01 ea=0040"},
    {"LDX extended", "FE 00 40", "@0040=0102", "IX=0102 ea=0040"},
    {"STX extended", "FF 00 40", "IX=0102", "@0040=0102 ea=0040"},
    {"STS indexed Y", "18 AF 02", "IY=003E SP=0102", "@0040=0102"},
    {"LDY direct", "18 DE 40", "@0040=0102", "IY=0102"},
    {"STY direct", "18 DF 40", "IY=0102", "@0040=0102"},
    {"LDAB indexed Y", "18 E6 02", "IY=003E @0040=01", "B=01"},
    {"LDD indexed Y", "18 EC 02", "IY=003E @0040=0102", "D=0102"},
    {"LDY indexed Y", "18 EE 02", "IY=003E @0040=0102", "IY=0102"},
    {"STY indexed Y", "18 EF 02", "IY=003E", "@0040=003E"},
    {"LDY extended", "18 FE 00 40", "@0040=0102", "IY=0102 ea=0040"},
});

TEST(DataMovement, EveryOtherFormRuns) { RunInstructionCases(EveryOtherFormRunsCases); }
