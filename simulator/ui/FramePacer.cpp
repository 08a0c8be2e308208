#include "simulator/ui/FramePacer.h"

#include <QCoreApplication>
#include <QEvent>

namespace VantrelSIM {

TFramePacer::TFramePacer(QObject* parent, int frameMs) : QObject(parent), frameMs_(frameMs) {}

void TFramePacer::Watch(QWidget* window) { window->installEventFilter(this); }

void TFramePacer::Hold(bool holding) {
    if (holding == holding_) return;
    holding_ = holding;
    if (holding)
        frameClock_.start();
    else
        Release();
}

bool TFramePacer::FrameDue() const { return holding_ && frameClock_.elapsed() >= frameMs_; }

void TFramePacer::PaintFrame() {
    frameClock_.restart();
    Release();
}

void TFramePacer::Release() {
    emit Painting();
    const QList<QPointer<QWidget>> waiting = std::exchange(waiting_, {});
    for (const QPointer<QWidget>& window : waiting) {
        if (!window) continue;
        passing_ << window.data();
        QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    }
}

bool TFramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest) return false;
    if (passing_.removeOne(watched) || !holding_) return false;
    // The toolkit sends no further request until this one is served; the
    // frame serves it.
    auto* window = static_cast<QWidget*>(watched);
    if (!waiting_.contains(window)) waiting_ << window;
    return true;
}

}  // namespace VantrelSIM
