// The whole editor, rendered by the real editor headless, must match the PNGs kept in
// tests/editor/golden pixel for pixel. When a deliberate change alters it, regenerate them
// with tools/editor-golden-images.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/platform/headless/HeadlessScript.h"
#include "tests/drawing/ExpectSamePixels.h"
#include "tools/imaging/PngFiles.h"
#include "tools/editor-golden-images/EditorGolden.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

namespace editortest {
namespace {

void expectMatchesGolden(const char* file, const editorsnapshot::Scene& scene)
{
    VSTGUI::PixelSurface expected;
    ASSERT_TRUE(tolvan::imaging::readPng(std::string(TOLVAN_EDITOR_GOLDEN_DIR) + "/" + file, expected))
        << "missing golden image " << file << ": run editor-golden-images";
    tolvan::test::expectSamePixels(editorsnapshot::renderEditor(scene), expected, file);
}

TEST(EditorGolden, DefaultsWithSilenceMatchTheKeptPng)
{
    expectMatchesGolden(kDefaultGolden, editorsnapshot::defaultScene());
}

TEST(EditorGolden, ProgramWithNoiseFlowingMatchesTheKeptPng)
{
    expectMatchesGolden(kBusyGolden, editorsnapshot::busyScene());
}

// The meter falls one step a tick, so a picture taken after a tick more than the audio
// lasted would read one release step low.
TEST(EditorSnapshot, CallersAudioIsShownAsItStandsWhenTheAudioEnds)
{
    constexpr int32_t kBlock = 441;  // 10 ms at 44.1 kHz
    int32_t blocksLeft = 100;        // one second
    editorsnapshot::Scene scene;
    scene.source = [&](float* left, float* right) {
        if (blocksLeft-- == 0) return 0;
        std::fill_n(left, kBlock, 0.5f);
        std::fill_n(right, kBlock, 0.5f);
        return kBlock;
    };
    editorsnapshot::renderEditor(scene);
    EXPECT_EQ(VSTGUI::headless::now() - VSTGUI::headless::kStartTicks, 1000u);
}

}  // namespace
}  // namespace editortest
