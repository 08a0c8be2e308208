#include "simulator/peripherals/RegisterBits.h"

using namespace peripherals;
namespace R = RegisterAddress;

namespace {

constexpr uint8_t TOF = 0x80;  // TFLG2 / TMSK2
constexpr uint8_t RTIF = 0x40;
constexpr uint8_t OC1F = 0x80;  // TFLG1 / TMSK1 / CFORC, and the PA7 pin

// OC2-OC5: one bit serves as the flag, the enable, the CFORC bit and the
// port-A pin of the compare.
struct TOutputCompare {
    uint16_t Register;
    int ActionShift;  // position of its two TCTL1 bits
    uint8_t Bit;
    uint16_t Vector;
};
constexpr TOutputCompare OutputCompares[] = {
    {R::TOC2HI, 6, 0x40, PseudoVectors::OutputCompare2},
    {R::TOC3HI, 4, 0x20, PseudoVectors::OutputCompare3},
    {R::TOC4HI, 2, 0x10, PseudoVectors::OutputCompare4},
    {R::TOC5HI, 0, 0x08, PseudoVectors::OutputCompare5},
};

struct TInputCapture {
    uint8_t* Edge;
    uint16_t Register;
    uint8_t Bit;  // TFLG1 / TMSK1
    uint16_t Vector;
};

// The counts matched in this tick: (lower, end], where a compare value below
// the lower end stands for its value after the wrap.
struct TCompareWindow {
    int32_t Lower;
    int32_t End;
    bool Matches(uint16_t compareRegister) const {
        // A window shorter than 256 counts spans at most two high bytes, so
        // most compares are rejected without decoding their low cell.
        if (End - Lower < 256) {
            const int high = ReadByte(compareRegister);
            if (high != (Lower >> 8) && high != (End >> 8 & 0xFF)) return false;
        }
        int32_t value = ReadWord(compareRegister);
        if (value < Lower) value += 0x10000;
        return Lower < value && value <= End;
    }
};

// Steps only once per call: cycles beyond one period wait in the accumulator.
uint8_t AdvanceTick(int32_t& accumulator, int32_t cycles, int32_t period) {
    const int32_t sum = accumulator + cycles;
    if (sum > period) {
        accumulator = sum - period;
        return 1;
    }
    accumulator = sum;
    return 0;
}

void OutputCompare1() {
    const uint8_t mask = ReadByte(R::OC1M);
    const uint8_t old = ReadByte(R::PORTA);
    uint8_t port = static_cast<uint8_t>((ReadByte(R::OC1D) & mask) | (old & ~mask));
    if (BitsSet(R::CFORC, OC1F)) port &= static_cast<uint8_t>(~OC1F);
    if (port != old) StoreByte(R::PORTA, port);
    RaiseFlag(R::TFLG1, R::TMSK1, OC1F, PseudoVectors::OutputCompare1);
}

void OutputCompare(const TOutputCompare& compare) {
    const uint8_t old = ReadByte(R::PORTA);
    uint8_t port = old;
    switch (ReadByte(R::TCTL1) >> compare.ActionShift & 3) {
        case 1: port ^= compare.Bit; break;
        case 2: port &= static_cast<uint8_t>(~compare.Bit); break;
        case 3: port |= compare.Bit; break;
        default: break;
    }
    if (BitsSet(R::CFORC, compare.Bit)) port &= static_cast<uint8_t>(~compare.Bit);
    if (port != old) StoreByte(R::PORTA, port);
    RaiseFlag(R::TFLG1, R::TMSK1, compare.Bit, compare.Vector);
}

void InputCapture(const TInputCapture& capture) {
    if (*capture.Edge != 0 && !BitsSet(R::TFLG1, capture.Bit)) {
        MemoryImage[capture.Register] = MemoryImage[R::TCNTHI];
        MemoryImage[capture.Register + 1] = MemoryImage[R::TCNTLO];
        SetBits(R::TFLG1, capture.Bit);
        if (BitsSet(R::TMSK1, capture.Bit)) EnterInterrupt(capture.Vector);
    }
    // An edge that found the flag set is lost, not kept for later.
    *capture.Edge = 0;
}

}  // namespace

void TickTimers() {
    // Entries below overwrite InstrCycles with their stacking cycles, which
    // the timer never counts.
    const int32_t cycles = InstrCycles;

    E64Tick = AdvanceTick(E64CycleAccu, cycles, 64);
    AdTick = AdvanceTick(AdCycleAccu, cycles, 32);

    // The cells, not TimerCount, hold the count: a window may have edited
    // them, and TimerCount must never leave 0..$FFFF.
    const int32_t start = ReadWord(R::TCNTHI);
    const int32_t sum = start + cycles;
    TimerCount = sum & 0xFFFF;
    if (sum > 0xFFFF) RaiseFlag(R::TFLG2, R::TMSK2, TOF, PseudoVectors::TimerOverflow);
    StoreWord(R::TCNTHI, static_cast<uint16_t>(TimerCount));

    // The window starts where this tick's count started, so a count moved
    // back outside the tick cannot look like a wrap and fire every compare.
    if (cycles > 0) {
        const TCompareWindow window{start, sum};
        if (window.Matches(R::TOC1HI)) OutputCompare1();
        for (const TOutputCompare& compare : OutputCompares)
            if (window.Matches(compare.Register)) OutputCompare(compare);
    }
    PrevTimerCount = TimerCount;

    const TInputCapture captures[] = {
        {&PinEdgePA0, R::TIC3HI, 0x01, PseudoVectors::InputCapturePA0},
        {&PinEdgePA1, R::TIC2HI, 0x02, PseudoVectors::InputCapturePA1},
        {&PinEdgePA2, R::TIC1HI, 0x04, PseudoVectors::InputCapturePA2},
    };
    for (const TInputCapture& capture : captures) InputCapture(capture);

    const int32_t rtiPeriod = 4096 << (ReadByte(R::PACTL) & 3);
    if (AdvanceTick(RtiCycleAccu, cycles, rtiPeriod))
        RaiseFlag(R::TFLG2, R::TMSK2, RTIF, PseudoVectors::RealTimeInterrupt);
}
