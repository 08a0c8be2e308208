// Assembling, the assembler's options and the start of the simulator.
#include "ide/Main.h"

#include "gui/Dialogs.h"
#include "gui/Wait.h"
#include "ide/AsmDriver.h"
#include "ide/Globals.h"
#include "ide/Unit1.h"
#include "ide/Unit2.h"
#include "platform/text/TextFile.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>

#include <filesystem>
#include <stdexcept>

namespace Vantrel {

namespace {

constexpr char SimulatorProgram[] = "VantrelSIM.EXE";

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

    const QString caption = mdi_->currentSubWindow()->widget()->windowTitle();
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
        gui::TWaitCursor cursor;
        const std::string listing = AppDir + ListingName;
        WaitForListing(
            Clock, [&listing] { return std::filesystem::exists(listing); }, gui::KeepPainting);
    }

    ReportName = "TEMP$$.RPT";
    ObjectName = "TEMP$$.S19";
    Form2->ShowAndScan();
    assembledClean_ = ErrorsFound == 0;
    UpdateActions();
    if (assembledClean_) StatusPanels[6]->setText(QString::fromStdString(ObjectName));
}

void TMainForm::Nastavitve1Click() {
    if (gui::ExecModal(*Form1) != QDialog::Accepted) return;
    WriteAsmBatFile(AsmBatLine(Form1->CheckBox1->isChecked(), Form1->CheckBox4->isChecked()));
}

void TMainForm::WriteAsmBatFile(const std::string& line) {
    const std::string path = AppDir + "asm.bat";
    if (!WriteAsmBat(path, line)) throw std::runtime_error("Ne morem pisati datoteke " + path);
}

void TMainForm::ToolButton28Click() {
    if (!StatusPanels[6]->text().toUpper().contains(QStringLiteral("TEMP$$"))) return;
    ShellOpen(AppDir + SimulatorProgram, {}, shell::SW_HIDE);
}

}  // namespace Vantrel
