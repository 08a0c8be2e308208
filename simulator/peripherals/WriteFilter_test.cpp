#include <gtest/gtest.h>

#include "simulator/peripherals/PeripheralTestSupport.h"

namespace {

void FilteredStore(uint16_t address, uint8_t value) {
    EffectiveAddress = address;
    WriteRegisterBlock(value);
}

}  // namespace

TEST(WriteFilter, RulesByAddress) {
    const struct {
        uint16_t Address;
        const char* Before;
        uint8_t Value;
        const char* Expected;
    } cases[] = {
        {R::PORTA, "00", 0xFF, "78"},  {R::PORTA, "FF", 0x87, "00"},  {R::PORTC, "00", 0xFF, "0F"},
        {R::PORTD, "00", 0xA5, "24"},  {R::TCNTHI, "12", 0xFF, "12"}, {R::TCNTLO, "34", 0x00, "34"},
        {R::TIC1HI, "AB", 0x00, "AB"}, {R::TIC3LO, "CD", 0x00, "CD"}, {R::TFLG1, "C3", 0x80, "43"},
        {R::TFLG1, "C3", 0x00, "C3"},  {R::TFLG1, "c", 0x40, "80"},   {R::TFLG2, "F0", 0x30, "C0"},
        {R::SPSR, "80", 0xFF, "00"},   {R::SCSR, "C0", 0x40, "80"},   {R::ADCTL, "80", 0xF3, "73"},
        {R::HPRIO, "05", 0xFF, "05"},  {R::INIT, "01", 0x10, "01"},   {R::CONFIG, "0F", 0xFF, "80"},
        {R::TOC1HI, "00", 0xA5, "A5"}, {0x2000, "00", 0xFF, "FF"},    {0x1040, "11", 0x22, "22"},
    };
    for (const auto& c : cases) {
        ClearModel();
        StoreByte(R::DDRC, 0x0F);
        StoreByte(R::DDRD, 0x3C);
        WriteCell(c.Address, c.Before);
        FilteredStore(c.Address, c.Value);
        EXPECT_EQ(MemoryImage[c.Address].View(), c.Expected)
            << "$" << std::hex << c.Address << " holding " << c.Before << ", stored $" << int(c.Value);
    }
}

TEST(WriteFilter, OnlyAdctlRestartsTheSequence) {
    ClearModel();
    AdConversionCount = 3;
    AdCycleAccu = 17;
    FilteredStore(R::ADR1, 0x10);
    EXPECT_EQ(AdConversionCount, 3);
    FilteredStore(R::ADCTL, 0x10);
    EXPECT_EQ(AdConversionCount, 0);
    EXPECT_EQ(AdCycleAccu, 0);
}

TEST(RegisterNames, AgreeWithTheAddressesTheModelUses) {
    const std::pair<uint16_t, std::string_view> named[] = {
        {R::PORTA, "PORTA "}, {0x1001, "REZERV"},   {R::TCNTHI, "TCNTHI"}, {R::TIC3LO, "TIC3LO"}, {R::TOC5HI, "TOC5HI"},
        {R::TFLG1, "TFLG1 "}, {R::PACNT, "PACNT "}, {R::ADR1, "ADR1  "},   {R::OPTION, "OPTION"}, {R::CONFIG, "CONFIG"},
    };
    for (const auto& [address, name] : named) EXPECT_EQ(RegisterName(address - 0x1000), name);
}
