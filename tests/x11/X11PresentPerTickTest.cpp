// What a window's timers draw in one pass of the event pump reaches the server as one
// present after them: every change arrives, each distant change as its own image, and
// nothing waits for the server while its word on the last present has come in.
#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "framework/platform/x11/X11Connection.h"
#include "tests/x11/X11TestHost.h"

#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace tolvan::test {
namespace {

using VSTGUI::Pixel;
using VSTGUI::PixelSurface;
using VSTGUI::Rect;

constexpr uint32_t kTimerId = 7;
constexpr uint32_t kInterval = 5;

// The drawings the timer makes at its next tick, each promised to change only its own
// rectangle, as an editor redraws its meter and its graph. [UI thread]
struct Drawing {
    Rect rect;
    Pixel value;
};
std::vector<Drawing> nextTick;

void drawAtTick(VSTGUI::platform::Window& window, uint32_t)
{
    for (const Drawing& drawing : nextTick) {
        PixelSurface* surface = window.acquireSurface();
        surface->fillRect(drawing.rect, surface->bounds(), drawing.value);
        window.changesOnlyIn(drawing.rect);
        window.releaseSurface(surface);
    }
    nextTick.clear();
}

bool ignoreEvents(VSTGUI::platform::Window&, const VSTGUI::platform::WindowEvent&) { return false; }

TEST(X11PresentPerTick, TheTimersDrawingsGoAcrossTogetherWithoutAWaitForTheServer)
{
    X11TestHost host;
    const ::Window top = host.createTopLevel(100, 100, 300, 100);
    auto window = VSTGUI::platform::services().createChildWindow(reinterpret_cast<VSTGUI::platform::ParentWindow>(top),
                                                                 300, 100, ignoreEvents);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->startTimer(kTimerId, kInterval, drawAtTick));
    Display* editorDisplay = VSTGUI::x11::Connection::current()->display();
    // One pass of the pump once the timer is due; answers the requests it made.
    const auto tick = [&](std::vector<Drawing> drawings) {
        nextTick = std::move(drawings);
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * kInterval));
        const unsigned long before = XNextRequest(editorDisplay);
        VSTGUI::platform::services().processEvents(window.get());
        const unsigned long made = XNextRequest(editorDisplay) - before;
        // The present is sent, not waited for: the server has it once it answers.
        XSync(editorDisplay, False);
        host.sync();
        return made;
    };
    const auto shownAt = [&](int32_t x, int32_t y) {
        return host.readBack(host.childOf(top)).pixelAt(x, y) & 0xFFFFFF;
    };
    // The first exposure and whole-window present out of the way.
    tick({{{0, 0, 300, 100}, 0x204060}});
    ASSERT_EQ(shownAt(150, 50), 0x204060u);

    const unsigned long oneDrawing = tick({{{10, 10, 30, 30}, 0xC08040}});
    EXPECT_EQ(shownAt(20, 20), 0xC08040u);
    // One image and no wait: the server's word that it read the last one came in between.
    EXPECT_EQ(oneDrawing, 1u);
    // A meter and a graph far apart: each change goes as its own image, one request more
    // than the single drawing above.
    const unsigned long twoDrawings = tick({{{10, 60, 30, 80}, 0x40C080}, {{250, 10, 290, 90}, 0x8040C0}});
    EXPECT_EQ(shownAt(20, 70), 0x40C080u);
    EXPECT_EQ(shownAt(270, 50), 0x8040C0u);
    EXPECT_EQ(shownAt(150, 50), 0x204060u);
    EXPECT_EQ(twoDrawings, oneDrawing + 1);

    // Drawings that overlap are compared and sent once.
    const unsigned long overlapping = tick({{{100, 10, 160, 60}, 0x102030}, {{140, 40, 200, 90}, 0x302010}});
    EXPECT_EQ(shownAt(120, 20), 0x102030u);
    EXPECT_EQ(shownAt(180, 80), 0x302010u);
    EXPECT_EQ(overlapping, oneDrawing);
    window->stopTimer(kTimerId);
}

// A curve changes a few pixels here and there along many rows: each of them reaches the
// server, wherever it lies in its row, and what the window showed before stays.
TEST(X11PresentPerTick, ScatteredChangesAllReachTheServer)
{
    X11TestHost host;
    constexpr int32_t kWidth = 333;
    constexpr int32_t kHeight = 90;
    const ::Window top = host.createTopLevel(100, 100, kWidth, kHeight);
    auto window = VSTGUI::platform::services().createChildWindow(reinterpret_cast<VSTGUI::platform::ParentWindow>(top),
                                                                 kWidth, kHeight, ignoreEvents);
    ASSERT_NE(window, nullptr);
    Display* editorDisplay = VSTGUI::x11::Connection::current()->display();
    std::mt19937 random(5);
    std::uniform_int_distribution<int32_t> column(0, kWidth - 1);
    std::uniform_int_distribution<int32_t> count(0, 3);
    PixelSurface expected(kWidth, kHeight);
    for (uint32_t pass = 1; pass <= 4; ++pass) {
        PixelSurface* surface = window->acquireSurface();
        if (pass == 1) surface->fill(0xFF204060);
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t n = count(random); n > 0; --n)
                surface->fillRect(Rect::fromSize({column(random), y}, 1, 1), surface->bounds(),
                                  0xFF000000 | (pass * 0x3050u + static_cast<uint32_t>(y)));
        expected = *surface;
        window->releaseSurface(surface);
        XSync(editorDisplay, False);
        host.sync();
        const PixelSurface shown = host.readBack(host.childOf(top));
        int32_t differing = 0;
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x)
                differing += (shown.pixelAt(x, y) & 0xFFFFFF) != (expected.pixelAt(x, y) & 0xFFFFFF);
        EXPECT_EQ(differing, 0) << "pass " << pass;
    }
}

}  // namespace
}  // namespace tolvan::test
