// Every message box and modal dialog of VantrelSIM goes through these
// functions, so that tests can answer them in place of a user.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <exception>
#include <functional>

class QFileDialog;

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
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The application's error display: the message under the program's title.
void ShowApplicationError(QWidget* parent, const QString& message);

int ExecModal(QDialog& dialog);

// Runs an event handler's body so that no exception reaches Qt's event loop:
// what escapes the body ends the command at the application's error display.
template <class Body>
void Guarded(QWidget* parent, Body&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ShowApplicationError(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        ShowApplicationError(parent, QStringLiteral("Neznana napaka"));
    }
}
