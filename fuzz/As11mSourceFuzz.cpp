// as11m on any source bytes: it ends, every error it counts stands in the
// listing where the development environment looks for it, and its object
// file reads back whole in the simulator's loader.
#include "common/ListingLine.h"
#include "common/SRecord.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/ui/Loading.h"
#include "tools/as11m/Assembler.h"
#include "tools/as11m/Output.h"
#include "tools/as11m/SourceText.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    as11m::ListingOptions options;
    options.SymbolTable = data[0] & 1;
    options.Cycles = data[0] & 2;
    const std::string source = as11m::DecodeSource(fuzz::AsText(data + 1, size - 1));
    const std::vector<std::string> lines = as11m::SplitLines(source);

    const as11m::Assembly assembly = as11m::Assemble(lines);
    fuzz::Check(assembly.Lines.size() == lines.size(), "a listing line for every source line");

    const std::string listing = as11m::FormatListing(assembly, "TEMP$$.ASM", options);
    int errorLines = 0;
    for (std::string_view rest = listing; !rest.empty();) {
        const std::string_view line = TakeLine(rest);
        if (line.starts_with("          -> TEMP$$.ASM,") && IsListingErrorLine(line)) ++errorLines;
    }
    fuzz::Check(errorLines == assembly.ErrorCount(), "every error has its error line");

    const std::string object = as11m::FormatSRecords(assembly);
    for (std::string_view rest = object; !rest.empty();) {
        const TSRecordLine record = LexSRecordLine(TakeLine(rest));
        fuzz::Check(record.Whole && (record.Type == '1' || record.Type == '9'), "the object file's records are whole",
                    record.Text);
        unsigned sum = static_cast<unsigned>(record.Count) + (record.Address >> 8) + (record.Address & 0xFF);
        for (uint8_t b : record.Data) sum += b;
        fuzz::Check(((sum + static_cast<unsigned>(record.Checksum)) & 0xFF) == 0xFF, "checksums are right",
                    record.Text);
    }
    static const auto image = std::make_unique<TMemoryImage>();
    const VantrelSIM::TS19Summary summary = VantrelSIM::LoadS19Text(object, *image);
    fuzz::Check(summary.SkippedRecords == 0, "the simulator takes every record");
    return 0;
}
