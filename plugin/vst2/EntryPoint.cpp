// The library's one exported function, under both names hosts look for. It is the one
// place that knows both the effect and its editor.
#include <new>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"

namespace {

AudioEffect* createEffect(HostCallback hostCallback)
{
    return new (std::nothrow) AKkk(hostCallback, &SDEditor::create);
}

}  // namespace

// Windows exports it, under both names, through Tolvan.def; elsewhere the visibility
// attribute exports it and the alias below adds the second name.
#if defined(_WIN32)
#define TOLVAN_EXPORT extern "C"
#else
#define TOLVAN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TOLVAN_EXPORT AEffect* VSTPluginMain(HostCallback hostCallback)
{
    if (hostCallback == nullptr) return nullptr;
    if (hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
    // Nothing may unwind into the host: a failed construction is a null effect.
    try {
        AudioEffect* effect = createEffect(hostCallback);
        return effect != nullptr ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

#if !defined(_WIN32)
// Older hosts look for the entry point as main; C++ cannot declare a function of that
// name, so the assembler gives the same address a second global name.
asm(".globl main\n\t.set main, VSTPluginMain");
#endif
