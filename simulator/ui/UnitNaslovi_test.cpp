#include "simulator/ui/UnitNaslovi.h"

#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindowsTestSupport.h"

#include <QTabBar>

namespace VantrelSIM {
namespace {

class MemoryWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        Form->Spominskelokacije1Click();
        ASSERT_NE(FormNaslovi, nullptr);
        Grid = FormNaslovi->StringGrid;
    }
    TextGrid* Grid = nullptr;
};

TEST_F(MemoryWindow, ShowsAStoreOfTheProgramAndItsEditIsExecuted) {
    // LDAA #$3C; STAA $21; LDAB $22
    LoadProgram(0x0040, {0x86, 0x3C, 0x97, 0x21, 0xD6, 0x22});
    Step(2);
    EXPECT_EQ(Grid->Cell(1, 2), "3C");  // $0021: row 3, column 2
    Select(Grid, 2, 2);
    Type(Grid, "7");
    EXPECT_EQ(Cell(0x0022), "07");
    Type(Grid, "e");
    EXPECT_EQ(Cell(0x0022), "7E");
    EXPECT_EQ(Grid->Cell(2, 2), "7e");  // as typed until the next refresh
    Step();
    EXPECT_EQ(CpuRegs.B, 0x7E);
    EXPECT_EQ(Grid->Cell(2, 2), "7E");
}

TEST_F(MemoryWindow, KeyFilterAndCtrlDelete) {
    FormNaslovi->RefreshView();
    Select(Grid, 2, 0);
    Type(Grid, "ab");
    EXPECT_EQ(Cell(0x0002), "AB");
    Type(Grid, "c");  // third digit
    EXPECT_EQ(Grid->Cell(2, 0), "ab");
    Key(Grid, Qt::Key_Backspace);
    Type(Grid, "x");
    EXPECT_EQ(Grid->Cell(2, 0), "a");
    Type(Grid, "4");
    EXPECT_EQ(Cell(0x0002), "A4");
    Key(Grid, Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(Cell(0x0002), "A4");
    Key(Grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Grid->Cell(2, 0), "00");
    EXPECT_EQ(Cell(0x0002), "00");
}

TEST_F(MemoryWindow, AreasAndTheirBlankRows) {
    FormNaslovi->TabControl1->setCurrentIndex(1);
    EXPECT_EQ(Grid->verticalHeaderItem(5)->text(), "B65");
    EXPECT_EQ(MemoryArea.First, 0xB600);
    SetCell(0xB7FF, "5A");
    FormNaslovi->RefreshView();
    EXPECT_EQ(Grid->Cell(15, 31), "5A");

    FormNaslovi->TabControl1->setCurrentIndex(2);
    EXPECT_EQ(Grid->verticalHeaderItem(3)->text(), "103");
    EXPECT_EQ(Grid->verticalHeaderItem(4)->text(), "");
    EXPECT_EQ(Grid->Cell(0, 4), "  ");
    // Row 5 would stand for $1040: neither typing nor navigation stores there.
    Select(Grid, 0, 4);
    Type(Grid, "12");
    Key(Grid, Qt::Key_Right);
    Key(Grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Cell(0x1040), "00");
    EXPECT_EQ(Cell(0x1041), "00");
    EXPECT_EQ(Grid->Cell(0, 4), "  ");
}

TEST_F(MemoryWindow, NavigationStoresNothing) {
    SetCell(0x0005, "ab");  // a lower-case cell of a loaded program
    FormNaslovi->RefreshView();
    SetCell(0x0006, "99");  // changed after the refresh
    Select(Grid, 4, 0);
    Key(Grid, Qt::Key_Right);
    Key(Grid, Qt::Key_Right);
    Key(Grid, Qt::Key_Tab);
    EXPECT_EQ(Cell(0x0005), "ab");
    EXPECT_EQ(Cell(0x0006), "99");
}

}  // namespace
}  // namespace VantrelSIM
