#include "simulator/ui/ToolWindow.h"

#include <gtest/gtest.h>

namespace VantrelSIM {
namespace {

TEST(FreeSpot, StacksDownTheRightEdgeThenFillsTheNextColumnAndHoles) {
    // The work area starts below the bars, away from the screen's corner.
    const QRect work(100, 50, 600, 400);
    const struct {
        const char* what;
        QList<QRect> taken;
        QSize size;
        QPoint spot;
    } cases[] = {
        {"the first window: top right corner", {}, {200, 150}, {500, 50}},
        {"below it, right edges aligned", {{500, 50, 200, 150}}, {150, 100}, {550, 200}},
        {"the right edge full: the next column, at the top",
         {{500, 50, 200, 150}, {500, 200, 200, 250}},
         {100, 100},
         {400, 50}},
        {"a hole left by a closed window", {{500, 50, 200, 100}, {500, 300, 200, 150}}, {200, 150}, {500, 150}},
        {"a hole too small: beside the column", {{500, 50, 200, 100}, {500, 300, 200, 150}}, {200, 151}, {300, 50}},
        {"no free spot: the top right corner", {work}, {200, 150}, {500, 50}},
        {"wider than the work area: its left edge", {}, {700, 100}, {100, 50}},
    };
    for (const auto& c : cases) EXPECT_EQ(FreeSpot(work, c.size, c.taken), c.spot) << c.what;
}

}  // namespace
}  // namespace VantrelSIM
