#include "ide/ErrorScan.h"

#include "common/AsciiText.h"
#include "common/ListingLine.h"
#include "common/SRecord.h"
#include "ide/Globals.h"
#include "platform/text/TextFile.h"

#include <filesystem>
#include <fstream>

namespace Vantrel {

namespace {

constexpr char LineEnd[] = "\r\n";

}  // namespace

std::string ErrorLineNumber(std::string_view line) {
    const size_t colon = line.find(": ");
    if (colon == std::string_view::npos) return {};
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) return std::string(line.substr(0, colon));
    if (colon < comma) return {};
    return std::string(line.substr(comma + 1, colon - comma - 1));
}

std::vector<std::string> ReportLinesFor(std::string_view line) {
    std::vector<std::string> lines;
    if (!IsListingErrorLine(line)) return lines;
    const std::string upper = UpperAscii(line);
    for (const TMessagePair& pair : AssemblerMessageTable) {
        if (upper.find(UpperAscii(pair.English)) == std::string::npos) continue;
        lines.push_back("> NAPAKA V VRSTICI " + ErrorLineNumber(line) + ": " + std::string(pair.Slovenian));
    }
    return lines;
}

std::string ErrorCountLine(int count) { return "Število odkritih napak: " + std::to_string(count) + "."; }

std::string CodeLengthLine(int bytes) { return "Dolžina programske kode je " + std::to_string(bytes) + " zlogov"; }

bool DumpObjectText(std::string_view records, std::string* dump) {
    std::string out;
    int bytes = 0;
    while (!records.empty()) {
        const TSRecordLine record = LexSRecordLine(TakeLine(records));
        // Bounded by the line: a short or blank line never reads into the next.
        if (record.Blank || record.Type != '1') continue;
        if (!record.Whole) return false;
        out += ' ';
        out += LineEnd;
        for (size_t pos = 0; pos < record.DataText.size(); pos += 2) {
            out += record.DataText.substr(pos, 2);
            out += ' ';
            ++bytes;
        }
    }
    out += LineEnd;
    out += CodeLengthLine(bytes);
    out += LineEnd;
    *dump = std::move(out);
    return true;
}

bool DumpObjectCode(const std::string& objectName, std::ostream& report) {
    std::string records;
    std::string dump;
    if (ReadFileBytes(objectName, &records) != TBytesRead::Okay || !DumpObjectText(records, &dump)) return false;
    report << dump;
    return static_cast<bool>(report);
}

TScanResult ScanListing(const std::string& listingName, const std::string& reportName, const std::string& objectName,
                        bool keepListing) {
    TScanResult result;
    auto fail = [&result] {
        // A scan that could not finish must not let a stale object through.
        ErrorsFound = 1;
        result.FileError = true;
        return result;
    };
    std::ofstream report(reportName, std::ios::binary | std::ios::trunc);
    ErrorsFound = 0;
    if (!report) return fail();

    std::string listing;
    if (ReadTextFile(listingName, &listing, nullptr) != TReadStatus::Okay) return fail();
    std::string_view rest = listing;
    while (!rest.empty()) {
        std::string_view line = TakeLine(rest);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        for (const std::string& reportLine : ReportLinesFor(line)) {
            ErrorsFound = 1;
            report << reportLine << LineEnd;
            ++result.ErrorCount;
        }
    }

    std::error_code ec;
    if (ErrorsFound == 1) {
        result.WindowLine = ErrorCountLine(result.ErrorCount);
        if (!std::filesystem::remove(listingName, ec)) return fail();
        std::filesystem::remove(objectName, ec);
    } else {
        if (!keepListing && !std::filesystem::remove(listingName, ec)) return fail();
        result.WindowLine = NoErrorsLine;
        report << NoErrorsLine << LineEnd;
        if (!DumpObjectCode(objectName, report)) return fail();
    }
    report.close();
    if (!report) return fail();
    return result;
}

}  // namespace Vantrel
