#include "ide/Unit5.h"

#include "ide/Globals.h"
#include "ide/Main.h"
#include "platform/text/TextFile.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace Vantrel {

TFormPorocilo::TFormPorocilo(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Porocilo:"));
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    RichEditPorocilo = new QTextEdit(this);
    RichEditPorocilo->setReadOnly(true);
    RichEditPorocilo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEditPorocilo->setLineWrapMode(QTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    RichEditPorocilo->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEditPorocilo);
}

bool TFormPorocilo::LoadReport(const QString& path) {
    std::string text;
    if (ReadTextFile(path.toStdString(), &text, nullptr) != TReadStatus::Okay) return false;
    QString shown = QString::fromStdString(text);
    shown.remove(QLatin1Char('\r'));
    RichEditPorocilo->setPlainText(shown);
    return true;
}

// ------------------------------------------- the main window's commands

TFormPorocilo* TMainForm::OpenReportWindow(const QString& fileName) {
    auto* report = new TFormPorocilo;
    report->setWindowTitle(fileName);
    QMdiSubWindow* window = AddMDIChild(report);
    if (QFileInfo::exists(fileName)) report->LoadReport(fileName);
    report->show();
    Mdi->setActiveSubWindow(window);
    updateMenuitems();
    return report;
}

void TMainForm::ToolButton17Click() {
    OpenReportWindow(QString::fromStdString(AppDir + ReportName));
    // The frame's tiling, one window under the other, as the window menu does.
    WindowTileHorizontal1Execute();
}

}  // namespace Vantrel
