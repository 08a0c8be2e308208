// The target-chip table's operations (unit Unit3) on the globals ChipNames,
// ChipRamSize, ChipEESize and ChipCount. Qt-free; the dialog keeps its list
// in step with the table by doing the same to both.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Vantrel {

// The slot of `name` among slots 0 .. ChipCount-1; -1 when none. The dialog
// ignores letter case, the menu command's look-up does not.
int FindChipSlot(std::string_view name, bool ignoreCase);

// A size box's text as a number of bytes: decimal digits only.
std::optional<int> SizeFromText(std::string_view text);

// The conversion error an unusable size box gives.
std::string SizeErrorText(std::string_view text);

enum class TAddChip {
    Added,
    Known,      // the name is in the table already (any letter case): nothing happens
    NotHc11,    // no "68HC" in the name: nothing happens
    TableFull,  // all 16 slots are in use
    BadSize,    // a size box is empty or not a number
};

// Adds the name with the sizes in the next slot. Nothing changes unless
// the result is Added; for BadSize `error` gets the conversion error.
TAddChip AddChip(const std::string& name, std::string_view ramText, std::string_view eepromText, std::string* error);

// Deletes an added slot (7 .. ChipCount-1): the later slots move down one,
// so each name keeps its sizes. False for a built-in or unused slot.
bool DeleteChip(int slot);

}  // namespace Vantrel
