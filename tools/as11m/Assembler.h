// The two passes: source lines in, per-line addresses, bytes and errors out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace as11m {

// Every error the assembler reports is one of these eight, because the
// development environment recognises no other text: an error reported with
// any other message would let a broken program pass as clean.
enum class ErrorKind : uint8_t {
    UnrecognizedMnemonic,
    InvalidNumericConstant,
    ValueTruncated,
    IllegalFirstCharacterInLabel,
    SymbolUndefined,
    BranchOutOfRange,
    SymbolRedefined,
    MissingOperand,
};

// The English text as the development environment searches for it, with
// its leading blank.
std::string_view ErrorText(ErrorKind kind);

struct LineError {
    ErrorKind Kind;
    std::string Detail;  // one word (a symbol or mnemonic) or empty
    bool operator==(const LineError&) const = default;
};

struct AssembledLine {
    int Number = 0;           // 1-based line of the source
    std::string Source;       // the line as read (UTF-8)
    bool HasAddress = false;  // the line emits code or data, or reserves memory
    uint16_t Address = 0;
    std::vector<uint8_t> Bytes;  // all at Address upward; none on a line with errors
    int Cycles = -1;             // the instruction's E cycles; -1 on other lines
    std::vector<LineError> Errors;
};

struct Assembly {
    std::vector<AssembledLine> Lines;
    std::map<std::string, int64_t> Symbols;  // defined symbols, sorted by name
    int ErrorCount() const;
};

Assembly Assemble(const std::vector<std::string>& lines);

}  // namespace as11m
