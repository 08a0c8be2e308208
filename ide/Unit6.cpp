#include "ide/Unit6.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "gui/Dialogs.h"
#include "ide/Programmer.h"

namespace Vantrel {

TFormEENasloviBranje::TFormEENasloviBranje(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("EEprom v naslovnem prost... "));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    Label1 = new QLabel(QStringLiteral("Začetni naslov:"), this);
    EditPrviNaslov = new QLineEdit(QStringLiteral("B600"), this);
    EditPrviNaslov->setMaxLength(4);
    // Pasted text meets the same rule as typed keys.
    EditPrviNaslov->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), EditPrviNaslov));
    EditPrviNaslov->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(EditPrviNaslov);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(240, 0)));

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(EditPrviNaslov, &QLineEdit::textEdited, this, [this](const QString& text) {
        // Typed letters show in upper case.
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = EditPrviNaslov->cursorPosition();
            EditPrviNaslov->setText(upper);
            EditPrviNaslov->setCursorPosition(cursor);
        }
        UpdateOk();
    });
    connect(EditPrviNaslov, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    UpdateOk();
}

void TFormEENasloviBranje::UpdateOk() { Button1->setEnabled(IsEraseAddress(EditPrviNaslov->text().toStdString())); }

// EditPrviNaslovKeyPress: only hex digits and Backspace reach the edit as
// text; editing and navigation keys pass as they are.
bool TFormEENasloviBranje::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EditPrviNaslov && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool typed = text.size() == 1 && text[0].isPrint();
        if (typed && EditPrviNaslovKeyPress(text[0].unicode()) == 0) return true;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !Button1->isEnabled()) return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<std::string> TFormEENasloviBranje::AskAddress() {
    UpdateOk();
    if (gui::ExecModal(*this) == QDialog::Accepted && Button1->isEnabled())
        return EditPrviNaslov->text().toUpper().toStdString();
    EditPrviNaslov->setText(QStringLiteral("B600"));
    return std::nullopt;
}

}  // namespace Vantrel
