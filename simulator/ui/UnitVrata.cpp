#include "simulator/ui/UnitVrata.h"

#include "gui/Guard.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"  // Main.h holds a QPointer to the listing window
#include "simulator/ui/Main.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitCPUreg.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <optional>

namespace VantrelSIM {

TFormVrata* FormVrata = nullptr;
uint16_t PortAddress = 0;
uint32_t PortValue = 0;
uint32_t PortOutputMask = 0;

namespace {

using namespace RegisterAddress;

// A register cell as a number; shows the conversion error when it is not hex.
std::optional<uint32_t> ReadCell(QWidget* parent, uint16_t address) {
    std::optional<uint32_t> value = HexToInt(MemoryImage[address].View());
    if (!value) ShowConversionError(parent);
    return value;
}

// Bit 0 is SpeedButton8, bit 7 SpeedButton1.
int BitOfButton(int n) { return 8 - n; }

}  // namespace

TFormVrata::TFormVrata(QWidget* owner) : TToolWindow(owner, PortsWindow) { FormCreate(); }

void TFormVrata::FormCreate() {
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems(
        {QStringLiteral("PORTA"), QStringLiteral("PORTB"), QStringLiteral("PORTC"), QStringLiteral("PORTD")});
    ListBox1->setFixedSize(70, 4 * 16 + 2 * ListBox1->frameWidth() + 4);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setCurrentRow(0);
    gui::ConnectGuarded(ListBox1, &QListWidget::currentRowChanged, this, &TFormVrata::ListBox1Click);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setEnabled(false);
    Edit1->setMaxLength(3);
    Edit1->setAlignment(Qt::AlignRight);
    QFont valueFont(QStringLiteral("DejaVu Sans Mono"));
    valueFont.setPixelSize(14);
    valueFont.setBold(true);
    Edit1->setFont(valueFont);
    QPalette red = Edit1->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        red.setColor(group, QPalette::Text, Qt::red);
    Edit1->setPalette(red);
    Edit1->setFixedWidth(48);

    auto* bits = new QGridLayout;
    bits->setHorizontalSpacing(2);
    bits->setVerticalSpacing(2);
    for (int n = 1; n <= 8; ++n) {
        auto* label = new QLabel(QStringLiteral("b%1").arg(BitOfButton(n)), this);
        label->setAlignment(Qt::AlignCenter);
        bits->addWidget(label, 0, n - 1);
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(n));
        button->setCheckable(true);
        button->setText(QStringLiteral("0"));
        button->setFixedSize(22, 22);
        gui::ConnectGuarded(button, &QToolButton::clicked, this, [this, n] { TipkaClick(n); });
        SpeedButtons[static_cast<size_t>(n - 1)] = button;
        bits->addWidget(button, 1, n - 1);
    }

    auto* value = new QHBoxLayout;
    value->addWidget(Edit1);
    value->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(value);
    right->addLayout(bits);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(8);
    layout->addWidget(ListBox1, 0, Qt::AlignTop);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    PortAddress = PORTA;
    const std::optional<uint32_t> pactl = HexToInt(MemoryImage[PACTL].View());
    PortOutputMask = 0x78 | (pactl && (*pactl & 0x80) ? 0x80 : 0x00);
}

bool TFormVrata::SelectPort() {
    switch (ListBox1->currentRow()) {
        case 1:
            PortAddress = PORTB;
            PortOutputMask = 0xFF;
            return true;
        case 2: {
            PortAddress = PORTC;
            const std::optional<uint32_t> ddrc = ReadCell(this, DDRC);
            if (ddrc) PortOutputMask = *ddrc;
            return ddrc.has_value();
        }
        case 3: {
            PortAddress = PORTD;
            const std::optional<uint32_t> ddrd = ReadCell(this, DDRD);
            if (ddrd) PortOutputMask = *ddrd;
            return ddrd.has_value();
        }
        default: {
            PortAddress = PORTA;
            const std::optional<uint32_t> pactl = ReadCell(this, PACTL);
            if (pactl) PortOutputMask = 0x78 | (*pactl & 0x80);
            return pactl.has_value();
        }
    }
}

void TFormVrata::RefreshView() {
    if (!SelectPort()) return;
    const std::optional<uint32_t> value = ReadCell(this, PortAddress);
    if (!value) return;
    PortValue = *value;
    ShowValue(PortValue);
    EnableInputBits(PortOutputMask);
}

void TFormVrata::ListBox1Click() { RefreshView(); }

void TFormVrata::ShowValue(uint32_t value) {
    // Only this function writes the value box and the captions.
    if (value == shownValue_) return;
    shownValue_ = value;
    Edit1->setText(QStringLiteral("%1").arg(value, 3));
    for (int n = 1; n <= 8; ++n)
        SpeedButtons[static_cast<size_t>(n - 1)]->setText(value >> BitOfButton(n) & 1 ? QStringLiteral("1")
                                                                                      : QStringLiteral("0"));
}

void TFormVrata::EnableInputBits(uint32_t mask) {
    for (int n = 1; n <= 8; ++n) SpeedButtons[static_cast<size_t>(n - 1)]->setEnabled(!(mask >> BitOfButton(n) & 1));
}

void TFormVrata::WritePort() {
    const uint32_t value = Edit1->text().trimmed().toUInt();
    StoreByte(PortAddress, static_cast<uint8_t>(value));
}

bool TFormVrata::DetectInputEdge(uint32_t mask, bool pressed) {
    const auto pin = static_cast<uint8_t>(mask);
    const std::optional<uint32_t> porta = ReadCell(this, PORTA);
    if (!porta) return false;
    const std::optional<uint32_t> selection = ReadCell(this, PinEdgeSelectRegister(pin));
    if (!selection) return false;
    PinEdgeFlag(pin) = IsSelectedPinEdge(pin, (*porta & mask) != 0, pressed, static_cast<uint8_t>(*selection));
    return true;
}

void TFormVrata::TipkaClick(int n) {
    const int bit = BitOfButton(n);
    const uint32_t mask = 1u << bit;
    const bool pressed = SpeedButtons[static_cast<size_t>(n - 1)]->isChecked();
    if (PortAddress == PORTA && (bit == 7 || bit <= 2) && !DetectInputEdge(mask, pressed)) return;
    // The cell as it is now: the program or another window may have changed
    // other bits since the last refresh, and only bit `bit` is the user's.
    const std::optional<uint32_t> current = ReadCell(this, PortAddress);
    if (!current) return;
    PortValue = pressed ? (*current | mask) : (*current & ~mask);
    ShowValue(PortValue);
    WritePort();
}

void TFormVrata::closeEvent(QCloseEvent* event) {
    if (MainForm) MainForm->ToolWindowItem(PortsWindow)->setChecked(false);
    TToolWindow::closeEvent(event);
}

}  // namespace VantrelSIM
