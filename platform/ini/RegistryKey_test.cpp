#include "platform/ini/RegistryKey.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace {

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("registry_test_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    store = (folder / "vantrel" / "registry.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  std::string store;
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
  EXPECT_EQ(key.ReadString("EventChar"), "#0");
  EXPECT_EQ(key.ReadString("Name"), "Čuk");
  EXPECT_EQ(key.ReadInteger("CustomBaudRate"), -1);
  EXPECT_EQ(key.ReadInteger("Max"), INT_MAX);
  EXPECT_TRUE(key.ValueExists("port"));
  key.DeleteValue("Port");
  EXPECT_FALSE(key.ValueExists("Port"));
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
