#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "dsp/StereoCascade.h"

namespace {

// A random design of a random type, as the bands use them.
CIIR randomSection(std::mt19937& rng, int rate)
{
    std::uniform_real_distribution<double> logF(std::log(20.0), std::log(20000.0)), gain(-18, 18), q(0.1, 4);
    CIIR s;
    s.setSampleRate(rate);
    const double f = std::exp(logF(rng));
    switch (rng() % 5) {
    case 0: s.designLowPass(f, q(rng) * 0.2); break;
    case 1: s.designHighPass(f, 2.4); break;
    case 2: s.designLowShelf(f, gain(rng), q(rng) / 4); break;
    case 3: s.designHighShelf(f, gain(rng), q(rng) / 4); break;
    default: s.designPeak(f, gain(rng), q(rng)); break;
    }
    return s;
}

TEST(StereoCascade, MatchesThePlainSectionsBitForBit)
{
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int trial = 0; trial < 40; ++trial) {
        const int sections = 1 + trial % 10;
        std::vector<CIIR> left, right;
        for (int k = 0; k < sections; ++k) {
            left.push_back(randomSection(rng, 48000));
            right.push_back(left.back());
            // The channels may also differ; the fast path keeps them apart.
            if (k % 3 == 2)
                right.back() = randomSection(rng, 48000);
        }
        std::vector<StereoSection> fast(sections);
        std::vector<StereoSection*> chain;
        for (int k = 0; k < sections; ++k) {
            fast[k].load(left[k], right[k]);
            chain.push_back(&fast[k]);
        }

        for (int block = 0; block < 6; ++block) {
            const int count = static_cast<int>(rng() % 700);
            std::vector<float> inL(count), inR(count);
            for (int i = 0; i < count; ++i) {
                inL[i] = sample(rng);
                inR[i] = block == 3 ? 0.0f : sample(rng); // silence lets the histories decay
            }
            // Plain path: each section from one buffer into another.
            std::vector<float> refL = inL, refR = inR, tmp(count);
            for (int k = 0; k < sections; ++k) {
                left[k].process(tmp.data(), refL.data(), count);
                refL.swap(tmp);
                right[k].process(tmp.data(), refR.data(), count);
                refR.swap(tmp);
            }
            // Fast path, alternately out of place and in place.
            std::vector<float> outL(count), outR(count);
            if (block % 2 == 0) {
                runCascade(chain.data(), sections, inL.data(), inR.data(), outL.data(), outR.data(), count);
            } else {
                outL = inL;
                outR = inR;
                runCascade(chain.data(), sections, outL.data(), outR.data(), outL.data(), outR.data(), count);
            }
            ASSERT_EQ(outL, refL) << "trial " << trial << " block " << block;
            ASSERT_EQ(outR, refR) << "trial " << trial << " block " << block;
            for (int k = 0; k < sections; ++k) {
                CIIR l = left[k], r = right[k];
                fast[k].storeHistory(l, r);
                ASSERT_EQ(l.x1, left[k].x1);
                ASSERT_EQ(l.x2, left[k].x2);
                ASSERT_EQ(l.y1, left[k].y1);
                ASSERT_EQ(l.y2, left[k].y2);
                ASSERT_EQ(r.y1, right[k].y1);
                ASSERT_EQ(r.y2, right[k].y2);
            }
        }
    }
}

TEST(StereoCascade, ResetsAChannelWhoseHistoryIsNotFinite)
{
    CIIR s;
    s.designPeak(1000, 6, 1);
    StereoSection fast;
    fast.load(s, s);
    StereoSection* chain[] = {&fast};
    std::vector<float> l(32, 0.5f), r(32, 0.5f);
    l[5] = std::numeric_limits<float>::infinity();
    runCascade(chain, 1, l.data(), r.data(), l.data(), r.data(), 32);
    EXPECT_EQ(fast.y1[0], 0.0);
    EXPECT_EQ(fast.x1[0], 0.0);
    EXPECT_NE(fast.y1[1], 0.0);
}

} // namespace
