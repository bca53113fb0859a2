// The graph as a user sees it: the real view in a headless frame with the plug-in's
// graph background, fed by real analysers, read back from the window's pixels.
#include "tests/editor/GraphScene.h"

#include "dsp/SpectrumAnalyser.h"
#include "effect/AKkk.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace VSTGUI;
using namespace tolvan::test;
using Trace = CFRGRAP::Trace;

constexpr Color kGrid{104, 160, 182, 255};
constexpr Color kSource{128, 255, 128, 255};
constexpr Color kOutput{255, 69, 62, 255};
constexpr Color kResponse{255, 128, 128, 255};

// Draws the graph's background and the given texts in one font and colour: what the
// labels must look like.
class TextReference : public CView {
public:
    TextReference(CBitmap* bitmap, FontIndex font, int32_t fontSize, int32_t style, Color colour,
                  std::vector<std::pair<std::string, Rect>> lines, int32_t align)
        : CView(kGraphRect), index(font), size(fontSize), fontStyle(style), colour(colour), texts(std::move(lines)),
          alignment(align)
    {
        setBackground(bitmap);
    }
    void draw(CDrawContext* context) override
    {
        drawBackgroundBitmap(context, {0, 0});
        context->setFont(index, size, fontStyle);
        context->setFontColor(colour);
        for (const auto& [text, box] : texts)
            context->drawString(text.c_str(), box, false, alignment);
    }

private:
    FontIndex index;
    int32_t size;
    int32_t fontStyle;
    Color colour;
    std::vector<std::pair<std::string, Rect>> texts;
    int32_t alignment;
};

// A sine of the given amplitude and frequency, fed in one go.
void feedSine(SpectrumAnalyser& analyser, double frequency, double amplitude, int32_t count)
{
    std::vector<float> x(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        x[static_cast<size_t>(i)] = static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * i / 44100.0));
    analyser.feed(count, x.data(), x.data());
}

class GraphViewTest : public ::testing::Test {
protected:
    void render(CView* view) { frame->redrawView(view); }
    Color pixel(int32_t x, int32_t y) { return scene.pixel(x, y); }
    // Swaps the graph for another view at the same place, renders it, and puts the graph back.
    std::vector<Color> renderInstead(CView* other, const Rect& area)
    {
        frame->removeView(graph, false);
        frame->addView(other);
        render(other);
        std::vector<Color> pixels = capture(area);
        frame->removeView(other, true);
        frame->addView(graph);
        return pixels;
    }
    std::vector<Color> capture(const Rect& area)
    {
        std::vector<Color> out;
        for (int32_t y = area.top; y < area.bottom; ++y)
            for (int32_t x = area.left; x < area.right; ++x)
                out.push_back(pixel(x, y));
        return out;
    }
    int32_t countColour(const Rect& area, Color colour)
    {
        int32_t n = 0;
        for (Color c : capture(area))
            n += c == colour;
        return n;
    }
    // The texts of reference appear in drawn exactly where they lie (except where they
    // blend over a grid line); elsewhere drawn shows the background or the grid lines
    // drawn before the texts.
    void expectTexts(const std::vector<Color>& drawn, const std::vector<Color>& reference,
                            const std::vector<Color>& bare, const Rect& area)
    {
        ASSERT_NE(reference, bare) << "the reference draws no text";
        for (size_t i = 0; i < drawn.size(); ++i) {
            const auto x = area.left + static_cast<int32_t>(i) % area.width();
            const auto y = area.top + static_cast<int32_t>(i) / area.width();
            if (onGridLine(x, y))
                continue;
            if (reference[i] != bare[i])
                ASSERT_EQ(drawn[i], reference[i]) << "text pixel at " << x << ", " << y;
            else
                ASSERT_TRUE(drawn[i] == bare[i] || drawn[i] == kGrid) << "stray pixel at " << x << ", " << y;
        }
    }
    bool onGridLine(int32_t x, int32_t y) const
    {
        for (const LineSegment& line : graph->getFrequencyGrid())
            if (x == line.start.x && y >= line.start.y && y < line.end.y)
                return true;
        for (const LineSegment& line : graph->getLevelGrid())
            if (y == line.start.y && x >= line.start.x && x < line.end.x)
                return true;
        return false;
    }
    std::vector<Color> bareBackground(const Rect& area)
    {
        return renderInstead(new TextReference(bitmap, 4, 0, 0, kGrid, {}, kAlignLeft), area);
    }
    // Runs of the grid colour along a row: the vertical lines crossing it.
    int32_t gridRunsInRow(int32_t y, int32_t from, int32_t to)
    {
        int32_t runs = 0;
        bool inside = false;
        for (int32_t x = from; x <= to; ++x) {
            const bool grid = pixel(x, y) == kGrid;
            runs += grid && !inside;
            inside = grid;
        }
        return runs;
    }

    GraphScene scene;
    std::unique_ptr<AKkk>& effect = scene.effect;
    CFrame* frame = scene.frame;
    CBitmap* bitmap = scene.bitmap;
    CFRGRAP* graph = scene.graph;
};

TEST_F(GraphViewTest, FiveLevelLinesLabelledFromTheMiddle)
{
    ASSERT_EQ(bitmap->getWidth(), 391);
    EXPECT_EQ(graph->getPlotRect(), Rect(67, 27, 406, 142));
    render(graph);
    const int32_t column = graph->xOf(1500);  // between the 1 kHz and 2 kHz lines
    const int32_t rows[] = {130, 107, 84, 61, 38};
    for (int32_t y : rows) {
        EXPECT_EQ(pixel(column, y), kGrid) << y;
        EXPECT_NE(pixel(column, y - 1), kGrid) << y;
        EXPECT_NE(pixel(column, y + 1), kGrid) << y;
    }

    // The labels, bottom to top, against the same texts drawn where they belong.
    const char* texts[] = {"-24", "-12", "+0", "+12", "+24"};
    std::vector<std::pair<std::string, Rect>> expected;
    for (int i = 0; i < 5; ++i)
        expected.push_back({texts[i], {67 - 28, rows[i] - 5, 67, rows[i] + 5}});
    const Rect labelColumn{35, 20, 67, 150};
    const std::vector<Color> drawn = capture(labelColumn);
    const std::vector<Color> reference =
        renderInstead(new TextReference(bitmap, 4, 0, 0, kGrid, expected, kAlignRight), labelColumn);
    expectTexts(drawn, reference, bareBackground(labelColumn), labelColumn);
}

TEST_F(GraphViewTest, LevelScalesFollowRangeAndShift)
{
    render(graph);
    EXPECT_FALSE(graph->isDirty());
    graph->setRange(120);
    EXPECT_TRUE(graph->isDirty());
    EXPECT_EQ(graph->getLevelGrid().size(), 11u);
    graph->setRange(24);
    EXPECT_EQ(graph->getLevelGrid().size(), 3u);
    graph->setRange(60);
    graph->setShift(-40);
    EXPECT_FLOAT_EQ(graph->getBottomDb(), -20.0f);
    EXPECT_FLOAT_EQ(graph->getTopDb(), 40.0f);
    // The same five rows as before: the grid is laid out about the middle.
    ASSERT_EQ(graph->getLevelGrid().size(), 5u);
    EXPECT_EQ(graph->getLevelGrid()[0].start.y, 130);
    EXPECT_EQ(graph->getLevelGrid()[4].start.y, 38);
}

TEST_F(GraphViewTest, FrequencyLinesEndAtHalfTheSampleRate)
{
    render(graph);
    EXPECT_EQ(graph->getFrequencyGrid().size(), 28u);
    // Row 120 crosses every vertical line and the right border; the 20 Hz line lies on
    // the left border.
    EXPECT_EQ(gridRunsInRow(120, 67, 405), 28 + 1);
    EXPECT_EQ(graph->xOf(20), 67);

    // The 20 Hz label starts at its line, the 50 Hz label 12 pixels before its line, and
    // 1 kHz is written in kHz.
    const Rect labelRow{35, 144, 426, 162};
    const std::vector<Color> drawn = capture(labelRow);
    std::vector<std::pair<std::string, Rect>> labels;
    const std::pair<int32_t, const char*> marks[] = {{20, "20Hz"},    {50, "50Hz"},   {100, "100Hz"},
                                                     {500, "500Hz"},  {1000, "1kHz"}, {5000, "5kHz"},
                                                     {10000, "10kHz"}, {20000, "20kHz"}};
    for (auto [hz, text] : marks) {
        const int32_t left = graph->xOf(static_cast<float>(hz)) - (hz == 20 ? 0 : 12);
        labels.push_back({text, {left + 1, 144, left + 32, 154}});
    }
    expectTexts(drawn, renderInstead(new TextReference(bitmap, 4, 0, 0, kGrid, labels, kAlignLeft), labelRow),
                bareBackground(labelRow), labelRow);

    effect->preAnalyser->sampleRate = 96000;
    graph->setGraphSampleRate(96000);
    render(graph);
    EXPECT_EQ(graph->getFrequencyGrid().size(), 30u);
    EXPECT_EQ(gridRunsInRow(120, 67, 405), 30 + 1);
    // 40 kHz has a label now.
    const int32_t x40k = graph->xOf(40000) - 12;
    const Rect box{x40k + 1, 144, x40k + 32, 154};
    expectTexts(capture(box), renderInstead(new TextReference(bitmap, 4, 0, 0, kGrid, {{"40kHz", box}}, kAlignLeft), box),
                bareBackground(box), box);
}

TEST_F(GraphViewTest, LegendAndBorder)
{
    render(graph);
    const Rect plot = graph->getPlotRect();
    for (int32_t x = plot.left; x < plot.right; x += 7) {
        EXPECT_EQ(pixel(x, plot.top), kGrid) << x;
        EXPECT_EQ(pixel(x, plot.bottom - 1), kGrid) << x;
    }
    for (int32_t y = plot.top; y < plot.bottom; y += 5) {
        EXPECT_EQ(pixel(plot.left, y), kGrid) << y;
        EXPECT_EQ(pixel(plot.right - 1, y), kGrid) << y;
    }
    // Each legend line in its own colour, bold, 10 pixels high, half the line height per
    // character wide.
    const Rect sourceLine{plot.left + 1, plot.top + 4, plot.left + 60, plot.top + 16};
    const Rect outputLine{plot.left + 1, plot.top + 16, plot.left + 60, plot.top + 28};
    const std::vector<Color> drawnSource = capture(sourceLine);
    const std::vector<Color> drawnOutput = capture(outputLine);
    std::vector<std::pair<std::string, Rect>> source{{"- source", {72, 31, 72 + 6 * 8, 43}}};
    std::vector<std::pair<std::string, Rect>> output{{"- output", {72, 43, 72 + 6 * 8, 55}}};
    expectTexts(drawnSource,
                renderInstead(new TextReference(bitmap, 1, 10, kFontStyleBold, kSource, source, kAlignLeft), sourceLine),
                bareBackground(sourceLine), sourceLine);
    expectTexts(drawnOutput,
                renderInstead(new TextReference(bitmap, 1, 10, kFontStyleBold, kOutput, output, kAlignLeft), outputLine),
                bareBackground(outputLine), outputLine);
}

TEST_F(GraphViewTest, FlatResponseOnTheMiddleRow)
{
    SpectrumAnalyser& response = *effect->responseAnalyser;
    float* frameData = response.responseFrame();
    std::fill(frameData, frameData + 2 * SpectrumAnalyser::frameSize, 0.0f);
    frameData[0] = 1.0f;
    response.measureResponse();
    EXPECT_TRUE(graph->traceSpectrum(response, Trace::response));
    for (const LineSegment& s : graph->getCurve(Trace::response).subspan(0, static_cast<size_t>(graph->getPointCount() - 1))) {
        ASSERT_EQ(s.start.y, 84);
        ASSERT_EQ(s.end.y, 84);
    }
    render(graph);
    // Two pixels wide along the middle line, inside the plot's border.
    for (int32_t x = 70; x < 400; x += 3)
        EXPECT_EQ(pixel(x, 84), kResponse) << x;
    EXPECT_EQ(countColour({68, 28, 405, 82}, kResponse), 0);
    EXPECT_EQ(countColour({68, 87, 405, 141}, kResponse), 0);
    // The curve starts at the plot's left edge (inside the clip) and never covers the border.
    EXPECT_EQ(pixel(68, 84), kResponse);
    EXPECT_EQ(pixel(67, 84), kGrid);

    // Nothing moved: the same bins traced again give nothing new to draw.
    EXPECT_FALSE(graph->isDirty());
    EXPECT_FALSE(graph->traceSpectrum(response, Trace::response));
    EXPECT_FALSE(graph->isDirty());
    // A 6 dB louder response moves the curve up by 6 / 60 of the plot's 114 rows.
    frameData[0] = 2.0f;
    response.measureResponse();
    EXPECT_TRUE(graph->traceSpectrum(response, Trace::response));
    EXPECT_EQ(graph->getCurve(Trace::response)[10].start.y, 84 - 11);
}

TEST_F(GraphViewTest, SpectraRiseAtOnceAndFallByFifteenPercent)
{
    SpectrumAnalyser& pre = *effect->preAnalyser;
    const auto memory = [&] { return std::vector<float>(graph->getMemory(Trace::pre).begin(), graph->getMemory(Trace::pre).end()); };

    // Silence right after the reset: each point sinks from just below the plot.
    ASSERT_TRUE(graph->traceSpectrum(pre, Trace::pre));
    const float below = -80.0f - 1.0f;
    for (size_t p = 0; p < memory().size(); ++p) {
        const float tilt = std::log2(graph->getPointTable()[p].fLo / 1000.0f) * 4.0f;
        ASSERT_NEAR(memory()[p], 0.85f * below + 0.15f * (-379.29779f + tilt), 1e-3) << p;
    }

    // Nothing new from the analyser: no trace, the curve and the memory stay, and there
    // is nothing to redraw.
    scene.render();
    EXPECT_FALSE(graph->isDirty());
    const std::vector<float> before = memory();
    const auto curveBefore = std::vector<LineSegment>(graph->getCurve(Trace::pre).begin(), graph->getCurve(Trace::pre).end());
    EXPECT_FALSE(graph->traceSpectrum(pre, Trace::pre));
    EXPECT_EQ(memory(), before);
    EXPECT_TRUE(std::equal(curveBefore.begin(), curveBefore.end(), graph->getCurve(Trace::pre).begin(),
                           [](const LineSegment& a, const LineSegment& b) { return a.start == b.start && a.end == b.end; }));
    EXPECT_FALSE(graph->isDirty());

    // A loud 1 kHz sine shows at once at its level.
    pre.reset();
    feedSine(pre, 1000.0, 0.5, 4096);
    ASSERT_TRUE(graph->traceSpectrum(pre, Trace::pre));
    EXPECT_TRUE(graph->isDirty());
    size_t peak = 0;
    for (size_t p = 0; p < memory().size(); ++p)
        if (memory()[p] > memory()[peak])
            peak = p;
    EXPECT_NEAR(graph->getPointTable()[peak].freq, 1000.0f, 30.0f);
    const float loud = memory()[peak];
    EXPECT_GT(loud, -50.0f);
    const int32_t loudRow = graph->getCurve(Trace::pre)[peak].start.y;

    // 30 dB quieter: the next trace shows a fall of 4.5 dB.
    pre.reset();
    feedSine(pre, 1000.0, 0.5 * std::pow(10.0, -1.5), 4096);
    ASSERT_TRUE(graph->traceSpectrum(pre, Trace::pre));
    EXPECT_NEAR(loud - memory()[peak], 4.5f, 0.01f);
    // 4.5 dB are 8.55 of the plot's 114 rows over 60 dB.
    EXPECT_NEAR(graph->getCurve(Trace::pre)[peak].start.y - loudRow, 8.55, 1.0);

    // A reset hides the curve again until the next trace.
    graph->resetTraces();
    for (const LineSegment& s : graph->getCurve(Trace::pre))
        ASSERT_TRUE(s.start == Point() && s.end == Point());
}

TEST_F(GraphViewTest, SwitchedOffSpectrumIsNotDrawn)
{
    effect->preAnalyserOn = 0;
    effect->postAnalyserOn = 1;
    feedSine(*effect->preAnalyser, 1000.0, 0.5, 4096);
    // Another tone for the output, so that its curve does not cover the source's.
    feedSine(*effect->postAnalyser, 3000.0, 0.05, 4096);
    ASSERT_TRUE(graph->traceSpectrum(*effect->preAnalyser, Trace::pre));
    ASSERT_TRUE(graph->traceSpectrum(*effect->postAnalyser, Trace::post));
    render(graph);
    const Rect belowLegend{68, 60, 405, 141};
    EXPECT_EQ(countColour(belowLegend, kSource), 0);
    EXPECT_GT(countColour(belowLegend, kOutput), 20);

    effect->preAnalyserOn = 1;
    render(graph);
    EXPECT_GT(countColour(belowLegend, kSource), 20);
}

TEST_F(GraphViewTest, ConstructionNeedsEffectAndAnalyser)
{
    EXPECT_THROW(CFRGRAP(kGraphRect, bitmap, nullptr, effect->preAnalyser.get(), nullptr), std::invalid_argument);
    EXPECT_THROW(CFRGRAP(kGraphRect, bitmap, effect.get(), nullptr, nullptr), std::invalid_argument);
    // A closed or missing frame draws nothing (and does not crash).
    CFRGRAP loose(kGraphRect, bitmap, effect.get(), effect->preAnalyser.get(), nullptr);
    loose.draw(nullptr);
    // Rates no axis fits below are ignored rather than building an empty axis.
    const size_t lines = graph->getFrequencyGrid().size();
    graph->setGraphSampleRate(0);
    graph->setGraphSampleRate(-44100);
    EXPECT_EQ(graph->getFrequencyGrid().size(), lines);
    EXPECT_EQ(graph->getPointCount(), 243);
}

}  // namespace
