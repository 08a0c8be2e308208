// The S-record line lexer on any bytes: every field it reports stands within
// the line it was given, and the flags agree with the fields.
#include "common/SRecord.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = fuzz::AsText(data, size);
    while (!text.empty()) {
        const std::string_view line = fuzz::TakeLineChecked(text);
        const TSRecordLine record = LexSRecordLine(line);
        fuzz::Check(record.Text.data() == line.data() && record.Text.size() <= line.size(), "Text is the line");
        fuzz::Check(record.Text.find('\n') == std::string_view::npos, "no line end in Text", line);
        if (!record.DataText.empty()) {
            fuzz::Check(record.DataText.data() >= record.Text.data() &&
                            record.DataText.data() + record.DataText.size() <= record.Text.data() + record.Text.size(),
                        "DataText within the line", line);
            fuzz::Check(record.DataText.size() % 2 == 0, "DataText in whole pairs", line);
        }
        fuzz::Check(record.Data.size() * 2 <= record.DataText.size(), "a byte per pair at most", line);
        fuzz::Check(record.Count >= -1 && record.Count <= 255, "Count is a byte or -1", line);
        if (record.Whole) {
            fuzz::Check(record.HasAddress && record.Checksum >= 0 && record.Checksum <= 255, "Whole has its fields",
                        line);
            fuzz::Check(static_cast<int>(record.Data.size()) == record.Count - record.AddressBytes - 1,
                        "Whole holds Count's data", line);
        } else {
            fuzz::Check(record.Checksum == -1, "no checksum unless Whole", line);
        }
        if (!record.HasAddress) fuzz::Check(record.Address == 0, "no address reads 0", line);
        if (record.AddressBytes == 2) fuzz::Check(record.Address <= 0xFFFF, "two address bytes", line);
    }
    return 0;
}
