// The editor's graph as the editor sets it up at open, alone in a headless frame of the
// editor's size, with a real effect (whose analysers feed it) and the plug-in's graph
// background. Shared by the graph's tests and its benchmark.
#pragma once

#include "editor/GraphView.h"
#include "effect/AKkk.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/FrameEditor.h"

#include <memory>

namespace tolvan::test {

inline constexpr VSTGUI::Rect kGraphRect{35, 11, 426, 162};
inline constexpr int32_t kGraphBitmap = 131;

class GraphScene {
public:
    // The default program's scales: -80 dB to -20 dB, slope 4 dB per octave, 44 100 Hz.
    GraphScene();
    ~GraphScene();
    GraphScene(const GraphScene&) = delete;
    GraphScene& operator=(const GraphScene&) = delete;

    // Draws the graph and copies it to the window, as the editor's refresh does.
    void render() { frame->redrawView(graph); }
    VSTGUI::Color pixel(int32_t x, int32_t y) const;

    std::unique_ptr<AKkk> effect;
    VSTGUI::CFrame* frame = nullptr;
    VSTGUI::CBitmap* bitmap = nullptr;
    CFRGRAP* graph = nullptr;

private:
    class SilentEditor : public VSTGUI::FrameEditor {
    public:
        void beginEdit(int32_t) override {}
        void endEdit(int32_t) override {}
        void runEditorIdle() override {}
        void requestHostIdle() override {}
        int32_t knobMode() const override { return 0; }
        bool requestHostResize(int32_t, int32_t) override { return false; }
    } frameEditor;
    VSTGUI::platform::ParentWindow host = nullptr;
};

}  // namespace tolvan::test
