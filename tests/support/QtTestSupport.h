// Waiting in a Qt test: the application's events are served while the
// condition is awaited, as the event loop of the program would serve them.
#pragma once

#include "tests/support/TestSupport.h"

namespace testsupport {

// Serves what the windows posted for later (queued calls, deferred
// deletes), as the event loop does before the user's next action: for the
// checks that something did not happen.
void ServePostedEvents();

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace testsupport
