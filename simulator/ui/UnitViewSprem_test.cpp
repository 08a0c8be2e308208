#include "simulator/ui/UnitViewSprem.h"

#include "gui/MdiFrame.h"
#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindowsTestSupport.h"
#include "simulator/ui/UnitOrodjeWatches.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace VantrelSIM {
namespace {

class UserVariablesWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        WatchTable = {};
        Form->Uporabnikespremenljivke1Click();
        ASSERT_NE(FormViewSprem, nullptr);
        Grid = FormViewSprem->StringGSpremen;
    }
    void TearDown() override {
        WatchTable = {};
        ToolWindowTest::TearDown();
    }
    // Defines row `row` through the editor, as a user does.
    void Define(int row, const char* name, const char* address, int size, int format, bool isSigned) {
        OnModal = [&](QDialog&) {
            TFormOrodjeWatches* editor = FormOrodjeWatches;
            editor->EditIme->setText(name);
            editor->EditNaslov->setText(address);
            editor->ListBStBytov->setCurrentRow(size);
            editor->ListBFormat->setCurrentRow(format);
            (isSigned ? editor->RadioButton1 : editor->RadioButton2)->setChecked(true);
            editor->Button1->click();
            return 0;
        };
        Grid->setCurrentCell(row - 1, 0);
        emit Grid->cellDoubleClicked(row - 1, 0);
        OnModal = nullptr;
    }
    TextGrid* Grid = nullptr;
};

TEST_F(UserVariablesWindow, FormatsEachKindOfVariable) {
    const struct {
        const char* bytes[3];
        int size, format;
        bool isSigned;
        const char* shown;
    } cases[] = {
        {{"05"}, 0, 2, false, "+5"},
        {{"FB"}, 0, 2, true, "-5"},
        {{"7F"}, 0, 2, true, "+127"},
        {{"FB"}, 0, 2, false, "+251"},
        {{"FF", "FE"}, 1, 2, true, "-2"},
        {{"80", "00", "00"}, 2, 2, true, "-8388608"},
        {{"01", "02", "03"}, 2, 0, false, "$010203"},
        {{"A5"}, 0, 1, false, "%10100101"},
        {{"48", "69"}, 1, 3, false, " \" Hi \" "},
        {{"E8"}, 0, 3, false, " \" \u010D \" "},  // the sources' code page
    };
    for (const auto& c : cases) {
        for (int i = 0; i <= c.size; ++i) SetCell(static_cast<uint16_t>(0x0080 + i), c.bytes[i]);
        Define(3, "X", "0080", c.size, c.format, c.isSigned);
        Step();
        EXPECT_EQ(Grid->Cell(2, 2), QString::fromUtf8(c.shown)) << c.shown;
    }
}

TEST_F(UserVariablesWindow, ShowsAVariableTheProgramChanges) {
    Define(1, "stevec", "0010", 0, 2, false);
    EXPECT_EQ(Grid->Cell(0, 0), "STEVEC");
    EXPECT_EQ(WatchTable[0].Name, "STEVEC");
    // INC $0010 twice
    LoadProgram(0x0100, {0x7C, 0x00, 0x10, 0x7C, 0x00, 0x10});
    Step(2);
    EXPECT_EQ(Grid->Cell(2, 0), "+2");
}

TEST_F(UserVariablesWindow, EditorSignRuleAndRemove) {
    TFormOrodjeWatches* editor = FormOrodjeWatches;
    editor->ListBFormat->setCurrentRow(2);
    editor->RadioButton1->setChecked(true);
    editor->ListBFormat->setCurrentRow(1);
    EXPECT_TRUE(editor->RadioButton2->isChecked());
    EXPECT_FALSE(editor->RadioButton1->isEnabled());
    editor->ListBFormat->setCurrentRow(2);
    EXPECT_TRUE(editor->RadioButton1->isEnabled());
    EXPECT_TRUE(editor->RadioButton2->isChecked());

    Define(2, "B", "0020", 1, 1, false);
    Step();
    WatchRow = 2;
    editor->ButtonOdstrani->click();
    EXPECT_EQ(Grid->Cell(0, 1), "");
    EXPECT_EQ(Grid->Cell(2, 1), "");
    Step();
    EXPECT_EQ(Grid->Cell(2, 1), "");
    EXPECT_EQ(WatchTable[1].Format, 1);
}

TEST_F(UserVariablesWindow, AddressesStayInsideTheImage) {
    SetCell(0xFFFF, "12");
    SetCell(0x0000, "34");
    Define(1, "KONEC", "FFFF", 1, 0, false);
    FormViewSprem->RefreshView();
    EXPECT_EQ(Grid->Cell(2, 0), "$1234");
    // The editor and the grid take four hex digits at most.
    FormOrodjeWatches->EditNaslov->clear();
    QTest::keyClicks(FormOrodjeWatches->EditNaslov, "12g345");
    EXPECT_EQ(FormOrodjeWatches->EditNaslov->text(), "1234");
    Grid->setFocus();
    Grid->setCurrentCell(1, 1);
    Type(Grid, "abcde");
    EXPECT_EQ(Grid->Cell(1, 1), "ABCD");
}

TEST_F(UserVariablesWindow, BadCellShowsOneMessageAndStopsTheRefresh) {
    Define(1, "A", "0010", 0, 0, false);
    Define(2, "B", "0011", 0, 0, false);
    SetCell(0x0010, "G1");
    SetCell(0x0011, "22");
    gui::Component(*Form, "ToolButton2")->setChecked(true);
    FormViewSprem->RefreshView();
    EXPECT_FALSE(Form->Running());
    EXPECT_EQ(Messages(), QStringList{"VantrelSIM|Neveljaven znak v HEX nizu"});
    EXPECT_EQ(Grid->Cell(2, 1), "");
}

TEST_F(UserVariablesWindow, DefinitionsOutliveTheWindow) {
    Define(4, "N", "0040", 0, 0, false);
    FormViewSprem->close();
    EXPECT_EQ(FormViewSprem, nullptr);
    EXPECT_TRUE(Form->OpenWindowList.isEmpty());
    SetCell(0x0040, "7E");
    Form->Uporabnikespremenljivke1Click();
    EXPECT_EQ(FormViewSprem->StringGSpremen->Cell(0, 3), "N");
    EXPECT_EQ(FormViewSprem->StringGSpremen->Cell(1, 3), "0040");
    // Its value too, before any step.
    EXPECT_EQ(FormViewSprem->StringGSpremen->Cell(2, 3), "$7E");
}

}  // namespace
}  // namespace VantrelSIM
