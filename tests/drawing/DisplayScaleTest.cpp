// The mapping between the skin's logical coordinates and device pixels at each scale.

#include "framework/DisplayScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace VSTGUI;

TEST(DisplayScale, TheSkinsSizeAtEachScaleAndAdjacentRectanglesStillTile)
{
    EXPECT_EQ(toDevice(754, DisplayScale::OneAndAHalf), 1131);
    EXPECT_EQ(toDevice(374, DisplayScale::OneAndAHalf), 561);
    EXPECT_EQ(toDevice(754, DisplayScale::Double), 1508);
    EXPECT_EQ(toDevice(374, DisplayScale::Double), 748);
    for (DisplayScale scale : kDisplayScales) {
        for (int32_t x = -7; x < 40; ++x) {
            EXPECT_LE(toDevice(x, scale), toDevice(x + 1, scale));
            EXPECT_EQ(toLogical(toDevice(x, scale), scale), x) << percent(scale) << " " << x;
        }
    }
    EXPECT_EQ(toDevice(-1, DisplayScale::OneAndAHalf), -2);
    EXPECT_EQ(toLogical(-1, DisplayScale::Double), -1);
    EXPECT_EQ(toLogical(3, DisplayScale::Double), 1);
}

TEST(DisplayScale, FactorsFromTheHostOrTheScreenGoToTheNearestSupportedScale)
{
    EXPECT_EQ(nearestDisplayScale(1.0), DisplayScale::Normal);
    EXPECT_EQ(nearestDisplayScale(144.0 / 96.0), DisplayScale::OneAndAHalf);
    EXPECT_EQ(nearestDisplayScale(192.0 / 96.0), DisplayScale::Double);
    EXPECT_EQ(nearestDisplayScale(1.25), DisplayScale::OneAndAHalf);
    EXPECT_EQ(nearestDisplayScale(1.2), DisplayScale::Normal);
    EXPECT_EQ(nearestDisplayScale(3.0), DisplayScale::Double);
    EXPECT_EQ(nearestDisplayScale(0.5), DisplayScale::Normal);
    EXPECT_EQ(nearestDisplayScale(0.0), DisplayScale::Normal);
    EXPECT_EQ(nearestDisplayScale(-2.0), DisplayScale::Normal);
    EXPECT_EQ(nearestDisplayScale(std::numeric_limits<double>::quiet_NaN()), DisplayScale::Normal);
    EXPECT_EQ(nearestDisplayScale(std::numeric_limits<double>::infinity()), DisplayScale::Normal);
}
