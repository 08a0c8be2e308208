// The ini reader on any file: every read ends; a value written is read back
// as written (trimmed, one pair of quotes dropped) and changes no other value.
#include "common/AsciiText.h"
#include "fuzz/FuzzSupport.h"
#include "platform/ini/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <utility>

namespace {

using Values = std::map<std::pair<std::string, std::string>, std::string>;

// Every value the reader can reach, by section and key in lower case.
Values ReadAll(const IniFile& ini) {
    Values values;
    for (const std::string& section : ini.ReadSections()) {
        fuzz::Check(ini.SectionExists(section), "a listed section exists", section);
        for (const std::string& key : ini.ReadSection(section)) {
            fuzz::Check(ini.ValueExists(section, key), "a listed key exists", key);
            values.try_emplace({LowerAscii(section), LowerAscii(key)}, ini.ReadString(section, key, "\x01"));
            ini.ReadInteger(section, key, 0);
        }
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string section = provider.ConsumeRandomLengthString(40);
    const std::string key = provider.ConsumeRandomLengthString(40);
    const std::string value = provider.ConsumeRandomLengthString(80);
    const std::string path = fuzz::WriteScratchFile("fuzz.ini", provider.ConsumeRemainingBytesAsString());

    IniFile ini(path);
    const Values before = ReadAll(ini);
    try {
        ini.WriteString(section, key, value);
    } catch (const IniFileError&) {
        return 0;  // a name or value the layout cannot hold
    }
    std::string expected = TrimAsciiBlanks(value);
    if (expected.size() >= 2 && expected.front() == '"' && expected.back() == '"')
        expected = expected.substr(1, expected.size() - 2);
    fuzz::Check(ini.ReadString(section, key, "\x01") == expected, "a written value reads back", value);

    Values after = ReadAll(ini);
    after.erase({LowerAscii(TrimAsciiBlanks(section)), LowerAscii(TrimAsciiBlanks(key))});
    for (const auto& [name, old] : before) {
        if (name == std::make_pair(LowerAscii(TrimAsciiBlanks(section)), LowerAscii(TrimAsciiBlanks(key)))) continue;
        const auto found = after.find(name);
        fuzz::Check(found != after.end() && found->second == old, "a write changes no other value",
                    name.first + "/" + name.second);
    }
    return 0;
}
