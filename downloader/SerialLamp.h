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
using TLedStateEvent = std::function<void(TComLed* sender, TLedState state)>;

// The names of the glyph resources of a kind (on, off); empty for lkCustom.
struct TGlyphNames {
    const char* On;
    const char* Off;
};
TGlyphNames GlyphNames(TLedKind kind);

// A glyph resource by name, drawn transparently; raises std::runtime_error
// ("Resource <name> not found") when the program does not carry it.
QImage LoadGlyphResource(const char* name);

// Makes the colour of the bottom-left pixel transparent, as a bitmap drawn
// with its own transparent colour.
void MakeTransparent(QImage& image);

class TComLed : public QWidget, public TObject {
    Q_OBJECT

public:
    explicit TComLed(QWidget* parent = nullptr);
    // Leaves the port without telling anyone: the owner may be half gone.
    ~TComLed() override;

    // Not owned; the lamp detaches when the port goes away.
    TCustomComPort* ComPort() const { return comPort_; }
    void SetComPort(TCustomComPort* value);
    TComLedSignal LedSignal() const { return ledSignal_; }
    void SetLedSignal(TComLedSignal value);
    TLedKind Kind() const { return kind_; }
    void SetKind(TLedKind value);
    const QImage& GlyphOn() const { return glyphOn_; }
    const QImage& GlyphOff() const { return glyphOff_; }
    // Only for lkCustom: value itself is made transparent, then copied.
    void SetGlyphOn(QImage& value);
    TLedState State() const { return state_; }
    // Raises EComPort code 19 while a port is set.
    void SetState(TLedState value);
    int RingDuration() const { return ringTimer_.interval(); }
    void SetRingDuration(int value);

    TLedStateEvent OnChange;

    // The form reader applies stored properties between these two.
    bool Loading() const { return loading_; }
    void BeginLoad() { loading_ = true; }
    void EndLoad() { loading_ = false; }

    // The followed line as the port reads it now; False for ring, Rx and Tx.
    bool CurrentSignalState();
    bool RingTimerActive() const { return ringTimer_.isActive(); }

protected:
    virtual void FireChange(TLedState state);
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetLedState(TLedState value);
    void SignalChanged(TObject* sender, bool onOff);
    void RingReceived(TObject* sender);
    void RingTimeout();
    void PortRemoved(TComponent* component);
    void LoadGlyphs(TLedKind kind);
    void EnsureGlyphs();
    QPoint GlyphPosition() const;
    const QImage& CurrentGlyph() const;

    TCustomComPort* comPort_ = nullptr;
    TComLedSignal ledSignal_ = lsCTS;
    TLedKind kind_ = lkRedLight;
    TLedState state_ = lsOff;
    QImage glyphOn_;
    QImage glyphOff_;
    std::unique_ptr<TComLink> link_;
    QTimer ringTimer_;
    bool loading_ = false;
};

}  // namespace Tolvex
