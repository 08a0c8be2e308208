// Every message box and modal dialog of the programs goes through these
// functions, so that tests can answer them in place of a user.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <functional>

#include "common/Messages.h"

namespace gui {

// The captions of the programs' message boxes.
inline const QString ErrorCaption = QStringLiteral("NAPAKA!");
inline const QString WarningCaption = QStringLiteral("OPOZORILO!");
inline const QString InformationCaption = QStringLiteral("Obvestilo");

const QString& BoxCaption(TBoxKind kind);
QMessageBox::Icon BoxIcon(TBoxKind kind);

struct TDialogHooks {
    // Stands in for a message box; returns the button "pressed".
    std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons)>
        MessageBox;
    // Stands in for exec() of a modal dialog (file dialogs included); the hook
    // may set the dialog's controls before it returns the result code.
    std::function<int(QDialog& dialog)> Modal;
};

// Empty members mean the real dialogs.
extern TDialogHooks DialogHooks;

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// A box of the kind's caption and icon.
QMessageBox::StandardButton ShowBox(QWidget* parent, TBoxKind kind, const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The application's error display: the message under the application's
// display name (its name unless a display name was set).
void ShowApplicationError(QWidget* parent, const QString& message);

int ExecModal(QDialog& dialog);

}  // namespace gui
