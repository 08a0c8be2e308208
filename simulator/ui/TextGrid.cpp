#include "simulator/ui/TextGrid.h"

#include "simulator/ui/FramePacer.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <utility>

namespace VantrelSIM {

namespace {

// Paints the corner button as a header section with a title.
class CornerTitle : public QObject {
public:
    CornerTitle(QAbstractButton* corner, const QString& text) : QObject(corner), text_(text) {}
    void SetText(const QString& text) { text_ = text; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* corner = qobject_cast<QAbstractButton*>(watched);
        if (!corner || event->type() != QEvent::Paint) return false;
        QPainter painter(corner);
        QStyleOptionHeader option;
        option.initFrom(corner);
        option.state = QStyle::State_Enabled | QStyle::State_Raised;
        option.rect = corner->rect();
        option.text = text_;
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        // The button is disabled so that it cannot select the grid; its
        // title is still read like the other headers.
        option.palette.setCurrentColorGroup(QPalette::Active);
        corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
        return true;
    }

private:
    QString text_;
};

}  // namespace

void SetCornerText(QTableView* view, const QString& text) {
    auto* corner = view->findChild<QAbstractButton*>();
    if (!corner) return;
    if (auto* title = corner->findChild<CornerTitle*>()) {
        title->SetText(text);
    } else {
        corner->setEnabled(false);  // it would select the whole grid
        corner->installEventFilter(new CornerTitle(corner, text));
    }
    corner->update();
}

TextGrid::TextGrid(int columns, int rows, QWidget* parent)
    : QTableWidget(rows, columns, parent), columns_(columns), rows_(rows) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) setItem(r, c, new QTableWidgetItem);
    setItemPrototype(new QTableWidgetItem);
    setVerticalHeaderLabels(QStringList(rows, QString()));
    texts_.resize(static_cast<qsizetype>(rows) * columns);
    edited_.resize(static_cast<size_t>(rows) * static_cast<size_t>(columns));
    isWaiting_.resize(edited_.size());
    connect(this, &QTableWidget::itemChanged, this, &TextGrid::ItemChanged);
}

int TextGrid::CellIndex(int column, int row) const {
    // The grid's size is fixed at construction.
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return -1;
    return row * columns_ + column;
}

void TextGrid::ItemChanged(QTableWidgetItem* item) {
    // Whoever changed the item, the kept text follows it.
    const int index = CellIndex(item->column(), item->row());
    if (index >= 0) texts_[index] = item->text();
    ++generation_;
}

void TextGrid::SetGeometry(int titleColumnWidth, const QList<int>& columnWidths, int rowHeight, int visibleRows,
                           bool scrollBar) {
    QHeaderView* top = horizontalHeader();
    QHeaderView* left = verticalHeader();
    top->setMinimumSectionSize(8);
    left->setMinimumSectionSize(8);
    top->setSectionResizeMode(QHeaderView::Fixed);
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setDefaultSectionSize(rowHeight);
    left->setFixedWidth(titleColumnWidth);
    top->setFixedHeight(rowHeight);
    int width = titleColumnWidth;
    for (int c = 0; c < columnWidths.size() && c < columnCount(); ++c) {
        top->resizeSection(c, columnWidths[c]);
        width += columnWidths[c];
    }
    setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (scrollBar) width += verticalScrollBar()->sizeHint().width();
    const int frame = 2 * frameWidth();
    setFixedSize(width + frame, rowHeight * (visibleRows + 1) + frame);
}

void TextGrid::SetCornerText(const QString& text) { VantrelSIM::SetCornerText(this, text); }

void TextGrid::SetColumnTitles(const QStringList& titles) { setHorizontalHeaderLabels(titles); }

void TextGrid::SetRowTitle(int row, const QString& text) {
    QTableWidgetItem* header = verticalHeaderItem(row);
    if (!header) {
        setVerticalHeaderItem(row, new QTableWidgetItem(text));
        return;
    }
    if (header->text() != text) header->setText(text);
}

QTableWidgetItem* TextGrid::ItemAt(int column, int row) const { return item(row, column); }

void TextGrid::SetColumnAlignment(int column, Qt::Alignment alignment) {
    for (int r = 0; r < rowCount(); ++r)
        if (QTableWidgetItem* cell = ItemAt(column, r)) cell->setTextAlignment(alignment);
}

QString TextGrid::Cell(int column, int row) const {
    const int index = CellIndex(column, row);
    return index < 0 ? QString() : texts_[index];
}

namespace {

bool SameText(const QString& shown, const QString& text) { return shown == text; }

// A cell's two characters compared in place: a memory refresh compares
// hundreds of cells at every step.
bool SameText(const QString& shown, QLatin1StringView text) {
    if (shown.size() != text.size()) return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (shown[i].unicode() != static_cast<unsigned char>(text[i].toLatin1())) return false;
    return true;
}

}  // namespace

template <class Text>
void TextGrid::WriteCell(int column, int row, const Text& text) {
    const int index = CellIndex(column, row);
    if (index < 0) return;
    const auto at = static_cast<size_t>(index);
    if (!SameText(std::as_const(texts_)[index], text)) {
        if (pacer_ && pacer_->Holding()) {
            texts_[index] = QString(text);
            ++generation_;
            if (!isWaiting_[at]) {
                isWaiting_[at] = true;
                waiting_.push_back(index);
            }
        } else if (QTableWidgetItem* cell = ItemAt(column, row)) {
            cell->setText(QString(text));
        }
    }
    edited_[at] = false;
    if (column == typingColumn_ && row == typingRow_) typingColumn_ = typingRow_ = -1;
}

void TextGrid::PaceBy(TFramePacer* pacer) {
    pacer_ = pacer;
    connect(pacer, &TFramePacer::Painting, this, &TextGrid::ShowCells);
}

void TextGrid::ShowCells() {
    const std::vector<int> waiting = std::exchange(waiting_, {});
    for (int index : waiting) {
        isWaiting_[static_cast<size_t>(index)] = false;
        if (QTableWidgetItem* cell = ItemAt(index % columns_, index / columns_)) {
            // setText reports back through ItemChanged, which keeps the text.
            const QString text = texts_[index];
            cell->setText(text);
        }
    }
}

void TextGrid::mousePressEvent(QMouseEvent* event) {
    ShowCells();
    QTableWidget::mousePressEvent(event);
}

void TextGrid::SetCell(int column, int row, const QString& text) { WriteCell(column, row, text); }

void TextGrid::SetCell(int column, int row, QLatin1StringView text) { WriteCell(column, row, text); }

bool TextGrid::Edited(int column, int row) const {
    const int index = CellIndex(column, row);
    return index >= 0 && edited_[static_cast<size_t>(index)];
}

void TextGrid::keyPressEvent(QKeyEvent* event) {
    // The user's key acts on what the last refresh wrote.
    ShowCells();
    const bool backspace = event->key() == Qt::Key_Backspace;
    const QString typed = event->text();
    const bool character =
        typed.size() == 1 && typed[0].isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!backspace && !character) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const int column = currentColumn();
    const int row = currentRow();
    QTableWidgetItem* cell = ItemAt(column, row);
    if (readOnly_ || !cell || !(cell->flags() & Qt::ItemIsEditable)) return;
    const bool fresh = column != typingColumn_ || row != typingRow_;
    QString text = fresh ? QString() : cell->text();
    QChar key = backspace ? QChar('\b') : typed[0];
    if (upperCase_) key = key.toUpper();
    if (keyFilter_ && !keyFilter_(column, row, key, text)) return;
    if (backspace)
        text.chop(1);
    else
        text += key;
    typingColumn_ = column;
    typingRow_ = row;
    cell->setText(text);
    edited_[static_cast<size_t>(CellIndex(column, row))] = true;
}

void TextGrid::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (event->isAutoRepeat()) return;
    emit KeyReleased(event->key(), event->modifiers());
}

void TextGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    typingColumn_ = typingRow_ = -1;
    QTableWidget::currentChanged(current, previous);
}

}  // namespace VantrelSIM
