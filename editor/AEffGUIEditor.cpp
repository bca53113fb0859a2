#include "editor/AEffGUIEditor.h"

#include <atomic>

#include "effect/EffectBaseExtended.h"

namespace {

// Set by the host through any editor, read by the knobs of every editor.
std::atomic<int32_t> processKnobMode{0};

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {}

bool AEffGUIEditor::getEditorRect(ERect** rect) {
    *rect = &editorRect;
    return true;
}

// Keys and the wheel reach the frame only while the window is open; a closed editor has
// no frame and leaves them to the host.
bool AEffGUIEditor::keyDown(VstKeyCode&) { return false; }

bool AEffGUIEditor::keyUp(VstKeyCode&) { return false; }

bool AEffGUIEditor::wheel(float) { return false; }

bool AEffGUIEditor::setKnobMode(int32_t mode) {
    processKnobMode.store(mode, std::memory_order_relaxed);
    return true;
}

int32_t AEffGUIEditor::knobMode() const { return processKnobMode.load(std::memory_order_relaxed); }

void AEffGUIEditor::beginEdit(int32_t index) { hostEffect()->beginEdit(index); }

void AEffGUIEditor::endEdit(int32_t index) { hostEffect()->endEdit(index); }

void AEffGUIEditor::requestHostIdle() { hostEffect()->hostIdle(); }

bool AEffGUIEditor::requestHostResize(int32_t width, int32_t height) { return hostEffect()->sizeWindow(width, height); }

AudioEffectX* AEffGUIEditor::hostEffect() const { return static_cast<AudioEffectX*>(effect); }
