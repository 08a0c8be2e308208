// The programmer commands' boxes, address dialog and gauge as the main window
// shows them.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QWidget>

#include <optional>

#include "gui/Wait.h"
#include "ide/Programmer.h"
#include "ide/Unit6.h"

namespace Vantrel {

class TProgrammerWidgets : public TProgrammerUi {
public:
    TProgrammerWidgets(QWidget* owner, TFormEENasloviBranje* addressDialog, QProgressBar* gauge)
        : owner_(owner), addressDialog_(addressDialog), gauge_(gauge) {}

    void ShowMessage(const std::string& text, TBoxKind kind) override;
    bool Confirm(const std::string& text, TBoxKind kind) override;
    std::optional<std::string> AskEraseAddress() override;
    // Repainted at once: the download keeps the window busy.
    void SetGauge(int progress, int maxValue) override;
    void KeepPainting() override;
    void ShowBusy(bool busy) override;

private:
    QPointer<QWidget> owner_;
    QPointer<TFormEENasloviBranje> addressDialog_;
    QPointer<QProgressBar> gauge_;
    std::optional<gui::TWaitCursor> waitCursor_;
};

}  // namespace Vantrel
