#include "ide/Boxes.h"

#include <QApplication>

namespace Vantrel {

TBoxHooks BoxHooks;

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons) {
    if (BoxHooks.MessageBox) return BoxHooks.MessageBox(icon, caption, text, buttons);
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int ExecModal(QDialog& dialog) {
    if (BoxHooks.Modal) return BoxHooks.Modal(dialog);
    return dialog.exec();
}

void ShowApplicationError(QWidget* parent, const QString& message) {
    ShowBox(parent, QMessageBox::Critical, QApplication::applicationName(), message);
}

}  // namespace Vantrel
