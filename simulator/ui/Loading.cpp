#include "simulator/ui/Loading.h"

namespace VantrelSIM {

namespace {

// Two hex characters of line at pos as 0..255, or -1.
int ReadHexByte(std::string_view line, size_t pos) {
    if (pos + 2 > line.size()) return -1;
    const int high = HexDigitValue(static_cast<unsigned char>(line[pos]));
    const int low = HexDigitValue(static_cast<unsigned char>(line[pos + 1]));
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

// Two characters of line at pos, unconverted, as a cell text.
TMemoryCell ReadHexPair(std::string_view line, size_t pos) {
    TMemoryCell cell;
    cell.Assign(line.substr(pos, 2));
    return cell;
}

enum class TRecordOutcome { Stored, Malformed, NotData };

TRecordOutcome LoadRecord(std::string_view line, TMemoryImage& image) {
    if (line.size() < 2 || line[1] != '1') return TRecordOutcome::NotData;
    const int count = ReadHexByte(line, 2);
    // The count covers address, data and checksum: at least the three
    // bytes of address and checksum, all present on this line.
    if (count < 3 || line.size() < 4 + 2 * static_cast<size_t>(count)) return TRecordOutcome::Malformed;
    for (int i = 0; i < count; ++i)
        if (ReadHexByte(line, 4 + 2 * i) < 0) return TRecordOutcome::Malformed;
    uint16_t address = static_cast<uint16_t>(ReadHexByte(line, 4) * 256 + ReadHexByte(line, 6));
    for (int i = 0; i < count - 3; ++i) image[address++] = ReadHexPair(line, 8 + 2 * i);
    return TRecordOutcome::Stored;
}

}  // namespace

TS19Summary LoadS19Text(std::string_view text, TMemoryImage& image) {
    TS19Summary summary;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        switch (LoadRecord(line, image)) {
            case TRecordOutcome::Stored: ++summary.DataRecords; break;
            case TRecordOutcome::Malformed: ++summary.SkippedRecords; break;
            case TRecordOutcome::NotData: break;
        }
    }
    return summary;
}

std::string ObjectFileName(const std::string& listingName) {
    const size_t slash = listingName.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = listingName.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return listingName + ".S19";
    return listingName.substr(0, dot) + ".S19";
}

}  // namespace VantrelSIM
