// The serial ports' names, "COM1", "COM2", ..., and their numbers. Each
// program keeps its own choice of ports on top of this one rule.
#pragma once

#include <string>
#include <string_view>

// The ports the programs offer, map and store.
inline constexpr int MaxComPort = 16;

// "COM5" for 5.
std::string ComPortName(int number);
// n of "COMn" (the letters in either case) for n in 1..maxNumber written
// without a leading zero; 0 for any other name.
int ComPortNumber(std::string_view name, int maxNumber = MaxComPort);
