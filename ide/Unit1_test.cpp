// The assemble, options, report and simulator commands of the main window:
// on the fake shell and clock for the waits and the failures, and end to
// end with the real as11m started through the real shell layer.
#include "ide/Unit1.h"
#include "ide/Childwin.h"
#include "ide/IdeTestSupport.h"
#include "ide/Unit2.h"
#include "ide/Unit5.h"
#include "platform/shell/PosixShellApi.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

using ::testing::ElementsAre;

namespace Vantrel {
namespace {

constexpr char CleanListing[] = "   1 0000 86 05            LDAA #5\n   2 0002 20 FE       L    BRA L\n";
constexpr char CleanObject[] = "S1070000860520FE00\nS9030000FC\n";
constexpr char ErrorListing[] =
    "   1 0000 B6 00 00         LDAA NIC\n          -> TEMP$$.ASM,1: Symbol undefined on pass 2: NIC\n";

class AssembleTest : public IdeTest {
protected:
    TMDIChild* Editor(TMainForm& form, const QString& caption, const QString& text = " LDAA #5\nL BRA L\n") {
        TMDIChild* editor = form.OpenEditorWindow(caption);
        editor->RichEdit1->setPlainText(text);
        return editor;
    }
    void AssemblerWrites(const char* listing, const char* object) {
        Shell.AddProgram("AS11M",
                         shell::FakeShellApi::Program::Writes({{"TEMP$$.S19", object}, {"TEMP$$.LST", listing}}));
    }
    // Runs the assemble command; the fake time it took.
    timing::Ticks Assemble(TMainForm& form) {
        const timing::Ticks start = Clock.GetTickCount64();
        Action(form, "ToolButton15")->trigger();
        return Clock.GetTickCount64() - start;
    }
    bool Exists(const QString& name) const { return QFileInfo::exists(Path(name)); }
    QStringList BoxTexts() const {
        QStringList texts;
        for (const gui::TShownBox& box : Boxes) texts << box.Caption + "|" + box.Text;
        return texts;
    }
    static QString Panel6(TMainForm& form) { return form.StatusPanels[6]->text(); }
    static bool ProgrammerEnabled(TMainForm& form) {
        EXPECT_EQ(Action(form, "ToolButton16")->isEnabled(), Action(form, "Zagon1")->isEnabled());
        return Action(form, "ToolButton16")->isEnabled();
    }
};

const QString FileErrorBox =
    QStringLiteral("NAPAKA!|Napaka pri odpiranju datoteke!\n(Verjetno zaradi napačnega imena datoteke)");

TEST_F(AssembleTest, ACleanAssemblyEnablesTheProgrammerAndNamesTheObject) {
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    TMDIChild* editor = Editor(form, Path("prog.asm"), "* števec\n LDAA #5\nL BRA L");
    editor->SetModified(true);
    const timing::Ticks took = Assemble(form);

    EXPECT_EQ(ReadFile("TEMP$$.ASM"), "* števec\r\n LDAA #5\r\nL BRA L");
    EXPECT_FALSE(editor->Modified());
    const auto starts = Shell.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].File, AppDir + "asm.bat");
    EXPECT_EQ(starts[0].Parameters, "TEMP$$.ASM");
    EXPECT_EQ(starts[0].Show, shell::SW_HIDE);
    EXPECT_EQ(starts[0].Program, "AS11M");
    EXPECT_THAT(starts[0].Arguments, ElementsAre("TEMP$$.ASM", "-l"));
    // The listing was there at the first test: one more second only.
    EXPECT_GE(took, 1000u);
    EXPECT_LE(took, 1010u);

    EXPECT_TRUE(form.Form2->isVisible());
    EXPECT_EQ(form.Form2->RichEdit1->toPlainText(), "V datoteki ni odkritih napak!");
    EXPECT_EQ(ReadFile("TEMP$$.RPT"),
              "V datoteki ni odkritih napak!\r\n \r\n86 05 20 FE \r\nDolžina programske kode je 4 zlogov\r\n");
    EXPECT_TRUE(ProgrammerEnabled(form));
    EXPECT_TRUE(Action(form, "ToolButton17")->isEnabled());
    EXPECT_TRUE(Action(form, "Branjeporoila1")->isEnabled());
    EXPECT_EQ(Panel6(form), "TEMP$$.S19");
    EXPECT_TRUE(Exists("TEMP$$.LST"));  // "Ustvari" is on
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(SourceName, "TEMP$$.ASM");
    EXPECT_EQ(ListingName, "TEMP$$.LST");
    EXPECT_EQ(ReportName, "TEMP$$.RPT");
    EXPECT_EQ(ObjectName, "TEMP$$.S19");
}

TEST_F(AssembleTest, ErrorsAfterACleanRunDisableTheProgrammerButKeepPanel6) {
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    Editor(form, "prog.ASM");
    Assemble(form);
    ASSERT_TRUE(ProgrammerEnabled(form));

    AssemblerWrites(ErrorListing, CleanObject);
    Assemble(form);
    EXPECT_EQ(form.Form2->RichEdit1->toPlainText(), "Število odkritih napak: 1.");
    EXPECT_EQ(ReadFile("TEMP$$.RPT"), "> NAPAKA V VRSTICI 1:  Nedefiniran simbol:\r\n");
    EXPECT_FALSE(ProgrammerEnabled(form));
    EXPECT_FALSE(Exists("TEMP$$.LST"));
    EXPECT_FALSE(Exists("TEMP$$.S19"));
    // Kept as it always was: the simulator command still starts.
    EXPECT_EQ(Panel6(form), "TEMP$$.S19");
    Shell.AddProgram("VantrelSIM", shell::FakeShellApi::Program::Stays());
    Action(form, "ToolButton28")->trigger();
    EXPECT_THAT(Shell.StartedPrograms(), ElementsAre("AS11M", "AS11M", AppDir + "VantrelSIM.EXE"));
}

TEST_F(AssembleTest, AWindowWithoutAsmInItsCaptionIsSavedButNotAssembled) {
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    const struct {
        QString Caption;
        bool Assembles;
    } cases[] = {
        {"Neimenovana1", false},
        {"/home/student/prog.asm.bak", true},  // ".ASM" anywhere, in any case
        {"x.asm.txt", true},
        {"prog.s19", false},
    };
    for (const auto& c : cases) {
        Shell.ClearStarts();
        Boxes.clear();
        TMDIChild* editor = Editor(form, c.Caption, " NOP\n");
        editor->SetModified(true);
        const timing::Ticks took = Assemble(form);
        EXPECT_EQ(ReadFile("TEMP$$.ASM"), " NOP\r\n") << c.Caption.toStdString();
        EXPECT_FALSE(editor->Modified()) << c.Caption.toStdString();
        EXPECT_EQ(Shell.Starts().size(), c.Assembles ? 1u : 0u) << c.Caption.toStdString();
        if (!c.Assembles) {
            EXPECT_EQ(took, 0u);
            EXPECT_EQ(BoxTexts(), QStringList{"Obvestilo|Za prevajanje je potrebna datoteka izvorne kode (*.asm)!"});
        }
        editor->parentWidget()->close();
    }
}

TEST_F(AssembleTest, AReportWindowInFrontIsSavedAsTheSourceAndRefused) {
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    Editor(form, "prog.asm");
    Assemble(form);
    Action(form, "ToolButton17")->trigger();
    Boxes.clear();
    Shell.ClearStarts();
    Assemble(form);
    EXPECT_TRUE(ReadFile("TEMP$$.ASM").startsWith("V datoteki ni odkritih napak!\r\n"));
    EXPECT_EQ(BoxTexts(), QStringList{"Obvestilo|Za prevajanje je potrebna datoteka izvorne kode (*.asm)!"});
    EXPECT_TRUE(Shell.Starts().empty());
}

TEST_F(AssembleTest, NoEditorNoAssembly) {
    TMainForm& form = Start();
    EXPECT_EQ(Assemble(form), 0u);
    EXPECT_TRUE(Shell.Starts().empty());
    EXPECT_FALSE(Exists("TEMP$$.ASM"));
}

TEST_F(AssembleTest, AMissingAsmBatIsReportedAndTheWaitsStillRun) {
    TMainForm& form = Start();
    QFile::remove(Path("asm.bat"));
    Editor(form, "prog.asm");
    const timing::Ticks took = Assemble(form);
    EXPECT_TRUE(Shell.Starts().empty());
    EXPECT_GT(took, 10000u);
    EXPECT_LE(took, 10020u);
    EXPECT_EQ(BoxTexts(), (QStringList{"Obvestilo|Ne najdem prevajalniškega programa!", FileErrorBox}));
    EXPECT_EQ(form.Form2->RichEdit1->toPlainText(), "");
    EXPECT_EQ(ReadFile("TEMP$$.RPT"), "");
    EXPECT_FALSE(ProgrammerEnabled(form));
    EXPECT_EQ(Panel6(form), "");
}

TEST_F(AssembleTest, AMissingAssemblerOffersNothingStale) {
    // An earlier run's object and listing lie about; the assembler is gone.
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    Editor(form, "prog.asm");
    Assemble(form);
    ASSERT_TRUE(ProgrammerEnabled(form));
    ASSERT_TRUE(Exists("TEMP$$.S19"));
    Shell.AddProgram("AS11M", shell::FakeShellApi::Program::Missing());

    const timing::Ticks took = Assemble(form);
    EXPECT_GT(took, 10000u);
    EXPECT_EQ(Shell.Starts().back().Result.Status, shell::StartStatus::NotFound);
    EXPECT_EQ(BoxTexts(), QStringList{FileErrorBox});
    EXPECT_FALSE(Exists("TEMP$$.S19"));
    EXPECT_FALSE(Exists("TEMP$$.LST"));
    EXPECT_FALSE(ProgrammerEnabled(form));
    EXPECT_EQ(ErrorsFound, 1);
}

TEST_F(AssembleTest, AMissingAssemblerOnTheFirstRunEnablesNothing) {
    TMainForm& form = Start();
    WriteFile("TEMP$$.S19", CleanObject);  // from another run of the program
    Editor(form, "prog.asm");
    Assemble(form);
    EXPECT_EQ(BoxTexts(), QStringList{FileErrorBox});
    EXPECT_FALSE(Exists("TEMP$$.S19"));
    EXPECT_FALSE(ProgrammerEnabled(form));
    EXPECT_EQ(Panel6(form), "");
    Action(form, "ToolButton28")->trigger();
    EXPECT_TRUE(Shell.StartedPrograms().empty());
}

TEST_F(AssembleTest, ASlowAssemblerIsWaitedFor) {
    Shell.AddProgram(
        "AS11M", shell::FakeShellApi::Program::Slow(3000, {{"TEMP$$.S19", CleanObject}, {"TEMP$$.LST", CleanListing}}));
    TMainForm& form = Start();
    Editor(form, "prog.asm");
    // Half way: the wait cursor shows and the event loop has run.
    bool timerRan = false;
    bool waitCursor = false;
    bool ranDuringTheWait = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    Clock.At(Clock.GetTickCount64() + 2000, [&] {
        waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        ranDuringTheWait = timerRan;
    });
    const timing::Ticks took = Assemble(form);
    EXPECT_TRUE(waitCursor);
    EXPECT_TRUE(ranDuringTheWait);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_GE(took, 4000u);
    EXPECT_LE(took, 4020u);
    EXPECT_TRUE(ProgrammerEnabled(form));
    // The wait painted in small steps, not in one long sleep.
    for (const timing::Ticks sleep : Clock.Sleeps()) EXPECT_LE(sleep, 10u);
}

TEST_F(AssembleTest, UstvariKeepsTheListingOfACleanAssembly) {
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    Editor(form, "prog.asm");
    for (const bool keep : {false, true, false}) {
        form.Form1->CheckBox3->setChecked(keep);
        Assemble(form);
        EXPECT_EQ(Exists("TEMP$$.LST"), keep);
        EXPECT_TRUE(Exists("TEMP$$.S19"));
        EXPECT_TRUE(ProgrammerEnabled(form));
    }
}

TEST_F(AssembleTest, TheErrorWindowIsReusedAndReplaced) {
    AssemblerWrites(ErrorListing, CleanObject);
    TMainForm& form = Start();
    Editor(form, "prog.asm");
    Assemble(form);
    TForm2* window = form.Form2;
    AssemblerWrites(CleanListing, CleanObject);
    Assemble(form);
    EXPECT_EQ(form.Form2, window);
    EXPECT_EQ(window->RichEdit1->toPlainText(), "V datoteki ni odkritih napak!");
    EXPECT_EQ(window->windowTitle(), "Odkrivanje napak");
    EXPECT_TRUE(window->RichEdit1->isReadOnly());
}

// ---------------------------------------------------------------- options

TEST_F(AssembleTest, TheOptionsDialogWritesAsmBatOnOkOnly) {
    TMainForm& form = Start();
    EXPECT_EQ(ReadFile("asm.bat"), "AS11M %1 -l");
    const struct {
        bool Symbols;
        bool Cycles;
        const char* Line;
    } cases[] = {
        {false, false, "AS11M %1 -l noc"},
        {false, true, "AS11M %1 -l c"},
        {true, false, "AS11M %1 -l s noc"},
        {true, true, "AS11M %1 -l s c"},
    };
    for (const auto& c : cases) {
        Modals.push_back([&](QDialog&) {
            form.Form1->CheckBox1->setChecked(c.Symbols);
            form.Form1->CheckBox4->setChecked(c.Cycles);
            return int(QDialog::Accepted);
        });
        Action(form, "Nastavitve1")->trigger();
        EXPECT_EQ(ReadFile("asm.bat"), c.Line);
    }
    // Closed without OK: the file stays, the boxes keep what was set.
    Modals.push_back([&](QDialog&) {
        form.Form1->CheckBox1->setChecked(false);
        return int(QDialog::Rejected);
    });
    Action(form, "Nastavitve1")->trigger();
    EXPECT_EQ(ReadFile("asm.bat"), "AS11M %1 -l s c");
    EXPECT_FALSE(form.Form1->CheckBox1->isChecked());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(AssembleTest, TheNextAssemblyRunsTheOptionsLine) {
    AssemblerWrites(CleanListing, CleanObject);
    TMainForm& form = Start();
    Modals.push_back([&](QDialog&) {
        form.Form1->CheckBox1->setChecked(true);
        return int(QDialog::Accepted);
    });
    Action(form, "Nastavitve1")->trigger();
    Editor(form, "prog.asm");
    Assemble(form);
    EXPECT_THAT(Shell.Starts().back().Arguments, ElementsAre("TEMP$$.ASM", "-l", "s", "noc"));
}

TEST_F(AssembleTest, TheOptionsDialogAsBuilt) {
    TMainForm& form = Start();
    TForm1& dialog = *form.Form1;
    EXPECT_EQ(dialog.windowTitle(), "Nastavitve prevajalnika");
    EXPECT_EQ(dialog.GroupBdodaj->title(), "Poročilo:");
    EXPECT_TRUE(dialog.CheckBox3->isChecked());
    EXPECT_FALSE(dialog.CheckBox1->isChecked());
    EXPECT_FALSE(dialog.CheckBox4->isChecked());
    EXPECT_EQ(dialog.BitBtnCancel->text(), "&POMOČ");
    // The help button shows topic 3 and leaves the dialog open.
    Modals.push_back([&](QDialog& shown) {
        dialog.BitBtnCancel->click();
        EXPECT_EQ(shown.result(), 0);
        return int(QDialog::Rejected);
    });
    Action(form, "Nastavitve1")->trigger();
    ASSERT_TRUE(Help.LastCall());
    EXPECT_EQ(Help.LastCall()->Command, help::HELP_CONTEXT);
    EXPECT_EQ(Help.LastCall()->Data, 3u);
}

// -------------------------------------------------------------- simulator

TEST_F(AssembleTest, TheSimulatorStartsOnlyForTheAssemblyOutput) {
    Shell.AddProgram("VantrelSIM", shell::FakeShellApi::Program::Stays());
    TMainForm& form = Start();
    for (const QString& panel : {QString(), QStringLiteral("prog.s19")}) {
        form.StatusPanels[6]->setText(panel);
        Action(form, "ToolButton28")->trigger();
        Action(form, "Zagon2")->trigger();
    }
    EXPECT_TRUE(Shell.Starts().empty());
    form.StatusPanels[6]->setText("Temp$$.S19");
    Action(form, "Zagon2")->trigger();
    const auto starts = Shell.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].File, AppDir + "VantrelSIM.EXE");
    EXPECT_EQ(starts[0].Parameters, "");
    EXPECT_EQ(starts[0].Show, shell::SW_HIDE);
    EXPECT_TRUE(starts[0].Result.Started());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(AssembleTest, AMissingSimulatorIsReportedByName) {
    TMainForm& form = Start();
    form.StatusPanels[6]->setText("TEMP$$.S19");
    Action(form, "ToolButton28")->trigger();
    EXPECT_EQ(BoxTexts(),
              QStringList{"NAPAKA!|Ne najdem programa \"" + QString::fromStdString(AppDir) + "VantrelSIM.EXE\"!"});
}

// ----------------------------------------------------------------- report

TEST_F(AssembleTest, EachReportCommandOpensANewWindowOfTheFileAsItWas) {
    TMainForm& form = Start();
    // Before the first assembly: an empty window captioned with the folder.
    Action(form, "ToolButton17")->trigger();
    ASSERT_EQ(form.MDIChildCount(), 1);
    auto* first = qobject_cast<TFormPorocilo*>(form.MdiArea()->currentSubWindow()->widget());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->windowTitle().toStdString(), AppDir);
    EXPECT_EQ(first->RichEditPorocilo->toPlainText(), "");

    AssemblerWrites(ErrorListing, CleanObject);
    Editor(form, "prog.asm");
    Assemble(form);
    Action(form, "Branjeporoila1")->trigger();
    auto* second = qobject_cast<TFormPorocilo*>(form.MdiArea()->currentSubWindow()->widget());
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->windowTitle().toStdString(), AppDir + "TEMP$$.RPT");
    EXPECT_EQ(second->RichEditPorocilo->toPlainText(), "> NAPAKA V VRSTICI 1:  Nedefiniran simbol:\n");
    EXPECT_TRUE(second->RichEditPorocilo->isReadOnly());
    EXPECT_EQ(second->RichEditPorocilo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.MDIChildCount(), 3);

    // A later assembly does not refresh an open report; closing frees it.
    AssemblerWrites(CleanListing, CleanObject);
    Assemble(form);
    EXPECT_EQ(second->RichEditPorocilo->toPlainText(), "> NAPAKA V VRSTICI 1:  Nedefiniran simbol:\n");
    QPointer<TFormPorocilo> watched(second);
    form.MdiArea()->subWindowList().at(2)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

TEST_F(AssembleTest, TheReportCommandTilesTheWindowsOneUnderTheOther) {
    TMainForm& form = Start();
    form.resize(800, 600);
    form.show();
    form.FileNew1Execute();
    form.FileNew1Execute();
    form.WindowCascade1Execute();
    Action(form, "ToolButton17")->trigger();
    const auto placed = [&] {
        QStringList geometries;
        for (const QMdiSubWindow* window : form.MdiArea()->subWindowList()) {
            const QRect r = window->geometry();
            geometries << QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        }
        return geometries;
    };
    // Each the frame's full width, the three filling its height.
    const auto tiled = [&] {
        const QSize area = form.MdiArea()->viewport()->size();
        const int height = area.height() / 3;
        return QStringList{QStringLiteral("0,0 %1x%2").arg(area.width()).arg(height),
                           QStringLiteral("0,%1 %2x%1").arg(height).arg(area.width()),
                           QStringLiteral("0,%1 %2x%3").arg(2 * height).arg(area.width()).arg(height)};
    };
    testsupport::PumpUntil([&] { return placed() == tiled(); });  // laid out once the new window stands
    const QList<QMdiSubWindow*> windows = form.MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 3);
    EXPECT_EQ(placed(), tiled());
    EXPECT_NE(qobject_cast<TFormPorocilo*>(windows.last()->widget()), nullptr);
}

// --------------------------------------------- end to end with the real as11m

class RealAssembleTest : public AssembleTest {
protected:
    RealAssembleTest() {
        Services.Shell = &RealShell;
        Services.Clock = &timing::DefaultClock();
    }
    void LinkAssembler() { std::filesystem::create_symlink(AS11M_PATH, Path("as11m").toStdString()); }
    shell::PosixShellApi RealShell;
};

TEST_F(RealAssembleTest, ACleanProgramGivesTheReportWithItsDump) {
    LinkAssembler();
    TMainForm& form = Start();
    Editor(form, Path("prog.asm"), "        ORG $0000\nZAC     LDAA #$5a\n        STAA $10\nL       BRA L\n");
    for (const bool keep : {true, false}) {
        form.Form1->CheckBox3->setChecked(keep);
        Action(form, "ToolButton15")->trigger();
        EXPECT_TRUE(Boxes.empty());
        EXPECT_EQ(form.Form2->RichEdit1->toPlainText(), "V datoteki ni odkritih napak!");
        EXPECT_EQ(ReadFile("TEMP$$.RPT"),
                  "V datoteki ni odkritih napak!\r\n \r\n86 5A 97 10 20 FE \r\n"
                  "Dolžina programske kode je 6 zlogov\r\n");
        EXPECT_TRUE(ProgrammerEnabled(form));
        EXPECT_EQ(Panel6(form), "TEMP$$.S19");
        EXPECT_EQ(Exists("TEMP$$.LST"), keep);
        EXPECT_TRUE(Exists("TEMP$$.S19"));
    }
}

TEST_F(RealAssembleTest, AnExampleAssemblesClean) {
    LinkAssembler();
    TMainForm& form = Start();
    TMDIChild* editor = form.OpenEditorWindow(QStringLiteral(EXAMPLES_DIR "/zanka.asm"));
    ASSERT_TRUE(editor);
    Action(form, "ToolButton15")->trigger();
    EXPECT_TRUE(Boxes.empty());
    const QList<QByteArray> lines = ReadFile("TEMP$$.RPT").split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.first(), "V datoteki ni odkritih napak!\r");
    // The length line counts the data bytes of the object file.
    int bytes = 0;
    for (const QByteArray& record : ReadFile("TEMP$$.S19").split('\n'))
        if (record.startsWith("S1")) bytes += record.mid(2, 2).toInt(nullptr, 16) - 3;
    EXPECT_GT(bytes, 0);
    EXPECT_EQ(QString::fromUtf8(lines[lines.size() - 2]),
              QStringLiteral("Dolžina programske kode je %1 zlogov\r").arg(bytes));
}

TEST_F(RealAssembleTest, EachOfTheEightErrorsInSlovenian) {
    LinkAssembler();
    TMainForm& form = Start();
    Editor(form, "napake.asm",
           " ORG $0000\n BNQ\n LDAA #$1G\n LDAA #256\n1ABC NOP\n LDAA NIC\nL NOP\n RMB 200\n BRA L\n"
           "X1 NOP\nX1 NOP\n LDAA\n");
    Action(form, "ToolButton15")->trigger();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(form.Form2->RichEdit1->toPlainText(), "Število odkritih napak: 8.");
    EXPECT_EQ(ReadFile("TEMP$$.RPT"),
              "> NAPAKA V VRSTICI 2:  Neprepoznana operacija:\r\n"
              "> NAPAKA V VRSTICI 3:  Nepravilna konstanta!\r\n"
              "> NAPAKA V VRSTICI 4:  Operand presega nabor dovoljenih števil!\r\n"
              "> NAPAKA V VRSTICI 5:  Prvi znak labele nedovoljen:\r\n"
              "> NAPAKA V VRSTICI 6:  Nedefiniran simbol:\r\n"
              "> NAPAKA V VRSTICI 9:  Vejitev izven dosega!\r\n"
              "> NAPAKA V VRSTICI 11:  Večkrat definirani simbol:\r\n"
              "> NAPAKA V VRSTICI 12:  Manjkajoč ali nepravilen operand!\r\n");
    EXPECT_FALSE(Exists("TEMP$$.LST"));
    EXPECT_FALSE(Exists("TEMP$$.S19"));
    EXPECT_FALSE(ProgrammerEnabled(form));
    if (const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOTS"); !folder.isEmpty()) {
        form.resize(900, 600);
        form.show();
        Action(form, "ToolButton17")->trigger();
        QCoreApplication::processEvents();
        form.grab().save(folder + "/report.png");
        form.Form2->grab().save(folder + "/error-window.png");
    }
}

TEST_F(RealAssembleTest, EveryOptionsLineIsOneTheAssemblerRuns) {
    LinkAssembler();
    TMainForm& form = Start();
    Editor(form, "prog.asm", " ORG $0000\nL BRA L\n");
    Modals.push_back([&](QDialog&) {
        form.Form1->CheckBox1->setChecked(true);
        form.Form1->CheckBox4->setChecked(true);
        return int(QDialog::Accepted);
    });
    Action(form, "Nastavitve1")->trigger();
    ASSERT_EQ(ReadFile("asm.bat"), "AS11M %1 -l s c");
    Action(form, "ToolButton15")->trigger();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_TRUE(ProgrammerEnabled(form));
    EXPECT_TRUE(ReadFile("TEMP$$.LST").contains("L"));
}

TEST_F(RealAssembleTest, NoAssemblerProgramEnablesNothing) {
    // The real shell finds no as11m; the fake clock spares the ten seconds.
    Services.Clock = &Clock;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    TMainForm& form = Start();
    WriteFile("TEMP$$.S19", CleanObject);
    WriteFile("TEMP$$.LST", CleanListing);
    Editor(form, "prog.asm");
    Action(form, "ToolButton15")->trigger();
    qputenv("PATH", path);
    EXPECT_EQ(BoxTexts(), QStringList{FileErrorBox});
    EXPECT_FALSE(Exists("TEMP$$.S19"));
    EXPECT_FALSE(ProgrammerEnabled(form));
    EXPECT_EQ(Panel6(form), "");
}

}  // namespace
}  // namespace Vantrel
