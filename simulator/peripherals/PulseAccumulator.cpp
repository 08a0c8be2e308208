#include "simulator/peripherals/RegisterBits.h"

using namespace peripherals;
namespace R = RegisterAddress;

namespace {

constexpr uint8_t PAMOD = 0x20;  // PACTL
constexpr uint8_t PEDGE = 0x10;
constexpr uint8_t PAOVF = 0x20;  // TFLG2 / TMSK2
constexpr uint8_t PAIF = 0x10;
constexpr uint8_t PA7 = 0x80;

void CountEvent(uint8_t increment) {
    const uint8_t count = ReadByte(R::PACNT);
    if (count == 0xFF) {
        // Wraps even when the increment is 0: a gated call without a tick.
        StoreByte(R::PACNT, 0);
        RaiseFlag(R::TFLG2, R::TMSK2, PAOVF, PseudoVectors::PulseAccumulatorOverflow);
    } else {
        StoreByte(R::PACNT, static_cast<uint8_t>(count + increment));
    }
    RaiseFlag(R::TFLG2, R::TMSK2, PAIF, PseudoVectors::PulseAccumulatorInput);
}

}  // namespace

void TickPulseAccumulator() {
    const uint8_t control = ReadByte(R::PACTL);
    if (control & PAMOD) {
        const bool pinHigh = BitsSet(R::PORTA, PA7);
        const bool fallingGate = (control & PEDGE) != 0;
        if (pinHigh != fallingGate) CountEvent(E64Tick);
    } else if (PinEdgePA7 != 0) {
        CountEvent(1);
    }
    PinEdgePA7 = 0;
    E64Tick = 0;
}
