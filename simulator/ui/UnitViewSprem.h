// The user variables window: up to ten named variables of the simulated
// program, read from memory and shown as hex, binary, decimal or text.
#pragma once

#include "simulator/ui/ToolWindow.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace VantrelSIM {

class TextGrid;

struct TWatchRecord {
    QString Name;        // upper case, at most 8 characters
    QString Address;     // hex text, upper case, at most 4 characters
    uint8_t Size = 0;    // 0, 1, 2: a variable of 1, 2 or 3 bytes
    uint8_t Format = 0;  // 0 Hex, 1 Bin, 2 Dec, 3 ASCII
    uint8_t Signed = 0;  // 1 for a signed decimal
};

// Rows 1 to 10 of the window at [0] to [9]; lives for the whole program,
// so closing the window keeps the definitions.
extern std::array<TWatchRecord, 10> WatchTable;
// The sign the Dec format shows, "+" or "-", per row.
extern std::array<QChar, 10> WatchSign;
// The row (1 to 10) that the watch editor is editing.
extern int WatchRow;

class TFormViewSprem : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormViewSprem(QWidget* owner);

    void RefreshView() override;

    // Bytes of the simulated program as the characters of their codes.
    static QString BytesToText(std::string_view bytes);

    // Columns 0 name, 1 address, 2 value; data rows 0 to 9 are rows 1 to 10.
    TextGrid* StringGSpremen = nullptr;

private:
    void FormCreate();
    void StringGSpremenDblClick();
    // False when the row's address or a byte is not hex (the error has been shown).
    bool RefreshRow(int row);

    // What a row's value cell was last given, and from what: a refresh that
    // finds the same bytes under the same format leaves the cell alone.
    struct TShownValue {
        std::array<uint8_t, 3> Bytes{};
        size_t Count = 0;
        uint8_t Format = 0;
        bool Signed = false;
        QChar Sign;
        QString Text;
    };
    std::array<TShownValue, 10> shown_;
};

extern TFormViewSprem* FormViewSprem;

}  // namespace VantrelSIM
