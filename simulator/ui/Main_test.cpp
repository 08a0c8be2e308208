// The simulator's shell driven through its real widgets: open, reset, step,
// run, breakpoints, interrupts, memory commands, find and settings.
#include "simulator/ui/Main.h"
#include "gui/DialogAnswers.h"
#include "gui/MdiFrame.h"
#include "gui/StandardDialogs.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/SampleListing.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitCPUreg.h"
#include "simulator/ui/UnitNaslovi.h"
#include "simulator/ui/UnitPisava.h"
#include "simulator/ui/UnitRegistri.h"
#include "simulator/ui/UnitResetVekt.h"
#include "simulator/ui/UnitSklad.h"
#include "simulator/ui/UnitViewSprem.h"
#include "simulator/ui/UnitVrata.h"
#include "tests/support/QtTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

namespace VantrelSIM {
namespace {

using testsupport::PumpUntil;

std::string Cell(uint16_t address) { return MemoryImage[address].Str(); }

class SimulatorShell : public ::testing::Test, public gui::TDialogAnswers {
protected:
    void SetUp() override {
        Write(QStringLiteral("TEMP$$.LST"), ListingBytes);
        Write(QStringLiteral("TEMP$$.S19"), ObjectBytes);
        ChosenFile = Folder + QStringLiteral("/Temp$$.LST");  // as the user types it
        QDir::setCurrent(Folder);

        Form = CreateSimulatorForms();
        Form->show();
    }

    void TearDown() override {
        if (Form->ListingWindow()) Form->ListingWindow()->Modified = false;
        delete Form;
        QDir::setCurrent(QDir::tempPath());
    }

    void Write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(testsupport::WriteFileBytes(Dir / name.toStdString(), bytes.toStdString()));
    }

    void Open(int resetRow = 0) {
        ResetRow = resetRow;
        Form->FileOpen1Execute();
        ASSERT_NE(Form->ListingWindow(), nullptr);
    }

    QPlainTextEdit* Edit() { return Form->ListingWindow()->RichEdit1; }
    // OdprtoOkno11 .. OdprtoOkno61 by position.
    QAction* WindowListItem(int i) const {
        return gui::Component(*Form, ("OdprtoOkno" + std::to_string(i + 1) + "1").c_str());
    }

    void PutCaret(int line, int column = 1) {
        QTextCursor cursor(Edit()->document()->findBlockByNumber(line - 1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column - 1);
        Edit()->setTextCursor(cursor);
    }

    QString SelectedText() { return Edit()->textCursor().selectedText(); }
    QColor LineColour(int line) {
        QTextCursor cursor(Edit()->document()->findBlockByNumber(line - 1));
        cursor.movePosition(QTextCursor::Right);
        return cursor.charFormat().foreground().color();
    }

    int AnswerModal(QDialog& dialog) override {
        if (auto* reset = qobject_cast<TFormResetVek*>(&dialog)) {
            ++ResetDialogs;
            reset->ListBox1->setCurrentRow(ResetRow);
            if (DuringReset) DuringReset();
            return QDialog::Accepted;
        }
        return TDialogAnswers::AnswerModal(dialog);
    }

    testsupport::TTempFolder Dir;
    const QString Folder = QString::fromStdString(Dir.Path().string());
    int ResetRow = 0;
    int ResetDialogs = 0;
    std::function<void()> DuringReset;
    TMainForm* Form = nullptr;
};

TEST_F(SimulatorShell, OpenShowsListingLoadsObjectAndResetsToRam) {
    CpuRegs.A = 0x33;
    MemoryImage[0x2000].Assign("AB");
    Open();
    EXPECT_EQ(ProposedFile, Folder + QStringLiteral("/TEMP$$.LST"));
    EXPECT_EQ(Form->ListingWindow()->windowTitle(), Folder + QStringLiteral("/TEMP$$.LST"));
    EXPECT_TRUE(Edit()->toPlainText().contains(QStringLiteral("* Šolski primer: čšž")));
    EXPECT_EQ(Form->ListingWindow()->LineCount(), 16);
    EXPECT_EQ(Cell(0x0000) + Cell(0x0001) + Cell(0x000C), "860501");
    EXPECT_EQ(Cell(0xB601), "41");
    EXPECT_EQ(Cell(0x2000), "AB");  // loading does not clear memory
    EXPECT_EQ(ResetDialogs, 1);
    EXPECT_EQ(CpuRegs.PC, 0x0000);
    EXPECT_EQ(CpuRegs.A, 0);
    EXPECT_EQ(CpuRegs.CCR, 0xD0);
    EXPECT_EQ(Cell(0x103F) + Cell(0x1039), "0F10");
    EXPECT_TRUE(Form->Timer1->isActive());
    EXPECT_TRUE(Boxes.empty());

    ResetDialogs = 0;
    Form->FileOpen1Execute();  // a second listing needs the first one closed
    EXPECT_EQ(ResetDialogs, 0);
}

TEST_F(SimulatorShell, ResetToEepromAndBack) {
    Open(1);
    EXPECT_EQ(Form->ResetAddress, 0xB600);
    EXPECT_EQ(CpuRegs.PC, 0xB600);
    CpuRegs.PC = 0x1234;
    Form->Reset1Click();
    EXPECT_EQ(CpuRegs.PC, 0xB600);
}

TEST_F(SimulatorShell, StepHighlightsTheLineOfPcBeforeExecutingIt) {
    Open();
    Form->ToolButton15Click();
    EXPECT_EQ(Form->CurrentLine, 2);
    EXPECT_EQ(SelectedText(), Form->ListingWindow()->LineText(2));
    EXPECT_EQ(CpuRegs.PC, 0x0002);
    EXPECT_EQ(CpuRegs.A, 0x05);
    Form->ToolButton15Click();
    EXPECT_EQ(Form->CurrentLine, 3);
    EXPECT_EQ(Form->StatusPanels[1]->text(), QStringLiteral("Vrs: 3     Kol: 1  "));
    EXPECT_TRUE(Form->ListingWindow()->Modified);
    // Colouring leaves no history behind, however long the run.
    EXPECT_FALSE(Edit()->document()->isUndoAvailable());
}

TEST_F(SimulatorShell, RunStopsAfterTheBreakpointLineHasRun) {
    Open();
    PutCaret(5);
    Form->Vstaviustavitvenotoko1Click();
    EXPECT_EQ(Form->MemoBreake, QStringList{QStringLiteral("0005")});
    EXPECT_EQ(LineColour(5), QColor(Qt::red));
    PutCaret(1);
    Form->StartStop1Click();
    ASSERT_TRUE(Form->Running());
    ASSERT_TRUE(PumpUntil([&] { return !Form->Running(); }));
    EXPECT_EQ(CpuRegs.PC, 0x0005);  // INCA at $0004 has run
    EXPECT_EQ(CpuRegs.A, 0x06);
    EXPECT_TRUE(Form->updatesEnabled());
    EXPECT_EQ(Form->CurrentLine, 5);
    EXPECT_EQ(LineColour(5), QColor(Qt::red));

    // Starting on the breakpoint stops at once, without a step.
    Form->StartStop1Click();
    ASSERT_TRUE(PumpUntil([&] { return !Form->Running(); }));
    EXPECT_EQ(CpuRegs.PC, 0x0005);

    PutCaret(5);
    Form->Odstrani1Click();
    EXPECT_TRUE(Form->MemoBreake.isEmpty());
    EXPECT_EQ(LineColour(5), QColor(Qt::black));
}

TEST_F(SimulatorShell, RunFromTheCursor) {
    Open();
    PutCaret(8, 12);
    Form->Odkurzorja1Click();
    EXPECT_EQ(CpuRegs.PC, 0x0008);
    EXPECT_EQ(Form->CurrentLine, 8);
    PutCaret(16);  // no address there
    Form->Odkurzorja1Click();
    EXPECT_EQ(CpuRegs.PC, 0x0000);
}

TEST_F(SimulatorShell, IrqIsDroppedWhileMaskedAndEnteredOnceCleared) {
    Open();
    EXPECT_FALSE(gui::Component(*Form, "SpeedBIRQ")->isEnabled());
    gui::Component(*Form, "Stimulacije1")->trigger();
    ASSERT_TRUE(gui::Component(*Form, "SpeedBIRQ")->isEnabled());
    ASSERT_TRUE(gui::Component(*Form, "SpeedBNMI")->isEnabled());

    gui::Component(*Form, "SpeedBIRQ")->trigger();
    Form->ToolButton15Click();  // FlagI = 1 after reset
    EXPECT_EQ(IrqPending, 0);
    EXPECT_EQ(CpuRegs.PC, 0x0002);

    CpuRegs.PC = 0x0007;
    Form->ToolButton15Click();  // CLI
    gui::Component(*Form, "SpeedBIRQ")->trigger();
    Form->ToolButton15Click();
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::Irq);
}

TEST_F(SimulatorShell, NmiWaitsForXToClear) {
    Open();
    gui::Component(*Form, "Stimulacije1")->trigger();
    CpuRegs.PC = 0x0009;
    gui::Component(*Form, "SpeedBNMI")->trigger();
    Form->ToolButton15Click();  // LDAA #$00, X still set
    EXPECT_EQ(XirqPending, 1);
    EXPECT_EQ(CpuRegs.PC, 0x000B);
    Form->ToolButton15Click();  // TAP clears X
    EXPECT_EQ(XirqPending, 0);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::Xirq);
}

TEST_F(SimulatorShell, IllegalOpcodeStopsTheRunBeforeItsOneBox) {
    Open(1);
    uint16_t pcDuringBox = 0;
    bool runningDuringBox = true;
    OnBox = [&] {
        runningDuringBox = Form->Running();
        pcDuringBox = CpuRegs.PC;
        gui::Component(*Form, "ToolButton2")->setChecked(true);  // even a switch pressed again must not step now
        Form->Timer1Timer();
        Form->StopRun();
    };
    Form->StartStop1Click();
    ASSERT_TRUE(PumpUntil([&] { return !Boxes.empty(); }));
    Form->Timer1Timer();  // a tick after the box steps no further
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, QStringLiteral("NAPAKA!"));
    EXPECT_EQ(Boxes[0].Text, QStringLiteral("Nepravilna operacijska koda! \"41\""));
    EXPECT_FALSE(runningDuringBox);
    EXPECT_EQ(CpuRegs.PC, pcDuringBox);
    EXPECT_EQ(CpuRegs.PC, PseudoVectors::IllegalOpcodeTrap);
    EXPECT_FALSE(Form->Running());
}

TEST_F(SimulatorShell, NoStepRunsWhileTheOpenCommandIsUnderWay) {
    gui::Component(*Form, "ToolButton2")->setChecked(true);  // left on from before
    uint16_t pcDuringDialog = 0xFFFF;
    bool highlightedDuringDialog = true;
    DuringReset = [&] {
        Form->Timer1Timer();  // the run timer ticks while the dialog is up
        pcDuringDialog = CpuRegs.PC;
        highlightedDuringDialog = Form->ListingWindow()->Modified;
    };
    Open();
    EXPECT_EQ(pcDuringDialog, 0x0000);
    EXPECT_FALSE(highlightedDuringDialog);
    EXPECT_TRUE(Form->Running());  // the switch itself survives
    EXPECT_TRUE(PumpUntil([&] { return CpuRegs.PC != 0x0000; }));
}

TEST_F(SimulatorShell, MissingObjectFileIsReportedAndTheResetStillFollows) {
    QFile::remove(Folder + QStringLiteral("/TEMP$$.S19"));
    Open(1);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, QStringLiteral("Napaka pri odpiranju datoteke!"));
    EXPECT_EQ(ResetDialogs, 1);
    EXPECT_EQ(CpuRegs.PC, 0xB600);
    EXPECT_EQ(Cell(0x0000), "00");
}

TEST_F(SimulatorShell, UnreadableListingOpensNothing) {
    ChosenFile = Folder + QStringLiteral("/NIC.LST");
    Form->FileOpen1Execute();
    EXPECT_EQ(Form->ListingWindow(), nullptr);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, QStringLiteral("Napaka pri odpiranju datoteke!"));
    EXPECT_EQ(ResetDialogs, 0);
}

TEST_F(SimulatorShell, MalformedRecordsAreSkippedAndTheRestLoads) {
    Write(QStringLiteral("TEMP$$.S19"), "S1100000860501\r\nS105B600014102\r\nS1060010ZZ0101FF\r\n");
    Open();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Cell(0x0000) + Cell(0x0010), "0000");
    EXPECT_EQ(Cell(0xB600) + Cell(0xB601), "0141");
}

TEST_F(SimulatorShell, MemoryCommandsClearAndReload) {
    Open(1);
    MemoryImage[0xB600].Assign("FF");
    MemoryImage[0x1020].Assign("12");
    MemoryImage[0x2000].Assign("AB");
    Form->SFR1Click();
    EXPECT_EQ(Cell(0x1020), "00");
    EXPECT_EQ(Cell(0xB600), "FF");
    Form->EEPROM1Click();
    EXPECT_EQ(Cell(0xB600) + Cell(0xB7FF), "0000");
    CpuRegs.PC = 0x0003;
    Form->Osveiprogpomnilnik1Click();
    EXPECT_EQ(Cell(0xB600) + Cell(0xB601) + Cell(0x0000), "014186");
    EXPECT_EQ(Cell(0x2000), "00");
    EXPECT_EQ(CpuRegs.PC, 0xB600);
}

TEST_F(SimulatorShell, FindContinuesAfterTheMatchAndReportsTheEnd) {
    Open();
    Form->Find1Execute();
    EXPECT_TRUE(Form->FindDialog1->isVisible());
    Form->FindDialog1->SetFindText(QStringLiteral("nop"));
    const int nops = 5;
    for (int i = 0; i < nops; ++i) {
        Form->FindDialog1Find();
        EXPECT_EQ(SelectedText(), QStringLiteral("NOP"));
    }
    EXPECT_TRUE(Boxes.empty());
    Form->FindDialog1Find();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, QStringLiteral("Obvestilo"));
    EXPECT_EQ(Boxes[0].Text, QStringLiteral("Ne najdem besede \"nop\""));
    EXPECT_EQ(Form->CurrentLine, 14);  // the selection stays on the last one
}

TEST_F(SimulatorShell, TheCaretPanelReportsOnlyTheOpenListing) {
    // A long listing with the caret on line 41, then a 9-line one.
    QByteArray longListing;
    for (int line = 1; line <= 45; ++line) longListing += QByteArray::number(line).rightJustified(4, '0') + " \r\n";
    Write(QStringLiteral("DOLG.LST"), longListing);
    Write(QStringLiteral("KRATEK.LST"), ListingBytes.left(ListingBytes.indexOf("0010 ")));
    ChosenFile = Folder + QStringLiteral("/DOLG.LST");
    Open();
    PutCaret(41, 3);
    EXPECT_EQ(Form->StatusPanels[1]->text(), QStringLiteral("Vrs: 41    Kol: 3  "));
    Form->FileClose1Execute();
    ASSERT_TRUE(PumpUntil([&] { return Form->ListingWindow() == nullptr; }));
    EXPECT_EQ(Form->StatusPanels[1]->text(), QString());

    ChosenFile = Folder + QStringLiteral("/KRATEK.LST");
    Open();
    ASSERT_EQ(Form->ListingWindow()->LineCount(), 9);
    EXPECT_EQ(Form->StatusPanels[1]->text(), QStringLiteral("Vrs: 1     Kol: 1  "));
    EXPECT_EQ(Form->CurrentLine, 1);
    // The caret where the last listing's report left it is reported again.
    Form->ListingWindow()->Modified = false;
    Form->FileClose1Execute();
    ASSERT_TRUE(PumpUntil([&] { return Form->ListingWindow() == nullptr; }));
    Open();
    EXPECT_EQ(Form->StatusPanels[1]->text(), QStringLiteral("Vrs: 1     Kol: 1  "));
}

TEST_F(SimulatorShell, ClosingAModifiedListingAsksFirst) {
    Open();
    Form->ToolButton15Click();
    BoxAnswer = QMessageBox::No;
    Form->FileClose1Execute();
    QCoreApplication::processEvents();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, QStringLiteral("Izvajanje programa ") + Folder + QStringLiteral("/TEMP$$.LST zaključim?"));
    ASSERT_NE(Form->ListingWindow(), nullptr);
    BoxAnswer = QMessageBox::Yes;
    int steps = 0;
    QObject::connect(Form, &TMainForm::StepDone, Form, [&] { ++steps; });
    Form->StartStop1Click();
    ASSERT_TRUE(PumpUntil([&] { return steps > 0; }));  // the close comes during the run
    Form->FileClose1Execute();
    ASSERT_TRUE(PumpUntil([&] { return Form->ListingWindow() == nullptr; }));
    EXPECT_FALSE(Form->Timer1->isActive());
    EXPECT_TRUE(Form->Running());  // the switch survives the listing
    EXPECT_TRUE(Form->updatesEnabled());
}

TEST_F(SimulatorShell, AdPageAppliesLiveAndCancelRestores) {
    FormPisava->TrackBar1->setValue(16);
    ASSERT_EQ(AdInputValue, 64);
    OnModal = [&](QDialog& dialog) {
        EXPECT_EQ(&dialog, FormPisava);
        EXPECT_EQ(FormPisava->TabControl1->tabText(0), QStringLiteral("Simulator"));
        EXPECT_TRUE(FormPisava->GroupBox1->isHidden());
        FormPisava->TrackBar1->setValue(48);
        EXPECT_EQ(FormPisava->Edit2->text(), QStringLiteral("  3.75"));
        EXPECT_EQ(AdInputValue, 191);
        return int(QDialog::Rejected);
    };
    Form->Nastavitve1Click();
    EXPECT_EQ(FormPisava->TrackBar1->value(), 16);
    EXPECT_EQ(AdInputValue, 64);
}

TEST_F(SimulatorShell, FontApplyChangesTheSelectionOnly) {
    Open();
    Form->ToolButton15Click();  // line 2 selected
    OnModal = [&](QDialog& dialog) {
        if (&dialog == FormPisava) {
            EXPECT_EQ(FormPisava->TabControl1->tabText(0), QStringLiteral("Pisava"));
            FormPisava->Button1Click();
            return int(QDialog::Accepted);
        }
        Form->FontDialog1->SizeBox->setCurrentText(QStringLiteral("14"));
        emit Form->FontDialog1->Apply();
        return int(QDialog::Accepted);
    };
    Form->Izbirapisave1Click();
    EXPECT_EQ(FormPisava->Label6->text(), QStringLiteral("14"));
    QTextCursor line2(Edit()->document()->findBlockByNumber(1));
    line2.movePosition(QTextCursor::Right);
    QTextCursor line3(Edit()->document()->findBlockByNumber(2));
    line3.movePosition(QTextCursor::Right);
    EXPECT_EQ(line2.charFormat().font().pointSize(), 14);
    EXPECT_NE(line3.charFormat().font().pointSize(), 14);
}

TEST_F(SimulatorShell, WindowMenuListsOpenToolWindowsInOrder) {
    Form->OpenWindowList = {QStringLiteral("Sklad"), QStringLiteral("Registri CPE")};
    Form->UpdateWindowMenu();
    EXPECT_EQ(WindowListItem(0)->text(), QStringLiteral("&1 Sklad"));
    EXPECT_EQ(WindowListItem(1)->text(), QStringLiteral("&2 Registri CPE"));
    EXPECT_TRUE(WindowListItem(1)->isVisible());
    EXPECT_FALSE(WindowListItem(2)->isVisible());
    Form->OpenWindowList.removeFirst();
    Form->UpdateWindowMenu();
    EXPECT_EQ(WindowListItem(0)->text(), QStringLiteral("&1 Registri CPE"));
    EXPECT_FALSE(WindowListItem(1)->isVisible());
}

TEST_F(SimulatorShell, WindowMenuOffersTheSixToolWindowsInItsOrder) {
    QMenu* okno = nullptr;
    for (QAction* item : Form->menuBar()->actions())
        if (item->text() == QStringLiteral("O&kno")) okno = item->menu();
    ASSERT_NE(okno, nullptr);
    QStringList offered;
    for (QAction* item : okno->actions().mid(0, 6)) offered << item->text();
    EXPECT_EQ(offered, (QStringList{"Registri CPE", "Registri vgrajenih enot", "Sklad", "Spominske lokacije",
                                    "Uporabniške spremenljivke", "V/I vrata"}));
    EXPECT_EQ(okno->actions().value(0), gui::Component(*Form, "OknoregistrovCPE1"));
    EXPECT_EQ(okno->actions().value(5), gui::Component(*Form, "VrataA1"));
    gui::Component(*Form, "Sklad1")->trigger();
    EXPECT_NE(FormSklad, nullptr);
    EXPECT_EQ(FormSklad->windowTitle(), QStringLiteral("Sklad"));
}

TEST_F(SimulatorShell, ToolWindowsAreListedRenumberedAndClosedWithTheListing) {
    Open();
    Form->OknoregistrovCPE1Click();
    Form->Registrivgrajenihenot1Click();
    Form->Sklad1Click();
    Form->Spominskelokacije1Click();
    Form->Uporabnikespremenljivke1Click();
    Form->VrataA1Click();
    Form->OknoregistrovCPE1Click();  // open already: only focused
    const QStringList opened = {"Registri CPE",       "Registri vgrajenih enot",   "Sklad",
                                "Spominske lokacije", "Uporabniške spremenljivke", "V/I vrata"};
    EXPECT_EQ(Form->OpenWindowList, opened);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(WindowListItem(i)->text(), QStringLiteral("&%1 ").arg(i + 1) + opened[i]);
    EXPECT_EQ(FormCPUreg->windowTitle(), QStringLiteral("Registri CPE"));

    FormRegistri->close();
    ASSERT_TRUE(PumpUntil([] { return FormRegistri == nullptr; }));
    EXPECT_EQ(WindowListItem(1)->text(), QStringLiteral("&2 Sklad"));
    EXPECT_FALSE(WindowListItem(5)->isVisible());

    WindowListItem(1)->trigger();
    EXPECT_TRUE(FormSklad->isVisible());

    Form->ToolButton15Click();  // every open window refreshes without complaint
    EXPECT_TRUE(Boxes.empty());

    Form->ListingWindow()->Modified = false;
    Form->FileClose1Execute();
    ASSERT_TRUE(PumpUntil([&] { return Form->ListingWindow() == nullptr && FormCPUreg == nullptr; }));
    EXPECT_EQ(FormSklad, nullptr);
    EXPECT_EQ(FormNaslovi, nullptr);
    EXPECT_EQ(FormViewSprem, nullptr);
    ASSERT_NE(FormVrata, nullptr);  // the pins can be set up without a program
    EXPECT_EQ(Form->OpenWindowList, QStringList{QStringLiteral("V/I vrata")});
}

TEST_F(SimulatorShell, EachTableRowOpensItsWindowAndTheWindowsForgetThemselvesWithTheMainWindow) {
    Open();
    TMainForm& form = *Form;
    for (const TToolWindowKind& kind : ToolWindowTable) {
        (form.*kind.OpenHandler)();
        TToolWindow* window = kind.Form.Current();
        ASSERT_NE(window, nullptr) << kind.Caption;
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(kind.Caption));
        EXPECT_EQ(&window->Kind(), &kind);
        EXPECT_EQ(gui::Component(form, kind.MenuItemName)->text(), QString::fromUtf8(kind.Caption));
        EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    }
    EXPECT_EQ(Form->OpenWindowList.size(), 6);
    Form->ListingWindow()->Modified = false;
    delete Form;
    for (const TToolWindowKind& kind : ToolWindowTable) EXPECT_EQ(kind.Form.Current(), nullptr) << kind.Caption;
    Form = CreateSimulatorForms();
}

TEST_F(SimulatorShell, ShortcutsReachTheCommandsFromTheListing) {
    Open();
    QApplication::setActiveWindow(Form);
    Edit()->setFocus();
    QTest::keyClick(Edit(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(CpuRegs.PC, 0x0002);
    QTest::keyClick(Edit(), Qt::Key_F2);
    EXPECT_EQ(Form->MemoBreake, QStringList{QStringLiteral("0002")});
    QTest::keyClick(Edit(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(CpuRegs.PC, 0x0000);
    BoxAnswer = QMessageBox::Yes;
    QTest::keyClick(Edit(), Qt::Key_Z, Qt::ControlModifier);  // "&Zapri", not undo
    EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(SimulatorShell, LongHintsGoToTheFirstPanel) {
    QStatusTipEvent tip(gui::Component(*Form, "ToolButton15")->statusTip());
    QCoreApplication::sendEvent(Form, &tip);
    EXPECT_EQ(Form->StatusPanels[0]->text(), QStringLiteral("Izvajaj po korakih!"));
    EXPECT_EQ(gui::Component(*Form, "ToolButton15")->toolTip(), QStringLiteral("Po korakih!"));
}

QString Hex4(uint16_t value) { return QStringLiteral("%1").arg(value, 4, 16, QChar('0')).toUpper(); }

TEST_F(SimulatorShell, DuringARunTheWindowsReadAsIfRefreshedAtEveryStep) {
    Open();
    Form->OknoregistrovCPE1Click();
    Form->Timer1->stop();  // the test makes the ticks
    gui::Component(*Form, "ToolButton2")->setChecked(true);
    Form->Timer1Timer();  // the run holds its frames from here on
    // Lines of PC $0002, $0003, $0004, $0005, $0000 and $0002 again.
    for (int line : {3, 4, 5, 6, 2, 3}) {
        Form->ToolButton15Click();
        EXPECT_EQ(Form->CurrentLine, line);
        EXPECT_EQ(Form->StatusPanels[1]->text(), QStringLiteral("Vrs: %1     Kol: 1  ").arg(line));
        EXPECT_EQ(FormCPUreg->RowText(RowPC), Hex4(CpuRegs.PC));
        EXPECT_EQ(FormCPUreg->RowText(RowA), Hex4(CpuRegs.A).right(2));
        EXPECT_EQ(SelectedText(), Form->ListingWindow()->LineText(line));
        ASSERT_TRUE(Form->Running());
    }
    Form->StopRun();
    // Stopped, the grid's items show what it reads.
    EXPECT_EQ(FormCPUreg->StringGCPUreg->item(RowPC - 1, 0)->text(), Hex4(CpuRegs.PC));
}

TEST_F(SimulatorShell, TheRunTimerRestsWhileTheRunSwitchIsUp) {
    Open();
    EXPECT_TRUE(Form->Timer1->isActive());
    EXPECT_GE(Form->Timer1->interval(), 1000);
    Form->StartStop1Click();
    EXPECT_EQ(Form->Timer1->interval(), 1);
    EXPECT_TRUE(Form->Timer1->isActive());
    Form->StartStop1Click();
    EXPECT_GE(Form->Timer1->interval(), 1000);
    EXPECT_TRUE(Form->Timer1->isActive());
}

TEST(RunTickSteps, KeepsOneStepPerMillisecondWithinTheCap) {
    const struct {
        int64_t elapsedMs, steps, doneAfter;
    } ticks[] = {
        {1, 1, 1},      // the first tick
        {1, 1, 2},      // a second tick in the same millisecond still steps
        {5, 3, 5},      // late ticks catch up
        {100, 10, 90},  // a long stall: ten steps, the rest is forgotten
        {101, 10, 100}, {102, 2, 102},
    };
    int64_t done = 0;
    for (const auto& tick : ticks) {
        EXPECT_EQ(RunTickSteps(tick.elapsedMs, done, 10), tick.steps) << tick.elapsedMs;
        EXPECT_EQ(done, tick.doneAfter) << tick.elapsedMs;
    }
}

}  // namespace
}  // namespace VantrelSIM
