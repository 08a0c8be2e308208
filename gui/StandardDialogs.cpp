#include "gui/StandardDialogs.h"

#include "gui/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace gui {

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Najdi"));
    setModal(false);
    FindEdit = new QLineEdit(this);
    WholeWord = new QCheckBox(QStringLiteral("Samo cele besede"), this);
    WholeWord->setChecked(true);
    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* next = buttons->addButton(QStringLiteral("Najdi naslednje"), QDialogButtonBox::ActionRole);
    next->setDefault(true);
    buttons->addButton(QStringLiteral("Prekliči"), QDialogButtonBox::RejectRole);
    connect(next, &QPushButton::clicked, this, &TFindDialog::Find);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QVBoxLayout;
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Najdi:"), this));
    row->addWidget(FindEdit, 1);
    fields->addLayout(row);
    fields->addWidget(WholeWord);
    fields->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(buttons);
    resize(380, 110);
}

QString TFindDialog::FindText() const { return FindEdit->text(); }

void TFindDialog::SetFindText(const QString& text) { FindEdit->setText(text); }

TFontDialog::TFontDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pisava"));
    FamilyBox = new QFontComboBox(this);
    SizeBox = new QComboBox(this);
    for (int size = 8; size <= 18; ++size) SizeBox->addItem(QString::number(size), size);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QStringLiteral("Prekliči"), QDialogButtonBox::RejectRole);
    QPushButton* apply = buttons->addButton(QStringLiteral("Uporabi"), QDialogButtonBox::ApplyRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, &TFontDialog::Apply);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Pisava:"), FamilyBox);
    form->addRow(QStringLiteral("Velikost:"), SizeBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    QFont initial(QStringLiteral("DejaVu Sans Mono"), 9);
    initial.setBold(true);
    SetSelectedFont(initial);
}

QFont TFontDialog::SelectedFont() const {
    QFont font = chosen_;
    font.setFamily(FamilyBox->currentFont().family());
    font.setPointSize(SizeBox->currentData().toInt());
    return font;
}

void TFontDialog::SetSelectedFont(const QFont& font) {
    chosen_ = font;
    FamilyBox->setCurrentFont(font);
    const int size = std::clamp(font.pointSize() > 0 ? font.pointSize() : 9, 8, 18);
    SizeBox->setCurrentIndex(size - 8);
}

bool TFontDialog::Execute() {
    const QFont before = chosen_;
    if (ExecModal(*this) == QDialog::Accepted) {
        chosen_ = SelectedFont();
        return true;
    }
    SetSelectedFont(before);
    return false;
}

void ShowFontLabels(QLabel* name, QLabel* size, const QFont& font) {
    name->setText(font.family());
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / size->logicalDpiY();
    size->setText(QString::number(qRound(points)));
}

}  // namespace gui
