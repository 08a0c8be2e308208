// The record stream for given S19 files: record order, skipped and split
// records, refused records, the capacity limit and the gauge's values.
#include "downloader/RecordStream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace Tolvex;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Le;

namespace {

using Bytes = std::vector<uint8_t>;

std::string Fixture(const char* name) {
    std::ifstream in(std::string(SRECORD_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return text.str();
}

// The stream's records, then the end byte.
Bytes Stream(std::initializer_list<Bytes> records) {
    Bytes all;
    for (const Bytes& r : records)
        for (uint8_t byte : r) all.push_back(byte);
    all.push_back(0xFF);
    return all;
}

Bytes Range(uint8_t first, int count) {
    Bytes data;
    for (int i = 0; i < count; ++i) data.push_back(static_cast<uint8_t>(first + i));
    return data;
}

// One record as it goes out: count, address, data, two fillers.
Bytes Record(uint16_t address, const Bytes& data) {
    Bytes r{static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
    for (uint8_t byte : data) r.push_back(byte);
    r.push_back(0x00);
    r.push_back(0x00);
    return r;
}

TEST(EepromRecordStream, GivenFilesGiveTheirRecordsInFileOrder) {
    const Bytes good = Stream({Record(0x0000, {0x86, 0x05, 0x97, 0x10}), Record(0x0004, {0x20, 0xFE}),
                               Record(0xB600, {0x8E, 0x00, 0xFF, 0x7E, 0xB6, 0x00})});
    struct Row {
        const char* what;
        std::string text;
        Bytes expected;
    };
    const Row rows[] = {
        {"one record of 4 bytes", "S107B600DEADBEEF00\n", Stream({Record(0xB600, {0xDE, 0xAD, 0xBE, 0xEF})})},
        {"many records with gaps", Fixture("good.S19"), good},
        {"CR LF line ends", Fixture("good_crlf.S19"), good},
        {"S0 and S9 only", Fixture("headers_only.S19"), Stream({})},
        {"an empty file", "", Stream({})},
        {"0, 1, 16 and 33 data bytes: none, as given, split at 32", Fixture("sizes.S19"),
         Stream({Record(0x0110, {0x01}), Record(0x0120, Range(0x10, 16)), Record(0x0140, Range(0x40, 32)),
                 Record(0x0160, {0x60})})},
        {"lower-case hex", Fixture("lowercase.S19"),
         Stream({Record(0xB6AB, {0xAB, 0x4C, 0xDE, 0xF0}), Record(0x0020, {0xAB, 0x4C})})},
        {"blank lines between records", "\n\r\nS10400303992\n  \n\t\nS9030000FC", Stream({Record(0x0030, {0x39})})},
        {"a last line without its line end", "S1040040AA00", Stream({Record(0x0040, {0xAA})})},
        {"the mark is not examined; what follows a whole record is not either",
         "X1040080017A\nS10400901259trailing junk\n", Stream({Record(0x0080, {0x01}), Record(0x0090, {0x12})})},
        {"S2 and S5 records add nothing", "S2050100001122\nS5030004F8\nS1040050AA00\n",
         Stream({Record(0x0050, {0xAA})})},
        {"a split record wraps its address at 16 bits", "S124FFF0" + std::string(66, '5') + "00\n",
         Stream({Record(0xFFF0, Bytes(32, 0x55)), Record(0x0010, {0x55})})},
        {"64 data bytes: two whole pieces", "S143C000" + std::string(128, 'A') + "00\n",
         Stream({Record(0xC000, Bytes(32, 0xAA)), Record(0xC020, Bytes(32, 0xAA))})},
    };
    for (const Row& row : rows) {
        const TRecordStream stream = BuildEepromRecordStream(row.text, 10004);
        EXPECT_EQ(stream.Status, TRecordStream::Okay) << row.what;
        EXPECT_EQ(stream.SendBuffer, row.expected) << row.what;
        EXPECT_EQ(stream.SendLength(), static_cast<int>(row.expected.size()) - 1) << row.what;
    }
}

TEST(EepromRecordStream, AMalformedRecordIsRefusedWithItsLine) {
    struct Row {
        const char* what;
        std::string text;
        int line;
        const char* bad;
    };
    const Row rows[] = {
        {"count not hex", "S1ZZ0040860501FF", 1, "S1ZZ0040860501FF"},
        {"count 2", "S1040040AA00\nS1020070\n", 2, "S1020070"},
        {"count 1", "S10100", 1, "S10100"},
        {"count 0", "S100\n", 1, "S100"},
        {"address not hex", "S1050G00860500", 1, "S1050G00860500"},
        {"data not hex", "S1060060860G01FF", 1, "S1060060860G01FF"},
        {"checksum missing", "S1070050860501\r\n", 1, "S1070050860501"},
        {"shorter than its count", "S1130120101112\nS1040040AA00\n", 1, "S1130120101112"},
        {"only the type", "\n\nS1\n", 3, "S1"},
        {"the shared malformed file", Fixture("malformed.S19"), 1, "S1ZZ0040860501FF"},
        {"the shared blank and short lines", Fixture("blank_short.S19"), 5, "S1"},
    };
    for (const Row& row : rows) {
        const TRecordStream stream = BuildEepromRecordStream(row.text, 10004);
        EXPECT_EQ(stream.Status, TRecordStream::BadRecord) << row.what;
        EXPECT_EQ(stream.BadLine, row.line) << row.what;
        EXPECT_EQ(stream.BadText, row.bad) << row.what;
    }
    // A lone "S" has no type: not an S1 record, so nothing to refuse.
    EXPECT_EQ(BuildEepromRecordStream("S\nS1040040AA00\n", 512).Status, TRecordStream::Okay);
}

TEST(EepromRecordStream, TheStreamMustStayBelowTheCapacity) {
    const std::string nine = "S107B6000102030400\n";  // a stream of 9 bytes
    struct Row {
        std::string text;
        int capacity;
        TRecordStream::TStatus status;
    };
    const Row rows[] = {
        {nine, 10, TRecordStream::Okay},    // capacity - 1 bytes
        {nine, 9, TRecordStream::TooLong},  // capacity bytes
        {nine, 5, TRecordStream::TooLong},  // building stops in the data
        {nine, 0, TRecordStream::TooLong},
        {nine, -7, TRecordStream::TooLong},
        {Fixture("headers_only.S19"), 1, TRecordStream::Okay},
        {Fixture("headers_only.S19"), 0, TRecordStream::TooLong},  // even an empty stream
    };
    for (const Row& row : rows) {
        const TRecordStream stream = BuildEepromRecordStream(row.text, row.capacity);
        EXPECT_EQ(stream.Status, row.status) << row.capacity;
        EXPECT_EQ(stream.SendBuffer.back(), 0xFF) << row.capacity;
    }
}

TEST(EepromRecordStream, ALargeFileStopsBuildingAtTheCapacityAndALargeCapacityTakesIt) {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "S123B600" + std::string(64, '7') + "00\n";
    std::vector<int> gauge;
    const TRecordStream small = BuildEepromRecordStream(text, 512, [&](int p) { gauge.push_back(p); });
    EXPECT_EQ(small.Status, TRecordStream::TooLong);
    EXPECT_EQ(small.SendLength(), 512);
    EXPECT_THAT(gauge, Each(Le(100)));
    EXPECT_EQ(gauge.back(), 100);

    const TRecordStream large = BuildEepromRecordStream(text, 20000);
    EXPECT_EQ(large.Status, TRecordStream::Okay);
    EXPECT_EQ(large.SendLength(), 400 * 37);
}

TEST(EepromRecordStream, TheGaugeFollowsEveryDataByteAndNeverDividesByZero) {
    std::vector<int> gauge;
    const auto record = [&](int p) { gauge.push_back(p); };
    // Stream lengths 4..7 after the four data bytes: 7 * 100 / 512 = 1.37.
    BuildEepromRecordStream("S107B6000102030400\n", 512, record);
    EXPECT_THAT(gauge, ElementsAre(1, 1, 1, 1));
    gauge.clear();
    // Lengths 4 and 5 after the first record's data, 11 after the second's
    // (the fillers and the header move no gauge): 33.3, 41.7 and 91.7 %.
    BuildEepromRecordStream("S1050000AABB00\nS1040010CC00\n", 12, record);
    EXPECT_THAT(gauge, ElementsAre(33, 42, 92));
    gauge.clear();
    BuildEepromRecordStream("S107B6000102030400\n", 0, record);
    EXPECT_TRUE(gauge.empty());
}

TEST(DownloaderGauge, RoundsToTheNearestWithHalvesToEven) {
    struct Row {
        int length, capacity, percent;
    };
    for (Row row :
         {Row{7, 512, 1}, Row{1, 200, 0}, Row{3, 200, 2}, Row{5, 200, 2}, Row{7, 200, 4}, Row{1, 2, 50}, Row{1, 3, 33},
          Row{2, 3, 67}, Row{0, 5, 0}, Row{512, 512, 100}, Row{10004, 10004, 100}, Row{21474836, 2147483647, 1}})
        EXPECT_EQ(GaugeProgress(row.length, row.capacity), row.percent) << row.length << " of " << row.capacity;
}

}  // namespace
