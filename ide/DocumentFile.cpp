#include "ide/DocumentFile.h"

#include "ide/Childwin.h"
#include "platform/text/TextFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Vantrel {

namespace {

std::string FirstLineEnd(const std::string& bytes) {
    const size_t at = bytes.find_first_of("\r\n");
    if (at == std::string::npos) return "\n";
    if (bytes[at] == '\n') return "\n";
    return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? "\r\n" : "\r";
}

std::string WithNewlines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

bool ReadDocument(const std::string& path, std::string* text, TDocumentFormat* format, std::string* err) {
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
        *err = path + ": " + std::strerror(EISDIR);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *err = path + ": " + std::strerror(errno);
        return false;
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        *err = path + ": napaka pri branju";
        return false;
    }
    const std::string raw = bytes.str();
    format->Windows1250 = !IsValidUtf8(raw);
    format->ByteOrderMark = !format->Windows1250 && raw.rfind("\xEF\xBB\xBF", 0) == 0;
    format->LineEnd = FirstLineEnd(raw);
    *text = WithNewlines(DecodeText(raw));
    return true;
}

bool WriteDocument(const std::string& path, const std::string& text, const TDocumentFormat& format,
                   std::string* err) {
    std::string out = format.ByteOrderMark ? "\xEF\xBB\xBF" : "";
    for (char c : text) {
        if (c == '\n')
            out += format.LineEnd;
        else
            out += c;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << out;
    if (!file.flush()) {
        *err = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace Vantrel
