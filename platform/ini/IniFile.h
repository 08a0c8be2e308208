// Ini files with the semantics of the profile functions: every read looks at
// the file as it is now and every write goes to the file at once; sections
// and keys match without regard to case; a missing file, section or key gives
// the caller's default; lines we do not change (comments, order, other
// sections) stay as they were. Values are trimmed and one pair of enclosing
// double quotes is dropped on reading.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

class IniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IniFile {
public:
    explicit IniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // Decimal, or hex as $1F or 0x1F; anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSection(const std::string& section) const;  // keys in file order
    std::vector<std::string> ReadSections() const;

    // Throw IniFileError when the file cannot be written or a name or value
    // would break the file's layout (a line break, a key with '=').
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void EraseSection(const std::string& section);  // every section of that name
    void DeleteKey(const std::string& section, const std::string& key);

private:
    struct Lines {
        std::vector<std::string> Text;
        bool Crlf = false;
        bool Bom = false;
    };
    Lines load() const;
    void save(const Lines& lines) const;
    // Where a section's header is and where its body ends; header == npos when absent.
    struct Span {
        size_t Header;
        size_t End;
    };
    static Span findSection(const Lines& lines, const std::string& section);
    static size_t findKey(const Lines& lines, const Span& span, const std::string& key);

    std::string fileName_;
};
