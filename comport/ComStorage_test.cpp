// Settings persistence: key names, their order, and round trips through an
// ini file and the registry stand-in.
#include "comport/SerialPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/comm/FakeCommApi.h"
#include "platform/ini/IniFile.h"
#include "platform/ini/RegistryKey.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class StorageTest : public ::testing::Test {
 protected:
  StorageTest() {
    dir = std::filesystem::temp_directory_path() /
          ("comport_storage_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    port.Name = "ComPort1";
  }
  ~StorageTest() override { std::filesystem::remove_all(dir); }

  // A port whose every stored setting differs from the initial values.
  void ChangeEverything(TCustomComPort& p) {
    p.SetPort("COM12");
    p.SetCustomBaudRate(31250);
    p.SetBaudRate(brCustom);
    p.SetStopBits(sbTwoStopBits);
    p.SetDataBits(dbSeven);
    p.Parity().SetBits(prMark);
    p.SetEventChar('\r');
    p.SetDiscardNull(true);
    p.Parity().SetCheck(true);
    p.Parity().SetReplace(true);
    p.Parity().SetReplaceChar('#');
    p.Buffer().SetOutputSize(64);
    p.Buffer().SetInputSize(4096);
    p.Timeouts().SetReadInterval(10);
    p.Timeouts().SetReadTotalConstant(20);
    p.Timeouts().SetReadTotalMultiplier(30);
    p.Timeouts().SetWriteTotalConstant(40);
    p.Timeouts().SetWriteTotalMultiplier(50);
    p.FlowControl().SetControlRTS(rtsToggle);
    p.FlowControl().SetControlDTR(dtrEnable);
    p.FlowControl().SetDSRSensitivity(true);
    p.FlowControl().SetOutCTSFlow(true);
    p.FlowControl().SetOutDSRFlow(true);
    p.FlowControl().SetTxContinueOnXoff(true);
    p.FlowControl().SetXonXoffIn(true);
    p.FlowControl().SetXoffChar(1);
    p.FlowControl().SetXonChar('q');
  }
  void ExpectSameSettings(TCustomComPort& a, TCustomComPort& b) {
    EXPECT_EQ(a.Port(), b.Port());
    EXPECT_EQ(a.BaudRate(), b.BaudRate());
    EXPECT_EQ(a.CustomBaudRate(), b.CustomBaudRate());
    EXPECT_EQ(a.StopBits(), b.StopBits());
    EXPECT_EQ(a.DataBits(), b.DataBits());
    EXPECT_EQ(a.EventChar(), b.EventChar());
    EXPECT_EQ(a.DiscardNull(), b.DiscardNull());
    EXPECT_EQ(a.Parity().Bits(), b.Parity().Bits());
    EXPECT_EQ(a.Parity().Check(), b.Parity().Check());
    EXPECT_EQ(a.Parity().Replace(), b.Parity().Replace());
    EXPECT_EQ(a.Parity().ReplaceChar(), b.Parity().ReplaceChar());
    EXPECT_EQ(a.Buffer().InputSize(), b.Buffer().InputSize());
    EXPECT_EQ(a.Buffer().OutputSize(), b.Buffer().OutputSize());
    EXPECT_EQ(a.Timeouts().ReadInterval(), b.Timeouts().ReadInterval());
    EXPECT_EQ(a.Timeouts().ReadTotalConstant(), b.Timeouts().ReadTotalConstant());
    EXPECT_EQ(a.Timeouts().ReadTotalMultiplier(), b.Timeouts().ReadTotalMultiplier());
    EXPECT_EQ(a.Timeouts().WriteTotalConstant(), b.Timeouts().WriteTotalConstant());
    EXPECT_EQ(a.Timeouts().WriteTotalMultiplier(), b.Timeouts().WriteTotalMultiplier());
    const TComFlowControl& fa = a.FlowControl();
    const TComFlowControl& fb = b.FlowControl();
    EXPECT_EQ(fa.ControlRTS(), fb.ControlRTS());
    EXPECT_EQ(fa.ControlDTR(), fb.ControlDTR());
    EXPECT_EQ(fa.DSRSensitivity(), fb.DSRSensitivity());
    EXPECT_EQ(fa.OutCTSFlow(), fb.OutCTSFlow());
    EXPECT_EQ(fa.OutDSRFlow(), fb.OutDSRFlow());
    EXPECT_EQ(fa.TxContinueOnXoff(), fb.TxContinueOnXoff());
    EXPECT_EQ(fa.XonXoffIn(), fb.XonXoffIn());
    EXPECT_EQ(fa.XonXoffOut(), fb.XonXoffOut());
    EXPECT_EQ(fa.XonChar(), fb.XonChar());
    EXPECT_EQ(fa.XoffChar(), fb.XoffChar());
  }
  static constexpr TStoredGroups AllGroups{sgBasic, sgFlowControl, sgBuffer,
                                           sgTimeouts, sgParity, sgMisc};

  std::filesystem::path dir;
  comm::FakeCommApi api;
  TComPort port{api};
};

TEST_F(StorageTest, BasicGroupWritesItsKeysInOrder) {
  IniFile ini((dir / "a.ini").string());
  port.StoreToIniFile(ini);
  EXPECT_THAT(ini.ReadSection("ComPort1"),
              ElementsAre("Port", "BaudRate", "StopBits", "DataBits", "Parity", "FlowControl"));
  EXPECT_EQ(ini.ReadString("ComPort1", "BaudRate", ""), "9600");
  EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl", ""), "None");

  port.SetBaudRate(brCustom);
  IniFile custom((dir / "b.ini").string());
  port.StoreToIniFile(custom);
  EXPECT_THAT(custom.ReadSection("ComPort1"),
              ElementsAre("Port", "BaudRate", "CustomBaudRate", "StopBits", "DataBits", "Parity",
                          "FlowControl"));
}

TEST_F(StorageTest, AllGroupsWriteEveryKeyInGroupOrder) {
  port.SetStoredGroups(AllGroups);
  IniFile ini((dir / "a.ini").string());
  port.StoreToIniFile(ini);
  const char* const keys[] = {
      "Port", "BaudRate", "StopBits", "DataBits", "Parity", "FlowControl", "EventChar",
      "DiscardNull", "Parity.Check", "Parity.Replace", "Parity.ReplaceChar", "Buffer.OutputSize",
      "Buffer.InputSize", "Timeouts.ReadInterval", "Timeouts.ReadTotalConstant",
      "Timeouts.ReadTotalMultiplier", "Timeouts.WriteTotalConstant",
      "Timeouts.WriteTotalMultiplier", "FlowControl.ControlRTS", "FlowControl.ControlDTR",
      "FlowControl.DSRSensitivity", "FlowControl.OutCTSFlow", "FlowControl.OutDSRFlow",
      "FlowControl.TxContinueOnXoff", "FlowControl.XonXoffIn", "FlowControl.XonXoffOut",
      "FlowControl.XoffChar", "FlowControl.XonChar"};
  EXPECT_THAT(ini.ReadSection("ComPort1"), ElementsAreArray(keys));
  EXPECT_EQ(ini.ReadString("ComPort1", "FlowControl.XonChar", ""), "#17");
  EXPECT_EQ(ini.ReadString("ComPort1", "Timeouts.ReadInterval", ""), "-1");
}

TEST_F(StorageTest, IniRoundTripRestoresEveryChosenSetting) {
  port.SetStoredGroups(AllGroups);
  ChangeEverything(port);
  IniFile ini((dir / "a.ini").string());
  port.StoreToIniFile(ini);
  TComPort other(api);
  other.Name = "ComPort1";
  other.SetStoredGroups(AllGroups);
  other.LoadFromIniFile(ini);
  ExpectSameSettings(port, other);
  EXPECT_EQ(other.FlowControl().XonChar(), 'q');
  EXPECT_EQ(other.FlowControl().XoffChar(), 1);
}

TEST_F(StorageTest, RegistryRoundTripUsesTypedValues) {
  port.SetStoredGroups(AllGroups);
  ChangeEverything(port);
  const std::string store = (dir / "registry.ini").string();
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
  other.SetStoredGroups(AllGroups);
  other.LoadFromRegistry(key);
  ExpectSameSettings(port, other);
}

TEST_F(StorageTest, MissingIniKeysKeepValuesExceptTheCustomRate) {
  port.SetStoredGroups(AllGroups);
  ChangeEverything(port);
  IniFile ini((dir / "empty.ini").string());
  TComPort before(api);
  before.SetStoredGroups(AllGroups);
  ChangeEverything(before);
  port.LoadFromIniFile(ini);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  port.SetCustomBaudRate(31250);
  ExpectSameSettings(port, before);

  // "Custom" without its rate also gives 9600.
  TComPort plain(api);
  plain.Name = "ComPort1";
  plain.SetCustomBaudRate(110);
  ini.WriteString("ComPort1", "BaudRate", "Custom");
  plain.LoadFromIniFile(ini);
  EXPECT_EQ(plain.BaudRate(), brCustom);
  EXPECT_EQ(plain.CustomBaudRate(), 9600);
}

TEST_F(StorageTest, MissingRegistryTextFallsBackAndMissingIntegerRaises) {
  const std::string store = (dir / "registry.ini").string();
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
  IniFile ini((dir / "a.ini").string());
  ini.WriteString("ComPort1", "Port", "COM2");
  ini.WriteString("ComPort1", "BaudRate", "1200");
  api.ClearCalls();
  port.LoadFromIniFile(ini);
  EXPECT_TRUE(api.IsOpen("COM2"));
  EXPECT_FALSE(api.IsOpen("COM1"));
  EXPECT_EQ(api.LastCall("SetCommState")->dcb.BaudRate, 1200u);
  port.Close();
}

}  // namespace
