// Source text: bytes to UTF-8 lines, and characters to the bytes that FCC
// and character constants store.
#pragma once

#include "common/TextEncoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace as11m {

// The file's bytes as UTF-8, as every program reads text (common/TextEncoding.h).
inline std::string DecodeSource(std::string_view bytes) { return DecodeText(bytes); }

// Lines split at LF, a CR before it dropped. A final line end makes no
// extra empty line.
std::vector<std::string> SplitLines(std::string_view text);

inline std::optional<char32_t> NextCharacter(std::string_view text, size_t& pos) {
    return NextUtf8Character(text, pos);
}
using ::EncodeWindows1250;

}  // namespace as11m
