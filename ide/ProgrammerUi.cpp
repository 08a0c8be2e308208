#include "ide/ProgrammerUi.h"

#include "gui/Dialogs.h"

namespace Vantrel {

namespace {

QMessageBox::Icon IconFor(const std::string& caption) {
    if (caption == ErrorCaption) return QMessageBox::Critical;
    if (caption == WarningCaption) return QMessageBox::Warning;
    return QMessageBox::Information;
}

}  // namespace

void TProgrammerWidgets::ShowMessage(const std::string& text, const std::string& caption) {
    gui::ShowMessageBox(Owner, IconFor(caption), QString::fromStdString(caption), QString::fromStdString(text));
}

bool TProgrammerWidgets::Confirm(const std::string& text, const std::string& caption) {
    return gui::ShowMessageBox(Owner, IconFor(caption), QString::fromStdString(caption), QString::fromStdString(text),
                               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::string> TProgrammerWidgets::AskEraseAddress() {
    return AddressDialog ? AddressDialog->AskAddress() : std::nullopt;
}

void TProgrammerWidgets::SetGauge(int progress, int maxValue) {
    if (!Gauge) return;
    if (maxValue >= 0) Gauge->setMaximum(std::max(maxValue, 1));
    Gauge->setValue(std::min(progress, Gauge->maximum()));
    Gauge->repaint();
}

}  // namespace Vantrel
