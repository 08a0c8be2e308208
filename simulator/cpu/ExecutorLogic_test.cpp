// Logic, bit test, test, compares and the condition-code instructions.
#include <gtest/gtest.h>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"

static const TCaseTable& LogicAndTestsCases = RegisterCaseTable({
    {"ANDA #$0F clears A", "84 0F", "A=F0 B=12 V=1 C=1", "A=00 Z=1 V=0 cyc=2"},
    {"ANDB", "C4 80", "B=FF", "B=80 N=1"},
    {"ORAA", "8A 80", "A=01", "A=81 N=1"},
    {"ORAB indexed Y", "18 EA 00", "B=00 IY=0040 @0040=00", "Z=1 cyc=5"},
    {"EORA", "88 FF", "A=FF", "A=00 Z=1"},
    {"EORB extended", "F8 00 40", "B=0F @0040=F0", "B=FF N=1 ea=0040 cyc=4"},
    {"BITA leaves A", "85 80", "A=81 V=1", "N=1 V=0 cyc=2"},
    {"BITA indexed X into the register block", "A5 23", "A=0F IX=1000 @1023=F0", "Z=1"},
    {"BITA indexed Y", "18 A5 00", "A=01 IY=0040 @0040=01", "cyc=5"},
    {"BITB", "C5 01", "B=02", "Z=1"},
    {"TSTA", "4D", "A=80 V=1 C=1", "N=1 V=0 C=0 cyc=2"},
    {"TSTB", "5D", "B=00", "Z=1"},
    {"TST indexed X does not rewrite", "6D 00", "IX=0040 @0040=80 C=1", "N=1 C=0 cyc=6"},
    {"TST extended", "7D 00 40", "@0040=00", "Z=1 cyc=6"},
    {"TST indexed Y", "18 6D 00", "IY=0040 @0040=01", "cyc=7"},
});

TEST(LogicCompare, LogicAndTests) { RunInstructionCases(LogicAndTestsCases); }

static const TCaseTable& CompareTakesNFromTheRegisterCases = RegisterCaseTable({
    {"CMPA $03 with $05", "81 05", "A=03", "C=1 N=0 V=0 Z=0 cyc=2"},
    {"CMPA $80 with $01: V from the signs", "81 01", "A=80", "N=1 V=1"},
    {"CMPA equal $80", "81 80", "A=80", "Z=1 N=1"},
    {"CMPA $00 with $01: N stays 0 though the difference is negative", "81 01", "A=00", "C=1"},
    {"CMPB indexed Y", "18 E1 00", "B=10 IY=0040 @0040=10", "Z=1 cyc=5"},
    {"CMPA leaves H", "81 01", "A=01 H=1", "Z=1"},
    {"CBA $00 with $01: V from the difference", "11", "A=00 B=01", "C=1 V=1 cyc=2"},
    {"CBA equal $80: V since the zero difference differs in sign from A", "11", "A=80 B=80", "Z=1 N=1 V=1"},
    {"CBA $80 with $01", "11", "A=80 B=01", "N=1 V=1"},
    {"CPX equal", "8C 10 00", "IX=1000", "Z=1 cyc=4"},
    {"CPX $8000 with 1", "8C 00 01", "IX=8000", "V=1 N=1"},
    {"CPX direct takes 6 cycles", "9C 40", "IX=0001 @0040=0002", "C=1 V=1 cyc=6"},
    {"CPX indexed Y on page $CD", "CD AC 00", "IX=1234 IY=0040 @0040=1234", "Z=1 cyc=7"},
    {"CPD immediate on page $1A", "1A 83 00 01", "D=0000", "C=1 V=1 cyc=5"},
    {"CPD direct", "1A 93 40", "D=8000 @0040=8000", "Z=1 N=1 V=1 cyc=6"},
    {"CPD indexed X", "1A A3 00", "D=0001 IX=0040 @0040=0001", "Z=1 cyc=7"},
    {"CPD extended", "1A B3 00 40", "D=0002 @0040=0001", "ea=0040 cyc=7"},
    {"CPD indexed Y on page $CD", "CD A3 00", "D=7FFF IY=0040 @0040=FFFF", "C=1 V=1 cyc=7"},
    {"CPY immediate", "18 8C 00 00", "IY=0000", "Z=1 cyc=5"},
    {"CPY direct", "18 9C 40", "IY=0000 @0040=0001", "C=1 V=1 cyc=6"},
    {"CPY indexed X on page $1A", "1A AC 00", "IY=5555 IX=0040 @0040=5555", "Z=1 cyc=7"},
    {"CPY extended", "18 BC 00 40", "IY=FFFF @0040=0000", "N=1 cyc=7"},
    {"CPY indexed Y", "18 AC 00", "IY=0040 @0040=0040", "Z=1 cyc=7"},
});

TEST(LogicCompare, CompareTakesNFromTheRegister) { RunInstructionCases(CompareTakesNFromTheRegisterCases); }

static const TCaseTable& ConditionCodeInstructionsCases = RegisterCaseTable({
    {"TAP cannot set X", "06", "A=FF", "S=1 H=1 I=1 N=1 Z=1 V=1 C=1 CCR=BF cyc=2"},
    {"TAP clears X", "06", "A=00 X=1 S=1 C=1", "X=0 S=0 C=0"},
    {"TAP keeps X set", "06", "A=40 X=1", ""},
    {"TPA", "07", "B=01 I=1 V=1 C=1", "A=13 cyc=2"},
    {"CLC", "0C", "C=1", "C=0"},
    {"SEC", "0D", "", "C=1"},
    {"CLV", "0A", "V=1", "V=0"},
    {"SEV", "0B", "", "V=1"},
    {"CLI", "0E", "I=1", "I=0"},
    {"SEI", "0F", "", "I=1"},
});

TEST(LogicCompare, ConditionCodeInstructions) { RunInstructionCases(ConditionCodeInstructionsCases); }

// One plain case for each form that the tables above leave out, so that every
// row of the opcode table runs in some family's table.
static const TCaseTable& EveryOtherFormRunsCases = RegisterCaseTable({
    {"CMPA direct", "91 40", "A=05 @0040=05", "Z=1"},
    {"ANDA direct", "94 40", "A=0F @0040=03", "A=03"},
    {"BITA direct", "95 40", "A=05 @0040=04", ""},
    {"EORA direct", "98 40", "A=0F @0040=03", "A=0C"},
    {"ORAA direct", "9A 40", "A=01 @0040=02", "A=03"},
    {"CMPA indexed X", "A1 02", "IX=003E A=05 @0040=05", "Z=1"},
    {"ANDA indexed X", "A4 02", "IX=003E A=0F @0040=03", "A=03"},
    {"EORA indexed X", "A8 02", "IX=003E A=0F @0040=03", "A=0C"},
    {"ORAA indexed X", "AA 02", "IX=003E A=01 @0040=02", "A=03"},
    {"CPX indexed X", "AC 02", "IX=003E @0040=003E", "Z=1"},
    {"CMPA extended", "B1 00 40", "A=05 @0040=05", "Z=1 ea=0040"},
    {"ANDA extended", "B4 00 40", "A=0F @0040=03", "A=03 ea=0040"},
    {"BITA extended", "B5 00 40", "A=05 @0040=04", "ea=0040"},
    {"EORA extended", "B8 00 40", "A=0F @0040=03", "A=0C ea=0040"},
    {"ORAA extended", "BA 00 40", "A=01 @0040=02", "A=03 ea=0040"},
    {"CPX extended", "BC 00 40", "IX=0005 @0040=0005", "Z=1 ea=0040"},
    {"CMPB immediate", "C1 05", "B=05", "Z=1"},
    {"EORB immediate", "C8 03", "B=0F", "B=0C"},
    {"ORAB immediate", "CA 02", "B=01", "B=03"},
    {"CMPB direct", "D1 40", "B=05 @0040=05", "Z=1"},
    {"ANDB direct", "D4 40", "B=0F @0040=03", "B=03"},
    {"BITB direct", "D5 40", "B=05 @0040=04", ""},
    {"EORB direct", "D8 40", "B=0F @0040=03", "B=0C"},
    {"ORAB direct", "DA 40", "B=01 @0040=02", "B=03"},
    {"CMPB indexed X", "E1 02", "IX=003E B=05 @0040=05", "Z=1"},
    {"ANDB indexed X", "E4 02", "IX=003E B=0F @0040=03", "B=03"},
    {"BITB indexed X", "E5 02", "IX=003E B=05 @0040=04", ""},
    {"EORB indexed X", "E8 02", "IX=003E B=0F @0040=03", "B=0C"},
    {"ORAB indexed X", "EA 02", "IX=003E B=01 @0040=02", "B=03"},
    {"CMPB extended", "F1 00 40", "B=05 @0040=05", "Z=1 ea=0040"},
    {"ANDB extended", "F4 00 40", "B=0F @0040=03", "B=03 ea=0040"},
    {"BITB extended", "F5 00 40", "B=05 @0040=04", "ea=0040"},
    {"ORAB extended", "FA 00 40", "B=01 @0040=02", "B=03 ea=0040"},
    {"CMPA indexed Y", "18 A1 02", "IY=003E A=05 @0040=05", "Z=1"},
    {"ANDA indexed Y", "18 A4 02", "IY=003E A=0F @0040=03", "A=03"},
    {"EORA indexed Y", "18 A8 02", "IY=003E A=0F @0040=03", "A=0C"},
    {"ORAA indexed Y", "18 AA 02", "IY=003E A=01 @0040=02", "A=03"},
    {"ANDB indexed Y", "18 E4 02", "IY=003E B=0F @0040=03", "B=03"},
    {"BITB indexed Y", "18 E5 02", "IY=003E B=05 @0040=04", ""},
    {"EORB indexed Y", "18 E8 02", "IY=003E B=0F @0040=03", "B=0C"},
});

TEST(LogicCompare, EveryOtherFormRuns) { RunInstructionCases(EveryOtherFormRunsCases); }
