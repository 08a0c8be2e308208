// The opcode table against the data book (the assembler's own table), the
// family tests' coverage of it, and the decoder against the list of
// recognised codes, all 4 x 256 of them.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "simulator/Hc11.h"
#include "simulator/cpu/ExecutorTestSupport.h"
#include "tools/as11m/OpcodeTable.h"

namespace {

// Recognised second bytes after each prefix, and page 0's gaps.
const std::set<int> UnrecognisedOnPage0 = {0x00, 0x41, 0x42, 0x45, 0x4B, 0x4E, 0x51, 0x52, 0x55, 0x5B, 0x5E,
                                           0x61, 0x62, 0x65, 0x6B, 0x71, 0x72, 0x75, 0x7B, 0x87, 0xC7};
std::set<int> RecognisedAfter18() {
    std::set<int> codes = {0x08, 0x09, 0x1C, 0x1D, 0x1E, 0x1F, 0x30, 0x35, 0x38, 0x3A, 0x3C,
                           0x60, 0x63, 0x64, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6C, 0x6D, 0x6E,
                           0x6F, 0x8C, 0x8F, 0x9C, 0xBC, 0xCE, 0xDE, 0xDF, 0xFE, 0xFF};
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

// The rows whose cycles differ from the data book on purpose (the executor's
// table marks them "deliberate"), with the simulator's and the book's count.
struct TDeliberateRow {
    uint8_t Page, Code;
    const char* Name;
    int Simulator, DataBook;
};
// clang-format off
const TDeliberateRow DeliberateRows[] = {
    {0x00, 0x3E, "WAI", 2, 14},
    {0x00, 0x6C, "INC indexed X", 7, 6},
    {0x00, 0x7C, "INC extended", 7, 6},
    {0x00, 0x9C, "CPX direct", 6, 5},
    {0x00, 0xAD, "JSR indexed X", 5, 6},
    {0x00, 0xED, "STD indexed X", 4, 5},
    {0x18, 0xAD, "JSR indexed Y", 5, 7},
    {0x18, 0xED, "STD indexed Y", 5, 6},
};
// clang-format on

const as11m::OpcodeRow* DataBookRow(uint8_t page, uint8_t code) {
    for (const as11m::OpcodeRow& row : as11m::OpcodeTable)
        if (row.Page == page && row.Opcode == code && row.Mnemonic != "TEST") return &row;
    return nullptr;
}

// The opcode row a case's code bytes start with, or nullptr.
const TOpcodeRow* RowOfCase(const TInstructionCase& c) {
    std::istringstream in(c.Code);
    std::string first, second;
    if (!(in >> first)) return nullptr;
    const auto byte = [](const std::string& text) { return static_cast<uint8_t>(std::stoul(text, nullptr, 16)); };
    const uint8_t page = byte(first);
    if (page == 0x18 || page == 0x1A || page == 0xCD) return in >> second ? FindOpcode(page, byte(second)) : nullptr;
    return FindOpcode(0, page);
}

}  // namespace

// The data book is the assembler's table: an independent copy of the
// instruction set, so a slip in either shows here.
TEST(OpcodeTable, MatchesTheDataBookExceptTheDeliberateRows) {
    for (const TOpcodeRow& row : OpcodeTable) {
        const std::string name =
            std::string(row.Mnemonic) + " page " + std::to_string(row.Page) + " code " + std::to_string(row.Code);
        const as11m::OpcodeRow* book = DataBookRow(row.Page, row.Code);
        ASSERT_NE(book, nullptr) << name;
        EXPECT_EQ(row.Mnemonic, book->Mnemonic) << name;
        EXPECT_EQ(row.Length, as11m::InstructionLength(*book)) << name;
        const TDeliberateRow* deliberate = nullptr;
        for (const TDeliberateRow& d : DeliberateRows)
            if (d.Page == row.Page && d.Code == row.Code) deliberate = &d;
        if (deliberate) {
            EXPECT_EQ(row.Cycles, deliberate->Simulator) << deliberate->Name;
            EXPECT_EQ(book->Cycles, deliberate->DataBook) << deliberate->Name;
        } else {
            EXPECT_EQ(row.Cycles, book->Cycles) << name << ": differs from the data book and is not listed";
        }
    }
}

TEST(OpcodeTable, EveryRowRunsInSomeFamilysTable) {
    std::set<const TOpcodeRow*> covered;
    for (const TCaseTable& table : RegisteredCaseTables())
        for (const TInstructionCase& c : table)
            if (const TOpcodeRow* row = RowOfCase(c)) covered.insert(row);
    for (const TOpcodeRow& row : OpcodeTable)
        EXPECT_TRUE(covered.contains(&row)) << row.Mnemonic << " page " << std::hex << int{row.Page} << " code "
                                            << int{row.Code} << " runs in no family's table";
    EXPECT_EQ(covered.size(), static_cast<size_t>(OpcodeCount));
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
            EXPECT_EQ(recognised, ShouldBeRecognised(page, code)) << "page " << std::hex << page << " code " << code;
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
        EXPECT_EQ(CpuRegs.CCR, f.FlagS << 7 | f.FlagX << 6 | f.FlagH << 5 | f.FlagI << 4 | f.FlagN << 3 | f.FlagZ << 2 |
                                   f.FlagV << 1 | f.FlagC)
            << name;
        const bool setsPc =
            row.Kind == TOperationKind::Jump || row.Kind == TOperationKind::JumpToSubroutine ||
            row.Kind == TOperationKind::BranchToSubroutine || row.Kind == TOperationKind::ReturnFromSubroutine ||
            row.Kind == TOperationKind::ReturnFromInterrupt || row.Kind == TOperationKind::SoftwareInterrupt ||
            row.Kind == TOperationKind::WaitForInterrupt || row.Kind == TOperationKind::Stop ||
            row.Kind == TOperationKind::Branch || row.Kind == TOperationKind::BranchIfBitsSet ||
            row.Kind == TOperationKind::BranchIfBitsClear;
        if (!setsPc) {
            EXPECT_EQ(CpuRegs.PC, pc + row.Length) << name;
        }
        for (int address = 0; address < 65536; ++address) ASSERT_LE(MemoryImage[address].Length, 2) << name;
    }
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
