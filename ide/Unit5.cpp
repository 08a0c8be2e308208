#include "ide/Unit5.h"

#include "platform/text/TextFile.h"

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
    TTextFormat format;
    if (ReadTextFile(path.toStdString(), &text, nullptr, &format) != TReadStatus::Okay) return false;
    Format = format;
    QString shown = QString::fromStdString(text);
    shown.remove(QLatin1Char('\r'));
    RichEditPorocilo->setPlainText(shown);
    return true;
}

bool TFormPorocilo::SaveFile(const QString& name, QString* err) {
    return SaveRichEditText(*RichEditPorocilo, Format, name, err);
}

}  // namespace Vantrel
