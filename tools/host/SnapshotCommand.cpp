// tolvan-host snapshot: a picture of the real editor, rendered in this process on the
// headless back end after the input (or a few seconds of pink noise) has played through
// the effect, so that it shows the settings, both spectra, the response and the meter.
#include <array>
#include <cstdio>
#include <memory>
#include <string_view>
#include <utility>

#include "effect/PluginInterface.h"
#include "effect/ProgramRecord.h"
#include "tools/editor-snapshot/EditorSnapshot.h"
#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/EffectSettings.h"
#include "tools/host/InputFile.h"
#include "tools/host/OutputFile.h"
#include "tools/host/PinkNoise.h"
#include "tools/host/SnapshotInput.h"
#include "tools/host/ToolError.h"
#include "tools/imaging/PngFiles.h"

namespace {

constexpr const char* kUsage =
    "Usage: tolvan-host snapshot OUT.png [--input IN] [--seconds N] [--set NAME=VALUE]...\n"
    "                            [--preset FILE.fxp|FILE.fxb] [--program N] [--scale 1|1.5|2]\n"
    "Renders the editor (754 x 374; 1131 x 561 at --scale 1.5, 1508 x 748 at --scale 2) after\n"
    "IN has played through the equaliser, or N seconds (default 4) of deterministic pink\n"
    "noise, with the preset, program and settings applied as tolvan-host process applies\n"
    "them, and writes it as a PNG.\n";

// The scales the editor is drawn at, as --scale names them.
constexpr std::array<std::pair<std::string_view, VSTGUI::DisplayScale>, 3> kScaleNames{{
    {"1", VSTGUI::DisplayScale::Normal},
    {"1.5", VSTGUI::DisplayScale::OneAndAHalf},
    {"2", VSTGUI::DisplayScale::Double},
}};

VSTGUI::DisplayScale scaleOf(const std::string& text)
{
    for (const auto& [name, scale] : kScaleNames)
        if (text == name) return scale;
    throw UsageError("snapshot: --scale takes 1, 1.5 or 2, not \"" + text + "\"");
}

// The effect this picture is of: its id, parameter and program counts.
constexpr PresetTarget kEffect{fourCharacters("iq71"), kNumParameters, kNumPrograms};

// The normalised values a preset and the settings give, in the order a host sends them.
editorsnapshot::Scene sceneOf(const StateRequest& request)
{
    editorsnapshot::Scene scene;
    // No plug-in is loaded here: every name then comes from the table, as the host's do.
    const std::vector<std::string> settable = settableNames(std::vector<std::string>(kNumParameters));
    std::vector<ParameterSetting> settings;
    for (const std::string& text : request.settings) settings.push_back(parseSetting(text, settable));

    if (!request.presetPath.empty()) {
        const Preset preset =
            decodePreset(readWholeFile(request.presetPath, kLargestPresetFile), request.presetPath, kEffect);
        const std::size_t program = request.program >= 0 && preset.bank
                                        ? static_cast<std::size_t>(request.program)
                                        : static_cast<std::size_t>(preset.currentProgram);
        const PresetProgram& values = preset.programs[preset.bank ? program : 0];
        for (int32_t index = 0; index < kNumParameters; ++index) {
            if (isStoredParameter(index))
                scene.parameters.emplace_back(index, values.values[static_cast<std::size_t>(index)]);
        }
    } else if (request.program >= 0) {
        scene.program = static_cast<int32_t>(request.program);
    }
    for (const ParameterSetting& s : settings) scene.parameters.emplace_back(s.index, s.normalized);
    return scene;
}

// The picture as PNG bytes, made in memory so that writing them is one checked step.
std::vector<uint8_t> pngOf(const VSTGUI::PixelSurface& pixels)
{
    std::vector<uint8_t> png = tolvan::imaging::encodePng(pixels);
    if (png.empty()) throw ToolError("cannot encode the PNG");
    return png;
}

}  // namespace

int runSnapshot(const Arguments& arguments)
{
    const CommandLine line(arguments,
                           {{"input", false},
                            {"seconds", false},
                            {"set", true},
                            {"preset", false},
                            {"program", false},
                            {"plugin", false},
                            {"scale", false}},
                           1, "snapshot");
    if (line.has("plugin")) {
        throw UsageError("snapshot: --plugin is not taken: the picture is of the editor built into this tool");
    }
    if (line.help()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string outPath = line.positional(0);
    refuseUnlessExtension(outPath, {"png"});
    const long seconds = line.number("seconds", 4, 1, 60);
    editorsnapshot::Scene scene = sceneOf(stateRequest(line));
    scene.scale = scaleOf(line.value("scale", "1"));

    std::unique_ptr<SnapshotInput> in;
    PinkNoise left(1), right(2);
    long long noiseLeft = 0;
    if (line.has("input")) {
        refuseOutputOverInput(line.value("input"), outPath);
        in = std::make_unique<SnapshotInput>(line.value("input"));
        scene.sampleRate = in->sampleRate();
        scene.source = [&](float* l, float* r) { return in->fill(l, r, editorsnapshot::kBlockSize); };
    } else {
        noiseLeft = seconds * scene.sampleRate;
        scene.source = [&](float* l, float* r) {
            const auto n = static_cast<int32_t>(std::min<long long>(noiseLeft, editorsnapshot::kBlockSize));
            for (int32_t i = 0; i < n; ++i) {
                l[i] = left.next();
                r[i] = right.next();
            }
            noiseLeft -= n;
            return n;
        };
    }

    // Opened before rendering, so that an output that cannot be written costs no time.
    OutputFile output(outPath);
    output.write(pngOf(editorsnapshot::renderEditor(scene)));
    output.commit();
    std::string played = std::to_string(seconds) + " s of pink noise";
    if (in) {
        played = line.value("input");
        if (in->skippedSeconds() > 0) {
            played += " (its last " + std::to_string(kLongestSnapshotSeconds) + " s; what comes before cannot show)";
        }
    }
    std::fprintf(reportStream(outPath), "Wrote %s: the editor after %s\n", outPath.c_str(), played.c_str());
    return 0;
}
