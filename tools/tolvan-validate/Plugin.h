// The validator's side of the plug-in interface: loads a plug-in library the way a host
// does (the system's loader and the exported entry point, nothing else) and drives its
// effects only through the record.
#pragma once

#include <cstdint>
#include <string>

#include "effect/PluginInterface.h"

namespace validate {

// Host buffer sizes for the text opcodes, terminator included: what hosts really pass.
constexpr int32_t kParameterTextSize = 8;   // effGetParamLabel, effGetParamDisplay
constexpr int32_t kProgramNameSize = 24;    // effGetProgramName, effGetProgramNameIndexed, effSetProgramName
constexpr int32_t kLongTextSize = 64;       // effect, vendor and product names, parameter names

// The size a host gives the text of a text opcode, 0 for the others.
int32_t hostTextSize(int32_t opcode);

// The host's answers: version 2400 and nothing else. Counts the automation it is told of.
intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

class PluginLibrary {
public:
    // Stays mapped until the process ends: a library carrying its own C++ runtime keeps
    // start-up allocations that a leak checker would report once they were unmapped.
    // One loader per system: PluginLoaderLinux.cpp, PluginLoaderWindows.cpp.
    explicit PluginLibrary(const std::string& path);
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return entry != nullptr; }
    const std::string& error() const { return loadError; }
    // A new effect from the entry point, null when the plug-in refuses.
    AEffect* create(HostCallback callback = hostCallback) const;

private:
    using EntryPoint = AEffect* (*)(HostCallback);
    EntryPoint entry = nullptr;
    std::string loadError;
};

// One effect, closed with effClose when it goes out of scope.
class Effect {
public:
    explicit Effect(const PluginLibrary& library) : record(library.create()) {}
    ~Effect() { close(); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    bool valid() const { return record != nullptr; }
    AEffect* get() const { return record; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    void set(int32_t index, float value) { record->setParameter(record, index, value); }
    float get(int32_t index) { return record->getParameter(record, index); }
    void process(float** inputs, float** outputs, int32_t count) {
        record->processReplacing(record, inputs, outputs, count);
    }
    // What a host does before the first block: rate, block size, resume.
    void start(float sampleRate, int32_t blockSize);
    // effClose's answer; 0 when the effect was closed already.
    intptr_t close();

private:
    AEffect* record;
};

}  // namespace validate
