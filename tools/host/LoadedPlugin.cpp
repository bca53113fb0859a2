#include "tools/host/LoadedPlugin.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include "tools/host/ToolError.h"

namespace {

// The host answers the version question and ignores everything else the effect says.
intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

LoadedPlugin::LoadedPlugin(const std::string& path) : libraryPath(path) {
    // The library stays mapped after dlclose: the C++ runtime linked into it keeps an
    // allocation for its whole life, which leak checkers would report after an unload.
    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) {
        const char* cause = dlerror();
        throw ToolError(path + ": cannot load the plug-in: " + (cause != nullptr ? cause : "unknown error") +
                        " (--plugin PATH names the library to load)");
    }
    using EntryPoint = AEffect* (*)(HostCallback);
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    if (entry == nullptr) entry = reinterpret_cast<EntryPoint>(dlsym(library, "main"));
    effect = entry != nullptr ? entry(hostCallback) : nullptr;
    if (effect == nullptr || effect->magic != kEffectMagic) {
        dlclose(library);
        throw ToolError(path + (entry == nullptr ? ": not a plug-in (no entry point VSTPluginMain)"
                                                 : ": the plug-in's entry point gave no effect"));
    }
    dispatch(effOpen);
}

LoadedPlugin::~LoadedPlugin() {
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
    dlclose(library);
}

intptr_t LoadedPlugin::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string LoadedPlugin::text(int32_t opcode, int32_t index) const {
    std::vector<char> buffer(256, '\0');
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

void LoadedPlugin::prepare(int sampleRate, int32_t blockSize) const {
    dispatch(effMainsChanged, 0, 0);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

std::string defaultPluginPath() {
    // Installed (/usr/bin/tolvan-host), the plug-in lies in the system's VST folder beside
    // bin/; run from the build folder, it is the library built with the tool.
    std::error_code failed;
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (!failed) {
        const std::filesystem::path installed = tool.parent_path().parent_path() / "lib/vst/Tolvan/Tolvan.so";
        if (std::filesystem::is_regular_file(installed, failed)) return installed.string();
    }
    return TOLVAN_PLUGIN_PATH;
}
