#include "simulator/ui/UnitResetVekt.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace VantrelSIM {

TFormResetVek* FormResetVek = nullptr;

TFormResetVek::TFormResetVek(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    FormResetVek = this;
    setWindowTitle(QStringLiteral("Reset vektor"));
    ListBox1 = new QListWidget(this);
    ListBox1->addItems({QStringLiteral("RAM        ($0000)"), QStringLiteral("EEPROM ($B600)")});
    BitBtnok = new QPushButton(QStringLiteral("OK"), this);
    BitBtnok->setDefault(true);
    connect(BitBtnok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1);
    layout->addWidget(BitBtnok, 0, Qt::AlignHCenter);
    FormCreate();
    setFixedSize(240, 150);
}

TFormResetVek::~TFormResetVek() {
    if (FormResetVek == this) FormResetVek = nullptr;
}

void TFormResetVek::FormCreate() { ListBox1->setCurrentRow(0); }

}  // namespace VantrelSIM
