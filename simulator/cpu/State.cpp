#include "simulator/Hc11.h"

TMemoryImage MemoryImage;
TCpuRegisters CpuRegs;
TCcrFlags CcrFlags;
TRunState RunState;
TPeripheralState PeripheralState;

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

// -1 for every character that is not a hex digit.
constexpr std::array<int8_t, 256> MakeNibbleTable() {
    std::array<int8_t, 256> table{};
    for (auto& entry : table) entry = -1;
    for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        table['A' + i] = static_cast<int8_t>(10 + i);
        table['a' + i] = static_cast<int8_t>(10 + i);
    }
    return table;
}
constexpr std::array<int8_t, 256> NibbleTable = MakeNibbleTable();

inline int Nibble(char c) {
    const int n = NibbleTable[static_cast<unsigned char>(c)];
    return n < 0 ? 0 : n;
}

}  // namespace

void TMemoryCell::Assign(std::string_view text) {
    Length = static_cast<uint8_t>(text.size() < 2 ? text.size() : 2);
    for (uint8_t i = 0; i < Length; ++i) Text[i] = text[i];
}

TMemoryCell ByteToHex(uint8_t value) {
    TMemoryCell cell;
    cell.Text[0] = HexDigits[value >> 4];
    cell.Text[1] = HexDigits[value & 0x0F];
    cell.Length = 2;
    return cell;
}

uint8_t HexToByte(const TMemoryCell& cell) {
    const int high = cell.Length > 0 ? Nibble(cell.Text[0]) : 0;
    const int low = cell.Length > 1 ? Nibble(cell.Text[1]) : 0;
    return static_cast<uint8_t>(high << 4 | low);
}

uint8_t HexToByte(std::string_view text) {
    TMemoryCell cell;
    cell.Assign(text);
    return HexToByte(cell);
}

TMemoryCell CellText(const TMemoryCell& cell) { return cell; }

void PackCcr() {
    const TCcrFlags& f = CcrFlags;
    CpuRegs.CCR = static_cast<uint8_t>((f.FlagS == 1) << 7 | (f.FlagX == 1) << 6 | (f.FlagH == 1) << 5 |
                                       (f.FlagI == 1) << 4 | (f.FlagN == 1) << 3 | (f.FlagZ == 1) << 2 |
                                       (f.FlagV == 1) << 1 | (f.FlagC == 1));
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
