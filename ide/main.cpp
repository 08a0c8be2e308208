// Vantrel: the development environment for the 68HC11.
#include "ide/Main.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application's title, under which its error display stands.
    QApplication::setApplicationName(QStringLiteral("HC11"));
    std::unique_ptr<Vantrel::TMainForm> mainForm(Vantrel::CreateVantrelForms());
    mainForm->showMaximized();
    return QApplication::exec();
}
