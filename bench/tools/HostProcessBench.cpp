// tolvan-host process on a minute of stereo audio at 48 kHz with every band on: the whole
// job (file in, effect, file out), the effect alone, and the file reading and writing
// alone. The "x_real_time" counter is the multiple of real time, on the process's CPU
// time (user and system), since the machine is shared while it runs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/host/AudioRender.h"
#include "tools/host/PinkNoise.h"
#include "tools/host/TestSignal.h"

namespace {

constexpr int kRate = 48000;
constexpr int kSeconds = 60;
constexpr int32_t kBlock = 512;

std::string benchPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / ("tolvan-bench-" + std::to_string(getpid()) + "-" + name))
        .string();
}

// A minute of pink noise, written once for every benchmark of the run.
const std::string& inputFile()
{
    static const std::string path = [] {
        const std::string p = benchPath("in.wav");
        writePinkNoise(p, kSeconds, kRate);
        return p;
    }();
    return path;
}

// Every band switched in, each with a gain where it has one.
void everyBandOn(const LoadedPlugin& plugin)
{
    for (int32_t index = 9; index <= 18; ++index) plugin.setParameter(index, 1.0f);
    for (int32_t index = 27; index <= 32; ++index) plugin.setParameter(index, 0.6f);
}

const LoadedPlugin& plugin()
{
    static const LoadedPlugin* loaded = [] {
        auto* p = new LoadedPlugin(defaultPluginPath());
        p->prepare(kRate, kBlock);
        everyBandOn(*p);
        return p;
    }();
    return *loaded;
}

void setRealTimeCounter(benchmark::State& state)
{
    state.counters["x_real_time"] = benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ProcessFileEveryBandOn(benchmark::State& state)
{
    const std::string outPath = benchPath("out.wav");
    for (auto _ : state) {
        AudioReader in(inputFile());
        AudioWriter out(outPath, in.format(), SampleFormat::AsInput, kRenderChannels, in.sampleRate());
        benchmark::DoNotOptimize(renderFile(plugin(), in, out, kBlock, [](long long) {}));
        out.commit();
    }
    setRealTimeCounter(state);
    std::filesystem::remove(outPath);
}
BENCHMARK(BM_ProcessFileEveryBandOn)->Unit(benchmark::kMillisecond);

void BM_EffectOnlyEveryBandOn(benchmark::State& state)
{
    std::vector<float> l(static_cast<std::size_t>(kBlock)), r(l), outL(l), outR(l);
    PinkNoise noise;
    for (std::size_t i = 0; i < l.size(); ++i) {
        l[i] = noise.next();
        r[i] = noise.next();
    }
    float* inputs[2] = {l.data(), r.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    for (auto _ : state) {
        for (int done = 0; done < kSeconds * kRate; done += kBlock) plugin().process(inputs, outputs, kBlock);
        benchmark::DoNotOptimize(outL.data());
    }
    setRealTimeCounter(state);
}
BENCHMARK(BM_EffectOnlyEveryBandOn)->Unit(benchmark::kMillisecond);

// The file side of the job on its own: the same reading and writing, no effect.
void BM_FileReadAndWriteOnly(benchmark::State& state)
{
    const std::string outPath = benchPath("copy.wav");
    std::vector<float> frames(static_cast<std::size_t>(kBlock) * 2);
    for (auto _ : state) {
        AudioReader in(inputFile());
        AudioWriter out(outPath, in.format(), SampleFormat::AsInput, kRenderChannels, in.sampleRate());
        for (sf_count_t n; (n = in.read(frames.data(), kBlock)) > 0;) out.write(frames.data(), n);
        out.commit();
    }
    setRealTimeCounter(state);
    std::filesystem::remove(outPath);
}
BENCHMARK(BM_FileReadAndWriteOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Made before any timing starts.
    inputFile();
    plugin();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(inputFile());
    return 0;
}
