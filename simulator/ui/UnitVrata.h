// The I/O ports window: one of ports A-D as a decimal value and eight bit
// buttons; clicking an input bit drives that pin, and on port A the click
// is also the edge stimulus of the input captures and the pulse accumulator.
#pragma once

#include "simulator/ui/ToolWindow.h"

#include <array>
#include <cstdint>

class QLineEdit;
class QListWidget;
class QToolButton;

namespace VantrelSIM {

// Outlive the window; 0 at program start.
extern uint16_t PortAddress;
extern uint32_t PortValue;
extern uint32_t PortOutputMask;

class TFormVrata : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormVrata(QWidget* owner);

    void RefreshView() override;
    void ShowValue(uint32_t value);
    void EnableInputBits(uint32_t mask);
    void WritePort();
    // n = 1..8 for SpeedButton1 (bit 7) .. SpeedButton8 (bit 0).
    void TipkaClick(int n);
    // False when a cell it reads is not hex (the error has been shown).
    bool DetectInputEdge(uint32_t mask, bool pressed);

    QListWidget* ListBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    // SpeedButton1 .. SpeedButton8 at 0 .. 7.
    std::array<QToolButton*, 8> SpeedButtons{};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool SelectPort();
    void ListBox1Click();

    // The value the box and the captions show; none before the first.
    int64_t shownValue_ = -1;
};

extern TFormVrata* FormVrata;

}  // namespace VantrelSIM
