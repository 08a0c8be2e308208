// Message boxes and modal dialogs of Vantrel go through here, so tests can
// answer them in place of a user.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <exception>
#include <functional>

namespace Vantrel {

struct TBoxHooks {
    std::function<QMessageBox::StandardButton(QMessageBox::Icon, const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons)>
        MessageBox;
    std::function<int(QDialog&)> Modal;
};
extern TBoxHooks BoxHooks;

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok);
int ExecModal(QDialog& dialog);
void ShowApplicationError(QWidget* parent, const QString& message);

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

}  // namespace Vantrel
