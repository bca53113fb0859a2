#include "tools/tolvan-validate/Plugin.h"

namespace validate {

int32_t hostTextSize(int32_t opcode) {
    switch (opcode) {
    case effGetParamLabel:
    case effGetParamDisplay: return kParameterTextSize;
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed: return kProgramNameSize;
    case effGetParamName:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString: return kLongTextSize;
    default: return 0;
    }
}

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

AEffect* PluginLibrary::create(HostCallback callback) const { return entry != nullptr ? entry(callback) : nullptr; }

void Effect::start(float sampleRate, int32_t blockSize) {
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

intptr_t Effect::close() {
    if (record == nullptr) return 0;
    const intptr_t answer = dispatch(effClose);
    record = nullptr;
    return answer;
}

}  // namespace validate
