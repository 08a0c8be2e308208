#include <gtest/gtest.h>

#include "simulator/Hc11.h"

namespace R = RegisterAddress;

namespace {

constexpr uint8_t EventMode = 0x40;  // PAEN
constexpr uint8_t GatedMode = 0x60;  // PAEN | PAMOD

void Prepare(uint8_t pactl, uint8_t count) {
    ClearModel();
    StoreByte(R::PACTL, pactl);
    StoreByte(R::PACNT, count);
    CpuRegs.SP = 0x00C0;
    CpuRegs.PC = 0x0100;
}

}  // namespace

TEST(PulseAccumulator, EventModeCountsAnEdge) {
    Prepare(EventMode, 0x05);
    StoreByte(R::TMSK2, 0x10);
    PinEdgePA7 = 1;
    TickPulseAccumulator();
    EXPECT_EQ(ReadByte(R::PACNT), 0x06);
    EXPECT_EQ(ReadByte(R::TFLG2), 0x10);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::PulseAccumulatorInput);
    EXPECT_EQ(PinEdgePA7, 0);
}

TEST(PulseAccumulator, OverflowFlagsEvenWithoutItsEnable) {
    Prepare(EventMode, 0xFF);
    PinEdgePA7 = 1;
    TickPulseAccumulator();
    EXPECT_EQ(MemoryImage[R::PACNT].View(), "00");
    EXPECT_EQ(ReadByte(R::TFLG2), 0x30);
    EXPECT_EQ(CpuRegs.PC, 0x0100);

    Prepare(EventMode, 0xFF);
    StoreByte(R::TMSK2, 0x30);
    PinEdgePA7 = 1;
    TickPulseAccumulator();
    // The overflow enters first; the input event then finds FlagI set.
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::PulseAccumulatorOverflow);
    EXPECT_EQ(CpuRegs.SP, 0x00C0 - 9);
}

TEST(PulseAccumulator, EventModeWithoutEdgeOnlyDropsTheTick) {
    Prepare(EventMode, 0x05);
    E64Tick = 1;
    TickPulseAccumulator();
    EXPECT_EQ(ReadByte(R::PACNT), 0x05);
    EXPECT_EQ(ReadByte(R::TFLG2), 0);
    EXPECT_EQ(E64Tick, 0);
}

TEST(PulseAccumulator, GatedModeCountsTicksWhileTheGateIsOpen) {
    // PEDGE 0 opens the gate on PA7 = 1, PEDGE 1 on PA7 = 0.
    const struct {
        uint8_t Pactl;
        uint8_t PortA;
        bool Open;
    } cases[] = {{GatedMode, 0x80, true}, {GatedMode, 0x00, false},
                 {GatedMode | 0x10, 0x00, true}, {GatedMode | 0x10, 0x80, false}};
    for (const auto& c : cases) {
        Prepare(c.Pactl, 0x10);
        StoreByte(R::PORTA, c.PortA);
        E64Tick = 1;
        TickPulseAccumulator();
        E64Tick = 0;
        TickPulseAccumulator();  // a call without a tick
        EXPECT_EQ(ReadByte(R::PACNT), c.Open ? 0x11 : 0x10) << std::hex << int(c.Pactl) << " " << int(c.PortA);
        EXPECT_EQ(ReadByte(R::TFLG2), c.Open ? 0x10 : 0x00);
    }
}

TEST(PulseAccumulator, GatedModeWrapsAtFfWithoutATick) {
    Prepare(GatedMode, 0xFF);
    StoreByte(R::PORTA, 0x80);
    E64Tick = 0;
    TickPulseAccumulator();
    EXPECT_EQ(ReadByte(R::PACNT), 0x00);
    EXPECT_EQ(ReadByte(R::TFLG2), 0x30);
}

TEST(PulseAccumulator, GatedCountFollowsTheTimerTicks) {
    // The step serves the accumulator with the tick of the previous TickTimers.
    Prepare(GatedMode, 0x00);
    StoreByte(R::PORTA, 0x80);
    for (int i = 0; i < 640 / 4; ++i) {
        TickPulseAccumulator();
        InstrCycles = 4;
        TickTimers();
    }
    // 640 cycles pass 64 strictly nine times (at 68, 132, ... 580), each
    // tick counted by the following call.
    EXPECT_EQ(ReadByte(R::PACNT), 9);
    EXPECT_EQ(E64Tick, 0);
    TickTimers();  // 644: the tenth tick waits for the next step
    EXPECT_EQ(E64Tick, 1);
    EXPECT_EQ(ReadByte(R::PACNT), 9);
}
