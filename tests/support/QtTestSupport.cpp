#include "tests/support/QtTestSupport.h"

#include <QCoreApplication>

namespace testsupport {

void ServePostedEvents() {
    QCoreApplication::processEvents();
    // Outside an event loop the deletes a closing window posts wait for this
    // call; the program's own loop would have served them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    return WaitUntil(done, limit, ServePostedEvents);
}

}  // namespace testsupport
