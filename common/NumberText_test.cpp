#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(HexToInt, NarrowAndWideTextsAgree) {
    const struct {
        const char* text;
        std::optional<uint32_t> value;
    } cases[] = {
        {"", 0u},
        {"0", 0u},
        {"7f", 0x7Fu},
        {"B600", 0xB600u},
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"123456789", std::nullopt},
        {"$12", std::nullopt},
        {"1G", std::nullopt},
        {" 1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HexToInt(std::string_view(c.text)), c.value) << c.text;
        const std::string_view narrow(c.text);
        const std::u16string wide(narrow.begin(), narrow.end());
        EXPECT_EQ(HexToInt(std::u16string_view(wide)), c.value) << c.text;
    }
    EXPECT_EQ(HexToInt(std::u16string_view(u"\u0661")), std::nullopt) << "Arabic-Indic digit one";
}

TEST(TextToInt, DollarHexAlwaysZeroXOnlyWhenAsked) {
    const struct {
        const char* text;
        std::optional<int> plain;
        std::optional<int> zeroX;
    } cases[] = {
        {"0", 0, 0},
        {"-12", -12, -12},
        {"+7", 7, 7},
        {"  42", 42, 42},
        {"$ff", 255, 255},
        {"-$10", -16, -16},
        {"2147483647", INT_MAX, INT_MAX},
        {"-2147483648", INT_MIN, INT_MIN},
        {"$FFFFFFFF", -1, -1},
        {"0x1f", std::nullopt, 31},
        {"-0X10", std::nullopt, -16},
        {"0", 0, 0},
        {"0x", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
        {"$", std::nullopt, std::nullopt},
        {"12a", std::nullopt, std::nullopt},
        {"1 ", std::nullopt, std::nullopt},
        {"\t1", std::nullopt, std::nullopt},
        {"2147483648", std::nullopt, std::nullopt},
        {"99999999999", std::nullopt, std::nullopt},
        {"$1FFFFFFFF", std::nullopt, std::nullopt},
        {"$-1", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToInt(c.text), c.plain) << '"' << c.text << '"';
        EXPECT_EQ(TextToInt(c.text, {.ZeroXHex = true}), c.zeroX) << '"' << c.text << '"';
    }
}

}  // namespace
