// The frame's programmer commands on the stand-in board's timed line: the
// board found through DSR, RAM programmed with the gauge, the talker sent and
// the port left to the downloader until it has ended, the erase at the
// address the dialog confirmed.
#include "ide/IdeTestSupport.h"
#include "ide/Images.h"
#include "ide/Unit3.h"
#include "ide/Unit6.h"
#include "tools/board/TestHosts.h"
#include "tools/board/TimedLine.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

#include <gmock/gmock.h>

namespace Vantrel {
namespace {

class ProgrammerFrameTest : public IdeTest {
protected:
    explicit ProgrammerFrameTest(board::DsrMode dsr = board::DsrMode::FollowsDtr)
        : Hc11([dsr] {
              board::Parameters parameters;
              parameters.Dsr = dsr;
              return parameters;
          }()),
          Line(Hc11) {
        Line.SetServe(ServeHandOvers);
        Services.Comm = &Line;
        Shell.AddProgram("Tolvex", shell::FakeShellApi::Program::Stays());
    }
    // The window and its port go before the line they run on.
    ~ProgrammerFrameTest() override { Form.reset(); }
    TMainForm& StartOnTheBoard() {
        TMainForm& form = Start();
        Line.RunFor(board::Millisecond);
        return form;
    }
    QStringList Messages() const { return Dialogs.Messages(); }

    board::Board Hc11;
    board::TimedCommApi Line;
};

TEST_F(ProgrammerFrameTest, DsrFindsTheProgrammerAndPanel7ShowsIt) {
    TMainForm& form = StartOnTheBoard();
    EXPECT_TRUE(Line.IsOpen());
    EXPECT_EQ(ProgrammerFound, 1);
    // Without an editor Timer1 does not run: the DSR report itself shows it.
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.StatusPanels[7]->pixmap().toImage(), ProgrammerImage(true).toImage());
}

TEST_F(ProgrammerFrameTest, ProgramRamWithTheGauge) {
    TMainForm& form = StartOnTheBoard();
    WriteFile("TEMP$$.S19", "S00600004844521B\nS1070000860120FE33\nS9030000FC\n");
    ObjectName = "TEMP$$.S19";
    form.ToolButton16Click();
    EXPECT_THAT(Messages(),
                ::testing::ElementsAre("OPOZORILO!|Pred programiranjem je potrebno mikrokontroler resetirati!"));
    Line.RunFor(100 * board::Millisecond);
    EXPECT_EQ(Line.Wire().size(), 257u);
    EXPECT_EQ(Hc11.Ram()[3], 0xFE);
    EXPECT_EQ(form.Gauge1->maximum(), 256);
    EXPECT_EQ(form.Gauge1->value(), 256);
    EXPECT_EQ(PortOpen, 1);
}

TEST_F(ProgrammerFrameTest, ProgramEepromLeavesThePortToTolvexUntilItEnds) {
    TMainForm& form = StartOnTheBoard();
    // Panel 4 is refreshed only while an editor is open: the chip's kind decides.
    form.StatusPanels[4]->setText("RAM");
    MemoryKind = "EEPROM";
    ObjectName = "TEMP$$.S19";
    form.ToolButton16Click();
    Line.RunFor(100 * board::Millisecond);
    EXPECT_EQ(Hc11.CurrentMode(), board::Mode::Talker);
    EXPECT_EQ(PortOpen, 0);
    EXPECT_FALSE(Line.IsOpen());
    ASSERT_EQ(Shell.Starts().size(), 1u);
    EXPECT_EQ(Shell.Starts()[0].File, "Tolvex.exe");
    EXPECT_EQ(Shell.Starts()[0].Parameters, "TEMP$$.S19 2 512");
    // Activations while the downloader runs leave the port to it.
    form.FormActivate();
    EXPECT_FALSE(Line.IsOpen());
    EXPECT_EQ(PortOpen, 0);
    Shell.Exit(Shell.Starts()[0].Result.Process);
    form.FormActivate();
    EXPECT_TRUE(Line.IsOpen());
    EXPECT_EQ(PortOpen, 1);
    EXPECT_THAT(Messages(),
                ::testing::ElementsAre("OPOZORILO!|Pred programiranjem je potrebno mikrokontroler resetirati!"));
}

TEST_F(ProgrammerFrameTest, TolvexGetsTheEepromSizeOfTheChosenChip) {
    WriteFile("Vantrel.ini", "[chipi]\nintegrirc7=MC68HC11K4\nRAM7=768\nEE7=640\n");
    TMainForm& form = StartOnTheBoard();
    Modals.push_back([](QDialog& dialog) {
        auto& chip = dynamic_cast<TForNastavProg&>(dialog);
        chip.ComboBox1->setCurrentIndex(7);
        chip.RadioBEEPROM->setChecked(true);
        return int(QDialog::Accepted);
    });
    Action(form, "Nastavitve2")->trigger();
    ObjectName = "TEMP$$.S19";
    form.ToolButton16Click();
    ASSERT_EQ(Shell.Starts().size(), 1u);
    EXPECT_EQ(Shell.Starts()[0].Parameters, "TEMP$$.S19 2 640");
    Line.RunFor(100 * board::Millisecond);
    EXPECT_EQ(Line.Wire().size(), 1u + 768);  // the talker and its filler: the chip's RAM
}

TEST_F(ProgrammerFrameTest, EraseAtTheAddressTheDialogConfirmed) {
    TMainForm& form = StartOnTheBoard();
    std::fill(Hc11.Eeprom().begin(), Hc11.Eeprom().end(), 0x00);
    Modals.push_back([](QDialog& dialog) {
        dynamic_cast<TFormEENasloviBranje&>(dialog).EditPrviNaslov->setText("B7F0");
        return int(QDialog::Accepted);
    });
    form.EEPROMbrii1Click();
    Line.RunFor(100 * board::Millisecond);
    EXPECT_EQ(Hc11.CurrentMode(), board::Mode::Erase);
    EXPECT_EQ(Hc11.EraseAddress(), 0xB7F0);
    EXPECT_EQ(Hc11.Eeprom()[0], 0xFF);
    EXPECT_EQ(form.FormEENasloviBranje->EditPrviNaslov->text(), "B7F0");  // kept for the next erase
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "OPOZORILO!");
}

TEST_F(ProgrammerFrameTest, EveryDownloadPaintsUnderTheWaitCursorAndMovesTheGauge) {
    TMainForm& form = StartOnTheBoard();
    WriteFile("TEMP$$.S19", "S1070000860120FE33\n");
    ObjectName = "TEMP$$.S19";
    struct Seen {
        bool EventLoopRan = false;
        bool WaitCursor = false;
        int Gauge = -1;
        int Max = -1;
    };
    // Half way through the download (257 bytes): what the window shows.
    auto download = [&](const std::function<void()>& command) {
        Seen seen;
        bool timerRan = false;
        QTimer::singleShot(0, &form, [&timerRan] { timerRan = true; });
        Line.WhenWireReaches(Line.Wire().size() + 128, [&] {
            seen.EventLoopRan = timerRan;
            seen.WaitCursor =
                QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            seen.Gauge = form.Gauge1->value();
            seen.Max = form.Gauge1->maximum();
        });
        command();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        Line.RunFor(100 * board::Millisecond);
        return seen;
    };
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"RAM", [&] { form.ToolButton16Click(); }},
        {"erase", [&] { form.EEPROMbrii1Click(); }},
        {"EEPROM",
         [&] {
             MemoryKind = "EEPROM";
             form.StatusPanels[4]->setText("EEPROM");
             form.ToolButton16Click();
         }},
    };
    for (const auto& [what, command] : commands) {
        SCOPED_TRACE(what);
        const size_t before = Line.Wire().size();
        const Seen seen = download(command);
        EXPECT_EQ(Line.Wire().size() - before, 257u);
        EXPECT_TRUE(seen.EventLoopRan);
        EXPECT_TRUE(seen.WaitCursor);
        EXPECT_EQ(seen.Max, 256);
        EXPECT_GT(seen.Gauge, 100);
        EXPECT_LT(seen.Gauge, 156);
        EXPECT_EQ(form.Gauge1->value(), 256);
    }
    EXPECT_EQ(Boxes.size(), 3u);  // the warnings before each download, no error
}

TEST_F(ProgrammerFrameTest, BoardVanishingMidDownloadIsAnErrorBoxAndThePortRecovers) {
    TMainForm& form = StartOnTheBoard();
    WriteFile("TEMP$$.S19", "S1070000860120FE33\n");
    ObjectName = "TEMP$$.S19";
    Line.WhenWireReaches(100, [this] { Line.Unplug(); });
    Action(form, "Zagon1")->setEnabled(true);
    Action(form, "Zagon1")->trigger();
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[1].Text.toStdString(), EComPort(CError_WriteFailed, comm::ERROR_GEN_FAILURE).what());
    EXPECT_EQ(Line.Wire().size(), 100u);
    // Closed and opened again, the port serves the next download.
    form.TogglePort();
    EXPECT_FALSE(form.ComPort1.Connected());
    Line.PlugIn();
    form.TogglePort();
    Boxes.clear();
    Action(form, "Zagon1")->trigger();
    EXPECT_EQ(Boxes.size(), 1u);
    Line.RunFor(100 * board::Millisecond);
    EXPECT_EQ(Line.Wire().size(), 100u + 257u);
    EXPECT_EQ(Hc11.Ram()[3], 0xFE);
}

class NoBoardFrameTest : public ProgrammerFrameTest {
protected:
    NoBoardFrameTest() : ProgrammerFrameTest(board::DsrMode::Off) {}
};

TEST_F(NoBoardFrameTest, CommandsSayNoProgrammer) {
    TMainForm& form = StartOnTheBoard();
    EXPECT_EQ(ProgrammerFound, 0);
    form.ToolButton16Click();
    form.EEPROMbrii1Click();  // the address dialog first, cancelled
    EXPECT_THAT(Messages(),
                ::testing::ElementsAre("NAPAKA!|Ne najdem programatorja!", "NAPAKA!|Ne najdem programatorja!"));
    EXPECT_EQ(Line.Wire(), "");
}

}  // namespace
}  // namespace Vantrel
