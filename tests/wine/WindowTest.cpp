// The view framework in real Win32 windows under wine: the tests' golden scene is painted,
// operated with the mouse and wheel as a user would, and read back from the screen; the
// window class, the window's life beside its host's window, resources, OLE and drops.

#include "framework/CControl.h"
#include "framework/CDragContainer.h"
#include "framework/CFrame.h"
#include "framework/CView.h"
#include "framework/platform/Platform.h"
#include "tools/golden-images/GoldenScene.h"
#include "tools/wine-host/WineHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tolvan::test {
namespace {

using namespace VSTGUI;

constexpr POINT kHostOrigin{100, 100};

POINT onScreen(Point client) { return {kHostOrigin.x + client.x, kHostOrigin.y + client.y}; }

struct OpenScene {
    OpenScene(int x = kHostOrigin.x, int y = kHostOrigin.y)
        : host(createHostWindow(x, y, kGoldenSceneSize.width(), kGoldenSceneSize.height())),
          scene(std::make_unique<GoldenSceneFrame>(host))
    {
        UpdateWindow(childWindow(host));  // the host's first paint
    }
    ~OpenScene()
    {
        scene.reset();
        if (IsWindow(host)) DestroyWindow(host);
    }
    HWND window() const { return childWindow(host); }

    HWND host;
    std::unique_ptr<GoldenSceneFrame> scene;
};

int countDifferences(const PixelSurface& actual, const PixelSurface& expected)
{
    int differing = 0;
    for (int32_t y = 0; y < actual.height(); ++y)
        for (int32_t x = 0; x < actual.width(); ++x)
            if (actual.pixelAt(x, y) != expected.pixelAt(x, y) && ++differing <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual.pixelAt(x, y)
                              << ", expected " << expected.pixelAt(x, y);
    return differing;
}

std::string frameClassName()
{
    char name[32];
    std::snprintf(name, sizeof name, "Plugin%p", static_cast<void*>(GetModuleHandleA(nullptr)));
    return name;
}

bool classRegistered()
{
    WNDCLASSA found;
    return GetClassInfoA(GetModuleHandleA(nullptr), frameClassName().c_str(), &found) != 0;
}

TEST(Paint, GesturesOnTheSceneShowTheHeadlessRenderingPixelForPixel)
{
    PixelSurface expected;
    ASSERT_TRUE(imaging::readPng(std::string(TOLVAN_GOLDEN_DIR) + "/" + kGoldenSceneFile, expected));
    OpenScene open;
    ASSERT_NE(open.window(), nullptr);

    runInput([] {
        moveCursor(onScreen(kKnobPress));
        pressLeft();
        moveCursor(onScreen(kKnobDragTarget));
        releaseLeft();
        Sleep(GetDoubleClickTime() + 100);
        moveCursor(onScreen(kSwitchClick));
        pressLeft();
        releaseLeft();
    });
    open.scene->frame()->idle();
    EXPECT_NE(open.scene->knob()->getValue(), 0.25f);
    EXPECT_EQ(open.scene->onOffSwitch()->getValue(), 1.0f);

    const PixelSurface shown = captureWindow(open.window());
    ASSERT_EQ(shown.width(), expected.width());
    ASSERT_EQ(shown.height(), expected.height());
    EXPECT_EQ(countDifferences(shown, expected), 0);

    // A full repaint from the frame's off-screen pixels shows the same.
    InvalidateRect(open.window(), nullptr, FALSE);
    UpdateWindow(open.window());
    EXPECT_EQ(countDifferences(captureWindow(open.window()), expected), 0);
}

TEST(Paint, APaintCopiesTheUpdateRectangleOnly)
{
    OpenScene open;
    const PixelSurface before = captureWindow(open.window());
    HDC dc = GetDC(open.window());
    const RECT all{0, 0, kGoldenSceneSize.right, kGoldenSceneSize.bottom};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(open.window(), dc);

    const RECT update{10, 8, 30, 28};
    InvalidateRect(open.window(), &update, FALSE);
    UpdateWindow(open.window());
    const PixelSurface after = captureWindow(open.window());
    int wrong = 0;
    for (int32_t y = 0; y < after.height(); ++y)
        for (int32_t x = 0; x < after.width(); ++x) {
            const bool inside = x >= update.left && x < update.right && y >= update.top && y < update.bottom;
            wrong += after.pixelAt(x, y) != (inside ? before.pixelAt(x, y) : 0u);
        }
    EXPECT_EQ(wrong, 0);
}

TEST(Input, AWheelNotchOverTheKnobTurnsItAndBack)
{
    OpenScene open;
    SetFocus(open.window());
    const float start = open.scene->knob()->getValue();
    runInput([] {
        moveCursor(onScreen({20, 18}));
        turnWheel(WHEEL_DELTA);
    });
    const float up = open.scene->knob()->getValue();
    EXPECT_GT(up, start);
    runInput([] { turnWheel(-WHEEL_DELTA); });
    EXPECT_FLOAT_EQ(open.scene->knob()->getValue(), start);
}

TEST(Input, AButtonPressOutsideEveryControlChangesNothing)
{
    OpenScene open;
    const float knob = open.scene->knob()->getValue();
    runInput([] {
        moveCursor(onScreen({100, 5}));
        pressLeft();
        moveCursor(onScreen({20, 18}));
        releaseLeft();
    });
    EXPECT_EQ(open.scene->knob()->getValue(), knob);
    EXPECT_EQ(open.scene->onOffSwitch()->getValue(), 0.0f);
}

TEST(WindowClass, TwoEditorsShareTheClassUntilTheLastCloses)
{
    for (const bool firstClosesFirst : {true, false}) {
        auto first = std::make_unique<OpenScene>(100, 100);
        auto second = std::make_unique<OpenScene>(300, 100);
        char name[64] = {};
        GetClassNameA(first->window(), name, sizeof name);
        EXPECT_EQ(name, frameClassName());
        GetClassNameA(second->window(), name, sizeof name);
        EXPECT_EQ(name, frameClassName());
        EXPECT_EQ(GetClassLongA(first->window(), GCL_STYLE) & CS_GLOBALCLASS, static_cast<DWORD>(CS_GLOBALCLASS));

        (firstClosesFirst ? first : second).reset();
        EXPECT_TRUE(classRegistered()) << "unregistered while an editor is still open";
        (firstClosesFirst ? second : first).reset();
        EXPECT_FALSE(classRegistered()) << "still registered after the last editor closed";
    }
}

TEST(Lifecycle, TheHostDestroyingItsWindowFirstLeavesAClosedFrame)
{
    const ResourceCounts before = resourceCounts();
    {
        OpenScene open;
        CFrame* frame = open.scene->frame();
        DestroyWindow(open.host);
        EXPECT_FALSE(frame->isOpen());
        EXPECT_EQ(frame->getParentWindow(), nullptr);
        Rect size;
        EXPECT_FALSE(frame->getSize(size));
        EXPECT_FALSE(frame->setSize(200, 100));
        frame->invalidate(frame->getBounds());
        frame->idle();
        frame->redrawView(open.scene->knob());
        pumpMessages(50);
    }
    EXPECT_FALSE(classRegistered());
    const ResourceCounts after = resourceCounts();
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);
}

TEST(Lifecycle, FiveHundredOpenCloseCyclesLeaveNoObjectsOrHandlesBehind)
{
    const auto cycle = [] {
        OpenScene open;
        open.scene->frame()->redrawView(nullptr);
    };
    for (int i = 0; i < 5; ++i) cycle();  // lets the system's own first-use allocations happen
    const ResourceCounts before = resourceCounts();
    for (int i = 0; i < 500; ++i) cycle();
    const ResourceCounts after = resourceCounts();
    if (before.gdi == 0 && before.user == 0) std::printf("note: this system does not count GDI and USER objects\n");
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);
    // A few handles come and go with the system's own threads; a leak would show 500.
    EXPECT_LE(after.handles, before.handles + 8);
}

TEST(Frame, SizeAndPositionFollowTheHostWindow)
{
    OpenScene open;
    CFrame* frame = open.scene->frame();
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(frame->getPosition(x, y));
    EXPECT_EQ(x, kHostOrigin.x);
    EXPECT_EQ(y, kHostOrigin.y);
    Rect size;
    ASSERT_TRUE(frame->getSize(size));
    EXPECT_EQ(size, Rect(100, 100, 220, 160));

    EXPECT_FALSE(frame->setSize(kGoldenSceneSize.width(), kGoldenSceneSize.height()));
    // The scene's editor cannot ask a host to resize, so the frame grows the host's window by hand.
    ASSERT_TRUE(frame->setSize(140, 70));
    RECT host;
    GetClientRect(open.host, &host);
    EXPECT_EQ(host.right, 140);
    EXPECT_EQ(host.bottom, 70);
    RECT child;
    GetClientRect(open.window(), &child);
    EXPECT_EQ(child.right, 140);
    EXPECT_EQ(child.bottom, 70);
}

TEST(Frame, CursorTypeSevenRestoresTheCursorBeforeTheFirstChange)
{
    OpenScene open;
    SetCursor(LoadCursor(nullptr, IDC_CROSS));
    const HCURSOR original = GetCursor();
    open.scene->frame()->setCursor(kCursorHand);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    open.scene->frame()->setCursor(kCursorHSize);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
    open.scene->frame()->setCursor(7);
    EXPECT_EQ(GetCursor(), original);
}

// The editor opens on host threads of their own while the main thread serves the windows
// that those threads' windows live in.
TEST(Ole, AMultithreadedHostThreadStillOpensTheEditorAndKeepsItsOwnInitialisation)
{
    runInput([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            OpenScene open;
            EXPECT_NE(open.window(), nullptr);
            EXPECT_TRUE(open.scene->frame()->isOpen());
        }
        // Still the host's multi-threaded apartment: nothing undid its initialisation.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    });
    runInput([] {
        {
            OpenScene open;
        }
        // The editor's own initialisation was undone: the thread starts afresh.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    });
}

TEST(Shell, DocumentPathsTheAnsiShellCannotNameFaithfullyOpenNothing)
{
    EXPECT_FALSE(platform::services().openDocument(nullptr));
    EXPECT_FALSE(platform::services().openDocument(""));
    EXPECT_FALSE(
        platform::services().openDocument(("C:\\" + std::string(300, 'a') + "\\documents\\index.htm").c_str()));
    EXPECT_FALSE(platform::services().openDocument("C:\\Plug-ins\\Caf\xc3\xa9\\documents\\index.htm"));
}

}  // namespace
}  // namespace tolvan::test
