// Cell helpers shared by the peripheral tests.
#pragma once

#include <initializer_list>

#include "simulator/Hc11.h"

namespace R = RegisterAddress;

inline void SetWord(uint16_t highAddress, uint16_t value) {
    StoreByte(highAddress, static_cast<uint8_t>(value >> 8));
    StoreByte(static_cast<uint16_t>(highAddress + 1), static_cast<uint8_t>(value));
}

inline uint16_t Word(uint16_t highAddress) {
    return static_cast<uint16_t>(ReadByte(highAddress) << 8 | ReadByte(static_cast<uint16_t>(highAddress + 1)));
}

inline void Load(uint16_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t byte : bytes) StoreByte(address++, byte);
}

inline void Tick(int32_t cycles) {
    InstrCycles = cycles;
    TickTimers();
}

// A clean model with the count at `count`, interrupts open, stack in RAM.
inline void StartAt(uint16_t count) {
    ClearModel();
    SetWord(R::TCNTHI, count);
    TimerCount = PrevTimerCount = count;
    CpuRegs.SP = 0x00C0;
    CpuRegs.PC = 0x0100;
}
