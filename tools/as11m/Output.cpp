#include "tools/as11m/Output.h"

#include <cstdio>
#include <vector>

namespace as11m {
namespace {

constexpr size_t kBytesPerListingLine = 5;  // the longest instruction
constexpr size_t kBytesPerRecord = 16;      // the board's loader buffers one record in RAM

void AppendHex(std::string& out, unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

void AppendPadded(std::string& out, std::string_view text, size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}

// Control characters other than tab would upset the windows that show the
// listing; the rest of the line stays as written.
std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) c = '?';
    return out;
}

void RightTrim(std::string& text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
}

void AppendListingLine(std::string& out, int number, bool hasAddress, unsigned address, const uint8_t* bytes,
                       size_t count, int cycles, bool cycleColumn, std::string_view source) {
    std::string line;
    char key[16];
    std::snprintf(key, sizeof key, "%4d ", number % 10000);
    line += key;
    if (hasAddress)
        AppendHex(line, address, 4);
    else
        line += "    ";
    line += ' ';
    std::string object;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) object += ' ';
        AppendHex(object, bytes[i], 2);
    }
    AppendPadded(line, object, 14);
    line += "  ";
    if (cycleColumn) {
        if (cycles >= 0) {
            char field[16];
            std::snprintf(field, sizeof field, "[%2d] ", cycles);
            line += field;
        } else {
            line += "     ";
        }
    }
    if (source.empty())
        RightTrim(line);
    else
        line += Printable(source);
    out += line;
    out += '\n';
}

}  // namespace

std::string ListingSourceName(std::string_view fileName) {
    std::string name(fileName);
    for (char& c : name)
        if (c == ',' || c == ':') c = '_';
    return name;
}

std::string FormatListing(const Assembly& assembly, std::string_view sourceName, const ListingOptions& options) {
    std::string out;
    std::string name = ListingSourceName(sourceName);
    for (const AssembledLine& line : assembly.Lines) {
        size_t first = std::min(line.Bytes.size(), kBytesPerListingLine);
        AppendListingLine(out, line.Number, line.HasAddress, line.Address, line.Bytes.data(), first, line.Cycles,
                          options.Cycles, line.Source);
        for (size_t done = first; done < line.Bytes.size(); done += kBytesPerListingLine) {
            size_t count = std::min(line.Bytes.size() - done, kBytesPerListingLine);
            AppendListingLine(out, line.Number, true, (line.Address + done) & 0xFFFF, line.Bytes.data() + done, count,
                              -1, options.Cycles, {});
        }
        for (const LineError& error : line.Errors) {
            out += "          -> ";
            out += name;
            out += ',';
            out += std::to_string(line.Number);
            out += ": ";
            out += ErrorText(error.Kind).substr(1);
            if (!error.Detail.empty()) {
                out += ' ';
                out += error.Detail;
            }
            out += '\n';
        }
    }
    if (options.SymbolTable) {
        out += "\nSymbol table\n";
        for (const auto& [symbol, value] : assembly.Symbols) {
            out += "          ";
            AppendPadded(out, symbol, 16);
            out += ' ';
            if (value >= -32768 && value <= 0xFFFF)
                AppendHex(out, static_cast<unsigned>(value) & 0xFFFF, 4);
            else
                AppendHex(out, static_cast<unsigned>(value), 8);
            out += '\n';
        }
    }
    return out;
}

std::string FormatSRecords(const Assembly& assembly) {
    std::string out;
    std::vector<uint8_t> data;
    unsigned start = 0;
    auto flush = [&] {
        if (data.empty()) return;
        unsigned count = static_cast<unsigned>(data.size()) + 3;
        unsigned sum = count + (start >> 8) + (start & 0xFF);
        out += "S1";
        AppendHex(out, count, 2);
        AppendHex(out, start, 4);
        for (uint8_t b : data) {
            AppendHex(out, b, 2);
            sum += b;
        }
        AppendHex(out, ~sum & 0xFF, 2);
        out += '\n';
        data.clear();
    };
    for (const AssembledLine& line : assembly.Lines) {
        unsigned address = line.Address;
        for (uint8_t b : line.Bytes) {
            if (!data.empty() && (start + data.size() != address || data.size() == kBytesPerRecord)) flush();
            if (data.empty()) start = address;
            data.push_back(b);
            ++address;
        }
    }
    flush();
    out += "S9030000FC\n";
    return out;
}

}  // namespace as11m
