// The view framework's drawing costs on an editor-sized frame: a full paint of a 754 x 374
// frame with the skin background and 80 controls, and the redraw of one dirty knob
// through idle.

#include "framework/CAnimKnob.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/COnOffButton.h"
#include "framework/CParamDisplay.h"
#include "tools/hosting/SilentFrameEditor.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/golden-images/FrameworkBitmaps.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

using namespace VSTGUI;
using namespace tolvan::test;

void formatValue(float value, char* text)
{
    std::snprintf(text, 8, "%.1f dB", static_cast<double>(value * 24.0f - 12.0f));
}

// An editor-like frame: 40 film-strip knobs with a value display under 28 of them, and 12
// switches, over the skin background.
class EditorScene {
public:
    EditorScene()
    {
        headless::reset();
        host = headless::createHostWindow({0, 0, 754, 374});
        frame = new CFrame({0, 0, 754, 374}, host, &editor);
        auto* skin = new CBitmap(kSkinBackground);
        frame->setBackground(skin);
        skin->release();
        auto* strip = new CBitmap(kLargeKnobStrip);
        auto* switches = new CBitmap(kSwitchStrip);
        for (int32_t i = 0; i < 40; ++i) {
            const Point corner{20 + (i % 10) * 70, 20 + (i / 10) * 80};
            auto* knob = new CAnimKnob(Rect::fromSize(corner, 33, 33), nullptr, i, 51, 33, strip);
            knob->setValue(static_cast<float>(i) / 40.0f);
            frame->addView(knob);
            knobs.push_back(knob);
            if (i < 28) {
                auto* display =
                    new CParamDisplay({corner.x - 2, corner.y + 36, corner.x + 35, corner.y + 47}, nullptr, 0x1);
                display->setFont(6);
                display->setFontColor({208, 208, 208, 128});
                display->setBackColor({64, 88, 112, 128});
                display->setFrameColor({64, 88, 112, 128});
                display->setStringConvert(formatValue);
                display->setValue(knob->getValue());
                frame->addView(display);
            }
        }
        for (int32_t i = 0; i < 12; ++i) {
            auto* button = new COnOffButton(Rect::fromSize({40 + i * 55, 340}, 16, 16), nullptr, 40 + i, switches);
            button->setValue(static_cast<float>(i % 2));
            frame->addView(button);
        }
        strip->release();
        switches->release();
    }
    ~EditorScene()
    {
        frame->release();
        headless::destroyHostWindow(host);
    }
    EditorScene(const EditorScene&) = delete;
    EditorScene& operator=(const EditorScene&) = delete;

    void paintAll()
    {
        frame->getWindow()->invalidate(frame->getBounds());
        headless::paint(*frame->getWindow());
    }

    hosting::SilentFrameEditor editor;
    platform::ParentWindow host;
    CFrame* frame;
    std::vector<CAnimKnob*> knobs;
};

void fullFramePaint(benchmark::State& state)
{
    EditorScene scene;
    scene.paintAll();
    for (auto _ : state) {
        scene.frame->setDirty(true);
        scene.paintAll();
        benchmark::ClobberMemory();
    }
    state.counters["views"] = scene.frame->childCount();
}
BENCHMARK(fullFramePaint)->Unit(benchmark::kMicrosecond);

void oneKnobRedrawThroughIdle(benchmark::State& state)
{
    EditorScene scene;
    scene.paintAll();
    CAnimKnob* knob = scene.knobs[17];
    float value = 0.0f;
    for (auto _ : state) {
        value = value > 0.9f ? 0.0f : value + 0.05f;  // every step moves the handle
        knob->setValue(value);
        scene.frame->idle();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(oneKnobRedrawThroughIdle)->Unit(benchmark::kMicrosecond);

}  // namespace
