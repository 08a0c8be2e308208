#include "ide/Programmer.h"

#include "common/AsciiText.h"
#include "common/BootstrapPrograms.h"
#include "common/ComPortName.h"
#include "common/SRecord.h"
#include "platform/text/TextFile.h"

namespace Vantrel {

// ------------------------------------------------------------------ programmer

bool WaitForProgrammer(timing::Clock& clock, const uint8_t& programmerFound, const std::function<void()>& idle) {
    return timing::WaitFor(
        clock, [&] { return programmerFound == 1; }, DsrWaitMs, DsrPollMs, idle);
}

// ------------------------------------------------------------------ wire

bool TBootstrapLine::oddaj(uint8_t byte) {
    if (short_) return false;
    if (port_.WriteBuffer(&byte, 1) != 1) {
        short_ = true;
        return false;
    }
    ++count_;
    if (OnByteSent) OnByteSent();
    return true;
}

bool TBootstrapLine::berihexpolje(std::string_view hexText, int ramSize) {
    int count = 0;
    for (size_t i = 0; i + 1 < hexText.size(); i += 2, ++count)
        if (!oddaj(ProgrammerHexByte(hexText[i], hexText[i + 1]))) return false;
    for (; count < ramSize; ++count)
        if (!oddaj(0xFF)) return false;
    return true;
}

// ------------------------------------------------------------------ image

TRamImage BuildRamImage(std::string_view s19Text, int ramSize) {
    TRamImage image;
    image.Bytes.assign(static_cast<size_t>(std::max(ramSize, 0)), 0xFF);
    for (int line = 1; !s19Text.empty(); ++line) {
        const TSRecordLine record = LexSRecordLine(TakeLine(s19Text));
        if (record.Type != '1') continue;
        image.Line = line;
        if (!record.Whole) {
            image.Status = TImageStatus::FileError;
            return image;
        }
        for (size_t i = 0; i < record.Data.size(); ++i) {
            const uint32_t address = record.Address + static_cast<uint32_t>(i);
            if (address >= image.Bytes.size()) {
                image.Status = TImageStatus::OutsideRam;
                return image;
            }
            image.Bytes[address] = record.Data[i];
        }
    }
    image.Line = 0;
    return image;
}

TImageStatus DownloadS19ToRam(TBootstrapLine& line, const std::string& fileName, int ramSize) {
    const std::optional<std::string> path = FindFileIgnoringCase(fileName);
    if (!path) return TImageStatus::FileError;
    std::string text;
    if (ReadFileBytes(*path, &text) != TBytesRead::Okay) return TImageStatus::FileError;
    const TRamImage image = BuildRamImage(text, ramSize);
    if (image.Status != TImageStatus::Ok) return image.Status;
    for (uint8_t byte : image.Bytes)
        if (!line.oddaj(byte)) break;
    return TImageStatus::Ok;
}

// ------------------------------------------------------------------ erase address

char16_t EditPrviNaslovKeyPress(char16_t key) {
    const bool hex = (key >= '0' && key <= '9') || (key >= 'a' && key <= 'f') || (key >= 'A' && key <= 'F');
    return hex || key == 8 ? key : 0;
}

bool IsEraseAddress(std::string_view text) {
    if (text.size() != 4) return false;
    for (char c : text)
        if (EditPrviNaslovKeyPress(static_cast<unsigned char>(c)) == 0 || c == 8) return false;
    return true;
}

std::string EraseLoaderFor(std::string_view address) {
    std::string loader(EepromEraseLoader);
    const size_t at = loader.find(DefaultEraseAddress);
    loader.replace(at, DefaultEraseAddress.size(), UpperAscii(address));
    return loader;
}

// ------------------------------------------------------------------ downloader

int DownloaderPortNumber(const std::string& port) {
    const int number = ComPortNumber(port, 3);
    return port == ComPortName(number) ? number : 0;
}

std::optional<std::string> DownloaderCommandLine(const std::string& objectName, const std::string& port,
                                                 int eepromSize) {
    const int n = DownloaderPortNumber(port);
    if (n == 0) return std::nullopt;
    return objectName + " " + std::to_string(n) + " " + std::to_string(eepromSize);
}

shell::StartResult TDownloaderWatch::Start(shell::ShellApi& shell, const std::string& parameters) {
    shell::StartResult result = shell.ShellExecute(DownloaderProgram, parameters, "", shell::SW_SHOWNORMAL);
    process_ = result.Started() ? result.Process : 0;
    return result;
}

bool TDownloaderWatch::MayReopenPort(shell::ShellApi& shell) {
    if (process_ != 0 && shell.IsRunning(process_)) return false;
    process_ = 0;
    return true;
}

// ------------------------------------------------------------------ commands

namespace {

// A port that failed to open, or that the downloader had, is opened again
// here; the board's DSR answer may come a moment after the open.
void OpenPortIfClosed(TProgrammerContext& c) {
    if (c.PortOpen != 0) return;
    c.ComPort1.Open();
    c.PortOpen = 1;
    WaitForProgrammer(c.Clock, c.ProgrammerFound, [&c] { c.Ui.KeepPainting(); });
}

// Ends a command whose write came back short.
void ReportShortWrite(TProgrammerContext& c) { c.Ui.ShowMessage(BoardStoppedText, TBoxKind::Error); }

// A download keeps the user-interface thread for seconds at 1200 baud: after
// each byte the window paints, with the gauge at the bytes sent after the
// leading $FF, under the wait cursor and without taking input. The bytes and
// their order are the download's own.
class TDownloadScope {
public:
    TDownloadScope(TProgrammerUi& ui, TBootstrapLine& line, int bytes) : ui_(ui), line_(line) {
        ui_.SetGauge(0, bytes);
        ui_.ShowBusy(true);
        line_.OnByteSent = [this] {
            ui_.SetGauge(line_.Sent() - 1, -1);
            ui_.KeepPainting();
        };
    }
    ~TDownloadScope() {
        line_.OnByteSent = nullptr;
        ui_.ShowBusy(false);
    }
    TDownloadScope(const TDownloadScope&) = delete;
    TDownloadScope& operator=(const TDownloadScope&) = delete;

private:
    TProgrammerUi& ui_;
    TBootstrapLine& line_;
};

// The bytes berihexpolje sends after the $FF: the program's, or RamSize.
int HexFieldBytes(std::string_view hexText, int ramSize) {
    return std::max(static_cast<int>(hexText.size() / 2), ramSize);
}

void ProgramRam(TProgrammerContext& c, TBootstrapLine& line) {
    TImageStatus status = TImageStatus::Ok;
    {
        TDownloadScope download(c.Ui, line, c.RamSize);
        if (line.oddaj(0xFF)) status = DownloadS19ToRam(line, c.ObjectName, c.RamSize);
    }
    if (status == TImageStatus::OutsideRam) return c.Ui.ShowMessage(AddressOutsideRamText, TBoxKind::Error);
    if (status == TImageStatus::FileError) return c.Ui.ShowMessage(FileOpenErrorText, TBoxKind::Error);
    if (line.ShortWrite()) ReportShortWrite(c);
}

// The leading $FF and a stored program; false when a write came back short.
bool SendStoredProgram(TProgrammerContext& c, TBootstrapLine& line, std::string_view hexText) {
    TDownloadScope download(c.Ui, line, HexFieldBytes(hexText, c.RamSize));
    return line.oddaj(0xFF) && line.berihexpolje(hexText, c.RamSize);
}

void ProgramEeprom(TProgrammerContext& c, TBootstrapLine& line) {
    const std::optional<std::string> parameters = DownloaderCommandLine(c.ObjectName, c.ComPort1.Port(), c.EepromSize);
    if (!parameters) return c.Ui.ShowMessage(DownloaderPortText, TBoxKind::Error);
    if (!SendStoredProgram(c, line, EepromTalker)) return ReportShortWrite(c);
    c.ComPort1.Close();
    const shell::StartResult started = c.Downloader.Start(c.Shell, *parameters);
    if (!started.Started()) c.Ui.ShowMessage(started.Error, TBoxKind::Error);
    c.PortOpen = 0;
}

}  // namespace

void ProgramBoard(TProgrammerContext& c) {
    c.Ui.SetGauge(0, -1);
    OpenPortIfClosed(c);
    if (c.ProgrammerFound != 1) return c.Ui.ShowMessage(ProgrammerNotFoundText, TBoxKind::Error);
    c.Ui.ShowMessage(ResetBeforeProgrammingText, TBoxKind::Warning);
    TBootstrapLine line(c.ComPort1);
    if (c.MemoryKind == "RAM") {
        ProgramRam(c, line);
    } else {
        ProgramEeprom(c, line);
    }
}

void EraseEeprom(TProgrammerContext& c) {
    OpenPortIfClosed(c);
    std::string loader(EepromEraseLoader);
    // The dialog's OK takes four hex digits only; anything else keeps B600.
    const std::optional<std::string> address = c.Ui.AskEraseAddress();
    if (address && IsEraseAddress(*address)) loader = EraseLoaderFor(*address);
    if (c.ProgrammerFound != 1) return c.Ui.ShowMessage(ProgrammerNotFoundText, TBoxKind::Error);
    if (!c.Ui.Confirm(EraseQuestionText, TBoxKind::Warning)) return;
    TBootstrapLine line(c.ComPort1);
    if (!SendStoredProgram(c, line, loader)) ReportShortWrite(c);
}

void ComPort1DSRChange(uint8_t& programmerFound, bool on) {
    if (on) programmerFound = 1;
}

}  // namespace Vantrel
