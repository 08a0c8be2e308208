#include "platform/shell/ShellApi.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/AsciiText.h"
#include "platform/text/TextFile.h"

namespace shell {

namespace fs = std::filesystem;

namespace {

bool endsWithIgnoringCase(const std::string& text, std::string_view ending) {
    return text.size() >= ending.size() &&
           EqualIgnoringAsciiCase(std::string_view(text).substr(text.size() - ending.size()), ending);
}

bool isExecutableFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

// The file called `name` in `folder`, letter case ignored, or nothing.
std::optional<fs::path> findIn(const fs::path& folder, const std::string& name) {
    const auto found = FindFileIgnoringCase((folder / name).string());
    if (!found) return std::nullopt;
    std::error_code ec;
    const fs::path absolute = fs::absolute(*found, ec);
    return ec ? fs::path(*found) : absolute;
}

fs::path baseFolder(const std::string& directory) { return directory.empty() ? fs::path(".") : fs::path(directory); }

fs::path runningProgramFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

}  // namespace

std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (const char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

bool IsBatchFile(const std::string& file) { return endsWithIgnoringCase(file, ".bat"); }

std::string ProgramName(const std::string& file) {
    std::string name = fs::path(file).filename().string();
    if (endsWithIgnoringCase(name, ".exe")) name.resize(name.size() - 4);
    return name;
}

std::vector<std::string> ExpandBatchLine(const std::string& line, const std::vector<std::string>& parameters) {
    std::string expanded;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '%' && i + 1 < line.size()) {
            const char next = line[i + 1];
            if (next >= '1' && next <= '9') {
                const size_t index = static_cast<size_t>(next - '1');
                if (index < parameters.size()) expanded += parameters[index];
                ++i;
                continue;
            }
            if (next == '%') {
                expanded += '%';
                ++i;
                continue;
            }
        }
        expanded += c;
    }
    return SplitParameters(expanded);
}

StartStatus ReadBatchFile(const std::string& path, const std::vector<std::string>& parameters,
                          std::vector<std::string>* command, std::string* error) {
    const std::string name = fs::path(path).filename().string();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int code = errno;
        if (code == ENOENT) {
            if (error) *error = NotFoundMessage(name);
            return StartStatus::NotFound;
        }
        if (error) *error = "Datoteke \"" + name + "\" ni mogoče brati (" + std::strerror(code) + ")!";
        return StartStatus::Failed;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos) break;
        line.clear();
    }
    std::vector<std::string> words = ExpandBatchLine(line, parameters);
    if (words.empty()) {
        if (error) *error = "Datoteka \"" + name + "\" ne vsebuje ukaza!";
        return StartStatus::Failed;
    }
    if (command) *command = std::move(words);
    return StartStatus::Started;
}

StartStatus ResolveStart(const std::string& file, const std::string& parameters, const std::string& directory,
                         std::vector<std::string>* command, std::string* error) {
    std::error_code ec;
    if (!directory.empty() && !fs::is_directory(directory, ec)) {
        if (error) *error = DirectoryNotFoundMessage(directory);
        return StartStatus::NotFound;
    }
    if (!IsBatchFile(file)) {
        *command = SplitParameters(parameters);
        command->insert(command->begin(), file);
        return StartStatus::Started;
    }
    const std::string batch = FindBatchFile(file, directory);
    if (batch.empty()) {
        if (error) *error = NotFoundMessage(file);
        return StartStatus::NotFound;
    }
    return ReadBatchFile(batch, SplitParameters(parameters), command, error);
}

std::string FindBatchFile(const std::string& file, const std::string& directory) {
    const fs::path given(file);
    const fs::path path = given.is_absolute() ? given : baseFolder(directory) / given;
    const auto found = findIn(path.parent_path(), path.filename().string());
    return found ? found->string() : std::string();
}

std::string FindProgram(const std::string& name, const std::string& directory) {
    const fs::path given(name);
    const std::string program = ProgramName(name);
    if (program.empty()) return {};
    std::vector<fs::path> folders;
    if (given.has_parent_path()) {
        folders.push_back(given.is_absolute() ? given.parent_path() : baseFolder(directory) / given.parent_path());
    } else {
        folders.push_back(baseFolder(directory));
        if (const fs::path own = runningProgramFolder(); !own.empty()) folders.push_back(own);
        if (const char* path = std::getenv("PATH")) {
            std::stringstream list(path);
            for (std::string folder; std::getline(list, folder, ':');)
                if (!folder.empty()) folders.push_back(folder);
        }
    }
    for (const fs::path& folder : folders) {
        const auto found = findIn(folder, program);
        if (found && isExecutableFile(*found)) return found->string();
    }
    return {};
}

std::string NotFoundMessage(const std::string& program) { return "Ne najdem programa \"" + program + "\"!"; }

std::string DirectoryNotFoundMessage(const std::string& directory) { return "Ne najdem mape \"" + directory + "\"!"; }

}  // namespace shell
