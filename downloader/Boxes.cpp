#include "downloader/Boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace Tolvex {

std::function<void(const QString&, const QString&)> MessageBoxHook;

namespace {

void Show(QWidget* parent, const QString& caption, const QString& text) {
    if (MessageBoxHook) return MessageBoxHook(caption, text);
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void ShowErrorBox(QWidget* parent, const QString& text) { Show(parent, QStringLiteral("NAPAKA!"), text); }

void ShowApplicationError(QWidget* parent, const QString& text) {
    Show(parent, QCoreApplication::applicationName(), text);
}

}  // namespace Tolvex
