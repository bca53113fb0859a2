// The program ("FxCk") and bank ("FxBk") files that hosts exchange for effects without a
// chunk: big-endian, a "CcnK" header, the effect's unique id, and the parameter values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PresetProgram {
    std::string name;           // up to 28 bytes in the file
    std::vector<float> values;  // normalised, one per parameter
};

struct Preset {
    bool bank = false;
    int32_t uniqueId = 0;
    int32_t currentProgram = 0;  // banks of format version 2 name it; 0 otherwise
    std::vector<PresetProgram> programs;
};

// What a file must match to be taken: this effect's id and counts.
// No program or bank file of an effect comes near this (a bank of 128 programs of 1000
// parameters takes about 520 KB); anything longer is not one and is not read whole.
constexpr std::size_t kLargestPresetFile = 1 << 20;

struct PresetTarget {
    int32_t uniqueId;
    int32_t numParams;
    int32_t numPrograms;
};

std::vector<uint8_t> encodeProgramFile(const PresetProgram& program, int32_t uniqueId, int32_t effectVersion);
std::vector<uint8_t> encodeBankFile(const std::vector<PresetProgram>& programs, int32_t currentProgram,
                                    int32_t uniqueId, int32_t effectVersion);

// Reads either kind. Throws ToolError naming fileName and the cause: not a preset, cut
// short, another effect's, another parameter or program count, a value outside 0..1.
Preset decodePreset(const std::vector<uint8_t>& bytes, const std::string& fileName, const PresetTarget& target);

// The four characters of an id, or its hexadecimal number where they are not printable.
std::string idText(int32_t id);
