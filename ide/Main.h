// Unit Main: the development environment's MDI frame. This header is the
// table of contents of TMainForm: each group names the file that implements
// it. The handlers carry the system's names and are public, as the form's
// published handlers are; the actions and menus are private, reached from
// outside by their component names (gui::Component).
#pragma once

#include <QMainWindow>
#include <QPixmap>

#include <memory>
#include <string>

#include "comport/SerialPort.h"
#include "gui/StandardDialogs.h"
#include "ide/Programmer.h"
#include "platform/clock/Clock.h"
#include "platform/help/HelpApi.h"
#include "platform/print/PrintApi.h"
#include "platform/shell/ShellApi.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QTextEdit;
class QTimer;
class QToolBar;

namespace Vantrel {

class TMDIChild;
class TAboutBox;
class TFormPisava;
class TForm1;
class TForm2;
class TForNastavProg;
class TFormPorocilo;
class TFormEENasloviBranje;

// The platform services the main window works through; tests pass fakes.
// nullptr: the real one (the machine's ports, processes and clock, a help
// window of our own, the printer through Qt).
struct TServices {
    comm::CommApi* Comm = nullptr;
    shell::ShellApi* Shell = nullptr;
    help::HelpApi* Help = nullptr;
    printing::PrintApi* Print = nullptr;
    timing::Clock* Clock = nullptr;
};

class TMainForm : public QMainWindow {
    Q_OBJECT

    // The services made here when none was given; before the references
    // below, which are bound to them.
    std::unique_ptr<help::HelpApi> ownHelp_;
    std::unique_ptr<printing::PrintApi> ownPrinter_;

    // ------------------------------------------------------------ Main.cpp
    // The frame: its construction in named steps, the status bar, Timer1,
    // the port, activation and the close sequence.
public:
    explicit TMainForm(const TServices& services = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    TComPort ComPort1;
    shell::ShellApi& Shell;
    help::HelpApi& Help;
    printing::PrintApi& Printer;
    timing::Clock& Clock;
    // AppDir + "Pomoc/VantrelHELP.hlp": the help pages in Pomoc/.
    std::string HelpFile;

    // Status bar: eight panels; 7 shows the programmer image.
    static constexpr int PanelCount = 8;
    QLabel* StatusPanels[PanelCount] = {};
    QTimer* Timer1 = nullptr;
    gui::TFindDialog* FindDialog1 = nullptr;
    gui::TFontDialog* FontDialog1 = nullptr;
    TFormEENasloviBranje* FormEENasloviBranje = nullptr;
    // The forms the main block creates after the main window, in its order.
    TAboutBox* AboutBox = nullptr;
    TForm1* Form1 = nullptr;                  // assembler options (Unit1)
    TForm2* Form2 = nullptr;                  // error finding (Unit2)
    TForNastavProg* ForNastavProg = nullptr;  // target chip (Unit3)
    TFormPisava* FormPisava = nullptr;        // settings (UnitPisava)

    void FormCreate();
    void TogglePort();
    void updateMenuitems();
    void FormActivate();
    void Timer1Timer();
    void vrstica();
    void UpdateStatusPanels();
    // Panel 7's image for ProgrammerFound; drawn again whenever that changes.
    void StatusBarDrawPanel();
    // The close sequence; false when the user chose to keep a modified editor.
    bool FormCloseQuery();

    // The rich-edit control the editor commands act on (the current editor):
    // the focused one of the current MDI child, an editor or a report
    // window; nullptr only when no child is open, so closing one editor
    // leaves the commands working on the others.
    QTextEdit* ActiveRichEdit() const;
    // The current MDI child when it is an editor window.
    TMDIChild* ActiveEditor() const;
    QList<TMDIChild*> EditorWindows() const;
    QMdiArea* MdiArea() const { return mdi_; }
    // Places a window among the MDI children (editors, reports); Timer1
    // follows the children as they come and go.
    QMdiSubWindow* AddMDIChild(QWidget* child);
    int MDIChildCount() const;

    // The shell's "open" of a program or a .bat file; a start that fails
    // shows a box naming the program. True when the program started.
    bool ShellOpen(const std::string& file, const std::string& parameters, shell::ShowCommand show);

protected:
    void closeEvent(QCloseEvent* event) override;  // FormCloseQuery decides
    bool event(QEvent* event) override;

private:
    void createMdiArea();
    void createStatusBar();
    void createPort();
    void createDialogs();
    void createForms();

    QMdiArea* mdi_ = nullptr;
    QPixmap programmerImages_[2];  // not found, found

    // ----------------------------------------------------- MainActions.cpp
    // Every command from one table; the menus and the tool bar placing them;
    // the one place that sets which commands are enabled.
public:
    QProgressBar* Gauge1 = nullptr;  // the programmer's progress, on the tool bar

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void UpdateActions();  // the programmer's commands and the erase

    QMenu* File1 = nullptr;
    QAction* FileNewItem = nullptr;
    QAction* FileOpenItem = nullptr;
    QAction* FileCloseItem = nullptr;
    QAction* Shrani1 = nullptr;
    QAction* Shranikot1 = nullptr;
    QAction* Tiskaj1 = nullptr;
    QAction* FileExitItem = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* Razveljavi1 = nullptr;
    QAction* CutItem = nullptr;
    QAction* CopyItem = nullptr;
    QAction* PasteItem = nullptr;
    QAction* IzberiVse1 = nullptr;
    QAction* Najdi1 = nullptr;
    QAction* Izbirapisave1 = nullptr;
    QMenu* Prevajalnik1 = nullptr;
    QAction* Nastavitve1 = nullptr;
    QAction* Zaeni1 = nullptr;
    QAction* Branjeporoila1 = nullptr;
    QMenu* Programator1 = nullptr;
    QAction* Nastavitve2 = nullptr;
    QAction* Nastavvrat1 = nullptr;
    QAction* EEPROMbrii1 = nullptr;
    QAction* Zagon1 = nullptr;
    QMenu* Simulator1 = nullptr;
    QAction* Zagon2 = nullptr;
    QMenu* Window1 = nullptr;
    QAction* WindowCascadeItem = nullptr;
    QAction* WindowTileItem = nullptr;
    QAction* windowListSeparator_ = nullptr;
    QMenu* Help1 = nullptr;
    QAction* HelpAboutItem = nullptr;
    QAction* Vsebina1 = nullptr;

    QToolBar* ToolBar2 = nullptr;
    QAction* ToolButton9 = nullptr;   // new
    QAction* ToolButton1 = nullptr;   // open
    QAction* ToolButton2 = nullptr;   // save
    QAction* ToolButton11 = nullptr;  // print
    QAction* ToolButton4 = nullptr;   // cut
    QAction* ToolButton5 = nullptr;   // copy
    QAction* ToolButton6 = nullptr;   // paste
    QAction* ToolButton26 = nullptr;  // undo
    QAction* ToolButton27 = nullptr;  // find
    QAction* ToolButton8 = nullptr;   // cascade
    QAction* ToolButton10 = nullptr;  // tile
    QAction* ToolButton15 = nullptr;  // assemble
    QAction* ToolButton17 = nullptr;  // report
    QAction* ToolButton16 = nullptr;  // programmer
    QAction* ToolButton28 = nullptr;  // simulator
    QAction* ToolButton21 = nullptr;  // help
    QAction* ToolButton25 = nullptr;  // exit

    // What the enabled states follow.
    bool assembledClean_ = false;  // the last assembly found no error: the programmer may run
    bool eraseAllowed_ = true;     // "Omogoči brisanje EEproma" as the settings dialog last confirmed it

    // ------------------------------------------------------ MainEditor.cpp
    // The editor windows' commands: new, open, close, save, print, exit,
    // the edit commands, find and font, and the arrangement of the windows.
public:
    TMDIChild* OpenEditorWindow(const QString& name);
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileClose1Execute();
    void FileSaveAsItemClick();
    void ShraniKot();
    void ToolButton11Click();
    void FileExit1Execute();
    void Razveljavi1Click();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void IzberiVse1Click();
    void Najdi1Click();
    void FindDialog1Find();
    // One find-next for `what` in the active editor.
    void FindNext(const QString& what);
    void FontDialog1Apply();
    void WindowCascade1Execute();
    void WindowTileHorizontal1Execute();

private:
    QString RunSaveDialog();
    // Writes the active child's text to name; throws with the reason when it cannot.
    void SaveActive(const QString& name);

    // ---------------------------------------------------- MainSettings.cpp
    // The settings dialog and Vantrel.ini.
public:
    void Izbirapisave1Click();
    void Nastavvrat1Click();
    void LoadSettings();
    void SaveSettings();

    // -------------------------------------------------------- MainHelp.cpp
    // The help pages and the about box.
public:
    void Vsebina1Click();
    // F1: the help page of the active editor window, else the contents.
    void ContextHelp();
    // A help command; a page that is missing shows an information box.
    void ShowHelp(unsigned command, std::uintptr_t data);
    void HelpAbout1Execute();

    // --------------------------------------------------- MainAssembler.cpp
    // Assembling, the assembler's options and the start of the simulator.
public:
    void ToolButton15Click();
    void Nastavitve1Click();
    void ToolButton28Click();

private:
    // asm.bat anew with the line; throws naming the file when it cannot.
    void WriteAsmBatFile(const std::string& line);

    // ------------------------------------------------------ MainReport.cpp
    // The report windows.
public:
    // A new report window (Unit5) captioned with the file and showing it.
    TFormPorocilo* OpenReportWindow(const QString& fileName);
    void ToolButton17Click();

    // -------------------------------------------------------- MainChip.cpp
    // The target chip.
public:
    void Nastavitve2Click();

    // -------------------------------------------------- MainProgrammer.cpp
    // The programmer: RAM, the EEPROM's erase and its programming through
    // the downloader, and the port's events.
public:
    void ToolButton16Click();
    void EEPROMbrii1Click();
    void ComPort1AfterOpen(TObject* sender);
    void ComPort1DSRChange(TObject* sender, bool onOff);
    // The downloader this window started; while it runs it holds the port.
    TDownloaderWatch Downloader;
};

// Start-up as the main block has it: the main window, which creates the
// forms that live as long as it (Main.cpp).
TMainForm* CreateVantrelForms(const TServices& services = {});

}  // namespace Vantrel
