#include "platform/comm/ComPortMap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace comm {

namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// The index of "ttyUSB12" after the prefix "ttyUSB", or -1.
int deviceIndex(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    int index = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        index = index * 10 + (name[i] - '0');
        if (index > 9999) return -1;
    }
    return index;
}

// ttyS0..ttyS3 exist on most PCs with no UART behind them; sysfs tells by a
// port type of 0.
bool hasUart(const std::filesystem::path& sysTty, const std::string& name) {
    std::ifstream type(sysTty / name / "type");
    int value = 0;
    return type >> value && value != 0;
}

}  // namespace

int ComPortNumber(const std::string& text) {
    std::string name = text;
    if (name.rfind("\\\\.\\", 0) == 0) name.erase(0, 4);
    if (name.size() < 4 || name.size() > 5) return 0;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
    int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        n = n * 10 + (name[i] - '0');
    }
    if (name[3] == '0') return 0;
    return n >= 1 && n <= kMaxComPort ? n : 0;
}

bool ParseComPortMap(const std::string& text, ComPortMap* map, std::string* error) {
    ComPortMap result;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(";,", start);
        if (end == std::string::npos) end = text.size();
        const std::string entry = trim(text.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) continue;
        const size_t eq = entry.find('=');
        const int n = eq == std::string::npos ? 0 : ComPortNumber(trim(entry.substr(0, eq)));
        const std::string path = eq == std::string::npos ? "" : trim(entry.substr(eq + 1));
        if (n == 0 || path.empty() || path[0] != '/') {
            *error = "bad entry \"" + entry + "\" (expected COMn=/path with n from 1 to 16)";
            return false;
        }
        if (!result.emplace(n, path).second) {
            *error = "COM" + std::to_string(n) + " is named twice";
            return false;
        }
    }
    *map = std::move(result);
    return true;
}

std::string FormatComPortMap(const ComPortMap& map) {
    std::string text;
    for (const auto& [n, path] : map) {
        if (!text.empty()) text += ';';
        text += "COM" + std::to_string(n) + "=" + path;
    }
    return text;
}

ComPortMap AutomaticComPortMap(const std::string& root) {
    namespace fs = std::filesystem;
    const fs::path dev = fs::path(root.empty() ? "/" : root) / "dev";
    const fs::path sysTty = fs::path(root.empty() ? "/" : root) / "sys/class/tty";
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dev, ec)) names.push_back(entry.path().filename());

    ComPortMap map;
    int next = 1;
    for (const std::string prefix : {"ttyS", "ttyUSB", "ttyACM", "ttyAMA"}) {
        std::vector<std::pair<int, std::string>> found;
        for (const std::string& name : names) {
            const int index = deviceIndex(name, prefix);
            if (index < 0) continue;
            if (prefix == "ttyS" && !hasUart(sysTty, name)) continue;
            found.emplace_back(index, name);
        }
        std::sort(found.begin(), found.end());
        for (const auto& [index, name] : found) {
            if (next > kMaxComPort) return map;
            map[next++] = (dev / name).string();
        }
    }
    return map;
}

bool ResolveComPortMap(ComPortMap* map, std::string* error) {
    if (const char* text = std::getenv("VANTREL_COMPORTS")) return ParseComPortMap(text, map, error);
    *map = AutomaticComPortMap();
    return true;
}

}  // namespace comm
