// libFuzzer target: program and bank files as a user hands them to tolvan-host (--preset,
// preset show). Every input is either this effect's preset or refused with a message;
// what is taken holds values a host may send.
#include <cstdio>
#include <cstdlib>

#include "effect/PluginInterface.h"
#include "effect/ProgramRecord.h"
#include "tests/fuzz/FuzzInput.h"
#include "tools/host/InputFile.h"
#include "tools/host/PresetFile.h"
#include "tools/host/ToolError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr PresetTarget kEffect{fourCharacters("iq71"), kNumParameters, kNumPrograms};
    const fuzzinput::MemoryFile file(data, size);
    try {
        const Preset preset = decodePreset(readWholeFile(file.path(), kLargestPresetFile), "fuzz", kEffect);
        const std::size_t expected = preset.bank ? static_cast<std::size_t>(kNumPrograms) : 1;
        bool sound =
            preset.programs.size() == expected && preset.currentProgram >= 0 && preset.currentProgram < kNumPrograms;
        for (const PresetProgram& program : preset.programs) {
            sound =
                sound && program.values.size() == static_cast<std::size_t>(kNumParameters) && program.name.size() <= 28;
            for (const float v : program.values) sound = sound && v >= 0.0f && v <= 1.0f;
        }
        if (!sound) {
            std::fprintf(stderr, "a preset was taken that a host could not load\n");
            std::abort();
        }
    } catch (const ToolError&) {
        // Refused with a message: what the tool does with a file that is not a preset.
    }
    return 0;
}
