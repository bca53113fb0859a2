#pragma once
// The golden-image comparison: same size, every pixel equal; the first few differences
// are named.

#include "framework/PixelSurface.h"

#include <gtest/gtest.h>

namespace tolvan::test {

inline void expectSamePixels(const VSTGUI::PixelSurface& actual, const VSTGUI::PixelSurface& expected, const char* what)
{
    ASSERT_EQ(actual.width(), expected.width()) << what;
    ASSERT_EQ(actual.height(), expected.height()) << what;
    int32_t differing = 0;
    for (int32_t y = 0; y < actual.height(); ++y)
        for (int32_t x = 0; x < actual.width(); ++x)
            if (actual.pixelAt(x, y) != expected.pixelAt(x, y) && ++differing <= 5)
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") differs";
    EXPECT_EQ(differing, 0) << what;
}

}  // namespace tolvan::test
