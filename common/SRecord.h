// One line of a Motorola S-record file (*.S19), taken apart into its fields.
// The lexer only reads; each program converts the records in its own way on
// top of it (the simulator's loader, the report's byte dump, the downloader's
// record stream, the RAM download). It never reads past the line it is
// given and reads hex digits in either case.
//
//   S1 13 B600 8E00FF...  7C
//   |  |  |    |          checksum: one byte
//   |  |  |    data: Count - address bytes - 1 bytes
//   |  |  address: 2 bytes (S0, S1, S5, S9), 3 (S2, S8) or 4 (S3, S7)
//   |  count: bytes of address, data and checksum
//   mark and type; the mark is not examined (the readers never check the "S")
//
// Typical use:
//   while (!text.empty()) {
//       const TSRecordLine record = LexSRecordLine(TakeLine(text));
//       if (record.Type != '1') continue;
//       if (!record.Whole) { /* short, bad count or non-hex: the reader's own rule */ }
//       ... record.Address, record.Data or record.DataText ...
//   }
//
// Shared fixture files for every reader's tests: common/testdata (link the
// CMake target common_testdata, then open SRECORD_FIXTURES_DIR "/good.S19").
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct TSRecordLine {
    std::string_view Text;    // the line without its line end
    bool Blank = true;        // empty or nothing but blanks and tabs
    char Mark = 0;            // first character, normally 'S'; 0 on an empty line
    char Type = 0;            // second character ('1' for S1); 0 when the line is shorter
    int Count = -1;           // the count byte; -1 when its two characters are missing or not hex
    int AddressBytes = 2;     // by Type: 3 for S2/S8, 4 for S3/S7, else 2
    bool HasAddress = false;  // the address characters stand on the line and are hex
    uint32_t Address = 0;     // high byte first; 0 without HasAddress
    // The data characters exactly as they stand (letter case kept), two per
    // byte: as many as Count promises and the line holds, cut to whole pairs.
    // Empty when Count is -1 or too small to hold address and checksum.
    std::string_view DataText;
    // A byte per pair of DataText, up to the first pair that is not hex.
    std::vector<uint8_t> Data;
    int Checksum = -1;  // the checksum byte when Whole, else -1 (never verified)
    // Count holds at least the address and the checksum, and every character
    // it promises stands on the line and is hex; what follows is not examined.
    bool Whole = false;
};

// Takes the line apart. A CR at the end of `line` is dropped first.
TSRecordLine LexSRecordLine(std::string_view line);

// The first line of text, without its LF; text then starts after the LF (or
// is empty). A CR before the LF stays for LexSRecordLine to drop.
std::string_view TakeLine(std::string_view& text);
