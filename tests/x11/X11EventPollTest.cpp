// The event pump's look at the server under a real X server: an idle call that finds
// nothing new asks the socket alone, so these check that nothing the server sent between
// two idle calls waits past the next one, wherever it was buffered.
#include "framework/DrawingWindow.h"
#include "framework/platform/Platform.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <chrono>
#include <memory>
#include <thread>

namespace tolvan::test {
namespace {

using VSTGUI::platform::WindowEvent;

// What the window procedure received, by kind. [UI thread]
struct Received {
    int paints = 0;
    int presses = 0;
};
Received received;

bool countEvents(VSTGUI::platform::Window&, const WindowEvent& event)
{
    if (event.kind == WindowEvent::Kind::Paint) ++received.paints;
    if (event.kind == WindowEvent::Kind::ButtonDown) ++received.presses;
    return true;
}

class EventPoll : public ::testing::Test {
protected:
    void SetUp() override
    {
        top = host.createTopLevel(kOrigin, kOrigin, kSize, kSize);
        window = VSTGUI::platform::services().createChildWindow(reinterpret_cast<VSTGUI::platform::ParentWindow>(top),
                                                                kSize, kSize, &countEvents);
        ASSERT_NE(window, nullptr);
        child = host.childOf(top);
        // The new window's first exposure, then a pump that finds nothing.
        host.sync();
        waitForTheServer();
        idleCall();
        idleCall();
        received = {};
    }
    void TearDown() override
    {
        window.reset();
        XDestroyWindow(host.display(), top);
        host.sync();
    }
    void idleCall() { VSTGUI::platform::services().processEvents(window.get()); }
    // The host's requests are handled once its sync returns; what they made for our
    // connection is then on its way to our socket.
    static void waitForTheServer() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }
    void exposeFromTheHost()
    {
        XClearArea(host.display(), child, 0, 0, 0, 0, True);
        host.sync();
        waitForTheServer();
    }

    static constexpr int kOrigin = 100;
    static constexpr int kSize = 80;
    X11TestHost host;
    ::Window top = None;
    ::Window child = None;
    std::unique_ptr<VSTGUI::platform::Window> window;
};

TEST_F(EventPoll, AnExposureOrAPressBetweenIdleCallsIsDeliveredByTheNextOne)
{
    exposeFromTheHost();
    idleCall();
    EXPECT_EQ(received.paints, 1);

    host.moveCursor(kOrigin + 10, kOrigin + 10);
    host.pressButton(Button1);
    host.releaseButton(Button1);
    host.sync();
    waitForTheServer();
    idleCall();
    EXPECT_EQ(received.presses, 1);
}

// A question the editor asks the server reads whatever came before the answer off the
// socket into the client's buffers: the next idle call must still find it there.
TEST_F(EventPoll, AnExposureReadAlongWithAnAnswerIsDeliveredByTheNextIdleCall)
{
    exposeFromTheHost();
    static_cast<VSTGUI::DrawingWindow*>(window.get())->screenOrigin();
    idleCall();
    EXPECT_EQ(received.paints, 1);

    exposeFromTheHost();
    VSTGUI::Rect parent;
    ASSERT_TRUE(window->getParentRect(parent));
    idleCall();
    EXPECT_EQ(received.paints, 2);
}

// The window's requests that need no answer are sent at the next idle call, even when
// nothing has come in from the server (with MIT-SHM a resize waits for the server anyway;
// the suite runs without it as well).
TEST_F(EventPoll, ARequestMadeBetweenIdleCallsReachesTheServerAtTheNextOne)
{
    window->resize(kSize / 2, kSize / 4);
    idleCall();
    int width = 0;
    int height = 0;
    host.windowSize(child, width, height);
    EXPECT_EQ(width, kSize / 2);
    EXPECT_EQ(height, kSize / 4);
}

}  // namespace
}  // namespace tolvan::test
