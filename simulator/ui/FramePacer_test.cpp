#include "simulator/ui/FramePacer.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

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

TEST(FramePacer, HeldPaintsWaitForTheFrameAndTheHoldsEnd) {
    QWidget window;
    window.resize(100, 60);
    TPaintCounter counter;
    window.installEventFilter(&counter);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TFramePacer pacer(nullptr, 60000);
    pacer.Watch(&window);
    QTest::qWait(20);

    pacer.Hold(true);
    const int before = counter.Paints;
    window.update();
    QTest::qWait(20);
    EXPECT_EQ(counter.Paints, before);  // no frame due for a minute
    EXPECT_FALSE(pacer.FrameDue());
    int painting = 0;
    QObject::connect(&pacer, &TFramePacer::Painting, [&] { ++painting; });
    pacer.PaintFrame();
    QTest::qWait(20);
    EXPECT_EQ(counter.Paints, before + 1);
    EXPECT_EQ(painting, 1);

    window.update();
    QTest::qWait(20);
    EXPECT_EQ(counter.Paints, before + 1);
    pacer.Hold(false);
    QTest::qWait(20);
    EXPECT_EQ(counter.Paints, before + 2);
    EXPECT_EQ(painting, 2);
    window.update();  // not holding: painted as usual
    QTest::qWait(20);
    EXPECT_EQ(counter.Paints, before + 3);
}

}  // namespace
}  // namespace VantrelSIM
