#include "platform/ini/IniFile.h"

#include "common/AsciiText.h"
#include "common/NumberText.h"
#include "platform/text/TextFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

constexpr size_t npos = std::string::npos;

// The section named by a "[name]" line, or npos-like failure.
bool sectionHeader(const std::string& line, std::string* name) {
    const std::string t = TrimAsciiBlanks(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const size_t close = t.find(']');
    if (close == npos) return false;
    *name = TrimAsciiBlanks(t.substr(1, close - 1));
    return true;
}

bool keyLine(const std::string& line, std::string* key, std::string* value) {
    const std::string t = TrimAsciiBlanks(line);
    if (t.empty() || t[0] == ';' || t[0] == '#' || t[0] == '[') return false;
    const size_t eq = t.find('=');
    if (eq == npos) return false;
    *key = TrimAsciiBlanks(t.substr(0, eq));
    if (value) *value = TrimAsciiBlanks(t.substr(eq + 1));
    return true;
}

bool hasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != npos; }

}  // namespace

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName)) {}

IniFile::Lines IniFile::load() const {
    Lines lines;
    std::string bytes;
    // A folder or a file that cannot be read reads as an empty file.
    if (ReadFileBytes(fileName_, &bytes) != TBytesRead::Okay) return lines;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        bytes.erase(0, 3);
        lines.Bom = true;
    }
    // A CR alone ends a line too: no value read may hold a line break, which
    // a write would refuse (and settings saved at exit would be lost).
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == npos) {
            lines.Text.push_back(bytes.substr(start));
            break;
        }
        const bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
        if (lines.Text.empty()) lines.Crlf = crlf;
        lines.Text.push_back(bytes.substr(start, end - start));
        start = end + (crlf ? 2 : 1);
    }
    return lines;
}

void IniFile::save(const Lines& lines) const {
    // Write beside the file and rename, so a failure never leaves half a file.
    const std::string temporary = fileName_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            if (lines.Bom) out << "\xEF\xBB\xBF";
            for (const std::string& line : lines.Text) out << line << (lines.Crlf ? "\r\n" : "\n");
        }
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            throw IniFileError("Unable to write to " + fileName_);
        }
    }
    if (std::rename(temporary.c_str(), fileName_.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        throw IniFileError("Unable to write to " + fileName_ + ": " + std::strerror(error));
    }
}

IniFile::Span IniFile::findSection(const Lines& lines, const std::string& section) {
    Span span{npos, lines.Text.size()};
    // Names are compared as they are written: trimmed, as the file's own are.
    const std::string wanted = TrimAsciiBlanks(section);
    std::string name;
    for (size_t i = 0; i < lines.Text.size(); ++i) {
        if (!sectionHeader(lines.Text[i], &name)) continue;
        if (span.Header != npos) {
            span.End = i;
            break;
        }
        if (EqualIgnoringAsciiCase(name, wanted)) span.Header = i;
    }
    return span;
}

size_t IniFile::findKey(const Lines& lines, const Span& span, const std::string& key) {
    if (span.Header == npos) return npos;
    const std::string wanted = TrimAsciiBlanks(key);
    std::string name;
    for (size_t i = span.Header + 1; i < span.End; ++i)
        if (keyLine(lines.Text[i], &name, nullptr) && EqualIgnoringAsciiCase(name, wanted)) return i;
    return npos;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const Lines lines = load();
    const size_t at = findKey(lines, findSection(lines, section), key);
    if (at == npos) return defaultValue;
    std::string name, value;
    keyLine(lines.Text[at], &name, &value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const {
    return TextToInt(TrimAsciiBlanks(ReadString(section, key, "")), {.ZeroXHex = true}).value_or(defaultValue);
}

bool IniFile::SectionExists(const std::string& section) const { return findSection(load(), section).Header != npos; }

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
    const Lines lines = load();
    return findKey(lines, findSection(lines, section), key) != npos;
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
    const Lines lines = load();
    const Span span = findSection(lines, section);
    std::vector<std::string> keys;
    if (span.Header == npos) return keys;
    std::string name;
    for (size_t i = span.Header + 1; i < span.End; ++i)
        if (keyLine(lines.Text[i], &name, nullptr)) keys.push_back(name);
    return keys;
}

std::vector<std::string> IniFile::ReadSections() const {
    std::vector<std::string> sections;
    std::string name;
    for (const std::string& line : load().Text)
        if (sectionHeader(line, &name)) sections.push_back(name);
    return sections;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string k = TrimAsciiBlanks(key);
    if (hasLineBreak(section) || section.find(']') != npos || hasLineBreak(value) || hasLineBreak(key) || k.empty() ||
        k.find('=') != npos || k[0] == '[' || k[0] == ';' || k[0] == '#')
        throw IniFileError("Unable to write to " + fileName_ + ": invalid section, key or value");
    Lines lines = load();
    const Span span = findSection(lines, section);
    const size_t at = findKey(lines, span, k);
    if (at != npos) {
        std::string name;
        keyLine(lines.Text[at], &name, nullptr);
        lines.Text[at] = name + "=" + value;
    } else if (span.Header != npos) {
        // After the section's last entry, before the blank lines that part it from the next.
        size_t insert = span.End;
        while (insert > span.Header + 1 && TrimAsciiBlanks(lines.Text[insert - 1]).empty()) --insert;
        lines.Text.insert(lines.Text.begin() + static_cast<long>(insert), k + "=" + value);
    } else {
        std::string header = "[";
        header += TrimAsciiBlanks(section);
        header += ']';
        lines.Text.push_back(std::move(header));
        lines.Text.push_back(k + "=" + value);
    }
    save(lines);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::EraseSection(const std::string& section) {
    Lines lines = load();
    // Every section of the name: a later one would otherwise come to light
    // when the first is gone.
    Span span = findSection(lines, section);
    if (span.Header == npos) return;
    do {
        lines.Text.erase(lines.Text.begin() + static_cast<long>(span.Header),
                         lines.Text.begin() + static_cast<long>(span.End));
        span = findSection(lines, section);
    } while (span.Header != npos);
    save(lines);
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    Lines lines = load();
    const size_t at = findKey(lines, findSection(lines, section), key);
    if (at == npos) return;
    lines.Text.erase(lines.Text.begin() + static_cast<long>(at));
    save(lines);
}
