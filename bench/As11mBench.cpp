// Assembling a 100,000-line source, without the file writes: both passes,
// then the listing and the object text.
#include <benchmark/benchmark.h>

#include "tools/as11m/Assembler.h"
#include "tools/as11m/Output.h"
#include "tools/as11m/SourceText.h"

namespace {

// A mix of what student programs hold: labels, comments, equates, every
// addressing mode, branches, data. Blocks restart with ORG so that the
// addresses stay below $FFFF.
std::string LargeSource(int lines) {
    static const char* const kBlock[] = {
        "* blok %d\n",
        "        ORG     $%04X\n",
        "K%d     EQU     $10\n",
        "Z%d     LDAA    #K%d          komentar\n",
        "        STAA    $20\n",
        "        LDX     #$1000\n",
        "        BSET    $30,X #$80\n",
        "        LDY     T%d\n",
        "        ADDD    4,Y\n",
        "        DECB\n",
        "        BNE     Z%d\n",
        "        BRCLR   $30,X #$80 Z%d\n",
        "        JSR     $B600\n",
        "T%d     FDB     $1234,Z%d\n",
        "        FCC     /besedilo/\n",
        "        RMB     4\n",
    };
    constexpr int kBlockLines = sizeof kBlock / sizeof kBlock[0];
    std::string source;
    char buffer[128];
    for (int block = 0; static_cast<int>(block * kBlockLines) < lines; ++block) {
        for (int i = 0; i < kBlockLines && block * kBlockLines + i < lines; ++i) {
            if (i == 1)
                std::snprintf(buffer, sizeof buffer, kBlock[i], (block % 1000) * 64);
            else
                std::snprintf(buffer, sizeof buffer, kBlock[i], block, block);
            source += buffer;
        }
    }
    return source;
}

void BM_Assemble100000Lines(benchmark::State& state) {
    std::string source = LargeSource(100000);
    for (auto _ : state) {
        as11m::Assembly assembly = as11m::Assemble(as11m::SplitLines(as11m::DecodeSource(source)));
        std::string listing = as11m::FormatListing(assembly, "TEMP$$.ASM", {true, true});
        std::string object = as11m::FormatSRecords(assembly);
        if (assembly.ErrorCount() != 0) state.SkipWithError("the generated source has errors");
        benchmark::DoNotOptimize(listing.data());
        benchmark::DoNotOptimize(object.data());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_Assemble100000Lines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
