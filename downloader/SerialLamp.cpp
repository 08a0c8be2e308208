#include "downloader/SerialLamp.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <stdexcept>
#include <string>

// The glyphs are built into a static library: its resources must be
// registered by name, outside any namespace.
static void InitLampGlyphs() { Q_INIT_RESOURCE(LampGlyphs); }

namespace Tolvex {

namespace {

constexpr TGlyphNames kGlyphNames[] = {
    {"LEDREDON", "LEDREDOFF"},       {"LEDGREENON", "LEDGREENOFF"},   {"LEDBLUEON", "LEDBLUEOFF"},
    {"LEDYELLOWON", "LEDYELLOWOFF"}, {"LEDPURPLEON", "LEDPURPLEOFF"}, {"LEDBULBON", "LEDBULBOFF"},
};

}  // namespace

TGlyphNames GlyphNames(TLedKind Kind) {
    if (Kind >= lkCustom) return {"", ""};
    return kGlyphNames[Kind];
}

void MakeTransparent(QImage& Image) {
    if (Image.isNull()) return;
    Image = Image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = Image.pixel(0, Image.height() - 1);
    for (int y = 0; y < Image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(Image.scanLine(y));
        for (int x = 0; x < Image.width(); ++x)
            if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
    }
}

QImage LoadGlyphResource(const char* Name) {
    static const bool registered = (InitLampGlyphs(), true);
    (void)registered;
    QImage image(QStringLiteral(":/glyphs/") + QString::fromLatin1(Name), "XPM");
    if (image.isNull()) throw std::runtime_error(std::string("Resource ") + Name + " not found");
    MakeTransparent(image);
    return image;
}

// ------------------------------------------------------------------ lamp

TComLed::TComLed(QWidget* Parent) : QWidget(Parent), FLink(std::make_unique<TComLink>()) {
    resize(25, 25);
    // Windowless in spirit: the parent's surface shows around the glyph.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    FLink->CTSCallback = [this](TObject* Sender, bool OnOff) { SignalChanged(Sender, OnOff); };
    FRingTimer.setInterval(1000);
    connect(&FRingTimer, &QTimer::timeout, this, [this] { RingTimeout(); });
}

TComLed::~TComLed() {
    FRingTimer.stop();
    if (FComPort) {
        try {
            FComPort->RemoveLink(FLink.get());
        } catch (const EComPort&) {
            // Never registered twice, so never missing: nothing to undo.
        }
        FComPort->RemoveFreeNotification(this);
        FComPort = nullptr;
    }
}

void TComLed::SetComPort(TCustomComPort* Value) {
    if (Value == FComPort) return;
    if (FComPort) {
        FComPort->RemoveLink(FLink.get());
        FComPort->RemoveFreeNotification(this);
    }
    FComPort = Value;
    if (!Value) {
        SetLedState(lsOff);
        return;
    }
    Value->FreeNotification(this, [this](TComponent* Component) { PortRemoved(Component); });
    Value->AddLink(FLink.get());
    if (Value->Connected() && !Loading()) SetLedState(CurrentSignalState() ? lsOn : lsOff);
}

void TComLed::SetLedSignal(TComLedSignal Value) {
    if (Value == FLedSignal) return;
    FLedSignal = Value;
    TComLink& link = *FLink;
    link.CTSCallback = nullptr;
    link.DSRCallback = nullptr;
    link.RLSDCallback = nullptr;
    link.RingCallback = nullptr;
    link.TxCallback = nullptr;
    link.RxCallback = nullptr;
    const TComSignalEvent changed = [this](TObject* Sender, bool OnOff) { SignalChanged(Sender, OnOff); };
    switch (Value) {
        case lsCTS: link.CTSCallback = changed; break;
        case lsDSR: link.DSRCallback = changed; break;
        case lsRLSD: link.RLSDCallback = changed; break;
        case lsRx: link.RxCallback = changed; break;
        case lsTx: link.TxCallback = changed; break;
        case lsRing: link.RingCallback = [this](TObject* Sender) { RingReceived(Sender); }; break;
    }
}

void TComLed::SetKind(TLedKind Value) {
    if (Value == FKind) return;
    FKind = Value;
    LoadGlyphs(Value);
    update();
}

void TComLed::SetGlyphOn(QImage& Value) { SetCustomGlyph(FGlyphOn, Value); }

void TComLed::SetCustomGlyph(QImage& Glyph, QImage& Value) {
    if (FKind != lkCustom) return;
    MakeTransparent(Value);
    Glyph = Value.copy();
    update();
}

void TComLed::SetState(TLedState Value) {
    if (FComPort) throw EComPort(CError_LedStateFailed);
    SetLedState(Value);
}

void TComLed::SetRingDuration(int Value) {
    // A running ring starts again with the new length.
    const bool running = FRingTimer.isActive();
    FRingTimer.setInterval(Value);
    if (running) FRingTimer.start();
}

bool TComLed::CurrentSignalState() {
    switch (FLedSignal) {
        case lsCTS: return FComPort->ModemSignals().Contains(msCTS);
        case lsDSR: return FComPort->ModemSignals().Contains(msDSR);
        case lsRLSD: return FComPort->ModemSignals().Contains(msRLSD);
        default: return false;  // no line to read
    }
}

// Compares with nothing: every call tells OnChange and repaints.
void TComLed::SetLedState(TLedState Value) {
    FState = Value;
    if (!Loading()) FireChange(Value);
    update();
}

void TComLed::FireChange(TLedState AState) {
    if (OnChange) OnChange(this, AState);
}

void TComLed::SignalChanged(TObject*, bool OnOff) {
    SetLedState(OnOff ? lsOn : lsOff);
    // Shown at once, even in the middle of long work.
    QCoreApplication::processEvents();
}

void TComLed::RingReceived(TObject*) {
    // A second ring while lit does not lengthen the lit time.
    if (!FRingTimer.isActive()) FRingTimer.start();
    SetLedState(lsOn);
}

void TComLed::RingTimeout() {
    FRingTimer.stop();
    SetLedState(lsOff);
}

void TComLed::PortRemoved(TComponent* Component) {
    if (Component == FComPort) SetComPort(nullptr);
}

// ------------------------------------------------------------------ painting

void TComLed::LoadGlyphs(TLedKind Kind) {
    if (Kind == lkCustom) return;
    const TGlyphNames names = GlyphNames(Kind);
    FGlyphOn = LoadGlyphResource(names.On);
    FGlyphOff = LoadGlyphResource(names.Off);
}

void TComLed::EnsureGlyphs() {
    if (FGlyphOn.isNull() || FGlyphOff.isNull()) LoadGlyphs(FKind);
}

// Centred, but never left of or above the client area.
QPoint TComLed::GlyphPosition() const {
    const QImage& glyph = FState == lsOn ? FGlyphOn : FGlyphOff;
    const QRect client = rect();
    return {client.left() + std::max(0, (client.width() - glyph.width()) / 2),
            client.top() + std::max(0, (client.height() - glyph.height()) / 2)};
}

// A disabled lamp always looks off.
const QImage& TComLed::CurrentGlyph() const { return isEnabled() && FState == lsOn ? FGlyphOn : FGlyphOff; }

void TComLed::paintEvent(QPaintEvent*) {
    try {
        EnsureGlyphs();
    } catch (const std::exception& e) {
        // A paint cannot report: the lamp stays blank.
        qWarning("%s", e.what());
        return;
    }
    QPainter painter(this);
    painter.drawImage(GlyphPosition(), CurrentGlyph());
}

void TComLed::changeEvent(QEvent* Event) {
    if (Event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(Event);
}

}  // namespace Tolvex
