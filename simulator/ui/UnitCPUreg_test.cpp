#include "simulator/ui/UnitCPUreg.h"

#include "simulator/ui/TextGrid.h"
#include "simulator/ui/ToolWindowsTestSupport.h"

#include <QCheckBox>

namespace VantrelSIM {
namespace {

// The digits' rules are NumberText's, tested with it; a Qt text reaches
// them whole and no further.
TEST(HexToInt, AQtTextIsReadToItsEnd) {
    EXPECT_EQ(HexToInt(QStringLiteral("B600")), 0xB600u);
    EXPECT_EQ(HexToInt(QString()), 0u);
    EXPECT_EQ(HexToInt(QStringLiteral("123456789")), std::nullopt);
    EXPECT_EQ(HexToInt(QStringLiteral("1G")), std::nullopt);
    EXPECT_EQ(HexToInt(QStringView(u"7fG").left(2)), 0x7Fu);
}

class CpuRegistersWindow : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        Form->OknoregistrovCPE1Click();
        ASSERT_NE(FormCPUreg, nullptr);
        Grid = FormCPUreg->StringGCPUreg;
    }
    QString Flags() const {
        QString shown;
        for (QCheckBox* box : FormCPUreg->CheckBoxes) shown += box->isChecked() ? '1' : '0';
        return shown;
    }
    TextGrid* Grid = nullptr;
};

TEST_F(CpuRegistersWindow, ShowsTheRegistersAfterAStep) {
    // LDAA #$80; LDX #$1234
    LoadProgram(0x0000, {0x86, 0x80, 0xCE, 0x12, 0x34});
    CpuRegs.SP = 0x00FF;
    Step(2);
    EXPECT_EQ(FormCPUreg->RowText(RowA), "80");
    EXPECT_EQ(FormCPUreg->RowText(RowIX), "1234");
    EXPECT_EQ(FormCPUreg->RowText(RowPC), "0005");
    EXPECT_EQ(FormCPUreg->RowText(RowSP), "00FF");
    EXPECT_EQ(FormCPUreg->RowText(RowCCR), QString::fromLatin1(ByteToHex(CpuRegs.CCR).View()));
    EXPECT_EQ(Flags(), "00000000");  // LDX cleared N after LDAA set it
}

TEST_F(CpuRegistersWindow, TypedPcIsWhereTheNextStepRuns) {
    LoadProgram(0x1234 - 0x1234, {0x01});
    StoreByte(0x1234, 0x86);  // LDAA #$42
    StoreByte(0x1235, 0x42);
    FormCPUreg->RefreshView();
    Select(Grid, 0, RowPC - 1);
    Type(Grid, "1234");
    EXPECT_EQ(CpuRegs.PC, 0x1234);
    Step();
    EXPECT_EQ(CpuRegs.A, 0x42);
    EXPECT_EQ(FormCPUreg->RowText(RowPC), "1236");
}

TEST_F(CpuRegistersWindow, KeyFilterLimitsDigitsPerRow) {
    const struct {
        int row;
        const char* keys;
        const char* shown;
    } cases[] = {
        {RowA, "123", "12"}, {RowCCR, "abc", "ab"},   {RowIX, "12345", "1234"},
        {RowB, "g$1", "1"},  {RowSP, "ff\b\b7", "7"},
    };
    for (const auto& c : cases) {
        FormCPUreg->RefreshView();
        Select(Grid, 0, c.row - 1);
        for (const char* k = c.keys; *k; ++k) {
            if (*k == '\b')
                Key(Grid, Qt::Key_Backspace);
            else
                QTest::keyClick(Grid, *k);
        }
        EXPECT_EQ(FormCPUreg->RowText(c.row), c.shown) << c.keys;
    }
}

TEST_F(CpuRegistersWindow, CcrRowSetsEveryFlagAndDFollowsAB) {
    CpuRegs.A = 0x12;
    CpuRegs.B = 0x34;
    SyncDFromAB();
    FormCPUreg->RefreshView();
    Select(Grid, 0, RowCCR - 1);
    Type(Grid, "ff");
    EXPECT_EQ(Flags(), "11111111");
    EXPECT_EQ(CpuRegs.CCR, 0xFF);
    EXPECT_EQ(CcrFlags, (TCcrFlags{1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(FormCPUreg->RowText(RowCCR), "ff");  // as typed until the next refresh

    Select(Grid, 0, RowB - 1);
    Key(Grid, Qt::Key_Backspace);
    EXPECT_EQ(CpuRegs.B, 0);
    EXPECT_EQ(CpuRegs.D, 0x1200);
    FormCPUreg->RefreshView();
    EXPECT_EQ(FormCPUreg->RowText(RowCCR), "FF");
}

TEST_F(CpuRegistersWindow, NavigationNeverStoresAStaleRow) {
    FormCPUreg->RefreshView();
    // Changed without a refresh, as run from the cursor does.
    CpuRegs.PC = 0x4000;
    UnpackCcr(0xD0);
    Select(Grid, 0, 0);
    for (int i = 0; i < 7; ++i) Key(Grid, Qt::Key_Down);
    EXPECT_EQ(CpuRegs.PC, 0x4000);
    EXPECT_EQ(CcrFlags.FlagI, 1);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(CpuRegistersWindow, ClosingLeavesTheWindowList) {
    EXPECT_EQ(Form->OpenWindowList, QStringList{"Registri CPE"});
    FormCPUreg->close();
    EXPECT_EQ(FormCPUreg, nullptr);
    EXPECT_TRUE(Form->OpenWindowList.isEmpty());
}

}  // namespace
}  // namespace VantrelSIM
