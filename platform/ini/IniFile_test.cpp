#include "platform/ini/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestSupport.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void Put(const std::string& text) { testsupport::WriteFileBytes(path, text); }
    std::string Contents() { return testsupport::FileBytes(path); }

    testsupport::TTempFolder temp{"ini-test"};
    const std::filesystem::path folder = temp.Path();
    std::string path = temp.File("Vantrel.ini");
};

}  // namespace

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("chipi", "integrirc7", "error"), "error");
    EXPECT_EQ(ini.ReadInteger("vrata", "ser1", 2), 2);
    EXPECT_FALSE(ini.SectionExists("vrata"));
    Put("[vrata]\nser1=3\n");
    EXPECT_EQ(ini.ReadString("chipi", "integrirc7", "error"), "error");
    EXPECT_EQ(ini.ReadString("vrata", "ser2", "x"), "x");
    EXPECT_EQ(ini.ReadInteger("VRATA", "Ser1", 0), 3) << "names match without regard to case";
}

TEST_F(IniFileTest, ValuesReadAsWritten) {
    Put("; settings\n"
        "[ComPort1]\n"
        "  StopBits = 1,5  \n"
        "; Port=COM9\n"
        "Name=\"quoted\"\n"
        "Quotes=\"\"\n"
        "Open=\"half\n"
        "Quote=\"\n"
        "Empty=\n"
        "Chip=MC68HC11E9 čšž\n"
        "[other]\n"
        "StopBits=2\n"
        "[third]\n"
        "Name=3\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("ComPort1", "StopBits", ""), "1,5") << "a comma is no list";
    EXPECT_EQ(ini.ReadString("ComPort1", "Name", ""), "quoted");
    EXPECT_EQ(ini.ReadString("ComPort1", "Quotes", "default"), "") << "a pair of quotes is empty text";
    EXPECT_EQ(ini.ReadString("ComPort1", "Open", ""), "\"half") << "no pair, nothing dropped";
    EXPECT_EQ(ini.ReadString("ComPort1", "Quote", ""), "\"");
    EXPECT_EQ(ini.ReadString("ComPort1", "Empty", "default"), "") << "present but empty";
    EXPECT_EQ(ini.ReadString("ComPort1", "Chip", ""), "MC68HC11E9 čšž");
    EXPECT_EQ(ini.ReadString("ComPort1", "Port", "none"), "none") << "a comment is no key";
    EXPECT_EQ(ini.ReadString("other", "Name", "none"), "none") << "a section ends at the next";
    EXPECT_EQ(ini.ReadSection("ComPort1"),
              (std::vector<std::string>{"StopBits", "Name", "Quotes", "Open", "Quote", "Empty", "Chip"}));
    EXPECT_EQ(ini.ReadSection("other"), (std::vector<std::string>{"StopBits"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"ComPort1", "other", "third"}));
}

TEST_F(IniFileTest, IntegerTexts) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"-5", -5},
        {" 7 ", 7},
        {"$1F", 31},
        {"0x1f", 31},
        {"$FFFFFFFF", -1},
        {"12abc", -99},
        {"", -99},
        {"error", -99},
        {"99999999999", -99},
        {"2147483648", -99},
        {"-2147483648", INT_MIN},
        {"2147483647", INT_MAX},
        {"$7FFFFFFF", INT_MAX},
        {"0x80000000", INT_MIN},
        {"$100000000", -99},
    };
    for (const Case& c : cases) {
        Put(std::string("[s]\nk=") + c.text + "\n");
        EXPECT_EQ(IniFile(path).ReadInteger("s", "k", -99), c.expected) << '"' << c.text << '"';
    }
}

TEST_F(IniFileTest, WritesKeepTheRestOfTheFile) {
    Put("; Vantrel\n"
        "[chipi]\n"
        "integrirc7=MC68HC811E2\n"
        "\n"
        "[vrata]\n"
        "ser1=2\n");
    IniFile ini(path);
    ini.WriteString("chipi", "RAM7", "256");
    ini.WriteInteger("VRATA", "SER1", 3);
    ini.WriteString("new", "a", "b");
    EXPECT_EQ(Contents(),
              "; Vantrel\n"
              "[chipi]\n"
              "integrirc7=MC68HC811E2\n"
              "RAM7=256\n"
              "\n"
              "[vrata]\n"
              "ser1=3\n"
              "[new]\n"
              "a=b\n");
}

TEST_F(IniFileTest, ByteOrderMarkAndLineEndsSurviveAWrite) {
    Put("\xEF\xBB\xBF[vrata]\r\nser1=1\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("vrata", "ser1", 0), 1);
    ini.WriteInteger("vrata", "ser1", 2);
    EXPECT_EQ(Contents(), "\xEF\xBB\xBF[vrata]\r\nser1=2\r\n");
}

TEST_F(IniFileTest, EraseSectionThenWriteRebuildsIt) {
    Put("[chipi]\r\nintegrirc7=A\r\nintegrirc9=C\r\n[vrata]\r\nser1=1\r\n[keep]\r\nx=1\r\n");
    IniFile ini(path);
    ini.EraseSection("chipi");
    ini.EraseSection("vrata");
    ini.EraseSection("absent");
    EXPECT_FALSE(ini.SectionExists("chipi"));
    ini.WriteString("chipi", "integrirc7", "A");
    ini.WriteInteger("vrata", "ser1", 2);
    ini.DeleteKey("keep", "x");
    EXPECT_EQ(Contents(), "[keep]\r\n[chipi]\r\nintegrirc7=A\r\n[vrata]\r\nser1=2\r\n")
        << "line ends stay as the file had them";
}

TEST_F(IniFileTest, WritesThatWouldBreakTheFileOrCannotBeDoneThrow) {
    Put("[s]\nk=v\n");
    IniFile ini(path);
    EXPECT_THROW(ini.WriteString("s", "k", "two\nlines"), IniFileError);
    EXPECT_THROW(ini.WriteString("s", "a=b", "v"), IniFileError);
    EXPECT_THROW(ini.WriteString("s]", "k", "v"), IniFileError);
    EXPECT_THROW(ini.WriteString("s", "", "v"), IniFileError);
    EXPECT_THROW(ini.WriteString("s", "k", "carriage\rreturn"), IniFileError);
    EXPECT_THROW(ini.WriteString("s", "[k", "v"), IniFileError);
    EXPECT_THROW(ini.WriteString("s", ";k", "v"), IniFileError);
    EXPECT_THROW(ini.WriteString("s", "#k", "v"), IniFileError);
    EXPECT_THROW(ini.WriteString("s\n", "k", "v"), IniFileError);
    EXPECT_EQ(Contents(), "[s]\nk=v\n");
    // A folder in the way of the rename: the error, and no temporary left.
    std::filesystem::create_directory(folder / "taken.ini");
    EXPECT_THROW(IniFile((folder / "taken.ini").string()).WriteString("s", "k", "v"), IniFileError);
    EXPECT_FALSE(std::filesystem::exists(folder / "taken.ini.tmp"));
    IniFile nowhere((folder / "missing" / "x.ini").string());
    try {
        nowhere.WriteString("s", "k", "v");
        FAIL() << "no error";
    } catch (const IniFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + nowhere.FileName());
    }
}

// Found by fuzzing: a name with blanks around it was written trimmed but
// looked up as given, so the value never read back and each write added
// another copy of the section.
TEST_F(IniFileTest, NamesWithBlanksAroundThemFindTheirEntry) {
    Put("[a]\nk=v\n\n[b]\n");
    IniFile ini(path);
    ini.WriteString(" vrata ", "ser1", " 2 ");
    ini.WriteString(" vrata ", " ser1", "3");
    EXPECT_EQ(ini.ReadString(" vrata ", "ser1 ", "error"), "3");
    EXPECT_EQ(ini.ReadString("vrata", "ser1", "error"), "3");
    EXPECT_TRUE(ini.ValueExists(" vrata", " ser1"));
    EXPECT_EQ(Contents(), "[a]\nk=v\n\n[b]\n[vrata]\nser1=3\n");
    ini.DeleteKey("vrata ", " ser1");
    ini.EraseSection(" a");
    EXPECT_EQ(Contents(), "[b]\n[vrata]\n");
}

// Found by fuzzing: with two sections of one name, erasing removed only the
// first, and the second, never read before, then took its place.
TEST_F(IniFileTest, EraseSectionErasesEverySectionOfTheName) {
    Put("[chipi]\nintegrirc7=A\n[vrata]\nser1=1\n[CHIPI]\nintegrirc7=B\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("chipi", "integrirc7", "error"), "A");
    ini.EraseSection("chipi");
    EXPECT_FALSE(ini.SectionExists("chipi"));
    EXPECT_EQ(Contents(), "[vrata]\nser1=1\n");
}
