#include "common/BootstrapPrograms.h"

std::vector<uint8_t> StoredProgramBytes(std::string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i + 1 < text.size(); i += 2) bytes.push_back(ProgrammerHexByte(text[i], text[i + 1]));
    return bytes;
}
