// COM port names on Linux. A port is "COM1".."COM16"; its device path comes
// from VANTREL_COMPORTS ("COM1=/dev/ttyUSB0;COM3=/dev/pts/4", ';' or ','
// between entries) or, when that is unset, from the machine's real serial
// devices numbered from COM1 in the order ttyS, ttyUSB, ttyACM, ttyAMA, so a
// lone USB adapter is COM1.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "common/ComPortName.h"

namespace comm {

using ComPortMap = std::map<int, std::string>;  // port number -> device path

// The port a CreateFileA name opens: "COM5" for "\\.\com5" or "com5" (the
// device prefix dropped, the letters upper-cased).
std::string DevicePortName(std::string_view fileName);

// 5 for "COM5", "\\.\COM5" or "com5"; 0 for anything else or beyond COM16.
int DevicePortNumber(const std::string& fileName);

// False with *error for a malformed map: an entry that is not COMn=/path,
// n outside 1..16, a relative path, or a port named twice.
bool ParseComPortMap(const std::string& text, ComPortMap* map, std::string* error);

// The inverse of ParseComPortMap, for handing the map to a program we start.
std::string FormatComPortMap(const ComPortMap& map);

// The machine's real serial devices under root ("" for "/"): root/dev and
// root/sys/class/tty are consulted.
ComPortMap AutomaticComPortMap(const std::string& root = "");

// VANTREL_COMPORTS when set (false with *error when malformed), else the
// automatic map.
bool ResolveComPortMap(ComPortMap* map, std::string* error);

}  // namespace comm
