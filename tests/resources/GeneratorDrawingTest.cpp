// The generator's own building blocks, where a fault would not show as a wrong size but
// as subtly wrong artwork: the trigonometry that replaces the C library's, the coverage
// that anti-aliases every edge, and the ink boxes that the layout checks rely on.
#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/DetMath.h"
#include "resources/artwork/generator/Typeface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace tolvan::artwork;

TEST(GeneratorMath, TrigonometryAgreesWithTheLibraryOverEveryQuadrant)
{
    for (double x = -7.0; x <= 7.0; x += 0.0137) {
        EXPECT_NEAR(sine(x), std::sin(x), 1e-13) << x;
        EXPECT_NEAR(cosine(x), std::cos(x), 1e-13) << x;
    }
    for (double a = -3.14; a <= 3.14; a += 0.0173) {
        for (double r : {0.01, 1.0, 250.0}) {
            const double y = r * std::sin(a);
            const double x = r * std::cos(a);
            EXPECT_NEAR(arcTangent2(y, x), std::atan2(y, x), 1e-12) << a;
        }
    }
    EXPECT_DOUBLE_EQ(arcTangent2(0, -1), kPi);
    EXPECT_DOUBLE_EQ(arcTangent2(1, 0), kPi / 2);
    EXPECT_EQ(arcTangent2(0, 0), 0.0);
}

TEST(GeneratorCanvas, AntiAliasedDiscCoversItsArea)
{
    Canvas canvas(40, 40);
    canvas.fill(canvas.bounds(), shape::circle(20.3, 19.6, 12.5), rgb(200, 0, 0));
    double covered = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) covered += canvas.pixel(x, y).r / 200.0;
    EXPECT_NEAR(covered, kPi * 12.5 * 12.5, 1.0);
    EXPECT_DOUBLE_EQ(canvas.pixel(20, 20).r, 200.0);
    EXPECT_DOUBLE_EQ(canvas.pixel(2, 2).r, 0.0);
}

TEST(GeneratorCanvas, BitmapPixelsAreThirtyTwoBitsTopDownFromAnAlignedOffset)
{
    Canvas canvas(5, 2, rgb(1, 2, 3));
    canvas.set(0, 0, rgb(10, 20, 30));  // top left
    const auto bytes = canvas.encodeBmp();
    ASSERT_EQ(bytes.size(), 64u + 2 * 5 * 4);
    EXPECT_EQ(bytes[10], 64);  // where the pixels start
    EXPECT_EQ(bytes[28], 32);  // bits per pixel
    // The top row comes first, each pixel blue, green, red and 0.
    EXPECT_EQ(std::vector<int>(bytes.begin() + 64, bytes.begin() + 72), std::vector<int>({30, 20, 10, 0, 3, 2, 1, 0}));
    EXPECT_EQ(std::vector<int>(bytes.begin() + 84, bytes.begin() + 88), std::vector<int>({3, 2, 1, 0}));
}

// Every pixel a text touches must lie inside its ink box, or a label could reach under a
// control although the layout check passes.
TEST(GeneratorText, InkBoxHoldsEveryDrawnPixel)
{
    Fonts fonts;
    ASSERT_TRUE(Fonts::load(std::string(TOLVAN_SOURCE_DIR) + "/resources/fonts", fonts));
    for (const Typeface* face : {fonts.regular.get(), fonts.bold.get()}) {
        for (double size : {7.0, 8.5, 30.0}) {
            for (double x : {10.0, 10.3, 10.75}) {
                const std::string text = "Tolvan gQ -24 dB";
                Canvas canvas(400, 80);
                face->draw(canvas, text, x, 50, size, rgb(255, 255, 255), 0.4);
                const Box ink = face->inkBox(text, x, 50, size, 0.4);
                int outside = 0;
                int inside = 0;
                for (int py = 0; py < 80; ++py)
                    for (int px = 0; px < 400; ++px)
                        if (canvas.pixel(px, py).r > 0)
                            (px >= ink.left && px < ink.right && py >= ink.top && py < ink.bottom ? inside : outside)++;
                EXPECT_EQ(outside, 0) << size << " " << x;
                EXPECT_GT(inside, 0);
                EXPECT_NEAR(ink.width(), face->width(text, size, 0.4), size * 0.3);
            }
        }
    }
}

}  // namespace
