// The fields of a listing line that the simulator reads, on the listing
// window's text (UTF-16, a character a unit). No Qt: the window and its
// tests call the same rules.
#pragma once

#include <cstdint>
#include <string_view>

namespace VantrelSIM {

// The key of a listing line: its first four characters (the whole line if it
// is shorter). Breakpoints are keys.
std::u16string_view ListingKey(std::u16string_view line);
// The address in characters 6-9 when they are four hex digits (either case),
// else -1: such a line never matches PC.
int ListingAddress(std::u16string_view line);
// The address run-from-cursor reads from characters 6-9; a missing or
// non-hex character counts as a zero digit.
uint16_t CursorAddress(std::u16string_view line);

}  // namespace VantrelSIM
