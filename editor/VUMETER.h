// The editor's level meter: one image of a 73-image film strip, following the effect's
// output peak with attack and release smoothing on a scale from -24 dB to +12 dB.
#pragma once

#include <cstdint>

#include "framework/CMovieBitmap.h"

class EffectDisplay;

class VUMETER : public VSTGUI::CMovieBitmap {
public:
    static constexpr int32_t kImageCount = 73;
    // The ballistics advance once per step of this length, whatever the caller's rate.
    static constexpr uint32_t kStepMilliseconds = 25;

    // Throws std::invalid_argument without an effect's display.
    VUMETER(VSTGUI::CBitmap* filmStrip, int32_t x, int32_t y, EffectDisplay* display);

    // Takes the effect's peak, advances the ballistics by the 25 ms steps elapsed since
    // the previous advance (none, one or several) and redraws when the image changes.
    // [UI thread]
    void updateMeter();

    // The image shown, 0 (-24 dB and below) .. 72 (+12 dB and above).
    int32_t imageIndex() const { return shownImage; }
    float displayedLevel() const { return level; }

private:
    void advanceOneStep();

    EffectDisplay* display;
    float attackWeight;
    float releaseFactor;
    float level = 0;
    float peak = 0;
    uint32_t lastStepTime;
    int32_t shownImage = 0;
};
