// The editor's graph as the editor sets it up at open, alone in a headless frame of the
// editor's size, with a display whose analysers the test feeds and the plug-in's graph
// background. Shared by the graph's tests and its benchmark.
#pragma once

#include "editor/GraphView.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "tools/editor-snapshot/ScriptedDisplay.h"
#include "tools/hosting/SilentFrameEditor.h"

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

    editortest::ScriptedDisplay display;
    VSTGUI::CFrame* frame = nullptr;
    VSTGUI::CBitmap* bitmap = nullptr;
    CFRGRAP* graph = nullptr;

private:
    hosting::SilentFrameEditor frameEditor;
    VSTGUI::platform::ParentWindow host = nullptr;
};

}  // namespace tolvan::test
