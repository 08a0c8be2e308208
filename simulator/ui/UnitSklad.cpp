#include "simulator/ui/UnitSklad.h"

#include "simulator/Hc11.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace VantrelSIM {

TFormSklad* FormSklad = nullptr;

namespace {
constexpr int RowHeight = 16;
// A refresh compares at most this many rows with what they showed.
constexpr int ComparedRows = 256;
}  // namespace

int TStackModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : depth_; }

int TStackModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant TStackModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= depth_) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role != Qt::DisplayRole) return {};
    // Row r (from 1) is SP + r, i.e. StackTop - depth + r.
    const auto address = static_cast<uint16_t>(top_ - depth_ + index.row() + 1);
    return QString::fromLatin1(MemoryImage[address].View());
}

QVariant TStackModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return QStringLiteral("HEX");
    // Four digits: the stack may sit anywhere in the 64 KiB image.
    const auto address = static_cast<uint16_t>(top_ - depth_ + section + 1);
    return QString::fromLatin1(ByteToHex(static_cast<uint8_t>(address >> 8)).View()) +
           QString::fromLatin1(ByteToHex(static_cast<uint8_t>(address)).View());
}

void TStackModel::Refresh() {
    const int depth = StackDepth < 1 ? 0 : StackDepth;
    const int top = StackTop;
    const auto first = static_cast<uint16_t>(top - depth + 1);
    if (depth != depth_) {
        beginResetModel();
        depth_ = depth;
        top_ = top;
        endResetModel();
        TakeShown(first);
        return;
    }
    const bool moved = top != top_;
    top_ = top;
    // Tell the view about the rows whose cells changed since the last
    // refresh, so that a run repaints only those. Rows past the compared
    // ones (a stack deeper than any program keeps) count as changed.
    int firstChanged = -1;
    int lastChanged = -1;
    const int compared = std::min(depth_, ComparedRows);
    for (int row = 0; row < compared; ++row) {
        if (moved || shown_[static_cast<size_t>(row)] != MemoryImage[static_cast<uint16_t>(first + row)]) {
            if (firstChanged < 0) firstChanged = row;
            lastChanged = row;
        }
    }
    if (depth_ > compared) {
        if (firstChanged < 0) firstChanged = compared;
        lastChanged = depth_ - 1;
    }
    TakeShown(first);
    if (firstChanged >= 0) emit dataChanged(index(firstChanged, 0), index(lastChanged, 0));
    if (moved && depth_ > 0) emit headerDataChanged(Qt::Vertical, 0, depth_ - 1);
}

void TStackModel::TakeShown(uint16_t first) {
    const int compared = std::min(depth_, ComparedRows);
    shown_.resize(static_cast<size_t>(compared));
    for (int row = 0; row < compared; ++row)
        shown_[static_cast<size_t>(row)] = MemoryImage[static_cast<uint16_t>(first + row)];
}

TFormSklad::TFormSklad(QWidget* owner) : TToolWindow(owner, StackWindow) { FormCreate(); }

void TFormSklad::FormCreate() {
    Stack = new TStackModel(this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(Stack);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QHeaderView* top = StringGrid1->horizontalHeader();
    QHeaderView* left = StringGrid1->verticalHeader();
    top->setSectionsClickable(false);
    left->setSectionsClickable(false);
    top->setMinimumSectionSize(8);
    left->setMinimumSectionSize(8);
    top->setSectionResizeMode(QHeaderView::Fixed);
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setDefaultSectionSize(RowHeight);
    left->setFixedWidth(70);
    top->setFixedHeight(RowHeight);
    top->resizeSection(0, 40);
    SetCornerText(StringGrid1, QStringLiteral(" NASLOV"));
    const int frame = 2 * StringGrid1->frameWidth();
    StringGrid1->setFixedSize(70 + 40 + StringGrid1->verticalScrollBar()->sizeHint().width() + frame,
                              RowHeight * 6 + frame);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGrid1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormSklad::RefreshView() { Stack->Refresh(); }

}  // namespace VantrelSIM
