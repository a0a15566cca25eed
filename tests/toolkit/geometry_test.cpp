// The rectangle operations of the toolkit's value types.
#include "toolkit/core/geometry.h"

#include <gtest/gtest.h>

namespace
{
TEST(RectBound, DisjointRectanglesGiveAnEmptyRectangleNeverANegativeOne)
{
    const struct
    {
        CRect a, b, result;
    } cases[] = {
        {{0, 0, 10, 10}, {20, 20, 30, 30}, {20, 20, 20, 20}},
        {{0, 0, 10, 10}, {5, 5, 30, 30}, {5, 5, 10, 10}},
        {{0, 0, 10, 10}, {2, 20, 8, 30}, {2, 20, 8, 20}},
        {{0, 0, 10, 10}, {-5, -5, 20, 20}, {0, 0, 10, 10}},
    };
    for (const auto& test : cases)
    {
        CRect r = test.a;
        EXPECT_EQ(r.bound(test.b), test.result);
        EXPECT_FALSE(r.right < r.left || r.bottom < r.top);
    }
}

TEST(RectPointInside, ExcludesTheRightAndBottomEdges)
{
    const CRect r(0, 0, 10, 10);
    const struct
    {
        CPoint p;
        bool inside;
    } cases[] = {{{0, 0}, true},   {{9, 9}, true},   {{10, 5}, false},
                 {{5, 10}, false}, {{-1, 5}, false}, {{5, -1}, false}};
    for (const auto& test : cases)
        EXPECT_EQ(r.pointInside(test.p), test.inside) << test.p.x << "," << test.p.y;
}

TEST(RectOffset, MovesBothEdgesAndKeepsTheSize)
{
    CRect r(1, 2, 5, 9);
    r.offset(10, -2);
    EXPECT_EQ(r, CRect(11, 0, 15, 7));
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.height(), 7);
}

TEST(RectIsEmpty, WhenRightOrBottomDoNotExceedLeftOrTop)
{
    EXPECT_TRUE(CRect(5, 5, 5, 9).isEmpty());
    EXPECT_TRUE(CRect(5, 5, 9, 4).isEmpty());
    EXPECT_FALSE(CRect(5, 5, 6, 6).isEmpty());
}

TEST(PlatformColor, IsRedPlusGreenTimes256PlusBlueTimes65536WithoutAlpha)
{
    EXPECT_EQ(platformColor(CColor{1, 2, 3, 4}), 0x030201u);
    EXPECT_EQ(platformColor(kColorTransparent), 0xFFFFFFu);
}
} // namespace
