// The one COM name rule and the ASCII text helpers the programs build on.
#include "common/ComPortName.h"
#include "common/AsciiText.h"

#include <gtest/gtest.h>

TEST(ComPortName, NumbersOfNamesUpToTheCallersLimit) {
    struct Row {
        const char* name;
        int maxNumber;
        int number;
    };
    for (Row row : {Row{"COM1", 16, 1}, Row{"com16", 16, 16}, Row{"COM17", 16, 0}, Row{"COM3", 3, 3}, Row{"COM4", 3, 0},
                    Row{"COM255", 255, 255}, Row{"COM256", 255, 0}, Row{"COM0", 255, 0}, Row{"COM01", 255, 0},
                    Row{"COM", 16, 0}, Row{"COM1:", 16, 0}, Row{"LPT1", 16, 0}, Row{"COM99999999999", 16, 0}})
        EXPECT_EQ(ComPortNumber(row.name, row.maxNumber), row.number) << row.name << " up to " << row.maxNumber;
    EXPECT_EQ(ComPortName(12), "COM12");
}

TEST(AsciiText, OnlyAsciiLettersChangeCaseAndOnlyAsciiBlanksAreTrimmed) {
    EXPECT_EQ(UpperAscii("b600 \xC4\x8D\xE8z"), "B600 \xC4\x8D\xE8Z");
    EXPECT_EQ(LowerAscii("AS11M.EXE \xC4\x8C\xC8"), "as11m.exe \xC4\x8C\xC8");
    EXPECT_TRUE(EqualIgnoringAsciiCase("Temp$$.lst", "TEMP$$.LST"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xC4\x8D", "\xC4\x8C"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("COM1", "COM10"));
    EXPECT_EQ(TrimAsciiBlanks(" \t ser1 = 3\r\n"), "ser1 = 3");
    EXPECT_EQ(TrimAsciiBlanks(" \t\r\n"), "");
    EXPECT_EQ(TrimAsciiBlanks("\xA0x\xA0"), "\xA0x\xA0");
}
