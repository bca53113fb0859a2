#pragma once
// The small bitmap resource table the drawing tests link instead of the skin's.

#include "framework/GraphicsTypes.h"

#include <cstdint>

namespace tolvan::test {

// Resource ids of the table.
inline constexpr int32_t kBottomUpBitmap = 1;    // 5 x 3, stored bottom-up
inline constexpr int32_t kTopDownBitmap = 2;     // the same pixels, stored top-down
inline constexpr int32_t kFilmStripBitmap = 3;   // 4 x 12: three frames of 4 x 4, frame i filled with stripColor(i);
                                                 // at 2x 8 x 24, frame i filled with doubledStripColor(i)
inline constexpr int32_t kTruncatedBitmap = 4;   // the last row is missing
inline constexpr int32_t kEightBitBitmap = 5;    // a valid header of an 8-bit file
inline constexpr int32_t kHugeHeaderBitmap = 6;  // claims 100000 x 100000 pixels
inline constexpr int32_t kWhiteKeyedBitmap = 7;  // 3 x 1: white, red, white
inline constexpr int32_t kTallBitmap = 8;        // 3 x 100, every row different (tallColor)
inline constexpr int32_t kOddStripBitmap = 9;    // 2 x 9: three images of 3 rows, image i stripColor(i);
                                                 // at 1.5x 3 x 15, image i on rows 5i-5i+4 in doubledStripColor(i)
inline constexpr int32_t kMissingBitmap = 999;

// The pixel at (x, y) of the 5 x 3 test picture: every pixel differs, so that a flipped
// or shifted row shows.
VSTGUI::Color pictureColor(int32_t x, int32_t y);
VSTGUI::Color stripColor(int32_t frame);
VSTGUI::Color doubledStripColor(int32_t frame);
VSTGUI::Color tallColor(int32_t x, int32_t y);

}  // namespace tolvan::test
