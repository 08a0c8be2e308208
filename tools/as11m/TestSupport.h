// For the tests that run programs: a child process started without a
// shell, so that names such as TEMP$$.ASM stay as they are.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace as11m::test {

struct ProcessResult {
    int ExitCode = -1;
    std::string Output;  // standard output and standard error together
};

// Runs program with args in directory; no standard input.
inline ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& directory) {
    ProcessResult result;
    std::filesystem::path capture = directory / ".output";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory.c_str()) != 0) _exit(127);
        int out = open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
    result.Output = testsupport::FileBytes(capture);
    std::filesystem::remove(capture);
    return result;
}

}  // namespace as11m::test
