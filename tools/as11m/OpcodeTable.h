// The 68HC11 instruction set as the assembler encodes it: one row per opcode,
// in page ($00, $18, $1A, $CD) and byte order, cycle counts as the chip's
// data book gives them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace as11m {

enum class AddressMode : uint8_t {
    Inherent,
    Immediate8,
    Immediate16,
    Direct,
    Extended,
    IndexedX,
    IndexedY,
    Relative,
    BitDirect,  // BSET/BCLR opr,#mask
    BitIndexedX,
    BitIndexedY,
    BitBranchDirect,  // BRSET/BRCLR opr,#mask,target
    BitBranchIndexedX,
    BitBranchIndexedY,
};

struct OpcodeRow {
    std::string_view Mnemonic;
    AddressMode Mode;
    uint8_t Page;  // 0 for none, else the prefix byte
    uint8_t Opcode;
    uint8_t Cycles;
};

// Bytes after the opcode (and its prefix).
constexpr int OperandLength(AddressMode mode) {
    switch (mode) {
        case AddressMode::Inherent: return 0;
        case AddressMode::Immediate8: return 1;
        case AddressMode::Immediate16: return 2;
        case AddressMode::Direct: return 1;
        case AddressMode::Extended: return 2;
        case AddressMode::IndexedX: return 1;
        case AddressMode::IndexedY: return 1;
        case AddressMode::Relative: return 1;
        case AddressMode::BitDirect: return 2;
        case AddressMode::BitIndexedX: return 2;
        case AddressMode::BitIndexedY: return 2;
        case AddressMode::BitBranchDirect: return 3;
        case AddressMode::BitBranchIndexedX: return 3;
        case AddressMode::BitBranchIndexedY: return 3;
    }
    return 0;
}

constexpr int InstructionLength(const OpcodeRow& row) { return (row.Page != 0 ? 2 : 1) + OperandLength(row.Mode); }

using M = AddressMode;

// clang-format off
inline constexpr std::array OpcodeTable = {
    // page 0
    OpcodeRow{"TEST",  M::Inherent,          0x00, 0x00,  0},  // test modes only; never ends on the chip
    OpcodeRow{"NOP",   M::Inherent,          0x00, 0x01,  2},
    OpcodeRow{"IDIV",  M::Inherent,          0x00, 0x02, 41},
    OpcodeRow{"FDIV",  M::Inherent,          0x00, 0x03, 41},
    OpcodeRow{"LSRD",  M::Inherent,          0x00, 0x04,  3},
    OpcodeRow{"ASLD",  M::Inherent,          0x00, 0x05,  3},
    OpcodeRow{"TAP",   M::Inherent,          0x00, 0x06,  2},
    OpcodeRow{"TPA",   M::Inherent,          0x00, 0x07,  2},
    OpcodeRow{"INX",   M::Inherent,          0x00, 0x08,  3},
    OpcodeRow{"DEX",   M::Inherent,          0x00, 0x09,  3},
    OpcodeRow{"CLV",   M::Inherent,          0x00, 0x0A,  2},
    OpcodeRow{"SEV",   M::Inherent,          0x00, 0x0B,  2},
    OpcodeRow{"CLC",   M::Inherent,          0x00, 0x0C,  2},
    OpcodeRow{"SEC",   M::Inherent,          0x00, 0x0D,  2},
    OpcodeRow{"CLI",   M::Inherent,          0x00, 0x0E,  2},
    OpcodeRow{"SEI",   M::Inherent,          0x00, 0x0F,  2},
    OpcodeRow{"SBA",   M::Inherent,          0x00, 0x10,  2},
    OpcodeRow{"CBA",   M::Inherent,          0x00, 0x11,  2},
    OpcodeRow{"BRSET", M::BitBranchDirect,   0x00, 0x12,  6},
    OpcodeRow{"BRCLR", M::BitBranchDirect,   0x00, 0x13,  6},
    OpcodeRow{"BSET",  M::BitDirect,         0x00, 0x14,  6},
    OpcodeRow{"BCLR",  M::BitDirect,         0x00, 0x15,  6},
    OpcodeRow{"TAB",   M::Inherent,          0x00, 0x16,  2},
    OpcodeRow{"TBA",   M::Inherent,          0x00, 0x17,  2},
    OpcodeRow{"DAA",   M::Inherent,          0x00, 0x19,  2},
    OpcodeRow{"ABA",   M::Inherent,          0x00, 0x1B,  2},
    OpcodeRow{"BSET",  M::BitIndexedX,       0x00, 0x1C,  7},
    OpcodeRow{"BCLR",  M::BitIndexedX,       0x00, 0x1D,  7},
    OpcodeRow{"BRSET", M::BitBranchIndexedX, 0x00, 0x1E,  7},
    OpcodeRow{"BRCLR", M::BitBranchIndexedX, 0x00, 0x1F,  7},
    OpcodeRow{"BRA",   M::Relative,          0x00, 0x20,  3},
    OpcodeRow{"BRN",   M::Relative,          0x00, 0x21,  3},
    OpcodeRow{"BHI",   M::Relative,          0x00, 0x22,  3},
    OpcodeRow{"BLS",   M::Relative,          0x00, 0x23,  3},
    OpcodeRow{"BCC",   M::Relative,          0x00, 0x24,  3},
    OpcodeRow{"BCS",   M::Relative,          0x00, 0x25,  3},
    OpcodeRow{"BNE",   M::Relative,          0x00, 0x26,  3},
    OpcodeRow{"BEQ",   M::Relative,          0x00, 0x27,  3},
    OpcodeRow{"BVC",   M::Relative,          0x00, 0x28,  3},
    OpcodeRow{"BVS",   M::Relative,          0x00, 0x29,  3},
    OpcodeRow{"BPL",   M::Relative,          0x00, 0x2A,  3},
    OpcodeRow{"BMI",   M::Relative,          0x00, 0x2B,  3},
    OpcodeRow{"BGE",   M::Relative,          0x00, 0x2C,  3},
    OpcodeRow{"BLT",   M::Relative,          0x00, 0x2D,  3},
    OpcodeRow{"BGT",   M::Relative,          0x00, 0x2E,  3},
    OpcodeRow{"BLE",   M::Relative,          0x00, 0x2F,  3},
    OpcodeRow{"TSX",   M::Inherent,          0x00, 0x30,  3},
    OpcodeRow{"INS",   M::Inherent,          0x00, 0x31,  3},
    OpcodeRow{"PULA",  M::Inherent,          0x00, 0x32,  4},
    OpcodeRow{"PULB",  M::Inherent,          0x00, 0x33,  4},
    OpcodeRow{"DES",   M::Inherent,          0x00, 0x34,  3},
    OpcodeRow{"TXS",   M::Inherent,          0x00, 0x35,  3},
    OpcodeRow{"PSHA",  M::Inherent,          0x00, 0x36,  3},
    OpcodeRow{"PSHB",  M::Inherent,          0x00, 0x37,  3},
    OpcodeRow{"PULX",  M::Inherent,          0x00, 0x38,  5},
    OpcodeRow{"RTS",   M::Inherent,          0x00, 0x39,  5},
    OpcodeRow{"ABX",   M::Inherent,          0x00, 0x3A,  3},
    OpcodeRow{"RTI",   M::Inherent,          0x00, 0x3B, 12},
    OpcodeRow{"PSHX",  M::Inherent,          0x00, 0x3C,  4},
    OpcodeRow{"MUL",   M::Inherent,          0x00, 0x3D, 10},
    OpcodeRow{"WAI",   M::Inherent,          0x00, 0x3E, 14},
    OpcodeRow{"SWI",   M::Inherent,          0x00, 0x3F, 14},
    OpcodeRow{"NEGA",  M::Inherent,          0x00, 0x40,  2},
    OpcodeRow{"COMA",  M::Inherent,          0x00, 0x43,  2},
    OpcodeRow{"LSRA",  M::Inherent,          0x00, 0x44,  2},
    OpcodeRow{"RORA",  M::Inherent,          0x00, 0x46,  2},
    OpcodeRow{"ASRA",  M::Inherent,          0x00, 0x47,  2},
    OpcodeRow{"ASLA",  M::Inherent,          0x00, 0x48,  2},
    OpcodeRow{"ROLA",  M::Inherent,          0x00, 0x49,  2},
    OpcodeRow{"DECA",  M::Inherent,          0x00, 0x4A,  2},
    OpcodeRow{"INCA",  M::Inherent,          0x00, 0x4C,  2},
    OpcodeRow{"TSTA",  M::Inherent,          0x00, 0x4D,  2},
    OpcodeRow{"CLRA",  M::Inherent,          0x00, 0x4F,  2},
    OpcodeRow{"NEGB",  M::Inherent,          0x00, 0x50,  2},
    OpcodeRow{"COMB",  M::Inherent,          0x00, 0x53,  2},
    OpcodeRow{"LSRB",  M::Inherent,          0x00, 0x54,  2},
    OpcodeRow{"RORB",  M::Inherent,          0x00, 0x56,  2},
    OpcodeRow{"ASRB",  M::Inherent,          0x00, 0x57,  2},
    OpcodeRow{"ASLB",  M::Inherent,          0x00, 0x58,  2},
    OpcodeRow{"ROLB",  M::Inherent,          0x00, 0x59,  2},
    OpcodeRow{"DECB",  M::Inherent,          0x00, 0x5A,  2},
    OpcodeRow{"INCB",  M::Inherent,          0x00, 0x5C,  2},
    OpcodeRow{"TSTB",  M::Inherent,          0x00, 0x5D,  2},
    OpcodeRow{"CLRB",  M::Inherent,          0x00, 0x5F,  2},
    OpcodeRow{"NEG",   M::IndexedX,          0x00, 0x60,  6},
    OpcodeRow{"COM",   M::IndexedX,          0x00, 0x63,  6},
    OpcodeRow{"LSR",   M::IndexedX,          0x00, 0x64,  6},
    OpcodeRow{"ROR",   M::IndexedX,          0x00, 0x66,  6},
    OpcodeRow{"ASR",   M::IndexedX,          0x00, 0x67,  6},
    OpcodeRow{"ASL",   M::IndexedX,          0x00, 0x68,  6},
    OpcodeRow{"ROL",   M::IndexedX,          0x00, 0x69,  6},
    OpcodeRow{"DEC",   M::IndexedX,          0x00, 0x6A,  6},
    OpcodeRow{"INC",   M::IndexedX,          0x00, 0x6C,  6},
    OpcodeRow{"TST",   M::IndexedX,          0x00, 0x6D,  6},
    OpcodeRow{"JMP",   M::IndexedX,          0x00, 0x6E,  3},
    OpcodeRow{"CLR",   M::IndexedX,          0x00, 0x6F,  6},
    OpcodeRow{"NEG",   M::Extended,          0x00, 0x70,  6},
    OpcodeRow{"COM",   M::Extended,          0x00, 0x73,  6},
    OpcodeRow{"LSR",   M::Extended,          0x00, 0x74,  6},
    OpcodeRow{"ROR",   M::Extended,          0x00, 0x76,  6},
    OpcodeRow{"ASR",   M::Extended,          0x00, 0x77,  6},
    OpcodeRow{"ASL",   M::Extended,          0x00, 0x78,  6},
    OpcodeRow{"ROL",   M::Extended,          0x00, 0x79,  6},
    OpcodeRow{"DEC",   M::Extended,          0x00, 0x7A,  6},
    OpcodeRow{"INC",   M::Extended,          0x00, 0x7C,  6},
    OpcodeRow{"TST",   M::Extended,          0x00, 0x7D,  6},
    OpcodeRow{"JMP",   M::Extended,          0x00, 0x7E,  3},
    OpcodeRow{"CLR",   M::Extended,          0x00, 0x7F,  6},
    OpcodeRow{"SUBA",  M::Immediate8,        0x00, 0x80,  2},
    OpcodeRow{"CMPA",  M::Immediate8,        0x00, 0x81,  2},
    OpcodeRow{"SBCA",  M::Immediate8,        0x00, 0x82,  2},
    OpcodeRow{"SUBD",  M::Immediate16,       0x00, 0x83,  4},
    OpcodeRow{"ANDA",  M::Immediate8,        0x00, 0x84,  2},
    OpcodeRow{"BITA",  M::Immediate8,        0x00, 0x85,  2},
    OpcodeRow{"LDAA",  M::Immediate8,        0x00, 0x86,  2},
    OpcodeRow{"EORA",  M::Immediate8,        0x00, 0x88,  2},
    OpcodeRow{"ADCA",  M::Immediate8,        0x00, 0x89,  2},
    OpcodeRow{"ORAA",  M::Immediate8,        0x00, 0x8A,  2},
    OpcodeRow{"ADDA",  M::Immediate8,        0x00, 0x8B,  2},
    OpcodeRow{"CPX",   M::Immediate16,       0x00, 0x8C,  4},
    OpcodeRow{"BSR",   M::Relative,          0x00, 0x8D,  6},
    OpcodeRow{"LDS",   M::Immediate16,       0x00, 0x8E,  3},
    OpcodeRow{"XGDX",  M::Inherent,          0x00, 0x8F,  3},
    OpcodeRow{"SUBA",  M::Direct,            0x00, 0x90,  3},
    OpcodeRow{"CMPA",  M::Direct,            0x00, 0x91,  3},
    OpcodeRow{"SBCA",  M::Direct,            0x00, 0x92,  3},
    OpcodeRow{"SUBD",  M::Direct,            0x00, 0x93,  5},
    OpcodeRow{"ANDA",  M::Direct,            0x00, 0x94,  3},
    OpcodeRow{"BITA",  M::Direct,            0x00, 0x95,  3},
    OpcodeRow{"LDAA",  M::Direct,            0x00, 0x96,  3},
    OpcodeRow{"STAA",  M::Direct,            0x00, 0x97,  3},
    OpcodeRow{"EORA",  M::Direct,            0x00, 0x98,  3},
    OpcodeRow{"ADCA",  M::Direct,            0x00, 0x99,  3},
    OpcodeRow{"ORAA",  M::Direct,            0x00, 0x9A,  3},
    OpcodeRow{"ADDA",  M::Direct,            0x00, 0x9B,  3},
    OpcodeRow{"CPX",   M::Direct,            0x00, 0x9C,  5},
    OpcodeRow{"JSR",   M::Direct,            0x00, 0x9D,  5},
    OpcodeRow{"LDS",   M::Direct,            0x00, 0x9E,  4},
    OpcodeRow{"STS",   M::Direct,            0x00, 0x9F,  4},
    OpcodeRow{"SUBA",  M::IndexedX,          0x00, 0xA0,  4},
    OpcodeRow{"CMPA",  M::IndexedX,          0x00, 0xA1,  4},
    OpcodeRow{"SBCA",  M::IndexedX,          0x00, 0xA2,  4},
    OpcodeRow{"SUBD",  M::IndexedX,          0x00, 0xA3,  6},
    OpcodeRow{"ANDA",  M::IndexedX,          0x00, 0xA4,  4},
    OpcodeRow{"BITA",  M::IndexedX,          0x00, 0xA5,  4},
    OpcodeRow{"LDAA",  M::IndexedX,          0x00, 0xA6,  4},
    OpcodeRow{"STAA",  M::IndexedX,          0x00, 0xA7,  4},
    OpcodeRow{"EORA",  M::IndexedX,          0x00, 0xA8,  4},
    OpcodeRow{"ADCA",  M::IndexedX,          0x00, 0xA9,  4},
    OpcodeRow{"ORAA",  M::IndexedX,          0x00, 0xAA,  4},
    OpcodeRow{"ADDA",  M::IndexedX,          0x00, 0xAB,  4},
    OpcodeRow{"CPX",   M::IndexedX,          0x00, 0xAC,  6},
    OpcodeRow{"JSR",   M::IndexedX,          0x00, 0xAD,  6},
    OpcodeRow{"LDS",   M::IndexedX,          0x00, 0xAE,  5},
    OpcodeRow{"STS",   M::IndexedX,          0x00, 0xAF,  5},
    OpcodeRow{"SUBA",  M::Extended,          0x00, 0xB0,  4},
    OpcodeRow{"CMPA",  M::Extended,          0x00, 0xB1,  4},
    OpcodeRow{"SBCA",  M::Extended,          0x00, 0xB2,  4},
    OpcodeRow{"SUBD",  M::Extended,          0x00, 0xB3,  6},
    OpcodeRow{"ANDA",  M::Extended,          0x00, 0xB4,  4},
    OpcodeRow{"BITA",  M::Extended,          0x00, 0xB5,  4},
    OpcodeRow{"LDAA",  M::Extended,          0x00, 0xB6,  4},
    OpcodeRow{"STAA",  M::Extended,          0x00, 0xB7,  4},
    OpcodeRow{"EORA",  M::Extended,          0x00, 0xB8,  4},
    OpcodeRow{"ADCA",  M::Extended,          0x00, 0xB9,  4},
    OpcodeRow{"ORAA",  M::Extended,          0x00, 0xBA,  4},
    OpcodeRow{"ADDA",  M::Extended,          0x00, 0xBB,  4},
    OpcodeRow{"CPX",   M::Extended,          0x00, 0xBC,  6},
    OpcodeRow{"JSR",   M::Extended,          0x00, 0xBD,  6},
    OpcodeRow{"LDS",   M::Extended,          0x00, 0xBE,  5},
    OpcodeRow{"STS",   M::Extended,          0x00, 0xBF,  5},
    OpcodeRow{"SUBB",  M::Immediate8,        0x00, 0xC0,  2},
    OpcodeRow{"CMPB",  M::Immediate8,        0x00, 0xC1,  2},
    OpcodeRow{"SBCB",  M::Immediate8,        0x00, 0xC2,  2},
    OpcodeRow{"ADDD",  M::Immediate16,       0x00, 0xC3,  4},
    OpcodeRow{"ANDB",  M::Immediate8,        0x00, 0xC4,  2},
    OpcodeRow{"BITB",  M::Immediate8,        0x00, 0xC5,  2},
    OpcodeRow{"LDAB",  M::Immediate8,        0x00, 0xC6,  2},
    OpcodeRow{"EORB",  M::Immediate8,        0x00, 0xC8,  2},
    OpcodeRow{"ADCB",  M::Immediate8,        0x00, 0xC9,  2},
    OpcodeRow{"ORAB",  M::Immediate8,        0x00, 0xCA,  2},
    OpcodeRow{"ADDB",  M::Immediate8,        0x00, 0xCB,  2},
    OpcodeRow{"LDD",   M::Immediate16,       0x00, 0xCC,  3},
    OpcodeRow{"LDX",   M::Immediate16,       0x00, 0xCE,  3},
    OpcodeRow{"STOP",  M::Inherent,          0x00, 0xCF,  2},
    OpcodeRow{"SUBB",  M::Direct,            0x00, 0xD0,  3},
    OpcodeRow{"CMPB",  M::Direct,            0x00, 0xD1,  3},
    OpcodeRow{"SBCB",  M::Direct,            0x00, 0xD2,  3},
    OpcodeRow{"ADDD",  M::Direct,            0x00, 0xD3,  5},
    OpcodeRow{"ANDB",  M::Direct,            0x00, 0xD4,  3},
    OpcodeRow{"BITB",  M::Direct,            0x00, 0xD5,  3},
    OpcodeRow{"LDAB",  M::Direct,            0x00, 0xD6,  3},
    OpcodeRow{"STAB",  M::Direct,            0x00, 0xD7,  3},
    OpcodeRow{"EORB",  M::Direct,            0x00, 0xD8,  3},
    OpcodeRow{"ADCB",  M::Direct,            0x00, 0xD9,  3},
    OpcodeRow{"ORAB",  M::Direct,            0x00, 0xDA,  3},
    OpcodeRow{"ADDB",  M::Direct,            0x00, 0xDB,  3},
    OpcodeRow{"LDD",   M::Direct,            0x00, 0xDC,  4},
    OpcodeRow{"STD",   M::Direct,            0x00, 0xDD,  4},
    OpcodeRow{"LDX",   M::Direct,            0x00, 0xDE,  4},
    OpcodeRow{"STX",   M::Direct,            0x00, 0xDF,  4},
    OpcodeRow{"SUBB",  M::IndexedX,          0x00, 0xE0,  4},
    OpcodeRow{"CMPB",  M::IndexedX,          0x00, 0xE1,  4},
    OpcodeRow{"SBCB",  M::IndexedX,          0x00, 0xE2,  4},
    OpcodeRow{"ADDD",  M::IndexedX,          0x00, 0xE3,  6},
    OpcodeRow{"ANDB",  M::IndexedX,          0x00, 0xE4,  4},
    OpcodeRow{"BITB",  M::IndexedX,          0x00, 0xE5,  4},
    OpcodeRow{"LDAB",  M::IndexedX,          0x00, 0xE6,  4},
    OpcodeRow{"STAB",  M::IndexedX,          0x00, 0xE7,  4},
    OpcodeRow{"EORB",  M::IndexedX,          0x00, 0xE8,  4},
    OpcodeRow{"ADCB",  M::IndexedX,          0x00, 0xE9,  4},
    OpcodeRow{"ORAB",  M::IndexedX,          0x00, 0xEA,  4},
    OpcodeRow{"ADDB",  M::IndexedX,          0x00, 0xEB,  4},
    OpcodeRow{"LDD",   M::IndexedX,          0x00, 0xEC,  5},
    OpcodeRow{"STD",   M::IndexedX,          0x00, 0xED,  5},
    OpcodeRow{"LDX",   M::IndexedX,          0x00, 0xEE,  5},
    OpcodeRow{"STX",   M::IndexedX,          0x00, 0xEF,  5},
    OpcodeRow{"SUBB",  M::Extended,          0x00, 0xF0,  4},
    OpcodeRow{"CMPB",  M::Extended,          0x00, 0xF1,  4},
    OpcodeRow{"SBCB",  M::Extended,          0x00, 0xF2,  4},
    OpcodeRow{"ADDD",  M::Extended,          0x00, 0xF3,  6},
    OpcodeRow{"ANDB",  M::Extended,          0x00, 0xF4,  4},
    OpcodeRow{"BITB",  M::Extended,          0x00, 0xF5,  4},
    OpcodeRow{"LDAB",  M::Extended,          0x00, 0xF6,  4},
    OpcodeRow{"STAB",  M::Extended,          0x00, 0xF7,  4},
    OpcodeRow{"EORB",  M::Extended,          0x00, 0xF8,  4},
    OpcodeRow{"ADCB",  M::Extended,          0x00, 0xF9,  4},
    OpcodeRow{"ORAB",  M::Extended,          0x00, 0xFA,  4},
    OpcodeRow{"ADDB",  M::Extended,          0x00, 0xFB,  4},
    OpcodeRow{"LDD",   M::Extended,          0x00, 0xFC,  5},
    OpcodeRow{"STD",   M::Extended,          0x00, 0xFD,  5},
    OpcodeRow{"LDX",   M::Extended,          0x00, 0xFE,  5},
    OpcodeRow{"STX",   M::Extended,          0x00, 0xFF,  5},

    // page $18: the Y forms
    OpcodeRow{"INY",   M::Inherent,          0x18, 0x08,  4},
    OpcodeRow{"DEY",   M::Inherent,          0x18, 0x09,  4},
    OpcodeRow{"BSET",  M::BitIndexedY,       0x18, 0x1C,  8},
    OpcodeRow{"BCLR",  M::BitIndexedY,       0x18, 0x1D,  8},
    OpcodeRow{"BRSET", M::BitBranchIndexedY, 0x18, 0x1E,  8},
    OpcodeRow{"BRCLR", M::BitBranchIndexedY, 0x18, 0x1F,  8},
    OpcodeRow{"TSY",   M::Inherent,          0x18, 0x30,  4},
    OpcodeRow{"TYS",   M::Inherent,          0x18, 0x35,  4},
    OpcodeRow{"PULY",  M::Inherent,          0x18, 0x38,  6},
    OpcodeRow{"ABY",   M::Inherent,          0x18, 0x3A,  4},
    OpcodeRow{"PSHY",  M::Inherent,          0x18, 0x3C,  5},
    OpcodeRow{"NEG",   M::IndexedY,          0x18, 0x60,  7},
    OpcodeRow{"COM",   M::IndexedY,          0x18, 0x63,  7},
    OpcodeRow{"LSR",   M::IndexedY,          0x18, 0x64,  7},
    OpcodeRow{"ROR",   M::IndexedY,          0x18, 0x66,  7},
    OpcodeRow{"ASR",   M::IndexedY,          0x18, 0x67,  7},
    OpcodeRow{"ASL",   M::IndexedY,          0x18, 0x68,  7},
    OpcodeRow{"ROL",   M::IndexedY,          0x18, 0x69,  7},
    OpcodeRow{"DEC",   M::IndexedY,          0x18, 0x6A,  7},
    OpcodeRow{"INC",   M::IndexedY,          0x18, 0x6C,  7},
    OpcodeRow{"TST",   M::IndexedY,          0x18, 0x6D,  7},
    OpcodeRow{"JMP",   M::IndexedY,          0x18, 0x6E,  4},
    OpcodeRow{"CLR",   M::IndexedY,          0x18, 0x6F,  7},
    OpcodeRow{"CPY",   M::Immediate16,       0x18, 0x8C,  5},
    OpcodeRow{"XGDY",  M::Inherent,          0x18, 0x8F,  4},
    OpcodeRow{"CPY",   M::Direct,            0x18, 0x9C,  6},
    OpcodeRow{"SUBA",  M::IndexedY,          0x18, 0xA0,  5},
    OpcodeRow{"CMPA",  M::IndexedY,          0x18, 0xA1,  5},
    OpcodeRow{"SBCA",  M::IndexedY,          0x18, 0xA2,  5},
    OpcodeRow{"SUBD",  M::IndexedY,          0x18, 0xA3,  7},
    OpcodeRow{"ANDA",  M::IndexedY,          0x18, 0xA4,  5},
    OpcodeRow{"BITA",  M::IndexedY,          0x18, 0xA5,  5},
    OpcodeRow{"LDAA",  M::IndexedY,          0x18, 0xA6,  5},
    OpcodeRow{"STAA",  M::IndexedY,          0x18, 0xA7,  5},
    OpcodeRow{"EORA",  M::IndexedY,          0x18, 0xA8,  5},
    OpcodeRow{"ADCA",  M::IndexedY,          0x18, 0xA9,  5},
    OpcodeRow{"ORAA",  M::IndexedY,          0x18, 0xAA,  5},
    OpcodeRow{"ADDA",  M::IndexedY,          0x18, 0xAB,  5},
    OpcodeRow{"CPY",   M::IndexedY,          0x18, 0xAC,  7},
    OpcodeRow{"JSR",   M::IndexedY,          0x18, 0xAD,  7},
    OpcodeRow{"LDS",   M::IndexedY,          0x18, 0xAE,  6},
    OpcodeRow{"STS",   M::IndexedY,          0x18, 0xAF,  6},
    OpcodeRow{"CPY",   M::Extended,          0x18, 0xBC,  7},
    OpcodeRow{"LDY",   M::Immediate16,       0x18, 0xCE,  4},
    OpcodeRow{"LDY",   M::Direct,            0x18, 0xDE,  5},
    OpcodeRow{"STY",   M::Direct,            0x18, 0xDF,  5},
    OpcodeRow{"SUBB",  M::IndexedY,          0x18, 0xE0,  5},
    OpcodeRow{"CMPB",  M::IndexedY,          0x18, 0xE1,  5},
    OpcodeRow{"SBCB",  M::IndexedY,          0x18, 0xE2,  5},
    OpcodeRow{"ADDD",  M::IndexedY,          0x18, 0xE3,  7},
    OpcodeRow{"ANDB",  M::IndexedY,          0x18, 0xE4,  5},
    OpcodeRow{"BITB",  M::IndexedY,          0x18, 0xE5,  5},
    OpcodeRow{"LDAB",  M::IndexedY,          0x18, 0xE6,  5},
    OpcodeRow{"STAB",  M::IndexedY,          0x18, 0xE7,  5},
    OpcodeRow{"EORB",  M::IndexedY,          0x18, 0xE8,  5},
    OpcodeRow{"ADCB",  M::IndexedY,          0x18, 0xE9,  5},
    OpcodeRow{"ORAB",  M::IndexedY,          0x18, 0xEA,  5},
    OpcodeRow{"ADDB",  M::IndexedY,          0x18, 0xEB,  5},
    OpcodeRow{"LDD",   M::IndexedY,          0x18, 0xEC,  6},
    OpcodeRow{"STD",   M::IndexedY,          0x18, 0xED,  6},
    OpcodeRow{"LDY",   M::IndexedY,          0x18, 0xEE,  6},
    OpcodeRow{"STY",   M::IndexedY,          0x18, 0xEF,  6},
    OpcodeRow{"LDY",   M::Extended,          0x18, 0xFE,  6},
    OpcodeRow{"STY",   M::Extended,          0x18, 0xFF,  6},

    // page $1A: CPD, and the Y loads and compares indexed by X
    OpcodeRow{"CPD",   M::Immediate16,       0x1A, 0x83,  5},
    OpcodeRow{"CPD",   M::Direct,            0x1A, 0x93,  6},
    OpcodeRow{"CPD",   M::IndexedX,          0x1A, 0xA3,  7},
    OpcodeRow{"CPY",   M::IndexedX,          0x1A, 0xAC,  7},
    OpcodeRow{"CPD",   M::Extended,          0x1A, 0xB3,  7},
    OpcodeRow{"LDY",   M::IndexedX,          0x1A, 0xEE,  6},
    OpcodeRow{"STY",   M::IndexedX,          0x1A, 0xEF,  6},

    // page $CD: the X loads and compares and CPD indexed by Y
    OpcodeRow{"CPD",   M::IndexedY,          0xCD, 0xA3,  7},
    OpcodeRow{"CPX",   M::IndexedY,          0xCD, 0xAC,  7},
    OpcodeRow{"LDX",   M::IndexedY,          0xCD, 0xEE,  6},
    OpcodeRow{"STX",   M::IndexedY,          0xCD, 0xEF,  6},
};
// clang-format on

// Second names of the same opcodes.
struct MnemonicAlias {
    std::string_view Alias;
    std::string_view Mnemonic;
};
inline constexpr std::array MnemonicAliases = {
    MnemonicAlias{"LSLA", "ASLA"}, MnemonicAlias{"LSLB", "ASLB"}, MnemonicAlias{"LSL", "ASL"},
    MnemonicAlias{"LSLD", "ASLD"}, MnemonicAlias{"BHS", "BCC"},   MnemonicAlias{"BLO", "BCS"},
};

constexpr bool OpcodesAreUnique() {
    for (size_t i = 0; i < OpcodeTable.size(); ++i)
        for (size_t j = i + 1; j < OpcodeTable.size(); ++j)
            if (OpcodeTable[i].Page == OpcodeTable[j].Page && OpcodeTable[i].Opcode == OpcodeTable[j].Opcode)
                return false;
    return true;
}

constexpr bool RowsAreInPageAndByteOrder() {
    auto rank = [](uint8_t page) { return page == 0 ? 0 : page == 0x18 ? 1 : page == 0x1A ? 2 : 3; };
    for (size_t i = 1; i < OpcodeTable.size(); ++i) {
        int a = rank(OpcodeTable[i - 1].Page) * 256 + OpcodeTable[i - 1].Opcode;
        int b = rank(OpcodeTable[i].Page) * 256 + OpcodeTable[i].Opcode;
        if (a >= b) return false;
    }
    return true;
}

// 307 opcodes that run, and TEST, which the chip only knows in its test modes.
static_assert(OpcodeTable.size() == 308);
static_assert(OpcodesAreUnique());
static_assert(RowsAreInPageAndByteOrder());

}  // namespace as11m
