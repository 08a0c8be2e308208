#include "simulator/Hc11.h"

std::string IntToHexDigits(uint32_t value, int size) {
    std::string text;
    for (int i = (size + 1) * 2 - 1; i >= 0; --i) text += CellCodec::HexDigits[value >> (4 * i) & 0xF];
    return text;
}

std::string IntToBinDigits(uint32_t value, int size) {
    std::string text;
    for (int i = (size + 1) * 8 - 1; i >= 0; --i) text += value >> i & 1 ? '1' : '0';
    return text;
}

TWatchValue FormatWatchValue(std::span<const uint8_t> bytes, uint8_t format, bool isSigned) {
    const int count = static_cast<int>(bytes.size());
    const int size = count - 1;
    uint32_t value = 0;
    for (uint8_t byte : bytes) value = value * 256 + byte;
    TWatchValue shown;
    if (isSigned && (value & 1u << (8 * count - 1))) {
        shown.Sign = '-';
        value = (1u << (8 * count)) - value;
    }
    switch (format) {
        case 0: shown.Text = '$' + IntToHexDigits(value, size); break;
        case 1: shown.Text = '%' + IntToBinDigits(value, size); break;
        case 2: shown.Text = shown.Sign + std::to_string(value); break;
        default: shown.Text = " \" " + std::string(bytes.begin(), bytes.end()) + " \" "; break;
    }
    return shown;
}
