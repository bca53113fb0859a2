// The point table and the spline, against the axis arithmetic and the properties that
// define a natural cubic spline, written out here.
#include "editor/CurveTracer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using graph::PointEntry;

// The editor's plot: 338 pixels from 20 Hz to half the rate, starting at column 67.
graph::AxisLayout editorAxis(int32_t rate)
{
    graph::AxisLayout axis{20.0f, rate * 0.5f, std::log(20.0f), 0.0f, 67, 4096, rate};
    axis.pixelsPerLn = 338.0f / (std::log(axis.fMax) - axis.lnFMin);
    return axis;
}

TEST(PointTable, OnePointPer24thOctaveAt44100)
{
    EXPECT_EQ(graph::pointCapacityFor(44100), 306);
    std::vector<PointEntry> table(306);
    const graph::PointTableShape shape = graph::buildPointTable(table, editorAxis(44100));
    EXPECT_EQ(shape.firstBin, 1);
    // 24 log2(22050 / 20) = 242.6 steps.
    ASSERT_EQ(shape.pointCount, 243);
    // Point 0 takes bin 1 alone; point 1 lies between bins and is splined from bin 1 on;
    // above point 95 (311 Hz) the points are sparser than the 10.77 Hz bins.
    EXPECT_EQ(table[0].interpBin, 0);
    EXPECT_EQ(table[0].endBin, 2);
    EXPECT_EQ(table[1].interpBin, 1);
    EXPECT_NE(table[95].interpBin, 0);
    for (int32_t p = 96; p < shape.pointCount; ++p) ASSERT_EQ(table[static_cast<size_t>(p)].interpBin, 0) << p;

    for (int32_t p = 0; p < shape.pointCount; ++p) {
        const PointEntry& e = table[static_cast<size_t>(p)];
        const double f = 20.0 * std::pow(2.0, p / 24.0);
        ASSERT_NEAR(e.freq, f, f * 1e-5) << p;
        ASSERT_NEAR(e.fLo, f * std::pow(2.0, -1.0 / 48), f * 1e-5) << p;
        const double x = (std::log(e.fLo) - std::log(20.0)) * 338.0 / std::log(22050.0 / 20.0) + 67;
        ASSERT_NEAR(e.x, x, 1.0) << p;
        // endBin is the first bin above the point's frequency.
        ASSERT_GT(e.endBin * 44100.0 / 4096, e.freq) << p;
        ASSERT_LE((e.endBin - 1) * 44100.0 / 4096, e.freq) << p;
    }
}

TEST(PointTable, StaysWithinTheBinsAtOddRates)
{
    // Bins that end long before the axis does, a rate of 0, a small capacity: the table
    // must neither loop forever nor lead a trace past the bins (the sanitizer build reads).
    for (int32_t rate : {100, 1000, 0, 768000}) {
        graph::AxisLayout axis = editorAxis(44100);
        axis.analyserRate = rate;
        std::vector<PointEntry> table(100);
        const graph::PointTableShape shape = graph::buildPointTable(table, axis);
        EXPECT_LT(shape.firstBin, 2048) << rate;
        for (int32_t p = 0; p < shape.pointCount; ++p) {
            ASSERT_LE(table[static_cast<size_t>(p)].endBin, 2048) << rate;
            ASSERT_LE(table[static_cast<size_t>(p)].interpBin, 2048 - 4) << rate;
        }
        std::vector<float> bins(2048, 1.0f), lnBinFreq(2048), levels(100);
        graph::fillBinLogFrequencies(lnBinFreq, 4096, rate);
        graph::pointLevels({table.data(), static_cast<size_t>(shape.pointCount)}, shape.firstBin, bins.data(), 2048,
                           lnBinFreq.data(), levels.data());
    }
}

// The second derivative at x from one side, by finite differences.
double curvature(const graph::NaturalSpline& s, double x, double side)
{
    const double h = 1e-2;
    return (s.evaluate(float(x + side * h)) - 2.0 * s.evaluate(float(x + side * 2 * h)) +
            s.evaluate(float(x + side * 3 * h))) /
           (h * h);
}

TEST(NaturalSpline, PassesThroughItsKnotsSmoothlyWithStraightEnds)
{
    const float x[4] = {1.0f, 2.0f, 3.5f, 4.0f};
    const float y[4] = {-10.0f, 5.0f, -3.0f, 2.0f};
    graph::NaturalSpline spline;
    spline.build(x, y);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(spline.evaluate(x[i]), y[i], 1e-4) << i;
    // Slope and curvature agree on both sides of the inner knots; none at the ends.
    for (int i : {1, 2}) {
        const float e = 1e-3f;
        EXPECT_NEAR((spline.evaluate(x[i]) - spline.evaluate(x[i] - e)) / e,
                    (spline.evaluate(x[i] + e) - spline.evaluate(x[i])) / e, 0.1)
            << i;
        EXPECT_NEAR(curvature(spline, x[i], -1), curvature(spline, x[i], 1), 3.0) << i;
    }
    EXPECT_NEAR(curvature(spline, x[0], 1), 0.0, 3.0);
    EXPECT_NEAR(curvature(spline, x[3], -1), 0.0, 3.0);

    // Knots on a line give the line, outside the knots too.
    const float line[4] = {3.0f, 5.0f, 8.0f, 9.0f};
    spline.build(x, line);
    for (float at : {0.5f, 1.7f, 3.0f, 3.9f, 4.5f}) EXPECT_NEAR(spline.evaluate(at), 1.0f + 2.0f * at, 1e-4) << at;
}

}  // namespace
