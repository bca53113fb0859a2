// The whole editor, rendered by the real editor headless, must match the PNGs kept in
// tests/editor/golden pixel for pixel. When a deliberate change alters it, regenerate them
// with tools/editor-golden-images.

#include <gtest/gtest.h>

#include <string>

#include "tests/drawing/ExpectSamePixels.h"
#include "tests/drawing/PngFiles.h"
#include "tests/editor/EditorGolden.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

namespace editortest {
namespace {

void expectMatchesGolden(const char* file, const editorsnapshot::Scene& scene)
{
    VSTGUI::PixelSurface expected;
    ASSERT_TRUE(tolvan::test::readPng(std::string(TOLVAN_EDITOR_GOLDEN_DIR) + "/" + file, expected))
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

}  // namespace
}  // namespace editortest
