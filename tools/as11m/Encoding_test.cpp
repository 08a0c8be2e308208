// Every instruction form of the opcode table, encoded by the assembler and
// by Debian's dasm, must give the same bytes.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/AsciiText.h"
#include "tools/as11m/Assembler.h"
#include "tools/as11m/OpcodeTable.h"
#include "tools/as11m/SourceText.h"
#include "tools/as11m/TestSupport.h"

namespace as11m {
namespace {

// An operand that selects exactly this form; both assemblers read it alike.
std::string OperandFor(AddressMode mode, const std::string& label) {
    switch (mode) {
        case AddressMode::Inherent: return "";
        case AddressMode::Immediate8: return "#$5A";
        case AddressMode::Immediate16: return "#$1234";
        case AddressMode::Direct: return "$45";
        case AddressMode::Extended: return "$1234";
        case AddressMode::IndexedX: return "$45,x";
        case AddressMode::IndexedY: return "$45,y";
        case AddressMode::Relative: return label + "+$30";
        case AddressMode::BitDirect: return "$45,#$5A";
        case AddressMode::BitIndexedX: return "$45,x,#$5A";
        case AddressMode::BitIndexedY: return "$45,y,#$5A";
        case AddressMode::BitBranchDirect: return "$45,#$5A," + label;
        case AddressMode::BitBranchIndexedX: return "$45,x,#$5A," + label;
        case AddressMode::BitBranchIndexedY: return "$45,y,#$5A," + label;
    }
    return "";
}

TEST(Encoding, EveryFormMatchesTheIndependentEncoder) {
    ASSERT_STRNE(DASM_PATH, "") << "dasm is not installed (scripts/deps.sh installs it)";
    std::vector<std::string> lines;
    auto add = [&](std::string_view mnemonic, AddressMode mode) {
        std::string label = std::to_string(lines.size());
        label.insert(0, 1, 'L');
        lines.push_back(label + "\t" + LowerAscii(mnemonic) + "\t" + OperandFor(mode, label));
    };
    for (const OpcodeRow& row : OpcodeTable) add(row.Mnemonic, row.Mode);
    for (const MnemonicAlias& alias : MnemonicAliases)
        for (const OpcodeRow& row : OpcodeTable)
            if (row.Mnemonic == alias.Mnemonic) add(alias.Alias, row.Mode);

    std::vector<std::string> ours = {"\torg $1000"};
    ours.insert(ours.end(), lines.begin(), lines.end());
    Assembly assembly = Assemble(ours);
    ASSERT_EQ(assembly.ErrorCount(), 0);

    test::ScratchDirectory dir;
    std::string source = "\tprocessor 68hc11\n\torg $1000\n";
    for (const std::string& line : lines) source += line + "\n";
    test::WriteText(dir / "forms.asm", source);
    test::ProcessResult dasm = test::RunProgram(DASM_PATH, {"forms.asm", "-f3", "-oforms.bin"}, dir.Path());
    ASSERT_EQ(dasm.ExitCode, 0) << dasm.Output;
    std::string reference = test::ReadText(dir / "forms.bin");

    size_t offset = 0;
    for (size_t i = 1; i < assembly.Lines.size(); ++i) {
        const std::vector<uint8_t>& bytes = assembly.Lines[i].Bytes;
        std::string expected = reference.substr(std::min(offset, reference.size()), bytes.size());
        std::string actual(bytes.begin(), bytes.end());
        if (actual != expected) {
            auto hex = [](const std::string& s) {
                std::string out;
                char buf[4];
                for (unsigned char c : s) std::snprintf(buf, sizeof buf, "%02X ", c), out += buf;
                return out;
            };
            FAIL() << lines[i - 1] << "\n  as11m: " << hex(actual) << "\n  dasm:  " << hex(expected);
        }
        offset += bytes.size();
    }
    EXPECT_EQ(offset, reference.size());
}

}  // namespace
}  // namespace as11m
