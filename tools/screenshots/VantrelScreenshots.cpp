// Saves PNG pictures of the editor Vantrel, to look at after changing it:
//   vantrel_screenshots OUTPUT_FOLDER
// The frame runs on the recording stand-ins of the port, the shell, help,
// printing and the clock, in a temporary working folder.
#include "gui/DialogAnswers.h"
#include "gui/MdiFrame.h"
#include "ide/About.h"
#include "ide/Childwin.h"
#include "ide/Globals.h"
#include "ide/Images.h"
#include "ide/Main.h"
#include "ide/Unit1.h"
#include "ide/Unit3.h"
#include "ide/Unit6.h"
#include "ide/UnitPisava.h"
#include "platform/clock/FakeClock.h"
#include "platform/comm/FakeCommApi.h"
#include "platform/help/FakeHelpApi.h"
#include "platform/print/FakePrintApi.h"
#include "platform/shell/FakeShellApi.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace Vantrel {
namespace {

// Lets queued paints happen before a picture is taken.
void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(const QPixmap& picture, const QString& path) {
    if (!picture.save(path)) {
        std::fprintf(stderr, "vantrel_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool SaveWindow(QWidget* window, const QString& path) {
    window->show();
    Settle(20);
    return Save(window->grab(), path);
}

bool SaveScreenshots(const QString& folder) {
    QTemporaryDir work;
    if (!work.isValid()) return false;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    ResetGlobals();

    gui::TDialogAnswers answers;
    comm::FakeCommApi port;
    port.AddPort("COM1");
    port.AddPort("COM2");
    timing::FakeClock clock;
    shell::FakeShellApi shell{clock};
    help::FakeHelpApi help;
    printing::FakePrintApi printer;
    bool saved = true;
    {
        std::unique_ptr<TMainForm> form(CreateVantrelForms({&port, &shell, &help, &printer, &clock}));
        form->resize(1000, 600);
        form->show();
        TMDIChild* editor = form->OpenEditorWindow(work.filePath(QStringLiteral("utripanje.asm")));
        editor->RichEdit1->setPlainText(QStringLiteral(
            "* Šolski primer: utripanje LED (čšž ČŠŽ)\n\tORG $0000\nSTART\tLDAA #$05\n\tSTAA $1004\n\tBRA START\n"));
        form->FileNew1Execute();
        form->WindowTileHorizontal1Execute();
        form->Timer1Timer();
        QStatusTipEvent tip(gui::Component(*form, "ToolButton15")->statusTip());
        QApplication::sendEvent(form.get(), &tip);
        Settle(50);
        saved &= Save(form->grab(), folder + "/vantrel-main.png");
        form->FormPisava->ComboBox2->addItems({"COM1", "COM2"});
        saved &= SaveWindow(form->FormPisava, folder + "/vantrel-pisava.png");
        saved &= SaveWindow(form->AboutBox, folder + "/vantrel-about.png");
        form->FindDialog1->SetFindText(QStringLiteral("ŠTEVEC"));
        saved &= SaveWindow(form->FindDialog1, folder + "/vantrel-find.png");
        saved &= SaveWindow(form->FontDialog1, folder + "/vantrel-font.png");
        saved &= SaveWindow(form->FormEENasloviBranje, folder + "/vantrel-eeprom-address.png");
        saved &= SaveWindow(form->Form1, folder + "/vantrel-asm-options.png");
        saved &= SaveWindow(form->ForNastavProg, folder + "/vantrel-chip.png");
        saved &= Save(ProgrammerImage(true).scaled(84, 64), folder + "/vantrel-programmer-found.png");
        saved &= Save(ProgrammerImage(false).scaled(84, 64), folder + "/vantrel-programmer-not-found.png");
        for (const char* name : {"File1", "Edit1", "Prevajalnik1", "Programator1", "Help1"}) {
            QMenu* menu = gui::Component<QMenu>(*form, name);
            menu->popup(QPoint(0, 0));
            Settle(20);
            saved &= Save(menu->grab(), folder + "/vantrel-menu-" + menu->title().remove('&') + ".png");
            menu->hide();
        }
        for (TMDIChild* child : form->EditorWindows()) child->SetModified(false);
    }
    for (const gui::TShownBox& box : answers.Boxes)
        std::fprintf(stderr, "%s: %s\n", qPrintable(box.Caption), qPrintable(box.Text));
    QDir::setCurrent(previous);
    return saved;
}

}  // namespace
}  // namespace Vantrel

int main(int argc, char** argv) {
    // Pictures need no display: the offscreen platform renders the same widgets.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "vantrel_screenshots: cannot make %s\n", qPrintable(output));
        return 2;
    }
    return Vantrel::SaveScreenshots(output) ? 0 : 1;
}
