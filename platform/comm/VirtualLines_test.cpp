#include "platform/comm/VirtualLines.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

using namespace comm;

TEST(VirtualLines, TextsAndTheirLines) {
    struct Row {
        const char* text;
        std::optional<VirtualLines> lines;
        const char* written;  // how the lines are written back
    };
    const Row rows[] = {
        {"", VirtualLines{}, "loop"},
        {" Loop\n", VirtualLines{}, "loop"},
        {"none", VirtualLines{false, 0}, "none"},
        {"ri, cts", VirtualLines{false, MS_RING_ON | MS_CTS_ON}, "CTS,RI"},
        {"DCD,RING,DSR", VirtualLines{false, MS_RLSD_ON | MS_RING_ON | MS_DSR_ON}, "DSR,RLSD,RI"},
        {"CTS,,DSR,", VirtualLines{false, MS_CTS_ON | MS_DSR_ON}, "CTS,DSR"},
        {"CTS,DTR", std::nullopt, ""},  // DTR is ours, not the board's
        {"ringing", std::nullopt, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseVirtualLines(row.text), row.lines) << row.text;
        if (!row.lines) continue;
        EXPECT_EQ(FormatVirtualLines(*row.lines), row.written) << row.text;
        EXPECT_EQ(ParseVirtualLines(FormatVirtualLines(*row.lines)), row.lines) << row.text;
    }
}

TEST(VirtualLines, FileWrittenWholeAndReadBack) {
    const std::string path = ::testing::TempDir() + "lines_" + std::to_string(::getpid());
    EXPECT_EQ(ReadVirtualLinesFile(path), std::nullopt) << "no file yet";
    std::string error;
    ASSERT_TRUE(WriteVirtualLinesFile(path, VirtualLines{false, MS_DSR_ON}, &error)) << error;
    EXPECT_EQ(ReadVirtualLinesFile(path), "DSR");
    ASSERT_TRUE(WriteVirtualLinesFile(path, VirtualLines{false, 0}, &error)) << error;
    EXPECT_EQ(ReadVirtualLinesFile(path), "none") << "replaced, not appended";
    std::ofstream(path, std::ios::trunc).close();
    EXPECT_EQ(ReadVirtualLinesFile(path), std::nullopt) << "an empty file says nothing";
    std::remove(path.c_str());
    EXPECT_FALSE(WriteVirtualLinesFile("/nonexistent/dir/lines", VirtualLines{}, &error));
    EXPECT_FALSE(error.empty());
}
