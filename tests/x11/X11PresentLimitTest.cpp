// A promise that only part of the window changes limits one present: the change inside
// it reaches the server, and the next present looks at the whole window again. A promise
// may go row by row; drawings held for one present join their promises.
#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

// Xlib's macros would rewrite names above: it comes last.
#include "framework/platform/x11/X11Connection.h"
#include "tests/x11/X11TestHost.h"

namespace tolvan::test {
namespace {

using VSTGUI::ColumnSpan;
using VSTGUI::Pixel;
using VSTGUI::PixelSurface;
using VSTGUI::Rect;

bool ignoreEvents(VSTGUI::platform::Window&, const VSTGUI::platform::WindowEvent&) { return false; }

// A 200 x 100 editor window in a top-level window of the test's.
class X11PresentLimit : public ::testing::Test {
protected:
    void SetUp() override
    {
        top = host.createTopLevel(100, 100, 200, 100);
        window = VSTGUI::platform::services().createChildWindow(reinterpret_cast<VSTGUI::platform::ParentWindow>(top),
                                                                200, 100, ignoreEvents);
        ASSERT_NE(window, nullptr);
    }
    // Fills rects in one drawing and releases it.
    void draw(std::initializer_list<Rect> rects, Pixel value)
    {
        PixelSurface* surface = window->acquireSurface();
        ASSERT_NE(surface, nullptr);
        for (const Rect& rect : rects) surface->fillRect(rect, surface->bounds(), value);
        window->releaseSurface(surface);
    }
    // What the server shows at (x, y). Presents are sent, not waited for: the server has
    // them once it answers.
    uint32_t shownAt(int32_t x, int32_t y)
    {
        XSync(VSTGUI::x11::Connection::current()->display(), False);
        host.sync();
        return host.readBack(host.childOf(top)).pixelAt(x, y) & 0xFFFFFF;
    }

    X11TestHost host;
    ::Window top = None;
    std::unique_ptr<VSTGUI::platform::Window> window;
};

TEST_F(X11PresentLimit, AppliesToTheNextPresentOnly)
{
    draw({{0, 0, 200, 100}}, 0x204060);
    ASSERT_EQ(shownAt(150, 80), 0x204060u);

    window->changesOnlyIn({10, 10, 40, 30});
    draw({{12, 12, 20, 20}}, 0xC08040);
    EXPECT_EQ(shownAt(15, 15), 0xC08040u) << "the change inside the promise was not sent";

    draw({{140, 70, 160, 90}}, 0x40C080);
    EXPECT_EQ(shownAt(150, 80), 0x40C080u) << "the promise outlived its present";
}

TEST_F(X11PresentLimit, RowsPromisedLimitThePresentAndJoinOtherDrawingsHeldWithThem)
{
    draw({{0, 0, 200, 100}}, 0x204060);
    ASSERT_EQ(shownAt(150, 80), 0x204060u);

    // Row 10 may change in columns 5 to 14, row 11 not at all, row 12 in 50 to 59.
    const std::vector<ColumnSpan> rows{{5, 15}, {}, {50, 60}};
    window->changesOnlyIn(VSTGUI::ChangedRows{10, rows});
    draw({{7, 10, 8, 11}, {59, 12, 60, 13}, {30, 10, 31, 11}}, 0xC08040);
    EXPECT_EQ(shownAt(7, 10), 0xC08040u) << "a change inside the first row's columns was not sent";
    EXPECT_EQ(shownAt(59, 12), 0xC08040u) << "a change inside the third row's columns was not sent";
    EXPECT_EQ(shownAt(30, 10), 0x204060u) << "the present looked outside the rows promised";

    draw({}, 0);
    EXPECT_EQ(shownAt(30, 10), 0xC08040u) << "the promise outlived its present";

    // Held for one present, a drawing over the whole window and one promised in rows that
    // it crosses: every change arrives.
    window->holdPresents();
    draw({{100, 11, 101, 12}, {190, 90, 191, 91}}, 0x40C080);
    window->changesOnlyIn(VSTGUI::ChangedRows{10, rows});
    draw({{8, 10, 9, 11}}, 0x40C080);
    window->releasePresents();
    for (const auto& [x, y] : {std::pair{8, 10}, std::pair{100, 11}, std::pair{190, 90}})
        EXPECT_EQ(shownAt(x, y), 0x40C080u) << x << ", " << y;
}

}  // namespace
}  // namespace tolvan::test
