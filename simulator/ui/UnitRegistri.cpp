#include "simulator/ui/UnitRegistri.h"

#include "simulator/Hc11.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"

#include <QVBoxLayout>

namespace VantrelSIM {

TFormRegistri* FormRegistri = nullptr;

namespace {
constexpr int RegisterCount = 64;
constexpr uint16_t RegisterBlock = 0x1000;
}  // namespace

TFormRegistri::TFormRegistri(QWidget* owner) : TToolWindow(owner, OnChipRegistersWindow) { FormCreate(); }

void TFormRegistri::FormCreate() {
    StringGrid1 = new TextGrid(1, RegisterCount, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->SetReadOnly(true);
    StringGrid1->SetCornerText(QStringLiteral(" REGISTER"));
    StringGrid1->SetColumnTitles({QStringLiteral("HEX")});
    for (int k = 0; k < RegisterCount; ++k) {
        const std::string_view name = RegisterName(k);
        StringGrid1->SetRowTitle(k, QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    StringGrid1->SetGeometry(70, {40}, 16, 16, true);
    StringGrid1->SetColumnAlignment(0, Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGrid1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormRegistri::RefreshView() {
    for (int k = 0; k < RegisterCount; ++k) StringGrid1->SetCell(0, k, CellLatin1(MemoryImage[RegisterBlock + k]));
}

}  // namespace VantrelSIM
