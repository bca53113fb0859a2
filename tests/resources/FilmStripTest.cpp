// The contact sheets must cut the bitmaps exactly as the editor's controls do, or they
// would show images the editor never shows.
#include "tools/contact-sheet/FilmStrip.h"

#include <gtest/gtest.h>

namespace {

using contact_sheet::displayImageTop;
using contact_sheet::knobImageTop;
using contact_sheet::switchImageTop;

TEST(FilmStrip, KnobShowsTheImageAtOrBelowItsValue)
{
    EXPECT_EQ(knobImageTop(0.5, 51, 33), 825);
    EXPECT_EQ(knobImageTop(1.0, 51, 33), 1650);
    EXPECT_EQ(knobImageTop(0.999, 51, 33), 49 * 33);
    EXPECT_EQ(knobImageTop(0.0, 51, 33), 0);
    EXPECT_EQ(knobImageTop(-0.2, 51, 33), 0);
    // The centre image of a gain strip is 0 dB.
    EXPECT_EQ(knobImageTop(0.5, 73, 33), 36 * 33);
}

TEST(FilmStrip, DisplayRoundsToTheNearestImageAndStopsAtTheLast)
{
    EXPECT_EQ(displayImageTop(0.5, 10, 43), 5 * 43);
    EXPECT_EQ(displayImageTop(0.04, 10, 43), 0);
    EXPECT_EQ(displayImageTop(1.7, 10, 43), 9 * 43);
    EXPECT_EQ(displayImageTop(-1.0, 73, 43), 0);
    EXPECT_EQ(displayImageTop(24.0 / 36.0, 73, 43), 48 * 43);  // 0 dB on the meter
}

TEST(FilmStrip, SwitchShowsOffAboveOn)
{
    EXPECT_EQ(switchImageTop(0.0, 50), 0);
    EXPECT_EQ(switchImageTop(1.0, 50), 25);
    EXPECT_EQ(switchImageTop(0.5, 72), 36);
}

}  // namespace
