// The program as the development environment starts it: files, names,
// options and exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tests/support/TestSupport.h"
#include "tools/as11m/TestSupport.h"

namespace as11m {
namespace {

using test::ProcessResult;
using test::RunProgram;
using testsupport::FileBytes;
using testsupport::TTempFolder;
using testsupport::WriteFileBytes;
using Names = std::vector<std::string>;

const char* const kProgram =
    "        ORG  $0000\n"
    "START   LDAB #$10\n"
    "ZANKA   DECB\n"
    "        BNE  ZANKA\n"
    "        BRA  START\n";

std::string WriteEmpty(const std::filesystem::path& path) {
    WriteFileBytes(path, "");
    return path.string();
}

Names FileNamesIn(const std::filesystem::path& folder) {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

ProcessResult RunAs11m(const TTempFolder& dir, const std::vector<std::string>& args) {
    return RunProgram(AS11M_PATH, args, dir.Path());
}

TEST(As11m, WritesBothFilesBesideTheSource) {
    TTempFolder dir("as11m-test");
    WriteFileBytes(dir / "TEMP$$.ASM", kProgram);
    WriteFileBytes(dir / "TEMP$$.LST", "stale");
    ProcessResult result = RunAs11m(dir, {"TEMP$$.ASM", "-l"});
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    // Exactly these names, and no temporary file left behind.
    EXPECT_EQ(FileNamesIn(dir.Path()), (Names{"TEMP$$.ASM", "TEMP$$.LST", "TEMP$$.S19"}));
    EXPECT_EQ(FileBytes(dir / "TEMP$$.S19"), "S10A0000C6105A26FD20F989\nS9030000FC\n");
    EXPECT_EQ(FileBytes(dir / "TEMP$$.LST").substr(0, 36), "   1                              OR");
}

TEST(As11m, OptionWordsInAnyCase) {
    struct Case {
        std::vector<std::string> Args;
        bool Symbols;
        bool Cycles;
    };
    const Case cases[] = {
        {{"p.asm", "-l"}, false, false},
        {{"p.asm", "-L", "S", "C"}, true, true},
        {{"p.asm", "-l", "s", "noc"}, true, false},
        {{"p.asm", "-l", "NOC"}, false, false},
        {{"p.asm", "-l", "c"}, false, true},
    };
    for (const Case& c : cases) {
        TTempFolder dir("as11m-test");
        WriteFileBytes(dir / "p.asm", kProgram);
        ASSERT_EQ(RunAs11m(dir, c.Args).ExitCode, 0);
        std::string listing = FileBytes(dir / "p.LST");
        EXPECT_EQ(listing.find("Symbol table") != std::string::npos, c.Symbols) << c.Args.size();
        EXPECT_EQ(listing.find("[ 2] START") != std::string::npos, c.Cycles) << c.Args.size();
    }
}

TEST(As11m, OutputNames) {
    struct Case {
        std::string Source;
        Names Expected;
    };
    const Case cases[] = {
        {"prog.asm", {"prog.LST", "prog.S19", "prog.asm"}},
        {"a.b.Asm", {"a.b.Asm", "a.b.LST", "a.b.S19"}},
        {"noext", {"noext", "noext.LST", "noext.S19"}},
    };
    for (const Case& c : cases) {
        TTempFolder dir("as11m-test");
        WriteFileBytes(dir / c.Source, kProgram);
        EXPECT_EQ(RunAs11m(dir, {c.Source, "-l"}).ExitCode, 0);
        EXPECT_EQ(FileNamesIn(dir.Path()), c.Expected);
    }
    // A source in another directory gets its outputs there, whatever dots
    // the directories' names hold.
    TTempFolder dir("as11m-test");
    std::filesystem::create_directories(dir / "sub" / "v1.0");
    WriteFileBytes(dir / "sub" / "v1.0" / "x", kProgram);
    EXPECT_EQ(RunAs11m(dir, {"sub/v1.0/x", "-l"}).ExitCode, 0);
    EXPECT_EQ(FileNamesIn(dir / "sub" / "v1.0"), (Names{"x", "x.LST", "x.S19"}));
}

TEST(As11m, OutputsGetTheUsualMode) {
    TTempFolder dir("as11m-test");
    WriteFileBytes(dir / "p.asm", kProgram);
    const mode_t saved = umask(022);
    ProcessResult result = RunAs11m(dir, {"p.asm", "-l"});
    umask(saved);
    ASSERT_EQ(result.ExitCode, 0);
    for (const char* name : {"p.S19", "p.LST"}) {
        struct stat info;
        ASSERT_EQ(stat((dir / name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u) << name;
    }
}

TEST(As11m, WithoutListingOptionOnlyTheObject) {
    TTempFolder dir("as11m-test");
    WriteFileBytes(dir / "p.asm", kProgram);
    EXPECT_EQ(RunAs11m(dir, {"p.asm"}).ExitCode, 0);
    EXPECT_EQ(FileNamesIn(dir.Path()), (Names{"p.S19", "p.asm"}));
}

TEST(As11m, OneErrorIsEnoughToFail) {
    TTempFolder dir("as11m-test");
    WriteFileBytes(dir / "p.asm", " NOP\n LDAA #256\n");
    ProcessResult result = RunAs11m(dir, {"p.asm"});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Output, "p.asm:2: Value truncated\nas11m: 1 error in p.asm\n");
}

TEST(As11m, ErrorsStillWriteBothFiles) {
    TTempFolder dir("as11m-test");
    WriteFileBytes(dir / "TEMP$$.ASM", " LDAA NIC\n BNQ\n");
    ProcessResult result = RunAs11m(dir, {"TEMP$$.ASM", "-l"});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_NE(result.Output.find("2 errors"), std::string::npos) << result.Output;
    EXPECT_EQ(FileNamesIn(dir.Path()), (Names{"TEMP$$.ASM", "TEMP$$.LST", "TEMP$$.S19"}));
    std::string listing = FileBytes(dir / "TEMP$$.LST");
    EXPECT_NE(listing.find("          -> TEMP$$.ASM,1: Symbol undefined on pass 2: NIC\n"), std::string::npos);
    EXPECT_NE(listing.find("          -> TEMP$$.ASM,2: Unrecognized Mnemonic: BNQ\n"), std::string::npos);
}

TEST(As11m, UnusableInvocationWritesNothing) {
    TTempFolder dir("as11m-test");
    std::filesystem::create_directory(dir / "folder.asm");
    WriteFileBytes(dir / "p.asm", kProgram);
    // A source past 64 MiB, sparse so that it costs nothing.
    ASSERT_EQ(truncate(WriteEmpty(dir / "huge.asm").c_str(), (64 << 20) + 1), 0);
    ASSERT_EQ(mkfifo((dir / "pipe.asm").c_str(), 0600), 0);  // no writer: must not wait for one
    const std::vector<std::string> invocations[] = {
        {},
        {"missing.asm", "-l"},
        {"folder.asm", "-l"},
        {"p.asm", "-l", "x"},
        {"/dev/zero", "-l"},
        {"huge.asm", "-l"},
        {"pipe.asm", "-l"},
    };
    for (const auto& args : invocations) {
        ProcessResult result = RunAs11m(dir, args);
        EXPECT_EQ(result.ExitCode, 2) << result.Output;
        EXPECT_NE(result.Output.find("as11m: "), std::string::npos);
        EXPECT_EQ(FileNamesIn(dir.Path()), (Names{"folder.asm", "huge.asm", "p.asm", "pipe.asm"}));
    }
    EXPECT_EQ(RunAs11m(dir, {"huge.asm"}).Output, "as11m: cannot read huge.asm: larger than 64 MiB\n");
}

TEST(As11m, BinaryGarbageIsReportedAsErrors) {
    TTempFolder dir("as11m-test");
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
    WriteFileBytes(dir / "g.asm", garbage);
    EXPECT_EQ(RunAs11m(dir, {"g.asm", "-l"}).ExitCode, 1);
    std::string listing = FileBytes(dir / "g.LST");
    EXPECT_NE(listing.find(" -> g.asm,"), std::string::npos);
    EXPECT_EQ(listing.find('\0'), std::string::npos);
}

TEST(As11m, LargeSource) {
    TTempFolder dir("as11m-test");
    std::string source;
    for (int i = 0; i < 100000; ++i) {
        if (i % 10000 == 0) source += " ORG $" + std::to_string(1000 + i / 10000) + "\n";
        if (i % 2) {
            source += " LDAA #1\n";
        } else {
            source += 'L';
            source += std::to_string(i);
            source += " FCB 1\n";
        }
    }
    WriteFileBytes(dir / "big.asm", source);
    ProcessResult result = RunAs11m(dir, {"big.asm", "-l", "s", "c"});
    EXPECT_EQ(result.ExitCode, 0) << result.Output.substr(0, 500);
    EXPECT_GT(std::filesystem::file_size(dir / "big.LST"), 4'000'000u);
}

}  // namespace
}  // namespace as11m
