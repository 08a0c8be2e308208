#include <gtest/gtest.h>

#include "simulator/peripherals/PeripheralTestSupport.h"

namespace {

constexpr uint8_t EventMode = 0x40;  // PAEN
constexpr uint8_t GatedMode = 0x60;  // PAEN | PAMOD

}  // namespace

TEST(PulseAccumulator, CountsEventsAndGatedTicks) {
    // PEDGE 0 opens the gate on PA7 = 1, PEDGE 1 on PA7 = 0; a gated call
    // counts its E/64 tick and, at $FF, wraps even without one.
    const struct {
        uint8_t Pactl, PortA, Edge, Tick, CountBefore, TMask2;
        uint8_t CountAfter, Tflg2After;
        uint16_t Pc;
    } cases[] = {
        {EventMode, 0x00, 1, 0, 0x05, 0x10, 0x06, 0x10, PseudoVectors::PulseAccumulatorInput},
        {EventMode, 0x00, 0, 1, 0x05, 0x10, 0x05, 0x00, 0x0100},
        {EventMode, 0x00, 1, 0, 0xFF, 0x00, 0x00, 0x30, 0x0100},
        {EventMode, 0x00, 1, 0, 0xFF, 0x30, 0x00, 0x30, PseudoVectors::PulseAccumulatorOverflow},
        {GatedMode, 0x80, 0, 1, 0x10, 0x00, 0x11, 0x10, 0x0100},
        {GatedMode, 0x80, 0, 0, 0x10, 0x00, 0x10, 0x10, 0x0100},
        {GatedMode, 0x00, 1, 1, 0x10, 0x10, 0x10, 0x00, 0x0100},
        {GatedMode | 0x10, 0x00, 0, 1, 0x10, 0x00, 0x11, 0x10, 0x0100},
        {GatedMode | 0x10, 0x80, 0, 1, 0x10, 0x00, 0x10, 0x00, 0x0100},
        {GatedMode, 0x80, 0, 0, 0xFF, 0x00, 0x00, 0x30, 0x0100},
    };
    int row = 0;
    for (const auto& c : cases) {
        StartAt(0);
        StoreByte(R::PACTL, c.Pactl);
        StoreByte(R::PORTA, c.PortA);
        StoreByte(R::PACNT, c.CountBefore);
        StoreByte(R::TMSK2, c.TMask2);
        PinEdgePA7 = c.Edge;
        E64Tick = c.Tick;
        TickPulseAccumulator();
        EXPECT_EQ(ReadByte(R::PACNT), c.CountAfter) << "row " << row;
        EXPECT_EQ(ReadByte(R::TFLG2), c.Tflg2After) << "row " << row;
        EXPECT_EQ(CpuRegs.PC, c.Pc) << "row " << row;
        EXPECT_EQ(PinEdgePA7 + E64Tick, 0) << "row " << row;
        ++row;
    }
}

TEST(PulseAccumulator, GatedCountFollowsTheTimerTicks) {
    StartAt(0);
    StoreByte(R::PACTL, GatedMode);
    StoreByte(R::PORTA, 0x80);
    for (int i = 0; i < 640 / 4; ++i) {
        TickPulseAccumulator();
        Tick(4);
    }
    // 640 cycles pass 64 strictly nine times (at 68, 132, ... 580), each tick
    // counted by the following call; the tenth comes at 644.
    EXPECT_EQ(ReadByte(R::PACNT), 9);
    Tick(4);
    EXPECT_EQ(E64Tick, 1);
}
