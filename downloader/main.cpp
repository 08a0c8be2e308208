// Tolvex: streams the S1 records of an object file to the EEPROM talker on
// the board. Started by Vantrel as: Tolvex TEMP$$.S19 <port 1-3> <capacity>.
#include <QApplication>

#include "downloader/Unit1.h"
#include "gui/Dialogs.h"
#include "gui/Program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::SetUpProgram(app, QStringLiteral("Tolvex"), QStringLiteral(":/Tolvex/icon.png"));
    // What the port cannot raise to a caller (a failed open while loading, a
    // handler's error on its event thread) goes to the same error display.
    SetApplicationShowException(
        [](const std::exception& e) { gui::ShowApplicationError(nullptr, QString::fromUtf8(e.what())); });
    Tolvex::TParameters parameters(argv + 1, argv + argc);
    Tolvex::TForm1 form(comm::DefaultCommApi(), std::move(parameters));
    // Without its port (the box saying why has been closed) there is nothing
    // to do, and Vantrel takes its port back only once we have ended.
    if (!form.ComPort1->Connected()) return 1;
    form.show();
    return QApplication::exec();
}
