// The real editor in a Linux host's window: the built plug-in, loaded and driven only
// through its entry point, with effEditOpen given the XID of a window of ours and
// effEditIdle called every 10 ms, as Linux hosts do.

#include "tests/effect/PluginHost.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <cstdlib>
#include <string>

namespace tolvan::test {
namespace {

constexpr const char* kEditorNotOpening =
    "effEditOpen answers 0 on this branch: the editor does not open its window yet, so the "
    "editor-level checks (drag and wheel on Frequency Peak1, the bypass and PRE switches, the "
    "pixel comparison with the headless rendering) wait for the editor's open";

class EditorInHostWindow : public ::testing::Test {
protected:
    void* xid(Window window) { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }
    IdleCall editorIdle()
    {
        return [this] { effect.dispatch(effEditIdle); };
    }

    X11TestHost host;
    PluginLibrary library;
    TestHost callbacks;
    HostedEffect effect{library};
};

TEST_F(EditorInHostWindow, OpensAChildOfTheHostsWindowThatIdleCallsPaintAndCloseRemoves)
{
    ASSERT_NE(effect.get(), nullptr);
    ERect* rect = nullptr;
    ASSERT_NE(effect.dispatch(effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 754);
    EXPECT_EQ(rect->bottom - rect->top, 374);
    const Window top = host.createTopLevel(40, 40, 754, 374);
    if (effect.dispatch(effEditOpen, 0, 0, xid(top)) == 0)
        GTEST_SKIP() << kEditorNotOpening;
    EXPECT_TRUE(pumpUntil([&] { return host.childCount(top) == 1; }, 3000, editorIdle()));
    for (int cycle = 0; cycle < 3; ++cycle) {
        effect.dispatch(effEditClose);
        host.sync();
        EXPECT_EQ(host.childCount(top), 0);
        ASSERT_NE(effect.dispatch(effEditOpen, 0, 0, xid(top)), 0);
        pumpFor(50, editorIdle());
        EXPECT_EQ(host.childCount(top), 1);
    }
    effect.dispatch(effEditClose);
    XDestroyWindow(host.display(), top);
}

// A plug-in loaded by a render server without a display still loads and processes.
TEST_F(EditorInHostWindow, WithoutADisplayTheEditorDoesNotOpenAndAudioStillFlows)
{
    ASSERT_NE(effect.get(), nullptr);
    const Window top = host.createTopLevel(40, 40, 754, 374);
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(effect.dispatch(effEditOpen, 0, 0, xid(top)), 0);
    setenv("DISPLAY", display.c_str(), 1);
    effect.dispatch(effEditIdle);
    effect.dispatch(effEditClose);
    float left[64] = {0.5f};
    float right[64] = {0.5f};
    float outLeft[64] = {};
    float outRight[64] = {};
    float* inputs[] = {left, right};
    float* outputs[] = {outLeft, outRight};
    effect.dispatch(effMainsChanged, 0, 1);
    effect->processReplacing(effect.get(), inputs, outputs, 64);
    EXPECT_EQ(host.childCount(top), 0);
    XDestroyWindow(host.display(), top);
}

}  // namespace
}  // namespace tolvan::test
