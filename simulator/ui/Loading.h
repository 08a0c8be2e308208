// The simulator's reading of an assembler's output: the S-record object file
// and its name beside the listing. No Qt: the model's tests can use it too.
#pragma once

#include "simulator/Hc11.h"

#include <string>
#include <string_view>

namespace VantrelSIM {

struct TS19Summary {
    int DataRecords = 0;     // S1 records stored
    int SkippedRecords = 0;  // S1 records dropped as malformed
};

// Stores the data of every S1 record of `text` into image, each byte as the
// two characters that stand in the file (letter case kept). A record is
// read within its own line; one with a bad count, a non-hex digit or a short
// line is skipped whole. S9 and every other line change nothing; checksums
// and the record mark are not examined. Addresses past $FFFF wrap to $0000.
TS19Summary LoadS19Text(std::string_view text, TMemoryImage& image);

// The object file of a listing: the listing's name with the extension of its
// last component replaced by ".S19" (appended when there is none).
std::string ObjectFileName(const std::string& listingName);

}  // namespace VantrelSIM
