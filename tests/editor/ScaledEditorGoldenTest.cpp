// The editor opened at 1.5x and 2x must match the PNGs kept in tests/editor/golden pixel for
// pixel, and each, averaged back down to 1x, must stay close to the 1x picture, so that the
// layouts at the three scales cannot drift apart. When new artwork or a deliberate change
// alters them, regenerate every golden image with one command:
//   ninja -C build editor-golden-images && build/tools/editor-golden-images/editor-golden-images

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/drawing/ExpectSamePixels.h"
#include "tools/editor-golden-images/EditorGolden.h"
#include "tools/editor-snapshot/EditorSnapshot.h"
#include "tools/imaging/PngFiles.h"

namespace editortest {
namespace {

using VSTGUI::DisplayScale;
using VSTGUI::Pixel;
using VSTGUI::PixelSurface;

// The bounds between a picture averaged down and the 1x picture. Bitmaps and rectangles
// map to whole logical pixels and average back to their 1x colours inside; what differs
// is every edge (at 1.5x a device pixel on an edge is shared by two logical pixels), text
// rasterised at the device size, slanted lines drawn with device pens, and the
// anti-aliased edges of crisp artwork. The whole-picture mean catches a general drift; the
// worst square of kTile logical pixels catches a single control or label out of place,
// which changes its tile as much as a whole edge would.
constexpr double kMaxMeanChannelDifference = 6.0;
constexpr double kMaxTileMeanChannelDifference = 48.0;
constexpr int32_t kTile = 16;

PixelSurface readGolden(const std::string& file)
{
    PixelSurface pixels;
    EXPECT_TRUE(tolvan::imaging::readPng(std::string(TOLVAN_EDITOR_GOLDEN_DIR) + "/" + file, pixels))
        << "missing golden image " << file << ": run editor-golden-images";
    return pixels;
}

// How much of the device pixel [device, device + 1) lies in the logical pixel
// [logical, logical + 1), both in device units of a scale of factor.
double overlap(int32_t logical, int32_t device, double factor)
{
    const double low = std::max(logical * factor, static_cast<double>(device));
    const double high = std::min((logical + 1) * factor, device + 1.0);
    return std::max(0.0, high - low);
}

// Every logical pixel becomes the mean of the device pixels it covers, each weighted by the
// area it shares with the logical pixel, as a screen at 1x would see the larger picture.
PixelSurface averageDown(const PixelSurface& device, DisplayScale scale, int32_t width, int32_t height)
{
    const double factor = VSTGUI::factor(scale);
    PixelSurface logical(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            std::array<double, 3> sum{};
            double weight = 0;
            const auto firstX = static_cast<int32_t>(std::floor(x * factor));
            const auto firstY = static_cast<int32_t>(std::floor(y * factor));
            for (int32_t dy = firstY; dy < (y + 1) * factor && dy < device.height(); ++dy) {
                for (int32_t dx = firstX; dx < (x + 1) * factor && dx < device.width(); ++dx) {
                    const double w = overlap(x, dx, factor) * overlap(y, dy, factor);
                    const Pixel p = device.pixelAt(dx, dy);
                    sum[0] += w * ((p >> 16) & 0xFF);
                    sum[1] += w * ((p >> 8) & 0xFF);
                    sum[2] += w * (p & 0xFF);
                    weight += w;
                }
            }
            Pixel mean = 0;
            for (const double channel : sum)
                mean = (mean << 8) | static_cast<Pixel>(std::lround(weight > 0 ? channel / weight : 0));
            logical.row(y)[x] = mean;
        }
    }
    return logical;
}

struct Difference {
    // The mean difference per channel over the whole picture, and over its worst tile.
    double meanChannel = 0;
    double worstTileMeanChannel = 0;
};

Difference compare(const PixelSurface& a, const PixelSurface& b)
{
    const int32_t columns = (a.width() + kTile - 1) / kTile;
    std::vector<int64_t> tiles(static_cast<std::size_t>(columns) * ((a.height() + kTile - 1) / kTile), 0);
    int64_t total = 0;
    for (int32_t y = 0; y < a.height(); ++y) {
        for (int32_t x = 0; x < a.width(); ++x) {
            int64_t sum = 0;
            for (const int shift : {16, 8, 0})
                sum += std::abs(static_cast<int>((a.pixelAt(x, y) >> shift) & 0xFF) -
                                static_cast<int>((b.pixelAt(x, y) >> shift) & 0xFF));
            total += sum;
            tiles[static_cast<std::size_t>(y / kTile * columns + x / kTile)] += sum;
        }
    }
    const int64_t worst = *std::max_element(tiles.begin(), tiles.end());
    return {static_cast<double>(total) / (3.0 * a.width() * a.height()),
            static_cast<double>(worst) / (3.0 * kTile * kTile)};
}

TEST(ScaledEditorGolden, AveragingDownIsExactForBlocksAndWeighsSharedPixelsByArea)
{
    // A 3 x 3 device picture at 1.5x: the centre row and column are shared half and half by
    // the two logical pixels.
    PixelSurface device(3, 3, 0);
    device.row(0)[0] = 0xC8C8C8;
    device.row(0)[1] = 0x646464;
    const PixelSurface logical = averageDown(device, DisplayScale::OneAndAHalf, 2, 2);
    // (200 * 1 + 100 * 0.5) / 2.25 = 111.1
    EXPECT_EQ(logical.pixelAt(0, 0), 0x6F6F6Fu);
    EXPECT_EQ(logical.pixelAt(1, 1), 0u);
    PixelSurface doubled(4, 2, 0x102030);
    EXPECT_EQ(averageDown(doubled, DisplayScale::Double, 2, 1).pixelAt(1, 0), 0x102030u);
}

TEST(ScaledEditorGolden, EachScaleMatchesItsKeptPngAndAveragesDownToTheOneTimesPicture)
{
    const PixelSurface normal = readGolden(kBusyGolden);
    for (const ScaledGolden& golden : kScaledBusyGoldens) {
        SCOPED_TRACE(golden.file);
        editorsnapshot::Scene scene = editorsnapshot::busyScene();
        scene.scale = golden.scale;
        const PixelSurface rendered = editorsnapshot::renderEditor(scene);
        ASSERT_EQ(rendered.width(), VSTGUI::toDevice(754, golden.scale));
        ASSERT_EQ(rendered.height(), VSTGUI::toDevice(374, golden.scale));
        tolvan::test::expectSamePixels(rendered, readGolden(golden.file), golden.file);

        const Difference difference =
            compare(averageDown(rendered, golden.scale, normal.width(), normal.height()), normal);
        EXPECT_LE(difference.meanChannel, kMaxMeanChannelDifference);
        EXPECT_LE(difference.worstTileMeanChannel, kMaxTileMeanChannelDifference);
        RecordProperty(std::string("meanChannelDifference@") + std::to_string(percent(golden.scale)),
                       std::to_string(difference.meanChannel));
        RecordProperty(std::string("worstTileMeanChannelDifference@") + std::to_string(percent(golden.scale)),
                       std::to_string(difference.worstTileMeanChannel));
    }
}

}  // namespace
}  // namespace editortest
