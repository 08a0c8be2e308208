// Shared by the port's Qt-driven tests.
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <functional>

#include "comport/SerialPort.h"
#include "tests/support/TestSupport.h"

// The port with its handlers and notifications opened to the tests.
class TTestComPort : public TComPort {
public:
    using TComPort::TComPort;
    using TCustomComPort::HandleError;
    using TCustomComPort::HandleRing;
    using TCustomComPort::HandleRxChar;
    using TCustomComPort::NotifyLinks;
};

// One turn of the GUI thread's event loop: posted events, then hand-overs.
inline void ServeHandOvers() {
    QCoreApplication::processEvents();
    HandOver::Instance().Serve();
}

// Serves hand-overs, as the GUI thread's event loop would, until done().
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return testsupport::WaitUntil(done, limit, ServeHandOvers);
}
