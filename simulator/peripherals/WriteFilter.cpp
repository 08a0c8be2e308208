#include "simulator/Hc11.h"

namespace {

uint8_t Cell(uint16_t address) { return ReadByte(address); }

}  // namespace

void WriteRegisterBlock(uint8_t value) {
    namespace R = RegisterAddress;
    const uint16_t address = EffectiveAddress;
    switch (address) {
    case R::PORTA:
        // Only the output pins PA6-PA3 take a stored bit; the input bits read 0.
        StoreByte(address, value & 0x78);
        return;
    case R::PORTC:
        StoreByte(address, value & Cell(R::DDRC));
        return;
    case R::PORTD:
        StoreByte(address, value & Cell(R::DDRD));
        return;
    case R::TCNTHI:
    case R::TCNTLO:
    case 0x1010: case 0x1011: case 0x1012: case 0x1013: case 0x1014: case 0x1015:
    case R::HPRIO:
    case R::INIT:
        return;  // read-only to the program; INIT never moves the block
    case R::TFLG1:
    case R::TFLG2:
    case R::SPSR:
    case R::SCSR:
        // Flags clear where a 1 is written.
        StoreByte(address, Cell(address) & static_cast<uint8_t>(~value));
        return;
    case R::ADCTL:
        // CCF is cleared and the conversion sequence starts over.
        StoreByte(address, value & 0x7F);
        AdConversionCount = 0;
        AdCycleAccu = 0;
        return;
    case R::CONFIG:
        StoreByte(address, value & 0x80);
        return;
    default:
        StoreByte(address, value);
        return;
    }
}
