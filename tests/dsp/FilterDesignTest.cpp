#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/CIIR.h"
#include "dsp/CutFilter.h"
#include "tests/dsp/BiquadReference.h"

namespace {

using reference::Real;

struct Design {
    FilterType type;
    double frequency, gainDb, q;
};

void apply(CIIR& s, const Design& d)
{
    switch (d.type) {
    case FilterType::LowPass: s.designLowPass(d.frequency, d.q); break;
    case FilterType::HighPass: s.designHighPass(d.frequency, d.q); break;
    case FilterType::BandPass: s.designBandPass(d.frequency, d.q); break;
    case FilterType::BandPassSkirt: s.designBandPassSkirt(d.frequency, d.q); break;
    case FilterType::Notch: s.designNotch(d.frequency, d.q); break;
    case FilterType::Peak: s.designPeak(d.frequency, d.gainDb, d.q); break;
    case FilterType::LowShelf: s.designLowShelf(d.frequency, d.gainDb, d.q); break;
    case FilterType::HighShelf: s.designHighShelf(d.frequency, d.gainDb, d.q); break;
    }
}

// Log-spaced test frequencies from 10 Hz to just below half the rate.
std::vector<Real> testFrequencies(Real fs)
{
    std::vector<Real> f;
    for (Real x = 10; x < fs * 0.4999L; x *= 1.05L) f.push_back(x);
    return f;
}

TEST(FilterDesign, EveryTypeMatchesTheClosedFormResponse)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> logF(std::log(20.0), std::log(20000.0));
    std::uniform_real_distribution<double> gainDb(-18.0, 18.0);
    std::uniform_real_distribution<double> q(0.1, 4.0), slope(0.1, 1.0);
    for (int rate : {44100, 48000, 96000}) {
        for (int t = 0; t <= static_cast<int>(FilterType::HighShelf); ++t) {
            const auto type = static_cast<FilterType>(t);
            const bool shelf = type == FilterType::LowShelf || type == FilterType::HighShelf;
            for (int trial = 0; trial < 20; ++trial) {
                const Design d{type, std::exp(logF(rng)), gainDb(rng), shelf ? slope(rng) : q(rng)};
                CIIR s;
                s.setSampleRate(rate);
                apply(s, d);
                EXPECT_EQ(s.type, t);
                const auto ref = reference::design(type, d.frequency, rate, d.gainDb, d.q);
                for (Real f : testFrequencies(rate)) {
                    const Real expected = reference::magnitude(ref, f, rate);
                    const Real actual = reference::magnitude(s, f);
                    // Relative agreement to double rounding, with a floor for the notch's
                    // zero, where cos w0 in double limits the depth.
                    ASSERT_NEAR(static_cast<double>(actual), static_cast<double>(expected),
                                1e-9 * static_cast<double>(expected) + 1e-10)
                        << "type " << t << " rate " << rate << " f0 " << d.frequency << " at "
                        << static_cast<double>(f);
                }
            }
        }
    }
}

TEST(FilterDesign, PeakAtZeroDecibelsPassesTheSignalBitForBit)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<float> in(1000), out(1000);
    for (float& x : in) x = sample(rng);
    for (double f : {20.0, 640.0, 19000.0}) {
        CIIR s;
        s.designPeak(f, 0.0, 0.3);
        EXPECT_EQ(s.nb0, 1.0);
        EXPECT_EQ(s.nb1, s.na1);
        EXPECT_EQ(s.nb2, s.na2);
        s.process(out.data(), in.data(), 1000);
        EXPECT_EQ(in, out);
    }
}

// Level in dB of a cut filter's cascade (both stages as configured) at f.
Real cutLevel(const CutFilter& c, Real f)
{
    Real m = reference::magnitude(c.stage1.left, f);
    if (c.stage2.left.enabled != 0) m *= reference::magnitude(c.stage2.left, f);
    return reference::decibels(m);
}

TEST(FilterDesign, CutFiltersFallAt12Or24DecibelsPerOctave)
{
    CutFilter high, low;
    high.setSampleRate(48000);
    low.setSampleRate(48000);
    high.setEnabled(1);
    low.setEnabled(1);
    // Measured a decade or more from the corner and well below half the rate, where the
    // bilinear transform's warping does not steepen the slope yet.
    high.designHighCut(100, 0.7);
    low.designLowCut(5000, 0.7);
    EXPECT_EQ(high.edgeMode, 0);
    EXPECT_NEAR(static_cast<double>(cutLevel(high, 1000) - cutLevel(high, 2000)), 12.0, 0.3);
    EXPECT_NEAR(static_cast<double>(cutLevel(low, 400) - cutLevel(low, 200)), 12.0, 0.2);
    high.designHighCut(100, 0.8);
    low.designLowCut(5000, 0.8);
    EXPECT_EQ(high.edgeMode, 1);
    EXPECT_NEAR(static_cast<double>(cutLevel(high, 1000) - cutLevel(high, 2000)), 24.0, 0.5);
    EXPECT_NEAR(static_cast<double>(cutLevel(low, 400) - cutLevel(low, 200)), 24.0, 0.4);
}

// All poles strictly inside the unit circle: |a2| < 1 and |a1| < 1 + a2.
bool stable(const CIIR& s) { return std::fabs(s.na2) < 1.0 && std::fabs(s.na1) < 1.0 + s.na2; }

TEST(FilterDesign, BandsAboveHalfTheSampleRateStayStable)
{
    for (int rate : {8000, 11025, 16000, 22050, 44100}) {
        for (double f : {20.0, 1000.0, 3999.0, 4000.0, 5000.0, 10000.0, 11025.0, 15000.0, 20000.0}) {
            CIIR s;
            s.setSampleRate(rate);
            for (double g : {-18.0, 18.0}) {
                s.designPeak(f, g, 4.0);
                EXPECT_TRUE(stable(s)) << rate << " peak " << f;
                s.designLowShelf(f, g, 1.0);
                EXPECT_TRUE(stable(s)) << rate << " low shelf " << f;
                s.designHighShelf(f, g, 0.1);
                EXPECT_TRUE(stable(s)) << rate << " high shelf " << f;
            }
            for (double q : {0.1, 0.7, 0.8}) {
                CutFilter c;
                c.setSampleRate(rate);
                c.setEnabled(1);
                c.designHighCut(f, q);
                EXPECT_TRUE(stable(c.stage1.left) && stable(c.stage2.left)) << rate << " high cut " << f << " q " << q;
                c.designLowCut(f, q);
                EXPECT_TRUE(stable(c.stage1.left) && stable(c.stage2.left)) << rate << " low cut " << f << " q " << q;
            }
        }
    }
}

}  // namespace
