#include "common/SRecord.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

std::string Bytes(const std::vector<uint8_t>& data) {
    std::string text;
    for (uint8_t b : data) text += std::to_string(b) + " ";
    return text;
}

TEST(LexSRecordLine, Fields) {
    const struct {
        const char* line;
        char type;
        int count;
        bool hasAddress;
        uint32_t address;
        const char* dataText;
        const char* data;
        int checksum;
        bool whole;
        bool blank;
        // clang-format off
    } cases[] = {
        {"S1070000860501015A", '1', 7, true, 0x0000, "86050101", "134 5 1 1 ", 0x5A, true, false},
        {"S1070000860501015A\r", '1', 7, true, 0x0000, "86050101", "134 5 1 1 ", 0x5A, true, false},
        {"S1050020ab4c00", '1', 5, true, 0x0020, "ab4c", "171 76 ", 0x00, true, false},
        {"s107b6abAB4cdef0d2", '1', 7, true, 0xB6AB, "AB4cdef0", "171 76 222 240 ", 0xD2, true, false},
        {"S1030030CC", '1', 3, true, 0x0030, "", "", 0xCC, true, false},
        {"S9030000FC", '9', 3, true, 0x0000, "", "", 0xFC, true, false},
        {"S00600004844521B", '0', 6, true, 0x0000, "484452", "72 68 82 ", 0x1B, true, false},
        {"S2070123458605017A", '2', 7, true, 0x012345, "860501", "134 5 1 ", 0x7A, true, false},
        {"S30800B6000086050101", '3', 8, true, 0x00B60000, "860501", "134 5 1 ", 0x01, true, false},
        {"S10400901259trailing junk", '1', 4, true, 0x0090, "12", "18 ", 0x59, true, false},
        {"X1040080017A", '1', 4, true, 0x0080, "01", "1 ", 0x7A, true, false},
        // Short lines: the data that stands is given, the rest is not read.
        {"S1070040860501", '1', 7, true, 0x0040, "860501", "134 5 1 ", -1, false, false},
        {"S10700508", '1', 7, true, 0x0050, "", "", -1, false, false},
        {"S107005", '1', 7, false, 0, "", "", -1, false, false},
        {"S107", '1', 7, false, 0, "", "", -1, false, false},
        {"S10", '1', -1, false, 0, "", "", -1, false, false},
        {"S1", '1', -1, false, 0, "", "", -1, false, false},
        {"S", 0, -1, false, 0, "", "", -1, false, false},
        // Bad digits and counts.
        {"S1060060860G01FF", '1', 6, true, 0x0060, "860G01", "134 ", -1, false, false},
        {"S1050G00860500", '1', 5, false, 0, "8605", "134 5 ", 0x00, false, false},
        {"S1ZZ0040860501FF", '1', -1, true, 0x0040, "", "", -1, false, false},
        {"S1020070", '1', 2, true, 0x0070, "", "", -1, false, false},
        {"S1000070", '1', 0, true, 0x0070, "", "", -1, false, false},
        // Blank lines.
        {"", 0, -1, false, 0, "", "", -1, false, true},
        {"\r", 0, -1, false, 0, "", "", -1, false, true},
        {" \t ", '\t', -1, false, 0, "", "", -1, false, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        const TSRecordLine record = LexSRecordLine(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(record.Type, c.type);
        EXPECT_EQ(record.Count, c.count);
        EXPECT_EQ(record.HasAddress, c.hasAddress);
        EXPECT_EQ(record.Address, c.address);
        EXPECT_EQ(record.DataText, c.dataText);
        EXPECT_EQ(Bytes(record.Data), c.data);
        EXPECT_EQ(record.Checksum, c.whole ? c.checksum : -1);
        EXPECT_EQ(record.Whole, c.whole);
        EXPECT_EQ(record.Blank, c.blank);
    }
}

// Every cut of a record, each in a heap block of exactly its size: a read past
// the line shows under the address sanitizer, and no cut is whole.
TEST(LexSRecordLine, NeverReadsPastTheLine) {
    const std::string record = "S2080123458605017A58";
    for (size_t length = 0; length <= record.size(); ++length) {
        const std::unique_ptr<char[]> block(new char[length > 0 ? length : 1]);
        std::copy_n(record.data(), length, block.get());
        const TSRecordLine lexed = LexSRecordLine(std::string_view(block.get(), length));
        EXPECT_EQ(lexed.Whole, length == record.size()) << length;
        EXPECT_LE(lexed.DataText.size(), 8u) << length;
    }
}

TEST(TakeLine, SplitsAtLineFeedsOnly) {
    std::string_view text = "S1\r\n\nS9";
    EXPECT_EQ(TakeLine(text), "S1\r");
    EXPECT_EQ(TakeLine(text), "");
    EXPECT_EQ(TakeLine(text), "S9");
    EXPECT_TRUE(text.empty());
}

std::string Fixture(const std::string& name) {
    return testsupport::FileBytes(std::string(SRECORD_FIXTURES_DIR) + "/" + name);
}

// Every fixture, lexed line by line: the lexer stays inside each line and
// tells whole S1 records, broken ones and blank lines apart.
TEST(LexSRecordLine, FixtureFiles) {
    const struct {
        const char* file;
        int lines, blank, wholeS1, brokenS1, dataBytes;
        const char* dataText;  // of the whole S1 records, in file order
        // clang-format off
    } cases[] = {
        {"good.S19", 5, 0, 3, 0, 12, "86059710" "20FE" "8E00FF7EB600"},
        {"good_crlf.S19", 5, 0, 3, 0, 12, "86059710" "20FE" "8E00FF7EB600"},
        {"sizes.S19", 5, 0, 4, 0, 50,
         "" "01" "101112131415161718191A1B1C1D1E1F"
         "404142434445464748494A4B4C4D4E4F505152535455565758595A5B5C5D5E5F60"},
        {"lowercase.S19", 3, 0, 2, 0, 6, "ab4cdef0" "ab4c"},
        {"headers_only.S19", 2, 0, 0, 0, 0, ""},
        {"blank_short.S19", 9, 4, 1, 3, 1, "39"},
        {"malformed.S19", 8, 0, 3, 5, 3, "01" "01" "12"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string bytes = Fixture(c.file);
        ASSERT_FALSE(bytes.empty());
        std::string_view text = bytes;
        int lines = 0, blank = 0, wholeS1 = 0, brokenS1 = 0, dataBytes = 0;
        std::string dataText;
        while (!text.empty()) {
            const std::string_view line = TakeLine(text);
            const TSRecordLine record = LexSRecordLine(line);
            ++lines;
            EXPECT_GE(record.DataText.data(), line.data());
            EXPECT_LE(record.DataText.data() + record.DataText.size(), line.data() + line.size());
            blank += record.Blank;
            if (record.Type != '1') continue;
            if (!record.Whole) {
                ++brokenS1;
                continue;
            }
            ++wholeS1;
            dataBytes += static_cast<int>(record.Data.size());
            dataText += record.DataText;
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(blank, c.blank);
        EXPECT_EQ(wholeS1, c.wholeS1);
        EXPECT_EQ(brokenS1, c.brokenS1);
        EXPECT_EQ(dataBytes, c.dataBytes);
        EXPECT_EQ(dataText, c.dataText);
    }
}

}  // namespace
