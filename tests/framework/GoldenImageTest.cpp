// The rendered scene must match the PNG kept in the repository pixel for pixel. When a
// deliberate change alters it, regenerate the PNG with tools/golden-images.

#include "tests/drawing/ExpectSamePixels.h"
#include "tools/golden-images/GoldenScene.h"

#include <gtest/gtest.h>

namespace tolvan::test {
namespace {

TEST(GoldenImage, SceneMatchesTheKeptPngPixelForPixel)
{
    VSTGUI::PixelSurface expected;
    ASSERT_TRUE(imaging::readPng(std::string(TOLVAN_GOLDEN_DIR) + "/" + kGoldenSceneFile, expected))
        << "missing golden image: run golden-images";
    expectSamePixels(renderGoldenScene(), expected, kGoldenSceneFile);
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
