// tolvan-host: loads the plug-in library as a host does, creates the effect through its
// entry point and prints what the effect tells a host: identity, parameters and programs.
// Next to each parameter it prints the text the editor's value display would show.
//
// Usage: tolvan-host [path to Tolvan.so]   (default: the library built with this tool)
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "effect/PluginInterface.h"
#include "effect/DisplayFormats.h"
#include "effect/ParameterValues.h"

namespace {

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Effect {
    AEffect* effect;

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) const {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    const char* text(int32_t opcode, int32_t index, char* buffer, std::size_t size) const {
        std::memset(buffer, 0, size);
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
};

void printIdentity(const Effect& e) {
    char buffer[256];
    std::printf("Effect name:     %s\n", e.text(effGetEffectName, 0, buffer, sizeof buffer));
    std::printf("Product:         %s\n", e.text(effGetProductString, 0, buffer, sizeof buffer));
    std::printf("Vendor:          %s\n", e.text(effGetVendorString, 0, buffer, sizeof buffer));
    std::printf("Vendor version:  %ld\n", static_cast<long>(e.dispatch(effGetVendorVersion)));
    std::printf("VST version:     %ld\n", static_cast<long>(e.dispatch(effGetVstVersion)));
    std::printf("Category:        %ld\n", static_cast<long>(e.dispatch(effGetPlugCategory)));
    const auto id = static_cast<uint32_t>(e.effect->uniqueID);
    std::printf("Unique id:       0x%08x (%c%c%c%c)\n", id, static_cast<char>(id >> 24), static_cast<char>(id >> 16),
                static_cast<char>(id >> 8), static_cast<char>(id));
    std::printf("Inputs/outputs:  %d/%d\n", e.effect->numInputs, e.effect->numOutputs);
    std::printf("Flags:           0x%x\n", static_cast<unsigned>(e.effect->flags));
    ERect* rect = nullptr;
    if (e.dispatch(effEditGetRect, 0, 0, &rect) != 0 && rect != nullptr) {
        std::printf("Editor:          %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    }
}

void printParameters(const Effect& e) {
    std::printf("\n%d parameters:\n", e.effect->numParams);
    std::printf("  %-3s %-20s %-10s %-12s %s\n", "#", "host name", "value", "real", "editor text");
    for (int32_t index = 0; index < e.effect->numParams; ++index) {
        char name[256];
        const float value = e.effect->getParameter(e.effect, index);
        const ControlDescriptor& row = controlTable[index];
        const double real = normalizedToReal(value, index);
        char display[kDisplayTextSize] = "";
        if (row.format != nullptr) row.format(static_cast<float>(real), display);
        std::printf("  %-3d %-20s %-10.6f %-12.6g %s\n", index, e.text(effGetParamName, index, name, sizeof name),
                    static_cast<double>(value), real, display);
    }
}

void printPrograms(const Effect& e) {
    std::printf("\n%d programs (current: %ld):\n", e.effect->numPrograms, static_cast<long>(e.dispatch(effGetProgram)));
    for (int32_t index = 0; index < e.effect->numPrograms; ++index) {
        char name[256] = "";
        e.dispatch(effGetProgramNameIndexed, index, 0, name);
        std::printf("  %d  %s\n", index, name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : TOLVAN_PLUGIN_PATH;
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "tolvan-host: cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    using EntryPoint = AEffect* (*)(HostCallback);
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    AEffect* effect = entry != nullptr ? entry(hostCallback) : nullptr;
    if (effect == nullptr || effect->magic != kEffectMagic) {
        std::fprintf(stderr, "tolvan-host: %s gives no effect\n", path);
        dlclose(library);
        return 1;
    }
    std::printf("Loaded %s\n\n", path);
    const Effect e{effect};
    e.dispatch(effOpen);
    e.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    e.dispatch(effSetBlockSize, 0, 512);
    e.dispatch(effMainsChanged, 0, 1);
    printIdentity(e);
    printParameters(e);
    printPrograms(e);
    e.dispatch(effMainsChanged, 0, 0);
    e.dispatch(effClose);
    dlclose(library);
    return 0;
}
