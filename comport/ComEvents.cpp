// The port's events, the per-event handlers and the links.
#include "comport/SerialPort.h"

#include <algorithm>

// ------------------------------------------------------------------ links

void TCustomComPort::AddLink(TComLink* Link) {
    std::lock_guard lock(linkMutex_);
    if (std::find(linkList_.begin(), linkList_.end(), Link) != linkList_.end()) throw EComPort(CError_RegFailed);
    linkList_.push_back(Link);
}

void TCustomComPort::RemoveLink(TComLink* Link) {
    std::lock_guard lock(linkMutex_);
    auto it = std::find(linkList_.begin(), linkList_.end(), Link);
    if (it == linkList_.end()) throw EComPort(CError_RegFailed);
    linkList_.erase(it);
}

int TCustomComPort::LinkCount() const {
    std::lock_guard lock(linkMutex_);
    return static_cast<int>(linkList_.size());
}

// A walk goes over the links registered when it started and skips those a
// callback has removed meanwhile, so it never reads past the list.
std::vector<TComLink*> TCustomComPort::LinkSnapshot() const {
    std::lock_guard lock(linkMutex_);
    return linkList_;
}

bool TCustomComPort::IsLinked(TComLink* Link) const {
    std::lock_guard lock(linkMutex_);
    return std::find(linkList_.begin(), linkList_.end(), Link) != linkList_.end();
}

void TCustomComPort::NotifyLinks(TComLedSignal Signal, bool OnOff) {
    for (TComLink* link : LinkSnapshot()) {
        if (!IsLinked(link)) continue;
        TComSignalEvent callback;  // a copy: the callback may reassign its own slot
        switch (Signal) {
            case lsCTS: callback = link->CTSCallback; break;
            case lsDSR: callback = link->DSRCallback; break;
            case lsRLSD: callback = link->RLSDCallback; break;
            case lsRx: callback = link->RxCallback; break;
            case lsTx: callback = link->TxCallback; break;
            default: break;
        }
        if (callback) callback(this, OnOff);
    }
}

// ------------------------------------------------- open and close notices

void TCustomComPort::NotifyBeforeOpen() { FireBeforeOpen(); }

void TCustomComPort::NotifyAfterOpen() {
    FireAfterOpen();
    RefreshSignals(true);
}

void TCustomComPort::NotifyBeforeClose() {
    FireBeforeClose();
    RefreshSignals(false);
}

void TCustomComPort::NotifyAfterClose() { FireAfterClose(); }

void TCustomComPort::RefreshSignals(bool OnOff) {
    if (OnOff) {
        HandleCTSChange();
        HandleDSRChange();
        HandleRLSDChange();
        return;
    }
    NotifyLinks(lsCTS, false);
    NotifyLinks(lsDSR, false);
    NotifyLinks(lsRLSD, false);
    FireCTSChange(false);
    FireDSRChange(false);
    FireRLSDChange(false);
}

// ------------------------------------------------------------------ handlers

void TCustomComPort::HandleRxChar() {
    int count = InputQueueCount();
    if (count > 0) NotifyLinks(lsRx, true);
    ReadForLinks(count);
    if (count > 0) FireRxChar(count);
}

void TCustomComPort::ReadForLinks(int& Count) {
    if (Count <= 0) return;
    std::vector<char> buffer;
    bool taken = false;
    int read = 0;
    struct ZeroCountWhenTaken {
        int& Count;
        const bool& Taken;
        ~ZeroCountWhenTaken() {
            if (Taken) Count = 0;
        }
    } zero{Count, taken};
    for (TComLink* link : LinkSnapshot()) {
        if (!IsLinked(link)) continue;
        TRxBufEvent callback = link->RxBufCallback;
        if (!callback) continue;
        if (!taken) {
            // Zero-filled, and only the bytes actually read are handed out.
            buffer.assign(static_cast<size_t>(Count), 0);
            taken = true;
            read = ReadBuffer(buffer.data(), Count);
            FireRxBuf(buffer.data(), read);
        }
        callback(this, buffer.data(), read);
    }
}

void TCustomComPort::HandleRxFlag() { FireRxFlag(); }

void TCustomComPort::HandleTxEmpty() {
    NotifyLinks(lsTx, false);
    FireTxEmpty();
}

// The line is read twice, once for the links and once for the event.
void TCustomComPort::HandleCTSChange() {
    NotifyLinks(lsCTS, ModemSignals().Contains(msCTS));
    FireCTSChange(ModemSignals().Contains(msCTS));
}

void TCustomComPort::HandleDSRChange() {
    NotifyLinks(lsDSR, ModemSignals().Contains(msDSR));
    FireDSRChange(ModemSignals().Contains(msDSR));
}

void TCustomComPort::HandleRLSDChange() {
    NotifyLinks(lsRLSD, ModemSignals().Contains(msRLSD));
    FireRLSDChange(ModemSignals().Contains(msRLSD));
}

void TCustomComPort::HandleBreak() { FireBreak(); }

void TCustomComPort::HandleError() { FireError(ReadLineErrors()); }

void TCustomComPort::HandleRing() {
    for (TComLink* link : LinkSnapshot()) {
        if (!IsLinked(link)) continue;
        TNotifyEvent callback = link->RingCallback;
        if (callback) callback(this);
    }
    FireRing();
}

void TCustomComPort::HandleRx80Full() { FireRx80Full(); }

// ------------------------------------------------------------ fire operations

namespace {

// Called through a copy: a handler may reassign its own slot.
template <class Event, class... Args>
void Fire(const Event& slot, TObject* sender, Args... args) {
    const Event handler = slot;
    if (handler) handler(sender, args...);
}

}  // namespace

void TCustomComPort::FireAfterClose() { Fire(OnAfterClose, this); }
void TCustomComPort::FireAfterOpen() { Fire(OnAfterOpen, this); }
void TCustomComPort::FireBeforeClose() { Fire(OnBeforeClose, this); }
void TCustomComPort::FireBeforeOpen() { Fire(OnBeforeOpen, this); }
void TCustomComPort::FireRxChar(int Count) { Fire(OnRxChar, this, Count); }
void TCustomComPort::FireRxBuf(const void* Buffer, int Count) { Fire(OnRxBuf, this, Buffer, Count); }
void TCustomComPort::FireTxEmpty() { Fire(OnTxEmpty, this); }
void TCustomComPort::FireBreak() { Fire(OnBreak, this); }
void TCustomComPort::FireRing() { Fire(OnRing, this); }
void TCustomComPort::FireRxFlag() { Fire(OnRxFlag, this); }
void TCustomComPort::FireCTSChange(bool OnOff) { Fire(OnCTSChange, this, OnOff); }
void TCustomComPort::FireDSRChange(bool OnOff) { Fire(OnDSRChange, this, OnOff); }
void TCustomComPort::FireError(TComErrors Errors) { Fire(OnError, this, Errors); }
void TCustomComPort::FireRLSDChange(bool OnOff) { Fire(OnRLSDChange, this, OnOff); }
void TCustomComPort::FireRx80Full() { Fire(OnRx80Full, this); }
