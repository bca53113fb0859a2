#include "dsp/SectionPair.h"

#include <initializer_list>

void SectionPair::setSampleRate(int rate)
{
    left.setSampleRate(rate);
    right.setSampleRate(rate);
}

void SectionPair::designPeak(double frequency, double gainDb, double q)
{
    left.designPeak(frequency, gainDb, q);
    right.designPeak(frequency, gainDb, q);
}

void SectionPair::designLowShelf(double frequency, double gainDb, double q)
{
    left.designLowShelf(frequency, gainDb, q);
    right.designLowShelf(frequency, gainDb, q);
}

void SectionPair::designHighShelf(double frequency, double gainDb, double q)
{
    left.designHighShelf(frequency, gainDb, q);
    right.designHighShelf(frequency, gainDb, q);
}

void SectionPair::setEnabled(int state)
{
    for (CIIR* section : {&left, &right}) {
        if (section->enabled != state) {
            section->enabled = state;
            section->clearHistory();
        }
    }
}

void SectionPair::clearHistory()
{
    left.clearHistory();
    right.clearHistory();
}
