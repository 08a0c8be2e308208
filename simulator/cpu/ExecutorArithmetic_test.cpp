// Add, subtract, increment, decrement, negate, complement, DAA, MUL, divides.
#include <gtest/gtest.h>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"

static const TCaseTable& AddWithTheDestinationSignRuleCases = RegisterCaseTable({
    {"ADDA $7F+1", "8B 01", "A=7F", "A=80 N=1 V=1 C=0 H=1 Z=0 cyc=2"},
    {"ADDA $01+$80: V because bit 7 of A changed", "8B 80", "A=01", "A=81 N=1 V=1"},
    {"ADDA $C0+$40 wraps to zero with V", "8B 40", "A=C0", "A=00 Z=1 V=1 C=1"},
    {"ADDA $80+$01: no V, the sign did not change", "8B 01", "A=80", "A=81 N=1"},
    {"ADDA $FE+1 reaches $FF without a carry", "8B 01", "A=FE", "A=FF N=1 C=0"},
    {"ADDB $FF+1 in D", "CB 01", "A=12 B=FF", "B=00 Z=1 C=1 V=1 H=1"},
    {"ADDA without half carry clears H", "8B 01", "A=00 H=1", "A=01 H=0"},
    {"ADDA direct", "9B 40", "A=01 @0040=02", "A=03 cyc=3"},
    {"ADDA indexed Y", "18 AB 00", "A=01 IY=0040 @0040=02", "A=03 cyc=5"},
    {"ABA", "1B", "A=0F B=01", "A=10 H=1 cyc=2"},
    {"ADCA carry joins M before its nibble", "89 0F", "A=01 C=1", "A=11 H=0 C=0"},
    {"ADCA $FF+$00+1", "89 00", "A=FF C=1", "A=00 Z=1 C=1 V=1 H=1"},
    {"ADCB without carry is ADDB", "C9 01", "B=7F", "B=80 N=1 V=1 H=1"},
    {"ADDD $FFFF+1", "C3 00 01", "D=FFFF", "D=0000 Z=1 C=1 V=1 cyc=4"},
    {"ADDD $7FFF+1 sets V and N", "C3 00 01", "D=7FFF", "D=8000 N=1 V=1"},
    {"ADDD leaves H alone", "C3 00 0F", "D=000F H=1", "D=001E"},
    {"ADDD extended takes its low byte from $0000", "F3 FF FF", "D=0001 @FFFF=01 @0000=02", "D=0103 ea=FFFF cyc=6"},
    {"ADDD indexed Y", "18 E3 00", "D=0001 IY=0040 @0040=0001", "D=0002 cyc=7"},
});

TEST(Arithmetic, AddWithTheDestinationSignRule) { RunInstructionCases(AddWithTheDestinationSignRuleCases); }

static const TCaseTable& SubtractCases = RegisterCaseTable({
    {"SUBA $00-1", "80 01", "A=00", "A=FF C=1 N=1 V=1 cyc=2"},
    {"SUBA $80-1", "80 01", "A=80", "A=7F V=1"},
    {"SUBA equal gives zero", "80 42", "A=42 C=1 H=1", "A=00 Z=1 C=0"},
    {"SBCA with carry", "82 01", "A=02 C=1", "A=00 Z=1 C=0"},
    {"SBCA $FF with carry always borrows", "82 FF", "A=FF C=1", "A=FF C=1 N=1"},
    {"SBCA without carry is SUBA", "82 01", "A=00", "A=FF C=1 N=1 V=1"},
    {"SBCA indexed Y", "18 A2 00", "A=05 IY=0040 @0040=01 C=1", "A=03 C=0 cyc=5"},
    {"SBCB", "C2 00", "B=00 C=1", "B=FF C=1 N=1 V=1"},
    {"SBA", "10", "A=03 B=05", "A=FE C=1 N=1 V=1 cyc=2"},
    {"SUBD immediate", "83 00 01", "D=0000", "D=FFFF C=1 N=1 V=1 cyc=4"},
    {"SUBD indexed X is two bytes long", "A3 00", "D=0005 IX=0040 @0040=0005", "D=0000 Z=1 cyc=6"},
    {"SUBD $8000-1", "83 00 01", "D=8000", "D=7FFF V=1"},
});

TEST(Arithmetic, Subtract) { RunInstructionCases(SubtractCases); }

static const TCaseTable& IncrementDecrementCases = RegisterCaseTable({
    {"INCA $7F", "4C", "A=7F", "A=80 N=1 V=1 cyc=2"},
    {"INCA $FF sets V too, C untouched", "4C", "A=FF C=0", "A=00 Z=1 V=1"},
    {"INCB in D", "5C", "A=12 B=FF", "B=00 Z=1 V=1"},
    {"DECA $80", "4A", "A=80", "A=7F V=1"},
    {"DECA $00", "4A", "A=00 C=1", "A=FF N=1 V=1"},
    {"DECB in D", "5A", "A=12 B=00", "B=FF N=1 V=1"},
    {"INC indexed X: 7 cycles", "6C 00", "IX=0040 @0040=01", "@0040=02 cyc=7"},
    {"INC extended: 7 cycles", "7C 00 40", "@0040=FF", "@0040=00 Z=1 V=1 ea=0040 cyc=7"},
    {"INC indexed Y", "18 6C 00", "IY=0040 @0040=7F", "@0040=80 N=1 V=1 cyc=7"},
    {"INC into the register block stores plainly", "6C 23", "IX=1000 @1023=80", "@1023=81 N=1"},
    {"DEC indexed X: 6 cycles", "6A 00", "IX=0040 @0040=01", "@0040=00 Z=1 cyc=6"},
    {"DEC extended", "7A 00 40", "@0040=00", "@0040=FF N=1 V=1 cyc=6"},
    {"DEC indexed Y", "18 6A 00", "IY=0040 @0040=80", "@0040=7F V=1 cyc=7"},
    {"INX wraps, sets Z only", "08", "IX=FFFF N=1 V=1 C=1", "IX=0000 Z=1 cyc=3"},
    {"DEX", "09", "IX=0001", "IX=0000 Z=1"},
    {"DEX clears Z", "09", "IX=0000 Z=1", "IX=FFFF Z=0"},
    {"INY", "18 08", "IY=00FF", "IY=0100 cyc=4"},
    {"DEY", "18 09", "IY=0001", "IY=0000 Z=1 cyc=4"},
    {"INS touches no flag", "31", "SP=FFFF", "SP=0000 cyc=3"},
    {"DES wraps", "34", "SP=0000", "SP=FFFF cyc=3"},
    {"ABX takes B unsigned", "3A", "B=FF IX=FF01", "IX=0000 cyc=3"},
    {"ABY", "18 3A", "B=80 IY=0000", "IY=0080 cyc=4"},
});

TEST(Arithmetic, IncrementDecrement) { RunInstructionCases(IncrementDecrementCases); }

static const TCaseTable& NegateComplementCases = RegisterCaseTable({
    {"NEGA $00", "40", "A=00 C=1 V=1", "A=00 C=0 V=0 Z=1"},
    {"NEGA $80", "40", "A=80", "A=80 V=1 C=1 N=1"},
    {"NEGA $01", "40", "A=01", "A=FF C=1 N=1"},
    {"NEGB", "50", "B=FF", "B=01 C=1"},
    {"NEG indexed X on $00", "60 00", "IX=0040 @0040=00 C=1", "Z=1 C=0"},
    {"NEG indexed X on $80", "60 00", "IX=0040 @0040=80", "V=1 C=1 N=1 cyc=6"},
    {"NEG extended", "70 00 40", "@0040=01", "@0040=FF C=1 N=1 cyc=6"},
    {"NEG indexed Y", "18 60 00", "IY=0040 @0040=02", "@0040=FE C=1 N=1 cyc=7"},
    {"COMA $00", "43", "A=00 V=1", "A=FF C=1 V=0 N=1"},
    {"COMB $FF", "53", "B=FF", "B=00 Z=1 C=1"},
    {"COM indexed X", "63 00", "IX=0040 @0040=0F", "@0040=F0 N=1 C=1 cyc=6"},
    {"COM extended", "73 00 40", "@0040=FF", "@0040=00 Z=1 C=1 cyc=6"},
    {"COM indexed Y", "18 63 00", "IY=0040 @0040=00", "@0040=FF N=1 C=1 cyc=7"},
});

TEST(Arithmetic, NegateComplement) { RunInstructionCases(NegateComplementCases); }

static const TCaseTable& DecimalAdjustMultiplyDivideCases = RegisterCaseTable({
    {"DAA $0A", "19", "A=0A", "A=10 cyc=2"},
    {"DAA $9A", "19", "A=9A", "A=00 C=1 Z=1 V=1"},
    {"DAA $99 ignores the incoming H and C", "19", "A=99 H=1 C=1", "C=0 N=1"},
    {"DAA $A0: tens only", "19", "A=A0", "A=00 C=1 Z=1 V=1"},
    {"DAA $FF", "19", "A=FF", "A=65 C=1 V=1"},
    {"MUL $0C*$0B", "3D", "A=0C B=0B", "D=0084 C=1 cyc=10"},
    {"MUL $FF*$FF", "3D", "A=FF B=FF C=1", "D=FE01 C=0"},
    {"MUL leaves N, Z and V", "3D", "A=00 B=05 N=1 V=1", "D=0000"},
    {"IDIV 7/2", "02", "D=0007 IX=0002 V=1 Z=1", "IX=0003 D=0001 Z=0 V=0 C=0 cyc=41"},
    {"IDIV 1/5", "02", "D=0001 IX=0005", "IX=0000 D=0001 Z=1"},
    {"IDIV by zero keeps D", "02", "D=1234 IX=0000 Z=1", "IX=FFFF C=1 Z=0"},
    {"FDIV 1/2", "03", "D=0001 IX=0002", "IX=8000 D=0000 cyc=41"},
    {"FDIV 1/3", "03", "D=0001 IX=0003", "IX=5555 D=0001"},
    {"FDIV 3/3 overflows", "03", "D=0003 IX=0003", "IX=FFFF V=1"},
    {"FDIV by zero", "03", "D=0000 IX=0000", "IX=FFFF V=1 C=1"},
    {"FDIV $FFFE/$FFFF", "03", "D=FFFE IX=FFFF", "IX=FFFE D=FFFE"},
});

TEST(Arithmetic, DecimalAdjustMultiplyDivide) { RunInstructionCases(DecimalAdjustMultiplyDivideCases); }

// One plain case for each form that the tables above leave out, so that every
// row of the opcode table runs in some family's table.
static const TCaseTable& EveryOtherFormRunsCases = RegisterCaseTable({
    {"SUBA direct", "90 40", "A=05 @0040=01", "A=04"},
    {"SBCA direct", "92 40", "A=05 @0040=01", "A=04"},
    {"SUBD direct", "93 40", "D=0005 @0040=0001", "D=0004"},
    {"ADCA direct", "99 40", "A=01 @0040=02 C=1", "A=04 C=0"},
    {"SUBA indexed X", "A0 02", "IX=003E A=05 @0040=01", "A=04"},
    {"SBCA indexed X", "A2 02", "IX=003E A=05 @0040=01", "A=04"},
    {"ADCA indexed X", "A9 02", "IX=003E A=01 @0040=02 C=1", "A=04 C=0"},
    {"ADDA indexed X", "AB 02", "IX=003E A=01 @0040=02", "A=03"},
    {"SUBA extended", "B0 00 40", "A=05 @0040=01", "A=04 ea=0040"},
    {"SBCA extended", "B2 00 40", "A=05 @0040=01", "A=04 ea=0040"},
    {"SUBD extended", "B3 00 40", "D=0005 @0040=0001", "D=0004 ea=0040"},
    {"ADCA extended", "B9 00 40", "A=01 @0040=02 C=1", "A=04 C=0 ea=0040"},
    {"ADDA extended", "BB 00 40", "A=01 @0040=02", "A=03 ea=0040"},
    {"SUBB immediate", "C0 01", "B=05", "B=04"},
    {"SUBB direct", "D0 40", "B=05 @0040=01", "B=04"},
    {"SBCB direct", "D2 40", "B=05 @0040=01", "B=04"},
    {"ADDD direct", "D3 40", "D=0001 @0040=0002", "D=0003"},
    {"ADCB direct", "D9 40", "B=01 @0040=02 C=1", "B=04 C=0"},
    {"ADDB direct", "DB 40", "B=01 @0040=02", "B=03"},
    {"SUBB indexed X", "E0 02", "IX=003E B=05 @0040=01", "B=04"},
    {"SBCB indexed X", "E2 02", "IX=003E B=05 @0040=01", "B=04"},
    {"ADDD indexed X", "E3 02", "IX=003E D=0001 @0040=0002", "D=0003"},
    {"ADCB indexed X", "E9 02", "IX=003E B=01 @0040=02 C=1", "B=04 C=0"},
    {"ADDB indexed X", "EB 02", "IX=003E B=01 @0040=02", "B=03"},
    {"SUBB extended", "F0 00 40", "B=05 @0040=01", "B=04 ea=0040"},
    {"SBCB extended", "F2 00 40", "B=05 @0040=01", "B=04 ea=0040"},
    {"ADCB extended", "F9 00 40", "B=01 @0040=02 C=1", "B=04 C=0 ea=0040"},
    {"ADDB extended", "FB 00 40", "B=01 @0040=02", "B=03 ea=0040"},
    {"SUBA indexed Y", "18 A0 02", "IY=003E A=05 @0040=01", "A=04"},
    {"SUBD indexed Y", "18 A3 02", "IY=003E D=0005 @0040=0001", "D=0004"},
    {"ADCA indexed Y", "18 A9 02", "IY=003E A=01 @0040=02 C=1", "A=04 C=0"},
    {"SUBB indexed Y", "18 E0 02", "IY=003E B=05 @0040=01", "B=04"},
    {"SBCB indexed Y", "18 E2 02", "IY=003E B=05 @0040=01", "B=04"},
    {"ADCB indexed Y", "18 E9 02", "IY=003E B=01 @0040=02 C=1", "B=04 C=0"},
    {"ADDB indexed Y", "18 EB 02", "IY=003E B=01 @0040=02", "B=03"},
});

TEST(Arithmetic, EveryOtherFormRuns) { RunInstructionCases(EveryOtherFormRunsCases); }
