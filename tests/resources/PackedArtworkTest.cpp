// The artwork of the larger display scales as the plug-in stores it: packing and decoding
// give back the generator's pixels exactly, every embedded image has the size the toolkit
// cuts it by, and damaged bytes give an empty or black image, never a crash.
#include "framework/BitmapResources.h"
#include "framework/DecodedBitmaps.h"
#include "framework/PackedImage.h"
#include "resources/artwork/generator/Catalogue.h"
#include "resources/artwork/generator/PackedImageEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace VSTGUI;
using tolvan::artwork::encodePackedImage;

std::vector<Pixel> decodeAll(const std::vector<uint8_t>& bytes)
{
    const BitmapResource resource{1, bytes.data(), bytes.size(), DisplayScale::Double};
    const std::shared_ptr<const DecodedBitmap> image = decodedBitmap(resource);
    if (!image) return {};
    std::vector<Pixel> pixels;
    for (int32_t y = 0; y < image->height(); ++y)
        for (int32_t x = 0; x < image->width(); ++x) pixels.push_back(toPixel(image->colorAt(x, y)));
    return pixels;
}

// Every band decodes without damage.
bool everyBandIsWhole(std::span<const unsigned char> bytes)
{
    packed::PackedImage image;
    if (!image.parse(bytes)) return false;
    PixelSurface rows;
    for (int32_t band = 0; band < image.bandCount(); ++band)
        if (!image.decodeBand(band, rows)) return false;
    return true;
}

struct Picture {
    const char* name;
    int width;
    int height;
    std::vector<Pixel> pixels;
};

std::vector<Picture> pictures()
{
    std::mt19937 rng(23);
    std::vector<Picture> out;
    const auto make = [&](const char* name, int w, int h, auto&& pixel) {
        Picture p{name, w, h, {}};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) p.pixels.push_back(pixel(x, y) & 0xFFFFFF);
        out.push_back(std::move(p));
    };
    make("one colour (a code of one symbol)", 70, 40, [](int, int) { return Pixel{0x405870}; });
    make("noise, odd width, a short last band", 37, 71, [&](int, int) { return static_cast<Pixel>(rng()); });
    make("one pixel", 1, 1, [](int, int) { return Pixel{0xFEFEFE}; });
    make("gradients and hard edges", 130, 96,
         [](int x, int y) { return Pixel((x * 2) << 16 | (y * 2) << 8 | ((x / 16 + y / 16) % 2 ? 0xF0 : 0x10)); });
    // Long runs of zero samples that span rows and need more than one run symbol.
    make("flat with sparse dots", 4000, 33, [](int x, int y) { return Pixel{(x * 7 + y) % 3001 == 0 ? 0xFF00u : 0u}; });
    return out;
}

TEST(PackedArtwork, PackingAndDecodingGiveBackEveryPixel)
{
    for (const Picture& p : pictures()) {
        SCOPED_TRACE(p.name);
        const std::vector<uint8_t> bytes = encodePackedImage(p.pixels, p.width, p.height);
        EXPECT_TRUE(everyBandIsWhole(bytes));
        EXPECT_EQ(decodeAll(bytes), p.pixels);
    }
}

// A film strip of the real artwork: the generator's pixels, packed and decoded.
TEST(PackedArtwork, TheGeneratorsKnobStripSurvivesPacking)
{
    tolvan::artwork::Fonts fonts;
    ASSERT_TRUE(tolvan::artwork::Fonts::load(TOLVAN_SOURCE_DIR "/resources/fonts", fonts));
    const tolvan::artwork::Canvas strip = tolvan::artwork::renderBitmap(
        *tolvan::artwork::findBitmap(bitmapid::frequencyKnob), fonts, DisplayScale::OneAndAHalf);
    const std::vector<uint32_t> pixels = strip.devicePixels();
    const std::vector<uint8_t> bytes = encodePackedImage(pixels, strip.deviceWidth(), strip.deviceHeight());
    EXPECT_EQ(decodeAll(bytes), std::vector<Pixel>(pixels.begin(), pixels.end()));
    EXPECT_LT(bytes.size(), pixels.size() * 3 / 2) << "packing should at least halve a knob strip";
}

// The toolkit cuts the larger artwork by the skin's sizes: each bitmap is the 1x bitmap's
// width and height in device pixels, every image of a strip whole.
TEST(PackedArtwork, EveryBitmapIsEmbeddedAtEveryScaleWithItsDeviceSize)
{
    for (const tolvan::artwork::BitmapFormat& format : tolvan::artwork::kBitmaps) {
        for (DisplayScale scale : {DisplayScale::OneAndAHalf, DisplayScale::Double}) {
            SCOPED_TRACE(testing::Message() << format.id << " at " << percent(scale));
            const BitmapResource* found = nullptr;
            int entries = 0;
            for (const BitmapResource& r : bitmapResources()) {
                if (r.id != format.id || r.scale != scale) continue;
                found = &r;
                ++entries;
            }
            ASSERT_EQ(entries, 1);
            const std::span<const unsigned char> bytes{found->data, found->size};
            EXPECT_TRUE(everyBandIsWhole(bytes));
            const std::shared_ptr<const DecodedBitmap> image = decodedBitmap(*found);
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->width(), toDeviceExtent(format.width, scale));
            EXPECT_EQ(image->height(), filmStripDeviceRow(format.height(), format.frameHeight, scale));
        }
    }
    // Written out for the ones whose images are a fraction of a pixel at 1.5x.
    const auto size = [](int32_t id, DisplayScale scale) {
        for (const BitmapResource& r : bitmapResources())
            if (r.id == id && r.scale == scale) {
                const auto image = decodedBitmap(r);
                return std::pair{image->width(), image->height()};
            }
        return std::pair{0, 0};
    };
    EXPECT_EQ(size(133, DisplayScale::OneAndAHalf), std::pair(150, 73 * 65));
    EXPECT_EQ(size(11004, DisplayScale::OneAndAHalf), std::pair(75, 76));
    EXPECT_EQ(size(11007, DisplayScale::OneAndAHalf), std::pair(32, 61));
    EXPECT_EQ(size(11022, DisplayScale::OneAndAHalf), std::pair(122, 73 * 122));
    EXPECT_EQ(size(11030, DisplayScale::OneAndAHalf), std::pair(1131, 561));
    EXPECT_EQ(size(11030, DisplayScale::Double), std::pair(1508, 748));
}

// Editors opening at 2x on several threads at once decode each band once and all see the
// same pixels.
TEST(PackedArtwork, BandsDecodedOnSeveralThreadsAtOnceAreTheSame)
{
    const BitmapResource* skin = nullptr;
    for (const BitmapResource& r : bitmapResources())
        if (r.id == bitmapid::skin && r.scale == DisplayScale::Double) skin = &r;
    ASSERT_NE(skin, nullptr);
    const std::shared_ptr<const DecodedBitmap> image = decodedBitmap(*skin);
    ASSERT_NE(image, nullptr);
    const int32_t bands = (image->height() + DecodedBitmap::kBandHeight - 1) / DecodedBitmap::kBandHeight;
    std::vector<std::vector<const Pixel*>> seen(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            // Each thread walks the bands from a different place, so that they meet.
            for (int32_t i = 0; i < bands; ++i) {
                const int32_t band = (i + static_cast<int32_t>(t) * bands / 4) % bands;
                const PixelRows rows = image->band(band);
                if (rows.width() == image->width()) seen[t].push_back(rows.row(0));
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const auto& pointers : seen) EXPECT_EQ(pointers.size(), static_cast<std::size_t>(bands));
    for (int32_t band = 0; band < bands; ++band)
        EXPECT_NE(image->band(band).pixelAt(0, 0), 0u) << "band " << band << " decoded black";
}

void putU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// Damage the header: no image. Damage the bits: the image, with black where a band broke.
TEST(PackedArtwork, DamagedBytesGiveNoImageOrBlackBandsNeverACrash)
{
    std::mt19937 rng(7);
    std::vector<Pixel> pixels;
    for (int i = 0; i < 45 * 90; ++i)
        pixels.push_back(rng() % 4 == 0 ? static_cast<Pixel>(rng() & 0xFFFFFF) : 0x203040u);
    const std::vector<uint8_t> good = encodePackedImage(pixels, 45, 90);
    const std::size_t table = packed::kHeaderSize;  // the first band offset
    const std::size_t bits = table + 4 * 4;         // three bands and the end
    ASSERT_GT(good.size(), bits + 16);

    const struct {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } headers[] = {
        {"no magic", [](auto& b) { b[0] = 'B'; }},
        {"zero width", [](auto& b) { putU32(b, 4, 0); }},
        {"a height beyond any surface", [](auto& b) { putU32(b, 8, 0x7FFFFFFF); }},
        {"a code longer than the table", [](auto& b) { b[12 + 300 % packed::kSymbolCount] = 13; }},
        {"an over-subscribed code", [](auto& b) { std::fill(b.begin() + 12, b.begin() + 12 + 8, uint8_t{1}); }},
        {"no code at all", [](auto& b) { std::fill(b.begin() + 12, b.begin() + 12 + packed::kSymbolCount, 0); }},
        {"band offsets going backwards", [&](auto& b) { putU32(b, table + 4, 0xFFFF); }},
        {"a band ending past the bytes", [&](auto& b) { putU32(b, table + 12, 0x7FFFFFFF); }},
        {"cut inside the header", [](auto& b) { b.resize(20); }},
        {"cut inside the band table", [&](auto& b) { b.resize(table + 6); }},
        {"cut inside the bits", [&](auto& b) { b.resize(bits + 10); }},
    };
    for (const auto& h : headers) {
        SCOPED_TRACE(h.what);
        std::vector<uint8_t> bytes = good;
        h.damage(bytes);
        EXPECT_TRUE(decodeAll(bytes).empty());
    }

    // Bits flipped anywhere decode to some image of the right size (a prefix code cannot
    // tell every wrong bit), read nothing outside the bytes and stop at the band's end.
    for (std::size_t at = bits; at < good.size(); at += 3) {
        std::vector<uint8_t> bytes = good;
        bytes[at] ^= static_cast<uint8_t>(1u << (at % 8));
        EXPECT_EQ(decodeAll(bytes).size(), pixels.size()) << at;
    }

    // A band cut short is black; the bands after it are still right.
    const auto bandOf = [&](const std::vector<Pixel>& image, std::size_t band) {
        const std::size_t first = band * 32 * 45;
        const std::size_t last = std::min(first + 32 * 45, image.size());
        return std::vector<Pixel>(image.begin() + static_cast<std::ptrdiff_t>(first),
                                  image.begin() + static_cast<std::ptrdiff_t>(last));
    };
    std::vector<uint8_t> shortBand = good;
    putU32(shortBand, table + 4, 3);
    const std::vector<Pixel> decoded = decodeAll(shortBand);
    ASSERT_EQ(decoded.size(), pixels.size());
    EXPECT_EQ(bandOf(decoded, 0), std::vector<Pixel>(32 * 45, 0));
    EXPECT_EQ(bandOf(decoded, 2), bandOf(pixels, 2));

    std::vector<uint8_t> noBits = good;
    for (std::size_t band = 0; band <= 3; ++band) putU32(noBits, table + 4 * band, 0);
    EXPECT_EQ(decodeAll(noBits), std::vector<Pixel>(pixels.size(), 0));

    // Noise, whose shortest code is a sample: bits that run out mid-band would otherwise
    // read as a plausible picture.
    std::vector<Pixel> noise;
    for (int i = 0; i < 45 * 20; ++i) noise.push_back(static_cast<Pixel>(rng() & 0x0F0F0F));
    std::vector<uint8_t> cut = encodePackedImage(noise, 45, 20);
    putU32(cut, table + 4, 40);
    EXPECT_EQ(decodeAll(cut), std::vector<Pixel>(noise.size(), 0));
}

}  // namespace
