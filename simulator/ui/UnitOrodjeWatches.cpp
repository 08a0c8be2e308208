#include "simulator/ui/UnitOrodjeWatches.h"

#include "gui/Guard.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitViewSprem.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace VantrelSIM {

TFormOrodjeWatches* FormOrodjeWatches = nullptr;

namespace {

constexpr int FormatDec = 2;

// Holds its text in upper case, the caret where it was.
void UpperCaseTyping(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int caret = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(caret);
    });
}

QListWidget* MakeList(QWidget* parent, const QStringList& items) {
    auto* list = new QListWidget(parent);
    list->addItems(items);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFixedSize(70, static_cast<int>(items.size()) * 18 + 2 * list->frameWidth() + 2);
    return list;
}

}  // namespace

TFormOrodjeWatches::TFormOrodjeWatches(QWidget* owner) : QDialog(owner) {
    FormOrodjeWatches = this;
    FormCreate();
}

TFormOrodjeWatches::~TFormOrodjeWatches() {
    if (FormOrodjeWatches == this) FormOrodjeWatches = nullptr;
}

void TFormOrodjeWatches::FormCreate() {
    setWindowTitle(QStringLiteral("Nastavitev uporabniških spremenljivk"));
    setModal(true);

    EditIme = new QLineEdit(this);
    EditIme->setObjectName(QStringLiteral("EditIme"));
    EditIme->setMaxLength(8);
    UpperCaseTyping(EditIme);

    EditNaslov = new QLineEdit(QStringLiteral("0000"), this);
    EditNaslov->setObjectName(QStringLiteral("EditNaslov"));
    EditNaslov->setMaxLength(4);
    // Hex digits only: every other key is discarded.
    EditNaslov->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), EditNaslov));
    UpperCaseTyping(EditNaslov);

    ListBStBytov = MakeList(this, {QStringLiteral("1 B"), QStringLiteral("2 B"), QStringLiteral("3 B")});
    ListBStBytov->setObjectName(QStringLiteral("ListBStBytov"));
    ListBFormat =
        MakeList(this, {QStringLiteral("Hex"), QStringLiteral("Bin"), QStringLiteral("Dec"), QStringLiteral("ASCII")});
    ListBFormat->setObjectName(QStringLiteral("ListBFormat"));
    if (ListBFormat->currentRow() < 0) ListBFormat->setCurrentRow(0);
    if (ListBStBytov->currentRow() < 0) ListBStBytov->setCurrentRow(0);
    gui::ConnectGuarded(ListBFormat, &QListWidget::currentRowChanged, this, &TFormOrodjeWatches::ListBFormatClick);

    RadioButton1 = new QRadioButton(QStringLiteral("Da"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("Ne"), this);
    RadioButton2->setChecked(true);

    Button1 = new QPushButton(QStringLiteral("&Vstavi"), this);
    ButtonOdstrani = new QPushButton(QStringLiteral("&Odstrani"), this);
    BitBtn2 = new QPushButton(QStringLiteral("&Zapri"), this);
    for (QPushButton* button : {Button1, ButtonOdstrani, BitBtn2}) button->setAutoDefault(false);
    gui::ConnectGuarded(Button1, &QPushButton::clicked, this, &TFormOrodjeWatches::Button1Click);
    gui::ConnectGuarded(ButtonOdstrani, &QPushButton::clicked, this, &TFormOrodjeWatches::ButtonOdstraniClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Spremenljivka:"), this), 0, 0);
    fields->addWidget(EditIme, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Hex Naslov:"), this), 1, 0);
    fields->addWidget(EditNaslov, 1, 1);
    EditIme->setFixedWidth(90);
    EditNaslov->setFixedWidth(50);

    auto* choices = new QGridLayout;
    choices->addWidget(new QLabel(QStringLiteral("Dolzina:"), this), 0, 0);
    choices->addWidget(new QLabel(QStringLiteral("Vrsta izpisa:"), this), 0, 1);
    choices->addWidget(new QLabel(QStringLiteral("Predznak:"), this), 0, 2);
    choices->addWidget(ListBStBytov, 1, 0, Qt::AlignTop);
    choices->addWidget(ListBFormat, 1, 1, Qt::AlignTop);
    auto* sign = new QVBoxLayout;
    sign->addWidget(RadioButton1);
    sign->addWidget(RadioButton2);
    sign->addStretch();
    choices->addLayout(sign, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(ButtonOdstrani);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FitCaption(*this);
    ApplySignRule();
}

void TFormOrodjeWatches::Edit(const QString& name, const QString& address, const TWatchRecord& watch) {
    EditIme->setText(name);
    EditNaslov->setText(address);
    ListBStBytov->setCurrentRow(watch.Size <= 2 ? watch.Size : 0);
    ListBFormat->setCurrentRow(watch.Format <= 3 ? watch.Format : 0);
    (watch.Signed == 1 ? RadioButton1 : RadioButton2)->setChecked(true);
    ApplySignRule();
}

void TFormOrodjeWatches::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    gui::Guarded(this, [this] { FormActivate(); });
}

void TFormOrodjeWatches::FormActivate() {
    if (ListBFormat->currentRow() < 0) ListBFormat->setCurrentRow(0);
    ApplySignRule();
    EditIme->setFocus();
}

void TFormOrodjeWatches::ListBFormatClick() { ApplySignRule(); }

void TFormOrodjeWatches::ApplySignRule() {
    // Only a decimal variable can be signed.
    if (ListBFormat->currentRow() == FormatDec) {
        RadioButton1->setEnabled(true);
        return;
    }
    RadioButton2->setChecked(true);
    RadioButton1->setEnabled(false);
}

void TFormOrodjeWatches::Button1Click() {
    if (WatchRow < 1 || WatchRow > static_cast<int>(WatchTable.size())) return;
    if (FormViewSprem) {
        FormViewSprem->StringGSpremen->SetCell(0, WatchRow - 1, EditIme->text());
        FormViewSprem->StringGSpremen->SetCell(1, WatchRow - 1, EditNaslov->text());
    }
    TWatchRecord& watch = WatchTable[static_cast<size_t>(WatchRow - 1)];
    watch.Name = EditIme->text();
    watch.Address = EditNaslov->text();
    watch.Size = static_cast<uint8_t>(std::max(0, ListBStBytov->currentRow()));
    watch.Format = static_cast<uint8_t>(std::max(0, ListBFormat->currentRow()));
    watch.Signed = RadioButton1->isChecked() ? 1 : 0;
}

void TFormOrodjeWatches::ButtonOdstraniClick() {
    if (WatchRow < 1 || WatchRow > static_cast<int>(WatchTable.size())) return;
    if (FormViewSprem)
        for (int column = 0; column < 3; ++column)
            FormViewSprem->StringGSpremen->SetCell(column, WatchRow - 1, QString());
    TWatchRecord& watch = WatchTable[static_cast<size_t>(WatchRow - 1)];
    watch.Name.clear();
    watch.Address.clear();
}

}  // namespace VantrelSIM
