// The simulator's object-file loader on any bytes: every S1 record is either
// stored or counted as skipped, a stored cell holds two hex digits, and no
// more cells change than the whole records hold bytes.
#include "common/NumberText.h"
#include "common/SRecord.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/ui/Loading.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A cell the loader never writes keeps the mark "zz".
    static TMemoryCell untouched = [] {
        TMemoryCell cell;
        cell.Assign("zz");
        return cell;
    }();
    static const auto pristine = [] {
        auto image = std::make_unique<TMemoryImage>();
        image->fill(untouched);
        return image;
    }();
    static const auto image = std::make_unique<TMemoryImage>(*pristine);

    const std::string_view text = fuzz::AsText(data, size);
    const VantrelSIM::TS19Summary summary = VantrelSIM::LoadS19Text(text, *image);

    int records = 0;
    size_t wholeBytes = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const TSRecordLine record = LexSRecordLine(TakeLine(rest));
        if (record.Type != '1') continue;
        ++records;
        if (record.Whole) wholeBytes += record.Data.size();
    }
    fuzz::Check(summary.DataRecords + summary.SkippedRecords == records, "every S1 record stored or skipped");

    // Only the blocks that changed are looked at, then put back.
    constexpr size_t Block = 1024;
    size_t changed = 0;
    for (size_t first = 0; first < image->size(); first += Block) {
        if (std::memcmp(&(*image)[first], &(*pristine)[first], Block * sizeof(TMemoryCell)) == 0) continue;
        for (size_t i = first; i < first + Block; ++i) {
            const TMemoryCell& cell = (*image)[i];
            if (cell == untouched) continue;
            ++changed;
            fuzz::Check(cell.Length == 2 && HexDigitValue(static_cast<unsigned char>(cell.Text[0])) >= 0 &&
                            HexDigitValue(static_cast<unsigned char>(cell.Text[1])) >= 0,
                        "a loaded cell is two hex digits", cell.View());
        }
        std::memcpy(&(*image)[first], &(*pristine)[first], Block * sizeof(TMemoryCell));
    }
    fuzz::Check(changed <= wholeBytes, "no cell beyond the records' data");
    return 0;
}
