#include "simulator/ui/UnitNaslovi.h"

#include "gui/Guard.h"
#include "simulator/Hc11.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"

#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace VantrelSIM {

TFormNaslovi* FormNaslovi = nullptr;
TMemoryArea MemoryArea;

namespace {

constexpr int Columns = 16;
constexpr int Rows = 32;

QString RamLabels() {
    QString labels;
    for (int row = 0; row < Rows; ++row) labels += QStringLiteral(" %1").arg(row, 2, 16, QChar('0')).toUpper();
    return labels;
}

QString EepromLabels() {
    QString labels;
    for (int row = 0; row < Rows; ++row) labels += QString::number(0xB60 + row, 16).toUpper();
    return labels;
}

// The areas of the tabs RAM, EEPROM and REGISTRI, labels made once.
const TMemoryArea Areas[] = {
    {RamLabels(), 0x0000, 0x00FF},
    {EepromLabels(), 0xB600, 0xB7FF},
    {QStringLiteral("100101102103"), 0x1000, 0x103F},
};

const TMemoryArea& AreaOfTab(int tab) { return tab == 1 || tab == 2 ? Areas[tab] : Areas[0]; }

}  // namespace

TFormNaslovi::TFormNaslovi(QWidget* owner) : TToolWindow(owner, MemoryWindow) { FormCreate(); }

void TFormNaslovi::FormCreate() {
    TabControl1 = new QTabBar(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setDrawBase(true);
    for (const char* tab : {"RAM", "EEPROM", "REGISTRI"}) TabControl1->addTab(QString::fromLatin1(tab));
    gui::ConnectGuarded(TabControl1, &QTabBar::currentChanged, this, &TFormNaslovi::TabControl1Change);

    StringGrid = new TextGrid(Columns, Rows, this);
    StringGrid->setObjectName(QStringLiteral("StringGrid"));
    StringGrid->SetCornerText(QStringLiteral("Z\\S"));
    QStringList titles;
    const QString series = QStringLiteral(" 0 1 2 3 4 5 6 7 8 9 A B C D E F");
    for (int c = 0; c < Columns; ++c) titles << series.mid(c * 2, 2);
    StringGrid->SetColumnTitles(titles);
    StringGrid->SetGeometry(32, QList<int>(Columns, 24), 16, 8, true);
    for (int c = 0; c < Columns; ++c) StringGrid->SetColumnAlignment(c, Qt::AlignCenter);
    StringGrid->SetKeyFilter([this](int column, int row, QChar key, const QString& text) {
        // Rows past the area show no memory and take no typing.
        if (MemoryArea.First + row * Columns + column > MemoryArea.Last) return false;
        return StringGridKeyPress(key, text);
    });
    gui::ConnectGuarded(StringGrid, &TextGrid::KeyReleased, this, &TFormNaslovi::StringGridKeyUp);
    MemoryArea = AreaOfTab(0);
    for (int row = 0; row < Rows; ++row) StringGrid->SetRowTitle(row, MemoryArea.Labels.mid(row * 3, 3));
    labelledArea_ = &AreaOfTab(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(TabControl1);
    layout->addWidget(StringGrid);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormNaslovi::ClearCells() {
    for (int row = 0; row < Rows; ++row)
        for (int c = 0; c < Columns; ++c) StringGrid->SetCell(c, row, QStringLiteral("  "));
}

void TFormNaslovi::RefreshView() {
    const TMemoryArea& area = AreaOfTab(TabControl1->currentIndex());
    MemoryArea = area;
    // The labels change with the area only; only this function writes them.
    if (labelledArea_ != &area) {
        for (int row = 0; row < Rows; ++row) StringGrid->SetRowTitle(row, area.Labels.mid(row * 3, 3));
        labelledArea_ = &area;
    }
    const auto first = MemoryImage.begin() + area.First;
    const auto last = MemoryImage.begin() + area.Last + 1;
    // Nothing to write when the grid is as this refresh left it and the
    // area's cells are as they were then.
    if (writtenArea_ == &area && writtenGeneration_ == StringGrid->Generation() &&
        std::equal(first, last, written_.begin()))
        return;
    for (int a = area.First; a <= area.Last; ++a) {
        const int offset = a - area.First;
        StringGrid->SetCell(offset % Columns, offset / Columns, CellLatin1(MemoryImage[a]));
    }
    written_.assign(first, last);
    writtenArea_ = &area;
    writtenGeneration_ = StringGrid->Generation();
}

void TFormNaslovi::TabControl1Change() {
    ClearCells();
    RefreshView();
}

bool TFormNaslovi::StringGridKeyPress(QChar key, const QString& text) const {
    if (text.size() < 2 || key == QChar('\b')) return IsHexKey(key);
    return false;
}

void TFormNaslovi::StringGridKeyUp(int key, Qt::KeyboardModifiers modifiers) {
    const int column = StringGrid->currentColumn();
    const int row = StringGrid->currentRow();
    if (column < 0 || row < 0) return;
    const bool clear = key == Qt::Key_Delete && (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
    const int address = MemoryArea.First + row * Columns + column;
    // Rows past the area show no memory: a key release there stores nothing.
    if (address > MemoryArea.Last) return;
    if (clear) {
        StringGrid->SetCell(column, row, QStringLiteral("00"));
    } else if (!StringGrid->Edited(column, row)) {
        // Navigation onto a cell the user has not typed into: its text is
        // the cell's own since the last refresh, or stale; never store it.
        return;
    }
    const QString text = StringGrid->Cell(column, row).toUpper().rightJustified(2, QChar('0'));
    WriteCell(static_cast<uint16_t>(address), text.left(2).toStdString());
}

void TFormNaslovi::FormActivate() {
    ClearCells();
    RefreshView();
}

}  // namespace VantrelSIM
