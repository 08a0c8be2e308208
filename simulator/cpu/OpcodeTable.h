// The instruction set as data: one row per recognised opcode, in page
// (0, $18, $1A, $CD) and byte order. The executor decodes through this table;
// the tests and the windows read the same rows.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

enum class TAddressMode : uint8_t {
    Inherent,     // no operand, or the operand is a register
    Immediate8,   // the byte after the opcode
    Immediate16,  // the two bytes after the opcode, high first
    Direct,       // address $00xx
    Extended,     // 16-bit address
    IndexedX,     // IX + unsigned offset
    IndexedY,     // IY + unsigned offset
    Relative,     // signed displacement
};

// The register an operation works on; None means a memory byte (or nothing).
// The three flag entries name the flag that CLC/SEC, CLV/SEV and CLI/SEI touch.
enum class TRegister : uint8_t { None, A, B, D, IX, IY, SP, FlagC, FlagV, FlagI };

// clang-format off
enum class TOperationKind : uint8_t {
    // data movement
    Load, Store, StoreThroughFilter, Clear, TransferAccumulator, TransferStackToIndex,
    TransferIndexToStack, ExchangeWithD, Push, Pull, NoOperation,
    // control flow
    Branch, BranchToSubroutine, Jump, JumpToSubroutine, ReturnFromSubroutine,
    ReturnFromInterrupt, SoftwareInterrupt, WaitForInterrupt, Stop,
    // arithmetic
    Add, AddWithCarry, AddAccumulators, Subtract, SubtractWithCarry, SubtractAccumulators,
    AddBToIndex, Increment, Decrement, IncrementRegister, DecrementRegister, Negate,
    Complement, DecimalAdjust, Multiply, IntegerDivide, FractionalDivide,
    // logic, test, compare, condition codes
    And, Or, ExclusiveOr, BitTest, Test, Compare, CompareAccumulators, TransferAToCcr,
    TransferCcrToA, ClearFlag, SetFlag,
    // shifts, rotates, bits
    ShiftLeft, ArithmeticShiftRight, LogicalShiftRight, RotateLeft, RotateRight, BitSet,
    BitSetThroughFilter, BitClear, BranchIfBitsSet, BranchIfBitsClear,
};
// clang-format on

struct TOpcodeRow {
    uint8_t Page;  // 0, or the prefix $18, $1A or $CD
    uint8_t Code;  // the opcode byte (after the prefix)
    std::string_view Mnemonic;
    TAddressMode Mode;
    TRegister Register;
    TOperationKind Kind;
    uint8_t Cycles;  // E cycles, as the simulator counts them
    uint8_t Length;  // bytes, prefix included
};

inline constexpr int OpcodeCount = 307;

// Cycle counts marked "deliberate" differ from the chip's published table on
// purpose: the simulator's timer has always counted with them.
// Only the eight ...ThroughFilter rows hand their byte to the register-block
// write filter. Every other store (STD, STX, STY, STS, CLR, BCLR, BSET direct,
// the read-modify-write instructions) writes its cell directly, register
// block included: deliberate, so no mask or write-1-to-clear rule applies.
// clang-format off
inline constexpr std::array<TOpcodeRow, OpcodeCount> OpcodeTable = [] {
    using enum TAddressMode;
    using enum TRegister;
    using enum TOperationKind;
    return std::array<TOpcodeRow, OpcodeCount>{{
        // page 0
        {0x00, 0x01, "NOP",   Inherent,    None,  NoOperation,            2, 1},
        {0x00, 0x02, "IDIV",  Inherent,    None,  IntegerDivide,         41, 1},
        {0x00, 0x03, "FDIV",  Inherent,    None,  FractionalDivide,      41, 1},
        {0x00, 0x04, "LSRD",  Inherent,    D,     LogicalShiftRight,      3, 1},
        {0x00, 0x05, "ASLD",  Inherent,    D,     ShiftLeft,              3, 1},
        {0x00, 0x06, "TAP",   Inherent,    None,  TransferAToCcr,         2, 1},
        {0x00, 0x07, "TPA",   Inherent,    None,  TransferCcrToA,         2, 1},
        {0x00, 0x08, "INX",   Inherent,    IX,    IncrementRegister,      3, 1},
        {0x00, 0x09, "DEX",   Inherent,    IX,    DecrementRegister,      3, 1},
        {0x00, 0x0A, "CLV",   Inherent,    FlagV, ClearFlag,              2, 1},
        {0x00, 0x0B, "SEV",   Inherent,    FlagV, SetFlag,                2, 1},
        {0x00, 0x0C, "CLC",   Inherent,    FlagC, ClearFlag,              2, 1},
        {0x00, 0x0D, "SEC",   Inherent,    FlagC, SetFlag,                2, 1},
        {0x00, 0x0E, "CLI",   Inherent,    FlagI, ClearFlag,              2, 1},
        {0x00, 0x0F, "SEI",   Inherent,    FlagI, SetFlag,                2, 1},
        {0x00, 0x10, "SBA",   Inherent,    A,     SubtractAccumulators,   2, 1},
        {0x00, 0x11, "CBA",   Inherent,    A,     CompareAccumulators,    2, 1},
        {0x00, 0x12, "BRSET", Direct,      None,  BranchIfBitsSet,        6, 4},
        {0x00, 0x13, "BRCLR", Direct,      None,  BranchIfBitsClear,      6, 4},
        {0x00, 0x14, "BSET",  Direct,      None,  BitSet,                 6, 3},
        {0x00, 0x15, "BCLR",  Direct,      None,  BitClear,               6, 3},
        {0x00, 0x16, "TAB",   Inherent,    B,     TransferAccumulator,    2, 1},
        {0x00, 0x17, "TBA",   Inherent,    A,     TransferAccumulator,    2, 1},
        {0x00, 0x19, "DAA",   Inherent,    A,     DecimalAdjust,          2, 1},
        {0x00, 0x1B, "ABA",   Inherent,    A,     AddAccumulators,        2, 1},
        {0x00, 0x1C, "BSET",  IndexedX,    None,  BitSetThroughFilter,    7, 3},
        {0x00, 0x1D, "BCLR",  IndexedX,    None,  BitClear,               7, 3},  // deliberate: bypasses the filter
        {0x00, 0x1E, "BRSET", IndexedX,    None,  BranchIfBitsSet,        7, 4},
        {0x00, 0x1F, "BRCLR", IndexedX,    None,  BranchIfBitsClear,      7, 4},
        {0x00, 0x20, "BRA",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x21, "BRN",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x22, "BHI",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x23, "BLS",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x24, "BCC",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x25, "BCS",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x26, "BNE",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x27, "BEQ",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x28, "BVC",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x29, "BVS",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x2A, "BPL",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x2B, "BMI",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x2C, "BGE",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x2D, "BLT",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x2E, "BGT",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x2F, "BLE",   Relative,    None,  Branch,                 3, 2},
        {0x00, 0x30, "TSX",   Inherent,    IX,    TransferStackToIndex,   3, 1},
        {0x00, 0x31, "INS",   Inherent,    SP,    IncrementRegister,      3, 1},
        {0x00, 0x32, "PULA",  Inherent,    A,     Pull,                   4, 1},
        {0x00, 0x33, "PULB",  Inherent,    B,     Pull,                   4, 1},
        {0x00, 0x34, "DES",   Inherent,    SP,    DecrementRegister,      3, 1},
        {0x00, 0x35, "TXS",   Inherent,    IX,    TransferIndexToStack,   3, 1},
        {0x00, 0x36, "PSHA",  Inherent,    A,     Push,                   3, 1},
        {0x00, 0x37, "PSHB",  Inherent,    B,     Push,                   3, 1},
        {0x00, 0x38, "PULX",  Inherent,    IX,    Pull,                   5, 1},
        {0x00, 0x39, "RTS",   Inherent,    None,  ReturnFromSubroutine,   5, 1},
        {0x00, 0x3A, "ABX",   Inherent,    IX,    AddBToIndex,            3, 1},
        {0x00, 0x3B, "RTI",   Inherent,    None,  ReturnFromInterrupt,   12, 1},
        {0x00, 0x3C, "PSHX",  Inherent,    IX,    Push,                   4, 1},
        {0x00, 0x3D, "MUL",   Inherent,    None,  Multiply,              10, 1},
        {0x00, 0x3E, "WAI",   Inherent,    None,  WaitForInterrupt,       2, 1},  // deliberate: the chip takes 14
        {0x00, 0x3F, "SWI",   Inherent,    None,  SoftwareInterrupt,     14, 1},
        {0x00, 0x40, "NEGA",  Inherent,    A,     Negate,                 2, 1},
        {0x00, 0x43, "COMA",  Inherent,    A,     Complement,             2, 1},
        {0x00, 0x44, "LSRA",  Inherent,    A,     LogicalShiftRight,      2, 1},
        {0x00, 0x46, "RORA",  Inherent,    A,     RotateRight,            2, 1},
        {0x00, 0x47, "ASRA",  Inherent,    A,     ArithmeticShiftRight,   2, 1},
        {0x00, 0x48, "ASLA",  Inherent,    A,     ShiftLeft,              2, 1},
        {0x00, 0x49, "ROLA",  Inherent,    A,     RotateLeft,             2, 1},
        {0x00, 0x4A, "DECA",  Inherent,    A,     Decrement,              2, 1},
        {0x00, 0x4C, "INCA",  Inherent,    A,     Increment,              2, 1},
        {0x00, 0x4D, "TSTA",  Inherent,    A,     Test,                   2, 1},
        {0x00, 0x4F, "CLRA",  Inherent,    A,     Clear,                  2, 1},
        {0x00, 0x50, "NEGB",  Inherent,    B,     Negate,                 2, 1},
        {0x00, 0x53, "COMB",  Inherent,    B,     Complement,             2, 1},
        {0x00, 0x54, "LSRB",  Inherent,    B,     LogicalShiftRight,      2, 1},
        {0x00, 0x56, "RORB",  Inherent,    B,     RotateRight,            2, 1},
        {0x00, 0x57, "ASRB",  Inherent,    B,     ArithmeticShiftRight,   2, 1},
        {0x00, 0x58, "ASLB",  Inherent,    B,     ShiftLeft,              2, 1},
        {0x00, 0x59, "ROLB",  Inherent,    B,     RotateLeft,             2, 1},
        {0x00, 0x5A, "DECB",  Inherent,    B,     Decrement,              2, 1},
        {0x00, 0x5C, "INCB",  Inherent,    B,     Increment,              2, 1},
        {0x00, 0x5D, "TSTB",  Inherent,    B,     Test,                   2, 1},
        {0x00, 0x5F, "CLRB",  Inherent,    B,     Clear,                  2, 1},
        {0x00, 0x60, "NEG",   IndexedX,    None,  Negate,                 6, 2},
        {0x00, 0x63, "COM",   IndexedX,    None,  Complement,             6, 2},
        {0x00, 0x64, "LSR",   IndexedX,    None,  LogicalShiftRight,      6, 2},
        {0x00, 0x66, "ROR",   IndexedX,    None,  RotateRight,            6, 2},
        {0x00, 0x67, "ASR",   IndexedX,    None,  ArithmeticShiftRight,   6, 2},
        {0x00, 0x68, "ASL",   IndexedX,    None,  ShiftLeft,              6, 2},
        {0x00, 0x69, "ROL",   IndexedX,    None,  RotateLeft,             6, 2},
        {0x00, 0x6A, "DEC",   IndexedX,    None,  Decrement,              6, 2},
        {0x00, 0x6C, "INC",   IndexedX,    None,  Increment,              7, 2},  // deliberate: one more than DEC
        {0x00, 0x6D, "TST",   IndexedX,    None,  Test,                   6, 2},
        {0x00, 0x6E, "JMP",   IndexedX,    None,  Jump,                   3, 2},
        {0x00, 0x6F, "CLR",   IndexedX,    None,  Clear,                  6, 2},
        {0x00, 0x70, "NEG",   Extended,    None,  Negate,                 6, 3},
        {0x00, 0x73, "COM",   Extended,    None,  Complement,             6, 3},
        {0x00, 0x74, "LSR",   Extended,    None,  LogicalShiftRight,      6, 3},
        {0x00, 0x76, "ROR",   Extended,    None,  RotateRight,            6, 3},
        {0x00, 0x77, "ASR",   Extended,    None,  ArithmeticShiftRight,   6, 3},
        {0x00, 0x78, "ASL",   Extended,    None,  ShiftLeft,              6, 3},
        {0x00, 0x79, "ROL",   Extended,    None,  RotateLeft,             6, 3},
        {0x00, 0x7A, "DEC",   Extended,    None,  Decrement,              6, 3},
        {0x00, 0x7C, "INC",   Extended,    None,  Increment,              7, 3},  // deliberate: one more than DEC
        {0x00, 0x7D, "TST",   Extended,    None,  Test,                   6, 3},
        {0x00, 0x7E, "JMP",   Extended,    None,  Jump,                   3, 3},
        {0x00, 0x7F, "CLR",   Extended,    None,  Clear,                  6, 3},
        {0x00, 0x80, "SUBA",  Immediate8,  A,     Subtract,               2, 2},
        {0x00, 0x81, "CMPA",  Immediate8,  A,     Compare,                2, 2},
        {0x00, 0x82, "SBCA",  Immediate8,  A,     SubtractWithCarry,      2, 2},
        {0x00, 0x83, "SUBD",  Immediate16, D,     Subtract,               4, 3},
        {0x00, 0x84, "ANDA",  Immediate8,  A,     And,                    2, 2},
        {0x00, 0x85, "BITA",  Immediate8,  A,     BitTest,                2, 2},
        {0x00, 0x86, "LDAA",  Immediate8,  A,     Load,                   2, 2},
        {0x00, 0x88, "EORA",  Immediate8,  A,     ExclusiveOr,            2, 2},
        {0x00, 0x89, "ADCA",  Immediate8,  A,     AddWithCarry,           2, 2},
        {0x00, 0x8A, "ORAA",  Immediate8,  A,     Or,                     2, 2},
        {0x00, 0x8B, "ADDA",  Immediate8,  A,     Add,                    2, 2},
        {0x00, 0x8C, "CPX",   Immediate16, IX,    Compare,                4, 3},
        {0x00, 0x8D, "BSR",   Relative,    None,  BranchToSubroutine,     6, 2},
        {0x00, 0x8E, "LDS",   Immediate16, SP,    Load,                   3, 3},
        {0x00, 0x8F, "XGDX",  Inherent,    IX,    ExchangeWithD,          3, 1},
        {0x00, 0x90, "SUBA",  Direct,      A,     Subtract,               3, 2},
        {0x00, 0x91, "CMPA",  Direct,      A,     Compare,                3, 2},
        {0x00, 0x92, "SBCA",  Direct,      A,     SubtractWithCarry,      3, 2},
        {0x00, 0x93, "SUBD",  Direct,      D,     Subtract,               5, 2},
        {0x00, 0x94, "ANDA",  Direct,      A,     And,                    3, 2},
        {0x00, 0x95, "BITA",  Direct,      A,     BitTest,                3, 2},
        {0x00, 0x96, "LDAA",  Direct,      A,     Load,                   3, 2},
        {0x00, 0x97, "STAA",  Direct,      A,     Store,                  3, 2},
        {0x00, 0x98, "EORA",  Direct,      A,     ExclusiveOr,            3, 2},
        {0x00, 0x99, "ADCA",  Direct,      A,     AddWithCarry,           3, 2},
        {0x00, 0x9A, "ORAA",  Direct,      A,     Or,                     3, 2},
        {0x00, 0x9B, "ADDA",  Direct,      A,     Add,                    3, 2},
        {0x00, 0x9C, "CPX",   Direct,      IX,    Compare,                6, 2},  // deliberate: the chip takes 5
        {0x00, 0x9D, "JSR",   Direct,      None,  JumpToSubroutine,       5, 2},
        {0x00, 0x9E, "LDS",   Direct,      SP,    Load,                   4, 2},
        {0x00, 0x9F, "STS",   Direct,      SP,    Store,                  4, 2},
        {0x00, 0xA0, "SUBA",  IndexedX,    A,     Subtract,               4, 2},
        {0x00, 0xA1, "CMPA",  IndexedX,    A,     Compare,                4, 2},
        {0x00, 0xA2, "SBCA",  IndexedX,    A,     SubtractWithCarry,      4, 2},
        {0x00, 0xA3, "SUBD",  IndexedX,    D,     Subtract,               6, 2},
        {0x00, 0xA4, "ANDA",  IndexedX,    A,     And,                    4, 2},
        {0x00, 0xA5, "BITA",  IndexedX,    A,     BitTest,                4, 2},
        {0x00, 0xA6, "LDAA",  IndexedX,    A,     Load,                   4, 2},
        {0x00, 0xA7, "STAA",  IndexedX,    A,     StoreThroughFilter,     4, 2},
        {0x00, 0xA8, "EORA",  IndexedX,    A,     ExclusiveOr,            4, 2},
        {0x00, 0xA9, "ADCA",  IndexedX,    A,     AddWithCarry,           4, 2},
        {0x00, 0xAA, "ORAA",  IndexedX,    A,     Or,                     4, 2},
        {0x00, 0xAB, "ADDA",  IndexedX,    A,     Add,                    4, 2},
        {0x00, 0xAC, "CPX",   IndexedX,    IX,    Compare,                6, 2},
        {0x00, 0xAD, "JSR",   IndexedX,    None,  JumpToSubroutine,       5, 2},  // deliberate: the chip takes 6
        {0x00, 0xAE, "LDS",   IndexedX,    SP,    Load,                   5, 2},
        {0x00, 0xAF, "STS",   IndexedX,    SP,    Store,                  5, 2},
        {0x00, 0xB0, "SUBA",  Extended,    A,     Subtract,               4, 3},
        {0x00, 0xB1, "CMPA",  Extended,    A,     Compare,                4, 3},
        {0x00, 0xB2, "SBCA",  Extended,    A,     SubtractWithCarry,      4, 3},
        {0x00, 0xB3, "SUBD",  Extended,    D,     Subtract,               6, 3},
        {0x00, 0xB4, "ANDA",  Extended,    A,     And,                    4, 3},
        {0x00, 0xB5, "BITA",  Extended,    A,     BitTest,                4, 3},
        {0x00, 0xB6, "LDAA",  Extended,    A,     Load,                   4, 3},
        {0x00, 0xB7, "STAA",  Extended,    A,     StoreThroughFilter,     4, 3},
        {0x00, 0xB8, "EORA",  Extended,    A,     ExclusiveOr,            4, 3},
        {0x00, 0xB9, "ADCA",  Extended,    A,     AddWithCarry,           4, 3},
        {0x00, 0xBA, "ORAA",  Extended,    A,     Or,                     4, 3},
        {0x00, 0xBB, "ADDA",  Extended,    A,     Add,                    4, 3},
        {0x00, 0xBC, "CPX",   Extended,    IX,    Compare,                6, 3},
        {0x00, 0xBD, "JSR",   Extended,    None,  JumpToSubroutine,       6, 3},
        {0x00, 0xBE, "LDS",   Extended,    SP,    Load,                   5, 3},
        {0x00, 0xBF, "STS",   Extended,    SP,    Store,                  5, 3},
        {0x00, 0xC0, "SUBB",  Immediate8,  B,     Subtract,               2, 2},
        {0x00, 0xC1, "CMPB",  Immediate8,  B,     Compare,                2, 2},
        {0x00, 0xC2, "SBCB",  Immediate8,  B,     SubtractWithCarry,      2, 2},
        {0x00, 0xC3, "ADDD",  Immediate16, D,     Add,                    4, 3},
        {0x00, 0xC4, "ANDB",  Immediate8,  B,     And,                    2, 2},
        {0x00, 0xC5, "BITB",  Immediate8,  B,     BitTest,                2, 2},
        {0x00, 0xC6, "LDAB",  Immediate8,  B,     Load,                   2, 2},
        {0x00, 0xC8, "EORB",  Immediate8,  B,     ExclusiveOr,            2, 2},
        {0x00, 0xC9, "ADCB",  Immediate8,  B,     AddWithCarry,           2, 2},
        {0x00, 0xCA, "ORAB",  Immediate8,  B,     Or,                     2, 2},
        {0x00, 0xCB, "ADDB",  Immediate8,  B,     Add,                    2, 2},
        {0x00, 0xCC, "LDD",   Immediate16, D,     Load,                   3, 3},
        {0x00, 0xCE, "LDX",   Immediate16, IX,    Load,                   3, 3},
        {0x00, 0xCF, "STOP",  Inherent,    None,  Stop,                   2, 1},
        {0x00, 0xD0, "SUBB",  Direct,      B,     Subtract,               3, 2},
        {0x00, 0xD1, "CMPB",  Direct,      B,     Compare,                3, 2},
        {0x00, 0xD2, "SBCB",  Direct,      B,     SubtractWithCarry,      3, 2},
        {0x00, 0xD3, "ADDD",  Direct,      D,     Add,                    5, 2},
        {0x00, 0xD4, "ANDB",  Direct,      B,     And,                    3, 2},
        {0x00, 0xD5, "BITB",  Direct,      B,     BitTest,                3, 2},
        {0x00, 0xD6, "LDAB",  Direct,      B,     Load,                   3, 2},
        {0x00, 0xD7, "STAB",  Direct,      B,     Store,                  3, 2},
        {0x00, 0xD8, "EORB",  Direct,      B,     ExclusiveOr,            3, 2},
        {0x00, 0xD9, "ADCB",  Direct,      B,     AddWithCarry,           3, 2},
        {0x00, 0xDA, "ORAB",  Direct,      B,     Or,                     3, 2},
        {0x00, 0xDB, "ADDB",  Direct,      B,     Add,                    3, 2},
        {0x00, 0xDC, "LDD",   Direct,      D,     Load,                   4, 2},
        {0x00, 0xDD, "STD",   Direct,      D,     Store,                  4, 2},
        {0x00, 0xDE, "LDX",   Direct,      IX,    Load,                   4, 2},
        {0x00, 0xDF, "STX",   Direct,      IX,    Store,                  4, 2},
        {0x00, 0xE0, "SUBB",  IndexedX,    B,     Subtract,               4, 2},
        {0x00, 0xE1, "CMPB",  IndexedX,    B,     Compare,                4, 2},
        {0x00, 0xE2, "SBCB",  IndexedX,    B,     SubtractWithCarry,      4, 2},
        {0x00, 0xE3, "ADDD",  IndexedX,    D,     Add,                    6, 2},
        {0x00, 0xE4, "ANDB",  IndexedX,    B,     And,                    4, 2},
        {0x00, 0xE5, "BITB",  IndexedX,    B,     BitTest,                4, 2},
        {0x00, 0xE6, "LDAB",  IndexedX,    B,     Load,                   4, 2},
        {0x00, 0xE7, "STAB",  IndexedX,    B,     StoreThroughFilter,     4, 2},
        {0x00, 0xE8, "EORB",  IndexedX,    B,     ExclusiveOr,            4, 2},
        {0x00, 0xE9, "ADCB",  IndexedX,    B,     AddWithCarry,           4, 2},
        {0x00, 0xEA, "ORAB",  IndexedX,    B,     Or,                     4, 2},
        {0x00, 0xEB, "ADDB",  IndexedX,    B,     Add,                    4, 2},
        {0x00, 0xEC, "LDD",   IndexedX,    D,     Load,                   5, 2},
        {0x00, 0xED, "STD",   IndexedX,    D,     Store,                  4, 2},  // deliberate: the chip takes 5
        {0x00, 0xEE, "LDX",   IndexedX,    IX,    Load,                   5, 2},
        {0x00, 0xEF, "STX",   IndexedX,    IX,    Store,                  5, 2},
        {0x00, 0xF0, "SUBB",  Extended,    B,     Subtract,               4, 3},
        {0x00, 0xF1, "CMPB",  Extended,    B,     Compare,                4, 3},
        {0x00, 0xF2, "SBCB",  Extended,    B,     SubtractWithCarry,      4, 3},
        {0x00, 0xF3, "ADDD",  Extended,    D,     Add,                    6, 3},
        {0x00, 0xF4, "ANDB",  Extended,    B,     And,                    4, 3},
        {0x00, 0xF5, "BITB",  Extended,    B,     BitTest,                4, 3},
        {0x00, 0xF6, "LDAB",  Extended,    B,     Load,                   4, 3},
        {0x00, 0xF7, "STAB",  Extended,    B,     StoreThroughFilter,     4, 3},
        {0x00, 0xF8, "EORB",  Extended,    B,     ExclusiveOr,            4, 3},
        {0x00, 0xF9, "ADCB",  Extended,    B,     AddWithCarry,           4, 3},
        {0x00, 0xFA, "ORAB",  Extended,    B,     Or,                     4, 3},
        {0x00, 0xFB, "ADDB",  Extended,    B,     Add,                    4, 3},
        {0x00, 0xFC, "LDD",   Extended,    D,     Load,                   5, 3},
        {0x00, 0xFD, "STD",   Extended,    D,     Store,                  5, 3},
        {0x00, 0xFE, "LDX",   Extended,    IX,    Load,                   5, 3},
        {0x00, 0xFF, "STX",   Extended,    IX,    Store,                  5, 3},
        // page $18
        {0x18, 0x08, "INY",   Inherent,    IY,    IncrementRegister,      4, 2},
        {0x18, 0x09, "DEY",   Inherent,    IY,    DecrementRegister,      4, 2},
        {0x18, 0x1C, "BSET",  IndexedY,    None,  BitSetThroughFilter,    8, 4},
        {0x18, 0x1D, "BCLR",  IndexedY,    None,  BitClear,               8, 4},  // deliberate: bypasses the filter
        {0x18, 0x1E, "BRSET", IndexedY,    None,  BranchIfBitsSet,        8, 5},
        {0x18, 0x1F, "BRCLR", IndexedY,    None,  BranchIfBitsClear,      8, 5},
        {0x18, 0x30, "TSY",   Inherent,    IY,    TransferStackToIndex,   4, 2},
        {0x18, 0x35, "TYS",   Inherent,    IY,    TransferIndexToStack,   4, 2},
        {0x18, 0x38, "PULY",  Inherent,    IY,    Pull,                   6, 2},
        {0x18, 0x3A, "ABY",   Inherent,    IY,    AddBToIndex,            4, 2},
        {0x18, 0x3C, "PSHY",  Inherent,    IY,    Push,                   5, 2},
        {0x18, 0x60, "NEG",   IndexedY,    None,  Negate,                 7, 3},
        {0x18, 0x63, "COM",   IndexedY,    None,  Complement,             7, 3},
        {0x18, 0x64, "LSR",   IndexedY,    None,  LogicalShiftRight,      7, 3},
        {0x18, 0x66, "ROR",   IndexedY,    None,  RotateRight,            7, 3},
        {0x18, 0x67, "ASR",   IndexedY,    None,  ArithmeticShiftRight,   7, 3},
        {0x18, 0x68, "ASL",   IndexedY,    None,  ShiftLeft,              7, 3},
        {0x18, 0x69, "ROL",   IndexedY,    None,  RotateLeft,             7, 3},
        {0x18, 0x6A, "DEC",   IndexedY,    None,  Decrement,              7, 3},
        {0x18, 0x6C, "INC",   IndexedY,    None,  Increment,              7, 3},
        {0x18, 0x6D, "TST",   IndexedY,    None,  Test,                   7, 3},
        {0x18, 0x6E, "JMP",   IndexedY,    None,  Jump,                   4, 3},
        {0x18, 0x6F, "CLR",   IndexedY,    None,  Clear,                  7, 3},
        {0x18, 0x8C, "CPY",   Immediate16, IY,    Compare,                5, 4},
        {0x18, 0x8F, "XGDY",  Inherent,    IY,    ExchangeWithD,          4, 2},
        {0x18, 0x9C, "CPY",   Direct,      IY,    Compare,                6, 3},
        {0x18, 0xA0, "SUBA",  IndexedY,    A,     Subtract,               5, 3},
        {0x18, 0xA1, "CMPA",  IndexedY,    A,     Compare,                5, 3},
        {0x18, 0xA2, "SBCA",  IndexedY,    A,     SubtractWithCarry,      5, 3},
        {0x18, 0xA3, "SUBD",  IndexedY,    D,     Subtract,               7, 3},
        {0x18, 0xA4, "ANDA",  IndexedY,    A,     And,                    5, 3},
        {0x18, 0xA5, "BITA",  IndexedY,    A,     BitTest,                5, 3},
        {0x18, 0xA6, "LDAA",  IndexedY,    A,     Load,                   5, 3},
        {0x18, 0xA7, "STAA",  IndexedY,    A,     StoreThroughFilter,     5, 3},
        {0x18, 0xA8, "EORA",  IndexedY,    A,     ExclusiveOr,            5, 3},
        {0x18, 0xA9, "ADCA",  IndexedY,    A,     AddWithCarry,           5, 3},
        {0x18, 0xAA, "ORAA",  IndexedY,    A,     Or,                     5, 3},
        {0x18, 0xAB, "ADDA",  IndexedY,    A,     Add,                    5, 3},
        {0x18, 0xAC, "CPY",   IndexedY,    IY,    Compare,                7, 3},
        {0x18, 0xAD, "JSR",   IndexedY,    None,  JumpToSubroutine,       5, 3},  // deliberate: the chip takes 7
        {0x18, 0xAE, "LDS",   IndexedY,    SP,    Load,                   6, 3},
        {0x18, 0xAF, "STS",   IndexedY,    SP,    Store,                  6, 3},
        {0x18, 0xBC, "CPY",   Extended,    IY,    Compare,                7, 4},
        {0x18, 0xCE, "LDY",   Immediate16, IY,    Load,                   4, 4},
        {0x18, 0xDE, "LDY",   Direct,      IY,    Load,                   5, 3},
        {0x18, 0xDF, "STY",   Direct,      IY,    Store,                  5, 3},
        {0x18, 0xE0, "SUBB",  IndexedY,    B,     Subtract,               5, 3},
        {0x18, 0xE1, "CMPB",  IndexedY,    B,     Compare,                5, 3},
        {0x18, 0xE2, "SBCB",  IndexedY,    B,     SubtractWithCarry,      5, 3},
        {0x18, 0xE3, "ADDD",  IndexedY,    D,     Add,                    7, 3},
        {0x18, 0xE4, "ANDB",  IndexedY,    B,     And,                    5, 3},
        {0x18, 0xE5, "BITB",  IndexedY,    B,     BitTest,                5, 3},
        {0x18, 0xE6, "LDAB",  IndexedY,    B,     Load,                   5, 3},
        {0x18, 0xE7, "STAB",  IndexedY,    B,     StoreThroughFilter,     5, 3},
        {0x18, 0xE8, "EORB",  IndexedY,    B,     ExclusiveOr,            5, 3},
        {0x18, 0xE9, "ADCB",  IndexedY,    B,     AddWithCarry,           5, 3},
        {0x18, 0xEA, "ORAB",  IndexedY,    B,     Or,                     5, 3},
        {0x18, 0xEB, "ADDB",  IndexedY,    B,     Add,                    5, 3},
        {0x18, 0xEC, "LDD",   IndexedY,    D,     Load,                   6, 3},
        {0x18, 0xED, "STD",   IndexedY,    D,     Store,                  5, 3},  // deliberate: the chip takes 6
        {0x18, 0xEE, "LDY",   IndexedY,    IY,    Load,                   6, 3},
        {0x18, 0xEF, "STY",   IndexedY,    IY,    Store,                  6, 3},
        {0x18, 0xFE, "LDY",   Extended,    IY,    Load,                   6, 4},
        {0x18, 0xFF, "STY",   Extended,    IY,    Store,                  6, 4},
        // page $1A
        {0x1A, 0x83, "CPD",   Immediate16, D,     Compare,                5, 4},
        {0x1A, 0x93, "CPD",   Direct,      D,     Compare,                6, 3},
        {0x1A, 0xA3, "CPD",   IndexedX,    D,     Compare,                7, 3},
        {0x1A, 0xAC, "CPY",   IndexedX,    IY,    Compare,                7, 3},
        {0x1A, 0xB3, "CPD",   Extended,    D,     Compare,                7, 4},
        {0x1A, 0xEE, "LDY",   IndexedX,    IY,    Load,                   6, 3},
        {0x1A, 0xEF, "STY",   IndexedX,    IY,    Store,                  6, 3},
        // page $CD
        {0xCD, 0xA3, "CPD",   IndexedY,    D,     Compare,                7, 3},
        {0xCD, 0xAC, "CPX",   IndexedY,    IX,    Compare,                7, 3},
        {0xCD, 0xEE, "LDX",   IndexedY,    IX,    Load,                   6, 3},
        {0xCD, 0xEF, "STX",   IndexedY,    IX,    Store,                  6, 3},
    }};
}();
// clang-format on

// Decoding index of a page: 0, 1, 2, 3 for page 0, $18, $1A, $CD; -1 for a
// byte that is no page.
constexpr int PageIndex(uint8_t page) {
    switch (page) {
        case 0x00: return 0;
        case 0x18: return 1;
        case 0x1A: return 2;
        case 0xCD: return 3;
        default: return -1;
    }
}

// Row number of each (page, code), -1 where nothing is recognised.
using TOpcodeIndex = std::array<std::array<int16_t, 256>, 4>;

constexpr TOpcodeIndex BuildOpcodeIndex() {
    TOpcodeIndex index{};
    for (auto& page : index) page.fill(-1);
    for (int i = 0; i < OpcodeCount; ++i) {
        const TOpcodeRow& row = OpcodeTable[i];
        index[PageIndex(row.Page)][row.Code] = static_cast<int16_t>(i);
    }
    return index;
}

inline constexpr TOpcodeIndex OpcodeIndex = BuildOpcodeIndex();

constexpr bool RowsInPageAndByteOrder() {
    for (int i = 0; i < OpcodeCount; ++i) {
        const TOpcodeRow& row = OpcodeTable[i];
        if (PageIndex(row.Page) < 0 || row.Cycles == 0 || row.Length == 0) return false;
        if (i == 0) continue;
        const TOpcodeRow& before = OpcodeTable[i - 1];
        const int key = PageIndex(row.Page) * 256 + row.Code;
        const int keyBefore = PageIndex(before.Page) * 256 + before.Code;
        if (key <= keyBefore) return false;  // out of order, or a repeated (page, code)
    }
    return true;
}

constexpr bool PrefixesAreNoOpcodes() {
    return OpcodeIndex[0][0x18] < 0 && OpcodeIndex[0][0x1A] < 0 && OpcodeIndex[0][0xCD] < 0;
}

static_assert(OpcodeTable.size() == 307);
static_assert(RowsInPageAndByteOrder(), "rows must be in page and byte order, each (page, code) once");
static_assert(PrefixesAreNoOpcodes());

// The row of (page, code), or nullptr when that code is not recognised.
constexpr const TOpcodeRow* FindOpcode(uint8_t page, uint8_t code) {
    const int p = PageIndex(page);
    if (p < 0) return nullptr;
    const int row = OpcodeIndex[p][code];
    return row < 0 ? nullptr : &OpcodeTable[row];
}
