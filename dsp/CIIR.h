#pragma once

#include <cstdint>

// The kinds of second-order section a band can be designed as. The codes are the ones
// stored in a section's `type` field and passed to `CIIR::design`.
enum class FilterType : int32_t { LowPass = 0, HighPass, BandPass, BandPassSkirt, Peak, Notch, LowShelf, HighShelf };

// One biquad section for one audio channel: sample rate, last design, normalised
// coefficients and sample history. A plain copyable value; the response measurement runs
// on copies of the live sections.
class CIIR {
public:
    CIIR();
    CIIR(const CIIR&) = default;
    CIIR& operator=(const CIIR&) = default;
    virtual ~CIIR() = default;

    // Stores the rate (rates below 1 Hz are ignored), redesigns with the stored settings
    // and clears the history.
    void setSampleRate(int rate);
    // Designs by type code, then clears the history. An unknown code only clears it.
    void design(int type, double frequency, double q, double gain);

    // The per-type designs keep the history, so a redesign while audio runs keeps the state.
    void designLowPass(double frequency, double q);
    void designHighPass(double frequency, double q);
    void designBandPass(double frequency, double q);
    void designBandPassSkirt(double frequency, double q);
    void designNotch(double frequency, double q);
    void designPeak(double frequency, double gainDb, double q);
    void designLowShelf(double frequency, double gainDb, double slope);
    void designHighShelf(double frequency, double gainDb, double slope);

    // The plain section formula: filters count samples of in into out, which must be
    // distinct buffers; a disabled section copies. This is the reference that the fast
    // stereo path (StereoCascade.h) reproduces bit for bit.
    void process(float* out, const float* in, int count);
    void clearHistory();

    // True when every history value is finite; a section fed with NaN or infinity stops
    // being so and is reset at the end of the block.
    bool historyIsFinite() const;

    double sampleRate;
    int32_t enabled;
    int32_t type;
    double frequency;
    double gain;
    double q;
    double nb0, nb1, nb2, na1, na2;
    double x2, x1, y2, y1;

private:
    struct Terms {
        double c, s, alpha;
    };
    // Stores type, frequency and Q and answers cos w0, sin w0 and alpha.
    Terms beginDesign(FilterType designType, double f, double designQ);
    void designShelf(FilterType shelfType, double f, double gainDb, double slope);
    void setCoefficients(double b0, double b1, double b2, double a0, double a1, double a2);
};

// The largest frequency, as a share of the sample rate, that a design uses. Band
// frequencies above it (possible at low sample rates) are designed at it, which keeps
// every section stable; at 44100 Hz and above no band reaches it.
inline constexpr double maxDesignFrequencyRatio = 0.49;
