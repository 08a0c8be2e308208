// The report's dump of the object code on any object file: a dump is made
// only of whole records, holds each data pair as it stands and counts them.
#include "common/SRecord.h"
#include "fuzz/FuzzSupport.h"
#include "ide/ErrorScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    std::string dump = "untouched";
    const bool made = Vantrel::DumpObjectText(text, &dump);

    bool whole = true;
    int bytes = 0;
    std::string pairs;
    for (std::string_view rest = text; !rest.empty();) {
        const TSRecordLine record = LexSRecordLine(TakeLine(rest));
        if (record.Blank || record.Type != '1') continue;
        whole = whole && record.Whole;
        for (size_t pos = 0; pos < record.DataText.size(); pos += 2) {
            pairs += record.DataText.substr(pos, 2);
            ++bytes;
        }
    }
    fuzz::Check(made == whole, "a dump exactly when every S1 record is whole");
    if (!made) {
        fuzz::Check(dump == "untouched", "a refused dump leaves nothing");
        return 0;
    }
    fuzz::Check(dump.ends_with(Vantrel::CodeLengthLine(bytes) + "\r\n"), "the length counts every byte");
    std::string dumped;
    for (char c : dump.substr(0, dump.size() - Vantrel::CodeLengthLine(bytes).size() - 2))
        if (c != ' ' && c != '\r' && c != '\n') dumped += c;
    fuzz::Check(dumped == pairs || pairs.find_first_of(" \r\n") != std::string::npos, "every pair as it stands");
    return 0;
}
