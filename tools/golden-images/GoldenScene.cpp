#include "tools/golden-images/GoldenScene.h"

#include "framework/CAnimKnob.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/CKickButton.h"
#include "framework/COnOffButton.h"
#include "framework/CParamDisplay.h"
#include "framework/CTextLabel.h"
#include "tools/golden-images/FrameworkBitmaps.h"

#include <cstdio>
#include <vector>

namespace tolvan::test {
namespace {

constexpr int32_t kKnobTag = 3;

}  // namespace

class SceneListener : public CControlListener {
public:
    void valueChanged(CDrawContext*, CControl* control) override
    {
        if (display && control->getTag() == kKnobTag) display->setValue(control->getValue());
    }
    CParamDisplay* display = nullptr;
};

namespace {

void formatPercent(float value, char* text)
{
    std::snprintf(text, 8, "%d %%", static_cast<int>(value * 100.0f + 0.5f));
}

}  // namespace

GoldenSceneFrame::GoldenSceneFrame(platform::ParentWindow parent)
    : editor(std::make_unique<hosting::SilentFrameEditor>()), listener(std::make_unique<SceneListener>())
{
    sceneFrame = new CFrame(kGoldenSceneSize, parent, editor.get());
    editor->frame = sceneFrame;

    auto* background = new CBitmap(kSceneBackground);
    sceneFrame->setBackground(background);
    background->release();

    auto* strip = new CBitmap(kKnobStrip);
    sceneKnob = new CAnimKnob({10, 8, 30, 28}, listener.get(), kKnobTag, 5, 20, strip);
    strip->release();
    sceneKnob->setValue(0.25f);
    sceneFrame->addView(sceneKnob);

    auto* switchStrip = new CBitmap(kSwitchStrip);
    sceneSwitch = new COnOffButton({40, 10, 56, 26}, listener.get(), 4, switchStrip);
    sceneFrame->addView(sceneSwitch);
    switchStrip->release();

    auto* kickStrip = new CBitmap(kKickStrip);
    sceneFrame->addView(new CKickButton({62, 12, 74, 24}, listener.get(), 8, 12, kickStrip));
    kickStrip->release();

    auto* display = new CParamDisplay({4, 32, 40, 43}, nullptr, 0x1);
    display->setFont(6);
    display->setFontColor({208, 208, 208, 128});
    display->setBackColor({64, 88, 112, 128});
    display->setFrameColor({64, 88, 112, 128});
    display->setStringConvert(formatPercent);
    display->setValue(0.25f);
    sceneFrame->addView(display);
    listener->display = display;

    auto* raw = new CParamDisplay({46, 32, 86, 43}, nullptr, k3DIn | kShadowText);
    raw->setValue(0.5f);
    raw->setBackColor(kBlueColor);
    raw->setFrameColor(kWhiteColor);
    sceneFrame->addView(raw);
    sceneFrame->addView(new CTextLabel({80, 46, 118, 58}, "Tolvan"));
}

GoldenSceneFrame::~GoldenSceneFrame() { sceneFrame->release(); }

}  // namespace tolvan::test
