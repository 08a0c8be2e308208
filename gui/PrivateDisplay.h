// For tests that must see what a real X server shows (QT_QPA_PLATFORM=xcb):
// a private Xvfb on a free display, started without a shell and ended with
// the object.
#pragma once

#include <QString>

#include <functional>

#include <sys/types.h>

namespace gui {

class TPrivateDisplay {
public:
    TPrivateDisplay() = default;
    ~TPrivateDisplay();
    TPrivateDisplay(const TPrivateDisplay&) = delete;
    TPrivateDisplay& operator=(const TPrivateDisplay&) = delete;

    // Starts Xvfb and sets DISPLAY to it; false with err filled when Xvfb
    // cannot be started or does not name its display within a few seconds.
    bool Start(QString* err);
    // ":N" once started.
    QString Name() const { return name_; }

private:
    pid_t server_ = -1;
    QString name_;
};

// main() of a Qt test program that paints to a real X server: a private
// Xvfb with the xcb platform (the offscreen platform for --gtest_list_tests,
// which must answer fast and needs no display). onDisplay, when given, starts
// what else the tests need there (a window manager) before the application,
// false with err filled when it cannot.
int RunQtTestsOnPrivateDisplay(int argc, char** argv, const QString& applicationName,
                               const std::function<bool(QString* err)>& onDisplay = {});

}  // namespace gui
