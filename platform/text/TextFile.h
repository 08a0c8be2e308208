// Reading the system's text files on Linux. Listings and sources come either
// from current tools (UTF-8) or from older Windows machines (code page 1250);
// names written in one letter case may be stored in another.
#pragma once

#include <optional>
#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view bytes);

// Windows-1250 to UTF-8. The five bytes that the code page leaves undefined
// become U+FFFD.
std::string Windows1250ToUtf8(std::string_view bytes);

// UTF-8 text of a file's bytes: kept as they are when they are valid UTF-8
// (a leading byte-order mark dropped), otherwise decoded as Windows-1250.
std::string DecodeText(std::string_view bytes);

enum class TReadStatus { Okay, NotFound, OtherError };

// Reads a whole text file through DecodeText. On failure returns another
// status and fills err.
TReadStatus ReadTextFile(const std::string& path, std::string* text, std::string* err);

// The existing file whose name equals the last component of `path` with
// ASCII letter case ignored, in the folder that `path` names (taken as it
// is). The exact name wins; among other matches the first in name order.
std::optional<std::string> FindFileIgnoringCase(const std::string& path);
