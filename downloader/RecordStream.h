// EepromRecordStream: the bytes Tolvex sends to the EEPROM talker on the
// board, built from the S1 records of an object file. Per record: the data
// count, the address (high, low), the data and two filler bytes, which the
// talker reads after its XOFF. The start byte $FF goes out before the stream,
// the end byte $FF after it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Tolvex {

// The talker buffers a record in RAM below its own code and holds the line
// with XOFF while it programs; longer records are sent in pieces of this size.
inline constexpr int MaxRecordData = 32;
inline constexpr int RecordOverhead = 5;  // count, address high and low, two fillers
inline constexpr uint8_t StreamStartByte = 0xFF;
inline constexpr uint8_t StreamEndByte = 0xFF;

struct TRecordStream {
    enum TStatus {
        Okay,
        TooLong,    // the stream reached the capacity: "Programska koda je predolga!"
        BadRecord,  // an S1 record with a count below 3 or shorter than its count
    };
    TStatus Status = Okay;
    // The stream without its start byte, followed by the end byte; on TooLong
    // it holds what was built until the capacity was reached.
    std::vector<uint8_t> SendBuffer{StreamEndByte};
    // Bytes of the stream, the end byte not counted.
    int SendLength() const { return static_cast<int>(SendBuffer.size()) - 1; }
    int BadLine = 0;      // 1-based line of the bad record
    std::string BadText;  // that line, without its line end
};

// The share of capacity that length fills, in percent, rounded to the nearest
// integer with halves to even; capacity must be at least 1.
int GaugeProgress(int length, int capacity);

// Builds the stream from the text of an S19 file, line by line. Only S1
// records count (the mark before the type is not examined); blank lines and
// other types add nothing, an S1 record without data is skipped. Progress
// gets the gauge's value after every data byte while capacity is at least 1.
TRecordStream BuildEepromRecordStream(std::string_view text, int capacity,
                                      const std::function<void(int)>& progress = {});

}  // namespace Tolvex
