#include "editor/SDEditor.h"

#include "effect/AKkk.h"
#include "framework/CBitmap.h"

namespace {

constexpr int32_t kSkinBitmap = 11030;

}  // namespace

SDEditor::SDEditor(AKkk* owner) : AEffGUIEditor(owner) {
    background = new VSTGUI::CBitmap(kSkinBitmap);
    editorRect = {0, 0, static_cast<int16_t>(background->getHeight()), static_cast<int16_t>(background->getWidth())};
}

std::unique_ptr<AEffEditor> SDEditor::create(AKkk& owner) { return std::make_unique<SDEditor>(&owner); }

SDEditor::~SDEditor() {
    if (background != nullptr) background->release();
}

// The controls, the graph and the documentation opener exist only while the window is
// open; the window itself comes with the open step, so a closed editor shows nothing.
void SDEditor::showParameter(int32_t, float) {}

void SDEditor::openDocumentation() {}
