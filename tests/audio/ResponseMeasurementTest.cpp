#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "effect/ParameterValues.h"
#include "tests/audio/EffectUnderTest.h"
#include "tests/dsp/BiquadReference.h"

namespace {

using audiotest::makeEffect;
using reference::Real;

constexpr int bins = SpectrumAnalyser::binCount;

// The closed-form magnitude of one section, from its stored design.
Real sectionMagnitude(const CIIR& s, Real f)
{
    const auto h = reference::design(static_cast<FilterType>(s.type), s.frequency, s.sampleRate, s.gain, s.q);
    return reference::magnitude(h, f, s.sampleRate);
}

// The closed-form magnitude of the whole equaliser as its bands are set, without the
// output gain.
Real chainMagnitude(const AKkk& fx, Real f)
{
    const AKkk::DesignerState bands = fx.designerState();
    Real m = 1;
    for (const CutFilter* cut : {&bands.lowCut, &bands.hiCut}) {
        if (cut->enabled == 0) continue;
        m *= sectionMagnitude(cut->stage1.left, f);
        if (cut->stage2.left.enabled != 0) m *= sectionMagnitude(cut->stage2.left, f);
    }
    for (const SectionPair* pair :
         {&bands.lowShelf, &bands.peak1, &bands.peak2, &bands.peak3, &bands.hiShelf, &bands.balance}) {
        if (pair->left.enabled != 0) m *= sectionMagnitude(pair->left, f);
    }
    if (bands.balance.left.enabled != 0) m *= bands.balanceMakeup;
    return m;
}

float realToNormalizedFor(int index, double x) { return static_cast<float>(realToNormalized(x, index)); }

double measuredDb(const AKkk& fx, int k)
{
    return 10.0 * std::log10(fx.responseBins()[k] / static_cast<double>(fx.inspectResponseAnalyser()->scale));
}

TEST(ResponseMeasurement, AFlatEqualiserMeasuresAsAUnitImpulse)
{
    auto fx = makeEffect();
    fx->setParameterValue(10, 0.9f);  // the output gain is not part of the measurement
    fx->setParameterValue(9, 0.0f);   // nor is the bypass switch
    fx->measureResponse();
    for (int k = 0; k < bins; ++k) ASSERT_EQ(fx->responseBins()[k], fx->inspectResponseAnalyser()->scale) << k;
}

TEST(ResponseMeasurement, ParameterChangesOnlyMarkItStaleAndTheEditorMeasuresOnce)
{
    auto fx = makeEffect();
    EXPECT_TRUE(fx->responseStale());  // nothing measured since construction
    EXPECT_TRUE(fx->updateResponseGraph());
    EXPECT_FALSE(fx->responseStale());
    EXPECT_FALSE(fx->updateResponseGraph());
    const std::vector<float> flat(fx->responseBins(), fx->responseBins() + bins);

    fx->setParameterValue(13, 1.0f);  // Peak1 on at +18 dB
    fx->setParameterValue(28, 1.0f);
    EXPECT_TRUE(fx->responseStale());
    const std::vector<float> unmeasured(fx->responseBins(), fx->responseBins() + bins);
    EXPECT_EQ(unmeasured, flat);  // the setter did not measure
    EXPECT_TRUE(fx->updateResponseGraph());
    const int peak = static_cast<int>(100.0 * SpectrumAnalyser::frameSize / fx->getSampleRateHz());
    EXPECT_NEAR(measuredDb(*fx, peak), 18.0, 0.5);  // the new design, measured
    EXPECT_FALSE(fx->responseStale());
}

TEST(ResponseMeasurement, RandomSettingsMatchTheClosedFormResponse)
{
    std::mt19937 rng(11);
    for (int trial = 0; trial < 25; ++trial) {
        auto fx = makeEffect();
        audiotest::randomSettings(*fx, rng, true);
        fx->measureResponse();
        const double fs = fx->getSampleRateHz();
        // Every bin the graph can show (RANGE 120 reaches 60 dB down) and far below:
        // neither low corners that ring for long nor deep stop bands blur the response.
        for (int k = 1; k < bins; ++k) {
            const double f = k * fs / SpectrumAnalyser::frameSize;
            const double expected = static_cast<double>(reference::decibels(chainMagnitude(*fx, f)));
            if (expected < -120.0) continue;
            ASSERT_NEAR(measuredDb(*fx, k), expected, 0.001) << "trial " << trial << " at " << f << " Hz";
        }
    }
}

TEST(ResponseMeasurement, AResonanceThatRingsLongerThanAnAnalysisFrameIsShownAtItsFullHeight)
{
    auto fx = makeEffect();
    fx->setParameterValue(13, 1.0f);
    fx->setParameterValue(21, realToNormalizedFor(21, 20.0));
    fx->setParameterValue(28, 1.0f);  // +18 dB
    fx->setParameterValue(35, 1.0f);  // the narrowest: it rings far longer than a 4096-sample frame
    fx->measureResponse();
    const double fs = fx->getSampleRateHz();
    for (int k = 1; k < 8; ++k) {
        const double f = k * fs / SpectrumAnalyser::frameSize;
        const double expected = static_cast<double>(reference::decibels(chainMagnitude(*fx, f)));
        EXPECT_NEAR(measuredDb(*fx, k), expected, 0.01) << f << " Hz";
    }
}

TEST(ResponseMeasurement, BalanceTiltsByHalfItsGainEachWay)
{
    auto fx = makeEffect();
    fx->setParameterValue(18, 1.0f);
    fx->setParameterValue(32, static_cast<float>((6.0 + 18.0) / 36.0));  // +6 dB
    EXPECT_EQ(fx->designerState().balance.left.gain, 6.0);
    fx->measureResponse();
    EXPECT_NEAR(measuredDb(*fx, 2), -3.0, 0.1);    // about 21 Hz
    EXPECT_NEAR(measuredDb(*fx, 1900), 3.0, 0.1);  // about 20 kHz
}

TEST(ResponseMeasurement, TheLiveFiltersAreNotDisturbed)
{
    auto a = makeEffect(), b = makeEffect();
    for (AKkk* fx : {a.get(), b.get()}) {
        fx->setParameterValue(14, 1.0f);
        fx->setParameterValue(29, 1.0f);
    }
    std::mt19937 rng(12);
    auto l = audiotest::noise(500, rng), r = audiotest::noise(500, rng);
    std::vector<float> outA(500), outB(500), outRA(500), outRB(500);
    float* in[2] = {l.data(), r.data()};
    float* oa[2] = {outA.data(), outRA.data()};
    float* ob[2] = {outB.data(), outRB.data()};
    a->processBlock(in, oa, 250);
    b->processBlock(in, ob, 250);
    a->measureResponse();
    float* inRest[2] = {l.data() + 250, r.data() + 250};
    a->processBlock(inRest, oa, 250);
    b->processBlock(inRest, ob, 250);
    EXPECT_EQ(outA, outB);
}

}  // namespace
