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

HandOver::HandOver() : CreatorThread(std::this_thread::get_id()) {
    Post = [] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [] { HandOver::Instance().Serve(); }, Qt::QueuedConnection);
    };
}

void HandOver::SetPost(std::function<void()> NewPost) {
    std::lock_guard lock(Mutex);
    Post = std::move(NewPost);
}

bool HandOver::OnGuiThread() const {
    if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
    return std::this_thread::get_id() == CreatorThread;
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
        std::lock_guard lock(Mutex);
        Queue.push_back(&request);
        post = Post;
    }
    if (post) post();
    std::unique_lock lock(Mutex);
    Changed.wait(lock, [&] { return request.Done; });
    if (request.Error) std::rethrow_exception(request.Error);
}

void HandOver::PostToGui(std::function<void()> Fn) {
    std::function<void()> post;
    {
        std::lock_guard lock(Mutex);
        Posted.push_back(std::move(Fn));
        post = Post;
    }
    if (post) post();
    Changed.notify_all();
}

void HandOver::Serve() {
    for (;;) {
        Request* request = nullptr;
        std::function<void()> posted;
        {
            std::lock_guard lock(Mutex);
            if (!Queue.empty()) {
                request = Queue.front();
                Queue.pop_front();
            } else if (!Posted.empty()) {
                posted = std::move(Posted.front());
                Posted.pop_front();
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
            std::lock_guard lock(Mutex);
            request->Done = true;
        }
        Changed.notify_all();
    }
}

void HandOver::WaitServing(const std::atomic<bool>& Ended) {
    for (;;) {
        Serve();
        std::unique_lock lock(Mutex);
        if (Ended) return;
        Changed.wait_for(lock, std::chrono::milliseconds(10), [&] { return Ended.load() || !Queue.empty(); });
    }
}

void HandOver::NotifyEnded() {
    { std::lock_guard lock(Mutex); }
    Changed.notify_all();
}

// --------------------------------------------------------------- event thread

const DWORD TComThread::EventOrder[10] = {EV_RXCHAR, EV_TXEMPTY, EV_BREAK, EV_RING, EV_CTS,
                                          EV_DSR,    EV_RXFLAG,  EV_RLSD,  EV_ERR,  EV_RX80FULL};

TComThread::TComThread(TCustomComPort* Port)
    : OwnerPort(Port), Api(Port->Api()), Handle(Port->PortHandle()), SyncMethod(Port->SyncMethod()) {
    StopSignal = Api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetEventMask();
    FThread = std::thread([this] { Run(); });
}

TComThread::~TComThread() {
    SignalStop();
    if (!FThread.joinable()) return;
    if (IsCurrentThread()) {
        FThread.detach();
        return;
    }
    // The thread may be blocked in a hand-over to this very thread.
    if (HandOver::Instance().OnGuiThread()) HandOver::Instance().WaitServing(FEnded);
    FThread.join();
}

DWORD TComThread::EventMask() const {
    static const DWORD bits[] = {EV_RXCHAR, EV_TXEMPTY, EV_RXFLAG, EV_RING, EV_BREAK,
                                 EV_CTS,    EV_DSR,     EV_ERR,    EV_RLSD, EV_RX80FULL};
    DWORD mask = 0;
    const TComEvents events = OwnerPort->Events();
    for (int e = evRxChar; e <= evRx80Full; ++e)
        if (events.Contains(static_cast<TComEvent>(e))) mask |= bits[e];
    return mask;
}

void TComThread::SetEventMask() { Api.SetCommMask(Handle, EventMask()); }

void TComThread::SignalStop() {
    Api.SetEvent(StopSignal);
    Api.Sleep(0);
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
        Api.CloseHandle(Overlapped.hEvent);
        Api.CloseHandle(StopSignal);
    }
    FEnded = true;
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
    Overlapped = OVERLAPPED{};
    Overlapped.hEvent = Api.CreateEventA(nullptr, TRUE, TRUE, nullptr);
    DWORD r;
    do {
        // A failed wait leaves the event clear, so the loop then blocks on
        // StopSignal instead of spinning.
        Api.WaitCommEvent(Handle, &PendingMask, &Overlapped);
        const HANDLE events[2] = {StopSignal, Overlapped.hEvent};
        r = Api.WaitForMultipleObjects(2, events, FALSE, INFINITE);
        DWORD transferred = 0;
        if (r == WAIT_OBJECT_0 + 1 && Api.GetOverlappedResult(Handle, &Overlapped, &transferred, FALSE))
            DeliverEvents();
    } while (r == WAIT_OBJECT_0 + 1);
    EndPendingWait();
    Api.PurgeComm(Handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
    Api.CloseHandle(Overlapped.hEvent);
    Api.CloseHandle(StopSignal);
}

// The wait may still be pending with this object's record; clearing the mask
// completes it, so the device never writes into a freed record.
void TComThread::EndPendingWait() {
    DWORD transferred = 0;
    if (Api.GetOverlappedResult(Handle, &Overlapped, &transferred, FALSE) ||
        CommApi::GetLastError() != ERROR_IO_INCOMPLETE)
        return;
    Api.SetCommMask(Handle, 0);
    Api.GetOverlappedResult(Handle, &Overlapped, &transferred, TRUE);
}

namespace {

// Counts the port's hand-overs on the GUI stack while one runs.
struct HandOverScope {
    int& depth;
    explicit HandOverScope(int& d) : depth(d) { ++depth; }
    ~HandOverScope() { --depth; }
};

}  // namespace

void TComThread::DeliverEvents() {
    switch (SyncMethod) {
        case smThreadSync:
            HandOver::Instance().RunOnGui([this] {
                HandOverScope scope(OwnerPort->FHandOverDepth);
                HandleEvents();
            });
            break;
        case smWindowSync: SendEventsToWindow(); break;
        case smNone: HandleEvents(); break;
    }
}

void TComThread::SendEventsToWindow() {
    const DWORD mask = PendingMask;
    for (DWORD bit : EventOrder) {
        if (!(mask & bit)) continue;
        HandOver::Instance().RunOnGui([this, bit] {
            HandOverScope scope(OwnerPort->FHandOverDepth);
            // A message to a window that Close has destroyed goes nowhere.
            if (OwnerPort->NotifyWindow() != 0) OwnerPort->PortWindowProc(TCustomComPort::CM_COMPORT, bit, 0);
        });
    }
}

void TComThread::HandleEvents() {
    const DWORD mask = PendingMask;
    for (DWORD bit : EventOrder) {
        if (!(mask & bit)) continue;
        // A handler that closed the port ends the batch.
        if (!OwnerPort->Connected()) return;
        switch (bit) {
            case EV_RXCHAR: OwnerPort->HandleRxChar(); break;
            case EV_TXEMPTY: OwnerPort->HandleTxEmpty(); break;
            case EV_BREAK: OwnerPort->HandleBreak(); break;
            case EV_RING: OwnerPort->HandleRing(); break;
            case EV_CTS: OwnerPort->HandleCTSChange(); break;
            case EV_DSR: OwnerPort->HandleDSRChange(); break;
            case EV_RXFLAG: OwnerPort->HandleRxFlag(); break;
            case EV_RLSD: OwnerPort->HandleRLSDChange(); break;
            case EV_ERR: OwnerPort->HandleError(); break;
            case EV_RX80FULL: OwnerPort->HandleRx80Full(); break;
        }
    }
}
