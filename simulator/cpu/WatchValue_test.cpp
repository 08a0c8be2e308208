#include <gtest/gtest.h>

#include "simulator/Hc11.h"

#include <vector>

TEST(WatchValue, EachFormatSignAndMagnitude) {
    const struct {
        std::vector<uint8_t> bytes;
        uint8_t format;
        bool isSigned;
        char sign;
        const char* text;
    } cases[] = {
        {{0x05}, 2, false, '+', "+5"},
        {{0xFB}, 2, false, '+', "+251"},  // unsigned: "+" as well
        {{0xFB}, 2, true, '-', "-5"},
        {{0x7F}, 2, true, '+', "+127"},
        {{0x80}, 2, true, '-', "-128"},
        {{0xFF, 0xFE}, 2, true, '-', "-2"},
        {{0xFF, 0xFF}, 2, false, '+', "+65535"},
        {{0x80, 0x00, 0x00}, 2, true, '-', "-8388608"},
        {{0x00, 0x00, 0x00}, 2, true, '+', "+0"},
        {{0x01, 0x02, 0x03}, 0, false, '+', "$010203"},
        {{0x0A}, 0, false, '+', "$0A"},
        {{0xFF}, 0, true, '-', "$01"},  // a signed number shows its magnitude in every number format
        {{0xA5}, 1, false, '+', "%10100101"},
        {{0x01, 0x00}, 1, false, '+', "%0000000100000000"},
        {{0x48, 0x69}, 3, false, '+', " \" Hi \" "},
        {{0xE8, 0x0A}, 3, false, '+', " \" \xE8\n \" "},  // bytes kept: the window decodes the code page
        {{0xC1}, 3, true, '-', " \" \xC1 \" "},
        {{0x41}, 9, false, '+', " \" A \" "},  // an unknown format shows text
    };
    for (const auto& c : cases) {
        const TWatchValue shown = FormatWatchValue(c.bytes, c.format, c.isSigned);
        EXPECT_EQ(shown.Text, c.text) << c.text;
        EXPECT_EQ(shown.Sign, c.sign) << c.text;
    }
}

TEST(WatchValue, DigitsAreZeroFilledToTheVariablesSize) {
    EXPECT_EQ(IntToHexDigits(0x5, 0), "05");
    EXPECT_EQ(IntToHexDigits(0xABC, 1), "0ABC");
    EXPECT_EQ(IntToHexDigits(0x123456, 2), "123456");
    EXPECT_EQ(IntToBinDigits(0x5, 0), "00000101");
    EXPECT_EQ(IntToBinDigits(0x8001, 1), "1000000000000001");
    EXPECT_EQ(IntToBinDigits(0, 2).size(), 24u);
}
