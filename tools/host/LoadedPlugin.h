// The plug-in as a host holds it: the library opened with dlopen, the effect created
// through its exported entry point, and every call made through the effect's record.
#pragma once

#include <cstdint>
#include <string>

#include "effect/PluginInterface.h"

class LoadedPlugin {
public:
    // Opens the library and creates the effect; throws ToolError naming path and cause.
    explicit LoadedPlugin(const std::string& path);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    const std::string& path() const { return libraryPath; }
    AEffect& record() const { return *effect; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0) const;
    // A text answer of the dispatcher, read from a zeroed buffer of ample size.
    std::string text(int32_t opcode, int32_t index = 0) const;

    int32_t numParams() const { return effect->numParams; }
    int32_t numPrograms() const { return effect->numPrograms; }
    float parameter(int32_t index) const { return effect->getParameter(effect, index); }
    void setParameter(int32_t index, float value) const { effect->setParameter(effect, index, value); }
    std::string parameterName(int32_t index) const { return text(effGetParamName, index); }

    // Rate and block size are set while suspended, then processing resumes.
    void prepare(int sampleRate, int32_t blockSize) const;
    void process(float** inputs, float** outputs, int32_t frames) const {
        effect->processReplacing(effect, inputs, outputs, frames);
    }

private:
    std::string libraryPath;
    void* library = nullptr;
    AEffect* effect = nullptr;
};

// The plug-in the tool loads unless told otherwise: the packaged one beside an installed
// tool, else the library built with it.
std::string defaultPluginPath();
