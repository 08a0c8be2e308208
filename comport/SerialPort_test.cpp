// The port on the scripted fake device: settings reaching the device, error
// codes, event order, links, the event thread and its hand-over.
#include "comport/SerialPort.h"
#include "comport/ComPortTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/comm/FakeCommApi.h"

using namespace std::chrono_literals;
using namespace comm;
using ::testing::ElementsAre;

namespace {

// The operation raises EComPort with this code and Windows error.
::testing::AssertionResult RaisesComError(const std::function<void()>& op, int code, int win) {
    try {
        op();
    } catch (const EComPort& e) {
        if (e.Code == code && e.WinCode == win) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "raised " << e.Code << "/" << e.WinCode << ": " << e.what();
    }
    return ::testing::AssertionFailure() << "raised nothing";
}

// The programs reach the port only through its properties, events and
// operations; the handlers, notifications and apply operations are its own.
template <class P>
concept SeesInternals = requires(P& p) {
    p.HandleRxChar();
}
|| requires(P& p) { p.FireTxEmpty(); }
|| requires(P& p) { p.NotifyLinks(lsTx, true); }
|| requires(P& p) { p.ApplyCommState(); };
static_assert(!SeesInternals<TComPort>);
static_assert(SeesInternals<TTestComPort>);

class PortTest : public ::testing::Test {
protected:
    PortTest() {
        api.AddPort("COM1");
        api.AddPort("COM2");
    }

    // Every open/close/signal event, as text, in the order it came.
    void Record() {
        port.OnBeforeOpen = [this](TObject*) { Log("BeforeOpen"); };
        port.OnAfterOpen = [this](TObject*) { Log("AfterOpen"); };
        port.OnBeforeClose = [this](TObject*) { Log("BeforeClose"); };
        port.OnAfterClose = [this](TObject*) { Log("AfterClose"); };
        port.OnCTSChange = [this](TObject*, bool on) { Log(on ? "CTS on" : "CTS off"); };
        port.OnDSRChange = [this](TObject*, bool on) { Log(on ? "DSR on" : "DSR off"); };
        port.OnRLSDChange = [this](TObject*, bool on) { Log(on ? "RLSD on" : "RLSD off"); };
        port.OnRxChar = [this](TObject*, int n) { Log("RxChar " + std::to_string(n)); };
        port.OnTxEmpty = [this](TObject*) { Log("TxEmpty"); };
        port.OnBreak = [this](TObject*) { Log("Break"); };
        port.OnRing = [this](TObject*) { Log("Ring"); };
        port.OnRxFlag = [this](TObject*) { Log("RxFlag"); };
        port.OnError = [this](TObject*, TComErrors e) { Log("Error " + std::to_string(e.ToBits())); };
        port.OnRx80Full = [this](TObject*) { Log("Rx80Full"); };
    }
    void Log(const std::string& s) {
        std::lock_guard lock(logMutex);
        log.push_back(s);
    }
    std::vector<std::string> TakeLog() {
        std::lock_guard lock(logMutex);
        return std::exchange(log, {});
    }
    size_t LogSize() {
        std::lock_guard lock(logMutex);
        return log.size();
    }
    // Vantrel's port: 1200 8N1, no flow control, buffers 2 and 2.
    void ConfigureAsVantrel() {
        port.SetBaudRate(br1200);
        port.Buffer().SetInputSize(2);
        port.Buffer().SetOutputSize(2);
        port.SetEvents({evRxChar, evDSR});
    }

    // The port goes first, while the log its handlers write to still exists.
    FakeCommApi api;
    std::mutex logMutex;
    std::vector<std::string> log;
    TTestComPort port{api};
};

// ------------------------------------------------------------------- errors

TEST(EComPortTest, MessagesCarryTheWinCodeOnlyWhenGiven) {
    const EComPort open(CError_OpenFailed, 2);
    EXPECT_STREQ(open.what(), "Unable to open com port (win error code: 2)");
    EXPECT_EQ(open.Code, 1);
    EXPECT_EQ(open.WinCode, 2);
    struct Row {
        int code;
        const char* text;
    };
    for (Row row :
         {Row{4, "Invalid Async parameter"}, Row{14, "Cannot set SyncMethod while connected"},
          Row{18, "Link (un)registration failed"}, Row{19, "Cannot change led state if ComPort is selected"}}) {
        const EComPort e(row.code);
        EXPECT_STREQ(e.what(), row.text);
        EXPECT_EQ(e.WinCode, -1);
    }
    EXPECT_STREQ(EComPort(10, 31).what(), "ClearCommError function failed (win error code: 31)");
    EXPECT_STREQ(ComErrorText(6), "Unable to get async status");
    EXPECT_STREQ(ComErrorText(20), "");
}

// --------------------------------------------------------------- port list

TEST(ListComPortsTest, AppendsComNamesOnlyAndKeepsTwoDigitNumbers) {
    FakeCommApi api;
    api.SetPortList({"COM1:", "LPT1:", "COM10:", "FILE:", "com3:", "COM2:"});
    std::vector<std::string> list{"already"};
    ListComPorts(list, api);
    EXPECT_THAT(list, ElementsAre("already", "COM1", "COM10", "COM2"));
}

TEST(ListComPortsTest, NoPortsAddsNothingAndFailureAddsNothing) {
    FakeCommApi api;
    api.SetPortList({});
    std::vector<std::string> list;
    ListComPorts(list, api);
    EXPECT_TRUE(list.empty());

    api.SetPortList({"COM1:"});
    api.FailCall("EnumPortsA", ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(RaisesComError([&] { ListComPorts(list, api); }, 15, 87));
    EXPECT_TRUE(list.empty());
}

TEST(ListComPortsTest, PortsAppearingBetweenTheTwoCallsAreRetried) {
    FakeCommApi api;
    api.SetPortList({"COM1:"});
    // The second call, with the first size, finds the buffer too small once.
    int calls = 0;
    api.SetHook("EnumPortsA", [&] {
        if (++calls == 2) api.FailCall("EnumPortsA", ERROR_INSUFFICIENT_BUFFER);
    });
    std::vector<std::string> list;
    ListComPorts(list, api);
    EXPECT_THAT(list, ElementsAre("COM1"));
}

// ------------------------------------------------------ settings to device

TEST_F(PortTest, VantrelSettingsGiveTheExactDcbTimeoutsAndQueues) {
    ConfigureAsVantrel();
    port.Open();
    const DCB dcb = api.LastCall("SetCommState")->Dcb;
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 1200u);
    EXPECT_EQ(dcb.Flags, 0x0001u);
    EXPECT_EQ(dcb.XonLim, 0);
    EXPECT_EQ(dcb.XoffLim, 0);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(api.LastCall("SetupComm")->Args, (std::vector<DWORD>{2, 2}));
    EXPECT_EQ(api.LastCall("SetCommTimeouts")->Timeouts, (COMMTIMEOUTS{MAXDWORD, 0, 0, 100, 1000}));
    EXPECT_EQ(api.LastCall("SetCommMask")->Args, (std::vector<DWORD>{0x0011}));
    EXPECT_EQ(api.LastCall("CreateFileA")->Text, "\\\\.\\COM1");
    EXPECT_EQ(api.LastCall("CreateFileA")->Args,
              (std::vector<DWORD>{GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED}));
}

TEST_F(PortTest, TolvexSettingsGiveXonXoffOutAlone) {
    // The form sets FlowControl first, then the single fields.
    port.BeginLoad();
    port.FlowControl().SetFlowControl(fcCustom);
    port.FlowControl().SetXonXoffOut(true);
    port.SetEvents({evRxChar, evTxEmpty, evDSR});
    port.AfterLoad();
    port.Open();
    const DCB dcb = api.LastCall("SetCommState")->Dcb;
    EXPECT_EQ(dcb.Flags, 0x0101u);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcCustom);
    EXPECT_EQ(api.LastCall("SetCommMask")->Args, (std::vector<DWORD>{0x0015}));
}

TEST_F(PortTest, EachSettingReachesItsDcbField) {
    port.Open();
    struct Row {
        const char* what;
        std::function<void(TComPort&)> set;
        std::function<bool(const DCB&)> check;
    };
    const Row rows[] = {
        {"custom rate",
         [](TComPort& p) {
             p.SetCustomBaudRate(31250);
             p.SetBaudRate(brCustom);
         },
         [](const DCB& d) { return d.BaudRate == 31250; }},
        {"256000", [](TComPort& p) { p.SetBaudRate(br256000); }, [](const DCB& d) { return d.BaudRate == 256000; }},
        {"7 data bits, 2 stops",
         [](TComPort& p) {
             p.SetDataBits(dbSeven);
             p.SetStopBits(sbTwoStopBits);
         },
         [](const DCB& d) { return d.ByteSize == 7 && d.StopBits == 2; }},
        {"space parity", [](TComPort& p) { p.Parity().SetBits(prSpace); }, [](const DCB& d) { return d.Parity == 4; }},
        {"check and replace",
         [](TComPort& p) {
             p.Parity().SetReplaceChar('?');
             p.Parity().SetReplace(true);
             p.Parity().SetCheck(true);
         },
         [](const DCB& d) { return (d.Flags & 0x0402) == 0x0402 && d.ErrorChar == '?'; }},
        {"replace without check", [](TComPort& p) { p.Parity().SetCheck(false); },
         [](const DCB& d) { return (d.Flags & 0x0402) == 0 && d.ErrorChar == 0; }},
        {"hardware", [](TComPort& p) { p.FlowControl().SetFlowControl(fcHardware); },
         [](const DCB& d) { return (d.Flags & 0x3304) == 0x2004; }},
        {"software", [](TComPort& p) { p.FlowControl().SetFlowControl(fcSoftware); },
         [](const DCB& d) { return (d.Flags & 0x3304) == 0x0300; }},
        {"dtr handshake", [](TComPort& p) { p.FlowControl().SetControlDTR(dtrHandshake); },
         [](const DCB& d) { return (d.Flags & 0x30) == 0x20; }},
        {"rts toggle", [](TComPort& p) { p.FlowControl().SetControlRTS(rtsToggle); },
         [](const DCB& d) { return (d.Flags & 0x3000) == 0x3000; }},
        {"dsr flow, sensitivity, continue",
         [](TComPort& p) {
             p.FlowControl().SetOutDSRFlow(true);
             p.FlowControl().SetDSRSensitivity(true);
             p.FlowControl().SetTxContinueOnXoff(true);
         },
         [](const DCB& d) { return (d.Flags & 0x00C8) == 0x00C8; }},
        {"discard null, event char",
         [](TComPort& p) {
             p.SetDiscardNull(true);
             p.SetEventChar('\r');
         },
         [](const DCB& d) { return (d.Flags & 0x0800) && d.EvtChar == '\r'; }},
        {"input 4096 gives limits 1024",
         [](TComPort& p) {
             p.Buffer().SetInputSize(4096);
             p.SetDataBits(dbEight);
         },
         [](const DCB& d) { return d.XonLim == 1024 && d.XoffLim == 1024; }},
    };
    for (const Row& row : rows) {
        row.set(port);
        EXPECT_TRUE(row.check(api.LastCall("SetCommState")->Dcb)) << row.what;
    }
}

TEST_F(PortTest, BadRateOrNegativeSizesAreRefusedWithTheirCodes) {
    port.Open();
    port.SetBaudRate(brCustom);
    EXPECT_TRUE(RaisesComError([&] { port.SetCustomBaudRate(0); }, 7, 87));
    EXPECT_EQ(port.CustomBaudRate(), 0);  // the refused value stays stored
    port.SetBaudRate(br1200);
    // Limits of a quarter of the queue that a 16-bit field cannot hold.
    port.Buffer().SetInputSize(300000);
    EXPECT_TRUE(RaisesComError([&] { port.SetStopBits(sbTwoStopBits); }, 7, 87));
    const int setupCalls = api.CallCount("SetupComm");
    EXPECT_TRUE(RaisesComError([&] { port.Buffer().SetOutputSize(-4); }, 9, 87));
    EXPECT_EQ(api.CallCount("SetupComm"), setupCalls);
}

TEST_F(PortTest, DeviceRefusalsRaiseTheApplyCodes) {
    port.Open();
    struct Row {
        const char* call;
        int code;
        std::function<void()> change;
    };
    const Row rows[] = {
        {"SetCommState", 7, [&] { port.SetStopBits(sbOne5StopBits); }},
        {"SetCommTimeouts", 8, [&] { port.Timeouts().SetReadInterval(5); }},
        {"SetupComm", 9, [&] { port.Buffer().SetInputSize(100); }},
    };
    for (const Row& row : rows) {
        api.FailCall(row.call, ERROR_INVALID_PARAMETER);
        EXPECT_TRUE(RaisesComError([&] { row.change(); }, row.code, 87));
    }
    EXPECT_EQ(port.StopBits(), sbOne5StopBits);
}

TEST_F(PortTest, ClosedOrUpdatingPortOnlyStoresAndEndUpdateAppliesAll) {
    port.SetBaudRate(br19200);
    EXPECT_EQ(api.CallCount("SetCommState"), 0);
    port.Open();
    api.ClearCalls();
    port.EndUpdate();  // without BeginUpdate: nothing
    port.BeginUpdate();
    port.BeginUpdate();
    port.SetBaudRate(br2400);
    port.Timeouts().SetWriteTotalConstant(50);
    port.EndUpdate();
    EXPECT_TRUE(api.CallNames({"SetupComm", "SetCommState", "SetCommTimeouts"}).empty());
    port.EndUpdate();
    EXPECT_THAT(api.CallNames({"SetupComm", "SetCommState", "SetCommTimeouts"}),
                ElementsAre("SetupComm", "SetCommState", "SetCommTimeouts"));
    EXPECT_EQ(port.UpdateDepth(), 0);
}

TEST_F(PortTest, UnchangedValuesNeverApplyButFlowControlAlwaysDoes) {
    port.SetEvents({});  // no event thread adding calls of its own
    port.Open();
    api.ClearCalls();
    port.SetBaudRate(br9600);
    port.Parity().SetBits(prNone);
    port.Timeouts().SetReadInterval(-1);
    port.Buffer().SetInputSize(1024);
    EXPECT_TRUE(api.CallNames().empty());
    port.FlowControl().SetFlowControl(fcNone);
    EXPECT_EQ(api.CallCount("SetCommState"), 1);
    // An odd size is evened but compared as given: 1025 twice applies twice.
    port.Buffer().SetInputSize(1025);
    port.Buffer().SetInputSize(1025);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    EXPECT_EQ(api.CallCount("SetupComm"), 2);
}

// ------------------------------------------------------ settings objects

TEST(SettingsObjectsTest, FlowControlReadsAndWritesItsFields) {
    TComFlowControl flow;
    EXPECT_EQ(flow.FlowControl(), fcNone);
    flow.SetControlDTR(dtrEnable);
    flow.SetFlowControl(fcHardware);
    EXPECT_EQ(flow.ControlRTS(), rtsHandshake);
    EXPECT_TRUE(flow.OutCTSFlow());
    EXPECT_EQ(flow.ControlDTR(), dtrEnable);
    EXPECT_EQ(flow.FlowControl(), fcHardware);
    flow.SetXonXoffOut(true);
    EXPECT_EQ(flow.FlowControl(), fcCustom);
    flow.SetFlowControl(fcSoftware);
    EXPECT_EQ(flow.FlowControl(), fcSoftware);
    EXPECT_EQ(flow.ControlRTS(), rtsDisable);
    flow.SetFlowControl(fcCustom);
    EXPECT_EQ(flow.FlowControl(), fcSoftware);
}

TEST(SettingsObjectsTest, BufferEvensOddPositiveSizesOnly) {
    TComBuffer buffer;
    for (auto [given, stored] : {std::pair{1025, 1024}, {3, 2}, {1, 0}, {-3, -3}, {2, 2}}) {
        buffer.SetInputSize(given);
        EXPECT_EQ(buffer.InputSize(), stored) << given;
    }
}

TEST(SettingsObjectsTest, AssignCopiesSameClassAndRefusesAnother) {
    TComParity source;
    source.SetBits(prOdd);
    source.SetCheck(true);
    FakeCommApi api;
    api.AddPort("COM1");
    TComPort port(api);
    port.Open();
    api.ClearCalls();
    port.Parity().Assign(source);  // copies fields, applies nothing
    EXPECT_EQ(port.Parity().Bits(), prOdd);
    EXPECT_EQ(port.Parity().OwnerPort(), &port);
    EXPECT_EQ(api.CallCount("SetCommState"), 0);
    port.SetParity(source);  // the property setter applies once
    EXPECT_EQ(api.CallCount("SetCommState"), 1);

    TComTimeouts timeouts;
    try {
        timeouts.Assign(source);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TComParity to a TComTimeouts");
    }
    EXPECT_EQ(timeouts.ReadInterval(), -1);
}

// ------------------------------------------------------------ open, close

TEST_F(PortTest, OpenAndCloseRaiseTheirEventsInOrder) {
    Record();
    api.SetModemStatus("COM1", MS_DSR_ON | MS_RLSD_ON);
    TComLink link;
    std::vector<std::string> linkLog;
    link.CTSCallback = [&](TObject*, bool on) { linkLog.push_back(on ? "cts1" : "cts0"); };
    link.DSRCallback = [&](TObject*, bool on) { linkLog.push_back(on ? "dsr1" : "dsr0"); };
    link.RLSDCallback = [&](TObject*, bool on) { linkLog.push_back(on ? "rlsd1" : "rlsd0"); };
    port.AddLink(&link);
    port.Open();
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeOpen", "AfterOpen", "CTS off", "DSR on", "RLSD on"));
    EXPECT_THAT(linkLog, ElementsAre("cts0", "dsr1", "rlsd1"));
    port.Open();  // open already: nothing
    EXPECT_TRUE(TakeLog().empty());
    linkLog.clear();
    port.Close();
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeClose", "CTS off", "DSR off", "RLSD off", "AfterClose"));
    EXPECT_THAT(linkLog, ElementsAre("cts0", "dsr0", "rlsd0"));
    port.Close();
    EXPECT_TRUE(TakeLog().empty());
    port.RemoveLink(&link);
}

TEST_F(PortTest, CloseAbortsIoThenStopsTheThreadThenClosesTheDevice) {
    port.Open();
    const HANDLE h = port.PortHandle();
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    api.ClearCalls();
    port.Close();
    const auto onDevice = api.Calls([&](const FakeCommApi::Call& c) {
        return c.Handle == h && c.Name != "GetCommModemStatus" && c.Name != "GetOverlappedResult";
    });
    std::vector<std::string> names;
    std::vector<DWORD> purges;
    for (const auto& c : onDevice) {
        names.push_back(c.Name);
        if (c.Name == "PurgeComm") purges.push_back(c.Args[0]);
    }
    EXPECT_THAT(names, ElementsAre("PurgeComm", "SetCommMask", "PurgeComm", "CloseHandle"));
    EXPECT_THAT(purges, ElementsAre(3u, 12u));
    EXPECT_EQ(port.PortHandle(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(port.HasWaitThread());
}

TEST_F(PortTest, MissingDeviceRaisesCodeOneWithError2AndStaysClosed) {
    Record();
    port.SetPort("COM7");
    try {
        port.Open();
        FAIL();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code, 1);
        EXPECT_EQ(e.WinCode, 2);
        EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
    }
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeOpen"));
    EXPECT_FALSE(port.Connected());
}

TEST_F(PortTest, FailedSettingsCloseTheDeviceAgain) {
    Record();
    api.FailCall("SetCommTimeouts", ERROR_INVALID_PARAMETER);
    EXPECT_THROW(port.Open(), EComPort);
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(api.IsOpen("COM1"));
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeOpen"));
    port.Open();  // and the port can be opened once the device agrees
    EXPECT_TRUE(port.Connected());
}

TEST_F(PortTest, EmptyEventsStartNoThreadButSignalsStillFire) {
    Record();
    port.SetEvents({});
    port.Open();
    EXPECT_FALSE(port.HasWaitThread());
    EXPECT_EQ(api.CallCount("SetCommMask"), 0);
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeOpen", "AfterOpen", "CTS off", "DSR off", "RLSD off"));
}

TEST_F(PortTest, FailedPurgeKeepsThePortOpenWithItsThread) {
    port.Open();
    api.FailCall("PurgeComm", ERROR_GEN_FAILURE);
    EXPECT_TRUE(RaisesComError([&] { port.Close(); }, 5, 31));
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.HasWaitThread());
    port.Close();
    EXPECT_FALSE(api.IsOpen("COM1"));
}

TEST_F(PortTest, UnpluggedDeviceCanStillBeClosed) {
    port.Open();
    api.Unplug("COM1");
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(api.IsOpen("COM1"));
}

TEST_F(PortTest, ALostDeviceReportsItsLinesOffFailsTransfersAndCloses) {
    api.SetModemStatus("COM1", MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON);
    port.SetEvents({evRxChar, evCTS, evDSR, evRLSD});
    Record();
    port.Open();
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    TakeLog();
    api.Unplug("COM1");
    ASSERT_TRUE(PumpUntil([&] { return LogSize() >= 3; }, 2000ms)) << "no line events";
    EXPECT_THAT(TakeLog(), ElementsAre("CTS off", "DSR off", "RLSD off"));
    EXPECT_TRUE(port.ModemSignals().Empty());
    EXPECT_TRUE(RaisesComError([&] { port.WriteBuffer("x", 1); }, 2, ERROR_GEN_FAILURE));
    char byte = 0;
    EXPECT_TRUE(RaisesComError([&] { port.ReadBuffer(&byte, 1); }, 3, ERROR_GEN_FAILURE));
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(api.IsOpen("COM1"));
    EXPECT_TRUE(RaisesComError([&] { port.Open(); }, 1, ERROR_FILE_NOT_FOUND));
}

TEST_F(PortTest, ClosedPortNeverReachesAnotherDevice) {
    port.Open();
    port.Close();
    TComPort other(api);
    other.SetPort("COM2");
    other.Open();
    const std::string before = api.Written("COM2");
    EXPECT_TRUE(RaisesComError([&] { port.WriteBuffer("x", 1); }, 2, 6));
    EXPECT_EQ(api.Written("COM2"), before);
    struct Row {
        int code;
        std::function<void()> op;
    };
    for (const Row& row : {Row{12, [&] { port.SetDTR(true); }}, Row{11, [&] { port.ModemSignals(); }},
                           Row{10, [&] { port.InputQueueCount(); }}}) {
        EXPECT_TRUE(RaisesComError([&] { row.op(); }, row.code, 6));
    }
}

// ---------------------------------------------------------------- properties

TEST_F(PortTest, PortChangesReopenOnlyOnARealChange) {
    port.Open();
    port.SetPort("com1");
    EXPECT_EQ(api.CallCount("CreateFileA"), 1);
    port.SetPort("$2");
    EXPECT_EQ(port.Port(), "COM2");
    EXPECT_TRUE(api.IsOpen("COM2"));
    EXPECT_FALSE(api.IsOpen("COM1"));
    // A failed close keeps the old name with the old device.
    api.FailCall("PurgeComm", ERROR_GEN_FAILURE);
    EXPECT_THROW(port.SetPort("COM1"), EComPort);
    EXPECT_EQ(port.Port(), "COM2");
    EXPECT_TRUE(api.IsOpen("COM2"));
    // A name that cannot be opened leaves the port closed under it.
    EXPECT_THROW(port.SetPort("COM9"), EComPort);
    EXPECT_EQ(port.Port(), "COM9");
    EXPECT_FALSE(port.Connected());
}

TEST_F(PortTest, PortChangeInsideUpdateReopensAtOnceAndAppliesAtTheEnd) {
    port.Open();
    api.ClearCalls();
    port.BeginUpdate();
    port.SetPort("COM2");
    EXPECT_TRUE(api.IsOpen("COM2"));
    EXPECT_EQ(api.CallCount("SetCommState"), 0);
    port.EndUpdate();
    EXPECT_EQ(api.CallCount("SetCommState"), 1);
}

TEST_F(PortTest, DtrRaisedAfterOpenSurvivesAPortChangeInsideAnUpdate) {
    // Vantrel's settings dialog: BeginUpdate; Port := the chosen one; EndUpdate.
    api.SetDsrFollowsDtr("COM1", true);
    api.SetDsrFollowsDtr("COM2", true);
    ConfigureAsVantrel();
    std::vector<bool> dsr;
    port.OnAfterOpen = [&](TObject*) { port.SetDTR(true); };
    port.OnDSRChange = [&](TObject*, bool on) { dsr.push_back(on); };
    port.Open();
    port.BeginUpdate();
    port.SetPort("COM2");
    port.EndUpdate();
    // The event thread waits again: every DSR event of the change was handled.
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM2"); }));
    EXPECT_TRUE(api.Dtr("COM2"));
    EXPECT_TRUE(port.ModemSignals().Contains(msDSR));
    ASSERT_FALSE(dsr.empty());
    EXPECT_TRUE(dsr.back()) << "DSR reported off after the update";

    // Settings applied later leave the line alone; a change of the DTR control
    // itself still moves it.
    port.SetBaudRate(br9600);
    EXPECT_TRUE(api.Dtr("COM2"));
    port.FlowControl().SetControlDTR(dtrEnable);
    EXPECT_TRUE(api.Dtr("COM2"));
    port.FlowControl().SetControlDTR(dtrDisable);
    EXPECT_FALSE(api.Dtr("COM2"));
    // A plain reopen starts from the control again.
    port.SetDTR(true);
    port.OnAfterOpen = nullptr;
    port.Close();
    port.Open();
    EXPECT_FALSE(api.Dtr("COM2"));
    port.OnDSRChange = nullptr;
}

TEST_F(PortTest, SyncMethodCannotChangeWhileOpen) {
    port.Open();
    port.SetSyncMethod(smThreadSync);
    EXPECT_TRUE(RaisesComError([&] { port.SetSyncMethod(smNone); }, 14, -1));
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    port.Close();
    port.SetSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smNone);
}

TEST_F(PortTest, LoadedConnectedOpensTheStoredPortOnceAfterLoading) {
    port.BeginLoad();
    port.SetConnected(true);
    port.SetPort("COM2");
    EXPECT_EQ(api.CallCount("CreateFileA"), 0);
    port.AfterLoad();
    EXPECT_EQ(api.CallCount("CreateFileA"), 1);
    EXPECT_EQ(api.LastCall("CreateFileA")->Text, "\\\\.\\COM2");
    EXPECT_TRUE(port.Connected());
}

TEST_F(PortTest, OpenFailureAfterLoadingIsShownNotRaised) {
    std::string shown;
    SetApplicationShowException([&](const std::exception& e) { shown = e.what(); });
    port.BeginLoad();
    port.SetConnected(true);
    port.SetPort("COM5");
    EXPECT_NO_THROW(port.AfterLoad());
    SetApplicationShowException(nullptr);
    EXPECT_EQ(shown, "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.Loading());
}

// ------------------------------------------------------------------ transfers

TEST_F(PortTest, WriteBufferReportsWhatWasWrittenAndTellsTheLinks) {
    port.Open();
    TComLink link;
    std::vector<bool> tx;
    link.TxCallback = [&](TObject*, bool on) { tx.push_back(on); };
    port.AddLink(&link);
    EXPECT_EQ(port.WriteBuffer("\xFF\x01", 2), 2);
    EXPECT_EQ(api.Written("COM1"), "\xFF\x01");
    EXPECT_THAT(tx, ElementsAre(true));
    // A write timeout is success with fewer bytes.
    api.SetWriteLimit("COM1", 1);
    EXPECT_EQ(port.WriteBuffer("ab", 2), 1);
    EXPECT_EQ(port.WriteBuffer("", 0), 0);
    const int writes = api.CallCount("WriteFile");
    EXPECT_TRUE(RaisesComError([&] { port.WriteBuffer("ab", -1); }, 2, 87));
    EXPECT_EQ(api.CallCount("WriteFile"), writes);
    // Every record's event is closed again, also after a failure. (The first
    // event made here is the event thread's stop signal.)
    const auto here = [&](const char* name) {
        return api
            .Calls([&](const FakeCommApi::Call& c) { return c.Name == name && c.Thread == std::this_thread::get_id(); })
            .size();
    };
    EXPECT_EQ(here("CreateEventA") - 1, here("CloseHandle"));
    port.RemoveLink(&link);
}

TEST_F(PortTest, PendingTransfersCompleteAndFailuresCarryTheirCodes) {
    port.Open();
    api.SetReportPending("COM1", true);
    api.QueueReadData("COM1", "hello");
    char buffer[8] = {};
    EXPECT_EQ(port.ReadBuffer(buffer, 8), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    api.FailCall("ReadFile", ERROR_GEN_FAILURE);
    EXPECT_TRUE(RaisesComError([&] { port.ReadBuffer(buffer, 1); }, 3, 31));
    // A failed read is reported as such, not hidden by the queue check.
    api.FailCall("GetOverlappedResult", ERROR_OPERATION_ABORTED);
    api.FailCall("ClearCommError", ERROR_INVALID_HANDLE);
    EXPECT_TRUE(RaisesComError([&] { port.ReadBuffer(buffer, 1); }, 3, 995));
    api.ClearFailures();
    EXPECT_THROW(port.ReadBuffer(buffer, -2), EComPort);
    api.FailCall("GetOverlappedResult", ERROR_OPERATION_ABORTED);
    EXPECT_TRUE(RaisesComError([&] { port.WriteBuffer("a", 1); }, 2, 995));
    EXPECT_TRUE(RaisesComError([&] { port.WaitAsyncResult(nullptr); }, 4, -1));
}

TEST_F(PortTest, ReadLineErrorsHidesParityUnlessChecked) {
    port.SetEvents({});
    port.Open();
    api.AddLineErrors("COM1", CE_RXPARITY | CE_FRAME | CE_BREAK | CE_MODE);
    EXPECT_EQ(port.ReadLineErrors(), (TComErrors{errFrame, errBreak, errMode}));
    EXPECT_TRUE(port.ReadLineErrors().Empty());  // reading clears them
    port.Parity().SetCheck(true);
    api.AddLineErrors("COM1", CE_RXPARITY | CE_OVERRUN | CE_RXOVER | CE_TXFULL | CE_IOE);
    EXPECT_EQ(port.ReadLineErrors(), (TComErrors{errParity, errOverrun, errRxOverflow, errTxFull, errIO}));
}

TEST_F(PortTest, ModemSignalsAndDtr) {
    port.Open();
    api.SetModemStatus("COM1", MS_CTS_ON | MS_RING_ON);
    EXPECT_EQ(port.ModemSignals(), (TModemSignalSet{msCTS, msRing}));
    port.SetDTR(true);
    EXPECT_TRUE(api.Dtr("COM1"));
    port.SetDTR(false);
    EXPECT_FALSE(api.Dtr("COM1"));
}

// ------------------------------------------------------- handlers and links

TEST_F(PortTest, ReceivedBytesGoToTakingLinksOnceOrElseToOnRxChar) {
    port.SetEvents({});
    port.Open();
    Record();
    TComLink watcher;  // takes no data: OnRxChar still comes
    std::vector<bool> rx;
    watcher.RxCallback = [&](TObject*, bool on) { rx.push_back(on); };
    port.AddLink(&watcher);
    port.HandleRxChar();  // empty queue: nothing at all
    EXPECT_TRUE(rx.empty());
    api.QueueReadData("COM1", "abc");
    port.HandleRxChar();
    EXPECT_THAT(TakeLog(), ElementsAre("RxChar 3"));
    EXPECT_THAT(rx, ElementsAre(true));

    TComLink a, b;
    std::string gotA, gotB, gotEvent;
    a.RxBufCallback = [&](TObject*, const void* p, int n) { gotA.assign(static_cast<const char*>(p), n); };
    b.RxBufCallback = [&](TObject*, const void* p, int n) { gotB.assign(static_cast<const char*>(p), n); };
    port.OnRxBuf = [&](TObject*, const void* p, int n) { gotEvent.assign(static_cast<const char*>(p), n); };
    port.AddLink(&a);
    port.AddLink(&b);
    port.HandleRxChar();
    EXPECT_EQ(gotEvent, "abc");
    EXPECT_EQ(gotA, "abc");
    EXPECT_EQ(gotB, "abc");
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(api.CallCount("ReadFile"), 1);
    EXPECT_THAT(rx, ElementsAre(true, true, false));  // the read emptied the queue

    // A queue that claims more than can be read hands out only what was read.
    api.SetInQueueCount("COM1", 5);
    api.QueueReadData("COM1", "xy");
    port.HandleRxChar();
    EXPECT_EQ(gotA, "xy");
    for (TComLink* l : {&watcher, &a, &b}) port.RemoveLink(l);
}

TEST_F(PortTest, LinkRegistrationIsCheckedAndWalksSurviveRemoval) {
    port.SetEvents({});
    port.Open();
    TComLink first, second, third;
    port.AddLink(&first);
    EXPECT_TRUE(RaisesComError([&] { port.AddLink(&first); }, 18, -1));
    EXPECT_EQ(port.LinkCount(), 1);
    port.AddLink(&second);
    port.AddLink(&third);
    std::vector<std::string> heard;
    first.DSRCallback = [&](TObject* sender, bool) {
        EXPECT_EQ(sender, &port);
        heard.push_back("first");
        port.RemoveLink(&first);
        port.RemoveLink(&second);
    };
    second.DSRCallback = [&](TObject*, bool) { heard.push_back("second"); };
    third.DSRCallback = [&](TObject*, bool) { heard.push_back("third"); };
    third.RingCallback = [&](TObject*) { heard.push_back("ring"); };
    port.NotifyLinks(lsDSR, true);
    EXPECT_THAT(heard, ElementsAre("first", "third"));
    heard.clear();
    port.NotifyLinks(lsRing, true);  // the ring reaches links only through HandleRing
    EXPECT_TRUE(heard.empty());
    port.HandleRing();
    EXPECT_THAT(heard, ElementsAre("ring"));
    EXPECT_THROW(port.RemoveLink(&first), EComPort);
    port.RemoveLink(&third);
}

TEST_F(PortTest, ErrorEventComesEvenWithAnEmptySet) {
    port.SetEvents({});
    port.Open();
    Record();
    port.HandleError();
    EXPECT_THAT(TakeLog(), ElementsAre("Error 0"));
}

TEST_F(PortTest, WindowProcCallsOneHandlerPerBit) {
    port.SetEvents({});
    port.Open();
    Record();
    for (uintptr_t bit : {0x40u, 0x100u, 0x2u, 0x4u, 0x400u, 0x800u})
        port.PortWindowProc(TCustomComPort::CM_COMPORT, bit, 0);
    EXPECT_EQ(port.PortWindowProc(15, EV_TXEMPTY, 0), 0);
    EXPECT_THAT(TakeLog(), ElementsAre("Break", "Ring", "RxFlag", "TxEmpty", "Rx80Full"));
}

// ------------------------------------------------------------- event thread

TEST_F(PortTest, ABatchIsHandedOverInItsFixedOrder) {
    port.Open();
    Record();
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    api.QueueReadData("COM1", "z");
    api.RaiseEvents("COM1", 0x05FF);
    ASSERT_TRUE(PumpUntil([&] { return LogSize() >= 10; }));
    EXPECT_THAT(TakeLog(), ElementsAre("RxChar 1", "TxEmpty", "Break", "Ring", "CTS off", "DSR off", "RxFlag",
                                       "RLSD off", "Error 0", "Rx80Full"));
}

TEST_F(PortTest, WindowSyncSendsOneMessagePerBit) {
    port.SetSyncMethod(smWindowSync);
    port.Open();
    EXPECT_NE(port.NotifyWindow(), 0);
    Record();
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    api.RaiseEvents("COM1", EV_RING | EV_TXEMPTY);
    ASSERT_TRUE(PumpUntil([&] { return LogSize() >= 2; }));
    EXPECT_THAT(TakeLog(), ElementsAre("TxEmpty", "Ring"));
    port.Close();
    EXPECT_EQ(port.NotifyWindow(), 0);
}

TEST_F(PortTest, NoSyncRunsHandlersOnTheEventThread) {
    port.SetSyncMethod(smNone);
    port.SetEvents({evTxEmpty});
    std::atomic<bool> onOtherThread{false};
    const auto main = std::this_thread::get_id();
    port.OnTxEmpty = [&](TObject*) { onOtherThread = std::this_thread::get_id() != main; };
    port.Open();
    api.RaiseEvents("COM1", EV_TXEMPTY);
    ASSERT_TRUE(PumpUntil([&] { return onOtherThread.load(); }));
    port.Close();
}

TEST_F(PortTest, AfterCloseNoHandlerRunsAgain) {
    port.Open();
    Record();
    port.Close();
    TakeLog();
    api.RaiseEvents("COM1", EV_TXEMPTY);
    PumpUntil([] { return false; }, 30ms);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(PortTest, HandlerExceptionIsShownOnTheGuiThreadAndEndsTheEvents) {
    const auto gui = std::this_thread::get_id();
    for (TSyncMethod sync : {smThreadSync, smWindowSync, smNone}) {
        SCOPED_TRACE(static_cast<int>(sync));
        std::vector<std::string> shown;
        std::atomic<int> calls{0};
        SetApplicationShowException([&](const std::exception& e) {
            shown.push_back(e.what());
            EXPECT_EQ(std::this_thread::get_id(), gui);
        });
        port.SetSyncMethod(sync);
        port.OnTxEmpty = [&](TObject*) {
            ++calls;
            throw std::runtime_error("handler failed");
        };
        port.Open();
        EXPECT_TRUE(port.HasWaitThread());
        ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
        api.RaiseEvents("COM1", EV_TXEMPTY);
        ASSERT_TRUE(PumpUntil([&] { return !shown.empty(); })) << "never shown";
        EXPECT_THAT(shown, ElementsAre("handler failed"));
        EXPECT_TRUE(PumpUntil([&] { return !port.HasWaitThread(); })) << "still claims a thread";
        api.RaiseEvents("COM1", EV_TXEMPTY);
        PumpUntil([] { return false; }, 30ms);
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(port.Connected());
        port.Close();
        EXPECT_FALSE(api.IsOpen("COM1"));
        port.OnTxEmpty = nullptr;
        SetApplicationShowException(nullptr);
    }
}

TEST_F(PortTest, TxEmptyChainSendsOneByteAtATime) {
    // Tolvex's pattern: each transmit-empty event writes the next byte.
    api.SetTxEmptyAfterWrite("COM1", true);
    port.SetEvents({evRxChar, evTxEmpty, evDSR});
    const std::string stream =
        "\xFF"
        "record"
        "\xFF";
    size_t next = 1;
    port.OnTxEmpty = [&](TObject*) {
        if (next < stream.size()) port.WriteBuffer(&stream[next++], 1);
    };
    port.Open();
    port.WriteBuffer(&stream[0], 1);
    ASSERT_TRUE(PumpUntil([&] { return api.Written("COM1") == stream; }));
    port.Close();
}

TEST_F(PortTest, CloseFromInsideItsOwnHandOverDoesNotDeadlock) {
    bool closed = false;
    Record();
    port.OnTxEmpty = [&](TObject*) {
        port.Close();
        closed = true;
    };
    port.Open();
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    TakeLog();
    api.RaiseEvents("COM1", EV_TXEMPTY | EV_DSR);
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    EXPECT_FALSE(port.Connected());
    // The batch stops once the port is closed: no DSR handler after TxEmpty.
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeClose", "CTS off", "DSR off", "RLSD off", "AfterClose"));
    port.OnTxEmpty = nullptr;
    port.Open();  // reopening joins the stopped thread
    EXPECT_TRUE(port.HasWaitThread());
}

TEST_F(PortTest, CloseServesTheHandOverItsThreadWaitsIn) {
    static std::atomic<bool> posted{false};
    const auto post = [] {
        posted = true;
        QMetaObject::invokeMethod(
            qApp, [] { HandOver::Instance().Serve(); }, Qt::QueuedConnection);
    };
    HandOver::Instance().SetPost(post);
    posted = false;
    Record();
    port.Open();
    ASSERT_TRUE(PumpUntil([&] { return api.WaitPending("COM1"); }));
    TakeLog();
    api.RaiseEvents("COM1", EV_TXEMPTY);
    // The thread now waits for the GUI thread, which closes without serving
    // its event loop.
    while (!posted) std::this_thread::yield();
    port.Close();
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeClose", "CTS off", "DSR off", "RLSD off", "TxEmpty", "AfterClose"));
}

TEST_F(PortTest, CloseFromItsOwnNotificationsClosesOnce) {
    Record();
    port.OnBeforeClose = [this](TObject*) {
        Log("BeforeClose");
        port.Close();
    };
    port.Open();
    TakeLog();
    port.Close();
    EXPECT_THAT(TakeLog(), ElementsAre("BeforeClose", "CTS off", "DSR off", "RLSD off", "AfterClose"));
}

TEST_F(PortTest, DestructorClosesAndTellsRemovalClientsWhileLinksStand) {
    TComLink link;
    std::vector<std::string> order;
    {
        TComPort doomed(api);
        doomed.Open();
        doomed.AddLink(&link);
        link.DSRCallback = [&](TObject*, bool on) { order.push_back(on ? "dsr1" : "dsr0"); };
        TObject lamp;
        doomed.FreeNotification(&lamp, [&](TComponent* c) {
            order.push_back("removed");
            static_cast<TCustomComPort*>(c)->RemoveLink(&link);
            static_cast<TCustomComPort*>(c)->RemoveLink(&link);  // raises 18: must not escape
        });
        api.FailCall("PurgeComm", ERROR_GEN_FAILURE, -1);  // Close will fail
    }
    api.ClearFailures();
    EXPECT_THAT(order, ElementsAre("dsr0", "removed"));
    EXPECT_FALSE(api.IsOpen("COM1"));
}

}  // namespace
