#include "resources/artwork/generator/Typeface.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

// The rasteriser is compiled here with internal linkage, so that it cannot clash with
// another copy elsewhere in a program. It uses only exactly rounded arithmetic (sqrt,
// floor, ceil, fmod) for glyph bitmaps, which keeps the artwork reproducible.
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop

namespace tolvan::artwork {

struct Typeface::Impl {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

namespace {

// Decodes the next UTF-8 code point of text at i; malformed bytes read as '?'.
char32_t nextCodePoint(std::string_view text, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra > text.size()) return U'?';
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) cp = (cp << 6) | (byte(i++) & 0x3F);
    return cp;
}

}  // namespace

Typeface::Typeface(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Typeface::~Typeface() = default;

std::unique_ptr<Typeface> Typeface::load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (impl->data.empty() ||
        !stbtt_InitFont(&impl->info, impl->data.data(), stbtt_GetFontOffsetForIndex(impl->data.data(), 0)))
        return nullptr;
    return std::unique_ptr<Typeface>(new Typeface(std::move(impl)));
}

// Calls visit(glyph, penX, scale) for every glyph of the line, pen positions including
// kerning and tracking.
template <class GlyphVisitor>
void Typeface::layout(std::string_view text, double x, double size, double tracking, GlyphVisitor&& visit) const
{
    const float scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, static_cast<float>(size));
    int previous = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int glyph = stbtt_FindGlyphIndex(&impl_->info, static_cast<int>(nextCodePoint(text, i)));
        if (previous) x += (stbtt_GetGlyphKernAdvance(&impl_->info, previous, glyph) * scale) + tracking;
        int advance = 0;
        int bearing = 0;
        stbtt_GetGlyphHMetrics(&impl_->info, glyph, &advance, &bearing);
        visit(glyph, x, scale);
        x += advance * scale;
        previous = glyph;
    }
    visit(-1, x, scale);
}

double Typeface::width(std::string_view text, double size, double tracking) const
{
    double end = 0;
    layout(text, 0, size, tracking, [&](int glyph, double penX, float) {
        if (glyph < 0) end = penX;
    });
    return end;
}

Box Typeface::inkBox(std::string_view text, double x, int baseline, double size, double tracking) const
{
    Box box;
    layout(text, x, size, tracking, [&](int glyph, double penX, float scale) {
        if (glyph < 0) return;
        const double origin = std::floor(penX);
        int x0, y0, x1, y1;
        stbtt_GetGlyphBitmapBoxSubpixel(&impl_->info, glyph, scale, scale, static_cast<float>(penX - origin), 0, &x0,
                                        &y0, &x1, &y1);
        const int left = static_cast<int>(origin) + x0;
        box = box.united({left, baseline + y0, left + (x1 - x0), baseline + y1});
    });
    return box;
}

void Typeface::draw(Canvas& canvas, std::string_view text, double x, int baseline, double size, Color color,
                    double tracking, double opacity) const
{
    // Glyphs are rasterised at the device size on a whole device row, so text is as sharp
    // at every scale; only the pen keeps its fraction of a pixel.
    const double factor = VSTGUI::factor(canvas.scale());
    const int deviceBaseline = static_cast<int>(std::floor(baseline * factor + 0.5));
    std::vector<unsigned char> mask;
    layout(text, x * factor, size * factor, tracking * factor, [&](int glyph, double penX, float scale) {
        if (glyph < 0) return;
        const double origin = std::floor(penX);
        const float shift = static_cast<float>(penX - origin);
        int x0, y0, x1, y1;
        stbtt_GetGlyphBitmapBoxSubpixel(&impl_->info, glyph, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
        const int w = x1 - x0;
        const int h = y1 - y0;
        if (w <= 0 || h <= 0) return;
        mask.assign(static_cast<std::size_t>(w) * h, 0);
        stbtt_MakeGlyphBitmapSubpixel(&impl_->info, mask.data(), w, h, w, scale, scale, shift, 0, glyph);
        const int left = static_cast<int>(origin) + x0;
        const int top = deviceBaseline + y0;
        for (int py = 0; py < h; ++py) {
            for (int px = 0; px < w; ++px) {
                const int cx = left + px;
                const int cy = top + py;
                const unsigned char a = mask[static_cast<std::size_t>(py) * w + px];
                if (a && cx >= 0 && cy >= 0 && cx < canvas.deviceWidth() && cy < canvas.deviceHeight())
                    canvas.blend(cx, cy, color, a / 255.0 * opacity);
            }
        }
    });
}

double Typeface::capHeight(double size) const
{
    const float scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, static_cast<float>(size));
    int x0, y0, x1, y1;
    if (!stbtt_GetCodepointBox(&impl_->info, 'H', &x0, &y0, &x1, &y1)) return size * 0.7;
    return y1 * scale;
}

bool Fonts::load(const std::string& directory, Fonts& out)
{
    out.regular = Typeface::load(directory + "/LiberationSans-Regular.ttf");
    out.bold = Typeface::load(directory + "/LiberationSans-Bold.ttf");
    return out.regular && out.bold;
}

}  // namespace tolvan::artwork
