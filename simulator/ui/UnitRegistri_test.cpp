#include "simulator/ui/UnitRegistri.h"

#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindowsTestSupport.h"

namespace VantrelSIM {
namespace {

class OnChipRegistersWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        Form->Registrivgrajenihenot1Click();
        ASSERT_NE(FormRegistri, nullptr);
        Grid = FormRegistri->StringGrid1;
    }
    TextGrid* Grid = nullptr;
};

TEST_F(OnChipRegistersWindow, NamesEveryCellAndIgnoresTyping) {
    ASSERT_EQ(Grid->rowCount(), 64);
    EXPECT_EQ(Grid->verticalHeaderItem(0)->text(), "PORTA ");
    EXPECT_EQ(Grid->verticalHeaderItem(0x26)->text(), "PACTL ");
    EXPECT_EQ(Grid->verticalHeaderItem(63)->text(), "CONFIG");
    FormRegistri->RefreshView();
    Select(Grid, 0, 4);
    Type(Grid, "12");
    Key(Grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Grid->Cell(0, 4), "00");
    EXPECT_EQ(Cell(0x1004), "00");
}

TEST_F(OnChipRegistersWindow, ShowsTheCellsAfterAStep) {
    // LDAB #$A5; STAB $1004 (PORTB)
    LoadProgram(0x0000, {0xC6, 0xA5, 0xF7, 0x10, 0x04});
    Step(2);
    EXPECT_EQ(Grid->Cell(0, 4), "A5");
    // The free-running counter moved by the two instructions' cycles: 2 + 4.
    EXPECT_EQ(Grid->Cell(0, 0x0E), "00");
    EXPECT_EQ(Grid->Cell(0, 0x0F), "06");
}

}  // namespace
}  // namespace VantrelSIM
