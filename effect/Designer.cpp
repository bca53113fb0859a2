// The designer: turns stored parameter values into band designs, gains and switches, and
// publishes each complete design to the audio thread and the response measurement.
#include <atomic>
#include <cmath>

#include "dsp/Levels.h"
#include "effect/AKkk.h"
#include "effect/ParameterValues.h"

namespace {

int32_t truncated(double x) { return static_cast<int32_t>(std::trunc(x)); }

// What a band's design is made of; a cut band has no gain.
struct BandSettings {
    double frequency, gain, q;
};

BandSettings settingsOf(const CutFilter& filter) { return {filter.frequency, 0, filter.q}; }
BandSettings settingsOf(const SectionPair& pair) { return {pair.left.frequency, pair.left.gain, pair.left.q}; }

void design(CutFilter& filter, BandDesign kind, const BandSettings& s)
{
    if (kind == BandDesign::LowCut) {
        filter.designLowCut(s.frequency, s.q);
    } else {
        filter.designHighCut(s.frequency, s.q);
    }
}

void design(SectionPair& pair, BandDesign kind, const BandSettings& s)
{
    switch (kind) {
    case BandDesign::LowShelf: pair.designLowShelf(s.frequency, s.gain, s.q); break;
    case BandDesign::Peak: pair.designPeak(s.frequency, s.gain, s.q); break;
    default: pair.designHighShelf(s.frequency, s.gain, s.q); break;  // HighShelf and Balance
    }
}

}  // namespace

void AKkk::requestDesign(uint64_t bits)
{
    // Sequentially consistent throughout: a thread whose compare-exchange fails has put its
    // bits in before the designer clears `designing` and looks at pendingChanges again.
    pendingChanges.fetch_or(bits);
    for (;;) {
        bool idle = false;
        if (!designing.compare_exchange_strong(idle, true)) return;
        for (uint64_t batch = pendingChanges.exchange(0); batch != 0; batch = pendingChanges.exchange(0)) {
            applyChanges(batch);
        }
        designing.store(false);
        if (pendingChanges.load() == 0) return;
    }
}

void AKkk::applyChanges(uint64_t bits)
{
    if ((bits & kSampleRateChange) != 0) {
        const int32_t hz = sampleRateHz.load(std::memory_order_relaxed);
        for (const BandRow& row : bandTable) withBand(row.band, [&](auto& filter) { filter.setSampleRate(hz); });
    }
    for (int32_t index = 0; index < kNumParameters; ++index) {
        if ((bits & parameterChange(index)) != 0) applyParameter(index, normalizedToReal(currentValue(index), index));
    }
    if ((bits & kClearHistories) != 0) {
        for (const BandRow& row : bandTable) withBand(row.band, [](auto& filter) { filter.clearHistory(); });
    }
    // After a resume nothing has been heard yet, and a new rate makes the old sound moot:
    // the audio thread clears its histories and applies the design at once, without a fade.
    if ((bits & (kClearHistories | kSampleRateChange)) != 0) chain.startAfresh();
    chain.publish(eqActive != 0, outputGain, balanceMakeup);
    responseDesigns.writeSlot() = chain.currentDesign(true, 1.0, balanceMakeup);
    responseDesigns.publish();
    designCount.fetch_add(1, std::memory_order_release);
}

void AKkk::applyParameter(int32_t index, double x)
{
    // Setting either analyser switch starts each shown spectrum afresh, the switched one first.
    const auto resetShownAnalysers = [this](Spectrum first, Spectrum second) {
        for (const Spectrum which : {first, second}) {
            SpectrumAnalyser* analyser = analyserOf(which);
            if (spectrumShown(which) && analyser != nullptr) analyser->reset();
        }
    };
    switch (index) {
    case kPreAnalyserParameter:
        preAnalyserOn = truncated(currentValue(index));
        resetShownAnalysers(Spectrum::pre, Spectrum::post);
        break;
    case kPostAnalyserParameter:
        postAnalyserOn = truncated(currentValue(index));
        resetShownAnalysers(Spectrum::post, Spectrum::pre);
        break;
    case kBypassParameter: eqActive = truncated(x); break;
    case kOutputGainParameter: outputGain = std::pow(levels::kDecibelBase, x); break;
    default:
        for (const BandRow& row : bandTable) {
            if (drivesBand(row, index)) applyToBand(row, index, x);
        }
        break;
    }
}

void AKkk::applyToBand(const BandRow& row, int32_t index, double x)
{
    withBand(row.band, [&](auto& filter) {
        if (index == row.enabled) {
            filter.setEnabled(truncated(x));
            return;
        }
        BandSettings settings = settingsOf(filter);
        if (index == row.frequency) settings.frequency = x;
        if (index == row.gain) settings.gain = x;
        if (index == row.q) settings.q = x;
        design(filter, row.design, settings);
    });
    // Balance tilts around its frequency: half its gain comes off the whole signal.
    if (row.design == BandDesign::Balance && index == row.gain)
        balanceMakeup = std::pow(levels::kDecibelBase, -0.5 * x);
}
