#include "platform/comm/PortInfo.h"

#include <cstring>

namespace comm {

bool WritePortInfo1(const std::vector<std::string>& names, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                    DWORD* returned) {
    auto fail = [](DWORD error) {
        CommApi::SetLastError(error);
        return false;
    };
    if (needed == nullptr || returned == nullptr) return fail(ERROR_INVALID_PARAMETER);
    *returned = 0;
    if (level != 1) return fail(ERROR_INVALID_LEVEL);
    DWORD total = static_cast<DWORD>(names.size() * sizeof(PORT_INFO_1));
    for (const std::string& name : names) total += static_cast<DWORD>(name.size() + 1);
    *needed = names.empty() ? 0 : total;
    CommApi::SetLastError(ERROR_SUCCESS);
    if (names.empty()) return true;
    if (buffer == nullptr || size < total) return fail(ERROR_INSUFFICIENT_BUFFER);
    auto* info = reinterpret_cast<PORT_INFO_1*>(buffer);
    char* text = reinterpret_cast<char*>(buffer + names.size() * sizeof(PORT_INFO_1));
    for (const std::string& name : names) {
        std::memcpy(text, name.c_str(), name.size() + 1);
        info->pName = text;
        ++info;
        text += name.size() + 1;
    }
    *returned = static_cast<DWORD>(names.size());
    return true;
}

}  // namespace comm
