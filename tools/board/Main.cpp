// hc11board: the stand-in 68HC11 board in bootstrap mode on a pseudo-terminal.
// It prints the COM mapping to give the host programs, then reports what it
// receives as it goes; on request it keeps its RAM and EEPROM as S19 files.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "common/NumberText.h"
#include "tools/board/Board.h"
#include "tools/board/PtyTransport.h"

namespace {

std::atomic<bool> Stop{false};

void OnSignal(int) { Stop = true; }

const char Usage[] =
    "usage: hc11board [options]\n"
    "  --com NAME          COM name to map the line to (default COM2)\n"
    "  --lines-file PATH   virtual-lines file for DSR (default ./hc11board.lines)\n"
    "  --ram N             RAM size in bytes (default 256)\n"
    "  --eeprom-base HEX   EEPROM start (default B600)\n"
    "  --eeprom-size N     EEPROM size in bytes (default 512)\n"
    "  --no-echo           the boot ROM does not echo\n"
    "  --dsr on|off|dtr    DSR always on, never on, or following DTR (default dtr)\n"
    "  --no-delay          erase and program without the chip's delays\n"
    "  --ram-s19 PATH      keep the RAM in this S19 file\n"
    "  --eeprom-s19 PATH   keep the EEPROM in this S19 file\n"
    "  --seconds N         stop after N seconds (default: at a signal)\n"
    "  --quiet             report notes only, not every byte\n";

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string Clock(board::Nanos t) {
    char text[32];
    std::snprintf(text, sizeof text, "%10.3f", static_cast<double>(t) / 1e9);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    board::Parameters parameters;
    parameters.ReceiverDepth = 0;
    parameters.TailGap = 200 * board::Millisecond;  // wall-clock scheduling is coarse
    parameters.ResetAfterSilence = board::Second;
    std::string com = "COM2", linesFile = "hc11board.lines", ramFile, eepromFile;
    int seconds = -1;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        auto number = [&](int& target) {
            const std::optional<int> value = hasValue ? TextToInt(argv[++i]) : std::nullopt;
            if (!value || *value < 0) return false;
            target = *value;
            return true;
        };
        bool ok = true;
        if (arg == "--help") {
            std::cout << Usage;
            return 0;
        }
        if (arg == "--com" && hasValue) {
            com = argv[++i];
        } else if (arg == "--lines-file" && hasValue) {
            linesFile = argv[++i];
        } else if (arg == "--ram") {
            ok = number(parameters.RamSize) && parameters.RamSize > 0 && parameters.RamSize <= 0x10000;
        } else if (arg == "--eeprom-size") {
            ok = number(parameters.EepromSize) && parameters.EepromSize <= 0x10000;
        } else if (arg == "--eeprom-base" && hasValue) {
            const std::optional<uint32_t> base = HexToInt(argv[++i]);
            ok = base && *base <= 0xFFFF;
            if (ok) parameters.EepromBase = static_cast<uint16_t>(*base);
        } else if (arg == "--no-echo") {
            parameters.Echo = false;
        } else if (arg == "--dsr" && hasValue) {
            const std::string mode = argv[++i];
            if (mode == "on") {
                parameters.Dsr = board::DsrMode::On;
            } else if (mode == "off") {
                parameters.Dsr = board::DsrMode::Off;
            } else if (mode == "dtr") {
                parameters.Dsr = board::DsrMode::FollowsDtr;
            } else {
                ok = false;
            }
        } else if (arg == "--no-delay") {
            parameters.ProgrammingDelay = false;
        } else if (arg == "--ram-s19" && hasValue) {
            ramFile = argv[++i];
        } else if (arg == "--eeprom-s19" && hasValue) {
            eepromFile = argv[++i];
        } else if (arg == "--seconds") {
            ok = number(seconds);
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            ok = false;
        }
        if (!ok) {
            std::cerr << "hc11board: bad argument " << arg << "\n" << Usage;
            return 2;
        }
    }

    board::Board hc11(parameters);
    board::PtyTransport line(hc11);
    std::string error;
    if (!line.Open(&error) || !line.WriteLinesFile(linesFile, &error)) {
        std::cerr << "hc11board: " << error << "\n";
        return 1;
    }
    std::cout << "VANTREL_COMPORTS=" << com << "=" << line.SlavePath() << "\n"
              << "VANTREL_PTY_LINES_FILE=" << linesFile << "\n"
              << "board: RAM " << parameters.RamSize << " bytes, EEPROM " << parameters.EepromSize << " bytes at $"
              << std::hex << std::uppercase << parameters.EepromBase << std::dec << ", waiting for $FF" << std::endl;

    auto save = [&] {
        bool ok = true;
        if (!ramFile.empty()) ok = WriteFile(ramFile, board::MemoryToS19(hc11.Ram(), 0, false)) && ok;
        if (!eepromFile.empty())
            ok = WriteFile(eepromFile, board::MemoryToS19(hc11.Eeprom(), parameters.EepromBase, true)) && ok;
        if (!ok) std::cerr << "hc11board: cannot write the memory files" << std::endl;
    };
    save();
    hc11.OnLog = [&](const board::LogEntry& entry) {
        if (entry.Kind == board::LogEntry::Note) {
            // The files first: whoever reads the note may read them at once.
            save();
            std::cout << Clock(entry.Time) << "  " << entry.Text << std::endl;
        } else if (!quiet) {
            char text[48];
            std::snprintf(text, sizeof text, "%s  %s %02X", Clock(entry.Time).c_str(),
                          entry.Kind == board::LogEntry::Received ? "<-" : "->", entry.Byte);
            std::cout << text << "\n";
        }
    };

    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    signal(SIGPIPE, SIG_IGN);
    line.Run(Stop, seconds >= 0 ? seconds * 1000 : -1);

    const board::Flags& flags = hc11.LineFlags();
    std::cout << "board: mode " << board::ModeName(hc11.CurrentMode()) << ", records programmed "
              << hc11.RecordsProgrammed() << ", bytes programmed " << hc11.BytesProgrammed() << "\n";
    if (flags.FirstByteNotFF) std::cout << "board: the first byte was not $FF\n";
    if (hc11.IncompleteBootstrap())
        std::cout << "board: incomplete bootstrap (" << hc11.BootstrapLength() << " of " << parameters.RamSize
                  << " bytes)\n";
    if (flags.BytesBeyondRamSize) std::cout << "board: " << flags.BytesBeyondRamSize << " bytes beyond the RAM size\n";
    if (flags.BytesBeforeXon) std::cout << "board: " << flags.BytesBeforeXon << " bytes before the talker's XON\n";
    save();
    return 0;
}
