#include "effect/DisplayFormats.h"

#include <cstdio>

namespace {

// Every text is bounded by the display buffer, whatever value arrives.
template <typename... Args>
void write(char* text, const char* format, Args... args) {
    std::snprintf(text, kDisplayTextSize, format, args...);
}

}  // namespace

void formatDecibels(float x, char* text) {
    if (x < -160) {
        write(text, "-oo dB");
    } else if (x > 160) {
        write(text, "oo dB");
    } else {
        write(text, "%.1fdB", static_cast<double>(x));
    }
}

void formatFrequency(float x, char* text) {
    const double hz = x;
    if (hz < 100) {
        write(text, "%.1fHz", hz);
    } else if (hz < 1000) {
        write(text, "%.0fHz", hz);
    } else if (hz < 10000) {
        write(text, "%.2fkHz", hz * 0.001);
    } else {
        write(text, "%.1fkHz", hz * 0.001);
    }
}

void formatNumber(float x, char* text) {
    const double v = x;
    if (v == 0) {
        write(text, "0.00");
    } else if (v < 0.1) {
        write(text, "%.3f", v);
    } else if (v < 1) {
        write(text, "%.2f", v);
    } else if (v < 10) {
        write(text, "%.1f", v);
    } else {
        write(text, "%.0f", v);
    }
}

void formatCutQ(float x, char* text) {
    if (x < 0.79) {
        write(text, "%.2f", static_cast<double>(x));
    } else {
        write(text, "Edge");
    }
}
