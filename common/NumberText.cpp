#include "common/NumberText.h"

#include <climits>

namespace {

template <class Text>
std::optional<uint32_t> ParseHex(Text text) {
    // Unsigned and bounded, so a long text is an error rather than an overflow.
    if (text.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (auto c : text) {
        const int digit = HexDigitValue(static_cast<char32_t>(c));
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

}  // namespace

std::optional<uint32_t> HexToInt(std::string_view text) { return ParseHex(text); }

std::optional<uint32_t> HexToInt(std::u16string_view text) { return ParseHex(text); }

std::optional<int> TextToInt(std::string_view text, TIntegerSyntax syntax) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        i += 1;
    } else if (syntax.ZeroXHex && text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigitValue(static_cast<unsigned char>(text[i]));
        if (digit < 0 || digit >= base) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFLL) return std::nullopt;
    }
    long long value = negative ? -magnitude : magnitude;
    if (base == 16 && !negative && value > INT_MAX) value -= 0x100000000LL;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}
