// For the tests of the editor's scale, in every back end's suite: sizes that print, the
// codes of the host's scale announcement, and a host callback that records the window
// sizes the plug-in asks for and says whether it can resize.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

#include "effect/PluginInterface.h"

namespace scaletest {

// The announcement's two codes, the characters' bytes read big-endian.
constexpr int32_t kPreS = 0x50726553;
constexpr int32_t kAeCs = 0x41654373;

struct Size {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Size&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Size& size)
{
    return out << size.width << " x " << size.height;
}

constexpr Size kNormal{754, 374};
constexpr Size kOneAndAHalf{1131, 561};
constexpr Size kDouble{1508, 748};

// What effEditGetRect answers, as a size; 0 x 0 when the effect answers no rectangle.
inline Size editorRectOf(AEffect* effect)
{
    ERect* rect = nullptr;
    if (effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0) != 1 || rect == nullptr) return {};
    return {rect->right - rect->left, rect->bottom - rect->top};
}

// One per test program; each test resets it.
struct SizingHost {
    static inline bool canResize = true;
    static inline std::vector<Size> requests;

    static void reset()
    {
        canResize = true;
        requests.clear();
    }
    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr, float)
    {
        switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterCanDo: return canResize && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0;
        case audioMasterSizeWindow: requests.push_back({index, static_cast<int32_t>(value)}); return canResize ? 1 : 0;
        default: return 0;
        }
    }
};

}  // namespace scaletest
