// The tool windows of "O&kno" and their list in the menu.
#include "simulator/ui/Main.h"

#include "gui/MdiFrame.h"
#include "simulator/ui/Childwin.h"  // Main.h holds a QPointer to the listing window
#include "simulator/ui/FramePacer.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"

#include <QAction>
#include <QMdiArea>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace VantrelSIM {

namespace {

// Air between the tool windows and around them; it also takes up a frame a
// pixel wider than the one the main window showed before a tool window had
// been framed.
constexpr int WindowAir = 4;

size_t RowOf(const TToolWindow& window) { return static_cast<size_t>(&window.Kind() - ToolWindowTable.data()); }

// Null until the window manager has framed the window. Asked of the window
// system each time: a widget's own idea of its frame is renewed only when
// the widget next moves.
QMargins FrameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Where the window's frame stands, as the window system has it.
QPoint FramePosition(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->framePosition() : window.pos();
}

}  // namespace

void TMainForm::OpenToolWindow(const TToolWindowKind& kind) {
    if (TToolWindow* window = kind.Form.Current()) {
        gui::BringToFront(window);
        return;
    }
    TWindowsRefresh refresh;  // one box for a bad cell, as after a step
    TToolWindow* window = kind.Form.Create(this);
    FitCaption(*window);
    // Filled before it appears: a window manager need not activate a new
    // window, and activation is what refreshes it otherwise (and a click in
    // the ports window must not start from an earlier window's value).
    window->RefreshView();
    runFrames_->Watch(window);
    for (TextGrid* grid : window->findChildren<TextGrid*>()) grid->PaceBy(runFrames_);
    OpenWindowList << window->windowTitle();
    UpdateWindowMenu();
    PlaceToolWindow(*window);
    window->show();
}

void TMainForm::PlaceToolWindow(TToolWindow& window) {
    // Sized before it is placed: one left to its layout on showing comes out
    // with its inner corner, not its frame's, at the place under X11.
    window.adjustSize();
    if (const std::optional<QPoint>& place = toolWindowPlaces_[RowOf(window)]) {
        window.move(*place);
        return;
    }
    const QMargins frame = ToolWindowFrame();
    const QMargins air(WindowAir, WindowAir, WindowAir, WindowAir);
    QList<QRect> taken;
    for (const TToolWindowKind& kind : ToolWindowTable) {
        const TToolWindow* other = kind.Form.Current();
        if (!other || other == &window || !other->isVisible()) continue;
        // One opened a moment ago may not be framed yet: it gets the frame
        // the others have.
        const QMargins own = FrameMargins(*other);
        const QMargins margins = own.isNull() ? frame : own;
        taken << QRect(FramePosition(*other), other->size().grownBy(margins)).marginsAdded(air);
    }
    window.move(FreeSpot(WorkArea().marginsRemoved(air), window.size().grownBy(frame), taken));
}

QRect TMainForm::WorkArea() const {
    QRect area(mdi_->mapToGlobal(QPoint(0, 0)), mdi_->size());
    if (const QScreen* shown = screen()) area &= shown->availableGeometry();
    return area;
}

QMargins TMainForm::ToolWindowFrame() const {
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (const TToolWindow* window = kind.Form.Current())
            if (const QMargins frame = FrameMargins(*window); !frame.isNull()) return frame;
    // None framed yet: the main window's frame, whose title bar is alike.
    return FrameMargins(*this);
}

void TMainForm::ToolWindowClosed(const TToolWindow& window) {
    OpenWindowList.removeOne(QString::fromUtf8(window.Kind().Caption));
    UpdateWindowMenu();
    if (window.isVisible()) toolWindowPlaces_[RowOf(window)] = FramePosition(window);
}

void TMainForm::OknoregistrovCPE1Click() { OpenToolWindow(ToolWindowTable[CpuRegistersWindow]); }

void TMainForm::Registrivgrajenihenot1Click() { OpenToolWindow(ToolWindowTable[OnChipRegistersWindow]); }

void TMainForm::Sklad1Click() { OpenToolWindow(ToolWindowTable[StackWindow]); }

void TMainForm::Spominskelokacije1Click() { OpenToolWindow(ToolWindowTable[MemoryWindow]); }

void TMainForm::Uporabnikespremenljivke1Click() { OpenToolWindow(ToolWindowTable[UserVariablesWindow]); }

void TMainForm::VrataA1Click() { OpenToolWindow(ToolWindowTable[PortsWindow]); }

void TMainForm::UpdateWindowMenu() {
    for (QAction* item : windowListItems_) item->setVisible(false);
    for (int i = 0; i < 6 && i < OpenWindowList.size(); ++i) {
        windowListItems_[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + OpenWindowList[i]);
        windowListItems_[i]->setVisible(true);
    }
}

void TMainForm::OdprtoOkno(QAction* sender) {
    if (std::find(std::begin(windowListItems_), std::end(windowListItems_), sender) != std::end(windowListItems_))
        rememberedWindowItem_ = sender;
    if (!rememberedWindowItem_) return;
    const QString caption = rememberedWindowItem_->text();
    QWidget* window = nullptr;
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (caption.contains(QString::fromUtf8(kind.MenuKey))) window = kind.Form.Current();
    if (window) gui::BringToFront(window);
}

}  // namespace VantrelSIM
