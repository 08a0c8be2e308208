// UTF-8 and the Windows code page 1250 (the system's files come from both).
// The one copy of the code page table, decoding and encoding.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view bytes);

// Decodes the UTF-8 character at text[pos] (pos < text.size()) and moves pos
// past it; nullopt, with pos moved past one byte, when the bytes there are no
// valid character.
std::optional<char32_t> NextUtf8Character(std::string_view text, size_t& pos);

void AppendUtf8(std::string& out, char32_t character);

// The character of a Windows-1250 byte; U+FFFD for the five bytes the code
// page leaves undefined.
char32_t DecodeWindows1250(uint8_t byte);
// The Windows-1250 byte of a character, nullopt when it has none.
std::optional<uint8_t> EncodeWindows1250(char32_t character);

std::string Windows1250ToUtf8(std::string_view bytes);
// Nothing when the text is no valid UTF-8 or holds a character the code
// page lacks: the caller decides, nothing is replaced silently.
std::optional<std::string> Utf8ToWindows1250(std::string_view text);

// UTF-8 text of a file's bytes: kept as they are when they are valid UTF-8
// (a leading byte-order mark dropped), otherwise decoded as Windows-1250.
std::string DecodeText(std::string_view bytes);
