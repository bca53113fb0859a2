#pragma once
// The embedded typeface at the pixel sizes in use: metrics, advances and anti-aliased
// glyph coverage, rendered once per font, size and character and kept for later draws.
// Drawing happens only on the editor window's thread, so the cache is touched only there.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace VSTGUI {

struct FontFace;

// One rendered character: coverage 0-255, width x height, with its top-left corner at
// (left, top) from the pen position on the baseline.
struct Glyph {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> coverage;
    bool rendered = false;
};

class FontInstance {
public:
    FontInstance(const FontFace& face, int32_t pixelSize);

    int32_t pixelSize() const { return size; }
    // Pixels above and below the baseline; their sum is the height of a line.
    int32_t ascent() const { return ascentPixels; }
    int32_t descent() const { return descentPixels; }
    int32_t lineHeight() const { return ascentPixels + descentPixels; }
    // Underline rows below the baseline: first row and count.
    int32_t underlineOffset() const { return underlineTop; }
    int32_t underlineThickness() const { return underlineRows; }

    // Text is one byte per character in the Windows Western code page.
    int32_t advance(unsigned char character) const { return advances[character]; }
    int64_t textWidth(std::string_view text) const;
    // [UI thread] The glyph, rendered on first use.
    const Glyph& glyph(unsigned char character);

private:
    friend class GlyphCache;
    const FontFace& face;
    int32_t size;
    int32_t ascentPixels = 0;
    int32_t descentPixels = 0;
    int32_t underlineTop = 1;
    int32_t underlineRows = 1;
    std::array<int32_t, 256> advances{};
    std::array<Glyph, 256> glyphs;
};

class GlyphCache {
public:
    // Sizes are drawn between 1 and this many pixels.
    static constexpr int32_t kMaxPixelSize = 256;
    // Rendered glyphs beyond this many bytes make the cache start again from empty.
    static constexpr std::size_t kMaxCoverageBytes = std::size_t{16} << 20;

    // [UI thread] The Regular or Bold face at the character height in pixels (the em height);
    // the instance lives as long as the program.
    static FontInstance& font(bool bold, int32_t pixelSize);

    // How many glyphs have been rendered since the program started; a warm cache adds none.
    static int64_t renderedGlyphCount();

private:
    friend class FontInstance;
    static void noteRendered(std::size_t bytes);
};

}  // namespace VSTGUI
