// The LV2 plug-in as a host loads it through lilv: its ports as the Turtle describes them,
// the same sound as the VST 2.x library to the bit, and what hosts may get wrong.
#include <gtest/gtest.h>

#include <lv2/core/lv2.h>
#include <lv2/port-props/port-props.h>
#include <lv2/units/units.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "effect/BandTable.h"
#include "effect/ParameterValues.h"
#include "tests/lv2/Lv2Rendering.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tools/hosting/HostedEffect.h"

namespace {

using namespace lv2test;

TEST(Lv2Ports, EveryParameterThatShapesTheSoundOrTheViewIsAPortInRealUnits)
{
    Lv2World& w = Lv2World::shared();
    ASSERT_NE(w.plugin, nullptr) << "no " << lv2test::kPluginUri << " in " << TOLVAN_LV2_BUNDLE;
    const std::vector<ControlPortInfo>& ports = controlInputs();

    std::set<int32_t> rows;
    for (const ControlPortInfo& port : ports) {
        ASSERT_NE(port.row, -1) << port.symbol << " names no parameter";
        EXPECT_TRUE(rows.insert(port.row).second) << port.symbol << " repeats a parameter";
    }
    // Everything but the spare row, the manual's and Reset, which are actions.
    std::set<int32_t> expected;
    for (int32_t row = 3; row < kNumParameters; ++row) {
        if (row != kResetParameter) expected.insert(row);
    }
    EXPECT_EQ(rows, expected);

    LilvNode* toggled = w.uri(LV2_CORE__toggled);
    LilvNode* logarithmic = w.uri(LV2_PORT_PROPS__logarithmic);
    LilvNode* unit = w.uri(LV2_UNITS__unit);
    LilvNode* designation = w.uri(LV2_CORE__designation);
    LilvNode* name = w.uri(LV2_CORE__name);
    std::vector<float> minimum(lilv_plugin_get_num_ports(w.plugin)), maximum(minimum.size()), defaults(minimum.size());
    lilv_plugin_get_port_ranges_float(w.plugin, minimum.data(), maximum.data(), defaults.data());
    for (const ControlPortInfo& port : ports) {
        SCOPED_TRACE(port.symbol);
        const ControlDescriptor& row = controlTable[port.row];
        const LilvPort* p = lilv_plugin_get_port_by_index(w.plugin, port.index);
        EXPECT_EQ(minimum[port.index], static_cast<float>(row.minValue));
        EXPECT_EQ(maximum[port.index], static_cast<float>(row.maxValue));
        EXPECT_EQ(defaults[port.index], static_cast<float>(row.defaultValue));
        EXPECT_EQ(lilv_port_has_property(w.plugin, p, toggled), isSwitchParameter(port.row));
        EXPECT_EQ(lilv_port_has_property(w.plugin, p, logarithmic), row.curve == Logarithmic);

        LilvNodes* units = lilv_port_get_value(w.plugin, p, unit);
        const LilvNode* first = units != nullptr ? lilv_nodes_get_first(units) : nullptr;
        const std::string unitUri = first != nullptr && lilv_node_is_uri(first) ? lilv_node_as_uri(first) : "";
        if (row.format == formatFrequency) {
            EXPECT_EQ(unitUri, LV2_UNITS__hz);
        } else if (row.format == formatDecibels && port.row != 5) {
            EXPECT_EQ(unitUri, LV2_UNITS__db);
        } else if (port.row == 5) {
            EXPECT_TRUE(first != nullptr && lilv_node_is_blank(first)) << "the slope has a unit of its own";
        } else {
            EXPECT_EQ(first, nullptr) << "a Q or a switch has no unit";
        }
        lilv_nodes_free(units);

        LilvNodes* designations = lilv_port_get_value(w.plugin, p, designation);
        const bool isEnabled = designations != nullptr && lilv_nodes_size(designations) == 1 &&
                               std::string(lilv_node_as_uri(lilv_nodes_get_first(designations))) == LV2_CORE__enabled;
        EXPECT_EQ(isEnabled, port.row == kBypassParameter);
        lilv_nodes_free(designations);

        // A cut band's Q reads "Edge" at the top, where the band's slope steepens.
        const bool cutQ = port.row == bandTable[static_cast<int32_t>(Band::LowCut)].q ||
                          port.row == bandTable[static_cast<int32_t>(Band::HiCut)].q;
        LilvScalePoints* points = lilv_port_get_scale_points(w.plugin, p);
        EXPECT_EQ(points != nullptr ? lilv_scale_points_size(points) : 0u, cutQ ? 1u : 0u);
        LILV_FOREACH(scale_points, i, points)
        {
            const LilvScalePoint* point = lilv_scale_points_get(points, i);
            EXPECT_STREQ(lilv_node_as_string(lilv_scale_point_get_label(point)), "Edge");
            EXPECT_EQ(lilv_node_as_float(lilv_scale_point_get_value(point)), high(port.row));
        }
        lilv_scale_points_free(points);

        LilvNode* label = lilv_port_get_name(w.plugin, p);
        ASSERT_NE(label, nullptr);
        const std::string text = lilv_node_as_string(label);
        EXPECT_EQ(text.find('_'), std::string::npos) << "a name reads as words: " << text;
        lilv_node_free(label);
    }
    for (LilvNode* node : {toggled, logarithmic, unit, designation, name}) lilv_node_free(node);

    LilvNode* audio = w.uri(LV2_CORE__AudioPort);
    LilvNode* input = w.uri(LV2_CORE__InputPort);
    LilvNode* output = w.uri(LV2_CORE__OutputPort);
    LilvNode* control = w.uri(LV2_CORE__ControlPort);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(w.plugin, audio, input, nullptr), 2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(w.plugin, audio, output, nullptr), 2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(w.plugin, control, output, nullptr), 1u);
    for (LilvNode* node : {audio, input, output, control}) lilv_node_free(node);

    LilvNode* type = w.uri("http://www.w3.org/1999/02/22-rdf-syntax-ns#type");
    LilvNode* equaliser = w.uri(LV2_CORE__EQPlugin);
    LilvNodes* types = lilv_plugin_get_value(w.plugin, type);
    EXPECT_TRUE(lilv_nodes_contains(types, equaliser));
    lilv_nodes_free(types);
    lilv_node_free(type);
    lilv_node_free(equaliser);
    LilvNode* plugName = lilv_plugin_get_name(w.plugin);
    EXPECT_STREQ(lilv_node_as_string(plugName), "Tolvan");
    lilv_node_free(plugName);
    // The version in step with the project's: LV2 has a minor and a micro number.
    for (const auto& [property, number] : {std::pair{LV2_CORE__minorVersion, TOLVAN_VERSION_MINOR},
                                           std::pair{LV2_CORE__microVersion, TOLVAN_VERSION_PATCH}}) {
        LilvNode* predicate = w.uri(property);
        LilvNodes* values = lilv_plugin_get_value(w.plugin, predicate);
        ASSERT_NE(values, nullptr) << property;
        EXPECT_EQ(lilv_node_as_int(lilv_nodes_get_first(values)), number) << property;
        lilv_nodes_free(values);
        lilv_node_free(predicate);
    }
    LilvNode* author = lilv_plugin_get_author_name(w.plugin);
    ASSERT_NE(author, nullptr);
    EXPECT_STREQ(lilv_node_as_string(author), "[Kelvo] Ormund.T");
    lilv_node_free(author);
}

TEST(Lv2Sound, SeededSettingsSoundAsThroughTheVstLibraryToTheBit)
{
    std::mt19937 rng(2101);
    constexpr double rates[] = {44100, 48000, 96000};
    for (uint32_t length : {1u, 7u, 64u, 4096u}) {
        for (int trial = 0; trial < 8; ++trial) {
            SCOPED_TRACE("block length " + std::to_string(length) + ", trial " + std::to_string(trial));
            // Two settings, the second one from the middle on, so that changes are heard too.
            Scene scene{rates[trial % 3],
                        {randomSettings(rng), randomSettings(rng)},
                        evenBlocks(length, std::max<std::size_t>(4, 6000 / length))};
            const Stereo input = noise(scene.samples(), static_cast<unsigned>(rng()));
            const Stereo vst = renderVst(scene, input);
            EXPECT_TRUE(allFinite(vst));
            ASSERT_TRUE(sameBits(renderLv2(scene, input), vst));
        }
    }
}

TEST(Lv2Sound, AnyBlockLengthIncludingNoneAndChangingOnes)
{
    std::mt19937 rng(2102);
    for (int trial = 0; trial < 4; ++trial) {
        Scene scene{48000, {randomSettings(rng), randomSettings(rng), randomSettings(rng)}, {}};
        for (int b = 0; b < 60; ++b) scene.blocks.push_back(rng() % 3 == 0 ? 0 : static_cast<uint32_t>(rng() % 700));
        const Stereo input = noise(scene.samples(), static_cast<unsigned>(rng()));
        EXPECT_TRUE(sameBits(renderLv2(scene, input), renderVst(scene, input))) << "trial " << trial;
    }
}

TEST(Lv2Sound, EachPortsRangeEndsAreItsParametersEnds)
{
    const Stereo input = noise(2048, 7);
    for (const ControlPortInfo& port : controlInputs()) {
        for (bool top : {false, true}) {
            SCOPED_TRACE(port.symbol + (top ? " at its maximum" : " at its minimum"));
            Settings lv2 = allBandsOn();
            lv2[port.row] = top ? high(port.row) : low(port.row);
            const Scene lv2Scene{48000, {lv2}, evenBlocks(256, 8)};

            // The VST 2.x library given the ends of the normalised range itself.
            hosting::HostedEffect effect(vstLibrary());
            ASSERT_NE(effect.get(), nullptr);
            effect.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
            effect.dispatch(effMainsChanged, 0, 1);
            for (const auto& [row, real] : allBandsOn()) effect.set(row, real);
            effect.set(port.row, top ? 1.0f : 0.0f);
            Stereo vst{std::vector<float>(2048), std::vector<float>(2048)};
            for (std::size_t at = 0; at < 2048; at += 256) {
                float* in[2] = {const_cast<float*>(input[0].data() + at), const_cast<float*>(input[1].data() + at)};
                float* out[2] = {vst[0].data() + at, vst[1].data() + at};
                effect->processReplacing(effect.get(), in, out, 256);
            }
            EXPECT_TRUE(sameBits(renderLv2(lv2Scene, input), vst));
        }
    }
}

TEST(Lv2Hostile, NaNIsIgnoredAndInfinitiesAndStrayValuesAreClamped)
{
    std::mt19937 rng(2103);
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    const std::vector<ControlPortInfo>& ports = controlInputs();
    for (int trial = 0; trial < 6; ++trial) {
        const Settings first = randomSettings(rng);
        Settings raw, expected = first;
        for (const ControlPortInfo& port : ports) {
            switch (rng() % 5) {
            case 0: raw[port.row] = nan; break;  // keeps the first phase's value
            case 1: raw[port.row] = inf, expected[port.row] = high(port.row); break;
            case 2: raw[port.row] = -inf, expected[port.row] = low(port.row); break;
            case 3: raw[port.row] = 1e30f, expected[port.row] = high(port.row); break;
            default: raw[port.row] = -1e30f, expected[port.row] = low(port.row); break;
            }
        }
        Scene hostile{44100, {first, first}, evenBlocks(512, 8)};
        const Scene reference{44100, {first, expected}, evenBlocks(512, 8)};
        const Stereo input = noise(hostile.samples(), static_cast<unsigned>(rng()));
        const Stereo out = renderLv2(hostile, input, true, {{1, raw}});
        EXPECT_TRUE(allFinite(out)) << "trial " << trial;
        EXPECT_TRUE(sameBits(out, renderVst(reference, input))) << "trial " << trial;
    }
}

TEST(Lv2Hostile, RatesThePluginCannotRunAtGiveNoInstance)
{
    for (double rate :
         {0.0, -48000.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e12}) {
        EXPECT_FALSE(Lv2Instance(rate).valid()) << rate;
    }
    EXPECT_TRUE(Lv2Instance(8000).valid());
}

TEST(Lv2Hostile, UnconnectedPortsAreSafe)
{
    const Stereo input = noise(1024, 11);
    std::mt19937 rng(2104);
    const Settings settings = randomSettings(rng);

    // A control port left unconnected keeps its parameter's default.
    const ControlPortInfo& skipped = controlInputs().at(rng() % controlInputs().size());
    Lv2Instance plugin(48000);
    ASSERT_TRUE(plugin.valid());
    std::map<int32_t, uint32_t> portOf;
    for (const ControlPortInfo& port : controlInputs()) {
        portOf[port.row] = port.index;
        if (port.row != skipped.row) plugin.connect(port.index, &plugin.values[port.index]);
    }
    for (const auto& [row, real] : settings) plugin.values[portOf[row]] = real;
    plugin.activate();
    Stereo out{std::vector<float>(1024), std::vector<float>(1024)};
    plugin.run(input[0].data(), input[1].data(), out[0].data(), out[1].data(), 1024);
    Settings withDefault = settings;
    withDefault[skipped.row] = static_cast<float>(controlTable[skipped.row].defaultValue);
    EXPECT_TRUE(sameBits(out, renderVst({48000, {withDefault}, {1024}}, input))) << skipped.symbol;

    // Without a whole pair of audio buffers the connected output is silent, and the level
    // port says so.
    float level = 0;
    Lv2Instance partial(48000);
    partial.connectControls();
    partial.connect(static_cast<uint32_t>(partial.values.size() - 1), &level);
    partial.activate();
    std::vector<float> left(512, 1.0f);
    partial.connect(0, const_cast<float*>(input[0].data()));
    partial.connect(2, left.data());
    partial.run(512);
    EXPECT_EQ(left, std::vector<float>(512, 0.0f));
    EXPECT_EQ(level, -120.0f);

    // Nothing connected at all.
    Lv2Instance bare(48000);
    bare.activate();
    bare.run(512);
    bare.run(0);
}

TEST(Lv2Hostile, RunBeforeActivateSoundsAsAfterAndActivateStartsAfresh)
{
    std::mt19937 rng(2105);
    const Scene scene{48000, {randomSettings(rng)}, evenBlocks(300, 10)};
    const Stereo input = noise(scene.samples(), 5);
    const Stereo activated = renderLv2(scene, input);
    EXPECT_TRUE(sameBits(renderLv2(scene, input, false), activated));

    // Played once, deactivated and activated again, the same input sounds as from a new instance.
    Lv2Instance plugin(48000);
    plugin.connectControls();
    for (const ControlPortInfo& port : controlInputs()) plugin.values[port.index] = scene.phases[0].at(port.row);
    plugin.activate();
    Stereo out{std::vector<float>(input[0].size()), std::vector<float>(input[1].size())};
    plugin.run(input[0].data(), input[1].data(), out[0].data(), out[1].data(), 3000);
    plugin.deactivate();
    plugin.activate();
    for (std::size_t at = 0; at < 3000; at += 300) {
        plugin.run(input[0].data() + at, input[1].data() + at, out[0].data() + at, out[1].data() + at, 300);
    }
    EXPECT_TRUE(sameBits(out, activated));
}

TEST(Lv2Level, TheLevelPortReadsEachBlocksOutputPeakInDecibelsFullScale)
{
    Lv2Instance plugin(48000);
    ASSERT_TRUE(plugin.valid());
    plugin.connectControls();
    plugin.control("enabled") = 0;  // the output is the input
    plugin.activate();
    float& level = plugin.control("level");
    std::vector<float> left(256, 0.0f), right(256, 0.0f), outLeft(256), outRight(256);
    right[100] = -0.5f;
    left[7] = 0.25f;
    plugin.run(left.data(), right.data(), outLeft.data(), outRight.data(), 256);
    EXPECT_NEAR(level, 20 * std::log10(0.5), 1e-4);
    std::fill(right.begin(), right.end(), 0.0f);
    std::fill(left.begin(), left.end(), 0.0f);
    plugin.run(left.data(), right.data(), outLeft.data(), outRight.data(), 256);
    EXPECT_EQ(level, -120.0f);
    // The peak in the last sample of a block of odd length counts; a NaN never does.
    left[3] = std::numeric_limits<float>::quiet_NaN();
    right[250] = -0.5f;
    plugin.run(left.data(), right.data(), outLeft.data(), outRight.data(), 251);
    EXPECT_NEAR(level, 20 * std::log10(0.5), 1e-4);
    right[250] = 0.0f;
    plugin.run(left.data(), right.data(), outLeft.data(), outRight.data(), 251);
    EXPECT_EQ(level, -120.0f);
}

}  // namespace
