// The fields of an assembler listing line that the programs read: the key in
// columns 1-4 (the breakpoint key), the address in columns 6-9, and the
// marker that starts an error line's message.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/NumberText.h"

inline constexpr size_t ListingKeyStart = 0;
inline constexpr size_t ListingKeyLength = 4;
inline constexpr size_t ListingAddressStart = 5;
inline constexpr size_t ListingAddressLength = 4;
inline constexpr std::string_view ListingErrorMarker = " ->";

// Columns 1-4, fewer on a shorter line.
template <class Char>
constexpr std::basic_string_view<Char> ListingKeyField(std::basic_string_view<Char> line) {
    return line.substr(ListingKeyStart, ListingKeyLength);
}

// Columns 6-9, fewer (or none) on a shorter line.
template <class Char>
constexpr std::basic_string_view<Char> ListingAddressField(std::basic_string_view<Char> line) {
    return line.substr(std::min(ListingAddressStart, line.size()), ListingAddressLength);
}

// The address in columns 6-9 when they hold four hex digits (either case).
template <class Char>
constexpr std::optional<uint16_t> ListingAddressValue(std::basic_string_view<Char> line) {
    const std::basic_string_view<Char> field = ListingAddressField(line);
    if (field.size() != ListingAddressLength) return std::nullopt;
    uint16_t value = 0;
    for (Char c : field) {
        const int digit = HexDigitValue(static_cast<char32_t>(c));
        if (digit < 0) return std::nullopt;
        value = static_cast<uint16_t>(value * 16 + digit);
    }
    return value;
}

constexpr bool IsListingErrorLine(std::string_view line) {
    return line.find(ListingErrorMarker) != std::string_view::npos;
}
