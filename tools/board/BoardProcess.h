// Test support: the hc11board program as a person runs it, its output read
// as it goes. Killed (by its own pid) when the test ends.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace board {

class BoardProcess {
public:
    ~BoardProcess() {
        if (Pid > 0) {
            ::kill(Pid, SIGKILL);
            ::waitpid(Pid, nullptr, 0);
        }
        if (Out >= 0) ::close(Out);
    }
    bool Start(const std::string& program, std::vector<std::string> args) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const bool started = posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        Out = pipeFds[0];
        return started;
    }
    // Reads the output until it holds `text`; `idle` runs between reads.
    bool ReadUntil(const std::string& text, int ms, const std::function<void()>& idle = {}) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (Output.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > end) return false;
            pollfd p{Out, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buffer[4096];
                const ssize_t n = ::read(Out, buffer, sizeof buffer);
                if (n <= 0) return Output.find(text) != std::string::npos;
                Output.append(buffer, static_cast<size_t>(n));
            }
            if (idle) idle();
        }
        return true;
    }
    // The value of "NAME=" on the first lines ("VANTREL_COMPORTS=COM2=/dev/pts/N" gives "COM2=/dev/pts/N").
    std::string Value(const std::string& name) const {
        const size_t at = Output.find(name + "=");
        if (at == std::string::npos) return {};
        const size_t start = at + name.size() + 1;
        return Output.substr(start, Output.find('\n', start) - start);
    }
    // SIGTERM, then the exit status (-1 when it did not end normally).
    int Stop(const std::function<void()>& idle = {}) {
        ::kill(Pid, SIGTERM);
        ReadUntil("board: mode", 5000, idle);
        int status = 0;
        ::waitpid(Pid, &status, 0);
        Pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t Pid = -1;
    int Out = -1;
    std::string Output;
};

}  // namespace board
