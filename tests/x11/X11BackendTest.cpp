// The X11 back end under a real X server (Xvfb): a frame with controls in a child window
// of a test host's top-level window, driven through XTest and read back from the server.

#include "framework/CAnimKnob.h"
#include "framework/CBitmap.h"
#include "framework/CDragContainer.h"
#include "framework/CFrame.h"
#include "framework/COffscreenContext.h"
#include "framework/COnOffButton.h"
#include "framework/CParamDisplay.h"
#include "framework/FrameEditor.h"
#include "framework/platform/Platform.h"
#include "tools/golden-images/FrameworkBitmaps.h"

#include <gtest/gtest.h>

// Xlib's macros (None, Bool, CursorShape) would rewrite names above: it comes last.
#include "framework/platform/x11/XdndTarget.h"
#include "tests/x11/ServerResources.h"
#include "tests/x11/X11TestHost.h"

#include <X11/Xatom.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tolvan::test {
namespace {

using namespace VSTGUI;

constexpr Rect kSceneSize{0, 0, 120, 60};
constexpr Rect kKnobRect{10, 8, 30, 28};
constexpr int32_t kKnobTag = 3;
constexpr Point kHostOrigin{100, 100};

// The frame's editor: logs gestures, runs the frame's idle, and plays a script of host
// steps at each host idle request (that is, inside a control's mouse loop).
class ScriptedEditor : public FrameEditor {
public:
    void beginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }
    void runEditorIdle() override
    {
        if (frame) frame->idle();
    }
    void requestHostIdle() override
    {
        if (!steps.empty()) {
            auto step = steps.front();
            steps.erase(steps.begin());
            step();
        }
    }
    int32_t knobMode() const override { return 2; }  // linear: up turns up
    bool requestHostResize(int32_t, int32_t) override { return false; }

    CFrame* frame = nullptr;
    std::vector<std::string> log;
    std::vector<std::function<void()>> steps;
};

class Listener : public CControlListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override { values.push_back(control->getValue()); }
    int32_t modifierClicked(CDrawContext*, CControl*, MouseButtons) override { return 0; }
    std::vector<float> values;
};

// A view that records the drags that reach it.
class DropProbe : public CView {
public:
    explicit DropProbe(const Rect& size) : CView(size) {}
    void draw(CDrawContext*) override {}
    void dragEnter(CDrawContext*, CDragContainer* drag, Point) override
    {
        log.push_back("enter " + std::to_string(drag->getCount()));
    }
    void dragMove(CDrawContext*, CDragContainer*, Point) override
    {
        if (log.empty() || log.back() != "move") log.push_back("move");
    }
    void dragLeave(CDrawContext*, CDragContainer*, Point) override { log.push_back("leave"); }
    bool drop(CDrawContext*, CDragContainer* drag, Point) override
    {
        log.push_back("drop " + std::to_string(drag->getCount()));
        return false;
    }
    std::vector<std::string> log;
};

// The scene: background, a film-strip knob, a switch and a value display.
void buildScene(CFrame* frame, CControlListener* listener)
{
    auto* background = new CBitmap(kSceneBackground);
    frame->setBackground(background);
    background->release();
    auto* strip = new CBitmap(kKnobStrip);
    auto* knob = new CAnimKnob(kKnobRect, listener, kKnobTag, 5, 20, strip);
    strip->release();
    knob->setValue(0.25f);
    frame->addView(knob);
    auto* switchStrip = new CBitmap(kSwitchStrip);
    frame->addView(new COnOffButton({40, 10, 56, 26}, listener, 4, switchStrip));
    switchStrip->release();
    auto* display = new CParamDisplay({4, 32, 60, 43}, nullptr, 0x1);
    display->setValue(0.5f);
    display->setBackColor(kBlueColor);
    frame->addView(display);
}

// The same scene drawn by the software renderer alone, with no window at all.
PixelSurface referenceRendering(const std::function<void(CFrame*)>& change = {},
                                DisplayScale scale = DisplayScale::Normal)
{
    Listener listener;
    auto* frame = new CFrame(kSceneSize, nullptr, nullptr, scale);
    buildScene(frame, &listener);
    if (change) change(frame);
    auto* offscreen = new COffscreenContext(frame, kSceneSize.width(), kSceneSize.height(), kBlackColor);
    frame->draw(offscreen);
    PixelSurface pixels = offscreen->pixels();
    offscreen->release();
    frame->release();
    return pixels;
}

int openFileCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// Shared-memory segments this process created (other programs on the machine have theirs).
int sharedMemorySegmentCount()
{
    std::ifstream table("/proc/sysvipc/shm");
    std::string line;
    std::getline(table, line);  // the heading
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string key, id, permissions, size;
        long creator = 0;
        fields >> key >> id >> permissions >> size >> creator;
        count += creator == getpid();
    }
    return count;
}

// Children of this process: all of them, or only those that have ended and were never
// reaped.
int childProcesses(bool zombiesOnly)
{
    int count = 0;
    const std::string self = std::to_string(getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        std::string line;
        bool zombie = false;
        bool ours = false;
        while (std::getline(status, line)) {
            if (line.rfind("State:", 0) == 0) zombie = line.find('Z') != std::string::npos;
            if (line.rfind("PPid:", 0) == 0)
                ours = line.substr(5).find(self) != std::string::npos && std::stoi(line.substr(5)) == getpid();
        }
        count += ours && (zombie || !zombiesOnly);
    }
    return count;
}

int zombieChildren() { return childProcesses(true); }

void eventPump() { platform::services().processEvents(nullptr); }

bool pumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 3000)
{
    return tolvan::test::pumpUntil(done, timeoutMs, eventPump);
}

// The id of a window that no longer exists.
Window deadWindow(X11TestHost& host)
{
    const Window window = host.createTopLevel(0, 0, 5, 5);
    XDestroyWindow(host.display(), window);
    host.sync();
    return window;
}

int countingHandlerCalls = 0;
int countingHandler(Display*, XErrorEvent*)
{
    ++countingHandlerCalls;
    return 0;
}

class X11FrameTest : public ::testing::Test {
protected:
    void SetUp() override { topLevel = host.createTopLevel(kHostOrigin.x, kHostOrigin.y, 200, 120); }
    void TearDown() override
    {
        closeFrame();
        XDestroyWindow(host.display(), topLevel);
        host.sync();
    }

    CFrame* openFrame(Window parent, DisplayScale scale = DisplayScale::Normal)
    {
        auto* frame = new CFrame(kSceneSize, reinterpret_cast<platform::ParentWindow>(parent), &editor, scale);
        buildScene(frame, &listener);
        return frame;
    }
    void open(DisplayScale scale = DisplayScale::Normal)
    {
        frame = openFrame(topLevel, scale);
        editor.frame = frame;
    }
    void closeFrame()
    {
        if (frame) frame->release();
        frame = nullptr;
        editor.frame = nullptr;
    }
    // Pumps until the window shows what the software renderer draws, or a second passes.
    bool showsReference(const PixelSurface& expected)
    {
        const Window child = host.childOf(topLevel);
        PixelSurface shown;
        const bool same = tolvan::test::pumpUntil(
            [&] {
                shown = host.readBack(child);
                return shown.width() == expected.width() && shown.height() == expected.height() &&
                       std::equal(shown.pixels().begin(), shown.pixels().end(), expected.pixels().begin());
            },
            1000, frameIdle());
        int differing = 0;
        for (int32_t y = 0; y < std::min(shown.height(), expected.height()); ++y)
            for (int32_t x = 0; x < std::min(shown.width(), expected.width()); ++x)
                differing += shown.pixelAt(x, y) != expected.pixelAt(x, y);
        EXPECT_TRUE(same) << differing << " pixels differ; at the knob's centre the window shows " << std::hex
                          << shown.pixelAt(20, 18) << ", the software rendering " << expected.pixelAt(20, 18);
        return same;
    }
    CAnimKnob* knob() { return static_cast<CAnimKnob*>(frame->childAt(0)); }
    // The host's idle call: the editor's idle runs the frame's.
    IdleCall frameIdle()
    {
        return [this] {
            if (frame)
                frame->idle();
            else
                platform::services().processEvents(nullptr);
        };
    }
    bool pump(const std::function<bool()>& done, uint32_t timeoutMs = 3000)
    {
        return tolvan::test::pumpUntil(done, timeoutMs, frameIdle());
    }

    X11TestHost host;
    Window topLevel = None;
    ScriptedEditor editor;
    Listener listener;
    CFrame* frame = nullptr;
};

TEST_F(X11FrameTest, WindowIsAChildOfTheHostsWindowAndShowsExactlyTheSoftwareRendering)
{
    open();
    const Window child = host.childOf(topLevel);
    ASSERT_NE(child, static_cast<Window>(None));
    XWindowAttributes attributes{};
    XGetWindowAttributes(host.display(), child, &attributes);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    EXPECT_EQ(attributes.width, 120);
    EXPECT_EQ(attributes.height, 60);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_TRUE(showsReference(referenceRendering()));

    // A change drawn by the idle pass reaches the screen: only what changed is sent.
    knob()->setValue(0.75f);
    EXPECT_TRUE(
        showsReference(referenceRendering([](CFrame* f) { static_cast<CControl*>(f->childAt(0))->setValue(0.75f); })));

    // The server asks for lost pixels again: they are sent although nothing changed.
    XClearArea(host.display(), child, 0, 0, 0, 0, True);
    host.sync();
    EXPECT_TRUE(
        showsReference(referenceRendering([](CFrame* f) { static_cast<CControl*>(f->childAt(0))->setValue(0.75f); })));
}

// MIT-SHM where the server offers it (libXext is loaded at run time), XPutImage where it
// does not: the suite runs on servers of both kinds, and the pixels above are the same.
TEST_F(X11FrameTest, PresentsThroughSharedMemoryExactlyWhenTheServerOffersIt)
{
    int opcode = 0, firstEvent = 0, firstError = 0;
    const bool offered = XQueryExtension(host.display(), "MIT-SHM", &opcode, &firstEvent, &firstError) == True;
    const int segmentsBefore = sharedMemorySegmentCount();
    open();
    EXPECT_TRUE(showsReference(referenceRendering()));
    EXPECT_EQ(sharedMemorySegmentCount() > segmentsBefore, offered)
        << (offered ? "the server offers MIT-SHM, but no segment was made"
                    : "a segment was made for a server without MIT-SHM");
    closeFrame();
    host.sync();
    EXPECT_EQ(sharedMemorySegmentCount(), segmentsBefore);
}

TEST_F(X11FrameTest, DragOnTheKnobTracksTheMouseAndTheWheelTurnsItOneNotch)
{
    open();
    ASSERT_TRUE(showsReference(referenceRendering()));
    const int x = kHostOrigin.x + 20;
    const int y = kHostOrigin.y + 18;
    editor.steps = {[&] { host.moveCursor(x, y - 10); }, [&] { host.moveCursor(x, y - 30); },
                    [&] { host.releaseButton(Button1); }};
    host.moveCursor(x, y);
    host.pressButton(Button1);
    ASSERT_TRUE(pump([&] { return editor.steps.empty(); }));
    EXPECT_EQ(editor.log.front(), "begin 3");
    EXPECT_EQ(editor.log.back(), "end 3");
    ASSERT_FALSE(listener.values.empty());
    const float dragged = knob()->getValue();
    EXPECT_GT(dragged, 0.25f);

    // One notch up over the knob; the host's window gets the wheel as well.
    XSelectInput(host.display(), topLevel, ButtonPressMask);
    host.moveCursor(x, y);
    host.pressButton(Button4);
    host.releaseButton(Button4);
    ASSERT_TRUE(pump([&] { return knob()->getValue() != dragged; }));
    EXPECT_NEAR(knob()->getValue(), std::min(dragged + knob()->getWheelIncrement(), 1.0f), 1e-6f);
    XEvent forwarded{};
    EXPECT_TRUE(
        pump([&] { return XCheckTypedWindowEvent(host.display(), topLevel, ButtonPress, &forwarded) == True; }));
    EXPECT_EQ(forwarded.xbutton.button, static_cast<unsigned>(Button4));

    // Releases and moves reach nobody: nothing changes without a press.
    const std::size_t reports = listener.values.size();
    host.moveCursor(x + 40, y);
    pumpFor(50, frameIdle());
    EXPECT_EQ(listener.values.size(), reports);
}

// At 2x the window and the presented image have the device pixels, and the mouse, which
// the server reports in device pixels, reaches the knob in logical ones: the same drag in
// logical pixels leaves the same value as at 1x.
TEST_F(X11FrameTest, AtTwiceTheScaleTheWindowHasDevicePixelsAndTheSameDragGivesTheSameValue)
{
    XResizeWindow(host.display(), topLevel, 300, 200);
    host.sync();
    std::vector<float> values;
    for (const DisplayScale scale : {DisplayScale::Normal, DisplayScale::Double}) {
        open(scale);
        const Window child = host.childOf(topLevel);
        XWindowAttributes attributes{};
        XGetWindowAttributes(host.display(), child, &attributes);
        EXPECT_EQ(attributes.width, toDevice(120, scale));
        EXPECT_EQ(attributes.height, toDevice(60, scale));
        ASSERT_TRUE(showsReference(referenceRendering({}, scale)));

        const auto screen = [scale](int32_t x, int32_t y) {
            return Point{kHostOrigin.x + toDevice(x, scale), kHostOrigin.y + toDevice(y, scale)};
        };
        editor.steps = {[&] { host.moveCursor(screen(20, 8).x, screen(20, 8).y); },
                        [&] { host.moveCursor(screen(34, 4).x, screen(34, 4).y); },
                        [&] { host.releaseButton(Button1); }};
        host.moveCursor(screen(20, 18).x, screen(20, 18).y);
        host.pressButton(Button1);
        ASSERT_TRUE(pump([&] { return editor.steps.empty(); }));
        values.push_back(knob()->getValue());
        closeFrame();
        host.sync();
    }
    EXPECT_GT(values[0], 0.25f);
    EXPECT_EQ(values[1], values[0]);
}

TEST_F(X11FrameTest, HostDestroyingItsWindowFirstClosesTheFrameQuietly)
{
    const XErrorHandler hostHandler = XSetErrorHandler(countingHandler);
    countingHandlerCalls = 0;
    open();
    ASSERT_TRUE(showsReference(referenceRendering()));
    XDestroyWindow(host.display(), topLevel);
    topLevel = host.createTopLevel(0, 0, 10, 10);  // for TearDown
    host.sync();
    // Drawing before the news arrives goes into a window that is gone: errors, ours alone.
    frame->redrawView(nullptr);
    frame->setCursor(kCursorHand);
    EXPECT_TRUE(pump([&] { return !frame->getOpenFlag(); }));
    frame->redrawView(nullptr);
    frame->idle();
    closeFrame();
    EXPECT_EQ(countingHandlerCalls, 0);
    EXPECT_EQ(XSetErrorHandler(hostHandler), countingHandler);
}

TEST_F(X11FrameTest, CloseRightAfterTheHostDestroyedItsWindowNeedsNoIdleInBetween)
{
    const XErrorHandler hostHandler = XSetErrorHandler(countingHandler);
    countingHandlerCalls = 0;
    open();
    XDestroyWindow(host.display(), topLevel);
    host.sync();
    topLevel = host.createTopLevel(0, 0, 10, 10);
    closeFrame();
    EXPECT_EQ(countingHandlerCalls, 0);
    EXPECT_EQ(XSetErrorHandler(hostHandler), countingHandler);
}

TEST_F(X11FrameTest, ErrorsOfOtherConnectionsGoToTheHostsHandlerWhichComesBackAtTheLastClose)
{
    const XErrorHandler before = XSetErrorHandler(countingHandler);
    countingHandlerCalls = 0;
    open();
    const XErrorHandler standing = XSetErrorHandler(countingHandler);
    XSetErrorHandler(standing);
    EXPECT_NE(standing, countingHandler) << "ours stands in front while a window is open";
    // An error on the host's own connection reaches the host's handler through ours.
    XMapWindow(host.display(), deadWindow(host));
    host.sync();
    EXPECT_EQ(countingHandlerCalls, 1);
    closeFrame();
    EXPECT_EQ(XSetErrorHandler(before), countingHandler);
}

TEST_F(X11FrameTest, TwoWindowsAtOnceShareOneConnectionAndLiveApart)
{
    const int filesBefore = openFileCount();
    open();
    const Window secondTop = host.createTopLevel(400, 100, 200, 120);
    ScriptedEditor secondEditor;
    Listener secondListener;
    auto* second = new CFrame(kSceneSize, reinterpret_cast<platform::ParentWindow>(secondTop), &secondEditor);
    buildScene(second, &secondListener);
    secondEditor.frame = second;
    EXPECT_EQ(openFileCount(), filesBefore + 1);
    const PixelSurface expected = referenceRendering();
    // The host idles each editor; each frame's idle serves its own window.
    EXPECT_TRUE(tolvan::test::pumpUntil(
        [&] {
            const PixelSurface shown = host.readBack(host.childOf(secondTop));
            return std::equal(shown.pixels().begin(), shown.pixels().end(), expected.pixels().begin());
        },
        3000,
        [&] {
            frame->idle();
            second->idle();
        }));
    ASSERT_TRUE(showsReference(expected));
    second->release();
    // The first stays open, painted and responsive.
    knob()->setValue(1.0f);
    EXPECT_TRUE(
        showsReference(referenceRendering([](CFrame* f) { static_cast<CControl*>(f->childAt(0))->setValue(1.0f); })));
    closeFrame();
    EXPECT_EQ(openFileCount(), filesBefore);
    XDestroyWindow(host.display(), secondTop);
}

// What the timer procedures of the next test see. [UI thread]
struct TickLog {
    std::vector<CFrame*> frames;
    int running = 0;
    int deepest = 0;
    std::map<uint32_t, int> firesThisPump;
    int mostFiresInOnePump = 0;
};
TickLog tickLog;

// A tick that does what an editor's does: it lets every frame redraw (each frame's idle
// runs a pump of its own inside this one), and it takes longer than the timers' interval.
void slowTick(platform::Window&, uint32_t id)
{
    ++tickLog.running;
    tickLog.deepest = std::max(tickLog.deepest, tickLog.running);
    tickLog.mostFiresInOnePump = std::max(tickLog.mostFiresInOnePump, ++tickLog.firesThisPump[id]);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    for (CFrame* each : tickLog.frames) each->idle();
    --tickLog.running;
}

TEST_F(X11FrameTest, TimersNeverFireInsideAnotherTimersProcedureAndAtMostOncePerPump)
{
    open();
    const Window secondTop = host.createTopLevel(400, 100, 200, 120);
    CFrame* second = openFrame(secondTop);
    tickLog = {};
    tickLog.frames = {frame, second};
    ASSERT_TRUE(frame->getWindow()->startTimer(1, 1, slowTick));
    ASSERT_TRUE(second->getWindow()->startTimer(2, 1, slowTick));
    ASSERT_TRUE(second->getWindow()->startTimer(3, 1, slowTick));
    for (int round = 0; round < 20; ++round) {
        for (CFrame* each : tickLog.frames) {
            tickLog.firesThisPump.clear();
            each->idle();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(tickLog.deepest, 1) << "a timer fired inside another timer's procedure";
    EXPECT_EQ(tickLog.mostFiresInOnePump, 1);
    tickLog = {};
    second->release();
    XDestroyWindow(host.display(), secondTop);
}

TEST_F(X11FrameTest, ThousandOpenCloseCyclesLeaveNothingBehind)
{
    open();  // keeps the connection, so that the server's count of our resources is readable
    ASSERT_TRUE(showsReference(referenceRendering()));
    const Window keeper = host.childOf(topLevel);
    const Window cycleTop = host.createTopLevel(400, 100, 200, 120);
    const auto cycle = [&] {
        ScriptedEditor cycleEditor;
        Listener cycleListener;
        auto* cycled = new CFrame(kSceneSize, reinterpret_cast<platform::ParentWindow>(cycleTop), &cycleEditor);
        buildScene(cycled, &cycleListener);
        cycleEditor.frame = cycled;
        cycled->getWindow()->invalidate(kSceneSize);
        platform::services().processEvents(cycled->getWindow());
        cycled->setCursor(kCursorHand);
        cycled->getWindow()->startTimer(1, 25, [](platform::Window&, uint32_t) {});
        cycled->release();
    };
    for (int i = 0; i < 10; ++i) cycle();
    host.sync();
    const auto resourcesBefore = clientResources(host.display(), keeper);
    const int filesBefore = openFileCount();
    const int segmentsBefore = sharedMemorySegmentCount();
    for (int i = 0; i < 1000; ++i) cycle();
    host.sync();
    EXPECT_EQ(host.childCount(cycleTop), 0);
    EXPECT_EQ(openFileCount(), filesBefore);
    EXPECT_EQ(sharedMemorySegmentCount(), segmentsBefore);
    const auto resourcesAfter = clientResources(host.display(), keeper);
    if (resourcesBefore.empty())
        GTEST_SKIP() << "the server has no X-Resource extension: windows, pixmaps and cursors not counted";
    EXPECT_EQ(resourcesAfter, resourcesBefore);
    XDestroyWindow(host.display(), cycleTop);
}

// The test host plays an XDND source: it offers two files and answers the data request.
TEST_F(X11FrameTest, DraggedFilesReachTheViewsAndTheDropIsAnsweredAsAMove)
{
    open();
    auto* probe = new DropProbe({0, 0, 120, 60});
    frame->addView(probe);
    ASSERT_TRUE(showsReference(referenceRendering()));
    Display* d = host.display();
    const Window child = host.childOf(topLevel);
    const auto atom = [d](const char* name) { return XInternAtom(d, name, False); };
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* aware = nullptr;
    XGetWindowProperty(d, child, atom("XdndAware"), 0, 1, False, XA_ATOM, &type, &format, &count, &remaining, &aware);
    ASSERT_NE(aware, nullptr);
    EXPECT_EQ(*reinterpret_cast<long*>(aware), 5);
    XFree(aware);

    const Window source = host.createTopLevel(600, 600, 10, 10);
    XSetSelectionOwner(d, atom("XdndSelection"), source, CurrentTime);
    const auto send = [&](const char* message, long l1, long l2, long l3, long l4) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = child;
        event.xclient.message_type = atom(message);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(source);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(d, child, False, NoEventMask, &event);
        host.sync();
    };
    // Serves the data request and waits for the answer named reply.
    const auto awaitReply = [&](const char* reply, XEvent& answer) {
        return pump([&] {
            while (XPending(d) > 0) {
                XEvent event;
                XNextEvent(d, &event);
                if (event.type == SelectionRequest) {
                    const XSelectionRequestEvent& request = event.xselectionrequest;
                    const std::string files = "file:///tmp/a.wav\r\n# a comment\r\nfile:///tmp/b%20c.wav\r\n";
                    XChangeProperty(d, request.requestor, request.property, request.target, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(files.data()),
                                    static_cast<int>(files.size()));
                    XEvent notify{};
                    notify.xselection.type = SelectionNotify;
                    notify.xselection.requestor = request.requestor;
                    notify.xselection.selection = request.selection;
                    notify.xselection.target = request.target;
                    notify.xselection.property = request.property;
                    notify.xselection.time = request.time;
                    XSendEvent(d, request.requestor, False, NoEventMask, &notify);
                    host.sync();
                } else if (event.type == ClientMessage && event.xclient.message_type == atom(reply)) {
                    answer = event;
                    return true;
                }
            }
            return false;
        });
    };
    host.moveCursor(kHostOrigin.x + 50, kHostOrigin.y + 30);
    send("XdndEnter", 5L << 24, static_cast<long>(atom("text/uri-list")), 0, 0);
    send("XdndPosition", 0, ((kHostOrigin.x + 50L) << 16) | (kHostOrigin.y + 30L), CurrentTime,
         static_cast<long>(atom("XdndActionMove")));
    XEvent status{};
    ASSERT_TRUE(awaitReply("XdndStatus", status));
    EXPECT_EQ(static_cast<Window>(status.xclient.data.l[0]), child);
    EXPECT_EQ(status.xclient.data.l[1] & 1, 1) << "accepted";
    EXPECT_EQ(static_cast<Atom>(status.xclient.data.l[4]), atom("XdndActionMove"));
    host.moveCursor(kHostOrigin.x + 60, kHostOrigin.y + 30);
    send("XdndPosition", 0, ((kHostOrigin.x + 60L) << 16) | (kHostOrigin.y + 30L), CurrentTime,
         static_cast<long>(atom("XdndActionMove")));
    ASSERT_TRUE(awaitReply("XdndStatus", status));
    send("XdndDrop", 0, CurrentTime, 0, 0);
    XEvent finished{};
    ASSERT_TRUE(awaitReply("XdndFinished", finished));
    EXPECT_EQ(finished.xclient.data.l[1] & 1, 1);
    EXPECT_EQ(static_cast<Atom>(finished.xclient.data.l[2]), atom("XdndActionMove"));
    ASSERT_GE(probe->log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(probe->log.begin(), probe->log.begin() + 3),
              (std::vector<std::string>{"enter 2", "move", "drop 2"}));

    // Text is one item; leaving ends the drag without a drop.
    probe->log.clear();
    send("XdndEnter", 5L << 24, static_cast<long>(atom("UTF8_STRING")), 0, 0);
    send("XdndPosition", 0, 0, CurrentTime, static_cast<long>(atom("XdndActionMove")));
    ASSERT_TRUE(awaitReply("XdndStatus", status));
    send("XdndLeave", 0, 0, 0, 0);
    pumpFor(30, frameIdle());
    EXPECT_EQ(probe->log, (std::vector<std::string>{"enter 1", "leave"}));
    XDestroyWindow(d, source);
}

TEST(X11Platform, UriListsCountOneItemPerFileLeavingOutCommentsAndEmptyLines)
{
    const std::string list = "file:///a\r\n\r\n#comment\r\nfile:///b\nfile:///c";
    EXPECT_EQ(x11::countUriListItems(list.data(), list.size()), 3);
    EXPECT_EQ(x11::countUriListItems("", 0), 0);
    const char terminated[] = "file:///a\r\n";
    EXPECT_EQ(x11::countUriListItems(terminated, sizeof(terminated)), 1);
}

TEST(X11Platform, NothingTouchesTheServerWhileNoWindowIsOpen)
{
    const int filesBefore = openFileCount();
    X11TestHost host;
    const XErrorHandler mine = XSetErrorHandler(countingHandler);
    EXPECT_EQ(platform::services().getMouseButtons(), 0);
    EXPECT_EQ(platform::services().getCursorPosition(), Point{});
    EXPECT_FALSE(platform::services().dispatchPendingPaint());
    platform::services().processEvents(nullptr);
    // A bad parent opens and closes the connection again, leaving the handler as it was.
    EXPECT_EQ(platform::services().createChildWindow(reinterpret_cast<platform::ParentWindow>(deadWindow(host)), 10, 10,
                                                     nullptr),
              nullptr);
    EXPECT_EQ(platform::services().createChildWindow(nullptr, 10, 10, nullptr), nullptr);
    EXPECT_EQ(XSetErrorHandler(mine), countingHandler);
    EXPECT_EQ(openFileCount(), filesBefore + 1);  // the test host's own connection

    // Without a display there is no window, and no crash.
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    const Window top = host.createTopLevel(0, 0, 50, 50);
    EXPECT_EQ(platform::services().createChildWindow(reinterpret_cast<platform::ParentWindow>(top), 10, 10, nullptr),
              nullptr);
    setenv("DISPLAY", display.c_str(), 1);
}

TEST(X11Platform, PollsFromAnotherThreadMakeNoXCall)
{
    X11TestHost host;
    const Window top = host.createTopLevel(0, 0, 50, 50);
    auto window =
        platform::services().createChildWindow(reinterpret_cast<platform::ParentWindow>(top), 10, 10, nullptr);
    ASSERT_NE(window, nullptr);
    host.moveCursor(30, 20);
    host.pressButton(Button1);
    EXPECT_EQ(platform::services().getMouseButtons(), ButtonLeft);
    EXPECT_EQ(platform::services().getCursorPosition(), (Point{30, 20}));
    MouseButtons elsewhere = -1;
    std::thread([&] { elsewhere = platform::services().getMouseButtons(); }).join();
    EXPECT_EQ(elsewhere, 0);
    host.releaseButton(Button1);
    window.reset();
}

TEST(X11Platform, DocumentsOpenThroughXdgOpenWithoutAShellAndLeaveNoZombie)
{
    const auto folder = std::filesystem::temp_directory_path() / ("tolvan-xdg-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto record = folder / "opened";
    const auto injected = folder / "injected";
    {
        std::ofstream script(folder / "xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
    }
    std::filesystem::permissions(folder / "xdg-open", std::filesystem::perms::owner_all);
    const std::string path = std::string(getenv("PATH"));
    setenv("PATH", (folder.string() + ":" + path).c_str(), 1);
    const std::string document = "/tmp/my docs/it's $(touch " + injected.string() + ");index.htm";
    EXPECT_TRUE(platform::services().openDocument(document.c_str()));
    setenv("PATH", path.c_str(), 1);
    // The opener is not waited for; the next passes of the editor's thread reap it once it
    // has ended, which may be a while after it wrote its record.
    EXPECT_TRUE(pumpUntil([&] { return std::filesystem::exists(record) && childProcesses(false) == 0; }));
    std::ifstream opened(record);
    const std::string received((std::istreambuf_iterator<char>(opened)), std::istreambuf_iterator<char>());
    EXPECT_EQ(received, document);
    EXPECT_FALSE(std::filesystem::exists(injected));
    EXPECT_EQ(zombieChildren(), 0);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tolvan::test
