#include "ide/Childwin.h"

#include "gui/Guard.h"

#include <QCloseEvent>
#include <QPalette>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace Vantrel {

QString CloseQuestion(const QString& caption) {
    return QStringLiteral("Dokument ") + caption + QStringLiteral(" je bil spremenjen. Spremembe zavržem?");
}

TMDIChild::TMDIChild(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("MDI Child"));
    setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setTabChangesFocus(false);
    // Tab stops every half inch, as the rich-edit control has them.
    RichEdit1->setTabStopDistance(48);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    font.setBold(true);
    RichEdit1->setFont(font);
    RichEdit1->document()->setDefaultFont(font);
    // The selection stays as visible when the window loses the focus.
    QPalette palette = RichEdit1->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    RichEdit1->setPalette(palette);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);
    setFocusProxy(RichEdit1);
}

QSize TMDIChild::sizeHint() const { return {379, 180}; }

bool TMDIChild::LoadFile(const QString& name, QString* err) {
    std::string text;
    std::string error;
    if (ReadTextFile(name.toStdString(), &text, &error, &Format) != TReadStatus::Okay) {
        *err = QString::fromStdString(error);
        return false;
    }
    // The control keeps lines apart by LF alone; a save puts the file's own
    // line ends back.
    QString lines = QString::fromStdString(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace('\r', '\n');
    RichEdit1->setPlainText(lines);
    SetModified(false);
    return true;
}

bool SaveRichEditText(const QTextEdit& edit, const TTextFormat& format, const QString& name, QString* err) {
    std::string error;
    if (!WriteTextFile(name.toStdString(), edit.toPlainText().toStdString(), format, &error)) {
        *err = QString::fromStdString(error);
        return false;
    }
    edit.document()->setModified(false);
    return true;
}

bool TMDIChild::SaveFile(const QString& name, QString* err) { return SaveRichEditText(*RichEdit1, Format, name, err); }

bool TMDIChild::Modified() const { return RichEdit1->document()->isModified(); }

void TMDIChild::SetModified(bool modified) { RichEdit1->document()->setModified(modified); }

bool TMDIChild::ConfirmClose() {
    if (DiscardConfirmed || !Modified()) return true;
    return gui::ShowMessageBox(this, QMessageBox::Question, gui::WarningCaption, CloseQuestion(windowTitle()),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    bool close = false;
    gui::Guarded(this, [&] { close = ConfirmClose(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

}  // namespace Vantrel
