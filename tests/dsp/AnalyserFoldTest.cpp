// While the graph holds the bins, the audio thread keeps folding its analyses aside; the
// graph must then get the largest power of each bin over all of them, not the last. The
// graph's take is held inside its copy for as long as the test wants: the buffer it
// copies into is a page that faults until the test lets it through.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "dsp/SpectrumAnalyser.h"

namespace {

constexpr int kHop = SpectrumAnalyser::frameSize / 2;
constexpr int kBins = SpectrumAnalyser::binCount;

// The graph thread's buffer. Its fault handler reports the stall and waits for the test,
// then opens the page, so that the copy goes on where it stopped.
class StallingBuffer {
public:
    StallingBuffer()
    {
        bytes = ((kBins * sizeof(float)) / pageSize() + 1) * pageSize();
        memory = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        instance = this;
        struct sigaction action {};
        action.sa_sigaction = onFault;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGSEGV, &action, &previous);
    }
    ~StallingBuffer()
    {
        sigaction(SIGSEGV, &previous, nullptr);
        instance = nullptr;
        munmap(memory, bytes);
    }
    StallingBuffer(const StallingBuffer&) = delete;
    StallingBuffer& operator=(const StallingBuffer&) = delete;

    bool valid() const { return memory != MAP_FAILED; }
    float* data() const { return static_cast<float*>(memory); }
    void waitUntilStalled() const
    {
        while (!stalled.load()) std::this_thread::yield();
    }
    void letThrough() { released = true; }

private:
    static std::size_t pageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }
    static void onFault(int, siginfo_t* info, void*)
    {
        StallingBuffer* self = instance;
        auto* address = static_cast<char*>(info->si_addr);
        auto* start = static_cast<char*>(self != nullptr ? self->memory : nullptr);
        if (self == nullptr || address < start || address >= start + self->bytes) {
            // Not ours: a real fault, which crashes as it would have.
            signal(SIGSEGV, SIG_DFL);
            return;
        }
        self->stalled = true;
        const timespec pause{0, 1000000};
        while (!self->released.load()) nanosleep(&pause, nullptr);
        mprotect(self->memory, self->bytes, PROT_READ | PROT_WRITE);
    }

    static inline StallingBuffer* instance = nullptr;
    void* memory = MAP_FAILED;
    std::size_t bytes = 0;
    struct sigaction previous {};
    std::atomic<bool> stalled{false};
    std::atomic<bool> released{false};
};

std::vector<float> tone(int bin, float amplitude)
{
    std::vector<float> x(kHop);
    for (int i = 0; i < kHop; ++i)
        x[i] = amplitude * static_cast<float>(std::sin(2 * M_PI * bin * i / SpectrumAnalyser::frameSize));
    return x;
}

void feed(SpectrumAnalyser& analyser, const std::vector<float>& hop) { analyser.feed(kHop, hop.data(), hop.data()); }

// A loud hop, then quiet ones until the loud one has left the frame, then one more.
void feedLoudThenQuiet(SpectrumAnalyser& analyser)
{
    const std::vector<float> loud = tone(100, 0.8f);
    const std::vector<float> quiet = tone(300, 0.001f);
    feed(analyser, loud);
    feed(analyser, quiet);
    feed(analyser, quiet);
}

TEST(AnalyserFold, FramesFoldedWhileTheGraphHoldsTheBinsKeepTheirMaximum)
{
    // The same hops fed with nobody holding the bins: every analysis reaches them at once.
    auto reference = std::make_unique<SpectrumAnalyser>(44100);
    std::vector<float> expected(kBins);
    reference->takeSpectrum(expected.data());
    feedLoudThenQuiet(*reference);
    feed(*reference, tone(300, 0.001f));
    ASSERT_TRUE(reference->takeSpectrum(expected.data()));
    ASSERT_GT(expected[100], 1000 * expected[300]) << "the loud tone stands out";

    auto analyser = std::make_unique<SpectrumAnalyser>(44100);
    std::vector<float> taken(kBins);
    analyser->takeSpectrum(taken.data());
    // Something new for the graph, so that its take goes for the bins.
    feed(*analyser, std::vector<float>(kHop));
    StallingBuffer stalling;
    ASSERT_TRUE(stalling.valid());
    std::thread graph([&] { analyser->takeSpectrum(stalling.data()); });
    stalling.waitUntilStalled();
    // Every analysis now finds the bins held and is folded aside.
    feedLoudThenQuiet(*analyser);
    stalling.letThrough();
    graph.join();
    // The next analysis finds the bins free and hands over all that was folded.
    feed(*analyser, tone(300, 0.001f));
    ASSERT_TRUE(analyser->takeSpectrum(taken.data()));
    for (int k = 0; k < kBins; ++k) ASSERT_EQ(taken[k], expected[k]) << "bin " << k;
}

}  // namespace
