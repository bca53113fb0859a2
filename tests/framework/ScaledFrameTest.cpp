// The frame above 1x: its window and surfaces have device pixels, its views logical ones.
// Paint areas and mouse positions arrive from the window in device pixels and reach the
// views in logical pixels; a scale change while open resizes the window and redraws.

#include "tests/framework/FrameworkTestSupport.h"

#include <optional>
#include <utility>
#include <vector>

namespace tolvan::test {
namespace {

// Remembers where it was pressed, in its own coordinates.
class PressProbe : public ProbeView {
public:
    using ProbeView::ProbeView;
    void handleMouse(CDrawContext*, Point where, MouseButtons) override
    {
        pressedAt = where;
        ++presses;
    }
    Point pressedAt{-1, -1};
    int32_t presses = 0;
};

class ScaledFrame : public FrameTest {
protected:
    // A 120 x 80 frame at scale, and a probe at (10, 10, 30, 20).
    void open(DisplayScale scale)
    {
        destroyFrame();
        headless::reset();
        host = headless::createHostWindow(Rect::fromSize(kHostOrigin, toDevice(120, scale), toDevice(80, scale)));
        frame = new CFrame({0, 0, 120, 80}, host, &editor, scale);
        editor.frame = frame;
        frame->setBackgroundColor(kBlackColor);
        probe = add(new PressProbe({10, 10, 30, 20}, kRedColor));
    }
    void paintWindow()
    {
        window().invalidate(frame->frameToWindow(frame->getBounds()));
        headless::paint(window());
    }
    PressProbe* probe = nullptr;
};

TEST_F(ScaledFrame, WindowHasTheDevicePixelsAndViewsLandOnTheirBlocks)
{
    open(DisplayScale::Double);
    EXPECT_EQ(frame->getBounds(), Rect(0, 0, 120, 80)) << "the views' coordinates stay logical";
    EXPECT_EQ(window().getScreenRect().width(), 240);
    EXPECT_EQ(window().getScreenRect().height(), 160);
    paintWindow();
    EXPECT_EQ(headless::windowPixels(window()).width(), 240);
    EXPECT_EQ(pixel(20, 20), kRedColor);
    EXPECT_EQ(pixel(59, 39), kRedColor);
    EXPECT_EQ(pixel(19, 20), kBlackColor);
    EXPECT_EQ(pixel(60, 39), kBlackColor);
    EXPECT_EQ(pixel(59, 40), kBlackColor);

    // A paint of a few device pixels redraws the logical pixels under them and shows them
    // whole, nothing else.
    probe->fill = kBlueColor;
    window().invalidate({41, 21, 43, 23});
    EXPECT_TRUE(headless::paint(window()));
    EXPECT_EQ(pixel(40, 20), kBlueColor);
    EXPECT_EQ(pixel(43, 23), kBlueColor);
    EXPECT_EQ(pixel(39, 21), kRedColor);
    EXPECT_EQ(pixel(44, 24), kRedColor);
}

TEST_F(ScaledFrame, PressesAndTheCursorArriveInLogicalPixels)
{
    for (const DisplayScale scale : {DisplayScale::OneAndAHalf, DisplayScale::Double}) {
        open(scale);
        paintWindow();
        // The device pixel at logical (25, 15) and the last one of logical (29, 19).
        const Point inside{toDevice(25, scale), toDevice(15, scale)};
        headless::pressButton(window(), inside, ButtonLeft);
        EXPECT_EQ(probe->pressedAt, Point(25, 15)) << percent(scale);
        headless::pressButton(window(), {toDevice(30, scale) - 1, toDevice(20, scale) - 1}, ButtonLeft);
        EXPECT_EQ(probe->pressedAt, Point(29, 19)) << percent(scale);
        // The first device pixel beyond the probe's reach (its right edge counts) is beyond it
        // logically too.
        headless::pressButton(window(), {toDevice(31, scale), toDevice(15, scale)}, ButtonLeft);
        EXPECT_EQ(probe->presses, 2) << percent(scale);

        headless::setInput(headless::toScreen(window(), inside), 0);
        Point where;
        ASSERT_TRUE(frame->getCurrentLocation(where));
        EXPECT_EQ(where, Point(25, 15)) << percent(scale);
    }
}

TEST_F(ScaledFrame, ScaleChangeWhileOpenResizesTheWindowAndRedrawsEverything)
{
    open(DisplayScale::Normal);
    paintWindow();
    EXPECT_EQ(pixel(10, 10), kRedColor);

    frame->setDisplayScale(DisplayScale::Double);
    EXPECT_EQ(window().getScreenRect().width(), 240);
    EXPECT_EQ(headless::pendingPaintRect(window()), Rect(0, 0, 240, 160));
    EXPECT_TRUE(frame->isDirty());
    EXPECT_TRUE(headless::paint(window()));
    EXPECT_EQ(headless::windowPixels(window()).width(), 240);
    EXPECT_EQ(pixel(20, 20), kRedColor);
    EXPECT_EQ(pixel(59, 39), kRedColor);
    EXPECT_EQ(pixel(60, 40), kBlackColor);

    frame->setDisplayScale(DisplayScale::Normal);
    EXPECT_EQ(window().getScreenRect().width(), 120);
    EXPECT_TRUE(headless::paint(window()));
    EXPECT_EQ(pixel(29, 19), kRedColor);
    EXPECT_EQ(pixel(30, 20), kBlackColor);
}

TEST_F(ScaledFrame, SetSizeAsksForTheDevicePixels)
{
    open(DisplayScale::OneAndAHalf);
    EXPECT_TRUE(frame->setSize(100, 60));
    EXPECT_EQ(frame->getBounds(), Rect(0, 0, 100, 60));
    EXPECT_EQ(headless::hostRect(host).width(), 150);
    EXPECT_EQ(headless::hostRect(host).height(), 90);
    EXPECT_EQ(window().getScreenRect().width(), 150);
}

// Draws nothing and promises the frame that it changed only the given logical rows.
class RowPromiser : public CView {
public:
    RowPromiser(const Rect& size, int32_t firstRow, std::vector<ColumnSpan> rows)
        : CView(size), top(firstRow), spans(std::move(rows))
    {
    }
    void draw(CDrawContext*) override { getFrame()->changesOnlyIn({top, spans}); }

private:
    int32_t top;
    std::vector<ColumnSpan> spans;
};

// A view redrawn alone may promise the window rows finer than its bounds: each logical row
// becomes the device rows it covers with its columns' device pixels, clipped to the view.
// The promise holds only inside redrawView.
TEST_F(ScaledFrame, RowsAViewPromisesReachTheWindowInDevicePixels)
{
    open(DisplayScale::OneAndAHalf);
    // Rows 9 and 10 lie above the view, row 13 reaches past its right edge.
    auto* view = add(new RowPromiser({10, 11, 30, 15}, 9, {{10, 20}, {10, 20}, {12, 20}, {}, {11, 40}, {25, 26}}));
    frame->redrawView(view);
    const std::optional<headless::PromisedRows> promise = headless::lastPromisedRows(window());
    ASSERT_TRUE(promise.has_value());
    EXPECT_EQ(promise->top, 16);
    const std::vector<ColumnSpan> expected{{18, 30}, {18, 30}, {}, {16, 45}, {16, 45}, {37, 39}};
    EXPECT_EQ(promise->spans, expected);

    paintWindow();
    EXPECT_FALSE(headless::lastPromisedRows(window()).has_value()) << "a paint of the frame made a promise";
}

}  // namespace
}  // namespace tolvan::test
