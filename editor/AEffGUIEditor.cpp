#include "editor/AEffGUIEditor.h"

#include <atomic>

#include "effect/AudioEffectX.h"
#include "framework/platform/Platform.h"

namespace {

// Set by the host through any editor, read by the knobs of every editor.
std::atomic<int32_t> knobMode{0};

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner)
    : AEffEditor(owner), nextIdleTime(VSTGUI::platform::getTicks()) {}

bool AEffGUIEditor::getEditorRect(ERect** rect) {
    *rect = &editorRect;
    return true;
}

bool AEffGUIEditor::keyDown(VstKeyCode&) { return false; }

bool AEffGUIEditor::keyUp(VstKeyCode&) { return false; }

bool AEffGUIEditor::wheel(float) { return false; }

bool AEffGUIEditor::setKnobMode(int32_t mode) {
    knobMode.store(mode, std::memory_order_relaxed);
    return true;
}

int32_t AEffGUIEditor::getKnobMode() { return knobMode.load(std::memory_order_relaxed); }

void AEffGUIEditor::beginEdit(int32_t index) {
    if (AudioEffectX* host = hostEffect()) host->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (AudioEffectX* host = hostEffect()) host->endEdit(index);
}

AudioEffectX* AEffGUIEditor::hostEffect() const { return static_cast<AudioEffectX*>(effect); }
