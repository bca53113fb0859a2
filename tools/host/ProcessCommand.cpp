// tolvan-host process: an audio file through the effect, block by block, as a host plays
// it, into a new file; then the levels in and out and the speed.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "tools/host/AudioFile.h"
#include "tools/host/AudioRender.h"
#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/EffectSettings.h"
#include "tools/host/ToolError.h"

namespace {

constexpr const char* kUsage =
    "Usage: tolvan-host process IN OUT [--set NAME=VALUE]... [--preset FILE.fxp|FILE.fxb]\n"
    "                           [--program N] [--block N] [--format float|24|16] [--plugin PATH]\n"
    "Processes IN (WAV, AIFF, FLAC, Ogg, anything libsndfile reads; mono or stereo) through\n"
    "the equaliser at the file's sample rate and writes OUT with IN's channels, in the\n"
    "container its extension names (.wav, .aiff, .aif, .flac, .ogg or .w64; with none, IN's)\n"
    "and IN's sample format unless --format says otherwise. IN or OUT may be - for standard\n"
    "input or output; the summary then goes to standard error.\n"
    "  --set NAME=VALUE  a parameter by its name (case-insensitive) or index, in its own units:\n"
    "                    \"Gain Peak1=+6dB\", \"Frequency HiCut=12k\", \"Q LowCut=Edge\",\n"
    "                    \"Enabled Peak1=on\"; or band by band: peak1.frequency=3k,\n"
    "                    peak1.gain=+6, lowcut.q=edge, hishelf.enabled=on (bands: lowcut,\n"
    "                    lowshelf, peak1-3, hishelf, hicut, balance); applied after\n"
    "                    --preset and --program\n"
    "  --preset FILE     a program (.fxp) or bank (.fxb) file of this plug-in\n"
    "  --program N       the program to use, 0 to 7\n"
    "  --block N         frames per processing call, 1 to 65536 (default 512)\n";

constexpr long kDefaultBlock = 512;
constexpr double kShortestTimedRun = 0.1;
constexpr long kLargestBlock = 65536;

SampleFormat sampleFormat(const CommandLine& line)
{
    const std::string format = line.value("format", "");
    if (format.empty()) return SampleFormat::AsInput;
    if (format == "float") return SampleFormat::Float;
    if (format == "24") return SampleFormat::Pcm24;
    if (format == "16") return SampleFormat::Pcm16;
    throw UsageError("process: --format takes float, 24 or 16, not \"" + format + "\"");
}

// A bar on standard error with the time left, redrawn when the percentage moves; only on a
// terminal.
class ProgressBar {
public:
    explicit ProgressBar(long long total)
        : total(total), shown(isatty(STDERR_FILENO) != 0 && total > 0), start(std::chrono::steady_clock::now())
    {
    }
    void update(long long done)
    {
        if (!shown) return;
        const int percent = static_cast<int>(std::min(done, total) * 100 / total);
        if (percent == lastPercent) return;
        lastPercent = percent;
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto left = static_cast<long>(
            done > 0 ? elapsed * static_cast<double>(total - std::min(done, total)) / static_cast<double>(done) + 0.5
                     : 0);
        std::fprintf(
            stderr, "\r[%s%s] %3d%%  %ld:%02ld left", std::string(static_cast<std::size_t>(filled), '#').c_str(),
            std::string(static_cast<std::size_t>(kWidth - filled), ' ').c_str(), percent, left / 60, left % 60);
        std::fflush(stderr);
    }
    void finish()
    {
        if (shown) std::fprintf(stderr, "\r%*s\r", 64, "");
    }

private:
    long long total;
    bool shown;
    std::chrono::steady_clock::time_point start;
    int lastPercent = -1;
};

std::string decibels(double level)
{
    if (level <= 0) return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 20 * std::log10(level));
    return text;
}

void printLevels(std::FILE* report, const char* what, const std::vector<ChannelLevel>& levels)
{
    std::fprintf(report, "  %-8s", what);
    for (const ChannelLevel& level : levels) {
        std::fprintf(report, "%10s%10s", decibels(level.peak).c_str(), decibels(level.rms()).c_str());
    }
    std::fprintf(report, "\n");
}

}  // namespace

int runProcess(const Arguments& arguments)
{
    const CommandLine line(
        arguments,
        {{"set", true}, {"preset", false}, {"program", false}, {"block", false}, {"format", false}, {"plugin", false}},
        2, "process");
    if (line.help()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string inPath = line.positional(0);
    const std::string outPath = line.positional(1);
    const auto block = static_cast<int32_t>(line.number("block", kDefaultBlock, 1, kLargestBlock));
    const SampleFormat format = sampleFormat(line);
    refuseOutputOverInput(inPath, outPath);

    const StateRequest request = stateRequest(line);
    const LoadedPlugin plugin(line.value("plugin", defaultPluginPath()));
    const std::vector<ParameterSetting> settings = readSettings(plugin, request);
    AudioReader in(inPath);
    if (in.sampleRate() <= 0) throw ToolError(inPath + ": has no sample rate");
    // A host sets rate and block size before the settings arrive.
    plugin.prepare(in.sampleRate(), block);
    applyState(plugin, request, settings);
    for (const std::string& warning : settingsWithoutEffect(plugin, settings)) {
        std::fprintf(stderr, "tolvan-host: %s\n", warning.c_str());
    }
    AudioWriter out(outPath, in.format(), format, in.channels(), in.sampleRate());

    ProgressBar progress(in.frames());
    const auto start = std::chrono::steady_clock::now();
    const RenderResult result = renderFile(plugin, in, out, block, [&](long long done) { progress.update(done); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out.commit();
    progress.finish();

    // Audio on standard output leaves the summary to standard error.
    std::FILE* report = reportStream(outPath);
    const double duration = static_cast<double>(result.frames) / in.sampleRate();
    std::fprintf(report, "%s -> %s\n", inPath.c_str(), outPath.c_str());
    std::fprintf(report, "  %d Hz, %s, %lld frames (%.3f s), blocks of %d, written as %s\n", in.sampleRate(),
                 in.channels() == 1 ? "mono (fed to both inputs, the left output kept)" : "stereo", result.frames,
                 duration, block, formatText(out.format()).c_str());
    if (!request.presetPath.empty()) std::fprintf(report, "  preset %s\n", request.presetPath.c_str());
    if (request.program >= 0) std::fprintf(report, "  program %ld\n", request.program);
    const std::vector<std::string> names = settingNames(plugin);
    for (const ParameterSetting& s : settings) {
        std::fprintf(report, "  set %s = %s\n", names[static_cast<std::size_t>(s.index)].c_str(),
                     displayText(s.index, s.real).c_str());
    }
    std::fprintf(report, "  %-8s", "dBFS");
    for (const char* heading : {"peak L", "RMS L", "peak R", "RMS R"}) std::fprintf(report, "%10s", heading);
    std::fprintf(report, "\n");
    printLevels(report, "input", result.input);
    printLevels(report, "output", result.output);
    if (out.integerSamples() && result.clippedSamples > 0) {
        std::fprintf(report, "  %lld output samples beyond full scale were clipped\n", result.clippedSamples);
    }
    // Below a tenth of a second the clock measures starting up, not the processing.
    if (seconds >= kShortestTimedRun) {
        std::fprintf(report, "  took %.3f s: %.1fx real time\n", seconds, duration / seconds);
    } else {
        std::fprintf(report, "  took %.3f s\n", seconds);
    }
    return 0;
}
