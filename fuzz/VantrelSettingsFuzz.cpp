// Vantrel.ini on any bytes: the chip table and the port read from it are
// written back so that the next start reads the same.
#include "fuzz/FuzzSupport.h"
#include "ide/Globals.h"
#include "ide/Settings.h"
#include "platform/ini/IniFile.h"

namespace {

struct TSettings {
    std::array<std::string, Vantrel::ChipSlots> Names;
    std::array<int, Vantrel::ChipSlots> Ram{};
    std::array<int, Vantrel::ChipSlots> Eeprom{};
    int Count = 0;
    int Port = 0;
    std::string PortName;
    bool operator==(const TSettings&) const = default;
};

TSettings Load(const IniFile& ini) {
    Vantrel::ResetGlobals();
    TSettings settings;
    settings.PortName = Vantrel::LoadSettingsFromIni(ini);
    settings.Names = Vantrel::ChipNames;
    settings.Ram = Vantrel::ChipRamSize;
    settings.Eeprom = Vantrel::ChipEESize;
    settings.Count = Vantrel::ChipCount;
    settings.Port = Vantrel::SerialPortNumber;
    return settings;
}

// A name in quotes loses them on every reading, as the profile functions do.
bool Quoted(const std::string& name) { return name.size() >= 2 && name.front() == '"' && name.back() == '"'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile ini(fuzz::WriteScratchFile("Vantrel.ini", fuzz::AsText(data, size)));
    const TSettings first = Load(ini);
    fuzz::Check(first.Count >= Vantrel::BuiltInChips && first.Count <= Vantrel::ChipSlots, "the table's size");
    fuzz::Check(first.Port >= 1 && first.Port <= 16, "a port of COM1..COM16");
    for (int n = Vantrel::BuiltInChips; n < first.Count; ++n)
        if (Quoted(first.Names[n])) return 0;

    Vantrel::SaveSettingsToIni(ini);
    const TSettings second = Load(ini);
    fuzz::Check(second == first, "the settings read back as saved", fuzz::ReadWholeFile(ini.FileName()));
    return 0;
}
