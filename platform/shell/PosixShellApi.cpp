#include "platform/shell/PosixShellApi.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace shell {

namespace {

// What the middle process and the program tell us through the pipe.
struct Report {
    enum Outcome : int { Pid, ChdirFailed, ForkFailed, ExecFailed };
    Outcome Kind;
    int Value;  // the pid or the errno
};

// Between fork and exec only async-signal-safe calls.
void writeReport(int fd, Report::Outcome kind, int value) {
    const Report report{kind, value};
    [[maybe_unused]] const ssize_t n = ::write(fd, &report, sizeof report);
}

[[noreturn]] void runProgram(int reportFd, const char* path, char* const* argv, const char* directory, bool hidden) {
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &standard, nullptr);
    ::sigaction(SIGCHLD, &standard, nullptr);
    // Our descriptors (a serial port, say) are not the program's.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    if (directory && ::chdir(directory) != 0) {
        writeReport(reportFd, Report::ChdirFailed, errno);
        ::_exit(127);
    }
    if (hidden) {
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (null > 2) ::close(null);
        }
    }
    ::execv(path, argv);
    writeReport(reportFd, Report::ExecFailed, errno);
    ::_exit(127);
}

int openPidfd(int pid) {
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#else
    (void)pid;
#endif
    return -1;
}

std::string cannotStartMessage(const std::string& program, int code) {
    return "Programa \"" + program + "\" ni mogoče zagnati (" + std::strerror(code) + ")!";
}

}  // namespace

PosixShellApi::~PosixShellApi() {
    for (auto& [handle, process] : running_)
        if (process.Pidfd >= 0) ::close(process.Pidfd);
}

StartResult PosixShellApi::ShellExecute(const std::string& file, const std::string& parameters,
                                        const std::string& directory, ShowCommand show) {
    StartResult result;
    std::vector<std::string> command;
    result.Status = ResolveStart(file, parameters, directory, &command, &result.Error);
    if (result.Status != StartStatus::Started) return result;

    const std::string path = FindProgram(command.front(), directory);
    if (path.empty()) {
        result.Status = StartStatus::NotFound;
        result.Error = NotFoundMessage(command.front());
        return result;
    }
    command.front() = path;

    // Everything the children use is made before fork.
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    const char* chdirTo = directory.empty() ? nullptr : directory.c_str();
    const bool hidden = show == SW_HIDE;

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.Status = StartStatus::Failed;
        result.Error = cannotStartMessage(path, errno);
        return result;
    }
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::close(pipeFds[0]);
        const pid_t program = ::fork();
        if (program == 0) runProgram(pipeFds[1], path.c_str(), argv.data(), chdirTo, hidden);
        if (program < 0)
            writeReport(pipeFds[1], Report::ForkFailed, errno);
        else
            writeReport(pipeFds[1], Report::Pid, program);
        ::_exit(0);
    }
    const int forkError = errno;
    ::close(pipeFds[1]);
    if (middle < 0) {
        ::close(pipeFds[0]);
        result.Status = StartStatus::Failed;
        result.Error = cannotStartMessage(path, forkError);
        return result;
    }
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }

    // The pipe ends when the program has exec'd or exited.
    int pid = 0;
    int failedCode = 0;
    Report::Outcome failure = Report::Pid;
    Report report;
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], &report, sizeof report);
        if (n < 0 && errno == EINTR) continue;
        if (n != static_cast<ssize_t>(sizeof report)) break;
        if (report.Kind == Report::Pid) {
            pid = report.Value;
        } else {
            failure = report.Kind;
            failedCode = report.Value;
        }
    }
    ::close(pipeFds[0]);

    if (failure == Report::ChdirFailed) {
        result.Status = StartStatus::NotFound;
        result.Error = DirectoryNotFoundMessage(directory);
        return result;
    }
    if (failure != Report::Pid || pid <= 0) {
        result.Status = StartStatus::Failed;
        result.Error = cannotStartMessage(path, failedCode ? failedCode : ECHILD);
        return result;
    }

    std::lock_guard lock(mutex_);
    sweepLocked();
    result.Status = StartStatus::Started;
    result.Process = next_++;
    running_[result.Process] = Process{pid, openPidfd(pid)};
    return result;
}

bool PosixShellApi::stillRuns(const Process& process) {
    if (process.Pidfd >= 0) {
        pollfd entry{process.Pidfd, POLLIN, 0};
        return ::poll(&entry, 1, 0) == 0;
    }
    return ::kill(process.Pid, 0) == 0 || errno == EPERM;
}

void PosixShellApi::sweepLocked() {
    for (auto it = running_.begin(); it != running_.end();) {
        if (stillRuns(it->second)) {
            ++it;
            continue;
        }
        if (it->second.Pidfd >= 0) ::close(it->second.Pidfd);
        it = running_.erase(it);
    }
}

bool PosixShellApi::IsRunning(ProcessHandle process) {
    std::lock_guard lock(mutex_);
    const auto it = running_.find(process);
    if (it == running_.end()) return false;
    if (stillRuns(it->second)) return true;
    if (it->second.Pidfd >= 0) ::close(it->second.Pidfd);
    running_.erase(it);
    return false;
}

int PosixShellApi::ProcessId(ProcessHandle process) const {
    std::lock_guard lock(mutex_);
    const auto it = running_.find(process);
    return it == running_.end() ? 0 : it->second.Pid;
}

ShellApi& DefaultShellApi() {
    static PosixShellApi api;
    return api;
}

}  // namespace shell
