// Text for the artwork, rasterised from the font files shipped in resources/fonts so that
// the result does not depend on the fonts of the machine that runs the generator.
#pragma once

#include "resources/artwork/generator/Canvas.h"

#include <memory>
#include <string>
#include <string_view>

namespace tolvan::artwork {

class Typeface {
public:
    // Null when the file cannot be read or is not a font.
    static std::unique_ptr<Typeface> load(const std::string& path);
    ~Typeface();

    // Advance width of a line of UTF-8 text at an em size of `size` pixels, with `tracking`
    // extra pixels after every character but the last.
    double width(std::string_view text, double size, double tracking = 0) const;
    // The pixels the text would touch, with its pen starting at (x, baseline).
    Box inkBox(std::string_view text, double x, int baseline, double size, double tracking = 0) const;
    void draw(Canvas& canvas, std::string_view text, double x, int baseline, double size, Color color,
              double tracking = 0, double opacity = 1.0) const;
    // Height of a capital letter above the baseline, in pixels.
    double capHeight(double size) const;

private:
    struct Impl;
    explicit Typeface(std::unique_ptr<Impl> impl);
    template <class GlyphVisitor>
    void layout(std::string_view text, double x, double size, double tracking, GlyphVisitor&& visit) const;

    std::unique_ptr<Impl> impl_;
};

// The two cuts the artwork uses.
struct Fonts {
    std::unique_ptr<Typeface> regular;
    std::unique_ptr<Typeface> bold;

    // Loads LiberationSans-Regular.ttf and LiberationSans-Bold.ttf from `directory`.
    static bool load(const std::string& directory, Fonts& out);
};

}  // namespace tolvan::artwork
