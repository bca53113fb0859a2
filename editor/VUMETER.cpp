#include "editor/VUMETER.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "dsp/Levels.h"
#include "effect/EffectDisplay.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/platform/Platform.h"

namespace {

constexpr auto kSmallestNormal = static_cast<float>(levels::kSmallestNormalFloat);
constexpr auto kFloorDecibels = static_cast<float>(levels::kSilenceDecibels);
constexpr float kBottomDecibels = -24.0f;
constexpr float kScaleSpanReciprocal = 0.027777778f;  // 1 / 36 dB
// A host that leaves the editor alone for a long time: beyond this many steps the level
// has long reached the bottom of the scale, so the rest are not worth running.
constexpr uint32_t kMostStepsPerUpdate = 400;

int32_t stripFrameHeight(const VSTGUI::CBitmap* strip)
{
    return strip != nullptr ? strip->getHeight() / VUMETER::kImageCount : 0;
}

int32_t stripWidth(const VSTGUI::CBitmap* strip) { return strip != nullptr ? strip->getWidth() : 0; }

}  // namespace

VUMETER::VUMETER(VSTGUI::CBitmap* filmStrip, int32_t x, int32_t y, EffectDisplay* shown)
    : CMovieBitmap({x, y, x + stripWidth(filmStrip), y + stripFrameHeight(filmStrip)}, nullptr, -1, kImageCount,
                   stripFrameHeight(filmStrip), filmStrip),
      display(shown), attackWeight(static_cast<float>(std::exp(-0.4999999925494195))),
      releaseFactor(static_cast<float>(std::exp(-0.05))), lastStepTime(VSTGUI::platform::services().getTicks())
{
    if (display == nullptr) throw std::invalid_argument("VUMETER needs an effect's display");
}

void VUMETER::advanceOneStep()
{
    if (level <= peak) {
        level = (1 - attackWeight) * peak + attackWeight * level;
        peak = releaseFactor * peak;
    } else {
        level = releaseFactor * level;
        peak = attackWeight * peak;
    }
}

void VUMETER::updateMeter()
{
    // The meter consumes the maximum the audio thread collected since the previous take.
    const auto taken = static_cast<float>(display->takePeakLevel());
    if (taken > peak) peak = taken;

    // Whole steps only; the remainder carries over to the next call, so the release is
    // 0.434 dB per 25 ms whether the host calls idle 10 or 900 times a second.
    const uint32_t now = VSTGUI::platform::services().getTicks();
    const uint32_t steps = (now - lastStepTime) / kStepMilliseconds;
    lastStepTime += steps * kStepMilliseconds;
    for (uint32_t i = 0; i < std::min(steps, kMostStepsPerUpdate); ++i) advanceOneStep();

    const float decibels = level <= kSmallestNormal ? kFloorDecibels : 20 * std::log10(level);
    const float v = std::clamp((decibels - kBottomDecibels) * kScaleSpanReciprocal, 0.0f, 1.0f);
    const int32_t image = v > 0 ? static_cast<int32_t>((kImageCount - 1) * static_cast<double>(v) + 0.5) : 0;
    if (image == shownImage) return;
    shownImage = image;
    setValue(v);
    if (VSTGUI::CFrame* owner = getFrame()) owner->redrawView(this);
}
