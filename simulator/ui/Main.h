// The simulator's main window: the MDI frame with its menus and tool bar,
// the step and run control, loading and reset. It owns the simulator state
// (simulator/Hc11.h) in the sense that every command on it starts here.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <cstdint>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;
namespace gui {
class TFindDialog;
class TFontDialog;
}  // namespace gui

namespace VantrelSIM {

class TFramePacer;
class TMDIChild;
struct TToolWindowKind;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Captions of the open tool windows, in the order they were opened.
    QStringList OpenWindowList;
    // Breakpoint keys: the first four characters of listing lines.
    QStringList MemoBreake;
    // 1-based listing line of the caret; 0 before it was first read.
    int CurrentLine = 0;
    // The PC that reset sets: $0000 or $B600, chosen after each open.
    uint16_t ResetAddress = 0x0000;
    // The open dialog's initial folder, with a trailing separator.
    QString StartDirectory;

    TMDIChild* ListingWindow() const;
    gui::TFontDialog* FontDialog1 = nullptr;

    void UpdateWindowMenu();
    void RefreshToolWindows();
    void UpdateCaretPosition();

    // Commands, named after the components and events that start them.
    void FileOpen1Execute();
    bool OpenListingWindow(const QString& name);
    bool LoadS19(const QString& name);
    void ResetCpu();
    void Reset1Click();
    void EEPROM1Click();
    void SFR1Click();
    void Osveiprogpomnilnik1Click();

    void ToolButton15Click();
    void Timer1Timer();
    void ToolButton2Click();
    void StartStop1Click();
    void Vstaviustavitvenotoko1Click();
    void Odstrani1Click();
    void Odkurzorja1Click();
    void StimulatorTipkeClick(QAction* sender);
    void Stimulacije1Click();
    void HighlightPcLine();

    void FileClose1Execute();
    void FileExitItemClick();
    void updateMenuitems();
    void Find1Execute();
    void FindDialog1Find();
    void Izbirapisave1Click();
    void Nastavitve1Click();
    void FontDialog1Apply();

    void OknoregistrovCPE1Click();
    void Registrivgrajenihenot1Click();
    void Sklad1Click();
    void Spominskelokacije1Click();
    void Uporabnikespremenljivke1Click();
    void VrataA1Click();
    void OdprtoOkno(QAction* sender);

    // The run switch (ToolButton2 down).
    bool Running() const;
    // Timer1's interval: 1 ms while the run switch is down.
    int RunTimerInterval() const;
    void StopRun();

    // Actions, under the names of the components they stand for.
    QAction* FileOpen1 = nullptr;
    QAction* FileClose1 = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* ToolButton4 = nullptr;
    QAction* Find1 = nullptr;
    QAction* Izbirapisave1 = nullptr;
    QAction* ToolButton15 = nullptr;
    QAction* ToolButton2 = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* StartStop1 = nullptr;
    QAction* Korak1 = nullptr;
    QAction* Reset1 = nullptr;
    QAction* Odkurzorja1 = nullptr;
    QAction* Vstaviustavitvenotoko1 = nullptr;
    QAction* Odstrani1 = nullptr;
    QAction* Stimulacije1 = nullptr;
    QAction* EEPROM1 = nullptr;
    QAction* SFR1 = nullptr;
    QAction* Osveiprogpomnilnik1 = nullptr;
    QAction* Nastavitve1 = nullptr;
    QAction* SpeedBIRQ = nullptr;
    QAction* SpeedBNMI = nullptr;
    QAction* OknoregistrovCPE1 = nullptr;
    QAction* Registrivgrajenihenot1 = nullptr;
    QAction* Sklad1 = nullptr;
    QAction* Spominskelokacije1 = nullptr;
    QAction* Uporabnikespremenljivke1 = nullptr;
    QAction* VrataA1 = nullptr;
    QAction* OdprtoOknoItems[6] = {};
    QTimer* Timer1 = nullptr;
    QLabel* StatusPanels[4] = {};
    gui::TFindDialog* FindDialog1 = nullptr;

signals:
    // After every step, single or run.
    void StepDone();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createMdiArea();
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createTimer();
    void FormCreate();

    // CurrentLine names a line of the open listing (not so before the caret
    // was first read).
    bool CaretOnListingLine() const;
    void ListingClosed();
    // The run's last selection shown and its painting no longer held.
    void EndRunFrames();
    void FillWindowListMenu();
    void OpenToolWindow(const TToolWindowKind& kind);

    QMdiArea* Mdi = nullptr;
    QPointer<TMDIChild> Listing;
    QMenu* OknoMenu = nullptr;
    QAction* WindowListSeparator = nullptr;
    QAction* RememberedWindowItem = nullptr;
    // No step runs while a command that must finish first is under way
    // (the open command, a step's own error box).
    int StepBlockers = 0;
    bool StepInProgress = false;
    // A run paints a frame at most every RunFrameMs: painting after every
    // 1 ms step would cost more than the step itself.
    static constexpr int RunFrameMs = 66;
    static constexpr int IdleTimerIntervalMs = 1000;
    TFramePacer* RunFrames = nullptr;
    // Timer messages arrive late on a busy machine; the run keeps one step
    // per millisecond of its running time by catching up, a few steps per
    // tick at most so the window stays responsive.
    static constexpr int MaxStepsPerTick = 10;
    QElapsedTimer RunClock;
    // Line and column the caret panel shows.
    int CaretShown[2] = {0, 0};
    int64_t RunStepsDone = 0;
    friend class TStepBlock;
};

extern TMainForm* MainForm;

// The steps one run tick makes: the run keeps one step per millisecond of
// its running time (elapsedMs counts the tick's own millisecond), at least
// one a tick and at most maxSteps. `done` carries the count from tick to
// tick; a stall longer than maxSteps milliseconds is not made up.
int64_t RunTickSteps(int64_t elapsedMs, int64_t& done, int64_t maxSteps);

// Start-up: the main window, then the dialogs that live as long as it
// (settings, watch editor, reset address). Deleting the main window frees them.
TMainForm* CreateSimulatorForms();

}  // namespace VantrelSIM
