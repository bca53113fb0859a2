// Whatever a window is told to redraw before its next paint is in that paint, whatever
// the order and arrangement of the rectangles. Shared by the headless and the X11 back
// end's tests, which each give it a parent window of their own.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/platform/Platform.h"

namespace tolvan::test {

struct PaintLog {
    static inline std::vector<VSTGUI::Rect> paints;
    static bool procedure(VSTGUI::platform::Window&, const VSTGUI::platform::WindowEvent& event)
    {
        if (event.kind == VSTGUI::platform::WindowEvent::Kind::Paint) paints.push_back(event.updateRect);
        return true;
    }
};

inline bool covers(const VSTGUI::Rect& outer, const VSTGUI::Rect& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// settle lets the window system hand over what it holds (the first exposure of a new
// window), so that each arrangement starts with nothing pending.
inline void expectEveryInvalidatedRectangleInTheNextPaint(VSTGUI::platform::ParentWindow parent,
                                                          const std::function<void(VSTGUI::platform::Window&)>& settle)
{
    using VSTGUI::Rect;
    auto window = VSTGUI::platform::services().createChildWindow(parent, 200, 100, &PaintLog::procedure);
    ASSERT_NE(window, nullptr);
    const std::vector<std::vector<Rect>> arrangements = {
        {{10, 10, 30, 30}, {150, 60, 190, 90}},                  // apart
        {{150, 60, 190, 90}, {10, 10, 30, 30}},                  // the same the other way round
        {{5, 50, 15, 60}, {100, 5, 110, 15}},                    // left and low, then right and high
        {{10, 10, 30, 30}, {40, 10, 60, 30}, {70, 70, 90, 90}},  // three
        {{0, 0, 200, 100}, {10, 10, 20, 20}},                    // the second inside the first
        {{10, 10, 20, 20}, {0, 0, 200, 100}},                    // the first inside the second
        {{20, 20, 40, 40}, {20, 20, 40, 40}},                    // the same twice
    };
    for (const std::vector<Rect>& rects : arrangements) {
        settle(*window);
        while (VSTGUI::platform::services().dispatchPendingPaint()) {
        }
        PaintLog::paints.clear();
        for (const Rect& rect : rects) window->invalidate(rect);
        ASSERT_TRUE(VSTGUI::platform::services().dispatchPendingPaint());
        ASSERT_EQ(PaintLog::paints.size(), 1u);
        const Rect painted = PaintLog::paints.front();
        for (const Rect& rect : rects)
            EXPECT_TRUE(covers(painted, rect))
                << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
                << ") is missing from the paint of (" << painted.left << ", " << painted.top << ", " << painted.right
                << ", " << painted.bottom << ")";
    }
}

}  // namespace tolvan::test
