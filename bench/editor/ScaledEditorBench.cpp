// The editor's drawing at each scale (the argument, in percent), on the headless back end
// through the effect's record: a full-frame paint as a host's first paint or exposure asks
// for it, and one knob redrawn at idle. Run it as
//   build/bench/editor/scaled_editor_bench

#include <benchmark/benchmark.h>

#include <memory>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "framework/CControl.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/hosting/RecordingHost.h"

namespace {

using VSTGUI::DisplayScale;

constexpr int32_t kPeak1Frequency = 22;

DisplayScale scaleOf(const benchmark::State& state) { return static_cast<DisplayScale>(state.range(0)); }

// An effect with its editor open at a scale in a headless host window, painted whole.
struct ScaledSession {
    explicit ScaledSession(DisplayScale displayScale) : scale(displayScale)
    {
        VSTGUI::headless::reset();
        host = VSTGUI::headless::createHostWindow(
            {100, 100, 100 + VSTGUI::toDevice(754, scale), 100 + VSTGUI::toDevice(374, scale)});
        record->setParameter(record, 4, 1.0f);  // POST on
        record->dispatcher(record, effEditOpen, 0, 0, host, 0);
        frame()->setDisplayScale(scale);
        paintWhole();
        record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0);
    }
    ~ScaledSession()
    {
        effect.reset();
        VSTGUI::headless::destroyHostWindow(host);
    }
    SDEditor* editor() const { return static_cast<SDEditor*>(effect->getEditor()); }
    VSTGUI::CFrame* frame() const { return editor()->getFrame(); }
    void paintWhole()
    {
        VSTGUI::platform::Window* window = frame()->getWindow();
        window->invalidate(frame()->frameToWindow(frame()->getBounds()));
        VSTGUI::headless::paint(*window);
    }
    DisplayScale scale;
    std::unique_ptr<AKkk> effect = std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create);
    AEffect* record = effect->getAeffect();
    VSTGUI::platform::ParentWindow host = nullptr;
};

void BM_FullFramePaint(benchmark::State& state)
{
    ScaledSession session(scaleOf(state));
    for (auto _ : state) session.paintWhole();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FullFramePaint)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

// A knob whose value changed, drawn by the frame's idle pass and shown in the window.
void BM_KnobRedraw(benchmark::State& state)
{
    ScaledSession session(scaleOf(state));
    VSTGUI::CControl* knob = session.editor()->getControl(kPeak1Frequency);
    float value = 0.25f;
    for (auto _ : state) {
        value = value == 0.25f ? 0.75f : 0.25f;
        knob->setValue(value);
        knob->setDirty(true);
        session.frame()->idle();
    }
}
BENCHMARK(BM_KnobRedraw)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
