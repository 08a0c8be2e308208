#include "common/ListingLine.h"

#include <gtest/gtest.h>

namespace {

TEST(ListingLine, Fields) {
    const struct {
        std::string_view line;
        std::string_view key, addressField;
        std::optional<uint16_t> address;
        bool error;
    } cases[] = {
        {"0002 0000 86 05      START   LDAA #$05", "0002", "0000", 0x0000, false},
        {"0010 b601 41                 FCB $41", "0010", "b601", 0xB601, false},
        {"0007                         END", "0007", "    ", std::nullopt, false},
        {"0012 12ZZ", "0012", "12ZZ", std::nullopt, false},
        {"0013 12", "0013", "12", std::nullopt, false},
        {"001", "001", "", std::nullopt, false},
        {"", "", "", std::nullopt, false},
        {"0004 0002              LDAA  #$1G", "0004", "0002", 0x0002, false},
        {"          -> g.asm, line 4: bad operand", "    ", "    ", std::nullopt, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListingKeyField(c.line), c.key) << c.line;
        EXPECT_EQ(ListingAddressField(c.line), c.addressField) << c.line;
        EXPECT_EQ(ListingAddressValue(c.line), c.address) << c.line;
        EXPECT_EQ(IsListingErrorLine(c.line), c.error) << c.line;
    }
    EXPECT_EQ(ListingAddressValue(std::u16string_view(u"0002 B6č0")), std::nullopt);
    EXPECT_EQ(ListingAddressValue(std::u16string_view(u"0002 B6a0")), 0xB6A0);
}

}  // namespace
