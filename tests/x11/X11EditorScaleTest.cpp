// The built plug-in's editor on a screen of high density: the X server's Xft.dpi chooses
// the size the editor answers and opens at, and a host's "PreS" announcement while the
// window is open makes the editor ask the host for the room of the new scale.

#include "effect/PluginInterface.h"
#include "tests/editor/SizingHost.h"
#include "tools/hosting/PluginLibrary.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <cstring>
#include <string>
#include <vector>

namespace tolvan::test {
namespace {

using namespace scaletest;

class EditorOnDenseScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        SizingHost::reset();
        ASSERT_TRUE(library.loaded()) << library.error();
        effect = library.create(&SizingHost::callback);
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override
    {
        if (effect) dispatch(effClose);
        host.setResources("");
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    Size editorRect() { return editorRectOf(effect); }
    // The host's window of the editor's size, with the editor open in it.
    Window openInHostWindow(Size size)
    {
        const Window top = host.createTopLevel(0, 0, size.width, size.height);
        EXPECT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(top))), 1);
        dispatch(effEditIdle);
        host.sync();
        return top;
    }

    X11TestHost host;
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    AEffect* effect = nullptr;
};

TEST_F(EditorOnDenseScreen, TheEditorsRectangleFollowsTheServersXftDotsPerInch)
{
    struct Case {
        const char* resources;
        Size expected;
    };
    for (const Case& c : {Case{"Xft.dpi:\t192\n", kDouble}, Case{"Xft.dpi:\t144\n", kOneAndAHalf},
                          Case{"Xft.dpi:\t96\n", kNormal}, Case{"Xcursor.size:\t24\n", kNormal}}) {
        host.setResources(c.resources);
        EXPECT_EQ(editorRect(), c.expected) << c.resources;
    }
}

TEST_F(EditorOnDenseScreen, TheHostsAnnouncementWhileOpenAsksTheHostForTheNewSize)
{
    host.setResources("Xft.dpi:\t96\n");
    const Window top = openInHostWindow(editorRect());
    ASSERT_EQ(host.childCount(top), 1);
    EXPECT_EQ(dispatch(effVendorSpecific, kPreS, kAeCs, nullptr, 2.0f), 1);
    EXPECT_EQ(SizingHost::requests, (std::vector<Size>{kDouble}));
    EXPECT_EQ(editorRect(), kDouble);
    // The screen's setting no longer counts once the host has spoken.
    host.setResources("Xft.dpi:\t144\n");
    dispatch(effEditClose);
    EXPECT_EQ(editorRect(), kDouble);
    XDestroyWindow(host.display(), top);
}

TEST_F(EditorOnDenseScreen, TheWindowHasTheDevicePixelsOfTheScale)
{
    host.setResources("Xft.dpi:\t192\n");
    const Window top = openInHostWindow(editorRect());
    const auto childSize = [&] {
        Size size;
        host.windowSize(host.childOf(top), size.width, size.height);
        return size;
    };
    EXPECT_EQ(childSize(), kDouble);
    EXPECT_EQ(dispatch(effVendorSpecific, kPreS, kAeCs, nullptr, 1.0f), 1);
    dispatch(effEditIdle);
    host.sync();
    EXPECT_EQ(childSize(), kNormal);
    dispatch(effEditClose);
    XDestroyWindow(host.display(), top);
}

}  // namespace
}  // namespace tolvan::test
