// Numbers written as text: the hex fields of cells, registers and records,
// and the integers of command lines and settings files.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The conversion error of HexToInt, as the windows show it.
inline constexpr char HexErrorText[] = "Neveljaven znak v HEX nizu";

// A hex digit's value in either case, or -1.
constexpr int HexDigitValue(char32_t c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    return -1;
}

// Hex text (digits of either case, no prefix) to its value; the empty text
// is 0. Nothing for any other character or more than eight digits: the
// caller reports HexErrorText.
std::optional<uint32_t> HexToInt(std::string_view text);
std::optional<uint32_t> HexToInt(std::u16string_view text);

// Which integer texts TextToInt takes besides signed decimal and "$" hex.
struct TIntegerSyntax {
    bool ZeroXHex = false;  // "0x1F" as well as "$1F"
};

// A signed decimal, or hex after "$" (or "0x" when the syntax allows),
// the sign before the prefix; leading blanks are skipped, anything else
// after the digits fails. Hex may name the full 32-bit pattern ($FFFFFFFF
// is -1); decimal must fit an int.
std::optional<int> TextToInt(std::string_view text, TIntegerSyntax syntax = {});
