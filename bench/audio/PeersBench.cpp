// Tolvan beside the equalisers a Linux musician can install, each loaded as a host loads
// it: a VST2 library opened, the plug-in created through its entry point, set up through
// its parameters and driven through its processing call; an LV2 plug-in found through
// lilv, set up through its control ports and run. Tolvan runs in both formats. Peers that
// are not installed are skipped. Settings (about eight bands each, cuts at 24 dB per
// octave where the plug-in has them): docs/performance.md.
//
// The contenders run interleaved in random order; at the end the medians of processor time
// per stereo sample and the ratio of Tolvan to each peer are printed by block size, and
// the heap memory that one instance of each took.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/audio/Lv2Peer.h"
#include "effect/PluginInterface.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/PluginLibrary.h"
#include "tools/hosting/RecordingHost.h"

namespace {

constexpr int rate = 48000;
constexpr int blockSizes[] = {32, 512, 4096};
// Host-callback opcodes that some peers ask while they start.
constexpr int32_t audioMasterGetSampleRate = 16;
constexpr int32_t audioMasterGetBlockSize = 17;

int currentBlockSize = 512;

intptr_t host(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    switch (opcode) {
    case audioMasterGetSampleRate: return rate;
    case audioMasterGetBlockSize: return currentBlockSize;
    default: return hosting::quietHost(effect, opcode, index, value, ptr, opt);
    }
}

// One plug-in instance in its own library handle.
class Instance {
public:
    static std::unique_ptr<Instance> load(const std::string& path, int blockSize)
    {
        auto library = std::make_unique<hosting::PluginLibrary>(path);
        const hosting::EntryPoint entry = library->hostEntry();
        AEffect* effect = entry != nullptr ? entry(host) : nullptr;
        if (effect == nullptr || effect->magic != kEffectMagic) return nullptr;
        return std::unique_ptr<Instance>(new Instance(std::move(library), effect, blockSize));
    }

    ~Instance() { effect.suspend(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    void set(int32_t index, float value) { effect.set(index, value); }
    std::string display(int32_t index)
    {
        char text[256] = {};
        effect.dispatch(effGetParamDisplay, index, 0, text);
        return text;
    }
    // Parameters are set; processing starts.
    void resume()
    {
        effect.resume();
        effect.startProcess();
    }
    void process(float** in, float** out, int count) { effect.process(in, out, count); }
    int inputs() const { return effect->numInputs; }

private:
    Instance(std::unique_ptr<hosting::PluginLibrary> lib, AEffect* fx, int blockSize)
        : library(std::move(lib)), effect(fx)
    {
        effect.open();
        effect.setSampleRate(static_cast<float>(rate));
        effect.setBlockSize(blockSize);
    }

    // Declared first, so that the effect is closed before its library is let go.
    std::unique_ptr<hosting::PluginLibrary> library;
    hosting::HostedEffect effect;
};

// A contender: its instances and how a stereo block runs through them.
struct Contender {
    // An LV2 plug-in, or else VST2 instances.
    std::unique_ptr<peers::Lv2Instance> lv2;
    std::vector<std::unique_ptr<Instance>> instances;
    // Stereo plug-ins: one instance. Mono ones: a chain of instances per channel, the
    // first half for the left channel, the second for the right.
    bool mono = false;
    std::vector<float> scratch;

    void process(float** in, float** out, int count)
    {
        if (lv2) {
            lv2->process(in, out, count);
            return;
        }
        if (!mono) {
            instances[0]->process(in, out, count);
            return;
        }
        const size_t perChannel = instances.size() / 2;
        for (int c = 0; c < 2; ++c) {
            float* source = in[c];
            for (size_t k = 0; k < perChannel; ++k) {
                // In and out are distinct buffers for every instance.
                float* target = k % 2 == perChannel % 2 ? scratch.data() : out[c];
                float* i[] = {source};
                float* o[] = {target};
                instances[c * perChannel + k]->process(i, o, count);
                source = target;
            }
        }
    }
};

const std::string tolvanPath = TOLVAN_PLUGIN_PATH;

// The first of the paths that exists, or empty, and the peer then says it is skipped.
std::string installed(const char* name, const std::vector<std::string>& candidates)
{
    for (const std::string& path : candidates) {
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            return path;
        }
    }
    std::fprintf(stderr, "%s: not in %s; skipped\n", name, candidates.front().c_str());
    return {};
}

// Every band on, both cut filters in edge mode (24 dB per octave): ten sections a channel.
bool setUpTolvan(Contender& c, int blockSize)
{
    auto fx = Instance::load(tolvanPath, blockSize);
    if (!fx) return false;
    for (int index = 11; index <= 18; ++index) fx->set(index, 1.0f);
    for (int index = 27; index <= 32; ++index) fx->set(index, 0.75f);
    fx->set(33, 1.0f);
    fx->set(39, 1.0f);
    fx->resume();
    c.instances.push_back(std::move(fx));
    return true;
}

// LSP's parametric equaliser: eight of its sixteen filters in the recursive (IIR) mode
// with the RLC bilinear filters: a high-pass at 40 Hz and a low-pass at 16 kHz at slope x2
// (24 dB per octave), a low shelf, three bells and two high shelves at +-6 dB.
bool setUpLsp(Contender& c, int blockSize)
{
    const std::string path = installed("LSP x16", {"/usr/lib/vst/lsp-plugins/para-equalizer-x16-stereo.so",
                                                   "/usr/local/lib/vst/lsp-plugins/para-equalizer-x16-stereo.so"});
    auto fx = path.empty() ? nullptr : Instance::load(path, blockSize);
    if (!fx) return false;
    // Filter k's parameters start at 13 + 9 k: type, mode, slope, solo, mute, frequency,
    // gain, Q. The values below pick the types by the plug-in's own step display.
    struct Filter {
        float type;
        const char* typeName;
        double hertz;
        double gainDb;
    };
    const Filter filters[] = {{0.3f, "Hi-pass", 40, 0},      {0.675f, "Lo-shel", 100, 6}, {0.175f, "Bell", 300, -6},
                              {0.175f, "Bell", 1000, 6},     {0.175f, "Bell", 3000, -6},  {0.425f, "Hi-shel", 6000, 6},
                              {0.425f, "Hi-shel", 2000, -3}, {0.55f, "Lo-pass", 16000, 0}};
    for (int k = 0; k < 8; ++k) {
        const int base = 13 + 9 * k;
        const Filter& f = filters[k];
        fx->set(base, f.type);
        if (fx->display(base).rfind(f.typeName, 0) != 0) {
            std::fprintf(stderr, "LSP: filter %d is '%s', not '%s'; skipped\n", k, fx->display(base).c_str(),
                         f.typeName);
            return false;
        }
        fx->set(base + 2, 0.5f);                                                                 // slope x2
        fx->set(base + 5, static_cast<float>(std::log10(f.hertz / 10.0) / std::log10(2400.0)));  // 10 Hz..24 kHz
        fx->set(base + 6, static_cast<float>((f.gainDb + 36.0) / 72.0));                         // -36..+36 dB
        fx->set(base + 7, 0.01f);                                                                // Q 1 of 0..100
    }
    fx->resume();
    c.instances.push_back(std::move(fx));
    return true;
}

// ZamEQ2 is mono with four bands (two peaks, two shelves) and no cuts: two instances in
// series per channel make eight bands a channel.
bool setUpZamEq2(Contender& c, int blockSize)
{
    const std::string path = installed("ZamEQ2 x2", {"/usr/lib/vst/ZamEQ2-vst.so", "/usr/local/lib/vst/ZamEQ2-vst.so"});
    if (path.empty()) return false;
    for (int k = 0; k < 4; ++k) {
        auto fx = Instance::load(path, blockSize);
        if (!fx || fx->inputs() != 1) return false;
        for (const int gain : {0, 3, 6, 8}) fx->set(gain, k % 2 == 0 ? 0.8f : 0.6f);
        fx->set(11, 1.0f);  // peaks on
        fx->resume();
        c.instances.push_back(std::move(fx));
    }
    c.mono = true;
    c.scratch.resize(static_cast<size_t>(blockSize));
    return true;
}

// Tolvan's LV2 edition from the build's bundle, set as setUpTolvan sets the VST2 one:
// every band on at +9 dB, both cut filters in edge mode (their Q at its top).
bool setUpTolvanLv2(Contender& c, int blockSize)
{
    auto fx = peers::Lv2Instance::load("urn:tolvan:kr-tolvan", "Tolvan LV2", rate, blockSize);
    if (!fx) return false;
    for (const char* band : {"lowcut", "lowshelf", "peak1", "peak2", "peak3", "highshelf", "balance", "highcut"})
        if (!fx->set((std::string(band) + "_on").c_str(), 1.0f)) return false;
    for (const char* gain :
         {"lowshelf_gain", "peak1_gain", "peak2_gain", "peak3_gain", "highshelf_gain", "balance_gain"})
        if (!fx->set(gain, 9.0f)) return false;
    if (!fx->setToMaximum("lowcut_q") || !fx->setToMaximum("highcut_q")) return false;
    fx->activate();
    c.lv2 = std::move(fx);
    return true;
}

// A gain port in decibels, or as a factor where the port's range is all positive.
float gainFor(const peers::Lv2Instance& fx, const char* symbol, double decibels)
{
    return static_cast<float>(fx.minimum(symbol) > 0 ? std::pow(10.0, decibels / 20.0) : decibels);
}

// LSP's parametric equaliser as LV2, set as its VST2 edition above, by port symbol; the
// filter types and slopes are picked by the labels of the ports' scale points.
bool setUpLspLv2(Contender& c, int blockSize)
{
    auto fx = peers::Lv2Instance::load("http://lsp-plug.in/plugins/lv2/para_equalizer_x16_stereo", "LSP x16 LV2", rate,
                                       blockSize);
    if (!fx) return false;
    struct Filter {
        const char* type;
        double hertz;
        double gainDb;
    };
    const Filter filters[] = {{"Hi-pass", 40, 0}, {"Lo-shel", 100, 6},  {"Bell", 300, -6},     {"Bell", 1000, 6},
                              {"Bell", 3000, -6}, {"Hi-shel", 6000, 6}, {"Hi-shel", 2000, -3}, {"Lo-pass", 16000, 0}};
    if (!fx->setByLabel("mode", "IIR")) return false;
    for (int k = 0; k < 8; ++k) {
        const Filter& f = filters[k];
        const auto port = [k](const char* stem) { return std::string(stem) + "_" + std::to_string(k); };
        if (!fx->setByLabel(port("ft").c_str(), f.type) || !fx->setByLabel(port("s").c_str(), "x2") ||
            !fx->set(port("f").c_str(), static_cast<float>(f.hertz)) ||
            !fx->set(port("g").c_str(), gainFor(*fx, port("g").c_str(), f.gainDb)) || !fx->set(port("q").c_str(), 1.0f))
            return false;
    }
    fx->activate();
    c.lv2 = std::move(fx);
    return true;
}

// x42's fil4 (stereo): its eight filters, all on: high-pass at 40 Hz and low-pass at
// 16 kHz, a low shelf, four bells and a high shelf at +-3 to 6 dB; slopes, bandwidths and
// resonances at their defaults. A port missing from a plug-in's list skips the peer with
// the port's name, so a set-up that no longer fits the plug-in shows.
bool setUpFil4(Contender& c, int blockSize)
{
    auto fx = peers::Lv2Instance::load("http://gareus.org/oss/lv2/fil4#stereo", "x42 fil4 LV2", rate, blockSize);
    if (!fx) return false;
    struct Setting {
        const char* symbol;
        float value;
    };
    const Setting settings[] = {{"enable", 1},     {"gain", 0},     {"HighPass", 1},  {"HPfreq", 40},  {"LowPass", 1},
                                {"LPfreq", 16000}, {"LSsec", 1},    {"LSfreq", 100},  {"LSgain", 6},   {"sec1", 1},
                                {"freq1", 300},    {"gain1", -6},   {"sec2", 1},      {"freq2", 1000}, {"gain2", 6},
                                {"sec3", 1},       {"freq3", 3000}, {"gain3", -6},    {"sec4", 1},     {"freq4", 2000},
                                {"gain4", -3},     {"HSsec", 1},    {"HSfreq", 6000}, {"HSgain", 6}};
    for (const Setting& s : settings)
        if (!fx->set(s.symbol, s.value)) return false;
    fx->activate();
    c.lv2 = std::move(fx);
    return true;
}

struct Peer {
    const char* name;
    bool (*setUp)(Contender&, int);
    // Instances that make up one contender.
    int instances = 1;
};
constexpr Peer contenders[] = {{"Tolvan", setUpTolvan},     {"Tolvan LV2", setUpTolvanLv2},
                               {"LSP x16", setUpLsp},       {"LSP x16 LV2", setUpLspLv2},
                               {"x42 fil4 LV2", setUpFil4}, {"ZamEQ2 x2", setUpZamEq2, 4}};

// One second of stereo noise, run through block by block.
struct Signal {
    std::vector<float> left, right;
    std::vector<float> outLeft, outRight;
    size_t position = 0;

    explicit Signal(int blockSize) : outLeft(static_cast<size_t>(blockSize)), outRight(static_cast<size_t>(blockSize))
    {
        std::mt19937 rng(14);
        std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
        const size_t n = static_cast<size_t>((rate / blockSize + 1) * blockSize);
        for (size_t i = 0; i < n; ++i) {
            left.push_back(sample(rng));
            right.push_back(sample(rng));
        }
    }
};

// Bytes the allocator has handed out and not had back: the blocks in use in its arenas
// and the blocks it mapped on their own.
size_t heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

struct Footprint {
    const Peer* peer;
    size_t bytes;
};

// The heap one contender of each peer that loads takes: made, set up, started and run for
// a block of 512. Another
// contender of the same peer stays alive meanwhile, so that its libraries are loaded and
// whatever a plug-in sets up once per process is set up already.
std::vector<Footprint> measureFootprints()
{
    std::vector<Footprint> figures;
    constexpr int blockSize = 512;
    currentBlockSize = blockSize;
    Signal s(blockSize);
    float* in[] = {s.left.data(), s.right.data()};
    float* out[] = {s.outLeft.data(), s.outRight.data()};
    for (const Peer& peer : contenders) {
        Contender first;
        if (!peer.setUp(first, blockSize)) continue;
        first.process(in, out, blockSize);
        const size_t before = heapInUse();
        Contender c;
        if (!peer.setUp(c, blockSize)) continue;
        c.process(in, out, blockSize);
        figures.push_back({&peer, heapInUse() - before});
    }
    return figures;
}

void runContender(benchmark::State& state, const Peer& peer, int blockSize)
{
    currentBlockSize = blockSize;
    Contender c;
    if (!peer.setUp(c, blockSize)) {
        state.SkipWithError("not installed");
        return;
    }
    Signal s(blockSize);
    for (auto _ : state) {
        float* in[] = {s.left.data() + s.position, s.right.data() + s.position};
        float* out[] = {s.outLeft.data(), s.outRight.data()};
        c.process(in, out, blockSize);
        benchmark::DoNotOptimize(s.outLeft.data());
        s.position = (s.position + static_cast<size_t>(blockSize)) % (s.left.size() - static_cast<size_t>(blockSize));
    }
    state.SetItemsProcessed(state.iterations() * blockSize);
    state.counters["block"] = blockSize;
}

// Collects the medians (or the single runs) as nanoseconds of processor time per stereo
// sample, by block size and contender, and prints the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<Footprint> memory) : footprints(std::move(memory)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && !median)) continue;
            const int block = static_cast<int>(run.counters.at("block").value);
            (median ? medians : singles)[block][run.run_name.function_name] = run.GetAdjustedCPUTime() / block;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nProcessor time per stereo sample (ns), %s, and Tolvan's ratio to each peer:\n",
                    medians.empty() ? "one run" : "medians");
        for (const auto& [block, byName] : medians.empty() ? singles : medians) {
            std::printf("%5d samples:", block);
            const auto tolvan = byName.find("Tolvan");
            for (const auto& [name, ns] : byName) {
                std::printf("  %s %.1f", name.c_str(), ns);
                if (tolvan != byName.end() && name != "Tolvan") std::printf(" (ratio %.2f)", tolvan->second / ns);
            }
            std::printf("\n");
        }
        std::printf("\nHeap taken by one instance made, set up, started and run for a block of 512 (kB):\n");
        for (const Footprint& f : footprints) {
            const int instances = f.peer->instances;
            std::printf("  %s %.1f", f.peer->name, static_cast<double>(f.bytes) / 1024.0 / instances);
            if (instances > 1) std::printf(" (%d instances: %.1f)", instances, static_cast<double>(f.bytes) / 1024.0);
            std::printf("\n");
        }
    }

private:
    using Figures = std::map<int, std::map<std::string, double>>;
    Figures medians, singles;
    std::vector<Footprint> footprints;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    peers::Lv2World::shared().addBundle(TOLVAN_LV2_BUNDLE);
    // Measuring the memory loads every peer once: those that are not there have said so,
    // and only the others are timed.
    std::vector<Footprint> footprints = measureFootprints();
    for (const int block : blockSizes) {
        for (const Footprint& loaded : footprints) {
            const Peer& peer = *loaded.peer;
            benchmark::RegisterBenchmark(peer.name,
                                         [&peer, block](benchmark::State& state) { runContender(state, peer, block); })
                ->Arg(block)
                ->ArgName("block");
        }
    }
    RatioReporter reporter(std::move(footprints));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
