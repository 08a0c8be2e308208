// Vantrel: the development environment for the 68HC11.
#include "ide/Main.h"
#include "ide/Boxes.h"

#include <QApplication>

#include <memory>

namespace {

// The last line of defence: an exception that a handler did not catch ends
// its command at the error display instead of ending the program.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        Vantrel::Guarded(nullptr, [&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }
};

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HC11"));
    std::unique_ptr<Vantrel::TMainForm> mainForm(Vantrel::CreateVantrelForms());
    mainForm->showMaximized();
    return QApplication::exec();
}
