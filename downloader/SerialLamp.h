// Unit SerialLamp: TComLed, a small lamp that shows one line signal of a
// serial port as an "on" or "off" picture. It follows its port through a
// TComLink, so the form that holds it needs no code; without a port the
// program switches it itself.
#pragma once

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

#include "comport/SerialPort.h"

namespace Tolvex {

enum TLedKind : uint8_t { lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb, lkCustom };
enum TLedState : uint8_t { lsOff, lsOn };

class TComLed;
using TLedStateEvent = std::function<void(TComLed* Sender, TLedState AState)>;

// The names of the glyph resources of a kind (on, off); empty for lkCustom.
struct TGlyphNames {
    const char* On;
    const char* Off;
};
TGlyphNames GlyphNames(TLedKind Kind);

// A glyph resource by name, drawn transparently; raises std::runtime_error
// ("Resource <name> not found") when the program does not carry it.
QImage LoadGlyphResource(const char* Name);

// Makes the colour of the bottom-left pixel transparent, as a bitmap drawn
// with its own transparent colour.
void MakeTransparent(QImage& Image);

class TComLed : public QWidget, public TObject {
    Q_OBJECT

public:
    explicit TComLed(QWidget* Parent = nullptr);
    // Leaves the port without telling anyone: the owner may be half gone.
    ~TComLed() override;

    // Not owned; the lamp detaches when the port goes away.
    TCustomComPort* ComPort() const { return FComPort; }
    void SetComPort(TCustomComPort* Value);
    TComLedSignal LedSignal() const { return FLedSignal; }
    void SetLedSignal(TComLedSignal Value);
    TLedKind Kind() const { return FKind; }
    void SetKind(TLedKind Value);
    const QImage& GlyphOn() const { return FGlyphOn; }
    const QImage& GlyphOff() const { return FGlyphOff; }
    // Only for lkCustom: Value itself is made transparent, then copied.
    void SetGlyphOn(QImage& Value);
    TLedState State() const { return FState; }
    // Raises EComPort code 19 while a port is set.
    void SetState(TLedState Value);
    int RingDuration() const { return FRingTimer.interval(); }
    void SetRingDuration(int Value);

    TLedStateEvent OnChange;

    // The form reader applies stored properties between these two.
    bool Loading() const { return FLoading; }
    void BeginLoad() { FLoading = true; }
    void EndLoad() { FLoading = false; }

    // The followed line as the port reads it now; False for ring, Rx and Tx.
    bool CurrentSignalState();
    bool RingTimerActive() const { return FRingTimer.isActive(); }

protected:
    virtual void FireChange(TLedState AState);
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void SetLedState(TLedState Value);
    void SignalChanged(TObject* Sender, bool OnOff);
    void RingReceived(TObject* Sender);
    void RingTimeout();
    void PortRemoved(TComponent* Component);
    void SetCustomGlyph(QImage& Glyph, QImage& Value);
    void LoadGlyphs(TLedKind Kind);
    void EnsureGlyphs();
    QPoint GlyphPosition() const;
    const QImage& CurrentGlyph() const;

    TCustomComPort* FComPort = nullptr;
    TComLedSignal FLedSignal = lsCTS;
    TLedKind FKind = lkRedLight;
    TLedState FState = lsOff;
    QImage FGlyphOn;
    QImage FGlyphOff;
    std::unique_ptr<TComLink> FLink;
    QTimer FRingTimer;
    bool FLoading = false;
};

}  // namespace Tolvex
