// The plug-in under wine with the screen at 192 dots per inch (run-at-dpi.sh sets it for
// this program alone): the editor answers and opens at twice the skin's size, and a host's
// "PreS" announcement while open asks the host for the room of the scale it names.

#include "effect/PluginInterface.h"
#include "tests/editor/SizingHost.h"
#include "tools/hosting/PluginLibrary.h"
#include "tools/wine-host/WineHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <vector>

namespace {

using namespace scaletest;

using namespace tolvan::test;

class EditorAt192Dpi : public ::testing::Test {
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
        if (window) DestroyWindow(window);
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    Size editorRect() { return editorRectOf(effect); }
    void open(Size size)
    {
        window = createHostWindow(0, 0, size.width, size.height);
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, window), 1);
        pumpMessages(50);
    }
    Size childSize()
    {
        RECT client{};
        if (!GetClientRect(childWindow(window), &client)) return {};
        return {static_cast<int>(client.right - client.left), static_cast<int>(client.bottom - client.top)};
    }

    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    AEffect* effect = nullptr;
    HWND window = nullptr;
};

TEST_F(EditorAt192Dpi, TheRectangleIsTwiceTheSkinAndTheHostsAnnouncementChangesIt)
{
    EXPECT_EQ(editorRect(), kDouble);
    open(editorRect());
    EXPECT_EQ(childSize(), kDouble);
    EXPECT_EQ(dispatch(effVendorSpecific, kPreS, kAeCs, nullptr, 1.0f), 1);
    EXPECT_EQ(SizingHost::requests, (std::vector<Size>{kNormal}));
    EXPECT_EQ(editorRect(), kNormal);
    EXPECT_EQ(childSize(), kNormal);
    dispatch(effEditClose);
}

}  // namespace
