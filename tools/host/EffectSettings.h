// What the command line asks of the effect's state, applied as a host applies it: a
// preset file, then a program, then single parameters; and the programs read back.
#pragma once

#include <string>
#include <vector>

#include "tools/host/LoadedPlugin.h"
#include "tools/host/ParameterSetting.h"
#include "tools/host/PresetFile.h"

class CommandLine;

// The options that every subcommand touching the state shares.
struct StateRequest {
    std::string presetPath;  // empty: none
    long program = -1;       // -1: keep the current one
    std::vector<std::string> settings;
};

StateRequest stateRequest(const CommandLine& line);

// The names --set may use, read from the effect.
std::vector<std::string> settingNames(const LoadedPlugin& plugin);

// The request's settings, read before anything is applied so that a typing error costs
// nothing; throws UsageError for a setting the effect does not take.
std::vector<ParameterSetting> readSettings(const LoadedPlugin& plugin, const StateRequest& request);

// Throws ToolError for a preset that cannot be read or is another effect's.
void applyState(const LoadedPlugin& plugin, const StateRequest& request, const std::vector<ParameterSetting>& settings);

// A line for standard error for each setting that changes nothing because its band is
// switched off in the state the effect ended up in.
std::vector<std::string> settingsWithoutEffect(const LoadedPlugin& plugin,
                                               const std::vector<ParameterSetting>& settings);

PresetTarget presetTarget(const LoadedPlugin& plugin);
PresetProgram currentProgram(const LoadedPlugin& plugin);
std::vector<PresetProgram> allPrograms(const LoadedPlugin& plugin);
void loadPreset(const LoadedPlugin& plugin, const Preset& preset);
