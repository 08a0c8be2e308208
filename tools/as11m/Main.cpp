// as11m FILE [-l] [s] [c|noc]: assembles FILE and writes FILE.S19 and, with
// -l, FILE.LST beside it (upper-case extensions). Exit 0 without errors, 1
// when the source had errors (both files written all the same), 2 when the
// command line is unusable or the files cannot be read or written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "common/AsciiText.h"
#include "platform/text/TextFile.h"
#include "tools/as11m/Assembler.h"
#include "tools/as11m/Output.h"
#include "tools/as11m/SourceText.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitSourceErrors = 1;
constexpr int kExitUnusable = 2;
constexpr uint64_t kMaximumSourceSize = 64 << 20;

struct CommandLine {
    std::string Source;
    bool Listing = false;
    as11m::ListingOptions Options;
};

bool ParseCommandLine(int argc, char** argv, CommandLine& command, std::string& error) {
    if (argc < 2) {
        error = "usage: as11m FILE [-l] [s] [c|noc]";
        return false;
    }
    command.Source = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string word = LowerAscii(argv[i]);
        if (word == "-l")
            command.Listing = true;
        else if (word == "s")
            command.Options.SymbolTable = true;
        else if (word == "c")
            command.Options.Cycles = true;
        else if (word == "noc")
            command.Options.Cycles = false;
        else {
            error = "unknown option: " + std::string(argv[i]);
            return false;
        }
    }
    return true;
}

// Directory part (with its slash) and file part of a path.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string WithExtension(const std::string& path, const char* extension) {
    auto [directory, file] = SplitPath(path);
    size_t dot = file.rfind('.');
    if (dot != std::string::npos && dot > 0) file.resize(dot);
    return directory + file + extension;
}

// A source is a regular file of sensible size: a device or a pipe could feed
// it forever.
bool ReadSource(const std::string& path, std::string& contents, std::string& error) {
    int errorNumber = 0;
    switch (ReadFileBytes(path, &contents, &errorNumber, kMaximumSourceSize)) {
        case TBytesRead::Okay: return true;
        case TBytesRead::NotFound:
        case TBytesRead::OpenFailed: error = "cannot open " + path + ": " + std::strerror(errorNumber); break;
        case TBytesRead::NotAFile: error = "cannot read " + path + ": not a regular file"; break;
        case TBytesRead::TooLarge: error = "cannot read " + path + ": larger than 64 MiB"; break;
        case TBytesRead::ReadFailed: error = "cannot read " + path + ": " + std::strerror(errorNumber); break;
    }
    return false;
}

// Written under a temporary name in the same directory and renamed, so
// that the file appears whole or not at all.
bool WriteFileWhole(const std::string& path, const std::string& contents, std::string& error) {
    auto [directory, file] = SplitPath(path);
    std::string temporary = directory + ".as11m-XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot write in " + (directory.empty() ? std::string(".") : directory) + ": " + std::strerror(errno);
        return false;
    }
    mode_t mask = umask(0);  // mkstemp creates 0600; give the file the usual mode
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    size_t written = 0;
    while (written < contents.size()) {
        ssize_t n = write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = "cannot write " + path + ": " + std::strerror(errno);
            close(fd);
            unlink(temporary.c_str());
            return false;
        }
        written += static_cast<size_t>(n);
    }
    if (close(fd) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

int Run(int argc, char** argv) {
    CommandLine command;
    std::string error;
    if (!ParseCommandLine(argc, argv, command, error)) {
        std::cerr << "as11m: " << error << '\n';
        return kExitUnusable;
    }
    std::string bytes;
    if (!ReadSource(command.Source, bytes, error)) {
        std::cerr << "as11m: " << error << '\n';
        return kExitUnusable;
    }
    as11m::Assembly assembly = as11m::Assemble(as11m::SplitLines(as11m::DecodeSource(bytes)));
    std::string sourceName = SplitPath(command.Source).second;

    // The object file first: the development environment looks at the
    // listing as soon as it appears and expects the object beside it.
    if (!WriteFileWhole(WithExtension(command.Source, ".S19"), as11m::FormatSRecords(assembly), error)) {
        std::cerr << "as11m: " << error << '\n';
        return kExitUnusable;
    }
    if (command.Listing && !WriteFileWhole(WithExtension(command.Source, ".LST"),
                                           as11m::FormatListing(assembly, sourceName, command.Options), error)) {
        std::cerr << "as11m: " << error << '\n';
        return kExitUnusable;
    }
    int errors = assembly.ErrorCount();
    for (const as11m::AssembledLine& line : assembly.Lines)
        for (const as11m::LineError& e : line.Errors)
            std::cerr << sourceName << ':' << line.Number << ':' << as11m::ErrorText(e.Kind)
                      << (e.Detail.empty() ? "" : " ") << e.Detail << '\n';
    if (errors > 0) {
        std::cerr << "as11m: " << errors << (errors == 1 ? " error" : " errors") << " in " << sourceName << '\n';
        return kExitSourceErrors;
    }
    return kExitClean;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "as11m: " << e.what() << '\n';
        return kExitUnusable;
    }
}
