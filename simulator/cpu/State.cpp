#include "simulator/Hc11.h"

TMemoryImage MemoryImage;
TCpuRegisters CpuRegs;
TCcrFlags CcrFlags;
TRunState RunState;
TPeripheralState PeripheralState;

void TMemoryCell::Assign(std::string_view text) {
    Length = static_cast<uint8_t>(text.size() < 2 ? text.size() : 2);
    for (uint8_t i = 0; i < Length; ++i) Text[i] = text[i];
}

uint8_t HexToByte(std::string_view text) {
    TMemoryCell cell;
    cell.Assign(text);
    return HexToByte(cell);
}

TMemoryCell CellText(const TMemoryCell& cell) { return cell; }

void PackCcr() {
    const TCcrFlags& f = CcrFlags;
    CpuRegs.CCR =
        static_cast<uint8_t>((f.FlagS == 1) << 7 | (f.FlagX == 1) << 6 | (f.FlagH == 1) << 5 | (f.FlagI == 1) << 4 |
                             (f.FlagN == 1) << 3 | (f.FlagZ == 1) << 2 | (f.FlagV == 1) << 1 | (f.FlagC == 1));
}

void UnpackCcr(uint8_t ccr) {
    TCcrFlags& f = CcrFlags;
    f.FlagS = ccr >> 7 & 1;
    f.FlagX = ccr >> 6 & 1;
    f.FlagH = ccr >> 5 & 1;
    f.FlagI = ccr >> 4 & 1;
    f.FlagN = ccr >> 3 & 1;
    f.FlagZ = ccr >> 2 & 1;
    f.FlagV = ccr >> 1 & 1;
    f.FlagC = ccr & 1;
    CpuRegs.CCR = ccr;
}

void WriteCell(uint16_t address, std::string_view text) { MemoryImage[address].Assign(text); }

void ClearModel() {
    MemoryImage.fill(TMemoryCell{});
    CpuRegs = {};
    CcrFlags = {};
    RunState = {};
    PeripheralState = {};
}
