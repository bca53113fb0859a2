#include "effect/DisplayFormats.h"

#include <cstdio>

// Every text is bounded by the display buffer, whatever value arrives: a float far outside
// the table's ranges would otherwise print dozens of digits.

void formatDecibels(float x, char* text)
{
    if (x < -160) {
        std::snprintf(text, kDisplayTextSize, "%s", "-oo dB");
    } else if (x > 160) {
        std::snprintf(text, kDisplayTextSize, "%s", "oo dB");
    } else {
        std::snprintf(text, kDisplayTextSize, "%.1fdB", static_cast<double>(x));
    }
}

void formatFrequency(float x, char* text)
{
    const double hz = x;
    if (hz < 100) {
        std::snprintf(text, kDisplayTextSize, "%.1fHz", hz);
    } else if (hz < 1000) {
        std::snprintf(text, kDisplayTextSize, "%.0fHz", hz);
    } else if (hz < 10000) {
        std::snprintf(text, kDisplayTextSize, "%.2fkHz", hz * 0.001);
    } else {
        std::snprintf(text, kDisplayTextSize, "%.1fkHz", hz * 0.001);
    }
}

void formatNumber(float x, char* text)
{
    const double v = x;
    if (v == 0) {
        std::snprintf(text, kDisplayTextSize, "%s", "0.00");
    } else if (v < 0.1) {
        std::snprintf(text, kDisplayTextSize, "%.3f", v);
    } else if (v < 1) {
        std::snprintf(text, kDisplayTextSize, "%.2f", v);
    } else if (v < 10) {
        std::snprintf(text, kDisplayTextSize, "%.1f", v);
    } else {
        std::snprintf(text, kDisplayTextSize, "%.0f", v);
    }
}

void formatCutQ(float x, char* text)
{
    if (x < 0.79) {
        std::snprintf(text, kDisplayTextSize, "%.2f", static_cast<double>(x));
    } else {
        std::snprintf(text, kDisplayTextSize, "%s", "Edge");
    }
}
