// The point table and the spline, against the axis arithmetic and the properties that
// define a natural cubic spline, written out here.
#include "editor/CurveTracer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using graph::AxisLayout;
using graph::PointEntry;

// The editor's plot: 338 pixels from 20 Hz to half the rate, starting at column 67.
AxisLayout editorAxis(int32_t rate)
{
    AxisLayout axis;
    axis.fMin = 20.0f;
    axis.fMax = rate * 0.5f;
    axis.lnFMin = std::log(20.0f);
    axis.pixelsPerLn = 338.0f / (std::log(axis.fMax) - axis.lnFMin);
    axis.plotLeft = 67;
    axis.analyserSize = 4096;
    axis.analyserRate = rate;
    return axis;
}

TEST(PointTable, OnePointPer24thOctaveAt44100)
{
    const AxisLayout axis = editorAxis(44100);
    const int32_t capacity = graph::pointCapacityFor(44100);
    EXPECT_EQ(capacity, 306);
    std::vector<PointEntry> table(static_cast<size_t>(capacity));
    const graph::PointTableShape shape = graph::buildPointTable(table, axis);
    EXPECT_EQ(shape.firstBin, 1);
    // 20 Hz up to 22050 Hz in 1/24-octave steps: 24 log2(22050 / 20) = 242.6 steps.
    ASSERT_EQ(shape.pointCount, 243);

    // Point 0 takes bin 1 alone; point 1 lies between bins and interpolates from bin 1.
    EXPECT_EQ(table[0].interpBin, 0);
    EXPECT_EQ(table[0].endBin, 2);
    EXPECT_NEAR(table[1].freq, 20.0 * std::pow(2.0, 1.0 / 24), 1e-3);
    EXPECT_EQ(table[1].interpBin, 1);
    // Above about 311 Hz (point 95) the points are sparser than the 10.77 Hz bins.
    int32_t lastInterpolated = -1;
    for (int32_t p = 0; p < shape.pointCount; ++p)
        if (table[static_cast<size_t>(p)].interpBin != 0)
            lastInterpolated = p;
    EXPECT_EQ(lastInterpolated, 95);
    EXPECT_NEAR(table[95].freq, 20.0 * std::pow(2.0, 95.0 / 24), 0.01);

    for (int32_t p = 0; p < shape.pointCount; ++p) {
        const PointEntry& e = table[static_cast<size_t>(p)];
        const double f = 20.0 * std::pow(2.0, p / 24.0);
        ASSERT_NEAR(e.freq, f, f * 1e-5) << p;
        ASSERT_NEAR(e.fLo, f * std::pow(2.0, -1.0 / 48), f * 1e-5) << p;
        // The column of the step's lower edge on the 338-pixel axis.
        const double x = (std::log(e.fLo) - std::log(20.0)) * 338.0 / std::log(22050.0 / 20.0) + 67;
        ASSERT_NEAR(e.x, x, 1.0) << p;
        // endBin is the first bin above the point's frequency.
        ASSERT_GT(e.endBin * 44100.0 / 4096, e.freq) << p;
        ASSERT_LE((e.endBin - 1) * 44100.0 / 4096, e.freq) << p;
    }
}

TEST(PointTable, StaysWithinTheBinsAndCapacityAtOddRates)
{
    // A rate far too low for the axis (the bins end long before fMax), a rate of 0 and a
    // small capacity: the table must neither loop forever nor point past the bins.
    for (int32_t rate : {100, 1000, 0, 768000}) {
        AxisLayout axis = editorAxis(44100);
        axis.analyserRate = rate;
        std::vector<PointEntry> table(100);
        const graph::PointTableShape shape = graph::buildPointTable(table, axis);
        EXPECT_LE(shape.pointCount, 100) << rate;
        EXPECT_LT(shape.firstBin, 2048) << rate;
        std::vector<float> bins(2048, 1.0f), lnBinFreq(2048), levels(100);
        graph::fillBinLogFrequencies(lnBinFreq, 4096, rate);
        for (int32_t p = 0; p < shape.pointCount; ++p) {
            ASSERT_LE(table[static_cast<size_t>(p)].endBin, 2048) << rate;
            ASSERT_LE(table[static_cast<size_t>(p)].interpBin, 2048 - 4) << rate;
        }
        graph::pointLevels({table.data(), static_cast<size_t>(shape.pointCount)}, shape.firstBin, bins.data(), 2048,
                           lnBinFreq.data(), levels.data());
    }
}

TEST(PointLevels, LargestBinUnderEachPointAndFloorForSilence)
{
    const AxisLayout axis = editorAxis(44100);
    std::vector<PointEntry> table(306);
    const graph::PointTableShape shape = graph::buildPointTable(table, axis);
    std::vector<float> lnBinFreq(2048), levels(306), bins(2048, 0.0f);
    graph::fillBinLogFrequencies(lnBinFreq, 4096, 44100);

    graph::pointLevels({table.data(), 243}, shape.firstBin, bins.data(), 2048, lnBinFreq.data(), levels.data());
    for (int32_t p = 0; p < shape.pointCount; ++p)
        ASSERT_FLOAT_EQ(levels[static_cast<size_t>(p)], -379.29779f) << p;

    // Bin 93 (1001.6 Hz) lies under one point beyond the spline region, which reads the
    // largest of its bins.
    bins[92] = 1e-4f;
    bins[93] = 1e-2f;
    graph::pointLevels({table.data(), 243}, shape.firstBin, bins.data(), 2048, lnBinFreq.data(), levels.data());
    int32_t hits = 0;
    for (int32_t p = 0; p < shape.pointCount; ++p) {
        const PointEntry& e = table[static_cast<size_t>(p)];
        if (e.interpBin == 0 && e.endBin > 93 && table[static_cast<size_t>(p - 1)].endBin <= 93) {
            EXPECT_NEAR(levels[static_cast<size_t>(p)], -20.0f, 1e-4);
            ++hits;
        }
    }
    EXPECT_EQ(hits, 1);
}

// The spline's second derivative at x from either side, by finite differences.
double secondDerivative(const graph::NaturalSpline& s, double x, double side)
{
    const double h = 1e-2;
    const double a = x + side * h, b = x + side * 2 * h, c = x + side * 3 * h;
    return (s.evaluate(float(a)) - 2.0 * s.evaluate(float(b)) + s.evaluate(float(c))) / (h * h);
}

TEST(NaturalSpline, PassesThroughItsKnotsSmoothlyWithStraightEnds)
{
    const float x[4] = {1.0f, 2.0f, 3.5f, 4.0f};
    const float y[4] = {-10.0f, 5.0f, -3.0f, 2.0f};
    graph::NaturalSpline spline;
    spline.build(x, y);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(spline.evaluate(x[i]), y[i], 1e-4) << i;
    // Slope and curvature agree on both sides of the inner knots.
    for (int i : {1, 2}) {
        const double e = 1e-3;
        const double left = (spline.evaluate(x[i]) - spline.evaluate(x[i] - float(e))) / e;
        const double right = (spline.evaluate(x[i] + float(e)) - spline.evaluate(x[i])) / e;
        EXPECT_NEAR(left, right, 0.1) << i;
        EXPECT_NEAR(secondDerivative(spline, x[i], -1), secondDerivative(spline, x[i], 1), 3.0) << i;
    }
    // Natural ends: no curvature at the first and the last knot.
    EXPECT_NEAR(secondDerivative(spline, x[0], 1), 0.0, 3.0);
    EXPECT_NEAR(secondDerivative(spline, x[3], -1), 0.0, 3.0);

    // Knots on a line give the line, also outside the knots.
    const float line[4] = {3.0f, 5.0f, 8.0f, 9.0f};
    spline.build(x, line);
    for (float at : {0.5f, 1.7f, 3.0f, 3.9f, 4.5f})
        EXPECT_NEAR(spline.evaluate(at), 1.0f + 2.0f * at, 1e-4) << at;
}

}  // namespace
