#include "simulator/peripherals/RegisterBits.h"

using namespace peripherals;
namespace R = RegisterAddress;

namespace {

constexpr uint8_t PAEN = 0x40;  // PACTL
constexpr uint8_t ADPU = 0x80;  // OPTION

}  // namespace

TStepResult SimulationStep() {
    TStepResult result;
    if (WaitState == 0 && StopState == 1) {
        // Stopped: no instruction and no timer; only a request below ends it.
    } else {
        if (WaitState == 0) {
            // Both use the ticks of the previous step's TickTimers.
            if (BitsSet(R::PACTL, PAEN)) TickPulseAccumulator();
            if (BitsSet(R::OPTION, ADPU)) TickAdConverter();
            InstrCycles = 0;
            const uint16_t pc = CpuRegs.PC;
            const TMemoryCell opcode = MemoryImage[pc];  // the instruction may store over its own cell
            ExecuteInstruction(opcode, pc);
            result.Executed = true;
            if (IllegalOpcode == 1) {
                // Taken now: the entries below move PC before the report.
                result.IllegalText = opcode.Str();
                result.IllegalAddress = pc;
            }
        }
        // While waiting, the WAI's cycle count keeps the timer going.
        TickTimers();
    }

    if (IrqPending == 1) {
        // A request that FlagI refuses is dropped, not kept.
        EnterInterrupt(PseudoVectors::Irq);
        IrqPending = 0;
    }
    if (XirqPending == 1 && CcrFlags.FlagX == 0) {
        EnterNonMaskableInterrupt(PseudoVectors::Xirq);
        XirqPending = 0;
    }
    if (IllegalOpcode == 1) {
        result.Illegal = true;
        result.PcMovedBeforeReport = CpuRegs.PC != result.IllegalAddress;
        EnterNonMaskableInterrupt(PseudoVectors::IllegalOpcodeTrap);
        IllegalOpcode = 0;
        StopState = 0;
    }
    StackDepth = StackTop - CpuRegs.SP;
    return result;
}

std::string IllegalOpcodeMessage(const TStepResult& step) {
    std::string message = "Nepravilna operacijska koda! \"" + step.IllegalText + "\"";
    if (step.PcMovedBeforeReport) {
        message += " na naslovu $" + ByteToHex(static_cast<uint8_t>(step.IllegalAddress >> 8)).Str() +
                   ByteToHex(static_cast<uint8_t>(step.IllegalAddress)).Str();
    }
    return message;
}

void ResetCpu(uint16_t resetAddress) {
    CpuRegs.A = CpuRegs.B = 0;
    CpuRegs.D = 0;
    CpuRegs.SP = CpuRegs.IY = CpuRegs.IX = 0;
    UnpackCcr(0xD0);  // S, X and I set; the flags follow CCR

    StackDepth = 0;
    InstrCycles = 0;
    StackTop = 0;
    AdConversionCount = 0;

    StoreByte(R::TCNTHI, 0);
    StoreByte(R::TCNTLO, 0);
    TimerCount = 0;

    XirqPending = IrqPending = StopState = WaitState = 0;
    PrevTimerCount = 0;

    StoreByte(R::CONFIG, 0x0F);
    StoreByte(R::OPTION, 0x10);
    CpuRegs.PC = resetAddress;
}
