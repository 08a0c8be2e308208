// A small program for the shell tests. It writes, to probe-out.txt in its
// current directory: the path it runs from, where its standard output goes,
// the descriptors it holds, then each argument on a line of its own. "sleep N" as the first two
// arguments makes it wait N milliseconds first.
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::string descriptors() {
    std::string list;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir) return list;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || std::atoi(name.c_str()) == ::dirfd(dir)) continue;
        list += (list.empty() ? "" : " ") + name;
    }
    ::closedir(dir);
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc >= 3 && std::string(argv[1]) == "sleep")
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    std::error_code ec;
    const std::string self = fs::read_symlink("/proc/self/exe", ec).string();
    const std::string output = fs::read_symlink("/proc/self/fd/1", ec).string();
    const std::string held = descriptors();
    {
        std::ofstream out("probe-out.tmp", std::ios::binary | std::ios::trunc);
        out << self << '\n' << output << '\n' << held << '\n';
        for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
    }
    // Whole or not at all for a test that polls.
    fs::rename("probe-out.tmp", "probe-out.txt", ec);
    std::puts("probe output");
    return 0;
}
