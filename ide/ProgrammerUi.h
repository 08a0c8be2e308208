// The programmer commands' boxes, address dialog and gauge as the main window
// shows them.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include "ide/Programmer.h"
#include "ide/Unit6.h"

namespace Vantrel {

class TProgrammerWidgets : public TProgrammerUi {
public:
    TProgrammerWidgets(QWidget* owner, TFormEENasloviBranje* addressDialog, QProgressBar* gauge)
        : Owner(owner), AddressDialog(addressDialog), Gauge(gauge) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool Confirm(const std::string& text, const std::string& caption) override;
    std::optional<std::string> AskEraseAddress() override;
    // Repainted at once: the download keeps the window busy.
    void SetGauge(int progress, int maxValue) override;

private:
    QPointer<QWidget> Owner;
    QPointer<TFormEENasloviBranje> AddressDialog;
    QPointer<QProgressBar> Gauge;
};

}  // namespace Vantrel
