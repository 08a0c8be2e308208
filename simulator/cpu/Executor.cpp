// ExecuteInstruction: decode through the opcode table, fetch the operand
// address by mode once, run the operation kind, then the common ending.
// Operations never know the addressing mode: they get the operand address
// (the immediate bytes' own address for immediate and relative forms).
#include "simulator/Hc11.h"

namespace {

// ---------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------

// Opcodes are recognised on exact upper-case text only: "b6" is no LDAA.
constexpr std::array<int8_t, 256> MakeUpperHexNibble() {
    std::array<int8_t, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i) table['A' + i] = static_cast<int8_t>(10 + i);
    return table;
}
constexpr std::array<int8_t, 256> UpperHexNibble = MakeUpperHexNibble();

// The byte an opcode cell names, or -1 when it is not two upper-case digits.
inline int OpcodeByte(const TMemoryCell& cell) {
    if (cell.Length != 2) return -1;
    const int high = UpperHexNibble[static_cast<unsigned char>(cell.Text[0])];
    const int low = UpperHexNibble[static_cast<unsigned char>(cell.Text[1])];
    return (high | low) < 0 ? -1 : high << 4 | low;
}

inline const TOpcodeRow* Decode(const TMemoryCell& opcode, uint16_t pc) {
    const int first = OpcodeByte(opcode);
    if (first < 0) return nullptr;
    int page = 0;
    int code = first;
    if (first == 0x18 || first == 0x1A || first == 0xCD) {
        page = PageIndex(static_cast<uint8_t>(first));
        // A short cell after the prefix matches no code: the prefix is illegal.
        code = OpcodeByte(CellText(MemoryImage[static_cast<uint16_t>(pc + 1)]));
        if (code < 0) return nullptr;
    }
    const int row = OpcodeIndex[page][code];
    return row < 0 ? nullptr : &OpcodeTable[row];
}

// ---------------------------------------------------------------------------
// Memory and registers
// ---------------------------------------------------------------------------

inline uint8_t Read8(uint16_t address) { return ReadByte(address); }

inline bool IsWide(TRegister r) {
    return r == TRegister::D || r == TRegister::IX || r == TRegister::IY || r == TRegister::SP;
}

inline uint8_t& Accumulator(TRegister r) { return r == TRegister::B ? CpuRegs.B : CpuRegs.A; }
inline void SetAccumulator(TRegister r, uint8_t value) {
    Accumulator(r) = value;
    SyncDFromAB();
}
inline uint16_t& IndexRegister(TRegister r) { return r == TRegister::IY ? CpuRegs.IY : CpuRegs.IX; }

inline uint16_t WideRegister(TRegister r) {
    switch (r) {
        case TRegister::D: return CpuRegs.D;
        case TRegister::IY: return CpuRegs.IY;
        case TRegister::SP: return CpuRegs.SP;
        default: return CpuRegs.IX;
    }
}
inline void SetWideRegister(TRegister r, uint16_t value) {
    switch (r) {
        case TRegister::D:
            CpuRegs.D = value;
            SyncABFromD();
            break;
        case TRegister::IY: CpuRegs.IY = value; break;
        case TRegister::SP: CpuRegs.SP = value; break;
        default: CpuRegs.IX = value; break;
    }
}

inline uint8_t& Flag(TRegister r) {
    switch (r) {
        case TRegister::FlagV: return CcrFlags.FlagV;
        case TRegister::FlagI: return CcrFlags.FlagI;
        default: return CcrFlags.FlagC;
    }
}

// Byte of a read-modify-write: an accumulator, or the memory byte (None).
inline uint8_t ReadTarget(TRegister r, uint16_t address) {
    return r == TRegister::None ? Read8(address) : Accumulator(r);
}
// Memory results are stored directly, never through the write filter.
inline void WriteTarget(TRegister r, uint16_t address, uint8_t value) {
    if (r == TRegister::None)
        StoreByte(address, value);
    else
        SetAccumulator(r, value);
}

inline void SetNZ8(uint8_t v) {
    CcrFlags.FlagN = Negative8(v);
    CcrFlags.FlagZ = NotBit(v);
}
inline void SetNZV8(uint8_t v) {
    SetNZ8(v);
    CcrFlags.FlagV = 0;
}
inline void SetNZV16(uint16_t v) {
    CcrFlags.FlagN = Negative16(v);
    CcrFlags.FlagZ = NotBit(v);
    CcrFlags.FlagV = 0;
}

inline void SetPc(uint16_t pc) {
    CpuRegs.PC = pc;
    InstrLength = 0;
}
inline void AdvancePc(int by) { CpuRegs.PC = static_cast<uint16_t>(CpuRegs.PC + by); }

// ---------------------------------------------------------------------------
// Algorithms: arithmetic with its flags
// ---------------------------------------------------------------------------

uint8_t Add8(uint8_t old, uint8_t m, uint8_t carryIn) {
    // The carry-in joins M before its low nibble is taken ($0F + 1 counts as 0).
    CcrFlags.FlagH = HalfCarry(old, m + carryIn);
    const int sum = old + m + carryIn;
    const uint8_t r = static_cast<uint8_t>(sum);
    CcrFlags.FlagV = DestinationSignChanged8(old, r);
    SetNZ8(r);
    CcrFlags.FlagC = CarryOut8(sum);
    return r;
}

uint8_t Subtract8(uint8_t old, uint8_t m, uint8_t borrowIn) {
    CcrFlags.FlagC = m + borrowIn > old;
    const uint8_t r = static_cast<uint8_t>(old - m - borrowIn);
    CcrFlags.FlagV = DestinationSignChanged8(old, r);
    SetNZ8(r);
    return r;
}

uint16_t Add16(uint16_t old, uint16_t m) {
    const int sum = old + m;
    const uint16_t r = static_cast<uint16_t>(sum);
    CcrFlags.FlagV = DestinationSignChanged16(old, r);
    CcrFlags.FlagZ = NotBit(r);
    CcrFlags.FlagN = Negative16(r);
    CcrFlags.FlagC = CarryOut16(sum);
    return r;
}

uint16_t Subtract16(uint16_t old, uint16_t m) {
    CcrFlags.FlagC = old < m;
    const uint16_t r = static_cast<uint16_t>(old - m);
    CcrFlags.FlagV = DestinationSignChanged16(old, r);
    CcrFlags.FlagZ = NotBit(r);
    CcrFlags.FlagN = Negative16(r);
    return r;
}

// N is the register's sign and V compares the two signs, not the
// difference: the simulator's compare, kept on purpose.
void Compare8(uint8_t a, uint8_t m) {
    CcrFlags.FlagC = a < m;
    CcrFlags.FlagV = SignsDiffer8(a, m);
    CcrFlags.FlagZ = NotBit(static_cast<uint8_t>(a - m));
    CcrFlags.FlagN = Negative8(a);
}

// Here V compares the difference with the register; N is the register's sign.
void Compare16(uint16_t r, uint16_t m) {
    CcrFlags.FlagC = r < m;
    const uint16_t difference = static_cast<uint16_t>(r - m);
    CcrFlags.FlagV = SignsDiffer16(r, difference);
    CcrFlags.FlagZ = NotBit(difference);
    CcrFlags.FlagN = Negative16(r);
}

bool BranchCondition(uint8_t code) {
    const TCcrFlags& f = CcrFlags;
    switch (code) {
        case 0x20: return true;                                // BRA
        case 0x21: return false;                               // BRN
        case 0x22: return f.FlagC == 0 && f.FlagZ == 0;        // BHI
        case 0x23: return f.FlagC == 1 || f.FlagZ == 1;        // BLS
        case 0x24: return f.FlagC == 0;                        // BCC
        case 0x25: return f.FlagC == 1;                        // BCS
        case 0x26: return f.FlagZ == 0;                        // BNE
        case 0x27: return f.FlagZ == 1;                        // BEQ
        case 0x28: return f.FlagV == 0;                        // BVC
        case 0x29: return f.FlagV == 1;                        // BVS
        case 0x2A: return f.FlagN == 0;                        // BPL
        case 0x2B: return f.FlagN == 1;                        // BMI
        case 0x2C: return f.FlagN == f.FlagV;                  // BGE
        case 0x2D: return f.FlagN != f.FlagV;                  // BLT
        case 0x2E: return f.FlagN == f.FlagV && f.FlagZ == 0;  // BGT
        default: return f.FlagN != f.FlagV || f.FlagZ == 1;    // BLE
    }
}

// ---------------------------------------------------------------------------
// Operation kinds
// ---------------------------------------------------------------------------

struct TInstruction {
    const TOpcodeRow& Row;
    uint16_t Operand;  // address of the first operand byte
    uint16_t Address;  // effective address; Operand for immediate and relative forms

    TRegister Register() const { return Row.Register; }
    uint8_t M() const { return Read8(Address); }
    uint16_t M16() const { return ReadWord(Address); }
    int8_t Displacement(int at) const { return static_cast<int8_t>(Read8(static_cast<uint16_t>(Operand + at))); }
    uint8_t Mask() const { return Read8(static_cast<uint16_t>(Operand + 1)); }
};

// Data movement

void Load(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r)) {
        const uint16_t value = in.M16();
        SetWideRegister(r, value);
        SetNZV16(value);
        if (r == TRegister::SP) StackTop = value;
    } else {
        const uint8_t value = in.M();
        SetAccumulator(r, value);
        SetNZV8(value);
    }
}

void Store(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r)) {
        const uint16_t value = WideRegister(r);
        StoreWord(in.Address, value);
        SetNZV16(value);
    } else {
        const uint8_t value = Accumulator(r);
        StoreByte(in.Address, value);
        SetNZV8(value);
    }
}

void StoreThroughFilter(const TInstruction& in) {
    const uint8_t value = Accumulator(in.Register());
    EffectiveAddress = in.Address;
    WriteRegisterBlock(value);
    SetNZV8(value);  // from the register, whatever the filter kept
}

void Clear(const TInstruction& in) {
    WriteTarget(in.Register(), in.Address, 0);
    CcrFlags.FlagN = 0;
    CcrFlags.FlagZ = 1;
    CcrFlags.FlagV = 0;
    CcrFlags.FlagC = 0;
}

void TransferAccumulator(const TInstruction& in) {
    const TRegister to = in.Register();
    const uint8_t value = Accumulator(to == TRegister::A ? TRegister::B : TRegister::A);
    SetAccumulator(to, value);
    SetNZV8(value);
}

// As the chip does: the index register points at the last byte pushed.
void TransferStackToIndex(const TInstruction& in) {
    IndexRegister(in.Register()) = static_cast<uint16_t>(CpuRegs.SP + 1);
}
void TransferIndexToStack(const TInstruction& in) {
    CpuRegs.SP = static_cast<uint16_t>(IndexRegister(in.Register()) - 1);
}

void ExchangeWithD(const TInstruction& in) {
    uint16_t& index = IndexRegister(in.Register());
    const uint16_t d = CpuRegs.D;
    CpuRegs.D = index;
    index = d;
    SyncABFromD();
}

void Push(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r))
        PushWord(IndexRegister(r));
    else
        PushByte(Accumulator(r));
}

void Pull(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r))
        IndexRegister(r) = PullWord();
    else
        SetAccumulator(r, PullByte());
}

// Control flow

void Branch(const TInstruction& in) {
    // Length 2 is added by the ending, taken or not.
    if (BranchCondition(in.Row.Code)) AdvancePc(in.Displacement(0));
}

void BranchToSubroutine(const TInstruction& in) {
    const int displacement = in.Displacement(0);
    AdvancePc(in.Row.Length);
    PushWord(CpuRegs.PC);
    AdvancePc(displacement);
    InstrLength = 0;
}

void Jump(const TInstruction& in) { SetPc(in.Address); }

void JumpToSubroutine(const TInstruction& in) {
    // The target was formed before the push, so a stack that overlaps the
    // operand bytes cannot change it.
    AdvancePc(in.Row.Length);
    PushWord(CpuRegs.PC);
    SetPc(in.Address);
}

void ReturnFromSubroutine(const TInstruction&) { SetPc(PullWord()); }

void ReturnFromInterrupt(const TInstruction&) {
    UnstackAllRegisters();
    InstrLength = 0;
}

void SoftwareInterrupt(const TInstruction&) {
    AdvancePc(1);
    StackAllRegisters();
    SetPc(PseudoVectors::Swi);
}

void WaitForInterrupt(const TInstruction&) {
    AdvancePc(1);
    WaitState = 1;
    StackAllRegisters();
    // Kept as the simulator has it: the wait runs unmasked, and the entry
    // that ends it leaves I alone.
    CcrFlags.FlagI = 0;
    InstrLength = 0;
}

void Stop(const TInstruction&) {
    if (CcrFlags.FlagS == 1) return;  // STOP disabled: runs on like NOP
    StopState = 1;
    InstrLength = 0;  // an interrupt stacks the STOP's own address
}

// Arithmetic

void Add(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r))
        SetWideRegister(r, Add16(WideRegister(r), in.M16()));
    else
        SetAccumulator(r, Add8(Accumulator(r), in.M(), 0));
}

void AddWithCarry(const TInstruction& in) {
    const TRegister r = in.Register();
    SetAccumulator(r, Add8(Accumulator(r), in.M(), CcrFlags.FlagC));
}

void AddAccumulators(const TInstruction&) { SetAccumulator(TRegister::A, Add8(CpuRegs.A, CpuRegs.B, 0)); }

void Subtract(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r))
        SetWideRegister(r, Subtract16(WideRegister(r), in.M16()));
    else
        SetAccumulator(r, Subtract8(Accumulator(r), in.M(), 0));
}

void SubtractWithCarry(const TInstruction& in) {
    const TRegister r = in.Register();
    SetAccumulator(r, Subtract8(Accumulator(r), in.M(), CcrFlags.FlagC));
}

void SubtractAccumulators(const TInstruction&) { SetAccumulator(TRegister::A, Subtract8(CpuRegs.A, CpuRegs.B, 0)); }

void AddBToIndex(const TInstruction& in) {
    uint16_t& index = IndexRegister(in.Register());
    index = static_cast<uint16_t>(index + CpuRegs.B);
}

void IncrementOrDecrement(const TInstruction& in, int by) {
    const uint8_t old = ReadTarget(in.Register(), in.Address);
    const uint8_t r = static_cast<uint8_t>(old + by);
    WriteTarget(in.Register(), in.Address, r);
    CcrFlags.FlagV = DestinationSignChanged8(old, r);
    SetNZ8(r);
}
void Increment(const TInstruction& in) { IncrementOrDecrement(in, 1); }
void Decrement(const TInstruction& in) { IncrementOrDecrement(in, -1); }

// INS and DES touch no flag; INX, DEX, INY, DEY set Z.
void StepRegister(const TInstruction& in, int by) {
    const TRegister r = in.Register();
    const uint16_t value = static_cast<uint16_t>(WideRegister(r) + by);
    SetWideRegister(r, value);
    if (r != TRegister::SP) CcrFlags.FlagZ = NotBit(value);
}
void IncrementRegister(const TInstruction& in) { StepRegister(in, 1); }
void DecrementRegister(const TInstruction& in) { StepRegister(in, -1); }

void Negate(const TInstruction& in) {
    const uint8_t r = static_cast<uint8_t>(-ReadTarget(in.Register(), in.Address));
    WriteTarget(in.Register(), in.Address, r);
    CcrFlags.FlagV = r == 0x80;
    CcrFlags.FlagC = r != 0;
    SetNZ8(r);
}

void Complement(const TInstruction& in) {
    const uint8_t r = static_cast<uint8_t>(~ReadTarget(in.Register(), in.Address));
    WriteTarget(in.Register(), in.Address, r);
    CcrFlags.FlagV = 0;
    CcrFlags.FlagC = 1;
    SetNZ8(r);
}

// On the digits of A alone: the incoming H and C are not consulted.
void DecimalAdjust(const TInstruction&) {
    const uint8_t old = CpuRegs.A;
    int low = old & 0x0F;
    int high = old >> 4;
    uint8_t tensCorrected = 0;
    if (low > 9) {
        low = (low + 6) & 0x0F;
        ++high;
    }
    if (high > 9) {
        high = (high + 6) & 0x0F;
        tensCorrected = 1;
    }
    const uint8_t r = static_cast<uint8_t>(high << 4 | low);
    SetAccumulator(TRegister::A, r);
    CcrFlags.FlagV = DestinationSignChanged8(old, r);
    SetNZ8(r);
    CcrFlags.FlagC = tensCorrected;
}

void Multiply(const TInstruction&) {
    CpuRegs.D = static_cast<uint16_t>(CpuRegs.A * CpuRegs.B);
    SyncABFromD();
    CcrFlags.FlagC = CpuRegs.B >> 7;
}

void IntegerDivide(const TInstruction&) {
    CcrFlags.FlagV = 0;
    if (CpuRegs.IX == 0) {
        CpuRegs.IX = 0xFFFF;  // D is kept
        CcrFlags.FlagC = 1;
    } else {
        const uint16_t n = CpuRegs.D;
        const uint16_t d = CpuRegs.IX;
        CpuRegs.IX = static_cast<uint16_t>(n / d);
        CpuRegs.D = static_cast<uint16_t>(n % d);
        SyncABFromD();
        CcrFlags.FlagC = 0;
    }
    CcrFlags.FlagZ = NotBit(CpuRegs.IX);
}

void FractionalDivide(const TInstruction&) {
    const uint32_t n = CpuRegs.D;
    const uint32_t d = CpuRegs.IX;
    CcrFlags.FlagV = d <= n;
    CcrFlags.FlagC = d == 0;
    if (d == 0 || d <= n) {
        CpuRegs.IX = 0xFFFF;  // D is kept
    } else {
        CpuRegs.IX = static_cast<uint16_t>((n << 16) / d);
        CpuRegs.D = static_cast<uint16_t>((n << 16) % d);
        SyncABFromD();
    }
    CcrFlags.FlagZ = NotBit(CpuRegs.IX);
}

// Logic, test, compare, condition codes

template <typename Combine>
void Logic(const TInstruction& in, Combine combine) {
    const TRegister r = in.Register();
    const uint8_t value = static_cast<uint8_t>(combine(Accumulator(r), in.M()));
    SetAccumulator(r, value);
    SetNZV8(value);
}
void And(const TInstruction& in) {
    Logic(in, [](int a, int m) { return a & m; });
}
void Or(const TInstruction& in) {
    Logic(in, [](int a, int m) { return a | m; });
}
void ExclusiveOr(const TInstruction& in) {
    Logic(in, [](int a, int m) { return a ^ m; });
}

void BitTest(const TInstruction& in) { SetNZV8(static_cast<uint8_t>(Accumulator(in.Register()) & in.M())); }

void Test(const TInstruction& in) {
    SetNZV8(ReadTarget(in.Register(), in.Address));
    CcrFlags.FlagC = 0;
}

void Compare(const TInstruction& in) {
    const TRegister r = in.Register();
    if (IsWide(r))
        Compare16(WideRegister(r), in.M16());
    else
        Compare8(Accumulator(r), in.M());
}

// CBA states its V on the difference, unlike CMPA.
void CompareAccumulators(const TInstruction&) {
    const uint8_t a = CpuRegs.A;
    const uint8_t difference = static_cast<uint8_t>(a - CpuRegs.B);
    CcrFlags.FlagC = a < CpuRegs.B;
    CcrFlags.FlagZ = NotBit(difference);
    CcrFlags.FlagN = Negative8(a);
    CcrFlags.FlagV = SignsDiffer8(difference, a);
}

void TransferAToCcr(const TInstruction&) {
    // X can be cleared but never set from A.
    const uint8_t oldX = CcrFlags.FlagX;
    UnpackCcr(CpuRegs.A);
    if (oldX == 0) CcrFlags.FlagX = 0;
}

void TransferCcrToA(const TInstruction&) {
    PackCcr();
    SetAccumulator(TRegister::A, CpuRegs.CCR);
}

void ClearFlag(const TInstruction& in) { Flag(in.Register()) = 0; }
void SetFlag(const TInstruction& in) { Flag(in.Register()) = 1; }

// Shifts, rotates, bits
//
// Deliberate: V follows the "sign of the destination changed" rule
// (SignsDiffer8/16) instead of the chip's N xor C, and ASR keeps V. The
// simulator has always set V so; do not "fix" it.

void ShiftLeft(const TInstruction& in) {
    const TRegister r = in.Register();
    if (r == TRegister::D) {
        const uint16_t old = CpuRegs.D;
        const uint16_t value = static_cast<uint16_t>(old << 1);
        SetWideRegister(r, value);
        CcrFlags.FlagC = old >> 15;
        CcrFlags.FlagN = Negative16(value);
        CcrFlags.FlagZ = NotBit(value);
        CcrFlags.FlagV = SignsDiffer16(old, value);  // deliberate, see above
        return;
    }
    const uint8_t old = ReadTarget(r, in.Address);
    const uint8_t value = static_cast<uint8_t>(old << 1);
    WriteTarget(r, in.Address, value);
    CcrFlags.FlagC = old >> 7;
    SetNZ8(value);
    CcrFlags.FlagV = SignsDiffer8(old, value);  // deliberate, see above
}

// As the chip does: bit 7 is copied into bit 6 ($81 gives $C0). V is kept
// (deliberate, see above).
void ArithmeticShiftRight(const TInstruction& in) {
    const uint8_t old = ReadTarget(in.Register(), in.Address);
    const uint8_t value = static_cast<uint8_t>(old >> 1 | (old & 0x80));
    WriteTarget(in.Register(), in.Address, value);
    CcrFlags.FlagC = old & 1;
    SetNZ8(value);
}

void LogicalShiftRight(const TInstruction& in) {
    const TRegister r = in.Register();
    if (r == TRegister::D) {
        const uint16_t old = CpuRegs.D;
        const uint16_t value = static_cast<uint16_t>(old >> 1);
        SetWideRegister(r, value);
        CcrFlags.FlagC = old & 1;
        CcrFlags.FlagZ = NotBit(value);
        CcrFlags.FlagN = 0;
        CcrFlags.FlagV = CcrFlags.FlagC;  // as the chip: N is 0, so N xor C
        return;
    }
    const uint8_t old = ReadTarget(r, in.Address);
    const uint8_t value = static_cast<uint8_t>(old >> 1);
    WriteTarget(r, in.Address, value);
    CcrFlags.FlagC = old & 1;
    SetNZ8(value);
    CcrFlags.FlagV = SignsDiffer8(old, value);  // deliberate: bit 7 of old
}

void RotateLeft(const TInstruction& in) {
    const uint8_t old = ReadTarget(in.Register(), in.Address);
    const uint8_t value = static_cast<uint8_t>(old << 1 | CcrFlags.FlagC);
    WriteTarget(in.Register(), in.Address, value);
    CcrFlags.FlagC = old >> 7;
    SetNZ8(value);
    CcrFlags.FlagV = SignsDiffer8(old, value);  // deliberate, see above
}

void RotateRight(const TInstruction& in) {
    const uint8_t old = ReadTarget(in.Register(), in.Address);
    const uint8_t value = static_cast<uint8_t>(old >> 1 | CcrFlags.FlagC << 7);
    WriteTarget(in.Register(), in.Address, value);
    CcrFlags.FlagC = old & 1;
    SetNZ8(value);
    CcrFlags.FlagV = SignsDiffer8(old, value);  // deliberate, see above
}

void BitSet(const TInstruction& in) {
    const uint8_t value = static_cast<uint8_t>(in.M() | in.Mask());
    StoreByte(in.Address, value);
    SetNZV8(value);
}

void BitSetThroughFilter(const TInstruction& in) {
    const uint8_t value = static_cast<uint8_t>(in.M() | in.Mask());
    EffectiveAddress = in.Address;
    WriteRegisterBlock(value);
    SetNZV8(value);  // from the byte handed over, whatever the filter kept
}

void BitClear(const TInstruction& in) {
    const uint8_t value = static_cast<uint8_t>(in.M() & ~in.Mask());
    StoreByte(in.Address, value);
    SetNZV8(value);
}

void BranchOnBits(const TInstruction& in, bool taken) {
    // Operands count from the instruction's first byte; read before PC moves.
    const int displacement = in.Displacement(2);
    AdvancePc(in.Row.Length);
    if (taken) AdvancePc(displacement);
    InstrLength = 0;
}
// As the chip does: every mask bit must be set (a zero mask always branches).
void BranchIfBitsSet(const TInstruction& in) { BranchOnBits(in, (~in.M() & in.Mask()) == 0); }
void BranchIfBitsClear(const TInstruction& in) { BranchOnBits(in, (in.M() & in.Mask()) == 0); }

void NoOperation(const TInstruction&) {}

// ---------------------------------------------------------------------------
// Operand fetch and dispatch
// ---------------------------------------------------------------------------

inline TInstruction FetchOperand(const TOpcodeRow& row, uint16_t pc) {
    const uint16_t operand = static_cast<uint16_t>(pc + (row.Page == 0 ? 1 : 2));
    uint16_t address = operand;
    switch (row.Mode) {
        case TAddressMode::Direct: address = Read8(operand); break;
        case TAddressMode::Extended:
            address = ReadWord(operand);
            EffectiveAddress = address;
            break;
        case TAddressMode::IndexedX: address = static_cast<uint16_t>(CpuRegs.IX + Read8(operand)); break;
        case TAddressMode::IndexedY: address = static_cast<uint16_t>(CpuRegs.IY + Read8(operand)); break;
        default: break;  // inherent, immediate and relative: the bytes themselves
    }
    return {row, operand, address};
}

void Execute(const TInstruction& in) {
    switch (in.Row.Kind) {
        case TOperationKind::Load: Load(in); break;
        case TOperationKind::Store: Store(in); break;
        case TOperationKind::StoreThroughFilter: StoreThroughFilter(in); break;
        case TOperationKind::Clear: Clear(in); break;
        case TOperationKind::TransferAccumulator: TransferAccumulator(in); break;
        case TOperationKind::TransferStackToIndex: TransferStackToIndex(in); break;
        case TOperationKind::TransferIndexToStack: TransferIndexToStack(in); break;
        case TOperationKind::ExchangeWithD: ExchangeWithD(in); break;
        case TOperationKind::Push: Push(in); break;
        case TOperationKind::Pull: Pull(in); break;
        case TOperationKind::NoOperation: NoOperation(in); break;
        case TOperationKind::Branch: Branch(in); break;
        case TOperationKind::BranchToSubroutine: BranchToSubroutine(in); break;
        case TOperationKind::Jump: Jump(in); break;
        case TOperationKind::JumpToSubroutine: JumpToSubroutine(in); break;
        case TOperationKind::ReturnFromSubroutine: ReturnFromSubroutine(in); break;
        case TOperationKind::ReturnFromInterrupt: ReturnFromInterrupt(in); break;
        case TOperationKind::SoftwareInterrupt: SoftwareInterrupt(in); break;
        case TOperationKind::WaitForInterrupt: WaitForInterrupt(in); break;
        case TOperationKind::Stop: Stop(in); break;
        case TOperationKind::Add: Add(in); break;
        case TOperationKind::AddWithCarry: AddWithCarry(in); break;
        case TOperationKind::AddAccumulators: AddAccumulators(in); break;
        case TOperationKind::Subtract: Subtract(in); break;
        case TOperationKind::SubtractWithCarry: SubtractWithCarry(in); break;
        case TOperationKind::SubtractAccumulators: SubtractAccumulators(in); break;
        case TOperationKind::AddBToIndex: AddBToIndex(in); break;
        case TOperationKind::Increment: Increment(in); break;
        case TOperationKind::Decrement: Decrement(in); break;
        case TOperationKind::IncrementRegister: IncrementRegister(in); break;
        case TOperationKind::DecrementRegister: DecrementRegister(in); break;
        case TOperationKind::Negate: Negate(in); break;
        case TOperationKind::Complement: Complement(in); break;
        case TOperationKind::DecimalAdjust: DecimalAdjust(in); break;
        case TOperationKind::Multiply: Multiply(in); break;
        case TOperationKind::IntegerDivide: IntegerDivide(in); break;
        case TOperationKind::FractionalDivide: FractionalDivide(in); break;
        case TOperationKind::And: And(in); break;
        case TOperationKind::Or: Or(in); break;
        case TOperationKind::ExclusiveOr: ExclusiveOr(in); break;
        case TOperationKind::BitTest: BitTest(in); break;
        case TOperationKind::Test: Test(in); break;
        case TOperationKind::Compare: Compare(in); break;
        case TOperationKind::CompareAccumulators: CompareAccumulators(in); break;
        case TOperationKind::TransferAToCcr: TransferAToCcr(in); break;
        case TOperationKind::TransferCcrToA: TransferCcrToA(in); break;
        case TOperationKind::ClearFlag: ClearFlag(in); break;
        case TOperationKind::SetFlag: SetFlag(in); break;
        case TOperationKind::ShiftLeft: ShiftLeft(in); break;
        case TOperationKind::ArithmeticShiftRight: ArithmeticShiftRight(in); break;
        case TOperationKind::LogicalShiftRight: LogicalShiftRight(in); break;
        case TOperationKind::RotateLeft: RotateLeft(in); break;
        case TOperationKind::RotateRight: RotateRight(in); break;
        case TOperationKind::BitSet: BitSet(in); break;
        case TOperationKind::BitSetThroughFilter: BitSetThroughFilter(in); break;
        case TOperationKind::BitClear: BitClear(in); break;
        case TOperationKind::BranchIfBitsSet: BranchIfBitsSet(in); break;
        case TOperationKind::BranchIfBitsClear: BranchIfBitsClear(in); break;
    }
}

}  // namespace

void ExecuteInstruction(const TMemoryCell& opcode, uint16_t pc) {
    InstrLength = 0;
    // Decoded once, before anything runs: a store into the instruction's own
    // bytes cannot change which operation runs.
    const TOpcodeRow* row = Decode(opcode, pc);
    if (row == nullptr) {
        // Nothing else changes; PC stays on the opcode and InstrCycles at 0.
        IllegalOpcode = 1;
    } else {
        InstrCycles = row->Cycles;
        InstrLength = row->Length;
        Execute(FetchOperand(*row, pc));
    }
    PackCcr();
    AdvancePc(InstrLength);
}
