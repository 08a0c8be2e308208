// Unit Main: the development environment's MDI frame with its menus, tool
// bar and status bar, the start-up and close sequences, the serial port
// ComPort1 and the commands of the editor windows. The assembler driver, the
// report, the chip dialog and the programmer hang their handlers off the
// actions declared here.
#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <memory>

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
    std::unique_ptr<help::HelpApi> OwnHelp;
    std::unique_ptr<printing::PrintApi> OwnPrinter;

public:
    explicit TMainForm(const TServices& services = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    TComPort ComPort1;

    // The rich-edit control the editor commands act on (the current editor):
    // the focused one of the current MDI child, an editor or a report
    // window; nullptr only when no child is open, so closing one editor
    // leaves the commands working on the others.
    QTextEdit* ActiveRichEdit() const;
    // The current MDI child when it is an editor window.
    TMDIChild* ActiveEditor() const;
    QList<TMDIChild*> EditorWindows() const;
    QMdiArea* MdiArea() const { return Mdi; }
    // Places a window among the MDI children (editors, reports); Timer1
    // follows the children as they come and go.
    QMdiSubWindow* AddMDIChild(QWidget* child);
    int MDIChildCount() const;

    shell::ShellApi& Shell;
    help::HelpApi& Help;
    printing::PrintApi& Printer;
    timing::Clock& Clock;
    // AppDir + "Pomoc/VantrelHELP.hlp": the help pages in Pomoc/.
    std::string HelpFile;

    // The shell's "open" of a program or a .bat file; a start that fails
    // shows a box naming the program. True when the program started.
    bool ShellOpen(const std::string& file, const std::string& parameters, shell::ShowCommand show);
    // A help command; a page that is missing shows an information box.
    void ShowHelp(unsigned command, std::uintptr_t data);

    // --- Frame (this unit)
    void FormCreate();
    void TogglePort();
    void updateMenuitems();
    void FormActivate();
    void Timer1Timer();
    void vrstica();
    void UpdateStatusPanels();
    void Izbirapisave1Click();
    void Nastavvrat1Click();
    void Vsebina1Click();
    // F1: the help page of the active editor window, else the contents.
    void ContextHelp();
    // The close sequence; false when the user chose to keep a modified editor.
    bool FormCloseQuery();
    void LoadSettings();
    void SaveSettings();

    // --- Editor windows (MainEditor.cpp)
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
    void HelpAbout1Execute();
    void WindowCascade1Execute();
    void WindowTileHorizontal1Execute();

    // --- Filled in by the assembler driver, the report, the chip dialog and
    // the programmer.
    void ToolButton15Click();
    void Nastavitve1Click();
    void ToolButton17Click();
    void ToolButton28Click();
    void Nastavitve2Click();
    void ToolButton16Click();
    void EEPROMbrii1Click();

    // --- Programmer (MainProgrammer.cpp)
    void ComPort1AfterOpen(TObject* Sender);
    void ComPort1DSRChange(TObject* Sender, bool OnOff);
    // The downloader this window started; while it runs it holds the port.
    TDownloaderWatch Downloader;

    // --- Menus, in the order they stand.
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
    QMenu* Help1 = nullptr;
    QAction* HelpAboutItem = nullptr;
    QAction* Vsebina1 = nullptr;

    // --- Tool bar, left to right.
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
    QProgressBar* Gauge1 = nullptr;
    QAction* ToolButton28 = nullptr;  // simulator
    QAction* ToolButton21 = nullptr;  // help
    QAction* ToolButton25 = nullptr;  // exit

    // --- Status bar: eight panels; 7 shows the programmer image.
    static constexpr int PanelCount = 8;
    QLabel* StatusPanels[PanelCount] = {};
    QTimer* Timer1 = nullptr;

    gui::TFindDialog* FindDialog1 = nullptr;
    gui::TFontDialog* FontDialog1 = nullptr;
    TAboutBox* AboutBox = nullptr;
    TFormPisava* FormPisava = nullptr;
    TForm1* Form1 = nullptr;                  // assembler options (Unit1)
    TForm2* Form2 = nullptr;                  // error finding (Unit2)
    TForNastavProg* ForNastavProg = nullptr;  // target chip (Unit3)

    // A new report window (Unit5) captioned with the file and showing it.
    TFormPorocilo* OpenReportWindow(const QString& fileName);
    TFormEENasloviBranje* FormEENasloviBranje = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createMdiArea();
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createPort();
    void createDialogs();
    void FillWindowMenu();
    // Writes the active child's text to name; throws with the reason when it cannot.
    void SaveActive(const QString& name);
    QString RunSaveDialog();

    QPixmap ProgrammerImages[2];  // not found, found
    QMdiArea* Mdi = nullptr;
    QAction* WindowListSeparator = nullptr;
    int NewDocumentNumber = 0;
};

extern TMainForm* MainForm;

// Start-up in the main block's order: the main window, the about box, the
// settings dialog. Deleting the main window frees the others.
TMainForm* CreateVantrelForms(const TServices& services = {});
// The assembler options, error-finding and target-chip forms, in that order
// (Unit1.cpp).
void CreateAssemblerForms(TMainForm& form);

// Where a find-next finds `what` in `text`: forwards from `start`, letter
// case ignored, no wrap; -1 when not found.
int FindForward(const QString& text, const QString& what, int start);

}  // namespace Vantrel
