// The frame: construction in named steps, the status bar, closing.
#include "simulator/ui/Main.h"

#include "gui/Guard.h"
#include "gui/MdiFrame.h"
#include "gui/StandardDialogs.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/FramePacer.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitOrodjeWatches.h"
#include "simulator/ui/UnitPisava.h"
#include "simulator/ui/UnitResetVekt.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace VantrelSIM {

TMainForm* MainForm = nullptr;

TMainForm* CreateSimulatorForms() {
    auto* form = new TMainForm;
    new TFormPisava(*form->FontDialog1, form);
    FormOrodjeWatches = new TFormOrodjeWatches(form);
    new TFormResetVek(form);
    return form;
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    MainForm = this;
    setWindowTitle(QStringLiteral("VantrelSIM"));
    createMdiArea();
    createActions();
    createTimer();
    createMenus();
    createToolBar();
    createStatusBar();
    createDialogs();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The children die after this body: nothing they signal may reach it.
    mdi_->disconnect(this);
    if (listing_) listing_->disconnect(this);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::createMdiArea() {
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    gui::ConnectGuarded(mdi_, &QMdiArea::subWindowActivated, this, &TMainForm::updateMenuitems);
}

void TMainForm::createStatusBar() {
    const int widths[4] = {250, 100, 220, 10};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setTextFormat(Qt::PlainText);
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusPanels[i]->setMinimumWidth(widths[i]);
        statusBar()->addWidget(StatusPanels[i], i == 3 ? 1 : 0);
    }
    // The caret panel changes at every step: with a fixed size its new text
    // does not lay the whole status bar out again.
    QLabel* caret = StatusPanels[1];
    caret->setText(QStringLiteral("Vrs: 00000   Kol: 000"));
    const QSize size = caret->sizeHint();
    caret->setFixedSize(std::max(widths[1], size.width()), size.height());
    caret->clear();
}

void TMainForm::createTimer() {
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(RunTimerInterval());
    gui::ConnectGuarded(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    runFrames_ = new TFramePacer(this, RunFrameMs);
    runFrames_->Watch(this);
}

void TMainForm::createDialogs() {
    FontDialog1 = new gui::TFontDialog(this);
    FindDialog1 = new gui::TFindDialog(this);
    gui::ConnectGuarded(FontDialog1, &gui::TFontDialog::Apply, this, &TMainForm::FontDialog1Apply);
    gui::ConnectGuarded(FindDialog1, &gui::TFindDialog::Find, this, &TMainForm::FindDialog1Find);
}

void TMainForm::FormCreate() {
    StartDirectory = QDir::currentPath() + QDir::separator();
    ClearModel();
    // IRQ and NMI disabled: external interrupts are not allowed at start.
    UpdateActions();
}

bool TMainForm::event(QEvent* event) {
    // Panel 1 carries the long hints of menu items and buttons.
    if (gui::ShowStatusTip(event, StatusPanels[0])) return true;
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    const QList<QMdiSubWindow*> children = mdi_->subWindowList(QMdiArea::CreationOrder);
    bool refused = false;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (!(*it)->close()) refused = true;
    if (refused) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::updateMenuitems() {
    if (Timer1->interval() != RunTimerInterval()) Timer1->setInterval(RunTimerInterval());
    if (listing_) {
        if (!Timer1->isActive()) Timer1->start();
        return;
    }
    Timer1->stop();
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (TToolWindow* window = kind.Form.Current(); window && !kind.KeptWithoutListing) window->close();
}

void TMainForm::FileClose1Execute() {
    const QList<QMdiSubWindow*> children = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->close();
}

void TMainForm::FileExitItemClick() { close(); }

}  // namespace VantrelSIM
