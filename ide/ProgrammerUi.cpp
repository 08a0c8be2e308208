#include "ide/ProgrammerUi.h"

#include "gui/Dialogs.h"

namespace Vantrel {

void TProgrammerWidgets::ShowMessage(const std::string& text, TBoxKind kind) {
    gui::ShowBox(owner_, kind, QString::fromStdString(text));
}

bool TProgrammerWidgets::Confirm(const std::string& text, TBoxKind kind) {
    return gui::ShowBox(owner_, kind, QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

std::optional<std::string> TProgrammerWidgets::AskEraseAddress() {
    return addressDialog_ ? addressDialog_->AskAddress() : std::nullopt;
}

void TProgrammerWidgets::SetGauge(int progress, int maxValue) {
    if (!gauge_) return;
    if (maxValue >= 0) gauge_->setMaximum(std::max(maxValue, 1));
    gauge_->setValue(std::min(progress, gauge_->maximum()));
    gauge_->repaint();
}

void TProgrammerWidgets::KeepPainting() { gui::KeepPainting(); }

void TProgrammerWidgets::ShowBusy(bool busy) {
    if (busy)
        waitCursor_.emplace();
    else
        waitCursor_.reset();
}

}  // namespace Vantrel
