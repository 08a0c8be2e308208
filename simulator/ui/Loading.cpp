#include "simulator/ui/Loading.h"

#include "common/SRecord.h"

namespace VantrelSIM {

TS19Summary LoadS19Text(std::string_view text, TMemoryImage& image) {
    TS19Summary summary;
    while (!text.empty()) {
        const TSRecordLine record = LexSRecordLine(TakeLine(text));
        if (record.Type != '1') continue;
        if (!record.Whole) {
            ++summary.SkippedRecords;
            continue;
        }
        uint16_t address = static_cast<uint16_t>(record.Address);
        for (size_t pos = 0; pos < record.DataText.size(); pos += 2)
            image[address++].Assign(record.DataText.substr(pos, 2));
        ++summary.DataRecords;
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
