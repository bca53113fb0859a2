// The headless window's paint region: every rectangle invalidated before a paint is in it.
#include "framework/platform/headless/HeadlessScript.h"
#include "tests/framework/PaintRegionCheck.h"

namespace tolvan::test {
namespace {

TEST(HeadlessPaintRegion, EveryInvalidatedRectangleIsInTheNextPaint)
{
    VSTGUI::headless::reset();
    auto* host = VSTGUI::headless::createHostWindow({100, 100, 400, 300});
    expectEveryInvalidatedRectangleInTheNextPaint(host, [](VSTGUI::platform::Window&) {});
    VSTGUI::headless::destroyHostWindow(host);
}

}  // namespace
}  // namespace tolvan::test
