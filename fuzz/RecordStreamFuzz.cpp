// Tolvex's record stream on any object file and any capacity: a stream that
// is Okay fits the capacity and is made of well-formed records carrying every
// data byte of the file; the gauge never goes backwards.
#include "downloader/RecordStream.h"
#include "fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    // Mostly the sizes a chip has, sometimes anything at all.
    const int capacity =
        provider.ConsumeBool() ? provider.ConsumeIntegralInRange(-4, 70000) : provider.ConsumeIntegral<int>();
    const std::string text = provider.ConsumeRemainingBytesAsString();

    int lastProgress = -1;
    const Tolvex::TRecordStream stream = Tolvex::BuildEepromRecordStream(text, capacity, [&](int progress) {
        fuzz::Check(capacity >= 1, "no gauge without a capacity");
        fuzz::Check(progress >= lastProgress, "the gauge never goes backwards");
        lastProgress = progress;
    });

    fuzz::Check(!stream.SendBuffer.empty() && stream.SendBuffer.back() == Tolvex::StreamEndByte,
                "the stream ends with the end byte");
    if (stream.Status == Tolvex::TRecordStream::BadRecord) {
        fuzz::Check(stream.BadLine >= 1, "a bad record names its line");
        return 0;
    }
    if (stream.Status == Tolvex::TRecordStream::TooLong) {
        fuzz::Check(stream.SendLength() >= capacity, "too long only at the capacity");
        return 0;
    }
    fuzz::Check(stream.SendLength() < capacity, "an Okay stream fits the capacity");

    size_t fileBytes = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const TSRecordLine record = LexSRecordLine(TakeLine(rest));
        if (record.Type == '1') fileBytes += record.Data.size();
    }
    size_t streamBytes = 0;
    const std::vector<uint8_t>& bytes = stream.SendBuffer;
    size_t pos = 0;
    while (pos < static_cast<size_t>(stream.SendLength())) {
        const int count = bytes[pos];
        fuzz::Check(count >= 1 && count <= Tolvex::MaxRecordData, "a record holds 1..32 bytes");
        fuzz::Check(pos + Tolvex::RecordOverhead + count <= static_cast<size_t>(stream.SendLength()),
                    "a record stands whole in the stream");
        fuzz::Check(bytes[pos + 3 + count] == 0 && bytes[pos + 4 + count] == 0, "two fillers close a record");
        streamBytes += static_cast<size_t>(count);
        pos += Tolvex::RecordOverhead + static_cast<size_t>(count);
    }
    fuzz::Check(streamBytes == fileBytes, "every data byte of the file is in the stream");
    return 0;
}
