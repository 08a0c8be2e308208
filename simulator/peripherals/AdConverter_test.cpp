#include <gtest/gtest.h>

#include "simulator/Hc11.h"

namespace R = RegisterAddress;

namespace {

void Prepare(uint8_t adctl, uint8_t input) {
    ClearModel();
    StoreByte(R::ADCTL, adctl);
    StoreByte(R::OPTION, 0x80);
    AdInputValue = input;
}

void AdTickOnce() {
    AdTick = 1;
    TickAdConverter();
}

std::string Results() {
    std::string text;
    for (uint16_t address = R::ADR1; address < R::ADR1 + 4; ++address) text += MemoryImage[address].Str();
    return text;
}

}  // namespace

TEST(AdConverter, SingleSequenceOfFourChannelsStopsAtCcf) {
    Prepare(0x10, 0x80);  // MULT, no SCAN
    for (int i = 0; i < 3; ++i) AdTickOnce();
    EXPECT_EQ(Results(), "80808000");
    EXPECT_EQ(ReadByte(R::ADCTL) & 0x80, 0);
    AdTickOnce();
    EXPECT_EQ(Results(), "80808080");
    EXPECT_EQ(ReadByte(R::ADCTL), 0x90);

    AdInputValue = 0x33;
    for (int i = 0; i < 8; ++i) AdTickOnce();
    EXPECT_EQ(Results(), "80808080");  // nothing converts until ADCTL is written

    EffectiveAddress = R::ADCTL;
    WriteRegisterBlock(0x10);
    AdTickOnce();
    EXPECT_EQ(Results(), "33808080");  // the restart converts channel 1 first
}

TEST(AdConverter, ContinuousSingleChannel) {
    Prepare(0x22, 0x00);  // SCAN, channel bits 2
    for (int tick = 1; tick <= 8; ++tick) {
        AdInputValue = static_cast<uint8_t>(tick);
        AdTickOnce();
        EXPECT_EQ(ReadByte(R::ADR1 + 2), tick);
        if (tick == 4) {
            EXPECT_EQ(ReadByte(R::ADCTL), 0xA2);
            // Clearing CCF by hand shows it is set again after the next four.
            StoreByte(R::ADCTL, 0x22);
        }
        if (tick < 8) {
            EXPECT_EQ(ReadByte(R::ADCTL) & 0x80, 0) << "tick " << tick;
        }
    }
    EXPECT_EQ(ReadByte(R::ADCTL), 0xA2);
    EXPECT_EQ(Results(), "00000800");
}

TEST(AdConverter, NoTickNoConversion) {
    Prepare(0x30, 0x55);
    TickAdConverter();
    EXPECT_EQ(Results(), "00000000");
    EXPECT_EQ(AdConversionCount, 0);
}

TEST(AdConverter, SequenceTakesFourTimerTicksOf32Cycles) {
    Prepare(0x10, 0x42);
    // A 40-cycle instruction per step: ticks at 40, 48, 56, 64 cycles past 32
    // each; the converter is served one step later.
    for (int step = 0; step < 4; ++step) {
        TickAdConverter();
        InstrCycles = 40;
        TickTimers();
    }
    EXPECT_EQ(Results(), "42424200");
    TickAdConverter();
    EXPECT_EQ(Results(), "42424242");
    EXPECT_EQ(ReadByte(R::ADCTL), 0x90);
}
