// The programming road on the timed line, with both real programs: Vantrel's
// programmer sends the talker and hands over, then the Tolvex window streams
// the object file to the board.
#include <QApplication>
#include <QDir>

#include <gmock/gmock.h>

#include "downloader/Unit1.h"
#include "gui/DialogAnswers.h"
#include "ide/Programmer.h"
#include "platform/clock/FakeClock.h"
#include "platform/shell/FakeShellApi.h"
#include "tests/support/TestSupport.h"
#include "tools/board/TestHosts.h"
#include "tools/board/TimedLine.h"

namespace board {
namespace {

struct SilentUi : Vantrel::TProgrammerUi {
    void ShowMessage(const std::string& text, TBoxKind) override { Boxes.push_back(text); }
    bool Confirm(const std::string&, TBoxKind) override { return true; }
    std::optional<std::string> AskEraseAddress() override { return std::nullopt; }
    void SetGauge(int, int) override {}
    std::vector<std::string> Boxes;
};

// One S1 record of any length.
std::string S1Line(uint16_t address, const std::vector<uint8_t>& data) {
    char field[8];
    unsigned sum = static_cast<unsigned>(data.size()) + 3 + (address >> 8) + (address & 0xFF);
    std::snprintf(field, sizeof field, "S1%02X", static_cast<unsigned>(data.size()) + 3);
    std::string line = field;
    std::snprintf(field, sizeof field, "%04X", address);
    line += field;
    for (uint8_t b : data) {
        std::snprintf(field, sizeof field, "%02X", b);
        line += field;
        sum += b;
    }
    std::snprintf(field, sizeof field, "%02X\n", ~sum & 0xFF);
    return line + field;
}

class Road : public ::testing::Test {
protected:
    Road() : Line(Hc11), Shell(Clock), Port(Line) {
        Line.SetServe(ServeHandOvers);
        ConfigureProgrammerPort(Port, "COM2");
        Port.OnAfterOpen = [this](TObject*) { Port.SetDTR(true); };
        Port.OnDSRChange = [this](TObject*, bool on) { Vantrel::ComPort1DSRChange(Found, on); };
        Shell.AddProgram("Tolvex", shell::FakeShellApi::Program::Stays());
        Previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(Dir.Path().string()));
    }
    ~Road() override { QDir::setCurrent(Previous); }

    // 14 records of 16 and 32 bytes from $B600 (the stream, with five bytes
    // a record, stays under the capacity), every third byte already in
    // the EEPROM; returns the bytes the EEPROM must end with.
    std::vector<uint8_t> WriteObject() {
        std::vector<uint8_t> eeprom(512, 0xFF);
        std::string text = "S00600004844521B\n";
        unsigned address = 0xB600;
        for (int r = 0; r < 14; ++r) {
            std::vector<uint8_t> data(r % 2 ? 32 : 16);
            for (size_t i = 0; i < data.size(); ++i) {
                data[i] = static_cast<uint8_t>(r * 11 + i);
                const size_t at = address - 0xB600 + i;
                eeprom[at] = data[i];
                if (at % 3 == 0) Hc11.Eeprom()[at] = data[i];
            }
            text += S1Line(static_cast<uint16_t>(address), data);
            address += static_cast<unsigned>(data.size());
        }
        text += "S9030000FC\n";
        testsupport::WriteFileBytes(Dir / "TEMP$$.S19", text);
        return eeprom;
    }

    // Vantrel sends the talker and starts the downloader; the downloader's
    // window then runs on the same line.
    std::unique_ptr<Tolvex::TForm1> ProgramEeprom() {
        Port.Open();
        PortOpen = 1;
        Line.RunFor(Millisecond);
        Vantrel::TProgrammerContext c{Port, Ui, Shell, Clock, Downloader, PortOpen, Found};
        c.MemoryKind = "EEPROM";
        Vantrel::ProgramBoard(c);
        EXPECT_EQ(PortOpen, 0);
        if (Shell.Starts().size() != 1) return nullptr;
        auto form = std::make_unique<Tolvex::TForm1>(Line, shell::SplitParameters(Shell.Starts()[0].Parameters));
        form->Timer1Timer();  // armed
        Line.RunFor(Second);
        form->Timer1Timer();  // the object file is there: the stream starts
        return form;
    }

    Board Hc11;
    TimedCommApi Line;
    timing::FakeClock Clock;
    shell::FakeShellApi Shell;
    TComPort Port;
    Vantrel::TDownloaderWatch Downloader;
    SilentUi Ui;
    gui::TDialogAnswers Answers;
    uint8_t PortOpen = 0;
    uint8_t Found = 0;
    testsupport::TTempFolder Dir{"system-road"};
    QString Previous;
};

TEST_F(Road, TalkerThenTolvexProgramTheEeprom) {
    const std::vector<uint8_t> expected = WriteObject();
    int unchanged = 0;
    for (size_t i = 0; i < 336; ++i) unchanged += Hc11.Eeprom()[i] == expected[i];
    std::unique_ptr<Tolvex::TForm1> tolvex = ProgramEeprom();
    ASSERT_TRUE(tolvex);
    ASSERT_TRUE(Line.RunUntil([&] { return tolvex->Terminated() && Hc11.RecordsProgrammed() == 14; }, 60 * Second));

    EXPECT_EQ(Hc11.Eeprom(), expected);
    EXPECT_EQ(Hc11.BytesProgrammed(), 336 - unchanged);
    EXPECT_EQ(Hc11.LineFlags().Overruns, 0);
    EXPECT_EQ(Hc11.LineFlags().BytesBeforeXon, 0);
    EXPECT_EQ(Hc11.LineFlags().BytesBeyondRamSize, 0);
    EXPECT_EQ(Line.WriteTimeouts(), 0);
    EXPECT_TRUE(Answers.Boxes.empty());
    // The port is Vantrel's again once the downloader has ended.
    EXPECT_FALSE(Downloader.MayReopenPort(Shell));
    Shell.Exit(Shell.Starts()[0].Result.Process);
    EXPECT_TRUE(Downloader.MayReopenPort(Shell));
}

TEST_F(Road, HostThatWaitsForEachByteToLeaveDeadlocksTolvex) {
    WriteObject();
    Line.SetTxEmptyModel(TxEmptyModel::ByteFullyLeft);
    std::unique_ptr<Tolvex::TForm1> tolvex = ProgramEeprom();
    ASSERT_TRUE(tolvex);
    Line.RunUntil([&] { return !Answers.Boxes.empty(); }, 10 * Second);
    // The talker waits for the second filler, the downloader for the XON.
    EXPECT_EQ(Hc11.RecordsProgrammed(), 0);
    EXPECT_EQ(Line.WriteTimeouts(), 1);
    ASSERT_EQ(Answers.Boxes.size(), 1u);
    EXPECT_EQ(Answers.Boxes[0].Text.toStdString(), BoardStoppedText);
    EXPECT_FALSE(tolvex->Terminated());
}

TEST_F(Road, BoardVanishingMidStreamStopsTolvexWithABox) {
    WriteObject();
    Line.WhenWireReaches(257 + 40, [this] { Line.Unplug(); });
    std::unique_ptr<Tolvex::TForm1> tolvex = ProgramEeprom();
    ASSERT_TRUE(tolvex);
    EXPECT_TRUE(Line.RunUntil([&] { return !Answers.Boxes.empty(); }, 10 * Second));
    EXPECT_FALSE(tolvex->Terminated());
    EXPECT_EQ(Line.Wire().size(), 257u + 40u);
    EXPECT_TRUE(tolvex->FormCloseQuery());
    EXPECT_FALSE(Line.IsOpen());
}

}  // namespace
}  // namespace board
