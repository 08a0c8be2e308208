#include "simulator/ui/UnitVrata.h"

#include "gui/MdiFrame.h"
#include "simulator/ui/ToolWindowsTestSupport.h"
#include "simulator/ui/UnitViewSprem.h"

#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace VantrelSIM {
namespace {

class PortsWindow : public ToolWindowTest {
protected:
    void Open() {
        Form->VrataA1Click();
        ASSERT_NE(FormVrata, nullptr);
    }
    QToolButton* Bit(int bit) const { return FormVrata->SpeedButtons[static_cast<size_t>(7 - bit)]; }
    void Click(int bit) { QTest::mouseClick(Bit(bit), Qt::LeftButton); }
    QString Captions() const {
        QString shown;
        for (QToolButton* button : FormVrata->SpeedButtons) shown += button->text();
        return shown;
    }
    QString Enabled() const {
        QString shown;
        for (QToolButton* button : FormVrata->SpeedButtons) shown += button->isEnabled() ? '1' : '0';
        return shown;
    }
};

TEST_F(PortsWindow, FilledAtCreationAndByEachStep) {
    SetCell(0x1000, "07");
    Open();
    EXPECT_EQ(FormVrata->Edit1->text(), "  7");
    EXPECT_EQ(Captions(), "00000111");
    // Buttons start up whatever the cell holds: pressing drives the pin to 1.
    Click(0);
    EXPECT_EQ(Cell(0x1000), "07");
    Click(0);
    EXPECT_EQ(Cell(0x1000), "06");
    EXPECT_EQ(Captions(), "00000110");
    // LDAA #$40; STAA $1000 (PA6 is an output)
    LoadProgram(0x0000, {0x86, 0x40, 0xB7, 0x10, 0x00});
    Step(2);
    EXPECT_EQ(FormVrata->Edit1->text(), " 64");
}

TEST_F(PortsWindow, OutputBitsAreDisabledPerPort) {
    SetCell(0x1026, "80");  // DDRA7
    SetCell(0x1007, "0F");  // DDRC
    SetCell(0x1009, "3C");  // DDRD
    Open();
    EXPECT_EQ(Enabled(), "00000111");
    FormVrata->ListBox1->setCurrentRow(1);
    EXPECT_EQ(Enabled(), "00000000");
    FormVrata->ListBox1->setCurrentRow(2);
    EXPECT_EQ(Enabled(), "11110000");
    FormVrata->ListBox1->setCurrentRow(3);
    EXPECT_EQ(Enabled(), "11000011");
    SetCell(0x1008, "41");
    Click(7);
    EXPECT_EQ(Cell(0x1008), "C1");
    EXPECT_EQ(PinEdgePA7, 0);
    SetCell(0x1026, "00");
    FormVrata->ListBox1->setCurrentRow(0);
    EXPECT_EQ(Enabled(), "10000111");
}

TEST_F(PortsWindow, EdgeFlagsFollowTheSelectedEdges) {
    const struct {
        const char* tctl2;
        const char* pactl;
        const char* porta;
        int bit;
        uint8_t PinEdgePA0, PinEdgePA1, PinEdgePA2, PinEdgePA7;
    } cases[] = {
        {"01", "00", "00", 0, 1, 0, 0, 0},  // PA0 rising, pressed
        {"02", "00", "00", 0, 0, 0, 0, 0},  // PA0 falling, pressed
        {"0C", "00", "00", 1, 0, 1, 0, 0},  // PA1 every click
        {"20", "00", "00", 2, 0, 0, 0, 0},  // PA2 falling, pressed
        {"00", "00", "00", 7, 0, 0, 0, 0},  // PA7 falling, pressed
        {"00", "10", "00", 7, 0, 0, 0, 1},  // PA7 rising, pressed
    };
    for (const auto& c : cases) {
        PinEdgePA0 = PinEdgePA1 = PinEdgePA2 = PinEdgePA7 = 0;
        SetCell(0x1021, c.tctl2);
        SetCell(0x1026, c.pactl);
        SetCell(0x1000, c.porta);
        Open();
        Click(c.bit);
        EXPECT_EQ((std::array{PinEdgePA0, PinEdgePA1, PinEdgePA2, PinEdgePA7}),
                  (std::array{c.PinEdgePA0, c.PinEdgePA1, c.PinEdgePA2, c.PinEdgePA7}))
            << c.tctl2 << " " << c.pactl << " bit " << c.bit;
        FormVrata->close();
    }
    // Releasing: PA2 falling now raises its flag.
    SetCell(0x1021, "20");
    SetCell(0x1000, "00");
    Open();
    Click(2);
    EXPECT_EQ(PinEdgePA2, 0);
    Click(2);
    EXPECT_EQ(PinEdgePA2, 1);
    EXPECT_EQ(Cell(0x1000), "00");
}

TEST_F(PortsWindow, AClickChangesOnlyItsBitOfTheCellAsItIsNow) {
    Open();
    SetCell(0x1000, "80");  // after the last refresh
    Click(1);
    EXPECT_EQ(Cell(0x1000), "82");
}

TEST_F(PortsWindow, DrivesAnInputCaptureEndToEnd) {
    SetCell(0x1021, "01");  // IC3 on rising PA0
    Open();
    LoadProgram(0x0000, {0x01, 0x01, 0x01});  // NOP
    Step();
    const std::string count = Cell(0x100E) + Cell(0x100F);
    Click(0);
    Step();
    EXPECT_EQ(Cell(0x1014) + Cell(0x1015), count.substr(0, 2) + "04");  // TCNT after this NOP's 2 cycles
    EXPECT_EQ(HexToByte(MemoryImage[0x1023]) & 0x01, 0x01);
    EXPECT_EQ(PinEdgePA0, 0);
}

TEST_F(PortsWindow, CountsPulsesEndToEnd) {
    SetCell(0x1026, "50");  // PAEN, rising edges
    Open();
    LoadProgram(0x0000, {0x01, 0x01, 0x01, 0x01});
    Click(7);
    Step();
    Click(7);  // falling: not counted
    Step();
    Click(7);
    Step();
    EXPECT_EQ(Cell(0x1027), "02");
}

TEST_F(PortsWindow, BadPortCellStopsTheRunWithOneMessage) {
    Open();
    gui::Component(*Form, "ToolButton2")->setChecked(true);
    SetCell(0x1000, "Z1");
    LoadProgram(0x0000, {0x01});
    Step();
    EXPECT_FALSE(Form->Running());
    EXPECT_EQ(Messages(), QStringList{"VantrelSIM|Neveljaven znak v HEX nizu"});
}

TEST_F(PortsWindow, OpeningOverABadCellShowsOneBox) {
    SetCell(0x1000, "Z1");
    Open();
    EXPECT_EQ(Messages(), QStringList{"VantrelSIM|Neveljaven znak v HEX nizu"});
}

TEST_F(PortsWindow, BadCellShownInTwoWindowsIsOneBoxPerStep) {
    WatchTable[0] = {QStringLiteral("VRATA"), QStringLiteral("1000"), 0, 0, 0};
    Open();
    Form->Uporabnikespremenljivke1Click();
    SetCell(0x1000, "Z1");
    LoadProgram(0x0000, {0x01, 0x01});
    Step();
    EXPECT_EQ(Messages().join('\n'), "VantrelSIM|Neveljaven znak v HEX nizu");
    Step();
    EXPECT_EQ(Messages().size(), 2);
    WatchTable = {};
}

}  // namespace
}  // namespace VantrelSIM
