#include "tools/tolvan-validate/Plugin.h"

namespace validate {

int32_t hostTextSize(int32_t opcode)
{
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

}  // namespace validate
