// The simulator's main window: the MDI frame with its menus and tool bar,
// the step and run control, loading and reset. It owns the simulator state
// (simulator/Hc11.h) in the sense that every command on it starts here.
// This header is the table of contents of TMainForm: each group names the
// file that implements it. The handlers carry the system's names and are
// public; the actions are private, reached from outside by their component
// names (gui::Component).
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMargins>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
namespace gui {
class TFindDialog;
class TFontDialog;
}  // namespace gui

namespace VantrelSIM {

class TFramePacer;
class TMDIChild;
class TToolWindow;
struct TToolWindowKind;

class TMainForm : public QMainWindow {
    Q_OBJECT

    // ------------------------------------------------------------ Main.cpp
    // The frame: its construction in named steps, the status bar, closing.
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Captions of the open tool windows, in the order they were opened.
    QStringList OpenWindowList;
    // The open dialog's initial folder, with a trailing separator.
    QString StartDirectory;
    QTimer* Timer1 = nullptr;
    QLabel* StatusPanels[4] = {};
    gui::TFindDialog* FindDialog1 = nullptr;
    gui::TFontDialog* FontDialog1 = nullptr;

    void updateMenuitems();
    void FileClose1Execute();
    void FileExitItemClick();

signals:
    // After every step, single or run.
    void StepDone();

protected:
    // The MDI children close first, last first; one that refuses keeps the program.
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;  // hints to panel 1

private:
    void createMdiArea();
    void createTimer();
    void createStatusBar();
    void createDialogs();
    void FormCreate();

    QMdiArea* mdi_ = nullptr;

    // ----------------------------------------------------- MainActions.cpp
    // Every command from one table; the menus and the tool bar placing them;
    // the one place that sets which commands are enabled.
private:
    void createActions();
    void createMenus();
    void createToolBar();
    void UpdateActions();  // IRQ and NMI

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
    // The six window items, by ToolWindowTable's rows.
    std::array<QAction*, 6> toolWindowItems_{};
    // OdprtoOkno11 .. OdprtoOkno61: the list of open tool windows in "O&kno".
    std::array<QAction*, 6> windowListItems_{};
    QMenu* windowMenu_ = nullptr;
    QAction* windowListSeparator_ = nullptr;

    // ----------------------------------------------------- MainLoading.cpp
    // Opening a listing, loading its object file, reset and clearing memory.
public:
    // The PC that reset sets: $0000 or $B600, chosen after each open.
    uint16_t ResetAddress = 0x0000;

    void FileOpen1Execute();
    bool OpenListingWindow(const QString& name);
    bool LoadS19(const QString& name);
    void ResetCpu();
    void Reset1Click();
    void EEPROM1Click();
    void SFR1Click();
    void Osveiprogpomnilnik1Click();

    // --------------------------------------------------------- MainRun.cpp
    // A step, the continuous run on Timer1, breakpoints, interrupts from
    // the tool bar, and the tool windows' refresh after each step.
public:
    // Breakpoint keys: the first four characters of listing lines.
    QStringList MemoBreake;

    TMDIChild* ListingWindow() const;
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
    void RefreshToolWindows();
    // The run switch (ToolButton2 down).
    bool Running() const;
    // Timer1's interval: 1 ms while the run switch is down.
    int RunTimerInterval() const;
    void StopRun();

private:
    // Holds the run loop back while a command must finish undisturbed.
    class TStepBlock {
    public:
        explicit TStepBlock(TMainForm* form) : form_(form) { ++form_->stepBlockers_; }
        ~TStepBlock() { --form_->stepBlockers_; }
        TStepBlock(const TStepBlock&) = delete;
        TStepBlock& operator=(const TStepBlock&) = delete;

    private:
        TMainForm* form_;
    };

    // CurrentLine names a line of the open listing (not so before the caret
    // was first read).
    bool CaretOnListingLine() const;
    // The run's last selection shown and its painting no longer held.
    void EndRunFrames();

    QPointer<TMDIChild> listing_;
    // No step runs while a command that must finish first is under way
    // (the open command, a step's own error box).
    int stepBlockers_ = 0;
    bool stepInProgress_ = false;
    // A run paints a frame at most every RunFrameMs: painting after every
    // 1 ms step would cost more than the step itself.
    static constexpr int RunFrameMs = 66;
    static constexpr int IdleTimerIntervalMs = 1000;
    TFramePacer* runFrames_ = nullptr;
    // Timer messages arrive late on a busy machine; the run keeps one step
    // per millisecond of its running time by catching up, a few steps per
    // tick at most so the window stays responsive.
    static constexpr int MaxStepsPerTick = 10;
    QElapsedTimer runClock_;
    int64_t runStepsDone_ = 0;

    // ----------------------------------------------------- MainListing.cpp
    // The listing window's caret and find.
public:
    // 1-based listing line of the caret; 0 while no open listing has reported one.
    int CurrentLine = 0;

    void UpdateCaretPosition();
    void Find1Execute();
    void FindDialog1Find();

private:
    void ListingClosed();

    // Line and column the caret panel shows.
    int caretShown_[2] = {0, 0};

    // ---------------------------------------------------- MainSettings.cpp
    // The settings dialog: the listing's font and the A/D input.
public:
    void Izbirapisave1Click();
    void Nastavitve1Click();
    void FontDialog1Apply();

    // ------------------------------------------------- MainToolWindows.cpp
    // The tool windows of "O&kno" and their list in the menu.
public:
    void OknoregistrovCPE1Click();
    void Registrivgrajenihenot1Click();
    void Sklad1Click();
    void Spominskelokacije1Click();
    void Uporabnikespremenljivke1Click();
    void VrataA1Click();
    void UpdateWindowMenu();
    void OdprtoOkno(QAction* sender);
    // The item of "O&kno" that opens the window of ToolWindowTable's row.
    QAction* ToolWindowItem(size_t row) const { return toolWindowItems_[row]; }
    // A tool window closing: it leaves the list and the menu, and its place
    // is kept for its next opening.
    void ToolWindowClosed(const TToolWindow& window);

private:
    void OpenToolWindow(const TToolWindowKind& kind);
    // Where the user last put it, else a free spot of the work area.
    void PlaceToolWindow(TToolWindow& window);
    // The part of the screen that the listing fills, below the tool bar.
    QRect WorkArea() const;
    // The window manager's frame around a tool window, as it framed one;
    // before that, as it framed the main window.
    QMargins ToolWindowFrame() const;

    QAction* rememberedWindowItem_ = nullptr;
    // Where each tool window's frame stood when it closed, by ToolWindowTable's rows.
    std::array<std::optional<QPoint>, 6> toolWindowPlaces_{};
};

extern TMainForm* MainForm;

// The steps one run tick makes: the run keeps one step per millisecond of
// its running time (elapsedMs counts the tick's own millisecond), at least
// one a tick and at most maxSteps. `done` carries the count from tick to
// tick; a stall longer than maxSteps milliseconds is not made up
// (MainRun.cpp).
int64_t RunTickSteps(int64_t elapsedMs, int64_t& done, int64_t maxSteps);

// Start-up: the main window, then the dialogs that live as long as it
// (settings, watch editor, reset address). Deleting the main window frees
// them (Main.cpp).
TMainForm* CreateSimulatorForms();

}  // namespace VantrelSIM
