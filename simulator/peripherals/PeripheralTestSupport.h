// Cell helpers shared by the peripheral tests.
#pragma once

#include <initializer_list>

#include "simulator/Hc11.h"

namespace R = RegisterAddress;

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
    StoreWord(R::TCNTHI, count);
    TimerCount = PrevTimerCount = count;
    CpuRegs.SP = 0x00C0;
    CpuRegs.PC = 0x0100;
}
