// The analysers that only an editor uses: none until the first editor opens, kept from then
// until the effect goes, and handed to the audio thread while it runs. Run the threaded
// cases in a ThreadSanitizer build to see the hand-off is race-free.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/hosting/RecordingHost.h"

namespace {

std::unique_ptr<AKkk> makeEffect() { return std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create); }

// A host's audio thread: blocks of noise of random length through the record until stopped.
class AudioThread {
public:
    explicit AudioThread(AEffect* record)
        : worker([this, record] {
              std::mt19937 rng(7);
              std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
              std::vector<float> left(1024), right(1024), outLeft(1024), outRight(1024);
              float* in[2] = {left.data(), right.data()};
              float* out[2] = {outLeft.data(), outRight.data()};
              while (!stop.load()) {
                  for (size_t i = 0; i < left.size(); ++i) {
                      left[i] = noise(rng);
                      right[i] = noise(rng);
                  }
                  record->processReplacing(record, in, out, static_cast<int32_t>(rng() % 1025));
                  blocks.fetch_add(1);
              }
          })
    {
    }
    ~AudioThread()
    {
        stop = true;
        worker.join();
    }
    // Lets at least n more blocks run.
    void await(long n) const
    {
        const long until = blocks.load() + n;
        while (blocks.load() < until) std::this_thread::yield();
    }

private:
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::thread worker;
};

bool anyAbove(const float* bins, float level)
{
    return std::any_of(bins, bins + SpectrumAnalyser::binCount, [level](float bin) { return bin > level; });
}

TEST(EditorAnalysers, NoneBeforeTheFirstEditorAndNothingToShowFromThem)
{
    auto effect = makeEffect();
    EXPECT_FALSE(effect->hasAnalysers());
    EXPECT_EQ(effect->inspectAnalyser(Spectrum::pre), nullptr);
    EXPECT_EQ(effect->inspectAnalyser(Spectrum::post), nullptr);
    EXPECT_EQ(effect->inspectResponseAnalyser(), nullptr);
    float bins[SpectrumAnalyser::binCount];
    EXPECT_FALSE(effect->takeSpectrum(Spectrum::pre, bins));
    EXPECT_FALSE(effect->takeSpectrum(Spectrum::post, bins));
    effect->resetSpectra();
    effect->measureResponse();
    EXPECT_EQ(effect->responseBins(), nullptr);
    // The switches that reset the analysers, a resume and a new rate find none to touch.
    effect->setParameterValue(kPreAnalyserParameter, 1.0f);
    effect->setParameterValue(kPostAnalyserParameter, 1.0f);
    effect->resumeProcessing();
    effect->changeSampleRate(48000.0f);

    // With the window flags up but nothing made, processing still filters and takes the
    // meter's peak, and feeds nothing.
    effect->setWindowOpen(true);
    effect->wantAnalysers();
    std::vector<float> in(4096, 0.25f), out(in.size());
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    effect->processBlock(inputs, outputs, static_cast<int32_t>(in.size()));
    EXPECT_EQ(effect->heldPeakLevel(), 0.25);
    EXPECT_FALSE(effect->hasAnalysers());
}

TEST(EditorAnalysers, TheFirstOpeningMakesThemAtTheRateAndTheyOutliveTheWindow)
{
    VSTGUI::headless::reset();
    auto effect = makeEffect();
    AEffect* record = effect->getAeffect();
    effect->changeSampleRate(96000.0f);
    const auto host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
    ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, host, 0), 1);
    ASSERT_TRUE(effect->hasAnalysers());
    const SpectrumAnalyser* pre = effect->inspectAnalyser(Spectrum::pre);
    const SpectrumAnalyser* response = effect->inspectResponseAnalyser();
    EXPECT_EQ(pre->sampleRate, 96000);
    EXPECT_EQ(response->sampleRate, 96000);
    // The opening measured the response into them: a flat equaliser is 0 dB, one impulse
    // power in every bin.
    ASSERT_NE(effect->responseBins(), nullptr);
    EXPECT_EQ(effect->responseBins()[100], response->scale);
    // A new analyser starts empty and ready.
    float bins[SpectrumAnalyser::binCount];
    ASSERT_TRUE(effect->takeSpectrum(Spectrum::post, bins));
    EXPECT_FALSE(anyAbove(bins, 0));

    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0);
    EXPECT_EQ(effect->inspectAnalyser(Spectrum::pre), pre);
    ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, host, 0), 1);
    EXPECT_EQ(effect->inspectAnalyser(Spectrum::pre), pre);
    EXPECT_EQ(effect->inspectResponseAnalyser(), response);
    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0);
    effect.reset();
    VSTGUI::headless::destroyHostWindow(host);
}

// Two user interfaces opening at once (a format's editor and another's), a host changing
// the rate meanwhile and the audio thread feeding whatever it finds: everyone ends with the
// one set of analysers, at the last rate, and the audio reaches them.
TEST(EditorAnalysers, MakingThemRacesNeitherTheAudioThreadNorARateChange)
{
    for (int round = 0; round < 20; ++round) {
        auto effect = makeEffect();
        // As an editor that was open before would have left the flags: the audio thread
        // feeds the analysers the moment they appear.
        effect->setWindowOpen(true);
        effect->wantAnalysers();
        AudioThread audio(effect->getAeffect());
        std::atomic<bool> go{false};
        const SpectrumAnalyser* made[2] = {};
        auto opener = [&](int which) {
            while (!go.load()) std::this_thread::yield();
            ASSERT_TRUE(effect->makeAnalysers());
            made[which] = effect->inspectAnalyser(Spectrum::pre);
        };
        std::thread first(opener, 0), second(opener, 1);
        std::thread rates([&] {
            while (!go.load()) std::this_thread::yield();
            for (const float rate : {48000.0f, 88200.0f, 44100.0f, 96000.0f + static_cast<float>(round)})
                effect->changeSampleRate(rate);
        });
        go = true;
        first.join();
        second.join();
        rates.join();
        ASSERT_NE(made[0], nullptr);
        EXPECT_EQ(made[0], made[1]) << round;
        for (const SpectrumAnalyser* analyser :
             {made[0], effect->inspectAnalyser(Spectrum::post), effect->inspectResponseAnalyser()})
            EXPECT_EQ(analyser->sampleRate, 96000 + round) << round;

        // Enough blocks for several hops of noise reach the POST analyser.
        float bins[SpectrumAnalyser::binCount];
        bool heard = false;
        for (int attempt = 0; attempt < 1000 && !heard; ++attempt) {
            audio.await(8);
            heard = effect->takeSpectrum(Spectrum::post, bins) && anyAbove(bins, 0);
        }
        EXPECT_TRUE(heard) << round;
    }
}

// The editor's own opening and closing, over and over, beside a running audio thread.
TEST(EditorAnalysers, TheEditorOpensAndClosesWhileAudioRuns)
{
    VSTGUI::headless::reset();
    auto effect = makeEffect();
    AEffect* record = effect->getAeffect();
    const auto host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
    {
        AudioThread audio(record);
        for (int round = 0; round < 10; ++round) {
            ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, host, 0), 1);
            record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0);
            audio.await(4);
            VSTGUI::headless::runMessages(SDEditor::kTimerInterval);
            record->dispatcher(record, effEditClose, 0, 0, nullptr, 0);
        }
    }
    effect.reset();
    VSTGUI::headless::destroyHostWindow(host);
}

}  // namespace
