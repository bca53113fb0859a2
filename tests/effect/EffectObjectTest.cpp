// The effect object itself, created directly: its state after construction, sample-rate
// changes and its editor while the window is closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "effect/ModulePath.h"
#include "effect/ParameterValues.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/hosting/RecordingHost.h"

namespace {

class EffectObject : public ::testing::Test {
protected:
    std::unique_ptr<AKkk> effect = std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create);
};

TEST_F(EffectObject, ConstructionAppliesTheDefaults)
{
    EXPECT_EQ(effect->getProgram(), 0);
    EXPECT_EQ(effect->getSampleRateHz(), 44100);
    const AKkk::DesignerState designed = effect->designerState();
    EXPECT_EQ(designed.eqActive, 1);
    EXPECT_TRUE(effect->spectrumShown(Spectrum::pre));
    EXPECT_TRUE(effect->spectrumShown(Spectrum::post));
    EXPECT_EQ(designed.outputGain, 1.0);
    EXPECT_EQ(designed.balanceMakeup, 1.0);
    for (int32_t i = 0; i < kNumParameters; ++i) {
        EXPECT_EQ(effect->currentValue(i), effect->program(0)->values[i]) << i;
    }
    // The last pass of construction sends every default through the host's float path,
    // so a design holds the real value of the stored normalised default.
    auto real = [&](int32_t id) { return normalizedToReal(effect->getParameterValue(id), id); };
    EXPECT_NEAR(real(19), 60, 1e-4);
    EXPECT_EQ(designed.lowCut.frequency, real(19));
    EXPECT_EQ(designed.lowCut.q, real(33));
    EXPECT_EQ(designed.hiCut.frequency, real(25));
    EXPECT_EQ(designed.hiCut.q, real(39));
    EXPECT_EQ(designed.lowCut.enabled, 0);
    EXPECT_EQ(designed.hiCut.enabled, 0);
    struct Expected {
        const SectionPair& pair;
        int32_t frequencyId, gainId, qId;
    };
    for (const Expected& band : {Expected{designed.lowShelf, 20, 27, 34}, Expected{designed.peak1, 21, 28, 35},
                                 Expected{designed.peak2, 22, 29, 36}, Expected{designed.peak3, 23, 30, 37},
                                 Expected{designed.hiShelf, 24, 31, 38}, Expected{designed.balance, 26, 32, 40}}) {
        EXPECT_NEAR(real(band.frequencyId) / findDescriptor(band.frequencyId).defaultValue, 1, 1e-6);
        for (const CIIR* section : {&band.pair.left, &band.pair.right}) {
            EXPECT_EQ(section->sampleRate, 44100);
            EXPECT_EQ(section->enabled, 0);
            EXPECT_EQ(section->frequency, real(band.frequencyId));
            EXPECT_EQ(section->gain, 0);
            EXPECT_EQ(section->q, real(band.qId));
        }
    }
    EXPECT_GT(std::strlen(effect->getModulePath()), 0u);
}

TEST(ModulePath, IsTheFullPathOfTheModuleThatHoldsTheEffect)
{
    char path[4096];
    const std::size_t length = getModulePath(path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::strlen(path), length);
    EXPECT_EQ(path[0], '/');
    EXPECT_NE(std::string(path).find("tolvan_effect_object_test"), std::string::npos);

    char small[5];
    EXPECT_EQ(getModulePath(small, sizeof small), 4u);
    EXPECT_EQ(std::string(small), std::string(path, 4));
    EXPECT_EQ(getModulePath(small, 0), 0u);
    EXPECT_EQ(getModulePath(nullptr, 10), 0u);
}

TEST_F(EffectObject, SampleRateIsTruncatedToWholeHertz)
{
    effect->changeSampleRate(44100.9f);
    EXPECT_EQ(effect->getSampleRateHz(), 44100);
    effect->changeSampleRate(96000.0f);
    EXPECT_EQ(effect->getSampleRateHz(), 96000);
    const AKkk::DesignerState designed = effect->designerState();
    EXPECT_EQ(designed.peak2.left.sampleRate, 96000);
    EXPECT_EQ(designed.hiCut.stage1.right.sampleRate, 96000);
    // Analysers made later start at the rate, and those made earlier follow it.
    ASSERT_TRUE(effect->makeAnalysers());
    EXPECT_EQ(effect->inspectAnalyser(Spectrum::pre)->sampleRate, 96000);
    EXPECT_EQ(effect->inspectResponseAnalyser()->sampleRate, 96000);
    effect->changeSampleRate(48000.0f);
    EXPECT_EQ(effect->inspectAnalyser(Spectrum::post)->sampleRate, 48000);
    EXPECT_EQ(effect->inspectResponseAnalyser()->sampleRate, 48000);
    // The designs keep their settings at the new rate.
    EXPECT_NEAR(designed.peak2.left.frequency, 640, 1e-3);
}

TEST_F(EffectObject, ClosedEditorShowsNothingAndOpensNoDocumentation)
{
    auto* editor = dynamic_cast<SDEditor*>(effect->getEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(static_cast<AEffEditor*>(editor)->getEffect(), effect.get());
    EXPECT_FALSE(editor->isOpen());
    EXPECT_FALSE(editor->canOpenDocumentation());
    EXPECT_FALSE(effect->analysersWanted());
    EXPECT_EQ(editor->getGraphView(), nullptr);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getEditorRect(&rect));
    EXPECT_EQ(rect->right - rect->left, 754);
    EXPECT_EQ(rect->bottom - rect->top, 374);
    editor->showParameter(27, 1.0f);
    // A host value of parameter 2 is stored nowhere and opens nothing: only the editor's
    // own button opens the manual, on the editor's thread.
    VSTGUI::headless::reset();
    effect->setParameterValue(2, 1.0f);
    EXPECT_EQ(effect->currentValue(2), 0);
    EXPECT_TRUE(VSTGUI::headless::openedDocuments().empty());
    EXPECT_EQ(effect->getParameterValue(27), 0.5f);
}

TEST_F(EffectObject, SelectingAProgramWithPreOnResetsTheInputAnalyser)
{
    // The processing call feeds the analyser as it does while the editor shows the graph.
    std::vector<float> loud(SpectrumAnalyser::frameSize, 0.5f), out(loud.size());
    float* inputs[] = {loud.data(), loud.data()};
    float* outputs[] = {out.data(), out.data()};
    ASSERT_TRUE(effect->makeAnalysers());
    effect->setWindowOpen(true);
    effect->wantAnalysers();
    effect->processBlock(inputs, outputs, SpectrumAnalyser::frameSize);
    const float* held = effect->inspectAnalyser(Spectrum::pre)->heldBins();
    ASSERT_TRUE(std::any_of(held, held + SpectrumAnalyser::binCount, [](float bin) { return bin > 0; }));
    effect->selectProgram(0);
    std::vector<float> bins(SpectrumAnalyser::binCount, -1.0f);
    ASSERT_TRUE(effect->takeSpectrum(Spectrum::pre, bins.data()));
    for (float bin : bins) ASSERT_EQ(bin, 0.0f);
}

}  // namespace

namespace {

// An editor whose window is open and whose close reads the effect's program bank and
// analysers, as a real editor's close may; the sanitizer build catches a read of freed memory.
class EditorThatReadsTheEffectOnClose : public AEffEditor {
public:
    // Opened at once, making the analysers as an opening editor does.
    explicit EditorThatReadsTheEffectOnClose(AKkk& owner) : AEffEditor(&owner), owner(owner)
    {
        parentWindow = this;
        owner.makeAnalysers();
    }
    void close() override
    {
        closedWithName = owner.program(0)->name;
        closedWithAnalyserReady = owner.inspectAnalyser(Spectrum::pre)->isReady();
        AEffEditor::close();
    }
    static std::unique_ptr<AEffEditor> create(AudioEffectX& effect, EffectDisplay&)
    {
        return std::make_unique<EditorThatReadsTheEffectOnClose>(static_cast<AKkk&>(effect));
    }
    static inline std::string closedWithName;
    static inline bool closedWithAnalyserReady = false;

private:
    AKkk& owner;
};

std::unique_ptr<AEffEditor> editorThatCannotBeMade(AudioEffectX&, EffectDisplay&) { throw std::bad_alloc(); }

TEST(EffectTeardown, AnOpenEditorIsClosedWhileTheEffectIsStillWhole)
{
    EditorThatReadsTheEffectOnClose::closedWithName.clear();
    auto effect = std::make_unique<AKkk>(hosting::quietHost, &EditorThatReadsTheEffectOnClose::create);
    ASSERT_TRUE(effect->getEditor()->isOpen());
    AEffect* record = effect.release()->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(EditorThatReadsTheEffectOnClose::closedWithName, "Default");
    EXPECT_TRUE(EditorThatReadsTheEffectOnClose::closedWithAnalyserReady);
}

TEST(EffectTeardown, AnEditorThatCannotBeMadeLeavesNothingBehind)
{
    // The leak checker of the sanitizer build sees whatever the failed construction kept.
    EXPECT_THROW(AKkk(hosting::quietHost, &editorThatCannotBeMade), std::bad_alloc);
}

}  // namespace
