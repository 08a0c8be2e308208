// The two 68HC11 programs that Vantrel downloads in bootstrap mode, stored as
// hex text (two upper-case digits per byte, high nibble first), and what a
// board needs to recognise them. Vantrel sends these very texts and the
// stand-in board compares what it received with their bytes, so the one
// definition here serves both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Bulk-erases the EEPROM: LDS #$FF; LDX #$1000; BAUD := $33; SCCR2 := $0C;
// PPROG := $06; STAB to the EEPROM address (the replaceable operand);
// PPROG := $07; a 14 ms delay; PPROG := 0; then it stays in a JMP to itself.
inline constexpr std::string_view EepromEraseLoader =
    "8E00FFCE10001C28006F35CC330CA72B"
    "E72DC606E73BF7B6006C3B8D056F3B7E"
    "001F183C18CE0FA0180926FC183839";

// The receiving side of the downloader's record stream: waits for $FF, then
// per record sends XON, reads n, the address and n bytes (buffered from
// $0007), sends XOFF, reads two fillers, and erases and programs each byte
// that differs (two 10.5 ms steps), then starts the next record with XON.
inline constexpr std::string_view EepromTalker =
    "7E002600000000000000000000000000"
    "00000000000000000000000000000000"
    "0000000000008E00FFCE10007F00026F"
    "3586FFA7071C28208633A72B860CA72D"
    "1F2E20FCA62F81FF26F6E62EC611E72F"
    "1F2E20FCA62F970397041F2E20FCA62F"
    "97001F2E20FCA62F970118DE00CC0007"
    "DD051F2E20FCA62F183C18DE0518A700"
    "7C0006183818087A000426E6E62EC613"
    "E72FE7041F2E20FCA62F1F2E20FCA62F"
    "188F9302188F96039704CC0007DD0518"
    "3C18DE0518A600183818A100271CC616"
    "E73B18E7006C3B8D226F3BC602E73B18"
    "A700A7036C3B8D136F3B7C0006180896"
    "04A7037A000426C77E0048183C18CE0B"
    "B8180926FC183839";

inline constexpr size_t EepromEraseLoaderSize = EepromEraseLoader.size() / 2;  // 47
inline constexpr size_t EepromTalkerSize = EepromTalker.size() / 2;            // 248
static_assert(EepromEraseLoaderSize == 47 && EepromEraseLoader.size() % 2 == 0);
static_assert(EepromTalkerSize == 248 && EepromTalker.size() % 2 == 0);

// The erase loader's EEPROM address: the operand of its STAB extended, at
// bytes $17-$18, that is the four characters from index 46 of the text.
inline constexpr size_t EraseAddressOffset = 0x17;
inline constexpr size_t EraseAddressTextIndex = 2 * EraseAddressOffset;
inline constexpr std::string_view DefaultEraseAddress = "B600";
static_assert(EepromEraseLoader.substr(EraseAddressTextIndex, 4) == DefaultEraseAddress);
static_assert(EepromEraseLoader.find(DefaultEraseAddress) == EraseAddressTextIndex);

// The byte of two characters as the programmer reads them: each character
// minus '0', and a further 7 when that is above 9, kept to 8 bits. Digits and
// upper-case letters give their hex value; anything else a wrong byte.
constexpr uint8_t ProgrammerHexByte(char high, char low) {
    auto nibble = [](char c) {
        int value = static_cast<unsigned char>(c) - '0';
        if (value > 9) value -= 7;
        return value;
    };
    return static_cast<uint8_t>(nibble(high) * 16 + nibble(low));
}

// The bytes of a stored program's text (pairs from the start; an odd last
// character is dropped).
std::vector<uint8_t> StoredProgramBytes(std::string_view text);
