// Paints a run's windows once a frame. While it holds, the watched windows'
// contents still change at once, step by step, but their requests to be
// painted wait for the next frame and are then served together, each window
// painting only what changed since its last frame. Painting is never
// switched off, so no window is left showing stale contents.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace VantrelSIM {

class TFramePacer : public QObject {
    Q_OBJECT

public:
    TFramePacer(QObject* parent, int frameMs);

    // A top-level window whose painting the pacer times.
    void Watch(QWidget* window);
    // Holding: paint requests wait for the frame. Letting go serves the
    // waiting ones at once.
    void Hold(bool holding);
    bool Holding() const { return holding_; }
    // While holding: a frame is due once frameMs_ have passed since the last.
    bool FrameDue() const;
    // Serves the waiting requests and starts the next frame's time.
    void PaintFrame();

signals:
    // A frame is about to be painted (or the hold ends): whatever waited
    // for the frame is put into the windows now.
    void Painting();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Release();

    const int frameMs_;
    bool holding_ = false;
    QElapsedTimer frameClock_;
    QList<QPointer<QWidget>> waiting_;
    // Windows whose released request is under way: the filter lets it pass.
    QList<QObject*> passing_;
};

}  // namespace VantrelSIM
