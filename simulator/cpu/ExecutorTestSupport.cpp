#include "simulator/cpu/ExecutorTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "simulator/Hc11.h"

namespace {

struct TMachineState {
    TCpuRegisters Regs;
    TCcrFlags Flags;
    TRunState Run;
    bool CcrGiven = false;
    bool CyclesGiven = false;
    bool EffectiveAddressGiven = false;
    bool LengthGiven = false;
    bool PcGiven = false;
};

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

uint8_t PackedFlags(const TCcrFlags& f) {
    return static_cast<uint8_t>(f.FlagS << 7 | f.FlagX << 6 | f.FlagH << 5 | f.FlagI << 4 | f.FlagN << 3 |
                                f.FlagZ << 2 | f.FlagV << 1 | f.FlagC);
}

std::vector<uint8_t> ParseBytes(const std::string& hex) {
    std::vector<uint8_t> bytes;
    std::string digits;
    for (char c : hex)
        if (c != ' ') digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Applies "KEY=HEX" words to a state and to a memory image.
void Apply(const std::string& words, TMachineState& s, TMemoryImage& memory) {
    std::istringstream in(words);
    std::string word;
    while (in >> word) {
        const size_t eq = word.find('=');
        if (eq == std::string::npos) throw std::runtime_error("no '=' in " + word);
        const std::string key = word.substr(0, eq);
        const std::string text = word.substr(eq + 1);
        if (key[0] == '@') {
            const uint16_t address = static_cast<uint16_t>(std::stoul(key.substr(1), nullptr, 16));
            if (!text.empty() && text[0] == '"') {  // the cell's text verbatim: @0101="3f"
                memory[address].Assign(text.substr(1, text.size() - 2));
                continue;
            }
            const std::vector<uint8_t> bytes = ParseBytes(text);
            for (size_t i = 0; i < bytes.size(); ++i) memory[static_cast<uint16_t>(address + i)] = ByteToHex(bytes[i]);
            continue;
        }
        const unsigned v = static_cast<unsigned>(std::stoul(text, nullptr, 16));
        TCpuRegisters& r = s.Regs;
        TCcrFlags& f = s.Flags;
        // clang-format off
        if (key == "A") r.A = static_cast<uint8_t>(v), r.D = static_cast<uint16_t>(r.A << 8 | r.B);
        else if (key == "B") r.B = static_cast<uint8_t>(v), r.D = static_cast<uint16_t>(r.A << 8 | r.B);
        else if (key == "D") r.D = static_cast<uint16_t>(v), r.A = static_cast<uint8_t>(v >> 8), r.B = static_cast<uint8_t>(v);
        else if (key == "IX") r.IX = static_cast<uint16_t>(v);
        else if (key == "IY") r.IY = static_cast<uint16_t>(v);
        else if (key == "SP") r.SP = static_cast<uint16_t>(v);
        else if (key == "PC") r.PC = static_cast<uint16_t>(v), s.PcGiven = true;
        else if (key == "CCR") {
            r.CCR = static_cast<uint8_t>(v);
            s.CcrGiven = true;
            f = {static_cast<uint8_t>(v >> 7 & 1), static_cast<uint8_t>(v >> 6 & 1), static_cast<uint8_t>(v >> 5 & 1),
                 static_cast<uint8_t>(v >> 4 & 1), static_cast<uint8_t>(v >> 3 & 1), static_cast<uint8_t>(v >> 2 & 1),
                 static_cast<uint8_t>(v >> 1 & 1), static_cast<uint8_t>(v & 1)};
        }
        else if (key == "S") f.FlagS = static_cast<uint8_t>(v);
        else if (key == "X") f.FlagX = static_cast<uint8_t>(v);
        else if (key == "H") f.FlagH = static_cast<uint8_t>(v);
        else if (key == "I") f.FlagI = static_cast<uint8_t>(v);
        else if (key == "N") f.FlagN = static_cast<uint8_t>(v);
        else if (key == "Z") f.FlagZ = static_cast<uint8_t>(v);
        else if (key == "V") f.FlagV = static_cast<uint8_t>(v);
        else if (key == "C") f.FlagC = static_cast<uint8_t>(v);
        else if (key == "wait") s.Run.WaitState = static_cast<uint8_t>(v);
        else if (key == "stop") s.Run.StopState = static_cast<uint8_t>(v);
        else if (key == "ill") s.Run.IllegalOpcode = static_cast<uint8_t>(v);
        else if (key == "top") s.Run.StackTop = static_cast<int32_t>(v);
        else if (key == "ea") s.Run.EffectiveAddress = static_cast<uint16_t>(v), s.EffectiveAddressGiven = true;
        else if (key == "cyc") s.Run.InstrCycles = static_cast<int32_t>(std::stoul(text)), s.CyclesGiven = true;
        else if (key == "len") s.Run.InstrLength = static_cast<int32_t>(v), s.LengthGiven = true;
        else throw std::runtime_error("unknown key " + key);
        // clang-format on
    }
}

TMachineState Capture() { return {CpuRegs, CcrFlags, RunState}; }

void Restore(const TMachineState& s) {
    CpuRegs = s.Regs;
    CcrFlags = s.Flags;
    RunState = s.Run;
}

std::string Describe(const TMachineState& s) {
    const TCpuRegisters& r = s.Regs;
    const TCcrFlags& f = s.Flags;
    std::string text = "A=" + Hex(r.A, 2) + " B=" + Hex(r.B, 2) + " D=" + Hex(r.D, 4) + " IX=" + Hex(r.IX, 4) +
                       " IY=" + Hex(r.IY, 4) + " SP=" + Hex(r.SP, 4) + " PC=" + Hex(r.PC, 4) + " CCR=" + Hex(r.CCR, 2);
    text += " SXHINZVC=";
    for (uint8_t flag : {f.FlagS, f.FlagX, f.FlagH, f.FlagI, f.FlagN, f.FlagZ, f.FlagV, f.FlagC})
        text += std::to_string(flag);
    text += " wait=" + std::to_string(s.Run.WaitState) + " stop=" + std::to_string(s.Run.StopState) +
            " ill=" + std::to_string(s.Run.IllegalOpcode) + " top=" + Hex(static_cast<unsigned>(s.Run.StackTop), 4) +
            " cyc=" + std::to_string(s.Run.InstrCycles);
    return text;
}

std::string InstructionText(const std::vector<uint8_t>& code) {
    std::string text;
    for (uint8_t b : code) text += Hex(b, 2) + " ";
    const TOpcodeRow* row = nullptr;
    if (!code.empty()) {
        const bool prefixed = code[0] == 0x18 || code[0] == 0x1A || code[0] == 0xCD;
        if (prefixed && code.size() > 1)
            row = FindOpcode(code[0], code[1]);
        else if (!prefixed)
            row = FindOpcode(0, code[0]);
    }
    return text + "(" + (row ? std::string(row->Mnemonic) : std::string("unrecognised")) + ")";
}

}  // namespace

void SetUpMachine(const std::string& setup) {
    ClearModel();
    TMachineState s = Capture();
    s.Regs.PC = CasePc;
    s.Regs.SP = CaseSp;
    Apply(setup, s, MemoryImage);
    if (!s.CcrGiven) s.Regs.CCR = PackedFlags(s.Flags);
    Restore(s);
}

std::string RunInstructionCase(const TInstructionCase& c) {
    const std::vector<uint8_t> code = ParseBytes(c.Code);
    ClearModel();
    TMachineState setup = Capture();
    setup.Regs.PC = CasePc;
    setup.Regs.SP = CaseSp;
    // Code goes in first, so that setup memory words may overlap it on purpose.
    TMachineState probe = setup;
    TMemoryImage scratch;
    Apply(c.Setup, probe, scratch);  // only to learn PC
    for (size_t i = 0; i < code.size(); ++i) StoreByte(static_cast<uint16_t>(probe.Regs.PC + i), code[i]);
    Apply(c.Setup, setup, MemoryImage);
    if (!setup.CcrGiven) setup.Regs.CCR = PackedFlags(setup.Flags);
    Restore(setup);

    auto expectedMemory = std::make_unique<TMemoryImage>(MemoryImage);
    TMachineState expected = setup;
    expected.PcGiven = expected.CcrGiven = false;
    expected.Regs.PC = static_cast<uint16_t>(setup.Regs.PC + code.size());
    Apply(c.Expect, expected, *expectedMemory);
    if (!expected.CcrGiven) expected.Regs.CCR = PackedFlags(expected.Flags);

    InstrCycles = 0;
    ExecuteInstruction(MemoryImage[CpuRegs.PC], CpuRegs.PC);
    TMachineState actual = Capture();

    std::string problems;
    const TCpuRegisters& r = actual.Regs;
    if (r.D != (r.A << 8 | r.B)) problems += "  D is not A*256+B\n";
    if (r.CCR != PackedFlags(actual.Flags)) problems += "  CCR is not the packed flags\n";
    if (!(actual.Regs == expected.Regs) || !(actual.Flags == expected.Flags))
        problems += "  registers or flags differ\n";
    const TRunState& a = actual.Run;
    const TRunState& e = expected.Run;
    if (a.WaitState != e.WaitState || a.StopState != e.StopState || a.IllegalOpcode != e.IllegalOpcode ||
        a.StackTop != e.StackTop || a.IrqPending != e.IrqPending || a.XirqPending != e.XirqPending)
        problems += "  run state differs\n";
    if (expected.CyclesGiven ? a.InstrCycles != e.InstrCycles : (a.InstrCycles == 0) != (e.IllegalOpcode == 1))
        problems += "  cycles " + std::to_string(a.InstrCycles) + "\n";
    if (expected.LengthGiven && a.InstrLength != e.InstrLength)
        problems += "  length " + std::to_string(a.InstrLength) + ", expected " + std::to_string(e.InstrLength) + "\n";
    if (expected.EffectiveAddressGiven && a.EffectiveAddress != e.EffectiveAddress)
        problems +=
            "  effective address " + Hex(a.EffectiveAddress, 4) + ", expected " + Hex(e.EffectiveAddress, 4) + "\n";
    int shown = 0;
    for (int address = 0; address < 65536 && shown < 8; ++address) {
        if (MemoryImage[address] == (*expectedMemory)[address]) continue;
        problems += "  @" + Hex(address, 4) + " is \"" + MemoryImage[address].Str() + "\", expected \"" +
                    (*expectedMemory)[address].Str() + "\"\n";
        ++shown;
    }
    if (problems.empty()) return "";
    return c.Name + "\n  instruction: " + InstructionText(code) + "\n  setup:    " + c.Setup +
           "\n  before:   " + Describe(setup) + "\n  expected: " + Describe(expected) +
           "\n  actual:   " + Describe(actual) + "\n" + problems;
}

namespace {

std::deque<TCaseTable>& CaseTables() {
    static std::deque<TCaseTable> tables;  // a deque keeps the references handed out valid
    return tables;
}

}  // namespace

const TCaseTable& RegisterCaseTable(TCaseTable cases) { return CaseTables().emplace_back(std::move(cases)); }

const std::deque<TCaseTable>& RegisteredCaseTables() { return CaseTables(); }

void RunInstructionCases(const TCaseTable& cases) {
    for (const TInstructionCase& c : cases) {
        std::string report;
        try {
            report = RunInstructionCase(c);
        } catch (const std::exception& error) {
            report = c.Name + ": bad case: " + error.what();
        }
        if (!report.empty()) ADD_FAILURE() << report;
    }
}
