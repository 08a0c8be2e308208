#include "simulator/Hc11.h"

namespace {
constexpr uint8_t PA7 = 0x80;
constexpr uint8_t PEDGE = 0x10;
}  // namespace

uint16_t PinEdgeSelectRegister(uint8_t pinMask) {
    return pinMask == PA7 ? RegisterAddress::PACTL : RegisterAddress::TCTL2;
}

uint8_t& PinEdgeFlag(uint8_t pinMask) {
    switch (pinMask) {
        case 0x01: return PinEdgePA0;
        case 0x02: return PinEdgePA1;
        case PA7: return PinEdgePA7;
        default: return PinEdgePA2;
    }
}

bool IsSelectedPinEdge(uint8_t pinMask, bool wasHigh, bool pressed, uint8_t selection) {
    const bool rising = !wasHigh && pressed;
    const bool falling = wasHigh && !pressed;
    if (pinMask == PA7) return (selection & PEDGE) ? rising : falling;
    const int pin = pinMask == 0x01 ? 0 : pinMask == 0x02 ? 1 : 2;
    switch (selection >> (2 * pin) & 3) {
        case 1: return rising;
        case 2: return falling;
        case 3: return true;
        default: return false;
    }
}
