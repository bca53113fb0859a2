#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "tests/audio/EffectUnderTest.h"

namespace {

using audiotest::makeEffect;
using audiotest::noise;

std::vector<float> silence(int n) { return std::vector<float>(static_cast<size_t>(n), 0.0f); }

struct Stereo {
    std::vector<float> left, right;
    float* channels[2];
    explicit Stereo(int n) : Stereo(silence(n), silence(n)) {}
    Stereo(std::vector<float> l, std::vector<float> r)
        : left(std::move(l)), right(std::move(r)), channels{left.data(), right.data()}
    {
    }
};

TEST(AudioPath, FlatPathEqualsTheInputSampleForSample)
{
    auto fx = makeEffect();  // defaults: every band off, output gain 0 dB
    std::mt19937 rng(1);
    Stereo in(noise(1000, rng), noise(1000, rng)), out(1000);
    fx->processBlock(in.channels, out.channels, 1000);
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, in.right);
}

TEST(AudioPath, BypassCopiesExactlyWhateverTheBands)
{
    auto fx = makeEffect();
    std::mt19937 rng(2);
    audiotest::randomSettings(*fx, rng);
    fx->setParameterValue(10, 1.0f);  // +18 dB output gain, skipped as well
    fx->setParameterValue(9, 0.0f);
    Stereo in(noise(777, rng), noise(777, rng)), out(777);
    fx->processBlock(in.channels, out.channels, 777);
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, in.right);
}

// Blocks through the effect and through the plain reference chain on copies of its bands.
void expectSameAsReference(AKkk& fx, std::mt19937& rng, int blocks)
{
    audiotest::ReferenceChain reference(fx.designerState());
    for (int b = 0; b < blocks; ++b) {
        const int n = static_cast<int>(rng() % 1500);
        Stereo in(noise(n, rng), noise(n, rng)), out(n), expected(n);
        reference.process(in.left.data(), in.right.data(), expected.left.data(), expected.right.data(), n);
        fx.processBlock(in.channels, out.channels, n);
        ASSERT_EQ(out.left, expected.left) << "block " << b;
        ASSERT_EQ(out.right, expected.right) << "block " << b;
    }
}

TEST(AudioPath, EveryBandCombinationMatchesThePlainChainBitForBit)
{
    // An odd and an even number of middle bands (the chain's result in the outputs or in
    // the inputs), the cut bands in both modes, Balance's make-up and the output gain.
    std::mt19937 rng(3);
    for (int trial = 0; trial < 30; ++trial) {
        auto fx = makeEffect();
        audiotest::randomSettings(*fx, rng);
        fx->resumeProcessing();
        expectSameAsReference(*fx, rng, 4);
    }
}

TEST(AudioPath, AllBandsOnInEdgeModeMatchThePlainChain)
{
    auto fx = makeEffect();
    for (int index = 11; index <= 18; ++index) fx->setParameterValue(index, 1.0f);
    fx->setParameterValue(33, 1.0f);  // Q 0.8: edge mode
    fx->setParameterValue(39, 1.0f);
    fx->setParameterValue(32, 0.8f);
    fx->setParameterValue(10, 0.3f);
    EXPECT_EQ(fx->designerState().lowCut.edgeMode, 1);
    EXPECT_EQ(fx->designerState().hiCut.edgeMode, 1);
    std::mt19937 rng(4);
    expectSameAsReference(*fx, rng, 6);
}

TEST(AudioPath, ASampleRateChangeReachesTheAudioThread)
{
    auto fx = makeEffect();
    std::mt19937 rng(9);
    audiotest::randomSettings(*fx, rng);
    fx->changeSampleRate(96000.0f);
    EXPECT_EQ(fx->designerState().peak1.left.sampleRate, 96000.0);
    expectSameAsReference(*fx, rng, 2);
}

TEST(AudioPath, InPlaceEqualsOutOfPlaceAndInputsAreLeftAlone)
{
    std::mt19937 rng(5);
    for (int trial = 0; trial < 12; ++trial) {
        auto a = makeEffect(), b = makeEffect();
        std::mt19937 settings(rng());
        std::mt19937 same = settings;
        audiotest::randomSettings(*a, settings, true);
        audiotest::randomSettings(*b, same, true);
        for (int block = 0; block < 5; ++block) {
            const int n = static_cast<int>(rng() % 4097);
            Stereo in(noise(n, rng), noise(n, rng)), out(n);
            const Stereo original(in.left, in.right);
            a->processBlock(in.channels, out.channels, n);
            EXPECT_EQ(in.left, original.left);
            EXPECT_EQ(in.right, original.right);
            Stereo inPlace(original.left, original.right);
            b->processBlock(inPlace.channels, inPlace.channels, n);
            ASSERT_EQ(inPlace.left, out.left) << "trial " << trial << " block " << block << " n " << n;
            ASSERT_EQ(inPlace.right, out.right);
        }
    }
}

TEST(AudioPath, ACountOfZeroChangesNothing)
{
    auto fx = makeEffect();
    fx->setParameterValue(13, 1.0f);
    Stereo in({0.5f}, {0.5f}), out({7.0f}, {7.0f});
    fx->processBlock(in.channels, out.channels, 0);
    EXPECT_EQ(out.left[0], 7.0f);
    EXPECT_EQ(in.left[0], 0.5f);
}

bool isSubnormal(float x) { return std::fpclassify(x) == FP_SUBNORMAL; }

TEST(AudioPath, NoSubnormalReachesTheOutputAfterALoudBurst)
{
    auto fx = makeEffect();
    for (int index = 11; index <= 18; ++index) fx->setParameterValue(index, 1.0f);
    for (int index = 27; index <= 32; ++index) fx->setParameterValue(index, 0.9f);
    std::mt19937 rng(6);
#if defined(__SSE__)
    const unsigned hostMode = _mm_getcsr();
#endif
    Stereo burst(noise(4096, rng), noise(4096, rng)), out(4096);
    fx->processBlock(burst.channels, out.channels, 4096);
    Stereo zeros(1024);
    int subnormals = 0;
    for (int b = 0; b < 400; ++b) {
        Stereo quiet(1024);
        fx->processBlock(zeros.channels, quiet.channels, 1024);
        for (int i = 0; i < 1024; ++i) subnormals += isSubnormal(quiet.left[i]) + isSubnormal(quiet.right[i]);
    }
    EXPECT_EQ(subnormals, 0);
#if defined(__SSE__)
    EXPECT_EQ(_mm_getcsr(), hostMode);  // the host's floating-point mode is restored
#endif
}

TEST(AudioPath, RecoversWithinOneBlockAfterNonFiniteInput)
{
    auto fx = makeEffect();
    std::mt19937 rng(7);
    audiotest::randomSettings(*fx, rng);
    for (int index : {11, 12, 13, 14, 15, 16, 17, 18}) fx->setParameterValue(index, 1.0f);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        Stereo in(noise(512, rng), noise(512, rng)), out(512);
        in.left[100] = bad;
        in.right[511] = -bad;
        fx->processBlock(in.channels, out.channels, 512);
        Stereo next(noise(512, rng), noise(512, rng)), after(512);
        fx->processBlock(next.channels, after.channels, 512);
        for (int i = 0; i < 512; ++i) {
            ASSERT_TRUE(std::isfinite(after.left[i])) << i;
            ASSERT_TRUE(std::isfinite(after.right[i])) << i;
        }
    }
}

TEST(AudioPath, PeakLevelIsTakenWhileTheEditorIsOpenOnly)
{
    auto fx = makeEffect();
    Stereo in(std::vector<float>(256, 0.0f), std::vector<float>(256, 0.0f)), out(256);
    in.left[17] = -1.0f;
    fx->processBlock(in.channels, out.channels, 256);
    EXPECT_EQ(fx->takePeakLevel(), 0.0);  // closed: unchanged
    fx->setWindowOpen(true);
    fx->processBlock(in.channels, out.channels, 256);
    EXPECT_EQ(fx->takePeakLevel(), 1.0);
    EXPECT_EQ(fx->takePeakLevel(), 0.0);  // taking clears it
    in.left[17] = 0.25f;
    fx->processBlock(in.channels, out.channels, 256);
    in.left[17] = 0.125f;
    fx->processBlock(in.channels, out.channels, 256);
    EXPECT_EQ(fx->takePeakLevel(), 0.25);  // only ever raised between takes
}

TEST(AudioPath, ResumeClearsTheAudioThreadsHistories)
{
    auto a = makeEffect(), b = makeEffect();
    for (AKkk* fx : {a.get(), b.get()}) {
        fx->setParameterValue(13, 1.0f);
        fx->setParameterValue(28, 1.0f);
    }
    std::mt19937 rng(8);
    Stereo loud(noise(300, rng), noise(300, rng)), scratch(300);
    a->processBlock(loud.channels, scratch.channels, 300);
    a->resumeProcessing();
    Stereo in(noise(300, rng), noise(300, rng)), outA(300), outB(300);
    a->processBlock(in.channels, outA.channels, 300);
    b->processBlock(in.channels, outB.channels, 300);
    EXPECT_EQ(outA.left, outB.left);
}

}  // namespace
