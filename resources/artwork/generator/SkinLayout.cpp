#include "resources/artwork/generator/SkinLayout.h"

#include "effect/ControlTable.h"
#include "resources/artwork/generator/Catalogue.h"
#include "resources/artwork/generator/Meter.h"
#include "resources/artwork/generator/Palette.h"

#include <cstdio>

namespace tolvan::artwork {

namespace {

Box controlRect(const ControlDescriptor& row)
{
    const BitmapFormat* format = findBitmap(row.bitmap);
    if (!format) return {};
    return {row.x, row.y, row.x + format->width, row.y + format->frameHeight};
}

// The knob row (frequency, gain or Q) whose top is y, for the row labels at the left.
constexpr int kFrequencyRowTop = 200;
constexpr int kGainRowTop = 250;
constexpr int kQRowTop = 300;
constexpr int kSwitchRowTop = 170;
constexpr int kKnobSize = 33;
constexpr int kSwitchHeight = 25;

int centredBaseline(const Fonts& fonts, const SkinText& t, double centreY)
{
    const Typeface& face = t.bold ? *fonts.bold : *fonts.regular;
    return static_cast<int>(centreY + face.capHeight(t.size) * 0.5 + 0.5);
}

SkinText label(std::string text, double x, int baseline, Align align, Color color, double size = 8.0,
               double tracking = 0.9, bool bold = true)
{
    SkinText t;
    t.text = std::move(text);
    t.x = x;
    t.baseline = baseline;
    t.align = align;
    t.color = color;
    t.size = size;
    t.tracking = tracking;
    t.bold = bold;
    return t;
}

}  // namespace

std::vector<Box> controlRects()
{
    std::vector<Box> rects;
    for (const ControlDescriptor* row = controlTable; row->name; ++row) {
        if (row->id < 0 || row->kind == KindNone) continue;
        const Box r = controlRect(*row);
        if (!r.empty()) rects.push_back(r);
    }
    rects.push_back(kInfoButton);
    return rects;
}

std::vector<Box> valueDisplayRects()
{
    std::vector<Box> rects;
    for (const ControlDescriptor* row = controlTable; row->name; ++row) {
        if (row->id < 0 || !row->hasValueDisplay) continue;
        const Box r = controlRect(*row);
        const int top = row->y + row->valueDy;
        rects.push_back(
            {row->x + row->valueDx - 2, top, row->x + row->valueDx + r.width() + 2, top + kValueDisplayHeight});
    }
    return rects;
}

SkinLayout layoutSkin(const Fonts& fonts)
{
    SkinLayout layout;
    // Plates: the analyser section, the four band groups, the output section.
    layout.plates = {
        {430, 6, 554, 168},   {52, 167, 140, 350},  {151, 167, 281, 350},
        {291, 167, 381, 350}, {391, 167, 441, 350}, {449, 174, 554, 350},
    };
    layout.recesses = {{32, 8, 429, 165}, {587, 51, 693, 100}};
    layout.screws = {{8, 8, 17, 17}, {8, 357, 17, 366}, {737, 8, 746, 17}, {737, 357, 746, 366}};

    auto& texts = layout.texts;
    const auto rowLabel = [&](std::string text, double centreY) {
        SkinText t = label(std::move(text), 46, 0, Align::Right, palette::legend, 8.5, 1.0);
        t.baseline = centredBaseline(fonts, t, centreY);
        texts.push_back(t);
    };
    rowLabel("BAND", kSwitchRowTop + kSwitchHeight * 0.5);
    rowLabel("FREQ", kFrequencyRowTop + kKnobSize * 0.5);
    rowLabel("GAIN", kGainRowTop + kKnobSize * 0.5);
    rowLabel("Q", kQRowTop + kKnobSize * 0.5);

    // Band names under the band groups, centred on each band's switch.
    const struct {
        const char* name;
        int switchX;
    } bands[] = {{"LO CUT", 56},  {"LO SHELF", 96},  {"PEAK 1", 156}, {"PEAK 2", 196},
                 {"PEAK 3", 236}, {"HI SHELF", 296}, {"HI CUT", 336}, {"BALANCE", 396}};
    for (const auto& band : bands)
        texts.push_back(label(band.name, band.switchX + 20.0, 362, Align::Centre, palette::legend, 7.0, 0.3));

    // The cut bands have no gain knob; their slot says what the cut does instead: 12 dB
    // per octave, or 24 in Edge mode.
    for (const int knobX : {60, 340}) {
        const double centre = knobX + kKnobSize * 0.5;
        texts.push_back(label("12 / 24", centre, kGainRowTop + 16, Align::Centre, rgb(150, 172, 194), 7.0, 0.3));
        texts.push_back(label("dB/OCT", centre, kGainRowTop + 26, Align::Centre, rgb(150, 172, 194), 6.5, 0.5, false));
    }

    // Analyser and output sections: names above their knobs.
    texts.push_back(label("RANGE", 495 + 24.5, 21, Align::Centre, palette::engraving));
    texts.push_back(label("SLOPE", 435 + 24.5, 97, Align::Centre, palette::engraving));
    texts.push_back(label("SHIFT", 495 + 24.5, 97, Align::Centre, palette::engraving));
    texts.push_back(label("OUTPUT", 458 + 40.5, 244, Align::Centre, palette::engraving));
    texts.push_back(label("RESET", 625, 334, Align::Right, palette::legend));

    // The product name over the meter, and the meter's scale under it.
    texts.push_back(label("Tolvan", 640, 33, Align::Centre, rgb(232, 236, 240), 30, 0.0));
    texts.push_back(label("EIGHT-BAND EQUALISER", 640, 44, Align::Centre, palette::accent, 7.0, 1.6, false));
    for (int dB = -24; dB <= 12; dB += 6) {
        char text[8];
        std::snprintf(text, sizeof text, dB > 0 ? "+%d" : "%d", dB);
        texts.push_back(label(text, 590 + meter::tickX(dB), 110, Align::Centre,
                              dB == 0 ? rgb(255, 110, 96) : palette::legend, 7.5, 0.0, dB == 0));
    }
    texts.push_back(label("dB", 698, 110, Align::Left, palette::legend, 7.5, 0.0, false));

    // An inset in the free space of the right-hand column: what the graph's curves are,
    // and the order in which the bands process the signal.
    layout.infoPanel = {572, 128, 718, 292};
    const int left = layout.infoPanel.left + 10;
    texts.push_back(label("GRAPH", left, 144, Align::Left, palette::accent, 7.5, 1.4));
    const struct {
        const char* text;
        Color color;
    } curves[] = {{"INPUT SPECTRUM  (PRE)", palette::source},
                  {"OUTPUT SPECTRUM  (POST)", palette::output},
                  {"EQ RESPONSE", rgb(255, 128, 128)}};
    int y = 159;
    for (const auto& curve : curves) {
        layout.swatches.push_back({{left, y - 4, left + 14, y - 2}, curve.color});
        texts.push_back(label(curve.text, left + 20, y, Align::Left, palette::legend, 7.0, 0.4, false));
        y += 13;
    }
    texts.push_back(label("SIGNAL FLOW", left, 218, Align::Left, palette::accent, 7.5, 1.4));
    const char* flow[] = {"LO CUT  >  LO SHELF  >", "PEAK 1  >  PEAK 2  >  PEAK 3  >", "HI SHELF  >  BALANCE  >",
                          "HI CUT  >  OUTPUT"};
    y = 233;
    for (const char* line : flow) {
        texts.push_back(label(line, left, y, Align::Left, palette::legend, 7.0, 0.4, false));
        y += 13;
    }

    for (SkinText& t : texts) {
        const Typeface& face = t.bold ? *fonts.bold : *fonts.regular;
        const double w = face.width(t.text, t.size, t.tracking);
        t.penX = t.align == Align::Left ? t.x : t.align == Align::Centre ? t.x - w * 0.5 : t.x - w;
        t.ink = face.inkBox(t.text, t.penX, t.baseline, t.size, t.tracking);
    }
    return layout;
}

}  // namespace tolvan::artwork
