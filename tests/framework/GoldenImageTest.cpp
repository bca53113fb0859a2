// The rendered scene must match the PNG kept in the repository pixel for pixel. When a
// deliberate change alters it, regenerate the PNG with tools/golden-images.

#include "tests/framework/GoldenScene.h"

#include <gtest/gtest.h>

namespace tolvan::test {
namespace {

TEST(GoldenImage, SceneMatchesTheKeptPngPixelForPixel)
{
    VSTGUI::PixelSurface expected;
    ASSERT_TRUE(readPng(std::string(TOLVAN_GOLDEN_DIR) + "/" + kGoldenSceneFile, expected))
        << "missing golden image: run golden-images";
    const VSTGUI::PixelSurface actual = renderGoldenScene();
    ASSERT_EQ(actual.width(), expected.width());
    ASSERT_EQ(actual.height(), expected.height());
    int32_t differing = 0;
    for (int32_t y = 0; y < actual.height(); ++y)
        for (int32_t x = 0; x < actual.width(); ++x)
            if (actual.pixelAt(x, y) != expected.pixelAt(x, y) && ++differing <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs";
    EXPECT_EQ(differing, 0);
}

TEST(GoldenImage, RenderingIsRepeatable)
{
    const VSTGUI::PixelSurface first = renderGoldenScene();
    const VSTGUI::PixelSurface second = renderGoldenScene();
    ASSERT_EQ(first.pixels().size(), second.pixels().size());
    EXPECT_TRUE(std::equal(first.pixels().begin(), first.pixels().end(), second.pixels().begin()));
}

}  // namespace
}  // namespace tolvan::test
