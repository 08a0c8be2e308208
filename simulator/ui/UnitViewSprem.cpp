#include "simulator/ui/UnitViewSprem.h"

#include "gui/Guard.h"
#include "platform/text/TextFile.h"
#include "simulator/Hc11.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitCPUreg.h"
#include "simulator/ui/UnitOrodjeWatches.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>
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

// The bytes of a variable from `address` on; addresses past $FFFF wrap to
// $0000. False when a cell is not hex.
bool ReadVariableBytes(uint32_t address, std::span<uint8_t> bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const std::optional<uint32_t> byte = HexToInt(MemoryImage[static_cast<uint16_t>(address + i)].View());
        if (!byte) return false;
        bytes[i] = static_cast<uint8_t>(*byte);
    }
    return true;
}

}  // namespace

TFormViewSprem::TFormViewSprem(QWidget* owner) : TToolWindow(owner, UserVariablesWindow) { FormCreate(); }

void TFormViewSprem::FormCreate() {
    StringGSpremen = new TextGrid(3, Rows, this);
    StringGSpremen->setObjectName(QStringLiteral("StringGSpremen"));
    StringGSpremen->verticalHeader()->hide();
    StringGSpremen->SetColumnTitles(
        {QStringLiteral(" IME "), QStringLiteral("NASLOV"), QStringLiteral("VREDNOST SPREMENLJIVKE")});
    StringGSpremen->SetGeometry(0, {70, 50, 160}, 16, Rows, false);
    StringGSpremen->SetUpperCaseTyping(true);
    // Names as the editor takes them; the address column gets its hex filter,
    // so that a typed address cannot make every later refresh fail.
    StringGSpremen->SetKeyFilter([](int column, int, QChar key, const QString& text) {
        if (column == NameColumn) return key == QChar('\b') || text.size() < 8;
        if (column == AddressColumn) return IsHexKey(key) && (key == QChar('\b') || text.size() < 4);
        return false;
    });
    gui::ConnectGuarded(StringGSpremen, &QTableWidget::cellDoubleClicked, this,
                        &TFormViewSprem::StringGSpremenDblClick);
    for (int r = 1; r <= Rows; ++r) {
        StringGSpremen->SetCell(NameColumn, r - 1, WatchTable[static_cast<size_t>(r - 1)].Name);
        StringGSpremen->SetCell(AddressColumn, r - 1, WatchTable[static_cast<size_t>(r - 1)].Address);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGSpremen);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TFormViewSprem::BytesToText(std::string_view bytes) {
    // The program's own text is in the Windows code page of its sources.
    return QString::fromStdString(Windows1250ToUtf8(bytes));
}

bool TFormViewSprem::RefreshRow(int row) {
    const QString addressText = StringGSpremen->Cell(AddressColumn, row - 1);
    if (addressText.isEmpty()) return true;
    const TWatchRecord& watch = WatchTable[static_cast<size_t>(row - 1)];
    QChar& sign = WatchSign[static_cast<size_t>(row - 1)];
    sign = QChar('+');
    // An address has at most four digits: the image is 64 KiB.
    const std::optional<uint32_t> address = addressText.size() <= 4 ? HexToInt(addressText) : std::nullopt;
    std::array<uint8_t, 3> buffer{};
    const std::span<uint8_t> bytes(buffer.data(), watch.Size <= 2 ? watch.Size + 1u : 3u);
    if (!address || !ReadVariableBytes(*address, bytes)) {
        ShowConversionError(this);
        return false;
    }
    TShownValue& shown = shown_[static_cast<size_t>(row - 1)];
    const bool isSigned = watch.Signed == 1;
    if (shown.Count == bytes.size() && std::equal(bytes.begin(), bytes.end(), shown.Bytes.begin()) &&
        shown.Format == watch.Format && shown.Signed == isSigned &&
        StringGSpremen->Cell(ValueColumn, row - 1) == shown.Text) {
        sign = shown.Sign;
        return true;
    }
    const TWatchValue value = FormatWatchValue(bytes, watch.Format, isSigned);
    sign = QChar(value.Sign);
    StringGSpremen->SetCell(ValueColumn, row - 1, BytesToText(value.Text));
    shown = {buffer, bytes.size(), watch.Format, isSigned, sign, StringGSpremen->Cell(ValueColumn, row - 1)};
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
