// The simulated 68HC11: memory image, registers, run state, peripheral
// bookkeeping and every operation on them. Tests, benchmarks and the
// simulator's windows all go through this header; it needs no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/NumberText.h"
#include "simulator/cpu/FlagRules.h"
#include "simulator/cpu/OpcodeTable.h"

// ---------------------------------------------------------------------------
// cpu/State.cpp: memory image, cell codec, registers, flags, run state
// ---------------------------------------------------------------------------

// One byte of the address space, kept as the text the windows show and the
// loader stores verbatim: normally two upper-case hex digits, but a cell may
// hold 0..2 arbitrary characters (a window edit, a lower-case S19 file).
struct TMemoryCell {
    char Text[2] = {'0', '0'};
    uint8_t Length = 2;

    std::string_view View() const { return {Text, Length}; }
    std::string Str() const { return std::string(Text, Length); }
    // Keeps at most the first two characters.
    void Assign(std::string_view text);
    bool operator==(const TMemoryCell&) const = default;
};

using TMemoryImage = std::array<TMemoryCell, 65536>;

struct TCpuRegisters {
    uint8_t A = 0;
    uint8_t B = 0;
    uint16_t D = 0;  // always A*256 + B between instructions
    uint16_t IX = 0;
    uint16_t IY = 0;
    uint16_t SP = 0;  // next free byte: a push stores, then decrements
    uint16_t PC = 0;
    uint8_t CCR = 0;  // packed image of CcrFlags
    bool operator==(const TCpuRegisters&) const = default;
};

// Each flag is a byte of exactly 0 or 1; these, not CCR, are the working truth.
struct TCcrFlags {
    uint8_t FlagS = 0;  // stop disable
    uint8_t FlagX = 0;  // XIRQ mask
    uint8_t FlagH = 0;  // half carry
    uint8_t FlagI = 0;  // IRQ mask
    uint8_t FlagN = 0;  // negative
    uint8_t FlagZ = 0;  // zero
    uint8_t FlagV = 0;  // overflow
    uint8_t FlagC = 0;  // carry
    bool operator==(const TCcrFlags&) const = default;
};

struct TRunState {
    uint8_t WaitState = 0;          // 1 after WAI
    uint8_t StopState = 0;          // 1 after STOP with FlagS = 0
    uint8_t IrqPending = 0;         // IRQ button pressed, served by the step
    uint8_t XirqPending = 0;        // NMI button pressed, served once FlagX = 0
    uint8_t IllegalOpcode = 0;      // the executor recognised nothing
    int32_t InstrCycles = 0;        // E cycles of the last instruction (14 after a stacking entry)
    int32_t InstrLength = 0;        // bytes PC advances by; 0 when the instruction set PC
    uint16_t EffectiveAddress = 0;  // operand address; the write filter's rule selector
    int32_t StackTop = 0;           // value last loaded by LDS
    int32_t StackDepth = 0;         // StackTop - SP after every step
    bool operator==(const TRunState&) const = default;
};

struct TPeripheralState {
    int32_t TimerCount = 0;  // TCNT as a number 0..$FFFF
    // TCNT at the end of the last tick. Nothing in the model reads it: the
    // compare window starts from the count cells, which a window edit may
    // move. It is kept, set by every tick and cleared by reset, as a part of
    // the recorded state that the tests compare.
    int32_t PrevTimerCount = 0;
    int32_t RtiCycleAccu = 0;
    int32_t E64CycleAccu = 0;
    uint8_t E64Tick = 0;  // the last tick passed 64 cycles
    int32_t AdCycleAccu = 0;
    uint8_t AdTick = 0;             // the last tick passed 32 cycles
    int32_t AdConversionCount = 0;  // 0..3 within one A/D sequence
    uint8_t PinEdgePA0 = 0;         // one-shot edges set by the I/O ports window
    uint8_t PinEdgePA1 = 0;
    uint8_t PinEdgePA2 = 0;
    uint8_t PinEdgePA7 = 0;
    uint8_t AdInputValue = 0;  // the one analog input, every channel converts it
    bool operator==(const TPeripheralState&) const = default;
};

extern TMemoryImage MemoryImage;
extern TCpuRegisters CpuRegs;
extern TCcrFlags CcrFlags;
extern TRunState RunState;
extern TPeripheralState PeripheralState;

// The run-state and peripheral fields are globals of their own in the
// simulator's design; these names reach the same storage as the records.
inline uint8_t& WaitState = RunState.WaitState;
inline uint8_t& StopState = RunState.StopState;
inline uint8_t& IrqPending = RunState.IrqPending;
inline uint8_t& XirqPending = RunState.XirqPending;
inline uint8_t& IllegalOpcode = RunState.IllegalOpcode;
inline int32_t& InstrCycles = RunState.InstrCycles;
inline int32_t& InstrLength = RunState.InstrLength;
inline uint16_t& EffectiveAddress = RunState.EffectiveAddress;
inline int32_t& StackTop = RunState.StackTop;
inline int32_t& StackDepth = RunState.StackDepth;

inline int32_t& TimerCount = PeripheralState.TimerCount;
inline int32_t& PrevTimerCount = PeripheralState.PrevTimerCount;
inline int32_t& RtiCycleAccu = PeripheralState.RtiCycleAccu;
inline int32_t& E64CycleAccu = PeripheralState.E64CycleAccu;
inline uint8_t& E64Tick = PeripheralState.E64Tick;
inline int32_t& AdCycleAccu = PeripheralState.AdCycleAccu;
inline uint8_t& AdTick = PeripheralState.AdTick;
inline int32_t& AdConversionCount = PeripheralState.AdConversionCount;
inline uint8_t& PinEdgePA0 = PeripheralState.PinEdgePA0;
inline uint8_t& PinEdgePA1 = PeripheralState.PinEdgePA1;
inline uint8_t& PinEdgePA2 = PeripheralState.PinEdgePA2;
inline uint8_t& PinEdgePA7 = PeripheralState.PinEdgePA7;
inline uint8_t& AdInputValue = PeripheralState.AdInputValue;

// Interrupts enter at these fixed RAM addresses; no vector is read from memory.
namespace PseudoVectors {
inline constexpr uint16_t PulseAccumulatorInput = 0x00CA;
inline constexpr uint16_t PulseAccumulatorOverflow = 0x00CD;
inline constexpr uint16_t TimerOverflow = 0x00D0;
inline constexpr uint16_t OutputCompare5 = 0x00D3;
inline constexpr uint16_t OutputCompare4 = 0x00D6;
inline constexpr uint16_t OutputCompare3 = 0x00D9;
inline constexpr uint16_t OutputCompare2 = 0x00DC;
inline constexpr uint16_t OutputCompare1 = 0x00E2;  // $00DF is left unused
inline constexpr uint16_t InputCapturePA0 = 0x00E5;
inline constexpr uint16_t InputCapturePA1 = 0x00E8;
inline constexpr uint16_t InputCapturePA2 = 0x00EB;
inline constexpr uint16_t RealTimeInterrupt = 0x00EE;
inline constexpr uint16_t Irq = 0x00F1;
inline constexpr uint16_t Xirq = 0x00F4;
inline constexpr uint16_t Swi = 0x00F7;
inline constexpr uint16_t IllegalOpcodeTrap = 0x00FA;
}  // namespace PseudoVectors

namespace CellCodec {
inline constexpr char HexDigits[] = "0123456789ABCDEF";
// A character's nibble; every character that is no hex digit counts as 0.
inline constexpr std::array<uint8_t, 256> Nibble = [] {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 6; ++i) table['A' + i] = table['a' + i] = static_cast<uint8_t>(10 + i);
    return table;
}();
}  // namespace CellCodec

// Byte to its two upper-case hex digits.
inline TMemoryCell ByteToHex(uint8_t value) {
    TMemoryCell cell;
    cell.Text[0] = CellCodec::HexDigits[value >> 4];
    cell.Text[1] = CellCodec::HexDigits[value & 0x0F];
    return cell;
}
// Two-character text to a byte. A missing or non-hex character counts as
// nibble 0, so a short, empty or garbled cell never reads past its end.
inline uint8_t HexToByte(const TMemoryCell& cell) {
    const uint8_t high = cell.Length > 0 ? CellCodec::Nibble[static_cast<unsigned char>(cell.Text[0])] : 0;
    const uint8_t low = cell.Length > 1 ? CellCodec::Nibble[static_cast<unsigned char>(cell.Text[1])] : 0;
    return static_cast<uint8_t>(high << 4 | low);
}
uint8_t HexToByte(std::string_view text);
// The first two characters of a cell (fewer if it holds fewer).
TMemoryCell CellText(const TMemoryCell& cell);
// CCR := the packed flags. The only code that knows the CCR bit layout,
// together with UnpackCcr.
void PackCcr();
// Every flag from its CCR bit, then CCR repacked (reset, register window).
void UnpackCcr(uint8_t ccr);

// Memory paths. The executor's plain store and the direct cell write of the
// loader and the windows are kept apart from the filtered store
// (WriteRegisterBlock) on purpose.
inline uint8_t ReadByte(uint16_t address) { return HexToByte(MemoryImage[address]); }
inline void StoreByte(uint16_t address, uint8_t value) { MemoryImage[address] = ByteToHex(value); }
// 16-bit values, high byte first; the second byte of $FFFF is $0000.
inline uint16_t ReadWord(uint16_t address) {
    return static_cast<uint16_t>(ReadByte(address) << 8 | ReadByte(static_cast<uint16_t>(address + 1)));
}
inline void StoreWord(uint16_t address, uint16_t value) {
    StoreByte(address, static_cast<uint8_t>(value >> 8));
    StoreByte(static_cast<uint16_t>(address + 1), static_cast<uint8_t>(value));
}
void WriteCell(uint16_t address, std::string_view text);
// The stack: a push stores at SP, then decrements; a pull increments, then reads.
inline void PushByte(uint8_t value) {
    StoreByte(CpuRegs.SP, value);
    --CpuRegs.SP;
}
inline uint8_t PullByte() {
    ++CpuRegs.SP;
    return ReadByte(CpuRegs.SP);
}
// Low byte first, so the high byte ends on the lower address.
inline void PushWord(uint16_t value) {
    PushByte(static_cast<uint8_t>(value));
    PushByte(static_cast<uint8_t>(value >> 8));
}
inline uint16_t PullWord() {
    const uint8_t high = PullByte();
    return static_cast<uint16_t>(high << 8 | PullByte());
}
// Keeps D = A*256 + B after a writer of A, B or D.
inline void SyncDFromAB() { CpuRegs.D = static_cast<uint16_t>(CpuRegs.A << 8 | CpuRegs.B); }
inline void SyncABFromD() {
    CpuRegs.A = static_cast<uint8_t>(CpuRegs.D >> 8);
    CpuRegs.B = static_cast<uint8_t>(CpuRegs.D);
}

// Start-up state: every cell "00", registers, flags, run and peripheral
// state zero (what the simulator has before its first reset).
void ClearModel();

// ---------------------------------------------------------------------------
// cpu/Interrupts.cpp: register stacking and interrupt entry
// ---------------------------------------------------------------------------

void StackAllRegisters();
void UnstackAllRegisters();
void EnterInterrupt(uint16_t vector);
void EnterNonMaskableInterrupt(uint16_t vector);

// ---------------------------------------------------------------------------
// cpu/Executor.cpp: one instruction
// ---------------------------------------------------------------------------

// Executes the instruction whose opcode text is `opcode` at address `pc`:
// sets InstrCycles and InstrLength, repacks CCR and advances PC. The opcode
// is decoded through OpcodeTable (cpu/OpcodeTable.h) on its exact upper-case
// text; anything else sets IllegalOpcode and changes nothing but CCR's packing.
void ExecuteInstruction(const TMemoryCell& opcode, uint16_t pc);

// ---------------------------------------------------------------------------
// peripherals/: write filter, timer system, pulse accumulator, A/D, step
// ---------------------------------------------------------------------------

// The 64 six-character names of $1000-$103F (space-padded, "REZERV" for a
// reserved address); name k belongs to $1000 + k.
inline constexpr std::string_view RegisterNames =
    "PORTA REZERVPIOC  PORTC PORTB PORTCLREZERVDDRC  "
    "PORTD DDRD  PORTE CFORC OC1M  OC1D  TCNTHITCNTLO"
    "TIC1HITIC1LOTIC2HITIC2LOTIC3HITIC3LOTOC1HITOC1LO"
    "TOC2HITOC2LOTOC3HITOC3LOTOC4HITOC4LOTOC5HITOC5LO"
    "TCTL1 TCTL2 TMSK1 TFLG1 TMSK2 TFLG2 PACTL PACNT "
    "SPCR  SPSR  SPDR  BAUD  SCCR1 SCCR2 SCSR  SCDR  "
    "ADCTL ADR1  ADR2  ADR3  ADR4  REZERVREZERVREZERV"
    "REZERVOPTIONCOPRSTPPROG HPRIO INIT  TEST1 CONFIG";
static_assert(RegisterNames.size() == 64 * 6);

// Name of register cell $1000 + index (0..63), six characters.
inline constexpr std::string_view RegisterName(int index) { return RegisterNames.substr(index * 6, 6); }

// Addresses of the register cells the model gives a meaning to.
namespace RegisterAddress {
inline constexpr uint16_t PORTA = 0x1000;
inline constexpr uint16_t PORTC = 0x1003;
inline constexpr uint16_t PORTB = 0x1004;
inline constexpr uint16_t DDRC = 0x1007;
inline constexpr uint16_t PORTD = 0x1008;
inline constexpr uint16_t DDRD = 0x1009;
inline constexpr uint16_t CFORC = 0x100B;
inline constexpr uint16_t OC1M = 0x100C;
inline constexpr uint16_t OC1D = 0x100D;
inline constexpr uint16_t TCNTHI = 0x100E;
inline constexpr uint16_t TCNTLO = 0x100F;
inline constexpr uint16_t TIC1HI = 0x1010;
inline constexpr uint16_t TIC2HI = 0x1012;
inline constexpr uint16_t TIC3HI = 0x1014;
inline constexpr uint16_t TIC3LO = 0x1015;
inline constexpr uint16_t TOC1HI = 0x1016;
inline constexpr uint16_t TOC2HI = 0x1018;
inline constexpr uint16_t TOC3HI = 0x101A;
inline constexpr uint16_t TOC4HI = 0x101C;
inline constexpr uint16_t TOC5HI = 0x101E;
inline constexpr uint16_t TCTL1 = 0x1020;
inline constexpr uint16_t TCTL2 = 0x1021;
inline constexpr uint16_t TMSK1 = 0x1022;
inline constexpr uint16_t TFLG1 = 0x1023;
inline constexpr uint16_t TMSK2 = 0x1024;
inline constexpr uint16_t TFLG2 = 0x1025;
inline constexpr uint16_t PACTL = 0x1026;
inline constexpr uint16_t PACNT = 0x1027;
inline constexpr uint16_t SPSR = 0x1029;
inline constexpr uint16_t SCSR = 0x102E;
inline constexpr uint16_t ADCTL = 0x1030;
inline constexpr uint16_t ADR1 = 0x1031;
inline constexpr uint16_t OPTION = 0x1039;
inline constexpr uint16_t HPRIO = 0x103C;
inline constexpr uint16_t INIT = 0x103D;
inline constexpr uint16_t CONFIG = 0x103F;
}  // namespace RegisterAddress

// Stores value at EffectiveAddress under the register-block rules.
void WriteRegisterBlock(uint8_t value);
// Advances TCNT, the compares, captures, RTI and the E/64 and A/D ticks by
// InstrCycles, entering the pseudo-vectors of the flags it sets.
void TickTimers();
// Served by the step before the instruction (PAEN, ADPU), each consuming the
// tick that the previous TickTimers produced.
void TickPulseAccumulator();
void TickAdConverter();

// What one step reports to the windows.
struct TStepResult {
    bool Executed = false;             // an instruction ran (not waiting or stopped)
    bool Illegal = false;              // the opcode was not recognised: stop the run and report
    std::string IllegalText;           // the opcode cell's text as executed
    uint16_t IllegalAddress = 0;       // where it stood
    bool PcMovedBeforeReport = false;  // an entry moved PC before the report
};

// One simulation step without the window side: pulse accumulator and A/D
// service, the instruction, the timers, IRQ and XIRQ, the illegal-opcode
// entry and the stack depth. The caller highlights the PC line first when
// neither WaitState nor StopState is set, and refreshes its windows after.
TStepResult SimulationStep();

// Text of the box that reports an unrecognised opcode: the opcode cell as it
// was executed, and its address when an entry had moved PC away from it.
std::string IllegalOpcodeMessage(const TStepResult& step);

// CPU reset to the given address (registers, flags, run state, TCNT,
// CONFIG, OPTION); every other cell keeps its value.
void ResetCpu(uint16_t resetAddress);

// ---------------------------------------------------------------------------
// peripherals/PinEdges.cpp: the pin stimulus of port A
// ---------------------------------------------------------------------------

// A click on a port A input pin (pinMask 1, 2 or 4 for PA0-PA2, $80 for PA7)
// may be an edge for the timer or the pulse accumulator. The edges the pin
// counts are selected in this register: TCTL2 for PA0-PA2, PACTL for PA7.
uint16_t PinEdgeSelectRegister(uint8_t pinMask);
// The pin's one-shot flag: PinEdgePA0, PinEdgePA1, PinEdgePA2 or PinEdgePA7.
uint8_t& PinEdgeFlag(uint8_t pinMask);
// Whether driving the pin from its level wasHigh to pressed is an edge the
// selection asks for. TCTL2's two bits of the pin: none, rising, falling,
// every click; PACTL's PEDGE for PA7: falling, rising.
bool IsSelectedPinEdge(uint8_t pinMask, bool wasHigh, bool pressed, uint8_t selection);

// ---------------------------------------------------------------------------
// cpu/WatchValue.cpp: a user variable's value as its window shows it
// ---------------------------------------------------------------------------

// Exactly (size + 1) * 2 upper-case hex digits, or (size + 1) * 8 binary
// digits, of value; the most significant first.
std::string IntToHexDigits(uint32_t value, int size);
std::string IntToBinDigits(uint32_t value, int size);

struct TWatchValue {
    char Sign = '+';   // '-' only for a negative signed variable
    std::string Text;  // in the sources' code page: the ASCII format keeps the bytes as they are
};

// bytes: the variable's 1 to 3 bytes, the first the most significant.
// format 0 Hex ("$" and the hex digits), 1 Bin ("%" and the binary digits),
// 2 Dec (the sign and the decimal digits), any other ASCII (the bytes between
// the delimiters " \" " and " \" "). A signed variable whose first byte is
// $80 or more is negative: the numbers show its magnitude, 256^n minus the
// unsigned value.
TWatchValue FormatWatchValue(std::span<const uint8_t> bytes, uint8_t format, bool isSigned);
