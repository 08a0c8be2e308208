// The assembler's opcode table against the simulator's executor: one table
// of either catches faults in the other.
#include <gtest/gtest.h>

#include <set>

#include "simulator/Hc11.h"
#include "tools/as11m/OpcodeTable.h"

namespace {

TEST(AssemblerAndSimulator, KnowTheSameOpcodes) {
    std::set<std::pair<int, int>> assembled, executed;
    for (const as11m::OpcodeRow& row : as11m::OpcodeTable)
        if (row.Mnemonic != "TEST") assembled.emplace(row.Page, row.Opcode);
    for (const TOpcodeRow& row : ::OpcodeTable) executed.emplace(row.Page, row.Code);
    EXPECT_EQ(assembled, executed);
}

TEST(AssemblerAndSimulator, EncodedLengthIsWhatTheExecutorAdvances) {
    constexpr uint16_t kStart = 0x0100;
    for (const as11m::OpcodeRow& row : as11m::OpcodeTable) {
        if (row.Mnemonic == "TEST") continue;  // the simulator treats it as illegal
        ClearModel();
        ResetCpu(kStart);
        CpuRegs.SP = 0x00C0;
        // Operands of zero: branches go to the next instruction, addresses
        // point at RAM, so nothing but the control-flow instructions moves PC
        // elsewhere.
        uint16_t address = kStart;
        if (row.Page != 0) StoreByte(address++, row.Page);
        StoreByte(address, row.Opcode);
        const int length = as11m::InstructionLength(row);
        ExecuteInstruction(MemoryImage[kStart], kStart);
        SCOPED_TRACE(std::string(row.Mnemonic) + " page " + std::to_string(row.Page) + " opcode " +
                     std::to_string(row.Opcode));
        ASSERT_EQ(IllegalOpcode, 0);
        if (InstrLength != 0) {
            EXPECT_EQ(InstrLength, length);
            EXPECT_EQ(CpuRegs.PC, kStart + length);
        }
        for (const TOpcodeRow& model : ::OpcodeTable)
            if (model.Page == row.Page && model.Code == row.Opcode) {
                EXPECT_EQ(model.Length, length);
                EXPECT_EQ(model.Mnemonic, row.Mnemonic);
            }
    }
}

}  // namespace
