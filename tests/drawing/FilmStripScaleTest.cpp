// Where the images of a film strip lie in device pixels: every image is drawn whole, so a
// control drawn at any position shows only its own image, never a row of the next.

#include "framework/DisplayScale.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace VSTGUI;

TEST(FilmStripScale, ArtworkCoversEveryDeviceSpanItsLogicalSpanCanLandOn)
{
    EXPECT_EQ(toDeviceExtent(33, DisplayScale::OneAndAHalf), 50);
    EXPECT_EQ(toDeviceExtent(754, DisplayScale::OneAndAHalf), 1131);
    EXPECT_EQ(toDeviceExtent(25, DisplayScale::Double), 50);
    for (DisplayScale scale : kDisplayScales) {
        for (int32_t length = 0; length < 90; ++length) {
            int32_t widest = 0;
            for (int32_t x = -5; x < 30; ++x)
                widest = std::max(widest, toDevice(x + length, scale) - toDevice(x, scale));
            EXPECT_EQ(toDeviceExtent(length, scale), widest) << percent(scale) << " " << length;
        }
    }
}

TEST(FilmStripScale, ImagesStackWholeAndTheSkinsOwnSizeIsUnchanged)
{
    // 1x: the strip as stored today.
    EXPECT_EQ(filmStripDeviceRow(5 * 43 + 7, 43, DisplayScale::Normal), 5 * 43 + 7);
    // The meter's 43-row images are 65 rows at 1.5x; image 5 starts at 325.
    EXPECT_EQ(filmStripDeviceRow(5 * 43, 43, DisplayScale::OneAndAHalf), 325);
    EXPECT_EQ(filmStripDeviceRow(5 * 43 + 3, 43, DisplayScale::OneAndAHalf), 329);
    EXPECT_EQ(filmStripDeviceRow(73 * 43, 43, DisplayScale::OneAndAHalf), 73 * 65);
    // Two switch images of 25 rows, and the Reset button's spare row.
    EXPECT_EQ(filmStripDeviceRow(50, 25, DisplayScale::OneAndAHalf), 76);
    EXPECT_EQ(filmStripDeviceRow(41, 20, DisplayScale::OneAndAHalf), 61);
    EXPECT_EQ(filmStripDeviceRow(41, 20, DisplayScale::Double), 82);
    // A bitmap that is one image.
    EXPECT_EQ(filmStripDeviceRow(151, 151, DisplayScale::OneAndAHalf), 227);
    EXPECT_EQ(filmStripDeviceRow(100, 151, DisplayScale::OneAndAHalf), 150);
    // Rows of an image never reach into the next one.
    for (DisplayScale scale : kDisplayScales)
        for (int32_t height = 1; height < 50; ++height)
            EXPECT_LE(filmStripDeviceRow(height - 1, height, scale), filmStripDeviceRow(height, height, scale) - 1);
}
