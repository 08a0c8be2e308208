// The error scan on real files in a temporary folder: the translation of
// each message, the cut of the line number, the report's exact bytes, the
// object-code dump on the shared S-record fixtures, and what a scan leaves
// behind.
#include "ide/ErrorScan.h"

#include "ide/Globals.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Vantrel {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return testsupport::FileBytes(std::string(SRECORD_FIXTURES_DIR) + "/" + name);
}

TEST(ErrorLineNumber, CutBetweenTheFirstCommaAndTheFirstColonBlank) {
    const struct {
        const char* Line;
        const char* Number;
    } cases[] = {
        {"          -> TEMP$$.ASM,12: Symbol undefined on pass 2: NIC", "12"},
        {"-> a,b,7: x", "b,7"},         // the first comma counts
        {"-> name 7: x", "-> name 7"},  // no comma: from the start
        {"-> x: 3,4", ""},              // colon before comma
        {"-> x,4 no colon", ""},        // no ": "
        {"-> x,4:no blank", ""},
        {"-> x,: y", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorLineNumber(c.Line), c.Number) << c.Line;
}

TEST(ReportLinesFor, EachMessageInItsOwnWordsAndAnyCase) {
    const struct {
        const char* Line;
        std::vector<std::string> Report;
    } cases[] = {
        {" -> T,1: Unrecognized Mnemonic: BNQ", {"> NAPAKA V VRSTICI 1:  Neprepoznana operacija:"}},
        {" -> T,2: Invalid numeric constant", {"> NAPAKA V VRSTICI 2:  Nepravilna konstanta!"}},
        {" -> T,3: Value truncated", {"> NAPAKA V VRSTICI 3:  Operand presega nabor dovoljenih števil!"}},
        {" -> T,4: Illegal first character in label: 1A", {"> NAPAKA V VRSTICI 4:  Prvi znak labele nedovoljen:"}},
        {" -> T,5: Symbol undefined on pass 2: NIC", {"> NAPAKA V VRSTICI 5:  Nedefiniran simbol:"}},
        {" -> T,6: Branch out of range", {"> NAPAKA V VRSTICI 6:  Vejitev izven dosega!"}},
        {" -> T,7: Symbol redefined: X1", {"> NAPAKA V VRSTICI 7:  Večkrat definirani simbol:"}},
        {" -> T,8: Missing or unidentifiable operand", {"> NAPAKA V VRSTICI 8:  Manjkajoč ali nepravilen operand!"}},
        {" -> t,9: VALUE TRUNCATED", {"> NAPAKA V VRSTICI 9:  Operand presega nabor dovoljenih števil!"}},
        // Two messages on one line give two report lines, in table order.
        {" -> T,10: Branch out of range Value truncated",
         {"> NAPAKA V VRSTICI 10:  Operand presega nabor dovoljenih števil!",
          "> NAPAKA V VRSTICI 10:  Vejitev izven dosega!"}},
        {" -> T,11: Phase error", {}},      // unknown message: passed over
        {"  12 0000 Value truncated", {}},  // no marker
    };
    for (const auto& c : cases) EXPECT_EQ(ReportLinesFor(c.Line), c.Report) << c.Line;
}

TEST(DumpObjectText, TheSharedFixtures) {
    const struct {
        const char* File;
        bool Ok;
        std::string Dump;
    } cases[] = {
        {"good.S19", true,
         " \r\n86 05 97 10  \r\n20 FE  \r\n8E 00 FF 7E B6 00 \r\nDolžina programske kode je 12 zlogov\r\n"},
        {"good_crlf.S19", true,
         " \r\n86 05 97 10  \r\n20 FE  \r\n8E 00 FF 7E B6 00 \r\nDolžina programske kode je 12 zlogov\r\n"},
        {"headers_only.S19", true, "\r\nDolžina programske kode je 0 zlogov\r\n"},
        // Lower-case data stands as it was written.
        {"lowercase.S19", true, " \r\nab 4c de f0  \r\nab 4c \r\nDolžina programske kode je 6 zlogov\r\n"},
        {"sizes.S19", true,
         " \r\n \r\n01  \r\n10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F  \r\n"
         "40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F 60 "
         "\r\nDolžina programske kode je 50 zlogov\r\n"},
        // Short records never read into the next line: a file error.
        {"blank_short.S19", false, ""},
        {"malformed.S19", false, ""},
    };
    for (const auto& c : cases) {
        std::string dump = "untouched";
        EXPECT_EQ(DumpObjectText(Fixture(c.File), &dump), c.Ok) << c.File;
        EXPECT_EQ(dump, c.Ok ? c.Dump : "untouched") << c.File;
    }
}

TEST(DumpObjectText, LineByLine) {
    const struct {
        const char* Records;
        bool Ok;
        const char* Dump;
    } cases[] = {
        // Three and two data bytes.
        {"S1060000AABBCC00\nS1050003DDEE00\nS9030000FC\n", true,
         " \r\nAA BB CC  \r\nDD EE \r\nDolžina programske kode je 5 zlogov\r\n"},
        // Blank lines between records are passed over.
        {"S1040000AA00\n\n   \r\nS1040001BB00\n", true, " \r\nAA  \r\nBB \r\nDolžina programske kode je 2 zlogov\r\n"},
        // No data: the record's line holds a blank.
        {"S1030000FC\n", true, " \r\n\r\nDolžina programske kode je 0 zlogov\r\n"},
        // A lower-case count gives the right length.
        {"S10a000001020304050607FF", true, " \r\n01 02 03 04 05 06 07 \r\nDolžina programske kode je 7 zlogov\r\n"},
        // Shorter than its count, and a count below address and checksum.
        {"S1060000AABB\nS1040002CC00\n", false, ""},
        {"S1020000\n", false, ""},
        {"S1\n", false, ""},
        {"", true, "\r\nDolžina programske kode je 0 zlogov\r\n"},
    };
    for (const auto& c : cases) {
        std::string dump;
        EXPECT_EQ(DumpObjectText(c.Records, &dump), c.Ok) << c.Records;
        if (c.Ok) {
            EXPECT_EQ(dump, c.Dump) << c.Records;
        }
    }
}

class ScanTest : public ::testing::Test {
protected:
    ScanTest() {
        fs::current_path(Dir.Path());
        ErrorsFound = 0;
    }
    ~ScanTest() override { fs::current_path(Previous); }
    static void Write(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(testsupport::WriteFileBytes(name, bytes));
    }
    static std::string Read(const std::string& name) {
        return fs::exists(name) ? testsupport::FileBytes(name) : "<missing>";
    }
    TScanResult Scan(bool keepListing) { return ScanListing("TEMP$$.LST", "TEMP$$.RPT", "TEMP$$.S19", keepListing); }

    fs::path Previous = fs::current_path();
    testsupport::TTempFolder Dir;
};

constexpr char CleanListing[] = "   1 0000 86 05            LDAA #5\n   2 0002 20 FE       L    BRA L\n";
constexpr char CleanObject[] = "S1070000860520FE00\nS9030000FC\n";

TEST_F(ScanTest, ACleanListingDumpsTheObjectAndKeepsItsFilesAsAsked) {
    for (const bool keep : {true, false}) {
        Write("TEMP$$.LST", CleanListing);
        Write("TEMP$$.S19", CleanObject);
        ErrorsFound = 1;
        const TScanResult result = Scan(keep);
        EXPECT_FALSE(result.FileError);
        EXPECT_EQ(ErrorsFound, 0);
        EXPECT_EQ(result.WindowLine, "V datoteki ni odkritih napak!");
        EXPECT_EQ(Read("TEMP$$.RPT"),
                  "V datoteki ni odkritih napak!\r\n \r\n86 05 20 FE \r\nDolžina programske kode je 4 zlogov\r\n");
        EXPECT_EQ(fs::exists("TEMP$$.LST"), keep);
        EXPECT_TRUE(fs::exists("TEMP$$.S19"));
    }
}

TEST_F(ScanTest, ErrorsGoToTheReportAndBothOutputsAreErased) {
    Write("TEMP$$.LST", std::string(CleanListing) + "          -> TEMP$$.ASM,2: Symbol undefined on pass 2: NIC\r\n" +
                            "          -> TEMP$$.ASM,3: Phase error\n" +
                            "          -> TEMP$$.ASM,12: branch OUT of range value truncated\n");
    Write("TEMP$$.S19", CleanObject);
    Write("TEMP$$.RPT", "an older report that is longer than the new one\r\n\r\n\r\n");
    const TScanResult result = Scan(true);
    EXPECT_FALSE(result.FileError);
    EXPECT_EQ(ErrorsFound, 1);
    EXPECT_EQ(result.ErrorCount, 3);
    EXPECT_EQ(result.WindowLine, "Število odkritih napak: 3.");
    EXPECT_EQ(Read("TEMP$$.RPT"),
              "> NAPAKA V VRSTICI 2:  Nedefiniran simbol:\r\n"
              "> NAPAKA V VRSTICI 12:  Operand presega nabor dovoljenih števil!\r\n"
              "> NAPAKA V VRSTICI 12:  Vejitev izven dosega!\r\n");
    EXPECT_FALSE(fs::exists("TEMP$$.LST"));
    EXPECT_FALSE(fs::exists("TEMP$$.S19"));
}

TEST_F(ScanTest, AnUnknownMessageAloneLeavesTheAssemblyClean) {
    Write("TEMP$$.LST", std::string(CleanListing) + "          -> TEMP$$.ASM,1: Phase error\n");
    Write("TEMP$$.S19", CleanObject);
    const TScanResult result = Scan(true);
    EXPECT_EQ(ErrorsFound, 0);
    EXPECT_EQ(result.WindowLine, "V datoteki ni odkritih napak!");
    EXPECT_TRUE(fs::exists("TEMP$$.S19"));
}

TEST_F(ScanTest, AFileErrorCountsAsAFailedAssembly) {
    // No listing: an empty report, nothing in the window, and nothing may
    // be programmed.
    {
        const TScanResult result = Scan(true);
        EXPECT_TRUE(result.FileError);
        EXPECT_EQ(ErrorsFound, 1);
        EXPECT_EQ(result.WindowLine, "");
        EXPECT_EQ(Read("TEMP$$.RPT"), "");
    }
    // A clean listing without its object file: the window said so already.
    {
        Write("TEMP$$.LST", CleanListing);
        const TScanResult result = Scan(true);
        EXPECT_TRUE(result.FileError);
        EXPECT_EQ(ErrorsFound, 1);
        EXPECT_EQ(result.WindowLine, "V datoteki ni odkritih napak!");
        EXPECT_EQ(Read("TEMP$$.RPT"), "V datoteki ni odkritih napak!\r\n");
    }
    // A broken object file.
    {
        Write("TEMP$$.S19", "S1060000860520\n");
        EXPECT_TRUE(Scan(true).FileError);
        EXPECT_EQ(ErrorsFound, 1);
    }
    // A report that cannot be created; the next scan creates it again.
    {
        fs::create_directory("TEMP$$.RPT.d");
        EXPECT_TRUE(ScanListing("TEMP$$.LST", "TEMP$$.RPT.d", "TEMP$$.S19", true).FileError);
        Write("TEMP$$.S19", CleanObject);
        EXPECT_FALSE(Scan(true).FileError);
        EXPECT_EQ(ErrorsFound, 0);
    }
}

TEST_F(ScanTest, AWindows1250ListingIsRead) {
    Write("TEMP$$.LST", "   1 0000 86 05  LDAA #5  \x9a\xe8\n          -> \x8a.ASM,1: Value truncated\n");
    Write("TEMP$$.S19", CleanObject);
    Scan(true);
    EXPECT_EQ(Read("TEMP$$.RPT"), "> NAPAKA V VRSTICI 1:  Operand presega nabor dovoljenih števil!\r\n");
}

}  // namespace
}  // namespace Vantrel
