#include "ide/Globals.h"

namespace Vantrel {

// Their start values are ResetGlobals's, given before anything runs.
std::string AppDir;
std::string SourceName;
std::string ListingName;
std::string ReportName;
std::string ObjectName;
uint8_t ErrorsFound;
uint8_t PortOpen;
uint8_t ProgrammerFound;
int SerialPortNumber;
std::string MemoryKind;
std::string ChipName;
int RamSize;
int EepromSize;

std::array<std::string, ChipSlots> ChipNames;
std::array<int, ChipSlots> ChipRamSize;
std::array<int, ChipSlots> ChipEESize;
int ChipCount;

void ResetGlobals() {
    SourceName.clear();
    ListingName.clear();
    ReportName.clear();
    ObjectName.clear();
    ErrorsFound = 0;
    PortOpen = 1;
    ProgrammerFound = 0;
    SerialPortNumber = 0;
    MemoryKind = "RAM";
    ChipName = "MC68HC11A1";
    RamSize = 256;
    EepromSize = 512;
    ChipNames.fill({});
    ChipRamSize.fill(0);
    ChipEESize.fill(0);
    ChipCount = 0;
}

namespace {

[[maybe_unused]] const bool StartValuesGiven = (ResetGlobals(), true);

}  // namespace

void FillBuiltInChips() {
    struct Chip {
        const char* Name;
        int Ram;
        int Eeprom;
    };
    static constexpr Chip BuiltIn[BuiltInChips] = {
        {"MC68HC11A1", 256, 512}, {"MC68HC11A8", 256, 512}, {"MC68HC11A0", 256, 0}, {"MC68HC11E9", 512, 512},
        {"MC68HC11E1", 512, 512}, {"MC68HC11E0", 512, 0},   {"MC68HC11D3", 192, 0},
    };
    for (int slot = 0; slot < BuiltInChips; ++slot) {
        ChipNames[slot] = BuiltIn[slot].Name;
        ChipRamSize[slot] = BuiltIn[slot].Ram;
        ChipEESize[slot] = BuiltIn[slot].Eeprom;
    }
    if (ChipCount < BuiltInChips) ChipCount = BuiltInChips;
}

}  // namespace Vantrel
