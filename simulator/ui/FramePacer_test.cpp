#include "simulator/ui/FramePacer.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/QtTestSupport.h"

namespace VantrelSIM {
namespace {

class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

// Serves every event posted so far: a paint that has not come by then was
// held back, not merely late.
void ServePostedEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

TEST(FramePacer, HeldPaintsWaitForTheFrameAndTheHoldsEnd) {
    QWidget window;
    window.resize(100, 60);
    TPaintCounter counter;
    window.installEventFilter(&counter);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TFramePacer pacer(nullptr, 60000);
    pacer.Watch(&window);
    ServePostedEvents();

    pacer.Hold(true);
    const int before = counter.Paints;
    window.update();
    ServePostedEvents();
    EXPECT_EQ(counter.Paints, before);  // no frame due for a minute
    EXPECT_FALSE(pacer.FrameDue());
    int painting = 0;
    QObject::connect(&pacer, &TFramePacer::Painting, [&] { ++painting; });
    pacer.PaintFrame();
    testsupport::PumpUntil([&] { return counter.Paints > before; });
    EXPECT_EQ(counter.Paints, before + 1);
    EXPECT_EQ(painting, 1);

    window.update();
    ServePostedEvents();
    EXPECT_EQ(counter.Paints, before + 1);
    pacer.Hold(false);
    testsupport::PumpUntil([&] { return counter.Paints > before + 1; });
    EXPECT_EQ(counter.Paints, before + 2);
    EXPECT_EQ(painting, 2);
    window.update();  // not holding: painted as usual
    testsupport::PumpUntil([&] { return counter.Paints > before + 2; });
    EXPECT_EQ(counter.Paints, before + 3);
}

TEST(FramePacer, AFrameIsDueOnlyWhileHoldingAndOnceItsTimeHasPassed) {
    TFramePacer now(nullptr, 0);
    EXPECT_FALSE(now.FrameDue());
    now.Hold(true);
    EXPECT_TRUE(now.FrameDue());
    now.PaintFrame();
    EXPECT_TRUE(now.FrameDue());
    now.Hold(false);
    EXPECT_FALSE(now.FrameDue());

    TFramePacer later(nullptr, 60000);
    later.Hold(true);
    EXPECT_FALSE(later.FrameDue());
}

}  // namespace
}  // namespace VantrelSIM
