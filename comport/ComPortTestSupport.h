// Shared by the port's Qt-driven tests.
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <thread>

#include "comport/SerialPort.h"

// The port with its handlers and notifications opened to the tests.
class TTestComPort : public TComPort {
public:
    using TComPort::TComPort;
    using TCustomComPort::HandleError;
    using TCustomComPort::HandleRing;
    using TCustomComPort::HandleRxChar;
    using TCustomComPort::NotifyLinks;
};

// Serves hand-overs, as the GUI thread's event loop would, until done().
inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents();
        HandOver::Instance().Serve();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
