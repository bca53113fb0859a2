// The 4096-point transform of the analysers against FFTW's single-precision transform
// planned with FFTW_MEASURE, on the same data in the same run.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>
#include <vector>

#include "dsp/FFT.h"

namespace {

constexpr int points = 4096;

std::vector<float> frameOfNoise()
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> v(-1.0f, 1.0f);
    std::vector<float> a(2 * points);
    for (float& x : a) x = v(rng);
    return a;
}

// The analysers' form: stages kept in a double workspace.
void BM_ComplexFFT4096Workspace(benchmark::State& state)
{
    const std::vector<float> source = frameOfNoise();
    std::vector<float> a(source.size());
    std::vector<double> workspace(source.size());
    for (auto _ : state) {
        a = source;
        complexFFT(a.data(), 2 * points, workspace.data());
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(BM_ComplexFFT4096Workspace);

void BM_FFTWMeasure4096(benchmark::State& state)
{
    const std::vector<float> source = frameOfNoise();
    auto* a = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * points));
    // The positive exponent of our transform is FFTW's backward direction.
    fftwf_plan plan = fftwf_plan_dft_1d(points, a, a, FFTW_BACKWARD, FFTW_MEASURE);
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), reinterpret_cast<float*>(a));
        fftwf_execute(plan);
        benchmark::DoNotOptimize(a);
    }
    fftwf_destroy_plan(plan);
    fftwf_free(a);
}
BENCHMARK(BM_FFTWMeasure4096);

}  // namespace
