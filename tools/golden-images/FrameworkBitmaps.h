#pragma once
// The bitmap table of the view framework's tests, benchmarks and golden-image tool, linked
// instead of the skin's.

#include "framework/GraphicsTypes.h"

#include <cstdint>

namespace tolvan::test {

using namespace VSTGUI;

// Resource ids of the tests' bitmap table.
inline constexpr int32_t kSceneBackground = 100;  // 120 x 60, a gradient
inline constexpr int32_t kKnobStrip = 101;        // 20 x 100: five frames of 20, frame i is stripFrameColor(i)
inline constexpr int32_t kSwitchStrip = 102;      // 16 x 32: off image (dark) above on image (bright)
inline constexpr int32_t kKickStrip = 103;        // 12 x 24: released image above pressed image
inline constexpr int32_t kMeterStrip = 104;       // 8 x 80: ten frames of 8, frame i is stripFrameColor(i)
inline constexpr int32_t kSkinBackground = 105;   // 754 x 374, for the benchmarks
inline constexpr int32_t kLargeKnobStrip = 106;   // 33 x 1683: 51 frames of 33

Color stripFrameColor(int32_t frame);
inline constexpr Color kSwitchOff{40, 40, 60, 255};
inline constexpr Color kSwitchOn{250, 200, 30, 255};
inline constexpr Color kKickReleased{10, 90, 10, 255};
inline constexpr Color kKickPressed{230, 60, 60, 255};

}  // namespace tolvan::test
