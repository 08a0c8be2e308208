#include "simulator/ui/ListingFields.h"

#include "common/ListingLine.h"

namespace VantrelSIM {

std::u16string_view ListingKey(std::u16string_view line) { return ListingKeyField(line); }

int ListingAddress(std::u16string_view line) {
    const std::optional<uint16_t> address = ListingAddressValue(line);
    return address ? *address : -1;
}

uint16_t CursorAddress(std::u16string_view line) {
    const std::u16string_view field = ListingAddressField(line);
    unsigned address = 0;
    for (size_t i = 0; i < ListingAddressLength; ++i) {
        const int digit = i < field.size() ? HexDigitValue(field[i]) : -1;
        address = address * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
    }
    return static_cast<uint16_t>(address);
}

}  // namespace VantrelSIM
