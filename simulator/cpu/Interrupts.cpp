#include "simulator/Hc11.h"

namespace {

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
    PushWord(CpuRegs.PC);
    PushWord(CpuRegs.IY);
    PushWord(CpuRegs.IX);
    PushByte(CpuRegs.A);
    PushByte(CpuRegs.B);
    PushByte(CpuRegs.CCR);
    CcrFlags.FlagI = 1;
}

void UnstackAllRegisters() {
    const uint8_t ccr = PullByte();
    CpuRegs.B = PullByte();
    CpuRegs.A = PullByte();
    SyncDFromAB();
    CpuRegs.IX = PullWord();
    CpuRegs.IY = PullWord();
    CpuRegs.PC = PullWord();
    // As TAP: X may go from 1 to 0, never from 0 to 1.
    const uint8_t oldX = CcrFlags.FlagX;
    UnpackCcr(ccr);
    if (oldX == 0) CcrFlags.FlagX = 0;
    CcrFlags.FlagI = 0;
}

void EnterInterrupt(uint16_t vector) { Enter(vector, true); }

void EnterNonMaskableInterrupt(uint16_t vector) { Enter(vector, false); }
