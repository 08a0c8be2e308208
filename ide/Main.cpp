// The frame: construction, status bar, Timer1, the port, activation, close.
#include "ide/Main.h"

#include "comport/BoardPort.h"
#include "gui/Guard.h"
#include "gui/MdiFrame.h"
#include "ide/About.h"
#include "ide/AsmDriver.h"
#include "ide/Childwin.h"
#include "ide/Globals.h"
#include "ide/Images.h"
#include "ide/Unit1.h"
#include "ide/Unit2.h"
#include "ide/Unit3.h"
#include "ide/Unit6.h"
#include "ide/UnitPisava.h"
#include "platform/help/QtHelpApi.h"
#include "platform/print/QtPrintApi.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

namespace Vantrel {

TMainForm* CreateVantrelForms(const TServices& services) { return new TMainForm(services); }

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
      Help(OrOwn<help::HelpApi>(services.Help, ownHelp_, [] { return new help::QtHelpApi; })),
      Printer(OrOwn<printing::PrintApi>(services.Print, ownPrinter_,
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
    setWindowTitle(QStringLiteral("Vantrel"));
    createMdiArea();
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createPort();
    createDialogs();
    FormCreate();
    createForms();
    UpdateActions();
}

TMainForm::~TMainForm() {
    // The children die after this body: nothing they signal may reach it.
    mdi_->disconnect(this);
    disconnect(qApp, nullptr, this, nullptr);
    ComPort1.OnAfterOpen = nullptr;
    ComPort1.OnDSRChange = nullptr;
}

void TMainForm::createMdiArea() {
    mdi_ = new QMdiArea(this);
    mdi_->setBackground(palette().brush(QPalette::Dark));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
}

void TMainForm::createStatusBar() {
    static constexpr int Widths[PanelCount] = {200, 90, 40, 60, 70, 110, 80, 25};
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    // The widths were made for a small dialog font: in this one the longest
    // texts fit (five-digit line counts, the chip names), in the desktop's
    // larger default they would be cut off.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(9);
    bar->setFont(font);
    for (int i = 0; i < PanelCount; ++i) {
        auto* panel = new QLabel(bar);
        panel->setFixedWidth(Widths[i]);
        panel->setFrameStyle(i == 7 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        if (i != 7) panel->setIndent(2);
        panel->setTextFormat(Qt::PlainText);
        StatusPanels[i] = panel;
    }
    StatusPanels[7]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StatusPanels[7]->setContentsMargins(2, 0, 0, 0);
    programmerImages_[0] = ProgrammerImage(false);
    programmerImages_[1] = ProgrammerImage(true);
    StatusPanels[7]->setPixmap(programmerImages_[0]);
    // Placed with the image in, so the bar has its height from the start (the
    // image is taller than the text).
    for (QLabel* panel : StatusPanels) bar->addWidget(panel);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    gui::ConnectGuarded(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
}

void TMainForm::createPort() {
    // DSR tells the board is there.
    ConfigureBoardPort(ComPort1, TBoardPortUse::Bootstrap);
    ComPort1.OnAfterOpen = [this](TObject* sender) { ComPort1AfterOpen(sender); };
    ComPort1.OnDSRChange = [this](TObject* sender, bool onOff) { ComPort1DSRChange(sender, onOff); };
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

void TMainForm::createForms() {
    // After the start-up: the chip dialog fills its list from the table it loaded.
    AboutBox = new TAboutBox(this);
    auto help = [this](unsigned command, std::uintptr_t data) { ShowHelp(command, data); };
    Form1 = new TForm1(this);
    Form1->ShowHelp = help;
    Form2 = new TForm2(this, Form1);
    ForNastavProg = new TForNastavProg(this);
    ForNastavProg->ShowHelp = help;
    FormPisava = new TFormPisava(*FontDialog1, this);
}

void TMainForm::FormCreate() {
    QGuiApplication::clipboard()->clear();
    AppDir = QDir::currentPath().toStdString();
    if (AppDir.empty() || AppDir.back() != '/') AppDir += '/';
    HelpFile = AppDir + "Pomoc/VantrelHELP.hlp";
    // A folder where asm.bat cannot be written still gets a working editor:
    // the error is shown and the start-up goes on, so the chip table is
    // loaded and not erased at the close.
    gui::Guarded(this, [this] { WriteAsmBatFile(DefaultAsmBatLine); });
    ResetGlobals();
    gui::ConnectGuarded(mdi_, &QMdiArea::subWindowActivated, this, &TMainForm::updateMenuitems);
    gui::Guarded(this, [this] { LoadSettings(); });
    try {
        TogglePort();
    } catch (const std::exception& e) {
        // Shown once the window stands, so the box has a window behind it.
        const QString message = QString::fromUtf8(e.what());
        QTimer::singleShot(0, this, [this, message] { gui::ShowApplicationError(this, message); });
    }
    // A port that did not open is tried again at the next activation and by
    // the programmer commands: the board may be plugged in later.
    PortOpen = ComPort1.Connected() ? 1 : 0;
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
        try {
            ComPort1.Open();
            PortOpen = 1;
        } catch (const EComPort&) {
            // No board yet: the start-up said so once, and the programmer
            // commands say it when asked; every return to the window need not.
        }
    }
}

void TMainForm::Timer1Timer() {
    vrstica();
    UpdateStatusPanels();
    StatusBarDrawPanel();
    statusBar()->update();
}

void TMainForm::StatusBarDrawPanel() { StatusPanels[7]->setPixmap(programmerImages_[ProgrammerFound == 1 ? 1 : 0]); }

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
    if (gui::ShowStatusTip(event, StatusPanels[0])) return true;
    return QMainWindow::event(event);
}

QTextEdit* TMainForm::ActiveRichEdit() const {
    QMdiSubWindow* window = mdi_->currentSubWindow();
    if (!window || !window->widget()) return nullptr;
    auto* focused = qobject_cast<QTextEdit*>(window->widget()->focusWidget());
    if (focused) return focused;
    return window->widget()->findChild<QTextEdit*>();
}

TMDIChild* TMainForm::ActiveEditor() const {
    QMdiSubWindow* window = mdi_->currentSubWindow();
    return window ? qobject_cast<TMDIChild*>(window->widget()) : nullptr;
}

QList<TMDIChild*> TMainForm::EditorWindows() const {
    QList<TMDIChild*> editors;
    for (QMdiSubWindow* window : mdi_->subWindowList())
        if (auto* editor = qobject_cast<TMDIChild*>(window->widget())) editors << editor;
    return editors;
}

QMdiSubWindow* TMainForm::AddMDIChild(QWidget* child) {
    QMdiSubWindow* window = mdi_->addSubWindow(child);
    // Timer1 follows the children also when the last one goes.
    connect(
        window, &QObject::destroyed, this, [this] { gui::Guarded(this, [this] { updateMenuitems(); }); },
        Qt::QueuedConnection);
    return window;
}

int TMainForm::MDIChildCount() const { return static_cast<int>(mdi_->subWindowList().size()); }

bool TMainForm::ShellOpen(const std::string& file, const std::string& parameters, shell::ShowCommand show) {
    const shell::StartResult result = Shell.ShellExecute(file, parameters, {}, show);
    if (!result.Started()) gui::ShowBox(this, TBoxKind::Error, QString::fromStdString(result.Error));
    return result.Started();
}

}  // namespace Vantrel
