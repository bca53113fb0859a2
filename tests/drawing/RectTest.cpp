// The union that the back ends grow their paint and present regions with.

#include "framework/GraphicsTypes.h"

#include <gtest/gtest.h>

namespace VSTGUI {
namespace {

TEST(RectUnion, HoldsBothRectanglesWhicheverComesFirst)
{
    const Rect a{10, 20, 30, 40};
    const Rect b{25, 5, 50, 35};
    EXPECT_EQ(a.united(b), Rect(10, 5, 50, 40));
    EXPECT_EQ(b.united(a), Rect(10, 5, 50, 40));
    EXPECT_EQ(a.united(Rect{100, 100, 101, 101}), Rect(10, 20, 101, 101)) << "apart, the gap is covered too";
    EXPECT_EQ(a.united(Rect{12, 22, 14, 24}), a) << "a rectangle inside adds nothing";
}

TEST(RectUnion, AnEmptyRectangleAddsNothingWhereverItLies)
{
    const Rect a{10, 20, 30, 40};
    EXPECT_EQ(Rect{}.united(a), a) << "a region grown from nothing is its first part";
    EXPECT_EQ(a.united(Rect{}), a);
    EXPECT_EQ(a.united(Rect{-50, -50, -50, 100}), a) << "zero width, far to the left";
    EXPECT_EQ(Rect(200, 200, 100, 300).united(a), a) << "negative width";
    EXPECT_TRUE(Rect{}.united(Rect{5, 5, 5, 9}).isEmpty());
}

}  // namespace
}  // namespace VSTGUI
