// The plug-in as the tool holds it: the library opened and the effect created and opened
// through the hosting library, in the tool's own words and with its own errors.
#pragma once

#include <cstdint>
#include <string>

#include "effect/PluginInterface.h"
#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/PluginLibrary.h"

class LoadedPlugin {
public:
    // Opens the library and creates the effect; throws ToolError naming path and cause.
    explicit LoadedPlugin(const std::string& path);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    const std::string& path() const { return library.path(); }
    AEffect& record() const { return *effect.get(); }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) const
    {
        return effect.dispatch(opcode, index, value, ptr, opt);
    }
    // A text answer of the dispatcher, read from a zeroed buffer of ample size: what a
    // plug-in leaves unwritten shows as nothing.
    std::string text(int32_t opcode, int32_t index = 0) const;

    int32_t numParams() const { return record().numParams; }
    int32_t numPrograms() const { return record().numPrograms; }
    float parameter(int32_t index) const { return effect.get(index); }
    void setParameter(int32_t index, float value) const { effect.set(index, value); }
    std::string parameterName(int32_t index) const { return text(effGetParamName, index); }

    // Rate and block size are set while suspended, then processing resumes.
    void prepare(int sampleRate, int32_t blockSize) const;
    void process(float** inputs, float** outputs, int32_t frames) const { effect.process(inputs, outputs, frames); }

private:
    hosting::PluginLibrary library;
    hosting::HostedEffect effect;
};

// The plug-in the tool loads unless told otherwise: the packaged one beside an installed
// tool, else the library built with it.
std::string defaultPluginPath();
