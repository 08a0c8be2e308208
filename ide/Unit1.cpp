#include "ide/Unit1.h"

#include "gui/Dialogs.h"
#include "gui/Guard.h"
#include "ide/AsmDriver.h"
#include "ide/Globals.h"
#include "ide/Main.h"
#include "ide/Unit2.h"
#include "ide/Unit3.h"
#include "platform/help/HelpApi.h"
#include "platform/text/TextFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

#include <filesystem>
#include <stdexcept>

namespace Vantrel {

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Nastavitve prevajalnika"));
    GroupBdodaj = new QGroupBox(QStringLiteral("Poročilo:"), this);
    CheckBox3 = new QCheckBox(QStringLiteral("Ustvari"), GroupBdodaj);
    CheckBox3->setChecked(true);
    CheckBox1 = new QCheckBox(QStringLiteral("Dodaj tabelo simbolov"), GroupBdodaj);
    CheckBox4 = new QCheckBox(QStringLiteral("Dodaj ukazne periode"), GroupBdodaj);
    auto* options = new QVBoxLayout(GroupBdodaj);
    options->addWidget(CheckBox3);
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox4);

    BitBtnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtnOK->setDefault(true);
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    BitBtnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&POMOČ"), this);
    BitBtnCancel->setAutoDefault(false);
    connect(BitBtnCancel, &QPushButton::clicked, this, [this] {
        if (ShowHelp) gui::Guarded(this, [this] { ShowHelp(help::HELP_CONTEXT, HelpTopic); });
    });
    auto* contextKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(contextKey, &QShortcut::activated, this, [this] {
        if (ShowHelp) gui::Guarded(this, [this] { ShowHelp(help::HELP_CONTEXT, HelpContext); });
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOK);
    buttons->addWidget(BitBtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBdodaj);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

// ------------------------------------------- the main window's commands

void CreateAssemblerForms(TMainForm& form) {
    form.Form1 = new TForm1(&form);
    auto help = [&form](unsigned command, std::uintptr_t data) { form.ShowHelp(command, data); };
    form.Form1->ShowHelp = help;
    form.Form2 = new TForm2(&form, form.Form1);
    form.ForNastavProg = new TForNastavProg(&form);
    form.ForNastavProg->ShowHelp = help;
}

namespace {

constexpr char SimulatorProgram[] = "VantrelSIM.EXE";

// Paints and runs timers while a wait lasts, but takes no user input, so no
// command can start inside another.
void KeepPainting() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

}  // namespace

void TMainForm::ToolButton15Click() {
    QTextEdit* edit = ActiveRichEdit();
    if (!edit) return;
    QDir::setCurrent(QString::fromStdString(AppDir));
    SourceName = "TEMP$$.ASM";

    // Written, and the window counts as saved, even when the caption test
    // below refuses: so it has always been.
    std::string err;
    if (!WriteTextFile(AppDir + SourceName, edit->toPlainText().toStdString(),
                       TTextFormat{TTextEncoding::Utf8, TLineEnds::CrLf}, &err))
        throw std::runtime_error(err);
    edit->document()->setModified(false);

    const QString caption = Mdi->currentSubWindow()->widget()->windowTitle();
    if (!caption.toUpper().contains(QStringLiteral(".ASM"))) {
        gui::ShowBox(this, TBoxKind::Information,
                     QStringLiteral("Za prevajanje je potrebna datoteka izvorne kode (*.asm)!"));
        return;
    }

    ListingName = "TEMP$$.LST";
    RemoveQuietly(AppDir + ListingName);
    // An object file from an earlier run must never pass for this one's.
    RemoveQuietly(AppDir + "TEMP$$.S19");

    if (FindFileIgnoringCase(AppDir + "asm.bat")) {
        // The outcome shows in the scan: no listing is a failed assembly.
        Shell.ShellExecute(AppDir + "asm.bat", SourceName, {}, shell::SW_HIDE);
    } else {
        gui::ShowBox(this, TBoxKind::Information, QStringLiteral("Ne najdem prevajalniškega programa!"));
    }
    {
        WaitCursor cursor;
        const std::string listing = AppDir + ListingName;
        WaitForListing(
            Clock, [&listing] { return std::filesystem::exists(listing); }, KeepPainting);
    }

    ReportName = "TEMP$$.RPT";
    ObjectName = "TEMP$$.S19";
    Form2->ShowAndScan();
    Branjeporoila1->setEnabled(true);
    ToolButton17->setEnabled(true);
    const bool clean = ErrorsFound == 0;
    ToolButton16->setEnabled(clean);
    Zagon1->setEnabled(clean);
    if (clean) StatusPanels[6]->setText(QString::fromStdString(ObjectName));
}

void TMainForm::Nastavitve1Click() {
    if (gui::ExecModal(*Form1) != QDialog::Accepted) return;
    const std::string path = AppDir + "asm.bat";
    if (!WriteAsmBat(path, AsmBatLine(Form1->CheckBox1->isChecked(), Form1->CheckBox4->isChecked())))
        throw std::runtime_error("Ne morem pisati datoteke " + path);
}

void TMainForm::ToolButton28Click() {
    if (!StatusPanels[6]->text().toUpper().contains(QStringLiteral("TEMP$$"))) return;
    ShellOpen(AppDir + SimulatorProgram, {}, shell::SW_HIDE);
}

}  // namespace Vantrel
