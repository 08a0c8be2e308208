#include "platform/shell/FakeShellApi.h"

#include "common/AsciiText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace shell {

namespace {

std::string key(const std::string& name) { return LowerAscii(ProgramName(name)); }

}  // namespace

FakeShellApi::FakeShellApi(timing::FakeClock& clock) : clock_(clock) {}

FakeShellApi::~FakeShellApi() {
    for (const auto id : scheduled_) clock_.Cancel(id);
}

void FakeShellApi::AddProgram(const std::string& name, Program program) {
    std::lock_guard lock(mutex_);
    programs_[key(name)] = std::move(program);
}

void FakeShellApi::Exit(ProcessHandle process) {
    const timing::Ticks now = clock_.GetTickCount64();
    std::lock_guard lock(mutex_);
    if (const auto it = ends_.find(process); it != ends_.end()) it->second = std::min(it->second, now);
}

std::vector<FakeShellApi::Start> FakeShellApi::Starts() const {
    std::lock_guard lock(mutex_);
    return starts_;
}

std::vector<std::string> FakeShellApi::StartedPrograms() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> programs;
    for (const Start& start : starts_)
        if (start.Result.Started()) programs.push_back(start.Program);
    return programs;
}

void FakeShellApi::ClearStarts() {
    std::lock_guard lock(mutex_);
    starts_.clear();
}

StartResult FakeShellApi::ShellExecute(const std::string& file, const std::string& parameters,
                                       const std::string& directory, ShowCommand show) {
    Start start;
    start.File = file;
    start.Parameters = parameters;
    start.Directory = directory;
    start.Show = show;
    start.Tick = clock_.GetTickCount64();
    StartResult& result = start.Result;
    std::vector<std::string> command;
    result.Status = ResolveStart(file, parameters, directory, &command, &result.Error);

    std::unique_lock lock(mutex_);
    Program program = Program::Missing();
    if (!command.empty()) {
        start.Program = command.front();
        start.Arguments.assign(command.begin() + 1, command.end());
        if (const auto it = programs_.find(key(start.Program)); it != programs_.end()) program = it->second;
    }
    if (result.Started() && program.Absent) {
        result.Status = StartStatus::NotFound;
        result.Error = NotFoundMessage(start.Program);
    }
    if (result.Started()) {
        result.Process = next_++;
        ends_[result.Process] =
            program.Runs == Program::Forever ? Program::Forever : start.Tick + std::max(program.Runs, program.Delay);
    }
    starts_.push_back(start);
    lock.unlock();

    if (result.Started() && !program.Files.empty()) {
        if (program.Delay == 0) {
            writeFiles(directory, program.Files);
        } else {
            const ProcessHandle process = result.Process;
            const auto id = clock_.At(start.Tick + program.Delay, [this, process, directory, files = program.Files] {
                bool stillRuns;
                {
                    std::lock_guard inner(mutex_);
                    stillRuns = ends_[process] >= clock_.GetTickCount64();
                }
                if (stillRuns) writeFiles(directory, files);
            });
            std::lock_guard relock(mutex_);
            scheduled_.push_back(id);
        }
    }
    return result;
}

bool FakeShellApi::IsRunning(ProcessHandle process) {
    const timing::Ticks now = clock_.GetTickCount64();
    std::lock_guard lock(mutex_);
    const auto it = ends_.find(process);
    return it != ends_.end() && now < it->second;
}

void FakeShellApi::writeFiles(const std::string& directory, const std::vector<File>& files) {
    const std::filesystem::path base = directory.empty() ? "." : directory;
    for (const auto& [name, bytes] : files) {
        std::ofstream out(base / name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
}

}  // namespace shell
