// Shifts, rotates, BSET/BCLR and BRSET/BRCLR.
#include <gtest/gtest.h>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"

static const TCaseTable& ShiftsAndRotatesCases = RegisterCaseTable({
    {"ROLA $80", "49", "A=80", "A=00 C=1 Z=1 V=1 cyc=2"},
    {"ROLA $40 with carry", "49", "A=40 C=1", "A=81 C=0 N=1 V=1"},
    {"RORA $01", "46", "A=01", "A=00 C=1 Z=1"},
    {"RORA $01 with carry", "46", "A=01 C=1", "A=80 N=1 V=1"},
    {"ASRA $01 keeps V", "47", "A=01 V=1", "A=00 C=1 Z=1"},
    {"ASRA $40", "47", "A=40", "A=20"},
    {"ASRA $81 copies bit 7 into bit 6", "47", "A=81", "A=C0 C=1 N=1"},
    {"ASRB $FF stays $FF", "57", "B=FF", "B=FF C=1 N=1"},
    {"LSRA $80: V is the old bit 7", "44", "A=80", "A=40 V=1"},
    {"LSRA $01", "44", "A=01 N=1", "A=00 C=1 Z=1 N=0"},
    {"ASLB $C0 in D", "58", "A=12 B=C0", "B=80 C=1 N=1"},
    {"ASLA $40", "48", "A=40", "A=80 N=1 V=1"},
    {"LSRD $0001", "04", "D=0001 N=1", "D=0000 C=1 Z=1 V=1 N=0 cyc=3"},
    {"LSRD $8000", "04", "D=8000", "D=4000"},
    {"ASLD $4000", "05", "D=4000", "D=8000 N=1 V=1 cyc=3"},
    {"ASLD $8000", "05", "D=8000", "D=0000 C=1 Z=1 V=1"},
    {"ASL extended into the register block stores plainly", "78 10 23", "@1023=C1", "@1023=82 C=1 N=1 ea=1023 cyc=6"},
    {"ASL indexed X", "68 00", "IX=0040 @0040=01", "@0040=02 cyc=6"},
    {"ASL indexed Y", "18 68 00", "IY=0040 @0040=80", "@0040=00 C=1 Z=1 V=1 cyc=7"},
    {"ASR extended", "77 00 40", "@0040=80", "@0040=C0 N=1 cyc=6"},
    {"LSR indexed Y", "18 64 00", "IY=0040 @0040=03", "@0040=01 C=1 cyc=7"},
    {"ROL indexed X", "69 00", "IX=0040 @0040=00 C=1", "@0040=01 C=0 cyc=6"},
    {"ROR extended", "76 00 40", "@0040=00 C=1", "@0040=80 C=0 N=1 V=1 cyc=6"},
    {"ROR indexed Y", "18 66 00", "IY=0040 @0040=02", "@0040=01 cyc=7"},
});

TEST(ShiftsBits, ShiftsAndRotates) { RunInstructionCases(ShiftsAndRotatesCases); }

static const TCaseTable& BitSetAndClearCases = RegisterCaseTable({
    {"BCLR direct", "15 40 81", "@0040=FF C=1", "@0040=7E cyc=6"},
    {"BCLR indexed X into the register block stores plainly", "1D 23 80", "IX=1000 @1023=C0", "@1023=40 cyc=7"},
    {"BCLR indexed Y", "18 1D 00 FF", "IY=0040 @0040=0F N=1", "@0040=00 Z=1 N=0 cyc=8"},
    {"BSET direct on $23 stores plainly", "14 23 01", "@0023=80", "@0023=81 N=1 cyc=6"},
    {"BSET indexed X through the filter", "1C 00 80", "IX=2000 @2000=01", "@2000=81 N=1 ea=2000 cyc=7"},
    {"BSET indexed Y through the filter", "18 1C 00 01", "IY=2000 V=1", "@2000=01 V=0 ea=2000 cyc=8"},
    // TFLG1 write-one-to-clear: the byte handed over is old OR mask.
    {"BSET indexed X on TFLG1 clears every flag", "1C 23 01", "IX=1000 @1023=C0", "@1023=00 N=1 ea=1023"},
});

TEST(ShiftsBits, BitSetAndClear) { RunInstructionCases(BitSetAndClearCases); }

static const TCaseTable& BranchOnBitsCases = RegisterCaseTable({
    {"BRSET direct taken", "12 40 03 10", "@0040=03", "PC=0114 cyc=6"},
    {"BRSET direct not taken", "12 40 03 10", "@0040=04", "PC=0104 cyc=6"},
    {"BRSET needs every mask bit", "12 40 03 10", "@0040=01", "PC=0104"},
    {"BRSET with mask 0 always branches", "12 40 00 10", "", "PC=0114"},
    {"BRCLR direct backwards", "13 40 03 F0", "@0040=04", "PC=00F4 cyc=6"},
    {"BRCLR not taken", "13 40 03 F0", "@0040=02", "PC=0104"},
    {"BRSET indexed X", "1E 05 80 02", "IX=0040 @0045=80", "PC=0106 cyc=7"},
    {"BRCLR indexed X", "1F 05 80 02", "IX=0040 @0045=80", "PC=0104 cyc=7"},
    {"BRSET indexed Y advances by 5", "18 1E 00 01 10", "IY=0040", "PC=0105 cyc=8"},
    {"BRCLR indexed Y taken", "18 1F 00 01 10", "IY=0040", "PC=0115 cyc=8"},
    {"BRCLR changes no flag", "13 40 FF 00", "N=1 Z=1 V=1 C=1", "PC=0104"},
});

TEST(ShiftsBits, BranchOnBits) { RunInstructionCases(BranchOnBitsCases); }

// One plain case for each form that the tables above leave out, so that every
// row of the opcode table runs in some family's table.
static const TCaseTable& EveryOtherFormRunsCases = RegisterCaseTable({
    {"LSRB", "54", "B=02", "B=01"},
    {"RORB", "56", "B=02", "B=01"},
    {"ROLB", "59", "B=01", "B=02"},
    {"LSR indexed X", "64 02", "IX=003E @0040=02", "@0040=01"},
    {"ROR indexed X", "66 02", "IX=003E @0040=02", "@0040=01"},
    {"ASR indexed X", "67 02", "IX=003E @0040=02", "@0040=01"},
    {"LSR extended", "74 00 40", "@0040=02", "@0040=01 ea=0040"},
    {"ROL extended", "79 00 40", "@0040=01", "@0040=02 ea=0040"},
    {"ASR indexed Y", "18 67 02", "IY=003E @0040=02", "@0040=01"},
    {"ROL indexed Y", "18 69 02", "IY=003E @0040=01", "@0040=02"},
});

TEST(ShiftsBits, EveryOtherFormRuns) { RunInstructionCases(EveryOtherFormRunsCases); }
