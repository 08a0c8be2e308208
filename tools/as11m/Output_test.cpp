#include "tools/as11m/Output.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tools/as11m/SourceText.h"

namespace as11m {
namespace {

const char* const kExample =
    "* utripanje\n"
    "        ORG  $0000\n"
    "STEVEC  EQU  $10\n"
    "START   LDAB #STEVEC\n"
    "ZANKA   DECB\n"
    "        BNE  ZANKA\n"
    "        BRA  START\n"
    "        END\n";

std::vector<std::string> ListingLines(std::string_view source, ListingOptions options = {}) {
    return SplitLines(FormatListing(Assemble(SplitLines(source)), "TEMP$$.ASM", options));
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// What the simulator's highlight sees in columns 6-9.
bool HoldsAddress(const std::string& line) {
    return line.size() >= 9 && IsHex(line[5]) && IsHex(line[6]) && IsHex(line[7]) && IsHex(line[8]);
}

TEST(Listing, LayoutOfTheExample) {
    EXPECT_EQ(FormatListing(Assemble(SplitLines(kExample)), "TEMP$$.ASM", {}),
              "   1                      * utripanje\n"
              "   2                              ORG  $0000\n"
              "   3                      STEVEC  EQU  $10\n"
              "   4 0000 C6 10           START   LDAB #STEVEC\n"
              "   5 0002 5A              ZANKA   DECB\n"
              "   6 0003 26 FD                   BNE  ZANKA\n"
              "   7 0005 20 F9                   BRA  START\n"
              "   8                              END\n");
    EXPECT_EQ(ListingLines(kExample, {false, true})[3], "   4 0000 C6 10           [ 2] START   LDAB #STEVEC");
    EXPECT_EQ(ListingLines(kExample, {false, true})[1], "   2                                   ORG  $0000");
}

TEST(Listing, ErrorLinesFollowTheirLine) {
    std::string source = kExample;
    source.replace(source.find("BNE  ZANKA"), 10, "BNQ ZANKA");
    std::vector<std::string> lines = ListingLines(source);
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[5], "   6                              BNQ ZANKA");
    EXPECT_EQ(lines[6], "          -> TEMP$$.ASM,6: Unrecognized Mnemonic: BNQ");

    // Two errors on one line give two error lines, each with one message.
    lines = ListingLines("\n\n\n\n\n\n\n\n\n\n\n FCB NIC,300");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[12], "          -> TEMP$$.ASM,12: Symbol undefined on pass 2: NIC");
    EXPECT_EQ(lines[13], "          -> TEMP$$.ASM,12: Value truncated");
}

TEST(Listing, ErrorLinesShowTheirAddressButNoBytes) {
    const char* source =
        " ORG $100\n"
        " FCB 1, 2, 5\n"
        " FCB 1,,2 komentar\n"
        " LDAA #300\n"
        " NOP\n";
    EXPECT_EQ(FormatListing(Assemble(SplitLines(source)), "e.asm", {false, true}),
              "   1                            ORG $100\n"
              "   2 0100 01 02 05              FCB 1, 2, 5\n"
              "   3 0103                       FCB 1,,2 komentar\n"
              "          -> e.asm,3: Missing or unidentifiable operand\n"
              "   4 0104                 [ 2]  LDAA #300\n"
              "          -> e.asm,4: Value truncated\n"
              "   5 0106 01              [ 2]  NOP\n");
    EXPECT_EQ(FormatSRecords(Assemble(SplitLines(source))), "S1060100010205F0\nS104010601F3\nS9030000FC\n");
}

TEST(Listing, SourceNameCannotMisleadTheLineNumberCut) {
    Assembly assembly = Assemble(SplitLines(" BNQ"));
    std::vector<std::string> lines = SplitLines(FormatListing(assembly, "a,b:c.asm", {}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "          -> a_b_c.asm,1: Unrecognized Mnemonic: BNQ");
}

TEST(Listing, AddressColumnsOnlyOnMemoryLines) {
    // Lines whose text could pass for an address must not: labels and
    // comments like DECA or BEEF, a symbol table, error lines.
    const char* source =
        "DECA EQU $BEEF\n"
        "BEEF\n"
        " ORG $10\n"
        "ABCD\n"
        "* DECA comment\n"
        " NOP\n"
        " RMB 2\n"
        " FCC /0123456789AB/\n"
        " LDAA NIC\n"
        " BOGUS\n";
    std::vector<std::string> lines = ListingLines(source, {true, true});
    std::vector<std::string> withAddress;
    for (const std::string& line : lines)
        if (HoldsAddress(line)) withAddress.push_back(line.substr(0, 9));
    EXPECT_EQ(withAddress,
              (std::vector<std::string>{"   6 0010", "   7 0011", "   8 0013", "   8 0018", "   8 001D", "   9 001F"}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Symbol table"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "          DECA             BEEF"), lines.end());
}

TEST(Listing, LongDataContinuesOnLinesOfItsOwn) {
    std::vector<std::string> lines = ListingLines(" ORG $100\n FCB 1,2,3,4,5,6,7");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "   2 0100 01 02 03 04 05   FCB 1,2,3,4,5,6,7");
    EXPECT_EQ(lines[2], "   2 0105 06 07");
}

TEST(Listing, KeysAndColumnsStayClean) {
    // Keys are the line numbers; tabs and control characters never reach
    // the first columns, and no line holds a form feed.
    std::string source;
    for (int i = 0; i < 10005; ++i) source += (i % 2 ? "\tNOP\n" : "\f NOP ; \x01\n");
    std::vector<std::string> lines = ListingLines(source);
    std::set<std::string> keys;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_EQ(line.find('\f'), std::string::npos);
        EXPECT_EQ(line.substr(0, 9).find('\t'), std::string::npos);
        if (i < 9999) {
            EXPECT_TRUE(keys.insert(line.substr(0, 4)).second) << line;
        }
    }
    EXPECT_EQ(lines[9999].substr(0, 4), "   0");  // 10000 wraps to keep four columns
}

TEST(Listing, ControlCharactersNeverReachTheColumns) {
    // DEL and the other control characters show as '?'; a tab stays a tab.
    std::vector<std::string> lines = ListingLines(
        "\x7FL NOP\n NOP ; a\x7F"
        "b\x1F"
        "c\td");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "   1 0000                 ?L NOP");
    EXPECT_EQ(lines[1], "          -> TEMP$$.ASM,1: Illegal first character in label: ?L");
    EXPECT_EQ(lines[2], "   2 0001 01               NOP ; a?b?c\td");
}

TEST(Listing, ArrowInACommentStaysVerbatim) {
    std::vector<std::string> lines = ListingLines(" NOP  a -> b");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "   1 0000 01               NOP  a -> b");
}

TEST(Listing, SymbolTableUsesFourHexDigits) {
    std::vector<std::string> lines =
        ListingLines("NEG EQU -1\nBIG EQU $12345\nA_VERY_LONG_SYMBOL_NAME NOP", {true, false});
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Symbol table");
    EXPECT_EQ(lines[5], "          A_VERY_LONG_SYMBOL_NAME 0000");
    EXPECT_EQ(lines[6], "          BIG              00012345");
    EXPECT_EQ(lines[7], "          NEG              FFFF");
}

// Checks one S1 record's count, checksum and hex case; returns address and data.
std::pair<unsigned, std::vector<uint8_t>> ParseRecord(const std::string& record) {
    EXPECT_EQ(record.substr(0, 2), "S1");
    for (char c : record.substr(2)) EXPECT_TRUE(IsHex(c) && !(c >= 'a' && c <= 'f')) << record;
    std::vector<uint8_t> values;
    for (size_t i = 2; i + 1 < record.size(); i += 2)
        values.push_back(static_cast<uint8_t>(std::stoi(record.substr(i, 2), nullptr, 16)));
    EXPECT_EQ(values.size(), values[0] + 1u) << record;
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < values.size(); ++i) sum += values[i];
    EXPECT_EQ((~sum & 0xFF), values.back()) << record;
    return {values[1] * 256u + values[2], std::vector<uint8_t>(values.begin() + 3, values.end() - 1)};
}

TEST(SRecords, ExampleObject) {
    EXPECT_EQ(FormatSRecords(Assemble(SplitLines(kExample))), "S10A0000C6105A26FD20F989\nS9030000FC\n");
    EXPECT_EQ(FormatSRecords(Assemble(SplitLines("* nothing"))), "S9030000FC\n");
}

TEST(SRecords, RecordsBreakAtSixteenBytesAndAtEveryGap) {
    Assembly assembly =
        Assemble(SplitLines(" ORG $B600\n"
                            " FILL $AB,40\n"
                            " RMB 2\n"
                            " FCB 1\n"
                            " ORG $10\n"
                            " FDB $1234\n"
                            " ORG $FFFE\n"
                            " FDB $BEEF\n"));
    std::vector<std::string> records = SplitLines(FormatSRecords(assembly));
    ASSERT_EQ(records.size(), 7u);
    std::vector<std::pair<unsigned, size_t>> layout;
    for (size_t i = 0; i + 1 < records.size(); ++i) {
        auto [address, data] = ParseRecord(records[i]);
        EXPECT_FALSE(data.empty());
        EXPECT_LE(data.size(), 16u);
        layout.emplace_back(address, data.size());
    }
    EXPECT_EQ(layout, (std::vector<std::pair<unsigned, size_t>>{
                          {0xB600, 16}, {0xB610, 16}, {0xB620, 8}, {0xB62A, 1}, {0x10, 2}, {0xFFFE, 2}}));
    EXPECT_EQ(records.back(), "S9030000FC");
}

}  // namespace
}  // namespace as11m
