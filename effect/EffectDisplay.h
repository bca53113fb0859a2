// What the effect offers whatever shows its state: an editor, a snapshot, a host's meter.
// The effect declares it and implements it; a front end knows the effect only through it
// (and changes parameters through its plug-in format), so any format can carry the same
// front end and the effect's members stay its own.
#pragma once

#include <cstdint>

#include "effect/ThreadTags.h"

// The two spectra the graph shows: the signal before and after the equaliser.
enum class Spectrum { pre, post };

class EffectDisplay {
public:
    // Makes the analysers a graph needs unless they exist, and answers whether they do:
    // an effect makes them only for its first editor, and without them (memory ran out)
    // there is no graph to show. An editor calls it as its window opens. A display whose
    // analysers always exist need not make them. [UI thread]
    virtual bool makeAnalysers() { return hasAnalysers(); }
    // Whether the analysers exist; until they do there are no spectra to take and no
    // response bins. [any thread]
    virtual bool hasAnalysers() const = 0;
    // Whether the PRE or POST switch shows that spectrum. [any thread]
    virtual bool spectrumShown(Spectrum which) const = 0;
    // If the analyser holds a spectrum not yet taken, copies its bins (binCount powers)
    // into bins and answers true; otherwise answers false and leaves bins alone. [UI thread]
    virtual bool takeSpectrum(Spectrum which, float* bins) = 0;
    // Empties both spectra, so that a graph starts from silence. [UI thread]
    virtual void resetSpectra() = 0;

    // Measures the equaliser's response now. [UI thread]
    virtual void measureResponse() = 0;
    // Measures the response if a design has been published since the last measurement;
    // answers whether it did. [UI thread]
    virtual bool updateResponseGraph() = 0;
    // The power bins of the last measurement, or null without a response analyser.
    // [UI thread]
    virtual const float* responseBins() const = 0;

    // The largest output magnitude since the last take, and 0 from then on. [UI thread]
    virtual double takePeakLevel() = 0;
    // A window opened (true) or one that opened closed (false): while any window is open
    // the audio thread collects the peak level. Calls come in pairs. [UI thread]
    virtual void setWindowOpen(bool open) = 0;
    // The graph is ready: the audio thread feeds the analysers from now on while the
    // window is open. [UI thread]
    virtual void wantAnalysers() = 0;
    virtual bool analysersWanted() const = 0;  // [any thread]

    // The normalised value (0..1) of parameter index. [any thread]
    virtual double currentValue(int32_t index) const = 0;
    // The rate the effect runs at, in whole hertz. [any thread]
    virtual int32_t getSampleRateHz() const = 0;
    // The full path of the plug-in's library file; empty when it could not be read.
    virtual const char* getModulePath() const = 0;

protected:
    EffectDisplay() = default;
    ~EffectDisplay() = default;
    EffectDisplay(const EffectDisplay&) = default;
    EffectDisplay& operator=(const EffectDisplay&) = default;
};
