// Saves PNG pictures of VantrelSIM's windows, to look at after changing them:
//   simulator_screenshots OUTPUT_FOLDER [PROGRAM_FOLDER]
// PROGRAM_FOLDER holds an assembled TEMP$$.LST and TEMP$$.S19 (scripts/screenshots
// assembles an example there); without it a short listing of our own is shown.
// Dialogs are answered in place of a user, as the tests do.
#include "gui/DialogAnswers.h"
#include "gui/Program.h"
#include "gui/StandardDialogs.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/SampleListing.h"
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
    return listing.open(QIODevice::WriteOnly) && listing.write(ListingBytes) == ListingBytes.size() &&
           object.open(QIODevice::WriteOnly) && object.write(ObjectBytes) == ObjectBytes.size();
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
    // As the program sets itself up: Qt's texts in Slovenian, buttons alike.
    gui::SetUpProgram(app, QStringLiteral("VantrelSIM"), QStringLiteral(":/VantrelSIM/icon.png"));
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
