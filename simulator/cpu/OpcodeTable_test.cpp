// The opcode table against the instruction-set reference, and the decoder
// against the list of recognised codes, all 4 x 256 of them.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"

namespace {

// Recognised second bytes after each prefix, and page 0's gaps.
const std::set<int> UnrecognisedOnPage0 = {0x00, 0x41, 0x42, 0x45, 0x4B, 0x4E, 0x51, 0x52, 0x55, 0x5B, 0x5E,
                                           0x61, 0x62, 0x65, 0x6B, 0x71, 0x72, 0x75, 0x7B, 0x87, 0xC7};
std::set<int> RecognisedAfter18() {
    std::set<int> codes = {0x08, 0x09, 0x1C, 0x1D, 0x1E, 0x1F, 0x30, 0x35, 0x38, 0x3A, 0x3C, 0x60, 0x63,
                           0x64, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6C, 0x6D, 0x6E, 0x6F, 0x8C, 0x8F, 0x9C,
                           0xBC, 0xCE, 0xDE, 0xDF, 0xFE, 0xFF};
    for (int c = 0xA0; c <= 0xAF; ++c) codes.insert(c);
    for (int c = 0xE0; c <= 0xEF; ++c) codes.insert(c);
    return codes;
}
const std::set<int> RecognisedAfter1A = {0x83, 0x93, 0xA3, 0xAC, 0xB3, 0xEE, 0xEF};
const std::set<int> RecognisedAfterCD = {0xA3, 0xAC, 0xEE, 0xEF};

bool ShouldBeRecognised(int page, int code) {
    switch (page) {
        case 0x00: return !UnrecognisedOnPage0.contains(code) && code != 0x18 && code != 0x1A && code != 0xCD;
        case 0x18: return RecognisedAfter18().contains(code);
        case 0x1A: return RecognisedAfter1A.contains(code);
        default: return RecognisedAfterCD.contains(code);
    }
}

// The reference, one line per instruction: code (prefix included) then
// cycles/length for each form.
const char* const Reference[] = {
    // data movement
    "LDAA 86:2/2 96:3/2 B6:4/3 A6:4/2 18A6:5/3", "LDAB C6:2/2 D6:3/2 F6:4/3 E6:4/2 18E6:5/3",
    "LDD CC:3/3 DC:4/2 FC:5/3 EC:5/2 18EC:6/3", "LDS 8E:3/3 9E:4/2 BE:5/3 AE:5/2 18AE:6/3",
    "LDX CE:3/3 DE:4/2 FE:5/3 EE:5/2 CDEE:6/3", "LDY 18CE:4/4 18DE:5/3 18FE:6/4 1AEE:6/3 18EE:6/3",
    "STAA 97:3/2 B7:4/3 A7:4/2 18A7:5/3", "STAB D7:3/2 F7:4/3 E7:4/2 18E7:5/3",
    "STD DD:4/2 FD:5/3 ED:4/2 18ED:5/3", "STS 9F:4/2 BF:5/3 AF:5/2 18AF:6/3",
    "STX DF:4/2 FF:5/3 EF:5/2 CDEF:6/3", "STY 18DF:5/3 18FF:6/4 1AEF:6/3 18EF:6/3",
    "CLR 7F:6/3 6F:6/2 186F:7/3", "CLRA 4F:2/1", "CLRB 5F:2/1", "TAB 16:2/1", "TBA 17:2/1",
    "TSX 30:3/1", "TXS 35:3/1", "TSY 1830:4/2", "TYS 1835:4/2", "XGDX 8F:3/1", "XGDY 188F:4/2",
    "PSHA 36:3/1", "PSHB 37:3/1", "PSHX 3C:4/1", "PSHY 183C:5/2", "PULA 32:4/1", "PULB 33:4/1",
    "PULX 38:5/1", "PULY 1838:6/2", "NOP 01:2/1",
    // control flow
    "BRA 20:3/2", "BRN 21:3/2", "BHI 22:3/2", "BLS 23:3/2", "BCC 24:3/2", "BCS 25:3/2", "BNE 26:3/2",
    "BEQ 27:3/2", "BVC 28:3/2", "BVS 29:3/2", "BPL 2A:3/2", "BMI 2B:3/2", "BGE 2C:3/2", "BLT 2D:3/2",
    "BGT 2E:3/2", "BLE 2F:3/2", "JMP 6E:3/2 186E:4/3 7E:3/3", "JSR 9D:5/2 AD:5/2 18AD:5/3 BD:6/3",
    "BSR 8D:6/2", "RTS 39:5/1", "SWI 3F:14/1", "WAI 3E:2/1", "STOP CF:2/1", "RTI 3B:12/1",
    // arithmetic
    "ADDA 8B:2/2 9B:3/2 AB:4/2 BB:4/3 18AB:5/3", "ADDB CB:2/2 DB:3/2 EB:4/2 FB:4/3 18EB:5/3",
    "ADCA 89:2/2 99:3/2 A9:4/2 B9:4/3 18A9:5/3", "ADCB C9:2/2 D9:3/2 E9:4/2 F9:4/3 18E9:5/3",
    "SUBA 80:2/2 90:3/2 A0:4/2 B0:4/3 18A0:5/3", "SUBB C0:2/2 D0:3/2 E0:4/2 F0:4/3 18E0:5/3",
    "SBCA 82:2/2 92:3/2 A2:4/2 B2:4/3 18A2:5/3", "SBCB C2:2/2 D2:3/2 E2:4/2 F2:4/3 18E2:5/3",
    "ADDD C3:4/3 D3:5/2 E3:6/2 F3:6/3 18E3:7/3", "SUBD 83:4/3 93:5/2 A3:6/2 B3:6/3 18A3:7/3",
    "INC 6C:7/2 7C:7/3 186C:7/3", "DEC 6A:6/2 7A:6/3 186A:7/3", "NEG 60:6/2 70:6/3 1860:7/3",
    "COM 63:6/2 73:6/3 1863:7/3", "INCA 4C:2/1", "INCB 5C:2/1", "DECA 4A:2/1", "DECB 5A:2/1",
    "NEGA 40:2/1", "NEGB 50:2/1", "COMA 43:2/1", "COMB 53:2/1", "ABA 1B:2/1", "SBA 10:2/1",
    "IDIV 02:41/1", "INX 08:3/1", "DEX 09:3/1", "INY 1808:4/2", "DEY 1809:4/2", "INS 31:3/1",
    "DES 34:3/1", "ABX 3A:3/1", "ABY 183A:4/2", "DAA 19:2/1", "MUL 3D:10/1", "FDIV 03:41/1",
    // logic, test, compare, condition codes
    "ANDA 84:2/2 94:3/2 A4:4/2 B4:4/3 18A4:5/3", "ANDB C4:2/2 D4:3/2 E4:4/2 F4:4/3 18E4:5/3",
    "ORAA 8A:2/2 9A:3/2 AA:4/2 BA:4/3 18AA:5/3", "ORAB CA:2/2 DA:3/2 EA:4/2 FA:4/3 18EA:5/3",
    "EORA 88:2/2 98:3/2 A8:4/2 B8:4/3 18A8:5/3", "EORB C8:2/2 D8:3/2 E8:4/2 F8:4/3 18E8:5/3",
    "BITA 85:2/2 95:3/2 A5:4/2 B5:4/3 18A5:5/3", "BITB C5:2/2 D5:3/2 E5:4/2 F5:4/3 18E5:5/3",
    "CMPA 81:2/2 91:3/2 A1:4/2 B1:4/3 18A1:5/3", "CMPB C1:2/2 D1:3/2 E1:4/2 F1:4/3 18E1:5/3",
    "CPD 1A83:5/4 1A93:6/3 1AA3:7/3 1AB3:7/4 CDA3:7/3", "CPX 8C:4/3 9C:6/2 AC:6/2 BC:6/3 CDAC:7/3",
    "CPY 188C:5/4 189C:6/3 1AAC:7/3 18BC:7/4 18AC:7/3", "TST 6D:6/2 7D:6/3 186D:7/3",
    "TSTA 4D:2/1", "TSTB 5D:2/1", "CBA 11:2/1", "TAP 06:2/1", "TPA 07:2/1", "CLC 0C:2/1", "CLI 0E:2/1",
    "CLV 0A:2/1", "SEC 0D:2/1", "SEI 0F:2/1", "SEV 0B:2/1",
    // shifts, rotates, bits
    "ASLA 48:2/1", "ASLB 58:2/1", "ASL 68:6/2 78:6/3 1868:7/3", "ASRA 47:2/1", "ASRB 57:2/1",
    "ASR 67:6/2 77:6/3 1867:7/3", "LSRA 44:2/1", "LSRB 54:2/1", "LSR 64:6/2 74:6/3 1864:7/3",
    "ROLA 49:2/1", "ROLB 59:2/1", "ROL 69:6/2 79:6/3 1869:7/3", "RORA 46:2/1", "RORB 56:2/1",
    "ROR 66:6/2 76:6/3 1866:7/3", "LSRD 04:3/1", "ASLD 05:3/1", "BSET 14:6/3 1C:7/3 181C:8/4",
    "BCLR 15:6/3 1D:7/3 181D:8/4", "BRSET 12:6/4 1E:7/4 181E:8/5", "BRCLR 13:6/4 1F:7/4 181F:8/5",
};

}  // namespace

TEST(OpcodeTable, MatchesTheReferenceRowForRow) {
    std::set<std::pair<int, int>> seen;
    for (const char* line : Reference) {
        std::istringstream in(line);
        std::string mnemonic, form;
        in >> mnemonic;
        while (in >> form) {
            const size_t colon = form.find(':'), slash = form.find('/');
            const unsigned code = static_cast<unsigned>(std::stoul(form.substr(0, colon), nullptr, 16));
            const int page = code > 0xFF ? static_cast<int>(code >> 8) : 0;
            const int byte = static_cast<int>(code & 0xFF);
            const int cycles = std::stoi(form.substr(colon + 1, slash - colon - 1));
            const int length = std::stoi(form.substr(slash + 1));
            seen.insert({page, byte});
            const TOpcodeRow* row = FindOpcode(static_cast<uint8_t>(page), static_cast<uint8_t>(byte));
            ASSERT_NE(row, nullptr) << mnemonic << " " << form;
            EXPECT_EQ(row->Mnemonic, mnemonic) << form;
            EXPECT_EQ(row->Cycles, cycles) << mnemonic << " " << form;
            EXPECT_EQ(row->Length, length) << mnemonic << " " << form;
        }
    }
    EXPECT_EQ(seen.size(), 307u);
    for (const TOpcodeRow& row : OpcodeTable)
        EXPECT_TRUE(seen.contains({row.Page, row.Code})) << row.Mnemonic << " is in no reference line";
}

TEST(OpcodeTable, ExecutorRecognisesExactlyTheListedCodes) {
    for (int page : {0x00, 0x18, 0x1A, 0xCD}) {
        for (int code = 0; code < 256; ++code) {
            SetUpMachine("A=12 B=34 IX=0200 IY=0300 SP=01F0");
            const uint16_t pc = 0x0100;
            if (page != 0) StoreByte(pc, static_cast<uint8_t>(page));
            StoreByte(static_cast<uint16_t>(pc + (page != 0)), static_cast<uint8_t>(code));
            InstrCycles = 0;
            ExecuteInstruction(MemoryImage[pc], pc);
            const bool recognised = IllegalOpcode == 0;
            // A prefix on page 0 is not an instruction of its own: the code
            // after it decides (here "00", unrecognised on every page).
            EXPECT_EQ(recognised, ShouldBeRecognised(page, code))
                << "page " << std::hex << page << " code " << code;
            EXPECT_EQ(FindOpcode(static_cast<uint8_t>(page), static_cast<uint8_t>(code)) != nullptr,
                      ShouldBeRecognised(page, code))
                << "table: page " << std::hex << page << " code " << code;
            if (!recognised) {
                EXPECT_EQ(CpuRegs.PC, pc);
                EXPECT_EQ(InstrCycles, 0);
            }
        }
    }
}

TEST(OpcodeTable, EveryRowRunsWithItsCyclesAndKeepsTheInvariants) {
    // Busy registers and flags so that every row computes something; the
    // invariants must hold after each of the 307 instructions.
    for (const TOpcodeRow& row : OpcodeTable) {
        SetUpMachine("A=9C B=37 IX=1234 IY=4321 SP=01F0 N=1 C=1 H=1 @0040=5A");
        const uint16_t pc = 0x0100;
        uint16_t at = pc;
        if (row.Page != 0) StoreByte(at++, row.Page);
        StoreByte(at++, row.Code);
        for (int i = 0; i < 3; ++i) StoreByte(at++, 0x40);
        InstrCycles = 0;
        ExecuteInstruction(MemoryImage[pc], pc);
        const std::string name = std::string(row.Mnemonic) + " " + std::to_string(static_cast<int>(row.Mode));
        EXPECT_EQ(IllegalOpcode, 0) << name;
        EXPECT_EQ(InstrCycles, row.Cycles) << name;
        EXPECT_EQ(CpuRegs.D, CpuRegs.A << 8 | CpuRegs.B) << name;
        const TCcrFlags& f = CcrFlags;
        for (uint8_t flag : {f.FlagS, f.FlagX, f.FlagH, f.FlagI, f.FlagN, f.FlagZ, f.FlagV, f.FlagC})
            EXPECT_LE(flag, 1) << name;
        EXPECT_EQ(CpuRegs.CCR, f.FlagS << 7 | f.FlagX << 6 | f.FlagH << 5 | f.FlagI << 4 | f.FlagN << 3 |
                                   f.FlagZ << 2 | f.FlagV << 1 | f.FlagC)
            << name;
        const bool setsPc = row.Kind == TOperationKind::Jump || row.Kind == TOperationKind::JumpToSubroutine ||
                            row.Kind == TOperationKind::BranchToSubroutine ||
                            row.Kind == TOperationKind::ReturnFromSubroutine ||
                            row.Kind == TOperationKind::ReturnFromInterrupt ||
                            row.Kind == TOperationKind::SoftwareInterrupt ||
                            row.Kind == TOperationKind::WaitForInterrupt || row.Kind == TOperationKind::Stop ||
                            row.Kind == TOperationKind::Branch || row.Kind == TOperationKind::BranchIfBitsSet ||
                            row.Kind == TOperationKind::BranchIfBitsClear;
        if (!setsPc) {
            EXPECT_EQ(CpuRegs.PC, pc + row.Length) << name;
        }
        for (int address = 0; address < 65536; ++address)
            ASSERT_LE(MemoryImage[address].Length, 2) << name;
    }
}

TEST(OpcodeTable, DeliberateCycleCountsStay) {
    // These differ from the chip's published table on purpose.
    EXPECT_EQ(FindOpcode(0x00, 0xED)->Cycles, 4);  // STD indexed X
    EXPECT_EQ(FindOpcode(0x18, 0xED)->Cycles, 5);  // STD indexed Y
    EXPECT_EQ(FindOpcode(0x00, 0xAD)->Cycles, 5);  // JSR indexed X
    EXPECT_EQ(FindOpcode(0x18, 0xAD)->Cycles, 5);  // JSR indexed Y
    EXPECT_EQ(FindOpcode(0x00, 0x3E)->Cycles, 2);  // WAI
    EXPECT_EQ(FindOpcode(0x00, 0x6C)->Cycles, 7);  // INC indexed X
    EXPECT_EQ(FindOpcode(0x00, 0x7C)->Cycles, 7);  // INC extended
    EXPECT_EQ(FindOpcode(0x00, 0x9C)->Cycles, 6);  // CPX direct
}

TEST(OpcodeTable, OnlyTheEightListedStoresGoThroughTheFilter) {
    std::set<std::pair<int, int>> filtered;
    for (const TOpcodeRow& row : OpcodeTable)
        if (row.Kind == TOperationKind::StoreThroughFilter || row.Kind == TOperationKind::BitSetThroughFilter)
            filtered.insert({row.Page, row.Code});
    const std::set<std::pair<int, int>> expected = {{0, 0xB7},    {0, 0xF7},    {0, 0xA7}, {0, 0xE7},
                                                    {0x18, 0xA7}, {0x18, 0xE7}, {0, 0x1C}, {0x18, 0x1C}};
    EXPECT_EQ(filtered, expected);
}
