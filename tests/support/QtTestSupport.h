// Waiting in a Qt test: the application's events are served while the
// condition is awaited, as the event loop of the program would serve them.
#pragma once

#include "tests/support/TestSupport.h"

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace testsupport
