// Source text: bytes to UTF-8 lines, and characters to the bytes that FCC
// and character constants store.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace as11m {

// The file's bytes as UTF-8: kept when they are valid UTF-8 (a leading byte
// order mark dropped), else read as Windows-1250.
std::string DecodeSource(std::string_view bytes);

// Lines split at LF, a CR before it dropped. A final line end makes no
// extra empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Decodes one UTF-8 character at text[pos], advancing pos; nullopt (and pos
// moved past one byte) when the bytes are not a valid character.
std::optional<char32_t> NextCharacter(std::string_view text, size_t& pos);

// The Windows-1250 byte of a character, nullopt when it has none.
std::optional<uint8_t> EncodeWindows1250(char32_t character);

}  // namespace as11m
