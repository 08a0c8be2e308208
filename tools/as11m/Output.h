// The two files the assembler writes: the listing and the S-record object.
#pragma once

#include <string>
#include <string_view>

#include "tools/as11m/Assembler.h"

namespace as11m {

struct ListingOptions {
    bool SymbolTable = false;  // option s
    bool Cycles = false;       // option c
};

// Columns 1-4 the line number (the simulator's breakpoint key), 6-9 the
// address on lines that emit or reserve memory and on no other line,
// object bytes from 11, the source from 27 (32 with cycle counts). Error
// lines follow their line: ten blanks, "-> name,line: message".
std::string FormatListing(const Assembly& assembly, std::string_view sourceName, const ListingOptions& options);

// S1 records of at most 16 data bytes, upper-case hex, a new record at
// every gap, then S9.
std::string FormatSRecords(const Assembly& assembly);

// The name as it stands in error lines: "," and ":" would mislead the
// development environment's cut of the line number.
std::string ListingSourceName(std::string_view fileName);

}  // namespace as11m
