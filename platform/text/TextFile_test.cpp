#include "platform/text/TextFile.h"

#include "common/AsciiText.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>

#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

TEST(DecodeText, Utf8StaysAndWindows1250IsConverted) {
    struct Case {
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"LDAA #$05", "LDAA #$05"},
        {"\xC4\x8D\x65\x6C", "\xC4\x8D\x65\x6C"},  // "čel" already UTF-8
        {"\xEF\xBB\xBFORG", "ORG"},                // byte-order mark dropped
        {"\xE8\x9A\x9E \xC8\x8A\x8E", "čšž ČŠŽ"},  // Slovenian letters in 1250
        {"\x80\x81", "\xE2\x82\xAC\xEF\xBF\xBD"},  // euro sign, undefined byte
        {"\xC0\x80", "\xC5\x94\xE2\x82\xAC"},      // overlong UTF-8 is not UTF-8
        {"tekst \xE8", "tekst č"},                 // truncated sequence at the end
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.expected) << c.bytes;
}

TEST(IsValidUtf8, EdgesOfEachSequenceLength) {
    struct Case {
        const char* bytes;
        bool valid;
    } cases[] = {
        {"\xC2\x80", true},                                        // U+0080, the first two-byte character
        {"\xDF\xBF", true},                                        // U+07FF, the last
        {"\xC1\xBF", false},                                       // overlong
        {"\xE0\xA0\x80", true},                                    // U+0800
        {"\xE0\x9F\xBF", false},                                   // overlong
        {"\xEF\xBF\xBD", true},                                    // U+FFFD
        {"\xED\x9F\xBF", true},                                    // U+D7FF, just below the surrogates
        {"\xED\xA0\x80", false},                                   // U+D800
        {"\xED\xBF\xBF", false},                                   // U+DFFF
        {"\xF0\x9F\x98\x80", true},  {"\xF0\x8F\xBF\xBF", false},  // overlong
        {"\xF4\x8F\xBF\xBF", true},                                // U+10FFFF
        {"\xF4\x90\x80\x80", false},                               // past U+10FFFF
        {"\xF5\x80\x80\x80", false}, {"\xE2\x82", false},          // cut short
        {"\xC5\xC5", false},      // a lead byte where a continuation belongs ("ĹĹ" in 1250)
        {"\xC5\xA1\xA1", false},  // a continuation with no lead
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

class TextFileFolder : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& bytes) { testsupport::WriteFileBytes(Folder / name, bytes); }
    testsupport::TTempFolder Temp{"textfile-test"};
    const fs::path Folder = Temp.Path();
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

TEST_F(TextFileFolder, NamesMustMatchWholeAndNameFiles) {
    Write("ZANKA.LST", "x");
    Write("PROG.LS", "x");
    Write("PROG.LST.BAK", "x");
    fs::create_directory(Folder / "TEMP$$.S19");
    EXPECT_EQ(FindFileIgnoringCase((Folder / "zanka.lst").string()), (Folder / "ZANKA.LST").string());
    EXPECT_EQ(FindFileIgnoringCase((Folder / "prog.lst").string()), std::nullopt);
    EXPECT_EQ(FindFileIgnoringCase((Folder / "Temp$$.S19").string()), std::nullopt) << "a folder is no file";
    EXPECT_EQ(FindFileIgnoringCase((Folder / "TEMP$$.S19").string()), std::nullopt);
}

TEST_F(TextFileFolder, ChoiceDoesNotDependOnTheOrderOfTheDirectory) {
    // Every other letter case of three names, none of them the one asked for;
    // the directory lists its entries in an order of its own, by creation
    // order on some file systems and by hash on others.
    const std::vector<std::vector<std::string>> variants = {
        {"AB.S", "AB.s", "Ab.S", "Ab.s", "aB.S", "aB.s", "ab.S"},
        {"CD.T", "CD.t", "Cd.T", "Cd.t", "cD.T", "cD.t", "cd.T"},
        {"EF.U", "EF.u", "Ef.U", "Ef.u", "eF.U", "eF.u", "ef.U"},
    };
    for (bool reversed : {false, true}) {
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        for (std::vector<std::string> names : variants) {
            if (reversed) std::reverse(names.begin(), names.end());
            for (const std::string& name : names) Write(name, name);
        }
        for (const auto& names : variants) {
            const std::string asked = LowerAscii(names.front());
            EXPECT_EQ(FindFileIgnoringCase((Folder / asked).string()), (Folder / names.front()).string())
                << asked << (reversed ? ", created in reverse" : "");
        }
    }
}

TEST_F(TextFileFolder, ReadsAndReportsMissingFiles) {
    Write("a.lst", "0001 0000 \xE8rka\r\n");
    std::string text, err;
    ASSERT_EQ(ReadTextFile((Folder / "a.lst").string(), &text, &err), TReadStatus::Okay);
    EXPECT_EQ(text, "0001 0000 črka\r\n");
    EXPECT_EQ(ReadTextFile((Folder / "b.lst").string(), &text, &err), TReadStatus::NotFound);
    EXPECT_NE(err.find("b.lst"), std::string::npos);
    EXPECT_EQ(ReadTextFile(Folder.string(), &text, &err), TReadStatus::OtherError);
    EXPECT_EQ(err, Folder.string() + ": not a file");
    ASSERT_EQ(mkfifo((Folder / "pipe.lst").c_str(), 0600), 0);
    EXPECT_EQ(ReadTextFile((Folder / "pipe.lst").string(), &text, &err), TReadStatus::OtherError)
        << "a named pipe with no writer must not hang the reader";
}

TEST_F(TextFileFolder, ReadsBytesWholeUpToALimitAndTellsWhatFailed) {
    Write("a.s19", std::string("S1\0\xE8\r\n", 6));
    std::string bytes;
    int error = 0;
    ASSERT_EQ(ReadFileBytes((Folder / "a.s19").string(), &bytes), TBytesRead::Okay);
    EXPECT_EQ(bytes, std::string("S1\0\xE8\r\n", 6)) << "bytes as stored, nothing decoded";
    EXPECT_EQ(ReadFileBytes((Folder / "a.s19").string(), &bytes, &error, 6), TBytesRead::Okay);
    EXPECT_EQ(ReadFileBytes((Folder / "a.s19").string(), &bytes, &error, 5), TBytesRead::TooLarge);
    EXPECT_EQ(ReadFileBytes((Folder / "b.s19").string(), &bytes, &error), TBytesRead::NotFound);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(ReadFileBytes((Folder / "a.s19" / "c").string(), &bytes, &error), TBytesRead::NotFound);
    EXPECT_EQ(ReadFileBytes(Folder.string(), &bytes, &error), TBytesRead::NotAFile);
    EXPECT_EQ(ReadFileBytes("/dev/zero", &bytes, &error), TBytesRead::NotAFile) << "a device never ends";
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
        {"\xEF\xBB\xBF"
         "čas\n",
         {TTextEncoding::Utf8WithBom, TLineEnds::Lf}},
        {"\xE8"
         "as\r\n",
         {TTextEncoding::Windows1250, TLineEnds::CrLf}},
    };
    for (const auto& c : cases) EXPECT_EQ(TextFormatOf(c.bytes), c.format) << c.bytes;
}

TEST_F(TextFileFolder, WritesBackInTheFormatItWasRead) {
    const std::string originals[] = {
        "* čas\r\n\tLDAA #$05\r\n",
        "* čas\n\tLDAA #$05\n",
        "\xEF\xBB\xBF* čas\r\n\tLDAA #$05",
        "* \xE8"
        "as\r\n\tLDAA #$05\r\n",
        "* \xE8"
        "as\n",
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
        EXPECT_EQ(testsupport::FileBytes(path), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1) << "no temporary left";
    }
}

TEST_F(TextFileFolder, FailedWriteKeepsTheOldFile) {
    Write("a.asm",
          "* \xE8"
          "as\n");
    const std::string path = (Folder / "a.asm").string();
    std::string err;
    EXPECT_FALSE(WriteTextFile(path, "ø\n", {TTextEncoding::Windows1250, TLineEnds::Lf}, &err));
    EXPECT_EQ(err, path + ": the text holds a character that Windows-1250 cannot store");
    EXPECT_FALSE(WriteTextFile((Folder / "missing" / "b.asm").string(), "x", {}, &err));
    EXPECT_EQ(err, (Folder / "missing" / "b.asm").string() + ": No such file or directory");
    EXPECT_EQ(testsupport::FileBytes(path),
              "* \xE8"
              "as\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1);
}

TEST_F(TextFileFolder, WriteTakesEitherLineEndAndMakesNewFilesReadable) {
    const std::string path = (Folder / "new.asm").string();
    std::string err;
    ASSERT_TRUE(WriteTextFile(path, "a\r\nb\nc", {TTextEncoding::Utf8, TLineEnds::CrLf}, &err)) << err;
    EXPECT_EQ(testsupport::FileBytes(path), "a\r\nb\r\nc");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    // A folder in the way: the rename fails and the temporary goes.
    fs::create_directory(Folder / "sub.asm");
    EXPECT_FALSE(WriteTextFile((Folder / "sub.asm").string(), "x", {}, &err));
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 2);
}

TEST_F(TextFileFolder, WriteKeepsPermissions) {
    Write("a.asm", "x\n");
    const fs::path path = Folder / "a.asm";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string err;
    ASSERT_TRUE(WriteTextFile(path.string(), "y\n", {TTextEncoding::Utf8, TLineEnds::Lf}, &err)) << err;
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
