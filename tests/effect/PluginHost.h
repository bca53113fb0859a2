// A minimal host for tests: loads the built plug-in library (dlopen, or LoadLibrary in the
// wine test host), creates the effect through its exported entry point and talks to it
// only through the AEffect record, as a real host does. It records every host-callback call.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "effect/PluginInterface.h"

class PluginLibrary {
public:
    using EntryPoint = AEffect* (*)(HostCallback);
#if defined(_WIN32)
    // The wine test host loads the DLL as Windows hosts do.
    explicit PluginLibrary(const char* path = TOLVAN_PLUGIN_PATH) : handle(LoadLibraryA(path)) {}
    ~PluginLibrary() {
        if (handle != nullptr) FreeLibrary(handle);
    }
    EntryPoint entry(const char* name = "VSTPluginMain") const {
        return handle != nullptr ? reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
                                 : nullptr;
    }
#else
    // The library stays mapped after dlclose: the C++ runtime linked into it keeps an
    // allocation for its whole life, which leak checkers would report after an unload.
    explicit PluginLibrary(const char* path = TOLVAN_PLUGIN_PATH)
        : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {}
    ~PluginLibrary() {
        if (handle != nullptr) dlclose(handle);
    }
    EntryPoint entry(const char* name = "VSTPluginMain") const {
        return handle != nullptr ? reinterpret_cast<EntryPoint>(dlsym(handle, name)) : nullptr;
    }
#endif
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle != nullptr; }

private:
#if defined(_WIN32)
    HMODULE handle;
#else
    void* handle;
#endif
};

struct HostCall {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    float opt;
};

// The host side: answers version 2400 and records what the effect asks.
class TestHost {
public:
    static TestHost*& current() {
        static TestHost* host = nullptr;
        return host;
    }
    static intptr_t callback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float opt) {
        TestHost* host = current();
        if (host == nullptr) return 0;
        std::lock_guard<std::mutex> lock(host->mutex);
        host->calls.push_back({opcode, index, value, opt});
        return opcode == audioMasterVersion ? host->versionAnswer : 0;
    }

    TestHost() { current() = this; }
    ~TestHost() { current() = nullptr; }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    std::vector<HostCall> callsOf(int32_t opcode) {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<HostCall> found;
        for (const HostCall& call : calls) {
            if (call.opcode == opcode) found.push_back(call);
        }
        return found;
    }

    intptr_t versionAnswer = 2400;

private:
    std::mutex mutex;
    std::vector<HostCall> calls;
};

// One effect created through the library's entry point, closed at the end of its scope.
class HostedEffect {
public:
    explicit HostedEffect(const PluginLibrary& library) {
        if (PluginLibrary::EntryPoint entry = library.entry()) effect = entry(TestHost::callback);
    }
    ~HostedEffect() { close(); }
    HostedEffect(const HostedEffect&) = delete;
    HostedEffect& operator=(const HostedEffect&) = delete;

    AEffect* operator->() const { return effect; }
    AEffect* get() const { return effect; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    std::string text(int32_t opcode, int32_t index = 0) {
        char buffer[256];
        std::memset(buffer, 'x', sizeof buffer);
        buffer[sizeof buffer - 1] = 0;
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    float get(int32_t index) { return effect->getParameter(effect, index); }
    void set(int32_t index, float value) { effect->setParameter(effect, index, value); }

    intptr_t close() {
        if (effect == nullptr) return 0;
        const intptr_t answer = dispatch(effClose);
        effect = nullptr;
        return answer;
    }

private:
    AEffect* effect = nullptr;
};
