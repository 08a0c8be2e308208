// The hand-over to the GUI thread and the port's event thread.
#include "comport/SerialPort.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <chrono>

using namespace comm;

// ------------------------------------------------------------------ hand-over

HandOver& HandOver::Instance() {
    // Never destroyed: event threads may still use it while statics go away.
    static HandOver* instance = new HandOver;
    return *instance;
}

HandOver::HandOver() : creatorThread_(std::this_thread::get_id()) {
    post_ = [] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [] { HandOver::Instance().Serve(); }, Qt::QueuedConnection);
    };
}

void HandOver::SetPost(std::function<void()> NewPost) {
    std::lock_guard lock(mutex_);
    post_ = std::move(NewPost);
}

bool HandOver::OnGuiThread() const {
    if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
    return std::this_thread::get_id() == creatorThread_;
}

void HandOver::RunOnGui(std::function<void()> Fn) {
    if (OnGuiThread()) {
        Fn();
        return;
    }
    Request request;
    request.Fn = std::move(Fn);
    std::function<void()> post;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&request);
        post = post_;
    }
    if (post) post();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return request.Done; });
    if (request.Error) std::rethrow_exception(request.Error);
}

void HandOver::PostToGui(std::function<void()> Fn) {
    std::function<void()> post;
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(Fn));
        post = post_;
    }
    if (post) post();
    changed_.notify_all();
}

void HandOver::Serve() {
    for (;;) {
        Request* request = nullptr;
        std::function<void()> posted;
        {
            std::lock_guard lock(mutex_);
            if (!queue_.empty()) {
                request = queue_.front();
                queue_.pop_front();
            } else if (!posted_.empty()) {
                posted = std::move(posted_.front());
                posted_.pop_front();
            } else {
                return;
            }
        }
        if (posted) {
            posted();  // shows an error; nothing of it may escape into the event loop
            continue;
        }
        try {
            request->Fn();
        } catch (...) {
            request->Error = std::current_exception();  // raised again on the event thread
        }
        {
            std::lock_guard lock(mutex_);
            request->Done = true;
        }
        changed_.notify_all();
    }
}

void HandOver::WaitServing(const std::atomic<bool>& Ended) {
    for (;;) {
        Serve();
        std::unique_lock lock(mutex_);
        if (Ended) return;
        changed_.wait_for(lock, std::chrono::milliseconds(10), [&] { return Ended.load() || !queue_.empty(); });
    }
}

void HandOver::NotifyEnded() {
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

// --------------------------------------------------------------- event thread

const DWORD TComThread::EventOrder[10] = {EV_RXCHAR, EV_TXEMPTY, EV_BREAK, EV_RING, EV_CTS,
                                          EV_DSR,    EV_RXFLAG,  EV_RLSD,  EV_ERR,  EV_RX80FULL};

TComThread::TComThread(TCustomComPort* Port)
    : ownerPort_(Port), api_(Port->Api()), handle_(Port->PortHandle()), syncMethod_(Port->SyncMethod()) {
    stopSignal_ = api_.CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetEventMask();
    thread_ = std::thread([this] { Run(); });
}

TComThread::~TComThread() {
    SignalStop();
    if (!thread_.joinable()) return;
    if (IsCurrentThread()) {
        thread_.detach();
        return;
    }
    // The thread may be blocked in a hand-over to this very thread.
    if (HandOver::Instance().OnGuiThread()) HandOver::Instance().WaitServing(ended_);
    thread_.join();
}

DWORD TComThread::EventMask() const {
    static const DWORD bits[] = {EV_RXCHAR, EV_TXEMPTY, EV_RXFLAG, EV_RING, EV_BREAK,
                                 EV_CTS,    EV_DSR,     EV_ERR,    EV_RLSD, EV_RX80FULL};
    DWORD mask = 0;
    const TComEvents events = ownerPort_->Events();
    for (int e = evRxChar; e <= evRx80Full; ++e)
        if (events.Contains(static_cast<TComEvent>(e))) mask |= bits[e];
    return mask;
}

void TComThread::SetEventMask() { api_.SetCommMask(handle_, EventMask()); }

void TComThread::SignalStop() {
    api_.SetEvent(stopSignal_);
    api_.Sleep(0);
}

namespace {

// On the GUI thread, as the application shows any uncaught exception.
void ShowEventThreadFailure(const std::exception_ptr& Error) {
    try {
        std::rethrow_exception(Error);
    } catch (const std::exception& e) {
        ApplicationShowException(e);
    } catch (...) {
        ApplicationShowException(std::runtime_error("Unknown exception in a port event handler"));
    }
}

}  // namespace

void TComThread::Run() {
    std::exception_ptr error;
    try {
        Execute();
    } catch (...) {
        // A handler's exception ends the thread; the port stays open but deaf,
        // and HasWaitThread says so once FEnded is set.
        error = std::current_exception();
        EndPendingWait();
        api_.CloseHandle(overlapped_.hEvent);
        api_.CloseHandle(stopSignal_);
    }
    ended_ = true;
    HandOver::Instance().NotifyEnded();
    // Nothing of this object is used from here on: the port may free it now.
    if (error)
        HandOver::Instance().PostToGui([error] {
            try {
                ShowEventThreadFailure(error);
            } catch (...) {
            }
        });
}

void TComThread::Execute() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = api_.CreateEventA(nullptr, TRUE, TRUE, nullptr);
    DWORD r;
    do {
        // A failed wait leaves the event clear, so the loop then blocks on
        // StopSignal instead of spinning.
        api_.WaitCommEvent(handle_, &pendingMask_, &overlapped_);
        const HANDLE events[2] = {stopSignal_, overlapped_.hEvent};
        r = api_.WaitForMultipleObjects(2, events, FALSE, INFINITE);
        DWORD transferred = 0;
        if (r == WAIT_OBJECT_0 + 1 && api_.GetOverlappedResult(handle_, &overlapped_, &transferred, FALSE))
            DeliverEvents();
    } while (r == WAIT_OBJECT_0 + 1);
    EndPendingWait();
    api_.PurgeComm(handle_, PURGE_TXCLEAR | PURGE_RXCLEAR);
    api_.CloseHandle(overlapped_.hEvent);
    api_.CloseHandle(stopSignal_);
}

// The wait may still be pending with this object's record; clearing the mask
// completes it, so the device never writes into a freed record.
void TComThread::EndPendingWait() {
    DWORD transferred = 0;
    if (api_.GetOverlappedResult(handle_, &overlapped_, &transferred, FALSE) ||
        CommApi::GetLastError() != ERROR_IO_INCOMPLETE)
        return;
    api_.SetCommMask(handle_, 0);
    api_.GetOverlappedResult(handle_, &overlapped_, &transferred, TRUE);
}

namespace {

// Counts the port's hand-overs on the GUI stack while one runs.
struct HandOverScope {
    int& Depth;
    explicit HandOverScope(int& d) : Depth(d) { ++Depth; }
    ~HandOverScope() { --Depth; }
};

}  // namespace

void TComThread::DeliverEvents() {
    switch (syncMethod_) {
        case smThreadSync:
            HandOver::Instance().RunOnGui([this] {
                HandOverScope scope(ownerPort_->handOverDepth_);
                HandleEvents();
            });
            break;
        case smWindowSync: SendEventsToWindow(); break;
        case smNone: HandleEvents(); break;
    }
}

void TComThread::SendEventsToWindow() {
    const DWORD mask = pendingMask_;
    for (DWORD bit : EventOrder) {
        if (!(mask & bit)) continue;
        HandOver::Instance().RunOnGui([this, bit] {
            HandOverScope scope(ownerPort_->handOverDepth_);
            // A message to a window that Close has destroyed goes nowhere.
            if (ownerPort_->NotifyWindow() != 0) ownerPort_->PortWindowProc(TCustomComPort::CM_COMPORT, bit, 0);
        });
    }
}

void TComThread::HandleEvents() {
    const DWORD mask = pendingMask_;
    for (DWORD bit : EventOrder) {
        if (!(mask & bit)) continue;
        // A handler that closed the port ends the batch.
        if (!ownerPort_->Connected()) return;
        switch (bit) {
            case EV_RXCHAR: ownerPort_->HandleRxChar(); break;
            case EV_TXEMPTY: ownerPort_->HandleTxEmpty(); break;
            case EV_BREAK: ownerPort_->HandleBreak(); break;
            case EV_RING: ownerPort_->HandleRing(); break;
            case EV_CTS: ownerPort_->HandleCTSChange(); break;
            case EV_DSR: ownerPort_->HandleDSRChange(); break;
            case EV_RXFLAG: ownerPort_->HandleRxFlag(); break;
            case EV_RLSD: ownerPort_->HandleRLSDChange(); break;
            case EV_ERR: ownerPort_->HandleError(); break;
            case EV_RX80FULL: ownerPort_->HandleRx80Full(); break;
        }
    }
}
