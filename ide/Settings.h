// Vantrel.ini: the added chip types ([chipi]) and the serial port ([vrata]).
// Read once at start-up, written once at a normal close.
#pragma once

#include <string>

class IniFile;

namespace Vantrel {

// Built-in chip slots, then slots 7, 8, ... from the ini file until the first
// slot without a name or with a size that is missing or not a number; at most
// the table's 16 slots. SerialPortNumber from ser1; a missing or bad value, or
// one outside 1..16, gives 2. Returns the port name for ComPort1.
std::string LoadSettingsFromIni(const IniFile& ini);

// Erases [chipi] and [vrata], then writes integrirc<n>, RAM<n>, EE<n> for each
// added slot and ser1, in that order.
void SaveSettingsToIni(IniFile& ini);

}  // namespace Vantrel
