#include "tools/as11m/Assembler.h"

#include <gtest/gtest.h>

#include <span>

#include "tools/as11m/SourceText.h"

namespace as11m {
namespace {

Assembly AssembleText(std::string_view text) { return Assemble(SplitLines(text)); }

// Every byte the source emits, in line order.
std::vector<uint8_t> Bytes(const Assembly& assembly) {
    std::vector<uint8_t> out;
    for (const AssembledLine& line : assembly.Lines) out.insert(out.end(), line.Bytes.begin(), line.Bytes.end());
    return out;
}

std::vector<LineError> AllErrors(const Assembly& assembly) {
    std::vector<LineError> out;
    for (const AssembledLine& line : assembly.Lines) out.insert(out.end(), line.Errors.begin(), line.Errors.end());
    return out;
}

struct EncodingCase {
    const char* Source;
    std::vector<uint8_t> Expected;
};

TEST(Assembler, SourceLanguage) {
    const EncodingCase cases[] = {
        // numbers and character constants
        {" LDAA #$1f", {0x86, 0x1F}},
        {" LDAA #%1010", {0x86, 0x0A}},
        {" LDAA #@17", {0x86, 0x0F}},
        {" LDAA #200", {0x86, 0xC8}},
        {" LDAA #'A'", {0x86, 0x41}},
        {" LDAA #' '", {0x86, 0x20}},
        {" LDAA #'\t\n LDAA #'\t'", {0x86, 0x09, 0x86, 0x09}},  // a tab is itself, closed or not
        {" LDAA #'č'", {0x86, 0xE8}},
        {" LDAA #'€'", {0x86, 0x80}},
        {" LDAA #-1", {0x86, 0xFF}},
        {" LDAA #-128\n LDAB #255", {0x86, 0x80, 0xC6, 0xFF}},  // both ends of a byte
        {" LDD #-32768\n LDX #$FFFF", {0xCC, 0x80, 0x00, 0xCE, 0xFF, 0xFF}},
        // operators: * and / bind tighter, left to right, unary minus
        {" LDD #2+3*4", {0xCC, 0x00, 0x0E}},
        {" LDD #20-4-3", {0xCC, 0x00, 0x0D}},
        {" LDD #100/7*2", {0xCC, 0x00, 0x1C}},
        {" LDD #--5+-2", {0xCC, 0x00, 0x03}},
        // the location counter, alone and as a term
        {" ORG $1000\n LDX #*", {0xCE, 0x10, 0x00}},
        {" ORG $1000\n NOP\n LDX #**2", {0x01, 0xCE, 0x20, 0x02}},
        // case, labels with colons, comments
        {"loop: ldaa 5,x\n bra loop", {0xA6, 0x05, 0x20, 0xFC}},
        {"* comment\n; comment\n NOP ignored text\n LDAA #1 comment ; more", {0x01, 0x86, 0x01}},
        {" RTS;vrni\n LDAA #1;x", {0x39, 0x86, 0x01}},
        {"L * komentar\n BRA L", {0x20, 0xFE}},
        {"\tLDAA\t,Y", {0x18, 0xA6, 0x00}},
        {" lslb\n lsld\n bhs *\n blo *", {0x58, 0x05, 0x24, 0xFE, 0x25, 0xFE}},
        // direct for known addresses up to $FF, extended otherwise
        {" LDAA $FF\n LDAA $100", {0x96, 0xFF, 0xB6, 0x01, 0x00}},
        {"V EQU $40\n STAA V", {0x97, 0x40}},
        {" STAA V\nV EQU $40", {0xB7, 0x00, 0x40}},  // forward: extended in both passes
        {" JMP $10", {0x7E, 0x00, 0x10}},            // JMP has no direct mode
        {" LDAA 255,X\n STAA 0,Y", {0xA6, 0xFF, 0x18, 0xA7, 0x00}},
        // the farthest branches each way
        {" BRA L\n RMB 127\nL NOP", {0x20, 0x7F, 0x01}},
        {"L RMB 126\n BRA L", {0x20, 0x80}},
        {"L BRSET 0,X #1 L\n RMB 120\n BRCLR 0,X #1 L", {0x1E, 0x00, 0x01, 0xFC, 0x1F, 0x00, 0x01, 0x80}},
        {".loop NOP\n BRA .loop\n_x NOP\n BRA _x", {0x01, 0x20, 0xFD, 0x01, 0x20, 0xFD}},
        {" CPD $10\n LDY $10,X\n STX 1,Y", {0x1A, 0x93, 0x10, 0x1A, 0xEE, 0x10, 0xCD, 0xEF, 0x01}},
        // bit instructions with commas, blanks, or both, '#' optional
        {" BSET $10,#$40\n BSET $10 #$40\n BCLR 5,X #1\n BCLR 5,X,#1\n BSET ,Y $80",
         {0x14, 0x10, 0x40, 0x14, 0x10, 0x40, 0x1D, 0x05, 0x01, 0x1D, 0x05, 0x01, 0x18, 0x1C, 0x00, 0x80}},
        {"L BRSET 0,X #$80 L\n BRCLR $20,#1,L comment", {0x1E, 0x00, 0x80, 0xFC, 0x13, 0x20, 0x01, 0xF8}},
        {"L BRCLR 3,Y,#2,L", {0x18, 0x1F, 0x03, 0x02, 0xFB}},
        // directives
        {" FCB 1,$FF,-1,'a'", {0x01, 0xFF, 0xFF, 0x61}},
        {" FCB -128,255", {0x80, 0xFF}},
        {" FDB $1234,-2", {0x12, 0x34, 0xFF, 0xFE}},
        {" FCC /a b/\n FCC \"x/\"", {0x61, 0x20, 0x62, 0x78, 0x2F}},
        {" FCC ,Ščž,", {0x8A, 0xE8, 0x9E}},
        {" BSZ 2\n ZMB 1\n FILL $AA,3", {0, 0, 0, 0xAA, 0xAA, 0xAA}},
        {" FILL $AA,0\n FCC //\n NOP", {0x01}},
        {" OPT l\n PAGE\n NAM x\n TTL t\n SPC 2\n NOP", {0x01}},
        {" NOP\n END\n NOP\n garbage after end", {0x01}},
        {"A EQU B+1\nB EQU C*2\nC EQU 3\n LDAA #A", {0x86, 0x07}},  // chained forward equates
    };
    for (const EncodingCase& c : cases) {
        Assembly assembly = AssembleText(c.Source);
        EXPECT_EQ(Bytes(assembly), c.Expected) << c.Source;
        EXPECT_EQ(assembly.ErrorCount(), 0) << c.Source;
    }
}

TEST(Assembler, CyclesFollowTheDataBook) {
    const struct {
        const char* Source;
        int Cycles;
    } cases[] = {
        {" ADDA #1", 2},     {" ADDA $10", 3},       {" ADDA $1000", 4}, {" ADDA 0,X", 4}, {" ADDA 0,Y", 5},
        {" LDD #1", 3},      {" LDD $10", 4},        {" LDD 0,Y", 6},    {" LDY #1", 4},   {" CPD #1", 5},
        {" CPD 0,Y", 7},     {" JSR $10", 5},        {" JSR $1000", 6},  {" JSR 0,Y", 7},  {" BSET $10,#1", 6},
        {" BSET 0,Y,#1", 8}, {" BRSET 0,X,#1,*", 7}, {" BNE *", 3},      {" PSHX", 4},     {" RTI", 12},
        {" WAI", 14},        {" IDIV", 41},          {" FCB 1", -1},     {" NOP", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(AssembleText(c.Source).Lines[0].Cycles, c.Cycles) << c.Source;
}

TEST(Assembler, AddressesAndLabels) {
    Assembly assembly = AssembleText(
        "        ORG $B600\n"
        "START   LDS #$FF\n"
        "BUF     RMB 4\n"
        "NEXT    EQU *\n"
        "        ORG $20\n"
        "HERE\n"
        "        FCB 1\n");
    ASSERT_EQ(assembly.Lines.size(), 7u);
    EXPECT_FALSE(assembly.Lines[0].HasAddress);  // ORG
    EXPECT_TRUE(assembly.Lines[1].HasAddress);
    EXPECT_EQ(assembly.Lines[1].Address, 0xB600);
    EXPECT_EQ(assembly.Lines[1].Cycles, 3);
    EXPECT_TRUE(assembly.Lines[2].HasAddress);  // RMB reserves memory
    EXPECT_EQ(assembly.Lines[2].Address, 0xB603);
    EXPECT_TRUE(assembly.Lines[2].Bytes.empty());
    EXPECT_FALSE(assembly.Lines[3].HasAddress);  // EQU
    EXPECT_FALSE(assembly.Lines[5].HasAddress);  // label only
    EXPECT_EQ(assembly.Lines[6].Address, 0x20);
    EXPECT_EQ(assembly.Lines[6].Cycles, -1);
    EXPECT_EQ(assembly.Symbols.at("START"), 0xB600);
    EXPECT_EQ(assembly.Symbols.at("BUF"), 0xB603);
    EXPECT_EQ(assembly.Symbols.at("NEXT"), 0xB607);
    EXPECT_EQ(assembly.Symbols.at("HERE"), 0x20);

    // Lines that put nothing into memory have no address.
    assembly = AssembleText(" FCC //\n FILL 1,0\nV EQU 1\nV EQU 2\n LDAA #V");
    EXPECT_FALSE(assembly.Lines[0].HasAddress);
    EXPECT_FALSE(assembly.Lines[1].HasAddress);
    EXPECT_EQ(assembly.Symbols.at("V"), 1) << "a redefinition keeps the first value";
    EXPECT_EQ(assembly.Lines[4].Bytes, (std::vector<uint8_t>{0x86, 0x01}));
}

TEST(Assembler, ReservationsMayReachTheEndOfMemory) {
    Assembly reserved = AssembleText(" ORG 0\n RMB $10000");
    EXPECT_EQ(reserved.ErrorCount(), 0);
    EXPECT_TRUE(reserved.Lines[1].HasAddress);
    EXPECT_EQ(reserved.Lines[1].Address, 0x0000);
    EXPECT_TRUE(reserved.Lines[1].Bytes.empty());

    Assembly zeroed = AssembleText(" ORG 0\n BSZ $10000");
    EXPECT_EQ(zeroed.ErrorCount(), 0);
    EXPECT_EQ(zeroed.Lines[1].Bytes, std::vector<uint8_t>(0x10000, 0));

    Assembly filled = AssembleText(" ORG $FF00\n FILL $AA,$100");
    EXPECT_EQ(filled.ErrorCount(), 0);
    EXPECT_EQ(filled.Lines[1].Bytes, std::vector<uint8_t>(0x100, 0xAA));

    // One byte more is past the end, wherever it is asked for.
    for (const char* source :
         {" ORG 1\n RMB $10000", " RMB $10001", " ORG 0\n RMB $10000\n NOP", " ORG $FF00\n FILL 0,$101"}) {
        Assembly assembly = AssembleText(source);
        EXPECT_EQ(AllErrors(assembly), (std::vector<LineError>{{ErrorKind::ValueTruncated, ""}})) << source;
        EXPECT_TRUE(Bytes(assembly).size() <= 0x100) << source;
    }
}

TEST(Assembler, LabelsAreCaseSensitive) {
    Assembly assembly = AssembleText("zanka NOP\nZANKA NOP\n BRA Zanka");
    ASSERT_EQ(AllErrors(assembly).size(), 1u);
    EXPECT_EQ(AllErrors(assembly)[0], (LineError{ErrorKind::SymbolUndefined, "Zanka"}));
}

struct ErrorCase {
    const char* Source;
    int Line;
    LineError Expected;
};

void ExpectOneErrorEach(std::span<const ErrorCase> cases) {
    for (const ErrorCase& c : cases) {
        Assembly assembly = AssembleText(c.Source);
        std::vector<LineError> errors = AllErrors(assembly);
        ASSERT_EQ(errors.size(), 1u) << c.Source;
        EXPECT_EQ(errors[0], c.Expected) << c.Source;
        EXPECT_EQ(assembly.Lines[c.Line - 1].Errors.size(), 1u) << c.Source;
    }
}

TEST(Assembler, EachErrorHasItsMessage) {
    const ErrorCase cases[] = {
        {" BNQ x", 1, {ErrorKind::UnrecognizedMnemonic, "BNQ"}},
        {"L bogus", 1, {ErrorKind::UnrecognizedMnemonic, "bogus"}},
        {" LDAA #$1G", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" LDAA #%102", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" LDAA #12A", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" LDAA #$", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" LDAA #'", 1, {ErrorKind::InvalidNumericConstant, ""}},  // the line ends at the apostrophe
        {" FCB 1,'", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" LDAA #&", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" LDAA #&x", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" FCB &$10", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" RMB &1F", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" FCC /日/", 1, {ErrorKind::InvalidNumericConstant, ""}},
        {" FCC /\u0080/", 1, {ErrorKind::InvalidNumericConstant, ""}},  // a control character with no byte
        {" LDAA #256", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDAA #-129", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDX #$10000", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDAA 256,X", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDAA -1,X", 1, {ErrorKind::ValueTruncated, ""}},
        {" FCB 300", 1, {ErrorKind::ValueTruncated, ""}},
        {" FDB 70000", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDAA $10000", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDD #$123456789ABCDEF", 1, {ErrorKind::ValueTruncated, ""}},
        {" BSET $100,#1", 1, {ErrorKind::ValueTruncated, ""}},
        {" BSET $10,#$100", 1, {ErrorKind::ValueTruncated, ""}},
        {" BRCLR $10,#-129,*", 1, {ErrorKind::ValueTruncated, ""}},
        {" LDD #-$10000*$10000+$FFFFFFFF+1", 1, {ErrorKind::ValueTruncated, ""}},  // too large on the way
        {" ORG $FFFF\n FDB 1", 2, {ErrorKind::ValueTruncated, ""}},
        {" ORG $FFFE\n RMB 3", 2, {ErrorKind::ValueTruncated, ""}},
        {"1ABC NOP", 1, {ErrorKind::IllegalFirstCharacterInLabel, "1ABC"}},
        {"#X EQU 4", 1, {ErrorKind::IllegalFirstCharacterInLabel, "#X"}},
        {" LDAA NIC", 1, {ErrorKind::SymbolUndefined, "NIC"}},
        {" ORG LATER\nLATER EQU 5", 1, {ErrorKind::SymbolUndefined, "LATER"}},
        {" RMB N\nN EQU 2", 1, {ErrorKind::SymbolUndefined, "N"}},
        {"A EQU NIC", 1, {ErrorKind::SymbolUndefined, "NIC"}},
        {"L NOP\n RMB 200\n BRA L", 3, {ErrorKind::BranchOutOfRange, ""}},
        {" BRA L\n RMB 128\nL NOP", 1, {ErrorKind::BranchOutOfRange, ""}},
        {"L BRSET 0,X #1 L\n RMB 125\n BRCLR 0,X #1 L", 3, {ErrorKind::BranchOutOfRange, ""}},
        {"X1 NOP\nX1 NOP", 2, {ErrorKind::SymbolRedefined, "X1"}},
        {"V EQU 1\nV EQU 2", 2, {ErrorKind::SymbolRedefined, "V"}},
        {" LDAA", 1, {ErrorKind::MissingOperand, ""}},
        {" STAA #1", 1, {ErrorKind::MissingOperand, ""}},
        {" LDAA 5,Z", 1, {ErrorKind::MissingOperand, ""}},
        {" LDAA #1)", 1, {ErrorKind::MissingOperand, ""}},
        {" LDAA #2/0", 1, {ErrorKind::MissingOperand, ""}},
        {" LDAA #'ab'", 1, {ErrorKind::MissingOperand, ""}},  // 'a, then b' that belongs to nothing
        {" FCB 1,,2", 1, {ErrorKind::MissingOperand, ""}},
        {" FCB 1, ,2", 1, {ErrorKind::MissingOperand, ""}},
        {" FCB 1,2,", 1, {ErrorKind::MissingOperand, ""}},  // a trailing comma is an empty element
        {" FDB 1,  ; komentar", 1, {ErrorKind::MissingOperand, ""}},
        {" FCB 1, komentar", 1, {ErrorKind::SymbolUndefined, "komentar"}},  // the blank follows a comma
        {" FCC /open", 1, {ErrorKind::MissingOperand, ""}},
        {" EQU 5", 1, {ErrorKind::MissingOperand, ""}},
        {" BSET $10", 1, {ErrorKind::MissingOperand, ""}},
        {" BRSET $10,#1", 1, {ErrorKind::MissingOperand, ""}},
        {" FILL 1", 1, {ErrorKind::MissingOperand, ""}},
        {"A+B NOP", 1, {ErrorKind::MissingOperand, ""}},
    };
    ExpectOneErrorEach(cases);
}

// Spellings of other assemblers' dialects are not read as theirs.
TEST(Assembler, OtherDialectsStayErrors) {
    const ErrorCase cases[] = {
        {" DB 1,2", 1, {ErrorKind::UnrecognizedMnemonic, "DB"}},
        {" DW $1234", 1, {ErrorKind::UnrecognizedMnemonic, "DW"}},
        {" LDAD #1", 1, {ErrorKind::UnrecognizedMnemonic, "LDAD"}},
        {" CMPD #1", 1, {ErrorKind::UnrecognizedMnemonic, "CMPD"}},
        {" LDAA #(1+2)", 1, {ErrorKind::MissingOperand, ""}},
        {" LDAA (5),X", 1, {ErrorKind::MissingOperand, ""}},
        {"M MACRO", 1, {ErrorKind::UnrecognizedMnemonic, "MACRO"}},
        {" ENDM", 1, {ErrorKind::UnrecognizedMnemonic, "ENDM"}},
        {" INCLUDE \"x.asm\"", 1, {ErrorKind::UnrecognizedMnemonic, "INCLUDE"}},
        {" #include \"x.asm\"", 1, {ErrorKind::UnrecognizedMnemonic, "#include"}},
    };
    ExpectOneErrorEach(cases);
}

TEST(Assembler, ErrorLinesKeepTheirPlaceButEmitNothing) {
    // A wrong line still takes its place, so that later labels do not move,
    // but none of its bytes, not even those before the error, reach memory.
    Assembly assembly = AssembleText(" LDAA NIC\n LDAA #300\n FCB 1,2,\n FCB 1,,2\nX NOP\nX NOP\nL NOP");
    EXPECT_EQ(assembly.Symbols.at("L"), 10);
    EXPECT_EQ(Bytes(assembly), (std::vector<uint8_t>{0x01, 0x01}));
    const uint16_t addresses[] = {0, 3, 5, 7, 8, 9, 10};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_TRUE(assembly.Lines[i].HasAddress) << i;
        EXPECT_EQ(assembly.Lines[i].Address, addresses[i]) << i;
    }
    EXPECT_EQ(assembly.ErrorCount(), 5);
}

TEST(Assembler, OneErrorPerKindAndDetailOnALine) {
    Assembly assembly = AssembleText(" FCB A,A,B");
    EXPECT_EQ(AllErrors(assembly),
              (std::vector<LineError>{{ErrorKind::SymbolUndefined, "A"}, {ErrorKind::SymbolUndefined, "B"}}));
}

TEST(Assembler, DetailsAreSingleBoundedWords) {
    std::string label = "1" + std::string(5000, 'x');
    Assembly assembly = AssembleText(label + " NOP\n \x01\x02 NOP");
    std::vector<LineError> errors = AllErrors(assembly);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].Detail.size(), 40u);
    EXPECT_EQ(errors[1], (LineError{ErrorKind::UnrecognizedMnemonic, "??"}));
}

TEST(Assembler, BadInputNeverCrashes) {
    std::string garbage;
    for (int i = 0; i < 20000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    Assembly assembly = AssembleText(DecodeSource(garbage));
    EXPECT_GT(assembly.ErrorCount(), 0);

    std::string longLine = " FCB " + std::string(200000, '1');
    EXPECT_EQ(AllErrors(AssembleText(longLine)), (std::vector<LineError>{{ErrorKind::ValueTruncated, ""}}));
    std::string longComment = " NOP " + std::string(1000000, ';');
    EXPECT_EQ(AssembleText(longComment).ErrorCount(), 0);
    std::string minuses = " LDAA #" + std::string(1000001, '-') + "1";
    EXPECT_EQ(Bytes(AssembleText(minuses)), (std::vector<uint8_t>{0x86, 0xFF}));
}

TEST(Assembler, LongChainsOfForwardEquates) {
    // Each equate names the one after it: resolved in one sweep, not one per link.
    std::string source = " LDD #E0\n";
    for (int i = 0; i < 50000; ++i) {
        source += 'E';
        source += std::to_string(i);
        source += " EQU E";
        source += std::to_string(i + 1);
        source += "+1\n";
    }
    source += "E50000 EQU 7\nC1 EQU C2\nC2 EQU C1\n";
    Assembly assembly = AssembleText(source);
    EXPECT_EQ(Bytes(assembly), (std::vector<uint8_t>{0xCC, 0xC3, 0x57}));  // 50007
    EXPECT_EQ(AllErrors(assembly),
              (std::vector<LineError>{{ErrorKind::SymbolUndefined, "C2"}, {ErrorKind::SymbolUndefined, "C1"}}));
}

TEST(Assembler, LargeSourceWrapsNothing) {
    // 100,000 lines of 3 bytes run past $FFFF: every line beyond is an error,
    // none is written at a wrapped address.
    std::string source;
    for (int i = 0; i < 100000; ++i) source += " LDX #$1234\n";
    Assembly assembly = AssembleText(source);
    ASSERT_EQ(assembly.Lines.size(), 100000u);
    EXPECT_EQ(assembly.Lines[21844].Address, 0xFFFC);
    EXPECT_EQ(assembly.Lines[21844].Bytes.size(), 3u);
    EXPECT_EQ(assembly.Lines[21845].Address, 0xFFFF);
    EXPECT_TRUE(assembly.Lines[21845].Bytes.empty());  // an error line: not even $FFFF
    EXPECT_FALSE(assembly.Lines[21846].HasAddress);
    EXPECT_EQ(assembly.ErrorCount(), 100000 - 21845);
}

TEST(SourceText, DecodesUtf8OrWindows1250) {
    EXPECT_EQ(DecodeSource("\xEF\xBB\xBFmi\xC5\xA1"), "mi\xC5\xA1");            // UTF-8, mark dropped
    EXPECT_EQ(DecodeSource("mi\x9A \x8A\xE8"), "mi\xC5\xA1 \xC5\xA0\xC4\x8D");  // Windows-1250 š Š č
    EXPECT_EQ(DecodeSource("\x81"), "\xEF\xBF\xBD");                            // undefined in the code page
    EXPECT_EQ(DecodeSource("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");    // a surrogate is no UTF-8
    EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string>{"a"}));
    for (int b = 0x80; b <= 0xFF; ++b) {
        std::string utf8 = DecodeSource(std::string(1, static_cast<char>(b)));
        size_t pos = 0;
        auto c = NextCharacter(utf8, pos);
        ASSERT_TRUE(c);
        if (*c != 0xFFFD) {
            EXPECT_EQ(EncodeWindows1250(*c), b) << b;
        }
    }
}

}  // namespace
}  // namespace as11m
