// The tool windows of "O&kno" and their list in the menu.
#include "simulator/ui/Main.h"

#include "gui/MdiFrame.h"
#include "simulator/ui/Childwin.h"  // Main.h holds a QPointer to the listing window
#include "simulator/ui/FramePacer.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"

#include <QAction>

#include <algorithm>

namespace VantrelSIM {

void TMainForm::OpenToolWindow(const TToolWindowKind& kind) {
    if (TToolWindow* window = kind.Form.Current()) {
        gui::BringToFront(window);
        return;
    }
    TToolWindow* window = kind.Form.Create(this);
    runFrames_->Watch(window);
    for (TextGrid* grid : window->findChildren<TextGrid*>()) grid->PaceBy(runFrames_);
    OpenWindowList << window->windowTitle();
    UpdateWindowMenu();
    window->show();
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
