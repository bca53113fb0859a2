#include "tests/framework/FrameworkTestSupport.h"

namespace tolvan::test {

void FrameTest::makeFrame(int32_t width, int32_t height)
{
    headless::reset();
    host = headless::createHostWindow(Rect::fromSize(kHostOrigin, width, height));
    frame = new CFrame({0, 0, width, height}, host, &editor);
    editor.frame = frame;
}

void FrameTest::destroyFrame()
{
    if (frame) frame->release();
    frame = nullptr;
    editor.frame = nullptr;
    headless::destroyHostWindow(host);
}

void FrameTest::paintAll()
{
    window().invalidate(frame->getBounds());
    headless::paint(window());
}

void FrameTest::schedulePath(std::initializer_list<Point> path, MouseButtons buttons, uint32_t& time)
{
    for (Point p : path) {
        time += 10;
        headless::scheduleInput(time, headless::toScreen(window(), p), buttons);
    }
}

void FrameTest::drag(Point from, std::initializer_list<Point> path, MouseButtons buttons)
{
    uint32_t time = 0;
    schedulePath(path, buttons, time);
    const Point last = path.size() ? *(path.end() - 1) : from;
    headless::scheduleInput(time + 10, headless::toScreen(window(), last), 0);
    headless::pressButton(window(), from, buttons);
}

void FrameTest::click(Point at, MouseButtons buttons) { drag(at, {}, buttons); }

}  // namespace tolvan::test
