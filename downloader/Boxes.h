// Every message box of Tolvex goes through here, so tests can answer them.
#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace Tolvex {

// Stands in for the boxes when set: caption and text.
extern std::function<void(const QString& caption, const QString& text)> MessageBoxHook;

// An error box with the caption "NAPAKA!" and an OK button.
void ShowErrorBox(QWidget* parent, const QString& text);

// The application's general error display: the message under the program's name.
void ShowApplicationError(QWidget* parent, const QString& text);

// Runs a handler's body so that no exception reaches Qt's event loop: what
// escapes ends the command at the application's error display.
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

}  // namespace Tolvex
