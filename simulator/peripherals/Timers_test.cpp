#include <gtest/gtest.h>

#include "simulator/peripherals/PeripheralTestSupport.h"

TEST(FreeRunningCounter, WrapSetsTofAndEntersOnlyWhenEnabledMaskedAndClear) {
    const struct {
        uint8_t FlagI, Tflg2Before;
        bool Enters;
    } cases[] = {{0, 0x00, true}, {1, 0x00, false}, {0, 0x80, false}};
    for (const auto& c : cases) {
        StartAt(0xFFFA);
        StoreByte(R::TMSK2, 0x80);
        StoreByte(R::TFLG2, c.Tflg2Before);
        CcrFlags.FlagI = c.FlagI;
        Tick(10);
        EXPECT_EQ(ReadWord(R::TCNTHI), 0x0004);
        EXPECT_EQ(ReadByte(R::TFLG2), 0x80);
        EXPECT_EQ(CpuRegs.PC, c.Enters ? PseudoVectors::TimerOverflow : 0x0100) << int(c.FlagI) << int(c.Tflg2Before);
    }
}

TEST(FreeRunningCounter, TickEndingOnFfffIsNoWrap) {
    StartAt(0xFFFA);
    StoreByte(R::TMSK2, 0x80);
    Tick(5);
    EXPECT_EQ(ReadWord(R::TCNTHI), 0xFFFF);
    EXPECT_EQ(ReadByte(R::TFLG2), 0);
    EXPECT_EQ(CpuRegs.PC, 0x0100);
    Tick(1);  // the next count is the wrap
    EXPECT_EQ(ReadWord(R::TCNTHI), 0x0000);
    EXPECT_EQ(ReadByte(R::TFLG2), 0x80);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::TimerOverflow);
}

TEST(FreeRunningCounter, ContinuesFromTheCellsWhateverTheyHold) {
    // A window edit moved the cells; TimerCount is stale either way.
    StartAt(0xFFF8);
    StoreWord(R::TCNTHI, 0x0010);
    Tick(10);
    EXPECT_EQ(TimerCount, 0x001A);
    EXPECT_EQ(ReadByte(R::TFLG2), 0);

    StartAt(0x0000);
    StoreWord(R::TCNTHI, 0xFFFE);
    Tick(4);
    EXPECT_EQ(TimerCount, 0x0002);
    EXPECT_EQ(ReadWord(R::TCNTHI), 0x0002);
    EXPECT_EQ(ReadByte(R::TFLG2), 0x80);

    StartAt(0);
    WriteCell(R::TCNTHI, "zz");  // non-hex reads as 0
    WriteCell(R::TCNTLO, "f");
    Tick(16);
    EXPECT_EQ(TimerCount, 0x0100);
    EXPECT_EQ(MemoryImage[R::TCNTHI].View(), "01");
}

TEST(OutputCompare, EachCountMatchesInExactlyOneTick) {
    StartAt(0x00F0);
    StoreWord(R::TOC2HI, 0x0100);
    StoreByte(R::TCTL1, 0x40);  // OC2 toggles PA6
    Tick(0);
    EXPECT_EQ(ReadByte(R::TFLG1), 0);  // no time, no match
    Tick(0x10);                        // ends exactly on $0100
    EXPECT_EQ(ReadByte(R::PORTA), 0x40);
    EXPECT_EQ(ReadByte(R::TFLG1), 0x40);
    StoreByte(R::TFLG1, 0);
    Tick(5);
    EXPECT_EQ(ReadByte(R::PORTA), 0x40);
    EXPECT_EQ(ReadByte(R::TFLG1), 0);
}

TEST(OutputCompare, WindowAcrossTheWrap) {
    const struct {
        uint16_t Compare;
        bool Matches;
    } cases[] = {{0x0002, true},  {0x0008, true},  {0xFFF1, true}, {0xFFFF, true},
                 {0xFFF0, false}, {0x0009, false}, {0x8000, false}};
    for (const auto& c : cases) {
        StartAt(0xFFF0);
        StoreWord(R::TOC3HI, c.Compare);
        Tick(0x18);
        EXPECT_EQ((ReadByte(R::TFLG1) & 0x20) != 0, c.Matches) << "TOC3 $" << std::hex << c.Compare;
    }
}

TEST(OutputCompare, CountMovedOutsideTheTickFiresOnlyWhatItPasses) {
    // The register block cleared while the count stood high.
    StartAt(0x8000);
    for (uint16_t address = 0x1000; address < 0x1040; ++address) StoreByte(address, 0);
    StoreWord(R::TOC2HI, 0x0200);
    StoreWord(R::TOC3HI, 0x7000);
    StoreWord(R::TOC5HI, 0xFFFF);
    Tick(10);
    EXPECT_EQ(ReadByte(R::TFLG1), 0);
    EXPECT_EQ(ReadByte(R::TFLG2), 0);

    StartAt(0x0000);
    StoreWord(R::TOC2HI, 0x0100);
    StoreWord(R::TOC3HI, 0x5005);
    StoreWord(R::TCNTHI, 0x5000);  // moved forward
    Tick(10);
    EXPECT_EQ(ReadByte(R::TFLG1), 0x20);
}

TEST(OutputCompare, PinActionsOfOc2ToOc5WithForcedClear) {
    // TCTL1 pair: 00 none, 01 toggle, 10 clear, 11 set; CFORC forces 0 after.
    const struct {
        uint16_t Register;
        int Shift;
        uint8_t Pin;
    } compares[] = {{R::TOC2HI, 6, 0x40}, {R::TOC3HI, 4, 0x20}, {R::TOC4HI, 2, 0x10}, {R::TOC5HI, 0, 0x08}};
    for (const auto& compare : compares)
        for (int action = 0; action < 4; ++action)
            for (uint8_t before : {uint8_t{0}, compare.Pin})
                for (uint8_t forced : {uint8_t{0}, compare.Pin}) {
                    StartAt(0x1000);
                    StoreByte(R::PORTA, before | 0x01);
                    StoreByte(R::CFORC, forced);
                    StoreWord(compare.Register, 0x1002);
                    StoreByte(R::TCTL1, static_cast<uint8_t>(action << compare.Shift));
                    Tick(2);
                    const uint8_t acted[] = {before, static_cast<uint8_t>(before ^ compare.Pin), 0, compare.Pin};
                    EXPECT_EQ(ReadByte(R::PORTA), (forced ? 0 : acted[action]) | 0x01)
                        << "pin $" << std::hex << int(compare.Pin) << " action " << action << " from $" << int(before)
                        << " forced $" << int(forced);
                    EXPECT_EQ(ReadByte(R::TFLG1), compare.Pin);
                    EXPECT_EQ(ReadByte(R::CFORC), forced);  // never clears itself
                }
}

TEST(OutputCompare, Oc1DrivesItsMaskedPinsAndMasksLaterSources) {
    StartAt(0x2000);
    StoreWord(R::TOC1HI, 0x2003);
    StoreWord(R::TOC2HI, 0x2004);
    StoreByte(R::TMSK1, 0xC0);
    StoreByte(R::OC1M, 0xF8);
    StoreByte(R::OC1D, 0x90);
    StoreByte(R::CFORC, 0x80);
    StoreByte(R::PORTA, 0x6F);
    Tick(4);
    EXPECT_EQ(ReadByte(R::PORTA), 0x17);  // PA7 forced to 0, PA6-PA3 from OC1D, PA2-PA0 kept
    EXPECT_EQ(ReadByte(R::TFLG1), 0xC0);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::OutputCompare1);
    EXPECT_EQ(CpuRegs.SP, 0x00C0 - 9);  // OC2 found FlagI set: stacked once
}

TEST(InputCapture, EdgeLatchesTheCountOnceUntilTheFlagIsCleared) {
    const struct {
        uint8_t* Edge;
        uint16_t Capture;
        uint8_t Bit;
        uint16_t Vector;
    } pins[] = {{&PinEdgePA0, R::TIC3HI, 0x01, PseudoVectors::InputCapturePA0},
                {&PinEdgePA1, R::TIC2HI, 0x02, PseudoVectors::InputCapturePA1},
                {&PinEdgePA2, R::TIC1HI, 0x04, PseudoVectors::InputCapturePA2}};
    for (const auto& pin : pins) {
        StartAt(0x1230);
        StoreByte(R::TMSK1, pin.Bit);
        *pin.Edge = 1;
        Tick(4);
        EXPECT_EQ(ReadWord(pin.Capture), 0x1234);
        EXPECT_EQ(ReadByte(R::TFLG1), pin.Bit);
        EXPECT_EQ(CpuRegs.PC, pin.Vector);
        *pin.Edge = 1;  // before software clears the flag: lost
        Tick(4);
        EXPECT_EQ(ReadWord(pin.Capture), 0x1234);
        EXPECT_EQ(*pin.Edge, 0);
    }
}

TEST(RealTimeInterrupt, FlagsWhenTheCyclesFirstExceedThePeriod) {
    for (int rate = 0; rate < 4; ++rate) {
        StartAt(0);
        StoreByte(R::PACTL, static_cast<uint8_t>(rate));
        StoreByte(R::TMSK2, 0x40);
        for (int i = 0; i < (4096 << rate) / 2; ++i) Tick(2);
        EXPECT_EQ(ReadByte(R::TFLG2) & 0x40, 0) << "rate " << rate;
        Tick(2);
        EXPECT_EQ(ReadByte(R::TFLG2) & 0x40, 0x40) << "rate " << rate;
        EXPECT_EQ(RtiCycleAccu, 2);
        EXPECT_EQ(CpuRegs.PC, PseudoVectors::RealTimeInterrupt);
    }
}

TEST(TimerTicks, OneTickPerCallWithTheRestKept) {
    StartAt(0);
    Tick(64);
    EXPECT_EQ(E64Tick, 0);  // one full period is not yet a tick
    Tick(66);
    EXPECT_EQ(E64Tick, 1);
    EXPECT_EQ(E64CycleAccu, 66);
    EXPECT_EQ(AdTick, 1);
    EXPECT_EQ(AdCycleAccu, 66);
    Tick(0);
    EXPECT_EQ(E64Tick, 1);  // the kept cycles still exceed a period
    EXPECT_EQ(E64CycleAccu, 2);
}
