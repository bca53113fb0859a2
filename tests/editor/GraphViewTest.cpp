// The graph as a user sees it: the real view in a headless frame with the plug-in's
// graph background, fed by real analysers, read back from the window's pixels.
#include "tools/editor-snapshot/GraphScene.h"

#include "dsp/SpectrumAnalyser.h"
#include "framework/GlyphCache.h"
#include "framework/platform/headless/HeadlessScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace VSTGUI;
using namespace tolvan::test;
using Trace = CFRGRAP::Trace;
using Texts = std::vector<std::pair<std::string, Rect>>;

constexpr Color kGrid{104, 160, 182, 255};
constexpr Color kSource{128, 255, 128, 255};
constexpr Color kOutput{255, 69, 62, 255};
constexpr Color kResponse{255, 128, 128, 255};

// The graph's background with the given texts in the label font and colour: what the
// labels must look like.
class LabelReference : public CView {
public:
    LabelReference(CBitmap* bitmap, Texts lines, int32_t align)
        : CView(kGraphRect), texts(std::move(lines)), alignment(align)
    {
        setBackground(bitmap);
    }
    void draw(CDrawContext* context) override
    {
        drawBackgroundBitmap(context, {0, 0});
        context->setFont(4);
        context->setFontColor(kGrid);
        for (const auto& [text, box] : texts) context->drawString(text.c_str(), box, false, alignment);
    }

private:
    Texts texts;
    int32_t alignment;
};

void feedSine(SpectrumAnalyser& analyser, double frequency, double amplitude)
{
    std::vector<float> x(SpectrumAnalyser::frameSize);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * static_cast<double>(i) / 44100.0));
    analyser.feed(SpectrumAnalyser::frameSize, x.data(), x.data());
}

class GraphViewTest : public ::testing::Test {
protected:
    std::vector<Color> capture(const Rect& area)
    {
        std::vector<Color> out;
        for (int32_t y = area.top; y < area.bottom; ++y)
            for (int32_t x = area.left; x < area.right; ++x) out.push_back(scene.pixel(x, y));
        return out;
    }
    int32_t countColour(const Rect& area, Color colour)
    {
        const std::vector<Color> pixels = capture(area);
        return static_cast<int32_t>(std::count(pixels.begin(), pixels.end(), colour));
    }
    // Renders a reference view where the graph is and puts the graph back.
    std::vector<Color> renderReference(Texts texts, int32_t alignment, const Rect& area)
    {
        auto* reference = new LabelReference(scene.bitmap, std::move(texts), alignment);
        scene.frame->removeView(graph, false);
        scene.frame->addView(reference);
        scene.frame->redrawView(reference);
        std::vector<Color> pixels = capture(area);
        scene.frame->removeView(reference, true);
        scene.frame->addView(graph);
        return pixels;
    }
    // The texts appear in the drawn graph pixel for pixel where they belong (except where
    // they blend over a grid line); elsewhere it shows the background or the grid.
    void expectLabels(const Texts& texts, int32_t alignment, const Rect& area)
    {
        scene.render();
        const std::vector<Color> drawn = capture(area);
        const std::vector<Color> reference = renderReference(texts, alignment, area);
        const std::vector<Color> bare = renderReference({}, alignment, area);
        ASSERT_NE(reference, bare);
        for (size_t i = 0; i < drawn.size(); ++i) {
            const Point at{area.left + static_cast<int32_t>(i) % area.width(),
                           area.top + static_cast<int32_t>(i) / area.width()};
            if (onGridLine(at)) continue;
            if (reference[i] != bare[i])
                ASSERT_EQ(drawn[i], reference[i]) << at.x << ", " << at.y;
            else
                ASSERT_TRUE(drawn[i] == bare[i] || drawn[i] == kGrid) << at.x << ", " << at.y;
        }
    }
    bool onGridLine(Point p) const
    {
        for (const LineSegment& line : graph->getFrequencyGrid())
            if (p.x == line.start.x && p.y >= line.start.y && p.y < line.end.y) return true;
        for (const LineSegment& line : graph->getLevelGrid())
            if (p.y == line.start.y && p.x >= line.start.x && p.x < line.end.x) return true;
        return false;
    }
    // The vertical lines crossing row 120 of the plot, right border included.
    int32_t verticalLines()
    {
        scene.render();
        int32_t runs = 0;
        bool inside = false;
        for (int32_t x = 67; x <= 405; ++x) {
            const bool grid = scene.pixel(x, 120) == kGrid;
            runs += grid && !inside;
            inside = grid;
        }
        return runs;
    }

    GraphScene scene;
    CFRGRAP* graph = scene.graph;
};

TEST_F(GraphViewTest, LevelLinesAndLabelsCountFromTheMiddle)
{
    ASSERT_EQ(scene.bitmap->getWidth(), 391);
    EXPECT_EQ(graph->getPlotRect(), Rect(67, 27, 406, 142));
    scene.render();
    const int32_t column = graph->xOf(1500);  // between the 1 kHz and 2 kHz lines
    const int32_t rows[] = {130, 107, 84, 61, 38};
    for (int32_t y : rows) {
        EXPECT_EQ(scene.pixel(column, y), kGrid) << y;
        EXPECT_NE(scene.pixel(column, y - 1), kGrid) << y;
        EXPECT_NE(scene.pixel(column, y + 1), kGrid) << y;
    }
    const char* texts[] = {"-24", "-12", "+0", "+12", "+24"};
    Texts labels;
    for (int i = 0; i < 5; ++i) labels.push_back({texts[i], {67 - 28, rows[i] - 5, 67, rows[i] + 5}});
    expectLabels(labels, kAlignRight, {35, 20, 67, 150});

    scene.render();
    EXPECT_FALSE(graph->isDirty());
    graph->setRange(120);
    EXPECT_TRUE(graph->isDirty());
    EXPECT_EQ(graph->getLevelGrid().size(), 11u);
    graph->setRange(24);
    EXPECT_EQ(graph->getLevelGrid().size(), 3u);
    // SHIFT -40 moves the levels, not the lines: the grid is laid out about the middle.
    graph->setRange(60);
    graph->setShift(-40);
    EXPECT_FLOAT_EQ(graph->getBottomDb(), -20.0f);
    EXPECT_FLOAT_EQ(graph->getTopDb(), 40.0f);
    ASSERT_EQ(graph->getLevelGrid().size(), 5u);
    EXPECT_EQ(graph->getLevelGrid()[0].start.y, 130);
    EXPECT_EQ(graph->getLevelGrid()[4].start.y, 38);
}

TEST_F(GraphViewTest, FrequencyLinesEndAtHalfTheSampleRate)
{
    // 20 Hz to 20 kHz; the 20 Hz line lies on the left border.
    EXPECT_EQ(verticalLines(), 28 + 1);
    EXPECT_EQ(graph->xOf(20), 67);
    // The 20 Hz label starts at its line, the others 12 pixels before theirs; 1000 Hz is 1 kHz.
    std::vector<std::pair<int32_t, const char*>> marks{{20, "20Hz"},     {50, "50Hz"},    {100, "100Hz"},
                                                       {500, "500Hz"},   {1000, "1kHz"},  {5000, "5kHz"},
                                                       {10000, "10kHz"}, {20000, "20kHz"}};
    const auto labels = [&] {
        Texts texts;
        for (auto [hz, text] : marks) {
            const int32_t left = graph->xOf(static_cast<float>(hz)) - (hz == 20 ? 0 : 12);
            texts.push_back({text, {left + 1, 144, left + 32, 154}});
        }
        return texts;
    };
    const Rect labelRow{35, 144, 426, 162};
    expectLabels(labels(), kAlignLeft, labelRow);

    // Rates no axis fits below are ignored.
    graph->setGraphSampleRate(0);
    graph->setGraphSampleRate(-44100);
    EXPECT_EQ(graph->getPointCount(), 243);

    scene.display.sampleRate = 96000;
    graph->setGraphSampleRate(96000);
    EXPECT_EQ(verticalLines(), 30 + 1);
    // 40 kHz gets a label.
    marks.push_back({40000, "40kHz"});
    expectLabels(labels(), kAlignLeft, labelRow);
}

// At high rates the decades crowd together ("20Hz50Hz", "10kHz20kHz40kHz" at 192 kHz):
// a label whose text would start before the text of the last one drawn ends is left out,
// and nothing else of the grid changes.
TEST_F(GraphViewTest, FrequencyLabelsThatWouldRunIntoTheOneBeforeAreLeftOut)
{
    const std::vector<std::pair<int32_t, const char*>> marks{{20, "20Hz"},     {50, "50Hz"},     {100, "100Hz"},
                                                             {500, "500Hz"},   {1000, "1kHz"},   {5000, "5kHz"},
                                                             {10000, "10kHz"}, {20000, "20kHz"}, {40000, "40kHz"}};
    const FontInstance& labelFont = GlyphCache::font(false, 11);  // Arial 11, the label font
    for (const int32_t rate : {44100, 48000, 96000, 192000, 384000, 768000}) {
        scene.display.sampleRate = rate;
        graph->setGraphSampleRate(rate);
        EXPECT_EQ(graph->getFrequencyGrid().size(), rate < 80000 ? 28u : 30u) << rate;
        // The labels a reader can tell apart, worked out from the text widths.
        Texts expected;
        int64_t lastEnd = INT64_MIN;
        for (auto [hz, text] : marks) {
            if (hz > rate / 2) break;
            const int32_t left = graph->xOf(static_cast<float>(hz)) - (hz == 20 ? 0 : 12);
            const int64_t start = left + 2;
            if (start < lastEnd) continue;
            lastEnd = std::min<int64_t>(start + labelFont.textWidth(text), left + 32);
            expected.push_back({text, {left + 1, 144, left + 32, 154}});
        }
        if (rate <= 96000)
            EXPECT_EQ(expected.size(), rate < 80000 ? 8u : 9u) << "every label fits at " << rate;
        else
            EXPECT_LT(expected.size(), 9u) << "some labels would touch at " << rate;
        ASSERT_EQ(graph->getFrequencyLabels().size(), expected.size()) << rate;
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_STREQ(graph->getFrequencyLabels()[i].text.data(), expected[i].first.c_str()) << rate;
        expectLabels(expected, kAlignLeft, {35, 144, 426, 162});
    }
}

TEST_F(GraphViewTest, FlatResponseOnTheMiddleRow)
{
    SpectrumAnalyser& response = *scene.display.response;
    const auto flatAt = [&response](float power) {
        response.holdResponse([power](float* bins) { std::fill(bins, bins + SpectrumAnalyser::binCount, power); });
    };
    flatAt(1.0f);
    EXPECT_TRUE(graph->traceSpectrum(Trace::response));
    scene.render();
    // Two pixels wide along the middle line, inside the border, from the left edge on.
    for (int32_t x = 68; x < 400; x += 3) ASSERT_EQ(scene.pixel(x, 84), kResponse) << x;
    EXPECT_EQ(scene.pixel(67, 84), kGrid);
    EXPECT_EQ(countColour({68, 28, 405, 82}, kResponse) + countColour({68, 87, 405, 141}, kResponse), 0);

    // The same bins again: nothing new to draw.
    EXPECT_FALSE(graph->isDirty());
    EXPECT_FALSE(graph->traceSpectrum(Trace::response));
    EXPECT_FALSE(graph->isDirty());
    // 6 dB louder: up by 6 / 60 of the plot's 114 rows.
    flatAt(4.0f);
    EXPECT_TRUE(graph->traceSpectrum(Trace::response));
    EXPECT_EQ(graph->getCurve(Trace::response)[10].start.y, 84 - 11);
    // RANGE 120 halves the rows per dB at once, without a new measurement.
    graph->setRange(120);
    EXPECT_EQ(graph->getCurve(Trace::response)[10].start.y, 84 - 6);
}

TEST_F(GraphViewTest, SpectraRiseAtOnceAndFallByFifteenPercent)
{
    SpectrumAnalyser& pre = *scene.display.pre;
    const auto memory = [&] {
        const auto m = graph->getMemory(Trace::pre);
        return std::vector<float>(m.begin(), m.end());
    };
    const auto rows = [&] {
        std::vector<int32_t> y;
        for (const LineSegment& s : graph->getCurve(Trace::pre)) y.push_back(s.start.y);
        return y;
    };

    // Silence right after the reset: each point sinks from just below the plot.
    ASSERT_TRUE(graph->traceSpectrum(Trace::pre));
    for (size_t p = 0; p < memory().size(); ++p) {
        const float tilt = std::log2(graph->getPointTable()[p].fLo / 1000.0f) * 4.0f;
        ASSERT_NEAR(memory()[p], 0.85f * (-80.0f - 1.0f) + 0.15f * (-379.29779f + tilt), 1e-3) << p;
    }

    // Nothing new from the analyser: no trace, nothing moves, nothing to redraw.
    scene.render();
    const std::vector<float> before = memory();
    const std::vector<int32_t> rowsBefore = rows();
    EXPECT_FALSE(graph->traceSpectrum(Trace::pre));
    EXPECT_EQ(memory(), before);
    EXPECT_EQ(rows(), rowsBefore);
    EXPECT_FALSE(graph->isDirty());

    // A loud 1 kHz tone shows at once.
    pre.reset();
    feedSine(pre, 1000.0, 0.5);
    ASSERT_TRUE(graph->traceSpectrum(Trace::pre));
    EXPECT_TRUE(graph->isDirty());
    const std::vector<float> afterTone = memory();
    const auto peak = static_cast<size_t>(std::max_element(afterTone.begin(), afterTone.end()) - afterTone.begin());
    EXPECT_NEAR(graph->getPointTable()[peak].freq, 1000.0f, 30.0f);
    const float loud = memory()[peak];
    EXPECT_GT(loud, -50.0f);
    const int32_t loudRow = rows()[peak];

    // 30 dB quieter: the next trace falls by 4.5 dB, 8.55 of the 114 rows over 60 dB.
    pre.reset();
    feedSine(pre, 1000.0, 0.5 * std::pow(10.0, -1.5));
    ASSERT_TRUE(graph->traceSpectrum(Trace::pre));
    EXPECT_NEAR(loud - memory()[peak], 4.5f, 0.01f);
    EXPECT_NEAR(rows()[peak] - loudRow, 8.55, 1.0);
    // SHIFT 10 instead of 20: the levels move 19 rows down at once, not at the next trace.
    const int32_t quietRow = rows()[peak];
    graph->setShift(10);
    EXPECT_NEAR(rows()[peak] - quietRow, 19, 1);

    graph->resetTraces();
    for (const LineSegment& s : graph->getCurve(Trace::pre)) ASSERT_TRUE(s.start == Point() && s.end == Point());
}

// Silence again on a curve that has settled below the plot changes nothing and is not
// traced; a new tilt or scale between two silent spectra must still move the curve.
TEST_F(GraphViewTest, RepeatedSilenceStaysCleanUntilTheTiltOrScaleChanges)
{
    SpectrumAnalyser& pre = *scene.display.pre;
    const auto rows = [&] {
        std::vector<int32_t> y;
        for (const LineSegment& s : graph->getCurve(Trace::pre)) y.push_back(s.start.y);
        return y;
    };
    const auto traceSilence = [&] {
        pre.reset();
        feedSine(pre, 1000.0, 0.0);
        return graph->traceSpectrum(Trace::pre);
    };
    ASSERT_TRUE(traceSilence());
    ASSERT_TRUE(traceSilence());
    scene.render();
    const std::vector<int32_t> settledRows = rows();
    EXPECT_TRUE(traceSilence()) << "the spectrum was taken";
    EXPECT_FALSE(graph->isDirty());
    EXPECT_EQ(rows(), settledRows);

    graph->setSlope(0.0f);
    ASSERT_TRUE(traceSilence());
    EXPECT_NE(rows(), settledRows) << "the curve kept the old tilt";

    ASSERT_TRUE(traceSilence());
    const std::vector<int32_t> flatRows = rows();
    graph->setDbScale(-100.0f, -40.0f, 12.0f);
    const std::vector<int32_t> rescaledRows = rows();
    ASSERT_TRUE(traceSilence());
    EXPECT_NE(rows(), rescaledRows) << "the smoothing kept the old bottom level";
    EXPECT_NE(rows(), flatRows);
}

TEST_F(GraphViewTest, SwitchedOffSpectrumIsNotDrawn)
{
    scene.display.preShown = false;
    scene.display.postShown = true;
    feedSine(*scene.display.pre, 1000.0, 0.5);
    // Another tone for the output, so that its curve does not cover the source's.
    feedSine(*scene.display.post, 3000.0, 0.05);
    ASSERT_TRUE(graph->traceSpectrum(Trace::pre));
    ASSERT_TRUE(graph->traceSpectrum(Trace::post));
    scene.render();
    const Rect belowLegend{68, 60, 405, 141};
    EXPECT_EQ(countColour(belowLegend, kSource), 0);
    EXPECT_GT(countColour(belowLegend, kOutput), 20);
    scene.display.preShown = true;
    scene.render();
    EXPECT_GT(countColour(belowLegend, kSource), 20);
}

// The scales are drawn once and kept for later redraws: after any change of the axes the
// graph looks as one drawn for the first time with the new axes.
TEST(GraphScales, AfterAChangeOfAxesLookAsIfDrawnAfresh)
{
    const std::pair<const char*, void (*)(GraphScene&)> changes[] = {
        {"range", [](GraphScene& scene) { scene.graph->setRange(120); }},
        {"shift", [](GraphScene& scene) { scene.graph->setShift(-10); }},
        {"sample rate",
         [](GraphScene& scene) {
             scene.display.sampleRate = 96000;
             scene.graph->setGraphSampleRate(96000);
         }},
    };
    for (const auto& [name, change] : changes) {
        const auto pixelsAfterChange = [&change](bool drawnBefore) {
            GraphScene scene;
            if (drawnBefore) scene.render();
            change(scene);
            scene.render();
            std::vector<Color> pixels;
            for (int32_t y = kGraphRect.top; y < kGraphRect.bottom; ++y)
                for (int32_t x = kGraphRect.left; x < kGraphRect.right; ++x) pixels.push_back(scene.pixel(x, y));
            return pixels;
        };
        EXPECT_TRUE(pixelsAfterChange(true) == pixelsAfterChange(false)) << name;
    }
}

// The window's pixels, row after row.
std::vector<Pixel> windowPicture(const platform::Window& window)
{
    const PixelSurface& surface = headless::windowPixels(window);
    std::vector<Pixel> pixels;
    for (int32_t y = 0; y < surface.height(); ++y)
        pixels.insert(pixels.end(), surface.row(y), surface.row(y) + surface.width());
    return pixels;
}

// Ticks that draw only the curves again leave the window as drawing the whole graph would,
// tick after tick and at every scale, with the spectra and the response moving, the spectra
// switched off and on, and part of the graph painted in between; and each such tick changes
// pixels only inside the rows it promised the window.
TEST(GraphCurvesOnly, LeaveTheWindowAsDrawingTheWholeGraphWould)
{
    constexpr int32_t kTicks = 24;
    constexpr int32_t kPartPainted = 17;
    const auto preShown = [](int32_t tick) { return tick < 8 || tick > 11; };
    const auto postShown = [](int32_t tick) { return tick < 12 || tick > 14; };
    for (DisplayScale scale : kDisplayScales) {
        const auto run = [&](bool curvesOnly) {
            GraphScene scene;
            scene.frame->setDisplayScale(scale);
            platform::Window& window = *scene.frame->getWindow();
            // The new scale's whole-window paint, before the ticks.
            headless::paint(window);
            scene.render();
            std::vector<std::vector<Pixel>> pictures;
            for (int32_t tick = 0; tick < kTicks; ++tick) {
                scene.display.preShown = preShown(tick);
                scene.display.postShown = postShown(tick);
                feedSine(*scene.display.pre, 150.0 * (1 + tick % 7), 0.5 / (1 + tick % 3));
                feedSine(*scene.display.post, 9000.0 / (1 + tick % 5), 0.02 * (1 + tick % 4));
                feedSine(*scene.display.response, 400.0 * (1 + tick % 4), 0.3);
                if (tick == kPartPainted) {
                    window.invalidate(scene.frame->frameToWindow({100, 40, 300, 90}));
                    EXPECT_TRUE(headless::paint(window));
                }
                for (Trace trace : {Trace::pre, Trace::post, Trace::response}) scene.graph->traceSpectrum(trace);
                const std::vector<Pixel> before = windowPicture(window);
                if (curvesOnly)
                    scene.graph->redrawCurves();
                else
                    scene.render();
                pictures.push_back(windowPicture(window));
                if (!curvesOnly) continue;
                // After a paint of part of the graph the window no longer holds a whole
                // drawing of it: that tick draws it whole, with no promise.
                const std::optional<headless::PromisedRows> promise = headless::lastPromisedRows(window);
                EXPECT_EQ(promise.has_value(), tick != kPartPainted) << percent(scale) << "% tick " << tick;
                if (!promise) continue;
                const int32_t width = headless::windowPixels(window).width();
                int32_t outside = 0;
                for (std::size_t i = 0; i < before.size(); ++i) {
                    if (before[i] == pictures.back()[i]) continue;
                    const int32_t x = static_cast<int32_t>(i) % width;
                    const int32_t row = static_cast<int32_t>(i) / width - promise->top;
                    const bool promised = row >= 0 && row < static_cast<int32_t>(promise->spans.size()) &&
                                          x >= promise->spans[static_cast<std::size_t>(row)].left &&
                                          x < promise->spans[static_cast<std::size_t>(row)].right;
                    outside += promised ? 0 : 1;
                }
                EXPECT_EQ(outside, 0) << percent(scale) << "% tick " << tick << ": pixels changed outside the promise";
            }
            return pictures;
        };
        const auto whole = run(false);
        const auto curvesOnly = run(true);
        for (int32_t tick = 0; tick < kTicks; ++tick)
            EXPECT_TRUE(curvesOnly[static_cast<std::size_t>(tick)] == whole[static_cast<std::size_t>(tick)])
                << percent(scale) << "% tick " << tick;
    }
}

}  // namespace
