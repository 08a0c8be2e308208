#include "common/ComPortName.h"

#include "common/AsciiText.h"

std::string ComPortName(int number) { return "COM" + std::to_string(number); }

int ComPortNumber(std::string_view name, int maxNumber) {
    if (name.size() < 4 || !EqualIgnoringAsciiCase(name.substr(0, 3), "COM") || name[3] == '0') return 0;
    int number = 0;
    for (const char c : name.substr(3)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
        if (number > maxNumber) return 0;
    }
    return number;
}
