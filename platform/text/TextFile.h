// Reading the system's text files on Linux. Listings and sources come either
// from current tools (UTF-8) or from older Windows machines (code page 1250);
// names written in one letter case may be stored in another.
#pragma once

#include "common/TextEncoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TReadStatus { Okay, NotFound, OtherError };

enum class TTextEncoding { Utf8, Utf8WithBom, Windows1250 };
enum class TLineEnds { CrLf, Lf };

// How a file was stored, so that it can be written back alike.
struct TTextFormat {
    TTextEncoding Encoding = TTextEncoding::Utf8;
    TLineEnds LineEnds = TLineEnds::CrLf;  // a file without line ends gets the Windows ones
    bool operator==(const TTextFormat&) const = default;
};

// The encoding DecodeText reads the bytes in, and the line end of the first line.
TTextFormat TextFormatOf(std::string_view bytes);

// What a read of a file's bytes met.
enum class TBytesRead { Okay, NotFound, NotAFile, TooLarge, OpenFailed, ReadFailed };

// Reads a regular file's bytes whole. A pipe or a device is refused without
// waiting for it (NotAFile), and so is a file of more than maxSize bytes.
// errorNumber, when given, receives errno where the open (NotFound
// included) or a read failed, for the caller's own message.
TBytesRead ReadFileBytes(const std::string& path, std::string* bytes, int* errorNumber = nullptr,
                         uint64_t maxSize = UINT64_MAX);

// Reads a whole text file through DecodeText; format, when given, receives
// TextFormatOf the bytes. On failure returns another status and fills err.
TReadStatus ReadTextFile(const std::string& path, std::string* text, std::string* err, TTextFormat* format = nullptr);

// Writes UTF-8 text whole in the given format: every line end of text (LF or
// CR LF) becomes the format's. The bytes go to a temporary file beside path,
// which then replaces path by a rename (keeping the old file's permissions),
// so a failure leaves the old file as it was. False with err filled when a
// character has no Windows-1250 byte or the file cannot be written.
bool WriteTextFile(const std::string& path, std::string_view text, const TTextFormat& format, std::string* err);

// The existing file whose name equals the last component of `path` with
// ASCII letter case ignored, in the folder that `path` names (taken as it
// is). The exact name wins; among other matches the first in name order.
std::optional<std::string> FindFileIgnoringCase(const std::string& path);
