// The editor's graph: the PRE and POST spectra and the equaliser's response over one
// logarithmic frequency axis, with level and frequency scales, a legend and a border.
// The view is display only; it keeps CControl's do-nothing input handling.
//
// Whatever changes what the view shows (a trace that moved a curve, a scale or axis
// change, a reset) marks it dirty; nothing else does, so the editor redraws it only then.
//
// Threads: everything here runs on the editor's thread. The host's sample-rate changes
// and parameter values reach the view only through the editor, which publishes them and
// applies them at its next tick, so the setters need no synchronisation of their own.
// The spectra are taken from the effect's display through its own hand-off (takeSpectrum).
#pragma once

#include "editor/CurveTracer.h"
#include "effect/EffectDisplay.h"
#include "framework/CControl.h"
#include "framework/ChangedRows.h"
#include "framework/CDrawContext.h"
#include "framework/COffscreenContext.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The plug-in's base of display-only views: a control that keeps its rectangle and draws
// nothing of its own.
class CGRAP : public VSTGUI::CControl {
public:
    CGRAP(const VSTGUI::Rect& size, VSTGUI::CControlListener* listener, int32_t tag, VSTGUI::CBitmap* background);

    void draw(VSTGUI::CDrawContext* context) override;
    bool isKindOf(const char* className) const override;

protected:
    VSTGUI::Rect viewRect;
};

class CFRGRAP : public CGRAP {
public:
    // Which curve a trace fills: the two spectra are smoothed as they fall, the response
    // is drawn about the plot's middle line.
    enum class Trace { pre, post, response };
    // A frequency label's box and text, laid out with the grid.
    struct FrequencyLabel {
        VSTGUI::Rect box;
        std::array<char, 16> text{};
    };

    // The display's sample rate places the bins on the frequency axis; every buffer the
    // view uses is allocated here, none while tracing or drawing. [UI thread]
    CFRGRAP(const VSTGUI::Rect& size, VSTGUI::CBitmap* background, EffectDisplay& display,
            VSTGUI::CControlListener* listener);
    ~CFRGRAP() override;

    void draw(VSTGUI::CDrawContext* context) override;
    bool isKindOf(const char* className) const override;
    // Draws the view into the window now. Where the window still holds the view's last
    // drawing, only the curves are taken away and drawn anew, and the window learns which
    // pixels of each row that touched. [UI thread]
    void redrawCurves();

    // Levels at the plot's bottom and top edge and the distance of the level lines, dB;
    // the traced curves move with it. [UI thread]
    void setDbScale(float bottom, float top, float step);
    // The frequency axis, Hz, and the tilt of the spectra, dB per octave; rebuilds the
    // point table and the frequency grid and clears the curves, so the response needs a
    // new trace. [UI thread]
    void setFrequencyRange(float fMin, float fMax, float slope);
    // The tilt of the spectra about 1 kHz; the next trace uses it. [UI thread]
    void setSlope(float dbPerOctave);
    // Keeps the top level, moves the bottom. [UI thread]
    void setRange(float rangeDb);
    // The top level becomes -shift; keeps the span. [UI thread]
    void setShift(float shiftDb);
    // The host's new sample rate: the axis ends at half of it (as setFrequencyRange). Rates
    // too low to hold a point above 20 Hz are ignored. [UI thread]
    void setGraphSampleRate(int32_t hz);
    // Hides both spectra until their next trace and forgets their smoothing. [UI thread]
    void resetTraces();

    // Spectrum traces (pre, post) take the display's spectrum if it holds a new one and
    // answer whether they did; without one they change nothing. The response trace reads
    // the bins of the last response measurement and answers whether the curve moved. An
    // answer of false means there is nothing new to draw. [UI thread]
    bool traceSpectrum(Trace target);

    // What the view has computed, for the editor and the tests. [UI thread]
    VSTGUI::Rect getPlotRect() const { return plotRect; }
    int32_t getPointCount() const { return pointCount; }
    std::span<const graph::PointEntry> getPointTable() const { return {pointTable.data(), size_t(pointCount)}; }
    std::span<const VSTGUI::LineSegment> getCurve(Trace which) const;
    // The shown level of each spectrum point, dB, as the smoothing remembers it.
    std::span<const float> getMemory(Trace which) const;
    std::span<const VSTGUI::LineSegment> getLevelGrid() const { return {levelGrid.data(), size_t(levelGridCount)}; }
    std::span<const VSTGUI::LineSegment> getFrequencyGrid() const { return {freqGrid.data(), size_t(freqGridCount)}; }
    std::span<const FrequencyLabel> getFrequencyLabels() const { return {freqLabels.data(), size_t(freqLabelCount)}; }
    float getTopDb() const { return topDb; }
    float getBottomDb() const { return bottomDb; }

    // Pixel column of a frequency and row of a level on the current axes.
    int32_t xOf(float frequency) const;
    int32_t yOf(float level) const;

private:
    // The background and the scales: copied from the layer that holds them for the current
    // axes and scale, drawn in place where no layer of the context's scale can be had.
    void drawBackdrop(VSTGUI::CDrawContext* context);
    // Where the backdrop layer's top-left corner lies in the frame.
    VSTGUI::Point backdropOrigin() const;
    // Whether a drawing in context may take the last drawing's curves away and draw the new
    // ones over what the window holds.
    bool canDrawCurvesOnly(VSTGUI::CDrawContext* context, const VSTGUI::Rect& callerClip) const;
    // Puts the backdrop back where the curves of the last drawing were.
    void eraseDrawnCurves(VSTGUI::CDrawContext* context);
    // Row by row (from the view's top), the columns that the curves shown now touch inside clip.
    void spanCurves(std::vector<VSTGUI::ColumnSpan>& rows, const VSTGUI::Rect& clip) const;
    void drawScales(VSTGUI::CDrawContext* context);
    void drawLegend(VSTGUI::CDrawContext* context, const char* text, int32_t x, int32_t y, int32_t lineHeight);
    void rebuildFrequencyGrid();
    void rebuildPointTable();
    std::vector<VSTGUI::LineSegment>& curveOf(Trace which);
    // The level each point of a curve shows: the smoothing memory of a spectrum, the
    // response relative to the plot's middle.
    float* shownLevels(Trace which);
    // Maps the shown levels to pixels and links the points; answers whether the drawn
    // curve moved.
    bool placeCurve(Trace which);

    VSTGUI::Rect plotRect;
    EffectDisplay& display;
    int32_t sampleRate;
    int32_t plotWidth1;
    int32_t plotHeight1;
    float fMin = 20.0f;
    float fMax = 22050.0f;
    float lnFMin = 0.0f;
    float pixelsPerLn = 0.0f;
    float topDb = 0.0f;
    float bottomDb = 0.0f;
    float spanDb = 0.0f;
    float gridStepDb = 10.0f;
    float slopeDbPerOct = 4.0f;
    // Points the current axis may use; the buffers below hold the most any rate needs.
    int32_t pointCapacity = 0;
    std::vector<VSTGUI::LineSegment> preCurve, postCurve, responseCurve;
    int32_t curveSegments = 0;
    std::array<VSTGUI::LineSegment, 30> freqGrid{};
    int32_t freqGridCount = 0;
    std::array<FrequencyLabel, 30> freqLabels{};
    int32_t freqLabelCount = 0;
    // The column just right of the label's drawn text.
    static int32_t textEnd(const FrequencyLabel& label);
    // Room for the most lines a scale may have; a finer step keeps the middle lines.
    std::vector<VSTGUI::LineSegment> levelGrid;
    int32_t levelGridCount = 0;
    std::vector<float> preMemory, postMemory;
    std::vector<float> lnBinFreq;
    int32_t pointCount = 0;
    int32_t firstBin = 0;
    std::vector<graph::PointEntry> pointTable;
    // A trace's workspace: the taken bins and the level under each point.
    std::vector<float> takenBins;
    // Each spectrum's bins at its last trace (pre, post), and whether that trace left its
    // smoothing as it found it: then the same bins again change nothing on screen. Any
    // change of tilt, scale or axis unsettles both.
    std::array<std::vector<float>, 2> lastBins;
    std::array<bool, 2> settled{};
    std::vector<float> levels;
    std::vector<float> responseLevels;
    // Which curves hold a trace on the current axis (pre, post, response).
    std::array<bool, 3> traced{};
    // What drawBackdrop copies: made at the first draw and for each new scale, drawn again
    // when the axes change, so that a refresh for new curves draws no text and no grid.
    std::unique_ptr<VSTGUI::COffscreenContext> backdrop;
    bool backdropStale = true;
    // The curves' columns in the window's picture of the view, row by row, and those of the
    // curves being drawn. They tell the truth only while the picture is whole: the last
    // drawing covered the whole view, and nothing but this view has drawn over it since.
    std::vector<VSTGUI::ColumnSpan> drawnRows, nextRows;
    // spanCurves' workspace.
    mutable std::vector<VSTGUI::ColumnSpan> lineRows;
    bool pictureWhole = false;
    // Set by redrawCurves around its drawing: the window holds the view's last drawing.
    bool curvesOnly = false;
};
