#include "simulator/ui/UnitCPUreg.h"

#include "gui/Guard.h"
#include "simulator/Hc11.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace VantrelSIM {

TFormCPUreg* FormCPUreg = nullptr;

namespace {

// Three characters a row label, rows 1 to 7.
const QString RowLabels = QStringLiteral("  A  B IX IY PC SPCCR");

int DigitsOfRow(int row) { return row == RowA || row == RowB || row == RowCCR ? 2 : 4; }

}  // namespace

std::optional<uint32_t> HexToInt(QStringView text) {
    std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
    return ::HexToInt(units);
}

TFormCPUreg::TFormCPUreg(QWidget* owner) : TToolWindow(owner, CpuRegistersWindow) { FormCreate(); }

void TFormCPUreg::FormCreate() {
    createGrid();
    createFlags();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(8);
    layout->addWidget(StringGCPUreg);
    auto* flags = new QWidget(this);
    auto* flagLayout = new QGridLayout(flags);
    flagLayout->setContentsMargins(0, 0, 0, 0);
    flagLayout->setHorizontalSpacing(2);
    flagLayout->setVerticalSpacing(0);
    flagLayout->addWidget(new QLabel(QStringLiteral("ZASTAVICE:"), flags), 0, 0, 1, 8);
    const QString names = QStringLiteral("SXHINZVC");
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(names.mid(i, 1), flags);
        label->setAlignment(Qt::AlignCenter);
        flagLayout->addWidget(label, 1, i);
        flagLayout->addWidget(CheckBoxes[static_cast<size_t>(i)], 2, i, Qt::AlignCenter);
    }
    layout->addWidget(flags);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormCPUreg::createGrid() {
    StringGCPUreg = new TextGrid(1, 7, this);
    StringGCPUreg->setObjectName(QStringLiteral("StringGCPUreg"));
    StringGCPUreg->SetCornerText(QStringLiteral(" REGISTER"));
    StringGCPUreg->SetColumnTitles({QStringLiteral("HEX")});
    for (int row = RowA; row <= RowCCR; ++row) StringGCPUreg->SetRowTitle(row - 1, RowLabels.mid((row - 1) * 3, 3));
    StringGCPUreg->SetGeometry(80, {40}, 16, 7, false);
    StringGCPUreg->SetColumnAlignment(0, Qt::AlignCenter);
    StringGCPUreg->SetKeyFilter(
        [this](int, int row, QChar key, const QString& text) { return StringGCPUregKeyPress(row + 1, key, text); });
    gui::ConnectGuarded(StringGCPUreg, &TextGrid::KeyReleased, this, &TFormCPUreg::StringGCPUregKeyUp);
}

void TFormCPUreg::createFlags() {
    for (size_t i = 0; i < CheckBoxes.size(); ++i) {
        CheckBoxes[i] = new QCheckBox(this);
        CheckBoxes[i]->setEnabled(false);
    }
    const char* names[] = {"CheckBCCRS", "CheckBCCRX", "CheckBCCRH", "CheckBCCRI",
                           "CheckBCCRN", "CheckBCCRZ", "CheckBCCRV", "CheckBCCRC"};
    for (size_t i = 0; i < CheckBoxes.size(); ++i) CheckBoxes[i]->setObjectName(QString::fromLatin1(names[i]));
    ShowFlags(0xC0);
}

QString TFormCPUreg::RowText(int row) const { return StringGCPUreg->Cell(0, row - 1); }

void TFormCPUreg::ShowRegister(int row, uint32_t value, int digits) {
    char text[4];
    qsizetype length = 0;
    for (int shift = digits == 4 ? 8 : 0; shift >= 0; shift -= 8) {
        const TMemoryCell hex = ByteToHex(static_cast<uint8_t>(value >> shift));
        text[length++] = hex.Text[0];
        text[length++] = hex.Text[1];
    }
    StringGCPUreg->SetCell(0, row - 1, QLatin1StringView(text, length));
}

void TFormCPUreg::RefreshView() {
    ShowRegister(RowA, CpuRegs.A, 2);
    ShowRegister(RowB, CpuRegs.B, 2);
    ShowRegister(RowIX, CpuRegs.IX, 4);
    ShowRegister(RowIY, CpuRegs.IY, 4);
    ShowRegister(RowSP, CpuRegs.SP, 4);
    ShowRegister(RowPC, CpuRegs.PC, 4);
    ShowRegister(RowCCR, CpuRegs.CCR, 2);
    ShowFlags(CpuRegs.CCR);
}

void TFormCPUreg::ShowFlags(uint32_t value) {
    // CheckBoxes runs S..C, bit 7..bit 0.
    for (int bit = 0; bit < 8; ++bit) CheckBoxes[static_cast<size_t>(7 - bit)]->setChecked(value >> bit & 1);
}

bool TFormCPUreg::StringGCPUregKeyPress(int row, QChar key, const QString& text) const {
    if (!IsHexKey(key)) return false;
    return key == QChar('\b') || text.size() < DigitsOfRow(row);
}

void TFormCPUreg::StringGCPUregKeyUp() {
    const int row = StringGCPUreg->currentRow() + 1;
    // A row not typed into since the last refresh may show a value that the
    // model has since changed (run from the cursor refreshes nothing), so
    // storing it back could only undo that change.
    if (row >= RowA && row <= RowCCR && StringGCPUreg->Edited(0, row - 1)) {
        const std::optional<uint32_t> value = HexToInt(RowText(row));
        if (!value) {
            // One box; the cell shows the register again, so the next key
            // release does not repeat it.
            RefreshView();
            ShowConversionError(this);
            return;
        }
        switch (row) {
            case RowA: CpuRegs.A = static_cast<uint8_t>(*value); break;
            case RowB: CpuRegs.B = static_cast<uint8_t>(*value); break;
            case RowIX: CpuRegs.IX = static_cast<uint16_t>(*value); break;
            case RowIY: CpuRegs.IY = static_cast<uint16_t>(*value); break;
            case RowPC: CpuRegs.PC = static_cast<uint16_t>(*value); break;
            case RowSP: CpuRegs.SP = static_cast<uint16_t>(*value); break;
            case RowCCR:
                ShowFlags(*value);
                UnpackCcr(static_cast<uint8_t>(*value));
                break;
        }
    }
    SyncDFromAB();
}

}  // namespace VantrelSIM
