// The registry stand-in on any store file: reads end in a value or a
// RegistryError, and any text or integer written reads back exactly.
#include "fuzz/FuzzSupport.h"
#include "platform/ini/RegistryKey.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string name = provider.ConsumeRandomLengthString(30);
    const std::string text = provider.ConsumeRandomLengthString(100);
    const int number = provider.ConsumeIntegral<int>();
    const std::string path = fuzz::WriteScratchFile("registry.ini", provider.ConsumeRemainingBytesAsString());

    RegistryKey registry(path);
    IniFile store(path);
    for (const std::string& key : store.ReadSections()) {
        if (!registry.OpenKey(key, false)) continue;
        for (const std::string& value : store.ReadSection(key)) {
            try {
                registry.ReadString(value);
            } catch (const RegistryError&) {
            }
            try {
                registry.ReadInteger(value);
            } catch (const RegistryError&) {
            }
        }
    }

    registry.OpenKey("Software\\Vantrel\\ComPort", true);
    try {
        registry.WriteString(name, text);
    } catch (const RegistryError&) {
        return 0;  // a name the store cannot hold
    }
    fuzz::Check(registry.ValueExists(name), "a written value exists", name);
    fuzz::Check(registry.ReadString(name) == text, "text reads back as written", text);
    registry.WriteInteger(name, number);
    fuzz::Check(registry.ReadInteger(name) == number, "an integer reads back as written");
    return 0;
}
