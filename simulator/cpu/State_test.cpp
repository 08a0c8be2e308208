#include <gtest/gtest.h>

#include "simulator/Hc11.h"

TEST(CellCodec, ByteToHexAndBack) {
    EXPECT_EQ(ByteToHex(0).View(), "00");
    EXPECT_EQ(ByteToHex(10).View(), "0A");
    EXPECT_EQ(ByteToHex(255).View(), "FF");
    for (int v = 0; v < 256; ++v) EXPECT_EQ(HexToByte(ByteToHex(static_cast<uint8_t>(v))), v);
}

TEST(CellCodec, OddCellsNeverReadPastTheirEnd) {
    EXPECT_EQ(HexToByte("3f"), 0x3F);
    EXPECT_EQ(HexToByte("GZ"), 0);
    EXPECT_EQ(HexToByte("  "), 0);
    EXPECT_EQ(HexToByte(""), 0);
    EXPECT_EQ(HexToByte("A"), 0xA0);  // the missing low digit counts as non-hex
    EXPECT_EQ(HexToByte("A "), 0xA0);
    EXPECT_EQ(HexToByte("ABCD"), 0xAB);  // only two characters are kept
    TMemoryCell cell;
    cell.Assign("7");
    EXPECT_EQ(CellText(cell).View(), "7");
}

TEST(CellCodec, PackCcr) {
    ClearModel();
    CcrFlags.FlagS = CcrFlags.FlagX = CcrFlags.FlagI = 1;
    PackCcr();
    EXPECT_EQ(CpuRegs.CCR, 0xD0);
    UnpackCcr(0xFF);
    EXPECT_EQ(CcrFlags.FlagC, 1);
    EXPECT_EQ(CpuRegs.CCR, 0xFF);
    CcrFlags = {};
    PackCcr();
    EXPECT_EQ(CpuRegs.CCR, 0);
}

TEST(InterruptEntry, StacksFrameAndPacksTheNewIBit) {
    ClearModel();
    CpuRegs.PC = 0x1234;
    CpuRegs.SP = 0x00FF;
    CpuRegs.A = 0x11;
    CpuRegs.B = 0x22;
    SyncDFromAB();
    CpuRegs.IX = 0x3344;
    CpuRegs.IY = 0x5566;
    EnterInterrupt(PseudoVectors::Irq);
    EXPECT_EQ(CpuRegs.PC, 0x00F1);
    EXPECT_EQ(CpuRegs.SP, 0x00F6);
    EXPECT_EQ(InstrCycles, 14);
    EXPECT_EQ(CpuRegs.CCR, 0x10);  // I already visible, not stale
    const char* frame[] = {"00", "22", "11", "33", "44", "55", "66", "12", "34"};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(MemoryImage[0xF7 + i].View(), frame[i]) << i;

    EnterInterrupt(PseudoVectors::TimerOverflow);  // masked now
    EXPECT_EQ(CpuRegs.PC, 0x00F1);

    UnstackAllRegisters();
    EXPECT_EQ(CpuRegs.PC, 0x1234);
    EXPECT_EQ(CpuRegs.D, 0x1122);
    EXPECT_EQ(CcrFlags.FlagI, 0);
    EXPECT_EQ(CpuRegs.SP, 0x00FF);
}

TEST(InterruptEntry, WakingAWaitLeavesTheFrameAndI) {
    ClearModel();
    WaitState = 1;
    InstrCycles = 2;
    CpuRegs.SP = 0x80;
    EnterInterrupt(PseudoVectors::OutputCompare2);
    EXPECT_EQ(CpuRegs.PC, 0x00DC);
    EXPECT_EQ(CpuRegs.SP, 0x80);
    EXPECT_EQ(InstrCycles, 2);
    EXPECT_EQ(CcrFlags.FlagI, 0);
    EXPECT_EQ(WaitState, 0);
}
