// The HelpApi on Qt: one help window, a QTextBrowser on the HTML pages of
// the help folder, reused by every call as WinHelp reuses its window. Links
// between the pages work; the window's caption is "Pomoč". As WinHelp's
// window, none of the program's modal dialogs blocks it.
#pragma once

#include <QPointer>
#include <QTextBrowser>

#include "platform/help/HelpApi.h"

namespace help {

class QtHelpApi : public HelpApi {
public:
    QtHelpApi() = default;
    ~QtHelpApi() override;  // deletes the window: destroy it before the QApplication
    QtHelpApi(const QtHelpApi&) = delete;
    QtHelpApi& operator=(const QtHelpApi&) = delete;

    bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* error) override;

    // The help window; null until a page was first shown.
    QTextBrowser* Window() const { return window_; }

private:
    QPointer<QTextBrowser> window_;
};

}  // namespace help
