#include "dsp/SpectrumAnalyser.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "dsp/FFT.h"

namespace {

// 2 pi as the single-precision constant of the window formula.
constexpr double windowTwoPi = 6.2831855f;
// The power scale makes a bin-centred full-scale sine read about 0.339 after the window.
constexpr double scaleExponent = 2.037100076675415;
constexpr double scaleFactor = 0.1354f;

float powerScale(int size) { return static_cast<float>(1.0 / (std::pow(size, scaleExponent) * scaleFactor)); }

}  // namespace

SpectrumAnalyser::SpectrumAnalyser(int rate) : sampleRate(rate), scale(powerScale(frameSize))
{
    for (int i = 0; i < frameSize; ++i)
        window[i] = static_cast<float>(0.5 - 0.5 * std::cos(i * windowTwoPi / frameSize));
}

int SpectrumAnalyser::feed(int count, const float* left, const float* right)
{
    if (resetRequested.exchange(false, std::memory_order_acquire)) {
        ring.fill(0.0f);
        pending.fill(0.0f);
        writePos = 0;
    }
    int analyses = 0;
    for (int i = 0; i < count; ++i) {
        const float m = (left[i] + right[i]) * 0.5f;
        ring[frameSize + writePos] = m;
        ring[writePos] = m;
        if (++writePos == frameSize) writePos = 0;
        if (writePos == 0 || writePos == frameSize / 2) {
            analyse();
            ++analyses;
        }
    }
    return analyses;
}

void SpectrumAnalyser::analyse()
{
    // The windowed frame goes straight into the transform buffer.
    for (int j = 0; j < frameSize; ++j) {
        spectrum[2 * j] = ring[writePos + j] * window[j];
        spectrum[2 * j + 1] = 0.0f;
    }
    complexFFT(spectrum.data(), 2 * frameSize, fftWorkspace.data());
    foldSpectrum(pending.data());
    // Never wait for the graph: if it holds the bins, the maxima stay pending.
    if (!tryLockBins()) return;
    for (int k = 0; k < binCount; ++k) bins[k] = std::max(bins[k], pending[k]);
    ready.store(true, std::memory_order_release);
    unlockBins();
    pending.fill(0.0f);
}

// Per-bin maximum of target and the power of the transform's lower half.
void SpectrumAnalyser::foldSpectrum(float* target)
{
    for (int k = 0; k < binCount; ++k) {
        const double re = spectrum[2 * k], im = spectrum[2 * k + 1];
        const double p = (re * re + im * im) * scale;
        if (p > target[k]) target[k] = static_cast<float>(p);
    }
}

void SpectrumAnalyser::reset()
{
    lockBins();
    bins.fill(0.0f);
    ready.store(true, std::memory_order_release);
    unlockBins();
    resetRequested.store(true, std::memory_order_release);
}

bool SpectrumAnalyser::takeSpectrum(float* out)
{
    if (!isReady()) return false;
    lockBins();
    std::copy(bins.begin(), bins.end(), out);
    bins.fill(0.0f);
    ready.store(false, std::memory_order_release);
    unlockBins();
    return true;
}

bool SpectrumAnalyser::tryLockBins() { return !binsLock.exchange(true, std::memory_order_acquire); }

// Only the graph's and the parameter side's calls spin here, and only for as long as the
// audio thread merges one analysis.
void SpectrumAnalyser::lockBins()
{
    while (!tryLockBins()) std::this_thread::yield();
}

void SpectrumAnalyser::unlockBins() { binsLock.store(false, std::memory_order_release); }
