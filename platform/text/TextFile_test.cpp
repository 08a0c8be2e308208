#include "platform/text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(DecodeText, Utf8StaysAndWindows1250IsConverted) {
    struct Case {
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"LDAA #$05", "LDAA #$05"},
        {"\xC4\x8D\x65\x6C", "\xC4\x8D\x65\x6C"},                  // "čel" already UTF-8
        {"\xEF\xBB\xBFORG", "ORG"},                                  // byte-order mark dropped
        {"\xE8\x9A\x9E \xC8\x8A\x8E", "čšž ČŠŽ"},                   // Slovenian letters in 1250
        {"\x80\x81", "\xE2\x82\xAC\xEF\xBF\xBD"},                    // euro sign, undefined byte
        {"\xC0\x80", "\xC5\x94\xE2\x82\xAC"},                        // overlong UTF-8 is not UTF-8
        {"tekst \xE8", "tekst č"},                                   // truncated sequence at the end
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.expected) << c.bytes;
}

TEST(IsValidUtf8, RejectsSurrogatesAndTooLargeCodePoints) {
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
}

class TextFileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() /
                 ("textfile_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Folder / name, std::ios::binary) << bytes;
    }
    fs::path Folder;
};

TEST_F(TextFileFolder, FindsNamesRegardlessOfCase) {
    Write("TEMP$$.LST", "x");
    EXPECT_EQ(FindFileIgnoringCase((Folder / "Temp$$.LST").string()), (Folder / "TEMP$$.LST").string());
    EXPECT_EQ(FindFileIgnoringCase((Folder / "TEMP$$.LST").string()), (Folder / "TEMP$$.LST").string());
    EXPECT_EQ(FindFileIgnoringCase((Folder / "Temp$$.S19").string()), std::nullopt);
    EXPECT_EQ(FindFileIgnoringCase((Folder / "missing" / "a.lst").string()), std::nullopt);
}

TEST_F(TextFileFolder, ExactNameWinsOverOtherCases) {
    Write("prog.lst", "a");
    Write("PROG.LST", "b");
    Write("Prog.Lst", "c");
    EXPECT_EQ(FindFileIgnoringCase((Folder / "Prog.Lst").string()), (Folder / "Prog.Lst").string());
    EXPECT_EQ(FindFileIgnoringCase((Folder / "prog.LST").string()), (Folder / "PROG.LST").string());
}

TEST_F(TextFileFolder, ReadsAndReportsMissingFiles) {
    Write("a.lst", "0001 0000 \xE8rka\r\n");
    std::string text, err;
    ASSERT_EQ(ReadTextFile((Folder / "a.lst").string(), &text, &err), TReadStatus::Okay);
    EXPECT_EQ(text, "0001 0000 črka\r\n");
    EXPECT_EQ(ReadTextFile((Folder / "b.lst").string(), &text, &err), TReadStatus::NotFound);
    EXPECT_NE(err.find("b.lst"), std::string::npos);
    EXPECT_EQ(ReadTextFile(Folder.string(), &text, &err), TReadStatus::OtherError);
}
