#include "tools/editor-snapshot/GraphScene.h"

#include "framework/platform/headless/HeadlessScript.h"

namespace tolvan::test {

using namespace VSTGUI;

GraphScene::GraphScene()
{
    headless::reset();
    host = headless::createHostWindow(Rect::fromSize({200, 100}, 754, 374));
    frame = new CFrame({0, 0, 754, 374}, host, &frameEditor);
    bitmap = new CBitmap(kGraphBitmap);
    graph = new CFRGRAP(kGraphRect, bitmap, display, nullptr);
    frame->addView(graph);
    graph->setDbScale(-110, -38, 12);
    graph->setFrequencyRange(20, 22050, 4);
    graph->setSlope(4);
    graph->setRange(60);
    graph->setShift(20);
    graph->resetTraces();
    display.resetSpectra();
}

GraphScene::~GraphScene()
{
    frame->release();
    bitmap->release();
    headless::destroyHostWindow(host);
}

Color GraphScene::pixel(int32_t x, int32_t y) const
{
    return headless::windowPixels(*frame->getWindow()).colorAt(x, y);
}

}  // namespace tolvan::test
