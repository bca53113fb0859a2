#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// Mixes a stereo stream to mono, keeps the last 4096 samples in a ring and every 2048
// samples folds the Hann-windowed power spectrum of the ring into per-bin maxima, which
// the graph takes when they are ready. The same object also holds the response
// measurement's bins, which the effect computes from the band chain's design.
//
// Threads: `feed` runs on the audio thread and never waits. It folds each analysis into
// a private pending buffer and merges that into the shared bins only when it wins a
// try-lock; when the graph or a reset holds the lock, the merge simply waits for the next
// analysis. The graph's take and `reset` take the same lock (they may spin briefly on
// the audio thread's merge, never the other way round). A reset asks the audio thread to
// clear the ring through an atomic flag, so the ring stays the audio thread's alone.
//
// All buffers live inside the object, so creating one allocates once, and
// `new (std::nothrow)` covers every allocation.
class SpectrumAnalyser {
public:
    static constexpr int32_t frameSize = 4096;
    static constexpr int32_t binCount = frameSize / 2;

    explicit SpectrumAnalyser(int sampleRate);
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // Pushes count samples of (left + right) / 2 and analyses whenever a hop of 2048
    // completes; answers the number of analyses run. [audio thread]
    int feed(int count, const float* left, const float* right);
    // Bins to 0 and ready; the ring and write position are cleared before the next feed.
    // [any thread]
    void reset();

    // True while the bins hold something the graph has not taken. [any thread]
    bool isReady() const { return ready.load(std::memory_order_acquire); }
    // If ready, copies the binCount bins into out, zeroes them, clears ready and answers
    // true; otherwise answers false and leaves out alone. [UI thread]
    bool takeSpectrum(float* out);

    // The response measurement: fill(bins) writes binCount power gains (1 for unity,
    // at the frequencies of the bins) over the bins, which are then scaled as an
    // analysis would scale a unit impulse's and marked ready. Only for an analyser that
    // is never fed. [UI thread]
    template <class Fill>
    void holdResponse(Fill fill)
    {
        lockBins();
        fill(bins.data());
        for (float& b : bins) b *= scale;
        ready.store(true, std::memory_order_release);
        unlockBins();
    }
    // The bins as the last measurement or fold left them; for the response analyser,
    // whose bins only its own thread touches. [UI thread]
    const float* heldBins() const { return bins.data(); }

    const int32_t size = frameSize;
    // Written by the effect on sample-rate changes, read by the graph to place the bins.
    // [any thread]
    std::atomic<int32_t> sampleRate;
    // Factor applied to every power value: a bin-centred full-scale sine gives about 0.339.
    const float scale;

private:
    void analyse();
    void foldSpectrum(float* target);
    void lockBins();
    bool tryLockBins();
    void unlockBins();

    std::array<float, 2 * frameSize> spectrum{};
    std::array<float, frameSize> window{};
    // The transform's intermediate stages. Audio thread only.
    alignas(16) std::array<double, 2 * frameSize> fftWorkspace{};
    // The last frameSize samples, each written twice so that they always lie in one run
    // ring[writePos .. writePos + frameSize - 1], oldest first. Audio thread only.
    std::array<float, 2 * frameSize> ring{};
    int32_t writePos = 0;
    // Maxima folded by the audio thread and not yet merged into bins. Audio thread only.
    std::array<float, binCount> pending{};
    // Shared with the graph and reset, guarded by binsLock.
    std::array<float, binCount> bins{};
    static_assert(std::atomic<bool>::is_always_lock_free, "the audio thread never waits on a hidden lock");
    std::atomic<bool> ready{true};
    std::atomic<bool> binsLock{false};
    std::atomic<bool> resetRequested{false};
};
