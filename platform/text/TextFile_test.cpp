#include "platform/text/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

TEST(TextFormatOf, EncodingAndFirstLineEnd) {
    const struct {
        std::string bytes;
        TTextFormat format;
    } cases[] = {
        {"ORG $0\r\nEND\n", {TTextEncoding::Utf8, TLineEnds::CrLf}},
        {"ORG $0\nEND\r\n", {TTextEncoding::Utf8, TLineEnds::Lf}},
        {"\nEND", {TTextEncoding::Utf8, TLineEnds::Lf}},
        {"END", {TTextEncoding::Utf8, TLineEnds::CrLf}},
        {"\xEF\xBB\xBF" "čas\n", {TTextEncoding::Utf8WithBom, TLineEnds::Lf}},
        {"\xE8" "as\r\n", {TTextEncoding::Windows1250, TLineEnds::CrLf}},
    };
    for (const auto& c : cases) EXPECT_EQ(TextFormatOf(c.bytes), c.format) << c.bytes;
}

TEST_F(TextFileFolder, WritesBackInTheFormatItWasRead) {
    const std::string originals[] = {
        "* čas\r\n\tLDAA #$05\r\n",
        "* čas\n\tLDAA #$05\n",
        "\xEF\xBB\xBF* čas\r\n\tLDAA #$05",
        "* \xE8" "as\r\n\tLDAA #$05\r\n",
        "* \xE8" "as\n",
    };
    for (const std::string& original : originals) {
        Write("a.asm", original);
        const std::string path = (Folder / "a.asm").string();
        std::string text, err;
        TTextFormat format;
        ASSERT_EQ(ReadTextFile(path, &text, &err, &format), TReadStatus::Okay);
        // The editor hands back its text with LF line ends.
        std::string edited;
        for (char c : text)
            if (c != '\r') edited += c;
        ASSERT_TRUE(WriteTextFile(path, edited, format, &err)) << err;
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes, original);
        EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1) << "no temporary left";
    }
}

TEST_F(TextFileFolder, FailedWriteKeepsTheOldFile) {
    Write("a.asm", "* \xE8" "as\n");
    const std::string path = (Folder / "a.asm").string();
    std::string err;
    EXPECT_FALSE(WriteTextFile(path, "ø\n", {TTextEncoding::Windows1250, TLineEnds::Lf}, &err));
    EXPECT_EQ(err, path + ": the text holds a character that Windows-1250 cannot store");
    EXPECT_FALSE(WriteTextFile((Folder / "missing" / "b.asm").string(), "x", {}, &err));
    EXPECT_EQ(err, (Folder / "missing" / "b.asm").string() + ": No such file or directory");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "* \xE8" "as\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1);
}

TEST_F(TextFileFolder, WriteKeepsPermissions) {
    Write("a.asm", "x\n");
    const fs::path path = Folder / "a.asm";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string err;
    ASSERT_TRUE(WriteTextFile(path.string(), "y\n", {TTextEncoding::Utf8, TLineEnds::Lf}, &err)) << err;
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
