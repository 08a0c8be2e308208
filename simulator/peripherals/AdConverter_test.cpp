#include <gtest/gtest.h>

#include "simulator/peripherals/PeripheralTestSupport.h"

namespace {

void Prepare(uint8_t adctl, uint8_t input) {
    ClearModel();
    StoreByte(R::ADCTL, adctl);
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

TEST(AdConverter, SingleSequenceStopsAtCcfUntilAdctlIsWritten) {
    Prepare(0x10, 0x80);  // MULT, no SCAN
    TickAdConverter();
    EXPECT_EQ(Results(), "00000000");  // no tick, no conversion
    for (int i = 0; i < 3; ++i) AdTickOnce();
    EXPECT_EQ(Results(), "80808000");
    EXPECT_EQ(ReadByte(R::ADCTL), 0x10);
    AdTickOnce();
    EXPECT_EQ(Results(), "80808080");
    EXPECT_EQ(ReadByte(R::ADCTL), 0x90);
    AdInputValue = 0x33;
    for (int i = 0; i < 8; ++i) AdTickOnce();
    EXPECT_EQ(Results(), "80808080");
    EffectiveAddress = R::ADCTL;
    WriteRegisterBlock(0x10);
    AdTickOnce();
    EXPECT_EQ(Results(), "33808080");  // the restart converts channel 1 first
}

TEST(AdConverter, ContinuousSingleChannelSetsCcfEveryFourthTick) {
    Prepare(0x22, 0x00);  // SCAN, channel bits 2
    for (int tick = 1; tick <= 8; ++tick) {
        AdInputValue = static_cast<uint8_t>(tick);
        AdTickOnce();
        EXPECT_EQ(ReadByte(R::ADCTL) & 0x80, tick == 4 || tick == 8 ? 0x80 : 0) << "tick " << tick;
        if (tick == 4) StoreByte(R::ADCTL, 0x22);  // CCF cleared by hand
    }
    EXPECT_EQ(Results(), "00000800");
}
