#include "simulator/ui/Main.h"

#include "gui/Guard.h"
#include "gui/StandardDialogs.h"
#include "platform/text/TextFile.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/FramePacer.h"
#include "simulator/ui/Loading.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitOrodjeWatches.h"
#include "simulator/ui/UnitPisava.h"
#include "simulator/ui/UnitResetVekt.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

namespace VantrelSIM {

TMainForm* MainForm = nullptr;

// Holds the run loop back while a command must finish undisturbed.
class TStepBlock {
public:
    explicit TStepBlock(TMainForm* form) : Form(form) { ++Form->StepBlockers; }
    ~TStepBlock() { --Form->StepBlockers; }
    TStepBlock(const TStepBlock&) = delete;
    TStepBlock& operator=(const TStepBlock&) = delete;

private:
    TMainForm* Form;
};

namespace {

// A listing or object file that cannot be read.
void ShowOpenError(QWidget* parent) {
    gui::ShowBox(parent, TBoxKind::Error, QStringLiteral("Napaka pri odpiranju datoteke!"));
}

// A hint "short|long": the short part is the tool tip, the long one goes
// to the status bar.
void SetHint(QAction* action, const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

QString ResolveFileName(const QString& name) {
    const auto found = FindFileIgnoringCase(name.toStdString());
    return found ? QString::fromStdString(*found) : name;
}

void BringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void ClearCells(uint16_t first, uint16_t last) {
    for (uint32_t address = first; address <= last; ++address) MemoryImage[address] = TMemoryCell{};
}

}  // namespace

int64_t RunTickSteps(int64_t elapsedMs, int64_t& done, int64_t maxSteps) {
    const int64_t steps = std::clamp<int64_t>(elapsedMs - done, 1, maxSteps);
    done = std::max(done + steps, elapsedMs - maxSteps);
    return steps;
}

TMainForm* CreateSimulatorForms() {
    auto* form = new TMainForm;
    new TFormPisava(form);
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
    FontDialog1 = new gui::TFontDialog(this);
    FindDialog1 = new gui::TFindDialog(this);
    gui::ConnectGuarded(FontDialog1, &gui::TFontDialog::Apply, this, &TMainForm::FontDialog1Apply);
    gui::ConnectGuarded(FindDialog1, &gui::TFindDialog::Find, this, &TMainForm::FindDialog1Find);
    FormCreate();
}

TMainForm::~TMainForm() {
    // The children die after this body: nothing they signal may reach it.
    Mdi->disconnect(this);
    if (Listing) Listing->disconnect(this);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::createMdiArea() {
    Mdi = new QMdiArea(this);
    Mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(Mdi);
    gui::ConnectGuarded(Mdi, &QMdiArea::subWindowActivated, this, &TMainForm::updateMenuitems);
}

void TMainForm::createActions() {
    // Every command runs guarded: no exception may reach the event loop.
    auto make = [this](const QString& text, void (TMainForm::*handler)(), const QKeySequence& shortcut = {}) {
        auto* action = new QAction(text, this);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        gui::ConnectGuarded(action, &QAction::triggered, this, handler);
        return action;
    };
    QStyle* s = style();

    FileOpen1 = make(QStringLiteral("&Odpri"), &TMainForm::FileOpen1Execute, QKeySequence(Qt::CTRL | Qt::Key_O));
    FileOpen1->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    SetHint(FileOpen1, QStringLiteral("Odpri!|Odpri datoteko"));
    FileClose1 = make(QStringLiteral("&Zapri"), &TMainForm::FileClose1Execute, QKeySequence(Qt::CTRL | Qt::Key_Z));
    FileExit1 = make(QStringLiteral("&Izhod"), &TMainForm::FileExitItemClick);
    ToolButton4 = make(QStringLiteral("Izhod"), &TMainForm::FileExitItemClick);
    ToolButton4->setIcon(s->standardIcon(QStyle::SP_BrowserStop));
    SetHint(ToolButton4, QStringLiteral("Izhod!|Končaj program"));

    Find1 = make(QStringLiteral("&Najdi"), &TMainForm::Find1Execute, QKeySequence(Qt::CTRL | Qt::Key_F));
    Find1->setIcon(s->standardIcon(QStyle::SP_FileDialogContentsView));
    SetHint(Find1, QStringLiteral("Poišči!|Poišči besedo!"));
    Izbirapisave1 = make(QStringLiteral("N&astavitve urejevalnika"), &TMainForm::Izbirapisave1Click);

    ToolButton15 = make(QStringLiteral("Korak"), &TMainForm::ToolButton15Click);
    ToolButton15->setIcon(s->standardIcon(QStyle::SP_MediaSkipForward));
    SetHint(ToolButton15, QStringLiteral("Po korakih!|Izvajaj po korakih!"));
    Korak1 = make(QStringLiteral("Korak po ..."), &TMainForm::ToolButton15Click, QKeySequence(Qt::CTRL | Qt::Key_K));

    ToolButton2 = new QAction(QStringLiteral("Start/Stop"), this);
    ToolButton2->setCheckable(true);
    SetHint(ToolButton2, QStringLiteral("Start/Stop!| Izvajaj nenehno!"));
    gui::ConnectGuarded(ToolButton2, &QAction::toggled, this, &TMainForm::ToolButton2Click);
    StartStop1 = make(QStringLiteral("&Simulacija Start / Stop "), &TMainForm::StartStop1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_S));

    ToolButton3 = make(QStringLiteral("Ponoven zagon"), &TMainForm::Reset1Click);
    ToolButton3->setIcon(s->standardIcon(QStyle::SP_BrowserReload));
    SetHint(ToolButton3, QStringLiteral("Ponoven zagon!| Ponoven zagon izvajanja!"));
    Reset1 = make(QStringLiteral("Ponoven zagon"), &TMainForm::Reset1Click, QKeySequence(Qt::CTRL | Qt::Key_R));

    Odkurzorja1 = make(QStringLiteral("Od kurzorja ..."), &TMainForm::Odkurzorja1Click);
    Vstaviustavitvenotoko1 = make(QStringLiteral("Vstavi  prekinitveno točko"), &TMainForm::Vstaviustavitvenotoko1Click,
                                  QKeySequence(Qt::Key_F2));
    Odstrani1 = make(QStringLiteral("Odstrani ..."), &TMainForm::Odstrani1Click, QKeySequence(Qt::Key_F3));
    Stimulacije1 = make(QStringLiteral("Dovoljene zunanje prekinitve"), &TMainForm::Stimulacije1Click);
    Stimulacije1->setCheckable(true);
    EEPROM1 = make(QStringLiteral("EEPROM"), &TMainForm::EEPROM1Click);
    SFR1 = make(QStringLiteral("SFR"), &TMainForm::SFR1Click);
    Osveiprogpomnilnik1 = make(QStringLiteral("Osveži prog. pomnilnik"), &TMainForm::Osveiprogpomnilnik1Click);
    Nastavitve1 = make(QStringLiteral("Nastavitve A/D pretvornika"), &TMainForm::Nastavitve1Click);

    SpeedBIRQ = new QAction(QStringLiteral("IRQ"), this);
    SetHint(SpeedBIRQ, QStringLiteral("IRQ prekinitev!|Sproži IRQ prekinitev!"));
    SpeedBNMI = new QAction(QStringLiteral("NMI"), this);
    SetHint(SpeedBNMI, QStringLiteral("NMI prekinitev!|Sproži NMI prekinitev!"));
    for (QAction* button : {SpeedBIRQ, SpeedBNMI})
        gui::ConnectGuarded(button, &QAction::triggered, this, [this, button] { StimulatorTipkeClick(button); });

    for (const TToolWindowKind& kind : ToolWindowTable)
        this->*kind.MenuItem = make(QString::fromUtf8(kind.Caption), kind.OpenHandler);
    for (QAction*& item : OdprtoOknoItems) {
        item = new QAction(this);
        item->setVisible(false);
        QAction* sender = item;
        gui::ConnectGuarded(item, &QAction::triggered, this, [this, sender] { OdprtoOkno(sender); });
    }
}

void TMainForm::createMenus() {
    QMenu* datoteka = menuBar()->addMenu(QStringLiteral("&Datoteka"));
    datoteka->addActions({FileOpen1, FileClose1});
    datoteka->addSeparator();
    datoteka->addAction(FileExit1);

    QMenu* orodja = menuBar()->addMenu(QStringLiteral("&Orodja"));
    orodja->addActions({Find1, Izbirapisave1});

    QMenu* simulator = menuBar()->addMenu(QStringLiteral("&Simulator"));
    simulator->addActions({StartStop1, Korak1, Reset1, Odkurzorja1});
    simulator->addSeparator();
    simulator->addActions({Vstaviustavitvenotoko1, Odstrani1});
    simulator->addSeparator();
    simulator->addAction(Stimulacije1);
    QMenu* brisi = simulator->addMenu(QStringLiteral("Briši"));
    brisi->addActions({EEPROM1, SFR1});
    simulator->addAction(Osveiprogpomnilnik1);
    simulator->addSeparator();
    simulator->addAction(Nastavitve1);

    OknoMenu = menuBar()->addMenu(QStringLiteral("O&kno"));
    QAction* windowItems[ToolWindowTable.size()] = {};
    for (const TToolWindowKind& kind : ToolWindowTable) windowItems[kind.MenuPosition] = this->*kind.MenuItem;
    for (QAction* item : windowItems) OknoMenu->addAction(item);
    OknoMenu->addSeparator();
    for (QAction* item : OdprtoOknoItems) OknoMenu->addAction(item);
    WindowListSeparator = OknoMenu->addSeparator();
    connect(OknoMenu, &QMenu::aboutToShow, this, [this] { FillWindowListMenu(); });
}

void TMainForm::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Orodna vrstica"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addActions({FileOpen1, Find1});
    bar->addSeparator();
    bar->addActions({ToolButton15, ToolButton2, ToolButton3});
    bar->addSeparator();
    bar->addActions({SpeedBIRQ, SpeedBNMI});
    bar->addSeparator();
    bar->addAction(ToolButton4);
    // IRQ and NMI are text buttons, as on the board's front.
    for (QAction* button : {SpeedBIRQ, SpeedBNMI})
        if (auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(button)))
            tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolButton2Click();
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
    RunFrames = new TFramePacer(this, RunFrameMs);
    RunFrames->Watch(this);
}

int TMainForm::RunTimerInterval() const {
    // A tick with the run switch up does nothing: the timer stays enabled
    // but rests instead of waking the program a thousand times a second.
    return Running() ? 1 : IdleTimerIntervalMs;
}

void TMainForm::FormCreate() {
    StartDirectory = QDir::currentPath() + QDir::separator();
    ClearModel();
    SpeedBIRQ->setEnabled(false);
    SpeedBNMI->setEnabled(false);
}

bool TMainForm::event(QEvent* event) {
    // Panel 1 carries the long hints of menu items and buttons.
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    const QList<QMdiSubWindow*> children = Mdi->subWindowList(QMdiArea::CreationOrder);
    bool refused = false;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (!(*it)->close()) refused = true;
    if (refused) {
        event->ignore();
        return;
    }
    event->accept();
}

// ---------------------------------------------------------------------------
// Loading and reset

void TMainForm::FileOpen1Execute() {
    if (Listing) return;
    TStepBlock block(this);

    QFileDialog dialog(this, QStringLiteral("Listing datoteka"), StartDirectory,
                       QStringLiteral("Listing datoteka (*.LST)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("LST"));
    dialog.selectFile(QFileInfo(ResolveFileName(StartDirectory + QStringLiteral("Temp$$.LST"))).fileName());
    if (gui::ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString name = ResolveFileName(dialog.selectedFiles().constFirst());

    QFile listing(name);
    if (!listing.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ShowOpenError(this);
        return;
    }
    if (!OpenListingWindow(name)) {
        ShowOpenError(this);
        return;
    }
    if (LoadS19(QString::fromStdString(ObjectFileName(name.toStdString()))))
        Mdi->tileSubWindows();
    else
        ShowOpenError(this);
    listing.close();

    ResetAddress = 0x0000;
    if (gui::ExecModal(*FormResetVek) == QDialog::Accepted && FormResetVek->ListBox1->currentRow() == 1)
        ResetAddress = 0xB600;
    ResetCpu();
}

bool TMainForm::OpenListingWindow(const QString& name) {
    if (Listing) {
        Listing->RichEdit1->setFocus();
        return true;
    }
    auto* child = new TMDIChild;
    // The caller reports the one message the system has for a file that fails.
    if (QFileInfo::exists(name) && !child->LoadFile(name, nullptr)) {
        delete child;
        return false;
    }
    child->setWindowTitle(name);
    gui::ConnectGuarded(child, &TMDIChild::CaretChanged, this, &TMainForm::UpdateCaretPosition);
    gui::ConnectGuarded(child, &QObject::destroyed, this, &TMainForm::ListingClosed);
    Listing = child;
    QMdiSubWindow* sub = Mdi->addSubWindow(child);
    sub->resize(Mdi->size() * 0.8);
    sub->show();
    updateMenuitems();
    return true;
}

bool TMainForm::LoadS19(const QString& name) {
    if (!Listing) return true;
    std::string text;
    if (ReadTextFile(ResolveFileName(name).toStdString(), &text, nullptr) != TReadStatus::Okay) return false;
    LoadS19Text(text, MemoryImage);
    return true;
}

void TMainForm::ResetCpu() {
    ::ResetCpu(ResetAddress);
    RefreshToolWindows();
}

void TMainForm::Reset1Click() { ResetCpu(); }

void TMainForm::EEPROM1Click() { ClearCells(0xB600, 0xB7FF); }

void TMainForm::SFR1Click() { ClearCells(0x1000, 0x103F); }

void TMainForm::Osveiprogpomnilnik1Click() {
    ClearCells(0x0000, 0xFFFF);
    ResetCpu();
    if (!Listing) return;
    if (!LoadS19(QString::fromStdString(ObjectFileName(Listing->windowTitle().toStdString())))) {
        TStepBlock block(this);
        ShowOpenError(this);
    }
    // The windows would show the cleared memory until the next step.
    RefreshToolWindows();
}

// ---------------------------------------------------------------------------
// Step and run

TMDIChild* TMainForm::ListingWindow() const {
    // Whoever looks at the listing sees the selection of the last step.
    if (Listing) Listing->ShowSelection();
    return Listing;
}

bool TMainForm::CaretOnListingLine() const {
    return Listing && CurrentLine >= 1 && CurrentLine <= Listing->LineCount();
}

bool TMainForm::Running() const { return ToolButton2->isChecked(); }

void TMainForm::StopRun() { ToolButton2->setChecked(false); }

void TMainForm::ToolButton15Click() {
    // A step's error box must not let further ticks step underneath it.
    if (StepInProgress) return;
    StepInProgress = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{StepInProgress};

    if (WaitState == 0 && StopState == 0) HighlightPcLine();
    const TStepResult result = SimulationStep();
    if (result.Illegal) {
        StopRun();
        gui::ShowBox(this, TBoxKind::Error, QString::fromStdString(IllegalOpcodeMessage(result)));
    }
    RefreshToolWindows();
    emit StepDone();
}

void TMainForm::Timer1Timer() {
    if (!Listing || !Running() || StepBlockers > 0 || StepInProgress) {
        EndRunFrames();
        return;
    }
    RunFrames->Hold(true);

    if (!RunClock.isValid()) {
        RunClock.start();
        RunStepsDone = 0;
    }
    const int64_t steps = RunTickSteps(RunClock.elapsed() + 1, RunStepsDone, MaxStepsPerTick);
    for (int64_t i = 0; i < steps && Listing && Running() && StepBlockers == 0; ++i) {
        if (CaretOnListingLine() && IsBreakpointKey(MemoBreake, Listing->LineKey(CurrentLine))) {
            StopRun();
            return;
        }
        ToolButton15Click();
    }
    if (Listing && RunFrames->FrameDue()) {
        Listing->ShowSelection();
        RunFrames->PaintFrame();
    }
}

void TMainForm::EndRunFrames() {
    if (Listing) Listing->ShowSelection();
    RunFrames->Hold(false);
}

void TMainForm::ToolButton2Click() {
    if (!Running()) EndRunFrames();
    if (Timer1->interval() != RunTimerInterval()) Timer1->setInterval(RunTimerInterval());
    RunClock.invalidate();
    const QIcon image = style()->standardIcon(Running() ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay);
    ToolButton2->setIcon(image);
    StartStop1->setIcon(image);
}

void TMainForm::StartStop1Click() { ToolButton2->toggle(); }

void TMainForm::HighlightPcLine() {
    if (!Listing) return;
    // The focus stays where the last step put it unless something moved it.
    if (Listing->RichEdit1->window()->focusWidget() != Listing->RichEdit1) Listing->RichEdit1->setFocus();
    // A run shows the selection once a frame.
    const bool running = RunFrames->Holding();
    for (int line : Listing->LinesAt(CpuRegs.PC))
        Listing->ColourLine(line, IsBreakpointKey(MemoBreake, Listing->LineKey(line)) ? Qt::red : Qt::black, running);
}

void TMainForm::Vstaviustavitvenotoko1Click() {
    UpdateCaretPosition();
    if (!CaretOnListingLine()) return;
    Listing->RichEdit1->setFocus();
    const QString key = Listing->LineKey(CurrentLine);
    if (!IsBreakpointKey(MemoBreake, key)) MemoBreake << key;
    Listing->ColourLine(CurrentLine, Qt::red);
}

void TMainForm::Odstrani1Click() {
    UpdateCaretPosition();
    if (!CaretOnListingLine()) return;
    Listing->RichEdit1->setFocus();
    const QString key = Listing->LineKey(CurrentLine);
    for (qsizetype i = 0; i < MemoBreake.size(); ++i) {
        if (MemoBreake[i].compare(key, Qt::CaseInsensitive) == 0) {
            MemoBreake.removeAt(i);
            break;
        }
    }
    Listing->ColourLine(CurrentLine, Qt::black);
}

void TMainForm::Odkurzorja1Click() {
    if (!CaretOnListingLine()) return;
    Listing->RichEdit1->setFocus();
    CpuRegs.PC = CursorAddress(Listing->LineText(CurrentLine));
}

void TMainForm::StimulatorTipkeClick(QAction* sender) {
    if (sender == SpeedBIRQ) IrqPending = 1;
    if (sender == SpeedBNMI) XirqPending = 1;
}

void TMainForm::Stimulacije1Click() {
    SpeedBIRQ->setEnabled(Stimulacije1->isChecked());
    SpeedBNMI->setEnabled(Stimulacije1->isChecked());
}

void TMainForm::RefreshToolWindows() {
    TWindowsRefresh refresh;
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (TToolWindow* window = kind.Form.Current()) window->RefreshView();
}

// ---------------------------------------------------------------------------
// Listing window, find, settings

void TMainForm::UpdateCaretPosition() {
    if (!Listing) return;
    const int start = Listing->SelectionStart();
    const QTextBlock block = Listing->RichEdit1->document()->findBlock(start);
    const int line = block.blockNumber() + 1;
    const int column = start - block.position() + 1;
    CurrentLine = line;
    // Only this function writes the panel: a loop's steps often find it right.
    if (line == CaretShown[0] && column == CaretShown[1]) return;
    CaretShown[0] = line;
    CaretShown[1] = column;
    char text[40];
    const int length = std::snprintf(text, sizeof text, "Vrs: %-3d   Kol: %-3d", line, column);
    StatusPanels[1]->setText(QString::fromLatin1(text, std::clamp<int>(length, 0, sizeof text - 1)));
}

void TMainForm::ListingClosed() {
    Listing = nullptr;
    RunFrames->Hold(false);
    updateMenuitems();
}

void TMainForm::updateMenuitems() {
    if (Timer1->interval() != RunTimerInterval()) Timer1->setInterval(RunTimerInterval());
    if (Listing) {
        if (!Timer1->isActive()) Timer1->start();
        return;
    }
    Timer1->stop();
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (TToolWindow* window = kind.Form.Current(); window && !kind.KeptWithoutListing) window->close();
}

void TMainForm::FileClose1Execute() {
    const QList<QMdiSubWindow*> children = Mdi->subWindowList(QMdiArea::CreationOrder);
    for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->close();
}

void TMainForm::FileExitItemClick() { close(); }

void TMainForm::Find1Execute() {
    if (Listing) BringToFront(FindDialog1);
}

void TMainForm::FindDialog1Find() {
    if (!Listing) return;
    Listing->ShowSelection();
    const QString text = FindDialog1->FindText();
    const QTextCursor cursor = Listing->RichEdit1->textCursor();
    const int start = cursor.hasSelection() ? cursor.selectionEnd() : 0;
    const QTextCursor found = text.isEmpty() ? QTextCursor() : Listing->RichEdit1->document()->find(text, start);
    if (found.isNull()) {
        gui::ShowBox(this, TBoxKind::Information, QStringLiteral("Ne najdem besede \"") + text + QStringLiteral("\""));
        return;
    }
    Listing->RichEdit1->setFocus();
    Listing->RichEdit1->setTextCursor(found);
}

void TMainForm::Izbirapisave1Click() {
    FormPisava->ShowFontPage();
    gui::ExecModal(*FormPisava);
}

void TMainForm::Nastavitve1Click() {
    FormPisava->ShowAdPage();
    const int remembered = FormPisava->TrackBar1->value();
    if (gui::ExecModal(*FormPisava) != QDialog::Accepted) FormPisava->TrackBar1->setValue(remembered);
}

void TMainForm::FontDialog1Apply() {
    if (!Listing) return;
    Listing->ShowSelection();
    QTextCharFormat format;
    format.setFont(FontDialog1->SelectedFont());
    format.setForeground(FontDialog1->SelectedColour());
    QTextCursor cursor = Listing->RichEdit1->textCursor();
    cursor.mergeCharFormat(format);
    Listing->Modified = true;
    FormPisava->ShowFont(FontDialog1->SelectedFont());
}

// ---------------------------------------------------------------------------
// Window menu

void TMainForm::OpenToolWindow(const TToolWindowKind& kind) {
    if (TToolWindow* window = kind.Form.Current()) {
        BringToFront(window);
        return;
    }
    TToolWindow* window = kind.Form.Create(this);
    RunFrames->Watch(window);
    for (TextGrid* grid : window->findChildren<TextGrid*>()) grid->PaceBy(RunFrames);
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
    for (QAction* item : OdprtoOknoItems) item->setVisible(false);
    for (int i = 0; i < 6 && i < OpenWindowList.size(); ++i) {
        OdprtoOknoItems[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + OpenWindowList[i]);
        OdprtoOknoItems[i]->setVisible(true);
    }
}

void TMainForm::OdprtoOkno(QAction* sender) {
    if (std::find(std::begin(OdprtoOknoItems), std::end(OdprtoOknoItems), sender) != std::end(OdprtoOknoItems))
        RememberedWindowItem = sender;
    if (!RememberedWindowItem) return;
    const QString caption = RememberedWindowItem->text();
    QWidget* window = nullptr;
    for (const TToolWindowKind& kind : ToolWindowTable)
        if (caption.contains(QString::fromUtf8(kind.MenuKey))) window = kind.Form.Current();
    if (window) BringToFront(window);
}

void TMainForm::FillWindowListMenu() {
    // The platform's list of MDI children, after the tool-window items.
    const QList<QAction*> actions = OknoMenu->actions();
    const qsizetype first = actions.indexOf(WindowListSeparator) + 1;
    for (qsizetype i = first; i < actions.size(); ++i) {
        OknoMenu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QList<QMdiSubWindow*> children = Mdi->subWindowList(QMdiArea::CreationOrder);
    WindowListSeparator->setVisible(!children.isEmpty());
    for (QMdiSubWindow* sub : children) {
        QAction* item = OknoMenu->addAction(sub->windowTitle());
        item->setCheckable(true);
        item->setChecked(sub == Mdi->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
            if (sub) Mdi->setActiveSubWindow(sub);
        });
    }
}

}  // namespace VantrelSIM
