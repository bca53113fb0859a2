#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dsp/EqualiserChain.h"
#include "tests/dsp/PathTest.h"

namespace {

constexpr int rate = 48000;
constexpr double makeup = 0.8912509381337456;  // Balance at +2 dB
constexpr double outputGain = 1.4125375446227544;

// The eight bands with fixed designs; mask bit k switches band k (signal order) on, and
// the cut filters run in edge mode (two sections) when asked.
struct Bands {
    CutFilter lowCut, hiCut;
    SectionPair lowShelf, peak1, peak2, peak3, hiShelf, balance;

    Bands(unsigned mask, bool lowEdge, bool highEdge)
    {
        for (CutFilter* cut : {&lowCut, &hiCut}) cut->setSampleRate(rate);
        for (SectionPair* pair : {&lowShelf, &peak1, &peak2, &peak3, &hiShelf, &balance}) pair->setSampleRate(rate);
        lowCut.designLowCut(60.0, lowEdge ? 0.9 : 0.7);
        lowShelf.designLowShelf(150.0, 4.0, 0.8);
        peak1.designPeak(400.0, -6.0, 1.5);
        peak2.designPeak(1500.0, 5.0, 0.7);
        peak3.designPeak(5000.0, -3.0, 3.0);
        hiShelf.designHighShelf(9000.0, 3.0, 0.6);
        balance.designHighShelf(1000.0, 2.0, 0.3);
        hiCut.designHighCut(15000.0, highEdge ? 0.9 : 0.7);
        lowCut.setEnabled(mask & 1);
        int bit = 1;
        for (SectionPair* pair : {&lowShelf, &peak1, &peak2, &peak3, &hiShelf, &balance})
            pair->setEnabled((mask >> bit++) & 1);
        hiCut.setEnabled((mask >> 7) & 1);
    }

    BandSet set() const { return {lowCut, lowShelf, peak1, peak2, peak3, hiShelf, balance, hiCut}; }
};

// The chain written out plainly: each enabled band from one buffer into another with the
// plain section formula, Balance's make-up after Balance, the output gain at the end.
void plainChain(Bands& b, std::vector<float>& l, std::vector<float>& r)
{
    const int n = static_cast<int>(l.size());
    std::vector<float> tl(l.size()), tr(r.size());
    auto section = [&](CIIR& left, CIIR& right) {
        left.process(tl.data(), l.data(), n);
        right.process(tr.data(), r.data(), n);
        l.swap(tl);
        r.swap(tr);
    };
    auto gain = [&](double g) {
        for (int i = 0; i < n; ++i) {
            l[i] = static_cast<float>(l[i] * g);
            r[i] = static_cast<float>(r[i] * g);
        }
    };
    auto cut = [&](CutFilter& c) {
        if (c.enabled == 0) return;
        section(c.stage1.left, c.stage1.right);
        if (c.edgeMode != 0) section(c.stage2.left, c.stage2.right);
    };
    cut(b.lowCut);
    for (SectionPair* pair : {&b.lowShelf, &b.peak1, &b.peak2, &b.peak3, &b.hiShelf, &b.balance}) {
        if (pair->left.enabled != 0) section(pair->left, pair->right);
    }
    if (b.balance.left.enabled != 0) gain(makeup);
    cut(b.hiCut);
    gain(outputGain);
}

using EqualiserChainPath = pathtest::PathTest;
INSTANTIATE_TEST_SUITE_P(Paths, EqualiserChainPath, pathtest::everyPath, pathtest::pathName);

// Every combination of band switches, each cut filter in either mode, blocks of 1, 2, 3
// and 4095 samples (longer than the chain's work buffer) one after another.
TEST_P(EqualiserChainPath, EveryBandCombinationAndEdgeModeMatchesThePlainChain)
{
    std::mt19937 rng(14);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (unsigned mask = 0; mask < 256; ++mask) {
        const bool lowEdge = (mask & 1) != 0 && rng() % 2 == 0;
        const bool highEdge = (mask & 128) != 0 && rng() % 2 == 0;
        Bands live(mask, lowEdge, highEdge);
        Bands reference = live;
        EqualiserChain chain(live.set());
        chain.setCascadePath(GetParam());
        chain.publish(true, outputGain, makeup);
        for (const int count : {1, 2, 3, 4095}) {
            std::vector<float> l(count), r(count);
            for (int i = 0; i < count; ++i) {
                l[i] = sample(rng);
                r[i] = sample(rng);
            }
            std::vector<float> wantL = l, wantR = r;
            plainChain(reference, wantL, wantR);
            std::vector<float> outL(count), outR(count);
            const float* in[] = {l.data(), r.data()};
            float* out[] = {outL.data(), outR.data()};
            chain.process(in, out, count);
            using pathtest::bitsOf;
            ASSERT_EQ(bitsOf(outL), bitsOf(wantL)) << "bands " << mask << ", " << count << " samples";
            ASSERT_EQ(bitsOf(outR), bitsOf(wantR)) << "bands " << mask << ", " << count << " samples";
        }
    }
}

// A design published while audio flows: through the warm-up the output is the old chain's
// alone, bit for bit; afterwards it moves to the new one the same way on every path.
TEST_P(EqualiserChainPath, ANewDesignIsUnheardWhileItWarmsUpAndFadesInAlikeOnEveryPath)
{
    std::mt19937 rng(15);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    const int warm = static_cast<int>(std::lround(chainWarmSeconds * rate));
    const int fade = warm + static_cast<int>(std::lround(chainFadeSeconds * rate));
    Bands live(0xff, false, true), reference = live;
    EqualiserChain chain(live.set()), sse2(live.set());
    chain.setCascadePath(GetParam());
    sse2.setCascadePath(CascadePath::Sse2);
    for (EqualiserChain* c : {&chain, &sse2}) c->publish(true, outputGain, makeup);

    auto run = [&](EqualiserChain& c, std::vector<float>& l, std::vector<float>& r) {
        std::vector<float> outL(l.size()), outR(r.size());
        const float* in[] = {l.data(), r.data()};
        float* out[] = {outL.data(), outR.data()};
        c.process(in, out, static_cast<int>(l.size()));
        l.swap(outL);
        r.swap(outR);
    };
    auto block = [&](int n) {
        std::vector<float> l(n), r(n);
        for (int i = 0; i < n; ++i) l[i] = sample(rng), r[i] = sample(rng);
        std::vector<float> wantL = l, wantR = r, otherL = l, otherR = r;
        plainChain(reference, wantL, wantR);
        run(chain, l, r);
        run(sse2, otherL, otherR);
        using pathtest::bitsOf;
        EXPECT_EQ(bitsOf(l), bitsOf(otherL));
        EXPECT_EQ(bitsOf(r), bitsOf(otherR));
        return bitsOf(l) == bitsOf(wantL) && bitsOf(r) == bitsOf(wantR);
    };
    ASSERT_TRUE(block(1000));
    live.peak1.designPeak(400.0, 12.0, 3.0);
    live.peak2.setEnabled(0);
    live.hiCut.designHighCut(15000.0, 0.7);
    for (EqualiserChain* c : {&chain, &sse2}) c->publish(true, outputGain, makeup);
    EXPECT_TRUE(block(warm - 3)) << "warming up";
    EXPECT_TRUE(block(3)) << "the last sample of the warm-up";
    EXPECT_FALSE(block(fade - warm)) << "fading";
}

}  // namespace
