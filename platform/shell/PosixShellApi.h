// The ShellApi on Linux. A program starts detached: a short-lived middle
// process forks it and exits at once, so it is never our child and never
// our zombie, and it leads a session of its own. Whether exec succeeded is
// learnt through a close-on-exec pipe; whether the program still runs,
// through a pidfd (kill(pid, 0) where the kernel has none).
#pragma once

#include <map>
#include <mutex>

#include "platform/shell/ShellApi.h"

namespace shell {

class PosixShellApi : public ShellApi {
public:
    PosixShellApi() = default;
    ~PosixShellApi() override;  // forgets the processes; they run on
    PosixShellApi(const PosixShellApi&) = delete;
    PosixShellApi& operator=(const PosixShellApi&) = delete;

    StartResult ShellExecute(const std::string& file, const std::string& parameters, const std::string& directory,
                             ShowCommand show) override;
    bool IsRunning(ProcessHandle process) override;

    // The process id of a started process (0 when unknown), for messages.
    int ProcessId(ProcessHandle process) const;

private:
    struct Process {
        int Pid = 0;
        int Pidfd = -1;  // -1: watched through kill(pid, 0)
    };
    static bool stillRuns(const Process& process);
    // Drops the processes that have ended, closing their pidfds.
    void sweepLocked();

    mutable std::mutex mutex_;
    ProcessHandle next_ = 1;
    std::map<ProcessHandle, Process> running_;
};

}  // namespace shell
