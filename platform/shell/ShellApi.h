// Starting another program, as the Windows shell's "open" verb does:
// a program or a .bat file, its parameters, a current directory, shown or
// hidden. Two implementations: PosixShellApi (Linux processes) and
// FakeShellApi (tests).
//
// How a start is read, on both:
// - "X.EXE", "X.exe" and "X" all name the program X; names are found
//   regardless of letter case (see FindProgram);
// - parameters are split on blanks (a word in double quotes may hold
//   blanks); nothing passes through a command shell, so "TEMP$$.ASM"
//   arrives as written;
// - a .bat file holds one line: %1..%9 become the parameters, the first
//   word is the program, the others its arguments (see ReadBatchFile).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

// The show commands the programs pass.
enum ShowCommand : int {
    SW_HIDE = 0,        // output goes nowhere
    SW_SHOWNORMAL = 1,  // the program's output goes where ours goes
};

// Names one started process; ids are never reused. 0 names none.
using ProcessHandle = std::uint64_t;

enum class StartStatus {
    Started,
    NotFound,  // no such program, .bat file or directory
    Failed,    // found, but it could not be started (or the .bat is empty)
};

struct StartResult {
    StartStatus Status = StartStatus::Failed;
    ProcessHandle Process = 0;  // when started
    std::string Error;          // when not: a message naming the program, for a box

    bool Started() const { return Status == StartStatus::Started; }
};

class ShellApi {
public:
    virtual ~ShellApi() = default;

    // The "open" verb. `directory` empty: our own current directory. Never
    // waits for the program.
    virtual StartResult ShellExecute(const std::string& file, const std::string& parameters,
                                     const std::string& directory, ShowCommand show) = 0;
    // Whether a process that we started still runs (false for handle 0).
    virtual bool IsRunning(ProcessHandle process) = 0;
};

// The process-wide POSIX implementation (platform_shell).
ShellApi& DefaultShellApi();

// --- What both implementations share.

// The words of a parameter text: split on blanks and tabs; a double-quoted
// part belongs to its word and loses the quotes.
std::vector<std::string> SplitParameters(const std::string& parameters);

// Whether `file` names a .bat file (any letter case).
bool IsBatchFile(const std::string& file);

// The name a program goes by: the last path component without a ".exe"
// ending in any case ("C:/x/VantrelSIM.EXE" -> "VantrelSIM").
std::string ProgramName(const std::string& file);

// The command of a .bat line: %1..%9 replaced by the parameter words
// (missing ones by nothing) and %% by %, then split into words. Empty when
// the line holds no command.
std::vector<std::string> ExpandBatchLine(const std::string& line, const std::vector<std::string>& parameters);

// Reads the .bat file at `path` and expands its line: the first line that
// is not blank (the last line may lack its line end; the rest is not read).
// NotFound or Failed, with `error` filled, when it cannot be read or holds
// no command.
StartStatus ReadBatchFile(const std::string& path, const std::vector<std::string>& parameters,
                          std::vector<std::string>* command, std::string* error);

// The .bat file a start names, found regardless of case: a relative name
// counts from `directory` (empty: the current directory). Empty when none.
std::string FindBatchFile(const std::string& file, const std::string& directory);

// The command a start runs, before its program is looked for: the words of
// the line of the .bat file that `file` names, or else `file` followed by the
// parameter words. NotFound or Failed, with `error` filled and `command` left
// empty, when the directory or the .bat file is missing or the .bat file
// cannot be read or holds no command.
StartStatus ResolveStart(const std::string& file, const std::string& parameters, const std::string& directory,
                         std::vector<std::string>* command, std::string* error);

// The program a name resolves to, regardless of letter case and of a ".exe"
// ending: a name with a folder in it only in that folder (a relative one
// counted from `directory`); a bare name in `directory` (empty: the current
// directory), then in the folder of the running program, then in each PATH
// folder. Only executable files count. Empty when none is found.
std::string FindProgram(const std::string& name, const std::string& directory);

// The messages of a failed start, shared so the fake says what the real
// shell says.
std::string NotFoundMessage(const std::string& program);
std::string DirectoryNotFoundMessage(const std::string& directory);

}  // namespace shell
