// The editor at rest: with audio flowing but nothing on screen to change (silence), its
// ticks and the host's idle calls draw and present nothing; anything that does change
// still reaches the window.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "editor/GraphView.h"
#include "editor/VUMETER.h"
#include "tests/editor/EditorFixture.h"

namespace editortest {
namespace {

constexpr int32_t kPostSwitch = 4;
// A new analysis every 2048 samples: four blocks of 512 complete one.
constexpr int32_t kBlocksPerAnalysis = 4;

class EditorAtRest : public OpenEditor {
protected:
    void SetUp() override
    {
        OpenEditor::SetUp();
        record->setParameter(record, kPostSwitch, 1.0f);
        hostIdle();
    }
    // Blocks of seeded white noise peaking at amplitude (silence for 0).
    void processNoise(int32_t blocks, float amplitude)
    {
        std::uniform_real_distribution<float> sample(-amplitude, amplitude);
        std::vector<float> left(512), right(512), outLeft(512), outRight(512);
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        for (int32_t b = 0; b < blocks; ++b) {
            for (size_t i = 0; i < left.size(); ++i) {
                left[i] = sample(random);
                right[i] = sample(random);
            }
            record->processReplacing(record, inputs, outputs, 512);
        }
    }
    // One refresh period as a host runs it: audio, a timer tick and a host idle call.
    void period(float amplitude)
    {
        processNoise(kBlocksPerAnalysis, amplitude);
        tick();
        hostIdle();
    }
    // Silence until the meter has fallen to its floor and the spectra below the plot.
    void settle()
    {
        for (int32_t i = 0; i < 200; ++i) period(0.0f);
        ASSERT_EQ(editor->getMeterView()->imageIndex(), 0);
    }
    int32_t presents() const { return VSTGUI::headless::presentCount(*window); }
    // How many pixels of the plot the window shows differently from an earlier picture.
    int32_t plotPixelsChangedSince(const VSTGUI::PixelSurface& earlier) const
    {
        const VSTGUI::Rect plot = editor->getGraphView()->getPlotRect();
        const VSTGUI::PixelSurface& shown = VSTGUI::headless::windowPixels(*window);
        int32_t changed = 0;
        for (int32_t y = plot.top; y < plot.bottom; ++y)
            for (int32_t x = plot.left; x < plot.right; ++x) changed += shown.pixelAt(x, y) != earlier.pixelAt(x, y);
        return changed;
    }

    std::mt19937 random{24};
};

TEST_F(EditorAtRest, SilenceFlowingPresentsNothingWhileEveryAnalysisIsTaken)
{
    processNoise(16, 0.5f);
    period(0.5f);
    settle();
    const int32_t before = presents();
    const SpectrumAnalyser& pre = *effect->inspectAnalyser(Spectrum::pre);
    for (int32_t i = 0; i < 20; ++i) {
        processNoise(kBlocksPerAnalysis, 0.0f);
        ASSERT_TRUE(pre.isReady()) << "the audio thread delivered a new analysis of silence";
        tick();
        EXPECT_FALSE(pre.isReady()) << "the tick took it";
        hostIdle();
    }
    EXPECT_EQ(presents(), before) << "an unchanged graph and meter were drawn again";
    EXPECT_FALSE(editor->getGraphView()->isDirty());
}

TEST_F(EditorAtRest, AChangedSpectrumOrMeterStillReachesTheWindow)
{
    settle();
    int32_t before = presents();
    const VSTGUI::PixelSurface quiet = VSTGUI::headless::windowPixels(*window);
    // Quiet enough to leave the meter at its floor, loud enough for the spectra.
    period(0.02f);
    ASSERT_EQ(editor->getMeterView()->imageIndex(), 0);
    EXPECT_GT(presents(), before) << "the new spectra were not drawn";
    EXPECT_GT(plotPixelsChangedSince(quiet), 100) << "the spectra did not move on the screen";

    // The spectra stand still in the next silent periods long enough to see the meter alone.
    settle();
    before = presents();
    processNoise(1, 0.9f);
    tick();
    EXPECT_GT(editor->getMeterView()->imageIndex(), 0);
    EXPECT_GT(presents(), before) << "the meter's new image was not drawn";
}

TEST_F(EditorAtRest, AHostIdleCallShowsTheMeterAndTheGraphInOnePresent)
{
    settle();
    const int32_t before = presents();
    const VSTGUI::PixelSurface quiet = VSTGUI::headless::windowPixels(*window);
    processNoise(kBlocksPerAnalysis, 0.9f);
    // The meter moves by the time passed.
    VSTGUI::headless::advanceTime(SDEditor::kTimerInterval);
    hostIdle();
    EXPECT_GT(editor->getMeterView()->imageIndex(), 0);
    EXPECT_GT(plotPixelsChangedSince(quiet), 100) << "the spectra did not move on the screen";
    EXPECT_EQ(presents(), before + 1) << "the meter and the graph were shown one after the other";
}

}  // namespace
}  // namespace editortest
