#include "ide/Settings.h"

#include <optional>
#include "common/ComPortName.h"
#include "common/NumberText.h"
#include "ide/Globals.h"
#include "platform/ini/IniFile.h"

namespace Vantrel {

namespace {

constexpr const char* ChipSection = "chipi";
constexpr const char* PortSection = "vrata";
constexpr const char* Missing = "error";
constexpr int DefaultPortNumber = 2;

bool ReadSize(const IniFile& ini, const std::string& key, int& size) {
    const std::optional<int> value = TextToInt(ini.ReadString(ChipSection, key, Missing));
    if (!value || *value < 0) return false;
    size = *value;
    return true;
}

}  // namespace

std::string LoadSettingsFromIni(const IniFile& ini) {
    FillBuiltInChips();
    int n = BuiltInChips;
    for (; n < ChipSlots; ++n) {
        const std::string index = std::to_string(n);
        const std::string name = ini.ReadString(ChipSection, "integrirc" + index, Missing);
        if (name == Missing) break;
        int eeprom = 0;
        int ram = 0;
        // A slot with a bad size ends the table there, as a missing name does.
        if (!ReadSize(ini, "EE" + index, eeprom) || !ReadSize(ini, "RAM" + index, ram)) break;
        ChipNames[n] = name;
        ChipEESize[n] = eeprom;
        ChipRamSize[n] = ram;
    }
    ChipCount = n;

    int number = TextToInt(ini.ReadString(PortSection, "ser1", Missing)).value_or(0);
    if (number < 1 || number > MaxComPort) number = DefaultPortNumber;
    SerialPortNumber = number;
    return ComPortName(number);
}

void SaveSettingsToIni(IniFile& ini) {
    ini.EraseSection(ChipSection);
    ini.EraseSection(PortSection);
    for (int n = BuiltInChips; n < ChipCount && n < ChipSlots; ++n) {
        const std::string index = std::to_string(n);
        ini.WriteString(ChipSection, "integrirc" + index, ChipNames[n]);
        ini.WriteString(ChipSection, "RAM" + index, std::to_string(ChipRamSize[n]));
        ini.WriteString(ChipSection, "EE" + index, std::to_string(ChipEESize[n]));
    }
    ini.WriteString(PortSection, "ser1", std::to_string(SerialPortNumber));
}

}  // namespace Vantrel
