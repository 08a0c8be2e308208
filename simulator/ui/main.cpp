// VantrelSIM: the 68HC11 simulator with its debugger windows.
#include "simulator/ui/Main.h"
#include "simulator/ui/UiDialogs.h"

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
        Guarded(nullptr, [&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }
};

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VantrelSIM"));
    std::unique_ptr<TMainForm> mainForm(CreateSimulatorForms());
    mainForm->showMaximized();
    return QApplication::exec();
}
