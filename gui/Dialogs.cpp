#include "gui/Dialogs.h"

#include <QGuiApplication>

namespace gui {

TDialogHooks DialogHooks;

const QString& BoxCaption(TBoxKind kind) {
    switch (kind) {
        case TBoxKind::Error: return ErrorCaption;
        case TBoxKind::Warning: return WarningCaption;
        case TBoxKind::Information: break;
    }
    return InformationCaption;
}

QMessageBox::Icon BoxIcon(TBoxKind kind) {
    switch (kind) {
        case TBoxKind::Error: return QMessageBox::Critical;
        case TBoxKind::Warning: return QMessageBox::Warning;
        case TBoxKind::Information: break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text, QMessageBox::StandardButtons buttons) {
    if (DialogHooks.MessageBox) return DialogHooks.MessageBox(icon, caption, text, buttons);
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton ShowBox(QWidget* parent, TBoxKind kind, const QString& text,
                                    QMessageBox::StandardButtons buttons) {
    return ShowMessageBox(parent, BoxIcon(kind), BoxCaption(kind), text, buttons);
}

void ShowApplicationError(QWidget* parent, const QString& message) {
    ShowMessageBox(parent, QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message);
}

int ExecModal(QDialog& dialog) {
    if (DialogHooks.Modal) return DialogHooks.Modal(dialog);
    return dialog.exec();
}

}  // namespace gui
