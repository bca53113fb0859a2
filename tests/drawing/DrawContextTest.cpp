#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/COffscreenContext.h"
#include "framework/DrawingWindow.h"
#include "tests/drawing/SurfaceProbe.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <limits>

using namespace VSTGUI;
using tolvan::test::countPixels;
using tolvan::test::inkBounds;
using tolvan::test::sketch;

namespace {

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Color kOrange{255, 128, 0, 255};
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct DrawContextTest : ::testing::Test {
    PixelSurface surface{40, 40, kBlack};
    CDrawContext context{nullptr, nullptr, &surface};
};

TEST_F(DrawContextTest, StartsWithItsInitialStateAndClipsToThousandSquareWithoutFrame)
{
    EXPECT_EQ(context.getClipRect(), Rect(0, 0, 1000, 1000));
    EXPECT_EQ(context.getLineWidth(), 1);
    EXPECT_EQ(context.getFrameColor(), kWhiteColor);
    EXPECT_EQ(context.getFillColor(), kBlackColor);
    EXPECT_EQ(context.getFontColor(), kWhiteColor);
    EXPECT_EQ(context.getFont(), 0);
    EXPECT_EQ(context.getFontSize(), 12);
    EXPECT_EQ(context.getFontStyle(), 0);
    EXPECT_EQ(context.getDrawOffset(), Point(0, 0));
    EXPECT_EQ(context.getReferenceCount(), 1);
}

TEST_F(DrawContextTest, FillRectLeavesOutTopRowAndLeftColumnFrameRectOutlinesTheWholeRect)
{
    context.setFillColor(kWhiteColor);
    context.fillRect({0, 0, 10, 10});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(1, 1, 10, 10));
    EXPECT_EQ(countPixels(surface, kWhite), 81);

    surface.fill(kBlack);
    context.frameRect({0, 0, 10, 10});
    EXPECT_EQ(sketch(surface, {0, 0, 11, 11}, kBlack), "##########.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "#........#.\n"
                                                       "##########.\n"
                                                       "...........\n");
}

TEST_F(DrawContextTest, DrawingOffsetMovesEverythingThatIsDrawnAndClipped)
{
    context.setDrawOffset({5, 3});
    context.setFillColor(kWhiteColor);
    context.fillRect({0, 0, 4, 4});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(6, 4, 9, 7));

    context.setClipRect({0, 0, 2, 2});
    EXPECT_EQ(context.getClipRect(), Rect(5, 3, 7, 5));
    EXPECT_EQ(context.getLocalClipRect(), Rect(0, 0, 2, 2));
    surface.fill(kBlack);
    context.fillRect({-10, -10, 20, 20});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(5, 3, 7, 5));
}

TEST_F(DrawContextTest, ClipLimitsFillsLinesAndIsSetOnlyWhenItChanges)
{
    const int32_t regions = context.getObjectCounts().clipRegions;
    context.setClipRect({10, 10, 20, 20});
    context.setClipRect({10, 10, 20, 20});
    EXPECT_EQ(context.getObjectCounts().clipRegions, regions + 1);

    context.setFillColor(kWhiteColor);
    context.fillRect({0, 0, 40, 40});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(10, 10, 20, 20));

    surface.fill(kBlack);
    context.moveTo({0, 15});
    context.lineTo({40, 15});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(10, 15, 20, 16));

    context.resetClipRect();
    EXPECT_EQ(context.getClipRect(), Rect(0, 0, 1000, 1000));
    EXPECT_EQ(context.getObjectCounts().clipRegions, regions + 2);
}

TEST_F(DrawContextTest, OnePixelLinesLeaveOutTheirLastPixelInEveryDirection)
{
    const Rect area{0, 0, 6, 6};
    context.moveTo({1, 2});
    context.lineTo({5, 2});
    EXPECT_EQ(sketch(surface, area, kBlack), "......\n......\n.####.\n......\n......\n......\n");

    surface.fill(kBlack);
    context.moveTo({5, 2});
    context.lineTo({1, 2});
    EXPECT_EQ(sketch(surface, area, kBlack), "......\n......\n..####\n......\n......\n......\n");

    surface.fill(kBlack);
    context.moveTo({3, 0});
    context.lineTo({3, 4});
    EXPECT_EQ(sketch(surface, area, kBlack), "...#..\n...#..\n...#..\n...#..\n......\n......\n");

    surface.fill(kBlack);
    context.moveTo({0, 0});
    context.lineTo({4, 4});
    EXPECT_EQ(sketch(surface, area, kBlack), "#.....\n.#....\n..#...\n...#..\n......\n......\n");

    surface.fill(kBlack);
    context.moveTo({2, 2});
    context.lineTo({2, 2});
    EXPECT_EQ(countPixels(surface, kWhite), 0);
}

TEST_F(DrawContextTest, ShallowLineStepsOnceAndJoinedLinesDrawEveryPixelOnce)
{
    context.moveTo({0, 0});
    context.lineTo({6, 2});
    EXPECT_EQ(sketch(surface, {0, 0, 7, 3}, kBlack), "##.....\n..###..\n.....#.\n");

    surface.fill(kBlack);
    context.moveTo({1, 1});
    context.lineTo({5, 1});
    context.lineTo({5, 4});
    EXPECT_EQ(sketch(surface, {0, 0, 7, 5}, kBlack), ".......\n.#####.\n.....#.\n.....#.\n.......\n");
}

TEST_F(DrawContextTest, TwoPixelPenCoversTheRowAboveAndKeepsTheEnd)
{
    context.setLineWidth(2);
    context.moveTo({1, 3});
    context.lineTo({5, 3});
    EXPECT_EQ(sketch(surface, {0, 0, 7, 5}, kBlack), ".......\n.......\n######.\n######.\n.......\n");

    surface.fill(kBlack);
    context.setLineWidth(0);
    context.moveTo({1, 3});
    context.lineTo({5, 3});
    EXPECT_EQ(countPixels(surface, kWhite), 4);
}

TEST_F(DrawContextTest, DrawLinesDrawsEachSegmentOnItsOwn)
{
    const LineSegment segments[] = {{{0, 0}, {3, 0}}, {{0, 2}, {0, 4}}};
    context.drawLines(segments, 2);
    EXPECT_EQ(sketch(surface, {0, 0, 4, 5}, kBlack), "###.\n....\n#...\n#...\n....\n");
    context.drawLines(nullptr, 5);
    context.drawLines(segments, -1);
    EXPECT_EQ(countPixels(surface, kWhite), 5);
}

TEST_F(DrawContextTest, PensBrushesAndFontsAreBuiltOnlyWhenTheValueChanges)
{
    const DrawObjectCounts before = context.getObjectCounts();
    context.setFrameColor(kOrange);
    context.setFrameColor(kOrange);
    EXPECT_EQ(context.getObjectCounts().pens, before.pens + 1);
    context.setFrameColor({255, 128, 0, 10});
    EXPECT_EQ(context.getObjectCounts().pens, before.pens + 2) << "the alpha byte alone is a change";
    context.setLineWidth(1);
    EXPECT_EQ(context.getObjectCounts().pens, before.pens + 2);
    context.setLineWidth(2);
    EXPECT_EQ(context.getObjectCounts().pens, before.pens + 3);

    context.setFillColor(kOrange);
    context.setFillColor(kOrange);
    context.setFillColor({255, 128, 0, 0});
    EXPECT_EQ(context.getObjectCounts().brushes, before.brushes + 2);

    context.setFont(0, 12, 0);
    context.setFont(0, 0, 0);
    EXPECT_EQ(context.getObjectCounts().fonts, before.fonts) << "the current font, by default size";
    context.setFont(4);
    context.setFont(4, 11, 0);
    EXPECT_EQ(context.getObjectCounts().fonts, before.fonts + 1);
    context.setFont(4, 11, kFontStyleBold);
    EXPECT_EQ(context.getObjectCounts().fonts, before.fonts + 2);
}

TEST_F(DrawContextTest, PenColourDropsAlphaAndFillBrushDrawsTheFillColour)
{
    context.setFrameColor({10, 20, 30, 0});
    context.moveTo({0, 0});
    context.lineTo({2, 0});
    EXPECT_EQ(surface.pixelAt(0, 0), 0x0A141Eu);
    context.setFillColor(kOrange);
    context.fillRect({4, 4, 6, 6});
    EXPECT_EQ(surface.colorAt(5, 5), kOrange);
}

TEST_F(DrawContextTest, FontIndexOutsideTheTableSelectsFontZeroAndSizeZeroTheStandardSize)
{
    context.setFont(3, 18, 0);
    context.setFont(9, 0, 0);
    EXPECT_EQ(context.getFont(), 0);
    EXPECT_EQ(context.getFontSize(), 12);
    context.setFont(-1, 0, 0);
    EXPECT_EQ(context.getFont(), 0);
    for (FontIndex index = 0; index < kFontCount; ++index) {
        context.setFont(index, 0, 0);
        EXPECT_EQ(context.getFontSize(), kStandardFonts[static_cast<std::size_t>(index)].size);
    }
}

TEST_F(DrawContextTest, NoRectangleOrLineReachesOutsideTheSurface)
{
    context.setFillColor(kWhiteColor);
    const Rect wild[] = {{-50, -50, -10, -10}, {30, 30, 10, 10}, {kMin, kMin, kMax, kMax}, {kMax, kMax, kMin, kMin},
                         {1000, 0, 2000, 40},  {-5, -5, 100, 3}, {kMax - 1, 0, kMax, 10}};
    for (const Rect& rect : wild) {
        context.fillRect(rect);
        context.frameRect(rect);
        context.setClipRect(rect);
        context.fillRect({0, 0, 40, 40});
        context.resetClipRect();
    }
    context.setDrawOffset({kMax, kMin});
    context.fillRect({kMax, kMin, kMax, kMax});
    context.frameRect({0, 0, 10, 10});
    context.setDrawOffset({0, 0});

    // Lines between far-apart points cost no more than their visible part.
    context.setLineWidth(2);
    context.moveTo({kMin, kMin});
    context.lineTo({kMax, kMax});
    context.moveTo({kMin, 20});
    context.lineTo({kMax, 21});
    context.setLineWidth(kMax);
    context.moveTo({0, 39});
    context.lineTo({39, 39});
    SUCCEED() << "no crash, no out-of-bounds access under the sanitizers";
    EXPECT_EQ(surface.pixelAt(0, 0) | surface.pixelAt(39, 39), kWhite);
}

TEST_F(DrawContextTest, FarOffLineIsClippedExactly)
{
    // The visible part of a long line lies where the full line would put it.
    context.moveTo({-1000000, 0});
    context.lineTo({1000000, 0});
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(0, 0, 40, 1));

    surface.fill(kBlack);
    context.moveTo({-400000, -100000});
    context.lineTo({400040, 100010});
    const Rect ink = inkBounds(surface, kBlack);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, 40);
    EXPECT_GE(ink.top, 0);
    EXPECT_LE(ink.bottom - ink.top, 11);
}

TEST(DrawContextWithFrame, ClipsToTheFrameBoundsAndResetsToThem)
{
    auto* frame = new CFrame({0, 0, 754, 374}, nullptr, nullptr);
    PixelSurface surface(800, 400);
    CDrawContext context{nullptr, frame, &surface};
    EXPECT_EQ(context.getFrame(), frame);
    EXPECT_EQ(context.getClipRect(), Rect(0, 0, 754, 374));
    context.setDrawOffset({20, 10});
    context.setClipRect({0, 0, 5, 5});
    context.resetClipRect();
    EXPECT_EQ(context.getClipRect(), Rect(0, 0, 754, 374)) << "the frame's bounds are device coordinates";

    COffscreenContext offscreen{frame, 30, 20, kBlackColor};
    EXPECT_EQ(offscreen.getClipRect(), Rect(0, 0, 30, 20));
    offscreen.resetClipRect();
    EXPECT_EQ(offscreen.getClipRect(), Rect(0, 0, 754, 374));
    frame->release();
}

TEST(DrawContextWithoutSurface, DrawsNothingAndDoesNotCrash)
{
    CDrawContext context{nullptr, nullptr, nullptr};
    context.fillRect({0, 0, 10, 10});
    context.frameRect({0, 0, 10, 10});
    context.lineTo({10, 10});
    context.drawString("text", {0, 0, 50, 20}, true, kAlignCenter);
    context.copyRectTo({0, 0, 10, 10}, &context, 0, 0);
    context.copyFromOffscreen({0, 0, 10, 10}, nullptr, {0, 0});
    EXPECT_EQ(context.getSurface(), nullptr);

    PixelSurface empty(0, 0);
    CDrawContext onEmpty{nullptr, nullptr, &empty};
    onEmpty.fillRect({-1, -1, 10, 10});
    onEmpty.lineTo({10, 10});
    onEmpty.drawString("text", {0, 0, 50, 20}, true, kAlignLeft);
    EXPECT_TRUE(empty.pixels().empty());
}

struct FakeWindow final : DrawingWindow {
    PixelSurface pixels{20, 20, kBlack};
    int acquired = 0;
    int released = 0;

    PixelSurface* acquireSurface() override
    {
        ++acquired;
        return &pixels;
    }
    void releaseSurface(PixelSurface* surface) override
    {
        EXPECT_EQ(surface, &pixels);
        ++released;
    }
    Point screenOrigin() const override { return {300, 200}; }
};

TEST(DrawContextOnWindow, AcquiresTheWindowSurfaceOnceAndReleasesItAtDestruction)
{
    FakeWindow window;
    {
        auto* context = new CDrawContext(&window, nullptr, nullptr);
        EXPECT_EQ(context->getSurface(), &window.pixels);
        EXPECT_EQ(context->getScreenOffset(), Point(300, 200));
        context->setFillColor(kWhiteColor);
        context->fillRect({0, 0, 3, 3});
        EXPECT_EQ(window.released, 0);
        context->release();
    }
    EXPECT_EQ(window.acquired, 1);
    EXPECT_EQ(window.released, 1);
    EXPECT_EQ(countPixels(window.pixels, kWhite), 4);

    // A given surface is used as it is; the window only lends its position.
    PixelSurface other(5, 5);
    CDrawContext withSurface{&window, nullptr, &other};
    EXPECT_EQ(withSurface.getSurface(), &other);
    EXPECT_EQ(window.acquired, 1);
}

TEST(PixelSurface, NewSurfacesHoldTheirFillAndCopiesAreTheirOwn)
{
    const auto uniform = [](const PixelSurface& surface, Pixel value) {
        return std::all_of(surface.pixels().begin(), surface.pixels().end(), [value](Pixel p) { return p == value; });
    };
    const PixelSurface black(300, 200);
    EXPECT_TRUE(uniform(black, 0));
    PixelSurface grey(300, 200, 0x404040);
    EXPECT_TRUE(uniform(grey, 0x404040));
    PixelSurface copy = grey;
    copy.fill(0x123456);
    EXPECT_TRUE(uniform(grey, 0x404040)) << "a copy shares no pixels with its original";
    grey = copy;
    grey = *&grey;
    EXPECT_TRUE(uniform(grey, 0x123456));
    grey.resize(7, 3, 0x010203);
    EXPECT_EQ(grey.pixels().size(), 21u);
    EXPECT_TRUE(uniform(grey, 0x010203));
    const PixelSurface unfilled(9, 4, PixelSurface::Unfilled{});
    EXPECT_EQ(unfilled.pixels().size(), 36u);
    EXPECT_EQ(unfilled.bounds(), Rect(0, 0, 9, 4));
    const PixelSurface tooLarge(1 << 14, 1 << 14, PixelSurface::Unfilled{});
    EXPECT_TRUE(tooLarge.pixels().empty());
    EXPECT_TRUE(PixelSurface(-3, 5).pixels().empty());
    // Window-sized surfaces come from the system's own calls: zero, writable to the last
    // pixel, copied and given back like the small ones, at every scale's size.
    for (const auto& [width, height] : {std::pair{754, 374}, std::pair{1131, 561}, std::pair{1508, 748}}) {
        PixelSurface window(width, height);
        EXPECT_TRUE(uniform(window, 0)) << width;
        window.fill(0x00FF00);
        PixelSurface windowCopy = window;
        window.resize(width, height, 0x0000FF);
        EXPECT_TRUE(uniform(windowCopy, 0x00FF00)) << width;
        EXPECT_TRUE(uniform(window, 0x0000FF)) << width;
        const PixelSurface unfilledWindow(width, height, PixelSurface::Unfilled{});
        EXPECT_EQ(unfilledWindow.pixels().size(), static_cast<std::size_t>(width) * height);
    }
}

TEST(OffscreenContext, StartsUniformlyInItsBackgroundWithItsOwnClip)
{
    COffscreenContext offscreen{nullptr, 30, 20, kOrange};
    ASSERT_NE(offscreen.getSurface(), nullptr);
    EXPECT_EQ(offscreen.getSurface()->width(), 30);
    EXPECT_EQ(offscreen.getSurface()->height(), 20);
    EXPECT_EQ(countPixels(*offscreen.getSurface(), toPixel(kOrange)), 600);
    EXPECT_EQ(offscreen.getClipRect(), Rect(0, 0, 30, 20));
    EXPECT_EQ(offscreen.getFillColor(), kOrange);
    EXPECT_EQ(offscreen.getFrameColor(), kOrange);

    COffscreenContext negative{nullptr, -30, 20, kBlackColor};
    EXPECT_EQ(negative.getClipRect(), Rect(-30, 0, 0, 20));
    EXPECT_TRUE(negative.getSurface()->pixels().empty());
    negative.fillRect({-40, -40, 40, 40});

    COffscreenContext huge{nullptr, 1 << 20, 1 << 20, kBlackColor};
    EXPECT_TRUE(huge.getSurface()->pixels().empty()) << "refused rather than exhausting memory";
    huge.fillRect({0, 0, 100, 100});
}

TEST(OffscreenContext, CopiesToTheWindowAtTheDestinationPlusOffsetInsideTheClip)
{
    COffscreenContext offscreen{nullptr, 10, 10, kBlackColor};
    offscreen.setFillColor(kWhiteColor);
    offscreen.fillRect({-1, -1, 10, 10});
    offscreen.setFillColor(kOrange);
    offscreen.fillRect({-1, -1, 1, 1});  // the top-left pixel marks the orientation

    PixelSurface target(30, 30, 0x123456);
    CDrawContext window{nullptr, nullptr, &target};
    window.setDrawOffset({5, 5});
    window.copyFromOffscreen({0, 0, 10, 10}, &offscreen, {0, 0});
    EXPECT_EQ(inkBounds(target, 0x123456), Rect(5, 5, 15, 15));
    EXPECT_EQ(target.colorAt(5, 5), kOrange);
    EXPECT_EQ(target.pixelAt(14, 14), kWhite);

    // A source point inside the surface, a clip on the destination.
    target.fill(0x123456);
    window.setDrawOffset({0, 0});
    window.setClipRect({0, 0, 3, 30});
    window.copyFromOffscreen({0, 0, 10, 10}, &offscreen, {5, 5});
    EXPECT_EQ(inkBounds(target, 0x123456), Rect(0, 0, 3, 5)) << "only 5 x 5 source pixels exist past (5, 5)";

    // Sources outside the surface copy nothing.
    target.fill(0x123456);
    window.resetClipRect();
    window.copyFromOffscreen({0, 0, 10, 10}, &offscreen, {kMax, kMin});
    window.copyFromOffscreen({kMin, kMin, kMax, kMax}, &offscreen, {-20, -20});
    EXPECT_EQ(countPixels(target, 0x123456), 900);
}

TEST(OffscreenContext, CopyRectToTakesTheSourceOffsetButNotTheDestinationOffset)
{
    PixelSurface sourcePixels(20, 20, kBlack);
    CDrawContext source{nullptr, nullptr, &sourcePixels};
    source.setFillColor(kWhiteColor);
    source.fillRect({3, 3, 6, 6});  // pixels 4-5
    source.setDrawOffset({2, 2});

    PixelSurface targetPixels(20, 20, kBlack);
    CDrawContext target{nullptr, nullptr, &targetPixels};
    target.setDrawOffset({7, 7});
    source.copyRectTo({2, 2, 4, 4}, &target, 10, 0);
    EXPECT_EQ(inkBounds(targetPixels, kBlack), Rect(10, 0, 12, 2));

    // Copying a surface onto itself with overlap moves the picture intact.
    source.setDrawOffset({0, 0});
    source.copyRectTo({0, 0, 10, 10}, &source, 1, 1);
    EXPECT_EQ(inkBounds(sourcePixels, kBlack), Rect(5, 5, 7, 7));
    source.copyRectTo({kMin, kMin, kMax, kMax}, &source, 0, 0);
    source.copyRectTo({0, 0, 10, 10}, nullptr, 0, 0);
}

}  // namespace
