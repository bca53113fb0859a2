// tolvan-host info: what the effect tells a host (identity, parameters with their values
// and editor texts, programs) and whether the manual lies beside the library.
#include <sys/stat.h>

#include <cstdio>

#include "effect/ParameterValues.h"
#include "tools/host/CommandLine.h"
#include "tools/host/Commands.h"
#include "tools/host/LoadedPlugin.h"
#include "tools/host/ParameterSetting.h"
#include "tools/host/PresetFile.h"

namespace {

constexpr const char* kUsage = "Usage: tolvan-host info [--plugin PATH]\n"
                               "Loads the plug-in as a host does and prints its identity, its parameters with their\n"
                               "values and editor texts, its programs and where its manual lies.\n";

void printIdentity(const LoadedPlugin& plugin)
{
    const AEffect& e = plugin.record();
    std::printf("Effect name:     %s\n", plugin.text(effGetEffectName).c_str());
    std::printf("Product:         %s\n", plugin.text(effGetProductString).c_str());
    std::printf("Vendor:          %s\n", plugin.text(effGetVendorString).c_str());
    std::printf("Vendor version:  %ld\n", static_cast<long>(plugin.dispatch(effGetVendorVersion)));
    std::printf("VST version:     %ld\n", static_cast<long>(plugin.dispatch(effGetVstVersion)));
    std::printf("Category:        %ld\n", static_cast<long>(plugin.dispatch(effGetPlugCategory)));
    std::printf("Unique id:       0x%08x (%s)\n", static_cast<unsigned>(e.uniqueID), idText(e.uniqueID).c_str());
    std::printf("Inputs/outputs:  %d/%d\n", e.numInputs, e.numOutputs);
    std::printf("Flags:           0x%x\n", static_cast<unsigned>(e.flags));
    ERect* rect = nullptr;
    if (plugin.dispatch(effEditGetRect, 0, 0, &rect) != 0 && rect != nullptr) {
        std::printf("Editor:          %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    }
}

void printManual(const LoadedPlugin& plugin)
{
    const std::string& path = plugin.path();
    const auto slash = path.rfind('/');
    const std::string manual = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + "documents/index.htm";
    struct stat status {};
    const bool found = stat(manual.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    std::printf("Manual:          %s (%s)\n", manual.c_str(), found ? "found" : "missing");
}

// What the editor calls a parameter the host is given no name for: the label beside its
// control (PRE, SLOPE, Reset); empty for the rows that are displays, not controls.
std::string editorLabel(int32_t index)
{
    if (index < 0 || index >= kNumParameters) return "";
    const ControlDescriptor& row = controlTable[index];
    const bool control = row.kind == KindOnOffButton || row.kind == KindAnimKnob || row.kind == KindKickButton;
    if (!control) return "";
    std::string label = row.name;
    label.erase(label.find_last_not_of(' ') + 1);
    return "(editor: " + label + ")";
}

void printParameters(const LoadedPlugin& plugin)
{
    std::printf("\n%d parameters:\n", plugin.numParams());
    std::printf("  %-3s %-20s %-10s %-12s %s\n", "#", "host name", "value", "real", "editor text");
    for (int32_t index = 0; index < plugin.numParams(); ++index) {
        const float value = plugin.parameter(index);
        const ControlDescriptor& row = controlTable[index < kNumParameters ? index : 0];
        const double real = normalizedToReal(value, index);
        const std::string text = row.format != nullptr ? displayText(index, real) : "";
        std::string name = plugin.parameterName(index);
        if (name.empty()) name = editorLabel(index);
        std::printf("  %-3d %-20s %-10.6f %-12.6g %s\n", index, name.c_str(), static_cast<double>(value), real,
                    text.c_str());
    }
}

void printPrograms(const LoadedPlugin& plugin)
{
    std::printf("\n%d programs (current: %ld):\n", plugin.numPrograms(),
                static_cast<long>(plugin.dispatch(effGetProgram)));
    for (int32_t index = 0; index < plugin.numPrograms(); ++index) {
        std::printf("  %d  %s\n", index, plugin.text(effGetProgramNameIndexed, index).c_str());
    }
}

}  // namespace

int runInfo(const Arguments& arguments)
{
    const CommandLine line(arguments, {{"plugin", false}}, 0, "info");
    if (line.help()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const LoadedPlugin plugin(line.value("plugin", defaultPluginPath()));
    plugin.prepare(48000, 512);
    std::printf("Loaded %s\n\n", plugin.path().c_str());
    printIdentity(plugin);
    printManual(plugin);
    printParameters(plugin);
    printPrograms(plugin);
    return 0;
}
