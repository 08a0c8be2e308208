#include "platform/ini/RegistryKey.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "tests/support/TestSupport.h"

namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
    testsupport::TTempFolder temp{"registry-test"};
    const std::filesystem::path folder = temp.Path();
    std::string store = (folder / "vantrel" / "registry.ini").string();
};

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const RegistryError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST_F(RegistryKeyTest, ValuesKeepTheirTypeAndTextAcrossInstances) {
    {
        RegistryKey key(store);
        EXPECT_FALSE(key.OpenKey("Software\\Vantrel\\ComPort", false)) << "not there yet";
        ASSERT_TRUE(key.OpenKey("Software\\Vantrel\\ComPort", true));
        key.WriteString("Port", "COM2");
        key.WriteString("Odd", " two\nlines\\ and a blank ");
        key.WriteString("Controls", "\tcr\r\nend\x1F\x7F\t");
        key.WriteString("EventChar", "#0");
        key.WriteString("Name", "Čuk");
        key.WriteInteger("CustomBaudRate", -1);
        key.WriteInteger("Max", INT_MAX);
        key.WriteString("Port", "COM3");  // replaces
    }
    RegistryKey key(store);
    EXPECT_TRUE(key.KeyExists("software\\vantrel\\comport")) << "key names match without case";
    ASSERT_TRUE(key.OpenKey("Software\\Vantrel\\ComPort", false));
    EXPECT_EQ(key.ReadString("Port"), "COM3");
    EXPECT_EQ(key.ReadString("Odd"), " two\nlines\\ and a blank ");
    EXPECT_EQ(key.ReadString("Controls"), "\tcr\r\nend\x1F\x7F\t");
    EXPECT_EQ(key.ReadString("EventChar"), "#0");
    EXPECT_EQ(key.ReadString("Name"), "Čuk");
    EXPECT_EQ(key.ReadInteger("CustomBaudRate"), -1);
    EXPECT_EQ(key.ReadInteger("Max"), INT_MAX);
    EXPECT_TRUE(key.ValueExists("port"));
    key.DeleteValue("Port");
    EXPECT_FALSE(key.ValueExists("Port"));
    key.CloseKey();
    EXPECT_EQ(key.CurrentPath(), "");
    EXPECT_FALSE(key.ValueExists("Name"));
}

TEST_F(RegistryKeyTest, MissingTextIsEmptyWhileMissingOrMistypedIntegersFail) {
    RegistryKey key(store);
    ASSERT_TRUE(key.OpenKey("Software\\Test", true));
    key.WriteInteger("Number", 5);
    key.WriteString("Text", "5");
    EXPECT_EQ(key.ReadString("Absent"), "");
    EXPECT_EQ(message([&] { key.ReadInteger("Absent"); }), "Failed to get data for 'Absent'");
    EXPECT_EQ(message([&] { key.ReadInteger("Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(message([&] { key.ReadString("Number"); }), "Invalid data type for 'Number'");
}

TEST_F(RegistryKeyTest, HandEditedValuesNeverCrashOrPassAsNumbers) {
    RegistryKey key(store);
    ASSERT_TRUE(key.OpenKey("Software\\Test", true));
    std::filesystem::create_directories(folder / "vantrel");
    IniFile edited(store);
    const struct {
        const char* stored;
        const char* asText;  // nullptr: not text
        bool isInteger;
        int integer;
    } cases[] = {
        {"qword:5", nullptr, false, 0},  // a type we do not write
        {"dword:12abc", nullptr, false, 0},
        {"dword:", nullptr, false, 0},
        {"dword:99999999999", nullptr, false, 0},
        {"dword:4294967295", nullptr, true, -1},
        {"dword:-2147483648", nullptr, true, INT_MIN},
        {"sz:a\\xZZb", "a\\xZZb", false, 0},  // not an escape: kept as written
        {"sz:a\\x4", "a\\x4", false, 0},
        {"sz:\\x4Zb", "\\x4Zb", false, 0},
        {"sz:\\x41\\x-1", "A\\x-1", false, 0},
        {"sz:trailing\\", "trailing\\", false, 0},
    };
    for (const auto& c : cases) {
        edited.WriteString("Software\\Test", "V", c.stored);
        if (c.asText)
            EXPECT_EQ(key.ReadString("V"), c.asText) << c.stored;
        else
            EXPECT_EQ(message([&] { key.ReadString("V"); }), "Invalid data type for 'V'") << c.stored;
        if (c.isInteger)
            EXPECT_EQ(key.ReadInteger("V"), c.integer) << c.stored;
        else
            EXPECT_EQ(message([&] { key.ReadInteger("V"); }), "Invalid data type for 'V'") << c.stored;
    }
    RegistryKey other(store);
    ASSERT_TRUE(other.OpenKey("Software\\Other", true));
    EXPECT_EQ(other.ReadString("Text"), "") << "keys do not share values";
}

TEST_F(RegistryKeyTest, TheStoreLivesInTheUsersConfigurationFolder) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    ::unsetenv("VANTREL_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    EXPECT_EQ(RegistryKey::DefaultStorePath(), store);
    ::setenv("VANTREL_REGISTRY", "/tmp/elsewhere.ini", 1);
    EXPECT_EQ(RegistryKey::DefaultStorePath(), "/tmp/elsewhere.ini");
    ::unsetenv("VANTREL_REGISTRY");
    // An empty XDG_CONFIG_HOME counts as unset.
    const char* savedHome = std::getenv("HOME");
    const std::string restoreHome = savedHome ? savedHome : "";
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/student", 1);
    EXPECT_EQ(RegistryKey::DefaultStorePath(), "/home/student/.config/vantrel/registry.ini");
    if (savedHome)
        ::setenv("HOME", restoreHome.c_str(), 1);
    else
        ::unsetenv("HOME");
    if (saved)
        ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");

    RegistryKey key(store);
    key.OpenKey("Software\\Vantrel", true);
    key.WriteInteger("x", 1);  // creates the folder
    EXPECT_TRUE(std::filesystem::exists(store));
    RegistryKey blocked((folder / "vantrel" / "registry.ini" / "sub.ini").string());
    blocked.OpenKey("k", true);
    EXPECT_EQ(message([&] { blocked.WriteString("v", "x"); }), "Failed to set data for 'v'");
}
