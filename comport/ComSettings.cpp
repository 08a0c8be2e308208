// Settings objects, the port's property setters, the text converters and the
// port-name rule.
#include "comport/SerialPort.h"

#include "common/AsciiText.h"
#include "common/ComPortName.h"
#include "common/NumberText.h"

#include <algorithm>
#include <climits>
#include <iterator>

// ---------------------------------------------------------- settings objects

void TComTimeouts::SetInt(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    if (ownerPort_) ownerPort_->ApplyCommTimeouts();
}

void TComTimeouts::SetReadInterval(int Value) { SetInt(readInterval_, Value); }
void TComTimeouts::SetReadTotalMultiplier(int Value) { SetInt(readTotalMultiplier_, Value); }
void TComTimeouts::SetReadTotalConstant(int Value) { SetInt(readTotalConstant_, Value); }
void TComTimeouts::SetWriteTotalMultiplier(int Value) { SetInt(writeTotalMultiplier_, Value); }
void TComTimeouts::SetWriteTotalConstant(int Value) { SetInt(writeTotalConstant_, Value); }

void TComTimeouts::AssignTo(TPersistent& Dest) const {
    auto* d = dynamic_cast<TComTimeouts*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->readInterval_ = readInterval_;
    d->readTotalMultiplier_ = readTotalMultiplier_;
    d->readTotalConstant_ = readTotalConstant_;
    d->writeTotalMultiplier_ = writeTotalMultiplier_;
    d->writeTotalConstant_ = writeTotalConstant_;
}

template <class T>
void TComFlowControl::SetField(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    if (ownerPort_) ownerPort_->ApplyCommState();
}

void TComFlowControl::SetOutCTSFlow(bool Value) { SetField(outCtsFlow_, Value); }
void TComFlowControl::SetOutDSRFlow(bool Value) { SetField(outDsrFlow_, Value); }
void TComFlowControl::SetControlDTR(TDTRFlowControl Value) { SetField(controlDtr_, Value); }
void TComFlowControl::SetControlRTS(TRTSFlowControl Value) { SetField(controlRts_, Value); }
void TComFlowControl::SetXonXoffOut(bool Value) { SetField(xonXoffOut_, Value); }
void TComFlowControl::SetXonXoffIn(bool Value) { SetField(xonXoffIn_, Value); }
void TComFlowControl::SetDSRSensitivity(bool Value) { SetField(dsrSensitivity_, Value); }
void TComFlowControl::SetTxContinueOnXoff(bool Value) { SetField(txContinueOnXoff_, Value); }
void TComFlowControl::SetXonChar(char Value) { SetField(xonChar_, Value); }
void TComFlowControl::SetXoffChar(char Value) { SetField(xoffChar_, Value); }

TFlowControl TComFlowControl::FlowControl() const {
    const bool xonXoff = xonXoffIn_ || xonXoffOut_;
    if (controlRts_ == rtsHandshake && outCtsFlow_ && !xonXoff) return fcHardware;
    if (controlRts_ == rtsDisable && !outCtsFlow_ && xonXoffIn_ && xonXoffOut_) return fcSoftware;
    if (controlRts_ == rtsDisable && !outCtsFlow_ && !xonXoff) return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl Value) {
    if (Value != fcCustom) {
        controlRts_ = rtsDisable;
        outCtsFlow_ = false;
        xonXoffIn_ = false;
        xonXoffOut_ = false;
        if (Value == fcHardware) {
            controlRts_ = rtsHandshake;
            outCtsFlow_ = true;
        } else if (Value == fcSoftware) {
            xonXoffIn_ = true;
            xonXoffOut_ = true;
        }
    }
    // Applied even when nothing changed: the form reader relies on it.
    if (ownerPort_) ownerPort_->ApplyCommState();
}

void TComFlowControl::AssignTo(TPersistent& Dest) const {
    auto* d = dynamic_cast<TComFlowControl*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->outCtsFlow_ = outCtsFlow_;
    d->outDsrFlow_ = outDsrFlow_;
    d->controlDtr_ = controlDtr_;
    d->controlRts_ = controlRts_;
    d->xonXoffOut_ = xonXoffOut_;
    d->xonXoffIn_ = xonXoffIn_;
    d->dsrSensitivity_ = dsrSensitivity_;
    d->txContinueOnXoff_ = txContinueOnXoff_;
    d->xonChar_ = xonChar_;
    d->xoffChar_ = xoffChar_;
}

template <class T>
void TComParity::SetField(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    if (ownerPort_) ownerPort_->ApplyCommState();
}

void TComParity::SetBits(TParityBits Value) { SetField(bits_, Value); }
void TComParity::SetCheck(bool Value) { SetField(check_, Value); }
void TComParity::SetReplace(bool Value) { SetField(replace_, Value); }
void TComParity::SetReplaceChar(char Value) { SetField(replaceChar_, Value); }

void TComParity::AssignTo(TPersistent& Dest) const {
    auto* d = dynamic_cast<TComParity*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->bits_ = bits_;
    d->check_ = check_;
    d->replace_ = replace_;
    d->replaceChar_ = replaceChar_;
}

void TComBuffer::SetSize(int& Field, int Value) {
    // Compared before the odd size is evened, so 1025 twice re-applies.
    if (Field == Value) return;
    Field = Value;
    if (Value % 2 == 1) --Field;
    if (ownerPort_) ownerPort_->ApplyQueueSizes();
}

void TComBuffer::SetInputSize(int Value) { SetSize(inputSize_, Value); }
void TComBuffer::SetOutputSize(int Value) { SetSize(outputSize_, Value); }

void TComBuffer::AssignTo(TPersistent& Dest) const {
    auto* d = dynamic_cast<TComBuffer*>(&Dest);
    if (!d) return TPersistent::AssignTo(Dest);
    d->inputSize_ = inputSize_;
    d->outputSize_ = outputSize_;
}

// ------------------------------------------------------- port property setters

template <class T>
void TCustomComPort::SetAndApplyState(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    ApplyCommState();
}

void TCustomComPort::SetBaudRate(TBaudRate Value) { SetAndApplyState(baudRate_, Value); }
void TCustomComPort::SetCustomBaudRate(int Value) { SetAndApplyState(customBaudRate_, Value); }
void TCustomComPort::SetStopBits(TStopBits Value) { SetAndApplyState(stopBits_, Value); }
void TCustomComPort::SetDataBits(TDataBits Value) { SetAndApplyState(dataBits_, Value); }
void TCustomComPort::SetDiscardNull(bool Value) { SetAndApplyState(discardNull_, Value); }
void TCustomComPort::SetEventChar(char Value) { SetAndApplyState(eventChar_, Value); }

void TCustomComPort::SetConnected(bool Value) {
    if (Loading()) {
        connected_ = Value;  // acted on by AfterLoad
        return;
    }
    if (Value == connected_) return;
    if (Value)
        Open();
    else
        Close();
}

void TCustomComPort::SetPort(const std::string& Value) {
    const std::string name = NormalizePortName(Value);
    if (name == port_) return;
    if (connected_ && !Loading()) {
        // The new name is taken only once the old device is closed, so a failed
        // Close never leaves that device open under the new name.
        Close();
        port_ = name;
        Open();
    } else {
        port_ = name;
    }
}

void TCustomComPort::SetSyncMethod(TSyncMethod Value) {
    if (Value == syncMethod_) return;
    if (connected_ && !Loading()) throw EComPort(CError_SyncMeth);
    syncMethod_ = Value;
}

void TCustomComPort::SetParity(const TComParity& Value) {
    parity_->Assign(Value);
    ApplyCommState();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& Value) {
    flowControl_->Assign(Value);
    ApplyCommState();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& Value) {
    timeouts_->Assign(Value);
    ApplyCommTimeouts();
}

// ------------------------------------------------------------- converters

namespace {

const char* const BaudRateTexts[] = {"Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
                                     "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
const char* const StopBitsTexts[] = {"1", "1.5", "2"};
const char* const DataBitsTexts[] = {"5", "6", "7", "8"};
const char* const ParityTexts[] = {"None", "Odd", "Even", "Mark", "Space"};
const char* const FlowControlTexts[] = {"Hardware", "Software", "None", "Custom"};
const char* const DTRControlTexts[] = {"Disable", "Enable", "Handshake"};
const char* const RTSControlTexts[] = {"Disable", "Enable", "Handshake", "Toggle"};

template <class E, size_t N>
E TextToValue(const char* const (&texts)[N], const std::string& text, E fallback) {
    for (size_t i = 0; i < N; ++i)
        if (EqualIgnoringAsciiCase(texts[i], text)) return static_cast<E>(i);
    return fallback;
}

template <size_t N>
std::string ValueToText(const char* const (&texts)[N], unsigned value) {
    return value < N ? texts[value] : "";
}

}  // namespace

std::string BaudRateToText(TBaudRate Value) { return ValueToText(BaudRateTexts, Value); }
std::string StopBitsToText(TStopBits Value) { return ValueToText(StopBitsTexts, Value); }
std::string DataBitsToText(TDataBits Value) { return ValueToText(DataBitsTexts, Value); }
std::string ParityToText(TParityBits Value) { return ValueToText(ParityTexts, Value); }
std::string FlowControlToText(TFlowControl Value) { return ValueToText(FlowControlTexts, Value); }
std::string DTRControlToText(TDTRFlowControl Value) { return ValueToText(DTRControlTexts, Value); }
std::string RTSControlToText(TRTSFlowControl Value) { return ValueToText(RTSControlTexts, Value); }
std::string BooleanToText(bool Value) { return Value ? "Yes" : "No"; }

std::string CharToText(char Value) {
    const unsigned code = static_cast<unsigned char>(Value);
    if (code >= 33 && code <= 127) return std::string(1, Value);
    std::string text = "#";
    text += std::to_string(code);
    return text;
}

TBaudRate TextToBaudRate(const std::string& Text) { return TextToValue(BaudRateTexts, Text, br9600); }
TStopBits TextToStopBits(const std::string& Text) { return TextToValue(StopBitsTexts, Text, sbOneStopBit); }
TDataBits TextToDataBits(const std::string& Text) { return TextToValue(DataBitsTexts, Text, dbEight); }
TParityBits TextToParity(const std::string& Text) { return TextToValue(ParityTexts, Text, prNone); }
TFlowControl TextToFlowControl(const std::string& Text) { return TextToValue(FlowControlTexts, Text, fcCustom); }
TDTRFlowControl TextToDTRControl(const std::string& Text) { return TextToValue(DTRControlTexts, Text, dtrDisable); }
TRTSFlowControl TextToRTSControl(const std::string& Text) { return TextToValue(RTSControlTexts, Text, rtsDisable); }
bool TextToBoolean(const std::string& Text) { return EqualIgnoringAsciiCase(Text, "YES"); }

char TextToChar(const std::string& Text) {
    if (Text.empty()) return 0;
    if (Text[0] != '#' || Text.size() == 1) return Text[0];
    int code = 0;
    if (!TryTextToInt(Text.substr(1), code)) return 0;
    return static_cast<char>(code & 0xFF);
}

bool TryTextToInt(const std::string& Text, int& Value) {
    const std::optional<int> value = TextToInt(Text);
    if (value) Value = *value;
    return value.has_value();
}

std::string NormalizePortName(const std::string& Text) {
    std::string rest = Text;
    if (EqualIgnoringAsciiCase(std::string_view(Text).substr(0, 3), "COM")) rest = Text.substr(3);
    int number = 1;
    if (!TryTextToInt(rest, number) || number < 1 || number > MaxComPort) number = 1;
    return ComPortName(number);
}
