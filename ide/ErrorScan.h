// The error scan behind the error-finding window (unit Unit2): the
// assembler's English messages found in the listing, translated into the
// report TEMP$$.RPT, or, for a clean listing, the dump of the object code.
// Qt-free; the window only shows what the scan returns.
#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace Vantrel {

struct TMessagePair {
    std::string_view English;    // as the assembler writes it, searched for
    std::string_view Slovenian;  // as the report writes it
};

// The eight messages, searched in this order; each begins with a blank.
inline constexpr std::array<TMessagePair, 8> AssemblerMessageTable{{
    {" Unrecognized Mnemonic:", " Neprepoznana operacija:"},
    {" Invalid numeric constant", " Nepravilna konstanta!"},
    {" Value truncated", " Operand presega nabor dovoljenih števil!"},
    {" Illegal first character in label:", " Prvi znak labele nedovoljen:"},
    {" Symbol undefined on pass 2:", " Nedefiniran simbol:"},
    {" Branch out of range", " Vejitev izven dosega!"},
    {" Symbol redefined:", " Večkrat definirani simbol:"},
    {" Missing or unidentifiable operand", " Manjkajoč ali nepravilen operand!"},
}};

inline constexpr char NoErrorsLine[] = "V datoteki ni odkritih napak!";
// The error-finding window's box when the listing or the object file cannot be read.
inline constexpr char ScanFileErrorText[] =
    "Napaka pri odpiranju datoteke!\n(Verjetno zaradi napačnega imena datoteke)";

// The line number of an error line: the text after the first "," up to the
// first ": ", in the line's own case. Empty when there is no ": " or it
// comes first; from the start of the line when there is no ",".
std::string ErrorLineNumber(std::string_view line);

// The report lines one listing line gives: one per message of the table
// that the line holds (letter case ignored), in table order; none when the
// line has no " ->".
std::vector<std::string> ReportLinesFor(std::string_view line);

// "Število odkritih napak: N."
std::string ErrorCountLine(int count);
// "Dolžina programske kode je N zlogov"
std::string CodeLengthLine(int bytes);

// The object-code dump of an S-record text with the length line, as the
// report holds it (CR LF line ends): for each S1 record a line end and its
// data characters as they stand, each followed by a blank. Blank lines are
// passed over; false for an S1 record that is not whole (shorter than its
// count, a count or a character that is not hex).
bool DumpObjectText(std::string_view records, std::string* dump);

// Reads the object file and appends its dump to the report; false when the
// file cannot be read or a record is not whole (nothing is appended then).
bool DumpObjectCode(const std::string& objectName, std::ostream& report);

struct TScanResult {
    bool FileError = false;  // the scan ended on a file error
    int ErrorCount = 0;
    // The one line the window shows; a file error keeps what came before it
    // (the count line, or the no-errors line before a failed dump).
    std::string WindowLine;
};

// The scan of the error-finding window, on files named relative to the
// current directory: the report is created anew, the listing scanned, and
// the listing and the object file erased as the outcome asks (keepListing:
// the option "Ustvari"). Sets ErrorsFound; a scan that ends on a file error
// counts as failed, so nothing stale can be programmed.
TScanResult ScanListing(const std::string& listingName, const std::string& reportName, const std::string& objectName,
                        bool keepListing);

}  // namespace Vantrel
