// The factory presets in both editions: the LV2 bundle's presets and the VST 2.x bank hold
// the same settings, heard to the bit.
#include <gtest/gtest.h>

#include <lv2/presets/presets.h>

#include <set>
#include <string>
#include <vector>

#include "tests/lv2/Lv2Rendering.h"
#include "tools/host/InputFile.h"
#include "tools/host/PresetFile.h"

namespace {

using namespace lv2test;

struct Lv2Preset {
    std::string label;
    Settings values;  // real values by parameter
};

// The presets lilv finds for the plug-in, with each port's value by its symbol.
std::vector<Lv2Preset> lv2Presets()
{
    Lv2World& w = Lv2World::shared();
    LilvNode* presetClass = w.uri(LV2_PRESETS__Preset);
    LilvNode* label = w.uri("http://www.w3.org/2000/01/rdf-schema#label");
    LilvNode* port = w.uri(LV2_CORE__port);
    LilvNode* symbol = w.uri(LV2_CORE__symbol);
    LilvNode* value = w.uri(LV2_PRESETS__value);
    std::vector<Lv2Preset> found;
    LilvNodes* presets = lilv_plugin_get_related(w.plugin, presetClass);
    LILV_FOREACH(nodes, i, presets)
    {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(w.world, preset);
        Lv2Preset entry;
        LilvNode* name = lilv_world_get(w.world, preset, label, nullptr);
        entry.label = name != nullptr ? lilv_node_as_string(name) : "";
        lilv_node_free(name);
        LilvNodes* ports = lilv_world_find_nodes(w.world, preset, port, nullptr);
        LILV_FOREACH(nodes, j, ports)
        {
            const LilvNode* p = lilv_nodes_get(ports, j);
            LilvNode* s = lilv_world_get(w.world, p, symbol, nullptr);
            LilvNode* v = lilv_world_get(w.world, p, value, nullptr);
            if (s != nullptr && v != nullptr) entry.values[rowOfSymbol(lilv_node_as_string(s))] = lilv_node_as_float(v);
            lilv_node_free(s);
            lilv_node_free(v);
        }
        lilv_nodes_free(ports);
        found.push_back(entry);
    }
    lilv_nodes_free(presets);
    for (LilvNode* node : {presetClass, label, port, symbol, value}) lilv_node_free(node);
    return found;
}

TEST(Lv2Presets, TheLv2PresetsAndTheVstBankHoldTheSameSettingsHeardToTheBit)
{
    const Preset bank = decodePreset(readWholeFile(TOLVAN_FACTORY_BANK, kLargestPresetFile), TOLVAN_FACTORY_BANK,
                                     {fourCharacters("iq71"), kNumParameters, kNumPrograms});
    ASSERT_TRUE(bank.bank);
    const std::vector<Lv2Preset> presets = lv2Presets();
    ASSERT_EQ(presets.size(), bank.programs.size());

    const Stereo input = noise(8192, 21);
    std::set<std::string> names;
    for (const PresetProgram& program : bank.programs) {
        SCOPED_TRACE(program.name);
        EXPECT_TRUE(names.insert(program.name).second) << "two presets of one name";
        const auto preset =
            std::find_if(presets.begin(), presets.end(), [&](const Lv2Preset& p) { return p.label == program.name; });
        ASSERT_NE(preset, presets.end()) << "no LV2 preset of that name";
        // A preset sets every port, so that nothing of the setting before it remains.
        EXPECT_EQ(preset->values.size(), controlInputs().size());

        Settings normalised;
        for (int32_t index = 0; index < kNumParameters; ++index) normalised[index] = program.values[index];
        const Stereo vst = renderVst({48000, {normalised}, evenBlocks(512, 16), true}, input);
        EXPECT_TRUE(sameBits(renderLv2({48000, {preset->values}, evenBlocks(512, 16)}, input), vst));
        // Each preset is heard: it is not the defaults' sound.
        EXPECT_FALSE(sameBits(renderLv2({48000, {Settings{}}, evenBlocks(512, 16)}, input), vst));
    }
}

}  // namespace
