#include "simulator/ui/UnitPisava.h"

#include "gui/Guard.h"
#include "gui/StandardDialogs.h"
#include "simulator/Hc11.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>

namespace VantrelSIM {

TFormPisava* FormPisava = nullptr;

uint8_t AdValueForPosition(int position) {
    // volts * 51 = position * 255 / 64, rounded exactly without floating point.
    const int scaled = position * 255;
    int value = scaled / 64;
    const int rest = scaled % 64;
    if (rest > 32 || (rest == 32 && value % 2 == 1)) ++value;
    return static_cast<uint8_t>(value);
}

TFormPisava::TFormPisava(gui::TFontDialog& fontDialog, QWidget* parent) : QDialog(parent), fontDialog_(fontDialog) {
    FormPisava = this;
    setWindowTitle(QStringLiteral("Nastavitve"));

    TabControl1 = new QTabBar(this);
    TabControl1->addTab(QString());
    TabControl1->setExpanding(false);

    GroupBox1 = new QGroupBox(QStringLiteral("Pisava urejevalnika"), this);
    Label4 = new QLabel(GroupBox1);
    Label6 = new QLabel(GroupBox1);
    Button1 = new QPushButton(QStringLiteral("Spremeni "), GroupBox1);
    auto* fontGrid = new QGridLayout(GroupBox1);
    fontGrid->addWidget(new QLabel(QStringLiteral("Ime:"), GroupBox1), 0, 0);
    fontGrid->addWidget(Label4, 0, 1);
    fontGrid->addWidget(new QLabel(QStringLiteral("Velikost:"), GroupBox1), 1, 0);
    fontGrid->addWidget(Label6, 1, 1);
    fontGrid->addWidget(Button1, 2, 1, Qt::AlignRight);
    fontGrid->setColumnStretch(1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Vhodna napetost A/D pretvornika"), this);
    TrackBar1 = new QSlider(Qt::Horizontal, GroupBox2);
    TrackBar1->setRange(0, 64);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(8);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(8);
    Edit2 = new QLineEdit(GroupBox2);
    Edit2->setReadOnly(true);
    Edit2->setAlignment(Qt::AlignRight);
    Edit2->setFixedWidth(70);
    auto* adGrid = new QGridLayout(GroupBox2);
    adGrid->addWidget(TrackBar1, 0, 0, 1, 3);
    adGrid->addWidget(Edit2, 1, 1);
    adGrid->addWidget(new QLabel(QStringLiteral("V"), GroupBox2), 1, 2);
    adGrid->setColumnStretch(0, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QStringLiteral("PREKLIC"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabControl1, 0, Qt::AlignLeft);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addStretch();
    layout->addWidget(buttons);

    gui::ConnectGuarded(Button1, &QPushButton::clicked, this, &TFormPisava::Button1Click);
    gui::ConnectGuarded(TrackBar1, &QSlider::valueChanged, this, &TFormPisava::TrackBar1Change);
    TrackBar1Change(0);
    resize(360, 220);
}

TFormPisava::~TFormPisava() {
    if (FormPisava == this) FormPisava = nullptr;
}

void TFormPisava::ShowFontPage() {
    TabControl1->setTabText(0, QStringLiteral("Pisava"));
    GroupBox1->show();
    GroupBox2->hide();
}

void TFormPisava::ShowAdPage() {
    TabControl1->setTabText(0, QStringLiteral("Simulator"));
    GroupBox1->hide();
    GroupBox2->show();
}

void TFormPisava::ShowFont(const QFont& font) { gui::ShowFontLabels(Label4, Label6, font); }

void TFormPisava::showEvent(QShowEvent* event) {
    gui::Guarded(this, [this] { FormShow(); });
    QDialog::showEvent(event);
}

void TFormPisava::FormShow() { ShowFont(fontDialog_.SelectedFont()); }

void TFormPisava::Button1Click() { fontDialog_.Execute(); }

void TFormPisava::TrackBar1Change(int position) {
    const double volts = position * 5.0 / 64.0;
    Edit2->setText(QString::asprintf("%6.2f", volts));
    AdInputValue = AdValueForPosition(position);
}

}  // namespace VantrelSIM
