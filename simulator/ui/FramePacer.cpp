#include "simulator/ui/FramePacer.h"

#include <QCoreApplication>
#include <QEvent>

namespace VantrelSIM {

TFramePacer::TFramePacer(QObject* parent, int frameMs) : QObject(parent), FrameMs(frameMs) {}

void TFramePacer::Watch(QWidget* window) { window->installEventFilter(this); }

void TFramePacer::Hold(bool holding) {
    if (holding == Holding_) return;
    Holding_ = holding;
    if (holding)
        FrameClock.start();
    else
        Release();
}

bool TFramePacer::FrameDue() const { return Holding_ && FrameClock.elapsed() >= FrameMs; }

void TFramePacer::PaintFrame() {
    FrameClock.restart();
    Release();
}

void TFramePacer::Release() {
    emit Painting();
    const QList<QPointer<QWidget>> waiting = std::exchange(Waiting, {});
    for (const QPointer<QWidget>& window : waiting) {
        if (!window) continue;
        Passing << window.data();
        QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    }
}

bool TFramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest) return false;
    if (Passing.removeOne(watched) || !Holding_) return false;
    // The toolkit sends no further request until this one is served; the
    // frame serves it.
    auto* window = static_cast<QWidget*>(watched);
    if (!Waiting.contains(window)) Waiting << window;
    return true;
}

}  // namespace VantrelSIM
