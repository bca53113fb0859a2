#include "editor/AEffGUIEditor.h"

#include <array>
#include <atomic>
#include <cmath>
#include <utility>

#include "effect/EffectBaseExtended.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"
#include "framework/platform/Platform.h"

namespace {

// Set by the host through any editor, read by the knobs of every editor.
std::atomic<int32_t> processKnobMode{0};

// The host's special keys that the toolkit acts on; any other one is just a special key.
constexpr std::array<std::pair<unsigned char, VSTGUI::VirtualKey>, 5> kVirtualKeys{{
    {VKEY_TAB, VSTGUI::VirtualKey::Tab},
    {VKEY_LEFT, VSTGUI::VirtualKey::Left},
    {VKEY_UP, VSTGUI::VirtualKey::Up},
    {VKEY_RIGHT, VSTGUI::VirtualKey::Right},
    {VKEY_DOWN, VSTGUI::VirtualKey::Down},
}};

VSTGUI::KeyCode toolkitKey(const VstKeyCode& key)
{
    VSTGUI::KeyCode translated;
    translated.character = key.character;
    if (key.virt != 0) {
        translated.virt = VSTGUI::VirtualKey::Other;
        for (const auto& [host, toolkit] : kVirtualKeys)
            if (key.virt == host) translated.virt = toolkit;
    }
    if ((key.modifier & MODIFIER_SHIFT) != 0) translated.modifiers |= VSTGUI::ModShift;
    return translated;
}

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {}

bool AEffGUIEditor::getEditorRect(ERect** rect)
{
    // A closed editor answers the size it would open at now: the host sizes its window
    // from this answer before it opens the editor.
    if (frame == nullptr) chooseOpeningScale();
    *rect = &editorRect;
    return true;
}

void AEffGUIEditor::setLogicalSize(int32_t width, int32_t height)
{
    logicalWidth = width;
    logicalHeight = height;
    setRectScale(displayScale);
}

void AEffGUIEditor::setRectScale(VSTGUI::DisplayScale scale)
{
    displayScale = scale;
    editorRect = {0, 0, static_cast<int16_t>(VSTGUI::toDevice(logicalHeight, scale)),
                  static_cast<int16_t>(VSTGUI::toDevice(logicalWidth, scale))};
}

VSTGUI::DisplayScale AEffGUIEditor::windowSystemScale() const
{
    const VSTGUI::platform::Window* window = frame != nullptr ? frame->getWindow() : nullptr;
    const double own = window != nullptr ? window->scaleFactor() : 0.0;
    return VSTGUI::nearestDisplayScale(own > 0 ? own : VSTGUI::platform::services().screenScaleFactor());
}

VSTGUI::DisplayScale AEffGUIEditor::chooseOpeningScale()
{
    setRectScale(hostScale ? *hostScale : windowSystemScale());
    return displayScale;
}

void AEffGUIEditor::followWindowScale()
{
    if (hostScale || frame == nullptr) return;
    rescaleWindow(windowSystemScale());
}

bool AEffGUIEditor::setHostScaleFactor(float factor)
{
    // Nothing a host could mean by zero, a negative or a missing number: the scale stays.
    if (!std::isfinite(factor) || factor <= 0) return false;
    hostScale = VSTGUI::nearestDisplayScale(factor);
    if (frame != nullptr)
        rescaleWindow(*hostScale);
    else
        setRectScale(*hostScale);
    return true;
}

void AEffGUIEditor::windowScaleChanged(double factor)
{
    if (hostScale || frame == nullptr) return;
    rescaleWindow(VSTGUI::nearestDisplayScale(factor));
}

void AEffGUIEditor::rescaleWindow(VSTGUI::DisplayScale scale)
{
    setRectScale(scale);
    if (frame->getDisplayScale() == scale) return;
    frame->setDisplayScale(scale);
    const int32_t width = editorRect.right - editorRect.left;
    const int32_t height = editorRect.bottom - editorRect.top;
    // A host that cannot resize its window has it resized around ours by hand, as for any
    // other size change of the frame.
    if (!requestHostResize(width, height))
        if (VSTGUI::platform::Window* window = frame->getWindow()) window->resizeHostWindows(width, height);
}

// Keys and the wheel reach the frame only while the window is open; a closed editor has
// no frame and leaves them to the host.
bool AEffGUIEditor::keyDown(VstKeyCode& key) { return frame != nullptr && frame->keyDown(toolkitKey(key)) == 1; }

bool AEffGUIEditor::keyUp(VstKeyCode& key) { return frame != nullptr && frame->keyUp(toolkitKey(key)) == 1; }

bool AEffGUIEditor::wheel(float distance)
{
    if (frame == nullptr) return false;
    VSTGUI::platform::Window* window = frame->getWindow();
    if (window == nullptr) return false;
    // The host passes no position: the wheel acts where the cursor is, taken from the
    // window's device pixels to frame coordinates.
    VSTGUI::CDrawContext context(window, frame, nullptr);
    const VSTGUI::Point cursor = VSTGUI::platform::services().getCursorPosition() - window->getScreenRect().topLeft();
    return frame->wheel(&context, frame->windowToFrame(cursor), distance);
}

bool AEffGUIEditor::setKnobMode(int32_t mode)
{
    processKnobMode.store(mode, std::memory_order_relaxed);
    return true;
}

int32_t AEffGUIEditor::knobMode() const { return processKnobMode.load(std::memory_order_relaxed); }

void AEffGUIEditor::beginEdit(int32_t index) { hostEffect()->beginEdit(index); }

void AEffGUIEditor::endEdit(int32_t index) { hostEffect()->endEdit(index); }

void AEffGUIEditor::requestHostIdle() { hostEffect()->hostIdle(); }

bool AEffGUIEditor::requestHostResize(int32_t width, int32_t height) { return hostEffect()->sizeWindow(width, height); }

AudioEffectX* AEffGUIEditor::hostEffect() const { return static_cast<AudioEffectX*>(effect); }
