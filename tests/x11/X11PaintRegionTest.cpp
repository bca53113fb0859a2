// The X11 window's paint region under a real X server: every rectangle invalidated
// before a paint is in it.
#include "framework/platform/Platform.h"
#include "tests/framework/PaintRegionCheck.h"

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

namespace tolvan::test {
namespace {

TEST(X11PaintRegion, EveryInvalidatedRectangleIsInTheNextPaint)
{
    X11TestHost host;
    const ::Window top = host.createTopLevel(100, 100, 300, 200);
    // The new window's exposure reaches it through the event pump.
    const auto settle = [&host](VSTGUI::platform::Window& window) {
        host.sync();
        VSTGUI::platform::services().processEvents(&window);
    };
    expectEveryInvalidatedRectangleInTheNextPaint(reinterpret_cast<VSTGUI::platform::ParentWindow>(top), settle);
}

}  // namespace
}  // namespace tolvan::test
