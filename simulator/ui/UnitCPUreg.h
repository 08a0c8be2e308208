// The CPU registers window: the seven registers as hex text, the flags as
// boxes, and typing into a register cell writes the register.
#pragma once

#include "common/NumberText.h"
#include "simulator/ui/ToolWindow.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

class QCheckBox;

namespace VantrelSIM {

class TextGrid;

// HexToInt (common/NumberText.h) on a Qt text; the common overloads stay
// visible beside it.
using ::HexToInt;
std::optional<uint32_t> HexToInt(QStringView text);

// Grid rows of the registers; row 0 is the title row.
inline constexpr int RowA = 1;
inline constexpr int RowB = 2;
inline constexpr int RowIX = 3;
inline constexpr int RowIY = 4;
inline constexpr int RowPC = 5;
inline constexpr int RowSP = 6;
inline constexpr int RowCCR = 7;

class TFormCPUreg : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormCPUreg(QWidget* owner);

    void RefreshView() override;
    void ShowFlags(uint32_t value);

    TextGrid* StringGCPUreg = nullptr;
    // S X H I N Z V C, left to right.
    std::array<QCheckBox*, 8> CheckBoxes{};

    // Text of column 1 of a register row.
    QString RowText(int row) const;

private:
    void FormCreate();
    void createGrid();
    void createFlags();
    bool StringGCPUregKeyPress(int row, QChar key, const QString& text) const;
    void StringGCPUregKeyUp();
    void ShowRegister(int row, uint32_t value, int digits);
};

extern TFormCPUreg* FormCPUreg;

}  // namespace VantrelSIM
