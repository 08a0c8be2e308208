#include <gtest/gtest.h>

#include "simulator/Hc11.h"

namespace R = RegisterAddress;

namespace {

struct TFilterCase {
    uint16_t Address;
    uint8_t Before;
    uint8_t Value;
    const char* Expected;
};

void FilteredStore(uint16_t address, uint8_t value) {
    EffectiveAddress = address;
    WriteRegisterBlock(value);
}

}  // namespace

TEST(WriteFilter, RulesByAddress) {
    const TFilterCase cases[] = {
        {R::PORTA, 0x00, 0xFF, "78"},   // only PA6-PA3 take the stored bits
        {R::PORTA, 0xFF, 0x87, "00"},   // input bits read back 0, not their level
        {R::TCNTHI, 0x12, 0xFF, "12"},
        {R::TCNTLO, 0x34, 0x00, "34"},
        {0x1010, 0xAB, 0x00, "AB"},     // TIC1HI
        {0x1015, 0xCD, 0x00, "CD"},     // TIC3LO
        {R::TFLG1, 0xC3, 0x80, "43"},   // a 1 clears its flag
        {R::TFLG1, 0xC3, 0x00, "C3"},
        {R::TFLG2, 0xF0, 0x30, "C0"},
        {R::SPSR, 0x80, 0xFF, "00"},
        {R::SCSR, 0xC0, 0x40, "80"},
        {R::ADCTL, 0x80, 0xF3, "73"},   // CCF cannot be written
        {R::HPRIO, 0x05, 0xFF, "05"},
        {R::INIT, 0x01, 0x10, "01"},    // the block never moves
        {R::CONFIG, 0x0F, 0xFF, "80"},
        {0x1016, 0x00, 0xA5, "A5"},     // TOC1HI is an ordinary register
        {0x2000, 0x00, 0xFF, "FF"},     // outside the block: a plain store
        {0x0FFF, 0x11, 0x22, "22"},
        {0x1040, 0x11, 0x22, "22"},
    };
    for (const TFilterCase& c : cases) {
        ClearModel();
        StoreByte(c.Address, c.Before);
        FilteredStore(c.Address, c.Value);
        EXPECT_EQ(MemoryImage[c.Address].View(), c.Expected)
            << "address $" << std::hex << c.Address << ", cell $" << int(c.Before) << ", value $" << int(c.Value);
    }
}

TEST(WriteFilter, PortsCAndDKeepOnlyOutputBits) {
    ClearModel();
    StoreByte(R::DDRC, 0x0F);
    StoreByte(R::DDRD, 0x3C);
    FilteredStore(R::PORTC, 0xFF);
    FilteredStore(R::PORTD, 0xA5);
    EXPECT_EQ(MemoryImage[R::PORTC].View(), "0F");
    EXPECT_EQ(MemoryImage[R::PORTD].View(), "24");
}

TEST(WriteFilter, AdControlWriteRestartsTheSequence) {
    ClearModel();
    AdConversionCount = 3;
    AdCycleAccu = 17;
    FilteredStore(R::ADCTL, 0x10);
    EXPECT_EQ(AdConversionCount, 0);
    EXPECT_EQ(AdCycleAccu, 0);
    // Only ADCTL restarts: a store beside it leaves the sequence alone.
    AdConversionCount = 2;
    FilteredStore(R::ADR1, 0x10);
    EXPECT_EQ(AdConversionCount, 2);
}

TEST(WriteFilter, OddCellTextReadsAsItsNibbles) {
    ClearModel();
    WriteCell(R::TFLG1, "c");   // a window edit of one lower-case digit: $C0
    FilteredStore(R::TFLG1, 0x40);
    EXPECT_EQ(MemoryImage[R::TFLG1].View(), "80");
}

TEST(RegisterNames, NameEveryCellOfTheBlock) {
    EXPECT_EQ(RegisterName(0x00), "PORTA ");
    EXPECT_EQ(RegisterName(0x0E), "TCNTHI");
    EXPECT_EQ(RegisterName(0x23), "TFLG1 ");
    EXPECT_EQ(RegisterName(0x35), "REZERV");
    EXPECT_EQ(RegisterName(0x39), "OPTION");
    EXPECT_EQ(RegisterName(0x3F), "CONFIG");
    // The address constants and the names must agree.
    const std::pair<uint16_t, std::string_view> named[] = {
        {R::PORTC, "PORTC "}, {R::DDRD, "DDRD  "}, {R::CFORC, "CFORC "}, {R::TIC3HI, "TIC3HI"},
        {R::TOC5HI, "TOC5HI"}, {R::TCTL1, "TCTL1 "}, {R::PACNT, "PACNT "}, {R::SCSR, "SCSR  "},
        {R::ADR1, "ADR1  "}, {R::HPRIO, "HPRIO "}, {R::INIT, "INIT  "},
    };
    for (const auto& [address, name] : named) EXPECT_EQ(RegisterName(address - 0x1000), name);
}
