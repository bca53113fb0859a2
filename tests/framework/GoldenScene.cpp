#include "tests/framework/GoldenScene.h"

#include "framework/CAnimKnob.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/CKickButton.h"
#include "framework/COnOffButton.h"
#include "framework/CParamDisplay.h"
#include "framework/CTextLabel.h"
#include "framework/FrameEditor.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tests/framework/FrameworkBitmaps.h"


#include <cstdio>
#include <vector>

namespace tolvan::test {
namespace {

class SceneEditor : public FrameEditor {
public:
    void beginEdit(int32_t) override {}
    void endEdit(int32_t) override {}
    void runEditorIdle() override
    {
        if (frame)
            frame->idle();
    }
    void requestHostIdle() override {}
    int32_t knobMode() const override { return 0; }
    bool requestHostResize(int32_t, int32_t) override { return false; }
    CFrame* frame = nullptr;
};

constexpr int32_t kKnobTag = 3;

class SceneListener : public CControlListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override
    {
        if (display && control->getTag() == kKnobTag)
            display->setValue(control->getValue());
    }
    CParamDisplay* display = nullptr;
};

void formatPercent(float value, char* text)
{
    std::snprintf(text, 8, "%d %%", static_cast<int>(value * 100.0f + 0.5f));
}

}  // namespace

PixelSurface renderGoldenScene()
{
    headless::reset();
    const platform::ParentWindow host = headless::createHostWindow({300, 200, 420, 260});
    SceneEditor editor;
    SceneListener listener;
    auto* frame = new CFrame({0, 0, 120, 60}, host, &editor);
    editor.frame = frame;

    auto* background = new CBitmap(kSceneBackground);
    frame->setBackground(background);
    background->release();

    auto* strip = new CBitmap(kKnobStrip);
    auto* knob = new CAnimKnob({10, 8, 30, 28}, &listener, kKnobTag, 5, 20, strip);
    strip->release();
    knob->setValue(0.25f);
    frame->addView(knob);

    auto* switchStrip = new CBitmap(kSwitchStrip);
    frame->addView(new COnOffButton({40, 10, 56, 26}, &listener, 4, switchStrip));
    switchStrip->release();

    auto* kickStrip = new CBitmap(kKickStrip);
    frame->addView(new CKickButton({62, 12, 74, 24}, &listener, 8, 12, kickStrip));
    kickStrip->release();

    auto* display = new CParamDisplay({4, 32, 40, 43}, nullptr, 0x1);
    display->setFont(6);
    display->setFontColor({208, 208, 208, 128});
    display->setBackColor({64, 88, 112, 128});
    display->setFrameColor({64, 88, 112, 128});
    display->setStringConvert(formatPercent);
    display->setValue(0.25f);
    frame->addView(display);
    listener.display = display;

    auto* raw = new CParamDisplay({46, 32, 86, 43}, nullptr, k3DIn | kShadowText);
    raw->setValue(0.5f);
    raw->setBackColor(kBlueColor);
    raw->setFrameColor(kWhiteColor);
    frame->addView(raw);
    frame->addView(new CTextLabel({80, 46, 118, 58}, "Tolvan"));

    platform::Window& window = *frame->getWindow();
    window.invalidate(frame->getBounds());
    headless::paint(window);

    // Turn the knob from the top of its sweep to 0 degrees, then switch on.
    const auto screen = [&](Point p) { return headless::toScreen(window, p); };
    headless::scheduleInput(10, screen({20, 9}), ButtonLeft);
    headless::scheduleInput(20, screen({30, 18}), ButtonLeft);
    headless::scheduleInput(30, screen({30, 18}), 0);
    headless::pressButton(window, {20, 9}, ButtonLeft);
    headless::advanceTime(1000);
    headless::scheduleInput(10, screen({45, 15}), 0);
    headless::pressButton(window, {45, 15}, ButtonLeft);
    frame->idle();

    PixelSurface pixels = headless::windowPixels(window);
    frame->release();
    headless::destroyHostWindow(host);
    return pixels;
}

}  // namespace tolvan::test
