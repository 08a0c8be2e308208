// For tests that run a program of ours in a process of its own on an X
// display (a private one, see PrivateDisplay.h): its windows found by their
// caption, and the close box a user presses on them.
#pragma once

#include <functional>
#include <string>

namespace gui {

// Waits up to `ms` for a window captioned `caption` to be shown on $DISPLAY
// and asks it to close, as a window manager's close box does; `idle` runs
// between looks. False when no such window came.
bool CloseWindowByCaption(const std::string& caption, int ms, const std::function<void()>& idle = {});

}  // namespace gui
