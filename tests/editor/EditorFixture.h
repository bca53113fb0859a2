// An effect with its editor open in a headless host window, reached as a host reaches it:
// through the effect's record.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tests/editor/EditorTestSupport.h"

namespace editortest {

class OpenEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        VSTGUI::headless::reset();
        takeEdits();
        effect = makeEffect();
        record = effect->getAeffect();
        host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, host), 1);
        editor = static_cast<SDEditor*>(effect->getEditor());
        window = editor->getFrame()->getWindow();
        ASSERT_NE(window, nullptr);
        // The host's first paint of the new window.
        window->invalidate({0, 0, 754, 374});
        VSTGUI::headless::paint(*window);
    }
    void TearDown() override
    {
        effect.reset();
        VSTGUI::headless::destroyHostWindow(host);
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    void hostIdle() { dispatch(effEditIdle); }
    // Lets the editor's timer tick once.
    void tick() { VSTGUI::headless::runMessages(SDEditor::kTimerInterval); }

    // Processes blocks of a constant-amplitude signal through the record.
    void process(int32_t blocks, float amplitude, int32_t blockSize = 512)
    {
        std::vector<float> in(static_cast<size_t>(blockSize)), outLeft(in.size()), outRight(in.size());
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        for (int32_t b = 0; b < blocks; ++b) {
            for (int32_t i = 0; i < blockSize; ++i) in[static_cast<size_t>(i)] = (i % 2 == 0 ? amplitude : -amplitude);
            record->processReplacing(record, inputs, outputs, blockSize);
        }
    }

    VSTGUI::Point centreOf(const VSTGUI::CView* view) const
    {
        const VSTGUI::Rect r = view->getBounds();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A click of the left button on a view.
    void click(const VSTGUI::CView* view)
    {
        const VSTGUI::Point at = centreOf(view);
        VSTGUI::headless::scheduleInput(30, VSTGUI::headless::toScreen(*window, at), 0);
        VSTGUI::headless::pressButton(*window, at, VSTGUI::ButtonLeft);
        VSTGUI::headless::runMessages(60);
    }

    std::unique_ptr<AKkk> effect;
    AEffect* record = nullptr;
    VSTGUI::platform::ParentWindow host = nullptr;
    SDEditor* editor = nullptr;
    VSTGUI::platform::Window* window = nullptr;
};

}  // namespace editortest
