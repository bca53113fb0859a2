// contact-sheet <font folder> <skin.png> <skin-states.png>
//
// Draws the editor as a host would show it, from the bitmaps compiled into the plug-in:
// the skin with every control of the control table cut from its bitmap as the editor cuts
// it, the value displays with their texts, the graph's grid and labels and the meter.
// The first sheet shows every control at its default, the second every switch on and the
// knobs and buttons in other positions.
#include "effect/ControlTable.h"
#include "effect/DisplayFormats.h"
#include "effect/ParameterValues.h"
#include "framework/BitmapResources.h"
#include "resources/artwork/BitmapIds.h"
#include "resources/artwork/generator/Canvas.h"
#include "resources/artwork/generator/SkinLayout.h"
#include "resources/artwork/generator/Typeface.h"
#include "tools/contact-sheet/FilmStrip.h"
#include "tools/contact-sheet/GraphPreview.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

using namespace tolvan::artwork;

constexpr Color kPanelColor = rgb(64, 88, 112);
constexpr Color kTextColor = rgb(208, 208, 208);
constexpr double kValueFontSize = 9;  // the editor's value displays use font 6: 9 pixels

std::optional<Canvas> loadBitmap(int32_t id)
{
    for (const VSTGUI::BitmapResource& r : VSTGUI::bitmapResources()) {
        if (r.id != id || r.scale != VSTGUI::DisplayScale::Normal) continue;
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load_from_memory(r.data, static_cast<int>(r.size), &w, &h, &channels, 3);
        if (!pixels) return std::nullopt;
        Canvas out(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned char* p = pixels + (static_cast<std::size_t>(y) * w + x) * 3;
                out.set(x, y, rgb(p[0], p[1], p[2]));
            }
        stbi_image_free(pixels);
        return out;
    }
    return std::nullopt;
}

// Copies the w x h area at (0, sourceY) of a bitmap to (x, y).
void blit(Canvas& target, const Canvas& bitmap, int x, int y, int w, int h, int sourceY)
{
    target.paste(bitmap.crop({0, sourceY, w, sourceY + h}), x, y);
}

struct Scene {
    std::array<double, kNumParameters> values{};
    double meterDb = -100;  // level shown by the meter
    bool buttonsPressed = false;
    bool spectra = false;  // draw illustrative PRE and POST spectra
};

void drawValueDisplay(Canvas& sheet, const Fonts& fonts, const Box& box, const ControlDescriptor& row, double value)
{
    sheet.fill(box, shape::rect(box.left, box.top, box.right, box.bottom), kPanelColor);
    if (!row.format) return;
    char text[kDisplayTextSize] = {};
    row.format(static_cast<float>(normalizedToReal(value, row.id)), text);
    const double w = fonts.regular->width(text, kValueFontSize);
    const double x = (box.left + box.right - w) * 0.5;
    const int baseline =
        static_cast<int>((box.top + box.bottom) * 0.5 + fonts.regular->capHeight(kValueFontSize) * 0.5 + 0.5);
    fonts.regular->draw(sheet, text, x, baseline, kValueFontSize, kTextColor);
}

std::optional<Canvas> drawSheet(const Fonts& fonts, const Scene& scene)
{
    std::optional<Canvas> sheet = loadBitmap(bitmapid::skin);
    if (!sheet) return std::nullopt;
    for (const ControlDescriptor* row = controlTable; row->name; ++row) {
        if (row->id < 0 || row->bitmap < 1) continue;
        const std::optional<Canvas> bitmap = loadBitmap(row->bitmap);
        if (!bitmap) return std::nullopt;
        const int w = bitmap->width();
        const int h = bitmap->height();
        const double value = scene.values[static_cast<std::size_t>(row - controlTable)];
        switch (row->kind) {
        case KindAnimKnob: {
            const int frames = h / w;
            const int frameHeight = h / frames;
            blit(*sheet, *bitmap, row->x, row->y, w, frameHeight,
                 contact_sheet::knobImageTop(value, frames, frameHeight));
            break;
        }
        case KindOnOffButton:
            blit(*sheet, *bitmap, row->x, row->y, w, h / 2, contact_sheet::switchImageTop(value, h));
            break;
        case KindKickButton: blit(*sheet, *bitmap, row->x, row->y, w, h / 2, scene.buttonsPressed ? h / 2 : 0); break;
        case KindGraph:
            blit(*sheet, *bitmap, row->x, row->y, w, h, 0);
            drawGraphPreview(*sheet, fonts, {row->x, row->y, row->x + w, row->y + h}, scene.values, scene.spectra);
            break;
        case KindMeter: {
            const int frameHeight = h / 73;
            const double v = (scene.meterDb + 24) / 36;  // the meter's scale: −24 to +12 dB
            blit(*sheet, *bitmap, row->x, row->y, w, frameHeight, contact_sheet::displayImageTop(v, 73, frameHeight));
            break;
        }
        default: break;
        }
        if (row->hasValueDisplay) {
            const int top = row->y + row->valueDy;
            drawValueDisplay(*sheet, fonts,
                             {row->x + row->valueDx - 2, top, row->x + row->valueDx + w + 2, top + kValueDisplayHeight},
                             *row, value);
        }
    }
    const std::optional<Canvas> info = loadBitmap(bitmapid::info);
    if (!info) return std::nullopt;
    blit(*sheet, *info, kInfoButton.left, kInfoButton.top, kInfoButton.width(), kInfoButton.height(),
         scene.buttonsPressed ? kInfoButton.height() : 0);
    return sheet;
}

bool writePng(const Canvas& canvas, const std::string& path)
{
    std::vector<unsigned char> rgbBytes;
    rgbBytes.reserve(static_cast<std::size_t>(canvas.width()) * canvas.height() * 3);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const Color c = canvas.pixel(x, y);
            for (double channel : {c.r, c.g, c.b})
                rgbBytes.push_back(static_cast<unsigned char>(std::clamp(channel, 0.0, 255.0) + 0.5));
        }
    return stbi_write_png(path.c_str(), canvas.width(), canvas.height(), 3, rgbBytes.data(), canvas.width() * 3) != 0;
}

Scene defaults()
{
    Scene scene;
    for (int i = 0; i < kNumParameters; ++i)
        scene.values[i] = realToNormalized(controlTable[i].defaultValue, controlTable[i].id);
    return scene;
}

// Every switch on, the knobs where a mix engineer might leave them, the meter near 0 dB
// and the two buttons held down.
Scene states()
{
    Scene scene = defaults();
    const auto set = [&](int id, double real) { scene.values[id] = realToNormalized(real, id); };
    for (int id : {3, 4, 9, 11, 12, 13, 14, 15, 16, 17, 18}) scene.values[id] = 1.0;
    set(5, 3.0);
    set(6, 72.0);
    set(7, 12.0);
    set(10, -2.5);
    for (const auto& [id, hz] : std::initializer_list<std::pair<int, double>>{
             {19, 35}, {20, 120}, {21, 320}, {22, 1800}, {23, 6500}, {24, 9000}, {25, 17000}, {26, 900}})
        set(id, hz);
    for (const auto& [id, dB] :
         std::initializer_list<std::pair<int, double>>{{27, 4.5}, {28, -6}, {29, 2.5}, {30, -3}, {31, 6}, {32, -1.5}})
        set(id, dB);
    scene.values[33] = 1.0;  // LowCut at "Edge"
    for (const auto& [id, q] : std::initializer_list<std::pair<int, double>>{
             {34, 0.5}, {35, 1.4}, {36, 0.8}, {37, 2.5}, {38, 0.9}, {39, 0.3}, {40, 0.7}})
        set(id, q);
    scene.meterDb = -3.0;
    scene.buttonsPressed = true;
    scene.spectra = true;
    return scene;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <font folder> <skin.png> <skin-states.png>\n", argv[0]);
        return 2;
    }
    Fonts fonts;
    if (!Fonts::load(argv[1], fonts)) {
        std::fprintf(stderr, "cannot load the fonts from %s\n", argv[1]);
        return 1;
    }
    const std::pair<Scene, const char*> sheets[] = {{defaults(), argv[2]}, {states(), argv[3]}};
    for (const auto& [scene, path] : sheets) {
        const std::optional<Canvas> sheet = drawSheet(fonts, scene);
        if (!sheet || !writePng(*sheet, path)) {
            std::fprintf(stderr, "cannot draw %s\n", path);
            return 1;
        }
    }
    return 0;
}
