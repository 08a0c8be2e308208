// The development environment's shared globals (unit Main), one instance each
// for the whole run. Qt-free, so the settings logic is tested on its own.
// Other units read and write them directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace Vantrel {

// The current directory at start-up, with a trailing '/'.
extern std::string AppDir;
// Work names of the assembler driver ("TEMP$$.ASM", ...); SourceName also
// serves the save command.
extern std::string SourceName;
extern std::string ListingName;
extern std::string ReportName;
extern std::string ObjectName;
extern uint8_t ErrorsFound;      // 1 when the last scan found an error
extern uint8_t PortOpen;         // 1 while ComPort1 is open and ours; 0 after a failed open or the hand-over
extern uint8_t ProgrammerFound;  // 1 once DSR was seen on
extern int SerialPortNumber;     // n of "COMn"
extern std::string MemoryKind;   // "RAM" or "EEPROM"
extern std::string ChipName;
extern int RamSize;
extern int EepromSize;

// The target-chip table: slots 0-6 built in, 7 and up added by the user.
inline constexpr int ChipSlots = 16;
inline constexpr int BuiltInChips = 7;
extern std::array<std::string, ChipSlots> ChipNames;
extern std::array<int, ChipSlots> ChipRamSize;
extern std::array<int, ChipSlots> ChipEESize;
extern int ChipCount;  // slots 0 .. ChipCount-1 are in use

// Every global to its start-up value (the chip table empty, AppDir kept):
// the one place those values are written. The program starts with them, and
// the main window's start-up gives them again.
void ResetGlobals();

// Slots 0-6 with the built-in chip types.
void FillBuiltInChips();

}  // namespace Vantrel
