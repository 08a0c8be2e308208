#include "platform/comm/VirtualLines.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "common/AsciiText.h"

namespace comm {

namespace {

struct LineName {
    const char* Name;
    DWORD Bit;
};
// The first name of each line is the one written.
constexpr LineName kLineNames[] = {{"CTS", MS_CTS_ON},  {"DSR", MS_DSR_ON}, {"RLSD", MS_RLSD_ON},
                                   {"DCD", MS_RLSD_ON}, {"RI", MS_RING_ON}, {"RING", MS_RING_ON}};

}  // namespace

std::optional<VirtualLines> ParseVirtualLines(std::string text) {
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(std::remove_if(text.begin(), text.end(), isSpace), text.end());
    text = UpperAscii(text);
    if (text == "LOOP" || text.empty()) return VirtualLines{};
    if (text == "NONE") return VirtualLines{false, 0};
    VirtualLines lines{false, 0};
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string name = text.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        auto it = std::find_if(std::begin(kLineNames), std::end(kLineNames),
                               [&](const LineName& l) { return name == l.Name; });
        if (it == std::end(kLineNames)) return std::nullopt;
        lines.Fixed |= it->Bit;
    }
    return lines;
}

std::string FormatVirtualLines(const VirtualLines& lines) {
    if (lines.Loop) return "loop";
    std::string text;
    for (DWORD bit : {MS_CTS_ON, MS_DSR_ON, MS_RLSD_ON, MS_RING_ON}) {
        if (!(lines.Fixed & bit)) continue;
        auto it =
            std::find_if(std::begin(kLineNames), std::end(kLineNames), [&](const LineName& l) { return l.Bit == bit; });
        if (!text.empty()) text += ',';
        text += it->Name;
    }
    return text.empty() ? "none" : text;
}

std::optional<std::string> ReadVirtualLinesFile(const std::string& path) {
    std::ifstream in(path);
    std::string text;
    if (in && std::getline(in, text)) return text;
    return std::nullopt;
}

bool WriteVirtualLinesFile(const std::string& path, const VirtualLines& lines, std::string* error) {
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << FormatVirtualLines(lines) << '\n';
        out.close();
        if (!out) {
            if (error) *error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error) *error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace comm
