#include "platform/shell/FakeShellApi.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestSupport.h"

using namespace shell;
namespace fs = std::filesystem;

namespace {

using testsupport::FileBytes;

class FakeShellTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testsupport::WriteFileBytes(folder / "asm.bat", "AS11M %1 -l s")); }

    timing::FakeClock clock{1000};
    FakeShellApi shell{clock};
    testsupport::TTempFolder temp{"fakeshell"};
    const fs::path folder = temp.Path();
};

}  // namespace

TEST_F(FakeShellTest, RecordsEachStartWithTheBatchLineExpanded) {
    shell.AddProgram("as11m", FakeShellApi::Program::WritesNothing());
    shell.AddProgram("VANTRELSIM", FakeShellApi::Program::WritesNothing());
    ASSERT_TRUE(shell.ShellExecute((folder / "ASM.bat").string(), "TEMP$$.ASM", "", SW_HIDE).Started());
    clock.Advance(7);
    ASSERT_TRUE(shell.ShellExecute("/app/VantrelSIM.EXE", "", folder.string(), SW_SHOWNORMAL).Started());

    const auto starts = shell.Starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].File, (folder / "ASM.bat").string());
    EXPECT_EQ(starts[0].Parameters, "TEMP$$.ASM");
    EXPECT_EQ(starts[0].Directory, "");
    EXPECT_EQ(starts[0].Show, SW_HIDE);
    EXPECT_EQ(starts[0].Program, "AS11M");
    EXPECT_EQ(starts[0].Arguments, (std::vector<std::string>{"TEMP$$.ASM", "-l", "s"}));
    EXPECT_EQ(starts[0].Tick, 1000u);
    EXPECT_EQ(starts[1].Program, "/app/VantrelSIM.EXE");
    EXPECT_EQ(starts[1].Directory, folder.string());
    EXPECT_EQ(starts[1].Show, SW_SHOWNORMAL);
    EXPECT_TRUE(starts[1].Arguments.empty());
    EXPECT_EQ(starts[1].Tick, 1007u);
    EXPECT_NE(starts[0].Result.Process, starts[1].Result.Process);
    EXPECT_EQ(shell.StartedPrograms(), (std::vector<std::string>{"AS11M", "/app/VantrelSIM.EXE"}));
}

TEST_F(FakeShellTest, OutcomesPickedByName) {
    shell.AddProgram("writer",
                     FakeShellApi::Program::Writes({{"TEMP$$.LST", "listing\r\n"}, {"TEMP$$.S19", "S9030000FC\r\n"}}));
    shell.AddProgram("quiet", FakeShellApi::Program::WritesNothing());
    shell.AddProgram("gone", FakeShellApi::Program::Missing());
    const std::string dir = folder.string();

    const StartResult wrote = shell.ShellExecute("WRITER.EXE", "", dir, SW_HIDE);
    EXPECT_TRUE(wrote.Started());
    EXPECT_EQ(FileBytes(folder / "TEMP$$.LST"), "listing\r\n");
    EXPECT_EQ(FileBytes(folder / "TEMP$$.S19"), "S9030000FC\r\n");
    EXPECT_FALSE(shell.IsRunning(wrote.Process)) << "done as soon as it has written";

    fs::remove(folder / "TEMP$$.LST");
    EXPECT_TRUE(shell.ShellExecute("quiet", "", dir, SW_HIDE).Started());
    EXPECT_FALSE(fs::exists(folder / "TEMP$$.LST"));

    struct Failure {
        std::string file;
        StartStatus status;
        std::string error;
    } failures[] = {
        {"gone", StartStatus::NotFound, "Ne najdem programa \"gone\"!"},
        {"never-added", StartStatus::NotFound, "Ne najdem programa \"never-added\"!"},
        {"asm.bat", StartStatus::NotFound, "Ne najdem programa \"AS11M\"!"},
        {"other.bat", StartStatus::NotFound, "Ne najdem programa \"other.bat\"!"},
    };
    for (const Failure& f : failures) {
        const StartResult result = shell.ShellExecute(f.file, "", dir, SW_HIDE);
        EXPECT_EQ(result.Status, f.status) << f.file;
        EXPECT_EQ(result.Error, f.error) << f.file;
        EXPECT_EQ(result.Process, 0u) << f.file;
    }
    EXPECT_EQ(shell.Starts().size(), 6u) << "failed starts are recorded too";
    EXPECT_EQ(shell.StartedPrograms(), (std::vector<std::string>{"WRITER.EXE", "quiet"}));
}

TEST_F(FakeShellTest, ASlowProgramWritesOnceTheFakeTimeHasPassed) {
    shell.AddProgram("as11m", FakeShellApi::Program::Slow(2500, {{"TEMP$$.LST", "late"}}));
    const StartResult started = shell.ShellExecute("asm.bat", "TEMP$$.ASM", folder.string(), SW_HIDE);
    ASSERT_TRUE(started.Started());
    EXPECT_TRUE(shell.IsRunning(started.Process));
    clock.Sleep(2499);
    EXPECT_FALSE(fs::exists(folder / "TEMP$$.LST"));
    EXPECT_TRUE(shell.IsRunning(started.Process));
    clock.Sleep(1);
    EXPECT_EQ(FileBytes(folder / "TEMP$$.LST"), "late");
    EXPECT_FALSE(shell.IsRunning(started.Process));
}

TEST_F(FakeShellTest, AProgramEndedBeforeItsDelayWritesNothing) {
    shell.AddProgram("slow", FakeShellApi::Program::Slow(100, {{"out.txt", "x"}}));
    const StartResult started = shell.ShellExecute("slow", "", folder.string(), SW_HIDE);
    shell.Exit(started.Process);
    clock.Advance(1000);
    EXPECT_FALSE(fs::exists(folder / "out.txt"));
}

TEST_F(FakeShellTest, AProgramThatStaysRunsUntilExit) {
    shell.AddProgram("Tolvex", FakeShellApi::Program::Stays());
    const StartResult started = shell.ShellExecute("Tolvex.exe", "TEMP$$.S19 2 512", "", SW_SHOWNORMAL);
    ASSERT_TRUE(started.Started());
    EXPECT_EQ(shell.Starts().back().Arguments, (std::vector<std::string>{"TEMP$$.S19", "2", "512"}));
    clock.Advance(1'000'000);
    EXPECT_TRUE(shell.IsRunning(started.Process));
    shell.Exit(started.Process);
    EXPECT_FALSE(shell.IsRunning(started.Process));
    EXPECT_FALSE(shell.IsRunning(0));
}

TEST_F(FakeShellTest, PendingWritesAreDroppedWithTheFake) {
    {
        FakeShellApi shortLived(clock);
        shortLived.AddProgram("slow", FakeShellApi::Program::Slow(10, {{"out.txt", "x"}}));
        ASSERT_TRUE(shortLived.ShellExecute("slow", "", folder.string(), SW_HIDE).Started());
    }
    clock.Advance(100);
    EXPECT_FALSE(fs::exists(folder / "out.txt"));
}
