// The bitmaps compiled into the plug-in: every id the editor asks for is there, with the
// size and images the editor cuts it into, every image is drawn, and the committed files
// (at every display scale) are exactly what the generator draws.
#include "framework/BitmapResources.h"
#include "framework/BmpDecoder.h"
#include "framework/DecodedBitmaps.h"
#include "resources/artwork/generator/Catalogue.h"
#include "resources/artwork/generator/Knobs.h"
#include "resources/artwork/generator/Meter.h"
#include "tests/resources/BmpReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdlib.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>

namespace {

using tolvan::artwork::BitmapFormat;
using tolvan::artwork::kBitmaps;
using tolvan::test::Bitmap;
using tolvan::test::readBmp;
using tolvan::test::Rgb;

const VSTGUI::BitmapResource* findResource(int32_t id, VSTGUI::DisplayScale scale = VSTGUI::DisplayScale::Normal)
{
    for (const VSTGUI::BitmapResource& r : VSTGUI::bitmapResources())
        if (r.id == id && r.scale == scale) return &r;
    return nullptr;
}

Bitmap load(int32_t id)
{
    const VSTGUI::BitmapResource* r = findResource(id);
    if (!r) return {};
    return readBmp(r->data, r->size).value_or(Bitmap{});
}

bool sameImage(const Bitmap& b, int frameHeight, int first, int second)
{
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < b.width; ++x)
            if (!(b.at(x, first * frameHeight + y) == b.at(x, second * frameHeight + y))) return false;
    return true;
}

bool uniformImage(const Bitmap& b, int frameHeight, int index)
{
    const Rgb first = b.at(0, index * frameHeight);
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < b.width; ++x)
            if (!(b.at(x, index * frameHeight + y) == first)) return false;
    return true;
}

int brightness(Rgb c) { return (c.r + c.g + c.b) / 3; }

TEST(BitmapResources, TableHoldsEveryBitmapOnceWithItsSize)
{
    std::set<std::pair<int32_t, VSTGUI::DisplayScale>> entries;
    for (const VSTGUI::BitmapResource& r : VSTGUI::bitmapResources())
        EXPECT_TRUE(entries.insert({r.id, r.scale}).second) << r.id << " at " << VSTGUI::percent(r.scale);
    EXPECT_EQ(entries.size(), kBitmaps.size() * std::size(VSTGUI::kDisplayScales));
    // The sizes the editor relies on, written out rather than taken from the catalogue.
    const struct {
        int32_t id;
        int width, height;
    } expected[] = {{11030, 754, 374}, {131, 391, 151},   {133, 100, 3139}, {11004, 50, 50},   {11005, 50, 50},
                    {11006, 72, 72},   {11007, 21, 41},   {11010, 40, 50},  {11011, 40, 50},   {11012, 40, 50},
                    {11013, 40, 50},   {11014, 40, 50},   {11015, 40, 50},  {11020, 33, 1683}, {11021, 33, 2409},
                    {11022, 81, 5913}, {11024, 49, 2401}, {11043, 61, 32}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        const VSTGUI::BitmapResource* r = findResource(e.id);
        ASSERT_NE(r, nullptr);
        const std::optional<Bitmap> b = readBmp(r->data, r->size);
        ASSERT_TRUE(b.has_value()) << "not a complete bitmap file";
        EXPECT_EQ(b->width, e.width);
        EXPECT_EQ(b->height, e.height);
    }
}

TEST(BitmapResources, EveryImageIsDrawnAndDiffersFromItsNeighbour)
{
    for (const BitmapFormat& format : kBitmaps) {
        SCOPED_TRACE(format.id);
        const Bitmap b = load(format.id);
        ASSERT_EQ(b.height, format.height());
        ASSERT_EQ(b.width, format.width);
        for (int i = 0; i < format.frames; ++i)
            EXPECT_FALSE(uniformImage(b, format.frameHeight, i)) << "blank image " << i;
        for (int i = 1; i < format.frames; ++i)
            EXPECT_FALSE(sameImage(b, format.frameHeight, i - 1, i))
                << "images " << i - 1 << " and " << i << " are equal";
    }
}

// The skin's own size is stored as the window's surfaces hold pixels: the plug-in reads it
// where it lies in the library (no memory, no decoding), and sees what the file holds.
TEST(BitmapResources, ArtworkAtTheSkinsOwnSizeIsReadWhereItLies)
{
    for (const BitmapFormat& format : kBitmaps) {
        SCOPED_TRACE(format.id);
        const VSTGUI::BitmapResource* r = findResource(format.id);
        ASSERT_NE(r, nullptr);
        const VSTGUI::PixelRows stored = VSTGUI::bmpPixelsInPlace({r->data, r->size});
        ASSERT_EQ(stored.width(), format.width) << "not stored for reading in place";
        ASSERT_GE(reinterpret_cast<const unsigned char*>(stored.row(0)), r->data);
        ASSERT_LE(reinterpret_cast<const unsigned char*>(stored.row(stored.height())), r->data + r->size);
        const std::shared_ptr<const VSTGUI::DecodedBitmap> image = VSTGUI::decodedBitmap(*r);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->band(0).row(0), stored.row(0));
        const Bitmap file = load(format.id);
        ASSERT_EQ(image->height(), file.height);
        int wrong = 0;
        for (int y = 0; y < file.height; ++y)
            for (int x = 0; x < file.width; ++x) {
                const VSTGUI::Color c = image->colorAt(x, y);
                wrong += !(Rgb{c.red, c.green, c.blue} == file.at(x, y));
            }
        EXPECT_EQ(wrong, 0);
    }
}

// Pure white is the framework's transparent colour: a control drawn transparently would
// show holes wherever its bitmap has it.
TEST(BitmapResources, NoBitmapUsesTheTransparentColour)
{
    for (const BitmapFormat& format : kBitmaps) {
        const Bitmap b = load(format.id);
        EXPECT_EQ(std::count(b.pixels.begin(), b.pixels.end(), Rgb{255, 255, 255}), 0) << format.id;
    }
}

// The pointer of image i must point at the angle of the value i / (frames − 1): bright
// pixels along that ray, and the centre image of the gain knobs straight up.
TEST(BitmapResources, KnobPointersSweepFromLowerLeftToLowerRight)
{
    for (int32_t id : {11020, 11021, 11022, 11024}) {
        SCOPED_TRACE(id);
        const BitmapFormat* format = tolvan::artwork::findBitmap(id);
        const Bitmap b = load(id);
        ASSERT_EQ(b.height, format->height());
        const double c = format->width * 0.5;
        for (int i = 0; i < format->frames; ++i) {
            const double a = tolvan::artwork::knobAngle(double(i) / (format->frames - 1));
            const double r = format->width * (id == 11022 ? 0.22 : 0.26);
            const int x = static_cast<int>(c + r * std::cos(a));
            const int y = static_cast<int>(c - r * std::sin(a));
            EXPECT_GT(brightness(b.at(x, i * format->frameHeight + y)), 150) << "image " << i;
        }
    }
    for (int32_t id : {11021, 11022}) {
        const BitmapFormat* format = tolvan::artwork::findBitmap(id);
        const Bitmap b = load(id);
        const int centre = format->frames / 2;
        const int x = format->width / 2;
        EXPECT_GT(brightness(b.at(x, centre * format->frameHeight + format->width / 4)), 150) << id;
    }
}

TEST(BitmapResources, MeterImageFollowsTheLevelInHalfDecibels)
{
    namespace meter = tolvan::artwork::meter;
    const Bitmap b = load(133);
    ASSERT_EQ(b.height, 73 * 43);
    const int y = static_cast<int>((meter::kBarTop + meter::kBarBottom) * 0.5);
    // Bright (lit) well below the level, dark well above it; the brightest of three
    // neighbouring pixels, so that the dark pixel between two cells does not count.
    const auto lit = [&](int image, double dB) {
        const int x = static_cast<int>(meter::levelX(dB));
        int brightest = 0;
        for (int dx = -1; dx <= 1; ++dx) brightest = std::max(brightest, brightness(b.at(x + dx, image * 43 + y)));
        return brightest > 90;
    };
    for (int image : {4, 24, 47, 48, 60, 71}) {
        const double level = -24 + 0.5 * image;
        SCOPED_TRACE(image);
        EXPECT_TRUE(lit(image, level - 1.5));
        EXPECT_FALSE(lit(image, level + 1.5));
    }
    EXPECT_FALSE(lit(0, -23.0));
    EXPECT_FALSE(lit(48, 0.8));
    EXPECT_TRUE(lit(48, -0.8));
    EXPECT_TRUE(lit(72, 11.0));
}

std::vector<unsigned char> readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The committed files are embedded as they are; running the generator again must give the
// same bytes, or the committed artwork is stale (regenerate it with regenerate-artwork).
// The larger scales take the generator ten times as long; the sanitizer builds, where it
// runs several times slower still, redraw the skin's own size only (the packing is
// checked there by PackedArtworkTest).
TEST(BitmapResources, RegeneratingGivesTheCommittedBytes)
{
    const std::vector<VSTGUI::DisplayScale> scales =
        TOLVAN_REGENERATE_LARGER_SCALES
            ? std::vector<VSTGUI::DisplayScale>(std::begin(VSTGUI::kDisplayScales), std::end(VSTGUI::kDisplayScales))
            : std::vector<VSTGUI::DisplayScale>{VSTGUI::DisplayScale::Normal};
    std::string folder = (std::filesystem::temp_directory_path() / "tolvan-artwork-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::filesystem::path out = folder;
    std::string command = std::string("\"") + TOLVAN_ARTWORK_GENERATOR + "\" \"" + TOLVAN_SOURCE_DIR +
                          "/resources/fonts\" \"" + out.string() + "\"";
    for (VSTGUI::DisplayScale scale : scales) {
        command += ' ';
        command += std::to_string(VSTGUI::percent(scale));
    }
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (VSTGUI::DisplayScale scale : scales) {
        for (const BitmapFormat& format : kBitmaps) {
            const std::string name =
                std::to_string(format.id) + (scale == VSTGUI::DisplayScale::Normal
                                                 ? std::string(".bmp")
                                                 : std::string("@") + std::to_string(VSTGUI::percent(scale)) + ".tpi");
            SCOPED_TRACE(name);
            const std::vector<unsigned char> fresh = readFile(out / name);
            const std::vector<unsigned char> committed =
                readFile(std::filesystem::path(TOLVAN_SOURCE_DIR) / "resources/artwork/bitmaps" / name);
            ASSERT_FALSE(fresh.empty());
            EXPECT_TRUE(fresh == committed) << name << " differs from the generator's output";
            const VSTGUI::BitmapResource* r = findResource(format.id, scale);
            ASSERT_NE(r, nullptr);
            EXPECT_TRUE(std::vector<unsigned char>(r->data, r->data + r->size) == committed) << "embedded bytes differ";
        }
    }
    std::filesystem::remove_all(out);
}

}  // namespace
