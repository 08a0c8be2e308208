// Vantrel: the development environment for the 68HC11.
#include "ide/Main.h"
#include "comport/SerialPort.h"
#include "gui/Dialogs.h"
#include "gui/Program.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application's title, under which its error display stands.
    gui::SetUpProgram(app, QStringLiteral("HC11"), QStringLiteral(":/Vantrel/icon.png"));
    // What the port raises on its event thread reaches the same display.
    SetApplicationShowException(
        [](const std::exception& e) { gui::ShowApplicationError(nullptr, QString::fromUtf8(e.what())); });
    std::unique_ptr<Vantrel::TMainForm> mainForm(Vantrel::CreateVantrelForms());
    mainForm->showMaximized();
    return QApplication::exec();
}
