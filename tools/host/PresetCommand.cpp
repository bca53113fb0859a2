// tolvan-host preset save|show: the program and bank files that hosts exchange.
#include <cstdio>

#include "effect/ParameterValues.h"
#include "effect/ProgramRecord.h"
#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/EffectSettings.h"
#include "tools/host/InputFile.h"
#include "tools/host/OutputFile.h"
#include "tools/host/ToolError.h"

namespace {

constexpr const char* kUsage =
    "Usage: tolvan-host preset save FILE.fxp|FILE.fxb [--set NAME=VALUE]... [--preset FILE]\n"
    "                               [--program N] [--name TEXT] [--plugin PATH]\n"
    "       tolvan-host preset show FILE [--plugin PATH]\n"
    "save writes the current program (.fxp) or all 8 programs (.fxb) after the preset, program\n"
    "and settings given are applied, as tolvan-host process applies them; --name names the\n"
    "current program (up to 23 characters). show prints what a program or bank file holds:\n"
    "each program's name and the settings in which it differs from the defaults.\n";

int save(const Arguments& arguments)
{
    const CommandLine line(arguments,
                           {{"set", true}, {"preset", false}, {"program", false}, {"name", false}, {"plugin", false}},
                           1, "preset save");
    if (line.help()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string path = line.positional(0);
    refuseUnlessExtension(path, {"fxp", "fxb"});
    if (line.has("name") && line.value("name").size() >= static_cast<std::size_t>(kProgramNameSize)) {
        throw UsageError("preset save: --name takes up to " + std::to_string(kProgramNameSize - 1) + " characters");
    }
    const StateRequest request = stateRequest(line);
    const LoadedPlugin plugin(line.value("plugin", defaultPluginPath()));
    applyState(plugin, request, readSettings(plugin, request));
    if (line.has("name")) {
        std::string name = line.value("name");
        plugin.dispatch(effSetProgramName, 0, 0, name.data());
    }
    const AEffect& e = plugin.record();
    const bool bank = extensionOf(path) == "fxb";
    writeFileSafely(path,
                    bank ? encodeBankFile(allPrograms(plugin), static_cast<int32_t>(plugin.dispatch(effGetProgram)),
                                          e.uniqueID, e.version)
                         : encodeProgramFile(currentProgram(plugin), e.uniqueID, e.version));
    std::fprintf(reportStream(path), "Saved %s: %s of %s\n", path.c_str(), bank ? "bank of 8 programs" : "program",
                 plugin.text(effGetEffectName).c_str());
    return 0;
}

void showProgram(const PresetProgram& program, const std::vector<std::string>& names)
{
    bool any = false;
    for (std::size_t index = 0; index < program.values.size(); ++index) {
        if (names[index].empty()) continue;
        const auto i = static_cast<int32_t>(index);
        const float value = program.values[index];
        if (value == static_cast<float>(realToNormalized(defaultRealValue(i), i))) continue;
        std::printf("    %-3zu %-20s %-10.6f %s\n", index, names[index].c_str(), static_cast<double>(value),
                    displayText(i, normalizedToReal(value, i)).c_str());
        any = true;
    }
    if (!any) std::printf("    (the defaults)\n");
}

int show(const Arguments& arguments)
{
    const CommandLine line(arguments, {{"plugin", false}}, 1, "preset show");
    if (line.help()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string path = line.positional(0);
    const LoadedPlugin plugin(line.value("plugin", defaultPluginPath()));
    const Preset preset = decodePreset(readWholeFile(path, kLargestPresetFile), path, presetTarget(plugin));
    const std::vector<std::string> names = settingNames(plugin);
    std::printf("%s: %s of %s (%s)\n", path.c_str(), preset.bank ? "bank" : "program", idText(preset.uniqueId).c_str(),
                plugin.text(effGetEffectName).c_str());
    // A program and a bank read alike: each program's settings that differ from the defaults.
    if (preset.bank) std::printf("  current program %d\n", preset.currentProgram);
    std::printf("  settings that differ from the defaults:\n");
    for (std::size_t p = 0; p < preset.programs.size(); ++p) {
        if (preset.bank) {
            std::printf("  %zu \"%s\"\n", p, preset.programs[p].name.c_str());
        } else {
            std::printf("  \"%s\"\n", preset.programs[p].name.c_str());
        }
        showProgram(preset.programs[p], names);
    }
    return 0;
}

}  // namespace

int runPreset(const Arguments& arguments)
{
    if (arguments.empty() || arguments.front() == "--help" || arguments.front() == "-h") {
        std::fputs(kUsage, arguments.empty() ? stderr : stdout);
        return arguments.empty() ? kExitUsage : 0;
    }
    const Arguments rest(arguments.begin() + 1, arguments.end());
    if (arguments.front() == "save") return save(rest);
    if (arguments.front() == "show") return show(rest);
    throw UsageError("preset: unknown action \"" + arguments.front() + "\"; use save or show");
}
