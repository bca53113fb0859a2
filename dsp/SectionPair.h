#pragma once

#include "dsp/CIIR.h"

// The left and right sections of one stereo band; both always carry the same design.
struct SectionPair {
    CIIR left, right;

    void setSampleRate(int rate);
    void designPeak(double frequency, double gainDb, double q);
    void designLowShelf(double frequency, double gainDb, double q);
    void designHighShelf(double frequency, double gainDb, double q);
    // Per section: a changed state is stored and clears that section's history.
    void setEnabled(int state);
    void clearHistory();
};
