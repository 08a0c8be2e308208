#include "simulator/ui/UnitViewSprem.h"

#include "gui/Guard.h"
#include "platform/text/TextFile.h"
#include "simulator/Hc11.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitCPUreg.h"
#include "simulator/ui/UnitOrodjeWatches.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QVBoxLayout>

#include <optional>
#include <string>

namespace VantrelSIM {

TFormViewSprem* FormViewSprem = nullptr;
std::array<TWatchRecord, 10> WatchTable;
std::array<QChar, 10> WatchSign;
int WatchRow = 1;

namespace {

constexpr int Rows = 10;
constexpr int NameColumn = 0;
constexpr int AddressColumn = 1;
constexpr int ValueColumn = 2;

// The byte of a variable; addresses past $FFFF wrap to $0000.
std::optional<uint32_t> ReadVariableByte(uint32_t address) {
    return HexToInt(MemoryImage[static_cast<uint16_t>(address)].View());
}

}  // namespace

TFormViewSprem::TFormViewSprem(QWidget* owner) : TToolWindow(owner, UserVariablesWindow) {
    FormCreate();
}

void TFormViewSprem::FormCreate() {
    StringGSpremen = new TextGrid(3, Rows, this);
    StringGSpremen->setObjectName(QStringLiteral("StringGSpremen"));
    StringGSpremen->verticalHeader()->hide();
    StringGSpremen->SetColumnTitles({QStringLiteral(" IME "), QStringLiteral("NASLOV"),
                                     QStringLiteral("VREDNOST SPREMENLJIVKE")});
    StringGSpremen->SetGeometry(0, {70, 50, 160}, 16, Rows, false);
    StringGSpremen->SetUpperCaseTyping(true);
    // Names as the editor takes them; the address column gets its hex filter,
    // so that a typed address cannot make every later refresh fail.
    StringGSpremen->SetKeyFilter([](int column, int, QChar key, const QString& text) {
        if (column == NameColumn) return key == QChar('\b') || text.size() < 8;
        if (column == AddressColumn) return IsHexKey(key) && (key == QChar('\b') || text.size() < 4);
        return false;
    });
    gui::ConnectGuarded(StringGSpremen, &QTableWidget::cellDoubleClicked, this, &TFormViewSprem::StringGSpremenDblClick);
    for (int r = 1; r <= Rows; ++r) {
        StringGSpremen->SetCell(NameColumn, r - 1, WatchTable[static_cast<size_t>(r - 1)].Name);
        StringGSpremen->SetCell(AddressColumn, r - 1, WatchTable[static_cast<size_t>(r - 1)].Address);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGSpremen);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TFormViewSprem::IntToHexDigits(uint32_t value, int size) {
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    for (int i = (size + 1) * 2 - 1; i >= 0; --i) text += QChar(digits[value >> (4 * i) & 0xF]);
    return text;
}

QString TFormViewSprem::IntToBinDigits(uint32_t value, int size) {
    QString text;
    for (int i = (size + 1) * 8 - 1; i >= 0; --i) text += value >> i & 1 ? QChar('1') : QChar('0');
    return text;
}

bool TFormViewSprem::BytesToText(uint32_t address, int size, QString& text) {
    std::string bytes;
    for (int i = 0; i <= size; ++i) {
        const std::optional<uint32_t> byte = ReadVariableByte(address + static_cast<uint32_t>(i));
        if (!byte) {
            ShowConversionError(this);
            return false;
        }
        bytes += static_cast<char>(*byte);
    }
    // The program's own text is in the Windows code page of its sources.
    text = QString::fromStdString(Windows1250ToUtf8(bytes));
    return true;
}

bool TFormViewSprem::RefreshRow(int row) {
    const QString addressText = StringGSpremen->Cell(AddressColumn, row - 1);
    if (addressText.isEmpty()) return true;
    TWatchRecord& watch = WatchTable[static_cast<size_t>(row - 1)];
    QChar& sign = WatchSign[static_cast<size_t>(row - 1)];
    sign = QChar('+');
    const int size = watch.Size <= 2 ? watch.Size : 2;
    const int count = size + 1;
    // An address has at most four digits: the image is 64 KiB.
    const std::optional<uint32_t> address = addressText.size() <= 4 ? HexToInt(addressText) : std::nullopt;
    if (!address) {
        ShowConversionError(this);
        return false;
    }
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const std::optional<uint32_t> byte = ReadVariableByte(*address + static_cast<uint32_t>(i));
        if (!byte) {
            ShowConversionError(this);
            return false;
        }
        value = value * 256 + *byte;
    }
    const uint32_t signBit = 1u << (8 * count - 1);
    if (watch.Signed == 1 && (value & signBit)) {
        sign = QChar('-');
        value = (1u << (8 * count)) - value;
    }
    QString text;
    switch (watch.Format) {
        case 0: text = QChar('$') + IntToHexDigits(value, size); break;
        case 1: text = QChar('%') + IntToBinDigits(value, size); break;
        case 2: text = sign + QString::number(value); break;
        default: {
            QString bytes;
            if (!BytesToText(*address, size, bytes)) return false;
            text = QStringLiteral(" \" ") + bytes + QStringLiteral(" \" ");
            break;
        }
    }
    StringGSpremen->SetCell(ValueColumn, row - 1, text);
    return true;
}

void TFormViewSprem::RefreshView() {
    // One bad row stops the refresh: one message per refresh.
    for (int row = 1; row <= Rows; ++row)
        if (!RefreshRow(row)) return;
}

void TFormViewSprem::StringGSpremenDblClick() {
    const int row = StringGSpremen->currentRow() + 1;
    if (row < 1 || row > Rows || !FormOrodjeWatches) return;
    WatchRow = row;
    const TWatchRecord& watch = WatchTable[static_cast<size_t>(row - 1)];
    FormOrodjeWatches->Edit(StringGSpremen->Cell(NameColumn, row - 1), StringGSpremen->Cell(AddressColumn, row - 1),
                            watch);
    gui::ExecModal(*FormOrodjeWatches);
}

}  // namespace VantrelSIM
