#include "simulator/Hc11.h"

void WriteRegisterBlock(uint8_t value) {
    namespace R = RegisterAddress;
    const uint16_t address = EffectiveAddress;
    switch (address) {
        case R::PORTA:
            // Only the output pins PA6-PA3 take a stored bit; the input bits read 0.
            StoreByte(address, value & 0x78);
            return;
        case R::PORTC: StoreByte(address, value & ReadByte(R::DDRC)); return;
        case R::PORTD: StoreByte(address, value & ReadByte(R::DDRD)); return;
        case R::TCNTHI:
        case R::TCNTLO:
        case R::TIC1HI:
        case R::TIC1HI + 1:
        case R::TIC2HI:
        case R::TIC2HI + 1:
        case R::TIC3HI:
        case R::TIC3LO:
        case R::HPRIO:
        case R::INIT: return;  // read-only to the program; INIT never moves the block
        case R::TFLG1:
        case R::TFLG2:
        case R::SPSR:
        case R::SCSR:
            // Flags clear where a 1 is written.
            StoreByte(address, ReadByte(address) & static_cast<uint8_t>(~value));
            return;
        case R::ADCTL:
            // CCF is cleared and the conversion sequence starts over.
            StoreByte(address, value & 0x7F);
            AdConversionCount = 0;
            AdCycleAccu = 0;
            return;
        case R::CONFIG: StoreByte(address, value & 0x80); return;
        default: StoreByte(address, value); return;
    }
}
