#include "downloader/Unit1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <stdexcept>

#include "comport/BoardPort.h"
#include "downloader/RecordStream.h"
#include "downloader/SerialLamp.h"
#include "gui/Dialogs.h"
#include "gui/Guard.h"
#include "platform/text/TextFile.h"

namespace Tolvex {

TForm1::TForm1(comm::CommApi& api, TParameters parameters, QWidget* parent)
    : QWidget(parent), parameters_(std::move(parameters)) {
    CreateComponents(api);
    gui::Guarded(this, [this] { FormCreate(); });
    Timer1->start();
}

TForm1::~TForm1() {
    Timer1->stop();
    // The lamp lets go first: a closing port would have it pump events into
    // a window on its way out.
    ComLed1->SetComPort(nullptr);
    ComPort1->OnTxEmpty = nullptr;
    ComPort1.reset();
}

// The window as designed: 226 by 128 pixels, Times New Roman.
void TForm1::CreateComponents(comm::CommApi& api) {
    setFixedSize(226, 128);
    setFont(QFont(QStringLiteral("Times New Roman"), 10));
    setWindowTitle(QStringLiteral("Tolvex"));

    Label1 = new QLabel(QStringLiteral("DATOTEKA: "), this);
    Label1->move(8, 8);
    Label2 = new QLabel(QStringLiteral("KAPACITETA: "), this);
    Label2->move(8, 24);
    for (QLabel* label : {Label1, Label2}) label->resize(170, 16);

    Gauge1 = new QProgressBar(this);
    Gauge1->setGeometry(8, 48, 201, 41);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setFormat(QStringLiteral("%p%"));

    ComLed1 = new TComLed(this);
    ComLed1->setGeometry(184, 8, 25, 25);

    ComPort1 = std::make_unique<TComPort>(api);
    ConfigureComPort();
    LoadComLed();

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    gui::ConnectGuarded(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

// 1200 8N1; the board paces the output with XON/XOFF; one byte in flight.
// The port is not opened here: only the port the command line names is.
void TForm1::ConfigureComPort() {
    TComPort& port = *ComPort1;
    ConfigureBoardPort(port, TBoardPortUse::RecordStream);
    port.OnTxEmpty = [this](TObject* sender) { gui::Guarded(this, [this, sender] { ComPort1TxEmpty(sender); }); };
}

// The lamp's stored properties in their order; its port is bound while it
// is still loading, so it shows DSR from the port's first open on.
void TForm1::LoadComLed() {
    ComLed1->BeginLoad();
    ComLed1->SetLedSignal(lsDSR);
    ComLed1->SetKind(lkRedLight);
    ComLed1->SetState(lsOff);
    ComLed1->SetRingDuration(1000);
    ComLed1->SetComPort(ComPort1.get());
    ComLed1->EndLoad();
}

void TForm1::FormCreate() {
    TimerArmed = 0;
    ObjectName = ParamStr(parameters_, 1);
    ComPort1->SetPort(DownloaderPortName(StrToInt(ParamStr(parameters_, 2))));
    Capacity = StrToInt(ParamStr(parameters_, 3));
    setWindowTitle(QStringLiteral("Programator EEPROMA!"));
    Label1->setText(QStringLiteral("DATOTEKA: ") + QString::fromStdString(ObjectName));
    Label2->setText(QStringLiteral("KAPACITETA: %1 B").arg(Capacity));
    try {
        ComPort1->Open();
    } catch (const EComPort& e) {
        // The port's own text names no port: say which one to free or plug in.
        throw std::runtime_error(ComPort1->Port() + ": " + e.what());
    }
    Sending = 0;
    ComPort1->SetDTR(true);
}

// The first tick only arms: the transfer never starts earlier than about a
// second after the window appeared.
void TForm1::Timer1Timer() {
    if (TimerArmed == 0) {
        TimerArmed = 1;
        return;
    }
    StartTransfer();
}

// Looks for the object file in the current folder at every tick; once found,
// the ticks stop, so the stream goes out once.
void TForm1::StartTransfer() {
    if (!ComPort1->Connected()) return;  // the command line named no usable port
    const QString path = QDir::current().filePath(QString::fromStdString(ObjectName));
    const std::optional<std::string> found = FindFileIgnoringCase(path.toStdString());
    if (!found) return;
    Timer1->stop();
    LoadS19(QString::fromStdString(*found));
}

void TForm1::LoadS19(const QString& fileName) {
    std::string text;
    if (ReadFileBytes(fileName.toStdString(), &text) != TBytesRead::Okay) {
        gui::ShowBox(this, TBoxKind::Error, QString::fromUtf8(FileOpenErrorText));
        return;
    }
    SendLength = 0;
    SendPos = 0;
    TRecordStream stream =
        BuildEepromRecordStream(text, Capacity, [this](int progress) { Gauge1->setValue(progress); });
    SendLength = stream.SendLength();
    SendBuffer = std::move(stream.SendBuffer);
    // Armed before the start byte, whose transmit-empty event begins the chain.
    Sending = stream.Status == TRecordStream::Okay ? 1 : 0;
    if (!SendStreamByte(StreamStartByte)) return;
    switch (stream.Status) {
        case TRecordStream::Okay: break;
        case TRecordStream::TooLong: gui::ShowBox(this, TBoxKind::Error, QString::fromUtf8(TooLongText)); break;
        case TRecordStream::BadRecord:
            gui::ShowBox(
                this, TBoxKind::Error,
                QStringLiteral("Napačen zapis S1 v vrstici %1 datoteke %2:\n%3")
                    .arg(stream.BadLine)
                    .arg(QString::fromStdString(ObjectName))
                    .arg(QString::fromUtf8(stream.BadText.data(), static_cast<qsizetype>(stream.BadText.size()))));
            break;
    }
}

bool TForm1::SendByte(uint8_t byte) { return ComPort1->WriteBuffer(&byte, 1) == 1; }

// A write that timed out (the board held XOFF too long) or failed ends the
// transfer: sending on would shift every later byte into the wrong place.
bool TForm1::SendStreamByte(uint8_t byte) {
    bool written = false;
    try {
        written = SendByte(byte);
    } catch (...) {
        Sending = 0;
        throw;
    }
    if (!written) {
        Sending = 0;
        gui::ShowBox(this, TBoxKind::Error, QString::fromUtf8(BoardStoppedText));
    }
    return written;
}

// Each transmit-empty event sends the next byte.
void TForm1::ComPort1TxEmpty(TObject*) {
    if (Sending != 1) return;
    if (!SendStreamByte(SendBuffer[static_cast<size_t>(SendPos)])) return;
    if (SendPos == SendLength) {
        Sending = 0;
        TerminateApplication();
        return;
    }
    ++SendPos;
}

// The write of the end byte has returned, so the driver holds it; closing the
// port lets what is on the line finish before the handle goes.
void TForm1::TerminateApplication() {
    terminated_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            close();
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
}

bool TForm1::FormCloseQuery() {
    ComPort1->Close();
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    gui::Guarded(this, [this] { FormCloseQuery(); });
    event->accept();
}

}  // namespace Tolvex
