#include "platform/shell/PosixShellApi.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "tests/support/TestSupport.h"

using namespace shell;
namespace fs = std::filesystem;

namespace {

const fs::path Probe = SHELL_PROBE;

using testsupport::FileBytes;
using testsupport::WriteFileBytes;

// A temporary working folder, and PATH as the test set it.
class PosixShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        ::setenv("PATH", "/usr/bin:/bin", 1);
    }
    void TearDown() override { ::setenv("PATH", savedPath.c_str(), 1); }

    fs::path copyProbe(const fs::path& to) {
        fs::create_directories(to.parent_path());
        fs::copy_file(Probe, to, fs::copy_options::overwrite_existing);
        return to;
    }

    // Waits for the started probe to end, then reads what it wrote.
    std::vector<std::string> probeOutput(ProcessHandle process, const fs::path& where) {
        EXPECT_TRUE(testsupport::WaitUntil([&] { return !api.IsRunning(process); }));
        const fs::path out = where / "probe-out.txt";
        EXPECT_TRUE(testsupport::WaitUntil([&] { return fs::exists(out); }));
        std::vector<std::string> lines;
        std::istringstream text(FileBytes(out));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    PosixShellApi api;
    testsupport::TTempFolder temp{"shell"};
    const fs::path folder = temp.Path();
    std::string savedPath;
};

}  // namespace

TEST_F(PosixShellTest, ProgramNamesResolveIgnoringCaseInTheDirectoryBesideUsThenOnPath) {
    copyProbe(folder / "Probe");
    copyProbe(folder / "bin" / "pathprobe");
    copyProbe(folder / "bin" / "probe");  // hidden by the one in the directory
    ::setenv("PATH", (folder / "bin").c_str(), 1);
    const std::string beside = Probe.string();

    struct Case {
        std::string name;
        std::string expected;
    } cases[] = {
        {"PROBE.EXE", (folder / "Probe").string()},
        {"probe.exe", (folder / "Probe").string()},
        {"Probe", (folder / "Probe").string()},
        {"SHELL_PROBE.EXE", beside},
        {"PathProbe.Exe", (folder / "bin" / "pathprobe").string()},
        {(folder / "bin" / "PROBE.EXE").string(), (folder / "bin" / "probe").string()},
        {"bin/PathProbe", (folder / "bin" / "pathprobe").string()},
        {"nothing", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FindProgram(c.name, folder.string()), c.expected) << c.name;

    // A file that is not executable is no program.
    WriteFileBytes(folder / "plain", "text");
    EXPECT_EQ(FindProgram("plain", folder.string()), "");
}

TEST_F(PosixShellTest, StartsInTheGivenDirectoryWithArgumentsVerbatim) {
    copyProbe(folder / "as11m");
    const StartResult started =
        api.ShellExecute("AS11M.EXE", "TEMP$$.ASM -l \"two words\" * `id` a;b|c>d", folder.string(), SW_HIDE);
    ASSERT_TRUE(started.Started()) << started.Error;
    EXPECT_NE(started.Process, 0u);
    const auto lines = probeOutput(started.Process, folder);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], (folder / "as11m").string());
    EXPECT_EQ(lines[1], "/dev/null") << "hidden output goes nowhere";
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
              (std::vector<std::string>{"TEMP$$.ASM", "-l", "two words", "*", "`id`", "a;b|c>d"}));
}

TEST_F(PosixShellTest, ShownOutputGoesWhereOursGoes) {
    copyProbe(folder / "probe");
    const StartResult started = api.ShellExecute("probe", "", folder.string(), SW_SHOWNORMAL);
    ASSERT_TRUE(started.Started()) << started.Error;
    const auto lines = probeOutput(started.Process, folder);
    ASSERT_GE(lines.size(), 2u);
    std::error_code ec;
    EXPECT_EQ(lines[1], fs::read_symlink("/proc/self/fd/1", ec).string());
}

TEST_F(PosixShellTest, ABatchLineExpandsItsParametersAndPassesDollarsVerbatim) {
    copyProbe(folder / "as11m");
    // As the editor writes it: one line, no line end. The editor starts it
    // with no directory after making its folder the current one.
    WriteFileBytes(folder / "asm.bat", "AS11M %1 -l s noc $$HOME %2%%");
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    const StartResult started = api.ShellExecute((folder / "ASM.BAT").string(), "TEMP$$.ASM", "", SW_HIDE);
    fs::current_path(before);
    ASSERT_TRUE(started.Started()) << started.Error;
    const auto lines = probeOutput(started.Process, folder);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], (folder / "as11m").string());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
              (std::vector<std::string>{"TEMP$$.ASM", "-l", "s", "noc", "$$HOME", "%"}));
}

TEST_F(PosixShellTest, FailedStartsSayWhatIsMissing) {
    WriteFileBytes(folder / "asm.bat", "AS11M %1 -l");
    WriteFileBytes(folder / "empty.bat", " \r\n\r\n");
    WriteFileBytes(folder / "broken", "not a program\n");
    fs::permissions(folder / "broken", fs::perms::owner_all);
    const std::string dir = folder.string();

    struct Case {
        std::string file, directory;
        StartStatus status;
        std::string error;
    } cases[] = {
        {"VantrelSIM.EXE", dir, StartStatus::NotFound, "Ne najdem programa \"VantrelSIM.EXE\"!"},
        {"asm.bat", dir, StartStatus::NotFound, "Ne najdem programa \"AS11M\"!"},
        {"other.bat", dir, StartStatus::NotFound, "Ne najdem programa \"other.bat\"!"},
        {"empty.bat", dir, StartStatus::Failed, "Datoteka \"empty.bat\" ne vsebuje ukaza!"},
        {"probe", dir + "/none", StartStatus::NotFound, "Ne najdem mape \"" + dir + "/none\"!"},
        {"broken", dir, StartStatus::Failed, "Programa \"" + dir + "/broken\" ni mogoče zagnati (Exec format error)!"},
    };
    for (const Case& c : cases) {
        const StartResult result = api.ShellExecute(c.file, "TEMP$$.ASM", c.directory, SW_HIDE);
        EXPECT_EQ(result.Status, c.status) << c.file;
        EXPECT_EQ(result.Error, c.error) << c.file;
        EXPECT_EQ(result.Process, 0u) << c.file;
        EXPECT_FALSE(api.IsRunning(result.Process));
    }
}

TEST_F(PosixShellTest, IsRunningFollowsTheProgramAndLeavesNoZombie) {
    copyProbe(folder / "probe");
    const StartResult started = api.ShellExecute("probe", "sleep 400", folder.string(), SW_HIDE);
    ASSERT_TRUE(started.Started()) << started.Error;
    EXPECT_TRUE(api.IsRunning(started.Process));
    EXPECT_GT(api.ProcessId(started.Process), 0);
    EXPECT_FALSE(fs::exists(folder / "probe-out.txt"));
    const auto lines = probeOutput(started.Process, folder);
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_FALSE(api.IsRunning(started.Process));
    // The program was never our child: nothing to wait for.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    const StartResult again = api.ShellExecute("probe", "sleep 10", folder.string(), SW_HIDE);
    ASSERT_TRUE(again.Started());
    EXPECT_NE(again.Process, started.Process) << "handles are never reused";
    probeOutput(again.Process, folder);
}

TEST_F(PosixShellTest, OurDescriptorsDoNotReachTheProgram) {
    copyProbe(folder / "probe");
    // Held without close-on-exec, as a serial port might be.
    const int fd = ::open((folder / "held").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 3);
    const StartResult started = api.ShellExecute("probe", "", folder.string(), SW_HIDE);
    ::close(fd);
    ASSERT_TRUE(started.Started()) << started.Error;
    const auto lines = probeOutput(started.Process, folder);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "0 1 2");
}
