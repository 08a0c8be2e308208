// A ShellApi for tests, in the manner of a fake command runner: each start
// is recorded, and what the started program does is picked by its name.
// A program may write given files (real files, in the start's directory),
// write nothing, be missing, or be slow: write its files once the fake
// clock has passed a delay. A .bat file is read from disk with the real
// reader, so the record shows the command its line expands to and the
// outcome is that of the line's program.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock/FakeClock.h"
#include "platform/shell/ShellApi.h"

namespace shell {

class FakeShellApi : public ShellApi {
public:
    // A file a program writes: the name (relative to the start's directory)
    // and the bytes.
    using File = std::pair<std::string, std::string>;

    // What a program does when started.
    struct Program {
        static constexpr timing::Ticks Forever = ~timing::Ticks{0};

        bool Absent = false;
        std::vector<File> Files;
        timing::Ticks Delay = 0;  // the files appear this long after the start
        timing::Ticks Runs = 0;   // runs this long after the start (at least `delay`);
                                  // Forever: until Exit

        static Program Writes(std::vector<File> files) {
            Program program;
            program.Files = std::move(files);
            return program;
        }
        static Program WritesNothing() { return Program{}; }
        static Program Missing() {
            Program program;
            program.Absent = true;
            return program;
        }
        static Program Slow(timing::Ticks delay, std::vector<File> files) {
            Program program;
            program.Files = std::move(files);
            program.Delay = program.Runs = delay;
            return program;
        }
        // Keeps running until Exit (a downloader holding the serial port).
        static Program Stays() {
            Program program;
            program.Runs = Forever;
            return program;
        }
    };

    // One ShellExecute call.
    struct Start {
        std::string File;
        std::string Parameters;
        std::string Directory;
        ShowCommand Show = SW_SHOWNORMAL;
        std::string Program;                 // what ran: the file's, or the .bat line's first word
        std::vector<std::string> Arguments;  // its arguments after the split (and %n expansion)
        StartResult Result;
        timing::Ticks Tick = 0;  // the fake time of the start
    };

    // The clock must outlive the fake.
    explicit FakeShellApi(timing::FakeClock& clock);
    ~FakeShellApi() override;

    // Programs are named without folder and ".exe", in any letter case.
    // A name that was never added is missing.
    void AddProgram(const std::string& name, Program program);
    // Ends a process (one that Stays, or a slow one before its files).
    void Exit(ProcessHandle process);

    std::vector<Start> Starts() const;
    std::vector<std::string> StartedPrograms() const;  // the program of each start, in order
    void ClearStarts();

    StartResult ShellExecute(const std::string& file, const std::string& parameters, const std::string& directory,
                             ShowCommand show) override;
    bool IsRunning(ProcessHandle process) override;

private:
    void writeFiles(const std::string& directory, const std::vector<File>& files);

    timing::FakeClock& clock_;
    mutable std::mutex mutex_;
    std::map<std::string, Program> programs_;  // by lower-case name
    std::vector<Start> starts_;
    ProcessHandle next_ = 1;
    std::map<ProcessHandle, timing::Ticks> ends_;  // the end tick of each process
    std::vector<timing::FakeClock::ActionId> scheduled_;
};

}  // namespace shell
