#include "platform/shell/ShellApi.h"

#include <gtest/gtest.h>

using namespace shell;
using Words = std::vector<std::string>;

TEST(ShellApi, ParametersSplitOnBlanksAndQuotesHoldBlanks) {
    struct Case {
        std::string text;
        Words words;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"TEMP$$.S19 2 512", {"TEMP$$.S19", "2", "512"}},
        {"  a\t b  ", {"a", "b"}},
        {"\"two words\" x", {"two words", "x"}},
        {"pre\"fix  mid\"post", {"prefix  midpost"}},
        {"\"\" x", {"", "x"}},
        {"\"unclosed a b", {"unclosed a b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitParameters(c.text), c.words) << c.text;
}

TEST(ShellApi, BatchLinesReplacePercentDigitsByTheParameters) {
    const Words parameters{"TEMP$$.ASM", "second"};
    struct Case {
        std::string line;
        Words words;
    } cases[] = {
        {"AS11M %1 -l", {"AS11M", "TEMP$$.ASM", "-l"}},
        {"AS11M %1 -l s c", {"AS11M", "TEMP$$.ASM", "-l", "s", "c"}},
        {"x %2 %3 %9", {"x", "second"}},  // missing parameters become nothing
        {"x %1%2", {"x", "TEMP$$.ASMsecond"}},
        {"x 100%% %0 %", {"x", "100%", "%0", "%"}},
        {"   ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandBatchLine(c.line, parameters), c.words) << c.line;
}

TEST(ShellApi, ProgramNamesDropFolderAndExeEnding) {
    EXPECT_EQ(ProgramName("VantrelSIM.EXE"), "VantrelSIM");
    EXPECT_EQ(ProgramName("/w/Tolvex.exe"), "Tolvex");
    EXPECT_EQ(ProgramName("AS11M"), "AS11M");
    EXPECT_EQ(ProgramName("x.exe.txt"), "x.exe.txt");
    EXPECT_TRUE(IsBatchFile("/w/ASM.BAT"));
    EXPECT_TRUE(IsBatchFile("asm.bat"));
    EXPECT_FALSE(IsBatchFile("asm.bat.txt"));
}
