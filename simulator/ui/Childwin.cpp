#include "simulator/ui/Childwin.h"

#include "common/ListingLine.h"
#include "gui/Guard.h"
#include "platform/text/TextFile.h"
#include "simulator/Hc11.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace VantrelSIM {

QString ListingKey(const QString& line) { return line.left(static_cast<qsizetype>(ListingKeyLength)); }

int ListingAddress(const QString& line) {
    const std::u16string_view text(reinterpret_cast<const char16_t*>(line.utf16()), static_cast<size_t>(line.size()));
    const std::optional<uint16_t> address = ListingAddressValue(text);
    return address ? *address : -1;
}

uint16_t CursorAddress(const QString& line) {
    const std::string field =
        line.mid(static_cast<qsizetype>(ListingAddressStart), static_cast<qsizetype>(ListingAddressLength))
            .toUpper()
            .toStdString();
    const std::string_view text(field);
    const uint8_t high = HexToByte(text.substr(0, std::min<size_t>(2, text.size())));
    const uint8_t low = HexToByte(text.size() > 2 ? text.substr(2) : std::string_view());
    return static_cast<uint16_t>(high * 256 + low);
}

bool IsBreakpointKey(const QStringList& breakpoints, const QString& key) {
    return breakpoints.contains(key, Qt::CaseInsensitive);
}

TMDIChild::TMDIChild(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setUndoRedoEnabled(false);  // colouring must not pile up history
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    font.setBold(true);
    RichEdit1->setFont(font);
    // The PC line stays visible while the focus is elsewhere.
    QPalette palette = RichEdit1->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    RichEdit1->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1);

    connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this, &TMDIChild::CaretChanged);
    connect(RichEdit1, &QPlainTextEdit::selectionChanged, this, &TMDIChild::CaretChanged);
}

bool TMDIChild::LoadFile(const QString& name, QString* err) {
    std::string text;
    std::string error;
    if (ReadTextFile(name.toStdString(), &text, &error) != TReadStatus::Okay) {
        if (err) *err = QString::fromStdString(error);
        return false;
    }
    QString content = QString::fromUtf8(text);
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QChar('\r'), QChar('\n'));
    if (content.endsWith('\n')) content.chop(1);
    const QStringList lines = content.split('\n');
    Keys.clear();
    Addresses.clear();
    for (const QString& line : lines) {
        Keys << ListingKey(line);
        Addresses.push_back(ListingAddress(line));
    }
    RichEdit1->setPlainText(content);
    Modified = false;
    return true;
}

QString TMDIChild::LineText(int line) const {
    if (line < 1 || line > LineCount()) return {};
    return RichEdit1->document()->findBlockByNumber(line - 1).text();
}

QString TMDIChild::LineKey(int line) const {
    if (line < 1 || line > LineCount()) return {};
    return Keys[line - 1];
}

std::vector<int> TMDIChild::LinesAt(uint16_t address) const {
    std::vector<int> lines;
    for (size_t i = 0; i < Addresses.size(); ++i)
        if (Addresses[i] == address) lines.push_back(static_cast<int>(i) + 1);
    return lines;
}

void TMDIChild::ColourLine(int line, const QColor& colour) {
    if (line < 1 || line > LineCount()) return;
    QTextCursor cursor(RichEdit1->document()->findBlockByNumber(line - 1));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(colour);
    cursor.mergeCharFormat(format);
    RichEdit1->setTextCursor(cursor);
    Modified = true;
    emit CaretChanged();
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (Modified) {
        const auto answer =
            gui::ShowMessageBox(this, QMessageBox::Question, gui::WarningCaption,
                                QStringLiteral("Izvajanje programa ") + windowTitle() + QStringLiteral(" zaključim?"),
                                QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace VantrelSIM
