#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "tests/audio/EffectUnderTest.h"

namespace {

// An audio thread processing random block sizes, a parameter thread setting random
// parameters and selecting programs (both through the record, as a host does), and an
// editor thread taking spectra and peak levels, all at once. Run it in a ThreadSanitizer build to see the hand-offs are
// race-free; in any build the output must stay finite.
TEST(AudioThreads, ProcessingParametersAndTakesRunTogetherSafely)
{
    auto fx = audiotest::makeEffect();
    AEffect* record = fx->getAeffect();
    // The analysers are fed as the processing call feeds them once the editor's graph is
    // ready, which needs an open editor window.
    fx->setWindowOpen(true);
    fx->wantAnalysers();
    std::atomic<bool> stop{false};
    std::atomic<int> nonFinite{0};
    std::atomic<long> blocks{0};

    std::thread audio([&] {
        std::mt19937 rng(1);
        const auto l = audiotest::noise(4096, rng), r = audiotest::noise(4096, rng);
        std::vector<float> outL(4096), outR(4096);
        float* in[2] = {const_cast<float*>(l.data()), const_cast<float*>(r.data())};
        float* out[2] = {outL.data(), outR.data()};
        while (!stop.load()) {
            const int n = static_cast<int>(rng() % 2049);
            record->processReplacing(record, in, out, n);
            for (int i = 0; i < n; ++i) {
                if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) nonFinite.fetch_add(1);
            }
            blocks.fetch_add(1);
        }
    });
    std::thread parameters([&] {
        std::mt19937 rng(2);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        while (!stop.load()) {
            if (rng() % 50 == 0)
                record->dispatcher(record, effSetProgram, 0, static_cast<intptr_t>(rng() % 8), nullptr, 0.0f);
            const int index = 3 + static_cast<int>(rng() % 38);
            record->setParameter(record, index,
                                 audiotest::isSwitch(index) ? static_cast<float>(rng() % 2) : value(rng));
        }
    });
    std::thread editor([&] {
        std::vector<float> bins(SpectrumAnalyser::binCount);
        double peak = 0;
        while (!stop.load()) {
            fx->takeSpectrum(Spectrum::pre, bins.data());
            fx->takeSpectrum(Spectrum::post, bins.data());
            peak = std::fmax(peak, fx->takePeakLevel());
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    std::this_thread::sleep_for(std::chrono::seconds(2));
    stop.store(true);
    audio.join();
    parameters.join();
    editor.join();
    EXPECT_EQ(nonFinite.load(), 0);
    EXPECT_GT(blocks.load(), 10);
}

}  // namespace
