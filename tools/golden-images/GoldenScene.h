#pragma once
// The small editor scene of the golden-image test: a frame with a background bitmap, a
// film-strip knob, a switch, a kick button and value displays, painted on the headless
// back end. The framework's tests compare it with the PNG kept in tests/framework/golden;
// golden-images, beside this file, regenerates that PNG on purpose.

#include "framework/PixelSurface.h"
#include "framework/platform/Platform.h"
#include "tools/hosting/SilentFrameEditor.h"
#include "tools/imaging/PngFiles.h"

#include <memory>
#include <string>

namespace VSTGUI {
class CFrame;
class CControl;
}  // namespace VSTGUI

namespace tolvan::test {

inline constexpr const char* kGoldenSceneFile = "golden-scene.png";
inline constexpr VSTGUI::Rect kGoldenSceneSize{0, 0, 120, 60};
// The scene's gestures, in frame coordinates: the knob is pressed at the top of its sweep
// and dragged to 0 degrees, then the switch is clicked on.
inline constexpr VSTGUI::Point kKnobPress{20, 9};
inline constexpr VSTGUI::Point kKnobDragTarget{30, 18};
inline constexpr VSTGUI::Point kSwitchClick{45, 15};

class SceneListener;

// The scene's frame with its views, inside a host window of whichever back end is linked.
class GoldenSceneFrame {
public:
    explicit GoldenSceneFrame(VSTGUI::platform::ParentWindow parent);
    ~GoldenSceneFrame();
    GoldenSceneFrame(const GoldenSceneFrame&) = delete;
    GoldenSceneFrame& operator=(const GoldenSceneFrame&) = delete;

    VSTGUI::CFrame* frame() const { return sceneFrame; }
    VSTGUI::CControl* knob() const { return sceneKnob; }
    VSTGUI::CControl* onOffSwitch() const { return sceneSwitch; }

private:
    // The scene has no host: edits and idle requests go nowhere.
    std::unique_ptr<hosting::SilentFrameEditor> editor;
    std::unique_ptr<SceneListener> listener;
    VSTGUI::CFrame* sceneFrame = nullptr;
    VSTGUI::CControl* sceneKnob = nullptr;
    VSTGUI::CControl* sceneSwitch = nullptr;
};

// Builds the scene on the headless back end, paints it once as a host's first paint does,
// then turns the knob and presses the switch through scripted input, and returns the
// window's pixels.
VSTGUI::PixelSurface renderGoldenScene();

}  // namespace tolvan::test
