#include "tests/support/TestSupport.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testsupport {

TTempFolder::TTempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a folder like " + pattern);
    path_ = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               const std::function<void()>& eachTurn) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (eachTurn) eachTurn();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace testsupport
