// A promise that only part of the window changes limits one present: the change inside
// it reaches the server, and the next present looks at the whole window again.
#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "framework/platform/x11/X11Connection.h"
#include "tests/x11/X11TestHost.h"

namespace tolvan::test {
namespace {

using VSTGUI::Pixel;
using VSTGUI::PixelSurface;
using VSTGUI::Rect;

bool ignoreEvents(VSTGUI::platform::Window&, const VSTGUI::platform::WindowEvent&) { return false; }

TEST(X11PresentLimit, AppliesToTheNextPresentOnly)
{
    X11TestHost host;
    const ::Window top = host.createTopLevel(100, 100, 200, 100);
    auto window = VSTGUI::platform::services().createChildWindow(reinterpret_cast<VSTGUI::platform::ParentWindow>(top),
                                                                 200, 100, ignoreEvents);
    ASSERT_NE(window, nullptr);
    const auto draw = [&](const Rect& rect, Pixel value) {
        PixelSurface* surface = window->acquireSurface();
        ASSERT_NE(surface, nullptr);
        surface->fillRect(rect, surface->bounds(), value);
        window->releaseSurface(surface);
        // The window's present is sent, not waited for: the server has it once it answers.
        XSync(VSTGUI::x11::Connection::current()->display(), False);
        host.sync();
    };
    const auto shownAt = [&](int32_t x, int32_t y) {
        return host.readBack(host.childOf(top)).pixelAt(x, y) & 0xFFFFFF;
    };
    draw({0, 0, 200, 100}, 0x204060);
    ASSERT_EQ(shownAt(150, 80), 0x204060u);

    window->changesOnlyIn({10, 10, 40, 30});
    draw({12, 12, 20, 20}, 0xC08040);
    EXPECT_EQ(shownAt(15, 15), 0xC08040u) << "the change inside the promise was not sent";

    draw({140, 70, 160, 90}, 0x40C080);
    EXPECT_EQ(shownAt(150, 80), 0x40C080u) << "the promise outlived its present";
}

}  // namespace
}  // namespace tolvan::test
