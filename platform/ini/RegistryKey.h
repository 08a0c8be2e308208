// A stand-in for a key of the user's registry: typed values (text and 32-bit
// integers) under key paths such as "Software\Vantrel\ComPort", kept in one
// file of the user's configuration folder. As with the registry, a missing
// text value reads as empty text, while a missing integer or a value of the
// other type is an error (RegistryError).
#pragma once

#include <stdexcept>
#include <string>

#include "platform/ini/IniFile.h"

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RegistryKey {
public:
    // $VANTREL_REGISTRY when set, else $XDG_CONFIG_HOME/vantrel/registry.ini,
    // else ~/.config/vantrel/registry.ini.
    static std::string DefaultStorePath();

    explicit RegistryKey(std::string storePath = DefaultStorePath());

    // False when the key does not exist and may not be created. A created key
    // appears in the store with its first value.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    const std::string& CurrentPath() const { return current_; }
    bool KeyExists(const std::string& key) const;
    bool ValueExists(const std::string& name) const;
    void DeleteValue(const std::string& name);

    std::string ReadString(const std::string& name) const;
    int ReadInteger(const std::string& name) const;
    // Throw RegistryError when the store cannot be written.
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);

private:
    std::string section() const;
    void write(const std::string& name, const std::string& stored);

    IniFile store_;
    std::string storePath_;
    std::string current_;
};
