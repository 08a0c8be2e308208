// Unit SerialPort: the serial port component shared by Vantrel and Tolvex.
// TComPort opens a COM device for overlapped I/O through CommApi, applies its
// settings, writes and reads, and hands line events from its event thread to
// the GUI thread. The header is the table of contents: each group names the
// file that implements it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/Framework.h"
#include "platform/comm/CommApi.h"

class IniFile;
class RegistryKey;

// ---------------------------------------------------------------------------
// ComSettings.cpp: enumerations, settings objects
// ---------------------------------------------------------------------------

enum TBaudRate : uint8_t {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TStopBits : uint8_t { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits : uint8_t { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits : uint8_t { prNone, prOdd, prEven, prMark, prSpace };
enum TFlowControl : uint8_t { fcHardware, fcSoftware, fcNone, fcCustom };
enum TDTRFlowControl : uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TSyncMethod : uint8_t { smThreadSync, smWindowSync, smNone };
enum TComEvent : uint8_t { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };
using TComEvents = TEnumSet<TComEvent>;
enum TModemSignal : uint8_t { msCTS, msDSR, msRing, msRLSD };
using TModemSignalSet = TEnumSet<TModemSignal>;
enum TComError : uint8_t { errFrame, errParity, errOverrun, errBreak, errIO, errMode, errRxOverflow, errTxFull };
using TComErrors = TEnumSet<TComError>;
enum TStoredGroup : uint8_t { sgBasic, sgFlowControl, sgBuffer, sgTimeouts, sgParity, sgMisc };
using TStoredGroups = TEnumSet<TStoredGroup>;
enum TComLedSignal : uint8_t { lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
enum TAsyncIoKind : uint8_t { aiWrite, aiRead };

inline constexpr TComEvents AllComEvents{evRxChar, evTxEmpty, evRxFlag, evRing, evBreak,
                                         evCTS,    evDSR,     evError,  evRLSD, evRx80Full};

class TCustomComPort;

// Each settings object asks its port to re-apply its group when a value
// changes; the port decides whether the device is touched.
class TComTimeouts : public TPersistent {
public:
    const char* ClassName() const override { return "TComTimeouts"; }
    TCustomComPort* OwnerPort() const { return ownerPort_; }

    int ReadInterval() const { return readInterval_; }
    int ReadTotalMultiplier() const { return readTotalMultiplier_; }
    int ReadTotalConstant() const { return readTotalConstant_; }
    int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    int WriteTotalConstant() const { return writeTotalConstant_; }
    void SetReadInterval(int Value);
    void SetReadTotalMultiplier(int Value);
    void SetReadTotalConstant(int Value);
    void SetWriteTotalMultiplier(int Value);
    void SetWriteTotalConstant(int Value);

protected:
    void AssignTo(TPersistent& Dest) const override;

private:
    friend class TCustomComPort;
    void SetInt(int& Field, int Value);
    TCustomComPort* ownerPort_ = nullptr;
    int readInterval_ = -1;  // passed as MAXDWORD: a read returns at once
    int readTotalMultiplier_ = 0;
    int readTotalConstant_ = 0;
    int writeTotalMultiplier_ = 100;
    int writeTotalConstant_ = 1000;
};

class TComFlowControl : public TPersistent {
public:
    const char* ClassName() const override { return "TComFlowControl"; }
    TCustomComPort* OwnerPort() const { return ownerPort_; }

    // Computed from the RTS, CTS and XON/XOFF fields; writing it always
    // re-applies, even an unchanged value.
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl Value);

    bool OutCTSFlow() const { return outCtsFlow_; }
    bool OutDSRFlow() const { return outDsrFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDtr_; }
    TRTSFlowControl ControlRTS() const { return controlRts_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    char XonChar() const { return xonChar_; }
    char XoffChar() const { return xoffChar_; }
    void SetOutCTSFlow(bool Value);
    void SetOutDSRFlow(bool Value);
    void SetControlDTR(TDTRFlowControl Value);
    void SetControlRTS(TRTSFlowControl Value);
    void SetXonXoffOut(bool Value);
    void SetXonXoffIn(bool Value);
    void SetDSRSensitivity(bool Value);
    void SetTxContinueOnXoff(bool Value);
    void SetXonChar(char Value);
    void SetXoffChar(char Value);

protected:
    void AssignTo(TPersistent& Dest) const override;

private:
    friend class TCustomComPort;
    template <class T>
    void SetField(T& Field, T Value);
    TCustomComPort* ownerPort_ = nullptr;
    bool outCtsFlow_ = false;
    bool outDsrFlow_ = false;
    TDTRFlowControl controlDtr_ = dtrDisable;
    TRTSFlowControl controlRts_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    char xonChar_ = 17;
    char xoffChar_ = 19;
};

class TComParity : public TPersistent {
public:
    const char* ClassName() const override { return "TComParity"; }
    TCustomComPort* OwnerPort() const { return ownerPort_; }

    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    char ReplaceChar() const { return replaceChar_; }
    void SetBits(TParityBits Value);
    void SetCheck(bool Value);
    void SetReplace(bool Value);
    void SetReplaceChar(char Value);

protected:
    void AssignTo(TPersistent& Dest) const override;

private:
    friend class TCustomComPort;
    template <class T>
    void SetField(T& Field, T Value);
    TCustomComPort* ownerPort_ = nullptr;
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    char replaceChar_ = 0;
};

class TComBuffer : public TPersistent {
public:
    const char* ClassName() const override { return "TComBuffer"; }
    TCustomComPort* OwnerPort() const { return ownerPort_; }

    int InputSize() const { return inputSize_; }
    int OutputSize() const { return outputSize_; }
    // An odd positive size is stored one less.
    void SetInputSize(int Value);
    void SetOutputSize(int Value);

protected:
    void AssignTo(TPersistent& Dest) const override;

private:
    friend class TCustomComPort;
    void SetSize(int& Field, int Value);
    TCustomComPort* ownerPort_ = nullptr;
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

// ---------------------------------------------------------------------------
// ComSettings.cpp: text converters and the port-name rule
// ---------------------------------------------------------------------------

std::string BaudRateToText(TBaudRate Value);
std::string StopBitsToText(TStopBits Value);
std::string DataBitsToText(TDataBits Value);
std::string ParityToText(TParityBits Value);
std::string FlowControlToText(TFlowControl Value);
std::string DTRControlToText(TDTRFlowControl Value);
std::string RTSControlToText(TRTSFlowControl Value);
std::string BooleanToText(bool Value);
std::string CharToText(char Value);

// None of these fails: an unknown text gives the type's fallback.
TBaudRate TextToBaudRate(const std::string& Text);
TStopBits TextToStopBits(const std::string& Text);
TDataBits TextToDataBits(const std::string& Text);
TParityBits TextToParity(const std::string& Text);
TFlowControl TextToFlowControl(const std::string& Text);
TDTRFlowControl TextToDTRControl(const std::string& Text);
TRTSFlowControl TextToRTSControl(const std::string& Text);
bool TextToBoolean(const std::string& Text);
char TextToChar(const std::string& Text);

// Always "COM1".."COM16".
std::string NormalizePortName(const std::string& Text);
// Signed decimal, or hexadecimal after "$"; leading blanks allowed.
bool TryTextToInt(const std::string& Text, int& Value);

// ---------------------------------------------------------------------------
// SerialPort.cpp: errors and the port list
// ---------------------------------------------------------------------------

enum TComErrorCode : int {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_InvalidAsync = 4,
    CError_PurgeFailed = 5,
    CError_AsyncCheck = 6,
    CError_SetStateFailed = 7,
    CError_TimeoutsFailed = 8,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_EscapeComFailed = 12,
    CError_TransmitFailed = 13,
    CError_SyncMeth = 14,
    CError_EnumPortsFailed = 15,
    CError_StoreFailed = 16,
    CError_LoadFailed = 17,
    CError_RegFailed = 18,
    CError_LedStateFailed = 19,
};

// The fixed English text of a code (1..19); "" for any other.
const char* ComErrorText(int Code);

class EComPort : public std::runtime_error {
public:
    // Message: the code's text followed by " (win error code: <Error>)".
    EComPort(int Code, int Error);
    // Message: the code's text alone; WinCode is -1.
    explicit EComPort(int Code);

    int WinCode;
    int Code;
};

// Appends the machine's COM ports ("COM1", ..., "COM16") in the system's
// order; never clears List. Raises code 15.
void ListComPorts(std::vector<std::string>& List, comm::CommApi& Api = comm::DefaultCommApi());

// The application's exception display, which the programs set to their error
// box: AfterLoad shows an open failure there instead of raising it, and an
// exception that ends an event thread (a handler's) is shown there on the GUI
// thread. By default a warning on the log; an empty function restores it.
using TExceptionDisplay = std::function<void(const std::exception&)>;
void SetApplicationShowException(TExceptionDisplay Display);
void ApplicationShowException(const std::exception& E);

// ---------------------------------------------------------------------------
// ComThread.cpp: the hand-over to the GUI thread and the event thread
// ---------------------------------------------------------------------------

// Runs event-thread requests on the GUI thread (the thread of the
// QCoreApplication, or without one the thread that first used the hand-over)
// while the requesting thread waits. An exception raised on the GUI thread is
// carried back and raised again on the requesting thread, so nothing escapes
// into Qt's event loop.
class HandOver {
public:
    static HandOver& Instance();

    bool OnGuiThread() const;
    // Called by an event thread; inline when already on the GUI thread.
    void RunOnGui(std::function<void()> Fn);
    // Any thread: Fn runs on the GUI thread at its next Serve; nobody waits.
    void PostToGui(std::function<void()> Fn);
    // GUI thread: runs every waiting request. Re-entrant.
    void Serve();
    // GUI thread: serves requests until Ended is true.
    void WaitServing(const std::atomic<bool>& Ended);
    // Called by a thread as it ends, to wake WaitServing.
    void NotifyEnded();
    // How a new request reaches the GUI thread's event loop. The default posts
    // Serve to the QCoreApplication when there is one; tests set an empty
    // function and call Serve themselves.
    void SetPost(std::function<void()> Post);

private:
    HandOver();
    struct Request {
        std::function<void()> Fn;
        bool Done = false;
        std::exception_ptr Error;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Request*> queue_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> post_;
    std::thread::id creatorThread_;
};

class TComThread {
public:
    // Creates StopSignal, arms the device's event mask, then starts the thread.
    explicit TComThread(TCustomComPort* Port);
    // SignalStop, then waits for the thread's end while serving hand-overs.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    void SetEventMask();
    void SignalStop();
    bool Ended() const { return ended_; }
    bool IsCurrentThread() const { return std::this_thread::get_id() == thread_.get_id(); }
    comm::DWORD EventMask() const;

    // Batch order of the events, shared by both hand-over routines.
    static const comm::DWORD EventOrder[10];

private:
    void Run();
    void Execute();
    void DeliverEvents();
    void SendEventsToWindow();
    void HandleEvents();
    void EndPendingWait();

    TCustomComPort* ownerPort_;
    comm::CommApi& api_;
    comm::HANDLE handle_;  // the port's handle at the start; a stale id is harmless
    TSyncMethod syncMethod_;
    comm::DWORD pendingMask_ = 0;
    comm::HANDLE stopSignal_ = 0;
    comm::OVERLAPPED overlapped_{};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// ---------------------------------------------------------------------------
// ComEvents.cpp: event types and links
// ---------------------------------------------------------------------------

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TRxCharEvent = std::function<void(TObject* Sender, int Count)>;
using TRxBufEvent = std::function<void(TObject* Sender, const void* Buffer, int Count)>;
using TComSignalEvent = std::function<void(TObject* Sender, bool OnOff)>;
using TComErrorEvent = std::function<void(TObject* Sender, TComErrors Errors)>;

// Owned by the client that created it; a port never frees a link.
class TComLink : public TObject {
public:
    TRxBufEvent RxBufCallback;
    TComSignalEvent CTSCallback;
    TComSignalEvent DSRCallback;
    TComSignalEvent RLSDCallback;
    TNotifyEvent RingCallback;
    TComSignalEvent TxCallback;  // True when a write starts, False when output runs empty
    TComSignalEvent RxCallback;  // True when bytes arrive, False when a read empties the queue
};

// ---------------------------------------------------------------------------
// SerialPort.cpp: the port
// ---------------------------------------------------------------------------

struct TAsyncIoRecord {
    comm::OVERLAPPED Overlapped{};
    TAsyncIoKind Kind = aiWrite;
};
using PAsyncIoRecord = TAsyncIoRecord*;

class TCustomComPort : public TComponent {
public:
    explicit TCustomComPort(comm::CommApi& Api = comm::DefaultCommApi());
    // Closes the port, never letting an error out, then tells the removal
    // clients while the link list still stands.
    ~TCustomComPort() override;
    const char* ClassName() const override { return "TCustomComPort"; }

    // --- Open, close, settings (SerialPort.cpp)
    void Open();
    void Close();
    void BeginUpdate();
    void EndUpdate();
    virtual void AfterLoad();

    virtual void StoreToRegistry(RegistryKey& Registry);
    virtual void StoreToIniFile(IniFile& Ini);
    virtual void LoadFromRegistry(RegistryKey& Registry);
    virtual void LoadFromIniFile(IniFile& Ini);
    virtual void CreateHandle();
    virtual void DestroyHandle();

    // --- Device operations (SerialPort.cpp)
    int InputQueueCount();
    TComErrors ReadLineErrors();
    TModemSignalSet ModemSignals();
    void SetDTR(bool State);
    int WriteBuffer(const void* Buffer, int Count);
    int ReadBuffer(void* Buffer, int Count);
    int StartWrite(const void* Buffer, int Count, PAsyncIoRecord AsyncPtr);
    int StartRead(void* Buffer, int Count, PAsyncIoRecord AsyncPtr);
    int WaitAsyncResult(PAsyncIoRecord AsyncPtr);
    void AbortPendingIo();
    void CreateAsyncRecord(PAsyncIoRecord& AsyncPtr);
    void FreeAsyncRecord(PAsyncIoRecord& AsyncPtr);
    // The procedure of NotifyWindow; WM_USER + 1 carries one event bit.
    intptr_t PortWindowProc(unsigned Msg, uintptr_t WParam, intptr_t LParam);
    static constexpr unsigned CM_COMPORT = 1025;

    // --- Links (ComEvents.cpp)
    void AddLink(TComLink* Link);
    void RemoveLink(TComLink* Link);

    // --- Properties (ComSettings.cpp)
    bool Connected() const { return connected_; }
    void SetConnected(bool Value);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate Value);
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int Value);
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& Value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits Value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits Value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool Value);
    char EventChar() const { return eventChar_; }
    void SetEventChar(char Value);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents Value) { events_ = Value; }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod Value);
    TStoredGroups StoredGroups() const { return storedGroups_; }
    void SetStoredGroups(TStoredGroups Value) { storedGroups_ = Value; }
    TComParity& Parity() { return *parity_; }
    TComFlowControl& FlowControl() { return *flowControl_; }
    TComTimeouts& Timeouts() { return *timeouts_; }
    TComBuffer& Buffer() { return *buffer_; }
    const TComParity& Parity() const { return *parity_; }
    const TComFlowControl& FlowControl() const { return *flowControl_; }
    const TComTimeouts& Timeouts() const { return *timeouts_; }
    const TComBuffer& Buffer() const { return *buffer_; }
    void SetParity(const TComParity& Value);
    void SetFlowControl(const TComFlowControl& Value);
    void SetTimeouts(const TComTimeouts& Value);

    // --- State, read by tests and the lamp
    comm::HANDLE PortHandle() const { return portHandle_; }
    // True while an event thread runs for the open port: false once a handler's
    // exception has ended it, since no further event will come.
    bool HasWaitThread() const;
    int UpdateDepth() const { return updateDepth_; }
    intptr_t NotifyWindow() const { return notifyWindow_; }
    comm::CommApi& Api() const { return api_; }
    int LinkCount() const;

    // --- Events, in published order
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRxFlag;
    TComErrorEvent OnError;
    TNotifyEvent OnRx80Full;

protected:
    // The port's own machinery: the event thread calls the handlers, the
    // settings objects the apply operations; the programs use neither.

    // --- Applying settings (SerialPort.cpp)
    virtual void ApplySettings();
    virtual void ApplyCommState();
    virtual void ApplyCommTimeouts();
    virtual void ApplyQueueSizes();

    // --- Notifications and handlers (ComEvents.cpp)
    void NotifyLinks(TComLedSignal Signal, bool OnOff);
    void NotifyBeforeOpen();
    void NotifyAfterOpen();
    void NotifyBeforeClose();
    void NotifyAfterClose();
    void RefreshSignals(bool OnOff);
    void HandleRxChar();
    void HandleRxFlag();
    void HandleTxEmpty();
    void HandleCTSChange();
    void HandleDSRChange();
    void HandleRLSDChange();
    void HandleBreak();
    void HandleError();
    void HandleRing();
    void HandleRx80Full();

    virtual void FireAfterClose();
    virtual void FireAfterOpen();
    virtual void FireBeforeClose();
    virtual void FireBeforeOpen();
    virtual void FireRxChar(int Count);
    virtual void FireRxBuf(const void* Buffer, int Count);
    virtual void FireTxEmpty();
    virtual void FireBreak();
    virtual void FireRing();
    virtual void FireRxFlag();
    virtual void FireCTSChange(bool OnOff);
    virtual void FireDSRChange(bool OnOff);
    virtual void FireError(TComErrors Errors);
    virtual void FireRLSDChange(bool OnOff);
    virtual void FireRx80Full();

private:
    friend class TComThread;
    friend class TComTimeouts;
    friend class TComFlowControl;
    friend class TComParity;
    friend class TComBuffer;
    bool CanApply() const;
    void ReadForLinks(int& Count);
    std::vector<TComLink*> LinkSnapshot() const;
    bool IsLinked(TComLink* Link) const;
    comm::DCB BuildDCB() const;
    void StopThread();
    void JoinRetiredThreads();
    [[noreturn]] void RaiseWin32(int Code);
    template <class T>
    void SetAndApplyState(T& Field, T Value);

    comm::CommApi& api_;
    std::unique_ptr<TComThread> waitThread_;
    bool hasWaitThread_ = false;
    comm::HANDLE portHandle_ = comm::INVALID_HANDLE_VALUE;
    intptr_t notifyWindow_ = 0;
    int updateDepth_ = 0;
    mutable std::mutex linkMutex_;  // the event thread walks links under smNone
    std::vector<TComLink*> linkList_;
    bool connected_ = false;
    TBaudRate baudRate_ = br9600;
    int customBaudRate_ = 9600;
    std::string port_ = "COM1";
    TStopBits stopBits_ = sbOneStopBit;
    TDataBits dataBits_ = dbEight;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TComEvents events_ = AllComEvents;
    std::unique_ptr<TComBuffer> buffer_;
    std::unique_ptr<TComParity> parity_;
    std::unique_ptr<TComTimeouts> timeouts_;
    std::unique_ptr<TComFlowControl> flowControl_;
    TSyncMethod syncMethod_ = smThreadSync;
    TStoredGroups storedGroups_{sgBasic};

    // Hand-overs of this port now running on the GUI stack. A Close inside one
    // cannot wait for the thread, which waits for that very hand-over; the
    // thread is then stopped and joined later.
    int handOverDepth_ = 0;
    bool closing_ = false;
    std::vector<std::unique_ptr<TComThread>> retiredThreads_;
};

// Publishes everything; adds no behaviour.
class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
    const char* ClassName() const override { return "TComPort"; }
};
