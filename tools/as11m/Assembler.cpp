#include "tools/as11m/Assembler.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

#include "common/AsciiText.h"
#include "tools/as11m/OpcodeTable.h"
#include "tools/as11m/SourceText.h"

namespace as11m {

std::string_view ErrorText(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::UnrecognizedMnemonic: return " Unrecognized Mnemonic:";
        case ErrorKind::InvalidNumericConstant: return " Invalid numeric constant";
        case ErrorKind::ValueTruncated: return " Value truncated";
        case ErrorKind::IllegalFirstCharacterInLabel: return " Illegal first character in label:";
        case ErrorKind::SymbolUndefined: return " Symbol undefined on pass 2:";
        case ErrorKind::BranchOutOfRange: return " Branch out of range";
        case ErrorKind::SymbolRedefined: return " Symbol redefined:";
        case ErrorKind::MissingOperand: return " Missing or unidentifiable operand";
    }
    return " Missing or unidentifiable operand";
}

int Assembly::ErrorCount() const {
    int count = 0;
    for (const AssembledLine& line : Lines) count += static_cast<int>(line.Errors.size());
    return count;
}

namespace {

constexpr int kModeCount = static_cast<int>(AddressMode::BitBranchIndexedY) + 1;
using MnemonicForms = std::array<const OpcodeRow*, kModeCount>;

const std::unordered_map<std::string_view, MnemonicForms>& Mnemonics() {
    static const auto table = [] {
        std::unordered_map<std::string_view, MnemonicForms> map;
        for (const OpcodeRow& row : OpcodeTable) map[row.Mnemonic][static_cast<int>(row.Mode)] = &row;
        for (const MnemonicAlias& alias : MnemonicAliases) map[alias.Alias] = map.at(alias.Mnemonic);
        return map;
    }();
    return table;
}

enum class Directive { Org, Equ, Fcb, Fdb, Fcc, Rmb, Bsz, Fill, End, NoEffect };

std::optional<Directive> FindDirective(std::string_view upper) {
    static const std::unordered_map<std::string_view, Directive> table = {
        {"ORG", Directive::Org},      {"EQU", Directive::Equ},      {"FCB", Directive::Fcb},
        {"FDB", Directive::Fdb},      {"FCC", Directive::Fcc},      {"RMB", Directive::Rmb},
        {"BSZ", Directive::Bsz},      {"ZMB", Directive::Bsz},      {"FILL", Directive::Fill},
        {"END", Directive::End},      {"OPT", Directive::NoEffect}, {"PAGE", Directive::NoEffect},
        {"NAM", Directive::NoEffect}, {"TTL", Directive::NoEffect}, {"SPC", Directive::NoEffect},
    };
    auto found = table.find(upper);
    if (found == table.end()) return std::nullopt;
    return found->second;
}

// Form feeds and stray carriage returns of old sources count as blanks.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r'; }
// A field ends at a blank or where a ';' comment starts.
bool IsFieldEnd(char c) { return IsBlank(c) || c == ';'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSymbolStart(char c) { return IsLetter(c) || c == '_' || c == '.'; }
bool IsSymbolChar(char c) { return IsSymbolStart(c) || IsDigit(c); }

size_t SkipBlanks(std::string_view text, size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

// Past a character constant at text[pos]: the apostrophe, one character
// (a blank too) and the closing apostrophe where there is one.
size_t SkipCharacterConstant(std::string_view text, size_t pos) {
    ++pos;
    if (pos < text.size()) NextCharacter(text, pos);
    if (pos < text.size() && text[pos] == '\'') ++pos;
    return pos;
}

// The operand field: up to the first blank that does not follow a comma,
// so that "FCB 1, 2" is one field and "FCB 1,2 comment" ends at the blank.
std::string_view OperandToken(std::string_view rest) {
    size_t pos = 0;
    bool afterComma = false;
    while (pos < rest.size()) {
        char c = rest[pos];
        if (afterComma && IsBlank(c)) {
            ++pos;
            continue;
        }
        if (IsFieldEnd(c)) break;
        afterComma = c == ',';
        pos = c == '\'' ? SkipCharacterConstant(rest, pos) : pos + 1;
    }
    return rest.substr(0, pos);
}

// Position of the first comma outside character constants, or npos.
size_t TopLevelComma(std::string_view token) {
    for (size_t pos = 0; pos < token.size();) {
        if (token[pos] == ',') return pos;
        pos = token[pos] == '\'' ? SkipCharacterConstant(token, pos) : pos + 1;
    }
    return std::string_view::npos;
}

// What follows the comma at token[comma], blanks after it skipped.
std::string_view AfterComma(std::string_view token, size_t comma) { return token.substr(SkipBlanks(token, comma + 1)); }

// Index register name X or Y (any case) standing alone at text[pos].
char IndexRegisterAt(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    char reg = UpperAscii(text[pos]);
    if (reg != 'X' && reg != 'Y') return 0;
    if (pos + 1 < text.size() && text[pos + 1] != ',' && !IsFieldEnd(text[pos + 1])) return 0;
    return reg;
}

bool Fits8(int64_t v) { return v >= -128 && v <= 255; }
bool Fits16(int64_t v) { return v >= -32768 && v <= 65535; }

constexpr int64_t kValueLimit = 0xFFFFFFFFLL;  // keeps arithmetic far from int64 overflow

struct Value {
    int64_t Number = 0;
    bool Known = true;
    std::string_view Unknown;  // first symbol not yet defined, in pass 1
};

class Assembler {
public:
    explicit Assembler(const std::vector<std::string>& lines) : source_(lines) {}

    Assembly Run() {
        plans_.resize(source_.size());
        RunPass(1);
        ResolvePendingEquates();
        RunPass(2);
        for (auto& [name, symbol] : symbols_)
            if (symbol.Known) result_.Symbols.emplace(name, symbol.Value);
        return std::move(result_);
    }

private:
    struct Symbol {
        int64_t Value = 0;
        bool Known = false;
    };
    // What pass 1 decided for a line, so that pass 2 lays out the same bytes.
    struct LinePlan {
        int64_t Size = 0;
        bool UseDirect = false;
        std::string ForwardSymbol;      // an ORG or RMB operand that was unknown in pass 1
        std::vector<LineError> Errors;  // found only in pass 1
    };

    void RunPass(int pass) {
        pass_ = pass;
        location_ = 0;
        ended_ = false;
        if (pass_ == 2) result_.Lines.reserve(source_.size());
        for (size_t i = 0; i < source_.size(); ++i) {
            index_ = i;
            bytes_.clear();
            errors_.clear();
            hasAddress_ = false;
            cycles_ = -1;
            lineStart_ = location_;
            ProcessLine(source_[i]);
            FinishLine();
        }
    }

    void FinishLine() {
        LinePlan& plan = plans_[index_];
        if (pass_ == 1) {
            plan.Size = static_cast<int64_t>(bytes_.size()) + reserved_;
            location_ += plan.Size;
            reserved_ = 0;
            return;
        }
        AssembledLine line;
        line.Number = static_cast<int>(index_ + 1);
        line.Source = source_[index_];
        line.Cycles = cycles_;
        line.Errors = plan.Errors;
        int64_t reserved = reserved_;
        reserved_ = 0;
        // The layout of pass 1 holds even where pass 2 met an error.
        bytes_.resize(static_cast<size_t>(std::max<int64_t>(0, plan.Size - reserved)));
        int64_t end = location_ + plan.Size;
        if (plan.Size > 0 && end > 0x10000) Error(ErrorKind::ValueTruncated);
        for (LineError& error : errors_)
            if (std::find(line.Errors.begin(), line.Errors.end(), error) == line.Errors.end())
                line.Errors.push_back(std::move(error));
        // A wrong line keeps its place but puts none of its bytes into memory.
        if (!line.Errors.empty()) bytes_.clear();
        if (hasAddress_ && location_ >= 0 && location_ <= 0xFFFF) {
            line.HasAddress = true;
            line.Address = static_cast<uint16_t>(location_);
            line.Bytes = std::move(bytes_);
        }
        result_.Lines.push_back(std::move(line));
        location_ = end;
    }

    // Pass-1 errors are found again in pass 2, except those only pass 1 can see.
    void Error(ErrorKind kind, std::string_view detail = {}) {
        if (pass_ == 2) errors_.push_back({kind, SanitizedDetail(detail)});
    }
    void Pass1Error(ErrorKind kind, std::string_view detail) {
        if (pass_ == 1) plans_[index_].Errors.push_back({kind, SanitizedDetail(detail)});
    }

    // A detail is a single printable word of bounded length.
    static std::string SanitizedDetail(std::string_view detail) {
        std::string out;
        size_t pos = 0;
        int characters = 0;
        while (pos < detail.size() && characters < 40) {
            size_t start = pos;
            auto c = NextCharacter(detail, pos);
            if (!c || *c < 0x20 || *c == 0x7F || *c == ' ')
                out += '?';
            else
                out.append(detail.substr(start, pos - start));
            ++characters;
        }
        return out;
    }

    void Emit8(int64_t v) { bytes_.push_back(static_cast<uint8_t>(v & 0xFF)); }
    void Emit16(int64_t v) {
        Emit8(v >> 8);
        Emit8(v);
    }

    // ---- lines ----

    void ProcessLine(std::string_view line) {
        if (ended_) return;
        if (line.empty() || line[0] == '*' || line[0] == ';') return;
        size_t pos = 0;
        std::string_view label;
        if (!IsBlank(line[0])) {
            while (pos < line.size() && !IsFieldEnd(line[pos])) ++pos;
            label = line.substr(0, pos);
            if (label.size() > 1 && label.back() == ':') label.remove_suffix(1);
        }
        pos = SkipBlanks(line, pos);
        if (pos == line.size() || line[pos] == ';' || line[pos] == '*') {
            DefineLabel(label, location_, true);
            return;
        }
        size_t start = pos;
        while (pos < line.size() && !IsFieldEnd(line[pos])) ++pos;
        std::string_view mnemonic = line.substr(start, pos - start);
        std::string_view rest = line.substr(SkipBlanks(line, pos));
        std::string upper = UpperAscii(mnemonic);

        if (auto directive = FindDirective(upper)) {
            ProcessDirective(*directive, label, rest);
            return;
        }
        DefineLabel(label, location_, true);
        auto found = Mnemonics().find(upper);
        if (found == Mnemonics().end()) {
            Error(ErrorKind::UnrecognizedMnemonic, mnemonic);
            return;
        }
        AssembleInstruction(found->second, rest);
    }

    bool LabelIsValid(std::string_view label) {
        if (!IsSymbolStart(label[0])) {
            Error(ErrorKind::IllegalFirstCharacterInLabel, label);
            return false;
        }
        if (!std::all_of(label.begin(), label.end(), IsSymbolChar)) {
            Error(ErrorKind::MissingOperand);
            return false;
        }
        return true;
    }

    void DefineLabel(std::string_view label, int64_t value, bool known) {
        if (label.empty() || !LabelIsValid(label)) return;
        auto [it, inserted] = symbols_.try_emplace(std::string(label));
        if (!inserted) {
            if (pass_ == 1) Pass1Error(ErrorKind::SymbolRedefined, label);
            return;
        }
        it->second = {value, known};
        if (!known) pendingEquates_.push_back({index_, location_});
    }

    // Equates whose operand named a later symbol get their value once pass 1
    // knows all labels. Each waits on the first unknown symbol it meets and
    // is tried again when that one resolves, so chains of any length and
    // order take linear time, and cycles simply stay undefined.
    void ResolvePendingEquates() {
        std::unordered_map<std::string_view, std::vector<size_t>> waiting;
        std::vector<size_t> ready(pendingEquates_.size());
        for (size_t k = 0; k < ready.size(); ++k) ready[k] = ready.size() - 1 - k;
        while (!ready.empty()) {
            size_t k = ready.back();
            ready.pop_back();
            auto [i, lineStart] = pendingEquates_[k];
            lineStart_ = lineStart;
            std::string_view line = source_[i];
            size_t end = 0;
            while (end < line.size() && !IsFieldEnd(line[end])) ++end;
            std::string_view label = line.substr(0, end);
            if (label.size() > 1 && label.back() == ':') label.remove_suffix(1);
            size_t pos = SkipBlanks(line, end);
            while (pos < line.size() && !IsFieldEnd(line[pos])) ++pos;
            std::string_view token = OperandToken(line.substr(SkipBlanks(line, pos)));
            Value value;
            size_t at = 0;
            if (!ParseExpression(token, at, value)) continue;
            if (value.Known) {
                symbols_[std::string(label)] = {value.Number, true};
                if (auto found = waiting.find(label); found != waiting.end()) {
                    ready.insert(ready.end(), found->second.begin(), found->second.end());
                    waiting.erase(found);
                }
            } else if (symbols_.contains(std::string(value.Unknown))) {
                waiting[value.Unknown].push_back(k);
            }
        }
    }

    // ---- directives ----

    void ProcessDirective(Directive directive, std::string_view label, std::string_view rest) {
        switch (directive) {
            case Directive::Equ: return Equate(label, rest);
            case Directive::Org: return Origin(label, rest);
            case Directive::End:
                DefineLabel(label, location_, true);
                ended_ = true;
                return;
            case Directive::NoEffect: DefineLabel(label, location_, true); return;
            default: break;
        }
        DefineLabel(label, location_, true);
        switch (directive) {
            case Directive::Fcb: return DataList(rest, 1);
            case Directive::Fdb: return DataList(rest, 2);
            case Directive::Fcc: return CharacterString(rest);
            case Directive::Rmb: return Reserve(rest, false);
            case Directive::Bsz: return Reserve(rest, true);
            case Directive::Fill: return Fill(rest);
            default: return;
        }
    }

    void Equate(std::string_view label, std::string_view rest) {
        if (label.empty()) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        Value value;
        if (!WholeExpression(OperandToken(rest), value)) {
            DefineLabel(label, 0, true);
            return;
        }
        if (pass_ == 1)
            DefineLabel(label, value.Number, value.Known);
        else
            LabelIsValid(label);
    }

    void Origin(std::string_view label, std::string_view rest) {
        Value value;
        if (PlannedValue(OperandToken(rest), value)) {
            if (value.Number < 0 || value.Number > 0xFFFF)
                Error(ErrorKind::ValueTruncated);
            else
                location_ = value.Number;
        }
        DefineLabel(label, location_, true);
    }

    // A value that fixes the layout must be known in pass 1; pass 2 keeps
    // pass 1's view of it and names the symbol that came too late.
    bool PlannedValue(std::string_view token, Value& value) {
        LinePlan& plan = plans_[index_];
        if (pass_ == 2 && !plan.ForwardSymbol.empty()) {
            Error(ErrorKind::SymbolUndefined, plan.ForwardSymbol);
            return false;
        }
        if (!WholeExpression(token, value)) return false;
        if (!value.Known) {
            if (pass_ == 1) plan.ForwardSymbol = std::string(value.Unknown);
            return false;
        }
        return true;
    }

    void DataList(std::string_view rest, int width) {
        std::string_view token = OperandToken(rest);
        if (token.empty()) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        size_t pos = 0;
        while (true) {
            Value value;
            if (!ParseExpression(token, pos, value)) return;
            if (value.Known && !(width == 1 ? Fits8(value.Number) : Fits16(value.Number)))
                Error(ErrorKind::ValueTruncated);
            width == 1 ? Emit8(value.Number) : Emit16(value.Number);
            hasAddress_ = true;
            if (pos == token.size()) return;
            if (token[pos] != ',') {
                Error(ErrorKind::MissingOperand);
                return;
            }
            pos = SkipBlanks(token, pos + 1);
        }
    }

    void CharacterString(std::string_view rest) {
        if (rest.empty()) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        size_t open = 0;
        NextCharacter(rest, open);
        size_t close = rest.find(rest.substr(0, open), open);
        if (close == std::string_view::npos) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        std::string_view text = rest.substr(open, close - open);
        for (size_t pos = 0; pos < text.size();) {
            auto c = NextCharacter(text, pos);
            auto byte = c ? EncodeWindows1250(*c) : std::nullopt;
            if (!byte) {
                Error(ErrorKind::InvalidNumericConstant);
                byte = '?';
            }
            Emit8(*byte);
        }
        hasAddress_ = !text.empty();
    }

    void Reserve(std::string_view rest, bool zeroed) {
        Value count;
        if (!PlannedValue(OperandToken(rest), count)) return;
        if (count.Number < 0 || count.Number > 0x10000) {
            Error(ErrorKind::ValueTruncated);
            return;
        }
        hasAddress_ = true;
        if (zeroed)
            bytes_.assign(static_cast<size_t>(count.Number), 0);
        else
            reserved_ = count.Number;
    }

    void Fill(std::string_view rest) {
        std::string_view token = OperandToken(rest);
        size_t comma = TopLevelComma(token);
        if (comma == std::string_view::npos) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        Value value, count;
        if (!WholeExpression(token.substr(0, comma), value)) return;
        if (!PlannedValue(AfterComma(token, comma), count)) return;
        if (value.Known && !Fits8(value.Number)) Error(ErrorKind::ValueTruncated);
        if (count.Number < 0 || count.Number > 0x10000) {
            Error(ErrorKind::ValueTruncated);
            return;
        }
        bytes_.assign(static_cast<size_t>(count.Number), static_cast<uint8_t>(value.Number & 0xFF));
        hasAddress_ = count.Number > 0;
    }

    // ---- instructions ----

    void EmitOpcode(const OpcodeRow& row) {
        if (row.Page != 0) Emit8(row.Page);
        Emit8(row.Opcode);
        cycles_ = row.Cycles > 0 ? row.Cycles : -1;
        hasAddress_ = true;
    }

    void EmitRelative(const Value& target, int64_t instructionEnd) {
        int64_t offset = target.Known ? target.Number - instructionEnd : 0;
        if (target.Known && (offset < -128 || offset > 127)) Error(ErrorKind::BranchOutOfRange);
        Emit8(offset);
    }

    void AssembleInstruction(const MnemonicForms& forms, std::string_view rest) {
        auto form = [&](AddressMode mode) { return forms[static_cast<int>(mode)]; };
        if (const OpcodeRow* row = form(AddressMode::Inherent)) {
            EmitOpcode(*row);  // whatever follows is a comment
            return;
        }
        if (form(AddressMode::BitDirect) || form(AddressMode::BitBranchDirect)) {
            BitInstruction(forms, rest);
            return;
        }
        std::string_view token = OperandToken(rest);
        if (token.empty()) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        if (const OpcodeRow* row = form(AddressMode::Relative)) {
            Value target;
            if (!WholeExpression(token, target)) return;
            EmitOpcode(*row);
            EmitRelative(target, location_ + InstructionLength(*row));
            return;
        }
        if (token[0] == '#') {
            const OpcodeRow* row = form(AddressMode::Immediate8);
            bool wide = row == nullptr;
            if (wide) row = form(AddressMode::Immediate16);
            Value value;
            if (!row) {
                Error(ErrorKind::MissingOperand);
                return;
            }
            if (!WholeExpression(token.substr(1), value)) return;
            if (value.Known && !(wide ? Fits16(value.Number) : Fits8(value.Number))) Error(ErrorKind::ValueTruncated);
            EmitOpcode(*row);
            wide ? Emit16(value.Number) : Emit8(value.Number);
            return;
        }
        size_t comma = TopLevelComma(token);
        if (comma != std::string_view::npos) {
            std::string_view reg = AfterComma(token, comma);
            char name = reg.size() == 1 ? UpperAscii(reg[0]) : 0;
            const OpcodeRow* row = name == 'X'   ? form(AddressMode::IndexedX)
                                   : name == 'Y' ? form(AddressMode::IndexedY)
                                                 : nullptr;
            if (!row) {
                Error(ErrorKind::MissingOperand);
                return;
            }
            Value offset{0, true, {}};
            if (comma > 0 && !WholeExpression(token.substr(0, comma), offset)) return;
            if (offset.Known && (offset.Number < 0 || offset.Number > 255)) Error(ErrorKind::ValueTruncated);
            EmitOpcode(*row);
            Emit8(offset.Number);
            return;
        }
        Value address;
        if (!WholeExpression(token, address)) return;
        const OpcodeRow* direct = form(AddressMode::Direct);
        const OpcodeRow* extended = form(AddressMode::Extended);
        if (!direct && !extended) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        LinePlan& plan = plans_[index_];
        if (pass_ == 1)
            plan.UseDirect = direct && (!extended || (address.Known && address.Number >= 0 && address.Number <= 0xFF));
        if (address.Known && (address.Number < 0 || address.Number > (plan.UseDirect ? 0xFF : 0xFFFF)))
            Error(ErrorKind::ValueTruncated);
        if (plan.UseDirect) {
            EmitOpcode(*direct);
            Emit8(address.Number);
        } else {
            EmitOpcode(*extended);
            Emit16(address.Number);
        }
    }

    // BSET/BCLR opr[,X|,Y] #mask and BRSET/BRCLR opr[,X|,Y] #mask target;
    // the fields are separated by commas or blanks, '#' is optional.
    void BitInstruction(const MnemonicForms& forms, std::string_view rest) {
        bool branch = forms[static_cast<int>(AddressMode::BitBranchDirect)] != nullptr;
        size_t pos = 0;
        Value address{0, true, {}};
        if (pos < rest.size() && rest[pos] != ',' && !ParseExpression(rest, pos, address)) return;
        if (!Separator(rest, pos)) return;
        char reg = IndexRegisterAt(rest, pos);
        if (reg) {
            ++pos;
            if (!Separator(rest, pos)) return;
        }
        if (pos < rest.size() && rest[pos] == '#') ++pos;
        Value mask;
        if (!ParseExpression(rest, pos, mask)) return;
        Value target;
        if (branch && (!Separator(rest, pos) || !ParseExpression(rest, pos, target))) return;
        if (pos < rest.size() && !IsFieldEnd(rest[pos])) {
            Error(ErrorKind::MissingOperand);
            return;
        }
        AddressMode mode = branch ? (reg == 'X'   ? AddressMode::BitBranchIndexedX
                                     : reg == 'Y' ? AddressMode::BitBranchIndexedY
                                                  : AddressMode::BitBranchDirect)
                                  : (reg == 'X'   ? AddressMode::BitIndexedX
                                     : reg == 'Y' ? AddressMode::BitIndexedY
                                                  : AddressMode::BitDirect);
        const OpcodeRow& row = *forms[static_cast<int>(mode)];
        if (address.Known && (address.Number < 0 || address.Number > 255)) Error(ErrorKind::ValueTruncated);
        if (mask.Known && !Fits8(mask.Number)) Error(ErrorKind::ValueTruncated);
        EmitOpcode(row);
        Emit8(address.Number);
        Emit8(mask.Number);
        if (branch) EmitRelative(target, location_ + InstructionLength(row));
    }

    // Between two fields: a comma, blanks, or both; at least one of them.
    bool Separator(std::string_view text, size_t& pos) {
        size_t start = pos;
        pos = SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == ',') pos = SkipBlanks(text, pos + 1);
        if (pos == start || pos >= text.size()) {
            Error(ErrorKind::MissingOperand);
            return false;
        }
        return true;
    }

    // ---- expressions ----

    // The whole token must be one expression.
    bool WholeExpression(std::string_view token, Value& value) {
        size_t pos = 0;
        if (!ParseExpression(token, pos, value)) return false;
        if (pos != token.size()) {
            Error(ErrorKind::MissingOperand);
            return false;
        }
        return true;
    }

    // expression := term {(+|-) term}; term := unary {(*|/) unary};
    // unary := -unary | primary. Stops before the first character that
    // cannot continue it. False after a syntax error (already reported);
    // value errors are reported and leave a value of 0.
    bool ParseExpression(std::string_view text, size_t& pos, Value& value) {
        if (!ParseTerm(text, pos, value)) return false;
        while (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            char op = text[pos++];
            Value right;
            if (!ParseTerm(text, pos, right)) return false;
            Combine(value, right, op);
        }
        return true;
    }

    bool ParseTerm(std::string_view text, size_t& pos, Value& value) {
        if (!ParseUnary(text, pos, value)) return false;
        while (pos < text.size() && (text[pos] == '*' || text[pos] == '/')) {
            char op = text[pos++];
            Value right;
            if (!ParseUnary(text, pos, right)) return false;
            Combine(value, right, op);
        }
        return true;
    }

    // Counted rather than recursive: a line of a million minus signs must
    // not exhaust the stack.
    bool ParseUnary(std::string_view text, size_t& pos, Value& value) {
        bool negate = false;
        while (pos < text.size() && text[pos] == '-') {
            negate = !negate;
            ++pos;
        }
        if (!ParsePrimary(text, pos, value)) return false;
        if (negate) value.Number = -value.Number;
        return true;
    }

    void Combine(Value& left, const Value& right, char op) {
        if (!left.Known || !right.Known) {
            if (left.Known) left.Unknown = right.Unknown;
            left.Known = false;
            left.Number = 0;
            return;
        }
        int64_t a = left.Number, b = right.Number;
        switch (op) {
            case '+': left.Number = a + b; break;
            case '-': left.Number = a - b; break;
            case '*': left.Number = a * b; break;
            case '/':
                if (b == 0) {
                    Error(ErrorKind::MissingOperand);
                    left.Number = 0;
                    return;
                }
                left.Number = a / b;
                break;
        }
        if (left.Number > kValueLimit || left.Number < -kValueLimit) {
            Error(ErrorKind::ValueTruncated);
            left.Number = 0;
        }
    }

    bool ParsePrimary(std::string_view text, size_t& pos, Value& value) {
        value = Value{};
        if (pos >= text.size()) {
            Error(ErrorKind::MissingOperand);
            return false;
        }
        char c = text[pos];
        if (c == '*') {
            ++pos;
            value.Number = lineStart_;
            return true;
        }
        if (c == '\'') return ParseCharacter(text, pos, value);
        if (c == '$' || c == '%' || c == '@' || c == '&' || IsDigit(c)) return ParseNumber(text, pos, value);
        if (IsSymbolStart(c)) {
            size_t start = pos;
            while (pos < text.size() && IsSymbolChar(text[pos])) ++pos;
            std::string_view name = text.substr(start, pos - start);
            auto found = symbols_.find(std::string(name));
            if (found != symbols_.end() && found->second.Known) {
                value.Number = found->second.Value;
            } else {
                value.Known = false;
                value.Unknown = name;
                Error(ErrorKind::SymbolUndefined, name);
            }
            return true;
        }
        Error(ErrorKind::MissingOperand);
        return false;
    }

    bool ParseNumber(std::string_view text, size_t& pos, Value& value) {
        int base = 10;
        if (text[pos] == '$')
            base = 16, ++pos;
        else if (text[pos] == '%')
            base = 2, ++pos;
        else if (text[pos] == '@')
            base = 8, ++pos;
        else if (text[pos] == '&')
            base = 10, ++pos;
        size_t start = pos;
        while (pos < text.size() && (IsLetter(text[pos]) || IsDigit(text[pos]))) ++pos;
        std::string_view digits = text.substr(start, pos - start);
        if (digits.empty()) {
            Error(ErrorKind::InvalidNumericConstant);
            return false;
        }
        int64_t number = 0;
        bool tooLarge = false;
        for (char d : digits) {
            int digit = IsDigit(d) ? d - '0' : UpperAscii(d) - 'A' + 10;
            if (digit >= base) {
                Error(ErrorKind::InvalidNumericConstant);
                return false;
            }
            number = number * base + digit;
            if (number > kValueLimit) {
                tooLarge = true;
                number = 0;
            }
        }
        if (tooLarge) Error(ErrorKind::ValueTruncated);
        value.Number = number;
        return true;
    }

    // 'c' or, Motorola style, 'c without the closing apostrophe.
    bool ParseCharacter(std::string_view text, size_t& pos, Value& value) {
        ++pos;
        std::optional<char32_t> c;
        if (pos < text.size()) c = NextCharacter(text, pos);
        if (!c) {
            Error(ErrorKind::InvalidNumericConstant);
            return false;
        }
        if (pos < text.size() && text[pos] == '\'') ++pos;
        auto byte = EncodeWindows1250(*c);
        if (!byte) {
            Error(ErrorKind::InvalidNumericConstant);
            return false;
        }
        value.Number = *byte;
        return true;
    }

    const std::vector<std::string>& source_;
    std::vector<LinePlan> plans_;
    std::unordered_map<std::string, Symbol> symbols_;
    std::vector<std::pair<size_t, int64_t>> pendingEquates_;  // line, location
    Assembly result_;

    int pass_ = 1;
    size_t index_ = 0;
    int64_t location_ = 0;
    int64_t lineStart_ = 0;
    bool ended_ = false;
    // the line being assembled
    std::vector<uint8_t> bytes_;
    int64_t reserved_ = 0;
    bool hasAddress_ = false;
    int cycles_ = -1;
    std::vector<LineError> errors_;
};

}  // namespace

Assembly Assemble(const std::vector<std::string>& lines) { return Assembler(lines).Run(); }

}  // namespace as11m
