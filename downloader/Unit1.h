// Unit1: the downloader's one window. It reads the command line, opens the
// port it names, converts the object file's S1 records into the record
// stream at the second tick of its timer, sends the stream one byte per
// transmit-empty event while the board paces it with XON/XOFF, and ends the
// program after the last byte.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Messages.h"
#include "comport/SerialPort.h"
#include "downloader/CommandLine.h"

class QCloseEvent;
class QLabel;
class QProgressBar;
class QTimer;

namespace Tolvex {

class TComLed;

inline constexpr char TooLongText[] = "Programska koda je predolga!";

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // Creating the window runs FormCreate.
    TForm1(comm::CommApi& api, TParameters parameters, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- Components
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    TComLed* ComLed1 = nullptr;
    std::unique_ptr<TComPort> ComPort1;
    QTimer* Timer1 = nullptr;

    // --- The program's state
    std::string ObjectName;
    int Capacity = 0;  // EEPROM bytes: limit of the stream and base of the gauge
    // The stream without its start byte, then the end byte.
    std::vector<uint8_t> SendBuffer;
    int SendLength = 0;  // stream bytes in SendBuffer, the end byte not counted
    int SendPos = 0;     // index of the next SendBuffer byte to write
    uint8_t Sending = 0;
    uint8_t TimerArmed = 0;

    // --- Handlers and operations
    void FormCreate();
    void Timer1Timer();
    void StartTransfer();
    void LoadS19(const QString& fileName);
    // True when the port took the byte; false when its write timed out.
    bool SendByte(uint8_t byte);
    void ComPort1TxEmpty(TObject* sender);
    bool FormCloseQuery();

    // The last byte went out and the program is ending.
    bool Terminated() const { return terminated_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents(comm::CommApi& api);
    void ConfigureComPort();
    void LoadComLed();
    bool SendStreamByte(uint8_t byte);
    void TerminateApplication();

    TParameters parameters_;
    bool terminated_ = false;
};

}  // namespace Tolvex
