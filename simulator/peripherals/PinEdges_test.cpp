#include <gtest/gtest.h>

#include "simulator/Hc11.h"

TEST(PinEdges, EachPinFollowsItsOwnSelection) {
    enum Edge { None, Rising, Falling, Both };
    const struct {
        uint8_t mask;
        uint8_t selection;
        Edge counted;
    } cases[] = {
        {0x01, 0x00, None},    {0x01, 0x01, Rising},  {0x01, 0x02, Falling}, {0x01, 0x03, Both},
        {0x02, 0x04, Rising},  {0x02, 0x08, Falling}, {0x02, 0x0C, Both},    {0x02, 0x03, None},
        {0x04, 0x10, Rising},  {0x04, 0x20, Falling}, {0x04, 0x30, Both},    {0x04, 0xCF, None},
        {0x80, 0x00, Falling}, {0x80, 0x10, Rising},  {0x80, 0xEF, Falling},  // only PEDGE counts
    };
    for (const auto& c : cases) {
        // (wasHigh, pressed): rising, falling, pressed while high, released while low.
        const bool rising = IsSelectedPinEdge(c.mask, false, true, c.selection);
        const bool falling = IsSelectedPinEdge(c.mask, true, false, c.selection);
        const bool stayHigh = IsSelectedPinEdge(c.mask, true, true, c.selection);
        const bool stayLow = IsSelectedPinEdge(c.mask, false, false, c.selection);
        const std::string where = "mask " + std::to_string(c.mask) + " selection " + std::to_string(c.selection);
        EXPECT_EQ(rising, c.counted == Rising || c.counted == Both) << where;
        EXPECT_EQ(falling, c.counted == Falling || c.counted == Both) << where;
        EXPECT_EQ(stayHigh, c.counted == Both) << where;  // "every click" needs no level change
        EXPECT_EQ(stayLow, c.counted == Both) << where;
    }
}

TEST(PinEdges, FlagsAndSelectRegistersOfThePins) {
    EXPECT_EQ(&PinEdgeFlag(0x01), &PinEdgePA0);
    EXPECT_EQ(&PinEdgeFlag(0x02), &PinEdgePA1);
    EXPECT_EQ(&PinEdgeFlag(0x04), &PinEdgePA2);
    EXPECT_EQ(&PinEdgeFlag(0x80), &PinEdgePA7);
    for (uint8_t mask : {0x01, 0x02, 0x04}) EXPECT_EQ(PinEdgeSelectRegister(mask), RegisterAddress::TCTL2);
    EXPECT_EQ(PinEdgeSelectRegister(0x80), RegisterAddress::PACTL);
}
