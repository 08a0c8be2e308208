#include "ide/Main.h"

#include "gui/Guard.h"
#include "ide/About.h"
#include "ide/Childwin.h"
#include "ide/Globals.h"
#include "ide/Images.h"
#include "ide/Settings.h"
#include "ide/Unit6.h"
#include "ide/UnitPisava.h"
#include "platform/help/QtHelpApi.h"
#include "platform/ini/IniFile.h"
#include "platform/print/QtPrintApi.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <fstream>
#include <stdexcept>

namespace Vantrel {

TMainForm* MainForm = nullptr;

namespace {

// A hint "short|long": the short part is the tool tip, the long one goes to
// status panel 0.
void SetHint(QAction* action, const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

}  // namespace

TMainForm* CreateVantrelForms(const TServices& services) {
    // The main block's order: main window, about box, assembler options,
    // error finding, target chip, settings, EEPROM address.
    auto* form = new TMainForm(services);
    form->AboutBox = new TAboutBox(form);
    CreateAssemblerForms(*form);
    form->FormPisava = new TFormPisava(form);
    return form;
}

namespace {

template <class Api>
Api& OrOwn(Api* given, std::unique_ptr<Api>& own, const std::function<Api*()>& make) {
    if (given) return *given;
    own.reset(make());
    return *own;
}

}  // namespace

TMainForm::TMainForm(const TServices& services, QWidget* parent)
    : QMainWindow(parent),
      ComPort1(services.Comm ? *services.Comm : comm::DefaultCommApi()),
      Shell(services.Shell ? *services.Shell : shell::DefaultShellApi()),
      Help(OrOwn<help::HelpApi>(services.Help, OwnHelp, [] { return new help::QtHelpApi; })),
      Printer(OrOwn<printing::PrintApi>(services.Print, OwnPrinter,
                                        [this] {
                                            auto* printer = new printing::QtPrintApi(this);
                                            // The set-up dialog goes the way tests can answer.
                                            printer->SetSetupDialog([this](QPrinter& device) {
                                                QPrintDialog dialog(&device, this);
                                                return gui::ExecModal(dialog) == QDialog::Accepted;
                                            });
                                            return printer;
                                        })),
      Clock(services.Clock ? *services.Clock : timing::DefaultClock()) {
    MainForm = this;
    setWindowTitle(QStringLiteral("Vantrel"));
    createMdiArea();
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createPort();
    createDialogs();
    FormCreate();
}

TMainForm::~TMainForm() {
    // The children die after this body: nothing they signal may reach it.
    Mdi->disconnect(this);
    disconnect(qApp, nullptr, this, nullptr);
    ComPort1.OnAfterOpen = nullptr;
    ComPort1.OnDSRChange = nullptr;
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::createMdiArea() {
    Mdi = new QMdiArea(this);
    Mdi->setBackground(palette().brush(QPalette::Dark));
    Mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(Mdi);
}

void TMainForm::createActions() {
    // Every command runs guarded: no exception may reach the event loop.
    auto make = [this](const QString& text, void (TMainForm::*handler)(), const QKeySequence& shortcut = {}) {
        auto* action = new QAction(text, this);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this,
                [this, handler] { gui::Guarded(this, [&] { (this->*handler)(); }); });
        return action;
    };
    auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    QStyle* s = style();

    FileNewItem = make(QStringLiteral("&Nova"), &TMainForm::FileNew1Execute, ctrl(Qt::Key_N));
    SetHint(FileNewItem, QStringLiteral("Nova|Nova datoteka"));
    FileOpenItem = make(QStringLiteral("&Odpri"), &TMainForm::FileOpen1Execute, ctrl(Qt::Key_O));
    SetHint(FileOpenItem, QStringLiteral("Odpri|Odpri obstoječo datoteko"));
    FileCloseItem = make(QStringLiteral("&Zapri"), &TMainForm::FileClose1Execute);
    SetHint(FileCloseItem, QStringLiteral("Zapri|Zapri aktivno okno"));
    Shrani1 = make(QStringLiteral("&Shrani "), &TMainForm::FileSaveAsItemClick, ctrl(Qt::Key_S));
    SetHint(Shrani1, QStringLiteral("Shrani|Shrani datoteko"));
    Shranikot1 = make(QStringLiteral("S&hrani kot"), &TMainForm::ShraniKot, ctrl(Qt::Key_K));
    SetHint(Shranikot1, QStringLiteral("Shrani kot|Shrani datoteko pod novim imenom"));
    Tiskaj1 = make(QStringLiteral("&Tiskaj"), &TMainForm::ToolButton11Click, ctrl(Qt::Key_P));
    SetHint(Tiskaj1, QStringLiteral("Tiskaj|Natisni datoteko"));
    FileExitItem = make(QStringLiteral("&Izhod"), &TMainForm::FileExit1Execute);
    SetHint(FileExitItem, QStringLiteral("Izhod|Končaj program"));

    Razveljavi1 = make(QStringLiteral("&Razveljavi"), &TMainForm::Razveljavi1Click);
    SetHint(Razveljavi1, QStringLiteral("Razveljavi|Razveljavi zadnjo spremembo"));
    CutItem = make(QStringLiteral("&Odreži"), &TMainForm::EditCut1Execute, ctrl(Qt::Key_X));
    SetHint(CutItem, QStringLiteral("Odreži|Izreži izbrano besedilo v odložišče"));
    CopyItem = make(QStringLiteral("&Kopiraj"), &TMainForm::EditCopy1Execute, ctrl(Qt::Key_C));
    SetHint(CopyItem, QStringLiteral("Kopiraj|Kopiraj izbrano besedilo v odložišče"));
    PasteItem = make(QStringLiteral("&Prilepi"), &TMainForm::EditPaste1Execute, ctrl(Qt::Key_V));
    SetHint(PasteItem, QStringLiteral("Prilepi|Prilepi besedilo iz odložišča"));
    IzberiVse1 = make(QStringLiteral("Izberi vse"), &TMainForm::IzberiVse1Click, ctrl(Qt::Key_A));
    SetHint(IzberiVse1, QStringLiteral("Izberi vse|Izberi celotno besedilo"));
    Najdi1 = make(QStringLiteral("Najdi"), &TMainForm::Najdi1Click, ctrl(Qt::Key_F));
    SetHint(Najdi1, QStringLiteral("Najdi|Poišči besedo"));
    Izbirapisave1 = make(QStringLiteral("&Nastavitve"), &TMainForm::Izbirapisave1Click);
    SetHint(Izbirapisave1, QStringLiteral("Nastavitve|Pisava urejevalnika, serijska vrata in opcije"));

    Nastavitve1 = make(QStringLiteral("&Nastavitve"), &TMainForm::Nastavitve1Click);
    SetHint(Nastavitve1, QStringLiteral("Nastavitve|Nastavitve prevajalnika"));
    Zaeni1 = make(QStringLiteral("&Zaženi"), &TMainForm::ToolButton15Click);
    SetHint(Zaeni1, QStringLiteral("Zaženi|Prevedi datoteko"));
    Branjeporoila1 = make(QStringLiteral("&Branje poročila"), &TMainForm::ToolButton17Click);
    SetHint(Branjeporoila1, QStringLiteral("Branje poročila|Prikaži poročilo prevajanja"));

    Nastavitve2 = make(QStringLiteral("&Izbira mikrokrmilnika"), &TMainForm::Nastavitve2Click);
    SetHint(Nastavitve2, QStringLiteral("Izbira mikrokrmilnika|Izbira ciljnega mikrokrmilnika"));
    Nastavvrat1 = make(QStringLiteral("&Nastav. serijskih vrat"), &TMainForm::Nastavvrat1Click);
    SetHint(Nastavvrat1, QStringLiteral("Nastavitev serijskih vrat|Izbira serijskih vrat programatorja"));
    EEPROMbrii1 = make(QStringLiteral("EEPROM &briši"), &TMainForm::EEPROMbrii1Click);
    SetHint(EEPROMbrii1, QStringLiteral("EEPROM briši|Pobriši vgrajeni EEPROM"));
    Zagon1 = make(QStringLiteral("Zaženi"), &TMainForm::ToolButton16Click);
    SetHint(Zagon1, QStringLiteral("Zaženi|Zaženi programator"));
    Zagon1->setEnabled(false);

    Zagon2 = make(QStringLiteral("&Zaženi"), &TMainForm::ToolButton28Click);
    SetHint(Zagon2, QStringLiteral("Zaženi|Zaženi simulator"));

    WindowCascadeItem = make(QStringLiteral("Razvrsti &kaskadno"), &TMainForm::WindowCascade1Execute);
    SetHint(WindowCascadeItem, QStringLiteral("Razvrsti kaskadno|Razvrsti okna kaskadno"));
    WindowTileItem = make(QStringLiteral("Razvrsti &horizontalno"), &TMainForm::WindowTileHorizontal1Execute);
    SetHint(WindowTileItem, QStringLiteral("Razvrsti horizontalno|Razvrsti okna eno pod drugim"));

    HelpAboutItem = make(QStringLiteral("O &programu"), &TMainForm::HelpAbout1Execute);
    SetHint(HelpAboutItem, QStringLiteral("O programu|Podatki o programu"));
    Vsebina1 = make(QStringLiteral("Vsebina"), &TMainForm::Vsebina1Click);
    SetHint(Vsebina1, QStringLiteral("Vsebina|Vsebina pomoči"));

    // The tool buttons: each runs the handler of the menu item of its role.
    ToolButton9 = make(QStringLiteral("Nova"), &TMainForm::FileNew1Execute);
    ToolButton9->setIcon(s->standardIcon(QStyle::SP_FileIcon));
    SetHint(ToolButton9, QStringLiteral("Nova!|Nova datoteka"));
    ToolButton1 = make(QStringLiteral("Odpri"), &TMainForm::FileOpen1Execute);
    ToolButton1->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    SetHint(ToolButton1, QStringLiteral("Odpri!|Odpri obstoječo datoteko"));
    ToolButton2 = make(QStringLiteral("Shrani"), &TMainForm::FileSaveAsItemClick);
    ToolButton2->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    SetHint(ToolButton2, QStringLiteral("Shrani!|Shrani datoteko"));
    ToolButton11 = make(QStringLiteral("Tiskaj"), &TMainForm::ToolButton11Click);
    ToolButton11->setIcon(PrinterIcon());
    SetHint(ToolButton11, QStringLiteral("Tiskaj!|Natisni datoteko"));
    ToolButton4 = make(QStringLiteral("Odreži"), &TMainForm::EditCut1Execute);
    ToolButton4->setIcon(ScissorsIcon());
    SetHint(ToolButton4, QStringLiteral("Odreži!|Izreži izbrano besedilo v odložišče"));
    ToolButton5 = make(QStringLiteral("Kopiraj"), &TMainForm::EditCopy1Execute);
    ToolButton5->setIcon(CopyIcon());
    SetHint(ToolButton5, QStringLiteral("Kopiraj!|Kopiraj izbrano besedilo v odložišče"));
    ToolButton6 = make(QStringLiteral("Prilepi"), &TMainForm::EditPaste1Execute);
    ToolButton6->setIcon(PasteIcon());
    SetHint(ToolButton6, QStringLiteral("Prilepi!|Prilepi besedilo iz odložišča"));
    ToolButton26 = make(QStringLiteral("Razveljavi"), &TMainForm::Razveljavi1Click);
    ToolButton26->setIcon(s->standardIcon(QStyle::SP_ArrowBack));
    SetHint(ToolButton26, QStringLiteral("Razveljavi!|Razveljavi zadnjo spremembo"));
    ToolButton27 = make(QStringLiteral("Najdi"), &TMainForm::Najdi1Click);
    ToolButton27->setIcon(s->standardIcon(QStyle::SP_FileDialogContentsView));
    SetHint(ToolButton27, QStringLiteral("Najdi!|Poišči besedo"));
    ToolButton8 = make(QStringLiteral("Kaskadno"), &TMainForm::WindowCascade1Execute);
    ToolButton8->setIcon(WindowsIcon(true));
    SetHint(ToolButton8, QStringLiteral("Kaskadno!|Razvrsti okna kaskadno"));
    ToolButton10 = make(QStringLiteral("Horizontalno"), &TMainForm::WindowTileHorizontal1Execute);
    ToolButton10->setIcon(WindowsIcon(false));
    SetHint(ToolButton10, QStringLiteral("Horizontalno!|Razvrsti okna eno pod drugim"));
    ToolButton15 = make(QStringLiteral("Prevedi"), &TMainForm::ToolButton15Click);
    ToolButton15->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    SetHint(ToolButton15, QStringLiteral("Prevedi datoteko!"));
    ToolButton17 = make(QStringLiteral("Poročilo"), &TMainForm::ToolButton17Click);
    ToolButton17->setIcon(s->standardIcon(QStyle::SP_FileDialogDetailedView));
    SetHint(ToolButton17, QStringLiteral("Prikaži poročilo prevajanja!"));
    ToolButton16 = make(QStringLiteral("Programator"), &TMainForm::ToolButton16Click);
    ToolButton16->setIcon(s->standardIcon(QStyle::SP_DriveFDIcon));
    SetHint(ToolButton16, QStringLiteral("Zaženi programator!"));
    ToolButton16->setEnabled(false);
    ToolButton28 = make(QStringLiteral("Simulator"), &TMainForm::ToolButton28Click);
    ToolButton28->setIcon(s->standardIcon(QStyle::SP_ComputerIcon));
    SetHint(ToolButton28, QStringLiteral("Zaženi simulator!"));
    ToolButton21 = make(QStringLiteral("Pomoč"), &TMainForm::Vsebina1Click);
    ToolButton21->setIcon(s->standardIcon(QStyle::SP_DialogHelpButton));
    SetHint(ToolButton21, QStringLiteral("Pomoč!"));
    ToolButton25 = make(QStringLiteral("Izhod"), &TMainForm::FileExit1Execute);
    ToolButton25->setIcon(s->standardIcon(QStyle::SP_BrowserStop));
    SetHint(ToolButton25, QStringLiteral("Izhod!|Končaj program"));
}

void TMainForm::createMenus() {
    QMenuBar* bar = menuBar();
    File1 = bar->addMenu(QStringLiteral("&Datoteka"));
    File1->addActions({FileNewItem, FileOpenItem, FileCloseItem, Shrani1, Shranikot1});
    File1->addSeparator();
    File1->addAction(Tiskaj1);
    File1->addSeparator();
    File1->addAction(FileExitItem);

    Edit1 = bar->addMenu(QStringLiteral("&Orodja"));
    Edit1->addAction(Razveljavi1);
    Edit1->addSeparator();
    Edit1->addActions({CutItem, CopyItem, PasteItem});
    Edit1->addSeparator();
    Edit1->addActions({IzberiVse1, Najdi1});
    Edit1->addSeparator();
    Edit1->addAction(Izbirapisave1);

    Prevajalnik1 = bar->addMenu(QStringLiteral("Pre&vajalnik"));
    Prevajalnik1->addAction(Nastavitve1);
    Prevajalnik1->addSeparator();
    Prevajalnik1->addAction(Zaeni1);
    Prevajalnik1->addSeparator();
    Prevajalnik1->addAction(Branjeporoila1);

    Programator1 = bar->addMenu(QStringLiteral("Pro&gramator"));
    Programator1->addActions({Nastavitve2, Nastavvrat1});
    Programator1->addSeparator();
    Programator1->addAction(EEPROMbrii1);
    Programator1->addSeparator();
    Programator1->addAction(Zagon1);

    Simulator1 = bar->addMenu(QStringLiteral("&Simulator"));
    Simulator1->addAction(Zagon2);

    Window1 = bar->addMenu(QStringLiteral("O&kno"));
    Window1->addActions({WindowCascadeItem, WindowTileItem});
    WindowListSeparator = Window1->addSeparator();
    connect(Window1, &QMenu::aboutToShow, this, [this] { gui::Guarded(this, [this] { FillWindowMenu(); }); });

    Help1 = bar->addMenu(QStringLiteral("Po&moč"));
    Help1->addAction(HelpAboutItem);
    Help1->addSeparator();
    Help1->addAction(Vsebina1);
    auto* helpKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(helpKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(Help1->menuAction()); });
    auto* contextKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(contextKey, &QShortcut::activated, this, [this] { gui::Guarded(this, [this] { ContextHelp(); }); });
}

void TMainForm::createToolBar() {
    ToolBar2 = addToolBar(QStringLiteral("Orodna vrstica"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setIconSize(QSize(16, 16));
    ToolBar2->addActions({ToolButton9, ToolButton1, ToolButton2, ToolButton11});
    ToolBar2->addSeparator();
    ToolBar2->addActions({ToolButton4, ToolButton5, ToolButton6, ToolButton26});
    ToolBar2->addSeparator();
    ToolBar2->addActions({ToolButton27, ToolButton8, ToolButton10});
    ToolBar2->addSeparator();
    ToolBar2->addActions({ToolButton15, ToolButton17});
    ToolBar2->addSeparator();
    ToolBar2->addAction(ToolButton16);
    Gauge1 = new QProgressBar(ToolBar2);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setFixedWidth(100);
    Gauge1->setMaximumHeight(16);
    Gauge1->setTextVisible(false);
    ToolBar2->addWidget(Gauge1);
    ToolBar2->addSeparator();
    ToolBar2->addAction(ToolButton28);
    ToolBar2->addSeparator();
    ToolBar2->addAction(ToolButton21);
    ToolBar2->addSeparator();
    ToolBar2->addAction(ToolButton25);
}

void TMainForm::createStatusBar() {
    static constexpr int Widths[PanelCount] = {200, 90, 40, 60, 70, 110, 80, 25};
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto* panel = new QLabel(bar);
        panel->setFixedWidth(Widths[i]);
        panel->setFrameStyle(i == 7 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        StatusPanels[i] = panel;
        bar->addWidget(panel);
    }
    StatusPanels[7]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StatusPanels[7]->setContentsMargins(2, 0, 0, 0);
    ProgrammerImages[0] = ProgrammerImage(false);
    ProgrammerImages[1] = ProgrammerImage(true);
    StatusPanels[7]->setPixmap(ProgrammerImages[0]);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { gui::Guarded(this, [this] { Timer1Timer(); }); });
}

void TMainForm::createDialogs() {
    FindDialog1 = new gui::TFindDialog(this);
    gui::ConnectGuarded(FindDialog1, &gui::TFindDialog::Find, this, &TMainForm::FindDialog1Find);
    FontDialog1 = new gui::TFontDialog(this);
    // 11 pixels: 8 points on the screens the sizes were chosen for.
    FontDialog1->SetSelectedFont(QFont(QStringLiteral("Times New Roman"), 8));
    gui::ConnectGuarded(FontDialog1, &gui::TFontDialog::Apply, this, &TMainForm::FontDialog1Apply);
    FormEENasloviBranje = new TFormEENasloviBranje(this);
}

void TMainForm::createPort() {
    // 1200 baud 8N1 without flow control; DSR tells the board is there.
    ComPort1.Name = "ComPort1";
    ComPort1.SetBaudRate(br1200);
    ComPort1.SetPort("COM2");
    ComPort1.SetDataBits(dbEight);
    ComPort1.SetStopBits(sbOneStopBit);
    ComPort1.Parity().SetBits(prNone);
    ComPort1.Parity().SetCheck(false);
    ComPort1.Parity().SetReplace(false);
    TComFlowControl& flow = ComPort1.FlowControl();
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetControlDTR(dtrDisable);
    flow.SetControlRTS(rtsDisable);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
    flow.SetDSRSensitivity(false);
    flow.SetTxContinueOnXoff(false);
    ComPort1.SetEvents({evRxChar, evDSR});
    ComPort1.Buffer().SetInputSize(2);
    ComPort1.Buffer().SetOutputSize(1024);
    TComTimeouts& timeouts = ComPort1.Timeouts();
    timeouts.SetReadInterval(-1);
    timeouts.SetReadTotalMultiplier(0);
    timeouts.SetReadTotalConstant(0);
    timeouts.SetWriteTotalMultiplier(100);
    timeouts.SetWriteTotalConstant(1000);
    ComPort1.SetDiscardNull(false);
    ComPort1.SetEventChar(0);
    ComPort1.OnAfterOpen = [this](TObject* Sender) { ComPort1AfterOpen(Sender); };
    ComPort1.OnDSRChange = [this](TObject* Sender, bool OnOff) { ComPort1DSRChange(Sender, OnOff); };
}

void TMainForm::FormCreate() {
    QGuiApplication::clipboard()->clear();
    AppDir = QDir::currentPath().toStdString();
    if (AppDir.empty() || AppDir.back() != '/') AppDir += '/';
    HelpFile = AppDir + "Pomoc/VantrelHELP.hlp";
    // A folder where asm.bat cannot be written still gets a working editor:
    // the error is shown and the start-up goes on, so the chip table is
    // loaded and not erased at the close.
    gui::Guarded(this, [] {
        const std::string bat = AppDir + "asm.bat";
        std::ofstream file(bat, std::ios::binary | std::ios::trunc);
        file << "AS11M %1 -l";
        if (!file.flush()) throw std::runtime_error("Ne morem pisati datoteke " + bat);
    });
    ProgrammerFound = 0;
    EepromSize = 512;
    RamSize = 256;
    MemoryKind = "RAM";
    ChipName = "MC68HC11A1";
    connect(Mdi, &QMdiArea::subWindowActivated, this, [this] { gui::Guarded(this, [this] { updateMenuitems(); }); });
    PortOpen = 1;
    gui::Guarded(this, [this] { LoadSettings(); });
    try {
        TogglePort();
    } catch (const std::exception& e) {
        // Shown once the window stands, so the box has a window behind it.
        const QString message = QString::fromUtf8(e.what());
        QTimer::singleShot(0, this, [this, message] { gui::ShowApplicationError(this, message); });
    }
    // Activation is the application's: our own boxes closing must not reopen
    // the port while the downloader holds it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) gui::Guarded(this, [this] { FormActivate(); });
    });
}

void TMainForm::TogglePort() {
    if (ComPort1.Connected())
        ComPort1.Close();
    else
        ComPort1.Open();
}

int TMainForm::MDIChildCount() const { return static_cast<int>(Mdi->subWindowList().size()); }

void TMainForm::updateMenuitems() {
    const bool children = MDIChildCount() > 0;
    if (children && !Timer1->isActive())
        Timer1->start();
    else if (!children)
        Timer1->stop();
}

void TMainForm::FormActivate() {
    QDir::setCurrent(QString::fromStdString(AppDir));
    // The port stays with the downloader we started until it has ended.
    if (PortOpen == 0 && Downloader.MayReopenPort(Shell)) {
        ComPort1.Open();
        PortOpen = 1;
    }
}

void TMainForm::Timer1Timer() {
    vrstica();
    UpdateStatusPanels();
    StatusPanels[7]->setPixmap(ProgrammerImages[ProgrammerFound == 1 ? 1 : 0]);
    statusBar()->update();
}

void TMainForm::vrstica() {
    QTextEdit* edit = ActiveRichEdit();
    if (!edit) return;
    const QTextDocument* document = edit->document();
    const int line = document->findBlock(edit->textCursor().selectionStart()).blockNumber() + 1;
    StatusPanels[1]->setText(QStringLiteral("Vrst.: %1 : %2").arg(document->blockCount()).arg(line));
}

void TMainForm::UpdateStatusPanels() {
    StatusPanels[4]->setText(QString::fromStdString(MemoryKind));
    StatusPanels[5]->setText(QString::fromStdString(ChipName));
    StatusPanels[2]->setText(QStringLiteral("COM") + QString::number(SerialPortNumber));
    StatusPanels[3]->setText(QStringLiteral("1200 bps"));
}

void TMainForm::LoadSettings() {
    IniFile ini(AppDir + "Vantrel.ini");
    ComPort1.SetPort(LoadSettingsFromIni(ini));
}

void TMainForm::SaveSettings() {
    IniFile ini(AppDir + "Vantrel.ini");
    SaveSettingsToIni(ini);
}

void TMainForm::Izbirapisave1Click() {
    TFormPisava& dialog = *FormPisava;
    // The list is filled anew at each opening, so no name repeats.
    std::vector<std::string> ports;
    ListComPorts(ports, ComPort1.Api());
    dialog.ComboBox2->clear();
    for (const std::string& port : ports) dialog.ComboBox2->addItem(QString::fromStdString(port));
    dialog.ComboBox2->setCurrentIndex(
        dialog.ComboBox2->findText(QString::fromStdString(PortNameForNumber(SerialPortNumber))));
    if (gui::ExecModal(dialog) != QDialog::Accepted) return;
    const int number = PortNumberFromName(dialog.ComboBox2->currentText().toStdString());
    if (number != 0) {
        ComPort1.BeginUpdate();
        ComPort1.SetPort(PortNameForNumber(number));
        ComPort1.EndUpdate();
        SerialPortNumber = number;
    }
    EEPROMbrii1->setEnabled(dialog.CheckBBrisiEE->isChecked());
}

void TMainForm::Nastavvrat1Click() { Izbirapisave1Click(); }

void TMainForm::Vsebina1Click() { ShowHelp(help::HELP_CONTENTS, 1); }

void TMainForm::ContextHelp() {
    if (ActiveEditor())
        ShowHelp(help::HELP_CONTEXT, TMDIChild::HelpContext);
    else
        ShowHelp(help::HELP_CONTENTS, 1);
}

void TMainForm::ShowHelp(unsigned command, std::uintptr_t data) {
    std::string error;
    if (!Help.WinHelp(HelpFile, command, data, &error))
        gui::ShowMessageBox(this, QMessageBox::Information, gui::InformationCaption, QString::fromStdString(error));
}

bool TMainForm::ShellOpen(const std::string& file, const std::string& parameters, shell::ShowCommand show) {
    const shell::StartResult result = Shell.ShellExecute(file, parameters, {}, show);
    if (!result.Started())
        gui::ShowMessageBox(this, QMessageBox::Critical, gui::ErrorCaption, QString::fromStdString(result.Error));
    return result.Started();
}

bool TMainForm::FormCloseQuery() {
    const QList<TMDIChild*> editors = EditorWindows();
    for (TMDIChild* editor : editors) {
        if (!editor->ConfirmClose()) return false;
    }
    for (TMDIChild* editor : editors) editor->DiscardConfirmed = true;
    gui::Guarded(this, [this] { ComPort1.Close(); });
    gui::Guarded(this, [this] { SaveSettings(); });
    gui::Guarded(this, [this] {
        std::string ignored;
        Help.WinHelp(HelpFile, help::HELP_QUIT, 0, &ignored);
    });
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool close = false;
    gui::Guarded(this, [&] { close = FormCloseQuery(); });
    if (!close) {
        event->ignore();
        return;
    }
    // A find dialog left open would keep the application running.
    FindDialog1->close();
    event->accept();
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

}  // namespace Vantrel
