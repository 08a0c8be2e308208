#include "simulator/ui/Childwin.h"

#include "gui/Guard.h"
#include "platform/text/TextFile.h"
#include "simulator/Hc11.h"
#include "simulator/ui/ListingFields.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace VantrelSIM {

namespace {

std::u16string_view Utf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

}  // namespace

QString ListingKey(const QString& line) {
    const std::u16string_view key = ListingKey(Utf16(line));
    return QString(reinterpret_cast<const QChar*>(key.data()), static_cast<qsizetype>(key.size()));
}

int ListingAddress(const QString& line) { return ListingAddress(Utf16(line)); }

uint16_t CursorAddress(const QString& line) { return CursorAddress(Utf16(line)); }

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
    // A listing's text needs no ligatures or kerning: laying out a line
    // without shaping makes each newly shown line cheap during a run.
    font.setStyleStrategy(QFont::PreferNoShaping);
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

    RichEdit1->installEventFilter(this);
    RichEdit1->viewport()->installEventFilter(this);
    for (auto signal : {&QPlainTextEdit::cursorPositionChanged, &QPlainTextEdit::selectionChanged})
        connect(RichEdit1, signal, this, [this] {
            if (!colouring_) emit CaretChanged();
        });
    BuildAddressIndex();
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
    keys_.clear();
    addresses_.clear();
    for (const QString& line : lines) {
        keys_ << ListingKey(line);
        addresses_.push_back(ListingAddress(line));
    }
    BuildAddressIndex();
    RichEdit1->setPlainText(content);
    // Black from the start, as the highlight colours lines: a highlight then
    // changes the text's format only where a breakpoint's red comes or goes.
    QTextCursor all(RichEdit1->document());
    all.select(QTextCursor::Document);
    QTextCharFormat black;
    black.setForeground(QColor(Qt::black));
    all.mergeCharFormat(black);
    Modified = false;
    return true;
}

void TMDIChild::BuildAddressIndex() {
    lineStart_.assign(65537, 0);
    for (int address : addresses_)
        if (address >= 0) ++lineStart_[static_cast<size_t>(address) + 1];
    for (size_t a = 1; a < lineStart_.size(); ++a) lineStart_[a] += lineStart_[a - 1];
    linesByAddress_.assign(lineStart_.back(), 0);
    std::vector<uint32_t> next(lineStart_.begin(), lineStart_.end() - 1);
    for (size_t i = 0; i < addresses_.size(); ++i)
        if (addresses_[i] >= 0) linesByAddress_[next[static_cast<size_t>(addresses_[i])]++] = static_cast<int>(i) + 1;
}

QString TMDIChild::LineText(int line) const {
    if (line < 1 || line > LineCount()) return {};
    return RichEdit1->document()->findBlockByNumber(line - 1).text();
}

QString TMDIChild::LineKey(int line) const {
    if (line < 1 || line > LineCount()) return {};
    return keys_[line - 1];
}

std::span<const int> TMDIChild::LinesAt(uint16_t address) const {
    const uint32_t first = lineStart_[address];
    return std::span<const int>(linesByAddress_).subspan(first, lineStart_[address + 1u] - first);
}

namespace {

// Every character of the line carries `colour` as its own format.
bool HasForeground(const QTextBlock& block, const QColor& colour) {
    bool any = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (!format.hasProperty(QTextFormat::ForegroundBrush) || format.foreground().color() != colour) return false;
        any = true;
    }
    return any;
}

}  // namespace

void TMDIChild::ColourLine(int line, const QColor& colour, bool deferred) {
    if (line < 1 || line > LineCount()) return;
    const QTextBlock block = RichEdit1->document()->findBlockByNumber(line - 1);
    if (!HasForeground(block, colour)) {
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(colour);
        colouring_ = true;
        cursor.mergeCharFormat(format);
        colouring_ = false;
    }
    if (deferred) {
        waitingLine_ = line;
    } else {
        waitingLine_ = 0;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        Select(cursor);
    }
    Modified = true;
    emit CaretChanged();
}

void TMDIChild::Select(const QTextCursor& cursor) {
    colouring_ = true;
    RichEdit1->setTextCursor(cursor);
    colouring_ = false;
}

void TMDIChild::ShowSelection() {
    const int line = std::exchange(waitingLine_, 0);
    if (line < 1 || line > LineCount()) return;
    const QTextBlock block = RichEdit1->document()->findBlockByNumber(line - 1);
    const QTextCursor selected = RichEdit1->textCursor();
    const int end = block.position() + block.length() - 1;
    ScrollIntoViewAhead(line);
    if (selected.anchor() == block.position() && selected.position() == end) return;
    QTextCursor cursor(RichEdit1->document());
    cursor.setPosition(block.position());
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    Select(cursor);
}

int TMDIChild::SelectionStart() const {
    if (waitingLine_ >= 1 && waitingLine_ <= LineCount())
        return RichEdit1->document()->findBlockByNumber(waitingLine_ - 1).position();
    return RichEdit1->textCursor().selectionStart();
}

bool TMDIChild::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            if (waitingLine_ != 0) ShowSelection();
            break;
        default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void TMDIChild::ScrollIntoViewAhead(int line) {
    // Without line wrap the scroll bar counts lines: its value is the top one.
    QScrollBar* bar = RichEdit1->verticalScrollBar();
    const int shown =
        std::max(1, RichEdit1->viewport()->height() / std::max(1, RichEdit1->fontMetrics().lineSpacing()));
    const int top = bar->value();
    if (line - 1 >= top && line - 1 < top + shown - 1) return;
    bar->setValue(std::max(0, line - 1 - shown / 4));
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
