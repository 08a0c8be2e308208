// The error scan of a listing into the report on any listing and object
// file: every error line counts, an error always blocks the programmer, and
// the report holds what the window says.
#include "common/ListingLine.h"
#include "common/TextEncoding.h"
#include "fuzz/FuzzSupport.h"
#include "ide/ErrorScan.h"
#include "ide/Globals.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool keepListing = provider.ConsumeBool();
    const std::string object = provider.ConsumeRandomLengthString(400);
    const std::string listingBytes = provider.ConsumeRemainingBytesAsString();
    const std::string listing = fuzz::WriteScratchFile("TEMP$$.LST", listingBytes);
    const std::string objectName = fuzz::WriteScratchFile("TEMP$$.S19", object);
    const std::string report = (fuzz::ScratchFolder() / "TEMP$$.RPT").string();

    int expected = 0;
    const std::string text = DecodeText(listingBytes);
    for (std::string_view rest = text; !rest.empty();) {
        std::string_view line = TakeLine(rest);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::vector<std::string> lines = Vantrel::ReportLinesFor(line);
        if (!IsListingErrorLine(line)) fuzz::Check(lines.empty(), "only an error line reports", line);
        expected += static_cast<int>(lines.size());
        Vantrel::ErrorLineNumber(line);
    }

    Vantrel::ErrorsFound = 0;
    const Vantrel::TScanResult result = Vantrel::ScanListing(listing, report, objectName, keepListing);
    if (result.FileError) {
        fuzz::Check(Vantrel::ErrorsFound == 1, "a failed scan blocks the programmer");
        return 0;
    }
    fuzz::Check(result.ErrorCount == expected, "every error line counts");
    fuzz::Check(Vantrel::ErrorsFound == (expected > 0 ? 1 : 0), "errors block the programmer, none free it");
    const std::string written = fuzz::ReadWholeFile(report);
    fuzz::Check(written.find(result.WindowLine) != std::string::npos || expected > 0,
                "the report holds the window's line");
    fuzz::Check(std::filesystem::exists(listing) == (expected == 0 && keepListing), "the listing kept as asked");
    return 0;
}
