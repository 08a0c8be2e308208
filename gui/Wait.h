// Long work on the user-interface thread (the assembler's wait, a download
// to the board): the window keeps painting and its timers run, but user
// input is held back until the work is done, so no command starts inside
// another.
#pragma once

#include <QApplication>
#include <QCursor>

namespace gui {

// One round of painting and timers without user input.
inline void KeepPainting() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// The wait cursor for as long as it lives.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace gui
