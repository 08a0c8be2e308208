#include "ide/Unit1.h"

#include "gui/Guard.h"
#include "platform/help/HelpApi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

namespace Vantrel {

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Nastavitve prevajalnika"));
    GroupBdodaj = new QGroupBox(QStringLiteral("Poročilo:"), this);
    CheckBox3 = new QCheckBox(QStringLiteral("Ustvari"), GroupBdodaj);
    CheckBox3->setChecked(true);
    CheckBox1 = new QCheckBox(QStringLiteral("Dodaj tabelo simbolov"), GroupBdodaj);
    CheckBox4 = new QCheckBox(QStringLiteral("Dodaj ukazne periode"), GroupBdodaj);
    auto* options = new QVBoxLayout(GroupBdodaj);
    options->addWidget(CheckBox3);
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox4);

    BitBtnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtnOK->setDefault(true);
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    BitBtnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&POMOČ"), this);
    BitBtnCancel->setAutoDefault(false);
    connect(BitBtnCancel, &QPushButton::clicked, this, [this] {
        if (ShowHelp) gui::Guarded(this, [this] { ShowHelp(help::HELP_CONTEXT, HelpTopic); });
    });
    auto* contextKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(contextKey, &QShortcut::activated, this, [this] {
        if (ShowHelp) gui::Guarded(this, [this] { ShowHelp(help::HELP_CONTEXT, HelpContext); });
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOK);
    buttons->addWidget(BitBtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBdodaj);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

}  // namespace Vantrel
