// Settings persistence: key names, their order, and round trips through an
// ini file and the registry stand-in.
#include "comport/SerialPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/comm/FakeCommApi.h"
#include "platform/ini/IniFile.h"
#include "platform/ini/RegistryKey.h"
#include "tests/support/TestSupport.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class StorageTest : public ::testing::Test {
protected:
    StorageTest() { port.Name = "ComPort1"; }

    // The section's entries as "key=value", in file order.
    static std::vector<std::string> Entries(const IniFile& ini) {
        std::vector<std::string> entries;
        for (const std::string& key : ini.ReadSection("ComPort1"))
            entries.push_back(key + "=" + ini.ReadString("ComPort1", key, ""));
        return entries;
    }
    IniFile WriteIni(const char* name, const std::vector<std::string>& entries) {
        IniFile ini(dir.File(name));
        for (const std::string& entry : entries) {
            const size_t eq = entry.find('=');
            ini.WriteString("ComPort1", entry.substr(0, eq), entry.substr(eq + 1));
        }
        return ini;
    }
    static constexpr TStoredGroups AllGroups{sgBasic, sgFlowControl, sgBuffer, sgTimeouts, sgParity, sgMisc};

    testsupport::TTempFolder dir{"comport-storage"};
    comm::FakeCommApi api;
    TComPort port{api};
};

TEST_F(StorageTest, BasicGroupWritesItsKeysInOrder) {
    IniFile ini(dir.File("a.ini"));
    port.StoreToIniFile(ini);
    EXPECT_THAT(ini.ReadSection("ComPort1"),
                ElementsAre("Port", "BaudRate", "StopBits", "DataBits", "Parity", "FlowControl"));
    EXPECT_EQ(ini.ReadString("ComPort1", "BaudRate", ""), "9600");
    EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl", ""), "None");

    port.SetBaudRate(brCustom);
    IniFile custom(dir.File("b.ini"));
    port.StoreToIniFile(custom);
    EXPECT_THAT(custom.ReadSection("ComPort1"),
                ElementsAre("Port", "BaudRate", "CustomBaudRate", "StopBits", "DataBits", "Parity", "FlowControl"));
}

TEST_F(StorageTest, AllGroupsWriteEveryKeyInGroupOrder) {
    port.SetStoredGroups(AllGroups);
    IniFile ini(dir.File("a.ini"));
    port.StoreToIniFile(ini);
    const char* const keys[] = {"Port",
                                "BaudRate",
                                "StopBits",
                                "DataBits",
                                "Parity",
                                "FlowControl",
                                "EventChar",
                                "DiscardNull",
                                "Parity.Check",
                                "Parity.Replace",
                                "Parity.ReplaceChar",
                                "Buffer.OutputSize",
                                "Buffer.InputSize",
                                "Timeouts.ReadInterval",
                                "Timeouts.ReadTotalConstant",
                                "Timeouts.ReadTotalMultiplier",
                                "Timeouts.WriteTotalConstant",
                                "Timeouts.WriteTotalMultiplier",
                                "FlowControl.ControlRTS",
                                "FlowControl.ControlDTR",
                                "FlowControl.DSRSensitivity",
                                "FlowControl.OutCTSFlow",
                                "FlowControl.OutDSRFlow",
                                "FlowControl.TxContinueOnXoff",
                                "FlowControl.XonXoffIn",
                                "FlowControl.XonXoffOut",
                                "FlowControl.XoffChar",
                                "FlowControl.XonChar"};
    EXPECT_THAT(ini.ReadSection("ComPort1"), ElementsAreArray(keys));
    EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl.XonChar", ""), "#17");
    EXPECT_EQ(ini.ReadString("ComPort1", "Timeouts.ReadInterval", ""), "-1");
}

// Every stored setting away from its initial value, in the stored order.
const std::vector<std::string> EverySetting = {"Port=COM12",
                                               "BaudRate=Custom",
                                               "CustomBaudRate=31250",
                                               "StopBits=2",
                                               "DataBits=7",
                                               "Parity=Mark",
                                               "FlowControl=Custom",
                                               "EventChar=#13",
                                               "DiscardNull=Yes",
                                               "Parity.Check=Yes",
                                               "Parity.Replace=Yes",
                                               "Parity.ReplaceChar=#",
                                               "Buffer.OutputSize=64",
                                               "Buffer.InputSize=4096",
                                               "Timeouts.ReadInterval=10",
                                               "Timeouts.ReadTotalConstant=20",
                                               "Timeouts.ReadTotalMultiplier=30",
                                               "Timeouts.WriteTotalConstant=40",
                                               "Timeouts.WriteTotalMultiplier=50",
                                               "FlowControl.ControlRTS=Toggle",
                                               "FlowControl.ControlDTR=Enable",
                                               "FlowControl.DSRSensitivity=Yes",
                                               "FlowControl.OutCTSFlow=Yes",
                                               "FlowControl.OutDSRFlow=Yes",
                                               "FlowControl.TxContinueOnXoff=Yes",
                                               "FlowControl.XonXoffIn=Yes",
                                               "FlowControl.XonXoffOut=No",
                                               "FlowControl.XoffChar=#1",
                                               "FlowControl.XonChar=q"};

TEST_F(StorageTest, IniRoundTripRestoresEveryChosenSetting) {
    port.SetStoredGroups(AllGroups);
    IniFile in = WriteIni("in.ini", EverySetting);
    port.LoadFromIniFile(in);
    EXPECT_EQ(port.Port(), "COM12");
    EXPECT_EQ(port.CustomBaudRate(), 31250);
    EXPECT_EQ(port.FlowControl().XoffChar(), 1);
    EXPECT_EQ(port.FlowControl().ControlRTS(), rtsToggle);
    IniFile out(dir.File("out.ini"));
    port.StoreToIniFile(out);
    EXPECT_EQ(Entries(out), EverySetting);
}

TEST_F(StorageTest, RegistryRoundTripUsesTypedValues) {
    port.SetStoredGroups(AllGroups);
    IniFile in = WriteIni("in.ini", EverySetting);
    port.LoadFromIniFile(in);
    const std::string store = dir.File("registry.ini");
    {
        RegistryKey key(store);
        ASSERT_TRUE(key.OpenKey("Software\\Vantrel\\ComPort", true));
        port.StoreToRegistry(key);
    }
    RegistryKey key(store);
    ASSERT_TRUE(key.OpenKey("Software\\Vantrel\\ComPort", false));
    EXPECT_EQ(key.ReadInteger("Buffer.InputSize"), 4096);
    EXPECT_THROW(key.ReadInteger("Port"), RegistryError);
    TComPort other(api);
    other.Name = "ComPort1";
    other.SetStoredGroups(AllGroups);
    other.LoadFromRegistry(key);
    IniFile out(dir.File("out.ini"));
    other.StoreToIniFile(out);
    EXPECT_EQ(Entries(out), EverySetting);
}

TEST_F(StorageTest, MissingIniKeysKeepValuesExceptTheCustomRate) {
    port.SetStoredGroups(AllGroups);
    IniFile in = WriteIni("in.ini", EverySetting);
    port.LoadFromIniFile(in);
    port.Name = "Elsewhere";  // a section the file lacks
    port.LoadFromIniFile(in);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    port.SetCustomBaudRate(31250);
    port.Name = "ComPort1";
    IniFile out(dir.File("out.ini"));
    port.StoreToIniFile(out);
    EXPECT_EQ(Entries(out), EverySetting);

    // "Custom" without its rate also gives 9600.
    TComPort plain(api);
    plain.Name = "ComPort1";
    plain.SetCustomBaudRate(110);
    IniFile custom = WriteIni("custom.ini", {"BaudRate=custom"});
    plain.LoadFromIniFile(custom);
    EXPECT_EQ(plain.BaudRate(), brCustom);
    EXPECT_EQ(plain.CustomBaudRate(), 9600);
}

TEST_F(StorageTest, MissingRegistryTextFallsBackAndMissingIntegerRaises) {
    const std::string store = dir.File("registry.ini");
    RegistryKey key(store);
    ASSERT_TRUE(key.OpenKey("Software\\Empty", true));
    key.WriteString("Unrelated", "x");
    port.SetPort("COM3");
    port.SetBaudRate(br1200);
    port.LoadFromRegistry(key);  // the basic group is all text
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);

    port.SetStoredGroups({sgMisc, sgBuffer});
    port.SetEventChar('x');
    EXPECT_THROW(port.LoadFromRegistry(key), RegistryError);
    EXPECT_EQ(port.EventChar(), 0);  // applied before the error stays applied
}

TEST_F(StorageTest, LoadingIntoAnOpenPortAppliesKeyByKey) {
    api.AddPort("COM1");
    api.AddPort("COM2");
    port.Open();
    IniFile ini(dir.File("a.ini"));
    ini.WriteString("ComPort1", "Port", "COM2");
    ini.WriteString("ComPort1", "BaudRate", "1200");
    api.ClearCalls();
    port.LoadFromIniFile(ini);
    EXPECT_TRUE(api.IsOpen("COM2"));
    EXPECT_FALSE(api.IsOpen("COM1"));
    EXPECT_EQ(api.LastCall("SetCommState")->Dcb.BaudRate, 1200u);
    port.Close();
}

}  // namespace
