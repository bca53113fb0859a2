#include "effect/EffectBase.h"

#include <cmath>

#include "effect/AEffEditor.h"
#include "effect/DispatchTable.h"
#include "effect/HostText.h"

namespace {

constexpr int32_t kIdentifyAnswer = fourCharacters("NvEf");
constexpr int32_t kBaseUniqueId = fourCharacters("NoEf");

// A sample rate the filters can be designed for; anything else from the host is ignored.
bool usableSampleRate(float rate) { return std::isfinite(rate) && rate >= 1.0f && rate <= 4.0e6f; }

// The parameter text opcodes: an index the effect does not have gets an empty text.
template <void (AudioEffect::*query)(int32_t, char*)>
intptr_t parameterText(AudioEffect& effect, const DispatchArgs& args)
{
    char* text = hostText(args);
    if (text == nullptr) return 0;
    if (args.index < 0 || args.index >= effect.getNumParams()) {
        text[0] = 0;
        return 0;
    }
    (effect.*query)(args.index, text);
    return 0;
}

constexpr DispatchEntry<AudioEffect> audioEffectOpcodes[] = {
    {effOpen,
     [](AudioEffect& e, const DispatchArgs&) -> intptr_t {
         e.openEffect();
         return 0;
     }},
    {effClose,
     [](AudioEffect& e, const DispatchArgs&) -> intptr_t {
         e.closeEffect();
         return 0;
     }},
    {effSetProgram,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         if (a.value >= 0 && a.value < e.getNumPrograms()) e.selectProgram(static_cast<int32_t>(a.value));
         return 0;
     }},
    {effGetProgram, [](AudioEffect& e, const DispatchArgs&) -> intptr_t { return e.getProgram(); }},
    {effSetProgramName,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         if (const char* name = hostText(a)) e.renameProgram(name);
         return 0;
     }},
    {effGetProgramName,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         if (char* text = hostText(a)) e.currentProgramName(text);
         return 0;
     }},
    {effGetParamLabel, parameterText<&AudioEffect::parameterLabel>},
    {effGetParamDisplay, parameterText<&AudioEffect::parameterDisplay>},
    {effGetParamName, parameterText<&AudioEffect::parameterName>},
    {effSetSampleRate,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         if (usableSampleRate(a.opt)) e.changeSampleRate(a.opt);
         return 0;
     }},
    {effSetBlockSize,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         if (a.value > 0 && a.value <= INT32_MAX) e.changeBlockSize(static_cast<int32_t>(a.value));
         return 0;
     }},
    {effMainsChanged,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         if (a.value != 0) {
             e.resumeProcessing();
         } else {
             e.suspendProcessing();
         }
         return 0;
     }},
    {effEditGetRect,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         AEffEditor* editor = e.getEditor();
         if (editor == nullptr || a.ptr == nullptr) return 0;
         return editor->getEditorRect(static_cast<ERect**>(a.ptr)) ? 1 : 0;
     }},
    {effEditOpen,
     [](AudioEffect& e, const DispatchArgs& a) -> intptr_t {
         AEffEditor* editor = e.getEditor();
         if (editor == nullptr || a.ptr == nullptr) return 0;
         return editor->open(a.ptr) ? 1 : 0;
     }},
    {effEditClose,
     [](AudioEffect& e, const DispatchArgs&) -> intptr_t {
         if (AEffEditor* editor = e.getEditor()) editor->close();
         return 0;
     }},
    {effEditIdle,
     [](AudioEffect& e, const DispatchArgs&) -> intptr_t {
         if (AEffEditor* editor = e.getEditor()) editor->idle();
         return 0;
     }},
    {effIdentify, [](AudioEffect&, const DispatchArgs&) -> intptr_t { return kIdentifyAnswer; }},
    {effGetChunk, [](AudioEffect&, const DispatchArgs&) -> intptr_t { return 0; }},
    {effSetChunk, [](AudioEffect&, const DispatchArgs&) -> intptr_t { return 0; }},
};

constexpr auto audioEffectTable = indexOpcodes<AudioEffect, effOpen, effSetChunk>(audioEffectOpcodes);

}  // namespace

AudioEffect::AudioEffect(HostCallback callback, int32_t programs, int32_t params)
    : hostCallback(callback), numPrograms(programs), numParams(params)
{
    record.magic = kEffectMagic;
    record.dispatcher = dispatchEntry;
    record.process = processEntry;
    record.setParameter = setParameterEntry;
    record.getParameter = getParameterEntry;
    record.numPrograms = programs;
    record.numParams = params;
    record.numInputs = 1;
    record.numOutputs = 2;
    record.flags = effFlagsCanReplacing;
    record.ioRatio = 1.0f;
    record.object = this;
    record.uniqueID = kBaseUniqueId;
    record.version = 1;
    record.processReplacing = processReplacingEntry;
    record.processDoubleReplacing = processDoubleEntry;
}

AudioEffect::~AudioEffect() { destroyEditor(); }

void AudioEffect::destroyEditor()
{
    if (editor != nullptr && editor->isOpen()) editor->close();
    editor.reset();
}

void AudioEffect::hasEditor(bool state)
{
    if (state) {
        record.flags |= effFlagsHasEditor;
    } else {
        record.flags &= ~effFlagsHasEditor;
    }
}

intptr_t AudioEffect::dispatcher(int32_t opcode, const DispatchArgs& args)
{
    return dispatchOpcode<AudioEffect, effOpen>(audioEffectTable, *this, opcode, args);
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (hostCallback == nullptr) return 0;
    return hostCallback(&record, opcode, index, value, ptr, opt);
}

// The entry functions are where the host's calls arrive. None of them lets an exception
// or an out-of-range argument through to the effect: the host cannot handle the first,
// and the effect's operations expect the second to have been checked.

intptr_t AudioEffect::dispatchEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                    float opt)
{
    if (effect == nullptr || effect->object == nullptr) return 0;
    AudioEffect* self = fromRecord(effect);
    try {
        const intptr_t answer = self->dispatcher(opcode, {index, value, ptr, opt});
        if (opcode != effClose) return answer;
    } catch (...) {
        if (opcode != effClose) return 0;
    }
    delete self;
    return 1;
}

void AudioEffect::setParameterEntry(AEffect* effect, int32_t index, float value)
{
    if (effect == nullptr || effect->object == nullptr) return;
    AudioEffect* self = fromRecord(effect);
    if (index < 0 || index >= self->numParams || !std::isfinite(value)) return;
    try {
        // Passed as the host sent it: the effect brings it into its range, after it has
        // told a command (such as a reset) from a value.
        self->setParameterValue(index, value);
    } catch (...) {
        // Out of memory for the editor's response curve: the value itself is stored and
        // applied first, and the curve is measured again at the next change.
    }
}

float AudioEffect::getParameterEntry(AEffect* effect, int32_t index)
{
    if (effect == nullptr || effect->object == nullptr) return 0;
    AudioEffect* self = fromRecord(effect);
    if (index < 0 || index >= self->numParams) return 0;
    return self->getParameterValue(index);
}

void AudioEffect::processReplacingEntry(AEffect* effect, float** inputs, float** outputs, int32_t count)
{
    if (effect == nullptr || effect->object == nullptr || count <= 0 || inputs == nullptr || outputs == nullptr) return;
    AudioEffect* self = fromRecord(effect);
    for (int32_t channel = 0; channel < self->record.numInputs; ++channel) {
        if (inputs[channel] == nullptr) return;
    }
    for (int32_t channel = 0; channel < self->record.numOutputs; ++channel) {
        if (outputs[channel] == nullptr) return;
    }
    self->processBlock(inputs, outputs, count);
}

void AudioEffect::processEntry(AEffect*, float**, float**, int32_t) {}

void AudioEffect::processDoubleEntry(AEffect*, double**, double**, int32_t) {}
