// Bit helpers on register-block cells, shared by the peripheral units.
#pragma once

#include "simulator/Hc11.h"

namespace peripherals {

inline bool BitsSet(uint16_t address, uint8_t mask) { return (ReadByte(address) & mask) != 0; }

// Leaves a cell whose bits already stand untouched, so an odd text (a window
// edit) is not rewritten by a flag that was set anyway.
inline void SetBits(uint16_t address, uint8_t mask) {
    const uint8_t old = ReadByte(address);
    if ((old | mask) != old) StoreByte(address, old | mask);
}

// A source asks for its vector only in the tick in which its flag goes from
// 0 to 1 with the enable bit set; the flag is set whatever the enable says.
inline void RaiseFlag(uint16_t flagRegister, uint16_t enableRegister, uint8_t mask, uint16_t vector) {
    if (BitsSet(flagRegister, mask)) return;
    if (CcrFlags.FlagI == 0 && BitsSet(enableRegister, mask)) EnterInterrupt(vector);
    // Read again: the entry's stacking may have written the register block.
    SetBits(flagRegister, mask);
}

}  // namespace peripherals
