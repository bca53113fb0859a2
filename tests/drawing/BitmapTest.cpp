#include "framework/BitmapResources.h"
#include "framework/BmpDecoder.h"
#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "tools/imaging/BmpEncoder.h"
#include "tests/drawing/SurfaceProbe.h"
#include "tests/drawing/TestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <random>
#include <thread>
#include <vector>

using namespace VSTGUI;
using namespace tolvan::test;
using tolvan::imaging::encodeBmp;

namespace {

constexpr Pixel kGrey = 0x404040;

struct BitmapTest : ::testing::Test {
    PixelSurface surface{20, 20, kGrey};
    CDrawContext context{nullptr, nullptr, &surface};
};

TEST(BitmapLoading, BottomUpAndTopDownFilesGiveTheSamePicture)
{
    for (const int32_t id : {kBottomUpBitmap, kTopDownBitmap}) {
        CBitmap bitmap(id);
        ASSERT_TRUE(bitmap.isLoaded()) << id;
        EXPECT_EQ(bitmap.getWidth(), 5);
        EXPECT_EQ(bitmap.getHeight(), 3);
        EXPECT_EQ(bitmap.getResourceId(), id);
        EXPECT_EQ(bitmap.getTransparentColor(), kTransparentColor);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                EXPECT_EQ(bitmap.colorAt(x, y), pictureColor(x, y)) << id << " at " << x << "," << y;
    }
}

TEST(BitmapLoading, MissingOrMalformedResourcesLoadNothing)
{
    for (const int32_t id : {kMissingBitmap, kTruncatedBitmap, kEightBitBitmap, kHugeHeaderBitmap}) {
        CBitmap bitmap(id);
        EXPECT_FALSE(bitmap.isLoaded()) << id;
        EXPECT_EQ(bitmap.getWidth(), 0);
        EXPECT_EQ(bitmap.getHeight(), 0);
        EXPECT_FALSE(bitmap.loadFromResource(id));
    }
    CBitmap bitmap(kBottomUpBitmap);
    EXPECT_FALSE(bitmap.loadFromResource(kMissingBitmap));
    EXPECT_EQ(bitmap.getWidth(), 0) << "a failed load leaves the bitmap unloaded";
    EXPECT_TRUE(bitmap.loadFromResource(kBottomUpBitmap));
    EXPECT_FALSE(bitmap.loadFromPlatformSource(&bitmap));
    EXPECT_FALSE(bitmap.isLoaded());
}

// Every editor of every instance holds the whole skin: the pixels must be one copy.
TEST(BitmapLoading, BitmapsOfOneResourceShareOneDecodedImage)
{
    CBitmap first(kBottomUpBitmap);
    CBitmap second(kBottomUpBitmap);
    CBitmap other(kTopDownBitmap);
    ASSERT_TRUE(first.isLoaded() && second.isLoaded() && other.isLoaded());
    EXPECT_EQ(first.image(), second.image());
    EXPECT_NE(first.image(), other.image());
    // Unloading one leaves the other's pixels whole.
    second.unload();
    EXPECT_EQ(first.colorAt(4, 2), pictureColor(4, 2));
    EXPECT_TRUE(second.loadFromResource(kBottomUpBitmap));
    EXPECT_EQ(first.image(), second.image());
}

// Editors of different instances may open on threads of their own at the same moment.
TEST(BitmapLoading, BitmapsLoadedOnSeveralThreadsAtOnceShareTheirPixels)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int round = 0; round < 50; ++round) {
                CBitmap bitmap(kFilmStripBitmap);
                CBitmap kept(kFilmStripBitmap);
                EXPECT_TRUE(kept.isLoaded());
                EXPECT_EQ(bitmap.image(), kept.image());
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
}

TEST(BitmapLoading, DecoderSurvivesEveryTruncationAndRandomDamage)
{
    const std::vector<Color> pixels(7 * 5, kRedColor);
    const auto file = encodeBmp(7, 5, pixels, false);
    // The size read from the headers alone must agree with the decoder on every file.
    const auto sizeAgrees = [](std::span<const unsigned char> bytes, bool decoded, const PixelSurface& result) {
        int32_t width = -1, height = -1;
        const bool read = readBmpSize(bytes, width, height);
        return read == decoded && (!decoded || (width == result.width() && height == result.height()));
    };
    PixelSurface image;
    for (std::size_t length = 0; length < file.size(); ++length) {
        EXPECT_FALSE(decodeBmp({file.data(), length}, image)) << length;
        EXPECT_TRUE(sizeAgrees({file.data(), length}, false, image)) << length;
    }
    EXPECT_TRUE(decodeBmp(file, image));
    EXPECT_TRUE(sizeAgrees(file, true, image));

    std::mt19937 random(20261208);
    for (int trial = 0; trial < 2000; ++trial) {
        auto damaged = file;
        for (int i = 0; i < 4; ++i) damaged[random() % 54] = static_cast<unsigned char>(random());
        PixelSurface result;
        const bool decoded = decodeBmp(damaged, result);
        if (decoded) {
            EXPECT_LE(int64_t{result.width()} * result.height() * 3, static_cast<int64_t>(damaged.size()));
        }
        EXPECT_TRUE(sizeAgrees(damaged, decoded, result)) << trial;
    }
}

// A complete 32-bit file of pixels (0x00RRGGBB, top row first) whose pixels start at
// offset, with unused as every pixel's fourth byte; its bytes start on a 16-byte boundary.
struct ThirtyTwoBitFile {
    ThirtyTwoBitFile(int32_t width, int32_t height, const std::vector<Pixel>& pixels, bool topDown, uint32_t offset,
                     uint8_t unused)
        : size(offset + 4 * static_cast<std::size_t>(width * height))
    {
        const auto put = [this](std::size_t at, uint32_t value) {
            for (int i = 0; i < 4; ++i)
                bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put(2, static_cast<uint32_t>(size));
        put(10, offset);
        put(14, 40);
        put(18, static_cast<uint32_t>(width));
        put(22, static_cast<uint32_t>(topDown ? -height : height));
        put(26, 1 | (32 << 16));  // one plane, 32 bits per pixel
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const std::size_t stored = static_cast<std::size_t>(topDown ? y : height - 1 - y);
                put(offset + 4 * (stored * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)),
                    pixels[static_cast<std::size_t>(y * width + x)] | (uint32_t{unused} << 24));
            }
    }
    std::span<const unsigned char> file() const { return {bytes.data(), size}; }

    alignas(16) std::array<unsigned char, 512> bytes{};
    std::size_t size;
};

TEST(BitmapLoading, ThirtyTwoBitFilesDecodeAndTopDownOnesAreReadWhereTheyLie)
{
    std::vector<Pixel> pixels(5 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<Pixel>(0x102030 * (i + 1)) & 0xFFFFFF;
    const ThirtyTwoBitFile inPlace(5, 3, pixels, true, 64, 0);
    const ThirtyTwoBitFile bottomUp(5, 3, pixels, false, 64, 0);
    const ThirtyTwoBitFile misaligned(5, 3, pixels, true, 66, 0);
    const ThirtyTwoBitFile withUnusedBytes(5, 3, pixels, true, 64, 0xAB);
    for (const ThirtyTwoBitFile* file : {&inPlace, &bottomUp, &misaligned, &withUnusedBytes}) {
        PixelSurface decoded;
        ASSERT_TRUE(decodeBmp(file->file(), decoded));
        EXPECT_EQ(std::vector<Pixel>(decoded.pixels().begin(), decoded.pixels().end()), pixels);
    }
    const PixelRows view = bmpPixelsInPlace(inPlace.file());
    ASSERT_EQ(view.width(), 5);
    ASSERT_EQ(view.height(), 3);
    EXPECT_EQ(static_cast<const void*>(view.row(0)), inPlace.bytes.data() + 64) << "read where it lies, not copied";
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(view.pixelAt(x, y), pixels[static_cast<std::size_t>(y * 5 + x)]);
    // Bottom-up rows, pixels a Pixel may not be read from, and 24-bit files are decoded.
    EXPECT_EQ(bmpPixelsInPlace(bottomUp.file()).width(), 0);
    EXPECT_EQ(bmpPixelsInPlace(misaligned.file()).width(), 0);
    EXPECT_EQ(bmpPixelsInPlace(encodeBmp(2, 2, std::vector<Color>(4, kRedColor), true)).width(), 0);
    // The unused byte changes no colour.
    const PixelRows marked = bmpPixelsInPlace(withUnusedBytes.file());
    ASSERT_EQ(marked.width(), 5);
    EXPECT_EQ(marked.colorAt(4, 2), toColor(pixels.back()));
}

TEST_F(BitmapTest, DrawCopiesOneFilmStripFrameToTheDestinationPlusOffset)
{
    CBitmap strip(kFilmStripBitmap);
    context.setDrawOffset({2, 1});
    strip.draw(&context, {3, 3, 7, 7}, {0, 4});
    EXPECT_EQ(inkBounds(surface, kGrey), Rect(5, 4, 9, 8));
    EXPECT_EQ(countPixels(surface, toPixel(stripColor(1))), 16);

    // No scaling: a destination larger than what is left of the bitmap copies only that.
    surface.fill(kGrey);
    strip.draw(&context, {0, 0, 18, 18}, {2, 8});
    EXPECT_EQ(inkBounds(surface, kGrey), Rect(2, 1, 4, 5));
    EXPECT_EQ(countPixels(surface, toPixel(stripColor(2))), 8);

    // The clip holds.
    surface.fill(kGrey);
    context.setClipRect({3, 4, 4, 5});
    strip.draw(&context, {0, 0, 4, 12}, {0, 0});
    EXPECT_EQ(inkBounds(surface, kGrey), Rect(5, 5, 6, 6));
}

TEST_F(BitmapTest, DrawTransparentLeavesOutPureWhiteByDefaultOrTheChosenColour)
{
    CBitmap keyed(kWhiteKeyedBitmap);
    keyed.drawTransparent(&context, {0, 0, 3, 1}, {0, 0});
    EXPECT_EQ(surface.pixelAt(0, 0), kGrey);
    EXPECT_EQ(surface.colorAt(1, 0), kRedColor);
    EXPECT_EQ(surface.pixelAt(2, 0), kGrey);

    keyed.setTransparentColor({255, 0, 0, 255});
    keyed.drawTransparent(&context, {0, 1, 3, 2}, {0, 0});
    EXPECT_EQ(surface.pixelAt(0, 1), 0xFFFFFFu);
    EXPECT_EQ(surface.pixelAt(1, 1), kGrey) << "only the RGB of the transparent colour counts";
}

TEST_F(BitmapTest, DrawAlphaBlendMixesByConstantOpacity)
{
    CBitmap keyed(kWhiteKeyedBitmap);
    keyed.drawAlphaBlend(&context, {0, 0, 3, 1}, {0, 0}, 0);
    EXPECT_EQ(surface.pixelAt(1, 0), kGrey);
    keyed.drawAlphaBlend(&context, {0, 1, 3, 2}, {0, 0}, 255);
    EXPECT_EQ(surface.colorAt(1, 1), kRedColor);
    keyed.drawAlphaBlend(&context, {0, 2, 3, 3}, {0, 0}, 128);
    EXPECT_EQ(surface.pixelAt(1, 2), 0xA02020u);  // 255 * 128/255 + 64 * 127/255, rounded
    EXPECT_EQ(surface.pixelAt(0, 2), 0xA0A0A0u);
}

TEST_F(BitmapTest, BadArgumentsDrawNothingAndNeverCrash)
{
    CBitmap missing(kMissingBitmap);
    missing.draw(&context, {0, 0, 20, 20}, {0, 0});
    missing.drawTransparent(&context, {0, 0, 20, 20}, {0, 0});
    missing.drawAlphaBlend(&context, {0, 0, 20, 20}, {0, 0}, 255);

    CBitmap strip(kFilmStripBitmap);
    strip.draw(nullptr, {0, 0, 4, 4}, {0, 0});
    CDrawContext noSurface{nullptr, nullptr, nullptr};
    strip.drawTransparent(&noSurface, {0, 0, 4, 4}, {0, 0});

    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    for (const Rect& rect : {Rect{10, 10, 0, 0}, Rect{kMin, kMin, kMax, kMax}, Rect{30, 30, 40, 40}})
        for (const Point source : {Point{0, 0}, Point{-3, -3}, Point{kMax, kMin}, Point{kMin, kMin}, Point{0, 1000}}) {
            strip.draw(&context, rect, source);
            strip.drawTransparent(&context, rect, source);
            strip.drawAlphaBlend(&context, rect, source, 100);
        }
    // Only one case reaches the bitmap: the huge rect with the source offset that puts
    // the bitmap's top-left corner at (0, 0).
    EXPECT_EQ(inkBounds(surface, kGrey), Rect(0, 0, 4, 12));
}

// A tall bitmap is decoded a part at a time as draws reach it: every draw, whichever
// parts its rows and the clip span, must show what the whole decoded picture shows.
TEST(BitmapDrawing, DrawsAcrossDecodedPartsMatchTheWholePicture)
{
    const auto resources = bitmapResources();
    const auto tall =
        std::find_if(resources.begin(), resources.end(), [](const BitmapResource& r) { return r.id == kTallBitmap; });
    ASSERT_NE(tall, resources.end());
    PixelSurface whole;
    ASSERT_TRUE(decodeBmp({tall->data, tall->size}, whole));
    const Pixel transparent = toPixel(tallColor(1, 40));

    for (const int32_t sourceY : {-5, 0, 1, 30, 31, 32, 33, 63, 64, 90, 99, 100}) {
        for (const int32_t rows : {1, 2, 33, 64, 120}) {
            for (const Rect& clip : {Rect{0, 0, 8, 130}, Rect{0, 31, 8, 34}, Rect{1, 40, 2, 97}}) {
                CBitmap bitmap(kTallBitmap);  // a fresh image each time: nothing decoded yet
                bitmap.setTransparentColor(tallColor(1, 40));
                for (int mode = 0; mode < 3; ++mode) {
                    PixelSurface drawn{8, 130, kGrey};
                    PixelSurface expected{8, 130, kGrey};
                    CDrawContext context{nullptr, nullptr, &drawn};
                    context.setClipRect(clip);
                    const Rect destination{2, 3, 5, 3 + rows};
                    const Point source{0, sourceY};
                    if (mode == 0) {
                        bitmap.draw(&context, destination, source);
                        expected.copyFrom(whole, source, destination, clip);
                    } else if (mode == 1) {
                        bitmap.drawTransparent(&context, destination, source);
                        expected.copyTransparentFrom(whole, source, destination, clip, transparent);
                    } else {
                        bitmap.drawAlphaBlend(&context, destination, source, 99);
                        expected.blendFrom(whole, source, destination, clip, 99);
                    }
                    EXPECT_TRUE(std::equal(drawn.pixels().begin(), drawn.pixels().end(), expected.pixels().begin()))
                        << "mode " << mode << ", source row " << sourceY << ", " << rows << " rows, clip top "
                        << clip.top;
                }
            }
        }
    }
    CBitmap bitmap(kTallBitmap);
    for (const int32_t y : {0, 31, 32, 63, 64, 99}) EXPECT_EQ(bitmap.colorAt(2, y), tallColor(2, y)) << y;
    EXPECT_EQ(bitmap.colorAt(0, 100), toColor(0));
}

TEST(BitmapSharing, LastReleaseDestroysTheBitmap)
{
    auto* bitmap = new CBitmap(kBottomUpBitmap);
    bitmap->retain();
    EXPECT_EQ(bitmap->getReferenceCount(), 2);
    bitmap->release();
    EXPECT_EQ(bitmap->getReferenceCount(), 1);
    bitmap->release();  // the leak checker of the sanitizer build proves the deletion
}

}  // namespace
