#include "tests/support/QtTestSupport.h"

#include <QCoreApplication>

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    return WaitUntil(done, limit, [] { QCoreApplication::processEvents(); });
}

}  // namespace testsupport
