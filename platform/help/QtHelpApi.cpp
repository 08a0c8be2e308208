#include "platform/help/QtHelpApi.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QUrl>
#include <QWindow>

namespace help {

namespace {

// WinHelp is a program of its own: none of our modal dialogs blocks its
// window. A window standing for the modal one (its transient) is not blocked
// by it; to the window manager it stays a window of its own.
void StandFor(QWidget* help, QWidget* modal) {
    help->winId();  // the native window whose transient parent is set
    QWindow* dialog = modal && modal != help ? modal->window()->windowHandle() : nullptr;
    help->windowHandle()->setTransientParent(dialog);
}

// Every modal dialog that opens while the help window is there: its Show
// comes before the platform window blocks the others.
class TModalWatch : public QObject {
public:
    explicit TModalWatch(QWidget* help) : QObject(help), help_(help) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && object->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(object);
            if (widget->isWindow() && widget->isModal()) StandFor(help_, widget);
        }
        return false;
    }

private:
    QWidget* help_;
};

}  // namespace

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
        new TModalWatch(window_);
    }
    const QFileInfo info(QString::fromStdString(page));
    window_->setSearchPaths({info.absolutePath()});
    window_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    StandFor(window_, QApplication::activeModalWidget());
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

}  // namespace help
