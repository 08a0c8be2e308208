#include "platform/help/QtHelpApi.h"

#include <QFileInfo>
#include <QUrl>

namespace help {

QtHelpApi::~QtHelpApi() { delete window_; }

bool QtHelpApi::WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data, std::string* error) {
    if (command == HELP_QUIT) {
        if (window_) window_->close();
        return true;
    }
    std::string page;
    if (!FindHelpPage(helpFile, command, data, &page, error)) return false;

    if (!window_) {
        window_ = new QTextBrowser;
        window_->setWindowTitle(QString::fromUtf8("Pomoč"));
        window_->setOpenExternalLinks(true);
        window_->document()->setDocumentMargin(12);
        window_->resize(640, 480);
    }
    const QFileInfo info(QString::fromStdString(page));
    window_->setSearchPaths({info.absolutePath()});
    window_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

}  // namespace help
