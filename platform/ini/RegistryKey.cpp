#include "platform/ini/RegistryKey.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// Stored values carry their type: "sz:text" or "dword:123". Text is escaped
// so that line breaks, other control bytes and a trailing blank survive the
// ini layout, which trims and splits lines.
constexpr const char* kText = "sz:";
constexpr const char* kInteger = "dword:";

std::string escape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool trailingBlank = c == ' ' && i + 1 == text.size();
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F || trailingBlank) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// What is no escape of ours (a hand-edited store) stays as written.
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
        } else if (text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i + 1] == 'x' && i + 3 < text.size() && hexValue(text[i + 2]) >= 0 &&
                   hexValue(text[i + 3]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

std::string RegistryKey::DefaultStorePath() {
    if (const char* path = std::getenv("VANTREL_REGISTRY"); path && *path) return path;
    std::filesystem::path folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        folder = config;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::filesystem::path(home) / ".config";
    else
        folder = ".";
    return (folder / "vantrel" / "registry.ini").string();
}

RegistryKey::RegistryKey(std::string storePath) : store_(storePath), storePath_(std::move(storePath)) {}

bool RegistryKey::OpenKey(const std::string& key, bool canCreate) {
    if (!canCreate && !KeyExists(key)) return false;
    current_ = key;
    return true;
}

void RegistryKey::CloseKey() { current_.clear(); }

bool RegistryKey::KeyExists(const std::string& key) const { return store_.SectionExists(key); }

std::string RegistryKey::section() const { return current_; }

bool RegistryKey::ValueExists(const std::string& name) const { return store_.ValueExists(section(), name); }

void RegistryKey::DeleteValue(const std::string& name) {
    try {
        store_.DeleteKey(section(), name);
    } catch (const IniFileError& e) {
        throw RegistryError(e.what());
    }
}

std::string RegistryKey::ReadString(const std::string& name) const {
    if (!store_.ValueExists(section(), name)) return "";
    const std::string stored = store_.ReadString(section(), name, "");
    if (!startsWith(stored, kText)) throw RegistryError("Invalid data type for '" + name + "'");
    return unescape(stored.substr(std::char_traits<char>::length(kText)));
}

int RegistryKey::ReadInteger(const std::string& name) const {
    if (!store_.ValueExists(section(), name)) throw RegistryError("Failed to get data for '" + name + "'");
    const std::string stored = store_.ReadString(section(), name, "");
    if (!startsWith(stored, kInteger)) throw RegistryError("Invalid data type for '" + name + "'");
    // The whole text must be one number of 32 bits, signed or not.
    const char* first = stored.data() + std::char_traits<char>::length(kInteger);
    const char* last = stored.data() + stored.size();
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || value < INT32_MIN || value > UINT32_MAX)
        throw RegistryError("Invalid data type for '" + name + "'");
    return static_cast<int>(static_cast<uint32_t>(value));
}

void RegistryKey::write(const std::string& name, const std::string& stored) {
    try {
        std::error_code ec;
        const auto folder = std::filesystem::path(storePath_).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, ec);
        store_.WriteString(section(), name, stored);
    } catch (const IniFileError&) {
        throw RegistryError("Failed to set data for '" + name + "'");
    }
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) { write(name, kText + escape(value)); }

void RegistryKey::WriteInteger(const std::string& name, int value) { write(name, kInteger + std::to_string(value)); }
