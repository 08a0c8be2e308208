#include "platform/comm/ComPortMap.h"

#include "common/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace comm {

namespace {

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

std::string DevicePortName(std::string_view fileName) {
    if (fileName.starts_with("\\\\.\\")) fileName.remove_prefix(4);
    return UpperAscii(fileName);
}

int DevicePortNumber(const std::string& fileName) { return ComPortNumber(DevicePortName(fileName)); }

bool ParseComPortMap(const std::string& text, ComPortMap* map, std::string* error) {
    ComPortMap result;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(";,", start);
        if (end == std::string::npos) end = text.size();
        const std::string entry = TrimAsciiBlanks(text.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) continue;
        const size_t eq = entry.find('=');
        const int n = eq == std::string::npos ? 0 : DevicePortNumber(TrimAsciiBlanks(entry.substr(0, eq)));
        const std::string path = eq == std::string::npos ? "" : TrimAsciiBlanks(entry.substr(eq + 1));
        if (n == 0 || path.empty() || path[0] != '/') {
            *error = "bad entry \"" + entry + "\" (expected COMn=/path with n from 1 to 16)";
            return false;
        }
        if (!result.emplace(n, path).second) {
            *error = ComPortName(n) + " is named twice";
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
        text += ComPortName(n) + "=" + path;
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
            if (next > MaxComPort) return map;
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
