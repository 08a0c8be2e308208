#include "ide/ChipTable.h"

#include "common/AsciiText.h"
#include "ide/Globals.h"

#include <limits>

namespace Vantrel {

int FindChipSlot(std::string_view name, bool ignoreCase) {
    const std::string wanted = ignoreCase ? UpperAscii(name) : std::string(name);
    for (int slot = 0; slot < ChipCount && slot < ChipSlots; ++slot) {
        if ((ignoreCase ? UpperAscii(ChipNames[slot]) : ChipNames[slot]) == wanted) return slot;
    }
    return -1;
}

std::optional<int> SizeFromText(std::string_view text) {
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(value);
}

std::string SizeErrorText(std::string_view text) {
    std::string message = "'";
    message.append(text).append("' ni veljavno celo število");
    return message;
}

TAddChip AddChip(const std::string& name, std::string_view ramText, std::string_view eepromText, std::string* error) {
    if (FindChipSlot(name, true) >= 0) return TAddChip::Known;
    if (UpperAscii(name).find("68HC") == std::string::npos) return TAddChip::NotHc11;
    if (ChipCount >= ChipSlots) return TAddChip::TableFull;
    // Both boxes are read before anything changes.
    const std::optional<int> ram = SizeFromText(ramText);
    const std::optional<int> eeprom = SizeFromText(eepromText);
    if (!ram || !eeprom) {
        if (error) *error = SizeErrorText(!ram ? ramText : eepromText);
        return TAddChip::BadSize;
    }
    ChipNames[ChipCount] = name;
    ChipRamSize[ChipCount] = *ram;
    ChipEESize[ChipCount] = *eeprom;
    ++ChipCount;
    return TAddChip::Added;
}

bool DeleteChip(int slot) {
    if (slot < BuiltInChips || slot >= ChipCount || slot >= ChipSlots) return false;
    for (int s = slot; s + 1 < ChipCount; ++s) {
        ChipNames[s] = ChipNames[s + 1];
        ChipRamSize[s] = ChipRamSize[s + 1];
        ChipEESize[s] = ChipEESize[s + 1];
    }
    --ChipCount;
    ChipNames[ChipCount].clear();
    ChipRamSize[ChipCount] = 0;
    ChipEESize[ChipCount] = 0;
    return true;
}

}  // namespace Vantrel
