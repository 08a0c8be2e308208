// Vantrel's RAM download image on any object file and any RAM size: an image
// that is Ok holds RamSize bytes with every record's data at its address and
// $FF elsewhere; a refusal names a line of the file.
#include "common/SRecord.h"
#include "fuzz/FuzzSupport.h"
#include "ide/Programmer.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const int ramSize =
        provider.ConsumeBool() ? provider.ConsumeIntegralInRange(0, 1024) : provider.ConsumeIntegralInRange(-8, 70000);
    const std::string text = provider.ConsumeRemainingBytesAsString();
    const Vantrel::TRamImage image = Vantrel::BuildRamImage(text, ramSize);

    int lines = 0;
    for (std::string_view rest = text; !rest.empty(); TakeLine(rest)) ++lines;
    if (image.Status != Vantrel::TImageStatus::Ok) {
        fuzz::Check(image.Line >= 1 && image.Line <= lines, "a refusal names a line of the file");
        return 0;
    }
    fuzz::Check(static_cast<int>(image.Bytes.size()) == std::max(ramSize, 0), "the image is RamSize bytes");
    std::vector<bool> written(image.Bytes.size());
    for (std::string_view rest = text; !rest.empty();) {
        const TSRecordLine record = LexSRecordLine(TakeLine(rest));
        if (record.Type != '1') continue;
        fuzz::Check(record.Whole, "an Ok image has only whole records", record.Text);
        for (size_t i = 0; i < record.Data.size(); ++i) {
            const size_t address = record.Address + i;
            fuzz::Check(address < image.Bytes.size(), "an Ok image's data lies in RAM", record.Text);
            written[address] = true;
        }
    }
    for (size_t i = 0; i < written.size(); ++i)
        if (!written[i]) fuzz::Check(image.Bytes[i] == 0xFF, "$FF where no record wrote");
    return 0;
}
