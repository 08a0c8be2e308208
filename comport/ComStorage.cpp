// Settings persistence: the chosen groups to and from an ini file section or
// a registry key, one key at a time through the property setters.
#include "comport/SerialPort.h"

#include "platform/ini/IniFile.h"
#include "platform/ini/RegistryKey.h"

namespace {

// One stored setting. Integer keys use the integer reads and writes of the
// store; the others go through the text converters.
struct StoredKey {
    TStoredGroup Group;
    const char* Name;
    bool Integer;
    std::function<std::string(TCustomComPort&)> Text;
    std::function<void(TCustomComPort&, const std::string&)> SetText;
    std::function<int(TCustomComPort&)> Int;
    std::function<void(TCustomComPort&, int)> SetInt;
};

StoredKey TextKey(TStoredGroup group, const char* name, std::function<std::string(TCustomComPort&)> text,
                  std::function<void(TCustomComPort&, const std::string&)> setText) {
    return {group, name, false, std::move(text), std::move(setText), nullptr, nullptr};
}

StoredKey IntKey(TStoredGroup group, const char* name, std::function<int(TCustomComPort&)> value,
                 std::function<void(TCustomComPort&, int)> setValue) {
    return {group, name, true, nullptr, nullptr, std::move(value), std::move(setValue)};
}

const char* const CustomBaudRateKey = "CustomBaudRate";

// Groups in the order they are handled, keys in their order within a group.
const std::vector<StoredKey>& StoredKeys() {
    using P = TCustomComPort;
    using S = const std::string&;
    static const std::vector<StoredKey> keys = {
        TextKey(
            sgBasic, "Port", [](P& p) { return p.Port(); }, [](P& p, S t) { p.SetPort(t); }),
        TextKey(
            sgBasic, "BaudRate", [](P& p) { return BaudRateToText(p.BaudRate()); },
            [](P& p, S t) { p.SetBaudRate(TextToBaudRate(t)); }),
        IntKey(
            sgBasic, CustomBaudRateKey, [](P& p) { return p.CustomBaudRate(); },
            [](P& p, int v) { p.SetCustomBaudRate(v); }),
        TextKey(
            sgBasic, "StopBits", [](P& p) { return StopBitsToText(p.StopBits()); },
            [](P& p, S t) { p.SetStopBits(TextToStopBits(t)); }),
        TextKey(
            sgBasic, "DataBits", [](P& p) { return DataBitsToText(p.DataBits()); },
            [](P& p, S t) { p.SetDataBits(TextToDataBits(t)); }),
        TextKey(
            sgBasic, "Parity", [](P& p) { return ParityToText(p.Parity().Bits()); },
            [](P& p, S t) { p.Parity().SetBits(TextToParity(t)); }),
        TextKey(
            sgBasic, "FlowControl", [](P& p) { return FlowControlToText(p.FlowControl().FlowControl()); },
            [](P& p, S t) { p.FlowControl().SetFlowControl(TextToFlowControl(t)); }),
        TextKey(
            sgMisc, "EventChar", [](P& p) { return CharToText(p.EventChar()); },
            [](P& p, S t) { p.SetEventChar(TextToChar(t)); }),
        TextKey(
            sgMisc, "DiscardNull", [](P& p) { return BooleanToText(p.DiscardNull()); },
            [](P& p, S t) { p.SetDiscardNull(TextToBoolean(t)); }),
        TextKey(
            sgParity, "Parity.Check", [](P& p) { return BooleanToText(p.Parity().Check()); },
            [](P& p, S t) { p.Parity().SetCheck(TextToBoolean(t)); }),
        TextKey(
            sgParity, "Parity.Replace", [](P& p) { return BooleanToText(p.Parity().Replace()); },
            [](P& p, S t) { p.Parity().SetReplace(TextToBoolean(t)); }),
        TextKey(
            sgParity, "Parity.ReplaceChar", [](P& p) { return CharToText(p.Parity().ReplaceChar()); },
            [](P& p, S t) { p.Parity().SetReplaceChar(TextToChar(t)); }),
        IntKey(
            sgBuffer, "Buffer.OutputSize", [](P& p) { return p.Buffer().OutputSize(); },
            [](P& p, int v) { p.Buffer().SetOutputSize(v); }),
        IntKey(
            sgBuffer, "Buffer.InputSize", [](P& p) { return p.Buffer().InputSize(); },
            [](P& p, int v) { p.Buffer().SetInputSize(v); }),
        IntKey(
            sgTimeouts, "Timeouts.ReadInterval", [](P& p) { return p.Timeouts().ReadInterval(); },
            [](P& p, int v) { p.Timeouts().SetReadInterval(v); }),
        IntKey(
            sgTimeouts, "Timeouts.ReadTotalConstant", [](P& p) { return p.Timeouts().ReadTotalConstant(); },
            [](P& p, int v) { p.Timeouts().SetReadTotalConstant(v); }),
        IntKey(
            sgTimeouts, "Timeouts.ReadTotalMultiplier", [](P& p) { return p.Timeouts().ReadTotalMultiplier(); },
            [](P& p, int v) { p.Timeouts().SetReadTotalMultiplier(v); }),
        IntKey(
            sgTimeouts, "Timeouts.WriteTotalConstant", [](P& p) { return p.Timeouts().WriteTotalConstant(); },
            [](P& p, int v) { p.Timeouts().SetWriteTotalConstant(v); }),
        IntKey(
            sgTimeouts, "Timeouts.WriteTotalMultiplier", [](P& p) { return p.Timeouts().WriteTotalMultiplier(); },
            [](P& p, int v) { p.Timeouts().SetWriteTotalMultiplier(v); }),
        TextKey(
            sgFlowControl, "FlowControl.ControlRTS",
            [](P& p) { return RTSControlToText(p.FlowControl().ControlRTS()); },
            [](P& p, S t) { p.FlowControl().SetControlRTS(TextToRTSControl(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.ControlDTR",
            [](P& p) { return DTRControlToText(p.FlowControl().ControlDTR()); },
            [](P& p, S t) { p.FlowControl().SetControlDTR(TextToDTRControl(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.DSRSensitivity",
            [](P& p) { return BooleanToText(p.FlowControl().DSRSensitivity()); },
            [](P& p, S t) { p.FlowControl().SetDSRSensitivity(TextToBoolean(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.OutCTSFlow", [](P& p) { return BooleanToText(p.FlowControl().OutCTSFlow()); },
            [](P& p, S t) { p.FlowControl().SetOutCTSFlow(TextToBoolean(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.OutDSRFlow", [](P& p) { return BooleanToText(p.FlowControl().OutDSRFlow()); },
            [](P& p, S t) { p.FlowControl().SetOutDSRFlow(TextToBoolean(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.TxContinueOnXoff",
            [](P& p) { return BooleanToText(p.FlowControl().TxContinueOnXoff()); },
            [](P& p, S t) { p.FlowControl().SetTxContinueOnXoff(TextToBoolean(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.XonXoffIn", [](P& p) { return BooleanToText(p.FlowControl().XonXoffIn()); },
            [](P& p, S t) { p.FlowControl().SetXonXoffIn(TextToBoolean(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.XonXoffOut", [](P& p) { return BooleanToText(p.FlowControl().XonXoffOut()); },
            [](P& p, S t) { p.FlowControl().SetXonXoffOut(TextToBoolean(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.XoffChar", [](P& p) { return CharToText(p.FlowControl().XoffChar()); },
            [](P& p, S t) { p.FlowControl().SetXoffChar(TextToChar(t)); }),
        TextKey(
            sgFlowControl, "FlowControl.XonChar", [](P& p) { return CharToText(p.FlowControl().XonChar()); },
            [](P& p, S t) { p.FlowControl().SetXonChar(TextToChar(t)); }),
    };
    return keys;
}

const TStoredGroup GroupOrder[] = {sgBasic, sgMisc, sgParity, sgBuffer, sgTimeouts, sgFlowControl};

// The four reads and writes of an ini section or a registry key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Current: the setting's own value, the default where the store has one.
    virtual std::string ReadText(const char* name, const std::string& current) = 0;
    virtual int ReadInt(const char* name, int current) = 0;
    virtual void WriteText(const char* name, const std::string& value) = 0;
    virtual void WriteInt(const char* name, int value) = 0;
};

class IniStore : public SettingsStore {
public:
    IniStore(IniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
    std::string ReadText(const char* name, const std::string& current) override {
        return ini_.ReadString(section_, name, current);
    }
    int ReadInt(const char* name, int current) override { return ini_.ReadInteger(section_, name, current); }
    void WriteText(const char* name, const std::string& value) override { ini_.WriteString(section_, name, value); }
    void WriteInt(const char* name, int value) override { ini_.WriteInteger(section_, name, value); }

private:
    IniFile& ini_;
    std::string section_;
};

// No defaults: a missing text reads empty, a missing integer raises.
class RegistryStore : public SettingsStore {
public:
    explicit RegistryStore(RegistryKey& registry) : registry_(registry) {}
    std::string ReadText(const char* name, const std::string&) override { return registry_.ReadString(name); }
    int ReadInt(const char* name, int) override { return registry_.ReadInteger(name); }
    void WriteText(const char* name, const std::string& value) override { registry_.WriteString(name, value); }
    void WriteInt(const char* name, int value) override { registry_.WriteInteger(name, value); }

private:
    RegistryKey& registry_;
};

template <class F>
void ForEachChosenKey(TStoredGroups groups, F f) {
    for (TStoredGroup group : GroupOrder) {
        if (!groups.Contains(group)) continue;
        for (const StoredKey& key : StoredKeys())
            if (key.Group == group) f(key);
    }
}

void Store(TCustomComPort& port, SettingsStore& store) {
    ForEachChosenKey(port.StoredGroups(), [&](const StoredKey& key) {
        if (key.Name == CustomBaudRateKey && port.BaudRate() != brCustom) return;
        if (key.Integer)
            store.WriteInt(key.Name, key.Int(port));
        else
            store.WriteText(key.Name, key.Text(port));
    });
}

void Load(TCustomComPort& port, SettingsStore& store) {
    ForEachChosenKey(port.StoredGroups(), [&](const StoredKey& key) {
        if (key.Name == CustomBaudRateKey) {
            // Read only for the rate just applied, and 9600 when missing.
            if (port.BaudRate() == brCustom) key.SetInt(port, store.ReadInt(key.Name, 9600));
            return;
        }
        if (key.Integer)
            key.SetInt(port, store.ReadInt(key.Name, key.Int(port)));
        else
            key.SetText(port, store.ReadText(key.Name, key.Text(port)));
    });
}

}  // namespace

void TCustomComPort::StoreToIniFile(IniFile& Ini) {
    IniStore store(Ini, Name);
    Store(*this, store);
}

void TCustomComPort::StoreToRegistry(RegistryKey& Registry) {
    RegistryStore store(Registry);
    Store(*this, store);
}

void TCustomComPort::LoadFromIniFile(IniFile& Ini) {
    IniStore store(Ini, Name);
    Load(*this, store);
}

void TCustomComPort::LoadFromRegistry(RegistryKey& Registry) {
    RegistryStore store(Registry);
    Load(*this, store);
}
