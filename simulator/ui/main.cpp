// VantrelSIM: the 68HC11 simulator with its debugger windows.
#include "simulator/ui/Main.h"
#include "gui/Program.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::SetUpProgram(app, QStringLiteral("VantrelSIM"), QStringLiteral(":/VantrelSIM/icon.png"));
    std::unique_ptr<VantrelSIM::TMainForm> mainForm(VantrelSIM::CreateSimulatorForms());
    mainForm->showMaximized();
    return QApplication::exec();
}
