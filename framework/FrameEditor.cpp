#include "framework/FrameEditor.h"

#include "framework/platform/Platform.h"

namespace VSTGUI {
namespace {

constexpr uint32_t kIdlePause = 4;           // one pass of a drag loop
constexpr uint32_t kFullPassLead = 50;       // a full pass runs this long before the due time
constexpr uint32_t kFullPassInterval = 100;  // the due time after a full pass

// The tick counter wraps: compare by signed distance.
bool isBefore(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

}  // namespace

FrameEditor::FrameEditor() : nextIdleTime(platform::services().getTicks()) {}

void FrameEditor::idleCycle()
{
    uint32_t now = platform::services().getTicks();
    if (isBefore(now, nextIdleTime)) {
        platform::services().sleep(kIdlePause);
        now += kIdlePause;
        if (isBefore(now + kFullPassLead, nextIdleTime)) return;
    }
    runEditorIdle();
    platform::services().dispatchPendingPaint();
    nextIdleTime = now + kFullPassInterval;
    inIdle = true;
    requestHostIdle();
    inIdle = false;
}

}  // namespace VSTGUI
