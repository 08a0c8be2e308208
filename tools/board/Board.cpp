#include "tools/board/Board.h"

#include <algorithm>
#include <cstdio>

#include "common/BootstrapPrograms.h"
#include "common/SRecord.h"

namespace board {

namespace {

constexpr uint8_t Xon = 0x11;
constexpr uint8_t Xoff = 0x13;
// Talker work area and code, by RAM address.
constexpr uint16_t AddressHigh = 0x00, AddressLow = 0x01, CountHigh = 0x02, Count = 0x03, DownCounter = 0x04,
                   PointerHigh = 0x05, PointerLow = 0x06, Buffer = 0x07;
// From here on the talker's code still runs; a record buffered over it ends it.
constexpr uint16_t TalkerLiveCode = 0x48;
constexpr Nanos EraseDelay = 14 * Millisecond;            // 4000 passes of 7 E cycles at 2 MHz
constexpr Nanos ProgramStepDelay = 10'500'000;            // 3000 passes: 10.5 ms
constexpr Nanos ChangedByteDelay = 2 * ProgramStepDelay;  // byte erase, then program

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "$%04X", value & 0xFFFF);
    return text;
}

bool Matches(const std::vector<uint8_t>& ram, const std::vector<uint8_t>& program, bool skipOperand) {
    if (ram.size() < program.size()) return false;
    for (size_t i = 0; i < program.size(); ++i) {
        if (skipOperand && (i == EraseAddressOffset || i == EraseAddressOffset + 1)) continue;
        if (ram[i] != program[i]) return false;
    }
    return true;
}

}  // namespace

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::BootRom: return "boot ROM";
        case Mode::Erase: return "erase loader";
        case Mode::Talker: return "EEPROM talker";
        case Mode::UserProgram: return "user program";
    }
    return "";
}

Board::Board(Parameters parameters)
    : params_(parameters),
      ram_(static_cast<size_t>(std::max(parameters.RamSize, 0)), 0),
      eeprom_(static_cast<size_t>(std::max(parameters.EepromSize, 0)), 0xFF) {}

bool Board::Dsr(bool hostDtr) const {
    switch (params_.Dsr) {
        case DsrMode::On: return true;
        case DsrMode::Off: return false;
        case DsrMode::FollowsDtr: return hostDtr;
    }
    return false;
}

void Board::note(Nanos now, std::string text) {
    log_.push_back({LogEntry::Note, now, 0, std::move(text)});
    if (OnLog) OnLog(log_.back());
}

void Board::send(uint8_t byte, Nanos now) {
    log_.push_back({LogEntry::Sent, now, byte, {}});
    if (OnLog) OnLog(log_.back());
    if (Transmit) Transmit(byte, now);
}

void Board::Reset(Nanos now) {
    mode_ = Mode::BootRom;
    step_ = Step::WaitFF;
    rx_.clear();
    busyUntil_.reset();
    pendingWrite_ = false;
    firstSinceReset_ = true;
    tailOpen_ = false;
    programTime_ = now;
    note(now, "reset: bootstrap mode");
}

void Board::Receive(uint8_t byte, Nanos now) {
    Advance(now);
    const bool silence =
        lastReceived_ && params_.ResetAfterSilence > 0 && now - *lastReceived_ >= params_.ResetAfterSilence;
    const bool inTail = tailOpen_ && lastReceived_ && now - *lastReceived_ <= params_.TailGap;
    lastReceived_ = now;
    log_.push_back({LogEntry::Received, now, byte, {}});
    if (OnLog) OnLog(log_.back());

    // A reset works wherever the board stands, half-way through a bootstrap
    // or a record's programming too (the talker's XOFF keeps a host silent
    // then); only the $FF the boot ROM or the talker waits for is theirs.
    const bool waitsForThisFF = step_ == Step::WaitFF || step_ == Step::TalkerWaitFF;
    if (silence && byte == 0xFF && !waitsForThisFF) Reset(now);
    if (inTail) {
        ++flags_.BytesBeyondRamSize;
    } else {
        tailOpen_ = false;
    }
    if (mode_ == Mode::Talker && step_ == Step::TalkerProgram) ++flags_.BytesBeforeXon;

    if (params_.ReceiverDepth > 0 && rx_.size() >= static_cast<size_t>(params_.ReceiverDepth)) {
        ++flags_.Overruns;
        note(now, "receiver overrun: byte lost");
        return;
    }
    rx_.push_back({byte, now});
    Advance(now);
}

bool Board::waitsForByte() const {
    switch (step_) {
        case Step::Idle:
        case Step::Erasing:
        case Step::TalkerProgram:
        case Step::Stopped: return false;
        default: return true;
    }
}

std::optional<Nanos> Board::NextWake() const { return busyUntil_; }

void Board::Advance(Nanos now) {
    for (;;) {
        if (busyUntil_) {
            if (*busyUntil_ > now) return;
            programTime_ = *busyUntil_;
            busyUntil_.reset();
            if (step_ == Step::Erasing) {
                finishErase(programTime_);
            } else if (step_ == Step::TalkerProgram) {
                programNextByte(programTime_);
            }
            continue;
        }
        if (step_ == Step::TalkerProgram) {
            // On the program's own time, however late the transport asks:
            // the next byte's delay starts when the last one's ended.
            programNextByte(programTime_);
            continue;
        }
        if (!waitsForByte() || rx_.empty()) return;
        const Arrival arrival = rx_.front();
        rx_.pop_front();
        programTime_ = std::max(programTime_, arrival.Time);
        takeByte(arrival.Byte, programTime_);
    }
}

void Board::takeByte(uint8_t byte, Nanos now) {
    switch (step_) {
        case Step::WaitFF:
            if (byte == 0xFF) {
                step_ = Step::Loading;
                loaded_ = 0;
            } else if (firstSinceReset_) {
                flags_.FirstByteNotFF = true;
                note(now, "first byte is not $FF");
            }
            firstSinceReset_ = false;
            break;
        case Step::Loading:
            ram_[static_cast<size_t>(loaded_++)] = byte;
            if (params_.Echo) send(byte, now);
            if (loaded_ == params_.RamSize) startProgram(now);
            break;
        case Step::TalkerWaitFF:
            if (byte == 0xFF) startRecord(now);
            break;
        case Step::TalkerCount:
            writeMemory(Count, byte);
            writeMemory(DownCounter, byte);
            step_ = Step::TalkerHigh;
            break;
        case Step::TalkerHigh:
            writeMemory(AddressHigh, byte);
            step_ = Step::TalkerLow;
            break;
        case Step::TalkerLow:
            writeMemory(AddressLow, byte);
            y_ = static_cast<uint16_t>(readMemory(AddressHigh) << 8 | readMemory(AddressLow));
            writeMemory(PointerHigh, 0);
            writeMemory(PointerLow, Buffer);
            step_ = Step::TalkerData;
            break;
        case Step::TalkerData: {
            const uint16_t pointer = static_cast<uint16_t>(readMemory(PointerHigh) << 8 | readMemory(PointerLow));
            if (pointer >= TalkerLiveCode && pointer < EepromTalkerSize) {
                step_ = Step::Stopped;
                note(now, "record longer than the talker's buffer: its code is overwritten, the talker stops");
                break;
            }
            writeMemory(pointer, byte);
            writeMemory(PointerLow, static_cast<uint8_t>(readMemory(PointerLow) + 1));
            ++y_;
            const uint8_t left = static_cast<uint8_t>(readMemory(DownCounter) - 1);
            writeMemory(DownCounter, left);
            if (left == 0) {
                send(Xoff, now);
                step_ = Step::TalkerFiller1;
            }
            break;
        }
        case Step::TalkerFiller1: step_ = Step::TalkerFiller2; break;
        case Step::TalkerFiller2: {
            const uint16_t n = static_cast<uint16_t>(readMemory(CountHigh) << 8 | readMemory(Count));
            y_ = static_cast<uint16_t>(y_ - n);
            writeMemory(DownCounter, readMemory(Count));
            writeMemory(PointerHigh, 0);
            writeMemory(PointerLow, Buffer);
            changed_ = 0;
            pendingWrite_ = false;
            step_ = Step::TalkerProgram;
            break;
        }
        default: break;
    }
}

void Board::startProgram(Nanos now) {
    tailOpen_ = true;
    const std::vector<uint8_t> loader = StoredProgramBytes(EepromEraseLoader);
    const std::vector<uint8_t> talker = StoredProgramBytes(EepromTalker);
    if (Matches(ram_, loader, true)) {
        mode_ = Mode::Erase;
        eraseAddress_ = static_cast<uint16_t>(ram_[EraseAddressOffset] << 8 | ram_[EraseAddressOffset + 1]);
        note(now, "bootstrap of " + std::to_string(loaded_) + " bytes: erase loader, address " + Hex4(eraseAddress_));
        step_ = Step::Erasing;
        busyUntil_ = now + (params_.ProgrammingDelay ? EraseDelay : 0);
    } else if (Matches(ram_, talker, false)) {
        mode_ = Mode::Talker;
        records_ = 0;
        programmed_ = 0;
        note(now, "bootstrap of " + std::to_string(loaded_) + " bytes: EEPROM talker");
        writeMemory(CountHigh, 0);
        step_ = Step::TalkerWaitFF;
    } else {
        mode_ = Mode::UserProgram;
        note(now, "bootstrap of " + std::to_string(loaded_) + " bytes: user program");
        step_ = Step::Idle;
    }
}

void Board::finishErase(Nanos now) {
    step_ = Step::Idle;
    if (isEeprom(eraseAddress_)) {
        std::fill(eeprom_.begin(), eeprom_.end(), 0xFF);
        note(now, "EEPROM erased");
    } else {
        note(now, "erase address " + Hex4(eraseAddress_) + " is not in the EEPROM: nothing erased");
    }
}

void Board::startRecord(Nanos now) {
    send(Xon, now);
    step_ = Step::TalkerCount;
}

// One step of the talker's programming loop; a changed byte first takes its
// erase and program time, then lands.
void Board::programNextByte(Nanos now) {
    const uint16_t pointer = static_cast<uint16_t>(readMemory(PointerHigh) << 8 | readMemory(PointerLow));
    const uint8_t value = readMemory(pointer);
    if (!pendingWrite_ && readMemory(y_) != value) {
        pendingWrite_ = true;
        busyUntil_ = now + (params_.ProgrammingDelay ? ChangedByteDelay : 0);
        return;
    }
    if (pendingWrite_) {
        pendingWrite_ = false;
        ++changed_;
        ++programmed_;
        if (!writeMemory(y_, value)) note(now, "address " + Hex4(y_) + " is neither RAM nor EEPROM: byte dropped");
    }
    writeMemory(PointerLow, static_cast<uint8_t>(readMemory(PointerLow) + 1));
    ++y_;
    const uint8_t left = static_cast<uint8_t>(readMemory(DownCounter) - 1);
    writeMemory(DownCounter, left);
    if (left != 0) return;
    ++records_;
    const int n = readMemory(Count) == 0 ? 256 : readMemory(Count);
    const uint16_t start = static_cast<uint16_t>(y_ - n);
    note(now, "record " + std::to_string(records_) + ": " + std::to_string(n) + " bytes at " + Hex4(start) + ", " +
                  std::to_string(changed_) + " programmed");
    startRecord(now);
}

bool Board::isEeprom(uint16_t address) const {
    return address >= params_.EepromBase && address - params_.EepromBase < params_.EepromSize;
}

uint8_t Board::readMemory(uint16_t address) const {
    if (address < ram_.size()) return ram_[address];
    if (isEeprom(address)) return eeprom_[address - params_.EepromBase];
    return 0xFF;
}

bool Board::writeMemory(uint16_t address, uint8_t value) {
    if (address < ram_.size()) {
        ram_[address] = value;
        return true;
    }
    if (isEeprom(address)) {
        eeprom_[address - params_.EepromBase] = value;
        return true;
    }
    return false;
}

std::string MemoryToS19(const std::vector<uint8_t>& bytes, uint16_t base, bool skipErased) {
    std::string text;
    char field[16];
    for (size_t at = 0; at < bytes.size();) {
        if (skipErased && bytes[at] == 0xFF) {
            ++at;
            continue;
        }
        size_t end = std::min(bytes.size(), at + 16);
        if (skipErased) {
            size_t stop = at;
            while (stop < end && bytes[stop] != 0xFF) ++stop;
            end = stop;
        }
        const unsigned address = (base + at) & 0xFFFF;
        const unsigned count = static_cast<unsigned>(end - at) + 3;
        unsigned sum = count + (address >> 8) + (address & 0xFF);
        std::snprintf(field, sizeof field, "S1%02X%04X", count, address);
        text += field;
        for (size_t i = at; i < end; ++i) {
            std::snprintf(field, sizeof field, "%02X", bytes[i]);
            text += field;
            sum += bytes[i];
        }
        std::snprintf(field, sizeof field, "%02X\n", ~sum & 0xFF);
        text += field;
        at = end;
    }
    text += "S9030000FC\n";
    return text;
}

bool S19ToMemory(std::string_view text, uint16_t base, std::vector<uint8_t>& bytes, std::string* error) {
    for (int line = 1; !text.empty(); ++line) {
        const TSRecordLine record = LexSRecordLine(TakeLine(text));
        if (record.Blank || record.Type != '1') continue;
        if (!record.Whole) {
            if (error) *error = "line " + std::to_string(line) + ": broken S1 record";
            return false;
        }
        for (size_t i = 0; i < record.Data.size(); ++i) {
            const long index = static_cast<long>(record.Address + i) - base;
            if (index < 0 || index >= static_cast<long>(bytes.size())) {
                if (error) *error = "line " + std::to_string(line) + ": address outside the memory";
                return false;
            }
            bytes[static_cast<size_t>(index)] = record.Data[i];
        }
    }
    return true;
}

}  // namespace board
