// The programmer's logic (unit Main's programmer commands), without windows:
// the bootstrap download of a RAM image, the erase loader and the EEPROM
// talker byte by byte on ComPort1, the hand-over to the downloader, and the
// checks before each. The main window's handlers call these with its port,
// its globals and a TProgrammerUi for the boxes, the address dialog and the
// gauge.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Messages.h"
#include "comport/SerialPort.h"
#include "platform/clock/Clock.h"
#include "platform/shell/ShellApi.h"

namespace Vantrel {

inline constexpr char ProgrammerNotFoundText[] = "Ne najdem programatorja!";
inline constexpr char ResetBeforeProgrammingText[] = "Pred programiranjem je potrebno mikrokontroler resetirati!";
inline constexpr char EraseQuestionText[] =
    "Naj EEPROM pobrišem?\r\nPred brisanjem je potrebno mikrokontroler resetirati!";
inline constexpr char AddressOutsideRamText[] = "Naslov izven prostora RAM- pomnilnika!";
// The downloader reaches the board on COM1, COM2 or COM3 only.
inline constexpr char DownloaderPortText[] = "EEPROM je mogoče programirati le na vratih COM1, COM2 ali COM3!";
inline constexpr char DownloaderProgram[] = "Tolvex.exe";

// What the commands need of the main window.
class TProgrammerUi {
public:
    virtual ~TProgrammerUi() = default;
    // A box with an OK button.
    virtual void ShowMessage(const std::string& text, TBoxKind kind) = 0;
    // A box with OK and Cancel; true for OK.
    virtual bool Confirm(const std::string& text, TBoxKind kind) = 0;
    // The address dialog TFormEENasloviBranje: the confirmed address, or
    // nothing when it was closed otherwise.
    virtual std::optional<std::string> AskEraseAddress() = 0;
    // Gauge1; a negative maxValue leaves the maximum as it is.
    virtual void SetGauge(int progress, int maxValue) = 0;
    // Between the looks of a wait: the window paints and the port's reports
    // arrive, but no user input, so no command starts inside another.
    virtual void KeepPainting() {}
    // While a download runs: the wait cursor (true), then the usual one again.
    virtual void ShowBusy(bool) {}
};

// The downloader this Vantrel started: while it runs it holds the port.
class TDownloaderWatch {
public:
    shell::StartResult Start(shell::ShellApi& shell, const std::string& parameters);
    // No downloader of ours still runs, so the port may be ours again.
    bool MayReopenPort(shell::ShellApi& shell);

private:
    shell::ProcessHandle process_ = 0;
};

// The globals the commands read and write (Main's), and the services.
struct TProgrammerContext {
    TComPort& ComPort1;
    TProgrammerUi& Ui;
    shell::ShellApi& Shell;
    timing::Clock& Clock;
    TDownloaderWatch& Downloader;
    uint8_t& PortOpen;
    uint8_t& ProgrammerFound;  // the DSR reports set it, also while a command waits
    int RamSize = 256;
    int EepromSize = 512;
    std::string ObjectName = "TEMP$$.S19";  // relative to the current directory
    std::string MemoryKind = "RAM";
};

// --- Finding the programmer

// How long a command that has just opened the port waits for the board's DSR.
inline constexpr timing::Ticks DsrWaitMs = 250;
inline constexpr timing::Ticks DsrPollMs = 5;

// Waits until programmerFound is 1 or more than DsrWaitMs have passed; between
// looks `idle` runs (the DSR reports arrive there) and the clock sleeps a few
// milliseconds. True when the programmer was found.
bool WaitForProgrammer(timing::Clock& clock, const uint8_t& programmerFound, const std::function<void()>& idle);

// --- The wire: a byte per write, each write waited for.

// Sends bytes on the port; a write that comes back short ends the download:
// nothing more goes out (port failures raise EComPort as the port does).
class TBootstrapLine {
public:
    explicit TBootstrapLine(TComPort& port) : port_(port) {}
    // oddaj: one byte; false when the write came back short (or had before).
    bool oddaj(uint8_t byte);
    // berihexpolje: the bytes of a hex text (upper-case digits, as the stored
    // programs), then $FF up to ramSize bytes in all.
    bool berihexpolje(std::string_view hexText, int ramSize);
    bool ShortWrite() const { return short_; }
    int Sent() const { return count_; }
    std::function<void()> OnByteSent;

private:
    TComPort& port_;
    bool short_ = false;
    int count_ = 0;
};

// --- RAM image

enum class TImageStatus { Ok, OutsideRam, FileError };

struct TRamImage {
    TImageStatus Status = TImageStatus::Ok;
    std::vector<uint8_t> Bytes;  // RamSize bytes, $FF where no record wrote
    int Line = 0;                // the offending line, from 1
};

// The S1 records of an object file's text as a RAM image from $0000. Every
// data byte's address must lie below ramSize; a record that is short,
// miscounted or not hex is a file error. Hex digits in either case.
TRamImage BuildRamImage(std::string_view s19Text, int ramSize);

// DownloadS19ToRam: reads the object file (found regardless of letter case),
// builds the image and sends it. Nothing is sent when the file is bad; the
// status says why.
TImageStatus DownloadS19ToRam(TBootstrapLine& line, const std::string& fileName, int ramSize);

// --- Erase address

// The address dialog's key filter: 0-9, a-f, A-F and Backspace pass; every
// other key becomes 0 (dropped).
char16_t EditPrviNaslovKeyPress(char16_t key);
// What OK accepts: exactly four hex digits.
bool IsEraseAddress(std::string_view text);
// The erase loader with its first "B600" replaced by the address (in upper case).
std::string EraseLoaderFor(std::string_view address);

// --- Downloader hand-over

// 1, 2 or 3 for "COM1".."COM3"; 0 for any other port.
int DownloaderPortNumber(const std::string& port);
// "TEMP$$.S19 2 512"; nothing for a port beyond COM3.
std::optional<std::string> DownloaderCommandLine(const std::string& objectName, const std::string& port,
                                                 int eepromSize);

// --- The commands

// ToolButton16Click: program RAM or EEPROM, chosen by MemoryKind.
void ProgramBoard(TProgrammerContext& context);
// EEPROMbrii1Click: erase the EEPROM.
void EraseEeprom(TProgrammerContext& context);
// ComPort1DSRChange: the first DSR on finds the programmer for the rest of the run.
void ComPort1DSRChange(uint8_t& programmerFound, bool on);

}  // namespace Vantrel
