#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dsp/CutFilter.h"

namespace {

void setHistory(CIIR& s, double x2, double x1, double y2, double y1)
{
    s.x2 = x2;
    s.x1 = x1;
    s.y2 = y2;
    s.y1 = y1;
}

bool historyIsZero(const CIIR& s) { return s.x2 == 0 && s.x1 == 0 && s.y2 == 0 && s.y1 == 0; }

TEST(SectionState, RedesignKeepsHistoryAndRateChangeClearsIt)
{
    CIIR s;
    s.designLowShelf(200, 6, 0.7);
    setHistory(s, 0.1, 0.2, 0.3, 0.4);
    s.designLowShelf(300, 6, 0.7);
    EXPECT_EQ(s.y1, 0.4);
    s.setSampleRate(48000);
    EXPECT_TRUE(historyIsZero(s));
    EXPECT_EQ(s.sampleRate, 48000.0);
    EXPECT_EQ(s.type, static_cast<int32_t>(FilterType::LowShelf));
    EXPECT_EQ(s.frequency, 300.0);
    // A nonsensical rate keeps the old one, so the design stays finite.
    s.setSampleRate(0);
    EXPECT_EQ(s.sampleRate, 48000.0);
    EXPECT_TRUE(std::isfinite(s.nb0));
    // design() with an unknown type only clears the history.
    const double nb0 = s.nb0;
    setHistory(s, 1, 1, 1, 1);
    s.design(99, 5000, 1, 1);
    EXPECT_TRUE(historyIsZero(s));
    EXPECT_EQ(s.nb0, nb0);
}

TEST(SectionState, SetEnabledClearsHistoryOnlyOnAChange)
{
    SectionPair p;
    setHistory(p.left, 1, 2, 3, 4);
    setHistory(p.right, 1, 2, 3, 4);
    p.setEnabled(1);
    EXPECT_EQ(p.left.y1, 4);
    p.setEnabled(0);
    EXPECT_TRUE(historyIsZero(p.left) && historyIsZero(p.right));
    EXPECT_EQ(p.left.enabled, 0);
    // A disabled section copies and keeps its history frozen.
    setHistory(p.left, 1, 2, 3, 4);
    std::vector<float> in{0.5f, -0.25f}, out(2);
    p.left.process(out.data(), in.data(), 2);
    EXPECT_EQ(in, out);
    EXPECT_EQ(p.left.x1, 2);
}

TEST(SectionState, HistoryFollowsTheBlockEnd)
{
    CIIR s;
    s.designPeak(1000, 6, 1);
    std::vector<float> in{0.5f, -0.25f, 0.125f}, out(3);
    s.process(out.data(), in.data(), 3);
    EXPECT_EQ(s.x2, -0.25);
    EXPECT_EQ(s.x1, 0.125);
    EXPECT_EQ(s.y2, out[1]);
    EXPECT_EQ(s.y1, out[2]);
    // One sample shifts the history by one.
    const double oldX1 = s.x1, oldY1 = s.y1;
    float one = 0.75f, result = 0;
    s.process(&result, &one, 1);
    EXPECT_EQ(s.x2, oldX1);
    EXPECT_EQ(s.x1, 0.75);
    EXPECT_EQ(s.y2, oldY1);
    EXPECT_EQ(s.y1, result);
    // A count of zero or less does nothing.
    s.process(&result, &one, 0);
    s.process(&result, &one, -5);
    EXPECT_EQ(s.x1, 0.75);
    EXPECT_EQ(result, static_cast<float>(s.y1));
}

TEST(SectionState, TinyOutputsAreFlushedFromTheHistory)
{
    // nb0 = 1 with no feedback: the outputs are the inputs.
    CIIR s;
    s.designPeak(1000, 0, 1);
    s.nb0 = 1;
    s.na1 = s.na2 = s.nb1 = s.nb2 = 0;
    std::vector<float> in{1e-39f, -1e-39f}, out(2);
    s.process(out.data(), in.data(), 2);
    EXPECT_EQ(s.y1, 0.0);
    EXPECT_EQ(s.y2, 0.0);
    EXPECT_EQ(s.x1, static_cast<double>(-1e-39f));  // the input history is not flushed
    const float smallest = std::numeric_limits<float>::min();
    in = {smallest, 2 * smallest};
    s.process(out.data(), in.data(), 2);
    EXPECT_EQ(s.y2, 0.0);  // exactly the smallest normal float is flushed too
    EXPECT_EQ(s.y1, 2.0 * smallest);
}

TEST(SectionState, NonFiniteInputDoesNotPoisonTheSectionForever)
{
    CIIR s;
    s.designPeak(1000, 12, 2);
    std::vector<float> in(64, 0.1f), out(64);
    in[10] = std::numeric_limits<float>::quiet_NaN();
    s.process(out.data(), in.data(), 64);
    EXPECT_TRUE(s.historyIsFinite());
    std::fill(in.begin(), in.end(), std::numeric_limits<float>::infinity());
    s.process(out.data(), in.data(), 64);
    EXPECT_TRUE(s.historyIsFinite());
    std::fill(in.begin(), in.end(), 0.1f);
    s.process(out.data(), in.data(), 64);
    for (float y : out) ASSERT_TRUE(std::isfinite(y));
}

TEST(CutFilterState, EdgeModeSwitchesTheSecondStage)
{
    CutFilter c;
    c.setSampleRate(44100);
    c.setEnabled(1);
    c.designHighCut(8000, 0.7);
    EXPECT_EQ(c.edgeMode, 0);
    EXPECT_EQ(c.stage2.left.enabled, 0);
    EXPECT_EQ(c.stage1.left.frequency, 8000.0);
    EXPECT_EQ(c.stage1.left.q, 0.7);

    c.designHighCut(8000, 0.8);
    EXPECT_EQ(c.edgeMode, 1);
    EXPECT_EQ(c.stage2.left.enabled, 1);
    EXPECT_EQ(c.stage2.right.enabled, 1);
    const double d = 0.5 * std::log10(22050.0 - 8000.0) - 0.6;
    EXPECT_NEAR(d, 1.47, 0.01);
    EXPECT_DOUBLE_EQ(c.stage1.left.frequency, 8000.0 / d);
    EXPECT_EQ(c.stage1.left.q, 0.7);
    EXPECT_EQ(c.stage2.left.frequency, 8000.0);
    EXPECT_EQ(c.stage2.left.q, 2.4);
    EXPECT_EQ(c.stage2.left.type, static_cast<int32_t>(FilterType::LowPass));

    c.designHighCut(8000, 0.78);
    EXPECT_EQ(c.edgeMode, 0);
    EXPECT_EQ(c.stage2.left.enabled, 0);
    EXPECT_EQ(c.stage1.left.frequency, 8000.0);
    EXPECT_EQ(c.stage1.left.q, 0.78);

    c.designLowCut(60, 0.79);
    EXPECT_EQ(c.edgeMode, 1);
    EXPECT_NEAR(c.stage1.left.frequency / 60.0, 1.57, 0.01);
    EXPECT_EQ(c.stage1.left.type, static_cast<int32_t>(FilterType::HighPass));
}

TEST(CutFilterState, ARateChangeMovesTheEdgeModeShiftWithTheRate)
{
    for (bool high : {true, false}) {
        CutFilter moved, direct;
        moved.setSampleRate(44100);
        direct.setSampleRate(96000);
        for (CutFilter* c : {&moved, &direct}) {
            c->setEnabled(1);
            if (high)
                c->designHighCut(8000, 0.8);
            else
                c->designLowCut(60, 0.8);
        }
        moved.setSampleRate(96000);
        for (const SectionPair* stage : {&moved.stage1, &moved.stage2}) {
            const SectionPair& same = stage == &moved.stage1 ? direct.stage1 : direct.stage2;
            EXPECT_EQ(stage->left.frequency, same.left.frequency) << (high ? "high cut" : "low cut");
            EXPECT_EQ(stage->right.frequency, same.right.frequency);
            EXPECT_EQ(stage->left.nb0, same.left.nb0);
            EXPECT_EQ(stage->left.na1, same.left.na1);
            EXPECT_EQ(stage->left.type, same.left.type);
        }
    }
}

TEST(CutFilterState, ADisabledBandKeepsStageTwoOff)
{
    CutFilter c;
    c.setEnabled(0);
    c.designLowCut(100, 0.8);
    EXPECT_EQ(c.edgeMode, 1);
    EXPECT_EQ(c.stage2.left.enabled, 0);
    c.setEnabled(1);
    EXPECT_EQ(c.stage1.left.enabled, 1);
    EXPECT_EQ(c.stage2.left.enabled, 1);
}

TEST(CutFilterState, ProcessLeavesTheResultInTheFirstPair)
{
    CutFilter c;
    c.setEnabled(1);
    c.designHighCut(1000, 0.8);
    CutFilter reference = c;
    std::vector<float> aL{1, 0, 0, 0}, aR{0, 1, 0, 0}, bL(4), bR(4);
    c.process(4, aL.data(), aR.data(), bL.data(), bR.data());
    std::vector<float> l{1, 0, 0, 0}, tmp(4), expected(4);
    reference.stage1.left.process(tmp.data(), l.data(), 4);
    reference.stage2.left.process(expected.data(), tmp.data(), 4);
    EXPECT_EQ(aL, expected);
    EXPECT_EQ(bL, tmp);
}

}  // namespace
