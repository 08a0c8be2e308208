#include "common/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1250, EveryByteDecodesAndEncodesBack) {
    int undefined = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = DecodeWindows1250(static_cast<uint8_t>(b));
        if (c == 0xFFFD) {
            ++undefined;
            continue;
        }
        EXPECT_EQ(EncodeWindows1250(c), b) << b;
        std::string utf8;
        AppendUtf8(utf8, c);
        EXPECT_EQ(Utf8ToWindows1250(utf8), std::string(1, static_cast<char>(b))) << b;
        EXPECT_EQ(Windows1250ToUtf8(std::string(1, static_cast<char>(b))), utf8) << b;
    }
    EXPECT_EQ(undefined, 5);  // $81, $83, $88, $90, $98
}

TEST(Windows1250, TextBothWays) {
    const struct {
        std::string utf8;
        std::optional<std::string> bytes;
    } cases[] = {
        {"LDAA #$05", "LDAA #$05"},
        {"čšž ČŠŽ", "\xE8\x9A\x9E \xC8\x8A\x8E"},
        {"€ ‰", "\x80 \x89"},
        {"", ""},
        {"ä€ab",
         "\xE4\x80"
         "ab"},
        {"ø", std::nullopt},                 // Latin-1 letter without a place in the code page
        {"\xF0\x9F\x98\x80", std::nullopt},  // outside the BMP
        {"a\xE8", std::nullopt},             // not UTF-8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWindows1250(c.utf8), c.bytes) << c.utf8;
        if (c.bytes) {
            EXPECT_EQ(Windows1250ToUtf8(*c.bytes), c.utf8) << c.utf8;
        }
    }
}

TEST(NextUtf8Character, StepsOverBadBytesOneAtATime) {
    const std::string text = "a\xC5\xA1\xE2\x82\xF0\x9F\x98\x80";
    size_t pos = 0;
    EXPECT_EQ(NextUtf8Character(text, pos), U'a');
    EXPECT_EQ(NextUtf8Character(text, pos), U'š');
    EXPECT_EQ(NextUtf8Character(text, pos), std::nullopt);  // E2 82 cut short by F0
    EXPECT_EQ(pos, 4u);
    EXPECT_EQ(NextUtf8Character(text, pos), std::nullopt);
    EXPECT_EQ(NextUtf8Character(text, pos), U'\U0001F600');
    EXPECT_EQ(pos, text.size());
}

}  // namespace
