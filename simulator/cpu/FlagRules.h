// The eight flag rules through which every instruction computes its
// condition codes. Each gives 0 or 1, ready to be stored in a flag byte.
#pragma once

#include <cstdint>

constexpr uint8_t NotBit(int v) { return v == 0; }
constexpr uint8_t SignsDiffer8(uint8_t a, uint8_t b) { return ((a ^ b) >> 7) & 1; }
constexpr uint8_t SignsDiffer16(uint16_t a, uint16_t b) { return ((a ^ b) >> 15) & 1; }
// `b` may be M + carry-in (up to 256): only its low nibble counts.
constexpr uint8_t HalfCarry(int a, int b) { return (a & 0x0F) + (b & 0x0F) >= 16; }
constexpr uint8_t Negative8(uint8_t v) { return v >> 7; }
constexpr uint8_t Negative16(uint16_t v) { return v >> 15; }
constexpr uint8_t CarryOut8(int v) { return v > 255; }
constexpr uint8_t CarryOut16(int v) { return v > 65535; }

// The simulator's overflow for add, subtract, increment, decrement and
// decimal adjust: V is set when bit 7 (bit 15) of the destination changed.
// This is not the chip's two's-complement overflow, and is kept on purpose:
// $01 + $80 gives V = 1, INCA from $FF gives V = 1.
constexpr uint8_t DestinationSignChanged8(uint8_t old, uint8_t result) { return SignsDiffer8(old, result); }
constexpr uint8_t DestinationSignChanged16(uint16_t old, uint16_t result) { return SignsDiffer16(old, result); }
