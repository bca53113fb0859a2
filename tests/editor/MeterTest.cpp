// The level meter's ballistics against the virtual clock of the headless back end.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "editor/VUMETER.h"
#include "framework/CBitmap.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tools/editor-snapshot/ScriptedDisplay.h"

namespace {

constexpr int32_t kMeterStrip = 133;

class Meter : public ::testing::Test {
protected:
    void SetUp() override
    {
        VSTGUI::headless::reset();
        strip = new VSTGUI::CBitmap(kMeterStrip);
        meter = std::make_unique<VUMETER>(strip, 590, 54, &display);
    }
    void TearDown() override
    {
        meter.reset();
        strip->release();
    }

    // One update after the given time, with the audio thread's peak since the last one.
    void update(uint32_t afterMilliseconds, double peakLevel)
    {
        VSTGUI::headless::advanceTime(afterMilliseconds);
        display.peakLevel = peakLevel;
        meter->updateMeter();
    }

    double displayedDecibels() const { return 20 * std::log10(static_cast<double>(meter->displayedLevel())); }

    editortest::ScriptedDisplay display;
    VSTGUI::CBitmap* strip = nullptr;
    std::unique_ptr<VUMETER> meter;
};

TEST_F(Meter, SitsOnTheStripAndNeedsAnEffect)
{
    EXPECT_EQ(meter->getBounds(), (VSTGUI::Rect{590, 54, 690, 97}));
    EXPECT_EQ(meter->getTag(), -1);
    EXPECT_THROW(VUMETER(strip, 0, 0, nullptr), std::invalid_argument);
}

TEST_F(Meter, FullScaleSettlesAtZeroDecibelsImage48)
{
    for (int i = 0; i < 200; ++i) update(25, 1.0);
    EXPECT_NEAR(meter->displayedLevel(), 1.0f, 1e-4f);
    EXPECT_EQ(meter->imageIndex(), 48);
    EXPECT_EQ(display.peakLevel, 0.0) << "the meter consumes the collected peak";
}

TEST_F(Meter, ScaleEndsAtPlusTwelveAndMinusTwentyFourDecibels)
{
    for (int i = 0; i < 200; ++i) update(25, 4.0);
    EXPECT_EQ(meter->imageIndex(), 72);
    for (int i = 0; i < 400; ++i) update(25, 0.06);
    EXPECT_EQ(meter->imageIndex(), 0);
}

// The release is a property of time, not of how often the host calls idle.
TEST_F(Meter, SilenceFallsAt0434DecibelsPer25MillisecondsAtAnyIdleRate)
{
    for (const uint32_t interval : {1u, 4u, 10u, 25u, 40u, 100u}) {
        SCOPED_TRACE(interval);
        meter = std::make_unique<VUMETER>(strip, 590, 54, &display);
        for (int i = 0; i < 200; ++i) update(25, 1.0);
        // From the first silent step on the level lies above the held peak, so only the
        // release acts.
        update(25, 0.0);
        const double start = displayedDecibels();
        for (uint32_t elapsed = 0; elapsed < 1000; elapsed += interval) update(interval, 0.0);
        EXPECT_NEAR(displayedDecibels() - start, -0.4342945 * (1000.0 / 25.0), 1e-3);
    }
}

TEST_F(Meter, CallsFasterThanTheStepDoNotMoveTheLevelButKeepThePeak)
{
    update(10, 1.0);
    EXPECT_EQ(meter->displayedLevel(), 0.0f);
    update(10, 0.0);
    update(10, 0.0);  // 30 ms: the first step, with the peak seen 20 ms earlier
    EXPECT_NEAR(meter->displayedLevel(), 1.0f - std::exp(-0.5f), 1e-6f);
}

}  // namespace
