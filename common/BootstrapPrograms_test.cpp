#include "common/BootstrapPrograms.h"

#include <gtest/gtest.h>

namespace {

struct Instruction {
    const char* what;
    size_t address;
    std::vector<uint8_t> bytes;
};

void ExpectInstructions(const std::vector<uint8_t>& program, const std::vector<Instruction>& rows) {
    for (const Instruction& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_LE(row.address + row.bytes.size(), program.size());
        EXPECT_EQ(std::vector<uint8_t>(program.begin() + row.address, program.begin() + row.address + row.bytes.size()),
                  row.bytes);
    }
}

TEST(BootstrapPrograms, SizesAndTheEraseOperand) {
    EXPECT_EQ(EepromEraseLoader.size(), 94u);
    EXPECT_EQ(EepromTalker.size(), 496u);
    const std::vector<uint8_t> loader = StoredProgramBytes(EepromEraseLoader);
    ASSERT_EQ(loader.size(), 47u);
    EXPECT_EQ(StoredProgramBytes(EepromTalker).size(), 248u);
    // Characters 47-50, counted from 1, hold the operand; they are bytes $17-$18.
    EXPECT_EQ(EepromEraseLoader.substr(46, 4), "B600");
    EXPECT_EQ(EraseAddressTextIndex, 46u);
    EXPECT_EQ(loader[0x17], 0xB6);
    EXPECT_EQ(loader[0x18], 0x00);
    for (char c : EepromEraseLoader) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    for (char c : EepromTalker) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
}

TEST(BootstrapPrograms, EraseLoaderInstructions) {
    ExpectInstructions(StoredProgramBytes(EepromEraseLoader),
                       {{"LDS #$00FF", 0x00, {0x8E, 0x00, 0xFF}},
                        {"LDX #$1000", 0x03, {0xCE, 0x10, 0x00}},
                        {"LDD #$330C", 0x0B, {0xCC, 0x33, 0x0C}},
                        {"LDAB #$06; STAB $3B,X (PPROG bulk erase)", 0x12, {0xC6, 0x06, 0xE7, 0x3B}},
                        {"STAB $B600", 0x16, {0xF7, 0xB6, 0x00}},
                        {"INC $3B,X", 0x19, {0x6C, 0x3B}},
                        {"JMP $001F", 0x1F, {0x7E, 0x00, 0x1F}},
                        {"LDY #$0FA0", 0x24, {0x18, 0xCE, 0x0F, 0xA0}},
                        {"PULY; RTS", 0x2C, {0x18, 0x38, 0x39}}});
}

TEST(BootstrapPrograms, TalkerInstructions) {
    const std::vector<uint8_t> talker = StoredProgramBytes(EepromTalker);
    ExpectInstructions(talker, {{"JMP $0026", 0x00, {0x7E, 0x00, 0x26}},
                                {"LDS #$00FF", 0x26, {0x8E, 0x00, 0xFF}},
                                {"wait for $FF", 0x40, {0x1F, 0x2E, 0x20, 0xFC, 0xA6, 0x2F, 0x81, 0xFF, 0x26, 0xF6}},
                                {"XON", 0x4C, {0xC6, 0x11, 0xE7, 0x2F}},
                                {"XOFF, also to PORTB", 0x8E, {0xC6, 0x13, 0xE7, 0x2F, 0xE7, 0x04}},
                                {"JMP $0048", 0xE8, {0x7E, 0x00, 0x48}},
                                {"LDY #$0BB8", 0xED, {0x18, 0xCE, 0x0B, 0xB8}},
                                {"RTS", 0xF7, {0x39}}});
    // The work area between the jump and the start-up code is zero.
    for (size_t a = 3; a < 0x26; ++a) EXPECT_EQ(talker[a], 0) << a;
}

TEST(BootstrapPrograms, ProgrammerHexByteTakesUpperCaseOnly) {
    EXPECT_EQ(ProgrammerHexByte('B', '6'), 0xB6);
    EXPECT_EQ(ProgrammerHexByte('0', 'F'), 0x0F);
    EXPECT_EQ(ProgrammerHexByte('F', 'F'), 0xFF);
    // Lower case is no hex digit to this reader: a low nibble 'b' gives 43.
    EXPECT_NE(ProgrammerHexByte('6', 'b'), 0x6B);
    EXPECT_EQ(StoredProgramBytes("B60"), std::vector<uint8_t>{0xB6});
}

}  // namespace
