// Every instruction form of the opcode table, and the spellings of older
// sources, encoded by the assembler and by Debian's dasm, must give the
// same bytes.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/AsciiText.h"
#include "tests/support/TestSupport.h"
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

std::string Hex(const std::string& bytes) {
    std::string out;
    char buffer[4];
    for (unsigned char c : bytes) std::snprintf(buffer, sizeof buffer, "%02X ", c), out += buffer;
    return out;
}

// dasm's bytes for body, assembled from $1000; gaps come out as zeros.
std::string DasmImage(const std::string& body) {
    testsupport::TTempFolder dir("as11m-test");
    testsupport::WriteFileBytes(dir / "source.asm", "\tprocessor 68hc11\n\torg $1000\n" + body + "\n");
    test::ProcessResult dasm = test::RunProgram(DASM_PATH, {"source.asm", "-f3", "-osource.bin"}, dir.Path());
    EXPECT_EQ(dasm.ExitCode, 0) << body << "\n" << dasm.Output;
    return testsupport::FileBytes(dir / "source.bin");
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

    std::string source;
    for (const std::string& line : lines) source += line + "\n";
    std::string reference = DasmImage(source);

    size_t offset = 0;
    for (size_t i = 1; i < assembly.Lines.size(); ++i) {
        const std::vector<uint8_t>& bytes = assembly.Lines[i].Bytes;
        std::string expected = reference.substr(std::min(offset, reference.size()), bytes.size());
        std::string actual(bytes.begin(), bytes.end());
        if (actual != expected)
            FAIL() << lines[i - 1] << "\n  as11m: " << Hex(actual) << "\n  dasm:  " << Hex(expected);
        offset += bytes.size();
    }
    EXPECT_EQ(offset, reference.size());
}

// Memory from $1000 up to the last byte the source puts there, gaps as zeros.
std::string Image(const Assembly& assembly) {
    std::string image;
    for (const AssembledLine& line : assembly.Lines) {
        if (line.Bytes.empty()) continue;
        size_t at = line.Address - 0x1000u;
        if (image.size() < at + line.Bytes.size()) image.resize(at + line.Bytes.size(), '\0');
        std::copy(line.Bytes.begin(), line.Bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return image;
}

// Spellings of the sources students bring from Motorola-style assemblers,
// each beside the same program as dasm spells it: dasm knows no closing
// apostrophe, no '&' and no blank inside the operand, and starts comments
// with ';'.
TEST(Encoding, OlderSpellingsMatchTheIndependentEncoder) {
    ASSERT_STRNE(DASM_PATH, "") << "dasm is not installed (scripts/deps.sh installs it)";
    const struct {
        const char* Ours;
        const char* Dasm;
    } cases[] = {
        // an apostrophe and one character, the closing apostrophe optional
        {" LDAA #'?\n CMPB #'z\n LDX #'0", "\tldaa #'?\n\tcmpb #'z\n\tldx #'0"},
        {" LDAA #'A'\n LDAA #'A\n LDAA #'A'+1\n LDAA #'A+1", "\tldaa #'A\n\tldaa #'A\n\tldaa #'A+1\n\tldaa #'A+1"},
        {" LDAA #' \n LDAB #'  presledek\n FCB ' ,1", "\tldaa #' \n\tldab #' ; presledek\n\tdc.b ' ,1"},
        {" FCB '',''','a,'b'", "\tdc.b '','','a,'b"},  // '' and ''' are both the apostrophe
        {" FCB ',,1", "\tdc.b ',,1"},                  // a comma as the character is no separator
        // '&' before a decimal number
        {" LDD #&30053\n LDAA &20\n LDAA &300\n FDB &65535", "\tldd #30053\n\tldaa 20\n\tldaa 300\n\tdc.w 65535"},
        {" RMB &20\n FCB &7,&0", "\tds 20\n\tdc.b 7,0"},
        {" LDAA #&10+$10", "\tldaa #10+$10"},
        // blanks after a comma continue the operand; the next blank begins the comment
        {" FCB 1, 2, 5, 100\n FDB $10,  $20", "\tdc.b 1,2,5,100\n\tdc.w $10,$20"},
        {" LDAB 0, X\n STAA 5,\tY\n FILL $AA, 3", "\tldab 0,x\n\tstaa 5,y\n\tds 3,$AA"},
        {" LDAA 0,X  komentar, 1\n FCB 1,2 komentar, 3\n FCB 1, 2 komentar", "\tldaa 0,x\n\tdc.b 1,2\n\tdc.b 1,2"},
        {" BSET $10, #$40\nL BRSET 0, X, #1, L", "\tbset $10,#$40\nL\tbrset 0,x,#1,L"},
    };
    for (const auto& c : cases) {
        Assembly assembly = Assemble(SplitLines(std::string(" ORG $1000\n") + c.Ours));
        EXPECT_EQ(assembly.ErrorCount(), 0) << c.Ours;
        std::string actual = Image(assembly), expected = DasmImage(c.Dasm);
        EXPECT_EQ(actual, expected) << c.Ours << "\n  as11m: " << Hex(actual) << "\n  dasm:  " << Hex(expected);
    }
}

}  // namespace
}  // namespace as11m
