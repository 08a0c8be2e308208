// EnumPortsA's level-1 buffer layout, shared by the implementations: an array
// of PORT_INFO_1 followed by the names they point to.
#pragma once

#include <string>
#include <vector>

#include "platform/comm/CommApi.h"

namespace comm {

// Fills the buffer as EnumPortsA does and sets the last error: level other
// than 1 gives ERROR_INVALID_LEVEL; a buffer too small for a non-empty list
// gives ERROR_INSUFFICIENT_BUFFER with *pcbNeeded set.
bool WritePortInfo1(const std::vector<std::string>& names, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                    DWORD* returned);

}  // namespace comm
