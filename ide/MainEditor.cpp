// The editor windows' commands: new, open, close, save, print, exit, the
// edit commands, find, font, and the arrangement of the windows.
#include "ide/Main.h"

#include "gui/Guard.h"
#include "gui/MdiFrame.h"
#include "ide/Childwin.h"
#include "ide/Globals.h"
#include "ide/PrintLayout.h"
#include "ide/Unit5.h"
#include "ide/UnitPisava.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextCharFormat>
#include <QTextEdit>

#include <stdexcept>

namespace Vantrel {

namespace {

QString ExamplesDirectory() { return QString::fromStdString(AppDir) + QStringLiteral("Primeri/"); }

// Both letter cases of each pattern: Linux file names are case-sensitive.
QString BothCases(const QString& title, const QStringList& extensions) {
    QStringList patterns;
    for (const QString& e : extensions) patterns << "*." + e.toLower() << "*." + e.toUpper();
    return title + " (" + patterns.join(' ') + ")";
}

}  // namespace

TMDIChild* TMainForm::OpenEditorWindow(const QString& name) {
    auto* child = new TMDIChild;
    child->setWindowTitle(name);
    QMdiSubWindow* window = AddMDIChild(child);
    if (QFileInfo::exists(name)) {
        QString err;
        if (!child->LoadFile(name, &err)) {
            // An empty window captioned with the file's path would overwrite
            // the file with nothing at the next save.
            delete window;
            throw std::ios_base::failure(err.toStdString());
        }
    }
    child->show();
    mdi_->setActiveSubWindow(window);
    updateMenuitems();
    return child;
}

void TMainForm::FileNew1Execute() {
    OpenEditorWindow(QStringLiteral("Neimenovana") + QString::number(MDIChildCount() + 1));
}

void TMainForm::FileOpen1Execute() {
    QFileDialog dialog(this, QStringLiteral("Odpri"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(ExamplesDirectory());
    dialog.setNameFilters({BothCases(QStringLiteral("Zbirniške datoteke"), {"asm"}),
                           BothCases(QStringLiteral("Objektne"), {"s19"}),
                           BothCases(QStringLiteral("Datoteke poročil"), {"rpt"}), QStringLiteral("Vse (*)")});
    if (gui::ExecModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        try {
            OpenEditorWindow(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
        } catch (const std::ios_base::failure&) {
            gui::ShowOpenError(this);
        }
    }
    WindowTileHorizontal1Execute();
}

void TMainForm::FileClose1Execute() {
    if (QMdiSubWindow* window = mdi_->currentSubWindow()) window->close();
}

QString TMainForm::RunSaveDialog() {
    QFileDialog dialog(this, QStringLiteral("Shrani kot"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("asm"));
    dialog.setDirectory(ExamplesDirectory());
    dialog.setNameFilters({BothCases(QStringLiteral("Zbirniška datoteka"), {"asm"})});
    if (gui::ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

void TMainForm::SaveActive(const QString& name) {
    QWidget* child = mdi_->currentSubWindow()->widget();
    auto* editor = qobject_cast<TMDIChild*>(child);
    auto* report = qobject_cast<TFormPorocilo*>(child);
    QString err;
    const bool saved = editor   ? editor->SaveFile(name, &err)
                       : report ? report->SaveFile(name, &err)
                                : SaveRichEditText(*ActiveRichEdit(), NewDocumentFormat, name, &err);
    if (!saved) throw std::runtime_error(QStringLiteral("Napaka pri shranjevanju datoteke: %1").arg(err).toStdString());
}

void TMainForm::FileSaveAsItemClick() {
    if (!ActiveRichEdit()) return;
    QDir::setCurrent(QString::fromStdString(AppDir));
    QWidget* child = mdi_->currentSubWindow()->widget();
    const QString caption = child->windowTitle();
    SourceName = QFileInfo(caption).fileName().toStdString();
    if (QString::fromStdString(SourceName).toUpper().contains(QStringLiteral("NEIMEN"))) {
        const QString name = RunSaveDialog();
        if (name.isEmpty()) return;
        SaveActive(name);
        child->setWindowTitle(name);
        return;
    }
    // The file the window shows, wherever it lies.
    SaveActive(caption);
}

void TMainForm::ShraniKot() {
    if (!ActiveRichEdit()) return;
    const QString name = RunSaveDialog();
    if (name.isEmpty()) return;
    SaveActive(name);
    mdi_->currentSubWindow()->widget()->setWindowTitle(name);
}

void TMainForm::ToolButton11Click() {
    QTextEdit* edit = ActiveRichEdit();
    if (!edit || !Printer.PrinterSetup()) return;
    const printing::PrintFont font;
    const int linesPerPage = Printer.PageSizeFor(font).LinesPerPage();
    const QString caption = mdi_->currentSubWindow()->windowTitle();
    // The control's lines: a line end closes a line, it opens none after it.
    QStringList texts = edit->toPlainText().split('\n');
    if (texts.last().isEmpty()) texts.removeLast();
    std::vector<std::string> lines;
    for (const QString& line : texts) lines.push_back(line.toStdString());
    std::string error;
    if (!Printer.PrintPages(caption.toStdString(), font, PaginateForPrint(caption.toStdString(), lines, linesPerPage),
                            &error))
        gui::ShowBox(this, TBoxKind::Error, QStringLiteral("Napaka pri komunikaciji s tiskalnikom!"));
}

void TMainForm::FileExit1Execute() { close(); }

void TMainForm::Razveljavi1Click() {
    QTextEdit* edit = ActiveRichEdit();
    if (edit && edit->document()->isModified() && edit->document()->isUndoAvailable()) edit->undo();
}

namespace {

// The platform's edit commands go to the focused control, whatever it is.
void EditCommand(const char* slot) {
    if (QWidget* focused = QApplication::focusWidget()) QMetaObject::invokeMethod(focused, slot);
}

}  // namespace

void TMainForm::EditCut1Execute() { EditCommand("cut"); }
void TMainForm::EditCopy1Execute() { EditCommand("copy"); }
void TMainForm::EditPaste1Execute() { EditCommand("paste"); }

void TMainForm::IzberiVse1Click() {
    if (QTextEdit* edit = ActiveRichEdit()) edit->selectAll();
}

void TMainForm::Najdi1Click() {
    if (ActiveRichEdit()) gui::BringToFront(FindDialog1);
}

void TMainForm::FindDialog1Find() { FindNext(FindDialog1->FindText()); }

void TMainForm::FindNext(const QString& what) {
    if (QTextEdit* edit = ActiveRichEdit()) gui::FindNext(this, *edit, what);
}

void TMainForm::FontDialog1Apply() {
    QTextEdit* edit = ActiveRichEdit();
    if (!edit) return;
    // The whole font goes to the selection, or to what is typed next.
    QTextCharFormat format;
    format.setFont(FontDialog1->SelectedFont());
    edit->mergeCurrentCharFormat(format);
    if (FormPisava) FormPisava->ShowFont(FontDialog1->SelectedFont());
}

void TMainForm::WindowCascade1Execute() { mdi_->cascadeSubWindows(); }

void TMainForm::WindowTileHorizontal1Execute() {
    // One window under the other, each the frame's full width.
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    const QSize area = mdi_->viewport()->size();
    const int height = std::max(1, area.height() / static_cast<int>(windows.size()));
    int top = 0;
    for (QMdiSubWindow* window : windows) {
        window->showNormal();
        window->setGeometry(0, top, area.width(), height);
        top += height;
    }
}

}  // namespace Vantrel
