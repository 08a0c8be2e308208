// What many tests need and no program does: a scratch folder that goes away
// with the test, whole files as bytes, and waiting on a condition instead of
// sleeping a guessed time.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TTempFolder {
public:
    explicit TTempFolder(const std::string& prefix = "vantrel-test");
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // The path of a file in the folder, as a string for the APIs that take one.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The whole file, byte for byte; "" when it cannot be read.
std::string FileBytes(const std::filesystem::path& path);
// Writes bytes as they are (no line-end translation); false on failure.
bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Calls eachTurn (if any) and sleeps a millisecond until done() holds or
// limit has passed; true when done() held. The limit is a safety net for a
// fault, not a timing the test relies on, so keep it generous.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10),
               const std::function<void()>& eachTurn = {});

}  // namespace testsupport
