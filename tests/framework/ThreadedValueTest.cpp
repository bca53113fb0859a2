// The host may mirror parameter changes into the controls from its own threads while the
// editor's thread draws and drags them; run under ThreadSanitizer this shows the hand-off
// is race-free.

#include "framework/CAnimKnob.h"
#include "framework/CParamDisplay.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <atomic>
#include <thread>

namespace tolvan::test {
namespace {

using ThreadedValues = FrameTest;

TEST_F(ThreadedValues, ValuesSetFromAnotherThreadWhileTheEditorDraws)
{
    auto* knob = add(new CAnimKnob({10, 10, 43, 43}, nullptr, 1, 51, 33, nullptr));
    auto* display = add(new CParamDisplay({10, 50, 60, 61}));
    paintAll();
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int32_t i = 0; i < 20000; ++i) {
            const float v = static_cast<float>(i % 100) / 100.0f;
            knob->setValue(v);
            display->setValue(v * 20.0f);
        }
        done = true;
    });
    int32_t passes = 0;
    while (!done || passes < 10) {
        frame->idle();
        ++passes;
    }
    host.join();
    frame->idle();
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(knob->getValue(), 0.99f);
}

}  // namespace
}  // namespace tolvan::test
