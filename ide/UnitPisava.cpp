#include "ide/UnitPisava.h"

#include "gui/Guard.h"
#include "gui/StandardDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Vantrel {

TFormPisava::TFormPisava(gui::TFontDialog& fontDialog, QWidget* parent) : QDialog(parent), fontDialog_(fontDialog) {
    setWindowTitle(QStringLiteral("Nastavitve"));

    GroupBUrejevalnika = new QGroupBox(QStringLiteral("Pisava urejevalnika"));
    Label4 = new QLabel;
    Label6 = new QLabel;
    Button1 = new QPushButton(QStringLiteral("Spremeni "));
    connect(Button1, &QPushButton::clicked, this, [this] { gui::Guarded(this, [this] { Button1Click(); }); });
    auto* fontForm = new QFormLayout;
    fontForm->addRow(QStringLiteral("Ime:"), Label4);
    fontForm->addRow(QStringLiteral("Velikost:"), Label6);
    auto* fontLayout = new QHBoxLayout(GroupBUrejevalnika);
    fontLayout->addLayout(fontForm, 1);
    fontLayout->addWidget(Button1, 0, Qt::AlignBottom);

    GroupBSerijska = new QGroupBox(QStringLiteral("Serijska vrata"));
    ComboBox2 = new QComboBox;
    ComboBox2->setMinimumWidth(100);
    ListBox1 = new QListWidget;
    ListBox1->addItem(QStringLiteral("1200 bps"));
    ListBox1->setEnabled(false);
    ListBox1->setFixedHeight(ListBox1->sizeHintForRow(0) + 2 * ListBox1->frameWidth() + 2);
    auto* portForm = new QFormLayout(GroupBSerijska);
    portForm->addRow(QStringLiteral("Vrata:"), ComboBox2);
    portForm->addRow(QStringLiteral("Hitrost:"), ListBox1);

    GroupBOpcije = new QGroupBox(QStringLiteral("Opcije"));
    CheckBTipMK = new QCheckBox(QStringLiteral("Dodajanje tipov mikrokrmilnikov"));
    CheckBBrisiEE = new QCheckBox(QStringLiteral("Omogoči brisanje EEproma"));
    auto* options = new QVBoxLayout(GroupBOpcije);
    options->addWidget(CheckBTipMK);
    options->addWidget(CheckBBrisiEE);

    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(GroupBUrejevalnika);
    pageLayout->addWidget(GroupBSerijska);
    pageLayout->addWidget(GroupBOpcije);
    pageLayout->addStretch();
    PageControl1 = new QTabWidget;
    PageControl1->addTab(page, QStringLiteral("Glavne "));

    BitBtnOK = new QPushButton(QStringLiteral("OK"));
    BitBtnOK->setDefault(true);
    BitBtnPreklic = new QPushButton(QStringLiteral("PREKLIC"));
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnPreklic, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOK);
    buttons->addWidget(BitBtnPreklic);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    resize(360, 0);
}

void TFormPisava::ShowFont(const QFont& font) { gui::ShowFontLabels(Label4, Label6, font); }

void TFormPisava::FormShow() { ShowFont(fontDialog_.SelectedFont()); }

void TFormPisava::Button1Click() {
    // The choice is taken by the font dialog itself; its result is not used.
    fontDialog_.Execute();
}

void TFormPisava::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    gui::Guarded(this, [this] { FormShow(); });
}

}  // namespace Vantrel
