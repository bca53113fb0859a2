#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <random>
#include <tuple>

#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"
#include "tests/tools/SoundFiles.h"
#include "tests/tools/ToolRunner.h"

namespace {

using tooltest::noise;
using tooltest::readSound;
using tooltest::runTool;
using tooltest::Sound;
using tooltest::TempFolder;
using tooltest::ToolRun;
using tooltest::writeSound;

// Loaded once and never closed, as the other host-level tests do.
const hosting::PluginLibrary& sharedLibrary()
{
    static const hosting::PluginLibrary* library = new hosting::PluginLibrary(TOLVAN_PLUGIN_PATH);
    return *library;
}

// The same sound through the effect in this process, prepared and fed as a host does.
std::vector<float> reference(const Sound& in, int block, const std::vector<std::pair<int, float>>& settings)
{
    hosting::RecordingHost host;
    hosting::HostedEffect effect(sharedLibrary());
    effect.open();
    effect.suspend();
    effect.setSampleRate(static_cast<float>(in.rate));
    effect.setBlockSize(block);
    effect.resume();
    for (const auto& [index, value] : settings) effect.set(index, value);

    const std::size_t frames = in.samples.size() / static_cast<std::size_t>(in.channels);
    std::vector<float> out;
    std::vector<float> l(static_cast<std::size_t>(block)), r(l), outL(l), outR(l);
    for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(block)) {
        const std::size_t n = std::min(frames - start, static_cast<std::size_t>(block));
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = (start + i) * static_cast<std::size_t>(in.channels);
            l[i] = in.samples[at];
            r[i] = in.samples[at + (in.channels == 2 ? 1 : 0)];
        }
        float* inputs[2] = {l.data(), r.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect.get(), inputs, outputs, static_cast<int32_t>(n));
        for (std::size_t i = 0; i < n; ++i) {
            out.push_back(outL[i]);
            out.push_back(outR[i]);
        }
    }
    return out;
}

std::size_t lines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Normalised values worked out from the parameter ranges: gains are linear over
// -18..18 dB, frequencies logarithmic over 20 Hz..20 kHz.
const std::vector<std::pair<int, float>> kSettings = {{13, 1.0f},
                                                      {28, 24.0f / 36.0f},
                                                      {21, static_cast<float>(std::log(160.0) / std::log(1000.0))},
                                                      {17, 1.0f},
                                                      {25, static_cast<float>(std::log(600.0) / std::log(1000.0))},
                                                      {39, 1.0f}};
const std::vector<std::string> kSettingArguments = {"--set", "Enabled Peak1=on",       "--set", "gain peak1=+6dB",
                                                    "--set", "Frequency Peak0=3.2kHz", "--set", "17=on",
                                                    "--set", "Frequency HiCut=12k",    "--set", "Q HiCut=Edge"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(HostToolCommand, UsageMistakesExitTwoWithOneLineOnStandardError)
{
    const ToolRun bare = runTool({});
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("Usage: tolvan-host"), std::string::npos);

    const std::vector<std::vector<std::string>> mistakes = {
        {"frobnicate"},
        {"process", "in.wav"},
        {"process", "in.wav", "out.wav", "--bogus", "1"},
        {"process", "in.wav", "out.wav", "--block", "0"},
        {"process", "in.wav", "out.wav", "--format", "8"},
        {"process", "in.wav", "out.wav", "--program", "8"},
        {"process", "in.wav", "out.wav", "--set"},
        {"process", "in.wav", "out.wav", "--set", "Gain Peek1=3"},
        {"process", "in.wav", "out.wav", "--set", "Gain Peak1=40"},
        {"preset", "load", "x.fxp"},
        {"preset", "save", "x.fxp", "--name", std::string(24, 'n')},
    };
    for (const auto& arguments : mistakes) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 2) << arguments.front() << " " << run.err;
        EXPECT_EQ(lines(run.err), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("tolvan-host: ", 0), 0u) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    const ToolRun close = runTool({"process", "in.wav", "out.wav", "--set", "Gain Peek1=3"});
    EXPECT_NE(close.err.find("Gain Peak1, Gain Peak2, Gain Peak3"), std::string::npos) << close.err;

    for (const char* command : {"info", "process", "preset", "generate", "snapshot"}) {
        const ToolRun help = runTool({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("Usage: tolvan-host"), std::string::npos) << command;
    }
}

TEST(HostToolCommand, FailuresNameTheFileExitOneAndLeaveNothingBehind)
{
    TempFolder folder;
    const std::string good = folder / "good.wav";
    writeSound(good, noise(2, 48000, 4800, 0.5f, 1));
    writeSound(folder / "six.wav", noise(6, 48000, 480, 0.5f, 2));
    std::ofstream(folder / "text.wav") << "not audio at all\n";
    std::ofstream(folder / "old.wav") << "what was here before\n";
    std::ofstream(folder / "fake.so") << std::string(4096, 'x');
    std::vector<uint8_t> otherPreset = {'C', 'c', 'n', 'K', 0, 0, 0,   212, 'F', 'x',
                                        'C', 'k', 0,   0,   0, 1, 'a', 'b', 'c', 'd'};
    otherPreset.resize(220, 0);
    std::ofstream(folder / "other.fxp", std::ios::binary).write(reinterpret_cast<const char*>(otherPreset.data()), 220);
    std::filesystem::create_directory(folder.path() / "sub");
    const std::vector<std::string> before = folder.names();

    struct Case {
        std::vector<std::string> arguments;
        std::string named;  // the file the message must name
        std::string cause;  // and a part of its cause
    };
    const std::vector<Case> cases = {
        {{"process", folder / "missing.wav", folder / "out.wav"}, "missing.wav", "No such file"},
        {{"process", folder / "sub", folder / "out.wav"}, "sub", "folder"},
        {{"process", folder / "text.wav", folder / "out.wav"}, "text.wav", "not an audio file"},
        {{"process", folder / "six.wav", folder / "out.wav"}, "six.wav", "6 channels"},
        {{"process", good, folder / "nowhere/out.wav"}, "nowhere/out.wav", "No such file"},
        {{"process", good, folder / "sub"}, "sub", "folder"},
        {{"process", good, folder / "out.flac", "--format", "float"}, "out.flac", "float"},
        {{"process", good, folder / "out.wav", "--plugin", folder / "fake.so"}, "fake.so", "cannot load the plug-in"},
        {{"process", good, folder / "out.wav", "--plugin", folder / "none.so"}, "none.so", "No such file"},
        {{"process", good, folder / "out.wav", "--preset", folder / "other.fxp"}, "other.fxp", "another plug-in"},
        {{"process", good, folder / "out.wav", "--preset", folder / "text.wav"}, "text.wav", "not a preset"},
        {{"process", folder / "missing.wav", folder / "old.wav"}, "missing.wav", "No such file"},
        {{"preset", "show", folder / "missing.fxp"}, "missing.fxp", "No such file"},
        {{"preset", "save", folder / "nowhere/p.fxp"}, "nowhere/p.fxp", "No such file"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(c.arguments);
        EXPECT_EQ(run.status, 1) << c.named << ": " << run.err;
        EXPECT_EQ(lines(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(c.named + ":"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.cause), std::string::npos) << run.err;
        EXPECT_EQ(folder.names(), before) << c.named;
    }
    EXPECT_EQ(tooltest::contents(folder / "old.wav"), "what was here before\n");
    const ToolRun load = runTool({"info", "--plugin", folder / "fake.so"});
    EXPECT_NE(load.err.find("invalid ELF header"), std::string::npos) << "dlerror's text: " << load.err;
}

TEST(HostToolCommand, ProcessedFileEqualsTheEffectInThisProcess)
{
    TempFolder folder;
    const Sound in = noise(2, 44100, 44100 + 123, 0.5f, 3);
    writeSound(folder / "in.wav", in);
    const ToolRun run =
        runTool(with({"process", folder / "in.wav", folder / "out.wav", "--block", "300"}, kSettingArguments));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << "no progress bar off a terminal";

    const Sound out = readSound(folder / "out.wav");
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.rate, 44100);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const std::vector<float> expected = reference(in, 300, kSettings);
    ASSERT_EQ(out.samples.size(), expected.size());
    EXPECT_EQ(out.samples, expected);
    EXPECT_NE(out.samples, in.samples) << "the settings must change the sound";
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

TEST(HostToolCommand, MonoFeedsBothChannelsAndStaysMono)
{
    TempFolder folder;
    Sound in = noise(1, 48000, 9000, 0.5f, 4);
    writeSound(folder / "mono.wav", in);
    const ToolRun run = runTool(with({"process", folder / "mono.wav", folder / "out.wav"}, kSettingArguments));
    ASSERT_EQ(run.status, 0) << run.err;
    const Sound out = readSound(folder / "out.wav");
    EXPECT_EQ(out.channels, 1);
    const std::vector<float> stereo = reference(in, 512, kSettings);
    ASSERT_EQ(out.samples.size() * 2, stereo.size());
    for (std::size_t i = 0; i < out.samples.size(); ++i) {
        ASSERT_EQ(out.samples[i], stereo[2 * i]) << i;
        ASSERT_EQ(stereo[2 * i], stereo[2 * i + 1]) << "both outputs alike, so keeping one loses nothing";
    }
}

TEST(HostToolCommand, OutputFormatFollowsTheInputTheExtensionOrTheOption)
{
    TempFolder folder;
    Sound loud = noise(2, 48000, 4800, 0.9f, 5);
    loud.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    writeSound(folder / "in.wav", loud);
    const std::vector<std::string> boost = {"--set", "Output Gain=+18dB"};

    ASSERT_EQ(runTool(with({"process", folder / "in.wav", folder / "same.wav"}, boost)).status, 0);
    EXPECT_EQ(readSound(folder / "same.wav").format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    ASSERT_EQ(runTool({"process", folder / "in.wav", folder / "out.flac"}).status, 0);
    EXPECT_EQ(readSound(folder / "out.flac").format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    ASSERT_EQ(runTool({"process", folder / "in.wav", folder / "out.aiff", "--format", "float"}).status, 0);
    EXPECT_EQ(readSound(folder / "out.aiff").format, SF_FORMAT_AIFF | SF_FORMAT_FLOAT);

    // Samples beyond full scale are clipped, never wrapped to the other sign.
    const ToolRun run = runTool(with({"process", folder / "in.wav", folder / "16.wav", "--format", "16"}, boost));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("were clipped"), std::string::npos) << run.out;
    const Sound clipped = readSound(folder / "16.wav");
    EXPECT_EQ(clipped.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const Sound input = readSound(folder / "in.wav");
    for (std::size_t i = 0; i < clipped.samples.size(); ++i) {
        ASSERT_LE(std::fabs(clipped.samples[i]), 1.0f);
        if (std::fabs(input.samples[i]) > 0.5f) {
            ASSERT_EQ(clipped.samples[i] > 0, input.samples[i] > 0) << i;
        }
    }
}

TEST(HostToolCommand, PresetsSavedByTheToolSoundLikeTheirSettings)
{
    TempFolder folder;
    const Sound in = noise(2, 48000, 6000, 0.5f, 6);
    writeSound(folder / "in.wav", in);
    ASSERT_EQ(runTool(with({"preset", "save", folder / "p.fxp", "--name", "Air"}, kSettingArguments)).status, 0);
    ASSERT_EQ(runTool({"process", folder / "in.wav", folder / "out.wav", "--preset", folder / "p.fxp"}).status, 0);
    EXPECT_EQ(readSound(folder / "out.wav").samples, reference(in, 512, kSettings));

    const ToolRun shown = runTool({"preset", "show", folder / "p.fxp"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\"Air\""), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Gain Peak1           0.666667   6.0dB"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Q HiCut              1.000000   Edge"), std::string::npos) << shown.out;
    // A program lists what a bank lists for each of its programs: the settings that differ.
    EXPECT_EQ(shown.out.find("Gain Peak2"), std::string::npos) << shown.out;

    // A bank keeps the program it was saved on; --program picks another.
    ASSERT_EQ(runTool(with({"preset", "save", folder / "b.fxb", "--program", "5"}, kSettingArguments)).status, 0);
    ASSERT_EQ(runTool({"process", folder / "in.wav", folder / "five.wav", "--preset", folder / "b.fxb"}).status, 0);
    EXPECT_EQ(readSound(folder / "five.wav").samples, reference(in, 512, kSettings));
    ASSERT_EQ(
        runTool({"process", folder / "in.wav", folder / "zero.wav", "--preset", folder / "b.fxb", "--program", "0"})
            .status,
        0);
    EXPECT_EQ(readSound(folder / "zero.wav").samples, reference(in, 512, {}));
}

TEST(HostToolCommand, SummaryGivesLevelsAndSpeedAndTheBarShowsOnlyOnATerminal)
{
    TempFolder folder;
    Sound sine{2, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, {}};
    for (int i = 0; i < 48000; ++i) {
        const auto x = static_cast<float>(0.5 * std::sin(2 * M_PI * 1000 * i / 48000.0));
        sine.samples.push_back(x);
        sine.samples.push_back(x * 0.25f);
    }
    writeSound(folder / "sine.wav", sine);
    const ToolRun run = runTool({"process", folder / "sine.wav", folder / "out.wav", "--set", "Output Gain=-6"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Peak and RMS of L then R: 0.5 peak is -6.02 dBFS, its RMS -9.03; R is 12.04 dB lower.
    EXPECT_NE(run.out.find("  input        -6.02     -9.03    -18.06    -21.07"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  output      -12.02    -15.03    -24.06    -27.07"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  took "), std::string::npos);
    EXPECT_NE(run.out.find("set Output Gain = -6.0dB"), std::string::npos);
    // A few frames take no measurable time: no speed is made up for them.
    writeSound(folder / "tiny.wav", noise(2, 48000, 100, 0.5f, 15));
    const ToolRun tiny = runTool({"process", folder / "tiny.wav", folder / "tiny-out.wav"});
    EXPECT_NE(tiny.out.find("  took "), std::string::npos) << tiny.out;
    EXPECT_EQ(tiny.out.find("real time"), std::string::npos) << tiny.out;

    const std::string terminal = tooltest::terminalOutput({"process", folder / "sine.wav", folder / "bar.wav"});
    EXPECT_NE(terminal.find("100%"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find("[####"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find(" left"), std::string::npos) << "the time left: " << terminal;
}

TEST(HostToolCommand, GeneratedSignalIsTheSameEveryTimeAndStaysBelowFullScale)
{
    TempFolder folder;
    ASSERT_EQ(runTool({"generate", folder / "a.wav", "--seconds", "2", "--rate", "44100"}).status, 0);
    ASSERT_EQ(runTool({"generate", folder / "b.wav", "--seconds", "2", "--rate", "44100"}).status, 0);
    const Sound a = readSound(folder / "a.wav");
    EXPECT_EQ(a.channels, 2);
    EXPECT_EQ(a.rate, 44100);
    EXPECT_EQ(a.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(a.samples.size(), 2u * 2 * 44100);
    EXPECT_EQ(readSound(folder / "b.wav").samples, a.samples);
    const float peak = std::fabs(*std::max_element(a.samples.begin(), a.samples.end(),
                                                   [](float x, float y) { return std::fabs(x) < std::fabs(y); }));
    EXPECT_GT(peak, 0.05f);
    EXPECT_LT(peak, 0.5f);
}

// Width and height from a PNG's header chunk.
std::pair<uint32_t, uint32_t> pngSize(const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0 || bytes.compare(12, 4, "IHDR") != 0) return {0, 0};
    auto word = [&](std::size_t at) {
        uint32_t w = 0;
        for (std::size_t i = 0; i < 4; ++i) w = (w << 8) | static_cast<unsigned char>(bytes[at + i]);
        return w;
    };
    return {word(16), word(20)};
}

TEST(HostToolCommand, SnapshotIsTheWholeEditorTheSameEveryTimeAndShowsTheSettings)
{
    TempFolder folder;
    writeSound(folder / "in.wav", noise(1, 48000, 48000, 0.3f, 8));
    ASSERT_EQ(runTool({"snapshot", folder / "a.png", "--input", folder / "in.wav"}).status, 0);
    ASSERT_EQ(runTool({"snapshot", folder / "b.png", "--input", folder / "in.wav"}).status, 0);
    const ToolRun set = runTool(with({"snapshot", folder / "c.png", "--input", folder / "in.wav"}, kSettingArguments));
    ASSERT_EQ(set.status, 0) << set.err;
    const std::string a = tooltest::contents(folder / "a.png");
    EXPECT_EQ(pngSize(a), (std::pair<uint32_t, uint32_t>{754, 374}));
    EXPECT_EQ(tooltest::contents(folder / "b.png"), a);
    EXPECT_NE(tooltest::contents(folder / "c.png"), a);

    ASSERT_EQ(runTool({"snapshot", folder / "noise.png", "--seconds", "1"}).status, 0);
    EXPECT_EQ(pngSize(tooltest::contents(folder / "noise.png")), (std::pair<uint32_t, uint32_t>{754, 374}));

    const std::vector<std::string> before = folder.names();
    const ToolRun nowhere = runTool({"snapshot", folder / "nowhere/x.png"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("nowhere/x.png: cannot write"), std::string::npos) << nowhere.err;
    EXPECT_EQ(runTool({"snapshot", folder / "x.png", "--set", "Gain Peek1=3"}).status, 2);
    const ToolRun plugin = runTool({"snapshot", folder / "x.png", "--plugin", "/nowhere/Tolvan.so"});
    EXPECT_EQ(plugin.status, 2);
    EXPECT_NE(plugin.err.find("--plugin is not taken: the picture is of the editor built into this tool"),
              std::string::npos)
        << plugin.err;
    EXPECT_EQ(folder.names(), before);
}

TEST(HostToolCommand, SnapshotScaleIsOneOfTheEditorsScalesAndAnythingElseIsAUsageError)
{
    TempFolder folder;
    const ToolRun normal = runTool({"snapshot", folder / "one.png", "--seconds", "1", "--scale", "1"});
    ASSERT_EQ(normal.status, 0) << normal.err;
    EXPECT_EQ(pngSize(tooltest::contents(folder / "one.png")), (std::pair<uint32_t, uint32_t>{754, 374}));
    for (const auto& [scale, width, height] : {std::tuple{"1.5", 1131u, 561u}, std::tuple{"2", 1508u, 748u}}) {
        const std::string path = folder / (std::string(scale) + ".png");
        const ToolRun run = runTool({"snapshot", path, "--seconds", "1", "--scale", scale});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(pngSize(tooltest::contents(path)), (std::pair<uint32_t, uint32_t>{width, height})) << scale;
    }

    const std::vector<std::string> before = folder.names();
    for (const char* bad : {"3", "0", "-1", "1.25", "2x", "150%", "", "nan"}) {
        const ToolRun run = runTool({"snapshot", folder / "x.png", "--scale", bad});
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("--scale takes 1, 1.5 or 2, not \"" + std::string(bad) + "\""), std::string::npos)
            << run.err;
    }
    EXPECT_EQ(folder.names(), before);
}

TEST(HostToolCommand, InfoTellsTheIdentityAndFindsTheManual)
{
    const ToolRun run = runTool({"info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Effect name:     KR [Tolvan]"), std::string::npos);
    EXPECT_NE(run.out.find("Unique id:       0x69713731 ('iq71')"), std::string::npos);
    EXPECT_NE(run.out.find("documents/index.htm (found)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  40  Q Balance"), std::string::npos);
    // The rows hosts get no name for carry the editor's labels.
    for (const char* label :
         {"3   (editor: PRE)", "5   (editor: SLOPE)", "6   (editor: RANGE)", "8   (editor: Reset)"}) {
        EXPECT_NE(run.out.find(label), std::string::npos) << label << "\n" << run.out;
    }
    EXPECT_EQ(run.out.find("(editor: FFTGrap)"), std::string::npos) << "displays are no settings";

    const ToolRun version = runTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tolvan-host 1.", 0), 0u) << version.out;
    const ToolRun missing = runTool({"info", "--plugin", "/nowhere/Tolvan.so"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("(--plugin PATH names the library to load)"), std::string::npos) << missing.err;
}

}  // namespace

namespace {

TEST(HostToolCommand, DashIsStandardInputAndOutputThroughPipes)
{
    TempFolder folder;
    writeSound(folder / "in.wav", noise(1, 44100, 5000, 0.5f, 12));
    ASSERT_EQ(runTool({"process", folder / "in.wav", folder / "direct.flac"}).status, 0);
    const std::string host = TOLVAN_HOST_PATH;
    const std::string pipeline = host + " process " + (folder / "in.wav") + " - | " + host + " process - " +
                                 (folder / "piped.flac") + " && " + host + " generate - --seconds 1 | wc -c";
    const ToolRun run = runTool({"-c", pipeline}, "/bin/sh");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readSound(folder / "piped.flac").samples, readSound(folder / "direct.flac").samples);
    // The first tool's summary went to standard error, out of the audio's way.
    EXPECT_NE(run.err.find("in.wav -> -"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Wrote -: 1 s of stereo pink noise"), std::string::npos) << run.err;
    EXPECT_EQ(std::stol(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1)), 44 + 48000 * 2 * 3) << run.out;
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"direct.flac", "in.wav", "piped.flac"}));
}

TEST(HostToolCommand, AnExtensionTheToolCannotWriteIsRefusedWithThoseItCan)
{
    TempFolder folder;
    writeSound(folder / "in.wav", noise(2, 48000, 480, 0.5f, 13));
    const std::vector<std::string> before = folder.names();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"process", folder / "in.wav", folder / "out.mp3"},
         "out.mp3: cannot write .mp3 files; this command writes .wav, .aiff, .aif, .flac, .ogg or .w64"},
        {{"generate", folder / "noise.mp3"}, "noise.mp3: cannot write .mp3 files"},
        {{"snapshot", folder / "editor.jpg"}, "editor.jpg: cannot write .jpg files; this command writes .png"},
        {{"preset", "save", folder / "p.txt"}, "p.txt: cannot write .txt files; this command writes .fxp or .fxb"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_EQ(folder.names(), before);
}

}  // namespace

namespace {

TEST(HostToolCommand, ASettingOfABandThatIsOffIsToldAndTheBandSpellingWorks)
{
    TempFolder folder;
    const Sound in = noise(2, 48000, 4800, 0.5f, 14);
    writeSound(folder / "in.wav", in);
    const ToolRun off = runTool({"process", folder / "in.wav", folder / "off.wav", "--set", "Gain Peak1=+6dB"});
    ASSERT_EQ(off.status, 0) << off.err;
    EXPECT_EQ(off.err, "tolvan-host: Peak1 is off: its gain has no effect; add --set 'Enabled Peak1=on'\n");
    EXPECT_EQ(readSound(folder / "off.wav").samples, in.samples);

    const ToolRun on = runTool({"process", folder / "in.wav", folder / "on.wav", "--set", "peak1.gain=+6dB", "--set",
                                "peak1.enabled=on", "--set", "peak1.frequency=3.2k"});
    ASSERT_EQ(on.status, 0) << on.err;
    EXPECT_EQ(on.err, "");
    EXPECT_NE(on.out.find("set Frequency Peak0 = 3.20kHz"), std::string::npos) << on.out;
    EXPECT_EQ(
        readSound(folder / "on.wav").samples,
        reference(in, 512,
                  {{13, 1.0f}, {28, 24.0f / 36.0f}, {21, static_cast<float>(std::log(160.0) / std::log(1000.0))}}));
}

}  // namespace

namespace {

// With no band on the effect passes its input through, not-a-number and infinity included.
TEST(HostToolCommand, SamplesThatAreNoNumbersAreRefusedWhereTheFileHoldsIntegers)
{
    TempFolder folder;
    Sound in = noise(2, 48000, 1000, 0.5f, 16);
    in.samples[2 * 500] = std::nanf("");
    in.samples[2 * 700 + 1] = INFINITY;
    writeSound(folder / "in.wav", in);
    const std::vector<std::string> before = folder.names();
    for (const auto& [out, format] :
         std::vector<std::pair<std::string, std::string>>{{"out.flac", "24"}, {"out.wav", "16"}}) {
        const ToolRun run = runTool({"process", folder / "in.wav", folder / out, "--format", format});
        EXPECT_EQ(run.status, 1) << out;
        EXPECT_NE(run.err.find(out + ": cannot write: the output's frame 500 is not a finite number"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(folder.names(), before) << out;
    }
    ASSERT_EQ(runTool({"process", folder / "in.wav", folder / "float.wav"}).status, 0);
    const Sound kept = readSound(folder / "float.wav");
    EXPECT_TRUE(std::isnan(kept.samples[2 * 500]));
    EXPECT_TRUE(std::isinf(kept.samples[2 * 700 + 1]));
}

}  // namespace
