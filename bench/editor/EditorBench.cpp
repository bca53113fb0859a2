// The whole editor on the headless back end, opened and driven through the effect's record
// as a host does: opening to the first full frame, one refresh tick with both spectra and
// the meter changing, an idle call with nothing new, a host parameter change with the
// window open, and the audio blocks with the window open and the analysers fed.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/hosting/RecordingHost.h"

namespace {

constexpr int32_t kBlock = 512;

// An effect with its record and a headless host window; the editor opens on demand.
struct Session {
    Session()
    {
        VSTGUI::headless::reset();
        host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> value(-0.5f, 0.5f);
        for (float& s : noise) s = value(rng);
    }
    ~Session()
    {
        effect.reset();
        VSTGUI::headless::destroyHostWindow(host);
    }
    intptr_t dispatch(int32_t opcode, intptr_t value = 0, void* ptr = nullptr)
    {
        return record->dispatcher(record, opcode, 0, value, ptr, 0);
    }
    SDEditor* editor() const { return static_cast<SDEditor*>(effect->getEditor()); }
    // Opens the window and paints it whole, as a host's first paint does.
    void openAndPaint()
    {
        dispatch(effEditOpen, 0, host);
        VSTGUI::CFrame* frame = editor()->getFrame();
        VSTGUI::platform::Window* window = frame->getWindow();
        window->invalidate(frame->frameToWindow(frame->getBounds()));
        VSTGUI::headless::paint(*window);
    }
    // The host's announcement of its user interface's scale, before the editor opens.
    void announceScale(float factor)
    {
        record->dispatcher(record, effVendorSpecific, fourCharacters("PreS"), fourCharacters("AeCs"), nullptr, factor);
    }
    // One block of noise through the record; the noise moves on so that spectra change.
    void processBlock()
    {
        float* in[] = {noise.data() + offset, noise.data() + offset + kBlock};
        float* out[] = {outLeft.data(), outRight.data()};
        record->processReplacing(record, in, out, kBlock);
        offset = (offset + kBlock) % (noise.size() - 2 * kBlock);
    }
    // One block whose output peaks at level: the noise, at most 0.5, scaled to it.
    void processBlockPeakingAt(float level)
    {
        const float gain = level / 0.5f;
        for (size_t i = 0; i < scaled.size(); ++i) scaled[i] = noise[offset + i] * gain;
        float* in[] = {scaled.data(), scaled.data() + kBlock};
        float* out[] = {outLeft.data(), outRight.data()};
        record->processReplacing(record, in, out, kBlock);
        offset = (offset + kBlock) % (noise.size() - 2 * kBlock);
    }

    std::unique_ptr<AKkk> effect = std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create);
    AEffect* record = effect->getAeffect();
    VSTGUI::platform::ParentWindow host = nullptr;
    std::vector<float> noise = std::vector<float>(1 << 16);
    size_t offset = 0;
    std::array<float, kBlock> outLeft{}, outRight{};
    std::array<float, 2 * kBlock> scaled{};
};

void BM_EditOpenToFirstFullFrame(benchmark::State& state)
{
    Session session;
    for (auto _ : state) {
        session.openAndPaint();
        state.PauseTiming();
        session.dispatch(effEditClose);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditOpenToFirstFullFrame)->Unit(benchmark::kMillisecond);

// Each iteration opens the editor of a new effect, timing only the opening. The memory the
// last one freed goes back to the system first, so that the opening touches fresh pages as
// the first one in a process does, not pages the allocator kept from the last iteration.
void openNewEditors(benchmark::State& state, float scale = 1.0f)
{
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        auto session = std::make_unique<Session>();
        if (scale != 1.0f) session->announceScale(scale);
        state.ResumeTiming();
        session->openAndPaint();
        state.PauseTiming();
        session.reset();
        state.ResumeTiming();
    }
}

// The first opening of a new editor also decodes the skin's bitmaps, which later openings
// reuse.
void BM_FirstEditOpenToFirstFullFrame(benchmark::State& state) { openNewEditors(state); }
BENCHMARK(BM_FirstEditOpenToFirstFullFrame)->Unit(benchmark::kMillisecond);

// The same at 2x, announced by the host: the artwork made for 2x is unpacked as it is drawn.
void BM_FirstEditOpenToFirstFullFrameAt2x(benchmark::State& state) { openNewEditors(state, 2.0f); }
BENCHMARK(BM_FirstEditOpenToFirstFullFrameAt2x)->Unit(benchmark::kMillisecond);

// A new editor beside another instance whose editor has been open decodes nothing: the
// skin's pixels are shared by the whole process.
void BM_FirstEditOpenBesideAnotherInstance(benchmark::State& state)
{
    auto other = std::make_unique<Session>();
    other->openAndPaint();
    other->dispatch(effEditClose);
    openNewEditors(state);
}
BENCHMARK(BM_FirstEditOpenBesideAnotherInstance)->Unit(benchmark::kMillisecond);

// What a host pays for each effect it makes (to scan the plug-in, to load a session),
// editor object included, before any window opens.
void BM_CreateAndCloseEffect(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create));
}
BENCHMARK(BM_CreateAndCloseEffect)->Unit(benchmark::kMicrosecond);

// Each tick finds a new result in both analysers and a new peak for the meter.
void BM_RefreshTickSpectraAndMeterChanging(benchmark::State& state)
{
    Session session;
    session.record->setParameter(session.record, 4, 1.0f);  // POST on
    session.openAndPaint();
    session.dispatch(effEditIdle);
    float level = 0.9f;
    for (auto _ : state) {
        state.PauseTiming();
        // The meter falls by whole 25 ms steps; a new peak each tick keeps it moving.
        level = level > 0.2f ? level * 0.8f : 0.9f;
        for (int32_t i = 0; i < 4; ++i) session.processBlockPeakingAt(level);
        VSTGUI::headless::advanceTime(SDEditor::kTimerInterval);
        state.ResumeTiming();
        session.editor()->refreshViews();
    }
}
BENCHMARK(BM_RefreshTickSpectraAndMeterChanging)->Unit(benchmark::kMicrosecond);

void BM_IdleWithNothingNew(benchmark::State& state)
{
    Session session;
    session.openAndPaint();
    session.dispatch(effEditIdle);
    session.dispatch(effEditIdle);
    for (auto _ : state) session.dispatch(effEditIdle);
}
BENCHMARK(BM_IdleWithNothingNew);

// The host's thread only publishes the value for the editor; the views follow at its tick.
void BM_SetParameterWithEditorOpen(benchmark::State& state)
{
    Session session;
    session.openAndPaint();
    float value = 0.25f;
    for (auto _ : state) {
        session.record->setParameter(session.record, 22, value);
        value = value == 0.25f ? 0.75f : 0.25f;
    }
}
BENCHMARK(BM_SetParameterWithEditorOpen);

// The worst audio block with the window open: of every four blocks of 512 samples, the
// fourth completes a hop of both analysers, so it runs the chain and two analyses. Only
// that block is timed; a refresh tick follows it, as the editor's timer would.
void BM_WorstAudioBlockWithEditorOpen(benchmark::State& state)
{
    Session session;
    session.record->setParameter(session.record, 4, 1.0f);
    for (const int32_t id : {11, 13, 14, 15, 16, 17, 18}) session.record->setParameter(session.record, id, 1.0f);
    session.openAndPaint();
    session.dispatch(effEditIdle);
    for (int32_t i = 0; i < 64; ++i) session.processBlock();
    for (auto _ : state) {
        state.PauseTiming();
        for (int32_t i = 0; i < 3; ++i) session.processBlock();
        state.ResumeTiming();
        session.processBlock();
        state.PauseTiming();
        if (!session.effect->inspectAnalyser(Spectrum::pre)->isReady() ||
            !session.effect->inspectAnalyser(Spectrum::post)->isReady())
            state.SkipWithError("the timed block did not complete the analysers' hop");
        VSTGUI::headless::advanceTime(SDEditor::kTimerInterval);
        session.editor()->refreshViews();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WorstAudioBlockWithEditorOpen)->Unit(benchmark::kMicrosecond);

}  // namespace
