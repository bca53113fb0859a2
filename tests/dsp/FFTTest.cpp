#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "dsp/FFT.h"

namespace {

constexpr double pi = 3.141592653589793;
constexpr double floatEpsilon = std::numeric_limits<float>::epsilon();

// X[k] = sum x[j] exp(+2 pi i j k / N) in double, with exact twiddles from a table of
// the N roots.
std::vector<std::complex<double>> directDFT(const std::vector<float>& a)
{
    const size_t points = a.size() / 2;
    std::vector<std::complex<double>> roots(points), result(points);
    for (size_t j = 0; j < points; ++j)
        roots[j] = std::polar(1.0, 2 * pi * static_cast<double>(j) / static_cast<double>(points));
    for (size_t k = 0; k < points; ++k) {
        std::complex<double> sum = 0;
        for (size_t j = 0; j < points; ++j)
            sum += std::complex<double>(a[2 * j], a[2 * j + 1]) * roots[(j * k) % points];
        result[k] = sum;
    }
    return result;
}

// The transform with a workspace of its own.
void transform(float* a, int n)
{
    std::vector<double> workspace(static_cast<std::size_t>(std::max(n, 0)));
    complexFFT(a, n, workspace.data());
}

TEST(FFT, MatchesTheDirectTransformAtEverySize)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int n = 2; n <= 8192; n *= 2) {
        std::vector<float> a(n);
        for (float& x : a) x = value(rng);
        const auto expected = directDFT(a);
        transform(a.data(), n);
        const int points = n / 2;
        double norm = 0;
        for (const auto& x : expected) norm += std::norm(x);
        norm = std::sqrt(norm / points);
        // With the stages in double, little more than the final rounding to float is left,
        // relative to the signal's norm.
        const double bound = 2 * floatEpsilon * norm;
        for (int k = 0; k < points; ++k) {
            ASSERT_LT(std::abs(std::complex<double>(a[2 * k], a[2 * k + 1]) - expected[k]), bound)
                << "n " << n << " point " << k;
        }
    }
}

std::vector<float> signal4096(const std::function<std::complex<double>(int)>& x)
{
    std::vector<float> a(8192);
    for (int j = 0; j < 4096; ++j) {
        a[2 * j] = static_cast<float>(x(j).real());
        a[2 * j + 1] = static_cast<float>(x(j).imag());
    }
    return a;
}

TEST(FFT, ImpulseCosineAndExponentialsLandWhereTheDefinitionSays)
{
    constexpr int N = 4096;
    auto impulse = signal4096([](int j) { return std::complex<double>(j == 0 ? 1.0 : 0.0, 0.0); });
    transform(impulse.data(), 2 * N);
    for (int k = 0; k < N; ++k) {
        ASSERT_EQ(impulse[2 * k], 1.0f);
        ASSERT_EQ(impulse[2 * k + 1], 0.0f);
    }

    const double tolerance = 1e-3;  // against peaks of N / 2 = 2048
    auto cosine = signal4096([](int j) { return std::complex<double>(std::cos(2 * pi * 8 * j / N), 0.0); });
    transform(cosine.data(), 2 * N);
    for (int k = 0; k < N; ++k) {
        const double expected = (k == 8 || k == N - 8) ? N / 2.0 : 0.0;
        ASSERT_NEAR(cosine[2 * k], expected, tolerance) << k;
        ASSERT_NEAR(cosine[2 * k + 1], 0.0, tolerance) << k;
    }

    // The exponent is positive: exp(+i w j) goes to N - 8, exp(-i w j) to 8.
    for (int sign : {1, -1}) {
        auto e = signal4096([sign](int j) { return std::polar(1.0, sign * 2 * pi * 8 * j / N); });
        transform(e.data(), 2 * N);
        const int peak = sign > 0 ? N - 8 : 8;
        for (int k = 0; k < N; ++k)
            ASSERT_NEAR(std::hypot(e[2 * k], e[2 * k + 1]), k == peak ? N : 0.0, tolerance) << sign << " " << k;
    }
}

TEST(FFT, TransformingTwiceGivesNTimesTheReversedInput)
{
    constexpr int N = 4096;
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> a(2 * N);
    for (float& x : a) x = value(rng);
    const std::vector<float> original = a;
    transform(a.data(), 2 * N);
    transform(a.data(), 2 * N);
    for (int j = 0; j < N; ++j) {
        const int r = (N - j) % N;
        ASSERT_NEAR(a[2 * j], N * original[2 * r], 0.02) << j;
        ASSERT_NEAR(a[2 * j + 1], N * original[2 * r + 1], 0.02) << j;
    }
}

TEST(FFT, OnePointAndBadSizesAreLeftAlone)
{
    std::vector<float> a{3.0f, -2.0f, 7.0f, 1.0f, 5.0f, 4.0f};
    const std::vector<float> original = a;
    transform(a.data(), 2);
    transform(a.data(), 6);
    transform(a.data(), 0);
    transform(a.data(), -4);
    transform(nullptr, 8);
    complexFFT(a.data(), 4, nullptr);
    EXPECT_EQ(a, original);
}

}  // namespace
