// The port core: open and close, applying settings to the device, the
// overlapped transfers, the modem lines, errors and the port list.
#include "comport/SerialPort.h"

#include <QtGlobal>

using namespace comm;

// ------------------------------------------------------------------- errors

const char* ComErrorText(int Code) {
    static const char* const texts[] = {
        "Unable to open com port",
        "WriteFile function failed",
        "ReadFile function failed",
        "Invalid Async parameter",
        "PurgeComm function failed",
        "Unable to get async status",
        "SetCommState function failed",
        "SetCommTimeouts failed",
        "SetupComm function failed",
        "ClearCommError function failed",
        "GetCommModemStatus function failed",
        "EscapeCommFunction function failed",
        "TransmitCommChar function failed",
        "Cannot set SyncMethod while connected",
        "EnumPorts function failed",
        "Failed to store settings",
        "Failed to load settings",
        "Link (un)registration failed",
        "Cannot change led state if ComPort is selected",
    };
    return Code >= 1 && Code <= 19 ? texts[Code - 1] : "";
}

EComPort::EComPort(int Code, int Error)
    : std::runtime_error(std::string(ComErrorText(Code)) + " (win error code: " + std::to_string(Error) + ")"),
      WinCode(Error),
      Code(Code) {}

EComPort::EComPort(int Code) : std::runtime_error(ComErrorText(Code)), WinCode(-1), Code(Code) {}

namespace {

TExceptionDisplay& ExceptionDisplay() {
    static TExceptionDisplay display;
    return display;
}

}  // namespace

void SetApplicationShowException(TExceptionDisplay Display) { ExceptionDisplay() = std::move(Display); }

void ApplicationShowException(const std::exception& E) {
    if (ExceptionDisplay())
        ExceptionDisplay()(E);
    else
        qWarning("%s", E.what());
}

// ----------------------------------------------------------------- port list

void ListComPorts(std::vector<std::string>& List, CommApi& Api) {
    DWORD needed = 0;
    DWORD returned = 0;
    BOOL success = Api.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
    // Ports plugged in between the two calls make the first size too small;
    // ask again a few times rather than fail.
    for (int attempt = 0; !success && CommApi::GetLastError() == ERROR_INSUFFICIENT_BUFFER && attempt < 3; ++attempt) {
        std::vector<BYTE> buffer(needed);
        success = Api.EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &returned);
        if (!success) continue;
        const auto* entries = reinterpret_cast<const PORT_INFO_1*>(buffer.data());
        for (DWORD i = 0; i < returned; ++i) {
            std::string name = entries[i].pName ? entries[i].pName : "";
            if (name.compare(0, 3, "COM") != 0) continue;
            // Only the colon goes: COM10: must not become COM1.
            if (!name.empty() && name.back() == ':') name.pop_back();
            List.push_back(name);
        }
    }
    if (!success) throw EComPort(CError_EnumPortsFailed, static_cast<int>(CommApi::GetLastError()));
}

// ------------------------------------------------------------- construction

TCustomComPort::TCustomComPort(CommApi& Api) : api_(Api) {
    HandOver::Instance();  // the GUI thread is the one that makes ports
    parity_ = std::make_unique<TComParity>();
    parity_->ownerPort_ = this;
    flowControl_ = std::make_unique<TComFlowControl>();
    flowControl_->ownerPort_ = this;
    timeouts_ = std::make_unique<TComTimeouts>();
    timeouts_->ownerPort_ = this;
    buffer_ = std::make_unique<TComBuffer>();
    buffer_->ownerPort_ = this;
}

TCustomComPort::~TCustomComPort() {
    try {
        Close();
    } catch (const std::exception& e) {
        qWarning("Closing %s: %s", port_.c_str(), e.what());
    } catch (...) {
        qWarning("Closing %s failed", port_.c_str());
    }
    // Whatever Close left behind goes now, without events.
    if (waitThread_) {
        waitThread_->SignalStop();
        retiredThreads_.push_back(std::move(waitThread_));
    }
    for (auto& thread : retiredThreads_) {
        // Destroyed from inside its own hand-over: the thread cannot be waited
        // for here; it is left to end by itself.
        if (thread->IsCurrentThread() || handOverDepth_ > 0) (void)thread.release();
    }
    retiredThreads_.clear();
    hasWaitThread_ = false;
    notifyWindow_ = 0;
    DestroyHandle();
    connected_ = false;
    buffer_.reset();
    flowControl_.reset();
    timeouts_.reset();
    parity_.reset();
    // Clients such as the lamp remove their links while the list still stands.
    NotifyRemoval();
}

// --------------------------------------------------------------- open, close

void TCustomComPort::Open() {
    if (connected_) return;
    JoinRetiredThreads();
    NotifyBeforeOpen();
    CreateHandle();
    connected_ = true;
    try {
        ApplySettings();
    } catch (...) {
        DestroyHandle();
        connected_ = false;
        throw;
    }
    if (events_.Empty()) {
        hasWaitThread_ = false;
    } else {
        static intptr_t nextWindow = 0;
        if (syncMethod_ == smWindowSync) notifyWindow_ = ++nextWindow;
        waitThread_ = std::make_unique<TComThread>(this);
        hasWaitThread_ = true;
    }
    NotifyAfterOpen();
}

void TCustomComPort::Close() {
    // A Close reached again from its own notifications or from the hand-overs
    // its wait serves finds the port already on its way out.
    if (!connected_ || closing_) return;
    struct ClosingScope {
        bool& Closing;
        explicit ClosingScope(bool& c) : Closing(c) { Closing = true; }
        ~ClosingScope() { Closing = false; }
    } scope(closing_);
    NotifyBeforeClose();
    AbortPendingIo();
    if (hasWaitThread_) {
        StopThread();
        if (syncMethod_ == smWindowSync) notifyWindow_ = 0;
        hasWaitThread_ = false;
    }
    DestroyHandle();
    connected_ = false;
    NotifyAfterClose();
}

void TCustomComPort::StopThread() {
    if (!waitThread_) return;
    if (handOverDepth_ > 0 || waitThread_->IsCurrentThread()) {
        // Inside this port's own hand-over the thread waits for us: stop it and
        // wait for it later.
        waitThread_->SignalStop();
        retiredThreads_.push_back(std::move(waitThread_));
    } else {
        waitThread_.reset();
    }
    JoinRetiredThreads();
}

void TCustomComPort::JoinRetiredThreads() {
    if (handOverDepth_ > 0) return;
    std::erase_if(retiredThreads_,
                  [](const std::unique_ptr<TComThread>& thread) { return !thread->IsCurrentThread(); });
}

bool TCustomComPort::HasWaitThread() const { return hasWaitThread_ && !(waitThread_ && waitThread_->Ended()); }

void TCustomComPort::BeginUpdate() { ++updateDepth_; }

void TCustomComPort::EndUpdate() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ == 0) ApplySettings();
}

void TCustomComPort::AfterLoad() {
    EndLoad();
    if (connected_) {
        connected_ = false;
        try {
            Open();
        } catch (const std::exception& e) {
            ApplicationShowException(e);
        }
    }
}

void TCustomComPort::CreateHandle() {
    const std::string name = "\\\\.\\" + port_;
    portHandle_ = api_.CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OVERLAPPED, 0);
    if (portHandle_ == INVALID_HANDLE_VALUE) RaiseWin32(CError_OpenFailed);
}

void TCustomComPort::DestroyHandle() {
    if (portHandle_ == INVALID_HANDLE_VALUE) return;
    api_.CloseHandle(portHandle_);
    // A closed port must not keep a handle that looks usable.
    portHandle_ = INVALID_HANDLE_VALUE;
}

void TCustomComPort::RaiseWin32(int Code) { throw EComPort(Code, static_cast<int>(CommApi::GetLastError())); }

// --------------------------------------------------------- applying settings

bool TCustomComPort::CanApply() const { return connected_ && updateDepth_ == 0 && !Loading(); }

void TCustomComPort::ApplySettings() {
    ApplyQueueSizes();
    ApplyCommState();
    ApplyCommTimeouts();
}

DCB TCustomComPort::BuildDCB() const {
    static const DWORD rates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                  14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    DCB dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = baudRate_ == brCustom ? static_cast<DWORD>(customBaudRate_) : rates[baudRate_];
    const TComParity& parity = *parity_;
    const TComFlowControl& flow = *flowControl_;
    DWORD flags = DCB::fBinary;
    if (parity.Check()) flags |= DCB::fParity;
    if (flow.OutCTSFlow()) flags |= DCB::fOutxCtsFlow;
    if (flow.OutDSRFlow()) flags |= DCB::fOutxDsrFlow;
    flags |= static_cast<DWORD>(flow.ControlDTR()) << DCB::fDtrControlShift;
    if (flow.DSRSensitivity()) flags |= DCB::fDsrSensitivity;
    if (flow.TxContinueOnXoff()) flags |= DCB::fTXContinueOnXoff;
    if (flow.XonXoffOut()) flags |= DCB::fOutX;
    if (flow.XonXoffIn()) flags |= DCB::fInX;
    const bool replace = parity.Check() && parity.Replace();
    if (replace) flags |= DCB::fErrorChar;
    if (discardNull_) flags |= DCB::fNull;
    flags |= static_cast<DWORD>(flow.ControlRTS()) << DCB::fRtsControlShift;
    dcb.Flags = flags;
    const int limit = buffer_->InputSize() / 4;
    dcb.XonLim = static_cast<WORD>(limit);
    dcb.XoffLim = static_cast<WORD>(limit);
    dcb.ByteSize = static_cast<BYTE>(5 + dataBits_);
    dcb.Parity = static_cast<BYTE>(parity.Bits());
    dcb.StopBits = static_cast<BYTE>(stopBits_);
    dcb.XonChar = flow.XonChar();
    dcb.XoffChar = flow.XoffChar();
    dcb.ErrorChar = replace ? parity.ReplaceChar() : 0;
    dcb.EvtChar = eventChar_;
    return dcb;
}

void TCustomComPort::ApplyCommState() {
    if (!CanApply()) return;
    // A rate or limit that the DCB cannot carry is refused rather than cut.
    const int limit = buffer_->InputSize() / 4;
    if ((baudRate_ == brCustom && customBaudRate_ <= 0) || limit < 0 || limit > 0xFFFF)
        throw EComPort(CError_SetStateFailed, ERROR_INVALID_PARAMETER);
    const DCB dcb = BuildDCB();
    if (!api_.SetCommState(portHandle_, &dcb)) RaiseWin32(CError_SetStateFailed);
}

void TCustomComPort::ApplyCommTimeouts() {
    if (!CanApply()) return;
    const TComTimeouts& t = *timeouts_;
    // -1 passes as MAXDWORD, any other value as its 32-bit pattern.
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = static_cast<DWORD>(t.ReadInterval());
    timeouts.ReadTotalTimeoutMultiplier = static_cast<DWORD>(t.ReadTotalMultiplier());
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(t.ReadTotalConstant());
    timeouts.WriteTotalTimeoutMultiplier = static_cast<DWORD>(t.WriteTotalMultiplier());
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(t.WriteTotalConstant());
    if (!api_.SetCommTimeouts(portHandle_, &timeouts)) RaiseWin32(CError_TimeoutsFailed);
}

void TCustomComPort::ApplyQueueSizes() {
    if (!CanApply()) return;
    // A negative size would reach the driver as about 4 GB.
    if (buffer_->InputSize() < 0 || buffer_->OutputSize() < 0)
        throw EComPort(CError_SetupComFailed, ERROR_INVALID_PARAMETER);
    if (!api_.SetupComm(portHandle_, static_cast<DWORD>(buffer_->InputSize()),
                        static_cast<DWORD>(buffer_->OutputSize())))
        RaiseWin32(CError_SetupComFailed);
}

// ---------------------------------------------------------- device operations

int TCustomComPort::InputQueueCount() {
    DWORD errors = 0;
    COMSTAT status;
    if (!api_.ClearCommError(portHandle_, &errors, &status)) RaiseWin32(CError_ClearComFailed);
    return static_cast<int>(status.cbInQue);
}

TComErrors TCustomComPort::ReadLineErrors() {
    DWORD errors = 0;
    COMSTAT status;
    if (!api_.ClearCommError(portHandle_, &errors, &status)) RaiseWin32(CError_ClearComFailed);
    TComErrors result;
    if (errors & CE_FRAME) result.Include(errFrame);
    if ((errors & CE_RXPARITY) && parity_->Check()) result.Include(errParity);
    if (errors & CE_OVERRUN) result.Include(errOverrun);
    if (errors & CE_BREAK) result.Include(errBreak);
    if (errors & CE_IOE) result.Include(errIO);
    if (errors & CE_MODE) result.Include(errMode);
    if (errors & CE_RXOVER) result.Include(errRxOverflow);
    if (errors & CE_TXFULL) result.Include(errTxFull);
    return result;
}

TModemSignalSet TCustomComPort::ModemSignals() {
    DWORD status = 0;
    if (!api_.GetCommModemStatus(portHandle_, &status)) RaiseWin32(CError_ModemStatFailed);
    TModemSignalSet result;
    if (status & MS_CTS_ON) result.Include(msCTS);
    if (status & MS_DSR_ON) result.Include(msDSR);
    if (status & MS_RING_ON) result.Include(msRing);
    if (status & MS_RLSD_ON) result.Include(msRLSD);
    return result;
}

void TCustomComPort::SetDTR(bool State) {
    if (!api_.EscapeCommFunction(portHandle_, State ? SETDTR : CLRDTR)) RaiseWin32(CError_EscapeComFailed);
}

void TCustomComPort::CreateAsyncRecord(PAsyncIoRecord& AsyncPtr) {
    AsyncPtr = new TAsyncIoRecord;
    AsyncPtr->Overlapped = OVERLAPPED{};
    AsyncPtr->Overlapped.hEvent = api_.CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

void TCustomComPort::FreeAsyncRecord(PAsyncIoRecord& AsyncPtr) {
    if (!AsyncPtr) return;
    api_.CloseHandle(AsyncPtr->Overlapped.hEvent);
    delete AsyncPtr;
    AsyncPtr = nullptr;
}

int TCustomComPort::StartWrite(const void* Buffer, int Count, PAsyncIoRecord AsyncPtr) {
    if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
    AsyncPtr->Kind = aiWrite;
    // A negative count would reach the driver as a huge unsigned one.
    if (Count < 0) throw EComPort(CError_WriteFailed, ERROR_INVALID_PARAMETER);
    DWORD written = 0;
    if (!api_.WriteFile(portHandle_, Buffer, static_cast<DWORD>(Count), &written, &AsyncPtr->Overlapped) &&
        CommApi::GetLastError() != ERROR_IO_PENDING)
        RaiseWin32(CError_WriteFailed);
    NotifyLinks(lsTx, true);
    return static_cast<int>(written);
}

int TCustomComPort::StartRead(void* Buffer, int Count, PAsyncIoRecord AsyncPtr) {
    if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
    AsyncPtr->Kind = aiRead;
    if (Count < 0) throw EComPort(CError_ReadFailed, ERROR_INVALID_PARAMETER);
    DWORD read = 0;
    if (!api_.ReadFile(portHandle_, Buffer, static_cast<DWORD>(Count), &read, &AsyncPtr->Overlapped) &&
        CommApi::GetLastError() != ERROR_IO_PENDING)
        RaiseWin32(CError_ReadFailed);
    return static_cast<int>(read);
}

int TCustomComPort::WaitAsyncResult(PAsyncIoRecord AsyncPtr) {
    if (!AsyncPtr) throw EComPort(CError_InvalidAsync);
    DWORD transferred = 0;
    const bool success = api_.WaitForSingleObject(AsyncPtr->Overlapped.hEvent, INFINITE) == WAIT_OBJECT_0 &&
                         api_.GetOverlappedResult(portHandle_, &AsyncPtr->Overlapped, &transferred, FALSE);
    const DWORD error = CommApi::GetLastError();
    const int code = AsyncPtr->Kind == aiWrite ? CError_WriteFailed : CError_ReadFailed;
    if (!success) throw EComPort(code, static_cast<int>(error));
    // Only after a good read: a failing queue check must not hide code 3.
    if (AsyncPtr->Kind == aiRead && InputQueueCount() == 0) NotifyLinks(lsRx, false);
    return static_cast<int>(transferred);
}

namespace {

// The record of one blocking transfer, freed on every way out of it.
struct TAsyncRecordScope {
    explicit TAsyncRecordScope(TCustomComPort& port) : Port(port) { Port.CreateAsyncRecord(Record); }
    ~TAsyncRecordScope() { Port.FreeAsyncRecord(Record); }
    TAsyncRecordScope(const TAsyncRecordScope&) = delete;
    TAsyncRecordScope& operator=(const TAsyncRecordScope&) = delete;
    TCustomComPort& Port;
    PAsyncIoRecord Record = nullptr;
};

}  // namespace

int TCustomComPort::WriteBuffer(const void* Buffer, int Count) {
    if (Count == 0) return 0;
    TAsyncRecordScope scope(*this);
    StartWrite(Buffer, Count, scope.Record);
    return WaitAsyncResult(scope.Record);
}

int TCustomComPort::ReadBuffer(void* Buffer, int Count) {
    if (Count == 0) return 0;
    TAsyncRecordScope scope(*this);
    StartRead(Buffer, Count, scope.Record);
    return WaitAsyncResult(scope.Record);
}

void TCustomComPort::AbortPendingIo() {
    if (!api_.PurgeComm(portHandle_, PURGE_TXABORT | PURGE_RXABORT)) RaiseWin32(CError_PurgeFailed);
}

intptr_t TCustomComPort::PortWindowProc(unsigned Msg, uintptr_t WParam, intptr_t) {
    if (Msg != CM_COMPORT) return 0;  // the default window procedure answers 0
    switch (WParam) {
        case EV_RXCHAR: HandleRxChar(); break;
        case EV_RXFLAG: HandleRxFlag(); break;
        case EV_TXEMPTY: HandleTxEmpty(); break;
        case EV_CTS: HandleCTSChange(); break;
        case EV_DSR: HandleDSRChange(); break;
        case EV_RLSD: HandleRLSDChange(); break;
        case EV_BREAK: HandleBreak(); break;
        case EV_ERR: HandleError(); break;
        case EV_RING: HandleRing(); break;
        case EV_RX80FULL: HandleRx80Full(); break;
        default: break;
    }
    return 0;
}
