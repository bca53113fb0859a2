// Switches and values reach the sound without clicks: measured on the output the way a
// listener hears a click, as a jump of the signal or of its slope.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <iostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "effect/ParameterValues.h"
#include "tests/audio/EffectUnderTest.h"

namespace {

using audiotest::makeEffect;

constexpr int rate = 44100;
constexpr double twoPi = 6.283185307179586;
constexpr float minus6dB = 0.5011872f;

std::vector<float> sine(double hz, int n, float amplitude = minus6dB)
{
    std::vector<float> x(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) x[i] = static_cast<float>(amplitude * std::sin(twoPi * hz * i / rate));
    return x;
}

// Twelve random rows, row k renewed every 2^k samples, and fresh white on top: a spectrum
// that falls by about 3 dB an octave.
std::vector<float> pinkNoise(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> white(-1.0f, 1.0f);
    std::array<float, 12> rows{};
    float sum = 0;
    for (float& r : rows) sum += r = white(rng);
    std::vector<float> x(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int k = std::min(std::countr_zero(static_cast<unsigned>(i + 1)), 11);
        sum -= rows[k];
        sum += rows[k] = white(rng);
        x[i] = (sum + white(rng)) * 0.08f;
    }
    return x;
}

using Settings = std::vector<std::pair<int, float>>;

void apply(AKkk& fx, const Settings& settings)
{
    for (const auto& [index, value] : settings) fx.setParameterValue(index, value);
}

// Every band on, each of the gains at +9 dB: every switch and value changes the sound.
const Settings everyBandOn = {{11, 1.0f}, {12, 1.0f},  {13, 1.0f},  {14, 1.0f},  {15, 1.0f},  {16, 1.0f},  {17, 1.0f},
                              {18, 1.0f}, {27, 0.75f}, {28, 0.75f}, {29, 0.75f}, {30, 0.75f}, {31, 0.75f}, {32, 0.75f}};

struct Change {
    std::string what;
    Settings before, after;
};

// Bypass and each switch both ways, the cut bands into and out of edge mode, and every
// value from its minimum to its maximum.
std::vector<Change> everyChange()
{
    std::vector<Change> changes{{"bypass out", {{9, 1.0f}}, {{9, 0.0f}}}, {"bypass in", {{9, 0.0f}}, {{9, 1.0f}}}};
    for (int index = 11; index <= 18; ++index) {
        changes.push_back({"switch " + std::to_string(index) + " off", {}, {{index, 0.0f}}});
        changes.push_back({"switch " + std::to_string(index) + " on", {{index, 0.0f}}, {{index, 1.0f}}});
    }
    for (int index : {33, 39}) {
        changes.push_back({"edge mode " + std::to_string(index) + " on", {{index, 0.9f}}, {{index, 1.0f}}});
        changes.push_back({"edge mode " + std::to_string(index) + " off", {{index, 1.0f}}, {{index, 0.9f}}});
    }
    for (int index = 19; index <= 40; ++index)
        changes.push_back({"value " + std::to_string(index) + " min to max", {{index, 0.0f}}, {{index, 1.0f}}});
    changes.push_back({"output gain min to max", {{10, 0.0f}}, {{10, 1.0f}}});
    return changes;
}

// Left output of the effect over `input`, in blocks of `block`, with `events` applied
// before the block that starts at their sample (a multiple of the block size); in place
// (the outputs are the inputs) when asked.
using Events = std::vector<std::pair<int, Settings>>;
std::vector<float> render(AKkk& fx, const std::vector<float>& input, int block, const Events& events,
                          bool inPlace = false)
{
    const int n = static_cast<int>(input.size());
    std::vector<float> inL(input), inR(input), outL(input.size()), outR(input.size());
    for (int start = 0; start < n; start += block) {
        for (const auto& [at, settings] : events) {
            if (at == start) apply(fx, settings);
        }
        const int count = std::min(block, n - start);
        float* in[2] = {inL.data() + start, inR.data() + start};
        float* out[2] = {outL.data() + start, outR.data() + start};
        fx.processBlock(in, inPlace ? in : out, count);
    }
    return inPlace ? inL : outL;
}

std::unique_ptr<AKkk> effectWith(const Settings& a, const Settings& b = {})
{
    auto fx = makeEffect();
    apply(*fx, everyBandOn);
    apply(*fx, a);
    apply(*fx, b);
    return fx;
}

double largestStep(const std::vector<float>& y, int from, int to)
{
    double m = 0;
    for (int i = std::max(from, 1); i < to; ++i) m = std::max(m, std::fabs(static_cast<double>(y[i]) - y[i - 1]));
    return m;
}

double largestSecondDifference(const std::vector<float>& y, int from, int to)
{
    double m = 0;
    for (int i = std::max(from, 2); i < to; ++i)
        m = std::max(m, std::fabs(static_cast<double>(y[i]) - 2.0 * y[i - 1] + y[i - 2]));
    return m;
}

constexpr int aroundHalf = rate / 40;  // 25 ms each side of the change
constexpr int settled = static_cast<int>((chainWarmSeconds + chainFadeSeconds) * rate) + rate / 5;  // and 200 ms
constexpr int changeAt = 3 * 4096;
constexpr int length = 7 * 4096;
// Where the output is steady before the change: 250 ms up to the 50 ms around it.
constexpr int steadyFrom = changeAt - 10 * aroundHalf;
static_assert(steadyFrom >= 0 && changeAt + settled < length - 4096);

struct Signal {
    std::string name;
    std::vector<float> samples;
};

std::vector<Signal> testSignals()
{
    return {{"100 Hz", sine(100, length)},
            {"1 kHz", sine(1000, length)},
            {"10 kHz", sine(10000, length)},
            {"pink noise", pinkNoise(length, 5)}};
}

// The largest step and second difference in the 50 ms around a change stay within this
// share of the larger of their steady figures before and after it.
constexpr double clickBound = 1.25;

// The largest difference of two outputs after the change has settled, in dB relative to
// the peak of the second.
double settledDifference(const std::vector<float>& y, const std::vector<float>& want)
{
    double difference = 0, level = 0;
    for (int i = changeAt + settled; i < length; ++i) {
        difference = std::max(difference, std::fabs(static_cast<double>(y[i]) - want[i]));
        level = std::max(level, std::fabs(static_cast<double>(want[i])));
    }
    return 20.0 * std::log10(difference / level + 1e-30);
}

// Two chains with the same settings and input but different pasts converge only down to
// the rounding of their float outputs, which a section with its poles close to the unit
// circle (LowCut at 60 Hz, more so in edge mode) amplifies a hundredfold: two instances
// that heard different noise before differ by -86 to -112 dB of their peak 200 ms after
// they start hearing the same. A change must settle as far as that, with some margin; one
// that had not settled would be at -60 dB or above.
constexpr double settledBound = -80.0;

// Each change at a block boundary: no click around it, and once it has settled the sound
// of an instance that had the new settings all along.
TEST(SmoothChanges, EveryChangeIsWithoutClickAndSettlesToTheNewSettings)
{
    double worstStep = 0, worstKink = 0, worstSettled = -400;
    std::string worstStepWhat, worstKinkWhat, worstSettledWhat;
    for (const Signal& signal : testSignals()) {
        for (const Change& change : everyChange()) {
            const std::string what = change.what + " on " + signal.name;
            const auto y = render(*effectWith(change.before), signal.samples, 512, {{changeAt, change.after}});
            const int aroundFrom = changeAt - aroundHalf, aroundTo = changeAt + aroundHalf;
            const double steadyStep =
                std::max(largestStep(y, steadyFrom, aroundFrom), largestStep(y, changeAt + settled, length));
            const double steadyKink = std::max(largestSecondDifference(y, steadyFrom, aroundFrom),
                                               largestSecondDifference(y, changeAt + settled, length));
            const double step = largestStep(y, aroundFrom, aroundTo) / steadyStep;
            const double kink = largestSecondDifference(y, aroundFrom, aroundTo) / steadyKink;
            EXPECT_LE(step, clickBound) << what;
            EXPECT_LE(kink, clickBound) << what;
            if (step > worstStep) worstStep = step, worstStepWhat = what;
            if (kink > worstKink) worstKink = kink, worstKinkWhat = what;

            const auto want = render(*effectWith(change.before, change.after), signal.samples, 512, {});
            const double dB = settledDifference(y, want);
            EXPECT_LE(dB, settledBound) << what;
            if (dB > worstSettled) worstSettled = dB, worstSettledWhat = what;
        }
    }
    std::cout << "largest step " << worstStep << " x the steady one (" << worstStepWhat << "), second difference "
              << worstKink << " x (" << worstKinkWhat << "); largest difference from the new settings' output "
              << worstSettled << " dB re its peak (" << worstSettledWhat << ")\n";
}

TEST(SmoothChanges, TheOutputDoesNotDependOnHowTheHostCutsItsBlocks)
{
    Events events;
    int at = 4096;
    for (const Change& change : everyChange()) {
        events.push_back({at, change.after});
        events.push_back({at + 4096, change.before});
        at += 2 * 4096;
    }
    const auto input = pinkNoise(at + 4096, 9);
    std::vector<float> first;
    for (const int block : {4096, 512, 32, 1}) {
        auto fx = effectWith({});
        const auto y = render(*fx, input, block, events);
        if (first.empty())
            first = y;
        else
            ASSERT_EQ(y, first) << "blocks of " << block;
    }
    auto inPlace = effectWith({});
    EXPECT_EQ(render(*inPlace, input, 512, events, true), first) << "in place";
}

TEST(SmoothChanges, ChangesBeforeAnyAudioSinceAResumeApplyAtOnce)
{
    const auto input = pinkNoise(4096, 3);
    const Settings settings = {{9, 1.0f}, {10, 0.8f}, {13, 0.0f}, {21, 0.3f}, {33, 1.0f}};
    const auto want = render(*effectWith(settings), input, 512, {});

    // Changed after the resume that follows audio, and after a suspend before the resume.
    auto afterResume = effectWith({});
    render(*afterResume, input, 512, {});
    afterResume->resumeProcessing();
    apply(*afterResume, settings);
    EXPECT_EQ(render(*afterResume, input, 512, {}), want);

    auto whileSuspended = effectWith({});
    render(*whileSuspended, input, 512, {});
    apply(*whileSuspended, settings);
    whileSuspended->resumeProcessing();
    EXPECT_EQ(render(*whileSuspended, input, 512, {}), want);

    // A block of no samples is no audio.
    auto emptyBlock = effectWith({});
    float* none[2] = {nullptr, nullptr};
    emptyBlock->processBlock(none, none, 0);
    apply(*emptyBlock, settings);
    EXPECT_EQ(render(*emptyBlock, input, 512, {}), want);
}

// A host automating a random parameter to a random value (switches to off or on) before
// every 32-sample block, for 10 s of a 997 Hz tone at 48 kHz. The tone's own step at the
// output is at most its local peak times 2 sin(pi 997 / 48000); no step may go beyond that
// by more than the click bound. The largest step is reported as the validator reports it.
TEST(SmoothChanges, RandomAutomationEvery32SamplesMakesNoStepBeyondTheTonesOwn)
{
    constexpr int automationRate = 48000, block = 32, blocks = 10 * automationRate / block;
    constexpr double hz = 997.0;
    auto fx = makeEffect();
    fx->changeSampleRate(static_cast<float>(automationRate));
    fx->resumeProcessing();
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    std::vector<float> y(static_cast<size_t>(blocks) * block);
    std::vector<float> inL(block), inR(block);
    for (int b = 0; b < blocks; ++b) {
        const int index = 3 + static_cast<int>(rng() % 38);
        fx->setParameterValue(index, audiotest::isSwitch(index) ? static_cast<float>(rng() % 2) : value(rng));
        for (int i = 0; i < block; ++i)
            inL[i] = inR[i] = static_cast<float>(0.5 * std::sin(twoPi * hz * (b * block + i) / automationRate));
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {y.data() + b * block, inR.data()};
        fx->processBlock(in, out, block);
    }
    const double tonesStep = 2.0 * std::sin(twoPi / 2.0 * hz / automationRate);
    const int period = static_cast<int>(automationRate / hz) + 1;
    const int n = static_cast<int>(y.size());
    double largest = 0, worstRatio = 0;
    for (int i = 1; i < n; ++i) {
        const double step = std::fabs(static_cast<double>(y[i]) - y[i - 1]);
        ASSERT_TRUE(std::isfinite(step)) << i;
        largest = std::max(largest, step);
        double peak = 1e-9;
        for (int j = std::max(0, i - period); j < std::min(n, i + period); ++j)
            peak = std::max(peak, std::fabs(static_cast<double>(y[j])));
        worstRatio = std::max(worstRatio, step / (tonesStep * peak));
    }
    std::cout << "largest step " << largest << ", " << worstRatio << " x the tone's own at its level\n";
    EXPECT_LE(worstRatio, clickBound);
}

TEST(SmoothChanges, TheResponseShowsTheNewDesignWhileTheSoundStillFades)
{
    const Settings change = {{28, 0.0f}, {21, 0.8f}, {15, 0.0f}};
    auto fading = effectWith({});
    const auto input = pinkNoise(4096, 4);
    render(*fading, input, 512, {});
    apply(*fading, change);
    render(*fading, std::vector<float>(input.begin(), input.begin() + 64), 64, {});  // the fade has begun
    fading->measureResponse();
    auto target = effectWith(change);
    target->measureResponse();
    const float* measured = fading->responseBins();
    EXPECT_EQ(std::vector<float>(measured, measured + SpectrumAnalyser::binCount),
              std::vector<float>(target->responseBins(), target->responseBins() + SpectrumAnalyser::binCount));
}

// The energy above 6 kHz in dB (0 dB: a full-scale square wave), through eight high-pass
// sections at 6 kHz that bring a 1 kHz tone down by far more than 200 dB.
double energyAbove6kHz(const std::vector<float>& y)
{
    std::vector<float> a(y), b(y.size());
    for (int k = 0; k < 8; ++k) {
        CIIR highPass;
        highPass.setSampleRate(rate);
        highPass.designHighPass(6000.0, 0.7071);
        highPass.process(b.data(), a.data(), static_cast<int>(a.size()));
        a.swap(b);
    }
    double sum = 0;
    const int from = rate / 10;  // past the measuring filters' own start
    for (size_t i = from; i < a.size(); ++i) sum += static_cast<double>(a[i]) * a[i];
    return 10.0 * std::log10(sum / static_cast<double>(a.size() - from) + 1e-300);
}

// A Peak1 value automated once per 512-sample block, and the same automation followed
// sample by sample by a plain section redesigned on every sample as the reference.
struct Automation {
    int index;
    std::vector<float> (*values)(int n);  // the automated normalised value at every sample
};

std::vector<float> frequencySweep(int n)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[i] = static_cast<float>(i) / static_cast<float>(n);
    return v;
}

// Between -18 and +18 dB every block, ramped sample by sample in the reference.
std::vector<float> gainJumps(int n)
{
    std::vector<float> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double phase = std::fmod(static_cast<double>(i) / 512.0, 2.0);
        v[i] = static_cast<float>(phase < 1.0 ? phase : 2.0 - phase);
    }
    return v;
}

TEST(SmoothChanges, BlockAutomationAddsLittleMoreHashThanTheSameChangesEverySample)
{
    const int n = 4 * rate;
    const auto tone = sine(1000, n, 0.25118864f);  // -12 dBFS
    const double atOneKilohertz = realToNormalized(1000.0, 21);
    for (const Automation automation : {Automation{21, frequencySweep}, Automation{28, gainJumps}}) {
        const auto values = automation.values(n);
        auto fx = effectWith({{21, static_cast<float>(atOneKilohertz)},
                              {28, 1.0f},
                              {12, 0.0f},
                              {14, 0.0f},
                              {15, 0.0f},
                              {16, 0.0f},
                              {17, 0.0f},
                              {18, 0.0f},
                              {11, 0.0f}});
        Events events;
        for (int start = 0; start < n; start += 512) events.push_back({start, {{automation.index, values[start]}}});
        const auto y = render(*fx, tone, 512, events);

        CIIR reference;
        reference.setSampleRate(rate);
        std::vector<float> want(tone.size());
        for (int i = 0; i < n; ++i) {
            const bool sweep = automation.index == 21;
            const double hz = normalizedToReal(sweep ? values[i] : atOneKilohertz, 21);
            const double dB = sweep ? 18.0 : -18.0 + 36.0 * values[i];
            reference.designPeak(hz, dB, fx->designerState().peak1.left.q);
            reference.process(&want[i], &tone[i], 1);
        }
        const double blockwise = energyAbove6kHz(y), everySample = energyAbove6kHz(want);
        std::cout << "parameter " << automation.index << ": " << blockwise << " dB above 6 kHz per block, "
                  << everySample << " dB every sample\n";
        EXPECT_LE(blockwise, everySample + 10.0) << "parameter " << automation.index;
    }
}

}  // namespace
