// The frame driven through its real widgets: start-up with and without
// Vantrel.ini, the menus and tool bar, the status panels, Timer1, the port,
// the settings dialog and the close sequence.
#include "ide/About.h"
#include "ide/Childwin.h"
#include "ide/IdeTestSupport.h"
#include "ide/Images.h"
#include "ide/UnitPisava.h"
#include "platform/comm/PosixCommApi.h"
#include "platform/comm/PtyBoard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QProgressBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <gmock/gmock.h>

#include <filesystem>

using ::testing::ElementsAre;

namespace Vantrel {
namespace {

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            if (action->isVisible()) texts << "-";
        } else {
            texts << action->text() + (action->shortcut().isEmpty() ? "" : " " + action->shortcut().toString());
        }
    }
    return texts;
}

QStringList ToolBarHints(QToolBar* bar) {
    QStringList hints;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            hints << "-";
        else if (bar->widgetForAction(action) && qobject_cast<QProgressBar*>(bar->widgetForAction(action)))
            hints << "Gauge1";
        else
            hints << action->toolTip();
    }
    return hints;
}

using FrameTest = IdeTest;

TEST_F(FrameTest, FirstStartWithoutIniOpensCom2AndWritesTheDefaultAsmBat) {
    TMainForm& form = Start();
    EXPECT_EQ(AppDir, QDir::currentPath().toStdString() + "/");
    EXPECT_EQ(ReadFile("asm.bat"), "AS11M %1 -l");
    EXPECT_EQ(SerialPortNumber, 2);
    EXPECT_EQ(form.ComPort1.Port(), "COM2");
    EXPECT_TRUE(Api.IsOpen("COM2"));
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(PortOpen, 1);
    EXPECT_EQ(ProgrammerFound, 0);
    EXPECT_EQ(ChipCount, 7);
    EXPECT_EQ(ChipName, "MC68HC11A1");
    EXPECT_EQ(MemoryKind, "RAM");
    EXPECT_EQ(RamSize, 256);
    EXPECT_EQ(EepromSize, 512);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 100);
    for (int panel = 1; panel <= 6; ++panel) EXPECT_EQ(form.StatusPanels[panel]->text(), "") << panel;
    EXPECT_FALSE(Action(form, "ToolButton16")->isEnabled());
    EXPECT_FALSE(Action(form, "Zagon1")->isEnabled());
    EXPECT_TRUE(Action(form, "EEPROMbrii1")->isEnabled());
    EXPECT_EQ(form.windowTitle(), "Vantrel");
}

TEST_F(FrameTest, AnAsmBatThatCannotBeWrittenIsReportedAndTheStartUpGoesOn) {
    QDir(Dir.path()).mkdir("asm.bat");
    WriteFile("Vantrel.ini", "[chipi]\nintegrirc7=MC68HC11F1\nRAM7=1024\nEE7=512\n");
    TMainForm& form = Start();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_TRUE(Boxes[0].Text.contains("asm.bat"));
    // The chip table is loaded, so the close does not erase the added types.
    EXPECT_EQ(ChipCount, 8);
    EXPECT_TRUE(Api.IsOpen("COM2"));
    form.close();
    EXPECT_TRUE(ReadFile("Vantrel.ini").contains("integrirc7=MC68HC11F1"));
}

TEST_F(FrameTest, ThePortIsPlacedAsTheProgrammerNeedsIt) {
    TMainForm& form = Start();
    const TComPort& port = form.ComPort1;
    EXPECT_EQ(port.BaudRate(), br1200);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
    EXPECT_EQ(port.FlowControl().ControlDTR(), dtrDisable);
    EXPECT_EQ(port.FlowControl().ControlRTS(), rtsDisable);
    EXPECT_EQ(port.Events(), (TComEvents{evRxChar, evDSR}));
    EXPECT_EQ(port.Buffer().InputSize(), 2);
    EXPECT_EQ(port.Buffer().OutputSize(), 1024);
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
    EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
}

TEST_F(FrameTest, IniPortNumberChoosesThePortAndPanelTwoShowsIt) {
    Api.AddPort("COM3");
    struct Row {
        const char* ini;
        const char* port;
        bool opens;
    };
    for (Row row : {Row{"[vrata]\nser1=3\n", "COM3", true}, Row{"[vrata]\nser1=5\n", "COM5", false},
                    Row{"[vrata]\nser1=zero\n", "COM2", true}}) {
        WriteFile("Vantrel.ini", row.ini);
        Boxes.clear();
        TMainForm& form = Start();
        if (row.opens)
            ServePostedEvents();
        else
            testsupport::PumpUntil([&] { return !Boxes.empty(); });  // the box comes once the window stands
        EXPECT_EQ(form.ComPort1.Port(), row.port) << row.ini;
        EXPECT_EQ(form.ComPort1.Connected(), row.opens) << row.ini;
        // A port that cannot be opened is reported, and the rest stands.
        EXPECT_EQ(Boxes.size(), row.opens ? 0u : 1u) << row.ini;
        form.FileNew1Execute();
        form.Timer1Timer();
        EXPECT_EQ(form.StatusPanels[2]->text(), row.port) << row.ini;
        Form.reset();
    }
}

TEST_F(FrameTest, MenusHoldEveryItemShortcutAndSeparatorInOrder) {
    TMainForm& form = Start();
    EXPECT_THAT(MenuTexts(Menu(form, "File1")),
                ElementsAre("&Nova Ctrl+N", "&Odpri Ctrl+O", "&Zapri", "&Shrani  Ctrl+S", "S&hrani kot Ctrl+K", "-",
                            "&Tiskaj Ctrl+P", "-", "&Izhod"));
    EXPECT_THAT(MenuTexts(Menu(form, "Edit1")),
                ElementsAre("&Razveljavi", "-", "&Odreži Ctrl+X", "&Kopiraj Ctrl+C", "&Prilepi Ctrl+V", "-",
                            "Izberi vse Ctrl+A", "Najdi Ctrl+F", "-", "&Nastavitve"));
    EXPECT_THAT(MenuTexts(Menu(form, "Prevajalnik1")),
                ElementsAre("&Nastavitve", "-", "&Zaženi", "-", "&Branje poročila"));
    EXPECT_THAT(MenuTexts(Menu(form, "Programator1")),
                ElementsAre("&Izbira mikrokrmilnika", "&Nastav. serijskih vrat", "-", "EEPROM &briši", "-", "Zaženi"));
    EXPECT_THAT(MenuTexts(Menu(form, "Simulator1")), ElementsAre("&Zaženi"));
    EXPECT_THAT(MenuTexts(Menu(form, "Help1")), ElementsAre("O &programu", "-", "Vsebina"));
    QStringList titles;
    for (QMenu* menu :
         {Menu(form, "File1"), Menu(form, "Edit1"), Menu(form, "Prevajalnik1"), Menu(form, "Programator1"),
          Menu(form, "Simulator1"), Menu(form, "Window1"), Menu(form, "Help1")})
        titles << menu->title();
    EXPECT_THAT(titles,
                ElementsAre("&Datoteka", "&Orodja", "Pre&vajalnik", "Pro&gramator", "&Simulator", "O&kno", "Po&moč"));
    EXPECT_THAT(
        ToolBarHints(gui::Component<QToolBar>(form, "ToolBar2")),
        ElementsAre("Nova!", "Odpri!", "Shrani!", "Tiskaj!", "-", "Odreži!", "Kopiraj!", "Prilepi!", "Razveljavi!", "-",
                    "Najdi!", "Kaskadno!", "Horizontalno!", "-", "Prevedi datoteko!", "Prikaži poročilo prevajanja!",
                    "-", "Zaženi programator!", "Gauge1", "-", "Zaženi simulator!", "-", "Pomoč!", "-", "Izhod!"));
}

TEST_F(FrameTest, WindowMenuListsTheOpenWindowsAfterCascadeAndTile) {
    TMainForm& form = Start();
    form.FileNew1Execute();
    form.FileNew1Execute();
    emit Menu(form, "Window1")->aboutToShow();
    EXPECT_THAT(MenuTexts(Menu(form, "Window1")),
                ElementsAre("Razvrsti &kaskadno", "Razvrsti &horizontalno", "-", "&1 Neimenovana1", "&2 Neimenovana2"));
    EXPECT_TRUE(Menu(form, "Window1")->actions().last()->isChecked());
    Menu(form, "Window1")->actions()[3]->trigger();
    EXPECT_EQ(form.ActiveEditor()->windowTitle(), "Neimenovana1");
}

TEST_F(FrameTest, StatusPanelsHaveTheirWidthsAndTheHintGoesToPanelZero) {
    TMainForm& form = Start();
    const int widths[] = {200, 90, 40, 60, 70, 110, 80, 25};
    for (int i = 0; i < TMainForm::PanelCount; ++i) EXPECT_EQ(form.StatusPanels[i]->width(), widths[i]) << i;
    QStatusTipEvent tip(Action(form, "ToolButton15")->statusTip());
    QApplication::sendEvent(&form, &tip);
    EXPECT_EQ(form.StatusPanels[0]->text(), "Prevedi datoteko!");
    EXPECT_EQ(Action(form, "ToolButton1")->statusTip(), "Odpri obstoječo datoteko");
}

TEST_F(FrameTest, EveryStatusPanelsLongestTextFitsItsWidth) {
    TMainForm& form = Start();
    QStringList hints;
    for (QAction* action : form.findChildren<QAction*>()) hints << action->statusTip();
    QStringList chips;
    for (int slot = 0; slot < BuiltInChips; ++slot) chips << QString::fromStdString(ChipNames[slot]);
    const QStringList longest[] = {
        hints,                                             // 0
        {"Vrst.: 99999 : 99999", "Vrst.: 88888 : 88888"},  // 1: line counts up to 99,999
        {"COM16"},                                         // 2
        {"1200 bps"},                                      // 3
        {"EEPROM"},                                        // 4
        chips,                                             // 5
        {"TEMP$$.S19"},                                    // 6
    };
    for (int i = 0; i < 7; ++i) {
        const QLabel* panel = form.StatusPanels[i];
        const int room = panel->contentsRect().width() - std::max(panel->indent(), 0);
        for (const QString& text : longest[i])
            EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), room)
                << "panel " << i << ": " << text.toStdString();
    }
}

TEST_F(FrameTest, Timer1RunsExactlyWhileAnMdiChildExistsAndFillsThePanels) {
    TMainForm& form = Start();
    // Without a child, the chip panels keep what they had.
    ChipName = "MC68HC11E9";
    EXPECT_FALSE(form.Timer1->isActive());
    ServePostedEvents();
    EXPECT_EQ(form.StatusPanels[5]->text(), "");
    TMDIChild* editor = form.OpenEditorWindow("Neimenovana1");
    EXPECT_TRUE(form.Timer1->isActive());
    editor->RichEdit1->setPlainText("a\nb\nc");
    QTextCursor cursor = editor->RichEdit1->textCursor();
    cursor.setPosition(3);
    editor->RichEdit1->setTextCursor(cursor);
    form.Timer1Timer();
    EXPECT_EQ(form.StatusPanels[1]->text(), "Vrst.: 3 : 2");
    EXPECT_EQ(form.StatusPanels[2]->text(), "COM2");
    EXPECT_EQ(form.StatusPanels[3]->text(), "1200 bps");
    EXPECT_EQ(form.StatusPanels[4]->text(), "RAM");
    EXPECT_EQ(form.StatusPanels[5]->text(), "MC68HC11E9");
    ProgrammerFound = 1;
    form.Timer1Timer();
    EXPECT_EQ(form.StatusPanels[7]->pixmap().toImage(), ProgrammerImage(true).toImage());
    form.FileClose1Execute();
    testsupport::PumpUntil([&] { return form.MDIChildCount() == 0 && !form.Timer1->isActive(); });
    EXPECT_EQ(form.MDIChildCount(), 0);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.StatusPanels[5]->text(), "MC68HC11E9");
}

TEST_F(FrameTest, ActivationReopensThePortOnlyAfterItWasHandedOver) {
    TMainForm& form = Start();
    QDir::setCurrent(QDir::tempPath());
    form.FormActivate();
    EXPECT_EQ(QDir::currentPath() + "/", QString::fromStdString(AppDir));
    form.ComPort1.Close();
    PortOpen = 0;
    form.FormActivate();
    EXPECT_TRUE(form.ComPort1.Connected());
    EXPECT_EQ(PortOpen, 1);
    // While PortOpen is 1 activation leaves a closed port alone.
    form.ComPort1.Close();
    form.FormActivate();
    EXPECT_FALSE(form.ComPort1.Connected());
}

TEST_F(FrameTest, TogglePortClosesAnOpenPortAndOpensAClosedOne) {
    TMainForm& form = Start();
    ASSERT_TRUE(form.ComPort1.Connected());
    form.TogglePort();
    EXPECT_FALSE(Api.IsOpen("COM2"));
    form.TogglePort();
    EXPECT_TRUE(Api.IsOpen("COM2"));
}

// ---------------------------------------------------------- settings dialog

// Answers the settings dialog: picks the port (empty: no selection), ticks
// the erase option, and closes with OK or "PREKLIC".
std::function<int(QDialog&)> SettingsAnswer(const QString& port, bool eraseAllowed, bool ok,
                                            QStringList* listed = nullptr, QString* preselected = nullptr) {
    return [=](QDialog& dialog) {
        auto& settings = dynamic_cast<TFormPisava&>(dialog);
        if (listed) {
            listed->clear();
            for (int i = 0; i < settings.ComboBox2->count(); ++i) *listed << settings.ComboBox2->itemText(i);
        }
        if (preselected) *preselected = settings.ComboBox2->currentText();
        settings.ComboBox2->setCurrentIndex(settings.ComboBox2->findText(port));
        settings.CheckBBrisiEE->setChecked(eraseAllowed);
        return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
}

TEST_F(FrameTest, SettingsDialogRefillsThePortListAndTakesTheNumberFromTheChosenName) {
    Api.SetPortList({"COM1:", "COM5:", "LPT1:"});
    Api.AddPort("COM5");
    TMainForm& form = Start();
    QStringList listed;
    QString preselected;
    for (int opening = 0; opening < 2; ++opening) {
        Modals.push_back(SettingsAnswer("COM5", true, true, &listed, &preselected));
        form.Izbirapisave1Click();
        EXPECT_THAT(listed, ElementsAre("COM1", "COM5")) << opening;
    }
    EXPECT_EQ(preselected, "COM5");
    EXPECT_EQ(SerialPortNumber, 5);
    EXPECT_EQ(form.ComPort1.Port(), "COM5");
    EXPECT_TRUE(Api.IsOpen("COM5"));
    EXPECT_FALSE(Api.IsOpen("COM2"));
    EXPECT_TRUE(Action(form, "EEPROMbrii1")->isEnabled());
    EXPECT_EQ(form.FormPisava->ListBox1->item(0)->text(), "1200 bps");
    EXPECT_FALSE(form.FormPisava->ListBox1->isEnabled());
}

TEST_F(FrameTest, SettingsDialogCancelledOrWithoutSelectionChangesNoPort) {
    TMainForm& form = Start();
    Modals.push_back(SettingsAnswer("COM1", true, false));
    form.Nastavvrat1Click();
    EXPECT_EQ(SerialPortNumber, 2);
    EXPECT_EQ(form.ComPort1.Port(), "COM2");
    EXPECT_TRUE(Action(form, "EEPROMbrii1")->isEnabled());
    // The boxes keep what the user set, also after "PREKLIC".
    EXPECT_TRUE(form.FormPisava->CheckBBrisiEE->isChecked());

    Modals.push_back(SettingsAnswer("", false, true));
    form.Izbirapisave1Click();
    EXPECT_EQ(SerialPortNumber, 2);
    EXPECT_EQ(form.ComPort1.Port(), "COM2");
    EXPECT_TRUE(Api.IsOpen("COM2"));
    EXPECT_FALSE(Action(form, "EEPROMbrii1")->isEnabled());
}

TEST_F(FrameTest, APortThatFailsToOpenIsTheOneNamedEverywhereAndOpensLater) {
    Api.SetPortList({"COM1:", "COM2:", "COM3:"});  // COM3 is listed but cannot be opened yet
    TMainForm& form = Start();
    form.FileNew1Execute();
    Modals.push_back(SettingsAnswer("COM3", false, true));
    Action(form, "Nastavvrat1")->trigger();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text.toStdString(), EComPort(CError_OpenFailed, comm::ERROR_FILE_NOT_FOUND).what());
    EXPECT_EQ(form.ComPort1.Port(), "COM3");
    EXPECT_EQ(SerialPortNumber, 3);
    EXPECT_FALSE(form.ComPort1.Connected());
    EXPECT_FALSE(Api.IsOpen("COM2"));
    EXPECT_EQ(PortOpen, 0);
    EXPECT_FALSE(Action(form, "EEPROMbrii1")->isEnabled());
    form.Timer1Timer();
    EXPECT_EQ(form.StatusPanels[2]->text(), "COM3");
    // Plugged in: the next activation opens the port the screen names.
    Api.AddPort("COM3");
    form.FormActivate();
    EXPECT_TRUE(Api.IsOpen("COM3"));
    EXPECT_EQ(PortOpen, 1);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(ReadFile("Vantrel.ini"), "[vrata]\nser1=3\n");
}

TEST_F(FrameTest, OnPseudoTerminalsThePortOpensAndMovesToTheChosenOne) {
    comm::PtyBoard board2;
    comm::PtyBoard board5;
    ASSERT_FALSE(board2.SlavePath().empty());
    comm::PosixCommApi posix;
    posix.SetPortMap(comm::ComPortMap{{2, board2.SlavePath()}, {5, board5.SlavePath()}});
    Services.Comm = &posix;
    TMainForm& form = Start();
    ServePostedEvents();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_TRUE(form.ComPort1.Connected());
    QStringList listed;
    Modals.push_back(SettingsAnswer("COM5", false, true, &listed));
    form.Izbirapisave1Click();
    EXPECT_THAT(listed, ElementsAre("COM2", "COM5"));
    EXPECT_EQ(form.ComPort1.Port(), "COM5");
    EXPECT_TRUE(form.ComPort1.Connected());
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.ComPort1.Connected());
    EXPECT_EQ(ReadFile("Vantrel.ini"), "[vrata]\nser1=5\n");
    Form.reset();  // before the comm layer it was made on
}

// A board plugged in after the start: COM2 names a device that appears
// later, a pseudo-terminal linked in its place.
class LateBoardTest : public IdeTest {
protected:
    LateBoardTest() {
        Posix.SetPortMap(comm::ComPortMap{{2, Device}});
        Posix.SetVirtualLines("loop");  // DSR follows our DTR: a board that answers at once
        Services.Comm = &Posix;
    }
    ~LateBoardTest() override { Form.reset(); }  // before the comm layer it was made on
    TMainForm& StartWithoutTheBoard() {
        TMainForm& form = Start();
        testsupport::PumpUntil([&] { return !Boxes.empty(); });  // the start-up's box comes once the window stands
        EXPECT_EQ(Boxes.size(), 1u);
        EXPECT_FALSE(form.ComPort1.Connected());
        EXPECT_EQ(PortOpen, 0);
        Boxes.clear();
        return form;
    }
    void PlugIn() {
        ASSERT_FALSE(Board.SlavePath().empty());
        std::filesystem::create_symlink(Board.SlavePath(), Device);
    }
    const std::string Device = Path("ttyBoard").toStdString();
    comm::PosixCommApi Posix;
    comm::PtyBoard Board;
};

TEST_F(LateBoardTest, ActivationOpensThePortOnceTheBoardIsThere) {
    TMainForm& form = StartWithoutTheBoard();
    // Still missing: the activation tries quietly, the start-up has said it.
    form.FormActivate();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(PortOpen, 0);
    PlugIn();
    form.FormActivate();
    EXPECT_TRUE(form.ComPort1.Connected());
    EXPECT_EQ(PortOpen, 1);
    EXPECT_EQ(ProgrammerFound, 1);
    EXPECT_EQ(form.StatusPanels[7]->pixmap().toImage(), ProgrammerImage(true).toImage());
}

TEST_F(LateBoardTest, TheProgramCommandOpensThePortAndGivesDsrAMoment) {
    Services.Clock = &timing::DefaultClock();
    Posix.SetVirtualLines("none");
    TMainForm& form = StartWithoutTheBoard();
    PlugIn();
    WriteFile("TEMP$$.S19", "S1040000AA51\n");
    ObjectName = "TEMP$$.S19";
    RamSize = 16;
    // The board raises DSR a moment after the port opened.
    QTimer::singleShot(20, &form, [this] { Posix.SetVirtualLines("DSR"); });
    form.ToolButton16Click();
    EXPECT_THAT(Dialogs.Messages(),
                ElementsAre("OPOZORILO!|Pred programiranjem je potrebno mikrokontroler resetirati!"));
    EXPECT_EQ(PortOpen, 1);
    EXPECT_EQ(Board.Receive(17), "\xFF\xAA" + std::string(15, '\xFF'));
}

TEST_F(LateBoardTest, TheEraseCommandOpensThePortToo) {
    TMainForm& form = StartWithoutTheBoard();
    PlugIn();
    Answers = {QMessageBox::Cancel};  // at the question: the board was found
    form.EEPROMbrii1Click();
    EXPECT_THAT(Dialogs.Messages(), ElementsAre(QString::fromUtf8("OPOZORILO!|Naj EEPROM pobrišem?\r\nPred brisanjem "
                                                                  "je potrebno mikrokontroler resetirati!")));
    EXPECT_EQ(PortOpen, 1);
}

// ------------------------------------------------------------------- close

TEST_F(FrameTest, CloseSavesTheSettingsAndReleasesThePort) {
    WriteFile("Vantrel.ini",
              "[chipi]\nintegrirc7=MC68HC11F1\nRAM7=1024\nEE7=512\n"
              "integrirc9=X\nRAM9=1\nEE9=1\n[vrata]\nser1=1\n");
    TMainForm& form = Start();
    EXPECT_TRUE(Api.IsOpen("COM1"));
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(Api.IsOpen("COM1"));
    EXPECT_EQ(ReadFile("Vantrel.ini"), "[chipi]\nintegrirc7=MC68HC11F1\nRAM7=1024\nEE7=512\n[vrata]\nser1=1\n");
}

TEST_F(FrameTest, CloseAsksForEachModifiedEditorAndNoKeepsEverything) {
    TMainForm& form = Start();
    TMDIChild* changed = form.OpenEditorWindow("Neimenovana1");
    changed->RichEdit1->insertPlainText("LDAA #1");
    form.OpenEditorWindow("Neimenovana2");  // unchanged: no question

    Answers = {QMessageBox::No};
    EXPECT_FALSE(form.close());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Dokument Neimenovana1 je bil spremenjen. Spremembe zavržem?");
    EXPECT_EQ(form.MDIChildCount(), 2);
    EXPECT_TRUE(Api.IsOpen("COM2"));
    EXPECT_FALSE(QFile::exists(Path("Vantrel.ini")));

    Answers = {QMessageBox::Yes};
    EXPECT_TRUE(form.close());
    EXPECT_EQ(Boxes.size(), 2u);  // asked once, not again by the window itself
    EXPECT_FALSE(Api.IsOpen("COM2"));
    EXPECT_EQ(ReadFile("Vantrel.ini"), "[vrata]\nser1=2\n");
}

}  // namespace
}  // namespace Vantrel
