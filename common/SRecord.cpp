#include "common/SRecord.h"

#include "common/NumberText.h"

namespace {

// Two hex characters of line at pos as 0..255, or -1 (also past the line).
int HexByteAt(std::string_view line, size_t pos) {
    if (pos + 2 > line.size()) return -1;
    const int high = HexDigitValue(static_cast<unsigned char>(line[pos]));
    const int low = HexDigitValue(static_cast<unsigned char>(line[pos + 1]));
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

int AddressBytesOf(char type) {
    switch (type) {
        case '2':
        case '8': return 3;
        case '3':
        case '7': return 4;
        default: return 2;
    }
}

}  // namespace

TSRecordLine LexSRecordLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    TSRecordLine record;
    record.Text = line;
    record.DataText = line.substr(0, 0);
    record.Blank = line.find_first_not_of(" \t") == std::string_view::npos;
    if (line.size() >= 1) record.Mark = line[0];
    if (line.size() < 2) return record;
    record.Type = line[1];
    record.AddressBytes = AddressBytesOf(record.Type);
    record.Count = HexByteAt(line, 2);

    const size_t addressEnd = 4 + 2 * static_cast<size_t>(record.AddressBytes);
    record.HasAddress = true;
    for (size_t pos = 4; pos < addressEnd && record.HasAddress; pos += 2) {
        const int byte = HexByteAt(line, pos);
        record.HasAddress = byte >= 0;
        record.Address = record.Address << 8 | static_cast<uint32_t>(byte >= 0 ? byte : 0);
    }
    if (!record.HasAddress) record.Address = 0;

    if (record.Count < record.AddressBytes + 1) return record;
    const size_t dataBytes = static_cast<size_t>(record.Count - record.AddressBytes - 1);
    const size_t present = line.size() > addressEnd ? (line.size() - addressEnd) / 2 : 0;
    record.DataText = line.substr(std::min(addressEnd, line.size()), 2 * std::min(dataBytes, present));
    for (size_t pos = 0; pos < record.DataText.size(); pos += 2) {
        const int byte = HexByteAt(record.DataText, pos);
        if (byte < 0) break;
        record.Data.push_back(static_cast<uint8_t>(byte));
    }
    const size_t checksumAt = addressEnd + 2 * dataBytes;
    const int checksum = HexByteAt(line, checksumAt);
    record.Whole = record.HasAddress && record.Data.size() == dataBytes && checksum >= 0;
    if (record.Whole) record.Checksum = checksum;
    return record;
}

std::string_view TakeLine(std::string_view& text) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}
