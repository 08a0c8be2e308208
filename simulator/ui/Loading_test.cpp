#include "simulator/ui/Loading.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/ListingFields.h"
#include "simulator/ui/UnitPisava.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace VantrelSIM {
namespace {

std::unique_ptr<TMemoryImage> Blank() { return std::make_unique<TMemoryImage>(); }

std::string Cells(const TMemoryImage& image, uint16_t first, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += image[static_cast<uint16_t>(first + i)].Str() + " ";
    return text;
}

}  // namespace

TEST(LoadS19Text, StoresDataOfS1RecordsVerbatim) {
    struct Case {
        const char* name;
        std::string text;
        uint16_t first;
        std::string cells;  // 4 cells from first
        int loaded, skipped;
    } cases[] = {
        {"plain record", "S1070000860501015A\n", 0x0000, "86 05 01 01 ", 1, 0},
        {"CRLF lines, S0 and S9 ignored", "S00600004844521B\r\nS1050010AB01FF\r\nS9030000FC\r\n", 0x0010,
         "AB 01 00 00 ", 1, 0},
        {"lower-case data kept as text", "S1050020ab4c00\n", 0x0020, "ab 4c 00 00 ", 1, 0},
        {"count 3 stores nothing", "S1030030CC\n", 0x0030, "00 00 00 00 ", 1, 0},
        {"truncated record does not swallow the next line", "S1070040860501\nS1040044017A\n", 0x0040, "00 00 00 00 ", 1,
         1},
        {"truncated record skipped, the next one loads", "S10700508605\nS1040053017A\n", 0x0050, "00 00 00 01 ", 1, 1},
        {"non-hex data skips the whole record", "S1060060860G01FF\n", 0x0060, "00 00 00 00 ", 0, 1},
        {"count below three is malformed", "S1020070\n", 0x0070, "00 00 00 00 ", 0, 1},
        {"bytes past $FFFF wrap to $0000", "S106FFFE010203FF\n", 0xFFFE, "01 02 03 00 ", 1, 0},
        {"record mark not examined", "X1040080017A\n", 0x0080, "01 00 00 00 ", 1, 0},
        {"last line without newline", "S1040090017A", 0x0090, "01 00 00 00 ", 1, 0},
    };
    for (const Case& c : cases) {
        auto image = Blank();
        const TS19Summary summary = LoadS19Text(c.text, *image);
        EXPECT_EQ(Cells(*image, c.first, 4), c.cells) << c.name;
        EXPECT_EQ(summary.DataRecords, c.loaded) << c.name;
        EXPECT_EQ(summary.SkippedRecords, c.skipped) << c.name;
    }
}

TEST(LoadS19Text, KeepsCellsTheFileDoesNotLoad) {
    auto image = Blank();
    (*image)[0x0003].Assign("7E");
    LoadS19Text("S1050000010100\n", *image);
    EXPECT_EQ(Cells(*image, 0, 4), "01 01 00 7E ");
}

TEST(ObjectFileName, ReplacesTheLastExtensionOfTheName) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/ana/prog.LST", "/home/ana/prog.S19"},
        {"/home/ana/.local/work/TEMP$$.LST", "/home/ana/.local/work/TEMP$$.S19"},
        {"/home/ana/proj.v2/utripanje.lst", "/home/ana/proj.v2/utripanje.S19"},
        {"/home/ana/proj.v2/listing", "/home/ana/proj.v2/listing.S19"},
        {"a.b.listing", "a.b.S19"},
    };
    for (const auto& [listing, object] : cases) EXPECT_EQ(ObjectFileName(listing), object) << listing;
}

TEST(ListingLine, KeyAddressAndCursorAddress) {
    struct Case {
        std::u16string_view line;
        std::u16string_view key;
        int address;
        uint16_t cursor;
    } cases[] = {
        {u"0002 0000 86 05      START   LDAA #$05", u"0002", 0x0000, 0x0000},
        {u"0010 b601 41                 FCB $41", u"0010", 0xB601, 0xB601},
        {u"0007                         END", u"0007", -1, 0x0000},
        {u"0012 12ZZ", u"0012", -1, 0x1200},
        {u"0013 12", u"0013", -1, 0x1200},  // short line: missing digits count as zero
        {u"001", u"001", -1, 0x0000},
        {u"", u"", -1, 0x0000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListingKey(c.line), c.key) << ::testing::PrintToString(c.line);
        EXPECT_EQ(ListingAddress(c.line), c.address) << ::testing::PrintToString(c.line);
        EXPECT_EQ(CursorAddress(c.line), c.cursor) << ::testing::PrintToString(c.line);
    }
    EXPECT_TRUE(IsBreakpointKey({"0001", "00a2"}, "00A2"));
    EXPECT_FALSE(IsBreakpointKey({"0001"}, "001"));
}

TEST(AdValueForPosition, RoundsHalvesToEven) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 4}, {16, 64}, {32, 128}, {48, 191}, {63, 251}, {64, 255}};
    for (const auto& [position, value] : cases) EXPECT_EQ(AdValueForPosition(position), value) << position;
}

TEST(LoadS19Text, SharedFixtureFiles) {
    struct Case {
        const char* file;
        uint16_t first;
        std::string cells;  // 4 cells from first
        int loaded, skipped;
    } cases[] = {
        {"good.S19", 0x0000, "86 05 97 10 ", 3, 0},         {"good_crlf.S19", 0xB600, "8E 00 FF 7E ", 3, 0},
        {"sizes.S19", 0x015E, "5E 5F 60 00 ", 4, 0},        {"lowercase.S19", 0xB6AB, "ab 4c de f0 ", 2, 0},
        {"headers_only.S19", 0x0000, "00 00 00 00 ", 0, 0}, {"blank_short.S19", 0x002F, "00 39 00 00 ", 1, 3},
        {"malformed.S19", 0x0050, "00 00 00 00 ", 3, 5},
    };
    for (const Case& c : cases) {
        const std::string text = testsupport::FileBytes(std::string(SRECORD_FIXTURES_DIR) + "/" + c.file);
        ASSERT_FALSE(text.empty()) << c.file;
        auto image = Blank();
        const TS19Summary summary = LoadS19Text(text, *image);
        EXPECT_EQ(Cells(*image, c.first, 4), c.cells) << c.file;
        EXPECT_EQ(summary.DataRecords, c.loaded) << c.file;
        EXPECT_EQ(summary.SkippedRecords, c.skipped) << c.file;
    }
}

}  // namespace VantrelSIM
