#include "ide/Unit3.h"

#include "gui/Dialogs.h"
#include "gui/Guard.h"
#include "ide/ChipTable.h"
#include "ide/Globals.h"
#include "platform/help/HelpApi.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace Vantrel {

namespace {

QString Decimal(int value) { return QString::number(value); }

bool HoldsPositiveNumber(const QLineEdit* edit) {
    const std::optional<int> size = SizeFromText(edit->text().toStdString());
    return size && *size >= 1;
}

}  // namespace

TForNastavProg::TForNastavProg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Izbira ciljnega mikrokrmilnika"));

    GroupBMikro = new QGroupBox(QStringLiteral("Mikrokontroler"), this);
    ComboBox1 = new QComboBox(GroupBMikro);
    ComboBox1->setEditable(true);
    // A typed name enters the list only through "Dodaj ".
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(150);
    ComboBox1->lineEdit()->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("Dodaj "), GroupBMikro);
    Button1->setAutoDefault(false);

    GroupBProg = new QGroupBox(QStringLiteral("Programiranje"), GroupBMikro);
    RadioBRAM = new QRadioButton(QStringLiteral("Vgrajenega RAM-a"), GroupBProg);
    RadioBRAM->setChecked(true);
    RadioBEEPROM = new QRadioButton(QStringLiteral("Vgrajenega EEPROM-a"), GroupBProg);
    RadioBEEPROM->setToolTip(QStringLiteral("Programiramo vgrajeni EEPROM pomnilnik"));
    EditKapacRam = new QLineEdit(GroupBProg);
    EditKapacEE = new QLineEdit(GroupBProg);
    for (QLineEdit* edit : {EditKapacRam, EditKapacEE}) {
        edit->setFixedWidth(70);
        edit->setAlignment(Qt::AlignRight);
        edit->installEventFilter(this);
    }
    auto* programming = new QGridLayout(GroupBProg);
    programming->addWidget(RadioBRAM, 0, 0);
    programming->addWidget(EditKapacRam, 0, 1);
    programming->addWidget(new QLabel(QStringLiteral("B"), GroupBProg), 0, 2);
    programming->addWidget(RadioBEEPROM, 1, 0);
    programming->addWidget(EditKapacEE, 1, 1);
    programming->addWidget(new QLabel(QStringLiteral("B"), GroupBProg), 1, 2);
    programming->setColumnStretch(0, 1);

    auto* chip = new QHBoxLayout;
    chip->addWidget(ComboBox1, 1);
    chip->addWidget(Button1);
    auto* mikro = new QVBoxLayout(GroupBMikro);
    mikro->addLayout(chip);
    mikro->addWidget(GroupBProg);

    BitBtnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtnOK->setDefault(true);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("PREKLIC"), this);
    BitBtn1->setAutoDefault(false);
    BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&POMOČ"), this);
    BitBtn3->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOK);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBMikro);
    layout->addLayout(buttons);

    gui::ConnectGuarded(ComboBox1, &QComboBox::currentTextChanged, this, &TForNastavProg::ComboBox1Change);
    gui::ConnectGuarded(Button1, &QPushButton::clicked, this, &TForNastavProg::Button1Click);
    gui::ConnectGuarded(EditKapacRam, &QLineEdit::textChanged, this, &TForNastavProg::EditKapacRamChange);
    gui::ConnectGuarded(EditKapacEE, &QLineEdit::textChanged, this, &TForNastavProg::EditKapacEEChange);
    gui::ConnectGuarded(BitBtn3, &QPushButton::clicked, this, &TForNastavProg::BitBtn3Click);
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    auto* contextKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(contextKey, &QShortcut::activated, this, [this] {
        if (ShowHelp) gui::Guarded(this, [this] { ShowHelp(help::HELP_CONTEXT, HelpContext); });
    });

    FormCreate();
    setFixedSize(sizeHint());
}

void TForNastavProg::FormCreate() {
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->clear();
        for (int slot = 0; slot < ChipCount && slot < ChipSlots; ++slot)
            ComboBox1->addItem(QString::fromStdString(ChipNames[slot]));
        ComboBox1->setCurrentIndex(0);
    }
    ShowSizes(ChipRamSize[0], ChipEESize[0]);
}

void TForNastavProg::SelectQuietly(int index) {
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setCurrentIndex(index);
}

void TForNastavProg::ShowSizes(int ram, int eeprom) {
    EditKapacEE->setText(Decimal(eeprom));
    EditKapacRam->setText(Decimal(ram));
}

void TForNastavProg::ComboBox1Change() {
    const int slot = FindChipSlot(ComboBox1->currentText().toStdString(), true);
    if (slot < 0) {
        EditKapacEE->setText(QStringLiteral("0"));
        EditKapacRam->setText(QStringLiteral("0"));
        return;
    }
    ShowSizes(ChipRamSize[slot], ChipEESize[slot]);
}

void TForNastavProg::Button1Click() {
    const QString name = ComboBox1->currentText();
    std::string error;
    switch (
        AddChip(name.toStdString(), EditKapacRam->text().toStdString(), EditKapacEE->text().toStdString(), &error)) {
        case TAddChip::Added: {
            const QSignalBlocker quiet(ComboBox1);
            ComboBox1->addItem(name);
            ComboBox1->setCurrentIndex(ComboBox1->count() - 1);
            break;
        }
        case TAddChip::Known:
        case TAddChip::NotHc11: break;
        case TAddChip::TableFull:
            gui::ShowBox(this, TBoxKind::Warning,
                         QStringLiteral("Tabela je polna: dodati je mogoče največ %1 tipov mikrokrmilnikov!")
                             .arg(ChipSlots - BuiltInChips));
            break;
        case TAddChip::BadSize: gui::ShowApplicationError(this, QString::fromStdString(error)); break;
    }
}

void TForNastavProg::ComboBox1DblClick() {
    const int index = ComboBox1->currentIndex();
    // The entry the list shows, not one whose text was typed over.
    if (index < 0 || ComboBox1->itemText(index) != ComboBox1->currentText()) return;
    if (!DeleteChip(index)) return;
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->removeItem(index);
    ComboBox1->setCurrentIndex(1);
    ShowSizes(ChipRamSize[1], ChipEESize[1]);
}

void TForNastavProg::EditKapacRamChange() { RadioBRAM->setEnabled(HoldsPositiveNumber(EditKapacRam)); }

void TForNastavProg::EditKapacEEChange() {
    const bool eeprom = HoldsPositiveNumber(EditKapacEE);
    RadioBEEPROM->setEnabled(eeprom);
    // A disabled button keeps its check: without EEPROM only RAM can be programmed.
    if (!eeprom) RadioBRAM->setChecked(true);
}

void TForNastavProg::BitBtn3Click() {
    // The contents, as the button always asked for, whatever the number.
    if (ShowHelp) ShowHelp(help::HELP_CONTENTS, HelpContext);
}

bool TForNastavProg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ComboBox1->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        gui::Guarded(this, [this] { ComboBox1DblClick(); });
        return false;
    }
    if ((watched == EditKapacRam || watched == EditKapacEE) && event->type() == QEvent::KeyPress) {
        // Of the typed characters only digits pass. Keys that type nothing
        // (Backspace, Delete, arrows, Tab, Enter, shortcuts) act as usual.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text[0].isPrint() && (text[0] < '0' || text[0] > '9')) return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace Vantrel
