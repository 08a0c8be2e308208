// What the fuzz targets share: a scratch file for the readers that take a
// path, and a check that stops the run with a message when a property fails.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "common/SRecord.h"

namespace fuzz {

// Aborts, so libFuzzer keeps the input as a crash, with what went wrong.
[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "property failed: %s\n", what);
    if (!detail.empty()) std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void Check(bool condition, const char* what, std::string_view detail = {}) {
    if (!condition) Fail(what, detail);
}

inline std::string_view AsText(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

// TakeLine, checked to consume the line and its LF and nothing else.
inline std::string_view TakeLineChecked(std::string_view& text) {
    const size_t before = text.size();
    const std::string_view line = TakeLine(text);
    Check(before - text.size() == line.size() + (before > line.size() ? 1 : 0), "TakeLine takes one line");
    return line;
}

// A folder of this process's own (in memory where the machine has one), gone
// at exit; parallel fuzzers each get theirs.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::filesystem::path path = base / ("vantrel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchFolder(), ec);
        });
        return path;
    }();
    return folder;
}

// Writes bytes to a file of the scratch folder and returns its path.
inline std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
    const std::string path = (ScratchFolder() / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace fuzz
