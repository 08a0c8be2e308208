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

constexpr TGlyphNames KindGlyphNames[] = {
    {"LEDREDON", "LEDREDOFF"},       {"LEDGREENON", "LEDGREENOFF"},   {"LEDBLUEON", "LEDBLUEOFF"},
    {"LEDYELLOWON", "LEDYELLOWOFF"}, {"LEDPURPLEON", "LEDPURPLEOFF"}, {"LEDBULBON", "LEDBULBOFF"},
};

}  // namespace

TGlyphNames GlyphNames(TLedKind kind) {
    if (kind >= lkCustom) return {"", ""};
    return KindGlyphNames[kind];
}

void MakeTransparent(QImage& image) {
    if (image.isNull()) return;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
    }
}

QImage LoadGlyphResource(const char* name) {
    static const bool registered = (InitLampGlyphs(), true);
    (void)registered;
    QImage image(QStringLiteral(":/glyphs/") + QString::fromLatin1(name), "XPM");
    if (image.isNull()) throw std::runtime_error(std::string("Resource ") + name + " not found");
    MakeTransparent(image);
    return image;
}

// ------------------------------------------------------------------ lamp

TComLed::TComLed(QWidget* parent) : QWidget(parent), link_(std::make_unique<TComLink>()) {
    resize(25, 25);
    // Windowless in spirit: the parent's surface shows around the glyph.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    link_->CTSCallback = [this](TObject* sender, bool onOff) { SignalChanged(sender, onOff); };
    ringTimer_.setInterval(1000);
    connect(&ringTimer_, &QTimer::timeout, this, [this] { RingTimeout(); });
}

TComLed::~TComLed() {
    ringTimer_.stop();
    if (comPort_) {
        try {
            comPort_->RemoveLink(link_.get());
        } catch (const EComPort&) {
            // Never registered twice, so never missing: nothing to undo.
        }
        comPort_->RemoveFreeNotification(this);
        comPort_ = nullptr;
    }
}

void TComLed::SetComPort(TCustomComPort* value) {
    if (value == comPort_) return;
    if (comPort_) {
        comPort_->RemoveLink(link_.get());
        comPort_->RemoveFreeNotification(this);
    }
    comPort_ = value;
    if (!value) {
        SetLedState(lsOff);
        return;
    }
    value->FreeNotification(this, [this](TComponent* component) { PortRemoved(component); });
    value->AddLink(link_.get());
    if (value->Connected() && !Loading()) SetLedState(CurrentSignalState() ? lsOn : lsOff);
}

void TComLed::SetLedSignal(TComLedSignal value) {
    if (value == ledSignal_) return;
    ledSignal_ = value;
    TComLink& link = *link_;
    link.CTSCallback = nullptr;
    link.DSRCallback = nullptr;
    link.RLSDCallback = nullptr;
    link.RingCallback = nullptr;
    link.TxCallback = nullptr;
    link.RxCallback = nullptr;
    const TComSignalEvent changed = [this](TObject* sender, bool onOff) { SignalChanged(sender, onOff); };
    switch (value) {
        case lsCTS: link.CTSCallback = changed; break;
        case lsDSR: link.DSRCallback = changed; break;
        case lsRLSD: link.RLSDCallback = changed; break;
        case lsRx: link.RxCallback = changed; break;
        case lsTx: link.TxCallback = changed; break;
        case lsRing: link.RingCallback = [this](TObject* sender) { RingReceived(sender); }; break;
    }
}

void TComLed::SetKind(TLedKind value) {
    if (value == kind_) return;
    kind_ = value;
    LoadGlyphs(value);
    update();
}

void TComLed::SetGlyphOn(QImage& value) {
    if (kind_ != lkCustom) return;
    MakeTransparent(value);
    glyphOn_ = value.copy();
    update();
}

void TComLed::SetState(TLedState value) {
    if (comPort_) throw EComPort(CError_LedStateFailed);
    SetLedState(value);
}

void TComLed::SetRingDuration(int value) {
    // A running ring starts again with the new length.
    const bool running = ringTimer_.isActive();
    ringTimer_.setInterval(value);
    if (running) ringTimer_.start();
}

bool TComLed::CurrentSignalState() {
    switch (ledSignal_) {
        case lsCTS: return comPort_->ModemSignals().Contains(msCTS);
        case lsDSR: return comPort_->ModemSignals().Contains(msDSR);
        case lsRLSD: return comPort_->ModemSignals().Contains(msRLSD);
        default: return false;  // no line to read
    }
}

// Compares with nothing: every call tells OnChange and repaints.
void TComLed::SetLedState(TLedState value) {
    state_ = value;
    if (!Loading()) FireChange(value);
    update();
}

void TComLed::FireChange(TLedState state) {
    if (OnChange) OnChange(this, state);
}

void TComLed::SignalChanged(TObject*, bool onOff) {
    SetLedState(onOff ? lsOn : lsOff);
    // Shown at once, even in the middle of long work.
    QCoreApplication::processEvents();
}

void TComLed::RingReceived(TObject*) {
    // A second ring while lit does not lengthen the lit time.
    if (!ringTimer_.isActive()) ringTimer_.start();
    SetLedState(lsOn);
}

void TComLed::RingTimeout() {
    ringTimer_.stop();
    SetLedState(lsOff);
}

void TComLed::PortRemoved(TComponent* component) {
    if (component == comPort_) SetComPort(nullptr);
}

// ------------------------------------------------------------------ painting

void TComLed::LoadGlyphs(TLedKind kind) {
    if (kind == lkCustom) return;
    const TGlyphNames names = GlyphNames(kind);
    glyphOn_ = LoadGlyphResource(names.On);
    glyphOff_ = LoadGlyphResource(names.Off);
}

void TComLed::EnsureGlyphs() {
    if (glyphOn_.isNull() || glyphOff_.isNull()) LoadGlyphs(kind_);
}

// Centred, but never left of or above the client area.
QPoint TComLed::GlyphPosition() const {
    const QImage& glyph = state_ == lsOn ? glyphOn_ : glyphOff_;
    const QRect client = rect();
    return {client.left() + std::max(0, (client.width() - glyph.width()) / 2),
            client.top() + std::max(0, (client.height() - glyph.height()) / 2)};
}

// A disabled lamp always looks off.
const QImage& TComLed::CurrentGlyph() const { return isEnabled() && state_ == lsOn ? glyphOn_ : glyphOff_; }

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

void TComLed::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}

}  // namespace Tolvex
