#include "tools/host/EffectSettings.h"

#include <cstring>

#include "effect/ProgramRecord.h"
#include "tools/host/BandNames.h"
#include "tools/host/CommandLine.h"
#include "tools/host/InputFile.h"
#include "tools/host/ToolError.h"

namespace {

void applyProgram(const LoadedPlugin& plugin, const PresetProgram& program)
{
    for (int32_t index = 0; index < plugin.numParams(); ++index) {
        // The others would act (reset the program, open the manual) instead of restoring.
        if (isStoredParameter(index)) plugin.setParameter(index, program.values[static_cast<std::size_t>(index)]);
    }
    // The effect's name field holds 23 characters and the terminator.
    char name[kProgramNameSize] = {};
    std::strncpy(name, program.name.c_str(), sizeof name - 1);
    plugin.dispatch(effSetProgramName, 0, 0, name);
}

}  // namespace

StateRequest stateRequest(const CommandLine& line)
{
    return {line.value("preset"), line.number("program", -1, 0, kNumPrograms - 1), line.values("set")};
}

std::vector<std::string> settingNames(const LoadedPlugin& plugin)
{
    std::vector<std::string> hostNames;
    for (int32_t index = 0; index < plugin.numParams(); ++index) hostNames.push_back(plugin.parameterName(index));
    return settableNames(hostNames);
}

PresetTarget presetTarget(const LoadedPlugin& plugin)
{
    return {plugin.record().uniqueID, plugin.numParams(), plugin.numPrograms()};
}

PresetProgram currentProgram(const LoadedPlugin& plugin)
{
    PresetProgram program;
    // The indexed name is the stored one, without the numbering that "Init" gets.
    program.name = plugin.text(effGetProgramNameIndexed, static_cast<int32_t>(plugin.dispatch(effGetProgram)));
    for (int32_t index = 0; index < plugin.numParams(); ++index) program.values.push_back(plugin.parameter(index));
    return program;
}

std::vector<PresetProgram> allPrograms(const LoadedPlugin& plugin)
{
    const intptr_t current = plugin.dispatch(effGetProgram);
    std::vector<PresetProgram> programs;
    for (int32_t p = 0; p < plugin.numPrograms(); ++p) {
        plugin.dispatch(effSetProgram, 0, p);
        programs.push_back(currentProgram(plugin));
    }
    plugin.dispatch(effSetProgram, 0, current);
    return programs;
}

void loadPreset(const LoadedPlugin& plugin, const Preset& preset)
{
    if (!preset.bank) {
        applyProgram(plugin, preset.programs.front());
        return;
    }
    for (std::size_t p = 0; p < preset.programs.size(); ++p) {
        plugin.dispatch(effSetProgram, 0, static_cast<intptr_t>(p));
        applyProgram(plugin, preset.programs[p]);
    }
    plugin.dispatch(effSetProgram, 0, preset.currentProgram);
}

std::vector<std::string> settingsWithoutEffect(const LoadedPlugin& plugin,
                                               const std::vector<ParameterSetting>& settings)
{
    std::vector<std::string> lines;
    for (const ParameterSetting& setting : settings) {
        const BandRow* band = bandShaping(setting.index);
        // The effect's own text for its switch says whether the band sounds.
        if (band == nullptr || plugin.text(effGetParamDisplay, band->enabled).find("on") != std::string::npos) continue;
        const std::string switchName = plugin.parameterName(band->enabled);
        const std::string shown = switchName.substr(switchName.find(' ') + 1);
        const char* aspect = setting.index == band->frequency ? "frequency"
                             : setting.index == band->gain    ? "gain"
                                                              : "Q";
        lines.push_back(shown + " is off: its " + aspect + " has no effect; add --set '" + switchName + "=on'");
    }
    return lines;
}

std::vector<ParameterSetting> readSettings(const LoadedPlugin& plugin, const StateRequest& request)
{
    const std::vector<std::string> names = settingNames(plugin);
    std::vector<ParameterSetting> settings;
    for (const std::string& text : request.settings) settings.push_back(parseSetting(text, names));
    return settings;
}

void applyState(const LoadedPlugin& plugin, const StateRequest& request, const std::vector<ParameterSetting>& settings)
{
    if (!request.presetPath.empty()) {
        loadPreset(plugin, decodePreset(readWholeFile(request.presetPath, kLargestPresetFile), request.presetPath,
                                        presetTarget(plugin)));
    }
    if (request.program >= 0) plugin.dispatch(effSetProgram, 0, request.program);
    for (const ParameterSetting& setting : settings) plugin.setParameter(setting.index, setting.normalized);
}
