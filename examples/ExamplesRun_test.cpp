// Each example's object file, loaded as the simulator loads it, runs for
// thousands of steps without an illegal opcode and does what it says.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "simulator/Hc11.h"
#include "simulator/ui/Loading.h"
#include "tools/as11m/TestSupport.h"

namespace {

using Symbols = std::map<std::string, uint16_t>;

Symbols SymbolTable(const std::string& listing) {
    Symbols symbols;
    size_t start = listing.find("\nSymbol table\n");
    EXPECT_NE(start, std::string::npos);
    if (start == std::string::npos) return symbols;
    std::istringstream in(listing.substr(start + 14));
    std::string name, value;
    while (in >> name >> value) symbols[name] = static_cast<uint16_t>(std::stoul(value, nullptr, 16));
    return symbols;
}

struct Example {
    const char* File;
    // Called before every step with the step's number: the user's stimuli.
    std::function<void(int)> Stimulus;
    std::function<void(const Symbols&)> Check;
};

uint8_t At(const Symbols& symbols, const std::string& name) { return ReadByte(symbols.at(name)); }

TEST(Examples, RunInTheSimulatorModel) {
    const Example examples[] = {
        {"zanka.asm", nullptr,
         [](const Symbols& s) {
             EXPECT_EQ(At(s, "VSOTA"), 36);
             EXPECT_EQ(At(s, "DVOJNA"), 72);
         }},
        {"swi.asm", nullptr,
         [](const Symbols& s) {
             // One call of each service per round: the count and port B keep step.
             int calls = At(s, "KLICI"), port = ReadByte(RegisterAddress::PORTB);
             EXPECT_NE(calls, 0);
             EXPECT_LE(std::abs(calls - port), 1);
         }},
        {"utripanje.asm", nullptr, [](const Symbols& s) { EXPECT_GT(At(s, "STEVEC"), 10); }},
        {"rti.asm", nullptr, [](const Symbols& s) { EXPECT_GE(At(s, "TIKI"), 3); }},
        {"zajem.asm",
         [](int step) {
             if (step % 500 == 250) PinEdgePA0 = 1;
         },
         [](const Symbols& s) {
             EXPECT_EQ(At(s, "ROBOVI"), 20);
             uint16_t period = ReadWord(s.at("PERIODA"));
             EXPECT_GT(period, 500);  // 500 steps of at least 2 cycles, at most 14
             EXPECT_LT(period, 7000);
         }},
        {"pulzi.asm",
         [](int step) {
             if (step % 20 == 10) PinEdgePA7 = 1;
         },
         [](const Symbols& s) {
             EXPECT_EQ(At(s, "VISJI"), 1);
             EXPECT_EQ(ReadByte(RegisterAddress::PACNT), 500 % 256);
             EXPECT_EQ(ReadByte(RegisterAddress::PORTB), 500 % 256);
         }},
        {"ad.asm", [](int) { AdInputValue = 0x5A; },
         [](const Symbols& s) {
             EXPECT_EQ(At(s, "POVPRECJE"), 0x5A);
             EXPECT_EQ(ReadByte(RegisterAddress::PORTB), 0x5A);
         }},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(example.File);
        testsupport::TTempFolder dir;
        std::filesystem::copy_file(std::filesystem::path(EXAMPLES_DIR) / example.File, dir / "TEMP$$.ASM");
        ASSERT_EQ(as11m::test::RunProgram(AS11M_PATH, {"TEMP$$.ASM", "-l", "s"}, dir.Path()).ExitCode, 0);

        ClearModel();
        const VantrelSIM::TS19Summary loaded =
            VantrelSIM::LoadS19Text(testsupport::FileBytes(dir / "TEMP$$.S19"), MemoryImage);
        ASSERT_GT(loaded.DataRecords, 0);
        ASSERT_EQ(loaded.SkippedRecords, 0);
        ResetCpu(0x0000);
        for (int step = 0; step < 10000; ++step) {
            if (example.Stimulus) example.Stimulus(step);
            TStepResult result = SimulationStep();
            ASSERT_FALSE(result.Illegal) << "step " << step << ": " << IllegalOpcodeMessage(result);
        }
        example.Check(SymbolTable(testsupport::FileBytes(dir / "TEMP$$.LST")));
    }
}

}  // namespace
