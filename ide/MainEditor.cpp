// The editor commands of the main window: new, open, save, print, edit,
// find, font, about and the window menu.
#include "ide/Main.h"

#include "gui/Guard.h"
#include "ide/About.h"
#include "ide/Childwin.h"
#include "ide/Globals.h"
#include "ide/PrintLayout.h"
#include "ide/UnitPisava.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QTimer>

#include <stdexcept>

namespace Vantrel {

namespace {

void ShowOpenError(QWidget* parent) {
    gui::ShowBox(parent, TBoxKind::Error, QStringLiteral("Napaka pri odpiranju datoteke!"));
}

QString ExamplesDirectory() { return QString::fromStdString(AppDir) + QStringLiteral("Primeri/"); }

// Both letter cases of each pattern: Linux file names are case-sensitive.
QString BothCases(const QString& title, const QStringList& extensions) {
    QStringList patterns;
    for (const QString& e : extensions) patterns << "*." + e.toLower() << "*." + e.toUpper();
    return title + " (" + patterns.join(' ') + ")";
}

}  // namespace

QTextEdit* TMainForm::ActiveRichEdit() const {
    QMdiSubWindow* window = Mdi->currentSubWindow();
    if (!window || !window->widget()) return nullptr;
    auto* focused = qobject_cast<QTextEdit*>(window->widget()->focusWidget());
    if (focused) return focused;
    return window->widget()->findChild<QTextEdit*>();
}

TMDIChild* TMainForm::ActiveEditor() const {
    QMdiSubWindow* window = Mdi->currentSubWindow();
    return window ? qobject_cast<TMDIChild*>(window->widget()) : nullptr;
}

QList<TMDIChild*> TMainForm::EditorWindows() const {
    QList<TMDIChild*> editors;
    for (QMdiSubWindow* window : Mdi->subWindowList())
        if (auto* editor = qobject_cast<TMDIChild*>(window->widget())) editors << editor;
    return editors;
}

QMdiSubWindow* TMainForm::AddMDIChild(QWidget* child) {
    QMdiSubWindow* window = Mdi->addSubWindow(child);
    // Timer1 follows the children also when the last one goes.
    connect(
        window, &QObject::destroyed, this, [this] { gui::Guarded(this, [this] { updateMenuitems(); }); },
        Qt::QueuedConnection);
    return window;
}

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
    Mdi->setActiveSubWindow(window);
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
            ShowOpenError(this);
        }
    }
    WindowTileHorizontal1Execute();
}

void TMainForm::FileClose1Execute() {
    if (QMdiSubWindow* window = Mdi->currentSubWindow()) window->close();
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
    QWidget* child = Mdi->currentSubWindow()->widget();
    auto* editor = qobject_cast<TMDIChild*>(child);
    QString err;
    const bool saved =
        editor ? editor->SaveFile(name, &err) : SaveRichEditText(*ActiveRichEdit(), NewDocumentFormat, name, &err);
    if (!saved) throw std::runtime_error(QStringLiteral("Napaka pri shranjevanju datoteke: %1").arg(err).toStdString());
}

void TMainForm::FileSaveAsItemClick() {
    if (!ActiveRichEdit()) return;
    QDir::setCurrent(QString::fromStdString(AppDir));
    QWidget* child = Mdi->currentSubWindow()->widget();
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
    Mdi->currentSubWindow()->widget()->setWindowTitle(name);
}

void TMainForm::ToolButton11Click() {
    QTextEdit* edit = ActiveRichEdit();
    if (!edit || !Printer.PrinterSetup()) return;
    const printing::PrintFont font;
    const int linesPerPage = Printer.PageSizeFor(font).LinesPerPage();
    const QString caption = Mdi->currentSubWindow()->windowTitle();
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

int FindForward(const QString& text, const QString& what, int start) {
    if (what.isEmpty() || start < 0 || start > text.size()) return -1;
    return static_cast<int>(text.indexOf(what, start, Qt::CaseInsensitive));
}

void TMainForm::Najdi1Click() {
    if (!ActiveRichEdit()) return;
    FindDialog1->show();
    FindDialog1->raise();
    FindDialog1->activateWindow();
}

void TMainForm::FindDialog1Find() { FindNext(FindDialog1->FindText()); }

void TMainForm::FindNext(const QString& what) {
    QTextEdit* edit = ActiveRichEdit();
    if (!edit) return;
    QTextCursor cursor = edit->textCursor();
    // From the end of the selection, or from the very start: not from the caret.
    const int start = cursor.hasSelection() ? cursor.selectionEnd() : 0;
    const int found = FindForward(edit->document()->toPlainText(), what, start);
    if (found < 0) {
        gui::ShowBox(this, TBoxKind::Information, QStringLiteral("Ne najdem besede \"%1\"").arg(what));
        return;
    }
    edit->setFocus();
    cursor.setPosition(found);
    cursor.setPosition(found + static_cast<int>(what.size()), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
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

void TMainForm::HelpAbout1Execute() { gui::ExecModal(*AboutBox); }

void TMainForm::WindowCascade1Execute() { Mdi->cascadeSubWindows(); }

void TMainForm::WindowTileHorizontal1Execute() {
    // One window under the other, each the frame's full width.
    const QList<QMdiSubWindow*> windows = Mdi->subWindowList();
    if (windows.isEmpty()) return;
    const QSize area = Mdi->viewport()->size();
    const int height = std::max(1, area.height() / static_cast<int>(windows.size()));
    int top = 0;
    for (QMdiSubWindow* window : windows) {
        window->showNormal();
        window->setGeometry(0, top, area.width(), height);
        top += height;
    }
}

void TMainForm::FillWindowMenu() {
    const QList<QAction*> actions = Window1->actions();
    for (qsizetype i = actions.indexOf(WindowListSeparator) + 1; i < actions.size(); ++i) {
        Window1->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QList<QMdiSubWindow*> windows = Mdi->subWindowList();
    WindowListSeparator->setVisible(!windows.isEmpty());
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        const QString prefix = number < 10 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number);
        QAction* item = Window1->addAction(prefix + window->windowTitle());
        item->setCheckable(true);
        item->setChecked(window == Mdi->currentSubWindow());
        QPointer<QMdiSubWindow> target(window);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target) Mdi->setActiveSubWindow(target);
        });
    }
}

}  // namespace Vantrel
