#include "simulator/ui/UnitSklad.h"

#include "simulator/ui/ToolWindowsTestSupport.h"

#include <QTableView>

namespace VantrelSIM {
namespace {

class StackWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        Form->Sklad1Click();
        ASSERT_NE(FormSklad, nullptr);
    }
    QString Shown(int row, int column) const {
        const QAbstractItemModel* model = FormSklad->StringGrid1->model();
        return column == 0 ? model->headerData(row, Qt::Vertical).toString() : model->index(row, 0).data().toString();
    }
    int Rows() const { return FormSklad->StringGrid1->model()->rowCount(); }
};

TEST_F(StackWindow, ListsWhatTheProgramPushed) {
    // LDS #$00FF; LDAA #$11; PSHA; LDAB #$22; PSHB; LDX #$3344; PSHX
    LoadProgram(0x0000, {0x8E, 0x00, 0xFF, 0x86, 0x11, 0x36, 0xC6, 0x22, 0x37, 0xCE, 0x33, 0x44, 0x3C});
    Step();
    EXPECT_EQ(Rows(), 0);
    Step(6);
    ASSERT_EQ(Rows(), 4);
    const char* expected[][2] = {{"00FC", "33"}, {"00FD", "44"}, {"00FE", "22"}, {"00FF", "11"}};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(Shown(r, 0), expected[r][0]);
        EXPECT_EQ(Shown(r, 1), expected[r][1]);
    }
}

TEST_F(StackWindow, NegativeAndDeepStacks) {
    StackTop = 0x00FF;
    StackDepth = -2;
    FormSklad->RefreshView();
    EXPECT_EQ(Rows(), 0);
    // A stack spanning the whole image: four-digit addresses, rows on demand.
    StackTop = 0xFFFF;
    StackDepth = 0xFFFF;
    SetCell(0xFFFF, "7E");
    FormSklad->RefreshView();
    EXPECT_EQ(Rows(), 0xFFFF);
    EXPECT_EQ(Shown(0, 0), "0001");
    EXPECT_EQ(Shown(0xFFFE, 0), "FFFF");
    EXPECT_EQ(Shown(0xFFFE, 1), "7E");
}

}  // namespace
}  // namespace VantrelSIM
