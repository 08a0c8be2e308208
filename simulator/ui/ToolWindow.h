// The simulator's tool windows, written once: the base every window derives
// from (caption, window kind, face, delete on close, forgetting its form
// variable and its entry in the window list, refresh on activation), and the
// one table of the six windows that the main window's open handlers, its
// refresh order and its window menu all read.
#pragma once

#include <QChar>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <Qt>

#include <array>

struct TMemoryCell;

namespace VantrelSIM {

class TMainForm;
class TToolWindow;

// A form variable (FormCPUreg, ...) seen from the table: the open window or
// null; Create makes the window and sets the variable, Forget empties it.
struct TFormSlot {
    TToolWindow* (*Current)();
    TToolWindow* (*Create)(QWidget* owner);
    void (*Forget)();
};

// One kind of tool window: a row of ToolWindowTable.
struct TToolWindowKind {
    const char* Caption;       // UTF-8; also its OpenWindowList entry and menu item text
    const char* MenuKey;       // what OdprtoOkno looks for in a window-menu item
    int MenuPosition;          // place among the six items of the menu "O&kno"
    const char* MenuItemName;  // its item's component name in "O&kno"
    void (TMainForm::*OpenHandler)();
    bool Minimise;             // a minimise button besides the close button
    bool RefreshOnActivation;  // FormActivate whenever the window becomes active
    bool KeptWithoutListing;   // stays open when the listing window closes
    TFormSlot Form;
};

enum TToolWindowIndex {
    CpuRegistersWindow,
    OnChipRegistersWindow,
    MemoryWindow,
    StackWindow,
    PortsWindow,
    UserVariablesWindow,
};

// In refresh order: CPU registers, on-chip registers, memory, stack, I/O
// ports, user variables.
extern const std::array<TToolWindowKind, 6> ToolWindowTable;

class TToolWindow : public QWidget {
public:
    // Rereads the simulator state into the window.
    virtual void RefreshView() = 0;
    const TToolWindowKind& Kind() const { return kind_; }

protected:
    // Made by its row's Create only: it empties the row's form variable
    // when it closes or dies.
    TToolWindow(QWidget* owner, TToolWindowIndex index);
    ~TToolWindow() override;

    // What activation runs for a kind that refreshes then.
    virtual void FormActivate() { RefreshView(); }

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Forget();

    const TToolWindowKind& kind_;
    bool forgotten_ = false;
};

// A memory cell's text as the grids show it, without a copy.
QLatin1StringView CellLatin1(const TMemoryCell& cell);
// The small sans face of the tool windows' grids.
QFont ToolWindowFont();
// The hex grids' key filter: a hex digit of either case, or '\b' for Backspace.
bool IsHexKey(QChar key);
// A bad hex text met by a refresh or a write-back: the run stops first, so
// that the run timer cannot open a second box behind this one.
void ShowConversionError(QWidget* parent);

// Where a tool window whose frame has `size` first opens in `work`: the free
// spot nearest the right edge, and of those the highest, that overlaps none
// of the `taken` frames. Windows opened one after another stack down the
// right edge, then down a column to their left, and the left part of the
// listing stays in view. With no free spot, the top right corner.
QPoint FreeSpot(const QRect& work, const QSize& size, const QList<QRect>& taken);

// A fixed-size window widened to the width its whole caption needs in a
// window manager's title bar (its content centred).
void FitCaption(QWidget& window);

// Held while a step or a reset refreshes every open window: a bad cell that
// several windows show is one error, and shows one box.
class TWindowsRefresh {
public:
    TWindowsRefresh();
    ~TWindowsRefresh();
    TWindowsRefresh(const TWindowsRefresh&) = delete;
    TWindowsRefresh& operator=(const TWindowsRefresh&) = delete;
};

}  // namespace VantrelSIM
