#include "gui/Dialogs.h"

#include <QGuiApplication>

namespace gui {

TDialogHooks DialogHooks;

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text, QMessageBox::StandardButtons buttons) {
    if (DialogHooks.MessageBox) return DialogHooks.MessageBox(icon, caption, text, buttons);
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowApplicationError(QWidget* parent, const QString& message) {
    ShowMessageBox(parent, QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message);
}

int ExecModal(QDialog& dialog) {
    if (DialogHooks.Modal) return DialogHooks.Modal(dialog);
    return dialog.exec();
}

}  // namespace gui
