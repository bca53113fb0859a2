#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "dsp/StereoCascade.h"
#include "tests/dsp/PathTest.h"

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

// A stereo section with the coefficients and the history of two plain ones.
StereoSection loaded(const CIIR& left, const CIIR& right)
{
    StereoSection s;
    s.setCoefficients(left, right);
    s.x1[0] = left.x1, s.x1[1] = right.x1;
    s.x2[0] = left.x2, s.x2[1] = right.x2;
    s.y1[0] = left.y1, s.y1[1] = right.y1;
    s.y2[0] = left.y2, s.y2[1] = right.y2;
    return s;
}

// The sections of a cascade in both forms: plain CIIR pairs and the fast path's state.
struct Cascade {
    std::vector<CIIR> left, right;
    std::vector<StereoSection> fast;
    std::vector<StereoSection*> chain;

    Cascade(std::mt19937& rng, int sections)
    {
        for (int k = 0; k < sections; ++k) {
            left.push_back(randomSection(rng, 48000));
            right.push_back(left.back());
            // The channels may also differ; the fast path keeps them apart.
            if (k % 3 == 2) right.back() = randomSection(rng, 48000);
        }
        fast.resize(sections);
        for (int k = 0; k < sections; ++k) {
            fast[k] = loaded(left[k], right[k]);
            chain.push_back(&fast[k]);
        }
    }

    // The plain path: each section from one buffer into another, the gains as buffers
    // scaled in between and at the end.
    void runPlain(std::vector<float>& l, std::vector<float>& r, CascadeGains gains)
    {
        const int count = static_cast<int>(l.size());
        auto scale = [&](double g) {
            for (int i = 0; i < count; ++i) {
                l[i] = static_cast<float>(l[i] * g);
                r[i] = static_cast<float>(r[i] * g);
            }
        };
        std::vector<float> tmp(l.size());
        for (size_t k = 0; k < left.size(); ++k) {
            left[k].process(tmp.data(), l.data(), count);
            l.swap(tmp);
            right[k].process(tmp.data(), r.data(), count);
            r.swap(tmp);
            if (static_cast<int>(k) == gains.makeupAfter) scale(gains.makeup);
        }
        scale(gains.output);
    }

    void expectSameHistories() const
    {
        for (size_t k = 0; k < left.size(); ++k) {
            for (int c = 0; c < 2; ++c) {
                const CIIR& want = c == 0 ? left[k] : right[k];
                const StereoSection& got = fast[k];
                EXPECT_EQ(bits(got.x1[c]), bits(want.x1)) << "section " << k << " channel " << c;
                EXPECT_EQ(bits(got.x2[c]), bits(want.x2)) << "section " << k << " channel " << c;
                EXPECT_EQ(bits(got.y1[c]), bits(want.y1)) << "section " << k << " channel " << c;
                EXPECT_EQ(bits(got.y2[c]), bits(want.y2)) << "section " << k << " channel " << c;
            }
        }
    }

    static uint64_t bits(double x)
    {
        uint64_t b;
        std::memcpy(&b, &x, sizeof b);
        return b;
    }
};

using StereoCascadePath = pathtest::PathTest;
INSTANTIATE_TEST_SUITE_P(Paths, StereoCascadePath, pathtest::everyPath, pathtest::pathName);

TEST_P(StereoCascadePath, MatchesThePlainSectionsBitForBit)
{
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int trial = 0; trial < 40; ++trial) {
        const int sections = 1 + trial % 10;
        Cascade c(rng, sections);
        for (int block = 0; block < 6; ++block) {
            const int count = static_cast<int>(rng() % 700);
            std::vector<float> inL(count), inR(count);
            for (int i = 0; i < count; ++i) {
                inL[i] = sample(rng);
                inR[i] = block == 3 ? 0.0f : sample(rng);  // silence lets the histories decay
            }
            std::vector<float> refL = inL, refR = inR;
            c.runPlain(refL, refR, {});
            // Fast path, alternately out of place and in place.
            std::vector<float> outL(count), outR(count);
            if (block % 2 == 0) {
                runCascade(GetParam(), c.chain.data(), sections, inL.data(), inR.data(), outL.data(), outR.data(),
                           count);
            } else {
                outL = inL;
                outR = inR;
                runCascade(GetParam(), c.chain.data(), sections, outL.data(), outR.data(), outL.data(), outR.data(),
                           count);
            }
            ASSERT_EQ(outL, refL) << "trial " << trial << " block " << block;
            ASSERT_EQ(outR, refR) << "trial " << trial << " block " << block;
            c.expectSameHistories();
        }
    }
}

// Every number of sections the bands make (and more than one pipelined part holds), the
// make-up after each of them with and without an output gain, the shortest blocks, blocks
// just around the pipelines' start-up and a long one; one block holds an infinity and one
// a NaN, which reset the histories they reach.
TEST_P(StereoCascadePath, EveryChainLengthAndMakeupPlaceAtEveryBlockSize)
{
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int sections = 1; sections <= 13; ++sections) {
        for (int after = -1; after < sections; ++after) {
            Cascade c(rng, sections);
            const CascadeGains gains{after, 0.7079457843841379, after % 2 == 0 ? 1.0 : 1.1885022274370185};
            for (const int count : {1, 2, 3, 4095, 3, 2, 1, 13, 17, 300}) {
                std::vector<float> inL(count), inR(count);
                for (int i = 0; i < count; ++i) {
                    inL[i] = sample(rng);
                    inR[i] = sample(rng);
                }
                if (count == 300) {
                    inL[150] = std::numeric_limits<float>::infinity();
                    inR[299] = std::numeric_limits<float>::quiet_NaN();
                }
                std::vector<float> refL = inL, refR = inR;
                c.runPlain(refL, refR, gains);
                // The outputs swapped onto the inputs: the hardest aliasing a host can ask for.
                std::vector<float> l = inL, r = inR;
                runCascade(GetParam(), c.chain.data(), sections, l.data(), r.data(), r.data(), l.data(), count, gains);
                const auto where = [&] {
                    return std::to_string(sections) + " sections, make-up after " + std::to_string(after) + ", " +
                           std::to_string(count) + " samples";
                };
                ASSERT_EQ(pathtest::bitsOf(r), pathtest::bitsOf(refL)) << where();
                ASSERT_EQ(pathtest::bitsOf(l), pathtest::bitsOf(refR)) << where();
                c.expectSameHistories();
            }
        }
    }
}

TEST_P(StereoCascadePath, ResetsAChannelWhoseHistoryIsNotFinite)
{
    CIIR s;
    s.designPeak(1000, 6, 1);
    // A second section, so that the pipelined path puts the sections in different lanes.
    StereoSection fast[2] = {loaded(s, s), loaded(s, s)};
    StereoSection* chain[] = {&fast[0], &fast[1]};
    std::vector<float> l(32, 0.5f), r(32, 0.5f);
    l[5] = std::numeric_limits<float>::infinity();
    runCascade(GetParam(), chain, 2, l.data(), r.data(), l.data(), r.data(), 32);
    for (const StereoSection& section : fast) {
        EXPECT_EQ(section.y1[0], 0.0);
        EXPECT_EQ(section.x1[0], 0.0);
        EXPECT_NE(section.y1[1], 0.0);
    }
}

}  // namespace
