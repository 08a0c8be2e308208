#include "simulator/Hc11.h"

namespace {

void Push(uint8_t value) {
    StoreByte(CpuRegs.SP, value);
    --CpuRegs.SP;
}

uint8_t Pull() {
    ++CpuRegs.SP;
    return ReadByte(CpuRegs.SP);
}

// Shared by both entries; `maskable` refuses while FlagI = 1.
void Enter(uint16_t vector, bool maskable) {
    if (maskable && CcrFlags.FlagI == 1) return;
    if (WaitState == 0) {
        InstrCycles = 14;
        StackAllRegisters();
    }
    // After WAI the frame is already on the stack and, as the chip's
    // teaching model has it, the entry leaves FlagI alone.
    CpuRegs.PC = vector;
    WaitState = 0;
    StopState = 0;
    // The register window and a TPA at the vector must see the new I bit.
    PackCcr();
}

}  // namespace

void StackAllRegisters() {
    // Push the flags as they are now, not a CCR an earlier entry left stale.
    PackCcr();
    Push(static_cast<uint8_t>(CpuRegs.PC));
    Push(static_cast<uint8_t>(CpuRegs.PC >> 8));
    Push(static_cast<uint8_t>(CpuRegs.IY));
    Push(static_cast<uint8_t>(CpuRegs.IY >> 8));
    Push(static_cast<uint8_t>(CpuRegs.IX));
    Push(static_cast<uint8_t>(CpuRegs.IX >> 8));
    Push(CpuRegs.A);
    Push(CpuRegs.B);
    Push(CpuRegs.CCR);
    CcrFlags.FlagI = 1;
}

void UnstackAllRegisters() {
    const uint8_t ccr = Pull();
    CpuRegs.B = Pull();
    CpuRegs.A = Pull();
    SyncDFromAB();
    CpuRegs.IX = static_cast<uint16_t>(Pull() << 8);
    CpuRegs.IX |= Pull();
    CpuRegs.IY = static_cast<uint16_t>(Pull() << 8);
    CpuRegs.IY |= Pull();
    CpuRegs.PC = static_cast<uint16_t>(Pull() << 8);
    CpuRegs.PC |= Pull();
    // As TAP: X may go from 1 to 0, never from 0 to 1.
    const uint8_t oldX = CcrFlags.FlagX;
    UnpackCcr(ccr);
    if (oldX == 0) CcrFlags.FlagX = 0;
    CcrFlags.FlagI = 0;
}

void EnterInterrupt(uint16_t vector) { Enter(vector, true); }

void EnterNonMaskableInterrupt(uint16_t vector) { Enter(vector, false); }
