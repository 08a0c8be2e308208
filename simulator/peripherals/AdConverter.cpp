#include "simulator/peripherals/RegisterBits.h"

using namespace peripherals;
namespace R = RegisterAddress;

namespace {

constexpr uint8_t CCF = 0x80;  // ADCTL
constexpr uint8_t SCAN = 0x20;
constexpr uint8_t MULT = 0x10;

}  // namespace

void TickAdConverter() {
    if (AdTick == 1) {
        const uint8_t control = ReadByte(R::ADCTL);
        // Only the model itself sets the count; the mask keeps every write
        // inside ADR1-ADR4 whatever it holds.
        const int32_t position = AdConversionCount & 3;
        if ((control & SCAN) || !(control & CCF)) {
            const int channel = (control & MULT) ? position : (control & 3);
            StoreByte(static_cast<uint16_t>(R::ADR1 + channel), AdInputValue);
        }
        // The sequence advances at every tick, also when nothing converted.
        if (position == 3) {
            AdConversionCount = 0;
            SetBits(R::ADCTL, CCF);
        } else {
            AdConversionCount = position + 1;
        }
    }
    AdTick = 0;
}
