#include "tools/host/LoadedPlugin.h"

#include <filesystem>
#include <vector>

#include "tools/host/ToolError.h"

namespace {

// The effect from the library's entry point; throws ToolError naming path and cause when there is none.
AEffect* createdEffect(const hosting::PluginLibrary& library)
{
    const std::string& path = library.path();
    if (!library.loaded()) {
        throw ToolError(path + ": cannot load the plug-in: " + library.error() +
                        " (--plugin PATH names the library to load)");
    }
    const hosting::EntryPoint entry = library.hostEntry();
    AEffect* effect = entry != nullptr ? entry(hosting::quietHost) : nullptr;
    if (effect == nullptr || effect->magic != kEffectMagic) {
        throw ToolError(path + (entry == nullptr ? ": not a plug-in (no entry point VSTPluginMain)"
                                                 : ": the plug-in's entry point gave no effect"));
    }
    return effect;
}

}  // namespace

LoadedPlugin::LoadedPlugin(const std::string& path) : library(path), effect(createdEffect(library)) { effect.open(); }

LoadedPlugin::~LoadedPlugin()
{
    effect.suspend();
    effect.close();
}

std::string LoadedPlugin::text(int32_t opcode, int32_t index) const
{
    std::vector<char> buffer(256, '\0');
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

void LoadedPlugin::prepare(int sampleRate, int32_t blockSize) const
{
    effect.suspend();
    effect.setSampleRate(static_cast<float>(sampleRate));
    effect.setBlockSize(blockSize);
    effect.resume();
}

std::string defaultPluginPath()
{
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
