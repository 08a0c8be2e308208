// DownloaderCommandLine: the object file name, the port number and the
// EEPROM capacity, as the development environment passes them.
#pragma once

#include <string>
#include <vector>

namespace Tolvex {

// The program's parameters, its own name not included.
using TParameters = std::vector<std::string>;

// Parameter index (1-based) as given; a missing one reads as "".
std::string ParamStr(const TParameters& parameters, int index);

// A command-line word as an integer (decimal, or hex after "$"); raises
// EConvertError "'<text>' is not a valid integer value" for anything else.
int StrToInt(const std::string& text);

// "COM1" for 1, "COM3" for 3, "COM2" for every other number.
std::string DownloaderPortName(int number);

}  // namespace Tolvex
