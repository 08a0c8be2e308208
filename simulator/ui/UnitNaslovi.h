// The memory locations window: an editable hex dump, 16 cells a row, of
// RAM, EEPROM or the register block, chosen by tab.
#pragma once

#include "simulator/Hc11.h"
#include "simulator/ui/ToolWindow.h"

#include <cstdint>
#include <vector>

class QTabBar;

namespace VantrelSIM {

class TextGrid;

// The area the window shows; set by every refresh from the selected tab.
struct TMemoryArea {
    QString Labels;  // 3 characters a row label
    uint16_t First = 0x0000;
    uint16_t Last = 0x00FF;  // last address filled
};
extern TMemoryArea MemoryArea;

class TFormNaslovi : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormNaslovi(QWidget* owner);

    void RefreshView() override;
    void ClearCells();

    QTabBar* TabControl1 = nullptr;
    TextGrid* StringGrid = nullptr;

protected:
    void FormActivate() override;

private:
    void FormCreate();
    void TabControl1Change();
    bool StringGridKeyPress(QChar key, const QString& text) const;
    void StringGridKeyUp(int key, Qt::KeyboardModifiers modifiers);

    // The area whose row labels the grid shows.
    const TMemoryArea* labelledArea_ = nullptr;
    // What the last refresh wrote: the area, its cells, the grid's count.
    const TMemoryArea* writtenArea_ = nullptr;
    std::vector<TMemoryCell> written_;
    uint64_t writtenGeneration_ = 0;
};

extern TFormNaslovi* FormNaslovi;

}  // namespace VantrelSIM
