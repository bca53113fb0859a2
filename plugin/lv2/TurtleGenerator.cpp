// Writes the LV2 bundle's description from the control table and the port table at build
// time, so that a port's range, default, unit and curve are the parameter's own.
//
// Usage: tolvan-lv2-turtle BUNDLE_DIR BINARY UI_BINARY MINOR_VERSION MICRO_VERSION VENDOR
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "effect/FactoryPresets.h"
#include "effect/ParameterValues.h"
#include "plugin/lv2/PortTable.h"

namespace {

using namespace lv2ports;

// The product the plug-in belongs to, which names its maker.
constexpr char kProjectUri[] = "urn:tolvan:project";
constexpr char kPrefixes[] = R"(@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix units: <http://lv2plug.in/ns/extensions/units#> .
)";

// The shortest decimal that reads back as the same single-precision number, which is what
// the host reads it as.
std::string decimal(double value)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<float>(value), std::chars_format::fixed).ptr;
    std::string result(text, end);
    if (result.find('.') == std::string::npos) result += ".0";
    return result;
}

// The unit of a row, from the text its value display writes; the analyser's slope is a
// tilt per octave.
std::string unitOf(ParamId row)
{
    const ControlDescriptor& descriptor = controlTable[row];
    if (descriptor.format == formatFrequency) return "units:hz";
    if (descriptor.format != formatDecibels) return {};
    if (row == kSlopeParameter) {  // a tilt of the spectra in decibels per octave
        return R"([ a units:Unit ; rdfs:label "decibels per octave" ; units:symbol "dB/oct" ; units:render "%f dB/oct" ])";
    }
    return "units:db";
}

// Values that the value display names rather than numbers, as a host's list of them: a
// cut band's Q reads "Edge" at the top of its range.
std::string namedValues(const ControlDescriptor& row)
{
    if (row.format == nullptr) return {};
    char text[kDisplayTextSize] = {};
    row.format(static_cast<float>(row.maxValue), text);
    if (std::string_view(text).find_first_of("0123456789") != std::string_view::npos) return {};
    return "        lv2:scalePoint [ rdfs:label \"" + std::string(text) + "\" ; rdf:value " + decimal(row.maxValue) +
           " ] ;\n";
}

void writeControlPort(std::ostream& out, uint32_t index, const ControlPort& port)
{
    const ControlDescriptor& row = controlTable[port.row];
    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << port.symbol << "\" ;\n"
        << "        lv2:name \"" << port.name << "\" ;\n";
    if (port.row == kBypassParameter) out << "        lv2:designation lv2:enabled ;\n";
    if (isSwitchParameter(port.row)) out << "        lv2:portProperty lv2:toggled ;\n";
    if (row.curve == Logarithmic) out << "        lv2:portProperty pprops:logarithmic ;\n";
    if (row.curve == HalfStep) {
        // Whole half decibels: the effect brings any value down to one of them.
        out << "        pprops:rangeSteps " << static_cast<int>((row.maxValue - row.minValue) * 2) + 1 << " ;\n";
    }
    if (const std::string unit = unitOf(port.row); !unit.empty()) out << "        units:unit " << unit << " ;\n";
    out << namedValues(row);
    out << "        lv2:default " << decimal(row.defaultValue) << " ;\n"
        << "        lv2:minimum " << decimal(row.minValue) << " ;\n"
        << "        lv2:maximum " << decimal(row.maxValue) << "\n";
}

void writeAudioPort(std::ostream& out, uint32_t index, bool input, const char* symbol, const char* name)
{
    out << "        a lv2:" << (input ? "InputPort" : "OutputPort") << " , lv2:AudioPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name \"" << name << "\"\n";
}

// The editor in the host's X11 window: it shows the effect itself, so it needs the host's
// instance access, and the host's idle calls drive it. Every control port it shows is
// sent to it. It takes the host's scale factor from the options, at instantiation or later.
std::string userInterface()
{
    std::ostringstream out;
    out << "\n<" << kUiUri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:parent , ui:idleInterface , <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , <http://lv2plug.in/ns/ext/options#options> , "
           "<http://lv2plug.in/ns/ext/urid#map> ;\n"
        << "    lv2:extensionData ui:idleInterface , <http://lv2plug.in/ns/ext/options#interface> ;\n"
        << "    <http://lv2plug.in/ns/ext/options#supportedOption> ui:scaleFactor";
    for (const ControlPort& port : controlPorts) {
        out << " ;\n    ui:portNotification [ ui:plugin <" << kPluginUri << "> ; lv2:symbol \"" << port.symbol
            << "\" ; ui:protocol ui:floatProtocol ]";
    }
    out << " .\n";
    return out.str();
}

std::string pluginDescription(const std::string& minor, const std::string& micro, const std::string& vendor)
{
    std::ostringstream out;
    out << kPrefixes << "\n<" << kProjectUri << ">\n"
        << "    a doap:Project ;\n"
        << "    doap:name \"Tolvan\" ;\n"
        << "    doap:maintainer [ foaf:name \"" << vendor << "\" ] .\n"
        << "\n<" << kPluginUri << ">\n"
        << "    a lv2:Plugin , lv2:EQPlugin ;\n"
        << "    lv2:project <" << kProjectUri << "> ;\n"
        << "    doap:name \"Tolvan\" ;\n"
        << "    doap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;\n"
        << "    rdfs:comment \"A stereo eight-band parametric equaliser: low cut, low shelf, three peaking bands, "
           "high shelf, a tilt and a high cut, with an output gain.\" ;\n"
        << "    lv2:minorVersion " << minor << " ;\n"
        << "    lv2:microVersion " << micro << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "    ui:ui <" << kUiUri << "> ;\n"
        << "    lv2:port [\n";
    writeAudioPort(out, kInputLeft, true, "in_left", "Input Left");
    out << "    ] , [\n";
    writeAudioPort(out, kInputRight, true, "in_right", "Input Right");
    out << "    ] , [\n";
    writeAudioPort(out, kOutputLeft, false, "out_left", "Output Left");
    out << "    ] , [\n";
    writeAudioPort(out, kOutputRight, false, "out_right", "Output Right");
    for (uint32_t i = 0; i < kNumControlPorts; ++i) {
        out << "    ] , [\n";
        writeControlPort(out, kFirstControlPort + i, controlPorts[i]);
    }
    out << "    ] , [\n"
        << "        a lv2:OutputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << kLevelPort << " ;\n"
        << "        lv2:symbol \"level\" ;\n"
        << "        lv2:name \"Output Level\" ;\n"
        << "        units:unit units:db ;\n"
        << "        lv2:default " << decimal(kSilenceLevelDb) << " ;\n"
        << "        lv2:minimum " << decimal(kSilenceLevelDb) << " ;\n"
        << "        lv2:maximum 24.0\n"
        << "    ] .\n";
    return out.str() + userInterface();
}

// A preset's URI, from its name: "Low-End Clean-Up" is urn:tolvan:preset:low-end-clean-up.
std::string presetUri(std::string_view name)
{
    std::string slug;
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (c >= 'A' && c <= 'Z') {
            slug += static_cast<char>(c - 'A' + 'a');
        } else if (letter) {
            slug += c;
        } else if (!slug.empty() && slug.back() != '-') {
            slug += '-';
        }
    }
    return "urn:tolvan:preset:" + slug;
}

// The real value a preset gives a port: its own setting, else the parameter's default.
double presetValue(const factorypresets::FactoryPreset& preset, ParamId row)
{
    for (const factorypresets::PresetSetting& setting : preset.settings) {
        if (setting.index == row) return setting.value;
    }
    return controlTable[row].defaultValue;
}

// Every port's value, so that a preset sets the whole plug-in whatever it held before.
std::string presets()
{
    std::ostringstream out;
    out << kPrefixes;
    for (const factorypresets::FactoryPreset& preset : factorypresets::factoryPresets) {
        out << "\n<" << presetUri(preset.name) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:label \"" << preset.name << "\" ;\n"
            << "    lv2:port [\n";
        for (uint32_t i = 0; i < kNumControlPorts; ++i) {
            if (i > 0) out << "    ] , [\n";
            out << "        lv2:symbol \"" << controlPorts[i].symbol << "\" ;\n"
                << "        pset:value " << decimal(presetValue(preset, controlPorts[i].row)) << "\n";
        }
        out << "    ] .\n";
    }
    return out.str();
}

std::string manifest(const std::string& binary, const std::string& uiBinary)
{
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n"
        << "<" << kPluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << binary << "> ;\n"
        << "    rdfs:seeAlso <tolvan.ttl> .\n"
        << "\n<" << kUiUri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    ui:binary <" << uiBinary << "> ;\n"
        << "    rdfs:seeAlso <tolvan.ttl> .\n";
    for (const factorypresets::FactoryPreset& preset : factorypresets::factoryPresets) {
        out << "\n<" << presetUri(preset.name) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n";
    }
    return out.str();
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::cerr << "tolvan-lv2-turtle: cannot write " << path << "\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::cerr << "usage: tolvan-lv2-turtle BUNDLE_DIR BINARY UI_BINARY MINOR_VERSION MICRO_VERSION VENDOR\n";
        return 2;
    }
    const std::string bundle = argv[1];
    const bool written = writeFile(bundle + "/manifest.ttl", manifest(argv[2], argv[3])) &&
                         writeFile(bundle + "/tolvan.ttl", pluginDescription(argv[4], argv[5], argv[6])) &&
                         writeFile(bundle + "/presets.ttl", presets());
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
