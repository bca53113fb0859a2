#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "dsp/FFT.h"
#include "dsp/SpectrumAnalyser.h"

namespace {

constexpr int size = SpectrumAnalyser::frameSize;
constexpr int bins = SpectrumAnalyser::binCount;

std::vector<float> take(SpectrumAnalyser& a)
{
    std::vector<float> out(bins, -1.0f);
    EXPECT_TRUE(a.takeSpectrum(out.data()));
    return out;
}

// The power spectrum of one frame, computed here step by step: Hann window, transform, power, scale.
std::vector<float> expectedPower(const std::vector<float>& frame, float scale)
{
    std::vector<float> a(2 * size);
    for (int j = 0; j < size; ++j)
        a[2 * j] = frame[j] * static_cast<float>(0.5 - 0.5 * std::cos(j * static_cast<double>(6.2831855f) / size));
    std::vector<double> workspace(2 * size);
    complexFFT(a.data(), 2 * size, workspace.data());
    std::vector<float> p(bins);
    for (int k = 0; k < bins; ++k)
        p[k] = static_cast<float>(
            (static_cast<double>(a[2 * k]) * a[2 * k] + static_cast<double>(a[2 * k + 1]) * a[2 * k + 1]) * scale);
    return p;
}

std::vector<float> noise(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> v(-1.0f, 1.0f);
    std::vector<float> x(n);
    for (float& s : x) s = v(rng);
    return x;
}

TEST(SpectrumAnalyser, NewAndResetAnalysersAreReadyWithZeroBins)
{
    auto a = std::make_unique<SpectrumAnalyser>(44100);
    EXPECT_EQ(a->size, 4096);
    EXPECT_EQ(a->sampleRate.load(), 44100);
    EXPECT_NEAR(a->scale, 3.2332747e-7f, 1e-13f);
    EXPECT_TRUE(a->isReady());
    EXPECT_EQ(take(*a), std::vector<float>(bins, 0.0f));
    std::vector<float> out(bins, -1.0f);
    EXPECT_FALSE(a->takeSpectrum(out.data()));
    EXPECT_EQ(out[0], -1.0f);  // nothing written when not ready
    const auto x = noise(size, 1);
    a->feed(size, x.data(), x.data());
    a->reset();
    EXPECT_TRUE(a->isReady());
    EXPECT_EQ(take(*a), std::vector<float>(bins, 0.0f));
}

TEST(SpectrumAnalyser, AnalysesEveryHopOverTheLatestFrame)
{
    auto a = std::make_unique<SpectrumAnalyser>(48000);
    // Fill the ring with noise, then reset: the next frame must see zeros, not the noise.
    const auto old = noise(size, 2);
    a->feed(size, old.data(), old.data());
    a->reset();
    const auto x = noise(size, 3);
    EXPECT_EQ(a->feed(2047, x.data(), x.data()), 0);
    take(*a);
    EXPECT_FALSE(a->isReady());
    EXPECT_EQ(a->feed(1, x.data() + 2047, x.data() + 2047), 1);
    EXPECT_TRUE(a->isReady());
    std::vector<float> frame(size, 0.0f);
    std::copy(x.begin(), x.begin() + 2048, frame.begin() + 2048);
    EXPECT_EQ(take(*a), expectedPower(frame, a->scale));
    // The next hop completes at the 4096th sample and wraps the ring.
    EXPECT_EQ(a->feed(2048, x.data() + 2048, x.data() + 2048), 1);
    EXPECT_EQ(take(*a), expectedPower(x, a->scale));
    EXPECT_EQ(a->feed(2047, x.data(), x.data()), 0);
}

// What one feed of a whole frame x right after a reset folds: the maximum of the frame
// that is half zeros and half x, and of x itself.
std::vector<float> expectedAfterOneFrame(const std::vector<float>& x, float scale)
{
    std::vector<float> first(size, 0.0f);
    std::copy(x.begin(), x.begin() + 2048, first.begin() + 2048);
    auto held = expectedPower(first, scale);
    const auto second = expectedPower(x, scale);
    for (int k = 0; k < bins; ++k) held[k] = std::max(held[k], second[k]);
    return held;
}

TEST(SpectrumAnalyser, OneLongFeedFoldsTheMaximumOfItsFrames)
{
    auto a = std::make_unique<SpectrumAnalyser>(48000);
    const auto x = noise(size, 4);
    EXPECT_EQ(a->feed(size, x.data(), x.data()), 2);
    EXPECT_EQ(take(*a), expectedAfterOneFrame(x, a->scale));
    // Maxima hold until a take: a quieter frame never lowers a bin.
    const auto p = expectedPower(x, a->scale);
    a->feed(size, x.data(), x.data());
    std::vector<float> quiet(size);
    std::transform(x.begin(), x.end(), quiet.begin(), [](float s) { return s * 0.01f; });
    a->feed(size, quiet.data(), quiet.data());
    const auto held = take(*a);
    for (int k = 0; k < bins; ++k) ASSERT_GE(held[k], p[k]) << k;
}

TEST(SpectrumAnalyser, MixesTheChannelsToMono)
{
    auto a = std::make_unique<SpectrumAnalyser>(48000);
    const auto x = noise(size, 5);
    std::vector<float> minus(size);
    std::transform(x.begin(), x.end(), minus.begin(), [](float s) { return -s; });
    a->feed(size, x.data(), minus.data());
    EXPECT_EQ(take(*a), std::vector<float>(bins, 0.0f));
    a->reset();
    a->feed(size, x.data(), x.data());
    EXPECT_EQ(take(*a), expectedAfterOneFrame(x, a->scale));
}

TEST(SpectrumAnalyser, BinCentredFullScaleSineReadsAbout0339)
{
    auto a = std::make_unique<SpectrumAnalyser>(48000);
    constexpr int k = 100;
    std::vector<float> x(size);
    for (int i = 0; i < size; ++i) x[i] = static_cast<float>(std::sin(2 * 3.141592653589793 * k * i / size));
    a->feed(size, x.data(), x.data());
    take(*a);
    a->feed(size / 2, x.data(), x.data());  // the next frame is filled with the sine throughout
    const auto p = take(*a);
    EXPECT_NEAR(p[k], 0.339, 0.002);
    EXPECT_LT(p[k + 3], 1e-6);
}

TEST(SpectrumAnalyser, AHeldResponseIsScaledAsAUnitImpulsesAnalysisAndReplacesTheBins)
{
    auto a = std::make_unique<SpectrumAnalyser>(44100);
    a->holdResponse([](float* b) { std::fill(b, b + bins, 1.0f); });
    EXPECT_TRUE(a->isReady());
    for (int k = 0; k < bins; ++k) ASSERT_EQ(a->heldBins()[k], a->scale) << k;
    // A second measurement replaces the bins instead of holding the maximum.
    a->holdResponse([](float* b) { std::fill(b, b + bins, 0.25f); });
    EXPECT_EQ(a->heldBins()[7], a->scale * 0.25f);
}

}  // namespace
