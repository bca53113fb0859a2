#include "editor/GraphView.h"

#include "dsp/Levels.h"
#include "dsp/SpectrumAnalyser.h"
#include "framework/CFrame.h"
#include "framework/GlyphCache.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace VSTGUI;

namespace {

constexpr Color gridColor{104, 160, 182, 255};
constexpr Color sourceColor{128, 255, 128, 255};
constexpr Color outputColor{255, 69, 62, 255};
constexpr Color responseColor{255, 128, 128, 255};

// The plot lies inside the view, leaving room for the level labels on the left and the
// frequency labels below.
constexpr int32_t kPlotInsetLeft = 32;
constexpr int32_t kPlotInsetTop = 16;
constexpr int32_t kPlotInsetRight = 20;
constexpr int32_t kPlotInsetBottom = 20;

constexpr FontIndex kLabelFont = 4;
constexpr FontIndex kLegendFont = 1;
constexpr int32_t kLegendLineHeight = 12;

// The buffers hold the points of any rate up to this; a higher rate's axis ends early.
constexpr int32_t kHighestSampleRate = 768000;
// Below this no point of the 1/24-octave series fits under half the rate.
constexpr int32_t kLowestSampleRate = 40;
// Level lines on either side of the middle one at most.
constexpr int32_t kMaxLevelLinesPerSide = 32;

// Tilt of the spectra: the slope turns about this frequency.
constexpr float kTiltPivotScale = 0.001f;

enum FrequencyFlags : int32_t { kMajorLine = 1, kLabelled = 2 };

struct FrequencyMark {
    float frequency;
    int32_t flags;
};

constexpr std::array<FrequencyMark, 30> kFrequencyMarks{{
    {20, 2},   {30, 0},   {40, 0},   {50, 3},   {60, 0},   {70, 0},   {80, 0},    {90, 0},    {100, 3},   {200, 0},
    {300, 0},  {400, 0},  {500, 3},  {600, 0},  {700, 0},  {800, 0},  {900, 0},   {1000, 3},  {2000, 0},  {3000, 0},
    {4000, 0}, {5000, 3}, {6000, 0}, {7000, 0}, {8000, 0}, {9000, 0}, {10000, 3}, {20000, 2}, {30000, 0}, {40000, 2},
}};

// Major lines reach this far beyond the plot at top and bottom.
constexpr int32_t kMajorLineOverhang = 2;
// Labels other than the first start this far left of their line.
constexpr int32_t kLabelLead = 12;

float logOf(float value) { return value > 0.0f ? std::log(value) : static_cast<float>(levels::kLogOfNothing); }

}  // namespace

CGRAP::CGRAP(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, CBitmap* bitmap)
    : CControl(bounds, controlListener, controlTag, bitmap), viewRect(bounds)
{
}

void CGRAP::draw(CDrawContext*) {}

bool CGRAP::isKindOf(const char* className) const
{
    return isClassName(className, "CGRAP") || CControl::isKindOf(className);
}

CFRGRAP::CFRGRAP(const Rect& bounds, CBitmap* bitmap, EffectDisplay& shown, CControlListener* controlListener)
    : CGRAP(bounds, controlListener, -1, bitmap),
      plotRect(bounds.left + kPlotInsetLeft, bounds.top + kPlotInsetTop, bounds.right - kPlotInsetRight,
               bounds.bottom - kPlotInsetBottom),
      display(shown), sampleRate(shown.getSampleRateHz()), plotWidth1(plotRect.width() - 1),
      plotHeight1(plotRect.height() - 1)
{
    const auto capacity = static_cast<size_t>(graph::pointCapacityFor(std::max(kHighestSampleRate, sampleRate)));
    pointTable.resize(capacity);
    preCurve.resize(capacity);
    postCurve.resize(capacity);
    responseCurve.resize(capacity);
    preMemory.resize(capacity);
    postMemory.resize(capacity);
    levels.resize(capacity);
    responseLevels.resize(capacity);
    levelGrid.resize(2 * kMaxLevelLinesPerSide + 1);
    lnBinFreq.resize(static_cast<size_t>(SpectrumAnalyser::binCount));
    takenBins.resize(static_cast<size_t>(SpectrumAnalyser::binCount));
    for (auto& bins : lastBins) bins.resize(static_cast<size_t>(SpectrumAnalyser::binCount));

    setDbScale(-160.0f, 10.0f, 10.0f);
    slopeDbPerOct = 4.0f;
    setFrequencyRange(20.0f, static_cast<float>(sampleRate) * 0.5f, 4.0f);
    graph::fillBinLogFrequencies(lnBinFreq, SpectrumAnalyser::frameSize, sampleRate);
}

CFRGRAP::~CFRGRAP() = default;

bool CFRGRAP::isKindOf(const char* className) const
{
    return isClassName(className, "CFRGRAP") || CGRAP::isKindOf(className);
}

int32_t CFRGRAP::xOf(float frequency) const
{
    return truncateToInt((logOf(frequency) - lnFMin) * pixelsPerLn + static_cast<float>(plotRect.left) + 0.5f);
}

int32_t CFRGRAP::yOf(float level) const
{
    if (spanDb == 0.0f) return plotRect.top;
    return truncateToInt((topDb - level) * static_cast<float>(plotHeight1) / spanDb + static_cast<float>(plotRect.top) +
                         0.5f);
}

void CFRGRAP::setDbScale(float bottom, float top, float step)
{
    bottomDb = bottom;
    topDb = top;
    spanDb = top - bottom;
    gridStepDb = step;
    // The grid is symmetric about the middle of the plot and always has a middle line.
    const float mid = (bottom + top) * 0.5f;
    const double sides = step > 0.0f ? std::trunc((mid - bottom) / step) : 0.0;
    const int32_t k = std::isfinite(sides) ? std::clamp(static_cast<int32_t>(sides), 0, kMaxLevelLinesPerSide) : 0;
    levelGridCount = 2 * k + 1;
    float level = mid - static_cast<float>(k) * step;
    for (int32_t i = 0; i < levelGridCount; ++i, level += step) {
        const int32_t y = yOf(level);
        levelGrid[static_cast<size_t>(i)] = {{plotRect.left, y}, {plotRect.right, y}};
    }
    backdropStale = true;
    // The curves shown move with the scale at once rather than at their next trace.
    for (Trace which : {Trace::pre, Trace::post, Trace::response})
        if (traced[static_cast<size_t>(which)] && pointCount >= 2) placeCurve(which);
    // The bottom level restarts the smoothing of spectra below the plot.
    settled.fill(false);
    setDirty(true);
}

void CFRGRAP::setFrequencyRange(float lowest, float highest, float slope)
{
    slopeDbPerOct = slope;
    // An axis needs two distinct positive ends; anything else keeps the one there is.
    if (!(lowest > 0.0f && highest > lowest && std::isfinite(highest))) return;
    fMin = lowest;
    fMax = highest;
    lnFMin = std::log(fMin);
    pixelsPerLn = static_cast<float>(plotWidth1) / (std::log(fMax) - lnFMin);
    pointCapacity = std::min(graph::pointCapacityFor(sampleRate), static_cast<int32_t>(pointTable.size()));

    for (auto* curve : {&preCurve, &postCurve, &responseCurve}) std::fill(curve->begin(), curve->end(), LineSegment{});
    traced.fill(false);
    settled.fill(false);
    // The memories start below the plot, as after a reset, rather than undefined.
    std::fill(preMemory.begin(), preMemory.end(), bottomDb - 1.0f);
    std::fill(postMemory.begin(), postMemory.end(), bottomDb - 1.0f);

    rebuildPointTable();
    rebuildFrequencyGrid();
    backdropStale = true;
    setDirty(true);
}

void CFRGRAP::rebuildPointTable()
{
    graph::AxisLayout axis;
    axis.fMin = fMin;
    axis.fMax = fMax;
    axis.lnFMin = lnFMin;
    axis.pixelsPerLn = pixelsPerLn;
    axis.plotLeft = plotRect.left;
    axis.analyserSize = SpectrumAnalyser::frameSize;
    axis.analyserRate = display.getSampleRateHz();
    const graph::PointTableShape shape =
        graph::buildPointTable({pointTable.data(), static_cast<size_t>(pointCapacity)}, axis);
    pointCount = shape.pointCount;
    firstBin = shape.firstBin;
    curveSegments = std::max(pointCount - 1, 0);
}

void CFRGRAP::rebuildFrequencyGrid()
{
    freqGridCount = 0;
    freqLabelCount = 0;
    for (size_t i = 0; i < kFrequencyMarks.size(); ++i) {
        const FrequencyMark mark = kFrequencyMarks[i];
        if (mark.frequency < fMin) continue;
        if (mark.frequency > fMax) break;
        const int32_t x = xOf(mark.frequency);
        const int32_t overhang = (mark.flags & kMajorLine) != 0 ? kMajorLineOverhang : 0;
        freqGrid[static_cast<size_t>(freqGridCount++)] = {{x, plotRect.top - overhang},
                                                          {x, plotRect.bottom + overhang}};
        if ((mark.flags & kLabelled) == 0) continue;
        FrequencyLabel& label = freqLabels[static_cast<size_t>(freqLabelCount)];
        const int32_t left = i == 0 ? x : x - kLabelLead;
        label.box = {left + 1, plotRect.bottom + 2, left + 32, plotRect.bottom + 12};
        const auto hz = static_cast<int32_t>(mark.frequency);
        if (hz < 1000)
            std::snprintf(label.text.data(), label.text.size(), "%dHz", hz);
        else
            std::snprintf(label.text.data(), label.text.size(), "%dkHz", hz / 1000);
        // At high rates the decades crowd together: a label that would run into the one
        // before it is left out, its line stays.
        if (freqLabelCount > 0 && label.box.left + 1 < textEnd(freqLabels[static_cast<size_t>(freqLabelCount - 1)]))
            continue;
        ++freqLabelCount;
    }
}

int32_t CFRGRAP::textEnd(const FrequencyLabel& label)
{
    // Left-aligned text starts one pixel inside its box and is cut at the box's right edge.
    const StandardFont& font = kStandardFonts[static_cast<size_t>(kLabelFont)];
    const int64_t width = GlyphCache::font(font.alwaysBold, font.size).textWidth(label.text.data());
    return static_cast<int32_t>(std::min<int64_t>(label.box.left + 1 + width, label.box.right));
}

void CFRGRAP::setSlope(float dbPerOctave)
{
    slopeDbPerOct = dbPerOctave;
    settled.fill(false);
}

void CFRGRAP::setRange(float rangeDb) { setDbScale(topDb - rangeDb, topDb, gridStepDb); }

void CFRGRAP::setShift(float shiftDb)
{
    const float top = -shiftDb;
    setDbScale(top - spanDb, top, gridStepDb);
}

void CFRGRAP::setGraphSampleRate(int32_t hz)
{
    if (hz < kLowestSampleRate) return;
    sampleRate = hz;
    setFrequencyRange(fMin, static_cast<float>(hz) * 0.5f, slopeDbPerOct);
    graph::fillBinLogFrequencies(lnBinFreq, SpectrumAnalyser::frameSize, display.getSampleRateHz());
}

void CFRGRAP::resetTraces()
{
    std::fill(preMemory.begin(), preMemory.end(), bottomDb - 1.0f);
    std::fill(postMemory.begin(), postMemory.end(), bottomDb - 1.0f);
    std::fill(preCurve.begin(), preCurve.end(), LineSegment{});
    std::fill(postCurve.begin(), postCurve.end(), LineSegment{});
    traced[static_cast<size_t>(Trace::pre)] = false;
    traced[static_cast<size_t>(Trace::post)] = false;
    settled.fill(false);
    setDirty(true);
}

std::vector<LineSegment>& CFRGRAP::curveOf(Trace which)
{
    return which == Trace::pre ? preCurve : which == Trace::post ? postCurve : responseCurve;
}

std::span<const LineSegment> CFRGRAP::getCurve(Trace which) const
{
    const auto& curve = which == Trace::pre ? preCurve : which == Trace::post ? postCurve : responseCurve;
    return {curve.data(), static_cast<size_t>(pointCount)};
}

std::span<const float> CFRGRAP::getMemory(Trace which) const
{
    switch (which) {
    case Trace::pre: return {preMemory.data(), static_cast<size_t>(pointCount)};
    case Trace::post: return {postMemory.data(), static_cast<size_t>(pointCount)};
    case Trace::response: break;
    }
    return {};
}

bool CFRGRAP::traceSpectrum(Trace target)
{
    const bool spectrum = target != Trace::response;
    const float* bins = display.responseBins();
    const auto which = static_cast<size_t>(target == Trace::pre ? Spectrum::pre : Spectrum::post);
    if (spectrum) {
        if (!display.takeSpectrum(static_cast<Spectrum>(which), takenBins.data())) return false;
        // The bins of the last trace once more, on a settled curve (silence flowing): this
        // trace would leave every level and pixel where it is.
        // Compared as bytes: the same bits are the same levels, and a rare -0 or NaN that
        // differs only in its bits costs one trace more.
        if (settled[which] &&
            std::memcmp(takenBins.data(), lastBins[which].data(), takenBins.size() * sizeof(float)) == 0)
            return true;
        bins = takenBins.data();
    }
    // An effect without a response analyser has no response to show, and an axis of
    // fewer than two points no curve to draw.
    if (bins == nullptr || pointCount < 2) return false;
    graph::pointLevels({pointTable.data(), static_cast<size_t>(pointCount)}, firstBin, bins, SpectrumAnalyser::binCount,
                       lnBinFreq.data(), levels.data());

    float* shown = shownLevels(target);
    bool memoryMoved = false;
    for (int32_t p = 0; p < pointCount; ++p) {
        float level = levels[static_cast<size_t>(p)];
        if (std::isnan(level)) level = graph::kFloorDb;
        if (!spectrum) {
            // Kept relative to the plot's middle, where a flat response lies.
            shown[p] = level + graph::kResponseCalibrationDb;
            continue;
        }
        level += std::log2(pointTable[static_cast<size_t>(p)].fLo * kTiltPivotScale) * slopeDbPerOct;
        // A memory below the plot, or one that an overflowing signal made infinite, starts
        // again just under the plot.
        float& m = shown[p];
        const float remembered = m;
        if (!(m >= bottomDb) || std::isinf(m)) m = bottomDb - 1.0f;
        // A rising level shows at once; a falling one closes 15 % of the gap per trace.
        if (!(level > m)) level = m * graph::kMemoryWeight + level * graph::kNewWeight;
        memoryMoved = memoryMoved || level != remembered;
        m = level;
    }
    if (spectrum) {
        settled[which] = !memoryMoved;
        std::swap(takenBins, lastBins[which]);
    }
    traced[static_cast<size_t>(target)] = true;
    // A new spectrum that lies where the last one lay (silence, once the curves have sunk
    // below the plot) leaves the window as it is: only a moved curve is drawn again.
    const bool moved = placeCurve(target);
    if (moved) setDirty(true);
    return spectrum || moved;
}

float* CFRGRAP::shownLevels(Trace which)
{
    return which == Trace::pre ? preMemory.data() : which == Trace::post ? postMemory.data() : responseLevels.data();
}

bool CFRGRAP::placeCurve(Trace which)
{
    std::vector<LineSegment>& curve = curveOf(which);
    const float* shown = shownLevels(which);
    const float offset = which == Trace::response ? (bottomDb + topDb) * 0.5f : 0.0f;
    bool moved = false;
    for (int32_t p = 0; p < pointCount; ++p) {
        const Point start{pointTable[static_cast<size_t>(p)].x, yOf(shown[p] + offset)};
        // Point 0 is not shown: the curve starts at the left edge at point 1's height.
        moved = moved || (p > 0 && curve[static_cast<size_t>(p)].start != start);
        curve[static_cast<size_t>(p)].start = start;
    }
    for (int32_t p = 0; p + 1 < pointCount; ++p)
        curve[static_cast<size_t>(p)].end = curve[static_cast<size_t>(p + 1)].start;
    LineSegment& last = curve[static_cast<size_t>(pointCount - 1)];
    last.end = {plotRect.right, last.start.y};
    curve[0].start = {plotRect.left, curve[1].start.y};
    return moved;
}

void CFRGRAP::draw(CDrawContext* context)
{
    CFrame* owner = getFrame();
    if (context == nullptr || owner == nullptr || !owner->isOpen()) return;
    // The curves stay inside the plot's border, and inside whatever the caller clips to.
    const Rect callerClip = context->getLocalClipRect();
    const Rect curveClip =
        Rect(plotRect.left + 1, plotRect.top + 1, plotRect.right, plotRect.bottom - 1).intersected(callerClip);
    spanCurves(nextRows, curveClip);
    if (curvesOnly && canDrawCurvesOnly(context, callerClip)) {
        eraseDrawnCurves(context);
        // What changes is where the old curves were and where the new ones go.
        for (std::size_t i = 0; i < drawnRows.size(); ++i) drawnRows[i] = drawnRows[i].united(nextRows[i]);
        owner->changesOnlyIn({viewRect.top, drawnRows});
    } else {
        drawBackdrop(context);
        pictureWhole = callerClip.intersected(viewRect) == viewRect;
    }
    std::swap(drawnRows, nextRows);

    context->setClipRect(curveClip);
    context->setLineWidth(1);
    if (display.spectrumShown(Spectrum::pre)) {
        context->setFrameColor(sourceColor);
        context->drawLines(preCurve.data(), curveSegments);
    }
    if (display.spectrumShown(Spectrum::post)) {
        context->setFrameColor(outputColor);
        context->drawLines(postCurve.data(), curveSegments);
    }
    context->setLineWidth(2);
    context->setFrameColor(responseColor);
    context->drawLines(responseCurve.data(), curveSegments);
    context->setClipRect(callerClip);
    setDirty(false);
}

void CFRGRAP::redrawCurves()
{
    CFrame* owner = getFrame();
    if (owner == nullptr) return;
    curvesOnly = true;
    owner->redrawView(this);
    curvesOnly = false;
}

bool CFRGRAP::canDrawCurvesOnly(CDrawContext* context, const Rect& callerClip) const
{
    return pictureWhole && backdrop && !backdropStale && backdrop->getDisplayScale() == context->getDisplayScale() &&
           callerClip.intersected(viewRect) == viewRect;
}

// Every pixel a line of a curve sets lies within this many logical pixels of the line's
// ends: the pens are at most two pixels wide.
constexpr int32_t kCurveReach = 2;

void CFRGRAP::spanCurves(std::vector<ColumnSpan>& rows, const Rect& clip) const
{
    rows.assign(static_cast<std::size_t>(std::max(viewRect.height(), 0)), ColumnSpan{});
    const Rect inside = clip.intersected(viewRect);
    if (inside.isEmpty()) return;
    // First the columns each row's lines run through, for the rows the pens can reach the
    // clip from (the pens may not set pixels outside it); an empty row has left above
    // right. Then each row takes what the pens reach from its neighbours.
    const int32_t firstRow = inside.top - kCurveReach;
    const int32_t lastRow = inside.bottom + kCurveReach;
    lineRows.assign(static_cast<std::size_t>(lastRow - firstRow),
                    {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()});
    const auto add = [&](const std::vector<LineSegment>& curve) {
        for (int32_t i = 0; i < curveSegments; ++i) {
            const LineSegment& line = curve[static_cast<std::size_t>(i)];
            const int32_t left = std::min(line.start.x, line.end.x);
            const int32_t right = std::max(line.start.x, line.end.x) + 1;
            const int32_t top = std::max(std::min(line.start.y, line.end.y), firstRow);
            const int32_t bottom = std::min(std::max(line.start.y, line.end.y) + 1, lastRow);
            for (int32_t y = top; y < bottom; ++y) {
                ColumnSpan& row = lineRows[static_cast<std::size_t>(y - firstRow)];
                row.left = std::min(row.left, left);
                row.right = std::max(row.right, right);
            }
        }
    };
    if (display.spectrumShown(Spectrum::pre)) add(preCurve);
    if (display.spectrumShown(Spectrum::post)) add(postCurve);
    add(responseCurve);
    for (int32_t y = inside.top; y < inside.bottom; ++y) {
        ColumnSpan reached{std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
        for (int32_t near = y - kCurveReach; near <= y + kCurveReach; ++near) {
            const ColumnSpan line = lineRows[static_cast<std::size_t>(near - firstRow)];
            reached.left = std::min(reached.left, line.left);
            reached.right = std::max(reached.right, line.right);
        }
        if (reached.isEmpty()) continue;
        rows[static_cast<std::size_t>(y - viewRect.top)] = {std::max(reached.left - kCurveReach, inside.left),
                                                            std::min(reached.right + kCurveReach, inside.right)};
    }
}

void CFRGRAP::eraseDrawnCurves(CDrawContext* context)
{
    const Point origin = backdropOrigin();
    // Rows with the same columns go back as one rectangle.
    for (std::size_t first = 0; first < drawnRows.size();) {
        std::size_t end = first + 1;
        while (end < drawnRows.size() && drawnRows[end] == drawnRows[first]) ++end;
        const ColumnSpan columns = drawnRows[first];
        if (!columns.isEmpty()) {
            const Rect area(columns.left, viewRect.top + static_cast<int32_t>(first), columns.right,
                            viewRect.top + static_cast<int32_t>(end));
            context->copyFromOffscreen(area, backdrop.get(), area.topLeft() - origin);
        }
        first = end;
    }
}

Point CFRGRAP::backdropOrigin() const
{
    // At 1.5x only an even logical coordinate falls on a whole device pixel: a layer that
    // starts at one maps every logical pixel to the device pixels it has in place.
    return {viewRect.left - (viewRect.left & 1), viewRect.top - (viewRect.top & 1)};
}

void CFRGRAP::drawBackdrop(CDrawContext* context)
{
    const Point origin = backdropOrigin();
    if (!backdrop || backdrop->getDisplayScale() != context->getDisplayScale()) {
        backdrop = std::make_unique<COffscreenContext>(getFrame(), viewRect.right - origin.x,
                                                       viewRect.bottom - origin.y, kBlackColor);
        backdrop->setDrawOffset({-origin.x, -origin.y});
        backdropStale = true;
    }
    if (backdrop->getDisplayScale() != context->getDisplayScale()) {
        backdrop.reset();
        drawBackgroundBitmap(context, {0, 0});
        drawScales(context);
        return;
    }
    if (backdropStale) {
        drawBackgroundBitmap(backdrop.get(), {0, 0});
        drawScales(backdrop.get());
        backdropStale = false;
    }
    context->copyFromOffscreen(viewRect, backdrop.get(), viewRect.topLeft() - origin);
}

void CFRGRAP::drawScales(CDrawContext* context)
{
    context->setLineWidth(1);
    context->setFrameColor(gridColor);
    context->setFont(kLabelFont);
    context->setFontColor(gridColor);
    context->drawLines(levelGrid.data(), levelGridCount);

    // The labels count from the middle line whatever the absolute levels: they read the
    // response curve, which is drawn about the middle.
    const int32_t k = levelGridCount / 2;
    float value = -static_cast<float>(k) * gridStepDb;
    char text[16];
    for (int32_t i = 0; i < levelGridCount; ++i, value += gridStepDb) {
        std::snprintf(text, sizeof text, value >= 0.0f ? "+%.0f" : "%.0f", static_cast<double>(value));
        const int32_t y = levelGrid[static_cast<size_t>(i)].start.y;
        context->drawString(text, {plotRect.left - 28, y - 5, plotRect.left, y + 5}, false, kAlignRight);
    }

    context->drawLines(freqGrid.data(), freqGridCount);
    for (int32_t i = 0; i < freqLabelCount; ++i) {
        const FrequencyLabel& label = freqLabels[static_cast<size_t>(i)];
        context->drawString(label.text.data(), label.box, false, kAlignLeft);
    }

    context->setFontColor(sourceColor);
    drawLegend(context, "- source", plotRect.left + 4, plotRect.top + 4, kLegendLineHeight);
    context->setFontColor(outputColor);
    drawLegend(context, "- output", plotRect.left + 4, plotRect.top + 16, kLegendLineHeight);

    context->setFrameColor(gridColor);
    const int32_t right = plotRect.right - 1;
    const int32_t bottom = plotRect.bottom - 1;
    context->moveTo({plotRect.left, plotRect.top});
    context->lineTo({right, plotRect.top});
    context->lineTo({right, bottom});
    context->lineTo({plotRect.left, bottom});
    context->lineTo({plotRect.left, plotRect.top});
}

// A one-line legend in a box as wide as half the line height per character.
void CFRGRAP::drawLegend(CDrawContext* context, const char* text, int32_t x, int32_t y, int32_t lineHeight)
{
    const auto length = static_cast<int32_t>(std::strlen(text));
    if (length == 0) return;
    context->setFont(kLegendFont, static_cast<int32_t>(lineHeight * 0.8 + 0.5), kFontStyleBold);
    context->drawString(text, {x + 1, y, x + (lineHeight / 2) * length, y + lineHeight}, false, kAlignLeft);
}
