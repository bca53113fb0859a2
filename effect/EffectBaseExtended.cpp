#include "effect/EffectBaseExtended.h"

#include <cmath>

#include "effect/AEffEditor.h"
#include "effect/DispatchTable.h"
#include "effect/HostText.h"

namespace {

// Answers 0 whatever the arguments.
constexpr OpcodeHandler<AudioEffectX> none = [](AudioEffectX&, const DispatchArgs&) -> intptr_t { return 0; };

template <bool (AudioEffectX::*query)(char*)>
intptr_t identityText(AudioEffectX& effect, const DispatchArgs& args)
{
    char* text = hostText(args);
    return text != nullptr && (effect.*query)(text) ? 1 : 0;
}

// The host passes the key as character (index), virtual key (value) and modifiers (opt).
VstKeyCode keyFromArgs(const DispatchArgs& args)
{
    const float modifiers = std::isfinite(args.opt) ? std::fmod(std::trunc(args.opt), 256.0f) : 0.0f;
    return {args.index, static_cast<unsigned char>(args.value & 0xff),
            static_cast<unsigned char>(static_cast<int32_t>(modifiers) & 0xff)};
}

template <bool (AEffEditor::*handle)(VstKeyCode&)>
intptr_t editorKey(AudioEffectX& effect, const DispatchArgs& args)
{
    AEffEditor* editor = effect.getEditor();
    if (editor == nullptr) return 0;
    VstKeyCode key = keyFromArgs(args);
    return (editor->*handle)(key) ? 1 : 0;
}

// Hosts announce the scale of their user interface with the vendor-specific call 'PreS'
// (index) 'AeCs' (value), the factor in opt; other vendor-specific calls mean nothing here.
// Hosts send it from their user-interface thread, as they do the other editor calls.
intptr_t vendorSpecific(AudioEffectX& effect, const DispatchArgs& args)
{
    if (args.index != fourCharacters("PreS") || args.value != fourCharacters("AeCs")) return 0;
    AEffEditor* editor = effect.getEditor();
    return editor != nullptr && editor->setHostScaleFactor(args.opt) ? 1 : 0;
}

constexpr DispatchEntry<AudioEffectX> audioEffectXOpcodes[] = {
    {effProcessEvents, none},
    {effCanBeAutomated,
     [](AudioEffectX& e, const DispatchArgs& a) -> intptr_t { return a.index >= 0 && a.index < e.getNumParams(); }},
    {effString2Parameter, none},
    {effGetProgramNameIndexed,
     [](AudioEffectX& e, const DispatchArgs& a) -> intptr_t {
         char* text = hostText(a);
         return text != nullptr && e.programNameAt(a.index, text) ? 1 : 0;
     }},
    {effGetInputProperties, none},
    {effGetOutputProperties, none},
    {effGetPlugCategory, [](AudioEffectX& e, const DispatchArgs&) -> intptr_t { return e.getPlugCategory(); }},
    {effOfflineNotify, none},
    {effOfflinePrepare, none},
    {effOfflineRun, none},
    {effProcessVarIo, none},
    {effSetSpeakerArrangement, none},
    {effSetBypass, none},
    {effGetEffectName, identityText<&AudioEffectX::getEffectName>},
    {effGetVendorString, identityText<&AudioEffectX::getVendorString>},
    {effGetProductString, identityText<&AudioEffectX::getProductString>},
    {effGetVendorVersion, [](AudioEffectX& e, const DispatchArgs&) -> intptr_t { return e.getVendorVersion(); }},
    {effVendorSpecific, vendorSpecific},
    {effCanDo,
     [](AudioEffectX& e, const DispatchArgs& a) -> intptr_t {
         const char* text = hostText(a);
         return text != nullptr ? e.canDo(text) : 0;
     }},
    {effGetTailSize, none},
    {effGetParameterProperties, none},
    {effGetVstVersion, [](AudioEffectX& e, const DispatchArgs&) -> intptr_t { return e.getVstVersion(); }},
    {effEditKeyDown, editorKey<&AEffEditor::keyDown>},
    {effEditKeyUp, editorKey<&AEffEditor::keyUp>},
    {effSetEditKnobMode,
     [](AudioEffectX& e, const DispatchArgs& a) -> intptr_t {
         AEffEditor* editor = e.getEditor();
         return editor != nullptr && editor->setKnobMode(static_cast<int32_t>(a.value)) ? 1 : 0;
     }},
    {effGetMidiProgramName, none},
    {effGetCurrentMidiProgram, [](AudioEffectX&, const DispatchArgs&) -> intptr_t { return -1; }},
    {effGetMidiProgramCategory, none},
    {effHasMidiProgramsChanged, none},
    {effGetMidiKeyName, none},
    {effBeginSetProgram, none},
    {effEndSetProgram, none},
    {effGetSpeakerArrangement,
     [](AudioEffectX&, const DispatchArgs& a) -> intptr_t {
         // Both arguments point at the host's arrangement pointers; the effect has none.
         if (auto* input = reinterpret_cast<void**>(a.value)) *input = nullptr;
         if (auto* output = static_cast<void**>(a.ptr)) *output = nullptr;
         return 0;
     }},
    {effShellGetNextPlugin, none},
    {effStartProcess, none},
    {effStopProcess, none},
    {effSetTotalSampleToProcess, [](AudioEffectX&, const DispatchArgs& a) -> intptr_t { return a.value; }},
    {effSetPanLaw, none},
    {effBeginLoadBank, none},
    {effBeginLoadProgram, none},
    {effSetProcessPrecision, none},
    {effGetNumMidiInputChannels, none},
    {effGetNumMidiOutputChannels, none},
};

constexpr auto audioEffectXTable =
    indexOpcodes<AudioEffectX, effProcessEvents, effGetNumMidiOutputChannels>(audioEffectXOpcodes);

}  // namespace

intptr_t AudioEffectX::dispatcher(int32_t opcode, const DispatchArgs& args)
{
    if (opcode >= effProcessEvents && opcode <= effGetNumMidiOutputChannels) {
        return dispatchOpcode<AudioEffectX, effProcessEvents>(audioEffectXTable, *this, opcode, args);
    }
    return AudioEffect::dispatcher(opcode, args);
}

void AudioEffectX::setParameterFromEditor(int32_t index, float value)
{
    setParameterValue(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffectX::beginEdit(int32_t index) { return callHost(audioMasterBeginEdit, index, 0, nullptr, 0) != 0; }

bool AudioEffectX::endEdit(int32_t index) { return callHost(audioMasterEndEdit, index, 0, nullptr, 0) != 0; }

void AudioEffectX::hostIdle() { callHost(audioMasterIdle, 0, 0, nullptr, 0); }

bool AudioEffectX::sizeWindow(int32_t width, int32_t height)
{
    if (callHost(audioMasterCanDo, 0, 0, const_cast<char*>("sizeWindow"), 0) == 0) return false;
    return callHost(audioMasterSizeWindow, width, height, nullptr, 0) != 0;
}

void AudioEffectX::wantMidi() { callHost(audioMasterWantMidi, 0, 1, nullptr, 0); }
