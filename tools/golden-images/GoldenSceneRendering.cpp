// The golden scene painted and operated on the headless back end.
#include "tools/golden-images/GoldenScene.h"

#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"

namespace tolvan::test {

using namespace VSTGUI;

PixelSurface renderGoldenScene()
{
    headless::reset();
    const platform::ParentWindow host = headless::createHostWindow({300, 200, 420, 260});
    PixelSurface pixels;
    {
        GoldenSceneFrame scene(host);
        platform::Window& window = *scene.frame()->getWindow();
        window.invalidate(scene.frame()->getBounds());
        headless::paint(window);

        const auto screen = [&](Point p) { return headless::toScreen(window, p); };
        headless::scheduleInput(10, screen(kKnobPress), ButtonLeft);
        headless::scheduleInput(20, screen(kKnobDragTarget), ButtonLeft);
        headless::scheduleInput(30, screen(kKnobDragTarget), 0);
        headless::pressButton(window, kKnobPress, ButtonLeft);
        headless::advanceTime(1000);
        headless::scheduleInput(10, screen(kSwitchClick), 0);
        headless::pressButton(window, kSwitchClick, ButtonLeft);
        scene.frame()->idle();
        pixels = headless::windowPixels(window);
    }
    headless::destroyHostWindow(host);
    return pixels;
}

}  // namespace tolvan::test
