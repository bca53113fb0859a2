// tolvan-factory-bank PLUGIN OUT.fxb: the factory presets as a bank that VST 2.x hosts
// load. Each preset goes into one of the plug-in's programs through the host interface,
// as a user would set it, and the bank is what the plug-in then holds.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "effect/FactoryPresets.h"
#include "effect/ParameterValues.h"
#include "tools/host/EffectSettings.h"
#include "tools/host/LoadedPlugin.h"
#include "tools/host/OutputFile.h"
#include "tools/host/PresetFile.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: tolvan-factory-bank PLUGIN OUT.fxb\n", stderr);
        return 2;
    }
    try {
        const LoadedPlugin plugin(argv[1]);
        int32_t program = 0;
        for (const factorypresets::FactoryPreset& preset : factorypresets::factoryPresets) {
            plugin.dispatch(effSetProgram, 0, program++);
            for (const factorypresets::PresetSetting& setting : preset.settings) {
                if (setting.index == kNoParameter) continue;
                plugin.setParameter(setting.index, static_cast<float>(realToNormalized(setting.value, setting.index)));
            }
            std::string name = preset.name;
            plugin.dispatch(effSetProgramName, 0, 0, name.data());
        }
        plugin.dispatch(effSetProgram, 0, 0);
        const AEffect& effect = plugin.record();
        writeFileSafely(argv[2], encodeBankFile(allPrograms(plugin), 0, effect.uniqueID, effect.version));
        return EXIT_SUCCESS;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tolvan-factory-bank: %s\n", error.what());
        return EXIT_FAILURE;
    }
}
