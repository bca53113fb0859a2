#include "framework/CDrawContext.h"
#include "framework/GlyphCache.h"
#include "tests/drawing/SurfaceProbe.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace VSTGUI;
using tolvan::test::countPixels;
using tolvan::test::inkBounds;

namespace {

constexpr Pixel kBlack = 0x000000;

struct TextTest : ::testing::Test {
    PixelSurface surface{200, 60, kBlack};
    CDrawContext context{nullptr, nullptr, &surface};

    Rect draw(const char* text, const Rect& rect, int32_t alignment, bool opaque = false)
    {
        surface.fill(kBlack);
        context.drawString(text, rect, opaque, alignment);
        return inkBounds(surface, kBlack);
    }
    std::vector<Pixel> pixelsOf(FontIndex index, int32_t size, int32_t style, const char* text)
    {
        context.setFont(index, size, style);
        draw(text, {0, 0, 200, 60}, kAlignLeft);
        return {surface.pixels().begin(), surface.pixels().end()};
    }
};

TEST_F(TextTest, LeftAlignmentStartsOnePixelInFromTheEdge)
{
    context.setFont(3);
    FontInstance& font = GlyphCache::font(false, 12);
    const Rect ink = draw("H", {20, 10, 120, 30}, kAlignLeft);
    EXPECT_EQ(ink.left, 21 + font.glyph('H').left);
    // Every alignment value other than centre and right counts as left.
    EXPECT_EQ(draw("H", {20, 10, 120, 30}, 7), ink);
    EXPECT_EQ(draw("H", {20, 10, 120, 30}, -1), ink);
}

TEST_F(TextTest, RightAndCentreAlignmentPlaceTheTextByItsAdvanceWidth)
{
    context.setFont(3);
    FontInstance& font = GlyphCache::font(false, 12);
    const Glyph& h = font.glyph('H');
    const int32_t width = font.advance('H') * 2;
    ASSERT_EQ(font.textWidth("HH"), width);

    Rect ink = draw("HH", {20, 10, 120, 30}, kAlignRight);
    EXPECT_EQ(ink.left, 120 - width + h.left);
    EXPECT_LE(ink.right, 120);

    ink = draw("HH", {20, 10, 120, 30}, kAlignCenter);
    EXPECT_EQ(ink.left, 20 + (100 - width) / 2 + h.left);
}

TEST_F(TextTest, TextIsCentredVerticallyOnItsLineHeight)
{
    context.setFont(4);
    FontInstance& font = GlyphCache::font(false, 11);
    const Glyph& h = font.glyph('H');
    for (const int32_t height : {10, 20, 31}) {
        const Rect rect{0, 5, 100, 5 + height};
        const int32_t lineTop = 5 + (height - font.lineHeight()) / 2;
        EXPECT_EQ(draw("H", rect, kAlignCenter).top, lineTop + font.ascent() + h.top) << height;
    }
    EXPECT_GT(h.height, 6) << "a capital of an 11-pixel font is about 8 pixels high";
    EXPECT_LE(h.height, 9);
}

TEST_F(TextTest, TextNeverLeavesItsRectangleOrTheClip)
{
    const Rect rect{30, 20, 60, 30};
    const Rect ink = draw("A much longer text than the box", rect, kAlignCenter, true);
    EXPECT_GE(ink.left, rect.left);
    EXPECT_LE(ink.right, rect.right);
    EXPECT_GE(ink.top, rect.top);
    EXPECT_LE(ink.bottom, rect.bottom);

    context.setClipRect({0, 0, 40, 60});
    EXPECT_LE(draw("A much longer text than the box", rect, kAlignLeft).right, 40);
}

TEST_F(TextTest, OpaqueTextFillsItsLineBehindTheTextTransparentTextDoesNot)
{
    context.setFont(4);
    const Color fill{0, 0, 200, 255};
    context.setFillColor(fill);
    context.setFontColor(kWhiteColor);
    FontInstance& font = GlyphCache::font(false, 11);
    const int32_t width = static_cast<int32_t>(font.textWidth("Hz"));

    draw("Hz", {10, 10, 110, 40}, kAlignLeft, true);
    const int32_t lineTop = 10 + (30 - font.lineHeight()) / 2;
    EXPECT_EQ(inkBounds(surface, kBlack), Rect(11, lineTop, 11 + width, lineTop + font.lineHeight()));
    EXPECT_GT(countPixels(surface, toPixel(fill)), 0);

    draw("Hz", {10, 10, 110, 40}, kAlignLeft, false);
    EXPECT_EQ(countPixels(surface, toPixel(fill)), 0);
}

TEST_F(TextTest, GlyphsAreAntiAliasedInTheFontColour)
{
    context.setFontColor({255, 0, 0, 255});
    draw("Oslo", {0, 0, 200, 60}, kAlignCenter);
    int full = 0;
    int partial = 0;
    for (const Pixel p : surface.pixels()) {
        EXPECT_EQ(p & 0x00FFFF, 0u) << "only the red channel may change";
        full += p == 0xFF0000 ? 1 : 0;
        partial += p != 0 && p != 0xFF0000 ? 1 : 0;
    }
    EXPECT_GT(full, 0);
    EXPECT_GT(partial, 0);
}

TEST_F(TextTest, FontZeroIsBoldWithoutTheBoldBitAndOthersFollowTheirStyle)
{
    const auto fontZero = pixelsOf(0, 0, 0, "Tolvan 12");
    EXPECT_EQ(fontZero, pixelsOf(3, 12, kFontStyleBold, "Tolvan 12"));
    EXPECT_NE(fontZero, pixelsOf(3, 12, 0, "Tolvan 12"));
    EXPECT_EQ(fontZero, pixelsOf(9, 0, 0, "Tolvan 12")) << "an index outside the table selects font 0";
    EXPECT_EQ(pixelsOf(3, 0, 0, "Tolvan"), pixelsOf(3, 12, 0, "Tolvan")) << "size 0 is the standard size";
    EXPECT_EQ(pixelsOf(3, 12, 0, "Tolvan"), pixelsOf(7, 12, 0, "Tolvan")) << "every face maps to the one typeface";
    EXPECT_EQ(pixelsOf(3, 12, 0, "Tolvan"), pixelsOf(3, 12, kFontStyleItalic, "Tolvan"))
        << "no italic face is embedded";
    EXPECT_NE(pixelsOf(3, 12, 0, "Tolvan"), pixelsOf(3, 12, kFontStyleUnderline, "Tolvan"));
}

TEST_F(TextTest, CharacterHeightIsTheEmHeightInPixels)
{
    // Liberation Sans, like the face the skin was laid out for, has capitals of about
    // 0.69 em and a line of about 1.12 em.
    for (const int32_t size : {9, 11, 18, 40}) {
        FontInstance& font = GlyphCache::font(false, size);
        EXPECT_NEAR(font.glyph('H').height, 0.7 * size, 1.0) << size;
        EXPECT_NEAR(font.lineHeight(), 1.12 * size, 1.0) << size;
    }
}

TEST_F(TextTest, AmpersandIsDrawnNotTakenAsAPrefix)
{
    FontInstance& font = GlyphCache::font(true, 12);
    EXPECT_GT(font.advance('&'), 0);
    EXPECT_EQ(font.textWidth("R&D"), font.advance('R') + font.advance('&') + font.advance('D'));
    const Rect withAmpersand = draw("R&D", {0, 0, 200, 60}, kAlignLeft);
    const Rect without = draw("RD", {0, 0, 200, 60}, kAlignLeft);
    EXPECT_EQ(withAmpersand.width() - without.width(), font.advance('&'));
}

TEST_F(TextTest, WarmGlyphCacheRendersNothingAgain)
{
    context.setFont(6);
    draw("-74 dB 1kHz 20Hz", {0, 0, 200, 60}, kAlignRight);
    const int64_t rendered = GlyphCache::renderedGlyphCount();
    draw("-74 dB 1kHz 20Hz", {0, 20, 200, 40}, kAlignLeft);
    draw("kHz 1 20", {0, 0, 200, 60}, kAlignCenter);
    EXPECT_EQ(GlyphCache::renderedGlyphCount(), rendered);

    context.setFont(6, 0, kFontStyleBold);
    draw("kHz", {0, 0, 200, 60}, kAlignCenter);
    EXPECT_EQ(GlyphCache::renderedGlyphCount(), rendered + 3) << "another weight is another font";
    EXPECT_EQ(&GlyphCache::font(false, 9), &GlyphCache::font(false, 9));
}

TEST_F(TextTest, NullEmptyLongAndUnusualTextsAreSafe)
{
    EXPECT_TRUE(draw(nullptr, {0, 0, 200, 60}, kAlignLeft, true).isEmpty());
    EXPECT_TRUE(draw("", {0, 0, 200, 60}, kAlignCenter).isEmpty());

    const std::string longText(1 << 20, 'W');
    for (const int32_t alignment : {kAlignLeft, kAlignCenter, kAlignRight}) {
        const Rect ink = draw(longText.c_str(), {10, 10, 190, 50}, alignment, true);
        EXPECT_GE(ink.left, 10);
        EXPECT_LE(ink.right, 190);
    }

    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    draw(everyByte.c_str(), {0, 0, 200, 60}, kAlignLeft);

    for (const int32_t size : {1, -12, 300, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        context.setFont(3, size, 0);
        draw("Size", {-100, -100, 300, 300}, kAlignCenter, true);
    }
    for (const Rect& rect : {Rect{50, 50, 0, 0}, Rect{-1000, -1000, -900, -900},
                             Rect{std::numeric_limits<int32_t>::min(), 0, std::numeric_limits<int32_t>::max(), 10}})
        draw("Outside", rect, kAlignRight, true);
    SUCCEED() << "no crash, no out-of-bounds access under the sanitizers";
}

}  // namespace
