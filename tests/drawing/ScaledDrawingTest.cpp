// Drawing above 1x: views give logical coordinates, the context draws the device pixels
// of the frame's scale. Rectangles, clips, lines and bitmaps cover exactly the device
// pixels of the logical pixels they cover at 1x; text is rasterised at the device size.

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/COffscreenContext.h"
#include "framework/DrawingWindow.h"
#include "tests/drawing/SurfaceProbe.h"
#include "tests/drawing/TestBitmaps.h"

#include <gtest/gtest.h>

#include <functional>

using namespace VSTGUI;
using namespace tolvan::test;

namespace {

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;

// A frame without a window, only to give contexts their scale.
struct FrameAt {
    explicit FrameAt(DisplayScale scale) : frame(new CFrame({0, 0, 100, 100}, nullptr, nullptr, scale)) {}
    ~FrameAt() { frame->release(); }
    CFrame* frame;
};

struct ScaledDrawing : ::testing::Test {
    FrameAt doubled{DisplayScale::Double};
    FrameAt oneAndAHalf{DisplayScale::OneAndAHalf};
    PixelSurface surface{80, 80, kBlack};
    CDrawContext context{nullptr, doubled.frame, &surface};
    CDrawContext context150{nullptr, oneAndAHalf.frame, &surface};

    Rect inkOf(const std::function<void(CDrawContext&)>& draw, CDrawContext& on)
    {
        surface.fill(kBlack);
        draw(on);
        return inkBounds(surface, kBlack);
    }
};

TEST_F(ScaledDrawing, RectanglesAndClipsCoverTheDevicePixelsOfTheirLogicalPixels)
{
    EXPECT_EQ(context.getDisplayScale(), DisplayScale::Double);
    EXPECT_EQ(context.getClipRect(), Rect(0, 0, 100, 100)) << "the clip stays logical";
    EXPECT_EQ(context.getDeviceClipRect(), Rect(0, 0, 200, 200));

    context.setFillColor(kWhiteColor);
    context.setDrawOffset({3, 2});
    // Logical pixels 4-12 by 3-11 filled: device 8-25 by 6-23.
    EXPECT_EQ(inkOf([](CDrawContext& c) { c.fillRect({0, 0, 10, 10}); }, context), Rect(8, 6, 26, 24));
    EXPECT_EQ(countPixels(surface, kWhite), 18 * 18);

    context.setClipRect({0, 0, 5, 5});
    EXPECT_EQ(context.getLocalClipRect(), Rect(0, 0, 5, 5));
    EXPECT_EQ(context.getDeviceClipRect(), Rect(6, 4, 16, 14));
    EXPECT_EQ(inkOf([](CDrawContext& c) { c.fillRect({0, 0, 10, 10}); }, context), Rect(8, 6, 16, 14));

    // At 1.5x the device edges round down, so neighbours still tile: 1 -> 1, 10 -> 15.
    context150.setFillColor(kWhiteColor);
    EXPECT_EQ(inkOf([](CDrawContext& c) { c.fillRect({0, 0, 10, 10}); }, context150), Rect(1, 1, 15, 15));
    EXPECT_EQ(inkOf([](CDrawContext& c) { c.fillRect({9, 9, 20, 20}); }, context150), Rect(15, 15, 30, 30));
}

TEST_F(ScaledDrawing, OnePixelLinesAreAsWideAsALogicalPixelAndStillLeaveOutTheirEnd)
{
    context.setFrameColor(kWhiteColor);
    // A horizontal line covers logical pixels 2-7 of row 3: device columns 4-15, rows 6-7.
    EXPECT_EQ(inkOf(
                  [](CDrawContext& c) {
                      c.moveTo({2, 3});
                      c.lineTo({8, 3});
                  },
                  context),
              Rect(4, 6, 16, 8));
    // Backwards, the end (logical 2) is left out and the start (8) drawn.
    EXPECT_EQ(inkOf(
                  [](CDrawContext& c) {
                      c.moveTo({8, 3});
                      c.lineTo({2, 3});
                  },
                  context),
              Rect(6, 6, 18, 8));
    // Joined lines meet without a gap or an overlap: an L of 10 + 10 logical pixels.
    surface.fill(kBlack);
    context.moveTo({0, 5});
    context.lineTo({10, 5});
    context.lineTo({10, 15});
    EXPECT_EQ(countPixels(surface, kWhite), 4 * 20);
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(0, 10, 22, 30));

    // A frame outline is a ring two device pixels wide around the logical rectangle.
    EXPECT_EQ(inkOf([](CDrawContext& c) { c.frameRect({1, 1, 11, 6}); }, context), Rect(2, 2, 22, 12));
    EXPECT_EQ(countPixels(surface, kWhite), 20 * 10 - 16 * 6);

    // At 1.5x the pen stays one device pixel wide wherever the line falls, so that a grid's
    // lines are equally thick, and an outline is a ring without overhanging corners.
    context150.setFrameColor(kWhiteColor);
    for (const int32_t row : {2, 3}) {
        EXPECT_EQ(inkOf(
                      [row](CDrawContext& c) {
                          c.moveTo({2, row});
                          c.lineTo({8, row});
                      },
                      context150),
                  Rect(3, toDevice(row, DisplayScale::OneAndAHalf), 12, toDevice(row, DisplayScale::OneAndAHalf) + 1));
    }
    EXPECT_EQ(inkOf([](CDrawContext& c) { c.frameRect({1, 1, 12, 6}); }, context150), Rect(1, 1, 17, 8));
    EXPECT_EQ(countPixels(surface, kWhite), 16 * 7 - 14 * 5);

    // A slanted line is drawn with a two-pixel device pen from the block of its start pixel
    // and stops short of the far edge of its end pixel's block.
    const Rect slanted = inkOf(
        [](CDrawContext& c) {
            c.moveTo({0, 0});
            c.lineTo({10, 5});
        },
        context);
    EXPECT_EQ(slanted.topLeft(), Point(0, 0));
    EXPECT_LE(slanted.right, 21);
    EXPECT_LE(slanted.bottom, 12);
    EXPECT_GE(countPixels(surface, kWhite), 2 * 19);
}

TEST_F(ScaledDrawing, TextIsRasterisedAtTheDeviceSizeNotEnlarged)
{
    context.setFont(3, 12);
    CDrawContext normal{nullptr, nullptr, &surface};
    normal.setFont(3, 12);
    const Rect small = inkOf([](CDrawContext& c) { c.drawString("Hd", {0, 0, 40, 20}, false, kAlignLeft); }, normal);
    const Rect large = inkOf([](CDrawContext& c) { c.drawString("Hd", {0, 0, 40, 20}, false, kAlignLeft); }, context);
    EXPECT_NEAR(large.height(), 2 * small.height(), 2);
    EXPECT_NEAR(large.width(), 2 * small.width(), 3);

    // An enlarged rendering would repeat every pixel in 2 x 2 blocks; the device-sized one
    // has edges inside the blocks.
    int splitBlocks = 0;
    for (int32_t y = large.top & ~1; y < large.bottom; y += 2)
        for (int32_t x = large.left & ~1; x < large.right; x += 2) {
            const Pixel p = surface.pixelAt(x, y);
            if (surface.pixelAt(x + 1, y) != p || surface.pixelAt(x, y + 1) != p || surface.pixelAt(x + 1, y + 1) != p)
                ++splitBlocks;
        }
    EXPECT_GT(splitBlocks, 10);
}

TEST_F(ScaledDrawing, BitmapsUseTheirArtworkForTheScaleOrTheOneTimesPixelsRepeated)
{
    // The film strip has artwork at 2x: frame 1 (logical rows 4-7) comes from device rows
    // 8-15 of it, pixel for pixel.
    CBitmap strip(kFilmStripBitmap);
    EXPECT_EQ(strip.getWidth(), 4) << "sizes stay logical";
    ASSERT_NE(strip.imageAt(DisplayScale::Double), nullptr);
    EXPECT_EQ(strip.imageAt(DisplayScale::Double)->height(), 24);
    context.setDrawOffset({1, 2});
    EXPECT_EQ(inkOf([&](CDrawContext& c) { strip.draw(&c, {2, 2, 6, 6}, {0, 4}); }, context), Rect(6, 8, 14, 16));
    EXPECT_EQ(countPixels(surface, toPixel(doubledStripColor(1))), 64);

    // At 1.5x it has none: its 1x frame is enlarged, each logical pixel to its device block.
    EXPECT_EQ(strip.imageAt(DisplayScale::OneAndAHalf), nullptr);
    EXPECT_EQ(inkOf([&](CDrawContext& c) { strip.draw(&c, {2, 2, 6, 6}, {0, 4}); }, context150), Rect(3, 3, 9, 9));
    EXPECT_EQ(countPixels(surface, toPixel(stripColor(1))), 36);

    // Every device pixel of the enlarged picture shows the logical pixel that contains it.
    CBitmap picture(kBottomUpBitmap);
    for (CDrawContext* on : {&context, &context150}) {
        surface.fill(kBlack);
        on->setDrawOffset({});
        picture.draw(on, {1, 1, 6, 4}, {0, 0});
        const DisplayScale scale = on->getDisplayScale();
        for (int32_t y = toDevice(1, scale); y < toDevice(4, scale); ++y)
            for (int32_t x = toDevice(1, scale); x < toDevice(6, scale); ++x)
                ASSERT_EQ(surface.pixelAt(x, y),
                          toPixel(pictureColor(toLogical(x, scale) - 1, toLogical(y, scale) - 1)))
                    << percent(scale) << " at " << x << "," << y;
        EXPECT_EQ(inkBounds(surface, kBlack),
                  Rect::fromSize({toDevice(1, scale), toDevice(1, scale)}, toDevice(6, scale) - toDevice(1, scale),
                                 toDevice(4, scale) - toDevice(1, scale)));
    }

    // At 1.5x an image of 3 logical rows has 5 device rows in the artwork, and a control
    // covers 4 or 5 device rows depending on where it sits: it shows its own image only.
    CBitmap odd(kOddStripBitmap);
    odd.setImageHeight(3);
    for (const int32_t top : {2, 3}) {
        SCOPED_TRACE(top);
        context150.setDrawOffset({});
        const Rect shown = inkOf([&](CDrawContext& c) { odd.draw(&c, {0, top, 2, top + 3}, {0, 3}); }, context150);
        EXPECT_EQ(shown.height(),
                  toDevice(top + 3, DisplayScale::OneAndAHalf) - toDevice(top, DisplayScale::OneAndAHalf));
        EXPECT_EQ(countPixels(surface, toPixel(doubledStripColor(1))), shown.width() * shown.height());
    }

    // Transparent drawing leaves the white pixels out at any scale.
    CBitmap keyed(kWhiteKeyedBitmap);
    context.setDrawOffset({});
    EXPECT_EQ(inkOf(
                  [&](CDrawContext& c) {
                      keyed.drawTransparent(&c, {0, 0, 3, 1}, {0, 0});
                  },
                  context),
              Rect(2, 0, 4, 2));
}

TEST_F(ScaledDrawing, OffscreenSurfacesHaveDevicePixelsAndCopyToTheirPlace)
{
    COffscreenContext offscreen{doubled.frame, 30, 20, kRedColor};
    EXPECT_EQ(offscreen.getWidth(), 30);
    EXPECT_EQ(offscreen.pixels().width(), 60);
    EXPECT_EQ(offscreen.pixels().height(), 40);
    EXPECT_EQ(offscreen.getClipRect(), Rect(0, 0, 30, 20));

    context.setDrawOffset({5, 5});
    context.copyFromOffscreen({0, 0, 10, 10}, &offscreen, {20, 10});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(10, 10, 30, 30));
    EXPECT_EQ(countPixels(surface, toPixel(kRedColor)), 400);
    surface.fill(kBlack);
    offscreen.copyRectTo({25, 15, 35, 25}, &context, 3, 4);
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(6, 8, 16, 18)) << "what lies inside the surface";
}

struct WindowAt final : DrawingWindow {
    PixelSurface pixels{10, 10};
    PixelSurface* acquireSurface() override { return &pixels; }
    void releaseSurface(PixelSurface*) override {}
    Point screenOrigin() const override { return {300, 200}; }
};

TEST_F(ScaledDrawing, MousePositionsInDevicePixelsBecomeLocalLogicalOnes)
{
    WindowAt window;
    CDrawContext onWindow{&window, doubled.frame, nullptr};
    EXPECT_EQ(onWindow.localMousePosition({341, 221}), Point(20, 10));
    EXPECT_EQ(onWindow.localMousePosition({299, 199}), Point(-1, -1));
    // A view entered at (15, 4) sees positions relative to its corner.
    onWindow.setScreenOffset(onWindow.getScreenOffset() + Point{15, 4});
    EXPECT_EQ(onWindow.localMousePosition({341, 221}), Point(5, 6));

    CDrawContext normal{&window, nullptr, nullptr};
    EXPECT_EQ(normal.localMousePosition({341, 221}), Point(41, 21));
}

}  // namespace
