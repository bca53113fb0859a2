// The built plug-in's editor on a screen of high density: the X server's Xft.dpi chooses
// the size the editor answers and opens at, and a host's "PreS" announcement while the
// window is open makes the editor ask the host for the room of the new scale.

#include "effect/PluginInterface.h"
#include "tools/hosting/PluginLibrary.h"

#include <gtest/gtest.h>

// Xlib's macros would rewrite names above: it comes last.
#include "tests/x11/X11TestHost.h"

#include <cstring>
#include <string>
#include <vector>

namespace tolvan::test {
namespace {

// The announcement's two codes, the characters' bytes read big-endian.
constexpr int32_t kPreS = 0x50726553;
constexpr int32_t kAeCs = 0x41654373;

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Size& size) { return out << size.width << " x " << size.height; }

// A host that can resize its window and records the sizes it is asked for.
struct SizingHost {
    static inline std::vector<Size> requests;

    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr, float)
    {
        switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterCanDo: return std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0;
        case audioMasterSizeWindow: requests.push_back({index, static_cast<int>(value)}); return 1;
        default: return 0;
        }
    }
};

class EditorOnDenseScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        SizingHost::requests.clear();
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
    Size editorRect()
    {
        ERect* rect = nullptr;
        if (dispatch(effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr) return {};
        return {rect->right - rect->left, rect->bottom - rect->top};
    }
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
    for (const Case& c : {Case{"Xft.dpi:\t192\n", {1508, 748}}, Case{"Xft.dpi:\t144\n", {1131, 561}},
                          Case{"Xft.dpi:\t96\n", {754, 374}}, Case{"Xcursor.size:\t24\n", {754, 374}}}) {
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
    EXPECT_EQ(SizingHost::requests, (std::vector<Size>{{1508, 748}}));
    EXPECT_EQ(editorRect(), (Size{1508, 748}));
    // The screen's setting no longer counts once the host has spoken.
    host.setResources("Xft.dpi:\t144\n");
    dispatch(effEditClose);
    EXPECT_EQ(editorRect(), (Size{1508, 748}));
    XDestroyWindow(host.display(), top);
}

}  // namespace
}  // namespace tolvan::test
