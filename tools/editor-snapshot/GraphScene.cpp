#include "tools/editor-snapshot/GraphScene.h"

#include "effect/PluginInterface.h"
#include "framework/platform/headless/HeadlessScript.h"

namespace tolvan::test {

using namespace VSTGUI;

namespace {

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

GraphScene::GraphScene() : effect(std::make_unique<AKkk>(quietHost))
{
    headless::reset();
    host = headless::createHostWindow(Rect::fromSize({200, 100}, 754, 374));
    frame = new CFrame({0, 0, 754, 374}, host, &frameEditor);
    bitmap = new CBitmap(kGraphBitmap);
    graph = new CFRGRAP(kGraphRect, bitmap, effect.get(), effect->preAnalyser.get(), nullptr);
    frame->addView(graph);
    graph->setDbScale(-110, -38, 12);
    graph->setFrequencyRange(20, 22050, 4);
    graph->setSlope(4);
    graph->setRange(60);
    graph->setShift(20);
    graph->resetTraces();
    effect->preAnalyser->reset();
    effect->postAnalyser->reset();
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
