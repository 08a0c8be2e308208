// Saves PNG pictures of VantrelSIM's windows, to look at after changing them:
//   simulator_screenshots OUTPUT_FOLDER [PROGRAM_FOLDER]
// PROGRAM_FOLDER holds an assembled TEMP$$.LST and TEMP$$.S19 (scripts/screenshots
// assembles an example there); without it a short listing of our own is shown.
// Dialogs are answered in place of a user, as the tests do.
#include "gui/DialogAnswers.h"
#include "gui/StandardDialogs.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitCPUreg.h"
#include "simulator/ui/UnitNaslovi.h"
#include "simulator/ui/UnitPisava.h"
#include "simulator/ui/UnitRegistri.h"
#include "simulator/ui/UnitResetVekt.h"
#include "simulator/ui/UnitSklad.h"
#include "simulator/ui/UnitViewSprem.h"
#include "simulator/ui/UnitVrata.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace VantrelSIM {
namespace {

// Line 12 is stored in Windows-1250 ("Šolski primer: čšž").
const QByteArray BuiltInListing =
    "0001 0000                      ORG   $0000\r\n"
    "0002 0000 86 05        START   LDAA  #$05\r\n"
    "0003 0002 01                   NOP\r\n"
    "0004 0003 01                   NOP\r\n"
    "0005 0004 4C                   INCA\r\n"
    "0006 0005 20 F9                BRA   START\r\n"
    "0007 0007 0E           IRQT    CLI\r\n"
    "0008 0008 01                   NOP\r\n"
    "0009 0009 86 00                LDAA  #$00\r\n"
    "0010 000B 06                   TAP\r\n"
    "0011 000C 01                   NOP\r\n"
    "0012                   * \x8Aolski primer: \xE8\x9A\x9E\r\n"
    "0013 B600                      ORG   $B600\r\n"
    "0014 B600 01           EE      NOP\r\n"
    "0015 B601 41                   FCB   $41\r\n"
    "0016                           END\r\n";

const QByteArray BuiltInObject =
    "S1100000860501014C20F90E018600060161\r\n"
    "S105B600014102\r\n"
    "S9030000FC\r\n";

bool CopyProgram(const QString& from, const QString& to) {
    for (const char* name : {"TEMP$$.LST", "TEMP$$.S19"}) {
        QFile source(from + '/' + QLatin1String(name));
        QFile target(to + '/' + QLatin1String(name));
        if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "simulator_screenshots: cannot copy %s from %s\n", name, qPrintable(from));
            return false;
        }
        target.write(source.readAll());
    }
    return true;
}

bool WriteBuiltInProgram(const QString& to) {
    QFile listing(to + QStringLiteral("/TEMP$$.LST"));
    QFile object(to + QStringLiteral("/TEMP$$.S19"));
    return listing.open(QIODevice::WriteOnly) && listing.write(BuiltInListing) == BuiltInListing.size() &&
           object.open(QIODevice::WriteOnly) && object.write(BuiltInObject) == BuiltInObject.size();
}

// The open dialog takes the listing (ChosenFile), the reset dialog RAM.
class TScreenshotAnswers : public gui::TDialogAnswers {
protected:
    int AnswerModal(QDialog& dialog) override {
        if (auto* reset = qobject_cast<TFormResetVek*>(&dialog)) {
            reset->ListBox1->setCurrentRow(0);
            return QDialog::Accepted;
        }
        return TDialogAnswers::AnswerModal(dialog);
    }
};

// Lets queued paints and refreshes happen before a picture is taken.
void Settle() {
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget* window, const QString& folder, const char* name) {
    const QString path = folder + '/' + QLatin1String(name);
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "simulator_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace
}  // namespace VantrelSIM

int main(int argc, char** argv) {
    using namespace VantrelSIM;
    // Pictures need no display: the offscreen platform renders the same widgets.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: simulator_screenshots OUTPUT_FOLDER [PROGRAM_FOLDER]\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "simulator_screenshots: cannot make %s\n", qPrintable(output));
        return 2;
    }
    QTemporaryDir work;
    if (!work.isValid()) return 2;
    if (argc == 3 ? !CopyProgram(QString::fromLocal8Bit(argv[2]), work.path()) : !WriteBuiltInProgram(work.path()))
        return 2;
    QDir::setCurrent(work.path());
    TScreenshotAnswers answers;
    answers.ChosenFile = work.path() + QStringLiteral("/Temp$$.LST");  // as the user types it

    std::unique_ptr<TMainForm> form(CreateSimulatorForms());
    form->resize(1100, 700);
    form->show();
    form->FileOpen1Execute();
    if (!form->ListingWindow()) {
        std::fprintf(stderr, "simulator_screenshots: the listing did not open\n");
        return 1;
    }
    // A breakpoint on line 5 and three steps, so both highlights show.
    QPlainTextEdit* edit = form->ListingWindow()->RichEdit1;
    edit->setTextCursor(QTextCursor(edit->document()->findBlockByNumber(4)));
    form->Vstaviustavitvenotoko1Click();
    for (int i = 0; i < 3; ++i) form->ToolButton15Click();
    Settle();

    bool saved = Save(form.get(), output, "main.png");
    FormPisava->ShowAdPage();
    saved &= Save(FormPisava, output, "pisava-ad.png");
    FormPisava->ShowFontPage();
    saved &= Save(FormPisava, output, "pisava-font.png");
    saved &= Save(FormResetVek, output, "reset.png");
    saved &= Save(form->FindDialog1, output, "find.png");
    saved &= Save(form->FontDialog1, output, "font.png");

    TMainForm& frame = *form;
    for (const TToolWindowKind& kind : ToolWindowTable) (frame.*kind.OpenHandler)();
    form->ToolButton15Click();
    Settle();
    // Tool windows float beside the frame: one picture each.
    saved &= Save(FormCPUreg, output, "cpureg.png");
    saved &= Save(FormRegistri, output, "registri.png");
    saved &= Save(FormSklad, output, "sklad.png");
    saved &= Save(FormNaslovi, output, "naslovi.png");
    saved &= Save(FormViewSprem, output, "viewsprem.png");
    saved &= Save(FormVrata, output, "vrata.png");

    for (const gui::TShownBox& box : answers.Boxes)
        std::fprintf(stderr, "%s: %s\n", qPrintable(box.Caption), qPrintable(box.Text));
    if (form->ListingWindow()) form->ListingWindow()->Modified = false;
    return saved ? 0 : 1;
}
