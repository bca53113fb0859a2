#include "framework/GlyphCache.h"

#include "resources/fonts/EmbeddedFonts.h"

#include <algorithm>
#include <cmath>
#include <memory>

// The one translation unit that compiles the TrueType rasteriser, kept private to it.
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace VSTGUI {

struct FontFace {
    stbtt_fontinfo info{};
    bool usable = false;
    int32_t unitsAscent = 0;
    int32_t unitsDescent = 0;
    int32_t unitsUnderlinePosition = 0;  // negative: below the baseline
    int32_t unitsUnderlineThickness = 0;
};

namespace {

// Code points of the bytes 0x80-0x9F in the Windows Western code page; bytes without a
// character keep their value and draw as the font's missing-glyph box.
constexpr std::array<uint16_t, 32> kWesternHighControls{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int codePoint(unsigned char character)
{
    if (character >= 0x80 && character < 0xA0) return kWesternHighControls[character - 0x80];
    return character;
}

uint32_t readBigEndian(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

constexpr uint32_t kPostTableTag = 0x706F7374;  // "post"

// The underline position and thickness live in the 'post' table, which the rasteriser
// does not read; returns false when the table is missing or truncated.
bool readUnderline(const unsigned char* data, std::size_t size, FontFace& face)
{
    if (size < 12) return false;
    const uint32_t tableCount = readBigEndian(data + 4, 2);
    for (uint32_t i = 0; i < tableCount; ++i) {
        const std::size_t record = 12 + std::size_t{16} * i;
        if (record + 16 > size) return false;
        if (readBigEndian(data + record, 4) != kPostTableTag) continue;
        const std::size_t offset = readBigEndian(data + record + 8, 4);
        if (offset > size || size - offset < 12) return false;
        face.unitsUnderlinePosition = static_cast<int16_t>(readBigEndian(data + offset + 8, 2));
        face.unitsUnderlineThickness = static_cast<int16_t>(readBigEndian(data + offset + 10, 2));
        return true;
    }
    return false;
}

FontFace loadFace(const unsigned char* data, std::size_t size)
{
    FontFace face;
    if (stbtt_InitFont(&face.info, data, stbtt_GetFontOffsetForIndex(data, 0)) == 0) return face;
    int ascent = 0;
    int descent = 0;
    int lineGap = 0;
    stbtt_GetFontVMetrics(&face.info, &ascent, &descent, &lineGap);
    face.unitsAscent = ascent;
    face.unitsDescent = -descent;
    if (!readUnderline(data, size, face)) {
        face.unitsUnderlinePosition = -ascent / 8;
        face.unitsUnderlineThickness = ascent / 12;
    }
    face.usable = true;
    return face;
}

const FontFace& embeddedFace(bool bold)
{
    static const FontFace regular =
        loadFace(tolvan::embedded::liberationSansRegular, tolvan::embedded::liberationSansRegularSize);
    static const FontFace boldFace =
        loadFace(tolvan::embedded::liberationSansBold, tolvan::embedded::liberationSansBoldSize);
    return bold ? boldFace : regular;
}

// [UI thread] Instances by weight and size; created on first use, never destroyed
// before the program ends, so that draw contexts may keep pointers to them.
std::array<std::array<std::unique_ptr<FontInstance>, GlyphCache::kMaxPixelSize + 1>, 2> instances;
std::size_t coverageBytes = 0;
int64_t renderedGlyphs = 0;

}  // namespace

FontInstance::FontInstance(const FontFace& fontFace, int32_t pixelSize) : face(fontFace), size(pixelSize)
{
    if (!face.usable) return;
    const float scale = stbtt_ScaleForMappingEmToPixels(&face.info, static_cast<float>(size));
    ascentPixels = static_cast<int32_t>(std::lround(face.unitsAscent * scale));
    descentPixels = static_cast<int32_t>(std::lround(face.unitsDescent * scale));
    underlineTop = std::max<int32_t>(1, static_cast<int32_t>(std::lround(-face.unitsUnderlinePosition * scale)));
    underlineRows = std::max<int32_t>(1, static_cast<int32_t>(std::lround(face.unitsUnderlineThickness * scale)));
    for (int character = 0; character < 256; ++character) {
        int advanceUnits = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&face.info, codePoint(static_cast<unsigned char>(character)), &advanceUnits,
                                   &bearing);
        advances[static_cast<std::size_t>(character)] = static_cast<int32_t>(std::lround(advanceUnits * scale));
    }
}

int64_t FontInstance::textWidth(std::string_view text) const
{
    int64_t width = 0;
    for (const char character : text) width += advances[static_cast<unsigned char>(character)];
    return width;
}

const Glyph& FontInstance::glyph(unsigned char character)
{
    Glyph& entry = glyphs[character];
    if (entry.rendered || !face.usable) return entry;
    const float scale = stbtt_ScaleForMappingEmToPixels(&face.info, static_cast<float>(size));
    const int index = stbtt_FindGlyphIndex(&face.info, codePoint(character));
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    stbtt_GetGlyphBitmapBox(&face.info, index, scale, scale, &x0, &y0, &x1, &y1);
    const int width = std::max(x1 - x0, 0);
    const int height = std::max(y1 - y0, 0);
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    GlyphCache::noteRendered(bytes);
    entry.coverage.assign(bytes, 0);
    if (bytes > 0) stbtt_MakeGlyphBitmap(&face.info, entry.coverage.data(), width, height, width, scale, scale, index);
    entry.left = x0;
    entry.top = y0;
    entry.width = width;
    entry.height = height;
    entry.rendered = true;
    return entry;
}

FontInstance& GlyphCache::font(bool bold, int32_t pixelSize)
{
    pixelSize = std::clamp(pixelSize, 1, kMaxPixelSize);
    auto& slot = instances[bold ? 1 : 0][static_cast<std::size_t>(pixelSize)];
    if (!slot) slot = std::make_unique<FontInstance>(embeddedFace(bold), pixelSize);
    return *slot;
}

int64_t GlyphCache::renderedGlyphCount() { return renderedGlyphs; }

void GlyphCache::noteRendered(std::size_t bytes)
{
    // Called before the new glyph is stored, so that clearing never frees it.
    if (coverageBytes + bytes > kMaxCoverageBytes) {
        for (auto& weight : instances)
            for (auto& instance : weight)
                if (instance)
                    for (Glyph& glyph : instance->glyphs) glyph = Glyph{};
        coverageBytes = 0;
    }
    coverageBytes += bytes;
    ++renderedGlyphs;
}

}  // namespace VSTGUI
