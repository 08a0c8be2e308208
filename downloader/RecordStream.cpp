#include "downloader/RecordStream.h"

#include <algorithm>

#include "common/SRecord.h"

namespace Tolvex {

int GaugeProgress(int length, int capacity) {
    const long long scaled = 100LL * length;
    long long quotient = scaled / capacity;
    const long long twiceRest = 2 * (scaled % capacity);
    if (twiceRest > capacity || (twiceRest == capacity && quotient % 2 != 0)) ++quotient;
    return static_cast<int>(quotient);
}

namespace {

class TStreamBuilder {
public:
    TStreamBuilder(int capacity, const std::function<void(int)>& progress) : Capacity(capacity), Progress(progress) {}

    // The stream has reached the capacity: building stops.
    bool Full() const { return static_cast<long long>(Bytes.size()) >= Capacity; }

    // One record of at most MaxRecordData bytes; false once full.
    bool AppendRecord(uint16_t address, const uint8_t* data, int count) {
        Bytes.push_back(static_cast<uint8_t>(count));
        Bytes.push_back(static_cast<uint8_t>(address >> 8));
        Bytes.push_back(static_cast<uint8_t>(address));
        for (int i = 0; i < count; ++i) {
            Bytes.push_back(data[i]);
            // The gauge shows the building, not the sending.
            if (Capacity >= 1 && Progress) Progress(GaugeProgress(static_cast<int>(Bytes.size()), Capacity));
            if (Full()) return false;
        }
        Bytes.push_back(0x00);
        Bytes.push_back(0x00);
        return !Full();
    }

    TRecordStream Finish(TRecordStream::TStatus status) {
        TRecordStream stream;
        stream.Status = status;
        stream.SendBuffer = std::move(Bytes);
        stream.SendBuffer.push_back(StreamEndByte);
        return stream;
    }

private:
    const int Capacity;
    const std::function<void(int)>& Progress;
    std::vector<uint8_t> Bytes;
};

}  // namespace

TRecordStream BuildEepromRecordStream(std::string_view text, int capacity, const std::function<void(int)>& progress) {
    TStreamBuilder builder(capacity, progress);
    int lineNumber = 0;
    while (!text.empty()) {
        const TSRecordLine record = LexSRecordLine(TakeLine(text));
        ++lineNumber;
        if (record.Type != '1') continue;
        if (!record.Whole) {
            TRecordStream bad = builder.Finish(TRecordStream::BadRecord);
            bad.BadLine = lineNumber;
            bad.BadText = std::string(record.Text);
            return bad;
        }
        const int count = static_cast<int>(record.Data.size());
        for (int offset = 0; offset < count; offset += MaxRecordData) {
            const int piece = std::min(MaxRecordData, count - offset);
            const auto address = static_cast<uint16_t>(record.Address + offset);
            if (!builder.AppendRecord(address, record.Data.data() + offset, piece))
                return builder.Finish(TRecordStream::TooLong);
        }
    }
    // Even an empty stream needs a capacity of at least one byte.
    if (builder.Full()) return builder.Finish(TRecordStream::TooLong);
    return builder.Finish(TRecordStream::Okay);
}

}  // namespace Tolvex
